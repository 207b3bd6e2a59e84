#include "records/uinputcol.h"

TFormInputCol* FormInputCol = nullptr;

TFormInputCol::TFormInputCol(TComponent* owner) : TForm(owner) {
  Name = "FormInputCol";
  SetCaption("将要入库的一列数据");
  Position = poMainFormCenter;
  Memo1 = new TMemo(this);
  Memo1->Name = "Memo1";
  Memo1->SetParent(this);
  Memo1->ScrollBars = ssBoth;
}

TFormInputCol::~TFormInputCol() {
  if (FormInputCol == this) FormInputCol = nullptr;
}
