// The text import window and the card-holder table: the columns filled
// from the records, and the records written from the columns.
#include "designer/main.h"
#include "platform/dialogs.h"
#include "records/dbpicsu.h"
#include "records/memolines.h"
#include "records/opendata.h"

namespace {

std::string FieldName(int column) { return std::string(4, char('A' + column)); }

// The table's data-aware controls rest while a command walks the records,
// and follow the table again afterwards, also when the walk fails.
class TControlsPaused {
 public:
  explicit TControlsPaused(TDataSet* data) : data_(data) { data_->DisableControls(); }
  ~TControlsPaused() { data_->EnableControls(); }
  TControlsPaused(const TControlsPaused&) = delete;
  TControlsPaused& operator=(const TControlsPaused&) = delete;

 private:
  TDataSet* data_;
};

}  // namespace

void TOpenDataForm::ToolButton2Click(TObject*) {
  TTable* table = FormPicEdit->Table1;
  if (!table->GetActive()) table->Open();
  TControlsPaused paused(table);
  table->Edit();
  table->First();
  TMemoColumns columns;
  std::array<TField*, kMemoColumns> fields{};
  for (int c = 0; c < kMemoColumns; ++c) fields[size_t(c)] = table->FieldByName(FieldName(c));
  for (; !table->Eof(); table->Next())
    for (int c = 0; c < kMemoColumns; ++c) {
      const TField* field = fields[size_t(c)];
      // One line per record in every column, so lines stay with their record.
      columns[size_t(c)].push_back(field->IsNull() ? " " : field->GetAsString());
    }
  SetColumns(columns);
}

void TOpenDataForm::ToolButton5Click(TObject*) {
  if (MainForm) SetCurrentDir(MainForm->AppDir + "data\\");
  if (Application->MessageBox("在批量数据入库前请检查各栏目的数据是否全部编辑完成！真的要批量数据入库吗？", "注意",
                              MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
    return;
  const bool emptyFirst =
      Application->MessageBox("要先清空旧的数据库吗？否则只是更新数据库,没被更新的数据仍保留 ",
                              "决定前想清楚是否需要清空旧数据", MB_YESNO | MB_ICONQUESTION) == IDYES;
  TMemoColumns columns;
  for (int c = 0; c < kMemoColumns; ++c) columns[size_t(c)] = MemoLines(Columns[size_t(c)]);
  const size_t lines = columns[0].size();
  if (!emptyFirst && lines == 0) {
    // Updating from nothing would delete every record.
    ShowMessage("第一栏没有数据，数据库没有改动！请先在各栏填入数据再入库。");
    return;
  }
  TTable* table = FormPicEdit->Table1;
  ProgressBar1->SetMax(int(lines));
  if (emptyFirst) {
    table->Close();
    table->SetExclusive(true);
    table->EmptyTable();
    table->Open();
  } else if (!table->GetActive()) {
    table->Open();
  }
  // Paused only now: controls must see the table close and open again.
  TControlsPaused paused(table);
  table->Edit();
  table->First();
  std::array<TField*, kMemoColumns> fields{};
  for (int c = 0; c < kMemoColumns; ++c) fields[size_t(c)] = table->FieldByName(FieldName(c));
  for (size_t i = 0; i < lines; ++i) {
    if (emptyFirst) {
      table->Append();
    } else {
      table->Edit();
      if (int(i) >= table->RecordCount()) table->Append();
    }
    for (int c = 0; c < kMemoColumns; ++c) {
      const std::vector<std::string>& column = columns[size_t(c)];
      // A shorter column leaves the field as it is when updating.
      if (i < column.size())
        fields[size_t(c)]->SetAsString(column[i]);
      else if (emptyFirst)
        fields[size_t(c)]->SetAsString("");
    }
    table->Next();
    ProgressBar1->SetPosition(int(i) + 1);
  }
  if (!emptyFirst)
    while (table->RecordCount() > int(lines)) table->Delete();
  table->Edit();
  table->First();
}
