#include "imaging/core/iepalettedialog.h"

#include <gtest/gtest.h>

#include "imaging/core/ievalues.h"
#include "platform/dialogs.h"
#include "platform/stdctrls.h"

namespace {

// Colours that differ cell by cell: red from the index, green from its row.
std::vector<TRGB> TestPalette(int count) {
  std::vector<TRGB> palette(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) palette[size_t(i)] = CreateRGB(uint8_t(i), uint8_t(40 + i / 32), 200);
  return palette;
}

void MoveTo(TPixPaletteDialog& d, int x, int y) { d.Perform(WM_MOUSEMOVE, 0, MakeLParam(x, y)); }

void ClickAt(TPixPaletteDialog& d, int x, int y) {
  MoveTo(d, x, y);
  d.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(x, y));
  d.Perform(WM_LBUTTONUP, 0, MakeLParam(x, y));
}

TEST(PixPaletteDialogTest, IsACentredDialogWithACancelButtonThatAnswersEscape) {
  TPixPaletteDialog d(nullptr);
  EXPECT_EQ(d.GetWidth(), 539);
  EXPECT_EQ(d.GetHeight(), 199);
  EXPECT_EQ(d.GetBorderStyle(), bsDialog);
  EXPECT_EQ(d.Position, poScreenCenter);
  EXPECT_EQ(d.GetCaption(), "");
  EXPECT_EQ(d.HoveredCell(), -1);
  TButton* cancel = d.CancelButton;
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->GetParent(), &d);
  EXPECT_EQ(cancel->GetOwner(), &d);
  EXPECT_EQ(cancel->GetLeft(), 8);
  EXPECT_EQ(cancel->GetTop(), 144);
  EXPECT_EQ(cancel->GetCaption(), "&Cancel");
  EXPECT_EQ(cancel->ModalResult, mrCancel);
  // Escape pressed on the form reaches the cancel button.
  TMessage escape{WM_KEYDOWN, WPARAM(VK_ESCAPE), 0, 0};
  d.KeyboardMessage(escape);
  EXPECT_EQ(d.ModalResult, mrCancel);
}

TEST(PixPaletteDialogTest, MouseHoversTheCellUnderItAndOnlyRealCells) {
  struct TStep {
    int x, y;
    int hovered;
  };
  // Cells are 16 x 16 from (1, 1), 32 to a row; 256 colours fill 8 rows.
  const TStep steps[] = {
      {17, 1, 1},      {1, 17, 32},     {0, 0, 0},          {512, 1, 31},  {5, 5, 0},
      {520, 1, 0},     // right of the last column: no cell (the old one stays)
      {497, 113, 255}, {1, 129, 255},   // below the last row
      {300, 40, 82},
  };
  TPixPaletteDialog d(nullptr);
  std::vector<TRGB> palette = TestPalette(256);
  d.SetPalette(palette.data(), 256);
  for (const TStep& s : steps) {
    MoveTo(d, s.x, s.y);
    EXPECT_EQ(d.HoveredCell(), s.hovered) << s.x << "," << s.y;
  }
  // A shorter palette has fewer cells.
  d.SetPalette(palette.data(), 40);
  EXPECT_EQ(d.HoveredCell(), -1);
  MoveTo(d, 17, 17);
  EXPECT_EQ(d.HoveredCell(), 33);
  MoveTo(d, 17 + 16 * 8, 17);
  EXPECT_EQ(d.HoveredCell(), 33);
}

TEST(PixPaletteDialogTest, CellsArePaintedFilledAndTheHoveredOneOutlinedBlack) {
  TPixPaletteDialog d(nullptr);
  std::vector<TRGB> palette = TestPalette(256);
  d.SetPalette(palette.data(), 256);
  MoveTo(d, 20, 20);  // cell 33
  d.Update();
  auto at = [&](int x, int y) { return d.GetCanvas()->GetPixel(x, y); };
  auto colourOf = [&](int cell) { return TRGB2TColor(palette[size_t(cell)]); };
  EXPECT_EQ(at(17, 17), clBlack);   // cell 33's outline
  EXPECT_EQ(at(31, 31), clBlack);
  EXPECT_EQ(at(20, 20), colourOf(33));
  EXPECT_EQ(at(1, 1), clWhite);     // cell 0's outline
  EXPECT_EQ(at(2, 2), colourOf(0));
  EXPECT_EQ(at(15, 15), clWhite);
  EXPECT_EQ(at(16 * 31 + 5, 16 * 7 + 5), colourOf(255));
  const TColor face = ColorToRGB(clBtnFace);
  EXPECT_EQ(at(16, 5), face);        // the gap between two cells
  EXPECT_EQ(at(5, 16 * 8 + 5), face);  // no ninth row
  EXPECT_EQ(at(16 * 32 + 5, 5), face);
}

TEST(PixPaletteDialogTest, ClickTakesTheHoveredColourAndExecuteTellsWhetherOneWasTaken) {
  std::vector<TRGB> palette = TestPalette(64);
  {
    TPixPaletteDialog d(nullptr);
    d.SetPalette(palette.data(), 64);
    d.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(700, 5));  // no cell yet: nothing
    d.Perform(WM_LBUTTONUP, 0, MakeLParam(700, 5));
    EXPECT_EQ(d.ModalResult, mrNone);
    ClickAt(d, 40, 20);  // cell 34
    EXPECT_EQ(d.ModalResult, mrOk);
    EXPECT_EQ(d.SelectedColor, TRGB2TColor(palette[34]));
  }
  TScriptedDialogs dialogs;
  TPixPaletteDialog d(nullptr);
  d.SetPalette(palette.data(), 64);
  dialogs.AnswerModal(mrOk, [&](TCustomForm* form) {
    EXPECT_EQ(form, &d);
    ClickAt(d, 2, 2);
  });
  EXPECT_TRUE(d.Execute());
  EXPECT_EQ(d.SelectedColor, TRGB2TColor(palette[0]));
  dialogs.AnswerModal(mrCancel);
  EXPECT_FALSE(d.Execute());
}

}  // namespace
