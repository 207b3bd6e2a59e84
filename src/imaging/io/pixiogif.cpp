// TPixIO: GIF loads and saves, inserting a frame into a GIF file, and the
// whole-file GIF routines.
#include <algorithm>

#include "imaging/core/iebitmap.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/giffilter.h"
#include "imaging/io/giffilterblocks.h"
#include "imaging/io/pixio.h"

namespace {

constexpr bool kGifAlpha = true;
constexpr bool kGifStreamSetsViewDPI = false;

// The logical screen of a GIF file; 0 x 0 when it cannot be read.
void FileScreen(const std::string& name, int32_t& width, int32_t& height) {
  width = height = 0;
  TFileStream file(name, fmOpenRead | fmShareDenyWrite);
  TGifScreen screen;
  if (!ReadGifScreen(&file, screen)) return;
  width = screen.Width();
  height = screen.Height();
}

}  // namespace

int32_t TPixIO::LoadFromFileGif(const std::string& name) {
  if (StartAsync(ieLoadSaveFileRetInt, [this, name] { LoadFromFileGif(name); })) return -1;
  int32_t frames = 0;
  LoadFileWith(name, {ieftGIF, kGifAlpha, kGifStreamSetsViewDPI},
               [&](TStream* s, TProgressRec& p, TIEMask*& m) {
                 ReadGifStream(s, IEBitmap, frames, *IOParams, p, false, m, false);
                 TakeGifBackground();
               });
  return frames;
}

int32_t TPixIO::LoadFromStreamGif(TStream* stream) {
  if (StartAsync(ieLoadSaveStreamRetInt, [this, stream] { LoadFromStreamGif(stream); })) return -1;
  int32_t frames = 0;
  LoadStreamWith(stream, {ieftGIF, kGifAlpha, kGifStreamSetsViewDPI},
                 [&](TStream* s, TProgressRec& p, TIEMask*& m) {
                   ReadGifStream(s, IEBitmap, frames, *IOParams, p, false, m, false);
                   TakeGifBackground();
                 });
  return frames;
}

void TPixIO::TakeGifBackground() {
  SetReBackground(TRGB2TColor(IOParams->GIF_TransparentFlag ? IOParams->GIF_TransparentColor
                                                            : IOParams->GIF_Background));
}

void TPixIO::SaveToFileGif(const std::string& name) {
  SaveFileWith(name, [&](TStream* s, TProgressRec& p) { WriteGifStream(s, IEBitmap, *IOParams, p); });
}

void TPixIO::SaveToStreamGif(TStream* stream) {
  SaveStreamWith(stream,
                 [&](TStream* s, TProgressRec& p) { WriteGifStream(s, IEBitmap, *IOParams, p); });
}

int32_t TPixIO::InsertToFileGif(const std::string& name) {
  if (StartAsync(ieLoadSaveFileRetInt, [this, name] { InsertToFileGif(name); })) return -1;
  Aborting = false;
  if (!IEBitmap) {
    FinishWork();
    return 0;
  }
  int32_t frames = 0;
  try {
    PrepareSave();
    TProgressRec progress = MakeProgress();
    IOParams->GIF_ScreenWidth =
        std::max(IOParams->GIF_ScreenWidth, IEBitmap->Width + IOParams->GIF_Left);
    IOParams->GIF_ScreenHeight =
        std::max(IOParams->GIF_ScreenHeight, IEBitmap->Height + IOParams->GIF_Top);
    // The screen also keeps holding the frames already there, whatever
    // picture the parameters were last read from.
    int32_t fileWidth = 0;
    int32_t fileHeight = 0;
    FileScreen(name, fileWidth, fileHeight);
    frames = _InsertGifIm(name, IEBitmap, *IOParams, progress);
    if (!Aborting)
      _GifMakeAnimate(name, 0, std::max(IOParams->GIF_ScreenWidth, fileWidth),
                      std::max(IOParams->GIF_ScreenHeight, fileHeight));
  } catch (...) {
    FinishWork();
    throw;
  }
  FinishWork();
  return frames;
}

int32_t DeleteGifIm(const std::string& name, int32_t index) { return _DeleteGifIm(name, index, true); }

int32_t EnumGifIm(const std::string& name) {
  try {
    return _DeleteGifIm(name, -1, false);
  } catch (...) {
    return 0;
  }
}

bool CheckAniGif(const std::string& name) {
  try {
    return _CheckGifAnimate(name);
  } catch (...) {
    return false;
  }
}
