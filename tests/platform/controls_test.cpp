#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "control_log.h"
#include "platform/controlwidget.h"
#include "platform/forms.h"
#include "platform/input.h"

namespace {

TEST(ComponentTest, OwnerFreesWhatItOwnsAndFreeingTellsWhoAsked) {
  struct TWatcher : TComponent {
    using TComponent::TComponent;
    std::vector<TComponent*> removed;
    void Notification(TComponent* c, TOperation op) override {
      if (op == opRemove) removed.push_back(c);
    }
  };
  TWatcher watcher(nullptr);
  auto* owner = new TComponent(nullptr);
  auto* a = new TComponent(owner);
  auto* b = new TComponent(owner);
  a->Name = "Table1";
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->FindComponent("TABLE1"), a);
  EXPECT_EQ(b->GetComponentIndex(), 1);
  b->FreeNotification(&watcher);
  owner->Free();
  ASSERT_EQ(watcher.removed.size(), 1u);
  EXPECT_EQ(watcher.removed[0], b);
}

TEST(ControlTest, SizeChangesSendWmSizeAtOnceWithTheNewClientSize) {
  TEventLog log;
  TLogControl c(nullptr, log);
  c.OnResize = [&](TObject*) { log.Add("resize"); };
  c.SetBounds(10, 20, 100, 50);
  c.SetLeft(30);  // a move alone sends no WM_SIZE
  c.SetWidth(80);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"c WM_SIZE 100x50 width 100", "resize", "c WM_SIZE 80x50 width 80",
                                                  "resize"}));
  EXPECT_EQ(c.GetLeft(), 30);
  EXPECT_EQ(c.ClientImage().size(), QSize(80, 50));

  // A handler that sizes the control again nests its own WM_SIZE.
  log.Clear();
  c.OnResize = [&](TObject*) {
    if (c.GetWidth() < 90) c.SetWidth(90);
  };
  c.SetWidth(60);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"c WM_SIZE 60x50 width 60", "c WM_SIZE 90x50 width 90"}));

  // A client edge takes two pixels on every side.
  TEventLog log2;
  TLogControl edged(nullptr, log2);
  edged.ExStyle = WS_EX_CLIENTEDGE;
  edged.StyleChanged();
  edged.SetBounds(0, 0, 105, 105);
  EXPECT_EQ(edged.GetClientWidth(), 101);
  EXPECT_EQ(edged.ClientOrigin().x, 2);
}

TEST(ControlTest, AlignedChildrenShareTheClientArea) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 200, 100);
  TWinControl top(nullptr), left(nullptr), client(nullptr);
  for (TWinControl* c : {&top, &left, &client}) c->SetParent(&parent);
  top.SetHeight(20);
  left.SetWidth(30);
  top.SetAlign(alTop);
  left.SetAlign(alLeft);
  client.SetAlign(alClient);
  EXPECT_EQ(top.GetBoundsRect(), Rect(0, 0, 200, 20));
  EXPECT_EQ(left.GetBoundsRect(), Rect(0, 20, 30, 100));
  EXPECT_EQ(client.GetBoundsRect(), Rect(30, 20, 200, 100));
  parent.SetHeight(150);
  EXPECT_EQ(client.GetBoundsRect(), Rect(30, 20, 200, 150));
  for (TWinControl* c : {&top, &left, &client}) c->SetParent(nullptr);
}

TEST(ControlTest, PaintFillsThePersistentImageAndTheWidgetPresentsIt) {
  TEventLog log;
  TLogControl c(nullptr, log);
  c.SetColor(clWhite);
  c.SetBounds(0, 0, 40, 30);
  log.Clear();
  c.OnPaintCanvas = [](TCanvas* canvas) {
    canvas->Brush->Color = clRed;
    canvas->FillRect(Rect(0, 0, 10, 10));
  };
  c.Update();
  EXPECT_EQ(log.lines, (std::vector<std::string>{"c paint"}));
  EXPECT_EQ(PixelAt(c.ClientImage(), 5, 5), clRed);
  EXPECT_EQ(PixelAt(c.ClientImage(), 20, 20), clWhite);
  EXPECT_FALSE(c.UpdatePending());

  // Outside Paint the canvas draws at once; an XOR line drawn twice is gone.
  TCanvas* canvas = c.GetCanvas();
  canvas->Pen->Mode = pmXor;
  canvas->Pen->Color = clWhite;
  canvas->MoveTo(0, 20);
  canvas->LineTo(40, 20);
  EXPECT_EQ(PixelAt(c.ClientImage(), 30, 20), clBlack);
  canvas->MoveTo(0, 20);
  canvas->LineTo(40, 20);
  EXPECT_EQ(PixelAt(c.ClientImage(), 30, 20), clWhite);

  // An invalidated rectangle repaints only there: the clip is the update area.
  c.OnPaintCanvas = [](TCanvas* canvas) {
    canvas->Brush->Color = clBlue;
    canvas->FillRect(Rect(0, 0, 40, 30));
  };
  TRect r = Rect(30, 0, 40, 10);
  c.InvalidateRect(&r, false);
  c.Update();
  EXPECT_EQ(PixelAt(c.ClientImage(), 35, 5), clBlue);
  EXPECT_EQ(PixelAt(c.ClientImage(), 5, 5), clRed);

  // The Qt widget shows the image as it is.
  QImage shown = c.GetHandle()->Widget()->grab().toImage();
  EXPECT_EQ(PixelAt(shown, 35, 5), clBlue);
  EXPECT_EQ(PixelAt(shown, 5, 5), clRed);
}

