// Hidden data in the pixels' least significant bits: what fits, what is
// refused, how each carrier byte changes and what a picture that never
// received data reads as.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/proc/iehiddendata.h"
#include "pixproc_fixture.h"

namespace {

using PixProcHiddenTest = PixProcTest;

std::vector<uint8_t> Noise(size_t n) {
  std::vector<uint8_t> bytes(n);
  uint32_t seed = 12345;
  for (uint8_t& b : bytes) b = static_cast<uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
  return bytes;
}

// The advertised space is what the carrier really holds: all of it comes
// back, and one byte more is refused with the picture and undo untouched.
TEST_F(PixProcHiddenTest, TheSpaceIsTheTrueCapacity) {
  struct TCase {
    int w, h, space;
    bool header;  // whether the 8 header bytes fit
  };
  // 100 x 100: 298 carrier bits a row, 3725 bytes, 8 of them the header.
  const TCase cases[] = {{100, 100, 3717, true}, {7, 5, 3, true}, {4, 7, 0, true}, {2, 8, 0, false}, {1, 1, 0, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    Picture(c.w, c.h);
    proc->ClearAllUndo();
    EXPECT_EQ(proc->GetHiddenDataSpace(), c.space);
    const std::vector<uint8_t> data = Noise(c.space + 1);
    EXPECT_EQ(proc->WriteHiddenData(data.data(), c.space + 1), 0);
    EXPECT_EQ(proc->GetUndoCount(), 0);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) ASSERT_TRUE(OriginalAt(x, y)) << x << "," << y;

    if (c.header) {
      EXPECT_EQ(proc->WriteHiddenData(data.data(), c.space), c.space);
      std::vector<uint8_t> back(c.space + 4, 0xAA);
      EXPECT_EQ(proc->ReadHiddenData(back.data(), c.space + 4), c.space);
      EXPECT_EQ(std::vector<uint8_t>(back.begin(), back.begin() + c.space),
                std::vector<uint8_t>(data.begin(), data.begin() + c.space));
      EXPECT_EQ(back[c.space], 0xAA) << "nothing past the stored length";
    }
  }
}

TEST_F(PixProcHiddenTest, TextsComeBackAndEachByteMovesByOneAtMost) {
  Picture(40, 12);
  const std::string text = "abc 图像入库";
  EXPECT_EQ(proc->WriteHiddenText(text), static_cast<int>(text.size()));
  EXPECT_EQ(proc->GetUndoCaptions(0), "WriteHiddenData");
  EXPECT_EQ(imageChanges, 1);
  EXPECT_EQ(proc->ReadHiddenText(), text);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 40; ++x) {
      const TRGB now = At(x, y), was = Code(x, y);
      ASSERT_LE(std::abs(now.b - was.b) + std::abs(now.g - was.g) + std::abs(now.r - was.r), 3);
    }
  // The last pixel's green and red bytes carry nothing.
  for (int y = 0; y < 12; ++y) {
    EXPECT_EQ(At(39, y).g, Code(39, y).g);
    EXPECT_EQ(At(39, y).r, Code(39, y).r);
  }
  // A short buffer takes what it can and learns the whole length.
  char four[4] = {};
  EXPECT_EQ(proc->ReadHiddenData(four, 4), static_cast<int>(text.size()));
  EXPECT_EQ(std::string(four, 4), "abc ");
  EXPECT_EQ(proc->ReadHiddenData(nullptr, 0), static_cast<int>(text.size()));

  // Writing nothing still stores the header, with a snapshot.
  EXPECT_EQ(proc->WriteHiddenData(nullptr, 0), 0);
  EXPECT_EQ(proc->GetUndoCount(), 1);
  EXPECT_EQ(proc->ReadHiddenText(), "");
}

// Bit 1 makes an even byte odd, bit 0 an odd byte even (255 going down).
TEST(HiddenDataBits, CarrierBytesMoveTowardsTheirBit) {
  struct TCase {
    uint8_t before;
    bool bit;
    uint8_t after;
  };
  const TCase cases[] = {{0, true, 1}, {0, false, 0}, {7, true, 7}, {7, false, 8}, {255, false, 254}, {255, true, 255}, {254, true, 255}};
  for (const TCase& c : cases) {
    // A picture 10 wide holds 28 carrier bytes a row; the first byte of the
    // data stream (after 8 header bytes) goes to carrier bytes 64..71 of
    // rows 2 and 3. Its bit 0 goes to byte 64 = row 2, byte 8.
    auto bitmap = Bitmap24(10, 4, [&](int, int) { return Rgb(c.before, c.before, c.before); });
    const uint8_t value = c.bit ? 1 : 0;
    ASSERT_TRUE(IEWriteHiddenData(bitmap.get(), &value, 1));
    EXPECT_EQ(bitmap->ScanLine(2)[8], c.after) << int(c.before) << " carrying " << c.bit;
  }
}

// A picture that never received data spells some length in its low bits;
// one beyond the carrier reads as no data instead of a huge allocation.
TEST_F(PixProcHiddenTest, LengthsBeyondThePictureReadAsNothing) {
  auto odd = Bitmap24(30, 30, [&](int, int) { return Rgb(255, 1, 3); });
  proc->SetAttachedBitmap(odd.get());
  EXPECT_EQ(proc->ReadHiddenData(nullptr, 0), 0);
  EXPECT_EQ(proc->ReadHiddenText(), "");
  // Without a 24-bit picture nothing is read or written.
  TBitmap mono;
  mono.SetPixelFormat(pf1bit);
  mono.SetSize(64, 64);
  proc->SetAttachedBitmap(&mono);
  EXPECT_EQ(proc->GetHiddenDataSpace(), 0);
  EXPECT_EQ(proc->WriteHiddenText("x"), 0);
  EXPECT_EQ(proc->ReadHiddenData(nullptr, 0), 0);
  proc->SetAttachedBitmap(nullptr);
}

}  // namespace
