// The spin edit: an edit for a whole number with two arrow buttons inside
// its right edge. The arrows and the Up and Down keys step Value by
// Increment within MinValue and MaxValue (no limit while both are 0);
// typing edits the text freely, and leaving the edit puts a number outside
// the limits back inside them. OnChange fires on every change of the text.
#pragma once

#include "platform/comctrls.h"
#include "platform/stdctrls.h"

class TSpinEdit : public TCustomEdit {
 public:
  explicit TSpinEdit(TComponent* owner);

  // The number typed; MinValue when the text is no number.
  int GetValue() const;
  // Sets the text to the value brought within the limits.
  void SetValue(int value);
  int GetMinValue() const { return min_; }
  void SetMinValue(int value);
  int GetMaxValue() const { return max_; }
  void SetMaxValue(int value);
  int Increment = 1;

  // The arrow buttons (a child control at the right edge).
  TUpDown* Button() const { return button_; }

  void Dispatch(TMessage& m) override;

 private:
  bool Limited() const { return min_ != 0 || max_ != 0; }
  int WithinLimits(int value) const;
  void Step(int delta);
  void PlaceButton();

  TUpDown* button_;
  int min_ = 0, max_ = 0;
};