TEST(ControlTest, GraphicChildrenPaintIntoTheParentImageInsideTheirBounds) {
  TEventLog log;
  TLogControl parent(nullptr, log);
  parent.SetColor(clWhite);
  parent.SetBounds(0, 0, 50, 50);
  auto* child = new TFillGraphic(nullptr, clLime);
  child->SetParent(&parent);
  child->SetBounds(10, 10, 5, 5);
  parent.Update();
  EXPECT_EQ(PixelAt(parent.ClientImage(), 10, 10), clLime);
  EXPECT_EQ(PixelAt(parent.ClientImage(), 14, 14), clLime);
  EXPECT_EQ(PixelAt(parent.ClientImage(), 15, 15), clWhite);
  EXPECT_EQ(PixelAt(parent.ClientImage(), 9, 9), clWhite);
  // Its canvas starts at its own corner.
  child->GetCanvas()->SetPixel(0, 4, clRed);
  EXPECT_EQ(PixelAt(parent.ClientImage(), 10, 14), clRed);
  child->SetVisible(false);
  parent.Update();
  EXPECT_EQ(PixelAt(parent.ClientImage(), 12, 12), clWhite);
}

TEST(ControlTest, MouseOrderClickAndDoubleClick) {
  TEventLog log;
  TLogControl c(nullptr, log);
  c.SetBounds(0, 0, 50, 50);
  LogMouse(&c, log, "c");
  log.Clear();
  c.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(5, 6));
  EXPECT_TRUE(c.GetMouseCapture());
  c.Perform(WM_MOUSEMOVE, MK_LBUTTON, XY(7, 8));
  c.Perform(WM_LBUTTONUP, 0, XY(7, 8));
  EXPECT_FALSE(c.GetMouseCapture());
  c.Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, XY(7, 8));
  c.Perform(WM_LBUTTONUP, 0, XY(7, 8));
  // Released outside the control: no click.
  c.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(1, 1));
  c.Perform(WM_LBUTTONUP, 0, XY(60, 1));
  c.Perform(WM_RBUTTONDOWN, MK_RBUTTON, XY(2, 2));
  c.Perform(WM_RBUTTONUP, 0, XY(2, 2));
  std::vector<std::string> expected{
      "c down 0 L 5,6",    "c enter",        "c move L 7,8",       "c up 0 7,8",    "c click",    "c dblclick",
      "c down 0 LD 7,8",   "c up 0 7,8",     "c down 0 L 1,1",     "c up 0 60,1",   "c down 1 R 2,2", "c up 1 2,2"};
  EXPECT_EQ(log.lines, expected);
  SetMouseControl(nullptr);
}

TEST(ControlTest, ShiftStateComesFromKeyBitsAndTheKeyboard) {
  TFakeInput input;
  struct Case {
    WPARAM keys;
    bool alt;
    std::string shift;
  } cases[] = {
      {MK_LBUTTON, false, "L"},
      {MK_LBUTTON | MK_SHIFT, false, "SL"},
      {MK_LBUTTON | MK_CONTROL, true, "CAL"},
      {MK_RBUTTON | MK_SHIFT | MK_CONTROL, false, "SCR"},
  };
  for (const Case& k : cases) {
    TEventLog log;
    TLogControl c(nullptr, log);
    c.SetBounds(0, 0, 10, 10);
    LogMouse(&c, log, "c");
    if (k.alt) input.Press(VK_MENU);
    c.Perform(WM_MOUSEMOVE, k.keys, XY(1, 1));
    input.Release(VK_MENU);
    EXPECT_EQ(log.lines.back(), "c move " + k.shift + " 1,1") << k.shift;
    SetMouseControl(nullptr);
  }
}

