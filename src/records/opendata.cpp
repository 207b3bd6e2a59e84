#include "records/opendata.h"

TOpenDataForm* OpenDataForm = nullptr;

TOpenDataForm::TOpenDataForm(TComponent* owner) : TForm(owner) {
  Name = "OpenDataForm";
  SetCaption("批量导入文本");
  Position = poMainFormCenter;
}

TOpenDataForm::~TOpenDataForm() {
  if (OpenDataForm == this) OpenDataForm = nullptr;
}
