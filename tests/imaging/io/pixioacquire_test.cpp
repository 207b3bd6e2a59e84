// The component's other picture sources: the modeless acquisition over
// the scanner library's test backend (its feeder delivers page after page)
// and the screen capture over the offscreen screen.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <thread>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/pixio.h"
#include "imaging/io/twainparams.h"
#include "imaging/view/pixview.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/timers.h"
#include "support/sanetestenv.h"

namespace {

struct Page {
  int width, height;
  std::thread::id thread;
};

class ModelessAcquire : public ::testing::Test {
 protected:
  void SetUp() override {
    io_.TWainParams->GetXResolution().SetCurrentValue(10);
    io_.TWainParams->GetYResolution().SetCurrentValue(10);
    io_.OnAcquireBitmap = [this](TObject* sender, TIEBitmap* bitmap, bool& handled) {
      EXPECT_EQ(sender, &io_);
      pages_.push_back({bitmap->GetWidth(), bitmap->GetHeight(), std::this_thread::get_id()});
      if (onPage_) onPage_(handled);
    };
  }
  // Runs the message loop's timers until the acquisition ends (or a bound).
  void RunUntilClosed() {
    for (int i = 0; i < 200 && io_.ModelessAcquire; ++i) clock_.Advance(1);
  }

  cwtest::TestScanners scanners_;
  TManualClock clock_;
  TPixView view_{nullptr};
  TPixIO io_{nullptr};
  std::vector<Page> pages_;
  std::function<void(bool& handled)> onPage_;
};

TEST_F(ModelessAcquire, NeedsAViewAndOnlyOneRunsAtATime) {
  EXPECT_FALSE(io_.AcquireOpen());  // no view attached
  EXPECT_EQ(io_.ModelessAcquire, nullptr);
  io_.SetAttachedPix(&view_);
  ASSERT_TRUE(io_.AcquireOpen());
  EXPECT_FALSE(io_.AcquireOpen());
  // The modal acquisition gives way without scanning.
  EXPECT_TRUE(io_.Acquire());
  EXPECT_TRUE(pages_.empty());
  io_.AcquireClose();
  EXPECT_EQ(io_.ModelessAcquire, nullptr);
  clock_.Advance(20);
  EXPECT_TRUE(pages_.empty());
  io_.AcquireClose();  // closing twice is harmless
}

// Through the feeder the pages come one by one, each on the GUI thread from
// the message loop, until the feeder is empty; the picture takes each page
// a handler leaves alone.
TEST_F(ModelessAcquire, FeederPagesArriveOneByOneUntilTheFeederIsEmpty) {
  io_.SetAttachedPix(&view_);
  io_.TWainParams->SetFeederEnabled(true);
  onPage_ = [this](bool& handled) {
    handled = pages_.size() == 2;  // the second page is the handler's
    view_.GetFBitmap()->SetSize(1, 1);
  };
  ASSERT_TRUE(io_.AcquireOpen());
  EXPECT_TRUE(pages_.empty());  // nothing before the loop runs
  clock_.Advance(1);
  ASSERT_EQ(pages_.size(), 1u);
  EXPECT_NEAR(view_.GetFBitmap()->GetWidth(), 80 / 25.4 * 10, 1.0);
  clock_.Advance(1);
  ASSERT_EQ(pages_.size(), 2u);
  EXPECT_EQ(view_.GetFBitmap()->GetWidth(), 1);  // handled: not copied
  RunUntilClosed();
  EXPECT_EQ(io_.ModelessAcquire, nullptr);
  EXPECT_GT(pages_.size(), 2u);
  for (const Page& p : pages_) {
    EXPECT_EQ(p.thread, std::this_thread::get_id());
    EXPECT_NEAR(p.width, 80 / 25.4 * 10, 1.0);
    EXPECT_NEAR(p.height, 100 / 25.4 * 10, 1.0);
  }
  EXPECT_EQ(io_.IOParams->DPIX, 10);
}

TEST_F(ModelessAcquire, FlatbedGivesOnePageAndClosingEndsAtOnce) {
  io_.SetAttachedPix(&view_);
  io_.TWainParams->SetFeederEnabled(false);
  ASSERT_TRUE(io_.AcquireOpen());
  RunUntilClosed();
  EXPECT_EQ(pages_.size(), 1u);
  EXPECT_EQ(io_.ModelessAcquire, nullptr);

  // Closed from a page's own handler: no page after it.
  io_.TWainParams->SetFeederEnabled(true);
  pages_.clear();
  onPage_ = [this](bool&) {
    if (pages_.size() == 2) io_.AcquireClose();
  };
  ASSERT_TRUE(io_.AcquireOpen());
  RunUntilClosed();
  EXPECT_EQ(pages_.size(), 2u);
  clock_.Advance(20);
  EXPECT_EQ(pages_.size(), 2u);
  // The component going away closes what it opened.
  {
    TPixIO other(nullptr);
    other.SetAttachedPix(&view_);
    ASSERT_TRUE(other.AcquireOpen());
  }
  clock_.Advance(20);
}

TEST(ModelessAcquireWithoutScanner, OpeningFails) {
  cwtest::TestScanners none(cwtest::TestScanners::kNone);
  TPixView view(nullptr);
  TPixIO io(nullptr);
  io.SetAttachedPix(&view);
  EXPECT_FALSE(io.AcquireOpen());
  EXPECT_EQ(io.ModelessAcquire, nullptr);
}

// The offscreen screen reads what its windows show: a form covering the
// whole screen, painted in two colours, made the active window.
class ScreenCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.SetBounds(0, 0, ScreenSize().width(), ScreenSize().height());
    panel_ = new TPanel(&form_);
    panel_->SetParent(&form_);
    panel_->BevelOuter = bvNone;
    panel_->SetBounds(0, 0, 40, 30);
    panel_->SetColor(clRed);
    form_.SetColor(clBlue);
    form_.Show();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }
  void TearDown() override { form_.Hide(); }
  TRGB At(int x, int y) { return io_.IEBitmap->GetPixels_ie24RGB(x, y); }
  static QSize ScreenSize() { return QGuiApplication::primaryScreen()->virtualGeometry().size(); }

  TForm form_{nullptr};
  TPanel* panel_ = nullptr;
  TPixIO io_{nullptr};
};

