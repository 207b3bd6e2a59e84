#include "designer/editbox.h"

TFormEditBox* FormEditBox = nullptr;

TFormEditBox::TFormEditBox(TComponent* owner) : TForm(owner) {
  Name = "FormEditBox";
  SetCaption("文本");
  Position = poMainFormCenter;
  SetClientWidth(400);
  SetClientHeight(260);
}

TFormEditBox::~TFormEditBox() {
  if (FormEditBox == this) FormEditBox = nullptr;
}
