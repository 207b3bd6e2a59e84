#include "designer/unew.h"

TFormNew* FormNew = nullptr;

TFormNew::TFormNew(TComponent* owner) : TForm(owner) {
  Name = "FormNew";
  SetCaption("新建模板:请向作者提供您设计的优秀模板。");
  Position = poMainFormCenter;
  SetClientWidth(500);
  SetClientHeight(260);
}

TFormNew::~TFormNew() {
  if (FormNew == this) FormNew = nullptr;
}
