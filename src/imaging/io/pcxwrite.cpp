// PCX writer: 1 bit (two colours), 4 and 8 bits through the quantiser, 24
// bits as three planes; run-length coded or plain lines.
#include <array>
#include <memory>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "platform/savestream.h"
#include "imaging/core/iestreams.h"
#include "imaging/core/neurquant.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/pcxfilter.h"
#include "imaging/io/pcxformat.h"

namespace {

// The depth written: what the parameters ask for, unless they only repeat
// the last file read; then the picture's own format decides.
int ChooseDepth(const TIOParamsVals& params, const TIEBitmap* bitmap) {
  if (IEDepthInheritedFromRead(params)) return bitmap->PixelFormat == ie1g ? 1 : 24;
  if (params.BitsPerSample == 1) return 1;
  return params.BitsPerSample * params.SamplesPerPixel;
}

// Run-length codes n bytes read with the given stride; an odd n gets a
// literal 0 so that the decoded line has an even length.
void EncodeLine(const uint8_t* src, int64_t n, int stride, std::vector<uint8_t>& out) {
  int64_t i = 0;
  while (i < n) {
    const uint8_t value = src[i * stride];
    int run = 1;
    while (i + run < n && run < kPcxMaxRun && src[(i + run) * stride] == value) ++run;
    if (run > 1 || value >= kPcxRunMark) out.push_back(static_cast<uint8_t>(kPcxRunMark | run));
    out.push_back(value);
    i += run;
  }
  if (n & 1) out.push_back(0);
}

class TPcxWriter {
 public:
  TPcxWriter(TStream* stream, TIEBitmap* bitmap, TIOParamsVals& params, TProgressRec& progress)
      : stream_(stream), bitmap_(bitmap), params_(params), progress_(progress),
        abort_(progress.Aborting ? *progress.Aborting : localAbort_) {}

  void Write() {
    const int64_t width = bitmap_->Width;
    const int64_t height = bitmap_->Height;
    // The window holds 16-bit corners.
    if (width < 1 || height < 1 || width > 0x10000 || height > 0x10000) {
      abort_ = true;
      return;
    }
    depth_ = ChooseDepth(params_, bitmap_);
    rle_ = params_.PCX_Compression != ioPCX_UNCOMPRESSED;
    // Other depths have no row form: a file of a header alone is no picture.
    if (depth_ != 1 && depth_ != 4 && depth_ != 8 && depth_ != 24) {
      abort_ = true;
      return;
    }
    PrepareSource();
    if (!WriteHeader(width, height)) return;
    IEProgressStart(progress_, height);
    std::vector<uint8_t> line;
    for (int y = 0; y < height; ++y) {
      if (progress_.OnProgress)
        progress_.OnProgress(progress_.Sender, static_cast<int>(y * progress_.Percent));
      if (abort_) return;
      line.clear();
      CodeRow(source_->GetScanLine(y), width, line);
      Put(line.data(), static_cast<int64_t>(line.size()));
    }
    if (depth_ == 8 && !abort_) {
      uint8_t tail[1 + kPcxPaletteBytes] = {kPcxPaletteMark};
      for (int i = 0; i < 256; ++i) {
        tail[1 + 3 * i] = palette_[i].r;
        tail[2 + 3 * i] = palette_[i].g;
        tail[3 + 3 * i] = palette_[i].b;
      }
      Put(tail, sizeof tail);
    }
  }

 private:
  void Put(const void* data, int64_t count) { SafeStreamWrite(stream_, abort_, data, count); }

  void PrepareSource() {
    source_ = bitmap_;
    if (depth_ == 1) {
      palette_[0] = TRGB{0, 0, 0};
      palette_[1] = TRGB{255, 255, 255};
      if (bitmap_->PixelFormat != ie1g) {
        copy_ = IETwoColourCopy(bitmap_, palette_[0], palette_[1]);
        source_ = copy_.get();
      }
      return;
    }
    if (bitmap_->PixelFormat != ie24RGB) {
      copy_ = IEConvertedCopy(bitmap_, ie24RGB);
      source_ = copy_.get();
    }
    if (depth_ == 4 || depth_ == 8) {
      const int colours = depth_ == 4 ? 16 : 256;
      quantizer_ = std::make_unique<TIEQuantizer>(source_, std::span<TRGB>(palette_.data(), colours),
                                                  colours, -1);
    }
  }

