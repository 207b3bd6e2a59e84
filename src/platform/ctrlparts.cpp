#include "platform/ctrlparts.h"

#include <algorithm>
#include <QGuiApplication>
#include <cctype>

// TItemStrings -----------------------------------------------------------------------

void TItemStrings::Check(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
}

void TItemStrings::Notify() {
  if (Changed) Changed();
}

std::string TItemStrings::Get(int index) const {
  Check(index);
  return items_[size_t(index)].text;
}

void TItemStrings::Put(int index, const std::string& s) {
  Check(index);
  if (sorted_) {
    // A sorted list keeps its order: the entry moves to its new place.
    TObject* object = items_[size_t(index)].object;
    int state = items_[size_t(index)].state;
    Delete(index);
    int at = Add(s);
    items_[size_t(at)].object = object;
    items_[size_t(at)].state = state;
    return;
  }
  items_[size_t(index)].text = s;
  Notify();
}

TObject* TItemStrings::GetObject(int index) const {
  Check(index);
  return items_[size_t(index)].object;
}

void TItemStrings::PutObject(int index, TObject* object) {
  Check(index);
  items_[size_t(index)].object = object;
}

int TItemStrings::GetState(int index) const {
  Check(index);
  return items_[size_t(index)].state;
}

void TItemStrings::SetState(int index, int state) {
  Check(index);
  items_[size_t(index)].state = state;
}

void TItemStrings::Insert(int index, const std::string& s) {
  if (index < 0 || index > Count()) throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
  items_.insert(items_.begin() + index, Item{s});
  if (Inserted) Inserted(index);
  Notify();
}

int TItemStrings::Add(const std::string& s) {
  int index = Count();
  if (sorted_) {
    auto at = std::upper_bound(items_.begin(), items_.end(), s,
                               [](const std::string& a, const Item& b) { return CompareText(a, b.text) < 0; });
    index = int(at - items_.begin());
  }
  Insert(index, s);
  return index;
}

void TItemStrings::Delete(int index) {
  Check(index);
  items_.erase(items_.begin() + index);
  if (Deleted) Deleted(index);
  Notify();
}

void TItemStrings::Clear() {
  while (!items_.empty()) {
    int last = Count() - 1;
    items_.pop_back();
    if (Deleted) Deleted(last);
  }
  Notify();
}

void TItemStrings::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  sorted_ = sorted;
  if (!sorted) return;
  std::stable_sort(items_.begin(), items_.end(),
                   [](const Item& a, const Item& b) { return CompareText(a.text, b.text) < 0; });
  Notify();
}

// Accelerators --------------------------------------------------------------------------

std::string StripHotkey(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    else if (caption[i] == '&') continue;
    out += caption[i];
  }
  return out;
}

char HotkeyOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    unsigned char c = static_cast<unsigned char>(caption[i + 1]);
    return c < 0x80 ? char(std::toupper(c)) : 0;
  }
  return 0;
}

// Drawing -------------------------------------------------------------------------------

void Frame3D(TCanvas* canvas, TRect& r, TColor topLeft, TColor bottomRight, int width) {
  for (int i = 0; i < width; ++i) {
    --r.Right;
    --r.Bottom;
    canvas->Pen->Color = topLeft;
    canvas->Pen->Style = psSolid;
    canvas->Pen->Width = 1;
    canvas->Pen->Mode = pmCopy;
    canvas->Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
    canvas->Pen->Color = bottomRight;
    canvas->Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}});
    ++r.Left;
    ++r.Top;
  }
}

void DrawCaption(TCanvas* canvas, const TRect& r, const std::string& text, TAlignment alignment, bool enabled) {
  std::string shown = StripHotkey(text);
  if (shown.empty()) return;
  TSize size = canvas->TextExtent(shown);
  int x = r.Left;
  if (alignment == taCenter) x = r.Left + (r.Width() - size.cx) / 2;
  if (alignment == taRightJustify) x = r.Right - size.cx;
  int y = r.Top + (r.Height() - size.cy) / 2;
  canvas->BkMode = TRANSPARENT;
  TColor keep = canvas->Font->Color;
  if (!enabled) canvas->Font->Color = clGrayText;
  canvas->TextRect(r, x, y, shown);
  canvas->Font->Color = keep;
}

void FillSolid(TCanvas* canvas, const TRect& r, TColor color) {
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = color;
  canvas->FillRect(r);
}

void PaintGroupFrame(TCanvas* canvas, const TRect& client, const std::string& caption, TColor color, bool enabled) {
  FillSolid(canvas, client, color);
  int h = canvas->TextHeight("0");
  TRect frame = Rect(0, h / 2, client.Right, client.Bottom);
  Frame3D(canvas, frame, clBtnShadow, clBtnHighlight, 1);
  std::string shown = StripHotkey(caption);
  if (shown.empty()) return;
  TRect cap = Bounds(8, 0, canvas->TextWidth(shown), h);
  FillSolid(canvas, cap, color);
  DrawCaption(canvas, cap, caption, taLeftJustify, enabled);
}

bool ClaimNavigationKeys(TMessage& m) {
  if (m.Msg != CM_WANTSPECIALKEY || m.WParam < WPARAM(VK_PRIOR) || m.WParam > WPARAM(VK_DOWN)) return false;
  m.Result = 1;
  return true;
}

bool ShowsRealWindows() {
  return QGuiApplication::instance() && QGuiApplication::platformName() != "offscreen" &&
         QGuiApplication::platformName() != "minimal";
}
