// The vector layer's object clipboard block on arbitrary bytes, pasted
// over a layer with a selection: a block that pastes must leave the pasted
// objects selected; one that does not must leave the layer as it was.
#include <cstdlib>
#include <string>

#include "ievlayer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPixVect layer(nullptr);
  for (TIEVObjectKind kind : {iekBOX, iekBITMAP, iekTEXT}) {
    const int h = layer.AddNewObject();
    layer.SetObjKind(h, kind);
    if (kind == iekBITMAP) layer.SetObjBitmapIdxNU(h, layer.GetObj(kIEVTemplate)->BitmapIdx);
    layer.AddSelObjectNS(h);
  }
  const std::string before = SavedObjects(layer);
  TMemoryStream block;
  block.Write(data, static_cast<int64_t>(size));
  block.SetPosition(0);
  try {
    layer.ReadClipboardBlock(&block, 3, -2);
  } catch (const Exception&) {
    if (SavedObjects(layer) != before || layer.SelectionCount() != 3) std::abort();
    return 0;
  }
  TMemoryStream copy;
  layer.WriteClipboardBlock(&copy);
  DrawObjects(layer);
  return 0;
}
