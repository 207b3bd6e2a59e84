// The database editing window: its controls, its show, and the commands
// that only show other windows.
#include "records/utextdata.h"

#include "designer/main.h"
#include "imaging/view/dbpix.h"
#include "imaging/view/pix.h"
#include "records/catchpic.h"
#include "records/dbpicsu.h"
#include "records/opendata.h"
#include "records/pictureimport.h"
#include "records/uexcel.h"
#include "records/uscanner.h"

TFormTextData* FormTextData = nullptr;

namespace {

constexpr int kButtonWidth = 96;
constexpr int kViewSize = 160;

const char* const kPictureSaveFilter =
    "JPEG Bitmap (*.jpg)|*.jpg|TIFF Bitmap (*.tif)|*.tif|PaintBrush (*.pcx)|*.pcx|"
    "Portable Network Graphics (*.png)|*.png|Windows Bitmap (*.bmp)|*.bmp|OS/2 Bitmap (*.bmp)|*.bmp|"
    "Targa Bitmap (*.tga)|*.tga|Portable PixMap (*.pxm)|*.pxm|Portable PixMap (*.ppm)|*.ppm|"
    "Portable GrayMap (*.pgm)|*.pgm|Portable Bitmap (*.pbm)|*.pbm|JPEG2000 (*.jp2)|*.jp2|"
    "JPEG2000 Code Stream (*.j2k)|*.j2k";

// A control along one edge of the window, the window's width.
template <class T>
T* EdgeControl(TFormTextData* form, const char* name, int height, TAlign align) {
  T* control = new T(form);
  control->Name = name;
  control->SetParent(form);
  control->SetBounds(0, 0, form->GetClientWidth(), height);
  control->SetAlign(align);
  return control;
}

}  // namespace

TFormTextData::TFormTextData(TComponent* owner) : TForm(owner) {
  Name = "FormTextData";
  SetCaption("数据库编辑");
  Position = poMainFormCenter;
  SetClientWidth(8 * (kButtonWidth + 2) + 8);
  SetClientHeight(560);
  CreateCommandButtons();
  CreatePictureViews();
  DBGrid1 = new TDBGrid(this);
  DBGrid1->Name = "DBGrid1";
  DBGrid1->SetParent(this);
  DBGrid1->SetAlign(alClient);
  for (int i = 0; i < kTextSlots; ++i) DBGrid1->Columns()->Add()->SetFieldName(std::string(4, char('A' + i)));

  OpenPictureDialog1 = new TOpenPixDialog(this);
  OpenPictureDialog1->Name = "OpenPictureDialog1";
  OpenPictureDialog1->AutoSetFilter = false;
  OpenPictureDialog1->Filter = kPictureOpenFilter;
  OpenPictureDialog1->Options |= ofFileMustExist;
  SavePixDialog1 = new TSavePixDialog(this);
  SavePixDialog1->Name = "SavePixDialog1";
  SavePixDialog1->AutoSetFilter = false;
  SavePixDialog1->Filter = kPictureSaveFilter;
  SavePixDialog1->DefaultExt = "jpg";
  SavePixDialog1->Options |= ofOverwritePrompt;
  BindTable();
  OnShow = [this](TObject* s) { FormShow(s); };
}

TFormTextData::~TFormTextData() {
  if (FormTextData == this) FormTextData = nullptr;
}

void TFormTextData::CreateCommandButtons() {
  Panel1 = EdgeControl<TPanel>(this, "Panel1", 32, alTop);
  int left = 4;
  auto button = [this, &left](const char* name, const char* caption, void (TFormTextData::*handler)(TObject*)) {
    auto* b = new TSpeedButton(this);
    b->Name = name;
    b->SetCaption(caption);
    b->SetBounds(left, 4, kButtonWidth, 24);
    b->SetParent(Panel1);
    b->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
    left += kButtonWidth + 2;
    return b;
  };
  SpeedButton2 = button("SpeedButton2", "批量导入文本数据", &TFormTextData::SpeedButton2Click);
  SpeedButton6 = button("SpeedButton6", "导入EXCEL", &TFormTextData::SpeedButton6Click);
  SBCatchPic = button("SBCatchPic", "摄像头拍照...", &TFormTextData::SBCatchPicClick);
  SBScanner = button("SBScanner", "使用扫描仪...", &TFormTextData::SBScannerClick);
  SpeedButton1 = button("SpeedButton1", "设置图片数据", &TFormTextData::SpeedButton1Click);
  TBSavePic = button("TBSavePic", "图片另存为...", &TFormTextData::TBSavePicClick);
  TBBOutPutPic = button("TBBOutPutPic", "图片批量导出", &TFormTextData::TBBOutPutPicClick);
  SpeedButton7 = button("SpeedButton7", "转大写金额", &TFormTextData::SpeedButton7Click);
}

void TFormTextData::CreatePictureViews() {
  ProgressBar1 = EdgeControl<TProgressBar>(this, "ProgressBar1", 16, alBottom);
  ProgressBar1->SetMin(0);
  ProgressBar1->SetMax(100);
  Panel2 = EdgeControl<TPanel>(this, "Panel2", kViewSize + 28, alBottom);
  int left = 8;
  auto view = [this, &left](const char* name, const char* caption) {
    auto* title = new TLabel(this);
    title->SetCaption(caption);
    title->SetParent(Panel2);
    title->SetBounds(left, 4, kViewSize, 16);
    auto* v = new TPixDBView(this);
    v->Name = name;
    v->AutoFit = true;
    v->SetParent(Panel2);
    v->SetBounds(left, 22, kViewSize, kViewSize);
    left += kViewSize + 16;
    return v;
  };
  ImagePIC = view("ImagePIC", "图片一");
  ImageBACKGROUND = view("ImageBACKGROUND", "图片二");
  PixDBView1 = view("PixDBView1", "图片三");

  Image1 = new TPix(this);
  Image1->Name = "Image1";
  Image1->SetVisible(false);
  Image1->SetParent(this);
}

void TFormTextData::BindTable() {
  TDataSource* source = FormPicEdit ? FormPicEdit->DataSource1 : nullptr;
  if (DBGrid1->GetDataSource() == source) return;
  DBGrid1->SetDataSource(source);
  ImagePIC->SetDataSource(source);
  ImagePIC->SetDataField("PIC");
  ImageBACKGROUND->SetDataSource(source);
  ImageBACKGROUND->SetDataField("BACKGROUND");
  PixDBView1->SetDataSource(source);
  PixDBView1->SetDataField("BARCODE");
}

void TFormTextData::FormShow(TObject*) {
  BindTable();
  TStrings* captions = MainForm && MainForm->CheckListBox1 ? MainForm->CheckListBox1->GetItems() : nullptr;
  for (int c = 0; c < kTextSlots && c < DBGrid1->Columns()->Count(); ++c) {
    TColumn* column = DBGrid1->Columns()->Items(c);
    column->SetWidth(68);
    if (captions && c < captions->Count()) column->Title()->SetCaption(captions->Get(c));
  }
}

void TFormTextData::SpeedButton2Click(TObject*) {
  if (OpenDataForm) OpenDataForm->Show();
}

void TFormTextData::SpeedButton6Click(TObject*) {
  if (FormExcel) FormExcel->Show();
}

void TFormTextData::SBCatchPicClick(TObject*) {
  if (FormCatchPic) FormCatchPic->Show();
}

void TFormTextData::SBScannerClick(TObject*) {
  if (FormScanner) FormScanner->Show();
}
