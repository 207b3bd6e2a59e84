// The Excel workbook import.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormExcel : public TForm {
 public:
  explicit TFormExcel(TComponent* owner);
  ~TFormExcel() override;
};

extern TFormExcel* FormExcel;
