// Reading the screen into the attached picture.
#include "imaging/core/iebitmap.h"
#include "imaging/io/pixio.h"
#include "platform/screengrab.h"

void TPixIO::CaptureFromScreen(TIECSSource Source, TCursor MouseCursor) {
  if (!IEBitmap) {
    FinishWork();
    return;
  }
  Rewrap();
  const TScreenArea area = Source == iecsScreen             ? saScreen
                           : Source == iecsForegroundWindow ? saActiveWindow
                                                            : saActiveWindowClient;
  TBitmap grabbed;
  TPoint mouse{};
  if (GrabScreenArea(area, &grabbed, &mouse)) {
    // Only "no cursor" is told apart: any other value draws the arrow.
    if (MouseCursor != -1) DrawArrowPointer(&grabbed, mouse);
    grabbed.SetPixelFormat(pf24bit);
    IEBitmap->Assign(&grabbed);
    Update();
  }
  FinishWork();
}
