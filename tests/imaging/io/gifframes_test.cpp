// Whole-file GIF operations: inserting a frame at each kind of place,
// deleting and counting frames, the animation loop block, and files that
// are not GIFs, damaged or cannot be coded, which stay as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "giftestsupport.h"
#include "imaging/io/giffilter.h"
#include "imaging/io/giflzw.h"
#include "imaging/io/iebyteorder.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

const std::vector<uint8_t> kTable = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255};

// Frame k is a 2 x 2 picture filled with index k % 4, with a graphic
// control block of delay 10 x (k + 1) unless withoutControl.
Bytes FramesGif(int frames, bool withoutControl = false) {
  std::vector<TGifFrameSpec> specs;
  for (int k = 0; k < frames; ++k) {
    TGifFrameSpec f;
    f.width = 2;
    f.height = 2;
    f.indices.assign(4, static_cast<uint8_t>(k % 4));
    f.control = !withoutControl;
    f.delay = static_cast<uint16_t>(10 * (k + 1));
    specs.push_back(f);
  }
  return MakeGif(4, 4, kTable, specs);
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// A 3 x 1 picture of one colour.
void Inserted(TIEBitmap& bitmap, TRGB colour) {
  PaintBitmap(bitmap, 3, 1, [&](int, int) { return colour; });
}

// Delay and top-left colour of every frame.
struct TFrameSummary {
  int width;
  int delay;
  TRGB colour;
  bool operator==(const TFrameSummary&) const = default;
};

std::vector<TFrameSummary> Summaries(const Bytes& bytes) {
  TGifRead first;
  ReadGifBytes(bytes, first, 0, true);
  std::vector<TFrameSummary> out;
  for (int k = 0; k < first.count; ++k) {
    TGifRead read;
    ReadGifBytes(bytes, read, k);
    out.push_back({read.bitmap.Width, read.params.GIF_DelayTime, read.bitmap.GetPixels(0, 0)});
  }
  return out;
}

const TRGB kRed{0, 0, 255};
const TRGB kBlack{0, 0, 0};
const TRGB kWhite{255, 255, 255};
const TRGB kBlue{255, 0, 0};

class GifFrames : public testing::Test {
 protected:
  TGifHooks hooks;
  TempDir dir;
};

struct TInsertCase {
  const char* name;
  int index;
  bool withoutControl;
  // Widths of the frames afterwards: 3 is the new one.
  std::vector<int> widths;
  int newDelayAt;  // delay of the frame after the new one, -1 when last
};

TEST_F(GifFrames, InsertPutsTheFrameBeforeTheChosenOne) {
  const TInsertCase cases[] = {
      {"first_with_control_block", 0, false, {3, 2, 2}, 10},
      {"first_without_control_block", 0, true, {3, 2, 2}, 0},
      {"middle", 1, false, {2, 3, 2}, 20},
      {"at_count_appends", 2, false, {2, 2, 3}, -1},
      {"past_count_appends", 9, false, {2, 2, 3}, -1},
  };
  for (const TInsertCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file(std::string(c.name) + ".gif");
    WriteFile(path, FramesGif(2, c.withoutControl));
    TIEBitmap picture;
    Inserted(picture, kRed);
    TIOParamsVals params(nullptr);
    params.GIF_ImageIndex = c.index;
    params.GIF_DelayTime = 99;
    TProgressFixture fixture;
    EXPECT_EQ(_InsertGifIm(path, &picture, params, fixture.progress), 3);
    EXPECT_FALSE(fixture.aborting);
    const Bytes after = ReadBytes(path);
    EXPECT_EQ(std::string(after.begin(), after.begin() + 6), "GIF89a");
    const std::vector<TFrameSummary> frames = Summaries(after);
    ASSERT_EQ(frames.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
      EXPECT_EQ(frames[k].width, c.widths[k]) << k;
      if (frames[k].width == 3) {
        EXPECT_EQ(frames[k].colour, kRed);
        EXPECT_EQ(frames[k].delay, 99);
        if (c.newDelayAt >= 0) {
          EXPECT_EQ(frames[k + 1].delay, c.newDelayAt);
        }
      }
    }
  }
}

TEST_F(GifFrames, InsertIntoAStreamKeepsWhatComesBefore) {
  Bytes bytes = {'x', 'y'};
  const Bytes gif = FramesGif(1);
  bytes.insert(bytes.end(), gif.begin(), gif.end());
  TMemoryStream stream;
  Fill(stream, bytes);
  stream.SetPosition(2);
  TIEBitmap picture;
  Inserted(picture, kRed);
  TIOParamsVals params(nullptr);
  params.GIF_ImageIndex = 1;
  TProgressFixture fixture;
  EXPECT_EQ(_InsertGifImStream(&stream, &picture, params, fixture.progress), 2);
  const Bytes after = Contents(stream);
  EXPECT_EQ(after[0], 'x');
  EXPECT_EQ(after[1], 'y');
  EXPECT_EQ(Summaries(Bytes(after.begin() + 2, after.end())).size(), 2u);
}

TEST_F(GifFrames, InsertRefusesAndLeavesTheStreamAlone) {
  struct TRefusal {
    const char* name;
    Bytes bytes;
    bool encoder;
  };
  Bytes truncated = FramesGif(2);
  truncated.resize(truncated.size() - 6);
  const TRefusal cases[] = {
      {"not_a_gif", Bytes(40, 'z'), true},
      {"no_encoder", FramesGif(2), false},
      {"frame_data_cut", truncated, true},
  };
  for (const TRefusal& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryStream stream;
    Fill(stream, c.bytes);
    TIEBitmap picture;
    Inserted(picture, kRed);
    if (!c.encoder) DefGIF_LZWCOMPFUNC = nullptr;
    TIOParamsVals params(nullptr);
    TProgressFixture fixture;
    EXPECT_EQ(_InsertGifImStream(&stream, &picture, params, fixture.progress), 0);
    EXPECT_TRUE(fixture.aborting);
    EXPECT_EQ(Contents(stream), c.bytes);
    EXPECT_EQ(stream.GetPosition(), 0);
    DefGIF_LZWCOMPFUNC = GIFLZWCompress;
  }
}

TEST_F(GifFrames, InsertCodesTwoColoursInOneBitAndOthersInEightWhenAskedForOne) {
  const std::string path = dir.file("bits.gif");
  WriteFile(path, FramesGif(1));
  TIEBitmap twoColours;
  PaintBitmap(twoColours, 4, 2, [](int x, int) { return x % 2 ? kBlue : kRed; });
  TIEBitmap many;
  PaintBitmap(many, 4, 2, [](int x, int y) { return TRGB{uint8_t(x * 50), uint8_t(y * 90), 7}; });
  TIOParamsVals params(nullptr);
  params.BitsPerSample = 1;
  params.GIF_ImageIndex = 5;
  TProgressFixture fixture;
  _InsertGifIm(path, &twoColours, params, fixture.progress);
  _InsertGifIm(path, &many, params, fixture.progress);
  const Bytes bytes = ReadBytes(path);
  TGifRead two;
  ReadGifBytes(bytes, two, 1);
  EXPECT_EQ(two.params.BitsPerSample, 1);
  EXPECT_EQ(MaxChannelDifference(ToRgba(two.bitmap), ToRgba(twoColours)), 0);
  TGifRead eight;
  ReadGifBytes(bytes, eight, 2);
  EXPECT_EQ(eight.params.BitsPerSample, 8);
  EXPECT_EQ(MaxChannelDifference(ToRgba(eight.bitmap), ToRgba(many)), 0);
}

TEST_F(GifFrames, DeleteAndCount) {
  const std::string path = dir.file("frames.gif");
  const Bytes original = FramesGif(3);
  WriteFile(path, original);
  // Counting leaves the file as it is.
  EXPECT_EQ(_DeleteGifIm(path, -1, false), 3);
  EXPECT_EQ(ReadBytes(path), original);
  EXPECT_EQ(_DeleteGifIm(path, 1, false), 2);
  EXPECT_EQ(ReadBytes(path), original);

  // Deleting the middle frame takes its graphic control block with it.
  EXPECT_EQ(_DeleteGifIm(path, 1, true), 2);
  const std::vector<TFrameSummary> frames = Summaries(ReadBytes(path));
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], (TFrameSummary{2, 10, kBlack}));
  EXPECT_EQ(frames[1], (TFrameSummary{2, 30, kRed}));
}

