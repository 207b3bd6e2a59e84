// The folder-and-format chooser of the collect-save and of the picture imports and exports.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormDir : public TForm {
 public:
  explicit TFormDir(TComponent* owner);
  ~TFormDir() override;
};

extern TFormDir* FormDir;
