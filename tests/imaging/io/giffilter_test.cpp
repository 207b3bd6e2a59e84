// GIF reader and writer: corpus files against their reference decodes,
// frames, palettes and transparency of assembled files, damaged and
// refused input, the writer's blocks and parameters, read-back by an
// independent decoder, and writes without an encoder or room.
#include "imaging/io/giffilter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "giftestsupport.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/giflzw.h"
#include "imaging/io/iebyteorder.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

class GifFilter : public testing::Test {
 protected:
  TGifHooks hooks;
};

// Compares a decoded frame and its mask with a reference picture.
void ExpectMatchesReference(TGifRead& read, const TRgbaPicture& reference) {
  ASSERT_EQ(read.bitmap.Width, reference.width);
  ASSERT_EQ(read.bitmap.Height, reference.height);
  const TRgbaPicture ours = ToRgba(read.bitmap);
  int wrong = 0;
  for (int y = 0; y < reference.height; ++y)
    for (int x = 0; x < reference.width; ++x) {
      const uint8_t* want = reference.At(x, y);
      const uint8_t* got = ours.At(x, y);
      const int alpha = read.mask ? read.mask->GetPixel(x, y) : 255;
      if (alpha != want[3]) ++wrong;
      if (want[3] != 0 && (got[0] != want[0] || got[1] != want[1] || got[2] != want[2])) ++wrong;
    }
  EXPECT_EQ(wrong, 0);
}

struct TCorpusCase {
  const char* file;
  int frames;
  int bits;
};

class GifCorpus : public GifFilter, public testing::WithParamInterface<TCorpusCase> {};

TEST_P(GifCorpus, EveryFrameMatchesItsReference) {
  const TCorpusCase& c = GetParam();
  const Bytes bytes = ReadBytes(PicturePath(c.file));
  for (int frame = 0; frame < c.frames; ++frame) {
    SCOPED_TRACE(frame);
    TGifRead read;
    ReadGifBytes(bytes, read, frame);
    ASSERT_FALSE(read.fixture.aborting);
    EXPECT_EQ(read.count, c.frames);
    EXPECT_EQ(read.params.GIF_ImageCount, c.frames);
    EXPECT_EQ(read.params.BitsPerSample, c.bits);
    EXPECT_EQ(read.params.ColorMapCount, 1 << c.bits);
    const std::string stem = std::string(c.file).substr(0, std::string(c.file).rfind('.'));
    const std::string ref = frame == 0 ? stem + ".png" : stem + "." + std::to_string(frame) + ".png";
    ExpectMatchesReference(read, LoadPng(PicturePath("refs/" + ref)));
  }
}

INSTANTIATE_TEST_SUITE_P(Files, GifCorpus,
                         testing::Values(TCorpusCase{"gif-2colour-97x61.gif", 1, 1},
                                         TCorpusCase{"gif-4colour-33x21.gif", 1, 2},
                                         TCorpusCase{"gif-16colour-97x61.gif", 1, 4},
                                         TCorpusCase{"gif-256colour-97x61.gif", 1, 8},
                                         TCorpusCase{"gif-interlaced-97x61.gif", 1, 6},
                                         TCorpusCase{"gif-transparent-33x21.gif", 1, 5},
                                         TCorpusCase{"gif-anim-3frames-33x21.gif", 3, 5},
                                         TCorpusCase{"gif-comment-31x17.gif", 1, 4}),
                         [](const auto& info) { return CaseName(info.param.file); });

TEST_F(GifFilter, CorpusParametersAreRead) {
  TGifRead anim;
  ReadGifBytes(ReadBytes(PicturePath("gif-anim-3frames-33x21.gif")), anim, 1);
  EXPECT_EQ(anim.params.GIF_DelayTime, 50);
  EXPECT_EQ(anim.params.GIF_Version, "GIF89a");
  EXPECT_EQ(anim.params.GIF_ScreenWidth, 33);
  EXPECT_EQ(anim.params.GIF_ScreenHeight, 21);
  EXPECT_EQ(anim.params.SamplesPerPixel, 1);

  TGifRead interlaced;
  ReadGifBytes(ReadBytes(PicturePath("gif-interlaced-97x61.gif")), interlaced);
  EXPECT_TRUE(interlaced.params.GIF_Interlaced);

  TGifRead comment;
  ReadGifBytes(ReadBytes(PicturePath("gif-comment-31x17.gif")), comment);
  ASSERT_EQ(comment.params.GIF_Comments->Count(), 1);
  EXPECT_EQ(comment.params.GIF_Comments->Get(0), "corpus comment: GIF test picture");
}

