// A colour chooser in hue, saturation and value: a square of every
// saturation (left to right) and value (bottom to top) of the current hue,
// and a bar of every hue at the right. Dragging in the square or the bar
// chooses; the control keeps the colour's red, green and blue and tells
// OnChange. Setting a value from code tells nobody.
#pragma once

#include <cstdint>

#include "platform/controls.h"
#include "platform/graphics.h"

class THSVBox : public TCustomControl {
 public:
  explicit THSVBox(TComponent* owner);

  int GetHue() const { return hue_; }
  int GetSat() const { return sat_; }
  int GetVal() const { return val_; }
  // Clamped to 0..359, 0..99 and 0..99.
  void SetHue(int v);
  void SetSat(int v);
  void SetVal(int v);
  void SetRGB(uint8_t r, uint8_t g, uint8_t b);
  // System colours are resolved for the channels; Color keeps the value.
  void SetColor(TColor c);
  uint8_t Red = 0, Green = 0, Blue = 0;
  TColor GetColor() const { return color_; }
  TColor GetBackground() const { return background_; }
  void SetBackground(TColor c);
  int GetHueBarWidth() const { return hueBarWidth_; }
  void SetHueBarWidth(int w);
  int GetBarsDistance() const { return barsDistance_; }
  void SetBarsDistance(int d);
  TNotifyEvent OnChange;
  const TBitmap& Buffer() const { return buffer_; }

 protected:
  void Paint() override;
  void Dispatch(TMessage& message) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  int SquareWidth() const { return buffer_.GetWidth() - barsDistance_ - hueBarWidth_; }
  void DrawBar();
  void DrawSquare();
  // Inverting outlines: drawing them twice removes them.
  void DrawGrips();
  void ColourFromHSV();
  void Redraw();
  void ChooseAt(int x, int y);

  TBitmap buffer_;
  int hue_ = 0, sat_ = 0, val_ = 0;
  TColor color_ = 0;
  TColor background_ = clBtnFace;
  int hueBarWidth_ = 20, barsDistance_ = 5;
  int zone_ = 0;  // 0 none, 1 square, 2 hue bar
};
