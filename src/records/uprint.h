// The seal designer.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormPrint : public TForm {
 public:
  explicit TFormPrint(TComponent* owner);
  ~TFormPrint() override;
};

extern TFormPrint* FormPrint;
