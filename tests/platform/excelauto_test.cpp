// The spreadsheet automation server over .xls workbooks.
#include "platform/excelauto.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/testenv.h"
#include "support/xlsbytes.h"

using cwtest::XlsSheet;

namespace {

class ExcelAuto : public ::testing::Test {
 protected:
  std::string Workbook(const std::vector<XlsSheet>& sheets, const std::string& name = "book.xls") {
    const std::string path = dir.file(name);
    cwtest::WriteBytesFile(path, cwtest::XlsBytes(sheets));
    return path;
  }
  cwtest::TempDir dir;
};

TEST_F(ExcelAuto, ReadsTheActivatedSheetsUsedRangeAndCellTexts) {
  const std::string path = Workbook({
      {"一班", {{0, 0, std::string("张三")}, {0, 1, 12.5}, {1, 0, 42.0}, {2, 2, 0.0}}},
      {"Sheet2", {{0, 0, std::string("second")}, {4, 3, 7.0}}},
  });
  auto app = CreateOleObject("Excel.Application");
  app->Visible = false;
  app->WorkBooks().Open(path);
  for (int n : {1, 2}) {
    SCOPED_TRACE(n);
    app->WorkSheets(n)->Activate();
    auto sheet = app->ActiveWorkBook()->ActiveSheet();
    if (n == 1) {
      EXPECT_EQ(sheet->UsedRange().Rows().Count(), 3);
      EXPECT_EQ(sheet->UsedRange().Columns().Count(), 3);
      EXPECT_EQ(sheet->Cells(1, 1).Value(), "张三");
      EXPECT_EQ(sheet->Cells(1, 2).Value(), "12.5");
      EXPECT_EQ(sheet->Cells(2, 1).Value(), "42");
      EXPECT_EQ(sheet->Cells(2, 2).Value(), "");  // never written
      EXPECT_EQ(sheet->Cells(9, 9).Value(), "");  // beyond the used range
    } else {
      EXPECT_EQ(sheet->UsedRange().Rows().Count(), 5);
      EXPECT_EQ(sheet->UsedRange().Columns().Count(), 4);
      EXPECT_EQ(sheet->Cells(1, 1).Value(), "second");
      EXPECT_EQ(sheet->Cells(5, 4).Value(), "7");
    }
  }
  app->Quit();
}

TEST_F(ExcelAuto, GivesDatesAsTheReaderWritesThem) {
  XlsSheet sheet{"dates", {}};
  cwtest::XlsCell date{0, 0, 36526.0};  // 2000-01-01
  date.Date = true;
  sheet.Cells.push_back(date);
  auto app = CreateOleObject("Excel.Application");
  app->WorkBooks().Open(Workbook({sheet}));
  app->WorkSheets(1)->Activate();
  EXPECT_EQ(app->ActiveWorkBook()->ActiveSheet()->Cells(1, 1).Value(), "2000-01-01");
}

TEST_F(ExcelAuto, FailuresRaise) {
  const std::string path = Workbook({{"only", {{0, 0, 1.0}}}});
  const std::string foreign = dir.file("notes.xls");
  cwtest::WriteBytesFile(foreign, std::vector<uint8_t>(600, 'x'));
  const std::string truncated = dir.file("cut.xls");
  auto bytes = cwtest::XlsBytes({{"only", {{0, 0, 1.0}}}});
  bytes.resize(1000);
  cwtest::WriteBytesFile(truncated, bytes);
  // A stream name whose length runs 12 KB past its 128-byte entry, which
  // the library would copy from beyond the entry.
  const std::string longName = dir.file("name.xls");
  bytes = cwtest::XlsBytes({{"only", {{0, 0, 1.0}}}});
  bytes[1024 + 128 + 64] = 0x12;
  bytes[1024 + 128 + 65] = 0x30;
  cwtest::WriteBytesFile(longName, bytes);

  EXPECT_THROW(CreateOleObject("Word.Application"), EOleError);
  for (const std::string& bad : {dir.file("missing.xls"), foreign, truncated, longName}) {
    auto app = CreateOleObject("excel.application");
    EXPECT_THROW(app->WorkBooks().Open(bad), EOleError) << bad;
    EXPECT_THROW(app->WorkSheets(1), EOleError);  // nothing open
  }
  auto app = CreateOleObject("Excel.Application");
  app->WorkBooks().Open(path);
  EXPECT_THROW(app->WorkSheets(0), EOleError);
  EXPECT_THROW(app->WorkSheets(2), EOleError);
  auto sheet = app->WorkSheets(1);
  EXPECT_THROW(sheet->Cells(0, 1), EOleError);
  app->Quit();
  EXPECT_THROW(sheet->Cells(1, 1).Value(), EOleError);  // its workbook is closed
  EXPECT_THROW(app->ActiveWorkBook(), EOleError);
}

// The library allocates each sheet's declared used range whole as it opens
// the file: the few KB of these workbooks declare up to 1.6 GB of cells.
// Up to a million cells in all open whatever the file's size; beyond that,
// the workbook is refused before the library sees it.
TEST_F(ExcelAuto, AWorkbookDeclaringMoreCellsThanItHoldsIsRefusedAtOnce) {
  const XlsSheet full{"full", {{0, 0, 1.0}}, 65536, 256};
  const XlsSheet million{"million", {{0, 0, 1.0}}, 4096, 256};
  const XlsSheet oneRowMore{"more", {{0, 0, 1.0}}, 4097, 256};
  const XlsSheet half{"half", {{0, 0, 1.0}}, 2048, 300};
  struct TCase {
    const char* name;
    std::vector<XlsSheet> sheets;
    bool opens;
  } const cases[] = {
      {"six full sheets", {full, full, full, full, full, full}, false},
      {"one full sheet", {full}, false},
      {"a million cells", {million}, true},
      {"a row more", {oneRowMore}, false},
      {"two sheets, together more", {half, half}, false},
      {"a sparse sheet", {{"sparse", {{1999, 99, 2.0}}}}, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto app = CreateOleObject("Excel.Application");
    const std::string path = Workbook(c.sheets);
    const auto start = std::chrono::steady_clock::now();
    if (!c.opens) {
      EXPECT_THROW(app->WorkBooks().Open(path), EOleError);
      EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
      continue;
    }
    app->WorkBooks().Open(path);
    const TExcelRange used = app->WorkSheets(1)->UsedRange();
    EXPECT_EQ(used.Rows().Count() * used.Columns().Count(), c.sheets[0].Rows ? 4096 * 256 : 2000 * 100);
  }
}

TEST(VariantNumberText, WritesNumbersAsTheFrameworkDoes) {
  const std::pair<double, const char*> cases[] = {
      {12.5, "12.5"}, {42, "42"}, {-3, "-3"}, {0, "0"}, {0.1, "0.1"}, {1.0 / 3, "0.333333333333333"},
      {123456789012, "123456789012"}, {1e20, "1E20"}, {1.5e-7, "1.5E-7"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(VariantNumberText(value), text) << value;
}

}  // namespace
