// BMP reader: file and info headers (core, Windows and OS/2 2.x forms),
// palettes, uncompressed rows of 1 to 32 bits and RLE4/RLE8 data.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/ieview.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/bmpfilt.h"
#include "imaging/io/bmpformat.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/proc/iecolordepth.h"

namespace {

// RLE runs give at most 255 pixels for 2 bytes, but deltas and an early end
// of bitmap may leave pixels uncovered: this ratio is generous for real
// files and still rejects headers that no data could fill.
constexpr int64_t kRlePixelsPerByte = 1024;

struct TBmpHeader {
  int64_t width = 0;
  int64_t height = 0;  // always positive; topDown gives the row order
  bool topDown = false;
  int bits = 0;
  uint32_t compression = 0;
  uint32_t imageSize = 0;
  uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
};

// Reads count palette entries of entrySize bytes (blue, green, red first)
// into the palette and the parameters' colour map.
bool ReadPalette(TStream* stream, int count, int entrySize, TBmpPalette& palette,
                 TIOParamsVals& params) {
  uint8_t raw[256 * 4];
  if (!IEReadExact(stream, raw, int64_t{count} * entrySize)) return false;
  palette.fill(TRGB{0, 0, 0});
  for (int i = 0; i < count; ++i)
    palette[i] = TRGB{raw[i * entrySize], raw[i * entrySize + 1], raw[i * entrySize + 2]};
  params.SetColorMap(palette.data(), count);
  return true;
}

bool ReadCoreHeader(TStream* stream, TBmpHeader& header, TBmpPalette& palette,
                    TIOParamsVals& params) {
  uint8_t b[12];
  if (!IEReadExact(stream, b, sizeof b)) return false;
  header.width = IEGetLE16(b + 4);
  header.height = IEGetLE16(b + 6);
  header.bits = IEGetLE16(b + 10);
  params.BMP_Version = ioBMP_BMOS2V1;
  params.DPIX = gSystemDPIX;
  params.DPIY = gSystemDPIY;
  if (header.bits <= 8 && !ReadPalette(stream, 1 << header.bits, 3, palette, params)) return false;
  return true;
}

bool ReadWindowsHeader(TStream* stream, uint32_t size, TBmpHeader& header, TBmpPalette& palette,
                       TIOParamsVals& params) {
  // Width, height, planes and bit count are the least a header must give.
  if (size < 16 || size > static_cast<uint64_t>(IEStreamBytesLeft(stream))) return false;
  uint8_t b[64] = {};
  const int kept = static_cast<int>(std::min<uint32_t>(size, sizeof b));
  if (!IEReadExact(stream, b, kept)) return false;
  if (size > sizeof b) stream->Seek(size - sizeof b, soCurrent);
  params.BMP_Version = size == 64 ? ioBMP_BMOS2V2 : size == 40 ? ioBMP_BM3 : ioBMP_BM;

  const int32_t height = IEGetLE32s(b + 8);
  header.width = IEGetLE32s(b + 4);
  header.height = height < 0 ? -int64_t{height} : height;
  header.topDown = height < 0;
  header.bits = IEGetLE16(b + 14);
  header.compression = IEGetLE32(b + 16);
  header.imageSize = IEGetLE32(b + 20);
  params.DPIX = IEBmpDpi(IEGetLE32s(b + 24), gSystemDPIX);
  params.DPIY = IEBmpDpi(IEGetLE32s(b + 28), gSystemDPIY);

  uint32_t colors = IEGetLE32(b + 32);
  if (colors > 256) colors = 0;
  if (colors == 0 && header.bits <= 8) colors = 1u << header.bits;
  if (colors > 0 && !ReadPalette(stream, static_cast<int>(colors), 4, palette, params))
    return false;

  if (header.compression == 3) {
    // Version 2 and later Windows headers carry the masks themselves (the
    // 64-byte OS/2 header has other fields there); the plain 40-byte
    // header is followed by them.
    if (size >= 52 && size != 64) {
      for (int i = 0; i < 3; ++i) header.masks[i] = IEGetLE32(b + 40 + 4 * i);
    } else {
      uint8_t m[12];
      if (!IEReadExact(stream, m, sizeof m)) return false;
      for (int i = 0; i < 3; ++i) header.masks[i] = IEGetLE32(m + 4 * i);
    }
  }
  return true;
}

// The depth/compression pairs this reader decodes.
bool CanDecode(const TBmpHeader& h) {
  switch (h.bits) {
    case 1: return h.compression == 0;
    case 4: return h.compression == 0 || (h.compression == 2 && !h.topDown);
    case 8: return h.compression == 0 || (h.compression == 1 && !h.topDown);
    case 16: return h.compression == 0 || h.compression == 3;
    case 24:
    case 32: return true;
    default: return false;
  }
}

void SetDepthParams(int bits, TIOParamsVals& params) {
  switch (bits) {
    case 1:
    case 4:
    case 8:
      params.BitsPerSample = bits;
      params.SamplesPerPixel = 1;
      break;
    case 16:
      params.BitsPerSample = 5;
      params.SamplesPerPixel = 3;
      break;
    default:
      params.BitsPerSample = 8;
      params.SamplesPerPixel = 3;
      break;
  }
}

// Shifts right by n, or left by -n; shifts of 32 or more give 0.
uint32_t ShiftBy(uint32_t value, int n) {
  if (n >= 32 || n <= -32) return 0;
  return n >= 0 ? value >> n : value << -n;
}

// Converts one stored row to the bitmap row.
class TRowConverter {
 public:
  TRowConverter(const TBmpHeader& header, const TBmpPalette& palette)
      : header_(header), palette_(palette) {
    const int r = _GetBitCount(header.masks[0]);
    const int g = _GetBitCount(header.masks[1]);
    const int b = _GetBitCount(header.masks[2]);
    redShift_ = r + g + b - 8;
    greenShift_ = g + b - 8;
    blueShift_ = b - 8;  // negative: a left shift
  }

