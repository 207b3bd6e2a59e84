#include "imaging/proc/iecolordepth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "bitmaps.h"
#include "imaging/core/iebitmap.h"

namespace {

// Collects the percentages an operation reports.
struct ProgressLog {
  std::vector<int> values;
  TProgressRec Record() {
    TProgressRec rec;
    rec.OnProgress = [this](TObject*, int per) { values.push_back(per); };
    return rec;
  }
};

// ---- ordered dithering ------------------------------------------------------

TEST(ConvertToBWOrdered, SetsGreyDiv4BitsOfEachBlock) {
  // Per 8 x 8 block the matrix holds every value 0..63 once, so a uniform
  // grey v sets exactly v div 4 bits of each block.
  for (int v : {0, 3, 4, 100, 128, 200, 255}) {
    SCOPED_TRACE(v);
    auto bitmap = Bitmap24(16, 16, [&](int, int) { return Grey(v); });
    TProgressRec rec;
    _ConvertToBWOrdered(bitmap.get(), rec);
    ASSERT_EQ(bitmap->GetPixelFormat(), pf1bit);
    ASSERT_EQ(bitmap->GetWidth(), 16);
    ASSERT_EQ(bitmap->GetHeight(), 16);
    for (int bx = 0; bx < 16; bx += 8)
      for (int by = 0; by < 16; by += 8) {
        int set = 0;
        for (int y = by; y < by + 8; ++y)
          for (int x = bx; x < bx + 8; ++x) set += Bit(bitmap.get(), x, y);
        EXPECT_EQ(set, v / 4);
      }
  }
}

// Single pixels pinned from the matrix, read at (x mod 8, y mod 8), against
// the grey level (21 r + 71 g + 8 b) div 100, div 4.
TEST(ConvertToBWOrdered, ComparesMatrixCellWithGreyLevel) {
  const struct {
    TRGB colour;
    int x, y;
    bool white;
  } cases[] = {
      {Grey(255), 7, 0, false},       // 63 is not below 63
      {Grey(255), 0, 7, true},        // 42
      {Grey(255), 15, 8, false},      // the matrix repeats every 8 pixels
      {Grey(128), 0, 0, true},        // 0 < 32
      {Grey(128), 0, 1, false},       // 32 is not below 32
      {Grey(128), 1, 0, false},       // 48
      {Rgb(255, 0, 0), 0, 2, true},   // grey 53 -> 13; 8
      {Rgb(255, 0, 0), 2, 0, true},   // 12
      {Rgb(255, 0, 0), 6, 0, false},  // 15
      {Rgb(0, 0, 255), 0, 4, true},   // grey 20 -> 5; 2
      {Rgb(0, 0, 255), 0, 2, false},  // 8
      {Rgb(0, 255, 0), 2, 1, true},   // grey 181 -> 45; 44
      {Rgb(0, 255, 0), 1, 2, false},  // 56
      {Rgb(0, 255, 0), 3, 0, false},  // 60
  };
  for (const auto& c : cases) {
    auto bitmap = Bitmap24(16, 16, [&](int, int) { return c.colour; });
    TProgressRec rec;
    _ConvertToBWOrdered(bitmap.get(), rec);
    EXPECT_EQ(Bit(bitmap.get(), c.x, c.y), c.white)
        << int(c.colour.r) << "," << int(c.colour.g) << "," << int(c.colour.b) << " at " << c.x
        << "," << c.y;
  }
}

TEST(ConvertToBWOrdered, ReportsEachRowAndStopsOnAbort) {
  ProgressLog log;
  TProgressRec rec = log.Record();
  auto bitmap = Bitmap24(5, 3, [](int, int) { return Grey(200); });
  _ConvertToBWOrdered(bitmap.get(), rec);
  EXPECT_EQ(log.values, (std::vector<int>{28, 57, 85}));  // 100 / 3.5 per row

  ProgressLog aborted;
  rec = aborted.Record();
  bool abort = true;
  rec.Aborting = &abort;
  auto kept = Bitmap24(5, 3, [](int, int) { return Grey(200); });
  _ConvertToBWOrdered(kept.get(), rec);
  EXPECT_EQ(aborted.values.size(), 1u);
  EXPECT_EQ(kept->GetPixelFormat(), pf24bit);
  EXPECT_EQ(Pixel24(kept.get(), 4, 2), Grey(200));
}

TEST(ConvertToBW, LeavesOtherFormatsAlone) {
  auto mono = Bitmap1(9, 2, [](int x, int) { return x & 1; });
  const uint8_t before = mono->ScanLine(0)[0];
  TProgressRec rec;
  _ConvertToBWOrdered(mono.get(), rec);
  _ConvertToBWThreshold(mono.get(), 10, rec);
  EXPECT_EQ(mono->GetPixelFormat(), pf1bit);
  EXPECT_EQ(mono->ScanLine(0)[0], before);
}

// ---- threshold --------------------------------------------------------------

TEST(ConvertToBWThreshold, SetsBitsFromTheThresholdUp) {
  const struct {
    const char* name;
    std::vector<TRGB> pixels;
    int threshold;
    std::vector<bool> white;
  } cases[] = {
      {"greys around 100", {Grey(99), Grey(100), Grey(101)}, 100, {false, true, true}},
      {"red is grey 53", {Rgb(255, 0, 0), Rgb(255, 0, 0)}, 53, {true, true}},
      {"red below 54", {Rgb(255, 0, 0)}, 54, {false}},
      {"green is grey 181", {Rgb(0, 255, 0), Rgb(0, 255, 0)}, 181, {true, true}},
      {"blue is grey 20", {Rgb(0, 0, 255), Rgb(0, 0, 255)}, 21, {false, false}},
      {"uniform grey at the mean", {Grey(100), Grey(100), Grey(100)}, -1, {true, true, true}},
      // mean (0 + 126 + 127 + 255) div 4 = 127
      {"mean of the picture", {Grey(0), Grey(126), Grey(127), Grey(255)}, -1,
       {false, false, true, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto bitmap = Row24(c.pixels);
    TProgressRec rec;
    _ConvertToBWThreshold(bitmap.get(), c.threshold, rec);
    ASSERT_EQ(bitmap->GetPixelFormat(), pf1bit);
    for (size_t x = 0; x < c.white.size(); ++x) EXPECT_EQ(Bit(bitmap.get(), int(x), 0), c.white[x]) << x;
  }
}

// ---- 1 to 24 bits -----------------------------------------------------------

TEST(Conv1to24, ExpandsFullBytesThenTheRest) {
  EXPECT_EQ(C1TO24[0x80][0], 0xFF);
  EXPECT_EQ(C1TO24[0x80][3], 0x00);
  EXPECT_EQ(C1TO24[0x01][21], 0xFF);

  // 10 pixels: one full byte and two pixels of the second.
  const std::vector<bool> bits = {1, 0, 1, 1, 0, 0, 0, 1, 0, 1};
  auto source = Bitmap1(10, 2, [&](int x, int y) { return bits[x] != (y == 1); });
  for (bool inPlace : {false, true}) {
    SCOPED_TRACE(inPlace ? "into itself" : "into another bitmap");
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(source.get());
    TBitmap other;
    TBitmap* target = inPlace ? copy.get() : &other;
    ProgressLog log;
    TProgressRec rec = log.Record();
    _Conv1to24(copy.get(), target, rec);
    ASSERT_EQ(target->GetPixelFormat(), pf24bit);
    ASSERT_EQ(target->GetWidth(), 10);
    ASSERT_EQ(target->GetHeight(), 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 10; ++x)
        EXPECT_EQ(Pixel24(target, x, y), Grey(bits[x] != (y == 1) ? 255 : 0)) << x << "," << y;
    EXPECT_EQ(log.values, (std::vector<int>{40, 80}));
  }
}

TEST(Conv1to24, IgnoresSourcesThatAreNot1Bit) {
  auto source = Bitmap24(4, 4, [](int, int) { return Grey(7); });
  TBitmap target;
  target.SetPixelFormat(pf8bit);
  TProgressRec rec;
  _Conv1to24(source.get(), &target, rec);
  EXPECT_EQ(target.GetPixelFormat(), pf8bit);
  EXPECT_EQ(target.GetWidth(), 0);
}

// ---- two-colour test --------------------------------------------------------

struct TwoColourCase {
  const char* name;
  std::vector<TRGB> pixels;  // one row
  bool two;
  TRGB colour0, colour1;
  std::vector<bool> bits;
};

const TRGB kBlack = Grey(0), kWhite = Grey(255);

const TwoColourCase kTwoColourCases[] = {
    {"one colour", {kWhite, kWhite}, false, {}, {}, {}},
    {"three colours", {kWhite, kBlack, Grey(9)}, false, {}, {}, {}},
    {"white first", {kWhite, kBlack, kBlack, kWhite}, true, kBlack, kWhite, {1, 0, 0, 1}},
    {"dark first", {Grey(10), Grey(90), Grey(10)}, true, Grey(10), Grey(90), {0, 1, 0}},
    // both round to grey 21: the order of appearance stays
    {"equal grey", {Rgb(100, 0, 0), Rgb(0, 30, 0)}, true, Rgb(100, 0, 0), Rgb(0, 30, 0), {0, 1}},
    // 21.56 rounds to 22 above 21.00, although both are 21 by division
    {"rounded grey", {Rgb(100, 0, 7), Rgb(100, 0, 0)}, true, Rgb(100, 0, 0), Rgb(100, 0, 7), {1, 0}},
};

TEST(ConvertTo1bitEx, FindsExactlyTwoColoursDarkerFirst) {
  for (const auto& c : kTwoColourCases) {
    SCOPED_TRACE(c.name);
    TIEBitmap picture;
    picture.Allocate(int(c.pixels.size()), 1, ie24RGB);
    for (size_t x = 0; x < c.pixels.size(); ++x) picture.SetPixels_ie24RGB(int(x), 0, c.pixels[x]);
    TRGB colour0 = Grey(1), colour1 = Grey(2);
    std::unique_ptr<TIEBitmap> result(_ConvertTo1bitEx(&picture, colour0, colour1));
    ASSERT_EQ(result != nullptr, c.two);
    if (!c.two) continue;
    EXPECT_EQ(result->GetPixelFormat(), ie1g);
    EXPECT_EQ(colour0, c.colour0);
    EXPECT_EQ(colour1, c.colour1);
    for (size_t x = 0; x < c.bits.size(); ++x) EXPECT_EQ(Bit(result->GetScanLine(0), int(x)), c.bits[x]) << x;
  }
}

TEST(ConvertTo1bit, FindsExactlyTwoColoursDarkerFirst) {
  for (const auto& c : kTwoColourCases) {
    SCOPED_TRACE(c.name);
    auto bitmap = Row24(c.pixels);
    TRGB colour0 = Grey(1), colour1 = Grey(2);
    std::unique_ptr<TBitmap> result(_ConvertTo1bit(bitmap.get(), colour0, colour1));
    ASSERT_EQ(result != nullptr, c.two);
    if (!c.two) continue;
    EXPECT_EQ(result->GetPixelFormat(), pf1bit);
    EXPECT_EQ(colour0, c.colour0);
    EXPECT_EQ(colour1, c.colour1);
    for (size_t x = 0; x < c.bits.size(); ++x) EXPECT_EQ(Bit(result.get(), int(x), 0), c.bits[x]) << x;
  }
}

// Any pixel format is read; a black and white 1-bit picture has two colours.
TEST(ConvertTo1bitEx, ReadsOtherPixelFormatsAndRows) {
  TIEBitmap picture;
  picture.Allocate(3, 2, ie8g);
  const uint8_t levels[2][3] = {{200, 200, 50}, {50, 200, 50}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) picture.SetPixels_ie8(x, y, levels[y][x]);
  TRGB colour0, colour1;
  std::unique_ptr<TIEBitmap> result(_ConvertTo1bitEx(&picture, colour0, colour1));
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(colour0, Grey(50));
  EXPECT_EQ(colour1, Grey(200));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Bit(result->GetScanLine(y), x), levels[y][x] == 200);

  auto rgb = Row24({Grey(1), Grey(2)});
  rgb->SetPixelFormat(pf8bit);
  EXPECT_EQ(_ConvertTo1bit(rgb.get(), colour0, colour1), nullptr);
}

// ---- inversion --------------------------------------------------------------

TEST(Negative1Bit, InvertsWholeRowsPaddingIncluded) {
  TIEBitmap picture;
  picture.Allocate(3, 2, ie1g);
  for (int y = 0; y < 2; ++y) std::fill_n(picture.GetScanLine(y), picture.GetRowLen(), 0);
  picture.GetScanLine(1)[0] = 0xA0;
  _Negative1BitEx(&picture);
  ASSERT_EQ(picture.GetRowLen(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(picture.GetScanLine(0)[i], 0xFF);
  EXPECT_EQ(picture.GetScanLine(1)[0], 0x5F);

  auto mono = Bitmap1(3, 1, [](int, int) { return false; });
  std::fill_n(mono->ScanLine(0), mono->BytesPerLine(), 0x0F);
  _Negative1Bit(mono.get());
  for (int i = 0; i < mono->BytesPerLine(); ++i) EXPECT_EQ(mono->ScanLine(0)[i], 0xF0);

  auto colour = Row24({Grey(5)});
  _Negative1Bit(colour.get());
  EXPECT_EQ(Pixel24(colour.get(), 0, 0), Grey(5));
  TIEBitmap grey;
  grey.Allocate(1, 1, ie8g);
  grey.SetPixels_ie8(0, 0, 5);
  _Negative1BitEx(&grey);
  EXPECT_EQ(grey.GetPixels_ie8(0, 0), 5);
}

// ---- quantising -------------------------------------------------------------

TEST(ConvertTo, ReplacesPixelsByPaletteColours) {
  // Colours with clear low bits come back unchanged from the median cut.
  const TRGB colours[] = {Rgb(16, 32, 64), Rgb(200, 8, 8), Rgb(8, 200, 8), Rgb(248, 248, 0)};
  auto bitmap = Bitmap24(6, 4, [&](int x, int y) { return colours[(x + y) % 4]; });
  std::vector<TRGB> palette(4);
  ProgressLog log;
  _ConvertTo(bitmap.get(), 4, palette.data(),
             [&](TObject* sender, int per) { log.values.push_back(per); }, nullptr);
  EXPECT_EQ(bitmap->GetPixelFormat(), pf24bit);
  std::set<uint32_t> got, want;
  for (const TRGB& c : palette) got.insert(TRGB2Key(c));
  for (const TRGB& c : colours) want.insert(TRGB2Key(c));
  EXPECT_EQ(got, want);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Pixel24(bitmap.get(), x, y), colours[(x + y) % 4]);
  EXPECT_EQ(log.values, (std::vector<int>{22, 44, 66, 88}));  // 100 / 4.5 per row
}

TEST(ConvertTo, ReducesToFewerColours) {
  auto bitmap = Bitmap24(32, 32, [](int x, int y) { return Rgb(x * 8, y * 8, 100); });
  _ConvertTo(bitmap.get(), 5, nullptr, nullptr, nullptr);
  std::set<uint32_t> used;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) used.insert(TRGB2Key(Pixel24(bitmap.get(), x, y)));
  EXPECT_LE(used.size(), 5u);
  EXPECT_GE(used.size(), 2u);

  auto mono = Bitmap1(2, 1, [](int x, int) { return x == 1; });
  _ConvertTo(mono.get(), 5, nullptr, nullptr, nullptr);
  EXPECT_EQ(mono->GetPixelFormat(), pf1bit);
}

}  // namespace
