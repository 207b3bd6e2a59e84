// The print dialog: margins, position, size, gamma and units beside a
// live preview of the page; OK prints.
#include <string>

#include "imaging/view/pixview.h"
#include "imaging/view/printdlg.h"
#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

namespace {

template <class T>
T* Make(TForm* form, TWinControl* parent, const char* name, int x, int y, int w, int h) {
  auto* c = new T(form);
  c->Name = name;
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

TLabel* MakeLabel(TForm* form, TWinControl* parent, const char* name, int x, int y) {
  auto* l = Make<TLabel>(form, parent, name, x, y, 60, 15);
  l->SetAutoSize(true);
  return l;
}

}  // namespace

Tfieprnform2::Tfieprnform2(TComponent* owner) : TIEPrintForm(owner) {
  Name = "fieprnform2";
  SetBorderStyle(bsDialog);
  Position = poScreenCenter;
  SetClientWidth(664);
  SetClientHeight(356);

  GroupBox1 = Make<TGroupBox>(this, this, "GroupBox1", 8, 4, 248, 100);
  Label1 = MakeLabel(this, GroupBox1, "Label1", 12, 28);
  TopEdit = MakeEdit(1, GroupBox1, 60, 24, "1");
  Label4 = MakeLabel(this, GroupBox1, "Label4", 128, 28);
  BottomEdit = MakeEdit(4, GroupBox1, 176, 24, "1");
  Label2 = MakeLabel(this, GroupBox1, "Label2", 12, 64);
  LeftEdit = MakeEdit(2, GroupBox1, 60, 60, "1");
  Label3 = MakeLabel(this, GroupBox1, "Label3", 128, 64);
  RightEdit = MakeEdit(3, GroupBox1, 176, 60, "1");

  GroupBox2 = Make<TGroupBox>(this, this, "GroupBox2", 8, 108, 248, 124);
  MakePositionButtons(GroupBox2, 76, 20, 32);

  GroupBox3 = Make<TGroupBox>(this, this, "GroupBox3", 264, 4, 168, 128);
  MakeSizeCombo(GroupBox3, 8, 22, 152);
  Label5 = MakeLabel(this, GroupBox3, "Label5", 8, 64);
  MakeEdit(5, GroupBox3, 56, 60, "6");
  Label7 = MakeLabel(this, GroupBox3, "Label7", 124, 64);
  Label6 = MakeLabel(this, GroupBox3, "Label6", 8, 96);
  MakeEdit(6, GroupBox3, 56, 92, "4");
  Label8 = MakeLabel(this, GroupBox3, "Label8", 124, 96);

  GroupBox4 = Make<TGroupBox>(this, this, "GroupBox4", 264, 136, 168, 56);
  Label9 = MakeLabel(this, GroupBox4, "Label9", 8, 26);
  MakeEdit(7, GroupBox4, 56, 22, "1");

  GroupBox5 = Make<TGroupBox>(this, this, "GroupBox5", 264, 196, 168, 56);
  Label10 = MakeLabel(this, GroupBox5, "Label10", 8, 26);
  ComboBox2 = Make<TComboBox>(this, GroupBox5, "ComboBox2", 56, 22, 104, 21);
  ComboBox2->SetStyle(csDropDownList);
  ComboBox2->GetItems()->Add("英寸Inches");
  ComboBox2->GetItems()->Add("厘米Cm");
  ComboBox2->SetItemIndex(0);
  GroupBox5->SetVisible(false);

  Button1 = Make<TButton>(this, this, "Button1", 8, 320, 96, 26);
  Button1->ModalResult = mrOk;
  Button1->Default = true;
  Button2 = Make<TButton>(this, this, "Button2", 112, 320, 96, 26);
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  Button4 = Make<TButton>(this, this, "Button4", 264, 320, 144, 26);
  PrinterSetupDialog1 = new TPrinterSetupDialog(this);
  PrinterSetupDialog1->Name = "PrinterSetupDialog1";

  GroupBox6 = Make<TGroupBox>(this, this, "GroupBox6", 440, 4, 216, 342);
  MakePreviewView(GroupBox6);
  PixView1->SetBounds(8, 18, 200, 316);

  WireSettings();
  ComboBox2->OnChange = [this](TObject* s) { ComboBox2Change(s); };
  Button1->OnClick = [this](TObject* s) { Button1Click(s); };
  Button4->OnClick = [this](TObject* s) { Button4Click(s); };
  OnShow = [this](TObject*) { activatedSinceShow_ = false; };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  EnableSizeControls(false);
  SetLanguage(msSystem);
}

void Tfieprnform2::SetLanguage(TMsgLanguage language) {
  language_ = language;
  auto word = [language](TMsgLanguageWords w) { return iemsg(w, language); };
  auto framed = [&](TMsgLanguageWords w) { return " " + word(w) + " "; };
  SetCaption(word(IEMSG_PRINT));
  Label1->SetCaption(word(IEMSG_TOP));
  Label2->SetCaption(word(IEMSG_LEFT));
  Label3->SetCaption(word(IEMSG_RIGHT));
  Label4->SetCaption(word(IEMSG_BOTTOM));
  GroupBox2->SetCaption(framed(IEMSG_POSITION));
  GroupBox6->SetCaption(framed(IEMSG_PREVIEW));
  GroupBox3->SetCaption(framed(IEMSG_SIZE));
  const int mode = ComboBox1->GetItemIndex();
  const TMsgLanguageWords modes[] = {IEMSG_NORMAL, IEMSG_FITTOPAGE, IEMSG_STRETCHTOPAGE, IEMSG_SPECIFIEDSIZE};
  for (int i = 0; i < 4; ++i) ComboBox1->GetItems()->Put(i, word(modes[i]));
  ComboBox1->SetItemIndex(mode);
  Label5->SetCaption(word(IEMSG_WIDTH));
  Label6->SetCaption(word(IEMSG_HEIGHT));
  GroupBox4->SetCaption(framed(IEMSG_GAMMACORRECTION));
  Label9->SetCaption(word(IEMSG_VALUE2));
  Button1->SetCaption(word(IEMSG_OK));
  Button2->SetCaption(word(IEMSG_CANCEL));
  Button4->SetCaption(word(IEMSG_PRINTSETUP) + "...");
  GroupBox5->SetCaption(framed(IEMSG_MEASUREUNITS));
  Label10->SetCaption(word(IEMSG_UNITS));
  const int unit = ComboBox2->GetItemIndex();
  ComboBox2->GetItems()->Put(0, word(IEMSG_INCHES));
  ComboBox2->SetItemIndex(unit);
  SetUnitCaptions();
}

void Tfieprnform2::SetUnitCaptions() {
  const std::string unit = InCm() ? "Cm" : iemsg(IEMSG_INCHES, language_);
  GroupBox1->SetCaption(" " + iemsg(IEMSG_MARGINS, language_) + " (" + unit + ") ");
  Label7->SetCaption(unit);
  Label8->SetCaption(unit);
}

void Tfieprnform2::EnableSizeControls(bool enabled) {
  TIEPrintForm::EnableSizeControls(enabled);
  Label5->SetEnabled(enabled);
  Label6->SetEnabled(enabled);
}

void Tfieprnform2::FormActivate(TObject*) {
  if (!activatedSinceShow_) ComboBox1->SetItemIndex(iesFITTOPAGE);
  activatedSinceShow_ = true;
  const bool selectable = DialogsMeasureUnit == ieduSelectableDefInches || DialogsMeasureUnit == ieduSelectableDefCm;
  GroupBox5->SetVisible(selectable);
  if (selectable) ComboBox2->SetItemIndex(DialogsMeasureUnit == ieduSelectableDefCm ? 1 : 0);
  SetUnitCaptions();
  EnableSizeControls(ComboBox1->GetItemIndex() == iesSPECIFIEDSIZE);
  DrawPreview();
}

void Tfieprnform2::ComboBox2Change(TObject*) {
  const TIEDialogsMeasureUnit unit = ComboBox2->GetItemIndex() == 1 ? ieduSelectableDefCm : ieduSelectableDefInches;
  if (unit == DialogsMeasureUnit) return;
  DialogsMeasureUnit = unit;
  const double factor = InCm() ? 2.54 : 0.3937007874015748;
  for (int i = 1; i <= 6; ++i)
    Edits[size_t(i)]->SetText(FloatToStr(IEPrintEditValue(Edits[size_t(i)]->GetText(), 0) * factor));
  SetUnitCaptions();
}

void Tfieprnform2::Button1Click(TObject*) { Print(); }

void Tfieprnform2::Button4Click(TObject*) {
  PrinterSetupDialog1->Execute();
  DrawPreview();
}
