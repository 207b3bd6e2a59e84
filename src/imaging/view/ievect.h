// TPixVect: the image view that carries a layer of vector objects above its
// picture. For now the layer is empty and cannot read object streams: the
// object kinds, their drawing and their stream format are still to come.
// Callers that print a picture with its objects get the picture alone, and
// LoadFromStreamIEV tells them so by answering false.
#pragma once

#include "imaging/view/pixview.h"

class TStream;

class TPixVect : public TPixView {
 public:
  explicit TPixVect(TComponent* Owner);

  // Number of objects in the layer (none until objects can be made).
  int ObjectsCount() const { return 0; }
  // Empties the layer and repaints.
  void RemoveAllObjects();
  // Reads an object stream from the position. Object streams cannot be read
  // yet: answers false and leaves the stream and the layer unchanged.
  bool LoadFromStreamIEV(TStream* Stream);
  // Draws every object onto the view's own picture, then Update; the
  // objects stay in the layer.
  void CopyObjectsToBack();
};
