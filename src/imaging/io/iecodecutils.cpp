#include "imaging/io/iecodecutils.h"

#include <cstring>
#include <exception>
#include <limits>

#include "imaging/proc/iecolordepth.h"

bool IEReadExact(TStream* stream, void* buffer, int64_t count) {
  if (count <= 0) return count == 0;
  try {
    return stream->Read(buffer, count) == count;
  } catch (const std::exception&) {
    return false;
  }
}

int64_t IEStreamBytesLeft(TStream* stream) {
  const int64_t left = stream->GetSize() - stream->GetPosition();
  return left > 0 ? left : 0;
}

bool IEDataCoversPicture(int64_t pictureBytes, int64_t neededBytes, int64_t availableBytes,
                         int64_t slack) {
  if (pictureBytes <= kIESmallPictureBytes) return true;
  return neededBytes <= availableBytes + slack;
}

void IEProgressStart(TProgressRec& progress, int64_t units) {
  progress.Counter = 0;
  progress.Percent = units > 0 ? 100.0 / static_cast<double>(units) : 0;
}

bool IEAllocateBitmap(TIEBitmap* bitmap, int64_t width, int64_t height, TIEPixelFormat format) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  if (width <= 0 || height <= 0 || width > kMax || height > kMax) return false;
  try {
    bitmap->Allocate(static_cast<int>(width), static_cast<int>(height), format);
  } catch (const EOutOfMemory&) {
    return false;
  }
  if (bitmap->Width != width || bitmap->Height != height) return false;
  for (int y = 0; y < bitmap->Height; ++y) std::memset(bitmap->GetScanLine(y), 0, static_cast<size_t>(bitmap->RowLen));
  return true;
}

std::unique_ptr<TIEBitmap> IEConvertedCopy(TIEBitmap* bitmap, TIEPixelFormat format) {
  auto copy = std::make_unique<TIEBitmap>();
  copy->Location = ieMemory;
  copy->Assign(bitmap);
  copy->ConvertToPixelFormat(format);
  return copy;
}

std::unique_ptr<TIEBitmap> IETwoColourCopy(TIEBitmap* bitmap, TRGB& colour0, TRGB& colour1) {
  std::unique_ptr<TIEBitmap> copy(_ConvertTo1bitEx(bitmap, colour0, colour1));
  if (copy) return copy;
  colour0 = TRGB{0, 0, 0};
  colour1 = TRGB{255, 255, 255};
  return IEConvertedCopy(bitmap, ie1g);
}
