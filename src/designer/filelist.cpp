#include "designer/filelist.h"

TFormFileList* FormFileList = nullptr;

TFormFileList::TFormFileList(TComponent* owner) : TForm(owner) {
  Name = "FormFileList";
  SetCaption("最近保存的模板");
  Position = poMainFormCenter;
  SetBorderStyle(bsDialog);  // only a close box
  SetClientWidth(560);
  SetClientHeight(230);
}

TFormFileList::~TFormFileList() {
  if (FormFileList == this) FormFileList = nullptr;
}
