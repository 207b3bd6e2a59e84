#include "platform/stdctrls.h"

#include <climits>

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QRegularExpression>
#include <QString>
#include <algorithm>

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

// TLabel --------------------------------------------------------------------------------

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 17);
  ControlStyle |= csReplicatable;
}

void TLabel::SetAutoSize(bool v) {
  autoSize_ = v;
  AdjustBounds();
}

void TLabel::SetTransparent(bool v) {
  transparent_ = v;
  Invalidate();
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || WordWrap) return;
  TBitmap measure;
  measure.SetSize(1, 1);
  measure.GetCanvas()->Font->Assign(GetFont());
  std::string shown = StripHotkey(GetText());
  TSize size = measure.GetCanvas()->TextExtent(shown.empty() ? std::string(" ") : shown);
  int left = GetLeft();
  if (Alignment == taRightJustify) left = GetLeft() + GetWidth() - size.cx;
  SetBounds(left, GetTop(), shown.empty() ? GetWidth() : size.cx, size.cy);
}

void TLabel::Dispatch(TMessage& m) {
  TGraphicControl::Dispatch(m);
  if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_FONTCHANGED) {
    AdjustBounds();
    Invalidate();
  }
}

void TLabel::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  if (!transparent_) FillSolid(c, r, GetColor());
  c->Font->Assign(GetFont());
  std::string shown = StripHotkey(GetText());
  TSize size = c->TextExtent(shown);
  int y = Layout == tlTop ? 0 : Layout == tlCenter ? (r.Height() - size.cy) / 2 : r.Height() - size.cy;
  DrawCaption(c, Rect(r.Left, y, r.Right, y + size.cy), GetText(), Alignment, GetEnabled());
}

// TButtonControl ------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* owner) : TCustomControl(owner) {
  // The click comes from the button itself, not from the generic release.
  ControlStyle &= ~csClickEvents;
  TabStop = true;
}

void TButtonControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (CanFocus()) SetFocus();
      pressed_ = true;
      Invalidate();
      break;
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        Invalidate();
        TWMMouse mouse(m);
        if (PtInRect(GetClientRect(), {mouse.XPos, mouse.YPos}) && GetEnabled()) UserClick();
        if (!IsWindow(this)) return;
      }
      break;
    case WM_KEYUP:
      if (m.WParam == WPARAM(VK_SPACE) && GetEnabled()) UserClick();
      break;
  }
  TCustomControl::Dispatch(m);
}

// TButton -------------------------------------------------------------------------------

TButton::TButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->ModalResult = ModalResult;
  TButtonControl::Click();
}

void TButton::Dispatch(TMessage& m) {
  // Enter presses the default button and Escape the cancel button of the form.
  if (m.Msg == CM_DIALOGKEY && GetEnabled() && GetVisible()) {
    if ((m.WParam == WPARAM(VK_RETURN) && (Default || Focused())) || (m.WParam == WPARAM(VK_ESCAPE) && Cancel)) {
      Click();
      m.Result = 1;
      return;
    }
  }
  TButtonControl::Dispatch(m);
}

void TButton::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  FillSolid(c, r, clBtnFace);
  TRect frame = r;
  if (Pressed())
    Frame3D(c, frame, clBtnShadow, clBtnHighlight, 1);
  else
    Frame3D(c, frame, clBtnHighlight, cl3DDkShadow, 1);
  c->Font->Assign(GetFont());
  DrawCaption(c, r, GetText(), taCenter, GetEnabled());
}

// TCheckBox -----------------------------------------------------------------------------

