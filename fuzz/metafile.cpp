// Metafile reader (WMF and EMF) on arbitrary bytes, then playback of
// whatever it accepted into a small bitmap at two sizes.
#include <QGuiApplication>
#include <cstdlib>

#include "platform/canvas.h"
#include "platform/classes.h"
#include "platform/metafile.h"

// The font cache that Qt keeps for the life of the process is no leak.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Text playback needs fonts, which need a (headless) application.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  stream.Write(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  TMetafile mf;
  try {
    mf.LoadFromStream(&stream);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  TBitmap bitmap;
  bitmap.SetSize(48, 32);
  bitmap.GetCanvas()->StretchDraw({0, 0, 48, 32}, &mf);
  bitmap.GetCanvas()->StretchDraw({40, 30, -8, -20}, &mf);
  TMemoryStream out;
  mf.SaveToStream(&out);
  return 0;
}
