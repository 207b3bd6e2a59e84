#include "platform/extctrls.h"

#include <algorithm>

namespace {

void Bevel(TCanvas* c, TRect& r, TPanelBevel bevel, int width) {
  if (bevel == bvNone) return;
  if (bevel == bvSpace) {
    InflateRect(r, -width, -width);
    return;
  }
  bool raised = bevel == bvRaised;
  Frame3D(c, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, width);
}

int BevelRoom(TPanelBevel bevel, int width) { return bevel == bvNone ? 0 : width; }

}  // namespace

// TPanel --------------------------------------------------------------------------------

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 185, 41);
}

TRect TPanel::InnerRect() const {
  TRect r = GetClientRect();
  int room = BevelRoom(BevelOuter, BevelWidth) + BorderWidth + BevelRoom(BevelInner, BevelWidth);
  InflateRect(r, -room, -room);
  return r;
}

void TPanel::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  FillSolid(c, r, GetColor());
  Bevel(c, r, BevelOuter, BevelWidth);
  InflateRect(r, -BorderWidth, -BorderWidth);
  Bevel(c, r, BevelInner, BevelWidth);
  c->Font->Assign(GetFont());
  DrawCaption(c, r, GetText(), Alignment, GetEnabled());
}

// TRadioGroup ---------------------------------------------------------------------------

TRadioGroup::TRadioGroup(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 185, 105);
  ControlStyle &= ~csClickEvents;
  TabStop = true;
  items_.Changed = [this] {
    if (itemIndex_ >= items_.Count()) itemIndex_ = -1;
    Invalidate();
  };
}

void TRadioGroup::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count()) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Invalidate();
  if (index >= 0) Click();
}

void TRadioGroup::SetColumns(int columns) {
  columns_ = std::clamp(columns, 1, 16);
  Invalidate();
}

TRect TRadioGroup::ItemRect(int index) const {
  int n = items_.Count();
  if (index < 0 || index >= n) return {};
  int rows = (n + columns_ - 1) / columns_;
  int top = 16, height = std::max(GetClientHeight() - top - 4, 1);
  int colWidth = (GetClientWidth() - 16) / columns_;
  int rowHeight = std::max(height / std::max(rows, 1), 1);
  int col = index / rows, row = index % rows;
  return Bounds(8 + col * colWidth, top + row * rowHeight, colWidth, rowHeight);
}

void TRadioGroup::Dispatch(TMessage& m) {
  if (m.Msg == WM_LBUTTONUP && GetEnabled()) {
    TWMMouse mouse(m);
    for (int i = 0; i < items_.Count(); ++i)
      if (PtInRect(ItemRect(i), {mouse.XPos, mouse.YPos})) {
        if (CanFocus()) SetFocus();
        SetItemIndex(i);
        break;
      }
  }
  if (m.Msg == WM_KEYDOWN && items_.Count() > 0) {
    int key = int(m.WParam);
    if (key == VK_DOWN || key == VK_RIGHT) SetItemIndex(std::min(itemIndex_ + 1, items_.Count() - 1));
    if (key == VK_UP || key == VK_LEFT) SetItemIndex(std::max(itemIndex_ - 1, 0));
  }
  TCustomControl::Dispatch(m);
}

void TRadioGroup::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  FillSolid(c, r, GetColor());
  c->Font->Assign(GetFont());
  int h = c->TextHeight("0");
  TRect frame = Rect(0, h / 2, r.Right, r.Bottom);
  Frame3D(c, frame, clBtnShadow, clBtnHighlight, 1);
  if (!GetText().empty()) {
    TRect cap = Bounds(8, 0, c->TextWidth(StripHotkey(GetText())), h);
    FillSolid(c, cap, GetColor());
    DrawCaption(c, cap, GetText(), taLeftJustify, GetEnabled());
  }
  for (int i = 0; i < items_.Count(); ++i) {
    TRect item = ItemRect(i);
    int top = item.Top + (item.Height() - 12) / 2;
    c->Pen->Color = clBtnShadow;
    c->Brush->Color = clWindow;
    c->Ellipse(item.Left, top, item.Left + 12, top + 12);
    if (i == itemIndex_) {
      c->Brush->Color = clWindowText;
      c->Ellipse(item.Left + 3, top + 3, item.Left + 9, top + 9);
    }
    DrawCaption(c, Rect(item.Left + 16, item.Top, item.Right, item.Bottom), items_.Get(i), taLeftJustify,
                GetEnabled());
  }
}

