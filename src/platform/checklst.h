// A list box with a check mark before each entry. A press on the mark
// flips it (OnClickCheck) before the list reports its click (OnClick, on
// release), so the click handler sees the new mark.
#pragma once

#include "platform/stdctrls.h"

class TCheckListBox : public TCustomListBox {
 public:
  explicit TCheckListBox(TComponent* owner);
  bool GetChecked(int index) const { return items_.GetState(index) == cbChecked; }
  void SetChecked(int index, bool v);
  TCheckBoxState GetState(int index) const { return TCheckBoxState(items_.GetState(index)); }
  void SetState(int index, TCheckBoxState state);
  bool AllowGrayed = false;
  TNotifyEvent OnClickCheck;

 protected:
  void ItemPressed(int index, int x) override;
  void DrawItem(int index, TRect rect, bool selected) override;
  void KeyPress(char16_t& key) override;

 private:
  void Toggle(int index);
};
