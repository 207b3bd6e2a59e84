// AVI files: what we write is read by ffprobe and decoded by ffmpeg to the
// same pixels; what ffmpeg writes we decode to ffmpeg's pixels; damaged
// files fail with a reason and never touch the picture; frame times and
// rates convert both ways without dividing by zero.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "avitestsupport.h"
#include "pictures.h"
#include "imaging/core/iebitmap.h"
#include "imaging/io/avifile.h"
#include "imaging/io/iebyteorder.h"
#include "platform/classes.h"
#include "support/streambytes.h"
#include "support/testenv.h"

namespace {

using cwtest::Bytes;

// Offsets in the files our writer makes.
constexpr size_t kScaleAt = 128, kRateAt = 132;
constexpr size_t kStrfAt = 172;  // the BITMAPINFOHEADER
constexpr size_t kHdrlSizeAt = 16;

Bytes WriteFrames(int width, int height, TIEPixelFormat format, int frames, int32_t delayMs) {
  TMemoryStream stream;
  TIEAviWriter writer(&stream, width, height, format == ie1g ? 1 : 24, delayMs);
  for (int i = 0; i < frames; ++i) {
    TIEBitmap frame;
    cwtest::PatternFrame(frame, width, height, format, i);
    writer.AddFrame(&frame);
  }
  writer.Finish();
  return cwtest::Contents(stream);
}

std::string SaveBytes(const cwtest::TempDir& dir, const std::string& name, const Bytes& bytes) {
  const std::string path = dir.file(name);
  TFileStream file(path, fmCreate);
  file.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  return path;
}

bool SamePixels(TIEBitmap& a, TIEBitmap& b) {
  if (a.Width != b.Width || a.Height != b.Height || a.PixelFormat != b.PixelFormat) return false;
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x)
      if (!(a.GetPixels(x, y) == b.GetPixels(x, y))) return false;
  return true;
}

TEST(AviTiming, FrameDelayAndRateConvertWithoutDividingByZero) {
  struct Case {
    uint32_t scale, rate;
    int32_t delay;
  };
  for (const Case c : {Case{1, 25, 40}, Case{0, 25, 0}, Case{1, 0, 0}, Case{0, 0, 0}, Case{2, 3, 666},
                       Case{1001, 30000, 33}, Case{0xFFFFFFFFu, 1, INT32_MAX}})
    EXPECT_EQ(IEAviFrameDelay(c.scale, c.rate), c.delay) << c.scale << "/" << c.rate;
  for (const Case c : {Case{1, 25, 40}, Case{3, 2, 1500}, Case{33, 1000, 33}, Case{1, 1, 1000}, Case{1, 1000, 0},
                       Case{1, 1000, -5}, Case{5, 1, 5000}}) {
    uint32_t scale = 0, rate = 0;
    IEAviRateOfDelay(c.delay, scale, rate);
    EXPECT_EQ(scale, c.scale) << c.delay;
    EXPECT_EQ(rate, c.rate) << c.delay;
  }
}

TEST(AviWriter, FfprobeAndFfmpegReadWhatWeWrite) {
  struct Case {
    const char* name;
    int width, height;
    TIEPixelFormat format;
    int32_t delay;
    const char* rate;
  };
  const Case cases[] = {
      {"colour at 25 a second", 16, 8, ie24RGB, 40, "25/1"},
      {"odd width, frames longer than a second", 7, 5, ie24RGB, 1500, "2/3"},
      {"uneven frame time", 10, 4, ie24RGB, 33, "1000/33"},
      {"black and white", 13, 9, ie1g, 100, "10/1"},
  };
  cwtest::TempDir dir;
  const int frames = 3;
  std::vector<std::string> paths;
  for (const Case& c : cases)
    paths.push_back(SaveBytes(dir, std::to_string(paths.size()) + ".avi",
                              WriteFrames(c.width, c.height, c.format, frames, c.delay)));
  const std::vector<std::string> probed = cwtest::FfprobeVideos(paths);
  const std::vector<std::vector<uint8_t>> decoded = cwtest::FfmpegRgbFrames(paths);
  ASSERT_EQ(probed.size(), paths.size());
  for (size_t k = 0; k < paths.size(); ++k) {
    const Case& c = cases[k];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(probed[k], std::to_string(c.width) + "," + std::to_string(c.height) + "," + c.rate + "," +
                             std::to_string(frames));
    ASSERT_EQ(decoded[k].size(), size_t(c.width) * c.height * 3 * frames);
    for (int i = 0; i < frames; ++i) {
      TIEBitmap expected;
      cwtest::PatternFrame(expected, c.width, c.height, c.format, i);
      EXPECT_EQ(cwtest::CompareWithRgb(expected, decoded[k], i).max, 0) << "frame " << i;
    }
  }
}

