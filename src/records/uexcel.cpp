#include "records/uexcel.h"

#include <memory>

#include "designer/main.h"
#include "platform/dialogs.h"
#include "platform/excelauto.h"
#include "records/memolines.h"
#include "records/uinputcol.h"
#include "records/uselectfield.h"

TFormExcel* FormExcel = nullptr;

namespace {

// The sheet answer as a decimal whole number, blanks around it allowed.
int64_t SheetNumber(const std::string& answer) {
  const std::string text = Trim(answer);
  size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
  if (i >= text.size() || text.size() > 18) throw EConvertError("'" + answer + "' is not a valid integer value");
  for (size_t k = i; k < text.size(); ++k)
    if (text[k] < '0' || text[k] > '9') throw EConvertError("'" + answer + "' is not a valid integer value");
  return std::stoll(text);
}

void ClearGrid(TStringGrid* grid) {
  for (int c = 0; c < grid->GetColCount(); ++c)
    for (int r = 0; r < grid->GetRowCount(); ++r) grid->SetCell(c, r, "");
}

void ReadSheet(TStringGrid* grid, const std::string& path) {
  std::unique_ptr<TExcelApplication> app = CreateOleObject("Excel.Application");
  app->Visible = false;
  app->WorkBooks().Open(path);
  const int64_t n = SheetNumber(InputBox(
      "选择表单", "选第几个表单？比如工作簿中第N个表名为[初二6班]，不管表名,是第N个表，就输入N。", "1"));
  app->WorkSheets(n)->Activate();
  std::unique_ptr<TExcelWorkbook> book = app->ActiveWorkBook();
  std::unique_ptr<TExcelSheet> sheet = book->ActiveSheet();
  const TExcelRange used = sheet->UsedRange();
  const int64_t rows = used.Rows().Count();
  grid->SetRowCount(static_cast<int>(std::max<int64_t>(rows + 1, 20)));
  const int64_t cols = used.Columns().Count();
  grid->SetColCount(static_cast<int>(std::max<int64_t>(cols + 1, 30)));
  // The used range need not start at A1: its first cell is grid cell (1, 1).
  const int64_t top = used.Row(), left = used.Column();
  for (int64_t r = 1; r <= rows; ++r)
    for (int64_t c = 1; c <= cols; ++c)
      grid->SetCell(static_cast<int>(c), static_cast<int>(r), sheet->Cells(top + r - 1, left + c - 1).Value());
  app->Quit();
}

}  // namespace

bool GridHasData(TStringGrid* grid) {
  for (int c = 1; c <= 6 && c < grid->GetColCount(); ++c)
    for (int r = 1; r <= 6 && r < grid->GetRowCount(); ++r)
      if (!grid->GetCell(c, r).empty()) return true;
  return false;
}