namespace {

void PaintMark(TCanvas* c, const TRect& box, bool round, bool on, bool grayed, bool enabled) {
  c->Brush->Style = bsSolid;
  c->Brush->Color = grayed || !enabled ? clBtnFace : clWindow;
  c->Pen->Color = clBtnShadow;
  c->Pen->Mode = pmCopy;
  c->Pen->Width = 1;
  c->Pen->Style = psSolid;
  if (round)
    c->Ellipse(box);
  else
    c->Rectangle(box);
  if (!on && !grayed) return;
  c->Brush->Color = enabled ? clWindowText : clGrayText;
  TRect dot = box;
  InflateRect(dot, -3, -3);
  if (round)
    c->Ellipse(dot);
  else
    c->FillRect(dot);
}

void PaintButtonWithMark(TCustomControl* self, TCanvas* c, bool round, bool on, bool grayed, TAlignment alignment) {
  TRect r = self->GetClientRect();
  FillSolid(c, r, self->GetColor());
  int top = (r.Height() - 13) / 2;
  bool markLeft = alignment == taRightJustify;
  TRect box = markLeft ? Rect(0, top, 13, top + 13) : Rect(r.Right - 13, top, r.Right, top + 13);
  PaintMark(c, box, round, on, grayed, self->GetEnabled());
  c->Font->Assign(self->GetFont());
  TRect text = markLeft ? Rect(17, 0, r.Right, r.Bottom) : Rect(0, 0, r.Right - 17, r.Bottom);
  DrawCaption(c, text, self->GetText(), taLeftJustify, self->GetEnabled());
}

}  // namespace

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::SetState(TCheckBoxState state) {
  if (state == state_) return;
  state_ = state;
  Invalidate();
  Click();
}

void TCheckBox::UserClick() {
  // The user's click cycles unchecked, checked and (when allowed) grayed.
  switch (state_) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(AllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
  }
}

void TCheckBox::Paint() {
  PaintButtonWithMark(this, GetCanvas(), false, state_ == cbChecked, state_ == cbGrayed, Alignment);
}

// TRadioButton --------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  Invalidate();
  if (!v) return;
  if (TWinControl* parent = GetParent())
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
        other->SetChecked(false);
  Click();
}

void TRadioButton::Paint() { PaintButtonWithMark(this, GetCanvas(), true, checked_, false, taRightJustify); }

// TGroupBox -----------------------------------------------------------------------------

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 185, 105);
}

void TGroupBox::Paint() {
  GetCanvas()->Font->Assign(GetFont());
  PaintGroupFrame(GetCanvas(), GetClientRect(), GetText(), GetColor(), GetEnabled());
}

// TCustomEdit ---------------------------------------------------------------------------

namespace {
// The characters the keyboard makes of Ctrl with a letter.
constexpr char16_t kCtrlA = 1, kCtrlC = 3, kCtrlV = 22, kCtrlX = 24, kCtrlZ = 26;

// Moves the caret of a selection that runs from `anchor` to `caret`;
// without `extend` the selection collapses onto the caret.
void MoveEditCaret(int& anchor, int& caret, int pos, bool extend, int length) {
  caret = std::clamp(pos, 0, length);
  if (!extend) anchor = caret;
}

// The position in `line` (drawn from x 2) nearest to x: the caret goes to
// the nearer edge of the character under the point.
int EditPositionInLine(TCanvas* c, const QString& line, int x) {
  int col = 0;
  for (; col < int(line.size()); ++col) {
    int left = c->TextWidth(S(line.left(col))), right = c->TextWidth(S(line.left(col + 1)));
    if (x - 2 < (left + right + 1) / 2) break;
  }
  return col;
}

// Draws one line of edit text from x 2 at y, the part [from, to) as
// selected and the caret before `caret` (-1: none); positions count from
// the line's start.
void DrawEditLine(TCanvas* c, const TRect& clip, int y, int height, const QString& line, int from, int to,
                  int caret) {
  c->TextRect(clip, 2, y, S(line));
  auto xOf = [&](int pos) { return 2 + c->TextWidth(S(line.left(pos))); };
  if (from < to) {
    TRect band = Rect(xOf(from), y, xOf(to), y + height);
    band.Right = std::min(band.Right, clip.Right);
    FillSolid(c, band, clHighlight);
    const TColor text = c->Font->Color;
    c->Font->Color = clHighlightText;
    c->TextRect(band, band.Left, y, S(line.mid(from, to - from)));
    c->Font->Color = text;
  }
  if (caret >= 0 && xOf(caret) < clip.Right) FillSolid(c, Rect(xOf(caret), y, xOf(caret) + 1, y + height), clWindowText);
}
}  // namespace