TEST_F(GifFilter, BadFilesAbortAndLeaveTheBitmap) {
  for (const char* file :
       {"gif-bad-truncated-header.gif", "gif-bad-lzw-code-size.gif", "gif-bad-huge-screen.gif"}) {
    SCOPED_TRACE(file);
    TGifRead read;
    read.bitmap.Allocate(3, 2, ie24RGB);
    ReadGifBytes(ReadBytes(PicturePath(file)), read);
    EXPECT_TRUE(read.fixture.aborting);
    EXPECT_EQ(read.bitmap.Width, 3);
    EXPECT_EQ(read.bitmap.Height, 2);
  }
}

TEST_F(GifFilter, NotAGifAborts) {
  TGifRead read;
  ReadGifBytes({'G', 'I', 'X', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B}, read);
  EXPECT_TRUE(read.fixture.aborting);
  EXPECT_EQ(read.count, 0);
  // A header and nothing after it.
  TGifRead empty;
  ReadGifBytes({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}, empty);
  EXPECT_TRUE(empty.fixture.aborting);
}

const std::vector<uint8_t> kBlackWhite = {0, 0, 0, 255, 255, 255};
const std::vector<uint8_t> kWhiteBlack = {255, 255, 255, 0, 0, 0};

TGifFrameSpec Frame(int width, int height, std::vector<uint8_t> indices, int codeBits = 2) {
  TGifFrameSpec f;
  f.width = width;
  f.height = height;
  f.indices = std::move(indices);
  f.codeBits = codeBits;
  return f;
}

TEST_F(GifFilter, BlackAndWhiteReadsAsOneBitKeepingTheNinthPixel) {
  const std::vector<uint8_t> row = {1, 0, 1, 1, 0, 0, 0, 0, 1};
  std::vector<uint8_t> indices = row;
  indices.insert(indices.end(), row.rbegin(), row.rend());
  TGifRead read;
  ReadGifBytes(MakeGif(9, 2, kBlackWhite, {Frame(9, 2, indices)}), read);
  ASSERT_EQ(read.bitmap.PixelFormat, ie1g);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 9; ++x)
      EXPECT_EQ(read.bitmap.GetPixels_ie1g(x, y), indices[y * 9 + x] == 1) << x << "," << y;
  // The same picture with the palette white, black is a colour picture.
  TGifRead swapped;
  ReadGifBytes(MakeGif(9, 2, kWhiteBlack, {Frame(9, 2, indices)}), swapped);
  ASSERT_EQ(swapped.bitmap.PixelFormat, ie24RGB);
  EXPECT_EQ(swapped.bitmap.GetPixels(0, 0), (TRGB{0, 0, 0}));
  EXPECT_EQ(swapped.bitmap.GetPixels(1, 0), (TRGB{255, 255, 255}));
}

TEST_F(GifFilter, LocalTableWinsAndPaletteIsStoredBlueFirst) {
  const std::vector<uint8_t> global = {10, 20, 30, 40, 50, 60};
  TGifFrameSpec f = Frame(2, 1, {0, 1});
  f.localTable = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  TGifRead read;
  ReadGifBytes(MakeGif(2, 1, global, {f}), read);
  ASSERT_FALSE(read.fixture.aborting);
  EXPECT_EQ(read.bitmap.GetPixels(0, 0), (TRGB{3, 2, 1}));
  EXPECT_EQ(read.bitmap.GetPixels(1, 0), (TRGB{6, 5, 4}));
  EXPECT_EQ(read.params.BitsPerSample, 2);
  ASSERT_EQ(read.params.ColorMapCount, 4);
  EXPECT_EQ(read.params.ColorMap[3], (TRGB{12, 11, 10}));
  EXPECT_EQ(read.params.GIF_Background, (TRGB{30, 20, 10}));
}

