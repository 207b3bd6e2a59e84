// Multi-page TIFF files through the front end's free routines.
#include <gtest/gtest.h>

#include "imaging/core/iebitmap.h"
#include "imaging/io/pixio.h"
#include "imaging/io/pixiomulti.h"
#include "platform/classes.h"
#include "support/streambytes.h"
#include "support/testenv.h"
#include "tifmaker.h"

namespace {

using cwtest::TTifMaker;

TEST(PixIOMulti, CountsTheTiffPagesOfFilesAndStreams) {
  TTifMaker three;
  for (int i = 0; i < 3; ++i) three.Page().Long(256, {1}).Long(257, {1}).Short(258, {8}).Short(262, {1}).Strip({1});
  const cwtest::Bytes bytes = three.Build();
  cwtest::TempDir dir;
  const std::string path = dir.file("three.tif");
  {
    TFileStream file(path, fmCreate);
    file.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  }
  EXPECT_EQ(EnumTIFFIm(path), 3);
  TMemoryStream stream;
  cwtest::Fill(stream, bytes);
  EXPECT_EQ(EnumTIFFStream(&stream), 3);
  EXPECT_THROW(EnumTIFFIm(dir.file("missing.tif")), EFOpenError);
}

// The front end's page routines hand their arguments on in the right
// order: the page taken out, the page removed and where pages go in are
// told apart by each page's own gray value.
TEST(PixIOMulti, PageRoutinesTakeOutRemoveAndMergeTheNamedPages) {
  TTifMaker three;
  for (uint8_t v : {10, 20, 30}) three.Page().Long(256, {1}).Long(257, {1}).Short(258, {8}).Short(262, {1}).Strip({v});
  const cwtest::Bytes bytes = three.Build();
  cwtest::TempDir dir;
  const std::string path = dir.file("three.tif"), one = dir.file("one.tif"), merged = dir.file("merged.tif");
  {
    TFileStream file(path, fmCreate);
    file.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  }
  auto grayOf = [](const std::string& name, int page) {
    TIEBitmap picture;
    TPixIO io(nullptr);
    io.SetAttachedIEBitmap(&picture);
    io.IOParams->TIFF_ImageIndex = page;
    io.LoadFromFileTIFF(name);
    return io.Aborting ? -1 : int(picture.GetPixels(0, 0).r);
  };

  EXPECT_EQ(ExtractTIFFImageFile(path, one, 2), 1);
  EXPECT_EQ(EnumTIFFIm(one), 1);
  EXPECT_EQ(grayOf(one, 0), 30);
  EXPECT_EQ(InsertTIFFImageFile(path, one, merged, 1), 4);
  EXPECT_EQ(grayOf(merged, 1), 30);
  EXPECT_EQ(grayOf(merged, 2), 20);
  EXPECT_EQ(DeleteTIFFIm(merged, 0), 4);
  EXPECT_EQ(EnumTIFFIm(merged), 3);
  EXPECT_EQ(grayOf(merged, 0), 30);

  TMemoryStream source, page, output;
  cwtest::Fill(source, bytes);
  EXPECT_EQ(ExtractTIFFImageStream(&source, &page, 0), 1);
  EXPECT_EQ(InsertTIFFImageStream(&source, &page, &output, 3), 4);
  output.SetPosition(0);
  EXPECT_EQ(EnumTIFFStream(&output), 4);
  EXPECT_EQ(ExtractTIFFImageStream(&source, &page, 7), 0);
}

}  // namespace
