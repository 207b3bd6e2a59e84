#include "barcode/ubarcode.h"

TFormBarcode* FormBarcode = nullptr;

TFormBarcode::TFormBarcode(TComponent* owner) : TForm(owner) {
  Name = "FormBarcode";
  SetCaption("生成条形码");
  Position = poMainFormCenter;
}

TFormBarcode::~TFormBarcode() {
  if (FormBarcode == this) FormBarcode = nullptr;
}
