#include "platform/gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace {

// One converter per thread and direction: iconv_t keeps shift state and
// must not be shared between threads.
class Converter {
 public:
  // Code page 936 proper first (it has the euro sign at 0x80), plain GBK
  // where the C library lacks it.
  explicit Converter(bool toGbk) {
    for (const char* gbk : {"CP936", "GBK"}) {
      cd_ = toGbk ? iconv_open(gbk, "UTF-8") : iconv_open("UTF-8", gbk);
      if (cd_ != reinterpret_cast<iconv_t>(-1)) return;
    }
    throw std::runtime_error("The GBK character set is not available");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; a byte sequence the converter rejects is skipped by
  // `skip(rest)` bytes and replaced by `replacement`.
  template <typename Skip>
  std::string Convert(std::string_view in, const char* replacement, Skip skip) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(in.size() * 3 / 2 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[4096];
    while (srcLeft > 0) {
      char* dst = buf;
      size_t dstLeft = sizeof buf;
      size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buf, static_cast<size_t>(dst - buf));
      if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
      // EILSEQ or EINVAL (cut short at the end): replace and move on.
      out += replacement;
      size_t n = std::min(srcLeft, skip(std::string_view(src, srcLeft)));
      src += n;
      srcLeft -= n;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence that starts `rest` (1 for a stray byte).
size_t Utf8SequenceLength(std::string_view rest) {
  unsigned char lead = static_cast<unsigned char>(rest[0]);
  size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  for (size_t i = 1; i < n; ++i)
    if (i >= rest.size() || (static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return i;
  return n;
}

bool IsGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  thread_local Converter conv(false);
  return conv.Convert(gbk, "\xEF\xBF\xBD", [](std::string_view) { return size_t{1}; });
}

std::string Utf8ToGbk(std::string_view utf8) {
  thread_local Converter conv(true);
  return conv.Convert(utf8, "?", Utf8SequenceLength);
}

std::string_view GbkTruncate(std::string_view gbk, size_t maxBytes) {
  size_t end = 0;
  while (end < gbk.size()) {
    size_t n = IsGbkLead(static_cast<unsigned char>(gbk[end])) ? 2 : 1;
    if (end + n > maxBytes || end + n > gbk.size()) break;
    end += n;
  }
  return gbk.substr(0, end);
}