TEST(ControlTest, GraphicChildGetsItsMessagesAndKeepsThemWhileCaptured) {
  TEventLog log;
  TLogControl parent(nullptr, log, "p");
  parent.SetBounds(0, 0, 100, 100);
  auto* child = new TFillGraphic(nullptr, clRed);
  child->SetParent(&parent);
  child->SetBounds(20, 20, 10, 10);
  child->Hint = "图一|显示图一";
  LogMouse(&parent, log, "p");
  LogMouse(child, log, "g");
  log.Clear();
  std::vector<std::string> hints;
  Application->OnHint = [&](TObject*) { hints.push_back(Application->GetHint()); };

  parent.Perform(WM_MOUSEMOVE, 0, XY(50, 50));
  parent.Perform(WM_MOUSEMOVE, 0, XY(22, 23));
  parent.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(22, 23));
  parent.Perform(WM_MOUSEMOVE, MK_LBUTTON, XY(80, 90));  // outside the child, still its
  parent.Perform(WM_LBUTTONUP, 0, XY(80, 90));
  parent.Perform(WM_MOUSEMOVE, 0, XY(80, 90));
  std::vector<std::string> expected{"p enter", "p move  50,50", "p leave", "g move  2,3", "g down 0 L 2,3",
                                    "g move L 60,70", "g up 0 60,70", "p enter", "p move  80,90"};
  EXPECT_EQ(log.lines, expected);
  EXPECT_EQ(hints, (std::vector<std::string>{"显示图一", ""}));
  Application->OnHint = nullptr;
  SetMouseControl(nullptr);
}

TEST(ControlTest, QtInputBecomesMessagesInClientCoordinates) {
  TEventLog log;
  TLogControl parent(nullptr, log, "p");
  parent.SetBounds(0, 0, 200, 200);
  TLogControl c(nullptr, log);
  c.ExStyle = WS_EX_CLIENTEDGE;
  c.SetParent(&parent);
  c.SetBounds(10, 10, 100, 100);
  c.StyleChanged();
  LogMouse(&c, log, "c");
  parent.HandleNeeded();
  QWidget* w = c.Widget();
  ASSERT_NE(w, nullptr);
  log.Clear();
  auto send = [&](QEvent::Type type, Qt::MouseButton b, Qt::MouseButtons held) {
    QPointF local(12, 13);
    QMouseEvent e(type, local, w->mapToGlobal(local), b, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  };
  send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
  send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(log.lines,
            (std::vector<std::string>{"c down 0 L 10,11", "c up 0 10,11", "c click", "c dblclick", "c down 0 LD 10,11"}));

  // Wheel turns add up to whole notches of 120.
  std::vector<int> deltas;
  c.OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
    deltas.push_back(delta);
    handled = true;
  };
  for (int step : {60, 30, 30, 250, -480}) {
    QWheelEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, step), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
  }
  EXPECT_EQ(deltas, (std::vector<int>{120, 240, -360}));
  c.SetParent(nullptr);
  SetMouseControl(nullptr);
  ReleaseCapture();
}

TEST(ControlTest, ScrollBarsTakeRoomAndFollowThePlatformRules) {
  TEventLog log;
  TLogControl c(nullptr, log);
  c.SetBounds(0, 0, 100, 80);
  HWND h = c.GetHandle();
  log.Clear();
  // A range that can scroll shows the bar, which takes its width from the client.
  SetScrollRange(h, SB_VERT, 0, 65535, false);
  EXPECT_TRUE(c.ScrollBar(SB_VERT).Visible);
  EXPECT_EQ(c.GetClientWidth(), 100 - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(log.lines, (std::vector<std::string>{"c WM_SIZE 84x80 width 100"}));

  struct Case {
    unsigned mask;
    int min, max;
    unsigned page;
    int pos;
    int expectPos;
    unsigned expectPage;
    bool expectVisible;
  } cases[] = {
      {SIF_PAGE, 0, 0, 40000, 0, 0, 40000, true},
      {SIF_POS, 0, 0, 0, 30000, 25536, 40000, true},  // the page's end rests on Max
      {SIF_POS, 0, 0, 0, -5, 0, 40000, true},
      {SIF_RANGE | SIF_PAGE, 0, 9, 20, 0, 0, 10, false},  // page covers the range: hidden
      {SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 9, 20, 0, 0, 10, true},
  };
  for (const Case& k : cases) {
    SCROLLINFO info;
    info.fMask = k.mask;
    info.nMin = k.min;
    info.nMax = k.max;
    info.nPage = k.page;
    info.nPos = k.pos;
    SetScrollInfo(h, SB_VERT, info, true);
    SCROLLINFO back;
    back.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(h, SB_VERT, back));
    EXPECT_EQ(back.nPos, k.expectPos) << k.mask;
    EXPECT_EQ(back.nPage, k.expectPage) << k.mask;
    EXPECT_EQ(c.ScrollBar(SB_VERT).Visible, k.expectVisible) << k.mask;
  }
  EXPECT_EQ(c.ScrollBar(SB_VERT).Disabled, ESB_DISABLE_BOTH);
  ShowScrollBar(h, SB_BOTH, false);
  EXPECT_EQ(c.GetClientWidth(), 100);
  EXPECT_EQ(c.ClientImage().width(), 100);

  // Scroll messages carry the thumb position unsigned over the whole range.
  TMessage m{WM_HSCROLL, MakeWParam(SB_THUMBTRACK, 50000), 0, 0};
  TWMScroll scroll(m);
  EXPECT_EQ(scroll.ScrollCode, SB_THUMBTRACK);
  EXPECT_EQ(scroll.Pos, 50000);
}

