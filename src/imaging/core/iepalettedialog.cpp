#include "imaging/core/iepalettedialog.h"

#include "imaging/core/ievalues.h"
#include "platform/stdctrls.h"

TPixPaletteDialog::TPixPaletteDialog(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsDialog);
  Position = poScreenCenter;
  SetBounds(GetLeft(), GetTop(), 539, 199);
  CancelButton = new TButton(this);
  CancelButton->SetParent(this);
  CancelButton->SetLeft(8);
  CancelButton->SetTop(144);
  CancelButton->SetCaption("&Cancel");
  CancelButton->ModalResult = mrCancel;
  CancelButton->Cancel = true;
}

void TPixPaletteDialog::SetPalette(const TRGB* palette, int count) {
  palette_.assign(palette, palette + (palette && count > 0 ? count : 0));
  hovered_ = -1;
  Invalidate();
}

bool TPixPaletteDialog::Execute() { return ShowModal() == mrOk; }

void TPixPaletteDialog::Paint() {
  TCanvas* canvas = GetCanvas();
  canvas->Pen->Style = psSolid;
  canvas->Pen->Mode = pmCopy;
  canvas->Brush->Style = bsSolid;
  for (int i = 0; i < int(palette_.size()); ++i) {
    int x = CellSize * (i % Columns), y = CellSize * (i / Columns);
    canvas->Brush->Color = TRGB2TColor(palette_[size_t(i)]);
    canvas->Pen->Color = i == hovered_ ? clBlack : clWhite;
    canvas->Rectangle(x + 1, y + 1, x + CellSize, y + CellSize);
  }
}

void TPixPaletteDialog::MouseMove(TShiftState shift, int x, int y) {
  TForm::MouseMove(shift, x, y);
  // Division toward zero, so the pixel left of (or above) the first cell
  // still counts as its own.
  int column = (x - 1) / CellSize, row = (y - 1) / CellSize;
  // Past the last column the count would run on into the next row's cells.
  if (column >= Columns) return;
  int cell = column + row * Columns;
  if (cell < 0 || cell >= int(palette_.size()) || cell == hovered_) return;
  hovered_ = cell;
  Repaint();
}

void TPixPaletteDialog::Click() {
  TForm::Click();
  if (hovered_ < 0) return;
  SelectedColor = TRGB2TColor(palette_[size_t(hovered_)]);
  ModalResult = mrOk;
}
