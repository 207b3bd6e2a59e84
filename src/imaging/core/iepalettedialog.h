// A modal picker that shows a palette as a grid of 16 x 16-pixel cells,
// 32 to a row. Hovering a cell outlines it in black; clicking takes its
// colour. Callers caption the cancel button in their own language.
#pragma once

#include <vector>

#include "imaging/core/iedefs.h"
#include "platform/forms.h"

class TButton;

class TPixPaletteDialog : public TForm {
 public:
  explicit TPixPaletteDialog(TComponent* owner);

  // The colours to show (count of them).
  void SetPalette(const TRGB* palette, int count);
  // Shows the dialog modally; true when a cell was clicked, SelectedColor
  // then holding its colour.
  bool Execute();
  // The cell under the mouse last, or -1.
  int HoveredCell() const { return hovered_; }

  TButton* CancelButton;
  TColor SelectedColor = clBlack;

  static constexpr int CellSize = 16;
  static constexpr int Columns = 32;

 protected:
  void Paint() override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void Click() override;

 private:
  std::vector<TRGB> palette_;
  int hovered_ = -1;
};
