// The new-template wizard: the stock template categories and a blank card.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormNew : public TForm {
 public:
  explicit TFormNew(TComponent* owner);
  ~TFormNew() override;
};

extern TFormNew* FormNew;