TEST(AviReader, ReadsBackWhatWeWrite) {
  for (const TIEPixelFormat format : {ie24RGB, ie1g}) {
    TMemoryStream stream;
    cwtest::Fill(stream, WriteFrames(9, 6, format, 4, 1500));
    TIEAviReader reader;
    ASSERT_TRUE(reader.Open(&stream)) << reader.Error;
    EXPECT_EQ(reader.FrameCount(), 4);
    EXPECT_EQ(reader.Info().Length, 4u);
    EXPECT_EQ(IEAviFrameDelay(reader.Info().Scale, reader.Info().Rate), 1500);
    for (int i = 0; i < 4; ++i) {
      TIEBitmap got, expected;
      cwtest::PatternFrame(expected, 9, 6, format, i);
      EXPECT_EQ(reader.ReadFrame(i, &got), format == ie1g ? 1 : 24);
      EXPECT_TRUE(SamePixels(got, expected)) << "frame " << i;
    }
  }
}

// A 1-bit file whose colour table is white, black (the reverse of ours)
// with the bits flipped shows the same picture; one with two equal
// colours shows a plain picture.
TEST(AviReader, OneBitFramesTakeTheirColourTable) {
  const Bytes ours = WriteFrames(13, 9, ie1g, 1, 40);
  const size_t table = kStrfAt + 40, pixels = table + 8 + 12 + 8;
  ASSERT_EQ(std::memcmp(&ours[pixels - 8], "00db", 4), 0);
  Bytes reversed = ours;
  IEPutLE32(&reversed[table], 0x00FFFFFF);
  IEPutLE32(&reversed[table + 4], 0);
  for (size_t i = pixels; i < reversed.size() - 8 - 16; ++i) reversed[i] = uint8_t(~reversed[i]);
  Bytes plain = ours;
  IEPutLE32(&plain[table], 0x00FFFFFF);
  IEPutLE32(&plain[table + 4], 0x00E0E0E0);

  TIEBitmap expected;
  cwtest::PatternFrame(expected, 13, 9, ie1g, 0);
  cwtest::TempDir dir;
  // ffmpeg agrees with what the colour tables say.
  const auto decoded = cwtest::FfmpegRgbFrames({SaveBytes(dir, "ours.avi", ours), SaveBytes(dir, "rev.avi", reversed)});
  for (const Bytes* file : {&ours, static_cast<const Bytes*>(&reversed)}) {
    TMemoryStream stream;
    cwtest::Fill(stream, *file);
    TIEAviReader reader;
    ASSERT_TRUE(reader.Open(&stream)) << reader.Error;
    TIEBitmap got;
    ASSERT_EQ(reader.ReadFrame(0, &got), 1);
    EXPECT_TRUE(SamePixels(got, expected));
    EXPECT_EQ(cwtest::CompareWithRgb(got, decoded[file == &ours ? 0 : 1], 0).max, 0);
  }
  TMemoryStream stream;
  cwtest::Fill(stream, plain);
  TIEAviReader reader;
  ASSERT_TRUE(reader.Open(&stream));
  TIEBitmap got;
  ASSERT_EQ(reader.ReadFrame(0, &got), 1);
  for (int y = 0; y < got.Height; ++y)
    for (int x = 0; x < got.Width; ++x) ASSERT_TRUE(got.GetPixels_ie1g(x, y));
}

