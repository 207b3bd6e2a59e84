#include "platform/grids.h"

#include <QString>
#include <algorithm>

TStringGrid::TStringGrid(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 320, 120);
  SetColor(clWindow);
  TabStop = true;
  ControlStyle = (ControlStyle | csOpaque) & ~csClickEvents;
  Resize();
}

void TStringGrid::Resize() {
  cells_.resize(size_t(colCount_));
  for (auto& column : cells_) column.resize(size_t(rowCount_));
  colWidths_.resize(size_t(colCount_), DefaultColWidth);
  fixedCols_ = std::min(fixedCols_, std::max(colCount_ - 1, 0));
  fixedRows_ = std::min(fixedRows_, std::max(rowCount_ - 1, 0));
  col_ = std::clamp(col_, fixedCols_, std::max(colCount_ - 1, fixedCols_));
  row_ = std::clamp(row_, fixedRows_, std::max(rowCount_ - 1, fixedRows_));
  ScrollCurrentColIntoView();
  ScrollCurrentRowIntoView();
  Invalidate();
}

namespace {

// Where a scroll bar's action moves the first scrollable column or row.
int ScrolledTo(const TWMScroll& scroll, int current, int page, int end) {
  switch (scroll.ScrollCode) {
    case SB_LINEUP: return current - 1;
    case SB_LINEDOWN: return current + 1;
    case SB_PAGEUP: return current - page;
    case SB_PAGEDOWN: return current + page;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return scroll.Pos;
    case SB_TOP: return 0;
    case SB_BOTTOM: return end;
    default: return current;
  }
}

}  // namespace

// Horizontal scrolling ---------------------------------------------------------------------

int TStringGrid::ColsThatFitFrom(int left) const {
  int x = 0;
  for (int i = 0; i < fixedCols_; ++i) x += GetColWidth(i) + 1;
  int fit = 0;
  for (int i = fixedCols_ + left; i < colCount_; ++i, ++fit) {
    x += GetColWidth(i) + 1;
    if (x - 1 > GetClientWidth()) break;
  }
  return std::max(fit, 1);
}

void TStringGrid::SetLeftCol(int left) {
  const int scrollable = colCount_ - fixedCols_;
  // The last scroll position is the first from which every column left fits.
  int last = 0;
  while (last < scrollable - 1 && ColsThatFitFrom(last) < scrollable - last) ++last;
  left = std::clamp(left, 0, last);
  if (left == LeftCol) return;
  LeftCol = left;
  UpdateHorzScrollBar();
  Invalidate();
}

void TStringGrid::ScrollCurrentColIntoView() {
  if (col_ < fixedCols_ + LeftCol) {
    SetLeftCol(col_ - fixedCols_);
  } else {
    const int shown = ColsThatFitFrom(LeftCol);
    if (col_ >= fixedCols_ + LeftCol + shown) {
      int left = LeftCol;
      while (left < col_ - fixedCols_ && col_ >= fixedCols_ + left + ColsThatFitFrom(left)) ++left;
      SetLeftCol(left);
    }
  }
  UpdateHorzScrollBar();
}

void TStringGrid::UpdateHorzScrollBar() {
  const int scrollable = colCount_ - fixedCols_;
  const bool needed = scrollable > 0 && (LeftCol > 0 || ColsThatFitFrom(0) < scrollable);
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = std::max(scrollable - 1, 0);
  info.nPage = unsigned(ColsThatFitFrom(LeftCol));
  info.nPos = LeftCol;
  ::SetScrollInfo(this, SB_HORZ, info, true);
  ShowScrollBarNow(SB_HORZ, needed);
}

// Vertical scrolling -----------------------------------------------------------------------

// Whole rows that fit below the fixed ones (rows are all of one height).
int TStringGrid::RowsThatFit() const {
  const int step = DefaultRowHeight + 1;
  return std::max((GetClientHeight() + 1 - fixedRows_ * step) / step, 1);
}

void TStringGrid::SetTopRow(int top) {
  const int scrollable = rowCount_ - fixedRows_;
  top = ScrollsRows ? std::clamp(top, 0, std::max(scrollable - RowsThatFit(), 0)) : 0;
  if (top == TopRow) return;
  TopRow = top;
  UpdateVertScrollBar();
  Invalidate();
}

void TStringGrid::ScrollCurrentRowIntoView() {
  if (row_ >= fixedRows_ && row_ < fixedRows_ + TopRow)
    SetTopRow(row_ - fixedRows_);
  else if (row_ >= fixedRows_ + TopRow + RowsThatFit())
    SetTopRow(row_ - fixedRows_ - RowsThatFit() + 1);
  else
    SetTopRow(TopRow);  // a taller grid may show rows scrolled away
  UpdateVertScrollBar();
}