TEST(ControlTest, HitTestNamesThePartUnderAScreenPoint) {
  TEventLog log;
  TLogControl c(nullptr, log);
  c.ExStyle = WS_EX_CLIENTEDGE;
  c.StyleChanged();
  c.SetBounds(100, 100, 60, 60);
  ShowScrollBar(c.GetHandle(), SB_VERT, true);
  struct Case {
    int x, y;
    LRESULT hit;
  } cases[] = {{110, 110, HTCLIENT}, {100, 110, HTBORDER}, {150, 110, HTVSCROLL}, {170, 110, HTNOWHERE}};
  for (const Case& k : cases) EXPECT_EQ(c.Perform(WM_NCHITTEST, 0, XY(k.x, k.y)), k.hit) << k.x;
}

TEST(ControlTest, SizeCommandRunsAModalSizeLoopOnThePointer) {
  TFakeInput input;
  TEventLog log;
  TLogControl c(nullptr, log);
  LogMouse(&c, log, "c");
  c.SetBounds(10, 10, 100, 80);
  input.Pos = {110, 90};
  input.Press(VK_LBUTTON);
  // The pointer moves twice, then the button comes up.
  input.OnPoll = [&](TFakeInput& in) {
    if (in.Polls == 3) in.Pos = {120, 95};
    if (in.Polls == 6) in.Pos = {130, 100};
    if (in.Polls == 9) in.Release(VK_LBUTTON);
  };
  c.Perform(WM_SYSCOMMAND, SC_SIZE + 8, 0);
  EXPECT_EQ(c.GetBoundsRect(), Rect(10, 10, 130, 100));
  input.OnPoll = nullptr;
  input.Pos = {0, 0};
  input.Press(VK_LBUTTON);
  input.OnPoll = [&](TFakeInput& in) {
    if (in.Polls > 12) {
      in.Pos = {-5, 7};
      in.Release(VK_LBUTTON);
    }
  };
  c.Perform(WM_SYSCOMMAND, SC_MOVE + 1, 0);
  EXPECT_EQ(c.GetBoundsRect(), Rect(5, 17, 125, 107));
}

// A control whose Update is its own (it invalidates, as a ruler's does).
class TSelfUpdatingControl : public TLogControl {
 public:
  using TLogControl::TLogControl;
  void Update() override {
    ++ownUpdates;
    Invalidate();
  }
  int ownUpdates = 0;
};

TEST(ControlTest, PresentingAWindowPaintsItWithoutItsOwnUpdate) {
  TEventLog log;
  TSelfUpdatingControl c(nullptr, log);
  c.SetBounds(0, 0, 60, 40);
  c.HandleNeeded();
  QWidget* w = c.Widget();
  ASSERT_NE(w, nullptr);
  c.Invalidate();
  log.Clear();
  // Qt asks for the picture: the pending paint runs, the control's own
  // Update does not, so nothing is left pending to paint again.
  w->grab();
  EXPECT_EQ(c.ownUpdates, 0);
  EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), "c paint"), 1);
  EXPECT_FALSE(c.UpdatePending());
}

