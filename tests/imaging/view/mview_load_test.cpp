// Background and synchronous fetching of the thumbnail view's images:
// loads land in the image they were made for whatever happens to the list
// meanwhile, failed loads leave a marked placeholder, and a folder of
// pictures loads while the view scrolls.
#include <fstream>
#include <set>

#include "mview_fixture.h"

namespace {

uint32_t Rgb(int i) { return uint32_t((i * 37) & 0xFF) << 16 | uint32_t((i * 11) & 0xFF) << 8 | uint32_t(i & 0xFF); }

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int s = 0; s < 24; s += 8)
    if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > tolerance) return false;
  return true;
}

}  // namespace

class MViewLoadTest : public MViewTest {
 protected:
  // n pictures f<i>.<ext> in colour Rgb(i), listed by file name.
  void AddFiles(int n, const std::string& ext = "bmp", int w = 48, int h = 36) {
    for (int i = 0; i < n; ++i) {
      const std::string name = File("f" + std::to_string(i) + "." + ext);
      const uint32_t c = Rgb(i);
      WriteSolidPicture(name, w, h, uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c));
      const int idx = view->GetImageCount();
      view->InsertImageEx(idx);
      view->SetImageFileName(idx, name);
    }
  }
  int FileNumber(int idx) {
    const std::string name = view->GetImageFileName(idx);
    const size_t at = name.rfind("/f");
    return at == std::string::npos ? -1 : std::stoi(name.substr(at + 2));
  }
  // Every image with pixels holds the picture of its own file.
  void ExpectEachImageHoldsItsOwnFile(int tolerance = 0) {
    for (int i = 0; i < view->GetImageCount(); ++i) {
      if (!view->HasPixels(i)) continue;
      const int f = FileNumber(i);
      ASSERT_GE(f, 0) << "image " << i << " got pixels without a source";
      EXPECT_TRUE(Near(StoredColour(i), Rgb(f), tolerance)) << "image " << i << " file " << f;
    }
  }
  bool AllVisibleLoaded() {
    for (int i = 0; i < view->GetImageCount(); ++i)
      if (view->IsVisible(i) && !view->GetImageFileName(i).empty() && !view->HasPixels(i)) return false;
    return true;
  }
};

TEST_F(MViewLoadTest, VisibleImagesLoadInTheBackgroundWithAtMostThePoolSize) {
  AddFiles(12);
  view->SetGridWidth(-1);  // three rows of three in sight, the third in part
  PaintNow();
  int most = 0;
  ASSERT_TRUE(PumpUntil([&] {
    most = std::max(most, view->LoaderCount());
    return AllVisibleLoaded() && !view->LoadsPending();
  }));
  EXPECT_LE(most, 5);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(StoredColour(i), Rgb(i));
  for (int i = 9; i < 12; ++i) EXPECT_FALSE(view->HasPixels(i));  // never in sight, never loaded
  EXPECT_EQ(view->GetImageOriginalWidth(0), 48);
}

TEST_F(MViewLoadTest, LoadsLandInTheirOwnImageWhileTheListChanges) {
  AddFiles(12, "jpg", 320, 240);
  view->SetGridWidth(-1);
  for (int round = 0; round < 3; ++round) {
    PaintNow();  // loads start
    view->InsertImageEx(0);  // no source: must never receive pixels
    view->MoveImage(5, 1);
    view->DeleteImage(3);
    view->InsertImageEx(2);
    PaintNow();
    view->MoveImage(0, 7);
    ASSERT_TRUE(PumpUntil([&] { return !view->LoadsPending(); }));
    ExpectEachImageHoldsItsOwnFile(6);
  }
  ASSERT_TRUE(PumpUntil([&] { return AllVisibleLoaded() && !view->LoadsPending(); }));
  ExpectEachImageHoldsItsOwnFile(6);
}

TEST_F(MViewLoadTest, AFailedLoadLeavesAFilledPlaceholderMarkedCorrupt) {
  {
    std::ofstream bad(File("bad.jpg"), std::ios::binary);
    bad << "\xFF\xD8\xFF\xE0 not really a picture";
  }
  view->InsertImageEx(0);
  view->SetImageFileName(0, File("bad.jpg"));
  view->InsertImageEx(1);
  view->SetImageFileName(1, File("missing.bmp"));
  view->SetImageBackground(0, TColor(0x00FF00));  // green
  view->SetImageBackground(1, TColor(0xFF0000));  // blue
  PaintNow();
  ASSERT_TRUE(PumpUntil([&] { return view->HasPixels(0) && view->HasPixels(1) && !view->LoadsPending(); }));
  for (int i : {0, 1}) {
    EXPECT_TRUE(view->GetImageCorrupt(i));
    EXPECT_EQ(view->GetImageWidth(i), 100);
    EXPECT_EQ(view->GetImageHeight(i), 100);
  }
  EXPECT_EQ(StoredColour(0), 0x00FF00u);
  EXPECT_EQ(StoredColour(1), 0x0000FFu);
  // Met by painting with RemoveCorrupted, they go.
  view->RemoveCorrupted = true;
  PaintNow();
  EXPECT_EQ(view->GetImageCount(), 0);
}

