#include "records/upicprint.h"

#include "records/lzwcoders.h"

TFormPrintPic* FormPrintPic = nullptr;

TFormPrintPic::TFormPrintPic(TComponent* owner) : TForm(owner) {
  Name = "FormPrintPic";
  SetCaption("打印");
  SetBounds(0, 0, 544, 375);
  Position = poScreenCenter;
  InstallLZWCoders();
}

TFormPrintPic::~TFormPrintPic() {
  if (FormPrintPic == this) FormPrintPic = nullptr;
}
