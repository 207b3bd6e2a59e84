// TGA writer: 1, 4, 8 (colour-mapped or grey), 24 and 32 bits (alpha from
// the mask), run-length coded 8- and 24-bit rows, extension area and
// footer.
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/core/iestreams.h"
#include "imaging/core/ievalues.h"
#include "imaging/core/neurquant.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ietgafil.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/tgaformat.h"
#include "imaging/proc/iebitdepthrows.h"

namespace {

constexpr int kMaxIdLength = 254;  // the length byte counts the NUL too
constexpr int kMaxRunPixels = 128;

// Year, month, day, hour, minute, second of a date (days since 30
// December 1899); all zero for dates before year 1.
std::array<int, 6> DecodeDateTime(TDateTime value) {
  const double days = std::floor(value);
  const int64_t unixDays = static_cast<int64_t>(days) - 25569;
  // Civil date from days (proleptic Gregorian).
  const int64_t z = unixDays + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int64_t year = yoe + era * 400 + (month <= 2);
  if (year < 1 || year > 0xFFFF) return {0, 0, 0, 0, 0, 0};
  const int64_t seconds = std::min<int64_t>(86399, static_cast<int64_t>((value - days) * 86400 + 0.5));
  return {static_cast<int>(year), month, day, static_cast<int>(seconds / 3600),
          static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)};
}

// A ratio as 16-bit numerator and denominator, four decimals kept; large
// ratios give up decimals so that the numerator fits, and ratios that are
// not positive are stored as 0 / 0 (none).
void PutRatio(uint8_t* p, double value) {
  if (!(value > 0) || value > 65535) return;
  int64_t numerator = static_cast<int64_t>(value * 10000);
  int64_t denominator = 10000;
  while (numerator > 0xFFFF) {
    numerator /= 10;
    denominator /= 10;
  }
  if (numerator == 0) return;
  IEPutLE16(p, static_cast<uint16_t>(numerator));
  IEPutLE16(p + 2, static_cast<uint16_t>(denominator));
}

void PutName(uint8_t* p, const std::string& name) {
  std::memcpy(p, name.data(), std::min<size_t>(name.size(), kTgaNameBytes - 1));
}

// Run-length codes one row of count pixels of size bytes each.
void EncodeRow(const uint8_t* px, int count, int size, std::vector<uint8_t>& out) {
  const auto same = [&](int a, int b) { return std::memcmp(px + a * size, px + b * size, size) == 0; };
  int p = 0;
  while (p < count) {
    if (p + 1 < count && same(p, p + 1)) {
      int run = 2;
      while (p + run < count && run < kMaxRunPixels && same(p, p + run)) ++run;
      out.push_back(static_cast<uint8_t>(kTgaRunPacket | (run - 1)));
      out.insert(out.end(), px + p * size, px + (p + 1) * size);
      p += run;
      continue;
    }
    // A raw packet ends where two equal pixels start a run.
    const int limit = p + kMaxRunPixels == count ? kMaxRunPixels : kMaxRunPixels - 1;
    int n = 1;
    while (p + n < count && n < limit && !(p + n + 1 < count && same(p + n, p + n + 1))) ++n;
    out.push_back(static_cast<uint8_t>(n - 1));
    out.insert(out.end(), px + p * size, px + (p + n) * size);
    p += n;
  }
}

class TTgaWriter {
 public:
  TTgaWriter(TStream* stream, TIEBitmap* bitmap, TIOParamsVals& params, TProgressRec& progress,
             TIEMask* mask)
      : stream_(stream), bitmap_(bitmap), params_(params), progress_(progress), mask_(mask),
        abort_(progress.Aborting ? *progress.Aborting : localAbort_) {}

  void Write() {
    const TIEPixelFormat format = bitmap_->PixelFormat;
    // Other formats and sizes beyond the 16-bit fields have no TGA form.
    if ((format != ie24RGB && format != ie1g) || bitmap_->Width < 1 || bitmap_->Height < 1 ||
        bitmap_->Width > 0xFFFF || bitmap_->Height > 0xFFFF) {
      abort_ = true;
      return;
    }
    start_ = stream_->GetPosition();
    ChooseDepth();
    PrepareSource();
    WriteHeader();
    WriteRows();
    if (abort_) return;
    const int64_t extension = stream_->GetPosition();
    WriteExtensionArea();
    WriteFooter(extension - start_);
  }

