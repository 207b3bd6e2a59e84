// Camera capture into the photo field.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormCatchPic : public TForm {
 public:
  explicit TFormCatchPic(TComponent* owner);
  ~TFormCatchPic() override;
};

extern TFormCatchPic* FormCatchPic;
