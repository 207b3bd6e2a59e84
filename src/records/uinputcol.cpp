#include "records/uinputcol.h"

TFormInputCol* FormInputCol = nullptr;

TFormInputCol::TFormInputCol(TComponent* owner) : TForm(owner) {
  Name = "FormInputCol";
  SetCaption("将要入库的一列数据");
  Position = poMainFormCenter;
}

TFormInputCol::~TFormInputCol() {
  if (FormInputCol == this) FormInputCol = nullptr;
}
