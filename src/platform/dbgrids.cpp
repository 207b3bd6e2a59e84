#include "platform/dbgrids.h"

#include <algorithm>

#include "platform/dbctrls.h"  // FieldDisplayText
#include "platform/dialogs.h"

namespace {

constexpr int kIndicatorWidth = 12;
constexpr const char* kDeleteQuestion = "删除该记录吗？";

bool HoldsText(const TField* field) {
  return field && field->DataType != ftBlob && field->DataType != ftGraphic && field->DataType != ftMemo;
}

const char* Indicator(TDataSetState state) {
  switch (state) {
    case dsEdit: return "I";
    case dsInsert: return "*";
    default: return "▶";
  }
}

}  // namespace

// The grid's link ----------------------------------------------------------------------------

class TDBGrid::TGridDataLink : public TDataLink {
 public:
  explicit TGridDataLink(TDBGrid* grid) : grid_(grid) {}

 protected:
  void ActiveChanged() override { grid_->LayoutChanged(); }
  void LayoutChanged() override { grid_->LayoutChanged(); }
  void DataSetChanged() override { grid_->DataChanged(); }
  void RecordChanged(TField* field) override {
    if (field) grid_->CurrentRecordChanged();
    else grid_->DataChanged();
  }
  void EditingChanged() override { grid_->ShowRows(); }
  void UpdateData() override { grid_->StorePendingEdit(); }

 private:
  TDBGrid* grid_;
};

// Columns ----------------------------------------------------------------------------------

std::string TColumnTitle::GetCaption() const { return captionSet_ ? caption_ : column_->fieldName_; }

void TColumnTitle::SetCaption(const std::string& caption) {
  caption_ = caption;
  captionSet_ = true;
  column_->grid_->LayoutChanged();
}

TColumn::TColumn(TDBGrid* grid) : grid_(grid) {}

void TColumn::SetFieldName(const std::string& name) {
  fieldName_ = name;
  grid_->LayoutChanged();
}

TField* TColumn::Field() const {
  TDataSet* data = grid_->link_->Active() ? grid_->link_->DataSet() : nullptr;
  return data && !fieldName_.empty() ? data->FindField(fieldName_) : nullptr;
}

void TColumn::SetWidth(int width) {
  width_ = std::max(width, 0);
  grid_->LayoutChanged();
}

int TColumn::Index() const {
  for (int i = 0; i < grid_->ShownColumnCount(); ++i)
    if (grid_->ColumnAt(i + 1) == this) return i;
  return -1;
}

TColumn* TDBGridColumns::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return columns_[size_t(index)].get();
}

TColumn* TDBGridColumns::Add() {
  columns_.push_back(std::make_unique<TColumn>(grid_));
  grid_->LayoutChanged();
  return columns_.back().get();
}

void TDBGridColumns::Clear() {
  columns_.clear();
  grid_->LayoutChanged();
}

// The grid ----------------------------------------------------------------------------------

TDBGrid::TDBGrid(TComponent* owner) : TStringGrid(owner), link_(std::make_unique<TGridDataLink>(this)) {
  ScrollsRows = false;  // its rows show the records around the current one
  Options |= goEditing | goTabs;
  SetColCount(2);
  SetRowCount(2);
  LayoutChanged();
}

TDBGrid::~TDBGrid() = default;

TDataSource* TDBGrid::GetDataSource() const { return link_->GetDataSource(); }

void TDBGrid::SetDataSource(TDataSource* source) { link_->SetDataSource(source); }

int TDBGrid::ShownColumnCount() const {
  return columns_.Count() > 0 ? columns_.Count() : int(defaultColumns_.size());
}

TColumn* TDBGrid::ColumnAt(int col) const {
  const int index = col - 1;
  if (index < 0 || index >= ShownColumnCount()) return nullptr;
  return columns_.Count() > 0 ? columns_.Items(index) : defaultColumns_[size_t(index)].get();
}

TField* TDBGrid::SelectedField() const {
  TColumn* column = ColumnAt(GetCol());
  return column ? column->Field() : nullptr;
}

int TDBGrid::VisibleRows() const {
  const int rowHeight = DefaultRowHeight + 1;
  return std::max(1, (GetClientHeight() - rowHeight) / rowHeight);
}

