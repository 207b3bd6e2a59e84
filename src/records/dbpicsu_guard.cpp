// The guard on every change of the card-holder table: the stock database
// under the working folder's Mode folder is never changed in place.
#include "designer/main.h"
#include "platform/dialogs.h"
#include "platform/menus.h"
#include "platform/sysutils.h"
#include "records/dbpicsu.h"
#include "records/tableguard.h"

namespace {

// A folder as one comparable text: one kind of separator, no doubled ones,
// ASCII letters lower-cased, a trailing separator.
std::string FolderKey(const std::string& folder) {
  std::string key;
  for (char c : LowerCase(folder)) {
    if (c == '\\') c = '/';
    if (c == '/' && !key.empty() && key.back() == '/') continue;
    key += c;
  }
  if (key.empty() || key.back() != '/') key += '/';
  return key;
}

TTableBatch* running = nullptr;
// Counts the openings of the card-holder table, so that a batch sees a
// table closed and opened again even in the same folder.
unsigned openings = 0;

TTable* CardTable() { return FormPicEdit ? FormPicEdit->Table1 : nullptr; }

std::string Binding(const TTable* table) {
  return table ? FolderKey(table->GetDatabaseName()) + LowerCase(table->GetTableName()) : "";
}

bool StockCardTable() {
  return MainForm != nullptr && CardTable() != nullptr && IsStockTable(CardTable(), MainForm->StartDir);
}

// The guard's question: tells the user and runs the collect-save. True
// when it moved the table.
bool OfferMove() {
  MainForm->MoveDBResult = 5;
  ShowMessage("修改数据库前要先把数据库保存到你容易找到的目录中！");
  if (auto* moveDB = dynamic_cast<TMenuItem*>(MainForm->FindComponent("NMoveDB"))) moveDB->Click();
  return MainForm->MoveDBResult == 0;
}

}  // namespace

bool IsStockTable(const TTable* table, const std::string& startDir) {
  if (startDir.empty()) return false;
  const std::string key = FolderKey(table->GetDatabaseName());
  return key == FolderKey(startDir + "\\Mode\\DATA\\") || key == FolderKey(startDir + "\\Mode\\");
}

bool MayChangeCardTable() {
  if (!StockCardTable()) return true;
  // While the collect-save runs it has taken the change asked about; a
  // control posting again meanwhile is refused without a second question.
  if (CollectMode) return false;
  if (running) {
    running->Stop();
    return false;
  }
  return OfferMove();
}

TTableBatch::TTableBatch() : outer_(running) {
  if (!MayChangeCardTable()) stopped_ = true;
  binding_ = Binding(CardTable());
  opening_ = openings;
  running = this;
}

TTableBatch::~TTableBatch() { running = outer_; }

TTableBatch* RunningTableBatch() { return running; }

bool TTableBatch::Ok() const {
  const TTable* table = CardTable();
  return !stopped_ && table && Binding(table) == binding_ && openings == opening_;
}

void TFormPicEdit::Table1AfterOpen(TDataSet*) { ++openings; }

void TFormPicEdit::Table1BeforePost(TDataSet*) {
  if (!StockCardTable()) return;
  // After a move the collect-save has put the change into the copy, where
  // this post writes it; a refused change is dropped.
  if (MayChangeCardTable() && !StockCardTable()) return;
  if (Table1->GetActive()) Table1->Cancel();
}

void TFormPicEdit::Table1BeforeDelete(TDataSet*) {
  if (!StockCardTable()) return;
  // The record to delete belonged to the table before the move: the user
  // deletes again in the moved table.
  MayChangeCardTable();
  Abort();
}