TCustomEdit::TCustomEdit(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 121, 25);
  SetColor(clWindow);
  SetCursor(crIBeam);
  TabStop = true;
  ControlStyle &= ~csSetCaption;
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

int TCustomEdit::TextLength() const { return int(Q(GetText()).size()); }

void TCustomEdit::SetSelStart(int v) {
  selStart_ = anchor_ = caret_ = std::clamp(v, 0, TextLength());
  selLength_ = 0;
  Invalidate();
}

void TCustomEdit::SetSelLength(int v) {
  selLength_ = std::clamp(v, 0, TextLength() - selStart_);
  anchor_ = selStart_;
  caret_ = selStart_ + selLength_;
  Invalidate();
}

std::string TCustomEdit::GetSelText() const { return S(Q(GetText()).mid(selStart_, selLength_)); }

void TCustomEdit::SelectAll() {
  selStart_ = anchor_ = 0;
  selLength_ = caret_ = TextLength();
  Invalidate();
}

void TCustomEdit::ReplaceRange(int start, int length, const std::string& text) {
  QString all = Q(GetText());
  start = std::clamp(start, 0, int(all.size()));
  length = std::clamp(length, 0, int(all.size()) - start);
  QString insert = Q(text);
  if (CharCase == ecUpperCase) insert = insert.toUpper();
  if (CharCase == ecLowerCase) insert = insert.toLower();
  if (MaxLength > 0) {
    int room = MaxLength - (int(all.size()) - length);
    if (room < int(insert.size())) insert.truncate(std::max(room, 0));
  }
  undoText_ = GetText();
  canUndo_ = true;
  all.replace(start, length, insert);
  selStart_ = anchor_ = caret_ = start + int(insert.size());
  selLength_ = 0;
  editing_ = true;
  SetText(S(all));
  editing_ = false;
  Modified = true;
}

void TCustomEdit::SetSelText(const std::string& text) { ReplaceRange(selStart_, selLength_, text); }

void TCustomEdit::TypeText(const std::string& text) {
  if (ReadOnly) return;
  SetSelText(text);
}

void TCustomEdit::MoveCaret(int pos, bool extend) {
  MoveEditCaret(anchor_, caret_, pos, extend, TextLength());
  selStart_ = std::min(anchor_, caret_);
  selLength_ = std::abs(caret_ - anchor_);
  Invalidate();
}

int TCustomEdit::LinePosition(int lineStep, int column) const {
  const QString all = Q(GetText());
  if (!MultiLine()) return column == 0 ? 0 : int(all.size());
  const QStringList lines = all.split("\r\n");
  int line = 0, start = 0;
  while (line + 1 < int(lines.size()) && caret_ > start + int(lines[line].size())) start += int(lines[line++].size()) + 2;
  if (column < 0) column = caret_ - start;  // keep the caret's column
  const int target = std::clamp(line + lineStep, 0, int(lines.size()) - 1);
  if (target != line) {
    start = 0;
    for (int i = 0; i < target; ++i) start += int(lines[i].size()) + 2;
  }
  return start + std::min(column, int(lines[target].size()));
}

int TCustomEdit::PositionAt(int x, int y) {
  TCanvas* c = GetCanvas();
  c->Font->Assign(GetFont());
  const QString all = Q(GetText());
  const QStringList lines = MultiLine() ? all.split("\r\n") : QStringList{all};
  int line = MultiLine() ? std::clamp((y - 1) / std::max(1, c->TextHeight("0")), 0, int(lines.size()) - 1) : 0;
  int start = 0;
  for (int i = 0; i < line; ++i) start += int(lines[i].size()) + 2;
  return start + EditPositionInLine(c, lines[line], x);
}

