// Writing JPEG 2000 pictures: components from TIEBitmap rows, the option
// text and the OpenJPEG encoder set from it; and the self-deleting
// temporary stream.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iefiles.h"
#include "imaging/core/iememorymapped.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iej2000.h"
#include "imaging/io/iej2000stream.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/iewritedepth.h"
#include "platform/kernel.h"
#include "platform/sysutils.h"

namespace {

// The precision to write: BitsPerSample, except that a depth merely left
// by the last read, or one no component can have, gives 8 bits.
int32_t Precision(const TIOParamsVals& params) {
  const int32_t bits = params.BitsPerSample;
  if (IEDepthInheritedFromRead(params) || bits < 1 || bits > 16) return 8;
  return bits;
}

// Fills the encoder's settings from the option text: "rate=" is the size
// of the result as a share of the raw picture (1 or more, or none: no loss)
// and "prg=" the progression order.
void ApplyOptions(const std::string& options, opj_cparameters_t& parameters) {
  parameters.tcp_numlayers = 1;
  parameters.cp_disto_alloc = 1;
  parameters.tcp_rates[0] = 0;  // lossless
  parameters.irreversible = 0;
  parameters.prog_order = OPJ_LRCP;
  size_t at = 0;
  while (at < options.size()) {
    const size_t end = std::min(options.find(' ', at), options.size());
    const std::string item = options.substr(at, end - at);
    if (item.rfind("rate=", 0) == 0) {
      // The number is written with the system's decimal separator.
      std::string number = item.substr(5);
      std::replace(number.begin(), number.end(), ',', '.');
      const double rate = std::strtod(number.c_str(), nullptr);
      if (rate > 0 && rate < 1) {
        parameters.tcp_rates[0] = float(1 / rate);
        parameters.irreversible = 1;
      }
    } else if (item == "prg=rlcp") {
      parameters.prog_order = OPJ_RLCP;
    } else if (item == "prg=lrcp") {
      parameters.prog_order = OPJ_LRCP;
    }
    at = end + 1;
  }
}

// Resolution levels the picture's smaller side can take (6 at most).
int Resolutions(int32_t width, int32_t height) {
  int levels = 1;
  while (levels < 6 && (std::min(width, height) >> levels) > 0) ++levels;
  return levels;
}

}  // namespace

std::string J2KEncoderOptions(const TIOParamsVals& IOParams) {
  return "rate=" + FloatToStr(IOParams.J2000_Rate) +
         (IOParams.J2000_ScalableBy == ioJ2000_Resolution ? " prg=rlcp" : " prg=lrcp");
}

void J2KWriteStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams, TProgressRec& Progress,
                    int Format) {
  const bool bilevel = Bitmap->PixelFormat == ie1g;
  if (bilevel) {
    IOParams.BitsPerSample = 1;
    IOParams.J2000_ColorSpace = ioJ2000_GRAYLEV;
  }
  if (Bitmap->PixelFormat != ie1g && Bitmap->PixelFormat != ie24RGB) return IESetAbort(Progress);
  const int32_t width = Bitmap->Width, height = Bitmap->Height;
  if (width <= 0 || height <= 0) return IESetAbort(Progress);
  const int32_t precision = bilevel ? 1 : Precision(IOParams);
  const bool grey = IOParams.J2000_ColorSpace == ioJ2000_GRAYLEV;
  const int channels = grey ? 1 : 3;
  const double maxval = double((1 << precision) - 1);

  std::vector<opj_image_cmptparm_t> components(channels);
  for (opj_image_cmptparm_t& c : components) {
    c = {};
    c.dx = c.dy = 1;
    c.w = uint32_t(width);
    c.h = uint32_t(height);
    c.prec = uint32_t(precision);
    c.sgnd = 0;
  }
  TIEOpjImage image(opj_image_create(uint32_t(channels), components.data(),
                                     grey ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB));
  if (!image) return IESetAbort(Progress);
  image->x0 = image->y0 = 0;
  image->x1 = uint32_t(width);
  image->y1 = uint32_t(height);

  const auto scale = [maxval](int value) { return int32_t(std::trunc(value / 255.0 * maxval)); };
  IEProgressStart(Progress, height);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = Bitmap->GetScanLine(y);
    const size_t at = size_t(y) * size_t(width);
    for (int32_t x = 0; x < width; ++x) {
      if (bilevel) {
        const bool set = row[x >> 3] & (0x80 >> (x & 7));
        image->comps[0].data[at + x] = set ? 1 : 0;
        continue;
      }
      const uint8_t* px = row + size_t(x) * 3;
      if (grey) {
        image->comps[0].data[at + x] = scale((21 * px[2] + 71 * px[1] + 8 * px[0]) / 100);
      } else {
        image->comps[0].data[at + x] = scale(px[2]);
        image->comps[1].data[at + x] = scale(px[1]);
        image->comps[2].data[at + x] = scale(px[0]);
      }
    }
    // An abort keeps the rows written so far; the rest stay black.
    if (IEProgressStep(Progress)) break;
  }

  opj_cparameters_t parameters;
  opj_set_default_encoder_parameters(&parameters);
  ApplyOptions(J2KEncoderOptions(IOParams), parameters);
  parameters.numresolution = Resolutions(width, height);
  parameters.tcp_mct = channels == 3 ? 1 : 0;
  TIEOpjCodec codec(opj_create_compress(Format == IEJ2KFormatJP2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
  if (!codec) return IESetAbort(Progress);
  IEQuietOpjCodec(codec.get());
  TIEOpjStream stream = IEOpenOpjStream(Stream, false);
  if (!stream || !opj_setup_encoder(codec.get(), &parameters, image.get()) ||
      !opj_start_compress(codec.get(), image.get(), stream.get()) || !opj_encode(codec.get(), stream.get()) ||
      !opj_end_compress(codec.get(), stream.get()))
    IESetAbort(Progress);
}

namespace {

std::string NewTempStreamName() {
  std::string folder = DefTEMPPATH.empty() ? GetTempPath() : DefTEMPPATH;
  IEForceDirectories(folder);
  return GetTempFileName(folder, "pix");
}

}  // namespace

TIETmpStream::TIETmpStream() : TFileStream(NewTempStreamName(), fmCreate) {}

TIETmpStream::~TIETmpStream() { DeleteFile(FileName()); }
