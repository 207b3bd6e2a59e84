#include "records/ubarcode.h"

#include <algorithm>
#include <vector>

#include "barcode/ubarcodetext.h"
#include "designer/main.h"
#include "imaging/view/pix.h"
#include "platform/bitmapcanvas.h"
#include "platform/dialogs.h"
#include "platform/printers.h"
#include "records/dbpicsu.h"
#include "records/tableguard.h"
#include "records/uselectfield.h"

TFormBarcode* FormBarcode = nullptr;
std::string BarcodeFieldName;

namespace {

// BMP, the picture type the barcode field holds.
constexpr TIEFileType kBarcodePictureType = ieftBMP;
// Refused records named in the report; the rest are counted.
constexpr size_t kListedRefusals = 10;

template <class T>
T* Place(TFormBarcode* form, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  T* control = new T(form);
  control->Name = name;
  control->SetParent(parent);
  control->SetFont(form->GetFont());
  control->SetBounds(left, top, width, height);
  return control;
}

TLabel* PlaceLabel(TFormBarcode* form, const char* name, const char* caption, int left, int top) {
  TLabel* label = Place<TLabel>(form, form, name, left, top, 0, 0);
  label->SetCaption(caption);
  return label;
}

TRadioGroup* PlaceGroup(TFormBarcode* form, const char* name, const char* caption,
                        const std::vector<const char*>& items, int columns, const TRect& at) {
  TRadioGroup* group = Place<TRadioGroup>(form, form, name, at.Left, at.Top, at.Width(), at.Height());
  group->SetCaption(caption);
  group->SetColumns(columns);
  for (const char* item : items) group->GetItems()->Add(item);
  return group;
}

TCheckBox* PlaceCheck(TFormBarcode* form, const char* name, const char* caption, int top) {
  TCheckBox* box = Place<TCheckBox>(form, form, name, 364, top, 206, 17);
  box->SetCaption(caption);
  return box;
}

// The resolution the cards print at; the screen's when no printer answers.
int PrintResolution() {
  try {
    const int dpi = Printer()->Resolution();
    if (dpi > 0) return dpi;
  } catch (const Exception&) {
  }
  return ScreenPixelsPerInch();
}

struct Refusal {
  int record;  // 1-based, in the table's order
  std::string text;
  TBarcodeTextFault fault;
};

void ReportBatch(int written, const std::vector<Refusal>& refused, const std::string& symbology) {
  if (refused.empty()) {
    ShowMessage("成功生成条形码!");
    return;
  }
  std::string text = "成功生成条形码 " + IntToStr(written) + " 个。\n以下 " + IntToStr(int64_t(refused.size())) +
                     " 条记录的内容不能编成 " + symbology + " 条码，没有生成条形码：";
  for (size_t i = 0; i < refused.size() && i < kListedRefusals; ++i)
    text += "\n第 " + IntToStr(refused[i].record) + " 条记录“" + refused[i].text + "”：" +
            BarcodeTextFaultText(refused[i].fault);
  if (refused.size() > kListedRefusals) text += "\n……";
  ShowMessage(text);
}

}  // namespace

void RenderBarcodeAt(TBarcode* barcode, TBitmap& bitmap, int dpi) {
  bitmap.SetPixelFormat(pf24bit);
  std::unique_ptr<TCanvas> canvas = MakeBitmapCanvas(&bitmap, dpi);
  TPoint size;
  barcode->InternalPrint(canvas.get(), 0, 0, &size);  // measures
  bitmap.SetSize(std::max(size.x, 1), std::max(size.y, 1));
  canvas->Brush->Color = clWhite;
  canvas->Brush->Style = bsSolid;
  canvas->FillRect({0, 0, bitmap.GetWidth(), bitmap.GetHeight()});
  barcode->InternalPrint(canvas.get(), 0, 0, &size);
}