  void Convert(const uint8_t* src, uint8_t* dst) const {
    const int64_t width = header_.width;
    switch (header_.bits) {
      case 4:
        for (int64_t x = 0; x < width; ++x) {
          const uint8_t byte = src[x / 2];
          Put(dst, x, palette_[(x & 1) ? (byte & 0x0F) : (byte >> 4)]);
        }
        break;
      case 8:
        for (int64_t x = 0; x < width; ++x) Put(dst, x, palette_[src[x]]);
        break;
      case 16:
        for (int64_t x = 0; x < width; ++x) {
          const uint32_t v = IEGetLE16(src + 2 * x);
          const uint8_t red = ShiftBy(v & header_.masks[0], redShift_) & 0xFF;
          const uint8_t green = ShiftBy(v & header_.masks[1], greenShift_) & 0xFF;
          const uint8_t blue = ShiftBy((v & 0xFF) & (header_.masks[2] & 0xFF), blueShift_) & 0xFF;
          Put(dst, x, TRGB{blue, green, red});
        }
        break;
      case 32:
        for (int64_t x = 0; x < width; ++x) std::memcpy(dst + 3 * x, src + 4 * x, 3);
        break;
    }
  }

 private:
  static void Put(uint8_t* dst, int64_t x, const TRGB& c) { std::memcpy(dst + 3 * x, &c, 3); }

  const TBmpHeader& header_;
  const TBmpPalette& palette_;
  int redShift_ = 0;
  int greenShift_ = 0;
  int blueShift_ = 0;
};

int BitmapRow(const TBmpHeader& header, int64_t storedRow) {
  return static_cast<int>(header.topDown ? storedRow : header.height - 1 - storedRow);
}

// Reads up to count bytes; what the stream lacks reads as 0.
void ReadOrZero(TStream* stream, uint8_t* buffer, int64_t count) {
  const int64_t got = std::max<int64_t>(0, stream->Read(buffer, count));
  if (got < count) std::memset(buffer + got, 0, static_cast<size_t>(count - got));
}

void DecodeUncompressed(TStream* stream, TIEBitmap* bitmap, const TBmpHeader& header,
                        const TBmpPalette& palette, TProgressRec& progress) {
  const int64_t fileRowLen = _BitmapRowLen(header.width, header.bits);
  // 1- and 24-bit rows have the bitmap's own layout and go straight in.
  const bool direct = header.bits == 1 || header.bits == 24;
  std::vector<uint8_t> buffer(direct ? 0 : static_cast<size_t>(fileRowLen));
  const TRowConverter converter(header, palette);
  for (int64_t i = 0; i < header.height; ++i) {
    uint8_t* row = bitmap->GetScanLine(BitmapRow(header, i));
    if (direct) {
      ReadOrZero(stream, row, fileRowLen);
    } else {
      ReadOrZero(stream, buffer.data(), fileRowLen);
      converter.Convert(buffer.data(), row);
    }
    if (IEProgressStep(progress)) return;
  }
}

// Decodes RLE8 (bits 8) or RLE4 (bits 4) data into the 24-bit bitmap,
// starting at the last row.
void DecodeRle(const std::vector<uint8_t>& data, TIEBitmap* bitmap, const TBmpHeader& header,
               const TBmpPalette& palette, TProgressRec& progress) {
  const bool rle4 = header.bits == 4;
  const int64_t width = header.width;
  int64_t x = 0;
  int64_t y = header.height - 1;
  uint8_t* row = bitmap->GetScanLine(static_cast<int>(y));
  auto put = [&](uint8_t index) {
    if (x < width) std::memcpy(row + 3 * x, &palette[index], 3);
    ++x;
  };
  size_t p = 0;
  while (p + 1 < data.size()) {
    const uint8_t n = data[p];
    const uint8_t second = data[p + 1];
    p += 2;
    if (n != 0) {  // encoded run
      for (int i = 0; i < n; ++i)
        put(rle4 ? ((i & 1) ? (second & 0x0F) : (second >> 4)) : second);
      continue;
    }
    if (second == 0) {  // end of line
      x = 0;
      if (--y < 0) return;
      row = bitmap->GetScanLine(static_cast<int>(y));
      if (IEProgressStep(progress)) return;
    } else if (second == 1) {  // end of bitmap
      return;
    } else if (second == 2) {  // delta
      if (p + 1 >= data.size()) return;
      x += data[p];
      y -= data[p + 1];
      p += 2;
      if (y < 0) return;
      row = bitmap->GetScanLine(static_cast<int>(y));
    } else {  // absolute run
      const size_t bytes = rle4 ? (second + 1) / 2 : second;
      if (p + bytes > data.size()) return;
      for (int i = 0; i < second; ++i)
        put(rle4 ? ((i & 1) ? (data[p + i / 2] & 0x0F) : (data[p + i / 2] >> 4)) : data[p + i]);
      p += bytes + (bytes & 1);
    }
  }
}

bool IsWhite(const TRGB& c) { return c.r == 255 && c.g == 255 && c.b == 255; }
bool IsBlack(const TRGB& c) { return c.r == 0 && c.g == 0 && c.b == 0; }

}  // namespace

