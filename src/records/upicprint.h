// The single card picture window: shows the current card as a picture and
// prints it.
#pragma once

#include "platform/forms.h"

class TFormPrintPic : public TForm {
 public:
  explicit TFormPrintPic(TComponent* owner);
  ~TFormPrintPic() override;
};

extern TFormPrintPic* FormPrintPic;
