#include "platform/sane.h"

#include <sane/sane.h>

#include <cstring>
#include <mutex>

namespace {

std::mutex gSaneLock;
int gSaneUsers = 0;
bool gSaneStarted = false;

TSaneResult FromStatus(SANE_Status status) {
  switch (status) {
    case SANE_STATUS_GOOD:
      return srOk;
    case SANE_STATUS_EOF:
      return srEof;
    case SANE_STATUS_CANCELLED:
      return srCancelled;
    default:
      return srFailed;
  }
}

double FromWord(const SANE_Option_Descriptor* d, SANE_Word w) {
  return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : static_cast<double>(w);
}

SANE_Word ToWord(const SANE_Option_Descriptor* d, double v) {
  if (d->type == SANE_TYPE_FIXED) return SANE_FIX(v);
  if (d->type == SANE_TYPE_BOOL) return v != 0 ? SANE_TRUE : SANE_FALSE;
  return static_cast<SANE_Word>(v < 0 ? v - 0.5 : v + 0.5);
}

bool IsNumber(const SANE_Option_Descriptor* d) {
  return (d->type == SANE_TYPE_BOOL || d->type == SANE_TYPE_INT || d->type == SANE_TYPE_FIXED) &&
         d->size >= static_cast<SANE_Int>(sizeof(SANE_Word));
}

}  // namespace

bool SaneStart() {
  std::lock_guard<std::mutex> lock(gSaneLock);
  if (!gSaneStarted) {
    SANE_Int version = 0;
    if (sane_init(&version, nullptr) != SANE_STATUS_GOOD) return false;
    gSaneStarted = true;
  }
  ++gSaneUsers;
  return true;
}

void SaneStop() {
  std::lock_guard<std::mutex> lock(gSaneLock);
  if (gSaneUsers > 0) --gSaneUsers;
}

void SaneReload() {
  std::lock_guard<std::mutex> lock(gSaneLock);
  if (!gSaneStarted || gSaneUsers > 0) return;
  sane_exit();
  SANE_Int version = 0;
  gSaneStarted = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
}

std::vector<TSaneDevice> SaneDevices() {
  std::vector<TSaneDevice> result;
  const SANE_Device** list = nullptr;
  if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list) return result;
  for (int i = 0; list[i]; ++i) {
    const SANE_Device* d = list[i];
    auto text = [](const char* s) { return std::string(s ? s : ""); };
    result.push_back({text(d->name), text(d->vendor), text(d->model), text(d->type)});
  }
  return result;
}

bool TSaneHandle::Open(const std::string& device) {
  Close();
  SANE_Handle h = nullptr;
  if (sane_open(device.c_str(), &h) != SANE_STATUS_GOOD) return false;
  handle_ = h;
  return true;
}

void TSaneHandle::Close() {
  if (!handle_) return;
  sane_close(static_cast<SANE_Handle>(handle_));
  handle_ = nullptr;
}

int TSaneHandle::FindIndex(const std::string& name) const {
  if (!handle_) return -1;
  auto h = static_cast<SANE_Handle>(handle_);
  for (int i = 1;; ++i) {
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
    if (!d) return -1;
    if (d->name && name == d->name && d->type != SANE_TYPE_GROUP) return i;
  }
}

bool TSaneHandle::FindOption(const std::string& name, TSaneOption& option) const {
  int index = FindIndex(name);
  if (index < 0) return false;
  const SANE_Option_Descriptor* d = sane_get_option_descriptor(static_cast<SANE_Handle>(handle_), index);
  option = TSaneOption();
  option.Name = name;
  switch (d->type) {
    case SANE_TYPE_BOOL: option.Kind = svBool; break;
    case SANE_TYPE_INT: option.Kind = svInt; break;
    case SANE_TYPE_FIXED: option.Kind = svFixed; break;
    case SANE_TYPE_STRING: option.Kind = svString; break;
    default: option.Kind = svOther; break;
  }
  option.Unit = static_cast<TSaneUnit>(d->unit);
  option.ValueCount = d->type == SANE_TYPE_STRING ? d->size : d->size / static_cast<int>(sizeof(SANE_Word));
  option.Active = SANE_OPTION_IS_ACTIVE(d->cap);
  option.Settable = SANE_OPTION_IS_SETTABLE(d->cap);
  if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
    option.Constraint = scRange;
    option.Min = FromWord(d, d->constraint.range->min);
    option.Max = FromWord(d, d->constraint.range->max);
    option.Step = FromWord(d, d->constraint.range->quant);
  } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list) {
    option.Constraint = scNumbers;
    SANE_Int n = d->constraint.word_list[0];
    for (SANE_Int k = 1; k <= n; ++k) option.Numbers.push_back(FromWord(d, d->constraint.word_list[k]));
  } else if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST && d->constraint.string_list) {
    option.Constraint = scStrings;
    for (int k = 0; d->constraint.string_list[k]; ++k) option.Strings.emplace_back(d->constraint.string_list[k]);
  }
  return true;
}

