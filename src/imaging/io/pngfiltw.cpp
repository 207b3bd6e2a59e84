// PNG writer: 1-bit grey, a quantised palette with the background at entry
// 0, RGB, or RGB with the mask as alpha; resolution, background, row
// filter, compression level and Adam7 interlacing from the parameters.
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ievalues.h"
#include "imaging/core/neurquant.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/pngfilt.h"
#include "imaging/io/pngfiltglue.h"
#include "imaging/proc/iecolordepth.h"
#include "platform/graphics.h"

namespace {

enum class TPngKind { Grey1, Palette, Rgb, Rgba };

png_uint_32 PixelsPerMetre(int32_t dpi) {
  const double ppm = std::nearbyint(dpi * 100 / 2.54);
  return static_cast<png_uint_32>(std::clamp(ppm, 0.0, double{std::numeric_limits<int32_t>::max()}));
}

// The mask's value at (x, y); pixels outside a mask of another size, or a
// mask that is no alpha channel, count as opaque.
uint8_t AlphaAt(const TIEMask* mask, int x, int y) {
  if (!mask || mask->BitCount != 8 || x >= mask->Width || y >= mask->Height) return 255;
  const uint8_t* row = mask->GetScanLine(y);
  return row ? row[x] : 255;
}

bool HasTransparency(const TIEMask* mask, int width, int height) {
  if (!mask || mask->BitCount != 8 || !mask->Bits) return false;
  const int w = std::min(width, mask->Width);
  const int h = std::min(height, mask->Height);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = mask->GetScanLine(y);
    if (row && std::any_of(row, row + w, [](uint8_t a) { return a != 255; })) return true;
  }
  return false;
}

class TPngWriter {
 public:
  TPngWriter(TStream* stream, TIEBitmap* bitmap, TIOParamsVals& params, TProgressRec& progress,
             TIEMask* mask)
      : bitmap_(bitmap), params_(params), progress_(progress), mask_(mask) {
    io_.stream = stream;
    io_.aborting = progress.Aborting ? progress.Aborting : &localAbort_;
  }

  ~TPngWriter() {
    if (png_) png_destroy_write_struct(&png_, info_ ? &info_ : nullptr);
  }

  void Run() {
    png_ = IEPngCreateWrite(io_);
    if (png_) info_ = png_create_info_struct(png_);
    if (!png_ || !info_) throw EInvalidGraphic(IEPngCreateErrorMessage);
    PreparePicture();
    if (!IEPngProtect(png_, [&] { WriteHeader(); })) Failed();
    IEProgressStart(progress_, int64_t{passes_} * picture_->Height);
    if (!IEPngProtect(png_, [&] { WriteRows(); })) Failed();
    if (*io_.aborting) return;  // a short write: the file stays without its end
    if (!IEPngProtect(png_, [&] { png_write_end(png_, nullptr); })) Failed();
  }

 private:
  [[noreturn]] void Failed() {
    if (io_.streamError) std::rethrow_exception(io_.streamError);
    throw EInvalidGraphic(IEPngCreateErrorMessage);
  }

  TPngKind ChooseKind() const {
    // Parameters that only repeat the last file read leave the choice to
    // the picture, so that a save never loses colours it was not asked to.
    if (IEDepthInheritedFromRead(params_)) return bitmap_->PixelFormat == ie1g ? TPngKind::Grey1 : TPngKind::Rgb;
    if (params_.BitsPerSample == 1) return TPngKind::Grey1;
    if (params_.SamplesPerPixel == 1) return TPngKind::Palette;
    return TPngKind::Rgb;
  }

  // The picture in the format the kind needs: the bitmap itself or a copy.
  void PreparePicture() {
    kind_ = ChooseKind();
    picture_ = bitmap_;
    if (kind_ == TPngKind::Grey1) {
      if (bitmap_->PixelFormat == ie1g) return;
      TRGB dark{}, light{};
      copy_.reset(_ConvertTo1bitEx(bitmap_, dark, light));
      if (!copy_) ConvertedCopy(ie1g);
      picture_ = copy_.get();
      return;
    }
    if (bitmap_->PixelFormat != ie24RGB) {
      ConvertedCopy(ie24RGB);
      picture_ = copy_.get();
    }
    if (kind_ == TPngKind::Rgb && HasTransparency(mask_, picture_->Width, picture_->Height))
      kind_ = TPngKind::Rgba;
    if (kind_ == TPngKind::Palette) {
      transparent_ = HasTransparency(mask_, picture_->Width, picture_->Height);
      const int bits = params_.BitsPerSample;
      colours_ = bits >= 8 ? 255 : std::max(1, 1 << std::max(0, bits));
      palette_[0] = params_.PNG_Background;
      quantizer_ = std::make_unique<TIEQuantizer>(picture_, std::span<TRGB>(palette_ + 1, 255), colours_);
    }
  }

  void ConvertedCopy(TIEPixelFormat format) {
    copy_ = std::make_unique<TIEBitmap>();
    copy_->Location = ieMemory;
    copy_->Assign(bitmap_);
    copy_->ConvertToPixelFormat(format);
  }

