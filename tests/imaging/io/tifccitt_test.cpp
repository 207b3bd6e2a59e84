// CCITT coders: the code words of chosen rows, round trips of every
// stream form, fill bits and fill order, and data that ends early.
#include "imaging/io/tifccitt.h"

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

std::string BitString(const std::vector<uint8_t>& bytes, int64_t bits) {
  std::string s;
  for (int64_t i = 0; i < bits; ++i) s += ((bytes[i >> 3] >> (7 - (i & 7))) & 1) ? '1' : '0';
  return s;
}

std::vector<uint8_t> FromBits(const std::string& bits) {
  std::vector<uint8_t> bytes((bits.size() + 7) / 8, 0);
  for (size_t i = 0; i < bits.size(); ++i)
    if (bits[i] == '1') bytes[i >> 3] |= static_cast<uint8_t>(0x80 >> (i & 7));
  return bytes;
}

size_t RowBytes(int width) { return static_cast<size_t>((width + 7) / 8); }

// Rows to encode (set bit = black) of varied run lengths.
std::vector<std::vector<uint8_t>> SampleRows(int width, int count) {
  std::vector<std::vector<uint8_t>> rows;
  uint32_t seed = 12345;
  for (int y = 0; y < count; ++y) {
    std::vector<uint8_t> row(RowBytes(width), 0);
    int x = 0;
    bool black = (y % 3) == 1;
    while (x < width) {
      seed = seed * 1103515245 + 12345;
      int run = static_cast<int>((seed >> 16) % (y % 4 == 0 ? 3000 : 40)) + (y % 5 == 0 ? 0 : 1);
      run = std::max(run, 1);
      for (int i = x; i < std::min(width, x + run); ++i)
        if (black) row[i >> 3] |= static_cast<uint8_t>(0x80 >> (i & 7));
      x += run;
      black = !black;
    }
    rows.push_back(row);
  }
  return rows;
}

// Decoded rows are white where the encoded row is clear.
void ExpectInverse(const std::vector<uint8_t>& encoded, const std::vector<uint8_t>& decoded,
                   int width, int y) {
  for (int x = 0; x < width; ++x) {
    const bool black = (encoded[x >> 3] >> (7 - (x & 7))) & 1;
    const bool white = (decoded[x >> 3] >> (7 - (x & 7))) & 1;
    ASSERT_NE(black, white) << "row " << y << " pixel " << x;
  }
}

}  // namespace

TEST(CCITTEncode, RunCodesOfChosenRows) {
  struct TCase {
    int width;
    bool black;
    std::string bits;
  } cases[] = {
      // 1728 white: make-up 1728, terminating 0.
      {1728, false, "010011011" "00110101"},
      // A row that starts black: white run 0 first.
      {8, true, "00110101" "000101"},
      // 3000 white: make-up 2560, make-up 384, terminating 56.
      {3000, false, "000000011111" "00110111" "01011001"},
  };
  for (const TCase& c : cases) {
    std::vector<uint8_t> row(RowBytes(c.width), c.black ? 0xFF : 0);
    std::vector<uint8_t> buffer;
    int64_t pos = 0;
    _CCITTHuffmanPutLine(row.data(), c.width, buffer, pos);
    EXPECT_EQ(BitString(buffer, pos), c.bits) << c.width;
  }
}

TEST(CCITTEncode, ModifiedHuffmanRowsArePaddedToBytes) {
  std::vector<uint8_t> row(RowBytes(1728), 0);
  TMemoryStream stream;
  bool abort = false;
  CCITTHuffmanPutLine(row.data(), 1728, &stream, abort);
  EXPECT_EQ(Contents(stream), (Bytes{0x4D, 0x9A, 0x80}));
  EXPECT_FALSE(abort);
}

