// The text import window's memo column files: open, save and save as.
#include "designer/main.h"
#include "platform/dialogs.h"
#include "records/memolines.h"
#include "records/opendata.h"

namespace {

const char kUnnamed[] = "未命名";

void EnterDataFolder() {
  if (MainForm) SetCurrentDir(MainForm->AppDir + "data\\");
}

}  // namespace

void TOpenDataForm::bopenClick(TObject*) {
  od->Filter = "CardwrightFile(*.mem)|*.mem";
  if (!od->Execute()) return;
  EnterDataFolder();
  // Read first: a file that cannot be read leaves the columns as they are.
  ColumnCells = ReadMemoColumnFile(od->FileName);
  CurrentMemoFile = od->FileName;
  SetColumns(ColumnCells);
}

void TOpenDataForm::bsaveClick(TObject* sender) {
  if (CurrentMemoFile == kUnnamed) {
    BSaveAsClick(sender);
    return;
  }
  for (int c = 0; c < kMemoColumns; ++c) ColumnCells[size_t(c)] = MemoLines(Columns[size_t(c)]);
  const int lines = int(ColumnCells[0].size());
  WriteMemoColumnFile(CurrentMemoFile, ColumnCells, lines);
  if (lines > kMemoRows)
    ShowMessage("文件每栏最多保存" + std::to_string(kMemoRows) + "行，第" + std::to_string(kMemoRows + 1) +
                "行起的数据没有保存！");
}

void TOpenDataForm::BSaveAsClick(TObject* sender) {
  if (!savedialog->Execute()) return;
  EnterDataFolder();
  CurrentMemoFile = savedialog->FileName;
  if (CurrentMemoFile.size() < 4 || CurrentMemoFile.compare(CurrentMemoFile.size() - 4, 4, ".mem") != 0)
    CurrentMemoFile += ".mem";
  bsaveClick(sender);
}