 private:
  void Put(const void* data, int64_t count) { SafeStreamWrite(stream_, abort_, data, count); }

  void ChooseDepth() {
    const bool chosen = !IEDepthInheritedFromRead(params_);
    const int bits = params_.BitsPerSample;
    if (chosen && params_.SamplesPerPixel == 1 && (bits == 1 || bits == 4 || bits == 8))
      depth_ = bits;
    else if (!chosen && bitmap_->PixelFormat == ie1g)
      depth_ = 1;
    else if (mask_ && mask_->Bits && !mask_->Full)
      depth_ = 32;
    else
      depth_ = 24;
    if (depth_ == 1 || depth_ == 4 || depth_ == 32) params_.TGA_Compressed = false;
    grey_ = depth_ == 8 && params_.TGA_GrayLevel;
    rle_ = params_.TGA_Compressed && (depth_ == 8 || depth_ == 24);
  }

  void PrepareSource() {
    source_ = bitmap_;
    palette_[0] = TRGB{0, 0, 0};
    palette_[1] = TRGB{255, 255, 255};
    if (depth_ == 1) {
      if (bitmap_->PixelFormat != ie1g) {
        // No colour map goes with 1-bit pictures: the two colours are dropped.
        TRGB dark, light;
        copy_ = IETwoColourCopy(bitmap_, dark, light);
        source_ = copy_.get();
      }
      return;
    }
    if ((depth_ == 4 || depth_ == 8) && bitmap_->PixelFormat != ie24RGB) {
      // A palette is built from colours, so a 1-bit picture goes to 24 bits first.
      copy_ = IEConvertedCopy(bitmap_, ie24RGB);
      source_ = copy_.get();
    }
    if (depth_ == 4 || depth_ == 8) {
      const int colours = 1 << depth_;
      quantizer_ = std::make_unique<TIEQuantizer>(source_, std::span<TRGB>(palette_.data(), colours),
                                                  colours, -1);
      params_.SetColorMap(palette_.data(), colours);
    }
  }

  void WriteHeader() {
    uint8_t h[kTgaHeaderSize] = {};
    const std::string id = params_.TGA_ImageID.substr(0, kMaxIdLength);
    h[kTgaIdLength] = static_cast<uint8_t>(id.size() + 1);
    mapped_ = (depth_ == 4 || depth_ == 8) && !grey_;
    if (mapped_) {
      h[kTgaColorMapType] = 1;
      h[kTgaImageType] = rle_ ? 9 : 1;
      IEPutLE16(h + kTgaMapLength, static_cast<uint16_t>(1 << depth_));
      h[kTgaMapEntrySize] = 24;
    } else if (grey_ || depth_ == 1) {
      h[kTgaImageType] = rle_ ? 11 : 3;
    } else {
      h[kTgaImageType] = rle_ ? 10 : 2;
    }
    IEPutLE16(h + kTgaXOrigin, static_cast<uint16_t>(params_.TGA_XOrigin));
    IEPutLE16(h + kTgaYOrigin, static_cast<uint16_t>(params_.TGA_YOrigin));
    IEPutLE16(h + kTgaWidth, static_cast<uint16_t>(bitmap_->Width));
    IEPutLE16(h + kTgaHeight, static_cast<uint16_t>(bitmap_->Height));
    h[kTgaDepth] = static_cast<uint8_t>(depth_);
    h[kTgaDescriptor] = kTgaTopFirst | (depth_ == 32 ? 8 : 0);
    Put(h, sizeof h);
    Put(id.c_str(), static_cast<int64_t>(id.size() + 1));
    if (mapped_) Put(palette_.data(), int64_t{3} << depth_);
  }

  uint8_t MaskValue(int x, int y) const {
    if (x >= mask_->Width || y >= mask_->Height) return 255;
    const int32_t v = mask_->GetPixel(x, y);
    return static_cast<uint8_t>(mask_->BitCount == 8 ? v : (v ? 255 : 0));
  }

