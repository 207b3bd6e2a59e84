#include "imaging/proc/ievideoframes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

uint8_t ClampByte(double v) {
  // Halves go to even, as the default rounding mode does.
  const double r = std::nearbyint(v);
  return r < 0 ? 0 : r > 255 ? 255 : uint8_t(r);
}

// Source row k goes to target row k, or counted from the bottom.
TRGB* TargetRow(TIEBaseBitmap* target, int k, bool topDown) {
  return reinterpret_cast<TRGB*>(target->GetScanLine(topDown ? k : target->GetHeight() - 1 - k));
}

// Packed layouts: a group of bytes gives a group of pixels. A partial group
// at the end of a row is read from a copy padded with neutral samples, so
// nothing past the row is read.
using TGroupDecoder = void (*)(const uint8_t* g, TRGB* out);

struct TPackedLayout {
  int pixels;  // pixels a group gives
  int bytes;   // bytes a group takes
  TGroupDecoder decode;
};

int64_t PackedRowBytes(const TPackedLayout& layout, int64_t width) {
  return (width * layout.bytes + layout.pixels - 1) / layout.pixels;
}

void ConvertPacked(const uint8_t* source, TIEBaseBitmap* target, bool topDown, const TPackedLayout& layout) {
  const int width = target->GetWidth(), height = target->GetHeight();
  const int64_t rowBytes = PackedRowBytes(layout, width);
  TRGB group[8];
  for (int k = 0; k < height; ++k) {
    const uint8_t* row = source + k * rowBytes;
    TRGB* out = TargetRow(target, k, topDown);
    int x = 0;
    int64_t at = 0;
    for (; x + layout.pixels <= width; x += layout.pixels, at += layout.bytes) layout.decode(row + at, out + x);
    if (x < width) {
      uint8_t padded[12];
      std::memset(padded, 128, sizeof padded);
      std::memcpy(padded, row + at, size_t(rowBytes - at));
      layout.decode(padded, group);
      std::copy_n(group, width - x, out + x);
    }
  }
}

void DecodeYUY2(const uint8_t* g, TRGB* out) {
  YUV2RGB(g[0], g[1], g[3], out[0]);
  YUV2RGB(g[2], g[1], g[3], out[1]);
}
void DecodeUYVY(const uint8_t* g, TRGB* out) {
  YUV2RGB(g[1], g[0], g[2], out[0]);
  YUV2RGB(g[3], g[0], g[2], out[1]);
}
void DecodeYVYU(const uint8_t* g, TRGB* out) {
  YUV2RGB(g[0], g[3], g[1], out[0]);
  YUV2RGB(g[2], g[3], g[1], out[1]);
}
void DecodeY211(const uint8_t* g, TRGB* out) {
  YUV2RGB(g[0], g[1], g[3], out[0]);
  out[1] = out[0];
  YUV2RGB(g[2], g[1], g[3], out[2]);
  out[3] = out[2];
}
void DecodeY41P(const uint8_t* g, TRGB* out) {
  static constexpr int kLuma[8] = {1, 3, 5, 7, 8, 9, 10, 11};
  for (int i = 0; i < 8; ++i) YUV2RGB(g[kLuma[i]], i < 4 ? g[0] : g[4], i < 4 ? g[2] : g[6], out[i]);
}
void DecodeIYU1(const uint8_t* g, TRGB* out) {
  static constexpr int kLuma[4] = {1, 2, 4, 5};
  for (int i = 0; i < 4; ++i) YUV2RGB(g[kLuma[i]], g[0], g[3], out[i]);
}
void DecodeIYU2(const uint8_t* g, TRGB* out) { YUV2RGB(g[1], g[0], g[2], out[0]); }
// 5-bit luma and 6-bit chroma fields, widened to 8 bits by repeating their
// top bits, so that full scale stays full scale.
void DecodeCLJR(const uint8_t* g, TRGB* out) {
  const uint32_t w = uint32_t(g[0]) | (uint32_t(g[1]) << 8) | (uint32_t(g[2]) << 16) | (uint32_t(g[3]) << 24);
  auto chroma = [](uint32_t c6) { return int((c6 << 2) | (c6 >> 4)); };
  const int v = chroma(w & 63), u = chroma((w >> 6) & 63);
  for (int i = 0; i < 4; ++i) {
    const uint32_t y5 = (w >> (12 + 5 * i)) & 31;
    YUV2RGB(int((y5 << 3) | (y5 >> 2)), u, v, out[i]);
  }
}

