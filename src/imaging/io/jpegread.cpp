// JPEG reader: header and parameters, DCT scaling, rows straight into the
// bitmap (libjpeg gives blue, green, red), CMYK conversion, saved markers.
#include <algorithm>
#include <memory>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/jpegfilt.h"
#include "imaging/io/jpegglue.h"
#include "platform/jpegsize.h"

namespace {

int ScaleDenominator(const TIOParamsVals& params, JDIMENSION fullWidth, JDIMENSION fullHeight) {
  switch (params.JPEG_Scale) {
    case ioJPEG_HALF: return 2;
    case ioJPEG_QUARTER: return 4;
    case ioJPEG_EIGHTH: return 8;
    case ioJPEG_AUTOCALC:
      if (params.Width <= 0 || params.Height <= 0) return 1;
      for (int n = 3; n >= 0; --n) {
        if (static_cast<int64_t>(fullWidth >> n) >= params.Width &&
            static_cast<int64_t>(fullHeight >> n) >= params.Height)
          return 1 << n;
      }
      return 1;
    default: return 1;
  }
}

class TJpegReader {
 public:
  // soi: where the JPEG starts in the stream.
  TJpegReader(TStream* stream, int64_t soi, TIEBitmap* bitmap, TIOParamsVals& params,
              TProgressRec& progress, bool preview)
      : stream_(stream), soi_(soi), bitmap_(bitmap), params_(params), progress_(progress),
        preview_(preview), source_(std::make_unique<TIEJpegSource>()) {}

  ~TJpegReader() {
    if (created_) jpeg_destroy_decompress(&cinfo_);
  }

  // Everything up to the last row; raises on a libjpeg or stream error.
  void Decode() {
    cinfo_.err = IEJpegErrorManager(error_, progress_.Aborting);
    source_->stream = stream_;
    source_->aborting = progress_.Aborting;
    source_->error = &error_;
    if (!IEJpegProtect(error_, [&] { ReadHeader(); })) IEJpegRaise(error_);
    if (IEAborted(progress_)) return;
    SetParams();
    if (!JpegDataCanFill(cinfo_.image_width, cinfo_.image_height, stream_->GetSize() - soi_)) {
      IESetAbort(progress_);
      return;
    }
    if (!IEJpegProtect(error_, [&] { jpeg_start_decompress(&cinfo_); })) IEJpegRaise(error_);
    params_.Width = static_cast<int32_t>(cinfo_.output_width);
    params_.Height = static_cast<int32_t>(cinfo_.output_height);
    if (preview_) return;

    const bool cmyk = cinfo_.out_color_space == JCS_CMYK;
    if (!cmyk && cinfo_.output_components != 3) {  // an unknown space we cannot show
      IESetAbort(progress_);
      return;
    }
    if (!IEAllocateBitmap(bitmap_, cinfo_.output_width, cinfo_.output_height, ie24RGB)) {
      IESetAbort(progress_);
      return;
    }
    if (cmyk) buffer_.resize(static_cast<size_t>(cinfo_.output_width) * 4);
    IEProgressStart(progress_, cinfo_.output_height);
    if (!IEJpegProtect(error_, [&] { ReadRows(cmyk); })) IEJpegRaise(error_);
    if (cinfo_.output_scanline < cinfo_.output_height) IESetAbort(progress_);
  }

  // Every marker libjpeg saved, in file order, but a leading APP0.
  void StoreMarkers() {
    TIEMarkerList* list = params_.JPEG_MarkerList;
    list->Clear();
    if (!created_) return;
    bool first = true;
    for (jpeg_saved_marker_ptr m = cinfo_.marker_list; m; m = m->next) {
      const bool skip = first && m->marker == JPEG_APP0;
      first = false;
      if (!skip) list->AddMarker(m->marker, m->data, static_cast<int32_t>(m->data_length));
    }
  }

  void Finish() {
    if (created_ && !IEAborted(progress_) && !preview_) {
      error_.aborting = nullptr;  // errors past the last row are ignored
      IEJpegProtect(error_, [&] { jpeg_finish_decompress(&cinfo_); });
    }
    if (created_ && error_.pub.num_warnings != 0) {
      params_.JPEG_WarningCount = static_cast<int32_t>(error_.pub.num_warnings);
      params_.JPEG_WarningCode = error_.lastWarning;
    }
  }

 private:
  void ReadHeader() {
    jpeg_create_decompress(&cinfo_);
    created_ = true;
    IEJpegStreamSource(&cinfo_, *source_);
    jpeg_save_markers(&cinfo_, JPEG_COM, 0xFFFF);
    for (int m = 0; m < 16; ++m) jpeg_save_markers(&cinfo_, JPEG_APP0 + m, 0xFFFF);
    jpeg_read_header(&cinfo_, TRUE);
  }