TEST_F(GifFilter, FrameWithoutAnyTableIsBlack) {
  TGifRead read;
  ReadGifBytes(MakeGif(2, 1, {}, {Frame(2, 1, {0, 3})}), read);
  ASSERT_FALSE(read.fixture.aborting);
  EXPECT_EQ(read.bitmap.GetPixels(1, 0), (TRGB{0, 0, 0}));
}

struct TTransparencyCase {
  const char* name;
  bool control;
  uint8_t packed;
  int transparentPixels;
};

TEST_F(GifFilter, TransparencyFromTheGraphicControlBlock) {
  const TTransparencyCase cases[] = {
      {"no_control_block", false, 0, 0},
      {"flag_clear", true, 0x08, 0},
      {"flag_set", true, 0x09, 2},
  };
  const std::vector<uint8_t> table = {9, 9, 9, 200, 0, 0, 0, 200, 0, 0, 0, 200};
  for (const TTransparencyCase& c : cases) {
    SCOPED_TRACE(c.name);
    TGifFrameSpec f = Frame(3, 2, {0, 2, 1, 2, 3, 0});
    f.control = c.control;
    f.controlPacked = c.packed;
    f.transparent = 2;
    f.delay = 77;
    TGifRead read;
    ReadGifBytes(MakeGif(3, 2, table, {f}), read);
    ASSERT_NE(read.mask, nullptr);
    int clear = 0;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) clear += read.mask->GetPixel(x, y) == 0;
    EXPECT_EQ(clear, c.transparentPixels);
    EXPECT_EQ(read.mask->GetPixel(1, 0), c.transparentPixels ? 0 : 255);
    EXPECT_EQ(read.params.GIF_TransparentFlag, c.transparentPixels > 0);
    EXPECT_EQ(read.params.GIF_DelayTime, c.control ? 77 : 0);
    if (c.control) {
      EXPECT_EQ(read.params.GIF_TransparentColor, (TRGB{0, 200, 0}));
    }
  }
}

TEST_F(GifFilter, IgnoreAlphaLeavesTheMaskAlone) {
  TGifFrameSpec f = Frame(2, 1, {0, 1});
  f.control = true;
  f.controlPacked = 1;
  const Bytes bytes = MakeGif(2, 1, kBlackWhite, {f});
  TMemoryStream stream;
  Fill(stream, bytes);
  TGifRead read;
  ReadGifStream(&stream, &read.bitmap, read.count, read.params, read.fixture.progress, false,
                read.mask, true);
  EXPECT_EQ(read.mask, nullptr);
  EXPECT_EQ(read.bitmap.Width, 2);
}

Bytes TwoFrameGif() {
  TGifFrameSpec first = Frame(2, 2, {0, 1, 1, 0});
  first.control = true;
  first.delay = 10;
  TGifFrameSpec second = Frame(3, 1, {1, 1, 0});
  second.control = true;
  second.delay = 20;
  second.left = 1;
  second.top = 4;
  return MakeGif(8, 8, kWhiteBlack, {first, second});
}

TEST_F(GifFilter, ChosenFrameAndFramePastTheLast) {
  const Bytes bytes = TwoFrameGif();
  TGifRead second;
  ReadGifBytes(bytes, second, 1);
  EXPECT_EQ(second.bitmap.Width, 3);
  EXPECT_EQ(second.params.GIF_Left, 1);
  EXPECT_EQ(second.params.GIF_Top, 4);
  EXPECT_EQ(second.params.GIF_DelayTime, 20);
  EXPECT_EQ(second.count, 2);

  TGifRead past;
  past.bitmap.Allocate(5, 5, ie24RGB);
  ReadGifBytes(bytes, past, 3);
  EXPECT_FALSE(past.fixture.aborting);
  EXPECT_EQ(past.count, 2);
  EXPECT_EQ(past.params.GIF_ImageCount, 2);
  EXPECT_EQ(past.bitmap.Width, 5);
}

