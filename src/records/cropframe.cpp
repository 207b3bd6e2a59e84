#include "records/cropframe.h"

#include <algorithm>

#include "imaging/view/pix.h"
#include "platform/classes.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "records/dbpicsu.h"
#include "records/pictureimport.h"
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

void TCropFrame::MouseDown(TMouseButton button, int x, int y) {
  if (button != mbLeft) return;
  startX_ = x;
  startY_ = y;
  startLeft_ = frame_->GetLeft();
  startTop_ = frame_->GetTop();
  startWidth_ = frame_->GetWidth();
  startHeight_ = frame_->GetHeight();
  dragMode_ = DragModeOf(frame_->GetCursor(), x, y);
}

void TCropFrame::MouseMove(int x, int y) {
  if (dragMode_ == 0) {
    frame_->SetCursor(ZoneCursor(x, y, frame_->GetWidth(), frame_->GetHeight()));
    return;
  }
  int left = frame_->GetLeft(), top = frame_->GetTop();
  int width = frame_->GetWidth(), height = frame_->GetHeight();
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
  frame_->SetBounds(left, top, width, height);
  Clip();
}

void TCropFrame::MouseUp() {
  dragMode_ = 0;
  stored_->SetBounds(stored_->GetLeft(), stored_->GetTop(), frame_->GetWidth(), frame_->GetHeight());
  shown_->SetBounds(shown_->GetLeft(), shown_->GetTop(), frame_->GetWidth(), frame_->GetHeight());
}

void TCropFrame::Clip() {
  // The area the frame may cover: the picture shown, or the picture
  // control itself while it shows none.
  TBitmap* picture = picture_->GetPicture()->GetBitmap();
  int areaW = picture_->GetWidth(), areaH = picture_->GetHeight();
  if (picture && picture->GetWidth() > 0 && picture->GetHeight() > 0) {
    areaW = std::min(areaW, picture->GetWidth());
    areaH = std::min(areaH, picture->GetHeight());
  }
  const int minW = std::min(kMinFrame, areaW), minH = std::min(kMinFrame, areaH);
  const int areaL = picture_->GetLeft(), areaT = picture_->GetTop();
  const int areaR = areaL + areaW, areaB = areaT + areaH;
  int l = frame_->GetLeft(), t = frame_->GetTop(), w = frame_->GetWidth(), h = frame_->GetHeight();
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
  frame_->SetBounds(l, t, w, h);
}

void TCropFrame::Crop() {
  const int w = frame_->GetWidth(), h = frame_->GetHeight();
  TBitmap* shown = shown_->GetPicture()->GetBitmap();
  shown->SetSize(w, h);
  const int x = frame_->GetLeft() - picture_->GetLeft(), y = frame_->GetTop() - picture_->GetTop();
  shown->GetCanvas()->CopyRect(Rect(0, 0, w, h), picture_->GetPicture()->GetBitmap()->GetCanvas(),
                               Rect(x, y, x + w, y + h));
  shown_->SetBounds(shown_->GetLeft(), shown_->GetTop(), w, h);
  shown_->Invalidate();
  stored_->GetPicture()->Assign(shown_->GetPicture());
  stored_->GetPicture()->GetBitmap()->SetPixelFormat(pf24bit);
}

void StoreCropInRecord(TImage* crop) {
  const char* field = Application->MessageBox("是否当作图片一读入？否则当作图片二读入！ ", "选取图片字段",
                                              MB_YESNO | MB_ICONQUESTION) == IDYES
                          ? "PIC"
                          : "BACKGROUND";
  TTable* table = FormPicEdit->Table1;
  table->SetActive(true);
  table->Edit();
  TPix* loader = FormTextData->Image1;
  loader->Assign(crop->GetPicture()->GetBitmap());
  TMemoryStream stream;
  StorePictureStream(loader, ieftBMP, table->FieldByName(field), &stream);
}

void EnableRecordMoves(TControl* prior, TControl* next) {
  TTable* table = FormPicEdit ? FormPicEdit->Table1 : nullptr;
  if (!table || !table->GetActive()) return;
  const int recNo = table->GetRecNo();
  prior->SetEnabled(recNo > 1);
  next->SetEnabled(recNo < table->RecordCount());
}
