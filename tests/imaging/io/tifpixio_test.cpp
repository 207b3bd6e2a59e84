// TIFF through the front end: loading by name, code and content, the
// stream header, parameters only; and the EXIF block of JPEG files, whose
// reading goes through the TIFF reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "imaging/io/ieexif.h"
#include "imaging/io/jpegfilt.h"
#include "imaging/io/pixio.h"
#include "imaging/io/tiflzw.h"
#include "pictures.h"
#include "support/testenv.h"
#include "tifmaker.h"

using namespace cwtest;

namespace {

// The card program installs the LZW coders before any picture is read.
class TifPixIO : public ::testing::Test {
 protected:
  void SetUp() override { DefTIFF_LZWDECOMPFUNC = TIFFLZWDecompress; }
  void TearDown() override { DefTIFF_LZWDECOMPFUNC = nullptr; }
};

void ExpectReference(TIEBitmap* bitmap, const std::string& reference) {
  const TRgbaPicture ref = LoadPng(PicturePath("refs/" + reference));
  const TRgbaPicture got = ToRgba(*bitmap);
  ASSERT_EQ(got.width, ref.width);
  ASSERT_EQ(got.height, ref.height);
  EXPECT_EQ(MaxChannelDifference(got, ref), 0) << reference;
}

// An EXIF block: the camera's values and, as second directory, a JPEG
// thumbnail.
Bytes ExifBlock(const Bytes& thumbnail, uint32_t thumbnailAt = 0) {
  TTifMaker m;
  m.Page().Ascii(270, "a card").Ascii(271, "Maker").Rational(282, 72, 1).Rational(283, 72, 1).Short(296, {3});
  m.Exif().Rational(33434, 1, 125).Undefined(36864, {'0', '2', '2', '0'}).Ascii(36867, "2001:02:03 04:05:06")
      .Undefined(37510, {'A', 'S', 'C', 'I', 'I', 0, 0, 0, 'h', 'i'});
  m.Page().Short(259, {6}).Long(513, {thumbnailAt}).Long(514, {static_cast<uint32_t>(thumbnail.size())})
      .Strip(thumbnail);
  Bytes block = {'E', 'x', 'i', 'f', 0, 0};
  const Bytes tiff = m.Build();
  if (thumbnailAt == 0) {
    // Once more, pointing at where the thumbnail landed (the layout stays).
    const auto at = std::search(tiff.begin(), tiff.end(), thumbnail.begin(), thumbnail.end());
    return ExifBlock(thumbnail, static_cast<uint32_t>(at - tiff.begin()));
  }
  block.insert(block.end(), tiff.begin(), tiff.end());
  return block;
}

}  // namespace

TEST_F(TifPixIO, LoadsByNameCodeAndContent) {
  TempDir dir;
  const Bytes bytes = ReadBytes(PicturePath("tif-multipage-3.tif"));
  const std::string name = dir.file("pages.tif");
  {
    TFileStream file(name, fmCreate);
    file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  }
  TPixIO io(nullptr);
  io.IOParams->TIFF_ImageIndex = 2;
  EXPECT_EQ(io.LoadFromFileTIFF(name), 3);
  EXPECT_FALSE(io.Aborting);
  ExpectReference(io.IEBitmap, "tif-multipage-3.2.png");

  io.IOParams->TIFF_ImageIndex = 1;
  io.LoadFromFile(name);
  EXPECT_EQ(io.IOParams->FileType, ieftTIFF);
  EXPECT_EQ(io.IOParams->TIFF_ImageCount, 3);
  ExpectReference(io.IEBitmap, "tif-multipage-3.1.png");

  TMemoryStream stream;
  Fill(stream, bytes);
  io.IOParams->TIFF_ImageIndex = 0;
  io.LoadFromStream(&stream);
  EXPECT_FALSE(io.Aborting);
  ExpectReference(io.IEBitmap, "tif-multipage-3.png");

  // Saving by extension writes a TIFF that loads back as it was.
  io.SaveToFile(dir.file("out.tif"));
  EXPECT_FALSE(io.Aborting);
  io.IOParams->TIFF_ImageIndex = 0;
  EXPECT_EQ(io.LoadFromFileTIFF(dir.file("out.tif")), 1);
  ExpectReference(io.IEBitmap, "tif-multipage-3.png");

  // With stream headers the "TIFF" header goes first and the load finds it.
  io.StreamHeaders = true;
  TMemoryStream headed;
  io.SaveToStream(&headed, ieftTIFF);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(std::memcmp(headed.Memory(), "TIFF", 4), 0);
  headed.SetPosition(0);
  EXPECT_EQ(io.LoadFromStreamTIFF(&headed), 1);
  EXPECT_EQ(headed.GetPosition(), headed.GetSize());
  ExpectReference(io.IEBitmap, "tif-multipage-3.png");

  // A page added to the saved file goes first with index 0.
  io.IOParams->TIFF_ImageIndex = 0;
  EXPECT_EQ(io.InsertToFileTIFF(dir.file("out.tif")), 2);
  EXPECT_EQ(io.LoadFromFileTIFF(dir.file("out.tif")), 2);
}