void TDBGrid::LayoutChanged() {
  defaultColumns_.clear();
  if (columns_.Count() == 0 && link_->Active()) {
    TDataSet* data = link_->DataSet();
    for (int i = 0; i < data->FieldCount(); ++i) {
      auto column = std::make_unique<TColumn>(this);
      column->fieldName_ = data->Fields(i)->FieldName;
      defaultColumns_.push_back(std::move(column));
    }
  }
  const int shown = ShownColumnCount();
  SetColCount(1 + std::max(1, shown));
  SetColWidth(0, kIndicatorWidth);
  for (int c = 1; c <= shown; ++c) {
    TColumn* column = ColumnAt(c);
    SetColWidth(c, column->GetWidth());
    SetCell(c, 0, column->Title()->GetCaption());
  }
  DataChanged();
}

std::vector<std::string> TDBGrid::RowTexts() const {
  std::vector<std::string> texts;
  for (int c = 1; c <= ShownColumnCount(); ++c) texts.push_back(FieldDisplayText(ColumnAt(c)->Field()));
  return texts;
}

void TDBGrid::DataChanged() {
  pendingCol_.reset();
  EndTyping();
  TDataSet* data = link_->Active() ? link_->DataSet() : nullptr;
  if (!data) {
    rows_.clear();
    top_ = 1;
    ShowRows();
    return;
  }
  // Keep the current record inside the rows shown, moving them as little as possible.
  const int visible = VisibleRows();
  const int total = data->RecordCount() + (data->State() == dsInsert ? 1 : 0);
  const int current = data->GetRecNo();
  if (current > 0 && current < top_) top_ = current;
  if (current >= top_ + visible) top_ = current - visible + 1;
  top_ = std::clamp(top_, 1, std::max(1, total - visible + 1));
  if (data->State() == dsBrowse) {
    // The last records too: an insert shows them above the new one, and
    // they cannot be read once it has begun.
    rows_.clear();
    auto read = [&](int from, int to) {
      for (int recNo = std::max(from, 1); recNo <= to; ++recNo)
        if (!rows_.count(recNo)) data->ReadRecordAt(recNo, [&] { rows_[recNo] = RowTexts(); });
    };
    read(top_, std::min(total, top_ + visible - 1));
    read(total - visible + 2, total);
  } else if (current > 0) {
    // Other records cannot be read while this one is being changed; they keep their texts.
    rows_[current] = RowTexts();
  }
  ShowRows();
}

void TDBGrid::CurrentRecordChanged() {
  TDataSet* data = link_->DataSet();
  if (data->GetRecNo() > 0) rows_[data->GetRecNo()] = RowTexts();
  ShowRows();
}

void TDBGrid::ShowRows() {
  TDataSet* data = link_->Active() ? link_->DataSet() : nullptr;
  const int total = data ? data->RecordCount() + (data->State() == dsInsert ? 1 : 0) : 0;
  const int current = data ? data->GetRecNo() : 0;
  const int shown = std::min(VisibleRows(), std::max(0, total - top_ + 1));
  SetRowCount(1 + std::max(1, shown));
  const int columns = ShownColumnCount();
  for (int r = 1; r < GetRowCount(); ++r) {
    const int recNo = top_ + r - 1;
    auto texts = rows_.find(recNo);
    for (int c = 1; c <= columns; ++c)
      SetCell(c, r, texts != rows_.end() && size_t(c - 1) < texts->second.size() ? texts->second[size_t(c - 1)] : "");
    SetCell(0, r, recNo == current && r <= shown ? Indicator(data->State()) : "");
  }
  const int currentRow = current > 0 ? current - top_ + 1 : 1;
  if (pendingCol_ && *pendingCol_ < GetColCount() && currentRow < GetRowCount())
    SetCell(*pendingCol_, currentRow, pendingText_);
  PlaceCurrentCell(GetCol(), currentRow);
}

void TDBGrid::StorePendingEdit() {
  if (!pendingCol_) return;
  TColumn* column = ColumnAt(*pendingCol_);
  TField* field = column ? column->Field() : nullptr;
  pendingCol_.reset();
  if (!field) return;
  field->SetAsString(pendingText_);
  CurrentRecordChanged();  // the link does not hear its own change
}

