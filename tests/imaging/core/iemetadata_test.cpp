#include "imaging/core/iemetadata.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/streambytes.h"

using cwtest::Bytes;
using cwtest::Fill;
using cwtest::SavedBytes;

TEST(MarkerList, StreamFormLayoutAndRoundTrip) {
  TIEMarkerList list;
  list.AddMarker(0xE1, "abc", 3);
  list.AddMarker(0xFE, nullptr, 0);
  const Bytes saved = SavedBytes(list);
  EXPECT_EQ(saved, (Bytes{0, 2, 0, 0, 0, 0xE1, 3, 0, 0, 0, 'a', 'b', 'c', 0xFE, 0, 0, 0, 0}));

  TIEMarkerList loaded;
  loaded.AddMarker(0xED, "old", 3);
  TMemoryStream stream;
  Fill(stream, saved);
  loaded.LoadFromStream(&stream);
  ASSERT_EQ(loaded.GetCount(), 2);
  EXPECT_EQ(loaded.GetMarkerType(0), 0xE1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(loaded.GetMarkerData(0)), 3), "abc");
  EXPECT_EQ(loaded.GetMarkerLength(1), 0);
  EXPECT_EQ(loaded.IndexOf(0xFE), 1);
  EXPECT_EQ(loaded.IndexOf(0xE2), -1);
  EXPECT_EQ(stream.GetPosition(), stream.GetSize());
}

TEST(MarkerList, EditingKeepsTypesAndDataTogether) {
  TIEMarkerList list;
  list.AddMarker(0xE1, "exif", 4);
  list.InsertMarker(0, "c", 0xFE, 1);  // data before type
  list.SetMarker(1, 0xE2, "icc!", 4);
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetMarkerType(0), 0xFE);
  EXPECT_EQ(list.GetMarkerData(0)[0], 'c');
  EXPECT_EQ(list.GetMarkerType(1), 0xE2);

  TMemoryStream* marker = list.GetMarkerStream(1);
  marker->Seek(0, soEnd);
  EXPECT_EQ(list.GetMarkerStream(1)->GetPosition(), 0);

  TIEMarkerList copy;
  copy.Assign(&list);
  copy.Assign(nullptr);
  list.DeleteMarker(0);
  EXPECT_EQ(SavedBytes(list).size(), 1u + 4 + 1 + 4 + 4);
  ASSERT_EQ(copy.GetCount(), 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(copy.GetMarkerData(1)), 4), "icc!");

  // A JPEG segment holds at most 65535 bytes; a longer marker cannot be
  // written back and is refused rather than cut.
  std::vector<uint8_t> big(65536);
  EXPECT_THROW(list.AddMarker(0xE1, big.data(), 65536), ERangeError);
  EXPECT_NO_THROW(list.AddMarker(0xE1, big.data(), 65535));
  EXPECT_THROW(list.GetMarkerType(5), EListError);
}

TEST(MarkerList, DamagedStreamRaisesAndKeepsTheList) {
  const std::vector<Bytes> damaged = {
      {},                                                  // nothing at all
      {0, 1, 0, 0},                                        // count cut short
      {0, 0xFF, 0xFF, 0xFF, 0x7F},                         // count beyond the stream
      {0, 1, 0, 0, 0, 0xE1, 9, 0, 0, 0, 'a'},              // data cut short
      {0, 1, 0, 0, 0, 0xE1, 0xFF, 0xFF, 0xFF, 0xFF},       // negative length
      {0, 2, 0, 0, 0, 0xE1, 0, 0, 0, 0, 0xE2, 0, 0, 0},    // second marker cut short
  };
  for (const Bytes& bytes : damaged) {
    TIEMarkerList list;
    list.AddMarker(0xFE, "keep", 4);
    TMemoryStream stream;
    Fill(stream, bytes);
    EXPECT_THROW(list.LoadFromStream(&stream), EReadError) << bytes.size();
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetMarkerType(0), 0xFE);
  }
}

TEST(IPTCList, StandardBufferLayout) {
  struct Case {
    std::string text;
    size_t blockLength;
    uint8_t sizeField;
  };
  for (const Case& c : {Case{"Title", 36, 10}, Case{"Titles", 38, 11}}) {
    TIEIPTCInfoList list;
    list.AddStringItem(2, 5, c.text);
    const Bytes block = list.SaveToStandardBuffer();
    ASSERT_EQ(block.size(), c.blockLength) << c.text;
    EXPECT_EQ(std::string(block.begin(), block.begin() + 14), std::string("Photoshop 3.0", 14));
    EXPECT_EQ(std::string(block.begin() + 14, block.begin() + 18), "8BIM");
    EXPECT_EQ(Bytes(block.begin() + 18, block.begin() + 26),
              (Bytes{0x04, 0x04, 0, 0, 0, 0, 0, c.sizeField}));
    EXPECT_EQ(Bytes(block.begin() + 26, block.begin() + 31),
              (Bytes{0x1C, 2, 5, 0, static_cast<uint8_t>(c.text.size())}));
    EXPECT_EQ(std::string(block.begin() + 31, block.begin() + 31 + c.text.size()), c.text);
  }

  // The record version is never written.
  TIEIPTCInfoList versionOnly;
  versionOnly.AddStringItem(2, 0, "\x00\x04");
  const Bytes header = versionOnly.SaveToStandardBuffer();
  ASSERT_EQ(header.size(), 26u);
  EXPECT_EQ(Bytes(header.begin() + 22, header.end()), (Bytes{0, 0, 0, 0}));
}