  // False when the line length does not fit its 16-bit field.
  bool WriteHeader(int64_t width, int64_t height) {
    uint8_t h[kPcxHeaderSize] = {};
    h[0] = kPcxManufacturer;
    h[kPcxVersion] = static_cast<uint8_t>(params_.PCX_Version);
    h[kPcxEncoding] = rle_ ? 1 : 0;
    IEPutLE16(h + kPcxWindow + 4, static_cast<uint16_t>(width - 1));
    IEPutLE16(h + kPcxWindow + 6, static_cast<uint16_t>(height - 1));
    IEPutLE16(h + kPcxDpiX, static_cast<uint16_t>(params_.DPIX));
    IEPutLE16(h + kPcxDpiY, static_cast<uint16_t>(params_.DPIY));
    int bits = 8;
    int planes = 1;
    switch (depth_) {
      case 1:
        bits = 1;
        dataBytes_ = (width + 7) / 8;
        break;
      case 4:
        bits = 4;
        dataBytes_ = (width + 1) / 2;
        break;
      case 8: dataBytes_ = width; break;
      case 24:
        planes = 3;
        dataBytes_ = width;
        break;
    }
    if (depth_ == 1 || depth_ == 4) {
      for (int i = 0; i < (1 << bits); ++i) {
        h[kPcxPalette16 + 3 * i] = palette_[i].r;
        h[kPcxPalette16 + 3 * i + 1] = palette_[i].g;
        h[kPcxPalette16 + 3 * i + 2] = palette_[i].b;
      }
    }
    h[kPcxBitsPerPixel] = static_cast<uint8_t>(bits);
    h[kPcxPlanes] = static_cast<uint8_t>(planes);
    bytesPerLine_ = (dataBytes_ + 1) & ~int64_t{1};
    if (bytesPerLine_ > 0xFFFF) {
      abort_ = true;
      return false;
    }
    IEPutLE16(h + kPcxBytesPerLine, static_cast<uint16_t>(bytesPerLine_));
    IEPutLE16(h + kPcxPaletteInfo, depth_ == 24 ? 0 : 1);
    Put(h, sizeof h);
    return true;
  }

  // One plane of dataBytes_ bytes, coded or padded to the line length.
  void PutPlane(const uint8_t* src, int stride, std::vector<uint8_t>& out) const {
    if (rle_) return EncodeLine(src, dataBytes_, stride, out);
    for (int64_t i = 0; i < dataBytes_; ++i) out.push_back(src[i * stride]);
    out.resize(out.size() + static_cast<size_t>(bytesPerLine_ - dataBytes_), 0);
  }

  void CodeRow(const uint8_t* row, int64_t width, std::vector<uint8_t>& out) {
    const TRGB* rgb = reinterpret_cast<const TRGB*>(row);
    switch (depth_) {
      case 1: PutPlane(row, 1, out); return;
      case 4:
        indices_.assign(static_cast<size_t>(dataBytes_), 0);
        for (int64_t x = 0; x < width; ++x) {
          const auto index = static_cast<uint8_t>(quantizer_->GetRGBIndex(rgb[x]));
          indices_[x / 2] |= (x & 1) ? index : static_cast<uint8_t>(index << 4);
        }
        PutPlane(indices_.data(), 1, out);
        return;
      case 8:
        indices_.resize(static_cast<size_t>(width));
        for (int64_t x = 0; x < width; ++x)
          indices_[x] = static_cast<uint8_t>(quantizer_->GetRGBIndex(rgb[x]));
        PutPlane(indices_.data(), 1, out);
        return;
      case 24:
        PutPlane(row + 2, 3, out);
        PutPlane(row + 1, 3, out);
        PutPlane(row, 3, out);
        return;
    }
  }

  TStream* stream_;
  TIEBitmap* bitmap_;
  TIOParamsVals& params_;
  TProgressRec& progress_;
  bool localAbort_ = false;
  bool& abort_;
  int depth_ = 24;
  bool rle_ = true;
  int64_t dataBytes_ = 0;
  int64_t bytesPerLine_ = 0;
  TIEBitmap* source_ = nullptr;
  std::unique_ptr<TIEBitmap> copy_;
  std::array<TRGB, 256> palette_{};
  std::unique_ptr<TIEQuantizer> quantizer_;
  std::vector<uint8_t> indices_;
};

}  // namespace

void WritePcxStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress) {
  TPcxWriter(Stream, Bitmap, IOParams, Progress).Write();
}

void WritePcx(const std::string& FileName, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
              TProgressRec& Progress) {
  TSaveFileStream file(FileName);
  WritePcxStream(&file, Bitmap, IOParams, Progress);
  if (!Progress.Aborting || !*Progress.Aborting) file.Commit();
}
