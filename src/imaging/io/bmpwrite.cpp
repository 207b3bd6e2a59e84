// BMP writer: 1-, 4-, 8- and 24-bit pictures with a core, Windows or
// OS/2 2.x header, RLE4/RLE8 coding of palette rows.
#include <cstring>
#include <memory>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iestreams.h"
#include "imaging/core/ievalues.h"
#include "imaging/core/neurquant.h"
#include "imaging/io/bmpfilt.h"
#include "imaging/io/bmpformat.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/proc/iecolordepth.h"

namespace {

constexpr int kCoreHeaderSize = 12;
constexpr int kOs2HeaderSize = 64;

// The depth written: what the parameters ask for, unless they only repeat
// the depth of the last file read, in which case the picture's own format
// decides, so that a save never inherits a depth that loses the picture.
int ChooseBits(const TIOParamsVals& params, const TIEBitmap* bitmap) {
  if (IEDepthInheritedFromRead(params)) return bitmap->PixelFormat == ie1g ? 1 : 24;
  if (params.BitsPerSample == 1) return 1;
  if (params.BitsPerSample == 4) return 4;
  if (params.SamplesPerPixel == 1) return 8;
  return 24;
}

// Run-length coding of one row of palette indices (RLE8, or RLE4 with
// rle4), ending with the end-of-line code.
class TRleRowEncoder {
 public:
  TRleRowEncoder(bool rle4, std::vector<uint8_t>& out) : rle4_(rle4), out_(out) {}

  void Encode(const uint8_t* d, int64_t width) {
    int64_t pendingStart = 0;
    int64_t pending = 0;
    int64_t p = 0;
    while (p < width) {
      if (p + 1 < width && d[p] == d[p + 1]) {
        Flush(d + pendingStart, pending);
        pending = 0;
        int n = 1;
        while (p + n < width && d[p + n] == d[p] && n < 255) ++n;
        out_.push_back(static_cast<uint8_t>(n));
        out_.push_back(rle4_ ? static_cast<uint8_t>((d[p] << 4) | d[p]) : d[p]);
        p += n;
        continue;
      }
      if (pending == 0) pendingStart = p;
      if (++pending == 255) {
        Flush(d + pendingStart, pending);
        pending = 0;
      }
      ++p;
    }
    Flush(d + pendingStart, pending);
    out_.push_back(0);
    out_.push_back(0);
  }

 private:
  // Writes a literal stretch of at most 255 pixels.
  void Flush(const uint8_t* d, int64_t n) {
    if (n == 0) return;
    if (n == 1 || (n == 2 && !rle4_)) {
      for (int64_t i = 0; i < n; ++i) {
        out_.push_back(1);
        out_.push_back(rle4_ ? static_cast<uint8_t>(d[i] << 4) : d[i]);
      }
      return;
    }
    if (n == 2) {
      out_.push_back(2);
      out_.push_back(static_cast<uint8_t>((d[0] << 4) | d[1]));
      return;
    }
    out_.push_back(0);
    out_.push_back(static_cast<uint8_t>(n));
    int64_t bytes = 0;
    if (rle4_) {
      for (int64_t i = 0; i < n; i += 2, ++bytes)
        out_.push_back(static_cast<uint8_t>((d[i] << 4) | (i + 1 < n ? d[i + 1] : 0)));
    } else {
      out_.insert(out_.end(), d, d + n);
      bytes = n;
    }
    if (bytes & 1) out_.push_back(0);
  }

  bool rle4_;
  std::vector<uint8_t>& out_;
};

class TBmpWriter {
 public:
  TBmpWriter(TStream* stream, TIEBitmap* bitmap, TIOParamsVals& params, TProgressRec& progress)
      : stream_(stream), bitmap_(bitmap), params_(params), progress_(progress),
        abort_(progress.Aborting ? *progress.Aborting : localAbort_) {}

