// TPix: the view that owns its file and processing components and forwards
// to them.
#include "imaging/view/pix.h"

#include <gtest/gtest.h>

#include "support/testenv.h"

namespace {

TEST(Pix, OwnsBothComponentsFromTheStart) {
  TPix pix(nullptr);
  TPixIO* io = pix.GetPixIO();
  TPixProc* proc = pix.GetPixProc();
  ASSERT_NE(io, nullptr);
  ASSERT_NE(proc, nullptr);
  pix.LoadFromFile(cwtest::DataPath("pictures/bmp-24bit-97x61.bmp"));
  EXPECT_EQ(pix.GetPixIO(), io);
  EXPECT_EQ(pix.GetFBitmap()->GetWidth(), 97);
  EXPECT_EQ(proc->GetWorkingBitmap(), pix.GetFBitmap());
}

TEST(Pix, AssignCopiesParametersOnlyFromAnotherComponent) {
  TPix source(nullptr);
  source.GetFBitmap()->SetSize(5, 4);
  source.GetIOParams()->JPEG_Quality = 33;
  TPix target(nullptr);
  target.Assign(&source);
  EXPECT_EQ(target.GetIOParams()->JPEG_Quality, 33);
  EXPECT_EQ(target.GetFBitmap()->GetWidth(), 5);

  TBitmap plain;
  plain.SetSize(7, 2);
  target.GetIOParams()->JPEG_Quality = 80;
  target.Assign(&plain);
  EXPECT_EQ(target.GetIOParams()->JPEG_Quality, 80);
  EXPECT_EQ(target.GetFBitmap()->GetWidth(), 7);
}

TEST(Pix, LanguageAndFontGoToBothComponents) {
  TPix pix(nullptr);
  pix.SetMsgLanguage(msGerman);
  EXPECT_EQ(pix.GetPixIO()->MsgLanguage, msGerman);
  EXPECT_EQ(pix.GetMsgLanguage(), msGerman);
  TFont font;
  font.Name = "Arial";
  font.Height = -20;
  pix.SetPreviewFont(&font);
  EXPECT_EQ(pix.GetPreviewFont()->Height, -20);
  EXPECT_EQ(pix.GetPixProc()->GetPreviewFont()->Name, "Arial");
}

TEST(Pix, ConvertsAPictureIntoAStreamOfAChosenFormat) {
  TPix pix(nullptr);
  TBitmap* b = pix.GetFBitmap();
  b->SetPixelFormat(pf24bit);
  b->SetSize(8, 6);
  b->GetCanvas()->Brush->Color = clRed;
  b->GetCanvas()->FillRect(Rect(0, 0, 8, 6));
  pix.Update();
  TMemoryStream stream;
  pix.SaveToStream(&stream, ieftBMP);
  ASSERT_GT(stream.GetSize(), 54);
  stream.SetPosition(0);
  TPix back(nullptr);
  back.LoadFromStream(&stream);
  EXPECT_EQ(back.GetIOParams()->FileType, ieftBMP);
  EXPECT_EQ(back.GetFBitmap()->GetCanvas()->GetPixel(3, 3), clRed);
}

}  // namespace
