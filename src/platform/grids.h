// The string grid: Cells by column and row, fixed header rows and columns,
// a current cell that the user moves with the mouse and the arrow keys
// (OnSelectCell may refuse, OnClick follows), Tab and Shift+Tab too with
// goTabs, and editing of the current cell when goEditing is on: the first
// key typed replaces the cell's text, the next ones add to it; Return and
// Escape end the editing, so that the next key replaces the text again.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/stdctrls.h"

enum : unsigned {
  goFixedVertLine = 1u << 0,
  goFixedHorzLine = 1u << 1,
  goVertLine = 1u << 2,
  goHorzLine = 1u << 3,
  goRangeSelect = 1u << 4,
  goDrawFocusSelected = 1u << 5,
  goRowSizing = 1u << 6,
  goColSizing = 1u << 7,
  goEditing = 1u << 9,
  goTabs = 1u << 10,
  goRowSelect = 1u << 11,
  goAlwaysShowEditor = 1u << 12,
  goThumbTracking = 1u << 13,
};
using TGridOptions = unsigned;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;

class TStringGrid : public TCustomControl {
 public:
  explicit TStringGrid(TComponent* owner);
  int GetColCount() const { return colCount_; }
  void SetColCount(int n);
  int GetRowCount() const { return rowCount_; }
  void SetRowCount(int n);
  int GetFixedCols() const { return fixedCols_; }
  void SetFixedCols(int n);
  int GetFixedRows() const { return fixedRows_; }
  void SetFixedRows(int n);
  // Cells outside the grid read as empty; writing one raises EListError.
  std::string GetCell(int col, int row) const;
  void SetCell(int col, int row, const std::string& text);
  int GetCol() const { return col_; }
  void SetCol(int col) { MoveTo(col, row_, false); }
  int GetRow() const { return row_; }
  void SetRow(int row) { MoveTo(col_, row, false); }
  int DefaultColWidth = 64;
  int DefaultRowHeight = 24;
  int GetColWidth(int col) const;
  void SetColWidth(int col, int width);
  TGridOptions Options = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  // The cell under a client point; false outside every cell.
  bool MouseToCell(TPoint p, int& col, int& row) const;
  TRect CellRect(int col, int row) const;
  int LeftCol = 0, TopRow = 0;  // first scrollable column and row shown (0: the first after the fixed ones)
  // Columns wider than the grid scroll: the current one is kept in view and
  // a horizontal scroll bar moves them by whole columns. Rows taller than
  // the grid scroll the same way with a vertical bar.

  TSelectCellEvent OnSelectCell;
  TSetEditEvent OnSetEditText;
  void Dispatch(TMessage& m) override;

 protected:
  void Paint() override;
  // Whether the current cell may move there (OnSelectCell decides); grids
  // over data move their record here.
  virtual bool SelectCell(int col, int row);
  // Puts the current cell there without asking or clicking (a grid
  // following its data).
  void PlaceCurrentCell(int col, int row);
  // Ends the cell's editing: the next key typed replaces its text.
  void EndTyping();
  // The cell Tab (forward) or Shift+Tab moves to: the next column, the
  // first one of the next row after the last, round to the first row.
  void TabTarget(bool forward, int& col, int& row) const;
  // False for grids that show a window of their data in the rows they have
  // and scroll that data themselves.
  bool ScrollsRows = true;

 private:
  // Moves the current cell (from code too, as the framework does):
  // OnSelectCell may refuse, OnClick follows a move.
  bool MoveTo(int col, int row, bool user);
  void Resize();
  void ScrollCurrentColIntoView();
  void SetLeftCol(int left);
  void UpdateHorzScrollBar();
  int ColsThatFitFrom(int left) const;
  void ScrollCurrentRowIntoView();
  void SetTopRow(int top);
  void UpdateVertScrollBar();
  int RowsThatFit() const;
  int colCount_ = 5, rowCount_ = 5, fixedCols_ = 1, fixedRows_ = 1;
  int col_ = 1, row_ = 1;
  std::vector<std::vector<std::string>> cells_;  // [col][row]
  std::vector<int> colWidths_;
  bool typing_ = false;
};
