// The column staging dialog: one column of values, one per line, checked
// and edited before it goes into one text field of successive records.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include <string>

#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

// The marks put before a line the amount conversion could not convert.
extern const char* const kNotAnAmountMark;
extern const char* const kAmountTooLargeMark;

class TFormInputCol : public TForm {
 public:
  explicit TFormInputCol(TComponent* owner);
  ~TFormInputCol() override;

  TMemo* Memo1;              // the staged column: line i is for record i + 1
  TButton* ButtonOK;         // "入库"
  TSpeedButton* SpeedButton5;  // "转大写金额"

  // Turns every line holding an amount into Chinese capitals. A negative
  // amount stays as it is; a line that is no number, or an amount too large
  // for capitals, is marked at its start and the other lines are converted
  // all the same; one message then names how many lines are marked.
  void SpeedButton5Click(TObject* sender);
};

extern TFormInputCol* FormInputCol;

// Writes the staged lines into `field` of successive records of the
// card-holder table (line i into record i + 1, appending records past the
// end) after the user confirms; `progress` shows how far it is.
void WriteStagedColumn(const std::string& field, TProgressBar* progress);
