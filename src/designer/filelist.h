// The recent-templates window: the five templates saved last.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

class TFormFileList : public TForm {
 public:
  explicit TFormFileList(TComponent* owner);
  ~TFormFileList() override;

  TRadioGroup* RadioGroup1;  // "文件名": one entry per recent slot
  TButton* Button1;          // "打开"
  // Lists the main window's recent templates, slot 0 to 4.
  void FormShow(TObject* Sender);
  // Opens the chosen slot's template (none chosen: nothing) and hides.
  void Button1Click(TObject* Sender);
};

extern TFormFileList* FormFileList;