TFormBarcode::TFormBarcode(TComponent* owner) : TForm(owner) {
  Name = "FormBarcode";
  SetCaption("生成条形码");
  Position = poMainFormCenter;
  SetBorderStyle(bsSingle);
  SetBounds(0, 0, 578, 432);
  GetFont()->Name = "宋体";
  GetFont()->Height = -13;
  GetFont()->Charset = GB2312_CHARSET;

  Label1 = PlaceLabel(this, "Label1", "Bar_Caption:内容", 8, 12);
  Edit1 = Place<TEdit>(this, this, "Edit1", 120, 8, 150, 21);
  Label2 = PlaceLabel(this, "Label2", "Bar_HeightPercent:", 290, 12);
  SE_HeightPerCent = Place<TSpinEdit>(this, this, "SE_HeightPerCent", 420, 8, 64, 21);
  SE_HeightPerCent->SetMinValue(20);
  SE_HeightPerCent->SetMaxValue(200);
  SE_HeightPerCent->Increment = 10;
  Label3 = PlaceLabel(this, "Label3", "Bar_CodeAddon(只对EAN-13/UPC-A有效):", 8, 40);
  Edit2 = Place<TEdit>(this, this, "Edit2", 290, 36, 80, 21);
  Label4 = PlaceLabel(this, "Label4", "(Bar_CodeAddon only available with EAN-13/UPC-A)", 8, 62);

  RGCodetyp = PlaceGroup(this, "RGCodetyp", "Bar_Codetyp条码类型",
                         {"EAN-8", "EAN-13", "UPC-A", "UPC-E", "Code 39", "Code 2/5 interleaved",
                          "Code 2/5i (Frachtpost)", "Code 128 A", "Code 128 B", "Code 128 C"},
                         1, {8, 82, 184, 262});
  RGModulewidth = PlaceGroup(this, "RGModulewidth", "Bar_ModuleWidth条宽",
                             {"SC0", "SC1", "SC2", "SC3", "SC4", "SC5", "SC6", "SC7", "SC8", "SC9"}, 2,
                             {192, 82, 356, 190});
  RGRotation = PlaceGroup(this, "RGRotation", "Bar_Rotation旋转角度", {"0", "90", "180", "270"}, 2,
                          {192, 194, 356, 262});
  RGRotation->SetItemIndex(0);
  CB_HighDensity = PlaceCheck(this, "CB_HighDensity", "Bar_HighDensity压缩", 92);
  CB_WidthReduce = PlaceCheck(this, "CB_WidthReduce", "Bar_WidthReduce细化", 120);
  CB_HumanReadable = PlaceCheck(this, "CB_HumanReadable", "Bar_HumanReadable显示数据", 148);
  CB_ZoomSize = PlaceCheck(this, "CB_ZoomSize", "Bar_ZoomSize扩展", 176);

  ScrollBox1 = Place<TScrollBox>(this, this, "ScrollBox1", 8, 270, 556, 90);
  Barcode1 = new TBarcode(this);
  Barcode1->Name = "Barcode1";
  Barcode1->SetParent(ScrollBox1);
  Barcode1->SetBounds(10, 14, 69, 66);
  Barcode1->SetBar_Caption("Test");
  Barcode1->SetBar_CodeType(CODE128_C);
  Barcode1->SetBar_Fontname("Arial");
  Barcode1->SetBar_ModuleWidth(SC2);
  Barcode1->SetBar_HighDensity(false);
  Barcode1->SetBar_WidthReduce(false);
  Barcode1->SetBar_ZoomSize(false);
  Barcode1->SetAutoSize(true);

  Label5 = PlaceLabel(this, "Label5", "选择生成条码的字段", 8, 374);
  ComboBox1 = Place<TComboBox>(this, this, "ComboBox1", 136, 370, 130, 21);
  ComboBox1->SetStyle(csDropDown);
  ComboBox1->SetText("姓名");
  PrintBtn = Place<TButton>(this, this, "PrintBtn", 300, 368, 120, 25);
  PrintBtn->SetCaption("批量生成条码");
  ExitBtn = Place<TButton>(this, this, "ExitBtn", 442, 368, 120, 25);
  ExitBtn->SetCaption("E&xit退出");

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
}

TFormBarcode::~TFormBarcode() {
  if (FormBarcode == this) FormBarcode = nullptr;
}

void TFormBarcode::FormCreate(TObject*) {
  SE_HeightPerCent->SetValue(Barcode1->GetBar_HeightPercent());
  RGModulewidth->SetItemIndex(Barcode1->GetBar_ModuleWidth());
  RGCodetyp->SetItemIndex(Barcode1->GetBar_CodeType());
  CB_HighDensity->SetChecked(Barcode1->GetBar_HighDensity());
  CB_WidthReduce->SetChecked(Barcode1->GetBar_WidthReduce());
  CB_HumanReadable->SetChecked(Barcode1->GetBar_HumanReadable());
  CB_ZoomSize->SetChecked(Barcode1->GetBar_ZoomSize());
  Edit1->SetText(Barcode1->GetBar_Caption());
  Edit2->SetText(Barcode1->GetBar_CodeAddon());
  // Wired after the controls hold the component's values, so that the
  // copies above write nothing back.
  WireControls();
}

