// Scanner capture into the picture fields.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormScanner : public TForm {
 public:
  explicit TFormScanner(TComponent* owner);
  ~TFormScanner() override;
};

extern TFormScanner* FormScanner;
