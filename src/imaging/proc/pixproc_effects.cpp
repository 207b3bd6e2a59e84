// The component's distortion effects. With a mask the worker gets the box
// copy, so positions are read relative to the box.
#include "imaging/proc/ieeffects.h"
#include "imaging/proc/pixproc.h"

void TPixProc::BumpMapping(int lightX, int lightY, int lightWidth, int lightHeight, int mix, TRGB colour) {
  if (!Has24BitPicture()) return;
  TProgressRec progress = MakeProgress();
  ProcessSelection("BumpMapping", [&](TBitmap* bitmap, int x1, int y1, int x2, int y2) {
    _BumpMapping(bitmap, lightX, lightY, lightWidth, lightHeight, mix, colour, x1, y1, x2, y2, progress);
  });
}

void TPixProc::Lens(int x, int y, int width, int height, double refraction) {
  if (!Has24BitPicture()) return;
  TProgressRec progress = MakeProgress();
  ProcessSelection("Lens", [&](TBitmap* bitmap, int, int, int, int) {
    _lens(bitmap, x, y, width, height, refraction, progress);
  });
}

void TPixProc::Wave(int amplitude, int waveLength, int phase, bool reflective) {
  if (!Has24BitPicture()) return;
  TProgressRec progress = MakeProgress();
  ProcessSelection("Wave", [&](TBitmap* bitmap, int, int, int, int) {
    _wave(bitmap, amplitude, waveLength, phase, reflective, progress);
  });
}
