// GIF through the I/O front end: dispatch by name, code and content, the
// frame count and Background after a load, transparency into a caller's
// bitmap, parameters only, loads without the decoder, and the multi-frame
// file operations.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "giftestsupport.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/giffilter.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/pixio.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

class GifPixIO : public testing::Test {
 protected:
  TGifHooks hooks;
  TempDir dir;
};

void Squares(TIEBitmap& bitmap, int width, int height) {
  PaintBitmap(bitmap, width, height, [](int x, int y) {
    return ((x / 4 + y / 4) & 1) ? TRGB{200, 10, 10} : TRGB{10, 10, 200};
  });
}

TEST_F(GifPixIO, SaveAndLoadByNameCodeAndContent) {
  TPixIO io(nullptr);
  Squares(*io.IEBitmap, 20, 12);
  TIEBitmap original;
  original.Assign(io.IEBitmap);
  const std::string path = dir.file("card.GIF");
  io.SaveToFile(path);
  ASSERT_FALSE(io.Aborting);

  TPixIO byName(nullptr);
  byName.LoadFromFile(path);
  EXPECT_FALSE(byName.Aborting);
  EXPECT_EQ(byName.IOParams->FileType, ieftGIF);
  EXPECT_EQ(byName.IOParams->FileName, path);
  EXPECT_EQ(MaxChannelDifference(ToRgba(*byName.IEBitmap), ToRgba(original)), 0);

  TPixIO byCode(nullptr);
  EXPECT_EQ(byCode.LoadFromFileGif(path), 1);
  EXPECT_EQ(byCode.IOParams->GIF_ImageCount, 1);

  // Streams: written by code, found by content.
  TMemoryStream stream;
  io.SaveToStream(&stream, ieftGIF);
  ASSERT_FALSE(io.Aborting);
  stream.SetPosition(0);
  TPixIO byContent(nullptr);
  byContent.LoadFromStream(&stream);
  EXPECT_FALSE(byContent.Aborting);
  EXPECT_EQ(byContent.IOParams->FileType, ieftGIF);
  EXPECT_EQ(byContent.IOParams->FileName, "");
  EXPECT_EQ(MaxChannelDifference(ToRgba(*byContent.IEBitmap), ToRgba(original)), 0);
}

TEST_F(GifPixIO, LoadReturnsFrameCountAndReadsTheChosenFrame) {
  const std::string path = PicturePath("gif-anim-3frames-33x21.gif");
  TPixIO io(nullptr);
  io.IOParams->GIF_ImageIndex = 2;
  EXPECT_EQ(io.LoadFromFileGif(path), 3);
  EXPECT_EQ(io.IOParams->GIF_DelayTime, 100);
  TMemoryStream stream;
  stream.LoadFromFile(path);
  stream.SetPosition(0);
  EXPECT_EQ(io.LoadFromStreamGif(&stream), 3);
}

TEST_F(GifPixIO, BackgroundIsTheTransparentColourElseTheBackground) {
  const std::vector<uint8_t> table = {1, 2, 3, 40, 50, 60, 70, 80, 90, 100, 110, 120};
  for (bool transparent : {false, true}) {
    TGifFrameSpec f;
    f.width = 2;
    f.height = 1;
    f.indices = {0, 2};
    f.control = true;
    f.controlPacked = transparent ? 1 : 0;
    f.transparent = 2;
    TMemoryStream stream;
    Fill(stream, MakeGif(2, 1, table, {f}));
    TPixIO io(nullptr);
    io.LoadFromStreamGif(&stream);
    EXPECT_EQ(io.GetReBackground(), transparent ? RGB2TColor(70, 80, 90) : RGB2TColor(1, 2, 3));
  }
}

TEST_F(GifPixIO, TransparencyReachesACallersBitmap) {
  TIEBitmap mine;
  mine.Location = ieMemory;
  TPixIO io(nullptr);
  io.SetAttachedIEBitmap(&mine);
  io.LoadFromFile(PicturePath("gif-transparent-33x21.gif"));
  ASSERT_FALSE(io.Aborting);
  ASSERT_TRUE(mine.GetHasAlphaChannel());
  const TRgbaPicture reference = LoadReference("gif-transparent-33x21.gif");
  int wrong = 0;
  for (int y = 0; y < reference.height; ++y)
    for (int x = 0; x < reference.width; ++x)
      wrong += mine.GetAlpha(x, y) != reference.At(x, y)[3];
  EXPECT_EQ(wrong, 0);
}

