// Multi-page TIFF files through the front end's free routines.
#include <gtest/gtest.h>

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

}  // namespace