constexpr TPackedLayout kYUY2{2, 4, DecodeYUY2}, kUYVY{2, 4, DecodeUYVY}, kYVYU{2, 4, DecodeYVYU},
    kY211{4, 4, DecodeY211}, kY41P{8, 12, DecodeY41P}, kIYU1{4, 6, DecodeIYU1}, kIYU2{1, 3, DecodeIYU2},
    kCLJR{4, 4, DecodeCLJR};

// Planar layouts: the Y plane, then two chroma planes of (W div sub) x
// (H div sub). Pixels beyond the last whole chroma sample use the last one;
// a frame too small for any chroma is grey-toned.
int64_t PlanarSize(int64_t width, int64_t height, int sub) {
  return width * height + 2 * (width / sub) * (height / sub);
}

void ConvertPlanar(const uint8_t* source, TIEBaseBitmap* target, bool topDown, int sub, bool uFirst) {
  const int width = target->GetWidth(), height = target->GetHeight();
  const int64_t cw = width / sub, ch = height / sub;
  const uint8_t* first = source + int64_t(width) * height;
  const uint8_t* second = first + cw * ch;
  const uint8_t* uPlane = uFirst ? first : second;
  const uint8_t* vPlane = uFirst ? second : first;
  for (int k = 0; k < height; ++k) {
    const uint8_t* luma = source + int64_t(k) * width;
    TRGB* out = TargetRow(target, k, topDown);
    const int64_t cy = std::min<int64_t>(k / sub, ch - 1);
    for (int x = 0; x < width; ++x) {
      int u = 128, v = 128;
      if (cw > 0 && ch > 0) {
        const int64_t at = cy * cw + std::min<int64_t>(x / sub, cw - 1);
        u = uPlane[at];
        v = vPlane[at];
      }
      YUV2RGB(luma[x], u, v, out[x]);
    }
  }
}

const TPackedLayout* PackedLayoutOf(uint32_t fourcc) {
  switch (fourcc) {
    case IEFourCC('Y', 'U', 'Y', '2'):
    case IEFourCC('Y', 'U', 'N', 'V'):
      return &kYUY2;
    case IEFourCC('U', 'Y', 'V', 'Y'):
    case IEFourCC('U', 'Y', 'N', 'V'):
    case IEFourCC('c', 'y', 'u', 'v'):
      return &kUYVY;
    case IEFourCC('Y', 'V', 'Y', 'U'):
      return &kYVYU;
    case IEFourCC('Y', '2', '1', '1'):
      return &kY211;
    case IEFourCC('Y', '4', '1', 'P'):
      return &kY41P;
    case IEFourCC('I', 'Y', 'U', '1'):
      return &kIYU1;
    case IEFourCC('I', 'Y', 'U', '2'):
      return &kIYU2;
    case IEFourCC('C', 'L', 'J', 'R'):
      return &kCLJR;
    default:
      return nullptr;
  }
}

}  // namespace

void YUV2RGB(int Y, int U, int V, TRGB& rgb) {
  const double y = 1.164 * (Y - 16);
  rgb.b = ClampByte(y + 2.018 * (U - 128));
  rgb.g = ClampByte(y - 0.813 * (V - 128) - 0.391 * (U - 128));
  rgb.r = ClampByte(y + 1.596 * (V - 128));
}

