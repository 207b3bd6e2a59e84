#include "platform/dbf.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "dbtest_support.h"
#include "platform/dbfio.h"
#include "platform/gbk.h"
#include "support/testenv.h"

using dbtest::ReadFile;
using dbtest::WriteFile;

namespace {

// A record of the card columns with a name and a photo.
std::vector<uint8_t> CardRecord(TDbfTable& table, const std::string& name, const std::string& photo) {
  std::vector<uint8_t> record = table.BlankRecord();
  dbfvalue::Set(table.Fields()[0], record, name);
  dbfvalue::SetBlock(table.Fields()[13], record, table.WriteBlob(table.Fields()[13], photo));
  return record;
}

// A level IV card table holding two records, the second one with a photo.
std::string MakeSmallTable(const cwtest::TempDir& dir) {
  std::string path = dir.file("data.DBF");
  TDbfTable::Create(path, dbfLevel4, dbtest::CardColumns());
  auto table = TDbfTable::Open(path, false);
  table->AppendRecord(CardRecord(*table, "张三", ""));
  table->AppendRecord(CardRecord(*table, "李四", std::string(700, 'p')));
  return path;
}

std::string BinarySample() {
  std::string bytes = "BM";
  for (int i = 0; i < 1500; ++i) bytes += char(i * 7);  // every byte value, 0x1A and 0x1F too
  return bytes;
}

}  // namespace

TEST(DbfFile, EveryLevelKeepsItsTextsAndBlobs) {
  struct Case {
    TDbfLevel level;
    char blobType;
    uint8_t versionByte;
    std::string blob;
  };
  const Case cases[] = {
      {dbfLevel3, 'M', 0x83, "备注 memo text"},  // level III memo files hold text only
      {dbfLevel4, 'B', 0x8B, BinarySample()},
      {dbfLevel5, 'B', 0x8D, BinarySample()},
      {dbfLevel7, 'B', 0x8C, BinarySample()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.level));
    cwtest::TempDir dir;
    std::string path = dir.file("t.dbf");
    TDbfTable::Create(path, c.level, dbtest::CardColumns(20, c.blobType));
    {
      auto table = TDbfTable::Open(path, false);
      table->AppendRecord(CardRecord(*table, "王小明", c.blob));
      table->AppendRecord(CardRecord(*table, "Li Lei", ""));
    }
    auto table = TDbfTable::Open(path, false);
    EXPECT_EQ(table->Level(), c.level);
    ASSERT_EQ(table->Fields().size(), 16u);
    EXPECT_EQ(table->Fields()[15].Name, "BARCODE");
    ASSERT_EQ(table->PhysicalCount(), 2);
    std::vector<uint8_t> first = table->ReadRecord(0);
    EXPECT_EQ(dbfvalue::Get(table->Fields()[0], first), "王小明");
    EXPECT_EQ(table->ReadBlob(table->Fields()[13], first), c.blob);
    EXPECT_EQ(table->BlobSize(table->Fields()[13], first), int64_t(c.blob.size()));
    EXPECT_EQ(table->ReadBlob(table->Fields()[13], table->ReadRecord(1)), "");

    // Writing keeps the level and the language of the file.
    table->WriteRecord(1, CardRecord(*table, "韩梅梅", c.blob));
    std::string bytes = ReadFile(path);
    EXPECT_EQ(uint8_t(bytes[0]), c.versionByte);
    EXPECT_EQ(uint8_t(bytes[29]), kDbfLanguageGbk);

    dbtest::PlainTable plain = dbtest::ReadPlain(path);
    ASSERT_EQ(plain.records.size(), 2u);
    EXPECT_EQ(plain.names[13], "PIC");
    EXPECT_EQ(GbkToUtf8(plain.records[1][0]), "韩梅梅" + std::string(14, ' '));
    if (c.level != dbfLevel3) {
      EXPECT_EQ(dbtest::ReadPlainBlob(dir.file("t.DBT"), plain.records[0][13]), c.blob);
    }
  }
}