void TStringGrid::UpdateVertScrollBar() {
  if (!ScrollsRows) {
    ShowScrollBarNow(SB_VERT, false);
    return;
  }
  const int scrollable = rowCount_ - fixedRows_;
  const bool needed = scrollable > 0 && (TopRow > 0 || RowsThatFit() < scrollable);
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = std::max(scrollable - 1, 0);
  info.nPage = unsigned(RowsThatFit());
  info.nPos = TopRow;
  ::SetScrollInfo(this, SB_VERT, info, true);
  ShowScrollBarNow(SB_VERT, needed);
}

void TStringGrid::SetColCount(int n) {
  colCount_ = std::max(n, 1);
  Resize();
}

void TStringGrid::SetRowCount(int n) {
  rowCount_ = std::max(n, 1);
  Resize();
}

void TStringGrid::SetFixedCols(int n) {
  if (n < 0 || n >= colCount_) throw EInvalidOperation("Fixed column count must be less than column count");
  fixedCols_ = n;
  Resize();
}

void TStringGrid::SetFixedRows(int n) {
  if (n < 0 || n >= rowCount_) throw EInvalidOperation("Fixed row count must be less than row count");
  fixedRows_ = n;
  Resize();
}

std::string TStringGrid::GetCell(int col, int row) const {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return {};
  return cells_[size_t(col)][size_t(row)];
}

void TStringGrid::SetCell(int col, int row, const std::string& text) {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
    throw EListError("Grid index out of range (" + IntToStr(col) + ", " + IntToStr(row) + ")");
  cells_[size_t(col)][size_t(row)] = text;
  Invalidate();
}

int TStringGrid::GetColWidth(int col) const {
  return col >= 0 && col < colCount_ ? colWidths_[size_t(col)] : DefaultColWidth;
}

void TStringGrid::SetColWidth(int col, int width) {
  if (col < 0 || col >= colCount_) throw EListError("Grid index out of range");
  colWidths_[size_t(col)] = std::max(width, 0);
  ScrollCurrentColIntoView();
  ScrollCurrentRowIntoView();
  Invalidate();
}

TRect TStringGrid::CellRect(int col, int row) const {
  auto xOf = [&](int c) {
    int x = 0;
    for (int i = 0; i < c; ++i) {
      if (i >= fixedCols_ && i < fixedCols_ + LeftCol) continue;  // scrolled away
      x += GetColWidth(i) + 1;
    }
    return x;
  };
  auto yOf = [&](int r) {
    int visibleBefore = r < fixedRows_ ? r : fixedRows_ + std::max(r - fixedRows_ - TopRow, 0);
    return visibleBefore * (DefaultRowHeight + 1);
  };
  if (col >= fixedCols_ && col < fixedCols_ + LeftCol) return {};
  if (row >= fixedRows_ && row < fixedRows_ + TopRow) return {};
  int x = xOf(col), y = yOf(row);
  return Rect(x, y, x + GetColWidth(col), y + DefaultRowHeight);
}

bool TStringGrid::MouseToCell(TPoint p, int& col, int& row) const {
  for (int r = 0; r < rowCount_; ++r)
    for (int c = 0; c < colCount_; ++c) {
      TRect cell = CellRect(c, r);
      cell.Right += 1;
      cell.Bottom += 1;
      if (PtInRect(cell, p)) {
        col = c;
        row = r;
        return true;
      }
    }
  return false;
}

bool TStringGrid::MoveTo(int col, int row, bool) {
  col = std::clamp(col, fixedCols_, colCount_ - 1);
  row = std::clamp(row, fixedRows_, rowCount_ - 1);
  if (col == col_ && row == row_) return true;
  if (!SelectCell(col, row)) return false;
  col_ = col;
  row_ = row;
  typing_ = false;
  ScrollCurrentColIntoView();
  ScrollCurrentRowIntoView();
  Invalidate();
  Click();
  return true;
}

bool TStringGrid::SelectCell(int col, int row) {
  bool can = true;
  if (OnSelectCell) OnSelectCell(this, col, row, can);
  return can;
}

void TStringGrid::PlaceCurrentCell(int col, int row) {
  col = std::clamp(col, fixedCols_, colCount_ - 1);
  row = std::clamp(row, fixedRows_, rowCount_ - 1);
  if (col == col_ && row == row_) return;
  col_ = col;
  row_ = row;
  typing_ = false;
  ScrollCurrentColIntoView();
  ScrollCurrentRowIntoView();
  Invalidate();
}

void TStringGrid::EndTyping() {
  if (!typing_) return;
  typing_ = false;
  Invalidate();
}

