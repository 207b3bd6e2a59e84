// The field chooser.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormSelectField : public TForm {
 public:
  explicit TFormSelectField(TComponent* owner);
  ~TFormSelectField() override;
};

extern TFormSelectField* FormSelectField;
