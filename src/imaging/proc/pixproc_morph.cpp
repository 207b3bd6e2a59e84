// The component's morphology and noise removal. None of them checks the
// pixel format first: the workers leave other formats alone.
#include "imaging/proc/iekfill.h"
#include "imaging/proc/iemorph.h"
#include "imaging/proc/pixproc.h"

namespace {

TPixProcWorker MorphWorker(int windowSize, int operation, const TIEProgressEvent& onProgress, TObject* sender) {
  return [=](TBitmap* bitmap, int x1, int y1, int x2, int y2) {
    _MorphFilter(bitmap, windowSize, operation, x1, y1, x2, y2, onProgress, sender);
  };
}

}  // namespace

void TPixProc::Maximum(int WindowSize) {
  ProcessSelection(PixProcCaption("Maximum", {WindowSize}), MorphWorker(WindowSize, 0, OnProgress, this));
}
void TPixProc::Minimum(int WindowSize) {
  ProcessSelection(PixProcCaption("Minimum", {WindowSize}), MorphWorker(WindowSize, 1, OnProgress, this));
}
void TPixProc::Opening(int WindowSize) {
  ProcessSelection(PixProcCaption("Opening", {WindowSize}), MorphWorker(WindowSize, 2, OnProgress, this));
}
void TPixProc::Closing(int WindowSize) {
  ProcessSelection(PixProcCaption("Closing", {WindowSize}), MorphWorker(WindowSize, 3, OnProgress, this));
}

void TPixProc::RemoveIsolatedPixels(int Color, int Size) {
  if (Size == 0) return;
  ProcessSelection("RemoveIsolatedPixels", [&](TBitmap* bitmap, int x1, int y1, int x2, int y2) {
    _IERemoveIsolatedPixels1Bit(bitmap, x1, y1, x2, y2, Color, Size);
  });
}

void TPixProc::RemoveNoise(int Iterations, bool Invert) {
  if (Iterations == 0) return;
  ProcessSelection("RemoveNoise", [&](TBitmap* bitmap, int, int, int, int) {
    _kf_kfill(bitmap, true, true, Iterations, 3, Invert);
  });
}