// TShape --------------------------------------------------------------------------------

TShape::TShape(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 65, 65); }

void TShape::SetShape(TShapeType shape) {
  shape_ = shape;
  Invalidate();
}

void TShape::Paint() {
  TCanvas* c = TGraphicControl::GetCanvas();
  c->Pen->Assign(&pen_);
  c->Brush->Assign(&brush_);
  int pw = pen_.Width, x = pw / 2, y = pw / 2;
  int w = GetWidth() - pw + 1, h = GetHeight() - pw + 1;
  if (pw == 0) {
    --w;
    --h;
  }
  if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
    int side = std::min(w, h);
    x += (w - side) / 2;
    y += (h - side) / 2;
    w = h = side;
  }
  switch (shape_) {
    case stRectangle:
    case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: c->RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4); break;
    case stEllipse:
    case stCircle: c->Ellipse(x, y, x + w, y + h); break;
  }
}

// TImage --------------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  ControlStyle |= csReplicatable;
  SetBounds(0, 0, 105, 105);
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() = default;

TCanvas* TImage::GetCanvas() {
  TBitmap* bitmap = dynamic_cast<TBitmap*>(picture_->GetGraphic());
  if (!bitmap) {
    // Drawing on an image that shows no bitmap gives it one of its size.
    if (picture_->GetGraphic() != nullptr) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
    bitmap = picture_->GetBitmap();
    bitmap->SetSize(GetWidth(), GetHeight());
  }
  return bitmap->GetCanvas();
}

void TImage::PictureChanged() {
  if (autoSize_ && picture_->GetWidth() > 0 && picture_->GetHeight() > 0)
    SetBounds(GetLeft(), GetTop(), picture_->GetWidth(), picture_->GetHeight());
  if (TGraphic* g = picture_->GetGraphic(); g && transparent_) g->Transparent = true;
  Invalidate();
}

void TImage::SetStretch(bool v) {
  stretch_ = v;
  Invalidate();
}

void TImage::SetCenter(bool v) {
  center_ = v;
  Invalidate();
}

void TImage::SetTransparent(bool v) {
  transparent_ = v;
  if (TGraphic* g = picture_->GetGraphic()) g->Transparent = v;
  Invalidate();
}

void TImage::SetAutoSize(bool v) {
  autoSize_ = v;
  PictureChanged();
}

TRect TImage::DestRect() const {
  int w = picture_->GetWidth(), h = picture_->GetHeight();
  if (stretch_) return Rect(0, 0, GetWidth(), GetHeight());
  if (center_) return Bounds((GetWidth() - w) / 2, (GetHeight() - h) / 2, w, h);
  return Rect(0, 0, w, h);
}

void TImage::Paint() {
  TCanvas* c = TGraphicControl::GetCanvas();
  TGraphic* g = picture_->GetGraphic();
  if (!g || g->GetEmpty()) return;
  TBitmap shown;
  TGraphic* drawn = g;
  if (auto* icon = dynamic_cast<TIcon*>(g)) {
    TColor back = GetParent() ? GetParent()->GetColor() : clBtnFace;
    icon->DrawInto(shown, back);
    drawn = &shown;
  }
  if (stretch_)
    c->StretchDraw(DestRect(), drawn);
  else
    c->Draw(DestRect().Left, DestRect().Top, drawn);
}

// TScrollBox ----------------------------------------------------------------------------

TScrollBox::TScrollBox(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 185, 41);
}

void TScrollBox::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (BorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::ScrollBy(int dx, int dy) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    c->SetBounds(c->GetLeft() + dx, c->GetTop() + dy, c->GetWidth(), c->GetHeight());
  }
  Invalidate();
}