TEST_F(TifPixIO, StreamHeaderAnnouncesTheTiffAndLeavesTheStreamAfterIt) {
  TTifMaker m;
  m.Page().Long(256, {2}).Long(257, {1}).Short(258, {8}).Short(262, {1}).Strip({0, 255});
  // Offsets count from the start of the stream, as the writer makes them.
  Bytes bytes = m.Build(12);
  std::memcpy(bytes.data(), "TIFF", 4);
  const auto length = static_cast<uint32_t>(bytes.size() - 12);
  for (int i = 0; i < 4; ++i) bytes[8 + i] = static_cast<uint8_t>(length >> (8 * i));
  bytes.insert(bytes.end(), {'t', 'a', 'i', 'l'});

  TPixIO io(nullptr);
  io.StreamHeaders = true;
  TMemoryStream stream;
  Fill(stream, bytes);
  EXPECT_EQ(io.LoadFromStreamTIFF(&stream), 1);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(io.IEBitmap->GetPixels(1, 0), (TRGB{255, 255, 255}));
  EXPECT_EQ(stream.GetPosition(), static_cast<int64_t>(bytes.size()) - 4);

  // Another magic: nothing is read.
  bytes[0] = 'X';
  Fill(stream, bytes);
  EXPECT_EQ(io.LoadFromStreamTIFF(&stream), 0);
  EXPECT_TRUE(io.Aborting);
}

TEST_F(TifPixIO, ParametersOnly) {
  TempDir dir;
  const std::string name = PicturePath("tif-rgb8-lzw-97x61.tif");
  TPixIO io(nullptr);
  io.ParamsFromFile(name);
  EXPECT_EQ(io.IOParams->FileType, ieftTIFF);
  EXPECT_EQ(io.IOParams->Width, 97);
  EXPECT_EQ(io.IOParams->TIFF_Compression, ioTIFF_LZW);
  EXPECT_EQ(io.IEBitmap->Width, 0);

  // Without the LZW coder the picture cannot be read, not even its parameters.
  DefTIFF_LZWDECOMPFUNC = nullptr;
  TPixIO without(nullptr);
  without.ParamsFromFile(name);
  EXPECT_EQ(without.IOParams->FileType, ieftUnknown);
}

TEST_F(TifPixIO, ExifOfACameraJpeg) {
  TPixIO io(nullptr);
  io.LoadFromFile(PicturePath("jpg-exif-97x61.jpg"));
  ASSERT_FALSE(io.Aborting);
  const TIOParamsVals& p = *io.IOParams;
  EXPECT_TRUE(p.EXIF_HasData);
  EXPECT_EQ(p.EXIF_Make, "Corpus");
  EXPECT_EQ(p.EXIF_ImageDescription, "corpus picture");
  EXPECT_EQ(p.EXIF_DateTimeOriginal, "2020:01:02 03:04:05");
  EXPECT_EQ(p.EXIF_ExifVersion, "0232");
  EXPECT_DOUBLE_EQ(p.EXIF_XResolution, 300);
  EXPECT_EQ(p.EXIF_ResolutionUnit, 2);
  EXPECT_EQ(p.DPIX, 300);
}

TEST_F(TifPixIO, ExifResolutionReplacesAOneByOneDensity) {
  // A JPEG stating 1 x 1 DPI whose EXIF block says 72 per centimetre.
  TIEBitmap thumbnailSource;
  PaintBitmap(thumbnailSource, 8, 6, [](int x, int y) { return TRGB{static_cast<uint8_t>(x * 30), 0, static_cast<uint8_t>(y * 40)}; });
  TIOParamsVals thumbParams(nullptr);
  TMemoryStream thumbnail;
  TProgressFixture fixture;
  WriteJPegStream(&thumbnail, &thumbnailSource, thumbParams, fixture.progress);

  TPixIO writer(nullptr);
  PaintBitmap(*writer.IEBitmap, 20, 10, [](int x, int) { return TRGB{static_cast<uint8_t>(x), 9, 9}; });
  writer.IOParams->DPIX = 1;
  writer.IOParams->DPIY = 1;
  const Bytes exif = ExifBlock(Contents(thumbnail));
  writer.IOParams->JPEG_MarkerList->AddMarker(0xE1, exif.data(), static_cast<int32_t>(exif.size()));
  TMemoryStream jpeg;
  writer.SaveToStream(&jpeg, ieftJPEG);
  ASSERT_FALSE(writer.Aborting);

  TPixIO io(nullptr);
  jpeg.SetPosition(0);
  io.LoadFromStream(&jpeg);
  ASSERT_FALSE(io.Aborting);
  const TIOParamsVals& p = *io.IOParams;
  EXPECT_EQ(p.DPIX, 182);  // trunc(72 x 2.54)
  EXPECT_EQ(p.DPIY, 182);
  EXPECT_EQ(p.EXIF_Make, "Maker");
  EXPECT_EQ(p.EXIF_ImageDescription, "a card");
  EXPECT_DOUBLE_EQ(p.EXIF_ExposureTime, 1.0 / 125);
  EXPECT_EQ(p.EXIF_ExifVersion, "0220");
  EXPECT_EQ(p.EXIF_DateTimeOriginal, "2001:02:03 04:05:06");
  EXPECT_EQ(p.EXIF_UserCommentCode, std::string("ASCII\0\0\0", 8));
  EXPECT_EQ(p.EXIF_UserComment, "hi");
  ASSERT_NE(p.EXIF_Thumbnail, nullptr);
  EXPECT_EQ(p.EXIF_Thumbnail->Width, 8);
  EXPECT_EQ(p.EXIF_Thumbnail->Height, 6);

  // A block without the signature changes nothing.
  TIOParamsVals untouched(nullptr);
  const Bytes notExif = {'E', 'x', 'i', 'x', 0, 0, 'I', 'I'};
  EXPECT_FALSE(LoadEXIFFromStandardBuffer(notExif.data(), static_cast<int64_t>(notExif.size()), untouched));
  EXPECT_FALSE(untouched.EXIF_HasData);
  EXPECT_EQ(untouched.EXIF_Thumbnail, nullptr);
}
