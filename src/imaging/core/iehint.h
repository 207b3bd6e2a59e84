// A small floating hint: a light yellow box with a raised edge that shows
// one line of text and lets the mouse through to what lies below. Its
// owner places it, sizes it through SetText and shows it.
#pragma once

#include <string>

#include "platform/controls.h"

class TIEHint : public TCustomControl {
 public:
  explicit TIEHint(TComponent* owner);

  // Stores the text and sizes the hint to it (text extent + 4 each way).
  void SetText(const std::string& text);
  // Copies the font into the hint; nullptr changes nothing.
  void SetFont(TFont* font);
  TFont* GetHintFont() { return &font_; }

 protected:
  void Paint() override;
  void Dispatch(TMessage& message) override;

 private:
  TFont font_;
};
