#include "imaging/core/ieview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/core/iemask.h"
#include "platform/forms.h"

namespace {

// The smallest view: a paint-lock counter and an owned alpha mask, with a
// log of the virtual operations the base calls.
class TTestView : public TIEView {
 public:
  using TIEView::TIEView;
  ~TTestView() override { delete alpha_; }

  TIEMask* GetAlphaChannel() override {
    if (!alpha_) {
      alpha_ = new TIEMask;
      alpha_->AllocateBits(1, 1, 8);
      alpha_->Fill(255);
    }
    return alpha_;
  }
  void SetAlphaChannel(TIEMask* mask) override {
    delete alpha_;
    alpha_ = mask;
  }
  bool GetHasAlphaChannel() override { return alpha_ != nullptr; }
  void RemoveAlphaChannel() override { SetAlphaChannel(nullptr); }
  void LockPaint() override { ++locks_; }
  int UnLockPaint() override { return NPUnLockPaint(); }
  int NPUnLockPaint() override {
    if (locks_ > 0) --locks_;
    return locks_;
  }
  void SetDPIX(int dpi) override {
    calls.push_back("x" + std::to_string(dpi));
    TIEView::SetDPIX(dpi);
  }
  void SetDPIY(int dpi) override {
    calls.push_back("y" + std::to_string(dpi));
    TIEView::SetDPIY(dpi);
  }
  void RecreateWnd() override {
    ++recreated;
    TIEView::RecreateWnd();
  }

  std::vector<std::string> calls;
  int recreated = 0;

