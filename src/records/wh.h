// The layout settings in millimetres and pixels.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormWH : public TForm {
 public:
  explicit TFormWH(TComponent* owner);
  ~TFormWH() override;
};

extern TFormWH* FormWH;
