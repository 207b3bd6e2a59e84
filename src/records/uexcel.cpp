#include "records/uexcel.h"

TFormExcel* FormExcel = nullptr;

TFormExcel::TFormExcel(TComponent* owner) : TForm(owner) {
  Name = "FormExcel";
  SetCaption("Excel数据导入");
  Position = poMainFormCenter;
}

TFormExcel::~TFormExcel() {
  if (FormExcel == this) FormExcel = nullptr;
}