 private:
  TIEMask* alpha_ = nullptr;
  int locks_ = 0;
};

using TLog = std::vector<std::string>;

TIEBitmapChangeEvent Logger(TLog& log, const std::string& name, TIEView* expectedSender = nullptr) {
  return [&log, name, expectedSender](TObject* sender, bool destroying) {
    if (expectedSender) {
      EXPECT_EQ(sender, expectedSender);
    }
    log.push_back(name + (destroying ? " gone" : " changed"));
  };
}

TEST(IEViewTest, NewViewHasTheDocumentedDefaults) {
  TTestView view(nullptr);
  EXPECT_EQ(view.GetBackground(), clBtnFace);
  EXPECT_EQ(view.GetBorderStyle(), bsSingle);
  EXPECT_TRUE(view.GetCtl3D());
  EXPECT_EQ(view.GetDPIX(), 0);
  EXPECT_EQ(view.GetDPIY(), 0);
  EXPECT_EQ(view.GetFBitmap(), nullptr);
  EXPECT_TRUE(view.ControlStyle & csOpaque);
  EXPECT_FALSE(view.OnMouseEnter);
  EXPECT_FALSE(view.OnMouseLeave);
  EXPECT_EQ(view.BitmapChangeEventCount(), 0);

  view.SetBackGround(clNavy);
  EXPECT_EQ(view.GetBackground(), clNavy);
}

TEST(IEViewTest, ResolutionIgnoresZeroAndSetsXThenY) {
  struct TCase {
    int x, y;
    int expectX, expectY;
  };
  const TCase cases[] = {{72, 96, 72, 96}, {0, 150, 300, 150}, {200, 0, 200, 300}, {0, 0, 300, 300},
                         {-5, 600, -5, 600}};
  for (const TCase& c : cases) {
    TTestView view(nullptr);
    view.SetDPI(300, 300);
    view.calls.clear();
    view.SetDPI(c.x, c.y);
    EXPECT_EQ(view.GetDPIX(), c.expectX) << c.x << "," << c.y;
    EXPECT_EQ(view.GetDPIY(), c.expectY) << c.x << "," << c.y;
    // Both go through the overridable setters, x first.
    EXPECT_EQ(view.calls, (std::vector<std::string>{"x" + std::to_string(c.x), "y" + std::to_string(c.y)}));
  }
  TTestView fresh(nullptr);
  fresh.SetDPI(0, 150);
  EXPECT_EQ(fresh.GetDPIX(), 0);
  EXPECT_EQ(fresh.GetDPIY(), 150);
}

TEST(IEViewTest, ListenersAreCalledInRegistrationOrderAndRemovedByHandle) {
  TLog log;
  TTestView view(nullptr);
  int a = view.RegisterBitmapChangeEvent(Logger(log, "a", &view));
  int b = view.RegisterBitmapChangeEvent(Logger(log, "b", &view));
  int c = view.RegisterBitmapChangeEvent(Logger(log, "c", &view));
  EXPECT_GE(a, 0);
  EXPECT_NE(a, b);
  EXPECT_NE(b, c);
  view.CallBitmapChangeEvents();
  EXPECT_EQ(log, (TLog{"a changed", "b changed", "c changed"}));

  log.clear();
  view.RemoveBitmapChangeEvent(b);
  view.RemoveBitmapChangeEvent(b);   // twice: nothing more
  view.RemoveBitmapChangeEvent(-1);  // the "no handle" value
  view.RemoveBitmapChangeEvent(c + 1000);
  view.CallBitmapChangeEvents();
  EXPECT_EQ(log, (TLog{"a changed", "c changed"}));

  // A handle is never given out again: a stale one cannot remove the
  // listener registered after it.
  int d = view.RegisterBitmapChangeEvent(Logger(log, "d"));
  EXPECT_NE(d, b);
  view.RemoveBitmapChangeEvent(b);
  EXPECT_EQ(view.BitmapChangeEventCount(), 3);
  (void)a;
}

TEST(IEViewTest, ListenersMayChangeTheListWhileTheyAreCalled) {
  TLog log;
  TTestView view(nullptr);
  int self = 0, later = 0;
  // The first removes itself and the third, and registers a new one.
  self = view.RegisterBitmapChangeEvent([&](TObject*, bool) {
    log.push_back("first");
    view.RemoveBitmapChangeEvent(self);
    view.RemoveBitmapChangeEvent(later);
    view.RegisterBitmapChangeEvent(Logger(log, "new"));
  });
  view.RegisterBitmapChangeEvent(Logger(log, "second"));
  later = view.RegisterBitmapChangeEvent(Logger(log, "third"));
  view.CallBitmapChangeEvents();
  EXPECT_EQ(log, (TLog{"first", "second changed"}));
  log.clear();
  view.CallBitmapChangeEvents();
  EXPECT_EQ(log, (TLog{"second changed", "new changed"}));
}

TEST(IEViewTest, FreeingTheViewTellsEachListenerOnceFirstRegisteredFirst) {
  TLog log;
  auto* view = new TTestView(nullptr);
  view->RegisterBitmapChangeEvent(Logger(log, "a", view));
  int b = view->RegisterBitmapChangeEvent(Logger(log, "b", view));
  view->RegisterBitmapChangeEvent(Logger(log, "c", view));
  view->RemoveBitmapChangeEvent(b);
  int d = 0;
  // A listener that (against the rules) removes itself and another one
  // while hearing the view go.
  view->RegisterBitmapChangeEvent([&](TObject*, bool destroying) {
    log.push_back(destroying ? "e gone" : "e changed");
    view->RemoveBitmapChangeEvent(d);
  });
  d = view->RegisterBitmapChangeEvent(Logger(log, "d", view));
  // A listener that throws does not keep the others from hearing it.
  view->RegisterBitmapChangeEvent([&](TObject*, bool) {
    log.push_back("f gone");
    throw Exception("listener failed");
  });
  view->RegisterBitmapChangeEvent(Logger(log, "g", view));
  view->Free();
  EXPECT_EQ(log, (TLog{"a gone", "c gone", "e gone", "f gone", "g gone"}));
}

TEST(IEViewTest, BorderStyleAnd3DLookChooseTheFrame) {
  struct TCase {
    TBorderStyle style;
    bool ctl3D;
    int frame;  // pixels on each side
  };
  const int edge = GetSystemMetrics(SM_CXEDGE), line = GetSystemMetrics(SM_CXBORDER);
  const TCase cases[] = {{bsSingle, true, edge}, {bsSingle, false, line}, {bsNone, true, 0}, {bsNone, false, 0}};
  for (const TCase& c : cases) {
    TTestView view(nullptr);
    view.SetBounds(0, 0, 100, 60);
    view.SetBorderStyle(c.style);
    view.SetCtl3D(c.ctl3D);
    EXPECT_EQ(view.GetClientWidth(), 100 - 2 * c.frame) << c.style << " " << c.ctl3D;
    EXPECT_EQ(view.GetClientHeight(), 60 - 2 * c.frame) << c.style << " " << c.ctl3D;
    EXPECT_EQ(view.ClientImage().width(), 100 - 2 * c.frame);
  }
}

TEST(IEViewTest, OnlyAChangeOfBorderOr3DLookRecreatesTheWindow) {
  TTestView view(nullptr);
  view.SetBounds(0, 0, 50, 50);
  view.SetBorderStyle(bsSingle);
  view.SetCtl3D(true);
  EXPECT_EQ(view.recreated, 0);
  EXPECT_TRUE(view.ParentCtl3D);
  view.SetBorderStyle(bsNone);
  EXPECT_EQ(view.recreated, 1);
  EXPECT_EQ(view.GetClientWidth(), 50);
  view.SetBorderStyle(bsNone);
  EXPECT_EQ(view.recreated, 1);
  view.SetCtl3D(false);
  EXPECT_EQ(view.recreated, 2);
  EXPECT_FALSE(view.ParentCtl3D);
}

TEST(IEViewTest, MouseEnterAndLeaveReachTheEventsAfterTheFramework) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 200);
  auto* view = new TTestView(&form);
  view->SetParent(&form);
  view->SetBounds(10, 10, 50, 50);
  TLog log;
  view->OnMouseEnter = [&](TObject* sender) {
    EXPECT_EQ(sender, view);
    EXPECT_EQ(GetMouseControl(), view);
    log.push_back("enter");
  };
  view->OnMouseLeave = [&](TObject* sender) {
    EXPECT_EQ(sender, view);
    log.push_back("leave");
  };
  MouseInput(view, WM_MOUSEMOVE, 0, {5, 5});
  MouseInput(view, WM_MOUSEMOVE, 0, {6, 5});
  MouseInput(&form, WM_MOUSEMOVE, 0, {150, 150});
  EXPECT_EQ(log, (TLog{"enter", "leave"}));

  // Without handlers the messages pass quietly.
  view->OnMouseEnter = nullptr;
  view->OnMouseLeave = nullptr;
  view->Perform(CM_MOUSEENTER);
  view->Perform(CM_MOUSELEAVE);
  SetMouseControl(nullptr);
}

TEST(IEViewTest, CanvasDrawsIntoTheViewsOwnClientImage) {
  TTestView view(nullptr);
  view.SetBorderStyle(bsNone);
  view.SetBounds(0, 0, 20, 10);
  TCanvas* canvas = view.GetCanvas();
  canvas->Brush->Color = clRed;
  canvas->FillRect(Rect(2, 3, 5, 6));
  EXPECT_EQ(view.ClientImage().pixel(2, 3), qRgb(255, 0, 0));
  EXPECT_EQ(view.ClientImage().pixel(4, 5), qRgb(255, 0, 0));
  EXPECT_NE(view.ClientImage().pixel(5, 5), qRgb(255, 0, 0));
}

}  // namespace
