// Transition effects: the frame every type composes at a step, the random
// types kept inside the picture, and the run on an image view driven by
// the clock: the paint lock, sizes too small to run, durations of 0, late
// ticks, resizing and the frames the view shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <functional>
#include <string>

#include "imaging/view/pixview.h"
#include "imaging/view/transition.h"
#include "platform/forms.h"
#include "platform/timers.h"

namespace {

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

std::string Show(const TRGB& p) {
  return "(" + std::to_string(p.b) + "," + std::to_string(p.g) + "," + std::to_string(p.r) + ")";
}

class Transitions : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = new TForm(nullptr);
    parent->SetBounds(0, 0, 200, 200);
    view = new TPixView(parent);
    view->SetParent(parent);
    view->SetBorderStyle(bsNone);
    view->SetBounds(0, 0, 40, 20);
    // Blue 255, green 128, red 64.
    view->SetBackGround(TColor(0xFF8040));
    fx = view->Transitions();
  }
  void TearDown() override { parent->Free(); }

  // Shots whose pixels tell where they come from: blue = x, green = y,
  // red 10 in the source and 20 in the target.
  void CodedShots(int w, int h) {
    fx->SetSizes(w, h);
    for (auto [shot, tag] : {std::pair{fx->SourceShot(), 10}, {fx->TargetShot(), 20}})
      for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<TRGB*>(shot->ScanLine(y));
        for (int x = 0; x < w; ++x) row[x] = TRGB{uint8_t(x), uint8_t(y), uint8_t(tag)};
      }
  }
  TRGB FramePixel(int x, int y) { return reinterpret_cast<const TRGB*>(fx->Frame()->ScanLine(y))[x]; }

  TManualClock clock;
  TForm* parent = nullptr;
  TPixView* view = nullptr;
  TIETransitionEffects* fx = nullptr;
};

TRGB S(int x, int y) { return {uint8_t(x), uint8_t(y), 10}; }
TRGB T(int x, int y) { return {uint8_t(x), uint8_t(y), 20}; }
const TRGB kRed{0, 0, 255};