  void Write() {
    bits_ = ChooseBits(params_, bitmap_);
    core_ = params_.BMP_Version == ioBMP_BMOS2V1;
    // The core header holds 16-bit sizes only.
    if (core_ && (bitmap_->Width > 0xFFFF || bitmap_->Height > 0xFFFF)) {
      abort_ = true;
      return;
    }
    rle_ = !core_ && params_.BMP_Compression == ioBMP_RLE && (bits_ == 4 || bits_ == 8);
    start_ = stream_->GetPosition();
    uint8_t fileHeader[kBmpFileHeaderSize] = {'B', 'M'};
    Put(fileHeader, sizeof fileHeader);
    WriteInfoHeader();
    IEProgressStart(progress_, bitmap_->Height);
    rowLen_ = _BitmapRowLen(bitmap_->Width, bits_);

    switch (bits_) {
      case 1: WriteOneBit(); break;
      case 4:
      case 8: WritePaletteRows(); break;
      default: WriteRgbRows(); break;
    }
    if (!abort_) PatchHeaders();
  }

 private:
  void Put(const void* data, int64_t count) { SafeStreamWrite(stream_, abort_, data, count); }

  void WriteInfoHeader() {
    infoStart_ = stream_->GetPosition();
    if (core_) {
      uint8_t h[kCoreHeaderSize] = {};
      IEPutLE32(h, kCoreHeaderSize);
      IEPutLE16(h + 4, static_cast<uint16_t>(bitmap_->Width));
      IEPutLE16(h + 6, static_cast<uint16_t>(bitmap_->Height));
      IEPutLE16(h + 8, 1);
      Put(h, sizeof h);
      return;
    }
    const int size = params_.BMP_Version == ioBMP_BMOS2V2 ? kOs2HeaderSize : kBmpInfoHeaderSize;
    uint8_t h[kOs2HeaderSize] = {};
    IEPutLE32(h, size);
    IEPutLE32(h + 4, static_cast<uint32_t>(bitmap_->Width));
    IEPutLE32(h + 8, static_cast<uint32_t>(bitmap_->Height));
    IEPutLE16(h + 12, 1);
    if (rle_) IEPutLE32(h + 16, bits_ == 4 ? 2 : 1);
    IEPutLE32(h + 24, PixelsPerMetre(params_.DPIX));
    IEPutLE32(h + 28, PixelsPerMetre(params_.DPIY));
    const uint32_t colors = bits_ <= 8 ? 1u << bits_ : 0;
    IEPutLE32(h + 32, colors);
    IEPutLE32(h + 36, bits_ <= 8 ? colors : 16777216u);
    Put(h, size);
  }

  static uint32_t PixelsPerMetre(int32_t dpi) {
    return static_cast<uint32_t>(static_cast<int32_t>(Round(dpi / 2.54 * 100)));
  }

  // Sets the parameters' palette and writes it after the header.
  void WritePalette(const TRGB* colors, int count) {
    params_.SetColorMap(colors, count);
    const int entrySize = core_ ? 3 : 4;
    std::vector<uint8_t> raw(static_cast<size_t>(count * entrySize), 0);
    for (int i = 0; i < count; ++i) std::memcpy(&raw[i * entrySize], &colors[i], 3);
    Put(raw.data(), static_cast<int64_t>(raw.size()));
    pixelStart_ = stream_->GetPosition();
  }

  // Writes `bytes` of each row straight from the picture, from the last
  // row to the first, each padded with zeros to the row length.
  void WriteRows(TIEBitmap* source, int64_t bytes) {
    static const uint8_t kPadding[4] = {};
    for (int y = source->Height - 1; y >= 0 && !abort_; --y) {
      Put(source->GetScanLine(y), bytes);
      if (rowLen_ > bytes) Put(kPadding, rowLen_ - bytes);
      if (IEProgressStep(progress_)) return;
    }
  }

  void WriteOneBit() {
    static const TRGB kBlackWhite[2] = {{0, 0, 0}, {255, 255, 255}};
    std::unique_ptr<TIEBitmap> converted;
    TIEBitmap* source = bitmap_;
    TRGB palette[2] = {kBlackWhite[0], kBlackWhite[1]};
    if (bitmap_->PixelFormat != ie1g) {
      converted = IETwoColourCopy(bitmap_, palette[0], palette[1]);
      source = converted.get();
    }
    WritePalette(palette, 2);
    WriteRows(source, (int64_t{source->Width} + 7) / 8);
  }

