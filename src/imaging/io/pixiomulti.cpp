// Multi-page TIFF files as a whole, over the TIFF page routines.
#include "imaging/io/pixiomulti.h"

#include "imaging/io/tiffilt.h"
#include "platform/classes.h"

int32_t EnumTIFFIm(const std::string& name) {
  TFileStream file(name, fmOpenRead | fmShareDenyWrite);
  return EnumTIFFImStream(&file);
}

int32_t EnumTIFFStream(TStream* stream) { return EnumTIFFImStream(stream); }
