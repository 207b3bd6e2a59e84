// PNG reader: header and parameters, libpng's transformations to blue,
// green, red rows (or raw 1-bit rows), the alpha channel into the mask or
// composited over a background, Adam7 passes combined in the bitmap.
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ievalues.h"
#include "imaging/core/ieview.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/pngfilt.h"
#include "imaging/io/pngfiltglue.h"
#include "platform/graphics.h"

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Deflate packs at most about 1032 raw bytes into one byte; a header that
// announces far more than the data could hold is damaged.
constexpr int64_t kDeflateMaxRatio = 1032;

// libpng's composition at gamma 1.0.
uint8_t Composite(uint8_t colour, uint8_t alpha, uint8_t background) {
  const unsigned t = colour * alpha + background * (255u - alpha) + 128u;
  return static_cast<uint8_t>((t + (t >> 8)) >> 8);
}

int32_t DpiOf(png_uint_32 pixelsPerMetre, int32_t systemDpi) {
  if (pixelsPerMetre == 0) return systemDpi;
  return static_cast<int32_t>(std::nearbyint(pixelsPerMetre * 0.0254));
}

int SamplesOf(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;  // grey or palette
  }
}

class TPngReader {
 public:
  TPngReader(TStream* stream, TIEBitmap* bitmap, TIOParamsVals& params, TProgressRec& progress,
             bool preview, TIEMask*& mask, bool ignoreAlpha)
      : bitmap_(bitmap), params_(params), progress_(progress), preview_(preview), mask_(mask),
        ignoreAlpha_(ignoreAlpha) {
    io_.stream = stream;
    io_.aborting = progress.Aborting;
  }

