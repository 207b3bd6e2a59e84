#include "imaging/core/iestreams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A memory stream that takes at most `limit` bytes in all.
class FullStream : public TMemoryStream {
 public:
  explicit FullStream(int64_t limit) : limit_(limit) {}
  int64_t Write(const void* buffer, int64_t count) override {
    const int64_t room = std::max<int64_t>(0, limit_ - GetPosition());
    return TMemoryStream::Write(buffer, std::min(count, room));
  }

 private:
  int64_t limit_;
};

std::vector<uint8_t> Contents(TMemoryStream& stream) {
  const auto* bytes = static_cast<const uint8_t*>(stream.Memory());
  return std::vector<uint8_t>(bytes, bytes + stream.GetSize());
}

void WriteBytes(TMemoryStream& stream, const std::vector<uint8_t>& bytes) {
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
}

}  // namespace

TEST(SafeStreamWrite, ShortWriteSetsTheFlagAndNothingClearsIt) {
  FullStream stream(6);
  bool error = false;
  SafeStreamWrite(&stream, error, "abcd", 4);
  EXPECT_FALSE(error);
  SafeStreamWrite(&stream, error, "efgh", 4);
  EXPECT_TRUE(error);
  stream.SetPosition(0);
  SafeStreamWrite(&stream, error, "x", 1);
  EXPECT_TRUE(error);
}

TEST(StringsInStreams, LayoutAndRoundTrip) {
  TMemoryStream stream;
  SaveStringToStream(&stream, "ab");
  SaveStringToStream(&stream, "");
  SaveStringToStream(&stream, "证件");
  EXPECT_EQ(Contents(stream), (std::vector<uint8_t>{2, 0, 0, 0, 'a', 'b', 0, 0, 0, 0, 6, 0, 0, 0,
                                                     0xE8, 0xAF, 0x81, 0xE4, 0xBB, 0xB6}));
  stream.SetPosition(0);
  std::string a, b, c;
  LoadStringFromStream(&stream, a);
  LoadStringFromStream(&stream, b);
  LoadStringFromStream(&stream, c);
  EXPECT_EQ(a, "ab");
  EXPECT_EQ(b, "");
  EXPECT_EQ(c, "证件");
}

TEST(StringsInStreams, ListRoundTripReplacesTheOldItems) {
  TStringList saved;
  saved.Add("one");
  saved.Add("");
  saved.Add("three");
  TMemoryStream stream;
  SaveStringListToStream(&stream, &saved);
  EXPECT_EQ(stream.GetSize(), 4 + (4 + 3) + 4 + (4 + 5));

  TStringList loaded;
  loaded.Add("old");
  stream.SetPosition(0);
  LoadStringListFromStream(&stream, &loaded);
  ASSERT_EQ(loaded.Count(), 3);
  EXPECT_EQ(loaded[0], "one");
  EXPECT_EQ(loaded[1], "");
  EXPECT_EQ(loaded[2], "three");
}

TEST(StringsInStreams, DamagedLengthsFailCleanly) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool list;
  };
  const std::vector<Case> cases = {
      {"length beyond the stream", {10, 0, 0, 0, 'a', 'b'}, false},
      {"negative length", {0xFF, 0xFF, 0xFF, 0xFF, 'a'}, false},
      {"huge length", {0xFF, 0xFF, 0xFF, 0x7F}, false},
      {"length cut short", {1, 0}, false},
      {"count beyond the stream", {0xFF, 0xFF, 0xFF, 0x0F, 0, 0, 0, 0}, true},
      {"negative count", {0, 0, 0, 0x80}, true},
      {"string of a list cut short", {1, 0, 0, 0, 5, 0, 0, 0, 'a'}, true},
  };
  for (const Case& c : cases) {
    TMemoryStream stream;
    WriteBytes(stream, c.bytes);
    if (c.list) {
      TStringList list;
      EXPECT_THROW(LoadStringListFromStream(&stream, &list), EReadError) << c.what;
    } else {
      std::string text = "kept";
      EXPECT_THROW(LoadStringFromStream(&stream, text), EReadError) << c.what;
      EXPECT_EQ(text, "kept") << c.what;
    }
  }
}

TEST(ByteArray, GrowsAndShrinksInBlocks) {
  TIEByteArray array;
  EXPECT_EQ(array.Size, 0);
  EXPECT_EQ(array.Capacity, 8192);
  EXPECT_EQ(array.BlockSize, 8192);
  for (int i = 0; i < 8193; ++i) array.AddByte(static_cast<uint8_t>(i));
  EXPECT_EQ(array.Size, 8193);
  EXPECT_EQ(array.Capacity, 16385);
  EXPECT_EQ(array.Data[0], 0);
  EXPECT_EQ(array.Data[8192], static_cast<uint8_t>(8192));

  // Growing within the capacity and shrinking by less than a block keep the
  // buffer; shrinking further moves the head into a smaller one.
  array.SetSize(9000);
  array.SetSize(8500);
  EXPECT_EQ(array.Capacity, 16385);
  EXPECT_EQ(array.Data[8192], static_cast<uint8_t>(8192));
  array.SetSize(10);
  EXPECT_EQ(array.Capacity, 10 + 8192);
  EXPECT_EQ(array.Data[9], 9);

  array.Clear();
  EXPECT_EQ(array.Size, 0);
  EXPECT_EQ(array.Capacity, 8192);
  ASSERT_NE(array.Data, nullptr);
}

TEST(ByteArray, AppendFromStreamTakesWhatIsThere) {
  TIEByteArray array;
  TMemoryStream empty;
  EXPECT_EQ(array.AppendFromStream(&empty, 20000), 0);
  EXPECT_EQ(array.Size, 0);

  TMemoryStream stream;
  WriteBytes(stream, {1, 2, 3, 4, 5});
  array.AddByte(9);
  EXPECT_EQ(array.AppendFromStream(&stream, 3), 3);
  EXPECT_EQ(array.AppendFromStream(&stream, 10), 2);
  ASSERT_EQ(array.Size, 6);
  EXPECT_EQ(std::vector<uint8_t>(array.Data, array.Data + 6),
            (std::vector<uint8_t>{9, 1, 2, 3, 4, 5}));
}

TEST(NulStream, CountsWithoutStoring) {
  TNulStream stream;
  std::vector<uint8_t> buffer(100, 0xAB);
  EXPECT_EQ(stream.Write(buffer.data(), 100), 100);
  EXPECT_EQ(stream.Seek(10, soBeginning), 10);
  EXPECT_EQ(stream.Write(buffer.data(), 5), 5);
  EXPECT_EQ(stream.GetSize(), 100);
  EXPECT_EQ(stream.GetPosition(), 15);

  // Reading touches no memory either.
  EXPECT_EQ(stream.Read(buffer.data(), 90), 90);
  EXPECT_EQ(stream.GetPosition(), 105);
  EXPECT_EQ(stream.GetSize(), 105);
  EXPECT_EQ(buffer, std::vector<uint8_t>(100, 0xAB));

  // Seeking forward raises the size; from the end it does not.
  EXPECT_EQ(stream.Seek(20, soCurrent), 125);
  EXPECT_EQ(stream.GetSize(), 125);
  EXPECT_EQ(stream.Seek(-25, soEnd), 100);
  EXPECT_EQ(stream.Seek(0, soEnd), 125);
  EXPECT_EQ(stream.GetSize(), 125);

  // WriteBuffer through the stream base works as on any stream.
  stream.SetPosition(0);
  stream.WriteBuffer(buffer.data(), 200);
  EXPECT_EQ(stream.GetSize(), 200);
}
