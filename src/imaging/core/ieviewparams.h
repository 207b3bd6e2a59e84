// Option holders of the image view's scroll bars and mouse wheel; the view
// reads and interprets them.
#pragma once

#include "platform/sysutils.h"

class TIEScrollBarParams : public TObject {
 public:
  // -1: one zoomed pixel.
  int LineStep = -1;
  // -1: the client width or height.
  int PageStep = -1;
  bool ThumbTracking = true;
};

enum TIEMouseWheelAction { iemwNone, iemwVScroll, iemwZoom };
enum TIEMouseWheelAmountKind { iemwAbsolute, iemwPercentage };
enum TIEMouseWheelZoomAnchor { iemwCenter, iemwMouse };

class TIEMouseWheelParams : public TObject {
 public:
  bool Invert = false;
  TIEMouseWheelAction Action = iemwZoom;
  TIEMouseWheelAmountKind AmountKind = iemwPercentage;
  int Amount = 8;
  TIEMouseWheelZoomAnchor ZoomAnchor = iemwCenter;
};