  void WritePaletteRows() {
    std::unique_ptr<TIEBitmap> copy;
    TIEBitmap* source = bitmap_;
    if (bitmap_->PixelFormat != ie24RGB) {
      copy = IEConvertedCopy(bitmap_, ie24RGB);
      source = copy.get();
    }
    const int count = 1 << bits_;
    std::vector<TRGB> palette(static_cast<size_t>(count), TRGB{0, 0, 0});
    const TIEQuantizer quantizer(source, std::span<TRGB>(palette), count, -1);
    WritePalette(palette.data(), count);

    const int64_t width = source->Width;
    std::vector<uint8_t> indices(static_cast<size_t>(width));
    std::vector<uint8_t> coded;
    TRleRowEncoder encoder(bits_ == 4, coded);
    for (int y = source->Height - 1; y >= 0 && !abort_; --y) {
      const TRGB* src = reinterpret_cast<const TRGB*>(source->GetScanLine(y));
      for (int64_t x = 0; x < width; ++x)
        indices[x] = static_cast<uint8_t>(quantizer.GetRGBIndex(src[x]));
      coded.clear();
      if (rle_) {
        encoder.Encode(indices.data(), width);
      } else {
        coded.assign(static_cast<size_t>(rowLen_), 0);
        for (int64_t x = 0; x < width; ++x) {
          if (bits_ == 8)
            coded[x] = indices[x];
          else
            coded[x / 2] |= (x & 1) ? indices[x] : static_cast<uint8_t>(indices[x] << 4);
        }
      }
      Put(coded.data(), static_cast<int64_t>(coded.size()));
      if (IEProgressStep(progress_)) return;
    }
    if (params_.BMP_Compression == ioBMP_RLE && !abort_) {
      static const uint8_t kEndOfBitmap[2] = {0, 1};
      Put(kEndOfBitmap, 2);
    }
  }

  void WriteRgbRows() {
    std::unique_ptr<TIEBitmap> copy;
    TIEBitmap* source = bitmap_;
    if (bitmap_->PixelFormat != ie24RGB) {
      copy = IEConvertedCopy(bitmap_, ie24RGB);
      source = copy.get();
    }
    pixelStart_ = stream_->GetPosition();
    WriteRows(source, int64_t{source->Width} * 3);
  }

  void PatchHeaders() {
    const int64_t end = stream_->GetPosition();
    uint8_t fileHeader[kBmpFileHeaderSize] = {'B', 'M'};
    IEPutLE32(fileHeader + 2, static_cast<uint32_t>(end - start_));
    IEPutLE32(fileHeader + 10, static_cast<uint32_t>(pixelStart_ - start_));
    stream_->Seek(start_, soBeginning);
    Put(fileHeader, sizeof fileHeader);
    uint8_t bitCount[2];
    IEPutLE16(bitCount, static_cast<uint16_t>(bits_));
    stream_->Seek(infoStart_ + (core_ ? 10 : 14), soBeginning);
    Put(bitCount, 2);
    if (!core_) {
      uint8_t imageSize[4];
      IEPutLE32(imageSize, static_cast<uint32_t>(end - pixelStart_));
      stream_->Seek(infoStart_ + 20, soBeginning);
      Put(imageSize, 4);
    }
    stream_->Seek(end, soBeginning);
  }

  TStream* stream_;
  TIEBitmap* bitmap_;
  TIOParamsVals& params_;
  TProgressRec& progress_;
  bool localAbort_ = false;
  bool& abort_;
  int bits_ = 24;
  bool core_ = false;
  bool rle_ = false;
  int64_t start_ = 0;
  int64_t infoStart_ = 0;
  int64_t pixelStart_ = 0;
  int64_t rowLen_ = 0;
};

}  // namespace

void BMPWriteStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress) {
  TBmpWriter(Stream, Bitmap, IOParams, Progress).Write();
}
