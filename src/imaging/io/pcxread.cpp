// PCX reader: header, palettes and the plane layouts, plain or run-length
// coded lines.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/ievalues.h"
#include "imaging/core/ieview.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/pcxfilter.h"
#include "imaging/io/pcxformat.h"

namespace {

enum class TLayout { OneBit, Nibbles, Indexed8, Rgb, BitPlanes, None };

struct TPcxHeader {
  int version = 0;
  bool rle = false;
  int bits = 0;
  int planes = 0;
  int64_t width = 0;
  int64_t height = 0;
  int64_t bytesPerLine = 0;
  TLayout layout = TLayout::None;
};

TLayout LayoutOf(int bits, int planes) {
  if (planes == 1 && bits == 1) return TLayout::OneBit;
  if (planes == 1 && (bits == 2 || bits == 4)) return TLayout::Nibbles;
  if (planes == 1 && bits == 8) return TLayout::Indexed8;
  if (planes == 3 && bits == 8) return TLayout::Rgb;
  if (planes >= 2 && planes <= 4 && bits == 1) return TLayout::BitPlanes;
  return TLayout::None;
}

bool ParseHeader(const uint8_t* h, TPcxHeader& header) {
  if (h[0] != kPcxManufacturer || h[kPcxBitsPerPixel] > 8 || h[kPcxEncoding] > 1) return false;
  header.version = h[kPcxVersion];
  header.rle = h[kPcxEncoding] == 1;
  header.bits = h[kPcxBitsPerPixel];
  header.planes = h[kPcxPlanes];
  header.width = int64_t{IEGetLE16(h + kPcxWindow + 4)} - IEGetLE16(h + kPcxWindow) + 1;
  header.height = int64_t{IEGetLE16(h + kPcxWindow + 6)} - IEGetLE16(h + kPcxWindow + 2) + 1;
  header.bytesPerLine = IEGetLE16(h + kPcxBytesPerLine);
  header.layout = LayoutOf(header.bits, header.planes);
  if (header.width <= 0 || header.height <= 0 || header.layout == TLayout::None) return false;
  // Every plane line must hold the pixels of the row.
  return header.bytesPerLine >= (header.width * header.bits + 7) / 8;
}

// The bits of the pixel index: the planes of 1 bit count as one index.
int IndexBits(const TPcxHeader& header) {
  return header.layout == TLayout::BitPlanes ? header.planes : header.bits;
}

// Hands out the bytes of the picture lines; a run may continue from one
// line into the next.
class TLineDecoder {
 public:
  TLineDecoder(const std::vector<uint8_t>& data, bool rle) : data_(data), rle_(rle) {}

  // Fills count bytes; false when the data ends first.
  bool Decode(uint8_t* line, int64_t count) {
    int64_t filled = 0;
    if (!rle_) {
      if (static_cast<int64_t>(data_.size() - pos_) < count) return false;
      std::memcpy(line, data_.data() + pos_, static_cast<size_t>(count));
      pos_ += static_cast<size_t>(count);
      return true;
    }
    while (filled < count) {
      if (pending_ > 0) {
        const int64_t n = std::min<int64_t>(pending_, count - filled);
        std::memset(line + filled, pendingValue_, static_cast<size_t>(n));
        filled += n;
        pending_ -= static_cast<int>(n);
        continue;
      }
      if (pos_ >= data_.size()) return false;
      const uint8_t b = data_[pos_++];
      if (b < kPcxRunMark) {
        line[filled++] = b;
        continue;
      }
      if (pos_ >= data_.size()) return false;
      pending_ = b & kPcxMaxRun;
      pendingValue_ = data_[pos_++];
    }
    return true;
  }

 private:
  const std::vector<uint8_t>& data_;
  bool rle_;
  size_t pos_ = 0;
  int pending_ = 0;
  uint8_t pendingValue_ = 0;
};

void PutRgb(uint8_t* row, int64_t x, const TRGB& c) { std::memcpy(row + 3 * x, &c, 3); }

void StoreRow(const TPcxHeader& header, const uint8_t* line, const std::array<TRGB, 256>& palette,
              uint8_t* row) {
  const int64_t width = header.width;
  const int64_t bpl = header.bytesPerLine;
  switch (header.layout) {
    case TLayout::OneBit:
      std::memcpy(row, line, static_cast<size_t>((width + 7) / 8));
      break;
    case TLayout::Indexed8:
      for (int64_t x = 0; x < width; ++x) PutRgb(row, x, palette[line[x]]);
      break;
    case TLayout::Nibbles: {
      const int bits = header.bits;
      const int perByte = 8 / bits;
      const int mask = (1 << bits) - 1;
      for (int64_t x = 0; x < width; ++x) {
        const int shift = 8 - bits * (1 + static_cast<int>(x % perByte));
        PutRgb(row, x, palette[(line[x / perByte] >> shift) & mask]);
      }
      break;
    }
    case TLayout::Rgb:
      for (int64_t x = 0; x < width; ++x)
        PutRgb(row, x, TRGB{line[2 * bpl + x], line[bpl + x], line[x]});
      break;
    case TLayout::BitPlanes:
      for (int64_t x = 0; x < width; ++x) {
        int index = 0;
        for (int k = 0; k < header.planes; ++k)
          index |= ((line[k * bpl + x / 8] >> (7 - x % 8)) & 1) << k;
        PutRgb(row, x, palette[index]);
      }
      break;
    case TLayout::None: break;
  }
}

}  // namespace

void ReadPcxStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams, int64_t Size,
                   TProgressRec& Progress, bool Preview) {
  try {
    const int64_t start = Stream->GetPosition();
    uint8_t h[kPcxHeaderSize];
    TPcxHeader header;
    if (Size < kPcxHeaderSize || !IEReadExact(Stream, h, sizeof h) || !ParseHeader(h, header)) {
      IESetAbort(Progress);
      return;
    }
    // The data ends at the given size or the stream's end, whichever is first.
    const int64_t dataSize = std::min(Size, IEStreamBytesLeft(Stream) + kPcxHeaderSize) - kPcxHeaderSize;

    std::array<TRGB, 256> palette{};
    for (int i = 0; i < 16; ++i) {
      const uint8_t* e = h + kPcxPalette16 + 3 * i;
      palette[i] = TRGB{e[2], e[1], e[0]};
    }
    if (header.layout == TLayout::Indexed8) {
      if (dataSize < kPcxPaletteBytes) {
        IESetAbort(Progress);
        return;
      }
      uint8_t raw[kPcxPaletteBytes];
      Stream->SetPosition(start + kPcxHeaderSize + dataSize - kPcxPaletteBytes);
      if (!IEReadExact(Stream, raw, sizeof raw)) {
        IESetAbort(Progress);
        return;
      }
      for (int i = 0; i < 256; ++i) palette[i] = TRGB{raw[3 * i + 2], raw[3 * i + 1], raw[3 * i]};
      Stream->SetPosition(start + kPcxHeaderSize);
    }

    IOParams.Width = static_cast<int32_t>(header.width);
    IOParams.Height = static_cast<int32_t>(header.height);
    IOParams.DPIX = IEGetLE16(h + kPcxDpiX);
    IOParams.DPIY = IEGetLE16(h + kPcxDpiY);
    if (IOParams.DPIX == 0 || IOParams.DPIY == 0) {
      IOParams.DPIX = gSystemDPIX;
      IOParams.DPIY = gSystemDPIY;
    }
    IOParams.PCX_Version = header.version;
    const int indexBits = IndexBits(header);
    IOParams.BitsPerSample = header.layout == TLayout::BitPlanes ? indexBits : header.bits;
    IOParams.SamplesPerPixel = header.layout == TLayout::BitPlanes ? 1 : header.planes;
    IENoteReadDepth(IOParams);
    if (header.layout == TLayout::Rgb)
      IOParams.SetColorMap(nullptr, 0);
    else
      IOParams.SetColorMap(palette.data(), 1 << indexBits);
    if (Preview) return;

    const TIEPixelFormat format = header.layout == TLayout::OneBit ? ie1g : ie24RGB;
    const int64_t lineBytes = header.bytesPerLine * header.planes;
    const int64_t pictureBytes =
        IEMulSat(_BitmapRowLen(header.width, IEBitsPerPixel(format)), header.height);
    // A run gives at most 63 bytes for 2.
    const int64_t needed = IEMulSat(lineBytes, header.height) / (header.rle ? kPcxMaxRun / 2 : 1);
    if (!IEDataCoversPicture(pictureBytes, needed, dataSize, 0) ||
        !IEAllocateBitmap(Bitmap, header.width, header.height, format)) {
      IESetAbort(Progress);
      return;
    }
    std::vector<uint8_t> data(static_cast<size_t>(dataSize));
    data.resize(static_cast<size_t>(std::max<int64_t>(0, Stream->Read(data.data(), dataSize))));
    std::vector<uint8_t> line(static_cast<size_t>(lineBytes));
    TLineDecoder decoder(data, header.rle);
    IEProgressStart(Progress, header.height);
    for (int y = 0; y < header.height; ++y) {
      if (Progress.OnProgress)
        Progress.OnProgress(Progress.Sender, static_cast<int>(y * Progress.Percent));
      if (IEAborted(Progress)) return;
      const bool complete = decoder.Decode(line.data(), lineBytes);
      StoreRow(header, line.data(), palette, Bitmap->GetScanLine(y));
      if (!complete) {
        // Rows the data does not reach stay black.
        for (int r = y + 1; r < header.height; ++r)
          std::memset(Bitmap->GetScanLine(r), 0, static_cast<size_t>(Bitmap->RowLen));
        IESetAbort(Progress);
        return;
      }
      std::fill(line.begin(), line.end(), 0);
    }
  } catch (const std::exception&) {
    IESetAbort(Progress);
  }
}

void ReadPcx(const std::string& FileName, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
             TProgressRec& Progress) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  ReadPcxStream(&file, Bitmap, IOParams, file.GetSize(), Progress, false);
}
