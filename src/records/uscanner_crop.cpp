// The scanner window's crop frame, the crop and the store into the record.
#include <algorithm>

#include "imaging/view/pix.h"
#include "platform/dialogs.h"
#include "platform/classes.h"
#include "records/dbpicsu.h"
#include "records/pictureimport.h"
#include "records/uscanner.h"
#include "records/utextdata.h"

namespace {

// Drag modes: 1 moves the frame, the others are edges to move.
constexpr int kMove = 1, kLeft = 2, kRight = 4, kTop = 8, kBottom = 16;

TCursor ZoneCursor(int x, int y, int w, int h) {
  if (x <= 4) return y <= 4 ? crSizeNWSE : y > h - 5 ? crSizeNESW : crSizeWE;
  if (x > w - 5) return y <= 4 ? crSizeNESW : y > h - 5 ? crSizeNWSE : crSizeWE;
  return y < 5 || y > h - 5 ? crSizeNS : crSizeAll;
}

int DragModeOf(TCursor cursor, int x, int y) {
  switch (cursor) {
    case crSizeWE: return x < 5 ? kLeft : kRight;
    case crSizeNWSE: return x < 5 ? kLeft | kTop : kRight | kBottom;
    case crSizeNS: return y < 5 ? kTop : kBottom;
    case crSizeNESW: return x < 5 ? kLeft | kBottom : kRight | kTop;
    default: return kMove;
  }
}

}  // namespace

void TFormScanner::Shape1MouseDown(TObject*, TMouseButton button, TShiftState, int x, int y) {
  if (button != mbLeft) return;
  startX_ = x;
  startY_ = y;
  startLeft_ = Image2->GetLeft();
  startTop_ = Image2->GetTop();
  startWidth_ = Image2->GetWidth();
  startHeight_ = Image2->GetHeight();
  dragMode_ = DragModeOf(Image2->GetCursor(), x, y);
}

void TFormScanner::Shape1MouseMove(TObject*, TShiftState, int x, int y) {
  if (dragMode_ == 0) {
    Image2->SetCursor(ZoneCursor(x, y, Image2->GetWidth(), Image2->GetHeight()));
    return;
  }
  int left = Image2->GetLeft(), top = Image2->GetTop();
  int width = Image2->GetWidth(), height = Image2->GetHeight();
  if (dragMode_ == kMove) {
    left += x - startX_;
    top += y - startY_;
  } else {
    if (dragMode_ & kLeft) {
      left += x - startX_;
      width = startLeft_ + startWidth_ - left;
    }
    if (dragMode_ & kRight) width = startWidth_ + x - startX_;
    if (dragMode_ & kTop) {
      top += y - startY_;
      height = startTop_ + startHeight_ - top;
    }
    if (dragMode_ & kBottom) height = startHeight_ + y - startY_;
  }
  Image2->SetBounds(left, top, width, height);
  ClipFrame();
}

void TFormScanner::Shape1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  dragMode_ = 0;
  Image3->SetBounds(Image3->GetLeft(), Image3->GetTop(), Image2->GetWidth(), Image2->GetHeight());
  Image4->SetBounds(Image4->GetLeft(), Image4->GetTop(), Image2->GetWidth(), Image2->GetHeight());
}

void TFormScanner::ClipFrame() {
  // The area the frame may cover: the picture shown in Image1, or Image1
  // itself while it shows none.
  TBitmap* picture = Image1->GetPicture()->GetBitmap();
  int areaW = Image1->GetWidth(), areaH = Image1->GetHeight();
  if (picture && picture->GetWidth() > 0 && picture->GetHeight() > 0) {
    areaW = std::min(areaW, picture->GetWidth());
    areaH = std::min(areaH, picture->GetHeight());
  }
  const int minW = std::min(kMinFrame, areaW), minH = std::min(kMinFrame, areaH);
  const int areaL = Image1->GetLeft(), areaT = Image1->GetTop();
  const int areaR = areaL + areaW, areaB = areaT + areaH;
  int l = Image2->GetLeft(), t = Image2->GetTop(), w = Image2->GetWidth(), h = Image2->GetHeight();
  // A moving edge stops at the area's border and at the smallest size;
  // the opposite edge stays where it was.
  if (dragMode_ & kLeft) {
    int right = startLeft_ + startWidth_;
    l = std::clamp(l, areaL, std::max(areaL, right - minW));
    w = right - l;
  }
  if (dragMode_ & kTop) {
    int bottom = startTop_ + startHeight_;
    t = std::clamp(t, areaT, std::max(areaT, bottom - minH));
    h = bottom - t;
  }
  w = std::clamp(w, minW, std::max(minW, areaW));
  h = std::clamp(h, minH, std::max(minH, areaH));
  if (dragMode_ & kRight) w = std::clamp(w, minW, std::max(minW, areaR - l));
  if (dragMode_ & kBottom) h = std::clamp(h, minH, std::max(minH, areaB - t));
  l = std::clamp(l, areaL, std::max(areaL, areaR - w));
  t = std::clamp(t, areaT, std::max(areaT, areaB - h));
  Image2->SetBounds(l, t, w, h);
}

void TFormScanner::Button6Click(TObject*) {
  const int w = Image2->GetWidth(), h = Image2->GetHeight();
  TBitmap* shown = Image4->GetPicture()->GetBitmap();
  shown->SetSize(w, h);
  const int x = Image2->GetLeft() - Image1->GetLeft(), y = Image2->GetTop() - Image1->GetTop();
  shown->GetCanvas()->CopyRect(Rect(0, 0, w, h), Image1->GetPicture()->GetBitmap()->GetCanvas(),
                               Rect(x, y, x + w, y + h));
  Image4->SetBounds(Image4->GetLeft(), Image4->GetTop(), w, h);
  Image4->Invalidate();
  Image3->GetPicture()->Assign(Image4->GetPicture());
  Image3->GetPicture()->GetBitmap()->SetPixelFormat(pf24bit);
  cropped_ = scanned_;
}

void TFormScanner::Button3Click(TObject*) {
  // Only a crop of a picture that the last scan delivered is stored.
  if (!cropped_) {
    ShowMessage("没有可存入的图片");
    return;
  }
  const char* field = Application->MessageBox("是否当作图片一读入？否则当作图片二读入！ ", "选取图片字段",
                                              MB_YESNO | MB_ICONQUESTION) == IDYES
                          ? "PIC"
                          : "BACKGROUND";
  TTable* table = FormPicEdit->Table1;
  table->SetActive(true);
  table->Edit();
  TPix* loader = FormTextData->Image1;
  loader->Assign(Image3->GetPicture()->GetBitmap());
  TMemoryStream stream;
  StorePictureStream(loader, ieftBMP, table->FieldByName(field), &stream);
}
