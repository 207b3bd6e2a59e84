// Metafiles through the I/O front end: the drawing size rules, the cap on
// the longer side, the parameters, the background, merging over a picture
// and the failures.
#include <gtest/gtest.h>

#include <string>

#include "imaging/core/iebitmap.h"
#include "imaging/core/ieview.h"
#include "imaging/io/pixio.h"
#include "platform/classes.h"
#include "support/metafilebytes.h"
#include "support/testenv.h"

namespace {

using cwtest::EmfBuilder;
using cwtest::MetaBytes;
using cwtest::MetaPayload;
using cwtest::WmfBuilder;

constexpr int32_t kRed = 0x0000FF;

std::string Write(const cwtest::TempDir& dir, const std::string& name, const MetaBytes& bytes) {
  const std::string path = dir.file(name);
  TFileStream file(path, fmCreate);
  file.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  return path;
}

// A red box over the middle third of a width x height picture.
MetaBytes Wmf(int16_t width, int16_t height) {
  return WmfBuilder(0, 0, width, height, 96)
      .Record(0x02FC, MetaPayload().I16({0}).I32({kRed}).I16({0}))
      .Record(0x012D, {0})
      .Record(0x02FA, MetaPayload().I16({5, 0, 0}).I32({0}))
      .Record(0x012D, {1})
      .Record(0x041B, {int16_t(2 * height / 3), int16_t(2 * width / 3), int16_t(height / 3), int16_t(width / 3)})
      .Finish();
}

MetaBytes Emf(int width, int height) {
  return EmfBuilder(width, height)
      .Record(39, {1, 0, kRed, 0})
      .Record(37, {1})
      .Record(37, {int32_t(0x80000008)})
      .Record(43, {width / 3, height / 3, 2 * width / 3, 2 * height / 3})
      .Finish();
}

bool IsRed(TIEBitmap& b, int x, int y) {
  TRGB p = b.GetPixels_ie24RGB(x, y);
  return p.r == 255 && p.g == 0 && p.b == 0;
}

struct MetafileIO : ::testing::Test {
  cwtest::TempDir dir;
  TPixIO io{nullptr};
  int finished = 0;
  void SetUp() override {
    io.OnFinishWork = [this](TObject*) { ++finished; };
  }
};

TEST_F(MetafileIO, SizesFollowTheAskedSidesAndTheCap) {
  struct Case {
    const char* name;
    MetaBytes bytes;
    int width, height;  // asked
    int expectW, expectH;
    TIEFileType type;
  };
  const Case cases[] = {
      {"big.wmf", Wmf(4000, 1000), -1, -1, 2799, 699, ieftWMF},
      {"big.emf", Emf(4000, 1000), -1, -1, 2799, 699, ieftEMF},
      {"tall.wmf", Wmf(500, 3500), -1, -1, 399, 2799, ieftWMF},
      {"w300.wmf", Wmf(600, 400), 300, -1, 299, 199, ieftWMF},
      {"h200.emf", Emf(600, 400), -1, 200, 299, 199, ieftEMF},
      {"both.wmf", Wmf(600, 400), 101, 51, 100, 50, ieftWMF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Write(dir, c.name, c.bytes);
    io.ImportMetafile(path, c.width, c.height);
    EXPECT_FALSE(io.Aborting);
    EXPECT_EQ(io.IEBitmap->Width, c.expectW);
    EXPECT_EQ(io.IEBitmap->Height, c.expectH);
    EXPECT_EQ(io.IEBitmap->PixelFormat, ie24RGB);
    EXPECT_EQ(io.IOParams->Width, c.expectW);
    EXPECT_EQ(io.IOParams->Height, c.expectH);
    EXPECT_EQ(io.IOParams->FileType, c.type);
    EXPECT_EQ(io.IOParams->FileName, path);
    EXPECT_EQ(io.IOParams->DPIX, gSystemDPIX);
    EXPECT_EQ(io.IOParams->DPIY, gSystemDPIY);
    EXPECT_EQ(io.IOParams->BitsPerSample, 8);
    EXPECT_EQ(io.IOParams->SamplesPerPixel, 3);
  }
  EXPECT_EQ(finished, 6);
}

TEST_F(MetafileIO, DrawsOverTheBackgroundAndLoadsByNameOrCode) {
  const std::string wmf = Write(dir, "box.wmf", Wmf(90, 60));
  const std::string emf = Write(dir, "box.emf", Emf(90, 60));
  io.SetReBackground(0x00FF00);  // green
  for (int route = 0; route < 3; ++route) {
    SCOPED_TRACE(route);
    if (route == 0) io.LoadFromFile(wmf);
    if (route == 1) io.LoadFromFileFormat(emf, ieftEMF);
    if (route == 2) io.LoadFromFileFormat(wmf, ieftWMF);
    ASSERT_EQ(io.IEBitmap->Width, 89);
    EXPECT_TRUE(IsRed(*io.IEBitmap, 45, 30));
    TRGB corner = io.IEBitmap->GetPixels_ie24RGB(2, 2);
    EXPECT_EQ(corner.g, 255);
    EXPECT_EQ(corner.r, 0);
  }
}

TEST_F(MetafileIO, ZeroSizesAndBadFiles) {
  const std::string good = Write(dir, "good.wmf", Wmf(90, 60));
  io.ImportMetafile(good, -1, -1);
  ASSERT_EQ(io.IEBitmap->Width, 89);

  // 0 asked: nothing happens but the finish event.
  finished = 0;
  io.ImportMetafile(good, 0, 50);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(io.IEBitmap->Width, 89);

  // A metafile without a size cannot be drawn.
  const std::string sizeless = Write(dir, "sizeless.wmf", WmfBuilder().Finish());
  io.ImportMetafile(sizeless, -1, -1);
  EXPECT_TRUE(io.Aborting);
  io.ImportMetafile(sizeless, 100, -1);  // no division by a zero height
  EXPECT_TRUE(io.Aborting);
  io.MergeMetafile(sizeless, 0, 0, -1, -1);
  EXPECT_TRUE(io.Aborting);

  // Not a metafile: the error comes after the finish event.
  MetaBytes truncated = Wmf(90, 60);
  truncated.resize(truncated.size() - 10);
  const std::string bad = Write(dir, "bad.emf", truncated);
  finished = 0;
  EXPECT_THROW(io.ImportMetafile(bad, -1, -1), EInvalidGraphic);
  EXPECT_EQ(finished, 1);
  EXPECT_THROW(io.MergeMetafile(bad, 0, 0, -1, -1), EInvalidGraphic);
  EXPECT_EQ(finished, 2);
  EXPECT_EQ(io.IEBitmap->Width, 89);
}

TEST_F(MetafileIO, MergeDrawsOnlyWhatTheMetafileDrawsClippedToThePicture) {
  io.IEBitmap->Allocate(100, 80, ie24RGB);
  io.IEBitmap->Fill(0xFF0000);  // blue
  const std::string box = Write(dir, "box.emf", Emf(30, 30));
  io.IOParams->FileName = "kept";
  // At (80, 60) the 29 x 29 area runs past the picture's corner.
  io.MergeMetafile(box, 80, 60, -1, -1);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(io.IEBitmap->Width, 100);
  EXPECT_TRUE(IsRed(*io.IEBitmap, 80 + 15, 60 + 15));
  TRGB outside = io.IEBitmap->GetPixels_ie24RGB(80 + 2, 60 + 2);
  EXPECT_EQ(outside.b, 255);
  EXPECT_EQ(outside.r, 0);
  EXPECT_EQ(io.IOParams->FileName, "kept");

  // Twice the size, at the top-left corner.
  io.MergeMetafile(box, 0, 0, 60, -1);
  EXPECT_TRUE(IsRed(*io.IEBitmap, 21, 21));
  EXPECT_TRUE(IsRed(*io.IEBitmap, 38, 38));
  EXPECT_EQ(io.IEBitmap->GetPixels_ie24RGB(18, 18).b, 255);
}

}  // namespace