TEST_F(GifFilter, PreviewReadsParametersOnly) {
  TGifRead read;
  read.bitmap.Allocate(5, 5, ie24RGB);
  ReadGifBytes(TwoFrameGif(), read, 0, true);
  EXPECT_FALSE(read.fixture.aborting);
  EXPECT_EQ(read.params.Width, 2);
  EXPECT_EQ(read.params.GIF_ImageCount, 2);
  EXPECT_EQ(read.bitmap.Width, 5);
  EXPECT_EQ(read.mask, nullptr);
}

void NoDecoder(TStream*, int32_t, int32_t, bool, uint8_t*) {}

TEST_F(GifFilter, MissingOrFailingDecoderAbortsWithoutTouchingTheBitmap) {
  const Bytes bytes = TwoFrameGif();
  {
    DefGIF_LZWDECOMPFUNC = nullptr;
    TGifRead read;
    read.bitmap.Allocate(5, 5, ie24RGB);
    ReadGifBytes(bytes, read);
    EXPECT_TRUE(read.fixture.aborting);
    EXPECT_EQ(read.bitmap.Width, 5);
  }
  {
    // A decoder that never moves the stream is a decoder that failed.
    TGifRead read;
    read.params.GIF_LZWDecompress = NoDecoder;
    read.bitmap.Allocate(5, 5, ie24RGB);
    ReadGifBytes(bytes, read);
    EXPECT_TRUE(read.fixture.aborting);
    EXPECT_EQ(read.bitmap.Width, 5);
  }
}

TEST_F(GifFilter, TruncatedFramesAndBlocks) {
  const Bytes whole = TwoFrameGif();
  // Cut inside the second frame: the first still reads; asking for the
  // second aborts or decodes what is there, never reads past the end.
  for (size_t cut = 14; cut < whole.size(); ++cut) {
    const Bytes part(whole.begin(), whole.begin() + static_cast<long>(cut));
    for (int frame : {0, 1}) {
      TGifRead read;
      ReadGifBytes(part, read, frame);
      EXPECT_LE(read.count, 2);
    }
  }
}

// Writing ---------------------------------------------------------------------------

void FourColourPicture(TIEBitmap& bitmap, int width, int height) {
  PaintBitmap(bitmap, width, height, [](int x, int y) {
    static const TRGB colours[4] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {10, 20, 30}};
    return colours[(x / 2 + y) % 4];
  });
}

TEST_F(GifFilter, WrittenPicturesReadBackExactly) {
  struct TWriteCase {
    const char* name;
    int bits;
    bool interlaced;
  };
  for (const TWriteCase& c : {TWriteCase{"two_bits", 2, false}, TWriteCase{"four_bits", 4, true},
                              TWriteCase{"eight_bits", 8, false}}) {
    SCOPED_TRACE(c.name);
    TIEBitmap picture;
    FourColourPicture(picture, 37, 23);
    TIOParamsVals params(nullptr);
    params.BitsPerSample = c.bits;
    params.GIF_Interlaced = c.interlaced;
    const Bytes bytes = WriteGifBytes(picture, params);
    TGifRead read;
    ReadGifBytes(bytes, read);
    ASSERT_FALSE(read.fixture.aborting);
    EXPECT_EQ(read.params.BitsPerSample, c.bits);
    EXPECT_EQ(read.params.GIF_Interlaced, c.interlaced);
    EXPECT_EQ(MaxChannelDifference(ToRgba(read.bitmap), ToRgba(picture)), 0);
  }
}