// A child control whose press sends the size command, as a card panel's
// band does; the drag's messages reach its widget while the loop runs.
class SizeLoopOnAChild : public ::testing::Test {
 protected:
  void SetUp() override {
    parent.SetBounds(0, 0, 300, 300);
    child.SetParent(&parent);
    child.SetBounds(20, 20, 100, 80);
    LogMouse(&child, log, "c");
    child.OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
      log.Add("c down");
      ReleaseCapture();
      child.Perform(WM_SYSCOMMAND, SC_SIZE + 8, 0);
      log.Add("c loop ended");
    };
    child.OnResize = [this](TObject*) { log.Add("c resize " + std::to_string(child.GetWidth())); };
    parent.HandleNeeded();
    w = child.Widget();
    ASSERT_NE(w, nullptr);
  }
  void TearDown() override {
    child.SetParent(nullptr);
    SetMouseControl(nullptr);
    ReleaseCapture();
  }
  void Send(QEvent::Type type, QPoint local, Qt::MouseButton b, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(local), w->mapToGlobal(QPointF(local)), b, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }

  TEventLog log;
  TLogControl parent{nullptr, log, "p"};
  TLogControl child{nullptr, log};
  QWidget* w = nullptr;
};

TEST_F(SizeLoopOnAChild, FollowsTheDragsMessagesUntilTheRelease) {
  // Widget coordinates move with the control: each step is given in the
  // coordinates the widget has when it arrives.
  QTimer::singleShot(0, w, [this] { Send(QEvent::MouseMove, {105, 85}, Qt::NoButton, Qt::LeftButton); });
  QTimer::singleShot(20, w, [this] {
    log.Add("halfway " + std::to_string(child.GetWidth()) + "x" + std::to_string(child.GetHeight()));
    Send(QEvent::MouseMove, {110, 70}, Qt::NoButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, {115, 75}, Qt::LeftButton, Qt::NoButton);
  });
  Send(QEvent::MouseButtonPress, {95, 75}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(child.GetBoundsRect(), Rect(20, 20, 140, 100));
  std::vector<std::string> seen;
  for (const std::string& line : log.lines)
    if (line.rfind("c ", 0) == 0 && line.find("WM_SIZE") == std::string::npos && line != "c paint") seen.push_back(line);
  // No move or release of the drag reaches the control; OnResize ran on
  // each step.
  EXPECT_EQ(seen, (std::vector<std::string>{"c down", "c resize 110", "c resize 120", "c loop ended"}));
  EXPECT_NE(std::find(log.lines.begin(), log.lines.end(), "halfway 110x90"), log.lines.end());

  // After the loop the control's mouse is its own again.
  log.Clear();
  Send(QEvent::MouseMove, {10, 10}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"c enter", "c move  10,10"}));
}

TEST_F(SizeLoopOnAChild, ADeviceThatSeesTheButtonUpEndsIt) {
  // The release went to another window (a dialog took the mouse): the
  // device's own state ends the loop.
  TFakeInput input;
  input.Press(VK_LBUTTON);
  input.OnPoll = [](TFakeInput& in) {
    if (in.Polls > 4) in.Release(VK_LBUTTON);
  };
  Send(QEvent::MouseButtonPress, {95, 75}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(log.lines.back(), "c loop ended");
  EXPECT_EQ(child.GetBoundsRect(), Rect(20, 20, 120, 100));
}

TEST(KeyTest, KeysGoThroughThePreviewingFormThenTheFocusedControl) {
  TEventLog log;
  auto* form = MakeForm<TForm>(nullptr);
  form->KeyPreview = true;
  auto* a = new TLogControl(form, log, "a");
  auto* b = new TLogControl(form, log, "b");
  for (auto* c : {a, b}) {
    c->SetParent(form);
    c->TabStop = true;
    c->OnKeyDown = [&log, c](TObject*, Word& key, TShiftState s) { log.Add("key " + std::to_string(key) + ShiftText(s)); };
    c->OnKeyPress = [&log](TObject*, char16_t& key) { log.Add(std::string("press ") + char(key)); };
  }
  form->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
    log.Add("form " + std::to_string(key));
    if (key == 'X') key = 0;
  };
  form->Show();
  a->SetFocus();
  log.Clear();
  TFakeInput input;
  input.Press(VK_SHIFT);
  auto send = [&](uint32_t msg, WPARAM w) {
    TMessage m{msg, w, 0, 0};
    GetFocusedControl()->KeyboardMessage(m);
  };
  send(WM_KEYDOWN, 'A');
  send(WM_CHAR, 'a');
  send(WM_KEYDOWN, 'X');  // eaten by the form
  input.Release(VK_SHIFT);
  send(WM_KEYDOWN, VK_LEFT);  // arrows reach controls that do not want them
  send(WM_KEYDOWN, VK_TAB);   // moves the focus
  EXPECT_EQ(log.lines, (std::vector<std::string>{"form 65", "key 65S", "press a", "form 88", "form 37", "key 37",
                                                  "a WM_KILLFOCUS", "b WM_SETFOCUS"}));
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(form->GetActiveControl(), b);
  form->Free();
}

}  // namespace