void TFormBarcode::WireControls() {
  Edit1->OnChange = [this](TObject*) { Barcode1->SetBar_Caption(Edit1->GetText()); };
  SE_HeightPerCent->OnChange = [this](TObject*) {
    // A number is typed a digit at a time: only a complete one within the
    // component's range is taken; leaving the edit brings the rest in range.
    int value;
    if (TryStrToInt(Trim(SE_HeightPerCent->GetText()), value) && value >= 20 && value <= 200)
      Barcode1->SetBar_HeightPercent(value);
  };
  RGRotation->OnClick = [this](TObject*) {
    Barcode1->SetBar_Rotation(btCodeRotate(std::max(RGRotation->GetItemIndex(), 0)));
  };
  Edit2->OnChange = [this](TObject*) { Barcode1->SetBar_CodeAddon(Edit2->GetText()); };
  RGCodetyp->OnClick = [this](TObject*) {
    Barcode1->SetBar_CodeType(btCodeTypes(std::max(RGCodetyp->GetItemIndex(), 0)));
  };
  RGModulewidth->OnClick = [this](TObject*) {
    Barcode1->SetBar_ModuleWidth(btCodeSizes(std::max(RGModulewidth->GetItemIndex(), 0)));
  };
  CB_HighDensity->OnClick = [this](TObject*) { Barcode1->SetBar_HighDensity(CB_HighDensity->GetChecked()); };
  CB_WidthReduce->OnClick = [this](TObject*) { Barcode1->SetBar_WidthReduce(CB_WidthReduce->GetChecked()); };
  CB_HumanReadable->OnClick = [this](TObject*) { Barcode1->SetBar_HumanReadable(CB_HumanReadable->GetChecked()); };
  CB_ZoomSize->OnClick = [this](TObject*) { Barcode1->SetBar_ZoomSize(CB_ZoomSize->GetChecked()); };
  ComboBox1->OnChange = [this](TObject* s) { ComboBox1Change(s); };
  PrintBtn->OnClick = [this](TObject* s) { PrintBtnClick(s); };
  ExitBtn->OnClick = [this](TObject* s) { ExitBtnClick(s); };
}

void TFormBarcode::FormShow(TObject*) {
  // The captions may have been renamed since the last show: the chosen
  // position stays chosen under its new caption.
  const int chosen = ComboBox1->GetItemIndex();
  const std::string shown = ComboBox1->GetText();
  ComboBox1->GetItems()->Clear();
  if (MainForm && MainForm->CheckListBox1) {
    TStrings* captions = MainForm->CheckListBox1->GetItems();
    for (int i = 0; i < kTextSlots && i < captions->Count(); ++i) ComboBox1->GetItems()->Add(captions->Get(i));
  }
  if (chosen >= 0 && chosen < ComboBox1->GetItems()->Count())
    ComboBox1->SetItemIndex(chosen);
  else
    ComboBox1->SetText(shown);
}

std::string TFormBarcode::FieldShownInCombo() const {
  int index = ComboBox1->GetItemIndex();
  if (index < 0) index = ComboBox1->GetItems()->IndexOf(Trim(ComboBox1->GetText()));
  return index >= 0 && index < kTextSlots ? FieldOfPosition(index) : std::string();
}

void TFormBarcode::ComboBox1Change(TObject*) { BarcodeFieldName = FieldShownInCombo(); }

void TFormBarcode::PrintBtnClick(TObject*) {
  // The field the combo box shows is the one the batch takes, also before
  // any choice was made.
  BarcodeFieldName = FieldShownInCombo();
  if (BarcodeFieldName.empty()) {
    ShowMessage("请在“选择生成条码的字段”中选一个字段。");
    return;
  }
  TTable* table = FormPicEdit->Table1;
  TTableBatch batch;
  if (!batch.Ok()) return;
  table->SetActive(true);
  TField* source = table->FieldByName(BarcodeFieldName);
  auto* target = dynamic_cast<TBlobField*>(table->FieldByName("BARCODE"));
  if (!target) throw EDatabaseError("Field 'BARCODE' is not a picture field");
  const lbtCodeTypes type = Barcode1->GetBar_CodeType();
  const int dpi = PrintResolution();
  TBitmap bitmap;
  TMemoryStream stream;
  std::vector<Refusal> refused;
  int written = 0, record = 0;
  table->First();
  while (!table->Eof()) {
    if (!batch.Ok()) return;  // the guard stopped it and has said why
    ++record;
    const std::string text = source->GetAsString();
    const TBarcodeTextFault fault = BarcodeTextFault(text, type);
    if (fault != btfNone) {
      refused.push_back({record, text, fault});
      table->Next();
      continue;
    }
    Barcode1->SetBar_Caption(text);
    RenderBarcodeAt(Barcode1, bitmap, dpi);
    table->Edit();
    MainForm->Pix1->Assign(&bitmap);
    MainForm->Pix1->GetIOParams()->DPIX = dpi;
    MainForm->Pix1->GetIOParams()->DPIY = dpi;
    MainForm->Pix1->SaveToStream(&stream, kBarcodePictureType);
    target->LoadFromStream(&stream);
    stream.Clear();
    table->Next();
    ++written;
  }
  if (!batch.Ok()) return;
  const int typeIndex = int(type);
  ReportBatch(written, refused,
              typeIndex < RGCodetyp->GetItems()->Count() ? RGCodetyp->GetItems()->Get(typeIndex) : "");
}

void TFormBarcode::ExitBtnClick(TObject*) { Hide(); }
