// The layout picture's editor under real input: a shown main window whose
// layout picture is a white bitmap of the picture control's size, and the
// presses, moves, releases and clicks a user makes on it.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>

#include <functional>
#include <vector>

#include "designer/cardprogram.h"
#include "designer/newimage.h"
#include "platform/canvas.h"
#include "platform/qt_input.h"

namespace cardtest {

class LayoutEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    DrawingMode = InsertArmed = TextPlacementArmed = false;
    f = program.MakeMainForm();
    f->OnShow = nullptr;
    f->OnActivate = nullptr;
    newimageform = MakeForm<Tnewimageform>(Application);
    program.Keep(newimageform);
    f->Show();
    // The design items stay out of the way of the presses on the picture.
    for (TImage* item : {f->PicOne, f->PicTwo, f->SignPic, f->BarcodeSet, f->ImageZhang}) item->Hide();
    WhitePicture();
    program.dialogs.Records.clear();
  }
  void TearDown() override {
    Screen->SetCursor(crDefault);
    DrawingMode = false;
  }

  // The layout picture, shown and unscaled, becomes white at the control's
  // size: nothing drawn yet.
  void WhitePicture() {
    TBitmap white;
    white.SetPixelFormat(pf24bit);
    white.SetSize(f->Drawor->GetWidth(), f->Drawor->GetHeight());
    white.GetCanvas()->Brush->Color = clWhite;
    white.GetCanvas()->FillRect(Rect(0, 0, white.GetWidth(), white.GetHeight()));
    f->ImageTemp->GetPicture()->Assign(&white);
    f->Drawor->GetPicture()->Assign(&white);
    f->DiscardLayoutDrawing();
  }

  TBitmap* Picture() { return f->Drawor->GetPicture()->GetBitmap(); }
  TColor Pixel(int x, int y) { return Picture()->GetCanvas()->GetPixel(x, y); }

  void Click(TControl* c, Qt::MouseButton button = Qt::LeftButton) {
    WidgetClick(c, {c->GetWidth() / 2, c->GetHeight() / 2}, button);
  }
  void ClickAt(int x, int y, Qt::MouseButton button = Qt::LeftButton) { WidgetClick(f->Drawor, {x, y}, button); }
  // Press at the first point, move through the others with the button
  // held, release at the last.
  void Drag(const std::vector<TPoint>& points) {
    SendMouse(f->Drawor, QEvent::MouseButtonPress, points.front(), Qt::LeftButton);
    for (size_t i = 1; i < points.size(); ++i) SendMouse(f->Drawor, QEvent::MouseMove, points[i], Qt::LeftButton);
    SendMouse(f->Drawor, QEvent::MouseButtonRelease, points.back(), Qt::NoButton);
  }
  // The next colour dialog is answered with `colour`.
  void AnswerColour(TColor colour) {
    program.dialogs.AnswerDialog([colour](TCommonDialog* dialog) {
      static_cast<TColorDialog*>(dialog)->Color = colour;
      return true;
    });
  }
  // Pixels of the layout picture that differ from a white picture of its
  // size on which `draw` drew with a 1-pixel black pen and a white fill.
  int DifferFrom(const std::function<void(TCanvas*)>& draw) {
    TBitmap expected;
    expected.SetPixelFormat(pf24bit);
    expected.SetSize(Picture()->GetWidth(), Picture()->GetHeight());
    TCanvas* c = expected.GetCanvas();
    c->Brush->Color = clWhite;
    c->FillRect(Rect(0, 0, expected.GetWidth(), expected.GetHeight()));
    draw(c);
    int differ = 0;
    for (int y = 0; y < expected.GetHeight(); ++y)
      for (int x = 0; x < expected.GetWidth(); ++x) differ += c->GetPixel(x, y) != Pixel(x, y);
    return differ;
  }
  int CountNonWhite(const TRect& r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += Pixel(x, y) != clWhite;
    return n;
  }

  // Drops the top-level menu `caption` from the menu bar and chooses
  // `entry` with the mouse.
  void Choose(const std::string& caption, const std::string& entry) {
    for (int i = 0; i < f->ToolBar3->ButtonCount(); ++i) {
      if (f->ToolBar3->Buttons(i)->GetCaption() != caption) continue;
      WindowClick(f->ToolBar3->Buttons(i), {5, 5});
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr) << caption;
      for (QAction* action : menu->actions()) {
        if (action->text().toStdString() != entry) continue;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        for (int k = 0; k < 3; ++k) QCoreApplication::processEvents();
        return;
      }
      FAIL() << entry;
    }
    FAIL() << caption;
  }
  void Layout(const std::string& entry) { Choose("底图(&B)", entry); }

  CardProgram program;
  TMainForm* f = nullptr;
};

}  // namespace cardtest