TEST(DbfFile, LongTextIsCutOnCharacterBoundary) {
  const std::pair<std::string, std::string> cases[] = {
      {"abcdefg", "abcde"},
      {"张三丰", "张三"},  // 6 bytes in GBK: the third character does not fit
      {"a张三丰", "a张三"},
      {"ab张三", "ab张"},
  };
  TDbfField column{"NAME", 'C', 5, 0, 1};
  for (const auto& [text, kept] : cases) {
    std::vector<uint8_t> record(6, ' ');
    dbfvalue::Set(column, record, text);
    EXPECT_EQ(dbfvalue::Get(column, record), kept) << text;
  }
}

TEST(DbfFile, DamagedFilesFailWithClearErrorAndStayUntouched) {
  struct Damage {
    const char* what;
    void (*apply)(std::string& dbf, std::string& dbt);
  };
  const Damage damages[] = {
      {"cut in the last record", [](std::string& dbf, std::string&) { dbf.resize(dbf.size() - 100); }},
      {"cut in the header", [](std::string& dbf, std::string&) { dbf.resize(200); }},
      {"header length beyond the file", [](std::string& dbf, std::string&) { dbf[9] = char(0x7F); }},
      {"no record length", [](std::string& dbf, std::string&) { dbf[10] = dbf[11] = 0; }},
      {"record shorter than its columns", [](std::string& dbf, std::string&) { dbf[10] = 40, dbf[11] = 0; }},
      {"no end of columns", [](std::string& dbf, std::string&) { dbf[32 + 16 * 32] = 'X'; }},
      {"other file kind", [](std::string& dbf, std::string&) { dbf[0] = char(0x30); }},
      {"record count too large", [](std::string& dbf, std::string&) { dbf[4] = char(0xFF), dbf[5] = char(0xFF); }},
      {"memo file cut", [](std::string&, std::string& dbt) { dbt.resize(dbt.size() - 600); }},
      {"memo file shorter than its header", [](std::string&, std::string& dbt) { dbt.resize(100); }},
      {"broken length mark", [](std::string&, std::string& dbt) { dbt[512] = 0; }},
      {"content longer than the file", [](std::string&, std::string& dbt) { dbt[512 + 6] = 0x7F; }},
      {"BLOB reference beyond the memo file",
       [](std::string& dbf, std::string&) {
         size_t photo = dbf.size() - 1 - 30 + 9;  // last digit of the second record's PIC
         dbf[photo] = '9';
       }},
      {"BLOB reference not a number",
       [](std::string& dbf, std::string&) { dbf[dbf.size() - 1 - 30 + 5] = 'x'; }},
      {"memo file missing", [](std::string&, std::string& dbt) { dbt = "<remove>"; }},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    cwtest::TempDir dir;
    std::string path = MakeSmallTable(dir);
    std::string dbf = ReadFile(path), dbt = ReadFile(dir.file("data.DBT"));
    d.apply(dbf, dbt);
    WriteFile(path, dbf);
    if (dbt == "<remove>") unlink(dir.file("data.DBT").c_str());
    else WriteFile(dir.file("data.DBT"), dbt);

    try {
      TDbfTable::Open(path, false);
      ADD_FAILURE() << "opened";
    } catch (const EDatabaseError& e) {
      EXPECT_NE(std::string(e.Message).find("data."), std::string::npos) << e.Message;
    }
    EXPECT_EQ(ReadFile(path), dbf);
    if (dbt != "<remove>") {
      EXPECT_EQ(ReadFile(dir.file("data.DBT")), dbt);
    }
  }
}