  void PackRow(int y, std::vector<uint8_t>& packed) {
    const int width = source_->Width;
    const uint8_t* row = source_->GetScanLine(y);
    const int srcBits = source_->PixelFormat == ie1g ? 1 : 24;
    const std::span<const TRGB> palette(palette_.data(), 2);
    std::fill(packed.begin(), packed.end(), 0);
    if (depth_ != 32) {
      _ConvertXBitsToYBits(row, packed.data(), static_cast<uint16_t>(srcBits), static_cast<uint16_t>(depth_),
                           static_cast<uint16_t>(width), palette, quantizer_.get());
      if (grey_)
        for (int x = 0; x < width; ++x) packed[x] = static_cast<uint8_t>(_RGBToGray(palette_[packed[x]]));
      return;
    }
    rgb_.resize(static_cast<size_t>(width) * 3);
    _ConvertXBitsToYBits(row, rgb_.data(), static_cast<uint16_t>(srcBits), 24, static_cast<uint16_t>(width),
                         palette, nullptr);
    for (int x = 0; x < width; ++x) {
      std::memcpy(&packed[4 * x], &rgb_[3 * x], 3);
      packed[4 * x + 3] = MaskValue(x, y);
    }
  }

  void WriteRows() {
    const int width = source_->Width;
    const int64_t rowBytes = depth_ == 32 ? int64_t{width} * 4 : (int64_t{width} * depth_ + 7) / 8;
    std::vector<uint8_t> packed(static_cast<size_t>(rowBytes));
    std::vector<uint8_t> coded;
    IEProgressStart(progress_, source_->Height);
    for (int y = 0; y < source_->Height && !abort_; ++y) {
      PackRow(y, packed);
      if (rle_) {
        coded.clear();
        EncodeRow(packed.data(), width, depth_ / 8, coded);
        Put(coded.data(), static_cast<int64_t>(coded.size()));
      } else {
        Put(packed.data(), rowBytes);
      }
      if (IEProgressStep(progress_)) return;
    }
  }

  void WriteExtensionArea() {
    uint8_t area[kTgaExtensionSize] = {};
    IEPutLE16(area, kTgaExtensionSize);
    PutName(area + kTgaExtAuthor, params_.TGA_AuthorName);
    const std::array<int, 6> stamp = DecodeDateTime(params_.TGA_DateTime);
    const int order[6] = {1, 2, 0, 3, 4, 5};  // month, day, year, hour, minute, second
    for (int i = 0; i < 6; ++i)
      IEPutLE16(area + kTgaExtStamp + 2 * i, static_cast<uint16_t>(stamp[order[i]]));
    PutName(area + kTgaExtJob, params_.TGA_JobName);
    area[kTgaExtKeyColor + 1] = params_.TGA_Background.r;
    area[kTgaExtKeyColor + 2] = params_.TGA_Background.g;
    area[kTgaExtKeyColor + 3] = params_.TGA_Background.b;
    PutRatio(area + kTgaExtAspect, params_.TGA_AspectRatio);
    PutRatio(area + kTgaExtGamma, params_.TGA_Gamma);
    Put(area, sizeof area);
  }

  void WriteFooter(int64_t extensionOffset) {
    uint8_t footer[kTgaFooterSize] = {};
    IEPutLE32(footer, static_cast<uint32_t>(extensionOffset));
    std::memcpy(footer + 8, kTgaSignature, sizeof kTgaSignature - 1);
    footer[24] = '.';
    Put(footer, sizeof footer);
  }

  TStream* stream_;
  TIEBitmap* bitmap_;
  TIOParamsVals& params_;
  TProgressRec& progress_;
  TIEMask* mask_;
  bool localAbort_ = false;
  bool& abort_;
  int64_t start_ = 0;
  int depth_ = 24;
  bool grey_ = false;
  bool rle_ = false;
  bool mapped_ = false;
  TIEBitmap* source_ = nullptr;
  std::unique_ptr<TIEBitmap> copy_;
  std::array<TRGB, 256> palette_{};
  std::unique_ptr<TIEQuantizer> quantizer_;
  std::vector<uint8_t> rgb_;
};

}  // namespace

void WriteTGAStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress, TIEMask* Mask) {
  TTgaWriter(Stream, Bitmap, IOParams, Progress, Mask).Write();
}
