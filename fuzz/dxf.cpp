// The DXF import on arbitrary text, into a layer over a small picture:
// it adds lines, circles and arcs or answers false, and never fails
// otherwise. What it added must draw.
#include <cstdlib>
#include <string>

#include "ievlayer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPixVect layer(nullptr);
  layer.GetFBitmap()->SetPixelFormat(pf24bit);
  layer.GetFBitmap()->SetSize(64, 48);
  TMemoryStream text;
  text.Write(data, static_cast<int64_t>(size));
  text.SetPosition(0);
  layer.ImportDXFStream(&text);
  DrawObjects(layer);
  return 0;
}