void TCustomEdit::Undo() {
  if (!canUndo_) return;
  std::string back = undoText_;
  undoText_ = GetText();
  editing_ = true;
  SetText(back);
  editing_ = false;
  selStart_ = anchor_ = caret_ = std::min(selStart_, TextLength());
  selLength_ = 0;
}

void TCustomEdit::CopyToClipboard() {
  if (selLength_ > 0 && QGuiApplication::instance()) QGuiApplication::clipboard()->setText(Q(GetSelText()));
}

void TCustomEdit::CutToClipboard() {
  if (ReadOnly || selLength_ == 0) return;
  CopyToClipboard();
  ClearSelection();
}

void TCustomEdit::PasteFromClipboard() {
  if (ReadOnly || !QGuiApplication::instance()) return;
  QString text = QGuiApplication::clipboard()->text();
  if (!MultiLine()) text = text.section(QRegularExpression("[\r\n]"), 0, 0);
  SetSelText(S(text));
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
      // Text set from code puts the caret at the start, as the platform does.
      if (!editing_) {
        selStart_ = anchor_ = caret_ = 0;
        selLength_ = 0;
        canUndo_ = false;
      }
      Change();
      return;
    case WM_LBUTTONDOWN: {
      if (CanFocus()) SetFocus();
      // A click places the caret (Shift extends the selection); dragging selects.
      const TWMMouse mouse(m);
      MoveCaret(PositionAt(mouse.XPos, mouse.YPos), (mouse.Keys & MK_SHIFT) != 0);
      selecting_ = true;
      break;
    }
    case WM_MOUSEMOVE:
      if (selecting_ && (m.WParam & MK_LBUTTON)) {
        const TWMMouse mouse(m);
        MoveCaret(PositionAt(mouse.XPos, mouse.YPos), true);
      }
      break;
    case WM_LBUTTONUP: selecting_ = false; break;
    case CM_ENTER:
      if (AutoSelect && !MultiLine()) SelectAll();
      Invalidate();  // the caret shows
      break;
    case CM_EXIT:
      selecting_ = false;
      Invalidate();
      break;
    case WM_CHAR: {
      char16_t ch = char16_t(m.WParam);
      if (ch == VK_BACK) {
        if (ReadOnly) break;
        if (selLength_ == 0 && selStart_ > 0) {
          int at = selStart_ - 1;
          QString all = Q(GetText());
          if (at > 0 && all[at] == '\n' && all[at - 1] == '\r') --at;  // a line break goes whole
          ReplaceRange(at, selStart_ - at, "");
        } else {
          ClearSelection();
        }
      } else if (ch == kCtrlA) {
        SelectAll();
      } else if (ch == kCtrlC) {
        CopyToClipboard();
      } else if (ch == kCtrlV) {
        PasteFromClipboard();
      } else if (ch == kCtrlX) {
        CutToClipboard();
      } else if (ch == kCtrlZ) {
        Undo();
      } else if (ch == VK_RETURN) {
        if (MultiLine()) TypeText("\r\n");
      } else if (ch >= 0x20 && ch != 0x7F) {
        TypeText(S(QString(QChar(ch))));
      }
      break;
    }
    case WM_KEYDOWN: {
      bool shift = (KeyDataToShiftState(m.LParam) & ssShift) != 0;
      switch (int(m.WParam)) {
        // Without Shift an arrow first collapses a selection to its edge.
        // A line break is one step.
        case VK_LEFT: {
          const bool pair = caret_ >= 2 && Q(GetText()).mid(caret_ - 2, 2) == "\r\n";
          MoveCaret(shift || selLength_ == 0 ? caret_ - (pair ? 2 : 1) : selStart_, shift);
          break;
        }
        case VK_RIGHT: {
          const bool pair = Q(GetText()).mid(caret_, 2) == "\r\n";
          MoveCaret(shift || selLength_ == 0 ? caret_ + (pair ? 2 : 1) : selStart_ + selLength_, shift);
          break;
        }
        // Home and End go to the ends of the caret's line; Up and Down to
        // the same column of the next line.
        case VK_HOME: MoveCaret(LinePosition(0, 0), shift); break;
        case VK_END: MoveCaret(LinePosition(0, INT_MAX), shift); break;
        case VK_UP:
          if (MultiLine()) MoveCaret(LinePosition(-1, -1), shift);
          break;
        case VK_DOWN:
          if (MultiLine()) MoveCaret(LinePosition(1, -1), shift);
          break;
        case VK_DELETE:
          if (ReadOnly) break;
          if (selLength_ == 0) {
            int len = Q(GetText()).mid(selStart_, 2) == "\r\n" ? 2 : 1;
            ReplaceRange(selStart_, len, "");
          } else {
            ClearSelection();
          }
          break;
      }
      break;
    }
  }
  TCustomControl::Dispatch(m);
}

