// Pixel work on the selection: copying it out, colouring it, giving it an
// alpha value, and polygon-shaped copies in and out of the picture.
#include <algorithm>

#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iemask.h"
#include "imaging/proc/iebitmaptransfer.h"
#include "imaging/view/pixview.h"
#include "platform/extctrls.h"
#include "platform/picture.h"

void TPixView::CopySelectionToBitmap(TBitmap* Bitmap) {
  TIEMask* m = SelectionMask;
  if (m->IsEmpty()) return;
  Bitmap->SetPixelFormat(bitmap_->GetPixelFormat());
  Bitmap->SetSize(m->X2 - m->X1 + 1, m->Y2 - m->Y1 + 1);
  m->CopyBitmap(Bitmap, bitmap_, true, false);
}

void TPixView::AssignSelTo(TPersistent* Target) {
  const bool whole = !HasSelection || SelectionMask->IsEmpty();
  auto fill = [&](TBitmap* b) {
    if (whole)
      IECopyBitmap(bitmap_, b);
    else
      CopySelectionToBitmap(b);
  };
  if (auto* view = dynamic_cast<TPixView*>(Target)) {
    fill(view->GetFBitmap());
    view->TIEView::SetBackGround(GetBackground());
    view->SetDPI(GetDPIX(), GetDPIY());
    view->Update();
    view->ImageChange();
    return;
  }
  TBitmap* bitmap = dynamic_cast<TBitmap*>(Target);
  if (auto* image = dynamic_cast<TImage*>(Target)) bitmap = image->GetPicture()->GetBitmap();
  if (!bitmap) return;
  fill(bitmap);
  bitmap->Changed();
}

// A picture that is not 24-bit is converted first, so the colour lands as
// given rather than being written into rows of another layout.
void TPixView::SetSelectedPixelsColor(TRGB Color) {
  if (bitmap_->GetPixelFormat() != pf24bit) bitmap_->SetPixelFormat(pf24bit);
  TIEMask* m = SelectionMask;
  if (!m->IsEmpty()) {
    const int32_t x2 = std::min(m->X2, bitmap_->GetWidth() - 1), y2 = std::min(m->Y2, bitmap_->GetHeight() - 1);
    for (int32_t y = m->Y1; y <= y2; ++y) {
      auto* row = reinterpret_cast<TRGB*>(bitmap_->ScanLine(y));
      for (int32_t x = m->X1; x <= x2; ++x)
        if (m->IsPointInside(x, y)) row[x] = Color;
    }
  }
  Update();
}

void TPixView::SetSelectedAreaAlpha(int Alpha) {
  TIEMask* alpha = GetAlphaChannel();
  TIEMask* m = SelectionMask;
  if (m->IsEmpty()) {
    alpha->Fill(Alpha);
  } else {
    for (int32_t y = m->Y1; y <= m->Y2; ++y)
      for (int32_t x = m->X1; x <= m->X2; ++x)
        if (m->IsPointInside(x, y)) alpha->SetPixel(x, y, Alpha);
  }
  Update();
}

void TPixView::CopyFromPolygon(TBitmap* Source, const TPoint* Polygon, int Count, TPoint DestPoint) {
  _CopyPolygonToPoint(Source, Polygon, Count, bitmap_, DestPoint);
  Update();
}

void TPixView::CopyToPolygon(TBitmap* Target, const TPoint* Polygon, int Count, TPoint SourcePoint) {
  _CopyPointToPolygon(bitmap_, Polygon, Count, Target, SourcePoint);
}
