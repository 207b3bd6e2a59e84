// The layout window's controls and its filling from the designer.
#include "records/wh.h"

#include "designer/main.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"

TFormWH* FormWH = nullptr;

namespace {

template <class T>
T* Add(TFormWH* form, TWinControl* parent, const char* name, const char* caption, int left, int top, int width,
       int height) {
  auto* control = new T(form);
  control->Name = name;
  if (caption) control->SetCaption(caption);
  control->SetBounds(left, top, width, height);
  control->SetParent(parent);
  return control;
}

// One picture's group: size boxes, its two check boxes and its place.
struct TPictureGroup {
  TGroupBox* Box;
  TEdit *Width, *Height, *Left, *Top;
  TCheckBox *Natural, *Transparent;
};

struct TPictureGroupNames {
  const char *box, *caption, *width, *height, *natural, *transparent, *left, *top, *leftLabel, *topLabel;
};

TPictureGroup AddPictureGroup(TFormWH* form, const TPictureGroupNames& n, int left, int top) {
  TPictureGroup g;
  g.Box = Add<TGroupBox>(form, form, n.box, n.caption, left, top, 250, 120);
  Add<TLabel>(form, g.Box, "", "宽：", 10, 22, 30, 16);
  g.Width = Add<TEdit>(form, g.Box, n.width, "", 40, 18, 70, 21);
  Add<TLabel>(form, g.Box, "", "高：", 125, 22, 30, 16);
  g.Height = Add<TEdit>(form, g.Box, n.height, "", 155, 18, 70, 21);
  g.Natural = Add<TCheckBox>(form, g.Box, n.natural, "实际大小", 10, 45, 100, 18);
  g.Transparent = Add<TCheckBox>(form, g.Box, n.transparent, "透明显示", 125, 45, 100, 18);
  Add<TLabel>(form, g.Box, "", n.leftLabel, 10, 72, 100, 16);
  g.Left = Add<TEdit>(form, g.Box, n.left, "", 110, 68, 70, 21);
  Add<TLabel>(form, g.Box, "", n.topLabel, 10, 96, 100, 16);
  g.Top = Add<TEdit>(form, g.Box, n.top, "", 110, 92, 70, 21);
  return g;
}

}  // namespace