TEST(DbfFile, RecordWrittenBeforeHeaderCountsIt) {
  cwtest::TempDir dir;
  std::string path = MakeSmallTable(dir);
  // A write stopped after the record but before the header: the table still
  // reads with its counted records, and the next record takes that place.
  std::string stopped = ReadFile(path);
  stopped.insert(stopped.size() - 1, std::string(dbtest::Le16(stopped, 10), 'x'));
  WriteFile(path, stopped);
  auto table = TDbfTable::Open(path, false);
  EXPECT_EQ(table->PhysicalCount(), 2);
  EXPECT_EQ(table->AppendRecord(CardRecord(*table, "赵五", "")), 2);
  table.reset();
  dbtest::PlainTable plain = dbtest::ReadPlain(path);
  ASSERT_EQ(plain.records.size(), 3u);
  EXPECT_EQ(GbkToUtf8(plain.records[2][0]).substr(0, 6), "赵五");
  EXPECT_EQ(ReadFile(path).back(), '\x1A');
}

TEST(DbfFile, TableHeldByAnotherProgramIsReportedNotDamaged) {
  cwtest::TempDir dir;
  std::string path = MakeSmallTable(dir);
  const std::string before = ReadFile(path);
  int other = open(path.c_str(), O_RDWR);
  ASSERT_GE(other, 0);

  ASSERT_EQ(flock(other, LOCK_SH), 0);  // another program has it open
  EXPECT_THROW(TDbfTable::Open(path, true), EDatabaseError);
  auto shared = TDbfTable::Open(path, false);
  ASSERT_EQ(flock(other, LOCK_UN), 0);

  struct flock lock {};  // another program is writing
  lock.l_type = F_WRLCK;
  ASSERT_EQ(fcntl(other, F_OFD_SETLK, &lock), 0);
  EXPECT_THROW(TDbfTable::Open(path, false), EDatabaseError);
  EXPECT_THROW(shared->AppendRecord(shared->BlankRecord()), EDatabaseError);
  EXPECT_THROW(shared->WriteRecord(0, shared->BlankRecord()), EDatabaseError);
  EXPECT_THROW(shared->Zap(), EDatabaseError);
  EXPECT_EQ(ReadFile(path), before);
  close(other);

  shared.reset();
  auto exclusive = TDbfTable::Open(dir.file("DATA.dbf"), true);  // any letter case
  EXPECT_THROW(TDbfTable::Open(path, false), EDatabaseError);
}

TEST(DbfFile, ZapEmptiesTableAndMemoFile) {
  cwtest::TempDir dir;
  std::string path = MakeSmallTable(dir);
  TDbfTable::Open(path, true)->Zap();
  auto table = TDbfTable::Open(path, false);
  EXPECT_EQ(table->PhysicalCount(), 0);
  EXPECT_EQ(ReadFile(dir.file("data.DBT")).size(), 512u);
  table->AppendRecord(CardRecord(*table, "新", "abc"));
  EXPECT_EQ(table->ReadBlob(table->Fields()[13], table->ReadRecord(0)), "abc");
}

TEST(DbfFile, FirstChangeDropsTheProductionIndexClaim) {
  cwtest::TempDir dir;
  std::string path = MakeSmallTable(dir);
  std::string bytes = ReadFile(path);
  bytes[28] = 1;
  WriteFile(path, bytes);
  WriteFile(dir.file("data.MDX"), "index bytes");
  auto table = TDbfTable::Open(path, false);
  EXPECT_EQ(ReadFile(path)[28], 1);  // reading changes nothing
  table->WriteRecord(0, table->ReadRecord(0));
  EXPECT_EQ(ReadFile(path)[28], 0);
  EXPECT_EQ(ReadFile(dir.file("data.MDX")), "index bytes");
}

