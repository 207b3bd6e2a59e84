// The barcode batch window: one barcode picture per record.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormBarcode : public TForm {
 public:
  explicit TFormBarcode(TComponent* owner);
  ~TFormBarcode() override;
};

extern TFormBarcode* FormBarcode;
