// The scanner window: its controls, the scanner list and parameters, the
// scan and the record moves.
#include "records/uscanner.h"

#include "imaging/io/pixio.h"
#include "imaging/io/twainparams.h"
#include "imaging/view/pixview.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"
#include "records/dbpicsu.h"
#include "records/utextdata.h"

TFormScanner* FormScanner = nullptr;

namespace {

const char* const kPixelTypeNames[] = {"Black&White", "GrayScale", "RGB"};

// The sky blue of the record name's box.
constexpr TColor kSkyBlue = 0xF0CAA6;

template <class T>
T* Child(TFormScanner* form, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  T* control = new T(form);
  control->Name = name;
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

}  // namespace

std::string ScannerPixelTypeName(int code) {
  return code >= 0 && code < 3 ? kPixelTypeNames[code] : std::to_string(code);
}

TFormScanner::TFormScanner(TComponent* owner) : TForm(owner) {
  Name = "FormScanner";
  SetCaption("扫描");
  SetBorderStyle(bsDialog);
  Position = poMainFormCenter;
  SetClientWidth(672);
  SetClientHeight(485);
  GetFont()->Name = "宋体";
  GetFont()->Height = -13;
  GetFont()->Charset = GB2312_CHARSET;
  CreateControls();
  OnActivate = [this](TObject* s) { FormActivate(s); };
}

TFormScanner::~TFormScanner() {
  if (FormScanner == this) FormScanner = nullptr;
}

void TFormScanner::CreateControls() {
  GroupBox1 = Child<TGroupBox>(this, this, "GroupBox1", 8, 4, 200, 48);
  GroupBox1->SetCaption("选择扫描仪");
  ComboBox1 = Child<TComboBox>(this, GroupBox1, "ComboBox1", 8, 18, 184, 21);
  ComboBox1->SetStyle(csDropDownList);
  ComboBox1->OnChange = [this](TObject* s) { ComboBox1Change(s); };
  auto check = [this](const char* name, const char* caption, int top) {
    TCheckBox* box = Child<TCheckBox>(this, this, name, 12, top, 190, 18);
    box->SetCaption(caption);
    box->SetChecked(true);
    return box;
  };
  CheckBox1 = check("CheckBox1", "显示扫描对话框", 58);
  CheckBox2 = check("CheckBox2", "显示扫描进度", 78);
  CheckBox3 = check("CheckBox3", "实时图像显示", 98);
  auto label = [this](const char* caption, int top) {
    TLabel* l = Child<TLabel>(this, this, "", 12, top + 3, 50, 16);
    l->SetCaption(caption);
  };
  label("DPI-Y:", 122);
  Edit1 = Child<TEdit>(this, this, "Edit1", 64, 122, 144, 21);
  label("DPI-X:", 148);
  Edit2 = Child<TEdit>(this, this, "Edit2", 64, 148, 144, 21);
  label("颜色", 174);
  ComboBox2 = Child<TComboBox>(this, this, "ComboBox2", 64, 174, 144, 21);
  ComboBox2->SetStyle(csDropDownList);
  auto button = [this](const char* name, const char* caption, int left, int top, int width,
                       void (TFormScanner::*handler)(TObject*)) {
    TButton* b = Child<TButton>(this, this, name, left, top, width, 25);
    b->SetCaption(caption);
    b->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
    return b;
  };
  Button2 = button("Button2", "协定参数", 8, 202, 200, &TFormScanner::Button2Click);
  Button1 = button("Button1", "启用扫描仪", 8, 232, 200, &TFormScanner::Button1Click);
  ProgressBar1 = Child<TProgressBar>(this, this, "ProgressBar1", 8, 262, 200, 16);
  ProgressBar1->SetMin(0);
  ProgressBar1->SetMax(100);
  Button6 = button("Button6", "裁剪图像", 8, 286, 200, &TFormScanner::Button6Click);
  AAAA = Child<TDBEdit>(this, this, "AAAA", 8, 320, 200, 21);
  AAAA->SetColor(kSkyBlue);
  Button4 = button("Button4", "向前", 8, 348, 98, &TFormScanner::Button4Click);
  Button5 = button("Button5", "向后", 110, 348, 98, &TFormScanner::Button5Click);
  Button3 = button("Button3", "图像入库", 8, 380, 200, &TFormScanner::Button3Click);
  Button7 = button("Button7", "查看数据库", 8, 410, 200, &TFormScanner::Button7Click);

  ScrollBox1 = Child<TScrollBox>(this, this, "ScrollBox1", 216, 4, 448, 268);
  Image1 = Child<TImage>(this, ScrollBox1, "Image1", 0, 0, 281, 241);
  Image1->SetAutoSize(true);
  Image2 = Child<TShape>(this, ScrollBox1, "Image2", 35, 19, 126, 110);
  WireCropFrame(this, Image2);
  ScrollBox2 = Child<TScrollBox>(this, this, "ScrollBox2", 216, 280, 448, 197);
  Image4 = Child<TImage>(this, ScrollBox2, "Image4", 0, 0, 126, 110);
  Image3 = Child<TImage>(this, ScrollBox2, "Image3", 0, 0, 126, 110);
  Image3->SetVisible(false);

  PixView1 = Child<TPixView>(this, this, "PixView1", 0, 0, 10, 10);
  PixView1->SetVisible(false);
  PixIO1 = new TPixIO(this);
  PixIO1->Name = "PixIO1";
  PixIO1->SetAttachedPix(PixView1);
  PixIO1->OnProgress = [this](TObject* s, int per) { PixIO1Progress(s, per); };
  crop_ = TCropFrame(Image2, Image1, Image4, Image3);
  AAAA->SetDataSource(FormPicEdit ? FormPicEdit->DataSource1 : nullptr);
  AAAA->SetDataField("AAAA");
}

void TFormScanner::FormActivate(TObject*) {
  if (FormPicEdit && AAAA->GetDataSource() != FormPicEdit->DataSource1) AAAA->SetDataSource(FormPicEdit->DataSource1);
  TIETWainParams* params = PixIO1->TWainParams;
  ComboBox1->GetItems()->Clear();
  for (int i = 0; i < params->GetSourceCount(); ++i) ComboBox1->GetItems()->Add(params->GetSourceName(i));
  if (ComboBox1->GetItems()->Count() == 0) return;
  ComboBox1->SetItemIndex(0);
  params->SetSelectedSource(0);
  ShowParameters();
  UpdateMoveButtons();
}

void TFormScanner::ComboBox1Change(TObject*) {
  if (ComboBox1->GetItemIndex() < 0) return;
  PixIO1->TWainParams->SetSelectedSource(ComboBox1->GetItemIndex());
  ShowParameters();
}

void TFormScanner::ShowParameters() {
  TIETWainParams* params = PixIO1->TWainParams;
  Edit1->SetText(FloatToStr(params->GetYResolution().CurrentValue));
  Edit2->SetText(FloatToStr(params->GetXResolution().CurrentValue));
  TIEIntegerList& types = params->GetPixelType();
  ComboBox2->GetItems()->Clear();
  for (int i = 0; i < types.GetCount(); ++i) ComboBox2->GetItems()->Add(ScannerPixelTypeName(types.GetItem(i)));
  ComboBox2->SetItemIndex(types.IndexOf(types.CurrentValue));
}

void TFormScanner::ApplyParameters() {
  TIETWainParams* params = PixIO1->TWainParams;
  // Both resolutions are checked before anything changes.
  int y = StrToInt(Edit1->GetText());
  int x = StrToInt(Edit2->GetText());
  params->ShowSourceDialog = CheckBox1->GetChecked();
  params->SetIndicators(CheckBox2->GetChecked());
  TIEIntegerList& types = params->GetPixelType();
  // Without a chosen entry (a scanner that reports no pixel types) the
  // pixel type stays as it is.
  int chosen = ComboBox2->GetItemIndex();
  if (chosen >= 0 && chosen < types.GetCount()) types.SetCurrentValue(types.GetItem(chosen));
  params->GetYResolution().SetCurrentValue(y);
  params->GetXResolution().SetCurrentValue(x);
}

void TFormScanner::Button2Click(TObject*) {
  ApplyParameters();
  PixIO1->TWainParams->Update();
  ShowParameters();
}

void TFormScanner::Button1Click(TObject*) {
  ApplyParameters();
  bool acquired = PixIO1->Acquire();
  ProgressBar1->SetPosition(0);
  // A failed or cancelled scan leaves the last picture and takes away the
  // crop, so that nothing from before it is stored by mistake.
  scanned_ = acquired;
  cropped_ = false;
  if (!acquired) return;
  Image1->GetPicture()->SetBitmap(PixView1->GetFBitmap());
  crop_.Clip();
}

void TFormScanner::PixIO1Progress(TObject*, int per) {
  ProgressBar1->SetPosition(per);
  if (CheckBox3->GetChecked()) {
    PixView1->Invalidate();
    Application->ProcessMessages();
  }
}

void TFormScanner::Button4Click(TObject*) {
  FormPicEdit->Table1->Prior();
  UpdateMoveButtons();
}

void TFormScanner::Button5Click(TObject*) {
  FormPicEdit->Table1->Next();
  UpdateMoveButtons();
}

void TFormScanner::UpdateMoveButtons() {
  EnableRecordMoves(Button4, Button5);
}

void TFormScanner::Button7Click(TObject*) {
  if (FormTextData) FormTextData->Show();
}