TEST_F(Transitions, EveryTypeComposesItsFrame) {
  constexpr int W = 16, H = 8;
  const struct {
    TIETransitionType type;
    int step;
    std::function<TRGB(int x, int y)> want;
  } cases[] = {
      {iettCrossDissolve, 256, [](int x, int y) { return TRGB{uint8_t(x), uint8_t(y), 12}; }},
      {iettFadeOut, 512, [](int x, int y) { return TRGB{uint8_t((x + 255) / 2), uint8_t((y + 128) / 2), 37}; }},
      {iettFadeIn, 256,
       [](int x, int y) { return TRGB{uint8_t((x * 256 + 255 * 768) >> 10), uint8_t((y * 256 + 128 * 768) >> 10), 53}; }},
      // Fade out at 1022 (almost only background), then in from 0 (only
      // background).
      {iettFadeOutIn, 511,
       [](int x, int y) { return TRGB{uint8_t((x * 2 + 255 * 1022) >> 10), uint8_t((y * 2 + 128 * 1022) >> 10), 63}; }},
      {iettFadeOutIn, 512, [](int, int) { return TRGB{255, 128, 64}; }},
      {iettLeftRight1, 512, [](int x, int y) { return x < 8 ? T(x, y) : S(x, y); }},
      {iettLeftRight2, 512, [](int x, int y) { return x < 8 ? T(x, y) : x == 8 ? kRed : S(x, y); }},
      {iettRightLeft1, 256, [](int x, int y) { return x >= 12 ? T(x, y) : S(x, y); }},
      {iettRightLeft2, 256, [](int x, int y) { return x == 12 ? kRed : x > 12 ? T(x, y) : S(x, y); }},
      {iettUpDown1, 256, [](int x, int y) { return y < 2 ? T(x, y) : S(x, y); }},
      {iettUpDown2, 256, [](int x, int y) { return y < 2 ? T(x, y) : y == 2 ? kRed : S(x, y); }},
      {iettDownUp1, 256, [](int x, int y) { return y >= 6 ? T(x, y) : S(x, y); }},
      {iettDownUp2, 256, [](int x, int y) { return y == 6 ? kRed : y > 6 ? T(x, y) : S(x, y); }},
      {iettFromUpLeft, 512, [](int x, int y) { return x < 8 && y < 4 ? T(x + 8, y + 4) : S(x, y); }},
      {iettFromUpRight, 512, [](int x, int y) { return x >= 8 && y < 4 ? T(x - 8, y + 4) : S(x, y); }},
      {iettFromBottomLeft, 512, [](int x, int y) { return x < 8 && y >= 4 ? T(x + 8, y - 4) : S(x, y); }},
      {iettFromBottomRight, 512, [](int x, int y) { return x >= 8 && y >= 4 ? T(x - 8, y - 4) : S(x, y); }},
      {iettMoveLeftRight1, 0, [](int x, int y) { return S(x, y); }},
      {iettMoveLeftRight1, 256, [](int x, int y) { return x < 4 ? T(12 + x, y) : S(x - 4, y); }},
      {iettMoveLeftRight2, 256, [](int x, int y) { return x < 4 ? T(x, y) : S(x - 4, y); }},
      {iettMoveRightLeft1, 256, [](int x, int y) { return x < 12 ? S(4 + x, y) : T(x - 12, y); }},
      {iettMoveRightLeft2, 256, [](int x, int y) { return x < 12 ? S(x, y) : T(x - 12, y); }},
      {iettMoveUpDown1, 256, [](int x, int y) { return y < 2 ? T(x, 6 + y) : S(x, y - 2); }},
      {iettMoveUpDown2, 256, [](int x, int y) { return y < 2 ? T(x, y) : S(x, y - 2); }},
      {iettMoveDownUp1, 256, [](int x, int y) { return y < 6 ? S(x, 2 + y) : T(x, y - 6); }},
      {iettMoveDownUp2, 256, [](int x, int y) { return y < 6 ? S(x, 2 + y) : T(x, y); }},
      // A window of 8 x 4 at (4, 2) out of the centre.
      {iettCenter1, 512, [](int x, int y) { return x >= 4 && x < 12 && y >= 2 && y < 6 ? T(x, y) : S(x, y); }},
      {iettCenter2, 512, [](int x, int y) { return x >= 4 && x < 12 && y >= 2 && y < 6 ? S(x, y) : T(x, y); }},
      {iettCenterZoom1, 512,
       [](int x, int y) { return x >= 4 && x < 12 && y >= 2 && y < 6 ? T((x - 4) * 2, (y - 2) * 2) : S(x, y); }},
      {iettCenterZoom2, 512,
       [](int x, int y) { return x >= 4 && x < 12 && y >= 2 && y < 6 ? S((x - 4) * 2, (y - 2) * 2) : T(x, y); }},
  };
  for (const auto& c : cases) {
    CodedShots(W, H);
    // Step 0 first, as a run does: the types that start from the source
    // draw it then.
    fx->DrawStep(c.type, 0);
    fx->DrawStep(c.type, c.step);
    int wrong = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (!(FramePixel(x, y) == c.want(x, y)) && wrong++ == 0)
          ADD_FAILURE() << "type " << int(c.type) << " step " << c.step << " at " << x << "," << y << ": "
                        << Show(FramePixel(x, y)) << " wanted " << Show(c.want(x, y));
  }
}

TEST_F(Transitions, RandomTypesStayInsideThePicture) {
  // Boxes on a width and height that are no multiples of 8 are cut at the
  // edge; the picture ends made of source and target pixels only.
  for (auto [w, h] : {std::pair{13, 11}, {7, 9}, {30, 3}}) {
    for (TIETransitionType type : {iettRandomBoxes, iettRandomPoints}) {
      CodedShots(w, h);
      for (int s = 0; s <= 1024; s += 128) fx->DrawStep(type, s);
      int targets = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const TRGB p = FramePixel(x, y);
          ASSERT_TRUE(p == S(x, y) || p == T(x, y)) << w << "x" << h << " " << Show(p);
          targets += p == T(x, y);
        }
      // Fewer than 64 pixels hold no box at all.
      if (type == iettRandomPoints)
        EXPECT_GT(targets, w * h / 2) << w << "x" << h;
      else if (w * h < 64)
        EXPECT_EQ(targets, 0) << w << "x" << h;
      else
        EXPECT_GT(targets, 0) << w << "x" << h;
    }
  }
}