TEST_F(ScreenCapture, ScreenAndActiveWindowWithOrWithoutThePointer) {
  const TPoint o = form_.ClientToScreen({0, 0});
  QCursor::setPos(o.x + 100, o.y + 50);
  io_.CaptureFromScreen(iecsScreen, -1);
  ASSERT_EQ(io_.IEBitmap->GetWidth(), ScreenSize().width());
  ASSERT_EQ(io_.IEBitmap->GetHeight(), ScreenSize().height());
  EXPECT_EQ(io_.IEBitmap->GetPixelFormat(), ie24RGB);
  EXPECT_EQ(At(o.x + 10, o.y + 10), (TRGB{0, 0, 255}));  // red, stored blue first
  EXPECT_EQ(At(o.x + 101, o.y + 54), (TRGB{255, 0, 0}));  // blue, no pointer drawn

  // The pointer is drawn at the mouse position, tip first.
  io_.CaptureFromScreen(iecsScreen, crDefault);
  EXPECT_EQ(At(o.x + 101, o.y + 54), (TRGB{255, 255, 255}));
  EXPECT_EQ(At(o.x + 100, o.y + 50), (TRGB{0, 0, 0}));

  io_.CaptureFromScreen(iecsForegroundWindowClient, -1);
  EXPECT_EQ(io_.IEBitmap->GetWidth(), form_.GetClientWidth());
  EXPECT_EQ(io_.IEBitmap->GetHeight(), form_.GetClientHeight());
  EXPECT_EQ(At(5, 5), (TRGB{0, 0, 255}));
  io_.CaptureFromScreen(iecsForegroundWindow, -1);
  EXPECT_GE(io_.IEBitmap->GetWidth(), form_.GetClientWidth());

  // Without an active window nothing is read and the picture stays.
  form_.Hide();
  int finished = 0;
  io_.OnFinishWork = [&](TObject*) { ++finished; };
  io_.IEBitmap->Allocate(3, 2, ie24RGB);
  io_.CaptureFromScreen(iecsForegroundWindowClient, -1);
  EXPECT_EQ(io_.IEBitmap->GetWidth(), 3);
  EXPECT_EQ(finished, 1);
}

}  // namespace
