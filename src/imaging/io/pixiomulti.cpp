// Multi-page TIFF files as a whole, over the TIFF page routines.
#include "imaging/io/pixiomulti.h"

#include "imaging/io/tiffilt.h"
#include "imaging/io/tiffpages.h"
#include "platform/classes.h"

int32_t EnumTIFFIm(const std::string& name) {
  TFileStream file(name, fmOpenRead | fmShareDenyWrite);
  return EnumTIFFImStream(&file);
}

int32_t EnumTIFFStream(TStream* stream) { return EnumTIFFImStream(stream); }

int32_t DeleteTIFFIm(const std::string& name, int32_t index) { return DeleteTIFFImFile(name, index); }

int32_t ExtractTIFFImageStream(TStream* source, TStream* target, int32_t index) {
  return ExtractTIFFImStream(source, index, target);
}

int32_t ExtractTIFFImageFile(const std::string& sourceName, const std::string& targetName, int32_t index) {
  return ExtractTIFFImFile(sourceName, targetName, index);
}

int32_t InsertTIFFImageStream(TStream* first, TStream* second, TStream* output, int32_t index) {
  return InsertTIFFImStream(first, second, index, output);
}

int32_t InsertTIFFImageFile(const std::string& firstName, const std::string& secondName,
                            const std::string& outputName, int32_t index) {
  return InsertTIFFImFile(firstName, secondName, outputName, index);
}
