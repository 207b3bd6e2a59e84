// The size dialog of a new layout picture.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class Tnewimageform : public TForm {
 public:
  explicit Tnewimageform(TComponent* owner);
  ~Tnewimageform() override;
};

extern Tnewimageform* newimageform;
