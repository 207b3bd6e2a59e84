// TIFF LZW coder: round trips over strips of several rows, the Clear that
// a full table forces, repeatable output, and damaged code streams.
#include "imaging/io/tiflzw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/classes.h"
#include "pictures.h"
#include "support/testenv.h"
#include "tifmaker.h"
#include "support/streambytes.h"

using namespace cwtest;

namespace {

Bytes Encode(const std::vector<Bytes>& rows) {
  TMemoryStream stream;
  void* context = nullptr;
  for (const Bytes& row : rows)
    TIFFLZWCompress(row.data(), static_cast<int32_t>(row.size()), &stream, context);
  TIFFLZWCompress(nullptr, 0, &stream, context);
  EXPECT_EQ(context, nullptr);
  return Contents(stream);
}

// Decodes rowCount rows of rowLength bytes; an empty result on failure.
std::vector<Bytes> Decode(const Bytes& data, int32_t rowLength, int rowCount) {
  std::vector<Bytes> rows;
  void* context = nullptr;
  for (int i = 0; i < rowCount; ++i) {
    const uint8_t* row =
        TIFFLZWDecompress(data.data(), static_cast<int64_t>(data.size()), rowLength, context);
    if (!row) {
      rows.clear();
      break;
    }
    rows.emplace_back(row, row + rowLength);
  }
  TIFFLZWDecompress(nullptr, 0, 0, context);
  EXPECT_EQ(context, nullptr);
  return rows;
}

Bytes Noise(size_t n, uint32_t seed, int levels) {
  Bytes b(n);
  for (auto& v : b) {
    seed = seed * 1664525 + 1013904223;
    v = static_cast<uint8_t>((seed >> 24) % levels);
  }
  return b;
}

// Codes of the given widths read from the start of the coded bytes.
std::vector<int> Codes(const Bytes& data, int64_t& bit, int count, int width) {
  std::vector<int> codes;
  for (int i = 0; i < count; ++i) {
    int code = 0;
    for (int k = 0; k < width; ++k, ++bit) code = (code << 1) | ((data[bit >> 3] >> (7 - (bit & 7))) & 1);
    codes.push_back(code);
  }
  return codes;
}

}  // namespace

TEST(TIFFLZW, RowsComeBackWhateverTheirContent) {
  struct TCase {
    const char* name;
    int32_t rowLength;
    int rows;
    int levels;  // distinct byte values: few give long strings
  } cases[] = {
      {"long strings carried across short rows", 3, 200, 1},
      {"few values", 97, 61, 4},
      {"noise past the full table", 291, 120, 256},
      {"one-byte rows", 1, 50, 2},
  };
  for (const TCase& c : cases) {
    std::vector<Bytes> rows;
    for (int i = 0; i < c.rows; ++i) rows.push_back(Noise(static_cast<size_t>(c.rowLength), i + 1, c.levels));
    const Bytes coded = Encode(rows);
    EXPECT_EQ(Decode(coded, c.rowLength, c.rows), rows) << c.name;
    // The same rows with fresh contexts code to the same bytes.
    EXPECT_EQ(Encode(rows), coded) << c.name;
  }
}

TEST(TIFFLZW, StripStartsWithClearAndEndsWithEndOfInformation) {
  const Bytes coded = Encode({Bytes{7, 7, 7, 7}});
  // Clear, 7, 258 (7 7), 7, EndOfInformation: five 9-bit codes in 6 bytes.
  int64_t bit = 0;
  EXPECT_EQ(Codes(coded, bit, 5, 9), (std::vector<int>{256, 7, 258, 7, 257}));
  EXPECT_EQ(coded.size(), 6u);
}

TEST(TIFFLZW, FullTableWritesClearAndStartsAgainAtNineBits) {
  // Noise of 256 values makes a new string almost at every byte.
  const Bytes row = Noise(6000, 99, 256);
  const Bytes coded = Encode({row});
  // Walk the codes as a reader would: the Clear that follows code 4093's
  // entry comes at 12 bits, the codes after it at 9 bits again.
  int64_t bit = 0;
  int width = 9;
  int count = 258;
  bool first = true;
  for (;;) {
    const int code = Codes(coded, bit, 1, width)[0];
    if (code == 256 && !first) break;
    if (code != 256) {
      if (!first) ++count;
      first = false;
      if (count + 1 >= (1 << width) && width < 12) ++width;
    }
    ASSERT_LT(bit, static_cast<int64_t>(coded.size()) * 8) << "no second Clear";
  }
  EXPECT_EQ(width, 12);
  EXPECT_EQ(count, 4094);
  // The next code is a 9-bit single byte: the row's next unmatched byte.
  const int next = Codes(coded, bit, 1, 9)[0];
  EXPECT_LT(next, 256);
  EXPECT_EQ(Decode(coded, 6000, 1)[0], row);
}

TEST(TIFFLZW, DamagedCodeStreamsFailOrEndWithoutReadingFurther) {
  const Bytes row = Noise(500, 5, 16);
  const Bytes good = Encode({row});
  // Cut short: the missing bytes read as zero, nothing beyond the data.
  const Bytes cut(good.begin(), good.begin() + 40);
  const auto rows = Decode(cut, 500, 2);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_TRUE(std::equal(row.begin(), row.begin() + 10, rows[0].begin()));
  EXPECT_EQ(rows[1], Bytes(500, 0));
  // A code far above the table right after Clear is corrupt.
  const Bytes bad = {0x80, 0x7F, 0xC0};  // Clear, 511
  EXPECT_TRUE(Decode(bad, 4, 1).empty());
  // A strip without Clear reads as if it had one.
  EXPECT_EQ(Decode({0x03, 0x81, 0xE0, 0x20}, 2, 1), (std::vector<Bytes>{Bytes{7, 7}}));
}

TEST(TIFFLZW, AnOutsideReaderDecodesTheStrips) {
  // A grey page of two strips coded here, read by another program.
  const int width = 61;
  std::vector<Bytes> rows;
  for (int y = 0; y < 40; ++y) rows.push_back(Noise(width, y * 7 + 1, y < 20 ? 3 : 256));
  TTifMaker m;
  m.Page().Long(256, {width}).Long(257, {40}).Short(258, {8}).Short(259, {5}).Short(262, {1}).Long(278, {20});
  m.Strip(Encode(std::vector<Bytes>(rows.begin(), rows.begin() + 20)));
  m.Strip(Encode(std::vector<Bytes>(rows.begin() + 20, rows.end())));
  TempDir dir;
  const std::string path = dir.file("lzw.tif");
  const Bytes bytes = m.Build();
  {
    TFileStream file(path, fmCreate);
    file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  }
  const TRgbaPicture decoded = DecodeIndependently({path})[0];
  ASSERT_EQ(decoded.width, width);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < width; ++x) ASSERT_EQ(decoded.At(x, y)[0], rows[y][x]) << x << "," << y;
}