bool TDBGrid::SelectCell(int col, int row) {
  if (!TStringGrid::SelectCell(col, row)) return false;
  if (col != GetCol() && pendingCol_ && link_->Editing()) link_->UpdateRecord();
  if (row != GetRow() && link_->Active()) {
    // The record moves; the grid follows it (the data set may stop at an
    // end). The record left is written first: a new one leaves the rows,
    // so the row's record number is taken before.
    TDataSet* data = link_->DataSet();
    const int target = top_ + row - 1;
    data->CheckBrowseMode();
    data->MoveBy(target - data->GetRecNo());
    return GetRow() == row;
  }
  return true;
}

bool TDBGrid::CanEdit() const { return (Options & goEditing) && link_->Active() && !link_->ReadOnly; }

void TDBGrid::NextRow() {
  TDataSet* data = link_->DataSet();
  // A new record not typed into is the last one already.
  if (data->State() == dsInsert && !data->Modified() && !pendingCol_) return;
  data->MoveBy(1);
  if (data->Eof() && CanEdit()) data->Append();
}

void TDBGrid::PriorRow() {
  TDataSet* data = link_->DataSet();
  if (data->State() == dsInsert && !data->Modified() && !pendingCol_)
    data->Cancel();
  else
    data->MoveBy(-1);
}

void TDBGrid::TabToCell(bool forward) {
  int col, row;
  TabTarget(forward, col, row);
  // Past the last column the next record, before the first the previous one.
  if (forward && col <= GetCol()) NextRow();
  if (!forward && col >= GetCol()) PriorRow();
  SetCol(col);
}

void TDBGrid::DeleteAfterConfirming() {
  TDataSet* data = link_->DataSet();
  if (!CanEdit() || (data->IsEmpty() && data->State() != dsInsert)) return;
  if (MessageDlg(kDeleteQuestion, mtConfirmation, mbOK | mbCancel) == IDCANCEL) return;
  data->Delete();
}

void TDBGrid::PostOnExit() {
  if (link_->Active() && link_->Editing()) link_->DataSet()->CheckBrowseMode();
}

void TDBGrid::TypeIntoCell(TMessage& m) {
  const char16_t ch = char16_t(m.WParam);
  if ((ch != VK_BACK && ch < 0x20) || ch == 0x7F) return;  // 0x7F: the Delete key's character
  // Only text fields take typing, and only once the record is in edit state.
  if (!HoldsText(SelectedField()) || !link_->Edit()) return;
  TStringGrid::Dispatch(m);
  pendingCol_ = GetCol();
  pendingText_ = GetCell(GetCol(), GetRow());
}

void TDBGrid::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_CHAR:
      if (Options & goEditing) {
        TypeIntoCell(m);
        return;
      }
      break;
    case WM_KEYDOWN: {
      const int key = int(m.WParam);
      if (!link_->Active()) break;
      const TShiftState shift = KeyDataToShiftState(m.LParam);
      // Rows are records: the keys move the data set past the rows shown too.
      bool handled = true;
      if (key == VK_DOWN)
        NextRow();
      else if (key == VK_UP)
        PriorRow();
      else if (key == VK_TAB && (Options & goTabs) && !(shift & ssAlt))
        TabToCell(!(shift & ssShift));
      else if (key == VK_INSERT && CanEdit())
        link_->DataSet()->Insert();
      else if (key == VK_DELETE && (shift & ssCtrl))
        DeleteAfterConfirming();
      else
        handled = false;
      if (handled) {
        TCustomControl::Dispatch(m);
        return;
      }
      if (key == VK_RETURN && pendingCol_ && link_->Editing()) link_->UpdateRecord();
      if (key == VK_ESCAPE && link_->Editing()) link_->DataSet()->Cancel();
      break;
    }
    case CM_WANTSPECIALKEY:
      // Escape cancels a change even after Return stored the cell.
      if (int(m.WParam) == VK_ESCAPE && link_->Editing()) {
        m.Result = 1;
        return;
      }
      break;
    case CM_EXIT:
      PostOnExit();
      break;
    case WM_LBUTTONUP: {
      TStringGrid::Dispatch(m);
      TWMMouse mouse(m);
      int c, r;
      if (OnCellClick && MouseToCell({mouse.XPos, mouse.YPos}, c, r) && r >= 1 && ColumnAt(c))
        OnCellClick(ColumnAt(c));
      return;
    }
  }
  TStringGrid::Dispatch(m);
  if (m.Msg == WM_SIZE) DataChanged();
}
