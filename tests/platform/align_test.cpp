// Aligned and anchored controls keep their places when the user resizes
// the window: the resize arrives as a resize of the form's real widget.
#include <gtest/gtest.h>

#include <QWidget>

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

namespace {

TRect BoundsOf(const TControl* c) { return c->GetBoundsRect(); }
TRect WidgetBounds(const TWinControl* c) {
  const QRect g = c->Widget()->geometry();
  return Bounds(g.x(), g.y(), g.width(), g.height());
}

template <class T>
T* Child(TWinControl* parent, TAlign align, TRect bounds, TAnchors anchors = akLeft | akTop) {
  auto* c = new T(parent);
  c->SetParent(parent);
  c->SetBoundsRect(bounds);
  c->SetAnchors(anchors);
  c->SetAlign(align);
  return c;
}

TEST(AlignTest, AlignedPanelsAndAnchoredControlsFollowAWindowResize) {
  auto* form = MakeForm<TForm>(nullptr);
  form->SetClientWidth(400);
  form->SetClientHeight(300);
  auto* top = Child<TPanel>(form, alTop, Bounds(0, 0, 10, 30));
  auto* bottom = Child<TPanel>(form, alBottom, Bounds(0, 0, 10, 20));
  auto* left = Child<TPanel>(form, alLeft, Bounds(0, 0, 50, 10));
  auto* right = Child<TPanel>(form, alRight, Bounds(0, 0, 60, 10));
  auto* centre = Child<TPanel>(form, alClient, Bounds(0, 0, 10, 10));
  // Inside the centre panel (290 x 250 at first).
  auto* corner = Child<TButton>(centre, alNone, Bounds(200, 200, 60, 25), akRight | akBottom);
  auto* wide = Child<TEdit>(centre, alNone, Bounds(10, 10, 270, 21), akLeft | akTop | akRight);
  auto* both = Child<TPanel>(centre, alNone, Bounds(10, 40, 270, 150), akLeft | akTop | akRight | akBottom);
  auto* middle = Child<TPanel>(centre, alNone, Bounds(100, 100, 20, 20), akTop);
  form->Show();

  struct Expect {
    TControl* control;
    TRect at400x300, at500x350;
  };
  const Expect expected[] = {
      {top, Bounds(0, 0, 400, 30), Bounds(0, 0, 500, 30)},
      {bottom, Bounds(0, 280, 400, 20), Bounds(0, 330, 500, 20)},
      {left, Bounds(0, 30, 50, 250), Bounds(0, 30, 50, 300)},
      {right, Bounds(340, 30, 60, 250), Bounds(440, 30, 60, 300)},
      {centre, Bounds(50, 30, 290, 250), Bounds(50, 30, 390, 300)},
      {corner, Bounds(200, 200, 60, 25), Bounds(300, 250, 60, 25)},
      {wide, Bounds(10, 10, 270, 21), Bounds(10, 10, 370, 21)},
      {both, Bounds(10, 40, 270, 150), Bounds(10, 40, 370, 200)},
      {middle, Bounds(100, 100, 20, 20), Bounds(150, 100, 20, 20)},
  };
  auto check = [&](bool grown) {
    for (const Expect& e : expected) {
      SCOPED_TRACE(&e - expected);
      const TRect want = grown ? e.at500x350 : e.at400x300;
      EXPECT_EQ(BoundsOf(e.control), want);
      if (auto* w = dynamic_cast<TWinControl*>(e.control)) EXPECT_EQ(WidgetBounds(w), want);
    }
  };
  check(false);
  form->Widget()->resize(500, 350);
  EXPECT_EQ(form->GetClientWidth(), 500);
  EXPECT_EQ(form->GetClientHeight(), 350);
  check(true);
  form->Widget()->resize(400, 300);
  check(false);
  form->Free();
}

// Bounds set by code while the parent has another size are the new base.
TEST(AlignTest, AnchorsCountFromTheBoundsLastSetByCode) {
  auto* form = MakeForm<TForm>(nullptr);
  form->SetClientWidth(300);
  form->SetClientHeight(200);
  auto* button = Child<TButton>(form, alNone, Bounds(200, 150, 75, 25), akRight | akBottom);
  form->SetClientWidth(400);
  EXPECT_EQ(BoundsOf(button), Bounds(300, 150, 75, 25));
  button->SetLeft(10);
  form->SetClientWidth(450);
  EXPECT_EQ(BoundsOf(button), Bounds(60, 150, 75, 25));
  form->Free();
}

}  // namespace
