#include "designer/dirunit.h"

TFormDir* FormDir = nullptr;

TFormDir::TFormDir(TComponent* owner) : TForm(owner) {
  Name = "FormDir";
  SetCaption("选择要保存的目录");
  Position = poMainFormCenter;
  SetClientWidth(420);
  SetClientHeight(330);
}

TFormDir::~TFormDir() {
  if (FormDir == this) FormDir = nullptr;
}
