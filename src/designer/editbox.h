// The editor of a text item's caption.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormEditBox : public TForm {
 public:
  explicit TFormEditBox(TComponent* owner);
  ~TFormEditBox() override;
};

extern TFormEditBox* FormEditBox;