// Files ffmpeg wrote (tests/data/avi, made by make-fixtures.sh there) beside
// ffmpeg's own decode of them.
TEST(AviReader, DecodesWhatFfmpegWrites) {
  struct Case {
    const char* name;
    int width, height;
    int maxDifference;
    double meanDifference;
  };
  // Lossless layouts match exactly (5-bit channels within their step); YUV
  // and JPEG frames within the rounding of two different decoders.
  const Case cases[] = {
      {"bgr24", 33, 21, 0, 0}, {"pal8", 33, 21, 0, 0},       {"bgra", 33, 21, 0, 0},
      {"rgb555", 33, 21, 7, 4}, {"i420", 32, 20, 8, 2},     {"mjpeg", 32, 20, 8, 2},
      // The odd last column and row: the decoders fill the missing chroma differently.
      {"mjpeg-odd", 33, 21, 24, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string base = cwtest::DataPath("avi/" + std::string(c.name)).string();
    const Bytes rgb = cwtest::ReadBytes(base + ".rgb");
    TFileStream file(base + ".avi", fmOpenRead);
    TIEAviReader reader;
    ASSERT_TRUE(reader.Open(&file)) << reader.Error;
    EXPECT_EQ(reader.FrameCount(), 3);
    EXPECT_EQ(IEAviFrameDelay(reader.Info().Scale, reader.Info().Rate), 40);
    for (int i = 0; i < 3; ++i) {
      TIEBitmap got;
      ASSERT_NE(reader.ReadFrame(i, &got), 0) << reader.Error;
      ASSERT_EQ(got.Width, c.width);
      ASSERT_EQ(got.Height, c.height);
      const cwtest::TFrameDifference d = cwtest::CompareWithRgb(got, rgb, i);
      EXPECT_LE(d.max, c.maxDifference) << "frame " << i;
      EXPECT_LE(d.mean, c.meanDifference) << "frame " << i;
    }
  }
}

TEST(AviReader, DamagedFilesFailWithAReasonAndLeaveThePictureAlone) {
  const Bytes good = WriteFrames(8, 4, ie24RGB, 2, 40);
  const size_t frameBytes = 8 * 3 * 4, firstFrame = kStrfAt + 40 + 12 + 8;
  struct Case {
    const char* name;
    std::function<void(Bytes&)> damage;
    bool opens;
    int frames;      // when it opens
    const char* why;  // part of the error, of the open or of frame 0
  };
  const Case cases[] = {
      {"empty", [](Bytes& b) { b.clear(); }, false, 0, "RIFF"},
      {"not RIFF", [](Bytes& b) { std::memcpy(b.data(), "RIFX", 4); }, false, 0, "RIFF"},
      {"cut inside the headers", [](Bytes& b) { b.resize(100); }, false, 0, "header list"},
      {"header list longer than the file", [](Bytes& b) { IEPutLE32(&b[kHdrlSizeAt], 0x7FFFFFF0); }, false, 0,
       "past the end"},
      {"format header size 0", [](Bytes& b) { IEPutLE32(&b[kStrfAt], 0); }, false, 0, "header size"},
      {"format header size past the chunk", [](Bytes& b) { IEPutLE32(&b[kStrfAt], 4000); }, false, 0,
       "header size"},
      {"width 0", [](Bytes& b) { IEPutLE32(&b[kStrfAt + 4], 0); }, false, 0, "frame size"},
      {"height of a billion pixels", [](Bytes& b) { IEPutLE32(&b[kStrfAt + 8], 0x7FFFFFFF); }, false, 0,
       "frame size"},
      {"unknown compression", [](Bytes& b) { std::memcpy(&b[kStrfAt + 16], "XVID", 4); }, false, 0, "'XVID'"},
      {"bit count 7", [](Bytes& b) { IEPutLE16(&b[kStrfAt + 14], 7); }, false, 0, "7 bits"},
      {"no video stream", [](Bytes& b) { std::memcpy(&b[108], "auds", 4); }, false, 0, "without a video stream"},
      {"second frame cut off", [&](Bytes& b) { b.resize(firstFrame + frameBytes + 8 + 10); }, true, 1, ""},
      {"frames smaller than the format says", [](Bytes& b) { IEPutLE32(&b[kStrfAt + 4], 16); }, true, 2,
       "holds 96 bytes"},
      {"frame size past the file", [&](Bytes& b) { IEPutLE32(&b[firstFrame - 4], 0x7FFFFFFF); }, true, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bytes = good;
    c.damage(bytes);
    TMemoryStream stream;
    cwtest::Fill(stream, bytes);
    TIEAviReader reader;
    ASSERT_EQ(reader.Open(&stream), c.opens) << reader.Error;
    if (!c.opens) {
      EXPECT_NE(reader.Error.find(c.why), std::string::npos) << reader.Error;
      continue;
    }
    EXPECT_EQ(reader.FrameCount(), c.frames);
    TIEBitmap picture;
    cwtest::PatternFrame(picture, 3, 3, ie24RGB, 7);
    TIEBitmap before;
    before.Assign(&picture);
    const int read = reader.ReadFrame(0, &picture);
    if (*c.why) {
      EXPECT_EQ(read, 0);
      EXPECT_NE(reader.Error.find(c.why), std::string::npos) << reader.Error;
      EXPECT_TRUE(SamePixels(picture, before));
    }
    EXPECT_EQ(reader.ReadFrame(c.frames, &picture), 0);
    EXPECT_NE(reader.Error.find("out of range"), std::string::npos);
  }
}

TEST(AviWriter, RefusesSizesTheReaderRefuses) {
  // Sizes the reader would refuse are not written.
  for (const auto& size : {std::pair{20000, 20000}, std::pair{0, 5}, std::pair{5, -1}, std::pair{40000, 1}}) {
    TMemoryStream stream;
    EXPECT_THROW(TIEAviWriter(&stream, size.first, size.second, 24, 40), EInvalidGraphic);
    EXPECT_EQ(stream.GetSize(), 0);
  }
}

}  // namespace