TEST(DbfFile, ThirdPartyReaderSeesColumnsAndTexts) {
  for (TDbfLevel level : {dbfLevel3, dbfLevel4}) {
    cwtest::TempDir dir;
    std::string path = dir.file("data.DBF");
    TDbfTable::Create(path, level, dbtest::CardColumns(20, level == dbfLevel3 ? 'M' : 'B'));
    {
      auto table = TDbfTable::Open(path, false);
      std::vector<uint8_t> record = CardRecord(*table, "张三", level == dbfLevel3 ? "" : BinarySample());
      dbfvalue::Set(table->Fields()[12], record, "北京市海淀区");
      table->AppendRecord(record);
    }
    std::string listing;
    if (!dbtest::ReadWithDbfread(path, dir.path().string(), listing)) GTEST_SKIP() << "python3 with dbfread missing";
    std::string expected;
    for (char c = 'A'; c <= 'M'; ++c) expected += std::string(4, c) + " C 20\n";
    expected += std::string("PIC ") + (level == dbfLevel3 ? 'M' : 'B') + " 10\n";
    expected += std::string("BACKGROUND ") + (level == dbfLevel3 ? 'M' : 'B') + " 10\n";
    expected += std::string("BARCODE ") + (level == dbfLevel3 ? 'M' : 'B') + " 10\n";
    expected += "张三" + std::string(12, '|') + "北京市海淀区\n";
    EXPECT_EQ(listing, expected) << int(level);
  }
}

// Inside a deferred-sync scope the posts are written but not waited for one
// by one; the scope's end, a close, or an exception leaving the scope pushes
// each dirty file once. Outside a scope every post syncs as before.
TEST(DbfFile, DeferredSyncPushesEachFileOnceAtTheEnd) {
  enum class End { scope, closeInside, exception, nested };
  struct Case {
    const char* name;
    End end;
  };
  const Case cases[] = {
      {"scope end", End::scope},
      {"table closed inside", End::closeInside},
      {"left by exception", End::exception},
      {"inner scope of a batch", End::nested},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cwtest::TempDir dir;
    std::string path = MakeSmallTable(dir);
    auto table = TDbfTable::Open(path, false);
    uint64_t before = dbfio::SyncCount();
    table->AppendRecord(CardRecord(*table, "单条", "photo"));
    EXPECT_GT(dbfio::SyncCount(), before) << "a post outside a batch syncs";

    before = dbfio::SyncCount();
    try {
      dbfio::DeferredSync batch;
      for (int i = 0; i < 40; ++i) {
        table->AppendRecord(CardRecord(*table, "批" + std::to_string(i), std::string(300 + i, char('a' + i % 26))));
        table->WriteRecord(1, CardRecord(*table, "改" + std::to_string(i), ""));
      }
      EXPECT_EQ(dbfio::SyncCount(), before) << "no sync per post inside the batch";
      if (c.end == End::nested) {
        { dbfio::DeferredSync inner; }
        EXPECT_EQ(dbfio::SyncCount(), before) << "only the outermost scope syncs";
      }
      if (c.end == End::closeInside) {
        table.reset();
        EXPECT_EQ(dbfio::SyncCount(), before + 2) << "the close pushes the table and its memo file";
        // A file opened meanwhile may get a closed file's descriptor number;
        // it was never written in the batch, so the scope leaves it alone.
        table = TDbfTable::Open(path, false);
      }
      if (c.end == End::exception) throw EDatabaseError("stopped");
    } catch (const EDatabaseError&) {
      EXPECT_EQ(c.end, End::exception);
    }
    EXPECT_EQ(dbfio::SyncCount(), before + 2) << "one push each of table and memo file";

    // Everything written in the batch is in the files, read by another reader.
    table.reset();
    dbtest::PlainTable plain = dbtest::ReadPlain(path);
    ASSERT_EQ(plain.records.size(), 43u);
    EXPECT_EQ(GbkToUtf8(plain.records[1][0]).substr(0, 5), "改39");
    EXPECT_EQ(GbkToUtf8(plain.records[42][0]).substr(0, 5), "批39");
    auto reread = TDbfTable::Open(path, false);
    EXPECT_EQ(reread->ReadBlob(reread->Fields()[13], reread->ReadRecord(42)), std::string(339, char('a' + 39 % 26)));
  }
}
