// The main window's layout: the panels along its edges, the design surface
// in the centre, the drawing panel and the status bar at the bottom keep
// their places when the user resizes the window.
#include <gtest/gtest.h>

#include <QWidget>

#include "cardprogram.h"

using cardtest::CardProgram;

namespace {

TEST(MainLayout, PanelsSurfaceAndStatusBarFollowTheWindowSize) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  f->OnShow = nullptr;  // the start-up's template and questions are not looked at here
  f->OnActivate = nullptr;
  f->Show();
  for (QSize size : {QSize(1016, 693), QSize(800, 560), QSize(1200, 900)}) {
    SCOPED_TRACE(size.width());
    f->Widget()->resize(size);
    const int w = f->GetClientWidth(), h = f->GetClientHeight();
    ASSERT_EQ(QSize(w, h), size);
    const TRect status = f->StatusBar1->GetBoundsRect(), left = f->Panel1->GetBoundsRect(),
                data = f->PanTools->GetBoundsRect(), centre = f->ScrollBox1->GetParent()->GetBoundsRect();
    EXPECT_EQ(status, Rect(0, h - status.Height(), w, h));
    EXPECT_TRUE(f->StatusBar1->Showing());
    EXPECT_EQ(left.Left, 0);
    EXPECT_EQ(data.Right, w);
    EXPECT_EQ(data.Width(), 108);
    EXPECT_EQ(left.Bottom, status.Top);
    EXPECT_EQ(data.Bottom, status.Top);
    // The centre lies between the side panels and their edge panels and
    // never covers the grid; the surface sits above the drawing panel.
    EXPECT_EQ(f->Panel7->GetBoundsRect(), Rect(left.Right, left.Top, left.Right + 12, status.Top));
    EXPECT_EQ(f->Panel6->GetBoundsRect(), Rect(data.Left - 12, left.Top, data.Left, status.Top));
    EXPECT_EQ(centre, Rect(left.Right + 12, left.Top, data.Left - 12, status.Top));
    EXPECT_EQ(f->Panel9->GetBoundsRect(), Rect(0, centre.Height() - 106, centre.Width(), centre.Height()));
    EXPECT_EQ(f->Panel10->GetBoundsRect(), Rect(0, centre.Height() - 121, centre.Width(), centre.Height() - 106));
    EXPECT_EQ(f->ScrollBox1->GetBoundsRect(), Rect(0, 0, centre.Width(), centre.Height() - 121));
    EXPECT_EQ(f->DBGrid1->GetBoundsRect(), f->PanTools->GetClientRect());
    const QRect grid = f->DBGrid1->Widget()->geometry();
    EXPECT_EQ(f->DBGrid1->Widget()->parentWidget()->mapTo(f->Widget(), grid.topLeft()),
              QPoint(data.Left + grid.x(), data.Top + grid.y()));
  }
}

}  // namespace
