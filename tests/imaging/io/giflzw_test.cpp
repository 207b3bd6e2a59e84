// The GIF LZW coders: both encoders decoded back by our decoder over a table
// of pictures, the code-stream layout, interlace order, and the decoder on
// hand-made code streams (bad codes, a full table, missing clear codes,
// data past the last row).
#include "imaging/io/giflzw.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/streambytes.h"

using namespace cwtest;

namespace {

using TEncoder = void (*)(TStream*, int32_t, int32_t, bool, const uint8_t*, int32_t);

Bytes Encode(TEncoder encoder, const Bytes& pixels, int width, int height, bool interlaced,
             int bits) {
  TMemoryStream stream;
  encoder(&stream, height, width, interlaced, pixels.data(), bits);
  return Contents(stream);
}

// Decodes into a buffer with guard bytes after it; true on success (the
// stream moved). `end` receives the position afterwards.
bool Decode(const Bytes& coded, int width, int height, bool interlaced, Bytes& pixels,
            int64_t* end = nullptr) {
  TMemoryStream stream;
  Fill(stream, coded);
  pixels.assign(static_cast<size_t>(width) * height + 16, 0xEE);
  GIFLZWDecompress(&stream, height, width, interlaced, pixels.data());
  if (end) *end = stream.GetPosition();
  const bool moved = stream.GetPosition() != 0;
  pixels.resize(static_cast<size_t>(width) * height + 16);
  return moved;
}

// Codes of chosen widths packed least significant bit first, wrapped in
// sub-blocks after the code-size byte.
class TCodeWriter {
 public:
  void Put(int code, int width) {
    accumulator_ |= static_cast<uint64_t>(code) << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      bytes_.push_back(static_cast<uint8_t>(accumulator_));
      accumulator_ >>= 8;
      bits_ -= 8;
    }
  }

  Bytes Stream(int codeSize) {
    if (bits_ > 0) bytes_.push_back(static_cast<uint8_t>(accumulator_));
    bits_ = 0;
    Bytes out = {static_cast<uint8_t>(codeSize)};
    for (size_t at = 0; at < bytes_.size(); at += 255) {
      const size_t n = std::min<size_t>(255, bytes_.size() - at);
      out.push_back(static_cast<uint8_t>(n));
      out.insert(out.end(), bytes_.begin() + at, bytes_.begin() + at + n);
    }
    out.push_back(0);
    return out;
  }

 private:
  Bytes bytes_;
  uint64_t accumulator_ = 0;
  int bits_ = 0;
};

struct TPictureCase {
  const char* name;
  int width;
  int height;
  int bits;
  bool interlaced;
  // Pixel value at (x, y) given a random value r below 2^bits.
  int (*pixel)(int x, int y, int r);
};

const TPictureCase kPictures[] = {
    {"noise8", 97, 61, 8, false, [](int, int, int r) { return r; }},
    {"noise8_large", 300, 200, 8, false, [](int, int, int r) { return r; }},
    {"one_colour_5000", 100, 50, 8, false, [](int, int, int) { return 7; }},
    {"stripes1", 31, 17, 1, false, [](int x, int, int) { return (x / 3) & 1; }},
    {"noise2_interlaced", 33, 21, 2, true, [](int, int, int r) { return r; }},
    {"runs4_interlaced", 120, 45, 4, true, [](int x, int y, int) { return (x / 17 + y / 5) & 15; }},
    {"runs8_long", 1000, 40, 8, false, [](int x, int y, int) { return (x / 300 + y) & 255; }},
    {"mixed8", 64, 64, 8, false, [](int x, int y, int r) { return (x + y) % 9 == 0 ? r : x / 8; }},
    {"single_pixel", 1, 1, 8, false, [](int, int, int) { return 200; }},
    {"column3", 1, 3, 3, true, [](int, int y, int) { return y; }},
};

Bytes MakePixels(const TPictureCase& c) {
  std::mt19937 random(12345);
  Bytes pixels(static_cast<size_t>(c.width) * c.height);
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x)
      pixels[static_cast<size_t>(y) * c.width + x] =
          static_cast<uint8_t>(c.pixel(x, y, static_cast<int>(random() % (1u << c.bits))));
  return pixels;
}

class GifLzwRoundTrip : public testing::TestWithParam<TPictureCase> {};

TEST_P(GifLzwRoundTrip, BothEncodersDecodeBackExactly) {
  const TPictureCase& c = GetParam();
  const Bytes pixels = MakePixels(c);
  for (TEncoder encoder : {GIFLZWCompress, GIFNONLZWCompress}) {
    SCOPED_TRACE(encoder == GIFLZWCompress ? "LZW" : "runs");
    const Bytes coded = Encode(encoder, pixels, c.width, c.height, c.interlaced, c.bits);
    EXPECT_EQ(coded[0], std::max(2, c.bits));
    EXPECT_EQ(coded.back(), 0);  // block terminator
    Bytes decoded;
    int64_t end = 0;
    ASSERT_TRUE(Decode(coded, c.width, c.height, c.interlaced, decoded, &end));
    EXPECT_EQ(end, static_cast<int64_t>(coded.size()));
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), decoded.begin()));
    // Nothing is written past the frame.
    EXPECT_EQ(decoded[pixels.size()], 0xEE);
  }
}

