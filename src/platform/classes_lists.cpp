// Lists of the component framework: TList, TStrings and TStringList.
#include "platform/classes.h"
#include "platform/savestream.h"

#include <algorithm>

// TList ---------------------------------------------------------------------------

namespace {

[[noreturn]] void ListIndexError(int index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

int TList::Add(void* item) {
  items_.push_back(item);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > Count()) ListIndexError(index);
  items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index) {
  if (index < 0 || index >= Count()) ListIndexError(index);
  items_.erase(items_.begin() + index);
}

int TList::Remove(void* item) {
  int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

int TList::IndexOf(void* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Clear() { items_.clear(); }

void TList::Exchange(int a, int b) {
  if (a < 0 || a >= Count()) ListIndexError(a);
  if (b < 0 || b >= Count()) ListIndexError(b);
  std::swap(items_[a], items_[b]);
}

void TList::Move(int from, int to) {
  void* item = Get(from);
  if (to < 0 || to >= Count()) ListIndexError(to);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, item);
}

void* TList::Get(int index) const {
  if (index < 0 || index >= Count()) ListIndexError(index);
  return items_[index];
}

void TList::Put(int index, void* item) {
  if (index < 0 || index >= Count()) ListIndexError(index);
  items_[index] = item;
}

void TList::SetCount(int count) {
  if (count < 0) throw EListError("List count out of bounds (" + std::to_string(count) + ")");
  items_.resize(static_cast<size_t>(count), nullptr);
}

void TList::Sort(const std::function<int(void*, void*)>& compare) {
  // A stable merge stays in bounds even when compare is inconsistent.
  std::stable_sort(items_.begin(), items_.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
}

// TStrings ------------------------------------------------------------------------

namespace {

// Strings that need quotes in comma text: empty-looking separators and quotes.
bool NeedsQuotes(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',') return true;
  return false;
}

std::string Quoted(const std::string& s) { return "\"" + StringReplaceAll(s, "\"", "\"\"") + "\""; }

bool IsCommaBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

}  // namespace

int TStrings::Add(const std::string& s) {
  int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
  int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& other) {
  BeginUpdate();
  // The count is taken first, so a list may add itself.
  for (int i = 0, n = other.Count(); i < n; ++i) AddObject(other.Get(i), other.GetObject(i));
  EndUpdate();
}

int TStrings::IndexOf(const std::string& s) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Get(i), s)) return i;
  return -1;
}

int TStrings::IndexOfObject(TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    std::string s = Get(i);
    size_t eq = s.find('=');
    if (eq != std::string::npos && SameText(s.substr(0, eq), name)) return i;
  }
  return -1;
}

std::string TStrings::Names(int index) const {
  std::string s = Get(index);
  size_t eq = s.find('=');
  return eq == std::string::npos ? "" : s.substr(0, eq);
}

std::string TStrings::Values(const std::string& name) const {
  int index = IndexOfName(name);
  if (index < 0) return "";
  std::string s = Get(index);
  return s.substr(s.find('=') + 1);
}

void TStrings::SetValue(const std::string& name, const std::string& value) {
  int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
  } else if (index < 0) {
    Add(name + "=" + value);
  } else {
    Put(index, name + "=" + value);
  }
}

std::string TStrings::Text() const {
  std::string text;
  for (int i = 0; i < Count(); ++i) text += Get(i) + "\r\n";
  return text;
}

void TStrings::SetText(const std::string& text) {
  BeginUpdate();
  Clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    Add(text.substr(start, end - start));
    // CR LF, a lone CR and a lone LF each end one line.
    if (end < text.size() && text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
    start = end;
  }
  EndUpdate();
}

std::string TStrings::CommaText() const {
  if (Count() == 1 && Get(0).empty()) return "\"\"";
  std::string text;
  for (int i = 0; i < Count(); ++i) {
    std::string s = Get(i);
    if (i > 0) text += ',';
    text += NeedsQuotes(s) ? Quoted(s) : s;
  }
  return text;
}

