// The guard on every post of the card-holder table: the stock database under
// the working folder's Mode folder is never changed in place.
#include "designer/main.h"
#include "platform/dialogs.h"
#include "platform/menus.h"
#include "platform/sysutils.h"
#include "records/dbpicsu.h"

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

bool IsStockFolder(const std::string& folder, const std::string& startDir) {
  if (startDir.empty()) return false;
  const std::string key = FolderKey(folder);
  return key == FolderKey(startDir + "\\Mode\\DATA\\") || key == FolderKey(startDir + "\\Mode\\");
}

}  // namespace

void TFormPicEdit::Table1BeforePost(TDataSet*) {
  if (MainForm == nullptr || !IsStockFolder(Table1->GetDatabaseName(), MainForm->StartDir)) return;
  MainForm->MoveDBResult = 5;
  ShowMessage("修改数据库前要先把数据库保存到你容易找到的目录中！");
  if (auto* moveDB = dynamic_cast<TMenuItem*>(MainForm->FindComponent("NMoveDB"))) moveDB->Click();
  // Without a completed move nothing may reach the stock files; a move that
  // reopened the table elsewhere has dropped the pending change already.
  if (MainForm->MoveDBResult == 5 && Table1->GetActive()) Table1->Cancel();
}
