// The text import window: its controls and the commands that only show
// other windows or empty the columns.
#include "records/opendata.h"

#include <algorithm>

#include "designer/main.h"
#include "platform/dialogs.h"
#include "records/memolines.h"
#include "records/menuitem.h"
#include "records/utextdata.h"

TOpenDataForm* OpenDataForm = nullptr;

namespace {

constexpr int kColumnWidth = 90;
constexpr int kScrollBarRoom = 1;  // the box's bar lies outside its client area

const char* const kHelp =
    "你可复制Excel 的列或其他格式类似的文本粘贴进各个项目,然后点击[批量建库]即可批量建立或修改数据库，然后需要的话可以"
    "通过批量读入图片把对应的图片读入数据库。如果您的电脑装有Excel也可以直接导入Excel文档，然后选中需要的列，点击项目"
    "的栏名就可把这一列移入相应的项目中。";

}  // namespace

TOpenDataForm::TOpenDataForm(TComponent* owner) : TForm(owner) {
  Name = "OpenDataForm";
  SetCaption("批量导入文本");
  Position = poMainFormCenter;
  SetClientWidth(800);
  SetClientHeight(560);
  BuildCommands();
  BuildControls();
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnPaint = [this](TObject* s) { FormPaint(s); };
}

TOpenDataForm::~TOpenDataForm() {
  if (OpenDataForm == this) OpenDataForm = nullptr;
}

void TOpenDataForm::BuildCommands() {
  MainMenu1 = new TMainMenu(this);
  MainMenu1->Name = "MainMenu1";
  auto item = [this](TMenuItem* parent, const char* name, const char* caption, void (TOpenDataForm::*handler)(TObject*)) {
    return AddMenuItem(this, parent, name, caption, handler);
  };
  NFile = item(MainMenu1->GetItems(), "NFile", "文件(&F)", nullptr);
  bopen = item(NFile, "bopen", "打开(&Open)", &TOpenDataForm::bopenClick);
  bsave = item(NFile, "bsave", "保存(&Save)", &TOpenDataForm::bsaveClick);
  BSaveAs = item(NFile, "BSaveAs", "另存为(Sa&veAs)", &TOpenDataForm::BSaveAsClick);
  Excel1 = item(NFile, "Excel1", "Excel导入(&ImportExcel)", &TOpenDataForm::Excel1Click);
  N3 = item(NFile, "N3", "选用数据库", &TOpenDataForm::N3Click);
  N4 = item(NFile, "N4", "保存数据库到...", &TOpenDataForm::N4Click);

  ToolBar1 = new TToolBar(this);
  ToolBar1->Name = "ToolBar1";
  ToolBar1->ShowCaptions = true;
  ToolBar1->SetAlign(alTop);
  ToolBar1->SetParent(this);
  auto button = [this](const char* name, const char* caption, void (TOpenDataForm::*handler)(TObject*)) {
    auto* b = new TToolButton(this);
    b->Name = name;
    b->SetCaption(caption);
    b->SetParent(ToolBar1);
    if (handler) b->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
    return b;
  };
  TBFile = button("TBFile", "文件(&F)", nullptr);
  TBFile->SetMenuItem(NFile);  // drops the file menu down
  TBExcel = button("TBExcel", "导入Excel", &TOpenDataForm::TBExcelClick);
  ToolButton5 = button("ToolButton5", "文本批量入库", &TOpenDataForm::ToolButton5Click);
  ToolButton1 = button("ToolButton1", "清空各栏", &TOpenDataForm::ToolButton1Click);
  ToolButton3 = button("ToolButton3", "维护数据库", &TOpenDataForm::ToolButton3Click);
  ToolButton2 = button("ToolButton2", "从库导出", &TOpenDataForm::ToolButton2Click);
  TBHelp = button("TBHelp", "操作提示(&H)", &TOpenDataForm::TBHelpClick);
  ToolBar1->ArrangeButtons();
}