TFormWH::TFormWH(TComponent* owner) : TForm(owner) {
  Name = "FormWH";
  SetCaption("版面设置");
  Position = poMainFormCenter;
  SetBounds(0, 0, 790, 430);

  const char* left = "左座标(像素)：";
  const char* top = "上座标(像素)：";
  TPictureGroup g = AddPictureGroup(
      this, {"GroupBox2", "图一的设置(毫米) ", "Edit5", "Edit6", "CheckBox2", "Pic1Transparent", "Edit11", "Edit12", left, top},
      8, 8);
  GroupBox2 = g.Box, Edit5 = g.Width, Edit6 = g.Height, CheckBox2 = g.Natural, Pic1Transparent = g.Transparent;
  Edit11 = g.Left, Edit12 = g.Top;
  g = AddPictureGroup(
      this, {"GroupBox3", "图二的设置(毫米) ", "Edit3", "Edit4", "CheckBox1", "Pic2Transparent", "Edit1", "Edit10", left, top},
      266, 8);
  GroupBox3 = g.Box, Edit3 = g.Width, Edit4 = g.Height, CheckBox1 = g.Natural, Pic2Transparent = g.Transparent;
  Edit1 = g.Left, Edit10 = g.Top;
  g = AddPictureGroup(this,
                      {"GroupBox5", "条形码的设置（毫米）", "EditBarcodeW", "EditBarcodeH", "CheckBarCode",
                       "BarcodeTransparent", "EditBarcodeL", "EditBarcodeT", left, top},
                      524, 8);
  GroupBox5 = g.Box, EditBarcodeW = g.Width, EditBarcodeH = g.Height, CheckBarCode = g.Natural;
  BarcodeTransparent = g.Transparent, EditBarcodeL = g.Left, EditBarcodeT = g.Top;
  g = AddPictureGroup(this,
                      {"GroupBox1", "标志图", "EditInsW", "EditInsH", "CheckBox3", "Image2Transparent", "EditInsL",
                       "EditInsT", "左座标(像素):", "上座标(像素):"},
                      8, 136);
  GroupBox1 = g.Box, EditInsW = g.Width, EditInsH = g.Height, CheckBox3 = g.Natural, Image2Transparent = g.Transparent;
  EditInsL = g.Left, EditInsT = g.Top;
  g = AddPictureGroup(this,
                      {"GroupBox7", "印章的设置（毫米）", "EditZhangW", "EditZhangH", "CheckZhang", "ZhangTransparent",
                       "EditZhangL", "EditZhangT", left, top},
                      266, 136);
  GroupBox7 = g.Box, EditZhangW = g.Width, EditZhangH = g.Height, CheckZhang = g.Natural;
  ZhangTransparent = g.Transparent, EditZhangL = g.Left, EditZhangT = g.Top;

  GroupBox6 = Add<TGroupBox>(this, this, "GroupBox6", "纸张设置", 524, 136, 250, 170);
  Add<TLabel>(this, GroupBox6, "", "底图大小 (毫米)", 10, 22, 120, 16);
  Edit8 = Add<TEdit>(this, GroupBox6, "Edit8", "", 10, 42, 70, 21);
  Add<TLabel>(this, GroupBox6, "", "×", 88, 46, 14, 16);
  Edit9 = Add<TEdit>(this, GroupBox6, "Edit9", "", 105, 42, 70, 21);
  Edit7 = Add<TEdit>(this, GroupBox6, "Edit7", "2", 10, 72, 50, 21);
  Add<TLabel>(this, GroupBox6, "", "列/页", 66, 76, 60, 16);
  Add<TLabel>(this, GroupBox6, "", "卡间距离(毫米) ", 10, 106, 110, 16);
  Edit2 = Add<TEdit>(this, GroupBox6, "Edit2", "", 125, 102, 70, 21);
  CheckPageE = Add<TCheckBox>(this, GroupBox6, "CheckPageE", "显示纸张边框", 10, 136, 150, 18);

  Button1 = Add<TButton>(this, this, "Button1", "确   定", 340, 340, 100, 30);
  Button1->OnClick = [this](TObject* s) { Button1Click(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
}

TFormWH::~TFormWH() {
  if (FormWH == this) FormWH = nullptr;
}

void TFormWH::ShowSize(TEdit* edit, int pixels) {
  const std::string text = PixelsAsMm(pixels, ppmm_);
  edit->SetText(text);
  shown_.push_back({edit, pixels, text});
}

void TFormWH::FormShow(TObject*) {
  TMainForm* m = MainForm;
  if (!m) return;
  ppmm_ = ScreenPixelsPerMm();
  shown_.clear();
  const std::pair<TEdit*, int> places[] = {
      {EditInsL, m->SignPic->GetLeft()},    {EditInsT, m->SignPic->GetTop()},
      {EditBarcodeL, m->BarcodeSet->GetLeft()}, {EditBarcodeT, m->BarcodeSet->GetTop()},
      {EditZhangL, m->ImageZhang->GetLeft()}, {EditZhangT, m->ImageZhang->GetTop()},
      {Edit1, m->PicTwo->GetLeft()},        {Edit10, m->PicTwo->GetTop()},
      {Edit11, m->PicOne->GetLeft()},       {Edit12, m->PicOne->GetTop()}};
  for (const auto& [edit, value] : places) edit->SetText(std::to_string(value));
  const std::pair<TEdit*, int> sizes[] = {
      {EditInsW, m->SignPic->GetWidth()},       {EditInsH, m->SignPic->GetHeight()},
      {EditBarcodeW, m->BarcodeSet->GetWidth()}, {EditBarcodeH, m->BarcodeSet->GetHeight()},
      {EditZhangW, m->ImageZhang->GetWidth()},  {EditZhangH, m->ImageZhang->GetHeight()},
      {Edit3, m->QRDBPicTwo->GetWidth()},       {Edit4, m->QRDBPicTwo->GetHeight()},
      {Edit5, m->QRDBPicOne->GetWidth()},       {Edit6, m->QRDBPicOne->GetHeight()},
      {Edit8, m->Drawor->GetWidth()},           {Edit9, m->Drawor->GetHeight()},
      {Edit2, m->DetailBand1->GetHeight() - m->QRDrawor->GetHeight()}};
  for (const auto& [edit, value] : sizes) ShowSize(edit, value);
  Edit7->SetText(std::to_string(m->QuickRep1->Page.Columns));
  CheckBox3->SetChecked(!m->SignPic->GetStretch());
  CheckBarCode->SetChecked(!m->BarcodeSet->GetStretch());
  CheckBox1->SetChecked(!m->PicTwo->GetStretch());
  CheckBox2->SetChecked(!m->PicOne->GetStretch());
  CheckZhang->SetChecked(!m->ImageZhang->GetStretch());
  CheckPageE->SetChecked(m->DetailBand1->Frame.DrawBottom);
  Image2Transparent->SetChecked(m->SignPic->GetTransparent());
  BarcodeTransparent->SetChecked(m->BarcodeSet->GetTransparent());
  Pic2Transparent->SetChecked(m->PicTwo->GetTransparent());
  Pic1Transparent->SetChecked(m->PicOne->GetTransparent());
  ZhangTransparent->SetChecked(m->ImageZhang->GetTransparent());
  BaseWidthShown = m->Drawor->GetWidth();
  BaseHeightShown = m->Drawor->GetHeight();
}