  void WriteHeader() {
    const bool grey = kind_ == TPngKind::Grey1;
    const int colorType = grey ? PNG_COLOR_TYPE_GRAY
                          : kind_ == TPngKind::Palette ? PNG_COLOR_TYPE_PALETTE
                          : kind_ == TPngKind::Rgba  ? PNG_COLOR_TYPE_RGB_ALPHA
                                                     : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(png_, info_, static_cast<png_uint_32>(picture_->Width),
                 static_cast<png_uint_32>(picture_->Height), grey ? 1 : 8, colorType,
                 params_.PNG_Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (kind_ == TPngKind::Palette) WritePalette();
    png_set_pHYs(png_, info_, PixelsPerMetre(params_.DPIX), PixelsPerMetre(params_.DPIY),
                 PNG_RESOLUTION_METER);
    switch (params_.PNG_Filter) {
      case ioPNG_FILTER_NONE: png_set_filter(png_, 0, PNG_FILTER_NONE); break;
      case ioPNG_FILTER_SUB: png_set_filter(png_, 0, PNG_FILTER_SUB); break;
      case ioPNG_FILTER_PAETH: png_set_filter(png_, 0, PNG_FILTER_PAETH); break;
      default: break;  // libpng's own choice
    }
    WriteBackground();
    png_set_compression_level(png_, std::clamp(params_.PNG_Compression, -1, 9));
    if (!grey) png_set_bgr(png_);
    png_write_info(png_, info_);
    passes_ = png_set_interlace_handling(png_);
  }

  void WritePalette() {
    png_color colours[256];
    const int count = std::min(colours_ + 1, 256);
    for (int i = 0; i < count; ++i) colours[i] = png_color{palette_[i].r, palette_[i].g, palette_[i].b};
    png_set_PLTE(png_, info_, colours, count);
    if (transparent_) {
      png_byte clear = 0;
      png_set_tRNS(png_, info_, &clear, 1, nullptr);
    }
  }

  // The background in the file's own sample depth (a 16-bit value in an
  // 8-bit file is refused by libpng and by readers).
  void WriteBackground() {
    const TRGB bg = params_.PNG_Background;
    png_color_16 bkgd{};
    if (kind_ == TPngKind::Palette)
      bkgd.index = static_cast<png_byte>(quantizer_->GetRGBIndex(bg) + 1);
    else if (kind_ == TPngKind::Grey1)
      bkgd.gray = _RGBToGray(bg) >= 128 ? 1 : 0;
    else
      bkgd = png_color_16{0, bg.r, bg.g, bg.b, 0};
    png_set_bKGD(png_, info_, &bkgd);
  }

  void WriteRows() {
    const int width = picture_->Width;
    if (kind_ == TPngKind::Palette) row_.resize(static_cast<size_t>(width));
    if (kind_ == TPngKind::Rgba) row_.resize(static_cast<size_t>(width) * 4);
    for (int pass = 0; pass < passes_; ++pass) {
      for (int y = 0; y < picture_->Height; ++y) {
        const uint8_t* line = picture_->GetScanLine(y);
        if (kind_ == TPngKind::Palette) line = PaletteRow(line, y);
        if (kind_ == TPngKind::Rgba) line = AlphaRow(line, y);
        png_write_row(png_, line);
        if (IEProgressStep(progress_) || *io_.aborting) return;
      }
    }
  }

  // Quantiser index + 1 for each pixel; 0 (the background) where clear.
  const uint8_t* PaletteRow(const uint8_t* line, int y) {
    const auto* px = reinterpret_cast<const TRGB*>(line);
    for (size_t x = 0; x < row_.size(); ++x) {
      if (transparent_ && AlphaAt(mask_, static_cast<int>(x), y) != 255)
        row_[x] = 0;
      else
        row_[x] = static_cast<uint8_t>(quantizer_->GetRGBIndex(px[x]) + 1);
    }
    return row_.data();
  }

  const uint8_t* AlphaRow(const uint8_t* line, int y) {
    uint8_t* out = row_.data();
    const size_t width = row_.size() / 4;
    for (size_t x = 0; x < width; ++x, out += 4, line += 3) {
      out[0] = line[0];
      out[1] = line[1];
      out[2] = line[2];
      out[3] = AlphaAt(mask_, static_cast<int>(x), y);
    }
    return row_.data();
  }

  TIEPngIO io_;
  bool localAbort_ = false;
  TIEBitmap* bitmap_;
  TIOParamsVals& params_;
  TProgressRec& progress_;
  TIEMask* mask_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  TPngKind kind_ = TPngKind::Rgb;
  TIEBitmap* picture_ = nullptr;
  std::unique_ptr<TIEBitmap> copy_;
  std::unique_ptr<TIEQuantizer> quantizer_;
  TRGB palette_[256]{};
  int colours_ = 0;
  bool transparent_ = false;
  int passes_ = 1;
  std::vector<uint8_t> row_;
};

}  // namespace

void WritePNGStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress, TIEMask* Mask) {
  TPngWriter writer(Stream, Bitmap, IOParams, Progress, Mask);
  writer.Run();
}