void _CopyI420ToBitmap(const uint8_t* s, TIEBaseBitmap* t, bool topDown) { ConvertPlanar(s, t, topDown, 2, true); }
void _CopyYV12ToBitmap(const uint8_t* s, TIEBaseBitmap* t, bool topDown) { ConvertPlanar(s, t, topDown, 2, false); }
void _CopyYVU9ToBitmap(const uint8_t* s, TIEBaseBitmap* t, bool topDown) { ConvertPlanar(s, t, topDown, 4, false); }
void _CopyYUY2ToBitmap(const uint8_t* s, TIEBaseBitmap* t, bool topDown) { ConvertPacked(s, t, topDown, kYUY2); }
void _CopyUYVYToBitmap(const uint8_t* s, TIEBaseBitmap* t, bool topDown) { ConvertPacked(s, t, topDown, kUYVY); }
void _CopyYVYUToBitmap(const uint8_t* s, TIEBaseBitmap* t, bool topDown) { ConvertPacked(s, t, topDown, kYVYU); }
void _CopyY211ToBitmap(const uint8_t* s, TIEBaseBitmap* t, bool topDown) { ConvertPacked(s, t, topDown, kY211); }
void _CopyY41PToBitmap(const uint8_t* s, TIEBaseBitmap* t, bool topDown) { ConvertPacked(s, t, topDown, kY41P); }
void _CopyIYU1ToBitmap(const uint8_t* s, TIEBaseBitmap* t, bool topDown) { ConvertPacked(s, t, topDown, kIYU1); }
void _CopyIYU2ToBitmap(const uint8_t* s, TIEBaseBitmap* t, bool topDown) { ConvertPacked(s, t, topDown, kIYU2); }
void _CopyCLJRToBitmap(const uint8_t* s, TIEBaseBitmap* t, bool topDown) { ConvertPacked(s, t, topDown, kCLJR); }

TIEFrameRoutine IEVideoFrameRoutine(uint32_t fourcc) {
  switch (fourcc) {
    case IEFourCC('I', '4', '2', '0'):
    case IEFourCC('I', 'Y', 'U', 'V'):
      return _CopyI420ToBitmap;
    case IEFourCC('Y', 'V', '1', '2'):
      return _CopyYV12ToBitmap;
    case IEFourCC('Y', 'V', 'U', '9'):
      return _CopyYVU9ToBitmap;
    case IEFourCC('Y', 'U', 'Y', '2'):
    case IEFourCC('Y', 'U', 'N', 'V'):
      return _CopyYUY2ToBitmap;
    case IEFourCC('U', 'Y', 'V', 'Y'):
    case IEFourCC('U', 'Y', 'N', 'V'):
    case IEFourCC('c', 'y', 'u', 'v'):
      return _CopyUYVYToBitmap;
    case IEFourCC('Y', 'V', 'Y', 'U'):
      return _CopyYVYUToBitmap;
    case IEFourCC('Y', '2', '1', '1'):
      return _CopyY211ToBitmap;
    case IEFourCC('Y', '4', '1', 'P'):
      return _CopyY41PToBitmap;
    case IEFourCC('I', 'Y', 'U', '1'):
      return _CopyIYU1ToBitmap;
    case IEFourCC('I', 'Y', 'U', '2'):
      return _CopyIYU2ToBitmap;
    case IEFourCC('C', 'L', 'J', 'R'):
      return _CopyCLJRToBitmap;
    default:
      return nullptr;
  }
}

uint64_t IEVideoFrameSize(uint32_t fourcc, int64_t width, int64_t height) {
  if (width <= 0 || height <= 0) return 0;
  if (const TPackedLayout* layout = PackedLayoutOf(fourcc)) return uint64_t(PackedRowBytes(*layout, width) * height);
  switch (fourcc) {
    case IEFourCC('I', '4', '2', '0'):
    case IEFourCC('I', 'Y', 'U', 'V'):
    case IEFourCC('Y', 'V', '1', '2'):
      return uint64_t(PlanarSize(width, height, 2));
    case IEFourCC('Y', 'V', 'U', '9'):
      return uint64_t(PlanarSize(width, height, 4));
    default:
      return 0;
  }
}
