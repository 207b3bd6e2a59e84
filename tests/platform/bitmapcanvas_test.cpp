// A bitmap canvas with a resolution of its own: the device capabilities say
// it, and it draws on the bitmap as the bitmap is resized.
#include "platform/bitmapcanvas.h"

#include <gtest/gtest.h>

#include "platform/gdi.h"

namespace {

TEST(BitmapCanvasTest, ReportsItsResolutionAndFollowsTheBitmap) {
  TBitmap bitmap;
  std::unique_ptr<TCanvas> canvas = MakeBitmapCanvas(&bitmap, 600);
  EXPECT_EQ(GetDeviceCaps(canvas->GetHandle(), LOGPIXELSX), 600);
  EXPECT_EQ(GetDeviceCaps(canvas->GetHandle(), LOGPIXELSY), 600);
  EXPECT_EQ(GetDeviceCaps(bitmap.GetCanvas()->GetHandle(), LOGPIXELSX), ScreenPixelsPerInch());
  bitmap.SetSize(20, 10);
  canvas->Brush->Color = clRed;
  canvas->FillRect({2, 2, 6, 4});
  EXPECT_EQ(bitmap.GetCanvas()->GetPixel(3, 3), clRed);
  EXPECT_EQ(bitmap.GetCanvas()->GetPixel(7, 3), clWhite);
  EXPECT_EQ(GetDeviceCaps(canvas->GetHandle(), HORZRES), 20);
  EXPECT_EQ(GetDeviceCaps(MakeBitmapCanvas(&bitmap, 0)->GetHandle(), LOGPIXELSX), ScreenPixelsPerInch());
}

}  // namespace
