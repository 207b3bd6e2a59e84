#include "platform/comctrls.h"

#include <algorithm>

// TUpDown -------------------------------------------------------------------------------

TUpDown::TUpDown(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 17, 25);
  ControlStyle &= ~csClickEvents;
}

TUpDown::~TUpDown() {
  if (associate_) associate_->RemoveFreeNotification(this);
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove && component == associate_) associate_ = nullptr;
}

void TUpDown::SetMin(int v) {
  min_ = v;
  SetPosition(position_);
}

void TUpDown::SetMax(int v) {
  max_ = v;
  SetPosition(position_);
}

void TUpDown::SetPosition(int v) {
  int lo = std::min(min_, max_), hi = std::max(min_, max_);
  position_ = std::clamp(v, lo, hi);
  ShowInAssociate();
  Invalidate();
}

void TUpDown::SetAssociate(TWinControl* edit) {
  if (associate_) associate_->RemoveFreeNotification(this);
  associate_ = edit;
  if (!edit) return;
  edit->FreeNotification(this);
  // The arrows sit at the edit's right edge, as tall as it.
  if (edit->GetParent() == GetParent())
    SetBounds(edit->GetLeft() + edit->GetWidth(), edit->GetTop(), GetWidth(), edit->GetHeight());
  ShowInAssociate();
}

void TUpDown::ShowInAssociate() {
  if (!associate_) return;
  std::string text = IntToStr(position_);
  if (Thousands && std::abs(position_) >= 1000) {
    std::string digits = IntToStr(std::abs(position_)), grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
      if (i > 0 && (digits.size() - i) % 3 == 0) grouped += DecimalSeparator() == ',' ? '.' : ',';
      grouped += digits[i];
    }
    text = (position_ < 0 ? "-" : "") + grouped;
  }
  associate_->SetText(text);
}

void TUpDown::UserStep(TUDBtnType button) {
  // A typed number in the edit is where the step starts from.
  if (associate_) {
    std::string digits;
    for (char ch : associate_->GetText())
      if (ch != ',' && ch != '.') digits += ch;
    int typed;
    if (TryStrToInt(Trim(digits), typed)) position_ = typed;
  }
  int lo = std::min(min_, max_), hi = std::max(min_, max_);
  int next = position_ + (button == btNext ? Increment : -Increment);
  if (next > hi) next = Wrap ? lo : hi;
  if (next < lo) next = Wrap ? hi : lo;
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  if (!allow) return;
  SetPosition(next);
  if (OnClick) OnClick(this, button);
}

void TUpDown::Dispatch(TMessage& m) {
  if (m.Msg == WM_LBUTTONDOWN && GetEnabled()) {
    TWMMouse mouse(m);
    bool next = Orientation == udVertical ? mouse.YPos < GetClientHeight() / 2 : mouse.XPos >= GetClientWidth() / 2;
    UserStep(next ? btNext : btPrev);
  }
  TCustomControl::Dispatch(m);
}

void TUpDown::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  FillSolid(c, r, clBtnFace);
  TRect a = r, b = r;
  if (Orientation == udVertical) {
    a.Bottom = r.Height() / 2;
    b.Top = a.Bottom;
  } else {
    a.Right = r.Width() / 2;
    b.Left = a.Right;
  }
  Frame3D(c, a, clBtnHighlight, cl3DDkShadow, 1);
  Frame3D(c, b, clBtnHighlight, cl3DDkShadow, 1);
}

// TTrackBar -----------------------------------------------------------------------------

TTrackBar::TTrackBar(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 150, 45);
  TabStop = true;
}

void TTrackBar::SetMin(int v) {
  min_ = v;
  if (max_ < min_) max_ = min_;
  SetPosition(position_);
}

void TTrackBar::SetMax(int v) {
  max_ = v;
  if (min_ > max_) min_ = max_;
  SetPosition(position_);
}

void TTrackBar::SetPosition(int v) {
  v = std::clamp(v, min_, max_);
  if (v == position_) return;
  position_ = v;
  Invalidate();
  if (OnChange) OnChange(this);
}

int TTrackBar::PositionAt(int x) const {
  int length = (Orientation == trHorizontal ? GetClientWidth() : GetClientHeight()) - 2 * 12;
  if (length <= 0 || max_ == min_) return min_;
  double t = double(x - 12) / length;
  return min_ + int(Round(std::clamp(t, 0.0, 1.0) * (max_ - min_)));
}

void TTrackBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      if (CanFocus()) SetFocus();
      dragging_ = true;
      [[fallthrough]];
    case WM_MOUSEMOVE:
      if (dragging_) {
        TWMMouse mouse(m);
        SetPosition(PositionAt(Orientation == trHorizontal ? mouse.XPos : mouse.YPos));
      }
      break;
    case WM_LBUTTONUP: dragging_ = false; break;
    case WM_KEYDOWN:
      switch (int(m.WParam)) {
        case VK_RIGHT:
        case VK_DOWN: SetPosition(position_ + LineSize); break;
        case VK_LEFT:
        case VK_UP: SetPosition(position_ - LineSize); break;
        case VK_NEXT: SetPosition(position_ + PageSize); break;
        case VK_PRIOR: SetPosition(position_ - PageSize); break;
        case VK_HOME: SetPosition(min_); break;
        case VK_END: SetPosition(max_); break;
      }
      break;
    case CM_WANTSPECIALKEY:
      if (ClaimNavigationKeys(m)) return;
      break;
  }
  TCustomControl::Dispatch(m);
}