  void SetParams() {
    params_.BitsPerSample = 8;
    switch (cinfo_.jpeg_color_space) {
      case JCS_GRAYSCALE: SetSpace(ioJPEG_GRAYLEV, JCS_EXT_BGR, 1); break;
      case JCS_RGB: SetSpace(ioJPEG_RGB, JCS_EXT_BGR, 3); break;
      case JCS_YCbCr: SetSpace(ioJPEG_YCbCr, JCS_EXT_BGR, 3); break;
      case JCS_CMYK: SetSpace(ioJPEG_CMYK, JCS_CMYK, 4); break;
      case JCS_YCCK: SetSpace(ioJPEG_YCbCrK, JCS_CMYK, 4); break;
      default: break;
    }
    IENoteReadDepth(params_);
    switch (params_.JPEG_DctMethod) {
      case ioJPEG_ISLOW: cinfo_.dct_method = JDCT_ISLOW; break;
      case ioJPEG_IFAST: cinfo_.dct_method = JDCT_IFAST; break;
      case ioJPEG_FLOAT: cinfo_.dct_method = JDCT_FLOAT; break;
    }
    if (cinfo_.density_unit == 2) {
      params_.DPIX = static_cast<int32_t>(cinfo_.X_density * 2.54);
      params_.DPIY = static_cast<int32_t>(cinfo_.Y_density * 2.54);
    } else if (cinfo_.density_unit <= 1) {
      params_.DPIX = cinfo_.X_density;
      params_.DPIY = cinfo_.Y_density;
    }
    params_.SetColorMap(nullptr, 0);
    params_.JPEG_Progressive = jpeg_has_multiple_scans(&cinfo_) != 0;
    params_.JPEG_OriginalWidth = static_cast<int32_t>(cinfo_.image_width);
    params_.JPEG_OriginalHeight = static_cast<int32_t>(cinfo_.image_height);
    cinfo_.scale_num = 1;
    cinfo_.scale_denom = ScaleDenominator(params_, cinfo_.image_width, cinfo_.image_height);
    params_.JPEG_ScaleDenominator = static_cast<int32_t>(cinfo_.scale_denom);
  }

  void SetSpace(TIOJPEGColorspace space, J_COLOR_SPACE output, int samples) {
    params_.JPEG_Colorspace = space;
    params_.ReadJPEG_Colorspace = space;
    cinfo_.out_color_space = output;
    params_.SamplesPerPixel = samples;
  }

  void ReadRows(bool cmyk) {
    while (cinfo_.output_scanline < cinfo_.output_height) {
      uint8_t* row = bitmap_->GetScanLine(static_cast<int>(cinfo_.output_scanline));
      JSAMPROW target = cmyk ? buffer_.data() : row;
      if (jpeg_read_scanlines(&cinfo_, &target, 1) != 1) return;
      if (cmyk) ConvertCmykRow(row);
      if (IEProgressStep(progress_)) return;
    }
  }

  void ConvertCmykRow(uint8_t* row) const {
    const uint8_t* src = buffer_.data();
    for (JDIMENSION x = 0; x < cinfo_.output_width; ++x, src += 4, row += 3) {
      row[2] = static_cast<uint8_t>(src[0] * src[3] / 255);
      row[1] = static_cast<uint8_t>(src[1] * src[3] / 255);
      row[0] = static_cast<uint8_t>(src[2] * src[3] / 255);
    }
  }

  TStream* stream_;
  int64_t soi_;
  TIEBitmap* bitmap_;
  TIOParamsVals& params_;
  TProgressRec& progress_;
  bool preview_;
  jpeg_decompress_struct cinfo_{};
  TIEJpegError error_;
  std::unique_ptr<TIEJpegSource> source_;
  bool created_ = false;
  std::vector<uint8_t> buffer_;
};

}  // namespace

int64_t JpegTryStream(TStream* Stream) {
  const int64_t position = Stream->GetPosition();
  uint8_t bytes[102];
  const int64_t got = std::max<int64_t>(0, Stream->Read(bytes, sizeof bytes));
  Stream->Seek(position, soBeginning);
  for (int64_t i = 0; i + 2 < got && i < 100; ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xD8 && bytes[i + 2] == 0xFF) return position + i;
  }
  return -1;
}

void ReadJPegStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress, bool Preview) {
  IOParams.JPEG_WarningCount = 0;
  IOParams.JPEG_WarningCode = 0;
  const int64_t soi = JpegTryStream(Stream);
  if (soi < 0) {
    IESetAbort(Progress);
    return;
  }
  Stream->Seek(soi, soBeginning);
  TJpegReader reader(Stream, soi, Bitmap, IOParams, Progress, Preview);
  try {
    reader.Decode();
  } catch (...) {
    IESetAbort(Progress);
  }
  reader.StoreMarkers();
  reader.Finish();
}
