// Portable bitmap, greymap and pixmap writer: the raw forms P4, P5, P6.
#include <memory>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iestreams.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/pxmfilt.h"

namespace {

enum class TPxmForm { Bits, Grey, Rgb, None };

// The form written: what the parameters ask for, unless they only repeat
// the last file read; then the picture's own format decides.
TPxmForm ChooseForm(const TIOParamsVals& params, const TIEBitmap* bitmap) {
  const bool chosen = !IEDepthInheritedFromRead(params);
  const int bits = params.BitsPerSample;
  const int samples = params.SamplesPerPixel;
  if ((chosen && bits == 1 && samples == 1) || bitmap->PixelFormat == ie1g) return TPxmForm::Bits;
  if (chosen && bits == 8 && samples == 1) return TPxmForm::Grey;
  if ((chosen && bits == 8 && samples == 3) || bitmap->PixelFormat == ie24RGB) return TPxmForm::Rgb;
  return TPxmForm::None;
}

std::string HeaderText(TPxmForm form, const TIEBitmap* bitmap, TStrings* comments) {
  std::string text = form == TPxmForm::Bits ? "P4" : form == TPxmForm::Grey ? "P5" : "P6";
  text += " ";
  for (int i = 0; comments && i < comments->Count(); ++i)
    text += "\n# " + comments->Get(i) + "\n";
  text += std::to_string(bitmap->Width) + " " + std::to_string(bitmap->Height);
  if (form != TPxmForm::Bits) text += " 255";
  return text + "\n";
}

}  // namespace

void PXMWriteStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress) {
  bool localAbort = false;
  bool& abort = Progress.Aborting ? *Progress.Aborting : localAbort;
  const TPxmForm form = ChooseForm(IOParams, Bitmap);
  if (form == TPxmForm::None || Bitmap->Width < 1 || Bitmap->Height < 1) {
    abort = true;  // nothing would be written
    return;
  }
  std::unique_ptr<TIEBitmap> copy;
  TIEBitmap* source = Bitmap;
  const TIEPixelFormat wanted = form == TPxmForm::Bits ? ie1g : ie24RGB;
  if (Bitmap->PixelFormat != wanted) {
    copy = IEConvertedCopy(Bitmap, wanted);
    source = copy.get();
  }
  const std::string header = HeaderText(form, source, IOParams.PXM_Comments);
  SafeStreamWrite(Stream, abort, header.data(), static_cast<int64_t>(header.size()));

  const int64_t width = source->Width;
  const int64_t rowBytes = form == TPxmForm::Bits ? (width + 7) / 8
                           : form == TPxmForm::Grey ? width
                                                    : width * 3;
  std::vector<uint8_t> out(static_cast<size_t>(rowBytes));
  IEProgressStart(Progress, source->Height);
  for (int y = 0; y < source->Height && !abort; ++y) {
    const uint8_t* row = source->GetScanLine(y);
    // The file's 1 is black, the bitmap's set bit white.
    for (int64_t i = 0; form == TPxmForm::Bits && i < rowBytes; ++i)
      out[i] = static_cast<uint8_t>(~row[i]);
    for (int64_t x = 0; form != TPxmForm::Bits && x < width; ++x) {
      switch (form) {
        case TPxmForm::Grey:
          out[x] = static_cast<uint8_t>((row[3 * x + 2] * 21 + row[3 * x + 1] * 71 + row[3 * x] * 8) / 100);
          break;
        default:
          out[3 * x] = row[3 * x + 2];
          out[3 * x + 1] = row[3 * x + 1];
          out[3 * x + 2] = row[3 * x];
          break;
      }
    }
    SafeStreamWrite(Stream, abort, out.data(), rowBytes);
    if (IEProgressStep(Progress)) break;
  }
}
