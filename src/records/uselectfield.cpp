#include "records/uselectfield.h"

TFormSelectField* FormSelectField = nullptr;

TFormSelectField::TFormSelectField(TComponent* owner) : TForm(owner) {
  Name = "FormSelectField";
  SetCaption("选字段");
  Position = poMainFormCenter;
}

TFormSelectField::~TFormSelectField() {
  if (FormSelectField == this) FormSelectField = nullptr;
}