void TStrings::SetCommaText(const std::string& text) {
  // Items are separated by commas or blanks; a quoted item may hold both,
  // with "" for a quote.
  BeginUpdate();
  Clear();
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && IsCommaBlank(text[i])) ++i;
  while (i < n) {
    std::string item;
    if (text[i] == '"') {
      for (++i; i < n; ++i) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            ++i;
          } else {
            ++i;
            break;
          }
        }
        item += text[i];
      }
    } else {
      size_t start = i;
      while (i < n && !IsCommaBlank(text[i]) && text[i] != ',') ++i;
      item = text.substr(start, i - start);
    }
    Add(item);
    while (i < n && IsCommaBlank(text[i])) ++i;
    if (i < n && text[i] == ',') {
      ++i;
      while (i < n && IsCommaBlank(text[i])) ++i;
    }
  }
  EndUpdate();
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::Assign(TPersistent* source) {
  auto* strings = dynamic_cast<TStrings*>(source);
  if (!strings) {
    TPersistent::Assign(source);
    return;
  }
  if (strings == this) return;
  BeginUpdate();
  Clear();
  AddStrings(*strings);
  EndUpdate();
}

void TStrings::LoadFromFile(const std::string& name) {
  TFileStream file(name, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TStrings::SaveToFile(const std::string& name) const {
  TSaveFileStream file(name);
  SaveToStream(&file);
  file.Commit();
}

void TStrings::LoadFromStream(TStream* stream) {
  int64_t size = stream->GetSize() - stream->GetPosition();
  if (size < 0) throw EReadError("Stream read error");
  std::string text(static_cast<size_t>(size), '\0');
  stream->ReadBuffer(text.data(), size);
  SetText(text);
}

void TStrings::SaveToStream(TStream* stream) const {
  std::string text = Text();
  stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

// TStringList -------------------------------------------------------------------

namespace {

[[noreturn]] void StringListIndexError(int index) {
  throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

[[noreturn]] void SortedListError() {
  throw EStringListError("Operation not allowed on sorted string list");
}

}  // namespace

std::string TStringList::Get(int index) const {
  if (index < 0 || index >= Count()) StringListIndexError(index);
  return items_[index].text;
}

void TStringList::Put(int index, const std::string& s) {
  if (sorted_) SortedListError();
  if (index < 0 || index >= Count()) StringListIndexError(index);
  Changing();
  items_[index].text = s;
  Changed();
}

TObject* TStringList::GetObject(int index) const {
  if (index < 0 || index >= Count()) StringListIndexError(index);
  return items_[index].object;
}

void TStringList::PutObject(int index, TObject* object) {
  if (index < 0 || index >= Count()) StringListIndexError(index);
  Changing();
  items_[index].object = object;
  Changed();
}

void TStringList::Insert(int index, const std::string& s) {
  if (sorted_) SortedListError();
  if (index < 0 || index > Count()) StringListIndexError(index);
  InsertItem(index, s);
}

void TStringList::Delete(int index) {
  if (index < 0 || index >= Count()) StringListIndexError(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

int TStringList::Add(const std::string& s) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    if (Duplicates == dupIgnore) return index;
    if (Duplicates == dupError) throw EStringListError("String list does not allow duplicates");
  }
  InsertItem(index, s);
  return index;
}

int TStringList::IndexOf(const std::string& s) const {
  if (sorted_) {
    int index = 0;
    return Find(s, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (Compare(items_[i].text, s) == 0) return i;
  return -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
  int low = 0;
  int high = Count() - 1;
  bool found = false;
  while (low <= high) {
    int mid = low + (high - low) / 2;
    int c = Compare(items_[mid].text, s);
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
      // Keep looking left: the first of equal strings is the one found.
      if (c == 0) found = true;
    }
  }
  index = low;
  return found;
}

void TStringList::Sort() {
  if (sorted_ || Count() < 2) return;
  Changing();
  std::stable_sort(items_.begin(), items_.end(),
                   [this](const Item& a, const Item& b) { return Compare(a.text, b.text) < 0; });
  Changed();
}

void TStringList::Exchange(int a, int b) {
  if (a < 0 || a >= Count()) StringListIndexError(a);
  if (b < 0 || b >= Count()) StringListIndexError(b);
  Changing();
  std::swap(items_[a], items_[b]);
  Changed();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) {
    Changing();
  } else {
    Changed();
  }
}

void TStringList::Changed() {
  if (updateCount_ == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (updateCount_ == 0 && OnChanging) OnChanging(this);
}

void TStringList::InsertItem(int index, const std::string& s) {
  Changing();
  items_.insert(items_.begin() + index, Item{s, nullptr});
  Changed();
}

int TStringList::Compare(const std::string& a, const std::string& b) const {
  return CaseSensitive ? a.compare(b) : CompareText(a, b);
}
