// The sheet sizes a workbook declares, read from its compound file: the
// stream in whole sectors or in the small-stream area, the older layout of
// the size record, and damaged files.
#include "platform/xlsextent.h"

#include <gtest/gtest.h>

#include "support/xlsbytes.h"

using cwtest::XlsSheet;

namespace {

using Bytes = std::vector<uint8_t>;

void Set32(Bytes& b, size_t at, uint32_t v) { cwtest::xlsdetail::Set32(b, at, v); }
uint32_t Get32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

// A compound file of 512-byte sectors whose only stream, shorter than the
// small-stream cut-off, lies in 64-byte sectors: FAT, directory, small
// sectors' table, then the small-stream area.
Bytes SmallStreamFile(const std::string& name, Bytes stream) {
  constexpr uint32_t kEnd = 0xFFFFFFFE;
  const uint32_t miniSectors = uint32_t((stream.size() + 63) / 64);
  stream.resize(size_t{miniSectors} * 64, 0);
  const uint32_t areaSectors = (miniSectors * 64 + 511) / 512;
  Bytes big = cwtest::CompoundFileBytes("unused", Bytes(4096, 0));  // header and directory layout
  Bytes out(big.begin(), big.begin() + 512);
  Set32(out, 60, 2);  // small sectors' table
  Set32(out, 64, 1);
  Bytes fat(512, 0xFF);
  Set32(fat, 0, 0xFFFFFFFD);
  Set32(fat, 4, kEnd);
  Set32(fat, 8, kEnd);
  for (uint32_t i = 0; i < areaSectors; ++i) Set32(fat, 4 * (3 + i), i + 1 == areaSectors ? kEnd : 4 + i);
  Bytes dir(big.begin() + 1024, big.begin() + 1536);
  Set32(dir, 116, 3);  // the root's stream is the small-stream area
  Set32(dir, 120, miniSectors * 64);
  for (size_t i = 0; i < 64; ++i) dir[128 + i] = 0;
  const auto units = cwtest::xlsdetail::Utf16(name);
  for (size_t i = 0; i < units.size(); ++i) dir[128 + 2 * i] = uint8_t(units[i]);
  dir[128 + 64] = uint8_t(2 * (units.size() + 1));
  Set32(dir, 128 + 116, 0);
  Set32(dir, 128 + 120, uint32_t(stream.size()));
  Bytes miniFat(512, 0xFF);
  for (uint32_t i = 0; i < miniSectors; ++i) Set32(miniFat, 4 * i, i + 1 == miniSectors ? kEnd : i + 1);
  for (const Bytes* part : {&fat, &dir, &miniFat, &stream}) out.insert(out.end(), part->begin(), part->end());
  out.resize(512 * (4 + areaSectors), 0);
  return out;
}

// An older workbook stream: size records of 16-bit rows and columns.
Bytes OldStream(const std::vector<std::pair<uint16_t, uint16_t>>& sizes) {
  Bytes stream;
  cwtest::xlsdetail::Record(stream, 0x0809, Bytes(8, 0));
  for (auto [rows, cols] : sizes) {
    Bytes size;
    cwtest::xlsdetail::Put16(size, 0);
    cwtest::xlsdetail::Put16(size, rows);
    cwtest::xlsdetail::Put16(size, 0);
    cwtest::xlsdetail::Put16(size, cols);
    cwtest::xlsdetail::Put16(size, 0);
    cwtest::xlsdetail::Record(stream, 0x0200, size);
  }
  cwtest::xlsdetail::Record(stream, 0x000A, {});
  return stream;
}

}  // namespace

TEST(XlsDeclaredCells, SumsEverySheetsSizeWhereverTheStreamLies) {
  const std::vector<XlsSheet> sheets = {{"a", {{2, 4, 1.0}}}, {"b", {{0, 0, 1.0}}, 70000, 3}};
  const int64_t declared = 3 * 5 + 70000 * 3;
  EXPECT_EQ(XlsDeclaredCells(cwtest::XlsBytes(sheets)), declared);
  const Bytes stream = cwtest::XlsWorkbookStream(sheets);
  ASSERT_LT(stream.size(), 4096u);
  EXPECT_EQ(XlsDeclaredCells(SmallStreamFile("Workbook", stream)), declared);
  EXPECT_EQ(XlsDeclaredCells(cwtest::CompoundFileBytes("Book", OldStream({{100, 20}, {7, 3}}))), 2000 + 21);
  EXPECT_EQ(XlsDeclaredCells(SmallStreamFile("BOOK", OldStream({{65535, 255}}))), 65535 * 255);
}

