// What the vector layer's fuzz targets share: a headless application for
// the layer's control, and the layer's objects as their stream bytes.
#pragma once

#include <QApplication>
#include <cstdlib>
#include <string>

#include "imaging/view/ievect.h"
#include "platform/classes.h"

// The font cache that Qt keeps for the life of the process is no leak.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication app(*argc, *argv);
  return 0;
}

namespace {

[[maybe_unused]] std::string SavedObjects(TPixVect& layer) {
  TMemoryStream s;
  layer.SaveToStreamIEV(&s);
  return std::string(static_cast<char*>(s.Memory()), size_t(s.GetSize()));
}

// Draws every object into a small picture, as printing does, picks the
// object nearest a point and measures every object.
[[maybe_unused]] void DrawObjects(TPixVect& layer) {
  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(40, 30);
  layer.DrawObjectAll(picture.GetCanvas(), true, &picture);
  double d;
  layer.FindNearObj(10, 10, false, d);
  for (int i = 0; i < layer.ObjectsCount(); ++i) {
    const int h = layer.GetObjFromIndex(i);
    layer.GetPolylineLen(h);
    layer.GetPolylineArea(h);
    layer.GetPolylineCentroid(h);
    layer.GetAngleValue(h);
  }
}

}  // namespace