void TCustomEdit::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  FillSolid(c, r, GetEnabled() ? GetColor() : clBtnFace);
  c->Font->Assign(GetFont());
  c->BkMode = TRANSPARENT;
  const int lineHeight = c->TextHeight("0");
  const bool focused = Focused();
  const bool showSelection = focused || !HideSelection;
  const QString all = Q(GetText());
  const QStringList lines = MultiLine() ? all.split("\r\n") : QStringList{all};
  int y = 1, start = 0;
  for (const QString& line : lines) {
    const int end = start + int(line.size());
    const int from = std::max(selStart_, start) - start, to = std::min(selStart_ + selLength_, end) - start;
    const bool caretHere = focused && caret_ >= start && caret_ <= end;
    DrawEditLine(c, r, y, lineHeight, line, showSelection ? from : 0, showSelection ? to : 0,
                 caretHere ? caret_ - start : -1);
    start = end + 2;
    y += lineHeight;
    if (y > r.Bottom) break;
  }
}

// TMemo ---------------------------------------------------------------------------------

std::vector<std::string> SplitMemoLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

namespace {

// The memo's lines over its text: a final line break ends the last line
// and adds no empty one.
class TMemoStrings : public TStrings {
 public:
  explicit TMemoStrings(TMemo* memo) : memo_(memo) {}
  int Count() const override { return int(Split().size()); }
  std::string Get(int index) const override { return Split().at(Check(index)); }
  void Put(int index, const std::string& s) override {
    auto lines = Split();
    lines.at(Check(index)) = s;
    Join(lines);
  }
  TObject* GetObject(int) const override { return nullptr; }
  void PutObject(int, TObject*) override {}
  void Insert(int index, const std::string& s) override {
    auto lines = Split();
    if (index < 0 || index > int(lines.size())) throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
    lines.insert(lines.begin() + index, s);
    Join(lines);
  }
  void Delete(int index) override {
    auto lines = Split();
    lines.erase(lines.begin() + Check(index));
    Join(lines);
  }
  void Clear() override { memo_->SetText(""); }

 private:
  size_t Check(int index) const {
    if (index < 0 || index >= Count()) throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
    return size_t(index);
  }
  std::vector<std::string> Split() const { return SplitMemoLines(memo_->GetText()); }
  void Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    memo_->SetText(text);
  }
  TMemo* memo_;
};

}  // namespace

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner), lines_(std::make_unique<TMemoStrings>(this)) {
  SetBounds(0, 0, 185, 89);
  AutoSelect = false;
}

TMemo::~TMemo() = default;

// TCustomListBox ------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
  TabStop = true;
  // The list reports its own clicks (on release, once the choice moved).
  ControlStyle = csSetCaption | csDoubleClicks | csOpaque;
  items_.Inserted = [this](int i) { ItemInserted(i); };
  items_.Deleted = [this](int i) { ItemDeleted(i); };
  items_.Changed = [this] { Invalidate(); };
}

void TCustomListBox::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::ItemInserted(int index) {
  if (itemIndex_ >= index && itemIndex_ >= 0) ++itemIndex_;
}

void TCustomListBox::ItemDeleted(int index) {
  if (itemIndex_ == index)
    itemIndex_ = -1;
  else if (itemIndex_ > index)
    --itemIndex_;
  topIndex_ = std::clamp(topIndex_, 0, std::max(items_.Count() - 1, 0));
}

void TCustomListBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count()) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  // Keep the choice in view.
  int rows = std::max(GetClientHeight() / std::max(ItemHeight, 1), 1);
  if (index >= 0 && index < topIndex_) topIndex_ = index;
  if (index >= topIndex_ + rows) topIndex_ = index - rows + 1;
  Invalidate();
}

void TCustomListBox::SetTopIndex(int index) {
  topIndex_ = std::clamp(index, 0, std::max(items_.Count() - 1, 0));
  Invalidate();
}

int TCustomListBox::ItemAtPos(TPoint p, bool existing) const {
  if (p.x < 0 || p.x >= GetClientWidth() || p.y < 0) return existing ? -1 : items_.Count();
  int index = topIndex_ + p.y / std::max(ItemHeight, 1);
  if (index >= items_.Count()) return existing ? -1 : items_.Count();
  return index;
}

TRect TCustomListBox::ItemRect(int index) const {
  int y = (index - topIndex_) * ItemHeight;
  return Rect(0, y, GetClientWidth(), y + ItemHeight);
}

void TCustomListBox::UserSelect(int index) {
  if (index < 0 || index >= items_.Count()) return;
  SetItemIndex(index);
}

void TCustomListBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (CanFocus()) SetFocus();
      TWMMouse mouse(m);
      int index = ItemAtPos({mouse.XPos, mouse.YPos});
      if (index >= 0) {
        UserSelect(index);
        pressed_ = true;
        if (m.Msg == WM_LBUTTONDOWN) ItemPressed(index, mouse.XPos);
      }
      break;
    }
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        TCustomControl::Dispatch(m);
        Click();
        return;
      }
      break;
    case WM_KEYDOWN: {
      int key = int(m.WParam), rows = std::max(GetClientHeight() / std::max(ItemHeight, 1), 1);
      int target = itemIndex_;
      if (key == VK_DOWN) target = itemIndex_ + 1;
      if (key == VK_UP) target = std::max(itemIndex_ - 1, 0);
      if (key == VK_HOME) target = 0;
      if (key == VK_END) target = items_.Count() - 1;
      if (key == VK_NEXT) target = std::min(itemIndex_ + rows, items_.Count() - 1);
      if (key == VK_PRIOR) target = std::max(itemIndex_ - rows, 0);
      if (target != itemIndex_ && target >= 0 && target < items_.Count()) {
        UserSelect(target);
        TCustomControl::Dispatch(m);
        Click();
        return;
      }
      break;
    }
    case CM_WANTSPECIALKEY:
      if (ClaimNavigationKeys(m)) return;
      break;
  }
  TCustomControl::Dispatch(m);
}

void TCustomListBox::DrawItem(int index, TRect rect, bool selected) {
  TCanvas* c = GetCanvas();
  FillSolid(c, rect, selected ? clHighlight : GetColor());
  c->Font->Assign(GetFont());
  if (selected) c->Font->Color = clHighlightText;
  DrawCaption(c, Rect(rect.Left + 2, rect.Top, rect.Right, rect.Bottom), items_.Get(index), taLeftJustify,
              GetEnabled());
}

void TCustomListBox::Paint() {
  TRect r = GetClientRect();
  FillSolid(GetCanvas(), r, GetColor());
  for (int i = topIndex_; i < items_.Count(); ++i) {
    TRect row = ItemRect(i);
    if (row.Top >= r.Bottom) break;
    DrawItem(i, row, i == itemIndex_);
  }
}

// TComboBox -----------------------------------------------------------------------------

TComboBox::TComboBox(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 145, 21);
  SetColor(clWindow);
  TabStop = true;
  ControlStyle = csSetCaption | csDoubleClicks | csOpaque;
  items_.Inserted = [this](int i) {
    if (itemIndex_ >= i && itemIndex_ >= 0) ++itemIndex_;
  };
  items_.Deleted = [this](int i) { ItemDeleted(i); };
  items_.Changed = [this] { Invalidate(); };
}

