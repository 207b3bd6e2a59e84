// The card batch window's record commands: browsing, adding, deleting,
// saving, emptying and finding records of the card-holder table.
#include "designer/main.h"
#include "imaging/view/dbpix.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"
#include "records/dbpicsu.h"
#include "records/tableguard.h"

void TFormPicEdit::FormActivate(TObject*) {
  if (!Table1->GetActive()) Table1->Open();
}

void TFormPicEdit::NavigateAndRepaint(TNavigateBtn button) {
  DBNavigator->BtnClick(button);
  FormPaint(this);
}

void TFormPicEdit::TBFirstClick(TObject*) { NavigateAndRepaint(nbFirst); }
void TFormPicEdit::TBPriorClick(TObject*) { NavigateAndRepaint(nbPrior); }
void TFormPicEdit::TBNextClick(TObject*) { NavigateAndRepaint(nbNext); }
void TFormPicEdit::TBEndClick(TObject*) { NavigateAndRepaint(nbLast); }
void TFormPicEdit::TBEditClick(TObject*) { NavigateAndRepaint(nbEdit); }
void TFormPicEdit::TBCancelClick(TObject*) { NavigateAndRepaint(nbCancel); }
void TFormPicEdit::TBRefreshClick(TObject*) { NavigateAndRepaint(nbRefresh); }

void TFormPicEdit::TBAddClick(TObject*) {
  Table1->Append();
  // Photos of new records are stored as JPEG to keep the memo file small.
  PixDBView11->SetDataFieldImageFormat(ifJpeg);
}

void TFormPicEdit::TBReduceClick(TObject*) {
  if (Table1->State() == dsEdit || Table1->State() == dsInsert) {
    Table1->Cancel();
    return;
  }
  // The stock table is moved first; the user then deletes in the copy.
  if (MainForm && IsStockTable(Table1, MainForm->StartDir)) {
    MayChangeCardTable();
    return;
  }
  if (Application->MessageBox("真的要删除当前记录吗？", "删除", MB_YESNO | MB_ICONQUESTION) == IDYES) Table1->Delete();
}

void TFormPicEdit::TBSaveClick(TObject*) {
  Table1->Edit();
  if (Table1->State() != dsBrowse) Table1->Post();
}

void TFormPicEdit::TBClearClick(TObject*) {
  TTableBatch batch;
  if (!batch.Ok()) return;
  if (Application->MessageBox("真的要清空数据库中的全部记录吗？", "注意", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  Table1->Close();
  Table1->SetExclusive(true);
  Table1->EmptyTable();
}

void TFormPicEdit::ButtonOkClick(TObject*) {
  const std::string wanted = Trim(EditFind->GetText());
  if (Table1->Eof())
    Table1->First();
  else
    Table1->Next();
  bool found = false;
  while (!Table1->Eof() && !found) {
    for (int c = 0; c < DBGrid1->Columns()->Count(); ++c) {
      TField* field = DBGrid1->Columns()->Items(c)->Field();
      if (!wanted.empty() && field && Pos(wanted, Trim(field->GetAsString())) > 0) {
        DBGrid1->SetSelectedIndex(c);
        found = true;
        break;
      }
    }
    if (!found) Table1->Next();
  }
  ButtonOk->SetCaption(Table1->Eof() ? "从头搜索：" : "搜索下一个：");
}
