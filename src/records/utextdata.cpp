#include "records/utextdata.h"

TFormTextData* FormTextData = nullptr;

TFormTextData::TFormTextData(TComponent* owner) : TForm(owner) {
  Name = "FormTextData";
  SetCaption("数据库编辑");
  Position = poMainFormCenter;
}

TFormTextData::~TFormTextData() {
  if (FormTextData == this) FormTextData = nullptr;
}
