#include "imaging/io/pxmtokens.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/classes.h"
#include "platform/sysutils.h"

namespace {

constexpr size_t kBufferSize = 8192;

bool IsTokenByte(int b) {
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

}  // namespace

TPxmScanner::TPxmScanner(TStream* stream) : stream_(stream), buffer_(kBufferSize) {}

bool TPxmScanner::Refill() {
  pos_ = 0;
  const int64_t got = stream_->Read(buffer_.data(), static_cast<int64_t>(buffer_.size()));
  end_ = got > 0 ? static_cast<size_t>(got) : 0;
  return end_ > 0;
}

int TPxmScanner::NextByte() {
  if (pos_ >= end_ && !Refill()) return -1;
  return buffer_[pos_++];
}

std::string TPxmScanner::NextToken() {
  int b = NextByte();
  while (b >= 0 && b != '#' && !IsTokenByte(b)) b = NextByte();
  if (b < 0) return "";
  std::string token;
  if (b == '#') {
    for (b = NextByte(); b >= 0 && b != '\r' && b != '\n'; b = NextByte())
      token.push_back(static_cast<char>(b));
    return "#" + Trim(token);
  }
  for (; IsTokenByte(b); b = NextByte()) token.push_back(static_cast<char>(b));
  return token;
}

int64_t TPxmScanner::ReadBytes(uint8_t* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    if (pos_ >= end_ && !Refill()) break;
    const size_t n = std::min<size_t>(end_ - pos_, static_cast<size_t>(count - done));
    std::memcpy(buffer + done, buffer_.data() + pos_, n);
    pos_ += n;
    done += static_cast<int64_t>(n);
  }
  return done;
}

int64_t TPxmScanner::BytesLeft() const {
  const int64_t inStream = stream_->GetSize() - stream_->GetPosition();
  return static_cast<int64_t>(end_ - pos_) + std::max<int64_t>(0, inStream);
}

void TPxmScanner::Release() {
  stream_->Seek(-static_cast<int64_t>(end_ - pos_), soCurrent);
  pos_ = end_ = 0;
}

int64_t PxmNumber(const std::string& token) {
  if (token.empty()) return -1;
  int64_t value = 0;
  for (char c : token) {
    if (c < '0' || c > '9') return -1;
    value = std::min<int64_t>(value * 10 + (c - '0'), std::numeric_limits<int32_t>::max());
  }
  return value;
}