TEST_F(Transitions, RunLocksThePaintOnceAndTheClockEndsIt) {
  // iettNone starts nothing and locks nothing.
  view->PrepareTransition();
  view->RunTransition(iettNone, 100);
  EXPECT_FALSE(view->GetTransitionRunning());
  EXPECT_EQ(view->PaintLockCount(), 0);

  // Too small in both directions: nothing; 1 x 2 runs.
  fx->Transition = iettCrossDissolve;
  fx->SetSizes(1, 1);
  fx->Run(true);
  EXPECT_FALSE(fx->Running());
  EXPECT_EQ(view->PaintLockCount(), 0);
  fx->SetSizes(1, 2);
  fx->Run(true);
  EXPECT_TRUE(fx->Running());
  EXPECT_EQ(view->PaintLockCount(), 1);
  // Run again restarts at one level of lock; Stop gives it back.
  fx->Run(true);
  EXPECT_EQ(view->PaintLockCount(), 1);
  fx->Stop();
  EXPECT_FALSE(fx->Running());
  EXPECT_EQ(view->PaintLockCount(), 0);

  // A duration of 0 or less goes straight to the end.
  for (int duration : {0, -5}) {
    view->PrepareTransition();
    view->RunTransition(iettLeftRight1, duration);
    EXPECT_FALSE(view->GetTransitionRunning()) << duration;
    EXPECT_EQ(view->PaintLockCount(), 0) << duration;
  }

  // The step follows the clock; a late tick ends at 1024 at most.
  view->PrepareTransition();
  view->RunTransition(iettCrossDissolve, 100);
  ASSERT_TRUE(view->GetTransitionRunning());
  clock.Advance(50);
  EXPECT_NEAR(fx->GetStep(), 512, 12);
  clock.Set(clock.Now() + 100000);
  ProcessTimers();
  EXPECT_FALSE(view->GetTransitionRunning());
  EXPECT_EQ(fx->GetStep(), 1024);
  EXPECT_EQ(view->PaintLockCount(), 0);

  // Resizing and blanking stop a running transition.
  view->PrepareTransition();
  view->RunTransition(iettFadeIn, 1000);
  view->SetBounds(0, 0, 60, 30);
  EXPECT_FALSE(view->GetTransitionRunning());
  EXPECT_EQ(view->PaintLockCount(), 0);
  view->PrepareTransition();
  view->RunTransition(iettFadeIn, 1000);
  view->Blank();
  EXPECT_FALSE(view->GetTransitionRunning());
  EXPECT_EQ(view->PaintLockCount(), 0);
}

TEST_F(Transitions, TheViewShowsTheFramesThenTheNewPicture) {
  parent->Show();
  view->SetBackGround(clWhite);
  auto fill = [this](TColor colour) {
    TBitmap* b = view->GetFBitmap();
    b->SetSize(40, 20);
    b->GetCanvas()->Brush->Color = colour;
    b->GetCanvas()->FillRect(Rect(0, 0, 40, 20));
    view->Update();
  };
  fill(clRed);
  Settle();
  view->PrepareTransition();
  fill(clBlue);
  view->RunTransition(iettLeftRight1, 1000);
  // Halfway the left half shows the new picture, the right the old one,
  // though the view itself was told to paint the new one.
  clock.Advance(520);
  Settle();
  QImage shown = view->Widget()->grab().toImage();
  EXPECT_EQ(shown.pixelColor(5, 10), QColor(0, 0, 255));
  EXPECT_EQ(shown.pixelColor(35, 10), QColor(255, 0, 0));
  clock.Advance(600);
  Settle();
  EXPECT_FALSE(view->GetTransitionRunning());
  shown = view->Widget()->grab().toImage();
  EXPECT_EQ(shown.pixelColor(35, 10), QColor(0, 0, 255));
}

}  // namespace
