// What the thumbnail view paints: images fitted into their cells, the
// background around them, the selection rings, captions and playback.
#include "mview_fixture.h"

namespace {

constexpr uint32_t kRed = 0xFF0000;

}  // namespace

class MViewPaintTest : public MViewTest {
 protected:
  void OneRedImage(int w, int h) {
    view->AppendImage();
    TIEBitmap b;
    b.Allocate(w, h, ie24RGB);
    for (int y = 0; y < h; ++y) {
      auto* row = reinterpret_cast<TRGB*>(b.GetScanLine(y));
      for (int x = 0; x < w; ++x) row[x] = TRGB{0, 0, 255};
    }
    view->SetIEBitmapEx(0, &b);
    view->Deselect();
  }
};

TEST_F(MViewPaintTest, ImagesAreFittedIntoTheirCells) {
  view->ThumbnailsBackground = TColor(0x00FF00);
  view->SetBackGround(TColor(0xFFFFFF));
  view->Style = iemsFlat;
  OneRedImage(40, 30);
  struct Case {
    const char* name;
    bool enlarge;
    TPoint red, cellBackground;
  } cases[] = {
      // Fitted: 100 x 75 at (4, 16).
      {"enlarged", true, {8, 20}, {54, 10}},
      // Own size, centred: 40 x 30 at (34, 39).
      {"own size", false, {36, 41}, {20, 54}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view->EnableResamplingOnMinor = c.enlarge;
    view->Update();
    PaintNow();
    EXPECT_EQ(Shown(c.red.x, c.red.y), kRed);
    EXPECT_EQ(Shown(c.cellBackground.x, c.cellBackground.y), 0x00FF00u);
    EXPECT_EQ(Shown(200, 50), 0xFFFFFFu);  // the view's background past the cells
  }
}

TEST_F(MViewPaintTest, SelectionRingsAreThickOnlyWithTheFocus) {
  view->SetBackGround(TColor(0xFFFFFF));
  OneRedImage(40, 30);
  view->SetSelectionColor(TColor(0xFF0000));  // blue
  view->SetSelectedItem(0);
  view->SetFocus();
  PaintNow();
  EXPECT_EQ(Shown(3, 50), 0x0000FFu);
  EXPECT_EQ(Shown(1, 50), 0x0000FFu);  // three rings
  auto* other = new TPixMView(form);
  other->SetParent(form);
  other->SetBounds(400, 0, 100, 100);
  other->SetFocus();
  ASSERT_FALSE(view->Focused());
  PaintNow();
  EXPECT_EQ(Shown(3, 50), 0x0000FFu);
  EXPECT_EQ(Shown(1, 50), 0xFFFFFFu);
}

TEST_F(MViewPaintTest, CaptionsGrowTheGapsButNeverShrinkThem) {
  OneRedImage(40, 30);
  TIEMText* top = view->GetImageTopText(0);
  top->SetCaption("Top");
  const int h = view->GetCanvas()->TextHeight("Top");
  EXPECT_EQ(view->GetUpperGap(), h + 2);
  view->GetImageBottomText(0)->SetCaption("Bottom");
  EXPECT_EQ(view->GetBottomGap(), h + 4);  // with the 3-D style
  view->SetUpperGap(40);
  top->SetCaption("Again");
  EXPECT_EQ(view->GetUpperGap(), 40);
  PaintNow();  // captions wider than the cell reach beyond it
  view->GetImageInfoText(0)->SetCaption(std::string(40, 'W'));
  PaintNow();
}

TEST_F(MViewPaintTest, PlaybackStepsFramesAndStopsWithoutLooping) {
  AddImages(3);
  view->SetImageDelayTime(0, 0);
  view->LoopPlayback = false;
  view->SetPlaying(true);
  EXPECT_EQ(view->GetDisplayMode(), mdSingle);
  EXPECT_EQ(view->GetVisibleFrame(), 1);
  ASSERT_TRUE(PumpUntil([&] { return !view->GetPlaying(); }, 3000));
  EXPECT_EQ(view->GetVisibleFrame(), 0);
  EXPECT_EQ(view->GetDisplayMode(), mdSingle);
  // Setting the shown frame to itself, below 0 or past the end does nothing.
  for (int f : {0, -1, 3}) {
    view->SetVisibleFrame(f);
    EXPECT_EQ(view->GetVisibleFrame(), 0);
  }
  view->SetVisibleFrame(2);
  EXPECT_EQ(view->GetVisibleFrame(), 2);
}