TEST_F(GifFilter, OneBitWriting) {
  // Two colours keep their colours.
  TIEBitmap redBlue;
  PaintBitmap(redBlue, 10, 3, [](int x, int) { return x % 3 ? TRGB{0, 0, 255} : TRGB{255, 0, 0}; });
  TIOParamsVals params(nullptr);
  params.BitsPerSample = 1;
  TGifRead read;
  ReadGifBytes(WriteGifBytes(redBlue, params), read);
  EXPECT_EQ(read.params.BitsPerSample, 1);
  EXPECT_EQ(read.bitmap.PixelFormat, ie24RGB);
  EXPECT_EQ(MaxChannelDifference(ToRgba(read.bitmap), ToRgba(redBlue)), 0);

  // A 1-bit picture stays black and white and reads as one.
  TIEBitmap bw;
  bw.Location = ieMemory;
  bw.Allocate(13, 4, ie1g);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 13; ++x) bw.SetPixels_ie1g(x, y, (x * y) % 3 == 0);
  TGifRead bwRead;
  ReadGifBytes(WriteGifBytes(bw, params), bwRead);
  ASSERT_EQ(bwRead.bitmap.PixelFormat, ie1g);
  EXPECT_EQ(MaxChannelDifference(ToRgba(bwRead.bitmap), ToRgba(bw)), 0);

  // More colours than two become black and white.
  TIEBitmap many;
  FourColourPicture(many, 8, 8);
  TGifRead manyRead;
  ReadGifBytes(WriteGifBytes(many, params), manyRead);
  EXPECT_EQ(manyRead.bitmap.PixelFormat, ie1g);
}

TEST_F(GifFilter, WriterBlocksCarryTheParameters) {
  TIEBitmap picture;
  FourColourPicture(picture, 6, 5);
  TIOParamsVals params(nullptr);
  params.BitsPerSample = 2;
  params.GIF_Version = "GIF87a";
  params.GIF_DelayTime = 300;
  params.GIF_Left = 7;
  params.GIF_Top = 9;
  params.GIF_TransparentFlag = true;
  params.GIF_TransparentColor = TRGB{255, 0, 0};
  params.GIF_Background = TRGB{0, 255, 0};
  const Bytes bytes = WriteGifBytes(picture, params);
  ASSERT_GT(bytes.size(), 13u + 12 + 8 + 10);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
  EXPECT_EQ(IEGetLE16(&bytes[6]), 6);
  EXPECT_EQ(IEGetLE16(&bytes[8]), 5);
  EXPECT_EQ(bytes[10], 0x80 | 1 << 4 | 1);
  EXPECT_EQ(bytes[12], 0);
  const uint8_t* control = &bytes[13 + 12];
  EXPECT_EQ(control[0], 0x21);
  EXPECT_EQ(control[1], 0xF9);
  EXPECT_EQ(control[3], 0x09);
  EXPECT_EQ(IEGetLE16(control + 4), 300);
  EXPECT_EQ(bytes.back(), 0x3B);

  TGifRead read;
  ReadGifBytes(bytes, read);
  EXPECT_EQ(read.params.GIF_Version, "GIF87a");
  EXPECT_EQ(read.params.GIF_DelayTime, 300);
  EXPECT_EQ(read.params.GIF_Left, 7);
  EXPECT_EQ(read.params.GIF_Top, 9);
  EXPECT_TRUE(read.params.GIF_TransparentFlag);
  EXPECT_EQ(read.params.GIF_TransparentColor, (TRGB{255, 0, 0}));
  EXPECT_EQ(read.params.GIF_Background, (TRGB{0, 255, 0}));
  // The blue pixels are the transparent ones.
  EXPECT_EQ(read.mask->GetPixel(4, 0), 0);
  EXPECT_EQ(read.mask->GetPixel(0, 0), 255);
}

TEST_F(GifFilter, CommentsRoundTrip) {
  TIEBitmap picture;
  FourColourPicture(picture, 4, 4);
  TIOParamsVals params(nullptr);
  const std::string longLine(600, 'x');
  params.GIF_Comments->Add("first");
  params.GIF_Comments->Add("");  // an empty line must not end the block
  params.GIF_Comments->Add("员工证");
  params.GIF_Comments->Add(longLine);
  params.GIF_Comments->Add("last");
  TGifRead read;
  ReadGifBytes(WriteGifBytes(picture, params), read);
  ASSERT_FALSE(read.fixture.aborting);
  std::vector<std::string> lines;
  for (int i = 0; i < read.params.GIF_Comments->Count(); ++i)
    lines.push_back(read.params.GIF_Comments->Get(i));
  // The long line comes back in pieces of 255 bytes.
  const std::vector<std::string> expected = {"first", "员工证", longLine.substr(0, 255),
                                             longLine.substr(255, 255), longLine.substr(510), "last"};
  EXPECT_EQ(lines, expected);
}