void TOpenDataForm::BuildControls() {
  ProgressBar1 = new TProgressBar(this);
  ProgressBar1->Name = "ProgressBar1";
  ProgressBar1->SetParent(this);
  ProgressBar1->SetAlign(alBottom);
  ProgressBar1->SetHeight(16);
  ProgressBar1->SetMin(0);
  ProgressBar1->SetMax(100);

  // The worksheet grid takes the lower part once a workbook is read; the
  // columns fill the rest and follow its height.
  StringGrid = new TStringGrid(this);
  StringGrid->Name = "StringGrid";
  StringGrid->SetParent(this);
  StringGrid->SetBounds(0, 0, 800, 214);
  StringGrid->SetAlign(alBottom);
  StringGrid->SetColCount(30);
  StringGrid->SetRowCount(20);
  StringGrid->SetFixedCols(1);
  StringGrid->SetFixedRows(1);
  StringGrid->Options |= goEditing;
  StringGrid->SetVisible(false);
  StringGrid->OnClick = [this](TObject* s) { StringGridClick(s); };

  ScrollBox1 = new TScrollBox(this);
  ScrollBox1->Name = "ScrollBox1";
  ScrollBox1->SetParent(this);
  ScrollBox1->SetAlign(alClient);
  Panel2 = new TPanel(this);
  Panel2->Name = "Panel2";
  Panel2->SetParent(ScrollBox1);
  Panel2->SetBounds(0, 0, kMemoColumns * kColumnWidth, 20);
  const int memoHeight = std::max(ScrollBox1->GetClientHeight() - 20 - kScrollBarRoom, 40);
  for (int c = 0; c < kMemoColumns; ++c) {
    auto* title = new TLabel(this);
    title->Name = "L" + std::string(4, char('A' + c));
    title->Tag = c;
    title->SetParent(Panel2);
    title->SetBounds(c * kColumnWidth + 4, 3, kColumnWidth - 8, 14);
    title->GetFont()->Style = fsUnderline;
    title->SetCursor(crHandPoint);
    title->OnClick = [this](TObject* s) { LabelClick(s); };
    Titles[size_t(c)] = title;

    auto* memo = new TMemo(this);
    memo->Name = c == 0 ? "edit" : "Memo" + std::to_string(c);
    memo->Tag = c;
    memo->SetParent(ScrollBox1);
    memo->SetBounds(c * kColumnWidth, 20, kColumnWidth, memoHeight);
    memo->SetAnchors(akLeft | akTop | akBottom);
    memo->ScrollBars = ssBoth;
    memo->WordWrap = false;
    Columns[size_t(c)] = memo;
  }
  edit = Columns[0];
  ScrollBox1->UpdateScrollBars();

  od = new TOpenDialog(this);
  od->Name = "od";
  savedialog = new TSaveDialog(this);
  savedialog->Name = "savedialog";
  savedialog->Filter = "Mem File (*.mem)|*.mem|All File(*.*)|*.*";
}

void TOpenDataForm::FormCreate(TObject*) {
  edit->Clear();
  CurrentMemoFile = "未命名";
  PickedCol = PickedRow = 0;
  GridReady = false;
}

void TOpenDataForm::FormPaint(TObject*) {
  if (!MainForm || !MainForm->CheckListBox1) return;
  TStrings* captions = MainForm->CheckListBox1->GetItems();
  for (int c = 0; c < kMemoColumns && c < captions->Count(); ++c) {
    const std::string caption = captions->Get(c);
    if (Titles[size_t(c)]->GetCaption() != caption) Titles[size_t(c)]->SetCaption(caption);
  }
}

void TOpenDataForm::ToolButton1Click(TObject*) {
  for (TMemo* column : Columns) column->Clear();
}

void TOpenDataForm::Excel1Click(TObject* sender) { TBExcelClick(sender); }

void TOpenDataForm::ToolButton3Click(TObject*) {
  if (FormTextData) FormTextData->Show();
  Hide();
}

void TOpenDataForm::N3Click(TObject*) {
  if (MainForm && MainForm->NOpenDB) MainForm->NOpenDB->Click();
}

void TOpenDataForm::N4Click(TObject*) {
  // The collect-save lives on the designer's menu under this name.
  if (!MainForm) return;
  if (auto* item = dynamic_cast<TMenuItem*>(MainForm->FindComponent("NMoveDB"))) item->Click();
}

void TOpenDataForm::TBHelpClick(TObject*) { ShowMessage(kHelp); }

void TOpenDataForm::SetColumns(const TMemoColumns& columns) {
  for (int c = 0; c < kMemoColumns; ++c) SetMemoLines(Columns[size_t(c)], columns[size_t(c)]);
}