void TTrackBar::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  FillSolid(c, r, GetColor());
  bool horizontal = Orientation == trHorizontal;
  int length = (horizontal ? r.Width() : r.Height()) - 24;
  int at = 12 + (max_ == min_ ? 0 : int(int64_t(length) * (position_ - min_) / (max_ - min_)));
  TRect channel = horizontal ? Rect(8, 8, r.Right - 8, 12) : Rect(8, 8, 12, r.Bottom - 8);
  Frame3D(c, channel, clBtnShadow, clBtnHighlight, 1);
  TRect thumb = horizontal ? Rect(at - 5, 2, at + 6, 2 + ThumbLength) : Rect(2, at - 5, 2 + ThumbLength, at + 6);
  FillSolid(c, thumb, clBtnFace);
  Frame3D(c, thumb, clBtnHighlight, cl3DDkShadow, 1);
}

// TProgressBar --------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::SetMin(int v) {
  min_ = v;
  SetPosition(position_);
}

void TProgressBar::SetMax(int v) {
  max_ = v;
  SetPosition(position_);
}

void TProgressBar::SetPosition(int v) {
  v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
  if (v == position_) return;
  position_ = v;
  Invalidate();
}

void TProgressBar::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  FillSolid(c, r, clBtnFace);
  if (max_ <= min_) return;
  int filled = int(int64_t(r.Width()) * (position_ - min_) / (max_ - min_));
  FillSolid(c, Rect(0, 0, filled, r.Bottom), clHighlight);
}

// TTabSheet -----------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetVisible(false);
}

TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::SetPageControl(TPageControl* control) {
  if (control == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  pageControl_ = control;
  if (control) control->InsertPage(this);
}

int TTabSheet::GetPageIndex() const {
  if (!pageControl_) return -1;
  auto& pages = pageControl_->pages_;
  return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
  if (pageControl_) pageControl_->MovePage(this, index);
}

void TTabSheet::SetTabVisible(bool v) {
  if (v == tabVisible_) return;
  tabVisible_ = v;
  if (!pageControl_) return;
  // A page whose tab goes away stops being the shown page.
  if (!v && pageControl_->active_ == this)
    pageControl_->SetActivePage(pageControl_->FindNextPage(this, true, true) == this
                                    ? nullptr
                                    : pageControl_->FindNextPage(this, true, true));
  pageControl_->Invalidate();
}

int TTabSheet::GetTabIndex() const {
  if (!pageControl_ || !tabVisible_) return -1;
  auto tabs = pageControl_->VisibleTabs();
  return int(std::find(tabs.begin(), tabs.end(), this) - tabs.begin());
}

// TPageControl --------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 289, 193);
  TabStop = true;
  ControlStyle |= csAcceptsControls;
}

TPageControl::~TPageControl() {
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return pages_[size_t(index)];
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  page->SetParent(this);
  PlacePages();
  if (!active_ && page->tabVisible_) SetActivePage(page);
  Invalidate();
}

void TPageControl::RemovePage(TTabSheet* page) {
  TTabSheet* next = active_ == page ? FindNextPage(page, true, true) : active_;
  pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
  if (page->GetParent() == this) page->SetParent(nullptr);
  if (active_ == page) {
    active_ = nullptr;
    SetActivePage(next == page ? nullptr : next);
  }
  Invalidate();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  pages_.erase(it);
  index = std::clamp(index, 0, PageCount());
  pages_.insert(pages_.begin() + index, page);
  Invalidate();
}

std::vector<TTabSheet*> TPageControl::VisibleTabs() const {
  std::vector<TTabSheet*> tabs;
  for (TTabSheet* p : pages_)
    if (p->tabVisible_) tabs.push_back(p);
  return tabs;
}

TRect TPageControl::DisplayRect() const {
  TRect r = GetClientRect();
  r.Top += 24;
  InflateRect(r, -4, -4);
  r.Top = std::max(r.Top, 0);
  return r;
}

void TPageControl::PlacePages() {
  TRect d = DisplayRect();
  for (TTabSheet* p : pages_) p->SetBoundsRect(d);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->pageControl_ != this) return;
  if (page == active_) return;
  TTabSheet* old = active_;
  active_ = page;
  if (page) {
    page->SetBoundsRect(DisplayRect());
    page->SetVisible(true);
    page->BringToFront();
  }
  if (old) old->SetVisible(false);
  Invalidate();
}

