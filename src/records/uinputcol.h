// The column staging dialog.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormInputCol : public TForm {
 public:
  explicit TFormInputCol(TComponent* owner);
  ~TFormInputCol() override;
};

extern TFormInputCol* FormInputCol;