TEST_F(GifPixIO, ParametersOnly) {
  TPixIO io(nullptr);
  Squares(*io.IEBitmap, 5, 5);
  io.ParamsFromFile(PicturePath("gif-anim-3frames-33x21.gif"));
  EXPECT_EQ(io.IOParams->FileType, ieftGIF);
  EXPECT_EQ(io.IOParams->GIF_ImageCount, 3);
  EXPECT_EQ(io.IOParams->Width, 33);
  EXPECT_EQ(io.IEBitmap->Width, 5);
}

TEST_F(GifPixIO, WithoutTheDecoderLoadsAbortAndKeepThePicture) {
  DefGIF_LZWDECOMPFUNC = nullptr;
  TPixIO io(nullptr);
  Squares(*io.IEBitmap, 5, 5);
  io.LoadFromFile(PicturePath("gif-16colour-97x61.gif"));
  EXPECT_TRUE(io.Aborting);
  EXPECT_EQ(io.IEBitmap->Width, 5);
}

TEST_F(GifPixIO, InsertToFileWidensTheScreenAndAnimates) {
  const std::string path = dir.file("pass.gif");
  TPixIO io(nullptr);
  Squares(*io.IEBitmap, 50, 50);
  io.SaveToFile(path);
  io.IOParams->GIF_ScreenWidth = 50;
  io.IOParams->GIF_ScreenHeight = 50;
  Squares(*io.IEBitmap, 100, 80);
  io.IOParams->GIF_Left = 10;
  io.IOParams->GIF_Top = 0;
  io.IOParams->GIF_ImageIndex = 1;
  int finished = 0;
  io.OnFinishWork = [&](TObject*) { ++finished; };
  EXPECT_EQ(io.InsertToFileGif(path), 2);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(finished, 1);
  const Bytes bytes = ReadBytes(path);
  EXPECT_EQ(IEGetLE16(&bytes[6]), 110);
  EXPECT_EQ(IEGetLE16(&bytes[8]), 80);
  EXPECT_TRUE(CheckAniGif(path));
  EXPECT_EQ(EnumGifIm(path), 2);
  EXPECT_EQ(DeleteGifIm(path, 0), 1);
  EXPECT_EQ(EnumGifIm(path), 1);
}

TEST_F(GifPixIO, InsertKeepsTheScreenOfTheFramesAlreadyThere) {
  // Parameters that never saw this file must not shrink its screen.
  const std::string path = dir.file("big.gif");
  TPixIO io(nullptr);
  Squares(*io.IEBitmap, 60, 40);
  io.SaveToFile(path);
  TPixIO other(nullptr);
  Squares(*other.IEBitmap, 8, 8);
  EXPECT_EQ(other.InsertToFileGif(path), 2);
  const Bytes bytes = ReadBytes(path);
  EXPECT_EQ(IEGetLE16(&bytes[6]), 60);
  EXPECT_EQ(IEGetLE16(&bytes[8]), 40);
}

TEST_F(GifPixIO, InsertFailures) {
  TPixIO io(nullptr);
  Squares(*io.IEBitmap, 8, 8);
  EXPECT_THROW(io.InsertToFileGif(dir.file("missing.gif")), EFOpenError);

  const std::string notGif = dir.file("not.gif");
  std::ofstream(notGif) << "plain text, not a picture";
  EXPECT_EQ(io.InsertToFileGif(notGif), 0);
  EXPECT_TRUE(io.Aborting);
  EXPECT_FALSE(CheckAniGif(notGif));
}

TEST_F(GifPixIO, FrameRoutinesAnswerZeroForWhatTheyCannotRead) {
  std::ofstream(dir.file("text.gif")) << "hello";
  EXPECT_EQ(EnumGifIm(dir.file("text.gif")), 0);
  EXPECT_EQ(EnumGifIm(dir.file("missing.gif")), 0);
  EXPECT_FALSE(CheckAniGif(dir.file("missing.gif")));
  EXPECT_EQ(EnumGifIm(PicturePath("gif-anim-3frames-33x21.gif")), 3);
  EXPECT_TRUE(CheckAniGif(PicturePath("gif-anim-3frames-33x21.gif")));
}

}  // namespace