TEST_F(GifFrames, DeleteRefusesFilesItCannotWalk) {
  const std::string notGif = dir.file("not.gif");
  WriteFile(notGif, Bytes(30, 'q'));
  EXPECT_EQ(_DeleteGifIm(notGif, 0, true), 0);
  EXPECT_EQ(ReadBytes(notGif), Bytes(30, 'q'));

  // A frame cut short: counted frames are the whole ones; rewriting it
  // would drop data, so the file stays.
  Bytes cut = FramesGif(3);
  cut.resize(cut.size() - 5);
  const std::string damaged = dir.file("damaged.gif");
  WriteFile(damaged, cut);
  EXPECT_EQ(_DeleteGifIm(damaged, -1, false), 2);
  EXPECT_EQ(_DeleteGifIm(damaged, 0, true), 0);
  EXPECT_EQ(ReadBytes(damaged), cut);
}

TEST_F(GifFrames, AnimationLoopBlock) {
  // This file has its loop block after the first graphic control block.
  EXPECT_TRUE(_CheckGifAnimate(PicturePath("gif-anim-3frames-33x21.gif")));
  const std::string corpus = dir.file("corpus.gif");
  WriteFile(corpus, ReadBytes(PicturePath("gif-anim-3frames-33x21.gif")));
  _GifMakeAnimate(corpus, 2, 33, 21);
  const std::string text = [&] {
    const Bytes b = ReadBytes(corpus);
    return std::string(b.begin(), b.end());
  }();
  EXPECT_EQ(text.find("NETSCAPE2.0"), text.rfind("NETSCAPE2.0"));
  EXPECT_EQ(Summaries(ReadBytes(corpus)).size(), 3u);

  const std::string path = dir.file("anim.gif");
  WriteFile(path, FramesGif(2));
  EXPECT_FALSE(_CheckGifAnimate(path));

  for (int loops : {0, 5}) {
    _GifMakeAnimate(path, loops, 300, 7);
    EXPECT_TRUE(_CheckGifAnimate(path));
    const Bytes bytes = ReadBytes(path);
    EXPECT_EQ(IEGetLE16(&bytes[6]), 300);
    EXPECT_EQ(IEGetLE16(&bytes[8]), 7);
    const size_t block = 13 + kTable.size();
    EXPECT_EQ(IEGetLE16(&bytes[block + 16]), loops);
    // One loop block only: the old one was replaced.
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("NETSCAPE2.0"), text.rfind("NETSCAPE2.0"));
    EXPECT_EQ(Summaries(bytes).size(), 2u);
  }

  const std::string notGif = dir.file("not.gif");
  WriteFile(notGif, Bytes(30, 'q'));
  _GifMakeAnimate(notGif, 0, 10, 10);
  EXPECT_EQ(ReadBytes(notGif), Bytes(30, 'q'));
  EXPECT_FALSE(_CheckGifAnimate(notGif));
}

}  // namespace

