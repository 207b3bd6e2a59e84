// PNG through the I/O front end: dispatch by name, code and content, the
// alpha channel exchanged with a view or a caller's bitmap, and the
// background colour handed to and taken from the reader.
#include <gtest/gtest.h>

#include "imaging/core/iemask.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/pixio.h"
#include "imaging/view/pixview.h"
#include "pictures.h"
#include "pngtestutil.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

std::string CopyPicture(const TempDir& dir, const std::string& picture, const std::string& as) {
  const Bytes bytes = ReadBytes(PicturePath(picture));
  const std::string name = dir.file(as);
  TFileStream(name, fmCreate).WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return name;
}

TEST(PixIOPng, LoadsByNameCodeAndContent) {
  TempDir dir;
  const std::string name = CopyPicture(dir, "png-rgba8-97x61.png", "a.PNG");
  const TRgbaPicture ref = LoadReference8("png-rgba8-97x61.png");
  TPixIO io(nullptr);
  int finished = 0;
  io.OnFinishWork = [&](TObject*) { ++finished; };

  io.LoadFromFile(name);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(io.IOParams->FileType, ieftPNG);
  EXPECT_EQ(io.IOParams->FileName, name);
  EXPECT_EQ(io.IEBitmap->Width, 97);
  EXPECT_EQ(MaxChannelDifference(ToRgba(*io.IEBitmap), ref), 0);
  // Its own bitmap keeps no transparency.
  EXPECT_EQ(io.GetAlphaChannel(), nullptr);

  TIEBitmap* fresh = new TIEBitmap;
  io.SetIEBitmap(fresh);
  TMemoryStream stream;
  Fill(stream, ReadBytes(name));
  EXPECT_EQ(FindStreamFormat(&stream), ieftPNG);
  io.LoadFromStream(&stream);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(io.IOParams->FileType, ieftPNG);
  EXPECT_EQ(io.IOParams->FileName, "");
  // A caller's bitmap takes the transparency as its alpha channel.
  ASSERT_TRUE(fresh->GetHasAlphaChannel());
  EXPECT_EQ(fresh->GetAlpha(0, 0), ref.At(0, 0)[3]);
  EXPECT_EQ(finished, 2);
  delete fresh;

  io.SetIEBitmap(nullptr);
  TPixIO params(nullptr);
  params.ParamsFromFile(name);
  EXPECT_EQ(params.IOParams->FileType, ieftPNG);
  EXPECT_EQ(params.IOParams->SamplesPerPixel, 4);
  EXPECT_EQ(params.IEBitmap->Width, 0);
}

TEST(PixIOPng, AViewTakesThePngsAlphaAndLosesItToABmp) {
  TempDir dir;
  const std::string png = CopyPicture(dir, "png-rgba8-97x61.png", "a.png");
  const std::string bmp = CopyPicture(dir, "bmp-24bit-97x61.bmp", "b.bmp");
  TPixView view(nullptr);
  TPixIO* io = view.GetPixIO();
  io->LoadFromFile(png);
  ASSERT_TRUE(view.GetHasAlphaChannel());
  const TRgbaPicture ref = LoadReference8("png-rgba8-97x61.png");
  EXPECT_EQ(view.GetAlphaChannel()->GetPixel(0, 0), ref.At(0, 0)[3]);
  EXPECT_FALSE(view.GetAlphaChannel()->Full);
  io->LoadFromFile(bmp);
  EXPECT_FALSE(view.GetHasAlphaChannel());
}

TEST(PixIOPng, SavesTheViewsOrTheCallersAlpha) {
  TempDir dir;
  const std::string name = dir.file("out.png");
  TPixView view(nullptr);
  TPixIO* io = view.GetPixIO();
  io->LoadFromFile(CopyPicture(dir, "png-rgba8-97x61.png", "a.png"));
  io->SaveToFile(name);
  EXPECT_FALSE(io->Aborting);
  TPngRead back;
  back.Read(ReadBytes(name));
  const TRgbaPicture ref = LoadReference8("png-rgba8-97x61.png");
  for (int y = 0; y < ref.height; ++y)
    for (int x = 0; x < ref.width; ++x) ASSERT_EQ(back.mask->GetPixel(x, y), ref.At(x, y)[3]);

  // A caller's bitmap with an alpha channel, saved to a stream by code.
  TIEBitmap bitmap;
  PaintBitmap(bitmap, 10, 10, [](int x, int) { return TRGB{0, 0, static_cast<uint8_t>(x)}; });
  bitmap.SetAlpha(3, 4, 17);
  TPixIO own(nullptr);
  own.SetIEBitmap(&bitmap);
  TMemoryStream stream;
  own.SaveToStream(&stream, ieftPNG);
  EXPECT_FALSE(own.Aborting);
  TPngRead fromStream;
  fromStream.Read(Contents(stream));
  EXPECT_EQ(fromStream.mask->GetPixel(3, 4), 17);
  EXPECT_EQ(fromStream.mask->GetPixel(4, 4), 255);
}

TEST(PixIOPng, BackgroundGoesToTheReaderAndComesBack) {
  TempDir dir;
  const std::string name = CopyPicture(dir, "png-bkgd-phys-31x17.png", "a.png");
  TPixIO io(nullptr);
  io.SetReBackground(TRGB2TColor(TRGB{5, 6, 7}));
  io.LoadFromFilePNG(name);
  // The file's bKGD counts only where alpha is composited away.
  EXPECT_EQ(io.IOParams->PNG_Background, (TRGB{5, 6, 7}));
  EXPECT_EQ(io.GetReBackground(), TRGB2TColor(TRGB{5, 6, 7}));

  io.IOParams->PNG_Background = TRGB{9, 9, 9};
  TMemoryStream stream;
  Fill(stream, ReadBytes(name));
  io.LoadFromStreamPNG(&stream);
  EXPECT_EQ(io.GetReBackground(), TRGB2TColor(TRGB{9, 9, 9}));
}

TEST(PixIOPng, DamagedPngSetsAborting) {
  TempDir dir;
  TPixIO io(nullptr);
  io.LoadFromFile(CopyPicture(dir, "png-bad-truncated.png", "bad.png"));
  EXPECT_TRUE(io.Aborting);
  TMemoryStream stream;
  Fill(stream, ReadBytes(PicturePath("png-bad-ihdr-crc.png")));
  io.LoadFromStreamFormat(&stream, ieftPNG);
  EXPECT_TRUE(io.Aborting);
}

}  // namespace
