// The print preview of the card report, with page setup and page pictures.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TPrevForm : public TForm {
 public:
  explicit TPrevForm(TComponent* owner);
  ~TPrevForm() override;
};

extern TPrevForm* PrevForm;