bool TSaneHandle::GetNumber(const std::string& name, double& value) const {
  int index = FindIndex(name);
  if (index < 0) return false;
  auto h = static_cast<SANE_Handle>(handle_);
  const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, index);
  if (!IsNumber(d) || !SANE_OPTION_IS_ACTIVE(d->cap)) return false;
  std::vector<SANE_Word> words(static_cast<size_t>(d->size) / sizeof(SANE_Word) + 1);
  if (sane_control_option(h, index, SANE_ACTION_GET_VALUE, words.data(), nullptr) != SANE_STATUS_GOOD) return false;
  value = FromWord(d, words[0]);
  return true;
}

bool TSaneHandle::SetNumber(const std::string& name, double value) {
  int index = FindIndex(name);
  if (index < 0) return false;
  auto h = static_cast<SANE_Handle>(handle_);
  const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, index);
  if (!IsNumber(d) || !SANE_OPTION_IS_SETTABLE(d->cap) || !SANE_OPTION_IS_ACTIVE(d->cap)) return false;
  // Arrays take the value in every word.
  std::vector<SANE_Word> words(static_cast<size_t>(d->size) / sizeof(SANE_Word), ToWord(d, value));
  return sane_control_option(h, index, SANE_ACTION_SET_VALUE, words.data(), nullptr) == SANE_STATUS_GOOD;
}

bool TSaneHandle::GetString(const std::string& name, std::string& value) const {
  int index = FindIndex(name);
  if (index < 0) return false;
  auto h = static_cast<SANE_Handle>(handle_);
  const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, index);
  if (d->type != SANE_TYPE_STRING || d->size <= 0 || !SANE_OPTION_IS_ACTIVE(d->cap)) return false;
  std::vector<char> text(static_cast<size_t>(d->size) + 1, '\0');
  if (sane_control_option(h, index, SANE_ACTION_GET_VALUE, text.data(), nullptr) != SANE_STATUS_GOOD) return false;
  value.assign(text.data(), strnlen(text.data(), static_cast<size_t>(d->size)));
  return true;
}

bool TSaneHandle::SetString(const std::string& name, const std::string& value) {
  int index = FindIndex(name);
  if (index < 0) return false;
  auto h = static_cast<SANE_Handle>(handle_);
  const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, index);
  if (d->type != SANE_TYPE_STRING || !SANE_OPTION_IS_SETTABLE(d->cap) || !SANE_OPTION_IS_ACTIVE(d->cap)) return false;
  if (value.size() + 1 > static_cast<size_t>(d->size)) return false;
  std::vector<char> text(static_cast<size_t>(d->size), '\0');
  std::memcpy(text.data(), value.data(), value.size());
  return sane_control_option(h, index, SANE_ACTION_SET_VALUE, text.data(), nullptr) == SANE_STATUS_GOOD;
}

TSaneResult TSaneHandle::Start() {
  if (!handle_) return srFailed;
  return FromStatus(sane_start(static_cast<SANE_Handle>(handle_)));
}

bool TSaneHandle::Parameters(TSaneFrame& frame) const {
  if (!handle_) return false;
  SANE_Parameters p;
  if (sane_get_parameters(static_cast<SANE_Handle>(handle_), &p) != SANE_STATUS_GOOD) return false;
  frame.Format = p.format == SANE_FRAME_GRAY ? sfGray : p.format == SANE_FRAME_RGB ? sfRGB : sfOther;
  frame.LastFrame = p.last_frame != SANE_FALSE;
  frame.BytesPerLine = p.bytes_per_line;
  frame.PixelsPerLine = p.pixels_per_line;
  frame.Lines = p.lines;
  frame.Depth = p.depth;
  return true;
}

TSaneResult TSaneHandle::Read(uint8_t* buffer, int32_t size, int32_t& got) {
  got = 0;
  if (!handle_ || size <= 0) return srFailed;
  SANE_Int n = 0;
  TSaneResult r = FromStatus(sane_read(static_cast<SANE_Handle>(handle_), buffer, size, &n));
  got = n < 0 ? 0 : (n > size ? size : n);
  return r;
}

void TSaneHandle::Cancel() {
  if (handle_) sane_cancel(static_cast<SANE_Handle>(handle_));
}
