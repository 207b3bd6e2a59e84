// Icon and cursor files: the content tests and the reader of one image of
// the directory (XOR bitmap plus AND transparency mask).
#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iebits.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ieview.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/bmpfilt.h"
#include "imaging/io/bmpformat.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/pngfilt.h"

namespace {

constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;
constexpr uint16_t kIconType = 1;
constexpr uint16_t kCursorType = 2;

bool TryDirectory(TStream* stream, uint16_t type) {
  if (stream->GetSize() < 23) return false;
  uint8_t dir[kDirectorySize];
  if (!IEReadExact(stream, dir, sizeof dir)) return false;
  const uint16_t count = IEGetLE16(dir + 4);
  if (IEGetLE16(dir) != 0 || IEGetLE16(dir + 2) != type || count == 0) return false;
  for (int i = 0; i < count; ++i) {
    uint8_t entry[kEntrySize];
    if (!IEReadExact(stream, entry, sizeof entry)) return false;
    if (entry[3] != 0 || IEGetLE32(entry + 8) == 0 ||
        IEGetLE32(entry + 12) < static_cast<uint64_t>(stream->GetPosition()))
      return false;
  }
  return true;
}

bool TryStream(TStream* stream, uint16_t type) {
  const int64_t position = stream->GetPosition();
  bool result = false;
  try {
    result = TryDirectory(stream, type);
  } catch (const std::exception&) {
    result = false;
  }
  stream->Seek(position, soBeginning);
  return result;
}

uint8_t IndexAt(const uint8_t* row, int64_t x, int bits) {
  switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default: return row[x];
  }
}

bool AndBitSet(const uint8_t* andRow, int64_t x) { return (andRow[x >> 3] >> (7 - (x & 7))) & 1; }

// The parts of one directory image the decoder needs.
struct TIconImage {
  int64_t width = 0;
  int64_t height = 0;
  int bits = 0;
  TBmpPalette palette{};
  TRGB background{};
  TIEPixelFormat format = ie24RGB;
  bool decoded = false;  // whether this reader decodes the depth at all
  bool andRowsUsed = false;
};

bool IsWhite(const TRGB& c) { return c.r == 255 && c.g == 255 && c.b == 255; }

// Reads the XOR rows (and the AND rows when used) that follow the palette
// into the bitmap and the mask.
void DecodeRows(TStream* stream, TIEBitmap* bitmap, TIEMask* mask, const TIconImage& image) {
  const int64_t xorRowLen = _BitmapRowLen(image.width, image.bits);
  const int64_t andRowLen = _BitmapRowLen(image.width, 1);
  std::vector<uint8_t> xorBlock(static_cast<size_t>(xorRowLen * image.height));
  std::vector<uint8_t> andBlock(image.andRowsUsed ? static_cast<size_t>(andRowLen * image.height)
                                                  : 0);
  // Data the file lacks reads as 0.
  stream->Read(xorBlock.data(), static_cast<int64_t>(xorBlock.size()));
  if (!andBlock.empty()) stream->Read(andBlock.data(), static_cast<int64_t>(andBlock.size()));

  const uint8_t flip = IsWhite(image.background) ? 1 : 0;
  for (int64_t i = 0; i < image.height; ++i) {
    const int y = static_cast<int>(image.height - 1 - i);
    const uint8_t* src = xorBlock.data() + i * xorRowLen;
    const uint8_t* andRow = andBlock.empty() ? nullptr : andBlock.data() + i * andRowLen;
    uint8_t* dst = bitmap->GetScanLine(y);
    uint8_t* maskRow = mask ? mask->GetScanLine(y) : nullptr;
    if (image.format == ie1g) {
      std::memcpy(dst, src, static_cast<size_t>(std::min<int64_t>(xorRowLen, bitmap->RowLen)));
    } else if (image.bits == 24) {
      std::memcpy(dst, src, static_cast<size_t>(image.width * 3));
    } else if (image.bits == 32) {
      // Blue, green, red, alpha: the alpha byte is the transparency.
      for (int64_t x = 0; x < image.width; ++x) {
        std::memcpy(dst + 3 * x, src + 4 * x, 3);
        if (maskRow) maskRow[x] = src[4 * x + 3];
      }
    }
    for (int64_t x = 0; x < image.width; ++x) {
      const bool transparent = andRow && AndBitSet(andRow, x);
      if (image.format == ie1g) {
        if (transparent) _SetPixelbw(dst, x, _GetPixelbw(dst, x) ? 1 - flip : flip);
      } else if (image.bits <= 8) {
        const TRGB& c = transparent ? image.background : image.palette[IndexAt(src, x, image.bits)];
        std::memcpy(dst + 3 * x, &c, 3);
      }
      if (transparent && maskRow) maskRow[x] = 0;
    }
  }
}