void TStringGrid::TabTarget(bool forward, int& col, int& row) const {
  col = col_ + (forward ? 1 : -1);
  row = row_;
  if (col >= colCount_) {
    col = fixedCols_;
    row = row + 1 < rowCount_ ? row + 1 : fixedRows_;
  } else if (col < fixedCols_) {
    col = colCount_ - 1;
    row = row - 1 >= fixedRows_ ? row - 1 : rowCount_ - 1;
  }
}

void TStringGrid::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDBLCLK:
      // A grid takes no single clicks, but its double click is an event.
      DblClick();
      break;
    case WM_LBUTTONDOWN: {
      if (CanFocus()) SetFocus();
      TWMMouse mouse(m);
      int c, r;
      if (MouseToCell({mouse.XPos, mouse.YPos}, c, r) && c >= fixedCols_ && r >= fixedRows_) MoveTo(c, r, true);
      break;
    }
    case WM_KEYDOWN:
      switch (int(m.WParam)) {
        case VK_LEFT: MoveTo(col_ - 1, row_, true); break;
        case VK_RIGHT: MoveTo(col_ + 1, row_, true); break;
        case VK_UP: MoveTo(col_, row_ - 1, true); break;
        case VK_DOWN: MoveTo(col_, row_ + 1, true); break;
        case VK_HOME: MoveTo(fixedCols_, row_, true); break;
        case VK_END: MoveTo(colCount_ - 1, row_, true); break;
        case VK_TAB:
          if (Options & goTabs) {
            int c, r;
            TabTarget((KeyDataToShiftState(m.LParam) & ssShift) == 0, c, r);
            MoveTo(c, r, true);
          }
          break;
        case VK_RETURN:
        case VK_ESCAPE: EndTyping(); break;
      }
      break;
    case WM_CHAR:
      if (Options & goEditing) {
        char16_t ch = char16_t(m.WParam);
        // The first key typed into a cell replaces its text, as the editor opens selected.
        std::string text = typing_ ? GetCell(col_, row_) : std::string();
        QString q = QString::fromStdString(text);
        if (ch == VK_BACK)
          q.chop(1);
        else if (ch >= 0x20 && ch != 0x7F)  // 0x7F: the Delete key's character
          q += QChar(ch);
        else
          break;
        typing_ = true;
        SetCell(col_, row_, q.toStdString());
        if (OnSetEditText) OnSetEditText(this, col_, row_, GetCell(col_, row_));
      }
      break;
    case WM_HSCROLL:
      SetLeftCol(ScrolledTo(TWMScroll(m), LeftCol, ColsThatFitFrom(LeftCol), colCount_));
      return;
    case WM_VSCROLL:
      SetTopRow(ScrolledTo(TWMScroll(m), TopRow, RowsThatFit(), rowCount_));
      return;
    case CM_WANTSPECIALKEY: {
      // Tab moves between cells with goTabs; Return and Escape end a cell's editing.
      const int key = int(m.WParam);
      if (ClaimNavigationKeys(m) || (key == VK_TAB && (Options & goTabs)) ||
          (key == VK_RETURN && (Options & goEditing)) || (key == VK_ESCAPE && typing_)) {
        m.Result = 1;
        return;
      }
      break;
    }
  }
  TCustomControl::Dispatch(m);
  if (m.Msg == WM_SIZE) {
    ScrollCurrentColIntoView();
    ScrollCurrentRowIntoView();
  }
}

void TStringGrid::Paint() {
  TCanvas* c = GetCanvas();
  TRect client = GetClientRect();
  c->Brush->Style = bsSolid;
  c->Brush->Color = clBtnShadow;
  c->FillRect(client);
  c->Font->Assign(GetFont());
  for (int r = 0; r < rowCount_; ++r)
    for (int col = 0; col < colCount_; ++col) {
      TRect cell = CellRect(col, r);
      if (cell.Width() <= 0 || cell.Left >= client.Right || cell.Top >= client.Bottom) continue;
      bool fixed = col < fixedCols_ || r < fixedRows_;
      bool current = col == col_ && r == row_;
      // The cell being typed into looks like an edit box, its caret after the text.
      bool editing = current && typing_;
      bool highlighted = current && !fixed && !editing;
      const std::string& text = cells_[size_t(col)][size_t(r)];
      c->Brush->Color = fixed ? clBtnFace : highlighted ? clHighlight : GetColor();
      c->FillRect(cell);
      TColor keep = c->Font->Color;
      if (highlighted) c->Font->Color = clHighlightText;
      c->BkMode = TRANSPARENT;
      c->TextRect(cell, cell.Left + 2, cell.Top + 2, text);
      if (editing) {
        const int x = std::min(cell.Left + 2 + c->TextWidth(text), cell.Right - 1);
        c->Pen->Color = c->Font->Color;
        c->MoveTo(x, cell.Top + 2);
        c->LineTo(x, cell.Top + 2 + c->TextHeight("0"));
      }
      c->Font->Color = keep;
    }
}
