// The component's colour channel pictures: whole picture, no undo, no Update.
#include "imaging/proc/iecolormodels.h"
#include "imaging/proc/pixproc.h"

TBitmap* TPixProc::GetRGBChannel(int channel) {
  return Has24BitPicture() ? _GetRGBChannel(GetWorkingBitmap(), channel, OnProgress, this) : nullptr;
}

TBitmap* TPixProc::GetHSVChannel(int channel) {
  return Has24BitPicture() ? _GetHSVChannel(GetWorkingBitmap(), channel, OnProgress, this) : nullptr;
}

void TPixProc::GetRGBChannelAll(TBitmap* red, TBitmap* green, TBitmap* blue) {
  if (Has24BitPicture()) _GetRGBChannelAll(GetWorkingBitmap(), red, green, blue, OnProgress, this);
}

void TPixProc::GetHSVChannelAll(TBitmap* hue, TBitmap* saturation, TBitmap* value) {
  if (Has24BitPicture()) _GetHSVChannelAll(GetWorkingBitmap(), hue, saturation, value, OnProgress, this);
}
