// The vector layer's object stream reader on arbitrary bytes. Whatever it
// accepts must write out and read back, and draw; whatever it refuses must
// leave the layer as it was.
#include <cstdlib>
#include <string>

#include "ievlayer.h"

namespace {

bool Load(TPixVect& layer, const std::string& bytes) {
  TMemoryStream s;
  s.Write(bytes.data(), int64_t(bytes.size()));
  s.SetPosition(0);
  return layer.LoadFromStreamIEV(&s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPixVect layer(nullptr);
  const int kept = layer.AddNewObject();
  layer.SetObjKind(kept, iekLINE);
  const std::string before = SavedObjects(layer);
  if (!Load(layer, std::string(reinterpret_cast<const char*>(data), size))) {
    if (SavedObjects(layer) != before) std::abort();
    return 0;
  }
  const std::string first = SavedObjects(layer);
  TPixVect again(nullptr);
  if (!Load(again, first) || SavedObjects(again) != first) std::abort();
  DrawObjects(layer);
  return 0;
}
