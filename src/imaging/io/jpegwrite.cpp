// JPEG writer: colour space, resolution and coding options from the
// parameters, the saved markers after the headers, rows of the bitmap.
#include <algorithm>
#include <memory>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/ieview.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/jpegfilt.h"
#include "imaging/io/jpegglue.h"

namespace {

class TJpegWriter {
 public:
  TJpegWriter(TStream* stream, TIEBitmap* bitmap, TIOParamsVals& params, TProgressRec& progress)
      : stream_(stream), bitmap_(bitmap), params_(params), progress_(progress) {}

  ~TJpegWriter() {
    if (created_) jpeg_destroy_compress(&cinfo_);
  }

  void Write() {
    if (bitmap_->PixelFormat != ie24RGB) {
      // Other layouts go through a 24-bit copy; the caller's bitmap stays.
      copy_ = std::make_unique<TIEBitmap>();
      copy_->Location = ieMemory;
      copy_->Assign(bitmap_);
      copy_->ConvertToPixelFormat(ie24RGB);
      bitmap_ = copy_.get();
    }
    cinfo_.err = IEJpegErrorManager(error_, progress_.Aborting);
    destination_.stream = stream_;
    destination_.aborting = progress_.Aborting;
    destination_.error = &error_;
    if (!IEJpegProtect(error_, [&] { Start(); })) IEJpegRaise(error_);
    if (IEAborted(progress_)) return;
    if (cmyk_) buffer_.resize(static_cast<size_t>(bitmap_->Width) * 4);
    IEProgressStart(progress_, bitmap_->Height);
    if (!IEJpegProtect(error_, [&] { WriteRows(); })) IEJpegRaise(error_);
    if (IEAborted(progress_)) return;
    if (!IEJpegProtect(error_, [&] { jpeg_finish_compress(&cinfo_); })) IEJpegRaise(error_);
  }

 private:
  void Start() {
    jpeg_create_compress(&cinfo_);
    created_ = true;
    IEJpegStreamDestination(&cinfo_, destination_);
    cinfo_.image_width = static_cast<JDIMENSION>(bitmap_->Width);
    cinfo_.image_height = static_cast<JDIMENSION>(bitmap_->Height);
    J_COLOR_SPACE target = JCS_RGB;
    switch (Colorspace()) {
      case ioJPEG_GRAYLEV: target = JCS_GRAYSCALE; break;
      case ioJPEG_YCbCr: target = JCS_YCbCr; break;
      case ioJPEG_CMYK: target = JCS_CMYK; break;
      case ioJPEG_YCbCrK: target = JCS_YCCK; break;
      default: target = JCS_RGB; break;
    }
    cmyk_ = target == JCS_CMYK || target == JCS_YCCK;
    // Rows go in as the bitmap holds them, blue first; libjpeg reorders.
    cinfo_.input_components = cmyk_ ? 4 : 3;
    cinfo_.in_color_space = cmyk_ ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo_);
    jpeg_set_colorspace(&cinfo_, target);
    cinfo_.density_unit = 1;
    cinfo_.X_density = static_cast<UINT16>(params_.DPIX != 0 ? params_.DPIX : gSystemDPIX);
    cinfo_.Y_density = static_cast<UINT16>(params_.DPIY != 0 ? params_.DPIY : gSystemDPIY);
    switch (params_.JPEG_DctMethod) {
      case ioJPEG_ISLOW: cinfo_.dct_method = JDCT_ISLOW; break;
      case ioJPEG_IFAST: cinfo_.dct_method = JDCT_IFAST; break;
      case ioJPEG_FLOAT: cinfo_.dct_method = JDCT_FLOAT; break;
    }
    cinfo_.optimize_coding = params_.JPEG_OptimalHuffman ? TRUE : FALSE;
    cinfo_.smoothing_factor = std::clamp(params_.JPEG_Smoothing, 0, 100);
    jpeg_set_quality(&cinfo_, params_.JPEG_Quality, TRUE);
    if (params_.JPEG_Progressive) jpeg_simple_progression(&cinfo_);
    jpeg_start_compress(&cinfo_, TRUE);
    TIEMarkerList* markers = params_.JPEG_MarkerList;
    for (int i = 0; i < markers->GetCount(); ++i)
      jpeg_write_marker(&cinfo_, markers->GetMarkerType(i), markers->GetMarkerData(i),
                        static_cast<unsigned>(markers->GetMarkerLength(i)));
  }

  // A grey space that only repeats the last read (of a grey file) must not
  // strip the colours of a different picture saved with the same parameters.
  TIOJPEGColorspace Colorspace() const {
    const TIOJPEGColorspace space = params_.JPEG_Colorspace;
    if (space == ioJPEG_GRAYLEV && params_.ReadJPEG_Colorspace == space && HasColour()) return ioJPEG_YCbCr;
    return space;
  }

  bool HasColour() const {
    for (int y = 0; y < bitmap_->Height; ++y) {
      const uint8_t* p = bitmap_->GetScanLine(y);
      for (int x = 0; x < bitmap_->Width; ++x, p += 3)
        if (p[0] != p[1] || p[1] != p[2]) return true;
    }
    return false;
  }

  void WriteRows() {
    for (int y = 0; y < bitmap_->Height; ++y) {
      JSAMPROW row = bitmap_->GetScanLine(y);
      if (cmyk_) {
        ToCmyk(row);
        row = buffer_.data();
      }
      jpeg_write_scanlines(&cinfo_, &row, 1);
      if (IEProgressStep(progress_)) return;
    }
  }

  // K is the largest of red, green and blue (1 for black), the inks the
  // colour scaled up by 255 / K.
  void ToCmyk(const uint8_t* src) {
    uint8_t* dst = buffer_.data();
    for (int x = 0; x < bitmap_->Width; ++x, src += 3, dst += 4) {
      const int red = src[2], green = src[1], blue = src[0];
      const int k = std::max({red, green, blue, 1});
      dst[0] = static_cast<uint8_t>(red * 255 / k);
      dst[1] = static_cast<uint8_t>(green * 255 / k);
      dst[2] = static_cast<uint8_t>(blue * 255 / k);
      dst[3] = static_cast<uint8_t>(k);
    }
  }

  TStream* stream_;
  TIEBitmap* bitmap_;
  TIOParamsVals& params_;
  TProgressRec& progress_;
  std::unique_ptr<TIEBitmap> copy_;
  jpeg_compress_struct cinfo_{};
  TIEJpegError error_;
  TIEJpegDestination destination_;
  bool created_ = false;
  bool cmyk_ = false;
  std::vector<uint8_t> buffer_;
};

}  // namespace

void WriteJPegStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                     TProgressRec& Progress) {
  TJpegWriter(Stream, Bitmap, IOParams, Progress).Write();
}