void TScrollBox::UpdateScrollBars() {
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->GetVisible()) continue;
    right = std::max(right, c->GetLeft() + c->GetWidth() + hpos_);
    bottom = std::max(bottom, c->GetTop() + c->GetHeight() + vpos_);
  }
  struct Axis {
    int bar, extent, page;
  } axes[] = {{SB_HORZ, right, GetClientWidth()}, {SB_VERT, bottom, GetClientHeight()}};
  for (const Axis& a : axes) {
    bool needed = AutoScroll && a.extent > a.page;
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    info.nMin = 0;
    info.nMax = std::max(a.extent - 1, 0);
    info.nPage = unsigned(std::max(a.page, 0));
    info.nPos = a.bar == SB_HORZ ? hpos_ : vpos_;
    ::SetScrollInfo(this, a.bar, info, true);
    ShowScrollBarNow(a.bar, needed);
  }
}

void TScrollBox::SetHorzPosition(int v) {
  int limit = std::max(ScrollBar(SB_HORZ).Max + 1 - int(ScrollBar(SB_HORZ).Page), 0);
  v = std::clamp(v, 0, limit);
  ScrollBy(hpos_ - v, 0);
  hpos_ = v;
  ::SetScrollPos(this, SB_HORZ, v, true);
}

void TScrollBox::SetVertPosition(int v) {
  int limit = std::max(ScrollBar(SB_VERT).Max + 1 - int(ScrollBar(SB_VERT).Page), 0);
  v = std::clamp(v, 0, limit);
  ScrollBy(0, vpos_ - v);
  vpos_ = v;
  ::SetScrollPos(this, SB_VERT, v, true);
}

void TScrollBox::ScrollInView(TControl* control) {
  if (!control || control->GetParent() != this) return;
  UpdateScrollBars();
  if (control->GetLeft() < 0) SetHorzPosition(hpos_ + control->GetLeft());
  if (control->GetTop() < 0) SetVertPosition(vpos_ + control->GetTop());
  int overRight = control->GetLeft() + control->GetWidth() - GetClientWidth();
  int overBottom = control->GetTop() + control->GetHeight() - GetClientHeight();
  if (overRight > 0) SetHorzPosition(hpos_ + overRight);
  if (overBottom > 0) SetVertPosition(vpos_ + overBottom);
}

void TScrollBox::Dispatch(TMessage& m) {
  if (m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) {
    bool horz = m.Msg == WM_HSCROLL;
    TWMScroll s(m);
    int pos = horz ? hpos_ : vpos_;
    int page = horz ? GetClientWidth() : GetClientHeight();
    switch (s.ScrollCode) {
      case SB_LINEUP: pos -= 8; break;
      case SB_LINEDOWN: pos += 8; break;
      case SB_PAGEUP: pos -= page; break;
      case SB_PAGEDOWN: pos += page; break;
      case SB_THUMBPOSITION:
      case SB_THUMBTRACK: pos = s.Pos; break;
      case SB_TOP: pos = 0; break;
      case SB_BOTTOM: pos = 1 << 30; break;
    }
    if (horz)
      SetHorzPosition(pos);
    else
      SetVertPosition(pos);
    return;
  }
  TCustomControl::Dispatch(m);
  if (m.Msg == WM_SIZE) UpdateScrollBars();
}

// TControlBar ---------------------------------------------------------------------------

TControlBar::TControlBar(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 100, 50);
}

void TControlBar::ArrangeBands() {
  int x = 2, y = 2, rowHeight = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* band = Controls(i);
    if (!band->GetVisible()) continue;
    if (x > 2 && x + band->GetWidth() + 11 > GetClientWidth()) {
      x = 2;
      y += rowHeight + 2;
      rowHeight = 0;
    }
    // Each band has a grip of 11 pixels at its left.
    band->SetBounds(x + 11, y, band->GetWidth(), band->GetHeight());
    x += band->GetWidth() + 11 + 2;
    rowHeight = std::max(rowHeight, band->GetHeight());
  }
  if (AutoSize) SetClientHeight(y + rowHeight + 2);
}

void TControlBar::Dispatch(TMessage& m) {
  TCustomControl::Dispatch(m);
  if (m.Msg == WM_SIZE) ArrangeBands();
}

void TControlBar::Paint() {
  TCanvas* c = GetCanvas();
  FillSolid(c, GetClientRect(), GetColor());
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* band = Controls(i);
    if (!band->GetVisible()) continue;
    TRect grip = Rect(band->GetLeft() - 9, band->GetTop() + 2, band->GetLeft() - 6, band->GetTop() + band->GetHeight() - 2);
    Frame3D(c, grip, clBtnHighlight, clBtnShadow, 1);
  }
}
