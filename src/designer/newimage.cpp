#include "designer/newimage.h"

Tnewimageform* newimageform = nullptr;

Tnewimageform::Tnewimageform(TComponent* owner) : TForm(owner) {
  Name = "newimageform";
  SetCaption("新建版图");
  Position = poMainFormCenter;
  SetClientWidth(300);
  SetClientHeight(180);
}

Tnewimageform::~Tnewimageform() {
  if (newimageform == this) newimageform = nullptr;
}
