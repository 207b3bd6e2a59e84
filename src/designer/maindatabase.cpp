// The main window's commands on the card batch window and its table: the
// batch window itself and the choice of the card-holder table.
#include <memory>

#include "designer/main.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"
#include "records/dbpicsu.h"

namespace {

// A card-holder table has the 13 text fields and the 3 picture fields that
// the card's items are bound to; any other table would be bound and then
// fail at the first card.
const char* const kCardFields[] = {"AAAA", "BBBB", "CCCC", "DDDD", "EEEE", "FFFF", "GGGG", "HHHH",
                                   "IIII", "JJJJ", "KKKK", "LLLL", "MMMM", "PIC",  "BACKGROUND", "BARCODE"};

}  // namespace

std::string CheckCardTable(const std::string& folder, const std::string& file) {
  TTable probe;
  probe.SetDatabaseName(folder);
  probe.SetTableName(file);
  try {
    probe.Open();
  } catch (const std::exception& e) {
    return e.what();
  }
  std::string missing;
  for (const char* field : kCardFields)
    if (!probe.FindField(field)) missing += std::string(missing.empty() ? "" : ", ") + field;
  probe.Close();
  return missing.empty() ? "" : "缺少字段：" + missing;
}

void TMainForm::NPicEditClick(TObject*) {
  FormPicEdit->Repaint();
  // Shown once and raised: a window hidden and shown again at once can stay
  // unmapped when the window manager is still taking the first show.
  FormPicEdit->Show();
  FormPicEdit->BringToFront();
}

void TMainForm::NOpenDBClick(TObject*) {
  OpenDialog1->Filter = "(*.dbf)|*.dbf";
  if (OpenDialog1->Execute()) {
    const std::string chosen = OpenDialog1->FileName;
    const std::string folder = ExtractFilePath(chosen);
    const std::string file = ExtractFileName(chosen);
    const std::string problem = CheckCardTable(folder, file);
    if (!problem.empty()) {
      // The table in use stays bound.
      ShowMessage("不能选用此数据库：" + chosen + "\n" + problem);
    } else {
      TTable* table = FormPicEdit->Table1;
      table->Close();
      table->SetDatabaseName(folder);
      table->SetTableName(file);
      table->Open();
      table->Edit();
      ShowMessage("当前数库目录为：" + table->GetDatabaseName());
    }
  }
  SetCurrentDir(DataDir);
}
