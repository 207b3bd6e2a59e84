#include "imaging/proc/iehiddendata.h"

#include <algorithm>

#include "imaging/io/iebyteorder.h"

namespace {

constexpr int kHeaderBytes = 8;

// Walks the carrier bytes in their order.
class TCarrier {
 public:
  explicit TCarrier(TBitmap* bitmap) : bitmap_(bitmap), perRow_(3 * int64_t{bitmap->GetWidth()} - 2) {}

  // Carrier bits of the whole picture.
  int64_t Bits() const { return perRow_ > 0 ? perRow_ * bitmap_->GetHeight() : 0; }

  uint8_t& Next() {
    if (column_ == perRow_) {
      column_ = 0;
      ++row_;
    }
    if (column_ == 0) line_ = bitmap_->ScanLine(static_cast<int>(row_));
    return line_[column_++];
  }

 private:
  TBitmap* bitmap_;
  int64_t perRow_;
  int64_t row_ = 0;
  int64_t column_ = 0;
  uint8_t* line_ = nullptr;
};

bool Usable(TBitmap* bitmap) { return bitmap && bitmap->GetPixelFormat() == pf24bit; }

void PutByte(TCarrier& carrier, uint8_t value) {
  for (int bit = 0; bit < 8; ++bit) {
    uint8_t& b = carrier.Next();
    const bool one = (value >> bit) & 1;
    if (one && (b & 1) == 0) ++b;
    if (!one && (b & 1) != 0) b = b == 255 ? 254 : static_cast<uint8_t>(b + 1);
  }
}

uint8_t GetByte(TCarrier& carrier) {
  uint8_t value = 0;
  for (int bit = 0; bit < 8; ++bit) value |= static_cast<uint8_t>((carrier.Next() & 1) << bit);
  return value;
}

// Data bytes after the header; negative when the header does not fit.
int64_t Capacity(TBitmap* bitmap) { return TCarrier(bitmap).Bits() / 8 - kHeaderBytes; }

}  // namespace

int32_t IEHiddenDataSpace(TBitmap* bitmap) {
  if (!Usable(bitmap)) return 0;
  return static_cast<int32_t>(std::clamp<int64_t>(Capacity(bitmap), 0, INT32_MAX));
}

bool IEHiddenDataFits(TBitmap* bitmap, int32_t length) {
  return Usable(bitmap) && length >= 0 && Capacity(bitmap) >= length;
}

bool IEWriteHiddenData(TBitmap* bitmap, const void* data, int32_t length) {
  if (!IEHiddenDataFits(bitmap, length)) return false;
  TCarrier carrier(bitmap);
  uint8_t header[kHeaderBytes] = {};
  IEPutLE32(header + 4, static_cast<uint32_t>(length));
  for (uint8_t b : header) PutByte(carrier, b);
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (int32_t i = 0; i < length; ++i) PutByte(carrier, bytes[i]);
  return true;
}

int32_t IEReadHiddenData(TBitmap* bitmap, void* buffer, int32_t size) {
  if (!Usable(bitmap) || Capacity(bitmap) < 0) return 0;
  TCarrier carrier(bitmap);
  uint8_t header[kHeaderBytes];
  for (uint8_t& b : header) b = GetByte(carrier);
  const uint32_t length = IEGetLE32(header + 4);
  if (length > Capacity(bitmap)) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  const int64_t deliver = out ? std::min<int64_t>(length, std::max(size, 0)) : 0;
  for (int64_t i = 0; i < deliver; ++i) out[i] = GetByte(carrier);
  return static_cast<int32_t>(length);
}
