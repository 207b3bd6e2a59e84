// The data grid: one row per record around the data source's current
// record, one column per field column (title, field, width), an indicator
// column showing the current record and its state. Choosing a row moves the
// data set; typing into a cell (with goEditing) puts the record in edit
// state and the cell's text goes into the field on Return, when the current
// cell moves to another column (Tab too) or when the record is written.
// The record is written when the grid moves to another record or loses the
// focus; Escape cancels the change. Insert adds a record, Down on the last
// one appends one (left again untouched, a new record is dropped), and
// Ctrl+Delete deletes the current record once the user confirms.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/db.h"
#include "platform/grids.h"

class TDBGrid;
class TColumn;

class TColumnTitle {
 public:
  // Without a caption of its own the title shows the field name.
  std::string GetCaption() const;
  void SetCaption(const std::string& caption);

 private:
  friend class TColumn;
  explicit TColumnTitle(TColumn* column) : column_(column) {}
  TColumn* column_;
  std::string caption_;
  bool captionSet_ = false;
};

class TColumn : public TObject {
 public:
  explicit TColumn(TDBGrid* grid);
  std::string GetFieldName() const { return fieldName_; }
  void SetFieldName(const std::string& name);
  // The grid's data set field of that name, or nullptr.
  TField* Field() const;
  int GetWidth() const { return width_; }
  void SetWidth(int width);
  TColumnTitle* Title() { return &title_; }
  int Index() const;

 private:
  friend class TColumnTitle;
  friend class TDBGrid;
  TDBGrid* grid_;
  std::string fieldName_;
  int width_ = 64;
  TColumnTitle title_{this};
};

class TDBGridColumns {
 public:
  explicit TDBGridColumns(TDBGrid* grid) : grid_(grid) {}
  int Count() const { return int(columns_.size()); }
  // Raises EListError outside 0 .. Count - 1.
  TColumn* Items(int index) const;
  TColumn* operator[](int index) const { return Items(index); }
  TColumn* Add();
  void Clear();

 private:
  friend class TDBGrid;
  TDBGrid* grid_;
  std::vector<std::unique_ptr<TColumn>> columns_;
};

using TDBGridClickEvent = std::function<void(TColumn* Column)>;

class TDBGrid : public TStringGrid {
 public:
  explicit TDBGrid(TComponent* owner);
  ~TDBGrid() override;
  TDataSource* GetDataSource() const;
  void SetDataSource(TDataSource* source);
  // The columns; while none are added the grid shows every field.
  TDBGridColumns* Columns() { return &columns_; }
  // The current column (0-based) and its field.
  int GetSelectedIndex() const { return GetCol() - 1; }
  void SetSelectedIndex(int index) { SetCol(index + 1); }
  TField* SelectedField() const;
  // A release of the left button on a record's cell.
  TDBGridClickEvent OnCellClick;

  void Dispatch(TMessage& m) override;

 protected:
  bool SelectCell(int col, int row) override;

 private:
  class TGridDataLink;
  friend class TColumn;
  friend class TColumnTitle;
  friend class TDBGridColumns;
  // The column shown in grid column `col` (1 onwards), or nullptr.
  TColumn* ColumnAt(int col) const;
  int ShownColumnCount() const;
  void LayoutChanged();
  void DataChanged();
  void CurrentRecordChanged();
  void StorePendingEdit();
  std::vector<std::string> RowTexts() const;
  void ShowRows();
  int VisibleRows() const;
  void TypeIntoCell(TMessage& m);
  bool CanEdit() const;
  // Down and Up as records: past the last record a new one is appended; a
  // new record not typed into is dropped by leaving it.
  void NextRow();
  void PriorRow();
  void TabToCell(bool forward);
  void DeleteAfterConfirming();
  // Writes the current record, as leaving the grid does.
  void PostOnExit();

  TDBGridColumns columns_{this};
  std::vector<std::unique_ptr<TColumn>> defaultColumns_;  // every field, while no columns are added
  std::unique_ptr<TGridDataLink> link_;
  std::map<int, std::vector<std::string>> rows_;  // texts by record number
  int top_ = 1;                                   // record number of the first data row
  bool syncing_ = false;
  std::optional<int> pendingCol_;  // a cell typed into, not yet in its field
  std::string pendingText_;
};