TEST(XlsDeclaredCells, DamagedFilesGiveNoCount) {
  const Bytes good = cwtest::XlsBytes({{"a", {{0, 0, 1.0}}}});
  Bytes looped = good;  // the stream's last sector leads back to its first
  const uint32_t first = Get32(&good[1024 + 128 + 116]);
  for (size_t i = 0; i < 128; ++i)
    if (Get32(&good[512 + 4 * i]) == 0xFFFFFFFE && i > first) Set32(looped, 512 + 4 * i, first);
  Bytes cut(good.begin(), good.begin() + 1200);
  Bytes otherName = cwtest::CompoundFileBytes("Notes", cwtest::XlsWorkbookStream({{"a", {}}}));
  Bytes hugeFat = good;
  Set32(hugeFat, 44, 0xFFFFFFF0);  // more table sectors than the file has
  Bytes badShift = good;
  badShift[30] = 20;
  Bytes otherCutoff = good;  // small sectors for streams up to 64 KB
  Set32(otherCutoff, 56, 65536);
  Bytes hugeRoot = good;  // a small-stream area of 2.9 GB in a 5 KB file
  Set32(hugeRoot, 1024 + 120, 0xAFBDEF00);
  Bytes hugeMiniTable = good;
  Set32(hugeMiniTable, 64, 0xFE000000);
  Bytes longName = good;  // a name longer than the entry that holds it
  longName[1024 + 128 + 64] = 0x12;
  longName[1024 + 128 + 65] = 0x30;
  for (const Bytes& bad : {looped, cut, otherName, hugeFat, badShift, otherCutoff, hugeRoot, hugeMiniTable, longName, Bytes(600, 'x'), Bytes{}})
    EXPECT_EQ(XlsDeclaredCells(bad), -1);
}

// The library copies texts by the lengths they give: a text longer than
// its record (and the records that continue it) makes the workbook
// unreadable, while one continued in the eight-byte layout's way reads.
TEST(XlsDeclaredCells, TextsMustLieInsideTheirRecords) {
  using cwtest::xlsdetail::Put16;
  using cwtest::xlsdetail::Put32;
  using cwtest::xlsdetail::Record;
  auto shared = [](uint16_t count, size_t firstChars, const Bytes& rest) {
    Bytes stream;
    Record(stream, 0x0809, cwtest::xlsdetail::Bof(0x0005));
    Bytes sst;
    Put32(sst, 1);
    Put32(sst, 1);
    Put16(sst, count);
    sst.push_back(0x01);  // two-byte characters
    for (size_t i = 0; i < firstChars; ++i) Put16(sst, 'a');
    Record(stream, 0x00FC, sst);
    if (!rest.empty()) Record(stream, 0x003C, rest);
    Record(stream, 0x000A, {});
    return cwtest::CompoundFileBytes("Workbook", stream);
  };
  Bytes narrowRest = {0x00};  // the rest in one-byte characters
  narrowRest.insert(narrowRest.end(), 6, 'b');
  EXPECT_EQ(XlsDeclaredCells(shared(10, 4, narrowRest)), 0);
  EXPECT_EQ(XlsDeclaredCells(shared(10, 4, {})), -1);
  EXPECT_EQ(XlsDeclaredCells(shared(10, 4, Bytes(narrowRest.begin(), narrowRest.end() - 1))), -1);
  EXPECT_EQ(XlsDeclaredCells(shared(0xFFFF, 2, {})), -1);

  // A sheet name, a number format and a cell text each past their record.
  for (uint16_t type : {0x0085, 0x041E, 0x0204}) {
    SCOPED_TRACE(type);
    Bytes stream;
    Record(stream, 0x0809, cwtest::xlsdetail::Bof(0x0005));
    Bytes record(type == 0x041E ? 2 : 6, 0);
    if (type == 0x0085) record.push_back(40);
    else Put16(record, 40);
    record.push_back(0x00);
    record.insert(record.end(), 39, 'c');
    Bytes fits = record;
    fits.push_back('c');
    Bytes whole = stream;
    Record(whole, type, fits);
    Record(stream, type, record);
    EXPECT_EQ(XlsDeclaredCells(cwtest::CompoundFileBytes("Workbook", whole)), 0);
    EXPECT_EQ(XlsDeclaredCells(cwtest::CompoundFileBytes("Workbook", stream)), -1);
  }
}

TEST(XlsCellsFitFile, AMillionCellsFreelyThenSixteenPerByte) {
  EXPECT_TRUE(XlsCellsFitFile(1 << 20, 0));
  EXPECT_FALSE(XlsCellsFitFile((1 << 20) + 1, 4096));
  EXPECT_TRUE(XlsCellsFitFile(int64_t{16} << 20, 1 << 20));
  EXPECT_FALSE(XlsCellsFitFile((int64_t{16} << 20) + 1, 1 << 20));
}
