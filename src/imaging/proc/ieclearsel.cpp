#include "imaging/proc/ieclearsel.h"

#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iemask.h"
#include "imaging/proc/iebitmaptransfer.h"
#include "platform/canvas.h"
#include "platform/gdi.h"

void _ClearSelMask(TBitmap* bitmap, TIEMask* mask, TColor colour) {
  if (!mask || mask->IsEmpty()) return;
  TBitmap box;
  _CopyBitmapRect(bitmap, &box, mask->X1, mask->Y1, mask->X2 + 1, mask->Y2 + 1);
  TCanvas* canvas = box.GetCanvas();
  canvas->Brush->Color = colour;
  canvas->Brush->Style = bsSolid;
  canvas->FillRect(TRect{0, 0, box.GetWidth(), box.GetHeight()});
  mask->CopyBitmap(bitmap, &box, false, true);
}

void _ClearSel(TBitmap* bitmap, const TPoint* points, int count, TColor colour) {
  TCanvas* canvas = bitmap->GetCanvas();
  HDC dc = canvas->GetHandle();
  canvas->Brush->Color = colour;
  canvas->Brush->Style = bsSolid;
  for (const auto& polygon : IESplitPolygons(points, count).polygons) {
    HRGN region = CreatePolygonRgn(polygon.data(), int(polygon.size()), ALTERNATE);
    SelectClipRgn(dc, region);
    canvas->FillRect(TRect{0, 0, bitmap->GetWidth(), bitmap->GetHeight()});
    SelectClipRgn(dc, nullptr);
    DeleteObject(region);
  }
}
