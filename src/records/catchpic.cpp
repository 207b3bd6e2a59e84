#include "records/catchpic.h"

TFormCatchPic* FormCatchPic = nullptr;

TFormCatchPic::TFormCatchPic(TComponent* owner) : TForm(owner) {
  Name = "FormCatchPic";
  SetCaption("摄像");
  Position = poMainFormCenter;
}

TFormCatchPic::~TFormCatchPic() {
  if (FormCatchPic == this) FormCatchPic = nullptr;
}
