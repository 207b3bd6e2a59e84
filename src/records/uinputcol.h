// The column staging dialog.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"
#include "platform/stdctrls.h"

class TFormInputCol : public TForm {
 public:
  explicit TFormInputCol(TComponent* owner);
  ~TFormInputCol() override;
  TMemo* Memo1;  // the staged column: one value per line
};

extern TFormInputCol* FormInputCol;