TEST_F(MViewLoadTest, SynchronousPathsFetchOnTheGuiThread) {
  AddFiles(3);
  view->ThreadPoolSize = 0;
  PaintNow();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(StoredColour(i), Rgb(i));
  EXPECT_EQ(view->LoaderCount(), 0);

  // An image with an ID is always asked for at once, on this thread.
  view->ThreadPoolSize = 5;
  TBitmap given;
  given.SetPixelFormat(pf24bit);
  given.SetSize(20, 10);
  given.GetCanvas()->Brush->Color = TColor(0x0000FF);
  given.GetCanvas()->FillRect(Rect(0, 0, 20, 10));
  std::vector<int> asked;
  const auto gui = std::this_thread::get_id();
  view->OnImageIDRequest = [&](TObject*, int id, TBitmap*& b) {
    EXPECT_EQ(std::this_thread::get_id(), gui);
    asked.push_back(id);
    b = &given;
  };
  view->InsertImageEx(0);
  view->SetImageID(0, 42);
  PaintNow();
  EXPECT_EQ(asked, std::vector<int>({42}));
  EXPECT_EQ(StoredColour(0), 0xFF0000u);
  EXPECT_EQ(view->QueuedCount(), 0);

  // A file that cannot be read synchronously is deleted with RemoveCorrupted.
  view->ThreadPoolSize = 0;
  view->InsertImageEx(0);
  view->SetImageFileName(0, File("missing.bmp"));
  view->RemoveCorrupted = true;
  PaintNow();
  EXPECT_EQ(view->GetImageCount(), 4);
  EXPECT_EQ(view->GetImageID(0), 42);
}

TEST_F(MViewLoadTest, OnlyImagesInSightAreLoaded) {
  AddFiles(30);  // one row: four cells in sight
  PaintNow();
  view->SetViewX(view->GetMaximumViewX());  // requests for the first ones go stale
  PaintNow();
  ASSERT_TRUE(PumpUntil([&] { return AllVisibleLoaded() && !view->LoadsPending(); }));
  for (int i = 4; i < 26; ++i) EXPECT_FALSE(view->HasPixels(i)) << i;
  ExpectEachImageHoldsItsOwnFile();
}

TEST_F(MViewLoadTest, ClearingOrDestroyingWhileLoadsRun) {
  AddFiles(10, "jpg", 800, 600);
  view->SetGridWidth(-1);
  PaintNow();
  view->Clear();
  EXPECT_EQ(view->GetImageCount(), 0);
  EXPECT_FALSE(view->LoadsPending());
  AddFiles(10, "jpg", 800, 600);
  PaintNow();
  form->Free();  // the loads still running end with the view
  form = new TForm(nullptr);
}

TEST_F(MViewLoadTest, AFolderOfPicturesLoadsWhileTheViewScrolls) {
  constexpr int kCount = 500;
  AddFiles(kCount, "bmp", 32, 24);
  view->StoreType = ietThumb;
  view->SetThumbWidth(30);
  view->SetThumbHeight(20);
  view->SetGridWidth(-1);
  view->SetBounds(0, 0, 110, 100);  // three columns, about five rows in sight
  ASSERT_GT(view->GetMaximumViewY(), 1000);
  for (int step = 0; step < 30; ++step) {
    Wheel({50, 50}, -120);
    PaintNow();
    Application->ProcessMessages();
  }
  ASSERT_TRUE(PumpUntil([&] { return AllVisibleLoaded() && !view->LoadsPending(); }, 20000));
  while (view->GetViewY() > 0) {
    Wheel({50, 50}, 120);
    PaintNow();
  }
  ASSERT_TRUE(PumpUntil([&] { return AllVisibleLoaded() && !view->LoadsPending(); }, 20000));
  ExpectEachImageHoldsItsOwnFile(8);
  EXPECT_LE(view->GetImageWidth(0), 30);
  EXPECT_EQ(view->GetImageOriginalWidth(0), 32);
}
