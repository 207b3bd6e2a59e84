// Row conversion between bit depths and drawing through polygon clips.
#include "imaging/proc/iebitdepthrows.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "bitmaps.h"
#include "imaging/core/iemask.h"
#include "imaging/core/neurquant.h"
#include "imaging/proc/iepolygoncopy.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::array<TRGB, 4> kPalette = {Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(10, 20, 30), Rgb(40, 50, 60)};

// Converts count pixels with a destination of 16 bytes filled with fill.
Bytes Convert(const Bytes& src, int from, int to, int count, const TIEQuantizer* quantizer = nullptr,
              int* size = nullptr, uint8_t fill = 0) {
  Bytes dst(16, fill);
  const int n = _ConvertXBitsToYBits(src.data(), dst.data(), static_cast<uint16_t>(from),
                                     static_cast<uint16_t>(to), static_cast<uint16_t>(count), kPalette,
                                     quantizer);
  if (size) *size = n;
  return dst;
}

Bytes Head(const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + static_cast<long>(n)); }

}  // namespace

TEST(ConvertXBitsToYBits, RowsBetweenDepths) {
  struct TCase {
    const char* what;
    Bytes src;
    int from, to, count;
    Bytes want;
  } const cases[] = {
      {"4 to 8", {0x12, 0x30}, 4, 8, 3, {1, 2, 3}},
      {"4 to 4", {0x12, 0x30}, 4, 4, 3, {0x12, 0x30}},
      {"4 to 24", {0x23}, 4, 24, 2, {30, 20, 10, 60, 50, 40}},
      {"1 to 1", {0xA5, 0xC0}, 1, 1, 10, {0xA5, 0xC0}},
      {"1 to 4", {0xA0}, 1, 4, 3, {0x10, 0x10}},
      {"1 to 8", {0xA0}, 1, 8, 3, {1, 0, 1}},
      {"1 to 24", {0x40}, 1, 24, 2, {0, 0, 0, 255, 255, 255}},
      {"8 to 1", {1, 0, 1, 1, 0, 0, 0, 0, 1}, 8, 1, 9, {0xB0, 0x80}},
      {"8 to 8", {7, 8, 9}, 8, 8, 3, {7, 8, 9}},
      {"8 to 24, past the palette black", {3, 200}, 8, 24, 2, {60, 50, 40, 0, 0, 0}},
      {"24 to 24", {1, 2, 3, 4, 5, 6}, 24, 24, 2, {1, 2, 3, 4, 5, 6}},
      {"32 to 24", {1, 2, 3, 99, 4, 5, 6, 99}, 32, 24, 2, {1, 2, 3, 4, 5, 6}},
  };
  for (const TCase& c : cases) {
    int size = -1;
    const Bytes got = Convert(c.src, c.from, c.to, c.count, nullptr, &size);
    EXPECT_EQ(size, static_cast<int>(c.want.size())) << c.what;
    EXPECT_EQ(Head(got, c.want.size()), c.want) << c.what;
  }
}

TEST(ConvertXBitsToYBits, SizesAndPairsWithoutConversion) {
  struct TCase {
    int to, count, size;
  } const sizes[] = {{1, 10, 2}, {4, 5, 3}, {8, 5, 5}, {24, 5, 15}, {16, 5, 0}, {32, 5, 0}};
  for (const auto& c : sizes) {
    int size = -1;
    const Bytes got = Convert(Bytes(32, 0x11), 16, c.to, c.count, nullptr, &size, 0xEE);
    EXPECT_EQ(size, c.size) << c.to;
    EXPECT_EQ(got, Bytes(16, 0xEE)) << "nothing written for 16 to " << c.to;
  }
}

TEST(ConvertXBitsToYBits, ReducesThroughTheQuantiser) {
  auto picture = Bitmap24(4, 1, [](int x, int) { return x < 2 ? Rgb(200, 0, 0) : Rgb(0, 0, 200); });
  std::array<TRGB, 16> palette{};
  const TIEQuantizer quantizer(picture.get(), std::span<TRGB>(palette), 16);
  const uint8_t* row = picture->ScanLine(0);
  const Bytes src(row, row + 12);
  const Bytes eight = Convert(src, 24, 8, 4, &quantizer);
  EXPECT_EQ(palette[eight[0]], Rgb(200, 0, 0));
  EXPECT_EQ(palette[eight[3]], Rgb(0, 0, 200));
  EXPECT_EQ(eight[0], eight[1]);
  // 4 bits are OR-ed into a cleared row, high nibble first.
  const Bytes four = Convert(src, 24, 4, 4, &quantizer);
  EXPECT_EQ(four[0], static_cast<uint8_t>(eight[0] << 4 | eight[1]));
  EXPECT_EQ(four[1], static_cast<uint8_t>(eight[2] << 4 | eight[3]));
  // Without a quantiser nothing is written.
  EXPECT_EQ(Convert(src, 24, 8, 4, nullptr, nullptr, 0xEE), Bytes(16, 0xEE));
}

TEST(CopyPolygonBitmap, EachPolygonClipsItsOwnDraw) {
  const auto white = [] { return Bitmap24(20, 20, [](int, int) { return Rgb(255, 255, 255); }); };
  auto src = Bitmap24(20, 20, [](int, int) { return Rgb(200, 0, 0); });
  constexpr int kSep = TIEMask::PolygonSeparator;

  // One polygon without separators: only its inside is drawn.
  auto one = white();
  const std::vector<TPoint> square = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
  EXPECT_EQ(_CopyPolygonBitmap(one.get(), src.get(), 0, 0, square.data(), 4), 0);
  EXPECT_EQ(Pixel24(one.get(), 5, 5), Rgb(200, 0, 0));
  EXPECT_EQ(Pixel24(one.get(), 12, 12), Rgb(255, 255, 255));

  // Two polygons around one separator: two draws, the gap stays.
  auto two = white();
  const std::vector<TPoint> pair = {{1, 1}, {5, 1}, {5, 5}, {1, 5}, {kSep, 0}, {12, 12}, {18, 12}, {18, 18}, {12, 18}};
  EXPECT_EQ(_CopyPolygonBitmap(two.get(), src.get(), 0, 0, pair.data(), 9), 5);
  EXPECT_EQ(Pixel24(two.get(), 3, 3), Rgb(200, 0, 0));
  EXPECT_EQ(Pixel24(two.get(), 15, 15), Rgb(200, 0, 0));
  EXPECT_EQ(Pixel24(two.get(), 9, 9), Rgb(255, 255, 255));

  // Separators in a row and at the end enclose nothing and draw nothing,
  // rather than drawing unclipped.
  auto empty = white();
  const std::vector<TPoint> stray = {{kSep, 0}, {kSep, 0}, {3, 3}, {kSep, 0}};
  EXPECT_EQ(_CopyPolygonBitmap(empty.get(), src.get(), 0, 0, stray.data(), 4), 4);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(Pixel24(empty.get(), x, y), Rgb(255, 255, 255));
}
