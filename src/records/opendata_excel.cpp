// The text import window's worksheet grid: reading a workbook into it and
// taking a picked grid column or row into one text column.
#include "designer/main.h"
#include "platform/dialogs.h"
#include "records/memolines.h"
#include "records/opendata.h"
#include "records/uexcel.h"

void TOpenDataForm::TBExcelClick(TObject*) {
  std::string path;
  const TWorkbookRead read = ReadWorkbookIntoGrid(this, "批量导入文本", StringGrid, od, GridReady, path);
  if (read == wrRead) {
    ShowMessage(
        "Excel数据导入成功！请选中你需要的行或列，然后点击某栏目的标题即可把这列或这行数据导入的某栏目，全部栏目导入后"
        "点击[批量建库]这个按扭一起批量导入数据库！");
    StringGrid->SetVisible(true);
  } else if (read == wrFailed) {
    ShowMessage(
        "您的操作有误！或您的电脑没安装Excel！请选中你需要的行或列，然后点击上方表格各栏目上方有下划线的数据库标题即可"
        "把选中的列或行导入相应的栏目，全部栏目导入后点击[批量数据入库]这个按扭一起批量导入数据库！");
  }
}

void TOpenDataForm::StringGridClick(TObject*) {
  if (!GridReady) return;
  const int col = StringGrid->GetCol(), row = StringGrid->GetRow();
  SetCaption("批量处理数据库    光标在列：" + std::to_string(col + 1) + ", 行" + std::to_string(row + 1));
  PickedCol = col;
  PickedRow = row;
  if (MainForm && MainForm->ShowHints) ShowMessage("您要把这列或这行导入上面哪栏？请点击这栏的标题！");
}

void TOpenDataForm::LabelClick(TObject* sender) {
  const auto* title = dynamic_cast<TControl*>(sender);
  if (!title || title->Tag < 0 || title->Tag >= kMemoColumns) return;
  if (!GridHasData(StringGrid)) {
    ShowMessage("经检查，表前面6列6行都没有发现数据！请您先从Excel导入数据!");
    return;
  }
  const bool column = Application->MessageBox("是导入列吗？点击[是]导入这一列，点击[否]则导入这一行！ ", "选择",
                                              MB_YESNO | MB_ICONQUESTION) == IDYES;
  AppendMemoLines(Columns[size_t(title->Tag)], GridPick(StringGrid, column, column ? PickedCol : PickedRow));
}
