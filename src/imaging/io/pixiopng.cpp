// TPixIO: the PNG operations.
#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/pixio.h"
#include "imaging/io/pngfilt.h"

namespace {
constexpr bool kWithAlpha = true;
constexpr bool kStreamSetsViewDPI = true;
}  // namespace

void TPixIO::LoadFromFilePNG(const std::string& name) {
  LoadFileWith(name, {ieftPNG, kWithAlpha, kStreamSetsViewDPI},
               [&](TStream* s, TProgressRec& p, TIEMask*& m) {
                 IOParams->PNG_Background = TColor2TRGB(GetReBackground());
                 ReadPNGStream(s, IEBitmap, *IOParams, p, false, m, false);
                 SetReBackground(TRGB2TColor(IOParams->PNG_Background));
               });
}

void TPixIO::LoadFromStreamPNG(TStream* stream) {
  LoadStreamWith(stream, {ieftPNG, kWithAlpha, kStreamSetsViewDPI},
                 [&](TStream* s, TProgressRec& p, TIEMask*& m) {
                   ReadPNGStream(s, IEBitmap, *IOParams, p, false, m, false);
                   SetReBackground(TRGB2TColor(IOParams->PNG_Background));
                 });
}

// A caller's bitmap carries its transparency itself; otherwise the mask
// exchanged with the view (or held here) is the alpha channel.
void TPixIO::WritePNGWithAlpha(TStream* stream, TProgressRec& progress) {
  if (!OwnIEBitmap && IEBitmap->GetHasAlphaChannel()) {
    TIEMask alpha;
    IEBitmap->GetAlphaChannel()->CopyToTIEMask(&alpha);
    return WritePNGStream(stream, IEBitmap, *IOParams, progress, &alpha);
  }
  WritePNGStream(stream, IEBitmap, *IOParams, progress, GetAlphaChannel());
}

void TPixIO::SaveToFilePNG(const std::string& name) {
  SaveFileWith(name, [&](TStream* s, TProgressRec& p) { WritePNGWithAlpha(s, p); });
}

void TPixIO::SaveToStreamPNG(TStream* stream) {
  SaveStreamWith(stream, [&](TStream* s, TProgressRec& p) { WritePNGWithAlpha(s, p); });
}
