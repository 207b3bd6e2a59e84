#include "platform/buttons.h"

// TGraphicButton ------------------------------------------------------------------------

TGraphicButton::TGraphicButton(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 23, 22);
  // The click is the button's own: it comes on release inside the button.
  ControlStyle = (ControlStyle | csCaptureMouse | csDoubleClicks) & ~csClickEvents;
}

void TGraphicButton::Dispatch(TMessage& m) {
  // A quick second press arrives as a double click; it presses the button
  // all the same, so every click counts.
  if ((m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) && GetEnabled()) {
    pressed_ = true;
    Invalidate();
  }
  if (m.Msg == WM_LBUTTONUP && pressed_) {
    pressed_ = false;
    Invalidate();
    TGraphicControl::Dispatch(m);
    TWMMouse mouse(m);
    if (PtInRect(GetClientRect(), {mouse.XPos, mouse.YPos})) Click();
    return;
  }
  TGraphicControl::Dispatch(m);
}

// TSpeedButton --------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicButton(owner) {}

TSpeedButton::~TSpeedButton() = default;

template <class F>
void TSpeedButton::ForGroup(F f) {
  if (GroupIndex == 0 || GetParent() == nullptr) return;
  TWinControl* parent = GetParent();
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (auto* other = dynamic_cast<TSpeedButton*>(parent->Controls(i));
        other && other != this && other->GroupIndex == GroupIndex)
      f(other);
}

void TSpeedButton::SetDown(bool v) {
  if (GroupIndex == 0) v = false;
  if (v == down_) return;
  // The last down button of a group stays down unless all may be up.
  if (!v && !allowAllUp_) {
    bool otherDown = false;
    ForGroup([&](TSpeedButton* b) { otherDown |= b->down_; });
    if (!otherDown) return;
  }
  down_ = v;
  if (v) ForGroup([](TSpeedButton* b) {
      b->down_ = false;
      b->Invalidate();
    });
  Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  allowAllUp_ = v;
  ForGroup([v](TSpeedButton* b) { b->allowAllUp_ = v; });
}

void TSpeedButton::Click() {
  if (GroupIndex != 0) {
    if (!down_)
      SetDown(true);
    else if (allowAllUp_)
      SetDown(false);
  }
  TGraphicButton::Click();
}

void TSpeedButton::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  c->Brush->Style = bsSolid;
  c->Brush->Color = down_ ? clBtnHighlight : clBtnFace;
  c->FillRect(r);
  TRect frame = r;
  if (down_ || Pressed())
    Frame3D(c, frame, clBtnShadow, clBtnHighlight, 1);
  else if (!Flat)
    Frame3D(c, frame, clBtnHighlight, cl3DDkShadow, 1);
  int x = 3;
  if (!glyph_.GetEmpty()) {
    int w = glyph_.GetWidth() / std::max(NumGlyphs, 1);
    TBitmap face;
    face.SetSize(w, glyph_.GetHeight());
    face.GetCanvas()->CopyRect(Rect(0, 0, w, glyph_.GetHeight()), glyph_.GetCanvas(), Rect(0, 0, w, glyph_.GetHeight()));
    face.Transparent = true;
    int gx = GetText().empty() ? (r.Width() - w) / 2 : x;
    c->Draw(gx, (r.Height() - glyph_.GetHeight()) / 2, &face);
    x = gx + w + 4;
  }
  if (!GetText().empty()) {
    c->Font->Assign(GetFont());
    DrawCaption(c, Rect(glyph_.GetEmpty() ? 0 : x, 0, r.Right, r.Bottom), GetText(),
                glyph_.GetEmpty() ? taCenter : taLeftJustify, GetEnabled());
  }
}

// TBitBtn -------------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

void TBitBtn::Click() {
  if (kind_ == bkClose) {
    if (TCustomForm* form = GetParentForm(this)) {
      form->Close();
      return;
    }
  }
  TButton::Click();
}

void TBitBtn::SetKind(TBitBtnKind kind) {
  kind_ = kind;
  struct KindInfo {
    TModalResult result;
    const char* caption;
  };
  static const KindInfo info[] = {{mrNone, ""},       {mrOk, "OK"},         {mrCancel, "Cancel"}, {mrNone, "&Help"},
                                  {mrYes, "&Yes"},    {mrNo, "&No"},        {mrNone, "&Close"},   {mrAbort, "Abort"},
                                  {mrRetry, "&Retry"}, {mrIgnore, "&Ignore"}, {mrAll, "&All"}};
  ModalResult = info[kind].result;
  if (kind == bkOK) Default = true;
  if (kind == bkCancel) Cancel = true;
  if (GetText().empty()) SetText(info[kind].caption);
}

void TBitBtn::Paint() {
  TButton::Paint();
  if (glyph_.GetEmpty()) return;
  int w = glyph_.GetWidth() / std::max(NumGlyphs, 1);
  TBitmap face;
  face.SetSize(w, glyph_.GetHeight());
  face.GetCanvas()->CopyRect(Rect(0, 0, w, glyph_.GetHeight()), glyph_.GetCanvas(), Rect(0, 0, w, glyph_.GetHeight()));
  face.Transparent = true;
  GetCanvas()->Draw(4, (GetClientHeight() - glyph_.GetHeight()) / 2, &face);
}
