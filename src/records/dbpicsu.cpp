#include "records/dbpicsu.h"

#include "designer/main.h"
#include "imaging/view/dbpix.h"
#include "imaging/view/pix.h"
#include "imaging/view/qrdbpix.h"
#include "records/lzwcoders.h"

TFormPicEdit* FormPicEdit = nullptr;

namespace {

TPixDBView* HiddenFieldView(TFormPicEdit* form, TDataSource* source, const char* name, const char* field) {
  auto* view = new TPixDBView(form);
  view->Name = name;
  view->SetVisible(false);
  view->SetParent(form);
  view->SetDataSource(source);
  view->SetDataField(field);
  return view;
}

}  // namespace

TFormPicEdit::TFormPicEdit(TComponent* owner)
    : TForm(owner),
      Table1(new TTable()),
      DataSource1(new TDataSource()),
      table_(Table1),
      source_(DataSource1) {
  Name = "FormPicEdit";
  SetCaption("卡片批量处理生成器");
  SetClientWidth(980);
  SetClientHeight(620);
  Table1->SetTableName("DATA.DBF");
  DataSource1->SetDataSet(Table1);
  PixDBView11 = HiddenFieldView(this, DataSource1, "PixDBView11", "PIC");
  PixDBView22 = HiddenFieldView(this, DataSource1, "PixDBView22", "BACKGROUND");
  PixDBView3 = HiddenFieldView(this, DataSource1, "PixDBView3", "BARCODE");
  CreateRecordControls();
  CreatePreviewPictures();
  CreateCommandButtons();
  CreatePictureDialog();
  OnCreate = [this](TObject* s) { FormCreate(s); };
  InstallLZWCoders();
}

TFormPicEdit::~TFormPicEdit() {
  // The edit buttons' components let go of the views before these go.
  PixIO1->SetAttachedPix(nullptr);
  PixProc1->SetAttachedPix(nullptr);
  // The views go before the data source they are linked to.
  delete PixDBView11;
  delete PixDBView22;
  delete PixDBView3;
  // The main window's report keeps plain pointers to the table.
  if (MainForm) {
    if (MainForm->QuickRep1->DataSet == Table1) MainForm->QuickRep1->DataSet = nullptr;
    for (TQRDBText* text : MainForm->QRDBTexts)
      if (text && text->DataSet == Table1) text->DataSet = nullptr;
  }
  for (TLabel*& text : PreviewTexts)
    if (text && text->GetOwner() == this) text = nullptr;
  if (FormPicEdit == this) FormPicEdit = nullptr;
}

void TFormPicEdit::FormCreate(TObject*) {
  if (MainForm == nullptr) return;
  Table1->SetDatabaseName(MainForm->AppDir + "data\\Mode\\data\\");
  Table1->SetTableName("data.DBF");
  BindMainWindow();
  CreatePreviewTexts();
  try {
    Table1->Open();
  } catch (const Exception&) {
    // A missing table was reported by the main window's start; the window
    // goes on without records.
  }
}

void TFormPicEdit::BindMainWindow() {
  TMainForm* main = MainForm;
  for (int i = 0; i < kTextSlots; ++i) {
    if (main->DBTexts[size_t(i)]) {
      main->DBTexts[size_t(i)]->SetDataSource(DataSource1);
      main->DBTexts[size_t(i)]->SetDataField(main->QRDBTexts[size_t(i)]->DataField);
    }
    if (main->QRDBTexts[size_t(i)]) main->QRDBTexts[size_t(i)]->DataSet = Table1;
  }
  main->QuickRep1->DataSet = Table1;
  main->DBGrid1->SetDataSource(DataSource1);
  main->QRDBPicOne->SetDataSource(DataSource1);
  main->QRDBPicTwo->SetDataSource(DataSource1);
  main->QRDBBarCode->SetDataSource(DataSource1);
}