int TPageControl::GetActivePageIndex() const { return active_ ? active_->GetPageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? pages_[size_t(index)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool forward, bool checkTabVisible) const {
  if (pages_.empty()) return nullptr;
  int n = PageCount();
  int start = current ? current->GetPageIndex() : (forward ? n - 1 : 0);
  if (start < 0) start = forward ? n - 1 : 0;
  int i = start;
  for (int k = 0; k < n; ++k) {
    i = forward ? (i + 1) % n : (i - 1 + n) % n;
    if (!checkTabVisible || pages_[size_t(i)]->tabVisible_) return pages_[size_t(i)];
  }
  return nullptr;
}

void TPageControl::UserSelectTab(int tabIndex) {
  auto tabs = VisibleTabs();
  if (tabIndex < 0 || tabIndex >= int(tabs.size()) || tabs[size_t(tabIndex)] == active_) return;
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  if (!allow) return;
  SetActivePage(tabs[size_t(tabIndex)]);
  if (OnChange) OnChange(this);
}

void TPageControl::SelectNextPage(bool forward) {
  TTabSheet* next = FindNextPage(active_, forward, true);
  if (next) UserSelectTab(next->GetTabIndex());
}

TRect TPageControl::TabRect(int tabIndex) const {
  auto tabs = VisibleTabs();
  if (tabIndex < 0 || tabIndex >= int(tabs.size())) return {};
  TBitmap measure;
  measure.SetSize(1, 1);
  int x = 2;
  for (int i = 0; i <= tabIndex; ++i) {
    int w = measure.GetCanvas()->TextWidth(StripHotkey(tabs[size_t(i)]->GetText())) + 12;
    if (i == tabIndex) return Rect(x, 2, x + w, 22);
    x += w;
  }
  return {};
}

int TPageControl::TabAtPos(TPoint p) const {
  int n = int(VisibleTabs().size());
  for (int i = 0; i < n; ++i)
    if (PtInRect(TabRect(i), p)) return i;
  return -1;
}

void TPageControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_LBUTTONDOWN) {
    TWMMouse mouse(m);
    int tab = TabAtPos({mouse.XPos, mouse.YPos});
    if (tab >= 0) UserSelectTab(tab);
  }
  if (m.Msg == WM_SIZE) PlacePages();
  TCustomControl::Dispatch(m);
}

void TPageControl::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  FillSolid(c, r, clBtnFace);
  c->Font->Assign(GetFont());
  auto tabs = VisibleTabs();
  for (int i = 0; i < int(tabs.size()); ++i) {
    TRect tab = TabRect(i);
    if (tabs[size_t(i)] == active_) InflateRect(tab, 2, 2);
    TRect frame = tab;
    Frame3D(c, frame, clBtnHighlight, cl3DDkShadow, 1);
    DrawCaption(c, tab, tabs[size_t(i)]->GetText(), taCenter, GetEnabled());
  }
  TRect page = Rect(0, 22, r.Right, r.Bottom);
  Frame3D(c, page, clBtnHighlight, cl3DDkShadow, 1);
}

// Status bar ----------------------------------------------------------------------------

void TStatusPanel::SetText(const std::string& text) {
  text_ = text;
  if (bar_) bar_->Invalidate();
}

void TStatusPanel::SetWidth(int w) {
  width_ = w;
  if (bar_) bar_->Invalidate();
}

int TStatusPanel::Index() const {
  if (!bar_) return -1;
  auto& list = bar_->panels_.panels_;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == this) return int(i);
  return -1;
}

TStatusPanel* TStatusPanels::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return panels_[size_t(index)].get();
}

TStatusPanel* TStatusPanels::Add() {
  panels_.push_back(std::make_unique<TStatusPanel>());
  panels_.back()->bar_ = bar_;
  if (bar_) bar_->Invalidate();
  return panels_.back().get();
}

void TStatusPanels::Delete(int index) {
  Items(index);
  panels_.erase(panels_.begin() + index);
  if (bar_) bar_->Invalidate();
}

void TStatusPanels::Clear() {
  panels_.clear();
  if (bar_) bar_->Invalidate();
}

TStatusBar::TStatusBar(TComponent* owner) : TCustomControl(owner) {
  panels_.bar_ = this;
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
}

void TStatusBar::SetSimplePanel(bool v) {
  simplePanel_ = v;
  Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& text) {
  simpleText_ = text;
  if (simplePanel_) Invalidate();
}

TRect TStatusBar::PanelRect(int index) const {
  int x = 0;
  for (int i = 0; i < panels_.Count(); ++i) {
    int w = panels_.Items(i)->GetWidth();
    bool last = i == panels_.Count() - 1;
    if (i == index) return Rect(x, 2, last ? GetClientWidth() : x + w, GetClientHeight());
    x += w;
  }
  return {};
}

void TStatusBar::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  FillSolid(c, r, GetColor());
  c->Font->Assign(GetFont());
  if (simplePanel_) {
    DrawCaption(c, Rect(2, 2, r.Right, r.Bottom), simpleText_, taLeftJustify, true);
    return;
  }
  for (int i = 0; i < panels_.Count(); ++i) {
    TRect p = PanelRect(i);
    TRect frame = p;
    Frame3D(c, frame, clBtnShadow, clBtnHighlight, 1);
    DrawCaption(c, Rect(frame.Left + 2, frame.Top, frame.Right - 2, frame.Bottom), panels_.Items(i)->GetText(),
                panels_.Items(i)->Alignment, true);
  }
}
