// The view's own I/O component: how it is made and freed, and what a load
// or a save through it does to the view (picture, layout, repaint,
// resolution, listeners).
#include <QImage>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/io/pixio.h"
#include "pixview_fixture.h"
#include "support/testenv.h"

using cwtest::DataPath;
using cwtest::TempDir;

namespace {

std::string PicturePath(const std::string& name) { return DataPath("pictures/" + name).string(); }

std::vector<char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

void PutLE32(std::vector<char>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (8 * i));
}

void PutBE16(std::vector<char>& b, size_t at, uint16_t v) {
  b[at] = char(v >> 8);
  b[at + 1] = char(v);
}

// A copy of a corpus picture whose header states another resolution: the
// BMP's pixels per metre, or the JPEG's JFIF density in dots per inch.
using TPatch = void (*)(std::vector<char>&);
void BmpAt150x75(std::vector<char>& b) {
  PutLE32(b, 38, 5906);  // 150.01 dpi
  PutLE32(b, 42, 2953);  // 75.006 dpi
}
void JpegAt200x50(std::vector<char>& b) {
  ASSERT_EQ(std::string(&b[6], 4), "JFIF");
  b[13] = 1;
  PutBE16(b, 14, 200);
  PutBE16(b, 16, 50);
}

std::string Prepare(const TempDir& dir, const std::string& picture, TPatch patch) {
  std::vector<char> bytes = ReadFile(PicturePath(picture));
  if (patch) patch(bytes);
  const std::string name = dir.file("copy-" + picture);
  WriteFile(name, bytes);
  return name;
}

// Largest colour-channel difference between two pictures; 999 when their
// sizes differ.
int MaxDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 999;
  int worst = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                        std::abs(qBlue(p) - qBlue(q))});
    }
  return worst;
}

QImage Reference(const std::string& picture) {
  const std::string stem = picture.substr(0, picture.rfind('.'));
  return QImage(QString::fromStdString(PicturePath("refs/" + stem + ".png")));
}

// Tells when a component it watches is freed.
class TFreeWatch : public TComponent {
 public:
  TFreeWatch() : TComponent(nullptr) {}
  std::vector<TComponent*> Freed;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove) Freed.push_back(component);
  }
};

using PixViewIOTest = PixViewTest;

TEST_F(PixViewIOTest, IOComponentIsMadeOnceOwnedAndAttached) {
  std::vector<TObject*> senders;
  view->SetOnProgress([&](TObject* sender, int) { senders.push_back(sender); });
  EXPECT_EQ(view->BitmapChangeEventCount(), 0);

  TPixIO* io = view->GetPixIO();
  ASSERT_NE(io, nullptr);
  EXPECT_EQ(view->GetPixIO(), io);
  EXPECT_EQ(io->GetOwner(), view);
  EXPECT_EQ(io->AttachedPix, view);
  EXPECT_EQ(io->Bitmap, view->GetFBitmap());
  EXPECT_EQ(view->BitmapChangeEventCount(), 1);

  // The handler set before the component existed reaches it, and so does a
  // later one.
  TempDir dir;
  io->LoadFromFile(Prepare(dir, "bmp-24bit-97x61.bmp", nullptr));
  ASSERT_FALSE(io->Aborting);
  ASSERT_FALSE(senders.empty());
  EXPECT_EQ(senders.front(), io);
  int later = 0;
  view->SetOnProgress([&](TObject*, int) { ++later; });
  const size_t before = senders.size();
  io->LoadFromFile(dir.file("copy-bmp-24bit-97x61.bmp"));
  EXPECT_GT(later, 0);
  EXPECT_EQ(senders.size(), before);
}