namespace {

// The file operations put a whole new file in place (a second name of the
// old file keeps the old bytes, so nothing was written into it), leave no
// temporary file, and gifsicle reads each result with the frames and
// screen we meant.
TEST_F(GifFrames, FileOperationsReplaceTheFileWholeAndGifsicleAgrees) {
  const std::string path = dir.file("frames.gif");
  const std::string oldName = dir.file("old.gif");
  auto relink = [&] {
    std::filesystem::remove(oldName);
    std::filesystem::create_hard_link(path, oldName);
    return ReadBytes(path);
  };
  auto info = [&] {
    const TToolRun run = RunTool("gifsicle --info '" + path + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    return run.output;
  };
  WriteFile(path, FramesGif(2));

  Bytes before = relink();
  TIEBitmap picture;
  PaintBitmap(picture, 7, 5, [](int x, int) { return x % 2 ? kRed : kBlue; });
  TIOParamsVals params(nullptr);
  params.GIF_ImageIndex = 1;
  TProgressFixture fixture;
  EXPECT_EQ(_InsertGifIm(path, &picture, params, fixture.progress), 3);
  EXPECT_EQ(ReadBytes(oldName), before);
  EXPECT_NE(info().find("3 images"), std::string::npos);

  before = relink();
  _GifMakeAnimate(path, 0, 7, 5);
  EXPECT_EQ(ReadBytes(oldName), before);
  std::string text = info();
  EXPECT_NE(text.find("logical screen 7x5"), std::string::npos) << text;
  EXPECT_NE(text.find("loop forever"), std::string::npos) << text;
  EXPECT_NE(text.find("+ image #1 7x5"), std::string::npos) << text;

  before = relink();
  EXPECT_EQ(_DeleteGifIm(path, 0, true), 2);
  EXPECT_EQ(ReadBytes(oldName), before);
  text = info();
  EXPECT_NE(text.find("2 images"), std::string::npos) << text;
  EXPECT_NE(text.find("+ image #0 7x5"), std::string::npos) << text;

  std::filesystem::remove(oldName);
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1u) << "no temporary file is left";
}

}  // namespace
