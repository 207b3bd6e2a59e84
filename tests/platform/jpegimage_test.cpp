#include "platform/jpegimage.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/canvas.h"
#include "platform/picture.h"
#include "support/streambytes.h"
#include "support/testenv.h"

namespace {

std::string Picture(const char* name) { return cwtest::DataPath(std::string("pictures/") + name).string(); }

bool Near(int32_t a, int32_t b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

TEST(JPEGImageTest, LoadsFilesOfEveryKindAndSavesTheirBytes) {
  for (const char* name : {"jpg-baseline-420-97x61.jpg", "jpg-progressive-97x61.jpg", "jpg-grey-97x61.jpg"}) {
    SCOPED_TRACE(name);
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Picture(name));
    EXPECT_EQ(jpeg.GetWidth(), 97);
    EXPECT_EQ(jpeg.GetHeight(), 61);
    TMemoryStream original;
    original.LoadFromFile(Picture(name));
    EXPECT_EQ(cwtest::SavedBytes(jpeg), cwtest::Contents(original));
  }
}

TEST(JPEGImageTest, BadFilesRaiseAndKeepThePicture) {
  TJPEGImage jpeg;
  jpeg.LoadFromFile(Picture("jpg-baseline-420-97x61.jpg"));
  const cwtest::Bytes before = cwtest::SavedBytes(jpeg);
  for (const char* name : {"jpg-bad-truncated-header.jpg", "jpg-bad-precision.jpg", "bmp-24bit-97x61.bmp"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(jpeg.LoadFromFile(Picture(name)), EInvalidGraphic);
    EXPECT_EQ(jpeg.GetWidth(), 97);
    EXPECT_EQ(cwtest::SavedBytes(jpeg), before);
  }
  TMemoryStream empty;
  EXPECT_THROW(jpeg.LoadFromStream(&empty), EInvalidGraphic);

  // A progressive header announcing 16000 x 16000 pixels over a few hundred
  // bytes is refused before anything is allocated or decoded.
  TMemoryStream huge;
  huge.LoadFromFile(Picture("jpg-progressive-97x61.jpg"));
  auto* bytes = static_cast<uint8_t*>(huge.Memory());
  int64_t sof = 2;
  while (sof + 9 < huge.GetSize() && !(bytes[sof] == 0xFF && bytes[sof + 1] == 0xC2)) ++sof;
  ASSERT_LT(sof + 9, huge.GetSize());
  for (int at : {5, 7}) {
    bytes[sof + at] = 16000 >> 8;
    bytes[sof + at + 1] = 16000 & 0xFF;
  }
  EXPECT_THROW(jpeg.LoadFromStream(&huge), EInvalidGraphic);
  EXPECT_EQ(cwtest::SavedBytes(jpeg), before);
}

TEST(JPEGImageTest, BitmapsCompressAtTheDefaultSettingsAndComeBack) {
  TBitmap bitmap;
  bitmap.SetSize(64, 32);
  TCanvas* c = bitmap.GetCanvas();
  c->Brush->Color = clRed;
  c->FillRect({0, 0, 32, 32});
  c->Brush->Color = clBlue;
  c->FillRect({32, 0, 64, 32});

  TJPEGImage jpeg;
  jpeg.Assign(&bitmap);
  const cwtest::Bytes bytes = cwtest::SavedBytes(jpeg);
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xD8);
  // Baseline colour: a three-component SOF0 frame, no progressive SOF2.
  bool baseline = false, progressive = false;
  for (size_t i = 0; i + 9 < bytes.size(); ++i) {
    if (bytes[i] != 0xFF) continue;
    if (bytes[i + 1] == 0xC0 && bytes[i + 9] == 3) baseline = true;
    if (bytes[i + 1] == 0xC2) progressive = true;
  }
  EXPECT_TRUE(baseline);
  EXPECT_FALSE(progressive);

  // Back into a bitmap (as the template reader does) and onto a canvas.
  TBitmap back;
  back.Assign(&jpeg);
  EXPECT_EQ(back.GetWidth(), 64);
  EXPECT_TRUE(Near(back.GetCanvas()->GetPixel(10, 10), clRed, 12));
  EXPECT_TRUE(Near(back.GetCanvas()->GetPixel(50, 20), clBlue, 12));

  TBitmap target;
  target.SetSize(128, 64);
  target.GetCanvas()->StretchDraw({0, 0, 128, 64}, &jpeg);
  EXPECT_TRUE(Near(target.GetCanvas()->GetPixel(100, 40), clBlue, 12));
  target.GetCanvas()->Draw(64, 0, &jpeg);
  EXPECT_TRUE(Near(target.GetCanvas()->GetPixel(64 + 5, 5), clRed, 12));

  jpeg.Assign(nullptr);
  EXPECT_TRUE(jpeg.GetEmpty());
  EXPECT_TRUE(cwtest::SavedBytes(jpeg).empty());
}

TEST(JPEGImageTest, PicturesLoadAndSaveJpegByExtension) {
  cwtest::TempDir dir;
  TPicture picture;
  picture.LoadFromFile(Picture("jpg-baseline-444-97x61.jpg"));
  ASSERT_NE(dynamic_cast<TJPEGImage*>(picture.GetGraphic()), nullptr);
  picture.SaveToFile(dir.file("copy.JPEG"));
  TPicture again;
  again.LoadFromFile(dir.file("copy.JPEG"));
  EXPECT_EQ(again.GetWidth(), 97);
  EXPECT_EQ(again.GetHeight(), 61);
}

}  // namespace
