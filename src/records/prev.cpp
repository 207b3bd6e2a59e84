#include "records/prev.h"

TPrevForm* PrevForm = nullptr;

TPrevForm::TPrevForm(TComponent* owner) : TForm(owner) {
  Name = "PrevForm";
  SetCaption("预览");
  Position = poMainFormCenter;
}

TPrevForm::~TPrevForm() {
  if (PrevForm == this) PrevForm = nullptr;
}
