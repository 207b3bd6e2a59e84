// TPixMIO: parameter records that follow the thumbnail view's images, and
// the frames of TIFF, GIF and AVI files loaded into and saved from it.
#include <gtest/gtest.h>

#include "imaging/io/avifile.h"
#include "imaging/io/giflzw.h"
#include "imaging/io/ielzwhooks.h"
#include "imaging/view/pixmio.h"
#include "mview_fixture.h"
#include "support/testenv.h"

namespace {

class PixMIOTest : public MViewTest {
 protected:
  void SetUp() override {
    // The GIF coders, as the card program's forms install them.
    decompress_ = DefGIF_LZWDECOMPFUNC;
    compress_ = DefGIF_LZWCOMPFUNC;
    DefGIF_LZWDECOMPFUNC = GIFLZWDecompress;
    DefGIF_LZWCOMPFUNC = GIFLZWCompress;
    MViewTest::SetUp();
    mio = new TPixMIO(form);
  }
  void TearDown() override {
    MViewTest::TearDown();
    DefGIF_LZWDECOMPFUNC = decompress_;
    DefGIF_LZWCOMPFUNC = compress_;
  }
  // The records' positions as they stand.
  void ExpectNumbered() {
    for (int i = 0; i < mio->GetParamsCount(); ++i) {
      EXPECT_EQ(mio->GetParams(i)->TIFF_ImageIndex, i);
      EXPECT_EQ(mio->GetParams(i)->GIF_ImageIndex, i);
    }
  }
  // Clear would drop the images without telling the listeners.
  void DeleteAll() {
    while (view->GetImageCount() > 0) view->DeleteImage(0);
  }
  // The red byte of image idx's top left pixel.
  int RedOf(int idx) {
    TIEBitmap b;
    view->CopyToIEBitmap(idx, &b);
    return b.GetPixels(0, 0).r;
  }

  TPixMIO* mio = nullptr;
  TGIFLZWDecompFunc decompress_;
  TGIFLZWCompFunc compress_;
};

TEST_F(PixMIOTest, RecordsFollowTheViewsInsertsAndDeletes) {
  AddImages(5);
  mio->SetAttachedMView(view);
  ASSERT_EQ(mio->GetParamsCount(), 5);
  ExpectNumbered();
  mio->GetParams(3)->JPEG_Quality = 33;

  view->DeleteImage(2);
  ASSERT_EQ(mio->GetParamsCount(), 4);
  EXPECT_EQ(mio->GetParams(2)->JPEG_Quality, 33);
  ExpectNumbered();

  view->InsertImageEx(2);  // a copy of the record it pushes on
  ASSERT_EQ(mio->GetParamsCount(), 5);
  EXPECT_EQ(mio->GetParams(2)->JPEG_Quality, 33);
  EXPECT_EQ(mio->GetParams(3)->JPEG_Quality, 33);
  view->InsertImageEx(99);  // past the end: a copy of the last
  EXPECT_EQ(mio->GetParamsCount(), 6);
  ExpectNumbered();
  EXPECT_EQ(mio->GetParams(-1), nullptr);
  EXPECT_EQ(mio->GetParams(6), nullptr);

  // Detached, the view's changes no longer reach the records.
  mio->SetAttachedMView(nullptr);
  view->DeleteImage(0);
  EXPECT_EQ(mio->GetParamsCount(), 6);
}

TEST_F(PixMIOTest, TiffPagesSaveInViewOrderAndLoadBeforeTheSelectedImage) {
  AddImages(3, 20, 10);
  mio->SetAttachedMView(view);
  const std::string tif = File("three.tif");
  mio->SaveToFile(tif);
  EXPECT_FALSE(mio->Aborting);

  DeleteAll();
  AddImages(5, 8, 8);
  view->SetSelectedItem(4);
  mio->LoadFromFile(tif);
  EXPECT_FALSE(mio->Aborting);
  ASSERT_EQ(view->GetImageCount(), 8);
  ASSERT_EQ(mio->GetParamsCount(), 8);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(view->GetImageWidth(4 + k), 20);
    EXPECT_EQ(RedOf(4 + k), k);  // image i has red i
    EXPECT_EQ(view->GetImageDelayTime(4 + k), 100);
    EXPECT_EQ(mio->GetParams(4 + k)->FileType, ieftTIFF);
  }
  EXPECT_EQ(RedOf(7), 4);  // the selected image moved behind the pages
  ExpectNumbered();
}