std::vector<std::string> GridPick(TStringGrid* grid, bool column, int index) {
  std::vector<std::string> lines;
  const int count = column ? grid->GetRowCount() : grid->GetColCount();
  for (int k = 1; k < count; ++k) lines.push_back(column ? grid->GetCell(index, k) : grid->GetCell(k, index));
  // Empty cells past the last value would become empty records.
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

TWorkbookRead ReadWorkbookIntoGrid(TForm* window, const std::string& caption, TStringGrid* grid,
                                   TOpenDialog* dialog, bool& gridReady, std::string& path) {
  gridReady = false;
  dialog->Filter = "ExcelFile(*.xls)|*.xls";
  TWorkbookRead result = wrCancelled;
  if (dialog->Execute()) {
    path = dialog->FileName;
    try {
      window->SetCaption(caption + path);
      if (MainForm) SetCurrentDir(MainForm->AppDir + "data\\");
      ClearGrid(grid);
      ReadSheet(grid, path);
      result = wrRead;
    } catch (const std::exception&) {
      // Whatever failed (no workbook, a foreign file, a wrong sheet
      // answer), the window reports it in its own words.
      result = wrFailed;
    }
  }
  gridReady = true;
  return result;
}

TFormExcel::TFormExcel(TComponent* owner) : TForm(owner) {
  Name = "FormExcel";
  SetCaption("Excel数据导入");
  Position = poMainFormCenter;
  SetClientWidth(640);
  SetClientHeight(480);

  Button3 = new TSpeedButton(this);
  Button3->Name = "Button3";
  Button3->SetParent(this);
  Button3->SetBounds(8, 8, 120, 25);
  Button3->SetCaption("Excel数据导入");
  Button3->OnClick = [this](TObject* s) { Button3Click(s); };

  CCEdit1 = new TEdit(this);
  CCEdit1->Name = "CCEdit1";
  CCEdit1->SetParent(this);
  CCEdit1->SetBounds(136, 8, 300, 21);
  CCEdit1->SetText("工作簿目录");

  Label1 = new TLabel(this);
  Label1->Name = "Label1";
  Label1->SetParent(this);
  Label1->SetBounds(444, 12, 90, 13);
  Label1->SetCaption("光标位置");
  Label1->OnClick = [this](TObject* s) { Label1Click(s); };

  Label2 = new TLabel(this);
  Label2->Name = "Label2";
  Label2->SetParent(this);
  Label2->SetBounds(8, 38, 300, 13);
  Label2->SetCaption("提示：导入后请点击下表！");

  ProgressBar1 = new TProgressBar(this);
  ProgressBar1->Name = "ProgressBar1";
  ProgressBar1->SetParent(this);
  ProgressBar1->SetAlign(alBottom);
  ProgressBar1->SetHeight(16);
  ProgressBar1->SetMin(0);
  ProgressBar1->SetMax(100);

  StringGrid = new TStringGrid(this);
  StringGrid->Name = "StringGrid";
  StringGrid->SetParent(this);
  StringGrid->SetBounds(8, 56, 624, 400);
  StringGrid->DefaultColWidth = 32;  // for the columns a larger sheet adds
  StringGrid->DefaultRowHeight = 24;
  StringGrid->SetColCount(30);
  StringGrid->SetRowCount(20);
  for (int c = 0; c < StringGrid->GetColCount(); ++c) StringGrid->SetColWidth(c, 32);
  StringGrid->SetFixedCols(1);
  StringGrid->SetFixedRows(1);
  StringGrid->Options |= goEditing;
  StringGrid->OnClick = [this](TObject* s) { StringGridClick(s); };

  od = new TOpenDialog(this);
  od->Name = "od";

  OnCreate = [this](TObject* s) { FormCreate(s); };
}

TFormExcel::~TFormExcel() {
  if (FormExcel == this) FormExcel = nullptr;
}

void TFormExcel::FormCreate(TObject*) { GridReady = false; }

void TFormExcel::Button3Click(TObject*) {
  std::string path;
  const TWorkbookRead read = ReadWorkbookIntoGrid(this, "Excel数据导入", StringGrid, od, GridReady, path);
  if (read == wrRead) {
    ShowMessage("Excel数据导入成功！请点击表中您需要导入数据库某列或某行的数据！");
    CCEdit1->SetText(path);
  } else if (read == wrFailed) {
    ShowMessage("您的操作有误！或您的电脑没安装Excel！");
  }
}

void TFormExcel::StringGridClick(TObject*) {
  if (!GridReady) return;
  const int col = StringGrid->GetCol(), row = StringGrid->GetRow();
  Label1->SetCaption("光标在列" + std::to_string(col + 1) + ", 行" + std::to_string(row + 1));
  PickedCol = col;
  PickedRow = row;
  if (!GridHasData(StringGrid)) {
    ShowMessage("经检查，表前面6列6行都没有发现数据！请您先从Excel导入数据!");
    return;
  }
  const int answer = Application->MessageBox("您要导入表中这一列还是这一行？点是选列，点否选行！", "选择",
                                             MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL) return;
  StagePick(answer == IDYES);
  if (FormInputCol->ShowModal() != mrOk) return;
  if (FormSelectField->ShowModal() != mrOk) return;
  WriteStagedColumn(FormSelectField->ChosenField(), ProgressBar1);
}

void TFormExcel::StagePick(bool column) {
  SetMemoLines(FormInputCol->Memo1, GridPick(StringGrid, column, column ? PickedCol : PickedRow));
}

void TFormExcel::Label1Click(TObject*) {
  if (FormInputCol->ShowModal() != mrCancel) FormSelectField->Show();
}
