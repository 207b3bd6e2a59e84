#include "records/wh.h"

TFormWH* FormWH = nullptr;

TFormWH::TFormWH(TComponent* owner) : TForm(owner) {
  Name = "FormWH";
  SetCaption("版面设置");
  Position = poMainFormCenter;
}

TFormWH::~TFormWH() {
  if (FormWH == this) FormWH = nullptr;
}