namespace {

enum class TStreamKind { ModifiedHuffman, G3, G32D, G4 };

// Encodes the rows in one stream form, the closing call included; the
// carried bits and reference row must be gone afterwards.
Bytes EncodeRows(TStreamKind kind, const std::vector<std::vector<uint8_t>>& rows, int width) {
  TMemoryStream stream;
  bool abort = false;
  uint8_t last = 0;
  int32_t bits = 0;
  std::vector<uint8_t> ref;
  auto put = [&](const uint8_t* row, int w) {
    switch (kind) {
      case TStreamKind::ModifiedHuffman:
        if (row) CCITTHuffmanPutLine(row, w, &stream, abort);
        break;
      case TStreamKind::G3: CCITTHuffmanPutLineG3(row, w, &stream, last, bits, abort); break;
      case TStreamKind::G32D: CCITTHuffmanPutLineG32D(row, w, &stream, last, bits, ref, abort); break;
      case TStreamKind::G4: CCITTHuffmanPutLineG4(row, w, &stream, last, bits, ref, abort); break;
    }
  };
  for (const auto& row : rows) put(row.data(), width);
  put(nullptr, 0);
  EXPECT_FALSE(abort);
  EXPECT_EQ(bits, 0);
  EXPECT_TRUE(ref.empty());
  return Contents(stream);
}

class CCITTRoundTrip : public ::testing::TestWithParam<std::tuple<TStreamKind, int>> {};

}  // namespace

