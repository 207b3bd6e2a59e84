// AVI frames through the I/O front end: opening gives the frame count,
// loading a frame sets the picture and its parameters, failures set
// Aborting and leave the picture alone, an index past the frames loads
// nothing without aborting.
#include <gtest/gtest.h>

#include <string>

#include "avitestsupport.h"
#include "imaging/core/iebitmap.h"
#include "imaging/core/ieview.h"
#include "imaging/io/avifile.h"
#include "imaging/io/pixio.h"
#include "platform/classes.h"
#include "support/streambytes.h"
#include "support/testenv.h"

namespace {

constexpr size_t kRateAt = 132;

std::string WriteAvi(const cwtest::TempDir& dir, const std::string& name, TIEPixelFormat format, int frames,
                     int32_t delay) {
  TMemoryStream stream;
  {
    TIEAviWriter writer(&stream, 12, 7, format == ie1g ? 1 : 24, delay);
    for (int i = 0; i < frames; ++i) {
      TIEBitmap frame;
      cwtest::PatternFrame(frame, 12, 7, format, i);
      writer.AddFrame(&frame);
    }
    writer.Finish();
  }
  const cwtest::Bytes bytes = cwtest::Contents(stream);
  const std::string path = dir.file(name);
  TFileStream file(path, fmCreate);
  file.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  return path;
}

TEST(PixIOAvi, OpensAndLoadsFramesWithTheirParameters) {
  cwtest::TempDir dir;
  struct Case {
    const char* name;
    std::string path;
    int frames, width, height, bits, samples, delay;
    TIEPixelFormat format;
  };
  const Case cases[] = {
      {"ffmpeg colour at 25 a second", cwtest::DataPath("avi/bgr24.avi").string(), 3, 33, 21, 8, 3, 40, ie24RGB},
      {"ffmpeg 256 colours", cwtest::DataPath("avi/pal8.avi").string(), 3, 33, 21, 8, 1, 40, ie24RGB},
      {"ffmpeg motion JPEG", cwtest::DataPath("avi/mjpeg.avi").string(), 3, 32, 20, 8, 3, 40, ie24RGB},
      {"ours, black and white, 2 s a frame", WriteAvi(dir, "bw.avi", ie1g, 2, 2000), 2, 12, 7, 1, 1, 2000, ie1g},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPixIO io(nullptr);
    int finished = 0;
    io.OnFinishWork = [&](TObject*) { ++finished; };
    EXPECT_EQ(io.OpenAVIFile(c.path), c.frames) << io.GetAVIError();
    EXPECT_EQ(io.IOParams->AVI_FrameCount, c.frames);
    EXPECT_EQ(io.IOParams->FileName, c.path);
    io.LoadFromAVI(c.frames - 1);
    EXPECT_FALSE(io.Aborting);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(io.IEBitmap->Width, c.width);
    EXPECT_EQ(io.IEBitmap->Height, c.height);
    EXPECT_EQ(io.IEBitmap->PixelFormat, c.format);
    EXPECT_EQ(io.IOParams->Width, c.width);
    EXPECT_EQ(io.IOParams->Height, c.height);
    EXPECT_EQ(io.IOParams->BitsPerSample, c.bits);
    EXPECT_EQ(io.IOParams->SamplesPerPixel, c.samples);
    EXPECT_EQ(io.IOParams->AVI_FrameDelay, c.delay);
    EXPECT_EQ(io.IOParams->DPIX, gSystemDPIX);
    EXPECT_EQ(io.IOParams->DPIY, gSystemDPIY);
    EXPECT_EQ(io.IOParams->FileType, 0);
  }
}

TEST(PixIOAvi, LoadsTheFrameAskedFor) {
  cwtest::TempDir dir;
  TPixIO io(nullptr);
  ASSERT_EQ(io.OpenAVIFile(WriteAvi(dir, "c.avi", ie24RGB, 3, 40)), 3);
  for (const int i : {2, 0, 1}) {
    io.LoadFromAVI(i);
    TIEBitmap expected;
    cwtest::PatternFrame(expected, 12, 7, ie24RGB, i);
    EXPECT_EQ(io.IEBitmap->GetPixels(5, 3), expected.GetPixels(5, 3)) << i;
    EXPECT_EQ(io.IEBitmap->GetPixels(11, 0), expected.GetPixels(11, 0)) << i;
  }
}

// A stream without a rate has no frame time: the delay is 0, never a
// division by zero.
TEST(PixIOAvi, RateZeroGivesNoDelay) {
  cwtest::TempDir dir;
  TPixIO io(nullptr);
  const std::string path = WriteAvi(dir, "r.avi", ie24RGB, 1, 40);
  {
    TFileStream file(path, fmOpenReadWrite);
    uint8_t zero[4] = {0, 0, 0, 0};
    file.SetPosition(kRateAt);
    file.WriteBuffer(zero, 4);
  }
  ASSERT_EQ(io.OpenAVIFile(path), 1);
  io.LoadFromAVI(0);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(io.IOParams->AVI_FrameDelay, 0);
  EXPECT_EQ(io.IEBitmap->Width, 12);
}

TEST(PixIOAvi, FailuresAbortAndLeaveThePicture) {
  cwtest::TempDir dir;
  const std::string good = WriteAvi(dir, "g.avi", ie24RGB, 2, 40);
  const std::string notAvi = dir.file("x.avi");
  {
    TFileStream file(notAvi, fmCreate);
    file.WriteBuffer("RIFF\4\0\0\0WAVE", 12);
  }
  TPixIO io(nullptr);
  cwtest::PatternFrame(*io.IEBitmap, 3, 2, ie24RGB, 9);
  const TRGB before = io.IEBitmap->GetPixels(1, 1);
  const auto unchanged = [&] {
    return io.IEBitmap->Width == 3 && io.IEBitmap->Height == 2 && io.IEBitmap->GetPixels(1, 1) == before;
  };

  // Opening what is missing or no AVI: 0 frames, Aborting, a reason.
  for (const std::string& path : {dir.file("missing.avi"), notAvi}) {
    io.Aborting = false;
    EXPECT_EQ(io.OpenAVIFile(path), 0);
    EXPECT_TRUE(io.Aborting);
    EXPECT_FALSE(io.GetAVIError().empty());
    EXPECT_EQ(io.IOParams->AVI_FrameCount, 0);
    io.LoadFromAVI(0);  // nothing open: nothing loads
    EXPECT_FALSE(io.Aborting);
    EXPECT_TRUE(unchanged());
  }

  // Indexes outside the frames load nothing and do not abort.
  ASSERT_EQ(io.OpenAVIFile(good), 2);
  for (const int index : {2, -1, 1000}) {
    io.LoadFromAVI(index);
    EXPECT_FALSE(io.Aborting) << index;
    EXPECT_TRUE(unchanged()) << index;
  }

  // A frame that cannot be decoded aborts and keeps the picture.
  {
    TFileStream file(good, fmOpenReadWrite);
    const uint8_t wide[4] = {200, 0, 0, 0};  // the format now wants far more bytes a frame
    file.SetPosition(176);
    file.WriteBuffer(wide, 4);
  }
  ASSERT_EQ(io.OpenAVIFile(good), 2);
  io.LoadFromAVI(0);
  EXPECT_TRUE(io.Aborting);
  EXPECT_NE(io.GetAVIError().find("bytes"), std::string::npos) << io.GetAVIError();
  EXPECT_TRUE(unchanged());

  // Closed, the file loads nothing more.
  io.CloseAVIFile();
  io.LoadFromAVI(0);
  EXPECT_FALSE(io.Aborting);
  EXPECT_TRUE(unchanged());
}

}  // namespace
