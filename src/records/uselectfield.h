// The field chooser: picks one of the 13 text fields by its caption.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include <string>

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

class TFormSelectField : public TForm {
 public:
  explicit TFormSelectField(TComponent* owner);
  ~TFormSelectField() override;

  TRadioGroup* RadioGroup1;  // "请选字段": item i is field position i
  TButton* Button1;          // "确 定"

  // Takes the designer's field captions; the choice stays from the last
  // use, and with none yet the first field is chosen, so the chooser never
  // confirms without a field.
  void FormShow(TObject* sender);

  // The field name of the chosen position: the field the designer's
  // printed text of that position shows ("AAAA" .. "MMMM").
  std::string ChosenField() const;
};

extern TFormSelectField* FormSelectField;

// The field name of text position i (0 .. 12).
std::string FieldOfPosition(int position);
