#include "records/uprint.h"

TFormPrint* FormPrint = nullptr;

TFormPrint::TFormPrint(TComponent* owner) : TForm(owner) {
  Name = "FormPrint";
  SetCaption("印章设计");
  Position = poMainFormCenter;
}

TFormPrint::~TFormPrint() {
  if (FormPrint == this) FormPrint = nullptr;
}
