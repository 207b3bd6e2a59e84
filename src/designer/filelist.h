// The recent-templates window.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/forms.h"

class TFormFileList : public TForm {
 public:
  explicit TFormFileList(TComponent* owner);
  ~TFormFileList() override;
};

extern TFormFileList* FormFileList;
