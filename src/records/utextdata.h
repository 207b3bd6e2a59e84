// The database editing window.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormTextData : public TForm {
 public:
  explicit TFormTextData(TComponent* owner);
  ~TFormTextData() override;
};

extern TFormTextData* FormTextData;
