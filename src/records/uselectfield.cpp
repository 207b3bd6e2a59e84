#include "records/uselectfield.h"

#include <algorithm>

#include "designer/main.h"

TFormSelectField* FormSelectField = nullptr;

namespace {

constexpr TColor kSkyBlue = 0xF0CAA6;

}  // namespace

std::string FieldOfPosition(int position) {
  position = std::clamp(position, 0, kTextSlots - 1);
  if (MainForm && MainForm->QRDBTexts[size_t(position)] && !MainForm->QRDBTexts[size_t(position)]->DataField.empty())
    return MainForm->QRDBTexts[size_t(position)]->DataField;
  return std::string(4, char('A' + position));
}

TFormSelectField::TFormSelectField(TComponent* owner) : TForm(owner) {
  Name = "FormSelectField";
  SetCaption("选字段");
  Position = poMainFormCenter;
  SetBorderStyle(bsDialog);
  SetColor(kSkyBlue);
  SetClientWidth(180);
  SetClientHeight(330);

  RadioGroup1 = new TRadioGroup(this);
  RadioGroup1->Name = "RadioGroup1";
  RadioGroup1->SetParent(this);
  RadioGroup1->SetBounds(8, 8, 164, 280);
  RadioGroup1->SetCaption("请选字段");
  RadioGroup1->SetColor(kSkyBlue);  // the group shows the window's colour
  for (int i = 0; i < kTextSlots; ++i) RadioGroup1->GetItems()->Add(FieldOfPosition(i));

  Button1 = new TButton(this);
  Button1->Name = "Button1";
  Button1->SetParent(this);
  Button1->SetBounds(52, 296, 75, 25);
  Button1->SetCaption("确 定");
  Button1->ModalResult = mrOk;

  OnShow = [this](TObject* s) { FormShow(s); };
}

TFormSelectField::~TFormSelectField() {
  if (FormSelectField == this) FormSelectField = nullptr;
}

void TFormSelectField::FormShow(TObject*) {
  if (MainForm && MainForm->CheckListBox1) {
    TStrings* captions = MainForm->CheckListBox1->GetItems();
    for (int i = 0; i < kTextSlots && i < captions->Count(); ++i) RadioGroup1->GetItems()->Put(i, captions->Get(i));
  }
  if (RadioGroup1->GetItemIndex() < 0) RadioGroup1->SetItemIndex(0);
}

std::string TFormSelectField::ChosenField() const {
  return FieldOfPosition(std::max(RadioGroup1->GetItemIndex(), 0));
}