TEST_F(PixMIOTest, SquarePixelsOnRequest) {
  AddImages(1, 20, 10);
  mio->SetAttachedMView(view);
  mio->GetParams(0)->DPIX = 100;
  mio->GetParams(0)->DPIY = 50;
  const std::string tif = File("wide.tif");
  mio->SaveToFile(tif);
  for (const bool adjust : {false, true}) {
    DeleteAll();
    mio->AutoAdjustDPI = adjust;
    mio->LoadFromFile(tif);
    ASSERT_EQ(view->GetImageCount(), 1);
    EXPECT_EQ(view->GetImageWidth(0), 20);
    EXPECT_EQ(view->GetImageHeight(0), adjust ? 20 : 10);  // 10 / 50 x 100
    EXPECT_EQ(mio->GetParams(0)->DPIY, adjust ? 100 : 50);
  }
}

TEST_F(PixMIOTest, GifFramesWithoutDelayTakeThePreviousOne) {
  AddImages(3, 6, 4);
  mio->SetAttachedMView(view);
  const int delays[] = {0, 20, 0};
  for (int i = 0; i < 3; ++i) mio->GetParams(i)->GIF_DelayTime = delays[i];
  const std::string gif = File("anim.gif");
  mio->SaveToFile(gif);
  ASSERT_FALSE(mio->Aborting);

  DeleteAll();
  mio->LoadFromFile(gif);
  ASSERT_FALSE(mio->Aborting);
  ASSERT_EQ(view->GetImageCount(), 3);
  EXPECT_EQ(view->GetImageDelayTime(0), 10);
  EXPECT_EQ(view->GetImageDelayTime(1), 200);
  EXPECT_EQ(view->GetImageDelayTime(2), 200);
  EXPECT_EQ(mio->GetParams(1)->FileType, ieftGIF);
}

TEST_F(PixMIOTest, AviFramesLoadWithTheirDelayAndSaveAtTheFirstImagesRate) {
  mio->SetAttachedMView(view);
  mio->LoadFromFile(cwtest::DataPath("avi/bgr24.avi").string());
  ASSERT_FALSE(mio->Aborting);
  ASSERT_EQ(view->GetImageCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(view->GetImageDelayTime(i), 40);
    EXPECT_EQ(mio->GetParams(i)->GIF_DelayTime, 40);
    EXPECT_EQ(mio->GetParams(i)->Width, 33);
    EXPECT_EQ(mio->GetParams(i)->BitsPerSample, 8);
    EXPECT_EQ(mio->GetParams(i)->SamplesPerPixel, 3);
    EXPECT_EQ(mio->GetParams(i)->DPIX, gSystemDPIX);
  }

  // Saved back, with an odd-sized image in the middle.
  AddImages(1, 5, 5);
  view->MoveImage(3, 1);
  const std::string avi = File("back.avi");
  mio->SaveToFile(avi);
  TFileStream file(avi, fmOpenRead);
  TIEAviReader reader;
  ASSERT_TRUE(reader.Open(&file)) << reader.Error;
  EXPECT_EQ(reader.FrameCount(), 4);
  EXPECT_EQ(reader.Info().Scale, 1u);
  EXPECT_EQ(reader.Info().Rate, 25u);
  EXPECT_EQ(reader.Info().Width, 33);
  TIEBitmap frame1, frame0;
  reader.ReadFrame(0, &frame0);
  reader.ReadFrame(1, &frame1);
  EXPECT_EQ(frame1.GetPixels(7, 7), frame0.GetPixels(7, 7));  // the odd one repeats its neighbour

  // Nothing to read: aborted, nothing added; another extension: nothing at all.
  const int before = view->GetImageCount();
  mio->LoadFromFile(File("missing.avi"));
  EXPECT_TRUE(mio->Aborting);
  mio->LoadFromFile(File("picture.bmp"));
  EXPECT_EQ(view->GetImageCount(), before);
  EXPECT_THROW(mio->SaveToFile(File("no/such/folder/x.avi")), EInvalidGraphic);
}

}  // namespace
