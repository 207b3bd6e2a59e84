#include "platform/spin.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kButtonWidth = 15;

}  // namespace

TSpinEdit::TSpinEdit(TComponent* owner) : TCustomEdit(owner), button_(new TUpDown(this)) {
  SetBounds(0, 0, 121, 22);
  button_->SetParent(this);
  button_->Thousands = false;
  // The edit does the stepping, so that its limits and the typed text count.
  button_->SetMin(INT_MIN);
  button_->SetMax(INT_MAX);
  button_->OnClick = [this](TObject*, TUDBtnType which) {
    button_->SetPosition(0);
    Step(which == btNext ? Increment : -Increment);
  };
  SetText("0");
}

int TSpinEdit::WithinLimits(int value) const {
  return Limited() ? std::clamp(value, std::min(min_, max_), std::max(min_, max_)) : value;
}

int TSpinEdit::GetValue() const {
  int value;
  return TryStrToInt(Trim(GetText()), value) ? value : min_;
}

void TSpinEdit::SetValue(int value) { SetText(IntToStr(WithinLimits(value))); }

void TSpinEdit::SetMinValue(int value) { min_ = value; }

void TSpinEdit::SetMaxValue(int value) { max_ = value; }

void TSpinEdit::Step(int delta) {
  if (ReadOnly) return;
  const long long next = (long long)GetValue() + delta;
  SetValue(int(std::clamp<long long>(next, INT_MIN, INT_MAX)));
  SelectAll();
}

void TSpinEdit::PlaceButton() {
  const TRect r = GetClientRect();
  button_->SetBounds(r.Right - kButtonWidth, 0, kButtonWidth, r.Bottom);
}

void TSpinEdit::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
      if (m.WParam == WPARAM(VK_UP) || m.WParam == WPARAM(VK_DOWN)) {
        Step(m.WParam == WPARAM(VK_UP) ? Increment : -Increment);
        return;
      }
      break;
    case CM_EXIT:
      if (Limited() && GetValue() != WithinLimits(GetValue())) SetValue(GetValue());
      break;
    case WM_SIZE:
      TCustomEdit::Dispatch(m);
      PlaceButton();
      return;
  }
  TCustomEdit::Dispatch(m);
}
