// The card batch window's record controls: the record tool bar with its
// hidden navigator, the grid, the find box and the live card's texts.
#include "designer/main.h"
#include "records/dbpicsu.h"

std::array<TLabel*, kPreviewTextCount> PreviewTexts{};

namespace {

const char* const kFieldNames[kTextSlots] = {"AAAA", "BBBB", "CCCC", "DDDD", "EEEE", "FFFF", "GGGG",
                                             "HHHH", "IIII", "JJJJ", "KKKK", "LLLL", "MMMM"};

}  // namespace

void TFormPicEdit::CreateRecordControls() {
  ToolBar2 = new TToolBar(this);
  ToolBar2->Name = "ToolBar2";
  ToolBar2->ShowCaptions = true;
  ToolBar2->SetParent(this);
  ToolBar2->SetAlign(alTop);
  auto button = [this](const char* name, const char* caption, void (TFormPicEdit::*handler)(TObject*)) {
    auto* b = new TToolButton(this);
    b->Name = name;
    b->SetCaption(caption);
    b->SetParent(ToolBar2);
    b->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
    return b;
  };
  TBFirst = button("TBFirst", "首记录", &TFormPicEdit::TBFirstClick);
  TBPrior = button("TBPrior", "前一条", &TFormPicEdit::TBPriorClick);
  TBNext = button("TBNext", "后一条", &TFormPicEdit::TBNextClick);
  TBEnd = button("TBEnd", "尾记录", &TFormPicEdit::TBEndClick);
  TBAdd = button("TBAdd", "添加", &TFormPicEdit::TBAddClick);
  TBReduce = button("TBReduce", "删除", &TFormPicEdit::TBReduceClick);
  TBSave = button("TBSave", "保存", &TFormPicEdit::TBSaveClick);
  TBEdit = button("TBEdit", "编辑", &TFormPicEdit::TBEditClick);
  TBCancel = button("TBCancel", "取消", &TFormPicEdit::TBCancelClick);
  TBRefresh = button("TBRefresh", "刷新", &TFormPicEdit::TBRefreshClick);
  TBClear = button("TBClear", "清空", &TFormPicEdit::TBClearClick);
  TBSetPic = button("TBSetPic", "导入图片", &TFormPicEdit::TBSetPicClick);
  TBBatch = button("TBBatch", "导出图片", &TFormPicEdit::TBBatchClick);
  ToolBar2->ArrangeButtons();

  DBNavigator = new TDBNavigator(this);
  DBNavigator->Name = "DBNavigator";
  DBNavigator->SetVisible(false);
  DBNavigator->SetParent(this);
  DBNavigator->SetDataSource(DataSource1);

  DBGrid1 = new TDBGrid(this);
  DBGrid1->Name = "DBGrid1";
  DBGrid1->SetParent(this);
  DBGrid1->SetBounds(0, 0, 460, 400);
  DBGrid1->SetAlign(alLeft);
  DBGrid1->SetDataSource(DataSource1);
  for (const char* field : kFieldNames) DBGrid1->Columns()->Add()->SetFieldName(field);

  ScrollBox2 = new TScrollBox(this);
  ScrollBox2->Name = "ScrollBox2";
  ScrollBox2->SetParent(this);
  ScrollBox2->SetAlign(alClient);
  Panel4 = new TPanel(this);
  Panel4->Name = "Panel4";
  Panel4->SetColor(clWhite);
  Panel4->BevelOuter = bvNone;
  Panel4->SetParent(ScrollBox2);

  EditFind = new TEdit(this);
  EditFind->Name = "EditFind";
  EditFind->SetParent(this);
  ButtonOk = new TButton(this);
  ButtonOk->Name = "ButtonOk";
  ButtonOk->SetCaption("查找");
  ButtonOk->SetParent(this);
  ButtonOk->OnClick = [this](TObject* s) { ButtonOkClick(s); };

  Table1->BeforePost = [this](TDataSet* d) { Table1BeforePost(d); };
  Table1->BeforeDelete = [this](TDataSet* d) { Table1BeforeDelete(d); };
  Table1->AfterOpen = [this](TDataSet* d) { Table1AfterOpen(d); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnPaint = [this](TObject* s) { FormPaint(s); };
}

void TFormPicEdit::CreatePreviewTexts() {
  for (int i = 0; i < kTextSlots; ++i) {
    auto* text = new TDBText(this);
    text->SetBounds(20, i * 13 + 5, text->GetWidth(), text->GetHeight());
    text->SetCaption("");
    text->SetTransparent(true);
    text->Tag = i;
    text->SetParent(Panel4);
    text->SetDataSource(DataSource1);
    text->SetVisible(false);
    text->SetEnabled(false);
    text->BringToFront();
    if (MainForm && MainForm->QRDBTexts[size_t(i)]) text->SetDataField(MainForm->QRDBTexts[size_t(i)]->DataField);
    PreviewTexts[size_t(i)] = text;

    auto* title = new TLabel(this);
    title->SetBounds(120, i * 13 + 5, title->GetWidth(), title->GetHeight());
    title->SetTransparent(true);
    title->SetParent(Panel4);
    title->SetVisible(false);
    title->SetEnabled(false);
    title->BringToFront();
    PreviewTexts[size_t(kTextSlots + i)] = title;
  }
}
