// The text column import.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TOpenDataForm : public TForm {
 public:
  explicit TOpenDataForm(TComponent* owner);
  ~TOpenDataForm() override;
};

extern TOpenDataForm* OpenDataForm;