void TComboBox::ItemDeleted(int index) {
  if (itemIndex_ == index) {
    itemIndex_ = -1;
    if (style_ == csDropDownList) TControl::SetText("");
  } else if (itemIndex_ > index) {
    --itemIndex_;
  }
}

int TComboBox::MatchIndex(const std::string& text) const {
  for (int i = 0; i < items_.Count(); ++i)
    if (SameText(items_.Get(i), text)) return i;
  return -1;
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count()) index = -1;
  itemIndex_ = index;
  TControl::SetText(index >= 0 ? items_.Get(index) : std::string());
  Invalidate();
}

void TComboBox::SetText(const std::string& text) {
  int match = MatchIndex(text);
  if (style_ == csDropDownList) {
    SetItemIndex(match);
    return;
  }
  itemIndex_ = match;
  TControl::SetText(text);
}

void TComboBox::SetStyle(TComboBoxStyle style) {
  style_ = style;
  if (style_ == csDropDownList && itemIndex_ < 0) TControl::SetText("");
  Invalidate();
}

void TComboBox::Clear() {
  items_.Clear();
  SetItemIndex(-1);
}

void TComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TComboBox::Select(int index) {
  if (index < 0 || index >= items_.Count()) return;
  itemIndex_ = index;
  TControl::SetText(items_.Get(index));
  Invalidate();
  Click();
  if (!IsWindow(this)) return;
  Change();
}

void TComboBox::DropDown() {
  droppedDown_ = true;
  if (OnDropDown) OnDropDown(this);
  if (!IsWindow(this)) return;
  // In the program the entries open under the control for the user to pick.
  if (ShowsRealWindows() && HandleAllocated() && items_.Count() > 0) {
    QMenu list;
    for (int i = 0; i < items_.Count(); ++i) list.addAction(Q(items_.Get(i)))->setData(i);
    TPoint p = ClientToScreen({0, GetHeight()});
    QAction* chosen = list.exec(QPoint(p.x, p.y));
    droppedDown_ = false;
    if (OnCloseUp) OnCloseUp(this);
    if (chosen) Select(chosen->data().toInt());
    return;
  }
}

void TComboBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: {
      if (CanFocus()) SetFocus();
      // A press on the text of an editable combo places the caret; the
      // button (or a list's whole face) drops the list down.
      const TWMMouse mouse(m);
      if (style_ != csDropDownList && (style_ == csSimple || mouse.XPos < TextAreaRight())) {
        MoveTextCaret(TextPositionAt(mouse.XPos), (mouse.Keys & MK_SHIFT) != 0);
        selecting_ = true;
      } else if (style_ != csSimple) {
        DropDown();
      }
      break;
    }
    case WM_MOUSEMOVE:
      if (selecting_ && (m.WParam & MK_LBUTTON)) MoveTextCaret(TextPositionAt(TWMMouse(m).XPos), true);
      break;
    case WM_LBUTTONUP: selecting_ = false; break;
    case CM_TEXTCHANGED:
      // Text from code or a chosen entry: the caret goes to its end.
      if (!typing_) anchor_ = caret_ = int(Q(GetText()).size());
      break;
    case CM_ENTER:
    case CM_EXIT:
      selecting_ = false;
      Invalidate();  // the caret shows only with the focus
      break;
    case WM_KEYDOWN: {
      int key = int(m.WParam);
      if (style_ != csDropDownList && (key == VK_LEFT || key == VK_RIGHT || key == VK_HOME || key == VK_END ||
                                       key == VK_DELETE)) {
        EditKey(key, (KeyDataToShiftState(m.LParam) & ssShift) != 0);
        return;
      }
      int target = itemIndex_;
      if (key == VK_DOWN || key == VK_RIGHT) target = itemIndex_ + 1;
      if (key == VK_UP || key == VK_LEFT) target = std::max(itemIndex_ - 1, 0);
      if (key == VK_HOME && style_ == csDropDownList) target = 0;
      if (key == VK_END && style_ == csDropDownList) target = items_.Count() - 1;
      if (target != itemIndex_ && target >= 0 && target < items_.Count()) {
        Select(target);
        return;
      }
      break;
    }
    case WM_CHAR: {
      // Typing edits the text of a drop-down combo; a list jumps to the
      // first entry that starts with the letter.
      char16_t ch = char16_t(m.WParam);
      if (style_ == csDropDownList) {
        QString letter = QString(QChar(ch));
        for (int i = 0; i < items_.Count(); ++i)
          if (Q(items_.Get(i)).startsWith(letter, Qt::CaseInsensitive)) {
            if (i != itemIndex_) Select(i);
            break;
          }
        return;
      }
      if (ch == kCtrlA) {
        anchor_ = 0;
        caret_ = int(Q(GetText()).size());
        Invalidate();
      } else if (ch == VK_BACK) {
        const int from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
        ReplaceText(from == to ? std::max(0, from - 1) : from, to, {});
      } else if (ch >= 0x20 && ch != 0x7F) {
        const int from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
        const int kept = int(Q(GetText()).size()) - (to - from);
        if (MaxLength <= 0 || kept < MaxLength) ReplaceText(from, to, S(QString(QChar(ch))));
      }
      return;
    }
    case CM_WANTSPECIALKEY:
      if (ClaimNavigationKeys(m)) return;
      break;
  }
  TCustomControl::Dispatch(m);
}