  ~TPngReader() {
    if (png_) png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr);
  }

  void Run() {
    png_ = IEPngCreateRead(io_);
    if (png_) info_ = png_create_info_struct(png_);
    if (!png_ || !info_) return IESetAbort(progress_);
    if (!IEPngProtect(png_, [&] { ReadHeader(); })) return Failed();
    StoreParams();
    if (preview_) return;
    if (!Allocate()) return IESetAbort(progress_);
    IEProgressStart(progress_, int64_t{height_} * passes_);
    if (!IEPngProtect(png_, [&] { ReadRows(); })) {
      ClearUnreadRows();
      return Failed();
    }
    if (ignoreAlpha_ && channels_ == 4 && passes_ > 1) CompositeAll();
    if (IEAborted(progress_)) return;
    // The picture is complete: damage in the trailing chunks only keeps
    // the stream from ending up after the picture.
    io_.setAbortOnError = false;
    if (!IEPngProtect(png_, [&] { png_read_end(png_, nullptr); })) Failed();
  }

 private:
  // After libpng reported an error (the handler has set the abort flag):
  // a stream failure is raised again here, outside libpng.
  void Failed() {
    if (io_.streamError) std::rethrow_exception(io_.streamError);
  }

  void ReadHeader() {
    png_read_info(png_, info_);
    int interlace = 0;
    png_get_IHDR(png_, info_, &width_, &height_, &bitDepth_, &colorType_, &interlace, nullptr,
                 nullptr);
    interlaced_ = interlace != PNG_INTERLACE_NONE;
    if (bitDepth_ > 1) {
      if (colorType_ == PNG_COLOR_TYPE_PALETTE || (colorType_ == PNG_COLOR_TYPE_GRAY && bitDepth_ < 8))
        png_set_expand(png_);
      // Transparency by palette entry or colour key becomes alpha, too.
      if (png_get_valid(png_, info_, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png_);
      if (bitDepth_ == 16) png_set_strip_16(png_);
      if (colorType_ == PNG_COLOR_TYPE_GRAY || colorType_ == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png_);
      png_set_bgr(png_);
    }
    passes_ = png_set_interlace_handling(png_);
    png_read_update_info(png_, info_);
    channels_ = png_get_channels(png_, info_);
    if (ignoreAlpha_) ReadBackground();
  }

  // The file's bKGD colour in 8 bits a channel, which becomes the colour
  // composited over; without one, PNG_Background.
  void ReadBackground() {
    background_ = params_.PNG_Background;
    png_color_16p bkgd = nullptr;
    if (!png_get_bKGD(png_, info_, &bkgd) || !bkgd) return;
    const auto scale = [&](png_uint_16 v) -> uint8_t {
      if (bitDepth_ == 16) return static_cast<uint8_t>(v >> 8);
      if (bitDepth_ == 8) return static_cast<uint8_t>(v);
      return static_cast<uint8_t>(v * 255 / ((1 << bitDepth_) - 1));
    };
    if (colorType_ == PNG_COLOR_TYPE_PALETTE) {
      png_colorp palette = nullptr;
      int count = 0;
      if (!png_get_PLTE(png_, info_, &palette, &count) || bkgd->index >= count) return;
      const png_color c = palette[bkgd->index];
      background_ = TRGB{c.blue, c.green, c.red};
    } else if (colorType_ == PNG_COLOR_TYPE_GRAY || colorType_ == PNG_COLOR_TYPE_GRAY_ALPHA) {
      const uint8_t g = scale(bkgd->gray);
      background_ = TRGB{g, g, g};
    } else {
      background_ = TRGB{scale(bkgd->blue), scale(bkgd->green), scale(bkgd->red)};
    }
    params_.PNG_Background = background_;
  }

  void StoreParams() {
    params_.Width = static_cast<int32_t>(width_);
    params_.Height = static_cast<int32_t>(height_);
    params_.BitsPerSample = bitDepth_;
    params_.SamplesPerPixel = SamplesOf(colorType_);
    IENoteReadDepth(params_);
    params_.DPIX = DpiOf(png_get_x_pixels_per_meter(png_, info_), gSystemDPIX);
    params_.DPIY = DpiOf(png_get_y_pixels_per_meter(png_, info_), gSystemDPIY);
    png_colorp palette = nullptr;
    int count = 0;
    if (colorType_ == PNG_COLOR_TYPE_PALETTE && png_get_PLTE(png_, info_, &palette, &count)) {
      TRGB map[256];
      for (int i = 0; i < count && i < 256; ++i) map[i] = TRGB{palette[i].blue, palette[i].green, palette[i].red};
      params_.SetColorMap(map, std::min(count, 256));
    } else {
      params_.SetColorMap(nullptr, 0);
    }
    params_.PNG_Interlaced = interlaced_;
  }

  bool Allocate() {
    const TIEPixelFormat format = bitDepth_ == 1 ? ie1g : ie24RGB;
    const int64_t pictureBytes = IEMulSat(_BitmapRowLen(width_, IEBitsPerPixel(format)), height_);
    const int64_t fileRow = (int64_t{width_} * SamplesOf(colorType_) * bitDepth_ + 7) / 8 + 1;
    const int64_t rawBytes = IEMulSat(fileRow, height_);
    if (!IEDataCoversPicture(pictureBytes, rawBytes / kDeflateMaxRatio, IEStreamBytesLeft(io_.stream), 0))
      return false;
    if (!IEAllocateBitmap(bitmap_, width_, height_, format)) return false;
    // Adam7 passes leave pixels of later passes unwritten until then.
    if (interlaced_) bitmap_->Fill(0);
    if (channels_ == 4) row_.resize(static_cast<size_t>(width_) * 4);
    if (!ignoreAlpha_) {
      if (!mask_) mask_ = new TIEMask();
      mask_->AllocateBits(static_cast<int32_t>(width_), static_cast<int32_t>(height_), 8);
      mask_->Fill(255);
      if (channels_ == 4) mask_->Full = false;
    } else if (channels_ == 4) {
      // Interlaced rows come back several times: keep their alpha until
      // the last pass, then composite.
      alpha_.assign(passes_ > 1 ? static_cast<size_t>(width_) * height_ : width_, 255);
    }
    return true;
  }

  uint8_t* AlphaRow(png_uint_32 y) {
    if (mask_ && !ignoreAlpha_) return mask_->GetScanLine(static_cast<int32_t>(y));
    return passes_ > 1 ? &alpha_[static_cast<size_t>(y) * width_] : alpha_.data();
  }

  void ReadRows() {
    for (int pass = 0; pass < passes_; ++pass) {
      for (png_uint_32 y = 0; y < height_; ++y) {
        uint8_t* line = bitmap_->GetScanLine(static_cast<int>(y));
        if (channels_ == 4)
          ReadAlphaRow(line, y);
        else
          png_read_row(png_, line, nullptr);
        rowsRead_ = y + 1;
        if (IEProgressStep(progress_)) return;
      }
    }
  }

  // Four samples a pixel: blue, green, red to the bitmap, alpha to its row.
  void ReadAlphaRow(uint8_t* line, png_uint_32 y) {
    uint8_t* alpha = AlphaRow(y);
    uint8_t* px = row_.data();
    if (passes_ > 1) {
      // libpng writes only this pass's pixels into the row it is given.
      for (png_uint_32 x = 0; x < width_; ++x, px += 4) {
        std::memcpy(px, line + 3 * x, 3);
        px[3] = alpha[x];
      }
      px = row_.data();
    }
    png_read_row(png_, row_.data(), nullptr);
    for (png_uint_32 x = 0; x < width_; ++x, px += 4) {
      std::memcpy(line + 3 * x, px, 3);
      alpha[x] = px[3];
    }
    if (ignoreAlpha_ && passes_ == 1) CompositeRow(line, alpha);
  }

  void CompositeRow(uint8_t* line, const uint8_t* alpha) const {
    for (png_uint_32 x = 0; x < width_; ++x, line += 3) {
      line[0] = Composite(line[0], alpha[x], background_.b);
      line[1] = Composite(line[1], alpha[x], background_.g);
      line[2] = Composite(line[2], alpha[x], background_.r);
    }
  }

  void CompositeAll() {
    for (png_uint_32 y = 0; y < height_; ++y) CompositeRow(bitmap_->GetScanLine(static_cast<int>(y)), AlphaRow(y));
  }

  // A damaged file keeps the rows decoded so far; the others are blank
  // rather than whatever the memory held.
  void ClearUnreadRows() {
    if (passes_ > 1 || bitmap_->Width != static_cast<int>(width_)) return;
    const auto bytes = static_cast<size_t>(bitmap_->RowLen);
    for (png_uint_32 y = rowsRead_; y < height_; ++y)
      std::memset(bitmap_->GetScanLine(static_cast<int>(y)), 0, bytes);
  }

  TIEPngIO io_;
  TIEBitmap* bitmap_;
  TIOParamsVals& params_;
  TProgressRec& progress_;
  bool preview_;
  TIEMask*& mask_;
  bool ignoreAlpha_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  png_uint_32 width_ = 0;
  png_uint_32 height_ = 0;
  int bitDepth_ = 0;
  int colorType_ = 0;
  bool interlaced_ = false;
  int passes_ = 1;
  int channels_ = 0;
  png_uint_32 rowsRead_ = 0;
  TRGB background_{0, 0, 0};
  std::vector<uint8_t> row_;
  std::vector<uint8_t> alpha_;
};

}  // namespace

void ReadPNGStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                   TProgressRec& Progress, bool Preview, TIEMask*& AlphaMask, bool IgnoreAlpha) {
  TPngReader reader(Stream, Bitmap, IOParams, Progress, Preview, AlphaMask, IgnoreAlpha);
  try {
    reader.Run();
  } catch (const EAbort&) {
    IESetAbort(Progress);
  }
}

bool IsPNGStream(TStream* Stream) {
  const int64_t position = Stream->GetPosition();
  uint8_t head[sizeof kPngSignature] = {};
  const int64_t got = Stream->Read(head, sizeof head);
  Stream->Seek(position, soBeginning);
  return got == sizeof head && std::memcmp(head, kPngSignature, sizeof head) == 0;
}