void BMPReadStream(TStream* Stream, TIEBitmap* Bitmap, int64_t BlockLength,
                   TIOParamsVals& IOParams, TProgressRec& Progress, bool Preview) {
  const int64_t start = Stream->GetPosition();
  uint8_t fileHeader[kBmpFileHeaderSize];
  if (!IEReadExact(Stream, fileHeader, sizeof fileHeader) || fileHeader[0] != 'B' ||
      fileHeader[1] != 'M') {
    IESetAbort(Progress);
    return;
  }
  const uint32_t fileSize = IEGetLE32(fileHeader + 2);
  const uint32_t dataOffset = IEGetLE32(fileHeader + 10);
  if (BlockLength < 1 && fileSize != 0) BlockLength = fileSize;

  uint8_t sizeBytes[4];
  if (!IEReadExact(Stream, sizeBytes, 4)) {
    IESetAbort(Progress);
    return;
  }
  Stream->Seek(-4, soCurrent);
  IOParams.SetColorMap(nullptr, 0);
  const uint32_t infoSize = IEGetLE32(sizeBytes);

  TBmpHeader header;
  TBmpPalette palette{};
  const bool headerRead = infoSize == 12
                              ? ReadCoreHeader(Stream, header, palette, IOParams)
                              : ReadWindowsHeader(Stream, infoSize, header, palette, IOParams);
  if (!headerRead || header.width <= 0 || header.height <= 0 || header.height > INT32_MAX ||
      !CanDecode(header)) {
    IESetAbort(Progress);
    return;
  }
  if (header.compression == 0 || header.compression == 3)
    IOParams.BMP_Compression = ioBMP_UNCOMPRESSED;
  else if (header.compression == 1 || header.compression == 2)
    IOParams.BMP_Compression = ioBMP_RLE;
  IOParams.Width = static_cast<int32_t>(header.width);
  IOParams.Height = static_cast<int32_t>(header.height);
  SetDepthParams(header.bits, IOParams);
  IENoteReadDepth(IOParams);

  if (dataOffset != 0) Stream->Seek(start + dataOffset, soBeginning);
  const int64_t available = IEStreamBytesLeft(Stream);
  int64_t dataLength = BlockLength > 0 ? BlockLength - (Stream->GetPosition() - start)
                                       : header.imageSize;
  dataLength = std::clamp<int64_t>(dataLength, 0, available);
  if (Preview) return;

  const bool rle = header.compression == 1 || header.compression == 2;
  const TIEPixelFormat format = header.bits == 1 ? ie1g : ie24RGB;
  const int64_t pictureBytes =
      IEMulSat(_BitmapRowLen(header.width, IEBitsPerPixel(format)), header.height);
  const int64_t fileRowLen = _BitmapRowLen(header.width, header.bits);
  // A file that lost part of its last row still reads, but the missing part
  // may be no larger than what is there: otherwise a one-row header would
  // need no data at all, however long its row.
  const bool covered =
      rle ? IEDataCoversPicture(pictureBytes, IEMulSat(header.width, header.height) / kRlePixelsPerByte,
                                dataLength, 0)
          : IEDataCoversPicture(pictureBytes, IEMulSat(fileRowLen, header.height), available,
                                std::min(fileRowLen, available));
  // Pixel data that starts at or past the end of the file gives no picture.
  if (available == 0 || !covered || !IEAllocateBitmap(Bitmap, header.width, header.height, format)) {
    IESetAbort(Progress);
    return;
  }
  IEProgressStart(Progress, header.height);

  if (rle) {
    std::vector<uint8_t> data(static_cast<size_t>(dataLength));
    data.resize(static_cast<size_t>(std::max<int64_t>(0, Stream->Read(data.data(), dataLength))));
    Bitmap->Fill(0);  // pixels that no run reaches
    DecodeRle(data, Bitmap, header, palette, Progress);
    return;
  }
  DecodeUncompressed(Stream, Bitmap, header, palette, Progress);
  if (header.bits == 1 && IOParams.ColorMapCount == 2 && IsWhite(palette[0]) &&
      IsBlack(palette[1]))
    _Negative1BitEx(Bitmap);  // a set bit stays white
}