// An entry stored as a PNG picture (as large icons are): the PNG reader
// decodes it, its transparency going to the mask. Without a mask the
// picture is laid on the icon's or cursor's background.
void ReadPngEntry(TStream* stream, TIEBitmap* bitmap, TIOParamsVals& params, bool preview,
                  TProgressRec& progress, TIEMask*& mask, bool noMask, bool cursor) {
  const TRGB pngBackground = params.PNG_Background;
  if (noMask) params.PNG_Background = cursor ? params.CUR_Background : params.ICO_Background;
  TIEMask* none = nullptr;
  ReadPNGStream(stream, bitmap, params, progress, preview, noMask ? none : mask, noMask);
  params.PNG_Background = pngBackground;
}

void ReadIconOrCursor(TStream* stream, TIEBitmap* bitmap, TIOParamsVals& params, bool preview,
                      TProgressRec& progress, TIEMask*& mask, bool noMask, bool cursor) {
  const int64_t start = stream->GetPosition();
  uint8_t dir[kDirectorySize];
  if (!IEReadExact(stream, dir, sizeof dir)) {
    IESetAbort(progress);
    return;
  }
  if (!cursor && dir[0] == 'B' && dir[1] == 'M') {
    stream->Seek(start, soBeginning);
    BMPReadStream(stream, bitmap, stream->GetSize() - start, params, progress, preview);
    return;
  }
  const int count = IEGetLE16(dir + 4);
  const int index = cursor ? params.CUR_ImageIndex : params.ICO_ImageIndex;
  if (index < 0 || index >= count) return;

  uint8_t entry[kEntrySize];
  for (int i = 0; i <= index; ++i) {
    if (!IEReadExact(stream, entry, sizeof entry)) {
      IESetAbort(progress);
      return;
    }
  }
  const uint32_t offset = IEGetLE32(entry + 12);
  if (start + static_cast<int64_t>(offset) > stream->GetSize()) {
    IESetAbort(progress);
    return;
  }
  stream->Seek(start + offset, soBeginning);
  if (cursor) {
    params.CUR_HotSpotX = IEGetLE16(entry + 4);
    params.CUR_HotSpotY = IEGetLE16(entry + 6);
  }
  if (IsPNGStream(stream)) return ReadPngEntry(stream, bitmap, params, preview, progress, mask, noMask, cursor);
  uint8_t header[kBmpInfoHeaderSize];
  if (!IEReadExact(stream, header, sizeof header)) {
    IESetAbort(progress);
    return;
  }
  const int32_t headerWidth = IEGetLE32s(header + 4);
  const int32_t headerHeight = IEGetLE32s(header + 8);
  const int headerBits = IEGetLE16(header + 14);
  const uint8_t colorCount = entry[2];

  int dpiX = IEBmpDpi(IEGetLE32s(header + 24), gSystemDPIX);
  int dpiY = IEBmpDpi(IEGetLE32s(header + 28), gSystemDPIY);
  params.DPIX = dpiX < 1 ? gSystemDPIX : dpiX;
  params.DPIY = dpiY < 1 ? gSystemDPIY : dpiY;

  TIconImage image;
  image.width = entry[0] != 0 ? entry[0] : headerWidth;
  image.height = entry[1] != 0 ? entry[1] : headerHeight / 2;
  if (cursor) {
    params.Width = static_cast<int32_t>(image.width);
    params.Height = static_cast<int32_t>(image.height);
    image.bits = headerBits;
  } else {
    if (entry[0] != 0 && headerWidth != 0 && entry[0] != headerWidth && headerWidth < 2048 &&
        headerHeight < 2048) {
      image.width = headerWidth;
      image.height = headerHeight / 2;
    }
    image.bits = IEGetLE16(entry + 6);
    if (headerBits != 0) image.bits = headerBits;
  }
  if (image.bits == 0) {
    if (colorCount == 0) {
      IESetAbort(progress);
      return;
    }
    image.bits = _NColToBitsPixel(colorCount);
  }
  const bool knownDepth = image.bits == 1 || image.bits == 4 || image.bits == 8 ||
                          image.bits == 16 || image.bits == 24 || image.bits == 32;
  if (!knownDepth || image.width <= 0 || image.height <= 0) {
    IESetAbort(progress);
    return;
  }

  int paletteCount = 0;
  if (cursor) {
    params.BitsPerSample = image.bits;
    params.SamplesPerPixel = 1;
    paletteCount = colorCount == 255 ? 256 : colorCount;
    if (paletteCount == 0 && image.bits <= 8) paletteCount = 1 << image.bits;
    image.format = paletteCount == 2 && image.bits == 1 ? ie1g : ie24RGB;
    image.background = params.CUR_Background;
  } else {
    params.BitsPerSample = image.bits > 8 ? 8 : image.bits;
    params.SamplesPerPixel = image.bits > 8 ? 3 : 1;
    if (image.bits <= 8) paletteCount = 1 << image.bits;
    image.format = image.bits == 1 ? ie1g : ie24RGB;
    image.background = params.ICO_Background;
  }
  // Icons and cursors share their pixel forms: every depth but 16 bits.
  image.decoded = image.bits != 16;
  IENoteReadDepth(params);
  image.andRowsUsed = image.bits <= 8;
  if (paletteCount > 0) {
    uint8_t raw[256 * 4];
    if (!IEReadExact(stream, raw, int64_t{paletteCount} * 4)) {
      IESetAbort(progress);
      return;
    }
    for (int i = 0; i < paletteCount; ++i)
      image.palette[i] = TRGB{raw[4 * i], raw[4 * i + 1], raw[4 * i + 2]};
    params.SetColorMap(image.palette.data(), paletteCount);
  }
  params.Width = static_cast<int32_t>(image.width);
  params.Height = static_cast<int32_t>(image.height);
  if (preview) return;

  const int64_t pictureBytes =
      IEMulSat(_BitmapRowLen(image.width, IEBitsPerPixel(image.format)), image.height);
  int64_t needed = IEMulSat(_BitmapRowLen(image.width, image.bits), image.height);
  if (image.andRowsUsed && needed < INT64_MAX)
    needed = IEMulSat(_BitmapRowLen(image.width, 1) + _BitmapRowLen(image.width, image.bits), image.height);
  if (!IEDataCoversPicture(pictureBytes, needed, IEStreamBytesLeft(stream), 0) ||
      !IEAllocateBitmap(bitmap, image.width, image.height, image.format)) {
    IESetAbort(progress);
    return;
  }
  TIEMask* target = nullptr;
  if (!noMask) {
    if (!mask) mask = new TIEMask();
    mask->AllocateBits(static_cast<int32_t>(image.width), static_cast<int32_t>(image.height), 8);
    mask->Fill(255);
    mask->Full = false;
    target = mask;
  }
  if (!image.decoded) {
    bitmap->Fill(0);  // depths this reader leaves blank
    return;
  }
  DecodeRows(stream, bitmap, target, image);
}

}  // namespace

bool ICOTryStream(TStream* Stream) { return TryStream(Stream, kIconType); }
bool CURTryStream(TStream* Stream) { return TryStream(Stream, kCursorType); }

void ICOReadStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams, bool Preview,
                   TProgressRec& Progress, TIEMask*& Mask, bool NoMask) {
  ReadIconOrCursor(Stream, Bitmap, IOParams, Preview, Progress, Mask, NoMask, false);
}

void CURReadStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams, bool Preview,
                   TProgressRec& Progress, TIEMask*& Mask, bool NoMask) {
  ReadIconOrCursor(Stream, Bitmap, IOParams, Preview, Progress, Mask, NoMask, true);
}