TEST(IPTCList, LongDatasetUsesTheExtendedLengthAndReadsBack) {
  std::string caption(40000, 'x');
  caption[0] = 'A';
  caption[39999] = 'Z';
  TIEIPTCInfoList list;
  list.AddStringItem(2, 120, caption);
  list.AddStringItem(2, 5, "T");
  const Bytes block = list.SaveToStandardBuffer();
  EXPECT_EQ(Bytes(block.begin() + 26, block.begin() + 35),
            (Bytes{0x1C, 2, 120, 0x80, 0x04, 0x00, 0x00, 0x9C, 0x40}));

  TIEIPTCInfoList read;
  read.LoadFromStandardBuffer(block.data(), static_cast<int64_t>(block.size()));
  ASSERT_EQ(read.GetCount(), 2);
  EXPECT_EQ(read.GetStrings(0), caption);
  EXPECT_EQ(read.GetDataSet(0), 120);
  EXPECT_EQ(read.GetStrings(1), "T");
  EXPECT_FALSE(read.Modified);
}

TEST(IPTCList, StandardBufferReaderStopsAtTheFirstBadDataset) {
  const Bytes good = {0x1C, 2, 5, 0, 2, 'o', 'k'};
  struct Case {
    const char* what;
    Bytes tail;
  };
  const Case cases[] = {
      {"data past the end", {0x1C, 2, 25, 0, 9, 'a', 'b'}},
      {"header cut short", {0x1C, 2, 25, 0}},
      {"extended header cut short", {0x1C, 2, 25, 0x80, 0x04, 0, 0}},
      {"extended length past the end", {0x1C, 2, 25, 0x80, 0x04, 0x7F, 0xFF, 0xFF, 0xFF, 'a'}},
      {"something else than a dataset", {0x00, 0x1C, 2, 25, 0, 1, 'a'}},
  };
  for (const Case& c : cases) {
    Bytes buffer = {'8', 'B', 'I', 'M', 0x04, 0x04};  // anything before the first 0x1C is skipped
    buffer.insert(buffer.end(), good.begin(), good.end());
    buffer.insert(buffer.end(), c.tail.begin(), c.tail.end());
    TIEIPTCInfoList list;
    list.AddStringItem(1, 1, "old");
    list.LoadFromStandardBuffer(buffer.data(), static_cast<int64_t>(buffer.size()));
    ASSERT_EQ(list.GetCount(), 1) << c.what;
    EXPECT_EQ(list.GetStrings(0), "ok") << c.what;
    EXPECT_FALSE(list.Modified);
  }

  const Bytes noDatasets = {'P', 'h', 'o', 't', 'o', 0, 0, 0};
  TIEIPTCInfoList empty;
  empty.AddStringItem(2, 5, "gone");
  empty.LoadFromStandardBuffer(noDatasets.data(), static_cast<int64_t>(noDatasets.size()));
  EXPECT_EQ(empty.GetCount(), 0);
  EXPECT_FALSE(empty.Modified);
}

TEST(IPTCList, EditsSetModifiedAndKeepItemsTogether) {
  TIEIPTCInfoList list;
  EXPECT_FALSE(list.Modified);
  list.AddStringItem(2, 5, "Title");
  list.LoadFromStandardBuffer(nullptr, 0);
  EXPECT_FALSE(list.Modified);
  list.AddStringItem(2, 5, "Title");
  list.Modified = false;
  list.InsertStringItem(0, 2, 25, "k");
  EXPECT_TRUE(list.Modified);
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetRecordNumber(0), 2);
  EXPECT_EQ(list.GetDataSet(0), 25);
  EXPECT_EQ(list.GetStrings(0), "k");
  EXPECT_EQ(list.GetStrings(1), "Title");
  EXPECT_EQ(list.GetStrings(2), "");
  EXPECT_EQ(list.GetStrings(-1), "");
  EXPECT_EQ(list.IndexOf(2, 5), 1);
  EXPECT_EQ(list.IndexOf(5, 2), -1);

  list.Modified = false;
  list.SetStrings(1, "Longer title");
  EXPECT_TRUE(list.Modified);
  EXPECT_EQ(list.GetDataLength(1), 12);

  TIEIPTCInfoList copy;
  copy.Assign(&list);
  EXPECT_TRUE(copy.Modified);
  list.DeleteItem(0);
  EXPECT_EQ(copy.GetCount(), 2);
  EXPECT_EQ(copy.GetStrings(1), "Longer title");
}

TEST(IPTCList, StreamFormRoundTripAndDamage) {
  TIEIPTCInfoList list;
  list.AddStringItem(2, 5, "Title");
  list.AddBufferItem(2, 80, "\x00\x01", 2);
  const Bytes saved = SavedBytes(list);
  EXPECT_EQ(saved.size(), 8u + 12 + 5 + 12 + 2);
  EXPECT_EQ(Bytes(saved.begin(), saved.begin() + 20),
            (Bytes{0, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 5, 0, 0, 0, 5, 0, 0, 0}));

  TIEIPTCInfoList loaded;
  TMemoryStream stream;
  Fill(stream, saved);
  loaded.LoadFromStream(&stream);
  EXPECT_TRUE(loaded.Modified);
  EXPECT_EQ(SavedBytes(loaded), saved);

  // Every cut of the stream short of its end, and a count far too large.
  std::vector<Bytes> damaged;
  for (size_t n = 0; n < saved.size(); ++n) damaged.emplace_back(saved.begin(), saved.begin() + n);
  damaged.push_back({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F});
  for (const Bytes& bytes : damaged) {
    TIEIPTCInfoList kept;
    kept.AddStringItem(1, 90, "keep");
    Fill(stream, bytes);
    EXPECT_THROW(kept.LoadFromStream(&stream), EReadError) << bytes.size();
    ASSERT_EQ(kept.GetCount(), 1);
    EXPECT_EQ(kept.GetStrings(0), "keep");
  }
}