TEST_P(CCITTRoundTrip, DecodesWhatWasEncodedRowForRow) {
  const auto [kind, width] = GetParam();
  const auto rows = SampleRows(width, 24);
  // Decoded from a buffer of exactly the coded length.
  const Bytes data = EncodeRows(kind, rows, width);
  std::vector<uint8_t> decoded(RowBytes(width));
  std::vector<uint8_t> decodeRef(RowBytes(width), 0xFF);
  int64_t pos = 0;
  for (size_t y = 0; y < rows.size(); ++y) {
    switch (kind) {
      case TStreamKind::ModifiedHuffman:
        pos += 8 * CCITTHuffmanGetLine(decoded.data(), data.data() + pos / 8,
                                       static_cast<int64_t>(data.size()) - pos / 8, width, ieFillMSB);
        break;
      case TStreamKind::G3:
        pos = _CCITTHuffmanGetLine(decoded.data(), data.data(), static_cast<int64_t>(data.size()), width,
                                   pos, ieFillMSB);
        break;
      case TStreamKind::G32D:
      case TStreamKind::G4:
        pos = CCITT3_2D_GetLine(decoded.data(), data.data(), static_cast<int64_t>(data.size()), width,
                                decodeRef.data(), pos, ieFillMSB, false);
        EXPECT_EQ(decodeRef, decoded);
        break;
    }
    ExpectInverse(rows[y], decoded, width, static_cast<int>(y));
  }
  if (kind == TStreamKind::G4) {
    // EOFB, then zero bits up to the byte boundary.
    std::string all = BitString(data, static_cast<int64_t>(data.size()) * 8);
    const size_t end = all.find_last_of('1') + 1;
    EXPECT_LT(all.size() - end, 8u);
    EXPECT_EQ(all.substr(end - 24, 24), "000000000001000000000001");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, CCITTRoundTrip,
    ::testing::Combine(::testing::Values(TStreamKind::ModifiedHuffman, TStreamKind::G3,
                                         TStreamKind::G32D, TStreamKind::G4),
                       ::testing::Values(1, 13, 97, 1728, 5000)));

TEST(CCITTDecode, FillBitsBeforeEolAndTheLsbFillOrder) {
  // 100 white: make-up 64 (11011) + terminating 36 (00010101); then 5 black.
  const std::string row = "11011" "00010101" "0011";
  for (int fill = 0; fill <= 20; fill += 5) {
    const std::string bits = std::string(fill, '0') + "000000000001" + row;
    std::vector<uint8_t> data = FromBits(bits);
    std::vector<uint8_t> out(RowBytes(104));
    const int64_t end = _CCITTHuffmanGetLine(out.data(), data.data(), static_cast<int64_t>(data.size()),
                                             104, 0, ieFillMSB);
    EXPECT_EQ(end, static_cast<int64_t>(bits.size())) << fill;
    std::vector<uint8_t> want(12, 0xFF);
    want.push_back(0xF0);  // four white pixels, then the black run clipped at the width
    EXPECT_EQ(out, want) << fill;

    // The same bits with each byte's order reversed read with fill order 2.
    for (uint8_t& b : data) {
      uint8_t r = 0;
      for (int i = 0; i < 8; ++i) r |= static_cast<uint8_t>(((b >> i) & 1) << (7 - i));
      b = r;
    }
    std::vector<uint8_t> lsb(RowBytes(104));
    _CCITTHuffmanGetLine(lsb.data(), data.data(), static_cast<int64_t>(data.size()), 104, 0, ieFillLSB);
    EXPECT_EQ(lsb, out) << fill;
  }
}

TEST(CCITTDecode, DataThatEndsEarlyLeavesTheRestWhite) {
  const int width = 97;
  const auto rows = SampleRows(width, 6);
  const Bytes data = EncodeRows(TStreamKind::G4, rows, width);
  // Only the first half of the coded bytes, in a buffer of exactly that size.
  const std::vector<uint8_t> half(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(data.size() / 2));
  std::vector<uint8_t> decoded(RowBytes(width));
  std::vector<uint8_t> decodeRef(RowBytes(width), 0xFF);
  int64_t pos = 0;
  for (int y = 0; y < 8; ++y) {
    pos = CCITT3_2D_GetLine(decoded.data(), half.data(), static_cast<int64_t>(half.size()), width,
                            decodeRef.data(), pos, ieFillMSB, false);
    if (pos >= static_cast<int64_t>(half.size()) * 8 && y > 0) {
      // Rows past the end of the data stay white.
      CCITT3_2D_GetLine(decoded.data(), half.data(), static_cast<int64_t>(half.size()), width,
                        decodeRef.data(), pos, ieFillMSB, false);
      EXPECT_EQ(decoded, std::vector<uint8_t>(RowBytes(width), 0xFF));
      return;
    }
    if (y == 0) ExpectInverse(rows[0], decoded, width, 0);
  }
  FAIL() << "the data never ran out";
}

TEST(CCITTEncode, AnOutsideReaderDecodesEveryStreamForm) {
  const int width = 97;
  const auto rows = SampleRows(width, 20);
  TempDir dir;
  std::vector<std::string> paths;
  for (int form = 0; form < 4; ++form) {
    const Bytes coded = EncodeRows(static_cast<TStreamKind>(form), rows, width);
    TTifMaker m;
    m.Page().Long(256, {width}).Long(257, {static_cast<uint32_t>(rows.size())})
        .Short(259, {form == 0 ? 2u : form == 3 ? 4u : 3u}).Short(262, {0}).Strip(coded);
    if (form == 1 || form == 2) m.Long(292, {form == 2 ? 1u : 0u});
    const std::string path = dir.file("form" + std::to_string(form) + ".tif");
    const Bytes bytes = m.Build();
    TFileStream file(path, fmCreate);
    file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    paths.push_back(path);
  }
  std::vector<TRgbaPicture> decoded;
  for (const std::string& path : paths) {
    decoded.push_back(DecodeIndependently({path})[0]);
  }
  for (size_t form = 0; form < decoded.size(); ++form) {
    ASSERT_EQ(decoded[form].width, width);
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
      for (int x = 0; x < width; ++x) {
        const bool black = (rows[y][x >> 3] >> (7 - (x & 7))) & 1;
        ASSERT_EQ(decoded[form].At(x, y)[0], black ? 0 : 255) << "form " << form << " at " << x << "," << y;
      }
  }
}
