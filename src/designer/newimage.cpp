#include "designer/newimage.h"

Tnewimageform* newimageform = nullptr;

Tnewimageform::Tnewimageform(TComponent* owner) : TForm(owner) {
  Name = "newimageform";
  SetCaption("新建版图");
  Position = poMainFormCenter;
}

Tnewimageform::~Tnewimageform() {
  if (newimageform == this) newimageform = nullptr;
}