TEST_F(PixViewIOTest, LoadUpdatesTheViewAndSetsItsResolution) {
  gSystemDPIX = 72;
  gSystemDPIY = 48;
  struct TCase {
    const char* picture;
    TPatch patch;
    int dpiX, dpiY;
  } const cases[] = {
      {"bmp-24bit-97x61.bmp", BmpAt150x75, 150, 75},
      {"bmp-24bit-97x61.bmp", nullptr, 72, 48},  // no resolution stored: the screen's
      {"bmp-rle8-97x61.bmp", BmpAt150x75, 150, 75},
      {"jpg-baseline-444-97x61.jpg", JpegAt200x50, 200, 50},
      {"jpg-grey-97x61.jpg", JpegAt200x50, 200, 50},
  };
  TempDir dir;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.picture);
    // A small client with both bars allowed, nothing shown yet.
    PixViewTest::TearDown();
    PixViewTest::SetUp();
    view->SetBounds(0, 0, 60, 40);
    view->SetScrollBars(ssBoth);
    view->SetDPI(11, 12);
    EXPECT_FALSE(view->HorzBarShown);
    PaintNow();
    ASSERT_FALSE(view->UpdatePending());

    TPixIO* io = view->GetPixIO();
    io->LoadFromFile(Prepare(dir, c.picture, c.patch));
    ASSERT_FALSE(io->Aborting);

    TBitmap* shown = view->GetFBitmap();
    EXPECT_EQ(shown->GetWidth(), 97);
    EXPECT_EQ(shown->GetHeight(), 61);
    EXPECT_EQ(MaxDifference(shown->Image(), Reference(c.picture)), 0);
    EXPECT_EQ(view->ExtentX, 97);
    EXPECT_EQ(view->ExtentY, 61);
    EXPECT_TRUE(view->HorzBarShown);
    EXPECT_TRUE(view->VertBarShown);
    EXPECT_TRUE(view->BackBufferDirty());
    EXPECT_TRUE(view->UpdatePending());
    EXPECT_EQ(view->GetDPIX(), c.dpiX);
    EXPECT_EQ(view->GetDPIY(), c.dpiY);

    // The repaint shows the new picture from its top-left corner.
    PaintNow();
    EXPECT_EQ(Shown(5, 7), shown->Image().pixel(5, 7) & 0xFFFFFF);
  }
  gSystemDPIX = gSystemDPIY = 0;
}

// The program reads the screen's resolution at start-up: pictures that
// carry none load and save at it (96 without a screen), not at 0.
TEST_F(PixViewIOTest, PicturesWithoutResolutionTakeTheScreens) {
  struct TScreenless {
    ~TScreenless() { gSystemDPIX = gSystemDPIY = 0; }
  } restore;
  ReadSystemDPI();
  EXPECT_EQ(gSystemDPIX, 96);
  EXPECT_EQ(gSystemDPIY, 96);
  TempDir dir;
  TPixIO* io = view->GetPixIO();
  io->LoadFromFile(Prepare(dir, "bmp-24bit-97x61.bmp", nullptr));
  ASSERT_FALSE(io->Aborting);
  EXPECT_EQ(view->GetDPIX(), 96);
  EXPECT_EQ(view->GetDPIY(), 96);
  const std::string saved = dir.file("saved.bmp");
  io->SaveToFile(saved);
  gSystemDPIX = gSystemDPIY = 0;
  // Read back with no screen resolution to fall back on: the file carries it.
  io->LoadFromFile(saved);
  ASSERT_FALSE(io->Aborting);
  EXPECT_EQ(io->IOParams->DPIX, 96);
  EXPECT_EQ(io->IOParams->DPIY, 96);
}

TEST_F(PixViewIOTest, LoadTellsListenersAfterTheLayoutThenOnImageChange) {
  std::vector<std::string> calls;
  int extentSeen = -1, dpiSeen = -1;
  view->RegisterBitmapChangeEvent([&](TObject* sender, bool destroying) {
    if (destroying) return;
    EXPECT_EQ(sender, view);
    calls.push_back("first");
    extentSeen = view->ExtentX;
    dpiSeen = view->GetDPIX();
  });
  TPixIO* io = view->GetPixIO();
  view->RegisterBitmapChangeEvent([&](TObject*, bool destroying) {
    if (!destroying) calls.push_back("second");
  });
  view->OnImageChange = [&](TObject* sender) {
    EXPECT_EQ(sender, view);
    calls.push_back("OnImageChange");
  };

  TempDir dir;
  const std::string names[] = {Prepare(dir, "bmp-24bit-97x61.bmp", BmpAt150x75),
                               Prepare(dir, "jpg-grey-97x61.jpg", JpegAt200x50)};
  const int dpis[] = {150, 200};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(names[i]);
    calls.clear();
    view->SetBounds(0, 0, 100, 80);
    view->GetFBitmap()->SetSize(3, 3);
    view->Update();
    io->LoadFromFile(names[i]);
    ASSERT_FALSE(io->Aborting);
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "second", "OnImageChange"}));
    EXPECT_EQ(extentSeen, 97);
    EXPECT_EQ(dpiSeen, dpis[i]);
  }
}

