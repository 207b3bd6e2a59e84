// Memo column files: the keys with a separator, the older joined keys,
// cells that must survive ("0", blanks, quotes, Chinese, long texts), the
// 3000-row limit, and the file's bytes.
#include "records/memocolumns.h"

#include <gtest/gtest.h>


#include "platform/dbtest_support.h"
#include "platform/gbk.h"
#include "support/testenv.h"

namespace {

// Old-form file bytes: "[Section1]" and the given key=value lines, in GBK.
std::string OldFile(const std::vector<std::string>& lines) {
  std::string text = "[Section1]\r\n";
  for (const std::string& line : lines) text += line + "\r\n";
  return Utf8ToGbk(text);
}

TMemoColumns Rows(const std::vector<std::vector<std::string>>& byColumn) {
  TMemoColumns columns;
  for (size_t c = 0; c < byColumn.size(); ++c) columns[c] = byColumn[c];
  return columns;
}

// 3000 rows of 13 columns with Chinese, empty cells, "0", blanks around
// texts, quotes and long texts.
TMemoColumns BulkColumns() {
  TMemoColumns columns;
  const std::string names[] = {"张三", "李四", "王小红", "欧阳修文", "Li Lei"};
  for (int r = 0; r < kMemoRows; ++r)
    for (int c = 0; c < kMemoColumns; ++c) {
      std::string cell;
      switch ((r + c) % 8) {
        case 0: cell = names[r % 5] + std::to_string(r); break;
        case 1: cell = ""; break;
        case 2: cell = "0"; break;
        case 3: cell = "  前后有空格 "; break;
        case 4: cell = "\"引号\""; break;
        case 5: cell = std::string(40, 'x') + "很长的地址：北京市海淀区中关村大街" + std::to_string(r * c); break;
        case 6: cell = "a=b;[c]"; break;
        default: cell = std::to_string(r * 13 + c); break;
      }
      columns[size_t(c)].push_back(cell);
    }
  return columns;
}

TEST(MemoColumns, BulkFileRoundTripsEveryCellInOnePass) {
  cwtest::TempDir dir;
  const std::string path = dir.file("bulk.mem");
  const TMemoColumns columns = BulkColumns();
  WriteMemoColumnFile(path, columns, kMemoRows);
  const TMemoColumns back = ReadMemoColumnFile(path);
  for (int c = 0; c < kMemoColumns; ++c) {
    SCOPED_TRACE(c);
    ASSERT_EQ(back[size_t(c)].size(), size_t(kMemoRows));
    EXPECT_EQ(back[size_t(c)], columns[size_t(c)]);
  }

  // On disk: GBK text, CR LF lines, the separator in every key, empty cells
  // as the blank marker; column 1 row 10 and column 11 row 0 are two keys.
  const std::string bytes = dbtest::ReadFile(path);
  EXPECT_EQ(bytes.rfind("[Section1]\r\n", 0), 0u);
  EXPECT_NE(bytes.find(Utf8ToGbk("MemoData0_0=张三0\r\n")), std::string::npos);
  EXPECT_NE(bytes.find("MemoData1_10="), std::string::npos);
  EXPECT_NE(bytes.find("MemoData11_0="), std::string::npos);
  EXPECT_NE(bytes.find(Utf8ToGbk("MemoData1_0=I空白I\r\n")), std::string::npos);
  EXPECT_NE(bytes.find("MemoData2_0=0\r\n"), std::string::npos);
  EXPECT_EQ(bytes.find("\xE5\xBC\xA0"), std::string::npos);  // no UTF-8 of 张
}

TEST(MemoColumns, OlderJoinedKeysAreReadAsTheyWereWritten) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    std::vector<std::vector<std::string>> expected;  // by column
  } cases[] = {
      {"the blank marker comes back empty and does not end the rows",
       {"MemoData00=甲", "MemoData01=I空白I", "MemoData02=丙", "MemoData10=1", "MemoData11=2", "MemoData12=3"},
       {{"甲", "", "丙"}, {"1", "2", "3"}}},
      {"a missing column-0 cell ends every column",
       {"MemoData00=甲", "MemoData10=1", "MemoData11=2", "MemoData12=3"},
       {{"甲"}, {"1"}}},
      {"a zero in column 0 ends the rows", {"MemoData00=甲", "MemoData01=0", "MemoData02=丙"}, {{"甲"}, {""}}},
      {"a shorter column gives empty cells",
       {"MemoData00=甲", "MemoData01=乙", "MemoData02=丙", "MemoData20=x"},
       {{"甲", "乙", "丙"}, {"", "", ""}, {"x", "", ""}}},
      {"names ignore case, values lose blanks and one pair of quotes",
       {"memodata00 =  \" 甲 \"  ", "MEMODATA01=乙"},
       {{" 甲 ", "乙"}}},
      {"column 11 row 0 and column 1 row 10 share their key",
       [] {
         std::vector<std::string> lines;
         for (int r = 0; r <= 10; ++r) lines.push_back("MemoData0" + std::to_string(r) + "=r" + std::to_string(r));
         for (int r = 0; r < 10; ++r) lines.push_back("MemoData1" + std::to_string(r) + "=b" + std::to_string(r));
         lines.push_back("MemoData110=eleven");
         return lines;
       }(),
       {}},
      {"no section, no cells", {}, {{}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TMemoColumns got = ParseMemoColumns(OldFile(c.lines));
    if (std::string(c.what).find("share") != std::string::npos) {
      ASSERT_EQ(got[0].size(), 11u);
      EXPECT_EQ(got[1][10], "eleven");
      EXPECT_EQ(got[11][0], "eleven");
      continue;
    }
    for (int col = 0; col < kMemoColumns; ++col) {
      const size_t rows = c.expected[0].size();
      std::vector<std::string> want = size_t(col) < c.expected.size() ? c.expected[size_t(col)]
                                                                       : std::vector<std::string>(rows);
      EXPECT_EQ(got[size_t(col)], want) << "column " << col;
    }
  }
}

TEST(MemoColumns, ReadingTakesOnlyTheFirstSectionAndKeysInRange) {
  const std::string text =
      "; a note\n[Other]\nMemoData0_0=elsewhere\n[ section1 ]\nMemoData0_0=甲\nMemoData0_0=second\n"
      "MemoData0_2=丙\nMemoData13_0=out\nMemoData0_3000=out\nMemoData0_x=bad\nMemoData00001_0=bad\nnot a key\n"
      "[Section1]\nMemoData0_5=later section\n";
  const TMemoColumns got = ParseMemoColumns(Utf8ToGbk(text));
  // Rows run to the highest row found; missing cells are empty.
  EXPECT_EQ(got[0], (std::vector<std::string>{"甲", "", "丙"}));
  EXPECT_EQ(got[12], (std::vector<std::string>{"", "", ""}));
  // Bytes that are no GBK do not stop the reading.
  const TMemoColumns broken = ParseMemoColumns("[Section1]\r\nMemoData0_0=\x81\r\nMemoData0_1=ok\r\n");
  ASSERT_EQ(broken[0].size(), 2u);
  EXPECT_EQ(broken[0][1], "ok");
}

TEST(MemoColumns, WritingKeepsToTheRowLimitAndReplacesTheFile) {
  cwtest::TempDir dir;
  const std::string path = dir.file("long.mem");
  TMemoColumns columns;
  for (int r = 0; r < kMemoRows + 500; ++r) columns[0].push_back("行" + std::to_string(r));
  columns[5] = {"only", "two"};
  WriteMemoColumnFile(path, columns, kMemoRows + 500);
  TMemoColumns back = ReadMemoColumnFile(path);
  ASSERT_EQ(back[0].size(), size_t(kMemoRows));
  EXPECT_EQ(back[0].back(), "行2999");
  EXPECT_EQ(back[5][1], "two");
  EXPECT_EQ(back[5][2], "");

  // A shorter save leaves no rows of the longer one behind.
  WriteMemoColumnFile(path, Rows({{"一", "二"}}), 2);
  back = ReadMemoColumnFile(path);
  EXPECT_EQ(back[0], (std::vector<std::string>{"一", "二"}));
  EXPECT_EQ(back[5], (std::vector<std::string>{"", ""}));

  // Nothing in column 0: no keys, nothing read back.
  WriteMemoColumnFile(path, Rows({{}, {"ignored"}}), 0);
  EXPECT_EQ(dbtest::ReadFile(path), "[Section1]\r\n");
  EXPECT_TRUE(ReadMemoColumnFile(path)[1].empty());
  EXPECT_TRUE(ReadMemoColumnFile(dir.file("missing.mem"))[0].empty());
  EXPECT_THROW(WriteMemoColumnFile(dir.file("no/such/folder.mem"), columns, 1), EFCreateError);
}

}  // namespace
