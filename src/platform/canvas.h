// Drawing surface of the component framework.
#pragma once

#include "platform/graphics.h"

class TCanvas : public TPersistent {
 public:
  explicit TCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}

 private:
  TBitmap* bitmap_;
};
