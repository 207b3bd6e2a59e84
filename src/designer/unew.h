// The new-template wizard: a blank card or a template of the library.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

class TFormNew : public TForm {
 public:
  explicit TFormNew(TComponent* owner);
  ~TFormNew() override;

  TRadioGroup* RGselect;  // "向导": none chosen at first
  TButton* ButtonOK;      // "确定"
  TButton* ButtonNO;      // "取消"
  // Runs the chosen entry's action (none chosen: nothing) and hides.
  void ButtonOKClick(TObject* Sender);
};

extern TFormNew* FormNew;
