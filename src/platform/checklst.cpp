#include "platform/checklst.h"

namespace {
constexpr int kCheckWidth = 16;
}

TCheckListBox::TCheckListBox(TComponent* owner) : TCustomListBox(owner) {}

void TCheckListBox::SetChecked(int index, bool v) { SetState(index, v ? cbChecked : cbUnchecked); }

void TCheckListBox::SetState(int index, TCheckBoxState state) {
  items_.SetState(index, state);
  Invalidate();
}

void TCheckListBox::Toggle(int index) {
  TCheckBoxState s = GetState(index);
  TCheckBoxState next = s == cbUnchecked ? cbChecked : s == cbChecked && AllowGrayed ? cbGrayed : cbUnchecked;
  SetState(index, next);
  if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::ItemPressed(int index, int x) {
  if (x < kCheckWidth && GetEnabled()) Toggle(index);
}

void TCheckListBox::KeyPress(char16_t& key) {
  if (key == u' ' && GetItemIndex() >= 0) Toggle(GetItemIndex());
  TCustomListBox::KeyPress(key);
}

void TCheckListBox::DrawItem(int index, TRect rect, bool selected) {
  TCanvas* c = GetCanvas();
  c->Brush->Style = bsSolid;
  c->Brush->Color = GetColor();
  c->FillRect(Rect(rect.Left, rect.Top, rect.Left + kCheckWidth, rect.Bottom));
  int top = rect.Top + (rect.Height() - 13) / 2;
  c->Pen->Color = clBtnShadow;
  c->Brush->Color = clWindow;
  c->Rectangle(rect.Left + 1, top, rect.Left + 14, top + 13);
  if (GetState(index) != cbUnchecked) {
    c->Brush->Color = GetState(index) == cbGrayed ? clGrayText : clWindowText;
    c->FillRect(Rect(rect.Left + 4, top + 3, rect.Left + 11, top + 10));
  }
  TCustomListBox::DrawItem(index, Rect(rect.Left + kCheckWidth, rect.Top, rect.Right, rect.Bottom), selected);
}