TEST_F(GifFilter, DepthLeftByAReadDoesNotLoseColours) {
  // Reading a 1-bit GIF leaves BitsPerSample 1; a colour picture saved
  // afterwards keeps its colours.
  TGifRead bwFile;
  ReadGifBytes(ReadBytes(PicturePath("gif-2colour-97x61.gif")), bwFile);
  ASSERT_EQ(bwFile.params.BitsPerSample, 1);
  TIEBitmap colour;
  FourColourPicture(colour, 10, 10);
  TGifRead read;
  ReadGifBytes(WriteGifBytes(colour, bwFile.params), read);
  EXPECT_EQ(MaxChannelDifference(ToRgba(read.bitmap), ToRgba(colour)), 0);
}

TEST_F(GifFilter, WriterFailures) {
  TIEBitmap picture;
  FourColourPicture(picture, 6, 5);
  {
    // No encoder: the blocks up to the descriptor, then abort.
    DefGIF_LZWCOMPFUNC = nullptr;
    TIOParamsVals params(nullptr);
    params.BitsPerSample = 2;
    bool aborted = false;
    const Bytes bytes = WriteGifBytes(picture, params, &aborted);
    EXPECT_TRUE(aborted);
    ASSERT_EQ(bytes.size(), 13u + 12 + 8 + 10);
    EXPECT_EQ(bytes[13 + 12 + 8], 0x2C);
    DefGIF_LZWCOMPFUNC = GIFLZWCompress;
  }
  {
    // Too wide for the 16-bit header: nothing written.
    TIEBitmap wide;
    wide.Location = ieMemory;
    wide.Allocate(70000, 1, ie1g);
    TIOParamsVals params(nullptr);
    bool aborted = false;
    EXPECT_TRUE(WriteGifBytes(wide, params, &aborted).empty());
    EXPECT_TRUE(aborted);
  }
  for (int64_t budget : {5, 30, 60}) {
    // A stream that runs out of room.
    TShortStream stream(budget);
    TProgressFixture fixture;
    TIOParamsVals params(nullptr);
    WriteGifStream(&stream, &picture, params, fixture.progress);
    EXPECT_TRUE(fixture.aborting) << budget;
  }
}

TEST_F(GifFilter, IndependentDecoderReadsWhatWeWrite) {
  TempDir dir;
  TIEBitmap picture;
  PaintBitmap(picture, 61, 37, [](int x, int y) {
    return TRGB{static_cast<uint8_t>(x * 4), static_cast<uint8_t>(y * 6), static_cast<uint8_t>((x ^ y) & 0xC0)};
  });
  std::vector<std::string> paths;
  std::vector<TRgbaPicture> ours;
  struct TOutCase {
    const char* name;
    int bits;
    bool interlaced;
    TGIFLZWCompFunc encoder;
  };
  for (const TOutCase& c : {TOutCase{"lzw8", 8, false, GIFLZWCompress},
                            TOutCase{"lzw5_interlaced", 5, true, GIFLZWCompress},
                            TOutCase{"runs8", 8, false, GIFNONLZWCompress},
                            TOutCase{"runs3_interlaced", 3, true, GIFNONLZWCompress},
                            TOutCase{"lzw1", 1, false, GIFLZWCompress}}) {
    TIOParamsVals params(nullptr);
    params.BitsPerSample = c.bits;
    params.GIF_Interlaced = c.interlaced;
    params.GIF_LZWCompress = c.encoder;
    const std::string path = dir.file(std::string(c.name) + ".gif");
    TProgressFixture fixture;
    WriteGif(path, &picture, params, fixture.progress);
    ASSERT_FALSE(fixture.aborting);
    TGifRead read;
    ReadGifBytes(ReadBytes(path), read);
    ASSERT_FALSE(read.fixture.aborting) << c.name;
    paths.push_back(path);
    ours.push_back(ToRgba(read.bitmap));
  }
  const std::vector<TRgbaPicture> theirs = DecodeIndependently(paths);
  for (size_t i = 0; i < paths.size(); ++i)
    EXPECT_EQ(MaxChannelDifference(ours[i], theirs[i]), 0) << paths[i];
}

}  // namespace
