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

namespace {

TEST(Pix, PointPasteTakesClientPointsOnceWhateverTheSelectionBase) {
  for (TIESelectionBase base : {iesbClientArea, iesbBitmap}) {
    SCOPED_TRACE(base);
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 300, 300);
    TPix* pix = new TPix(&parent);
    pix->SetParent(&parent);
    pix->SetBounds(0, 0, 100, 100);
    TBitmap* b = pix->GetFBitmap();
    b->SetPixelFormat(pf24bit);
    b->SetSize(100, 100);
    b->GetCanvas()->Brush->Color = clWhite;
    b->GetCanvas()->FillRect(Rect(0, 0, 100, 100));
    pix->Update();
    pix->SetZoom(200);
    pix->SelectionBase = base;

    TPix stamp(nullptr);
    stamp.GetFBitmap()->SetPixelFormat(pf24bit);
    stamp.GetFBitmap()->SetSize(4, 4);
    stamp.GetFBitmap()->GetCanvas()->Brush->Color = clRed;
    stamp.GetFBitmap()->GetCanvas()->FillRect(Rect(0, 0, 4, 4));
    stamp.Update();
    stamp.CopyToClipboard();

    // Half the client position plus the scroll position, converted once.
    const int x = pix->XScr2Bmp(40), y = pix->YScr2Bmp(20);
    EXPECT_EQ(x - pix->XScr2Bmp(0), 20);
    pix->PointPasteFromClip(40, 20);
    EXPECT_EQ(b->GetCanvas()->GetPixel(x, y), clRed);
    EXPECT_EQ(b->GetCanvas()->GetPixel(x - 1, y), clWhite);
    EXPECT_EQ(b->GetCanvas()->GetPixel(x, y - 1), clWhite);
  }
}

}  // namespace