TEST_F(PixViewIOTest, SaveWritesTheViewsCurrentPicture) {
  TempDir dir;
  struct TCase {
    TPixelFormat format;
    int w, h;
  } const cases[] = {{pf24bit, 23, 11}, {pf24bit, 5, 17}, {pf1bit, 19, 9}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " format " << c.format);
    // The picture is replaced directly, as callers of the view do.
    TBitmap* picture = view->GetFBitmap();
    picture->SetPixelFormat(c.format);
    picture->SetSize(c.w, c.h);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) {
        const bool on = (x * 3 + y * 5) % 7 < 3;
        picture->Image().setPixel(x, y, c.format == pf1bit ? uint(on) : qRgb(x * 11, y * 13, on ? 200 : 40));
      }
    view->Update();
    const std::string name = dir.file("saved.bmp");
    view->GetPixIO()->SaveToFile(name);
    ASSERT_FALSE(view->GetPixIO()->Aborting);

    TBitmap back;
    TPixIO reader(nullptr);
    reader.SetAttachedBitmap(&back);
    reader.LoadFromFile(name);
    ASSERT_FALSE(reader.Aborting);
    EXPECT_EQ(MaxDifference(back.Image(), picture->Image()), 0);
  }
}

TEST_F(PixViewIOTest, FailedLoadLeavesThePictureAsItWas) {
  TempDir dir;
  TPixIO* io = view->GetPixIO();
  io->LoadFromFile(Prepare(dir, "bmp-24bit-97x61.bmp", nullptr));
  ASSERT_FALSE(io->Aborting);
  const QImage before = view->GetFBitmap()->Image().copy();

  const std::string unknown = dir.file("picture.xyz");
  WriteFile(unknown, ReadFile(PicturePath("bmp-8bit-97x61.bmp")));
  const std::string failing[] = {
      Prepare(dir, "bmp-bad-truncated-header.bmp", nullptr),
      Prepare(dir, "bmp-bad-bitcount-7.bmp", nullptr),
      Prepare(dir, "bmp-bad-huge-dimensions.bmp", nullptr),
      Prepare(dir, "jpg-bad-truncated-header.jpg", nullptr),
      Prepare(dir, "jpg-bad-precision.jpg", nullptr),
      unknown,
  };
  for (const std::string& name : failing) {
    SCOPED_TRACE(name);
    io->LoadFromFile(name);
    EXPECT_TRUE(io->Aborting);
    EXPECT_EQ(MaxDifference(view->GetFBitmap()->Image(), before), 0);
    EXPECT_EQ(view->ExtentX, 97);
  }
  // A file that cannot be opened raises and changes nothing either.
  EXPECT_ANY_THROW(io->LoadFromFile(dir.file("missing.bmp")));
  EXPECT_EQ(MaxDifference(view->GetFBitmap()->Image(), before), 0);
}

TEST(PixViewIOLife, TheViewFreesItsComponentAndForgetsOneFreedBefore) {
  TFreeWatch watch;
  {
    TPixView view(nullptr);
    TPixIO* io = view.GetPixIO();
    io->FreeNotification(&watch);
  }
  EXPECT_EQ(watch.Freed.size(), 1u);

  // Freed by somebody else first: the view lets go of it and makes a new
  // one when asked again.
  TPixView view(nullptr);
  TPixIO* first = view.GetPixIO();
  first->Free();
  EXPECT_EQ(view.BitmapChangeEventCount(), 0);
  view.ImageChange();
  TPixIO* second = view.GetPixIO();
  EXPECT_EQ(second->AttachedPix, &view);
  EXPECT_EQ(view.BitmapChangeEventCount(), 1);
}

TEST(PixViewIOLife, AComponentOutlivingItsViewIsLeftDetached) {
  TempDir dir;
  const std::string name = Prepare(dir, "bmp-24bit-97x61.bmp", nullptr);
  TPixIO io(nullptr);
  {
    TPixView view(nullptr);
    io.SetAttachedPix(&view);
    io.LoadFromFile(name);
    ASSERT_EQ(view.GetFBitmap()->GetWidth(), 97);
  }
  EXPECT_EQ(io.AttachedPix, nullptr);
  EXPECT_EQ(io.Bitmap, nullptr);
  EXPECT_EQ(io.IEBitmap->GetTBitmap(), nullptr);
  EXPECT_EQ(io.GetAlphaChannel(), nullptr);
  io.LoadFromFile(name);  // into its own picture now
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(io.IEBitmap->Width, 97);

  // Freed before the view instead: the view keeps no listener of it.
  TPixView view(nullptr);
  {
    TPixIO shortLived(nullptr);
    shortLived.SetAttachedPix(&view);
    EXPECT_EQ(view.BitmapChangeEventCount(), 1);
  }
  EXPECT_EQ(view.BitmapChangeEventCount(), 0);
  view.ImageChange();
}

}  // namespace