int TComboBox::TextAreaRight() const { return style_ == csSimple ? GetClientWidth() : GetClientWidth() - 17; }

int TComboBox::TextPositionAt(int x) {
  TCanvas* c = GetCanvas();
  c->Font->Assign(GetFont());
  return EditPositionInLine(c, Q(GetText()), x);
}

void TComboBox::MoveTextCaret(int pos, bool extend) {
  MoveEditCaret(anchor_, caret_, pos, extend, int(Q(GetText()).size()));
  Invalidate();
}

void TComboBox::EditKey(int key, bool shift) {
  const int from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
  const int length = int(Q(GetText()).size());
  switch (key) {
    case VK_LEFT: MoveTextCaret(shift || from == to ? caret_ - 1 : from, shift); break;
    case VK_RIGHT: MoveTextCaret(shift || from == to ? caret_ + 1 : to, shift); break;
    case VK_HOME: MoveTextCaret(0, shift); break;
    case VK_END: MoveTextCaret(length, shift); break;
    case VK_DELETE: ReplaceText(from, from == to ? std::min(length, to + 1) : to, {}); break;
  }
}

void TComboBox::ReplaceText(int from, int to, const std::string& typed) {
  QString text = Q(GetText());
  const QString insert = Q(typed);
  if (from == to && insert.isEmpty()) return;
  text.replace(from, to - from, insert);
  typing_ = true;
  itemIndex_ = MatchIndex(S(text));
  TControl::SetText(S(text));
  typing_ = false;
  anchor_ = caret_ = from + int(insert.size());
  Invalidate();
  Change();
}

void TComboBox::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  FillSolid(c, r, GetEnabled() ? GetColor() : clBtnFace);
  TRect text = Rect(0, 0, TextAreaRight(), r.Bottom);
  if (style_ != csSimple) {
    TRect button = Rect(text.Right, r.Top, r.Right, r.Bottom);
    FillSolid(c, button, clBtnFace);
    TRect frame = button;
    Frame3D(c, frame, clBtnHighlight, cl3DDkShadow, 1);
  }
  c->Font->Assign(GetFont());
  if (style_ == csDropDownList || !GetEnabled()) {
    DrawCaption(c, Rect(2, 0, text.Right - 1, r.Bottom), GetText(), taLeftJustify, GetEnabled());
    return;
  }
  c->BkMode = TRANSPARENT;
  const int height = c->TextHeight("0");
  const bool focused = Focused();
  const int from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
  DrawEditLine(c, text, std::max(0, (r.Bottom - height) / 2), height, Q(GetText()), focused ? from : 0,
               focused ? to : 0, focused ? caret_ : -1);
}