INSTANTIATE_TEST_SUITE_P(Pictures, GifLzwRoundTrip, testing::ValuesIn(kPictures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GifLzw, SubBlocksAreAtMost254BytesForLzwAnd255ForRuns) {
  const TPictureCase& noise = kPictures[1];
  const Bytes pixels = MakePixels(noise);
  for (auto [encoder, largest] :
       {std::pair<TEncoder, int>{GIFLZWCompress, 254}, std::pair<TEncoder, int>{GIFNONLZWCompress, 255}}) {
    const Bytes coded = Encode(encoder, pixels, noise.width, noise.height, false, 8);
    size_t at = 1;
    int biggest = 0;
    while (coded[at] != 0) {
      biggest = std::max<int>(biggest, coded[at]);
      at += coded[at] + 1u;
      ASSERT_LT(at, coded.size());
    }
    EXPECT_EQ(biggest, largest);
    EXPECT_EQ(at, coded.size() - 1);
  }
}

TEST(GifLzw, OneBitPictureUsesCodeSizeTwoWithThreeBitClearCode) {
  const Bytes pixels = {0, 1, 1, 0};
  const Bytes coded = Encode(GIFLZWCompress, pixels, 4, 1, false, 1);
  ASSERT_GE(coded.size(), 3u);
  EXPECT_EQ(coded[0], 2);
  // First code: the clear code 4 in 3 bits; then pixel 0 in 3 bits.
  EXPECT_EQ(coded[2] & 7, 4);
  EXPECT_EQ((coded[2] >> 3) & 7, 0);
}

TEST(GifLzw, InterlacedRowsAreCodedInPassOrder) {
  // Row r holds the value r; decoding the interlaced data in natural order
  // shows the order the rows were coded in.
  Bytes pixels(3 * 10);
  for (int r = 0; r < 10; ++r)
    for (int x = 0; x < 3; ++x) pixels[r * 3 + x] = static_cast<uint8_t>(r);
  for (TEncoder encoder : {GIFLZWCompress, GIFNONLZWCompress}) {
    Bytes decoded;
    ASSERT_TRUE(Decode(Encode(encoder, pixels, 3, 10, true, 4), 3, 10, false, decoded));
    const int expected[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    for (int r = 0; r < 10; ++r) EXPECT_EQ(decoded[r * 3], expected[r]) << "row " << r;
  }
}

// Code size 2: a clear code, then root 0 until the table holds 4096 codes.
// `next` is the code sent once it is full.
Bytes FullTableStream(int next, int* pixelsOut) {
  TCodeWriter w;
  int width = 3;
  int nextFree = 6;
  w.Put(4, width);
  w.Put(0, width);
  int pixels = 1;
  for (;;) {
    w.Put(0, width);
    ++pixels;
    if (++nextFree == (1 << width)) {
      if (width == 12) break;
      ++width;
    }
  }
  w.Put(next, 12);
  if (next == 4) {
    w.Put(1, 3);
    ++pixels;
    w.Put(5, 3);
  } else {
    w.Put(5, 12);
  }
  *pixelsOut = pixels;
  return w.Stream(2);
}

TEST(GifLzw, FullTableTakesOnlyClearCode) {
  int pixels = 0;
  Bytes decoded;
  // Continuing without a clear code fails and leaves the stream in place.
  const Bytes bad = FullTableStream(0, &pixels);
  int64_t end = -1;
  EXPECT_FALSE(Decode(bad, pixels + 10, 1, false, decoded, &end));
  EXPECT_EQ(end, 0);
  // With the clear code it decodes on.
  const Bytes good = FullTableStream(4, &pixels);
  ASSERT_TRUE(Decode(good, pixels, 1, false, decoded, &end));
  EXPECT_EQ(end, static_cast<int64_t>(good.size()));
  EXPECT_EQ(decoded[pixels - 2], 0);
  EXPECT_EQ(decoded[pixels - 1], 1);
}

TEST(GifLzw, EndCodeRightWhenTableFills) {
  // The encoder may end right after the code that fills the table.
  int pixels = 0;
  Bytes decoded;
  const Bytes coded = FullTableStream(5, &pixels);
  EXPECT_TRUE(Decode(coded, pixels, 1, false, decoded));
}

struct TCodeCase {
  const char* name;
  std::vector<std::pair<int, int>> codes;  // code, width
  int codeSize;
  bool ok;
  Bytes expected;  // first pixels when ok
};

TEST(GifLzw, HandMadeCodeStreams) {
  const TCodeCase cases[] = {
      // No clear code at the start: the decoder starts cleared.
      {"no_leading_clear", {{1, 3}, {2, 3}, {3, 3}, {5, 4}}, 2, true, {1, 2, 3}},
      // KwKwK: code 6 is sent as it is being made.
      {"code_being_defined", {{4, 3}, {1, 3}, {6, 3}, {5, 3}}, 2, true, {1, 1, 1}},
      // A code above the next free one.
      {"code_too_high", {{4, 3}, {1, 3}, {7, 3}, {5, 3}}, 2, false, {}},
      // A code being defined with no string before it.
      {"defined_first", {{4, 3}, {6, 3}}, 2, true, {0}},
      // The end code right after a clear while data remains.
      {"end_after_clear", {{4, 3}, {5, 3}, {1, 3}, {1, 3}, {1, 3}}, 2, false, {}},
      // Clear codes again and again, then data.
      {"repeated_clears", {{4, 3}, {4, 3}, {4, 3}, {2, 3}, {5, 3}}, 2, true, {2}},
      // Larger code sizes.
      {"code_size_9", {{512, 10}, {300, 10}, {513, 10}}, 9, true, {300 & 0xFF}},
  };
  for (const TCodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    TCodeWriter w;
    for (auto [code, width] : c.codes) w.Put(code, width);
    Bytes decoded;
    const bool ok = Decode(w.Stream(c.codeSize), 8, 1, false, decoded);
    EXPECT_EQ(ok, c.ok);
    if (!ok) continue;
    for (size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(decoded[i], c.expected[i]) << i;
  }
}

TEST(GifLzw, CodeSizeOutsideTwoToNineIsRefused) {
  for (int size : {0, 1, 10, 15}) {
    TCodeWriter w;
    w.Put(1 << size, size + 1);
    Bytes decoded;
    int64_t end = -1;
    EXPECT_FALSE(Decode(w.Stream(size), 4, 1, false, decoded, &end)) << size;
    EXPECT_EQ(end, 0);
    EXPECT_EQ(decoded[0], 0xEE);
  }
}

TEST(GifLzw, EmptyDataLeavesBufferAndMovesPastTerminator) {
  Bytes decoded;
  int64_t end = 0;
  EXPECT_TRUE(Decode({2, 0}, 4, 1, false, decoded, &end));
  EXPECT_EQ(end, 2);
  EXPECT_EQ(decoded[0], 0xEE);
}

TEST(GifLzw, TruncatedDataDecodesWhatIsThere) {
  const Bytes pixels = MakePixels(kPictures[0]);
  Bytes coded = Encode(GIFLZWCompress, pixels, 97, 61, false, 8);
  coded.resize(coded.size() / 2);  // cut inside a sub-block, no terminator
  Bytes decoded;
  ASSERT_TRUE(Decode(coded, 97, 61, false, decoded));
  EXPECT_TRUE(std::equal(pixels.begin(), pixels.begin() + 500, decoded.begin()));
}

TEST(GifLzw, PixelsPastTheLastRowAreDropped) {
  Bytes pixels(4 * 6);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i % 16);
  const Bytes coded = Encode(GIFLZWCompress, pixels, 4, 6, false, 4);
  for (bool interlaced : {false, true}) {
    Bytes decoded;
    ASSERT_TRUE(Decode(coded, 4, 2, interlaced, decoded));
    EXPECT_EQ(decoded[8], 0xEE);  // the guard after 2 rows is untouched
  }
  Bytes decoded;
  ASSERT_TRUE(Decode(coded, 4, 2, false, decoded));
  EXPECT_TRUE(std::equal(pixels.begin(), pixels.begin() + 8, decoded.begin()));
}

TEST(GifLzw, PixelValuesAboveTheCodeSizeAreMasked) {
  // An index the palette cannot hold must not become a clear or end code.
  const Bytes pixels = {4, 5, 6, 7, 0, 1};
  for (TEncoder encoder : {GIFLZWCompress, GIFNONLZWCompress}) {
    Bytes decoded;
    ASSERT_TRUE(Decode(Encode(encoder, pixels, 6, 1, false, 2), 6, 1, false, decoded));
    const Bytes expected = {0, 1, 2, 3, 0, 1};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), decoded.begin()));
  }
}

}  // namespace
namespace {

// Random pictures of runs of random length at every depth, both row
// orders, both encoders; this is how the run encoder's ending (a clear
// code, then the end code) was found to need care in the decoder.
TEST(GifLzw, RandomRunPicturesRoundTrip) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 600; ++trial) {
    const int bits = 1 + static_cast<int>(random() % 8);
    const int width = 1 + static_cast<int>(random() % 70);
    const int height = 1 + static_cast<int>(random() % 40);
    const unsigned runScale = 1 + random() % 30;
    const bool interlaced = random() % 2 != 0;
    Bytes pixels(static_cast<size_t>(width) * height);
    uint8_t value = 0;
    for (uint8_t& p : pixels) {
      if (random() % runScale == 0) value = static_cast<uint8_t>(random() % (1u << bits));
      p = value;
    }
    for (TEncoder encoder : {GIFLZWCompress, GIFNONLZWCompress}) {
      Bytes decoded;
      const bool ok =
          Decode(Encode(encoder, pixels, width, height, interlaced, bits), width, height, interlaced, decoded);
      ASSERT_TRUE(ok && std::equal(pixels.begin(), pixels.end(), decoded.begin()))
          << "trial " << trial << " bits " << bits << " " << width << "x" << height
          << (encoder == GIFLZWCompress ? " LZW" : " runs");
    }
  }
}

}  // namespace
