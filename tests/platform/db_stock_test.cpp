// The stock card-holder table shipped in data/Mode/DATA.
#include <filesystem>
#include <gtest/gtest.h>

#include "dbtest_support.h"
#include "platform/dbtables.h"
#include "support/testenv.h"

namespace fs = std::filesystem;

namespace {

// A copy of the shipped table, so that nothing writes into the repository.
class StockTable : public ::testing::Test {
 protected:
  void SetUp() override {
    // tests/data/x -> the repository's folder
    const fs::path root = cwtest::DataPath("x").parent_path().parent_path().parent_path();
    const fs::path stock = root / "data" / "Mode" / "DATA";
    for (const char* name : {"data.DBF", "data.DBT", "data.MDX"}) fs::copy_file(stock / name, dir.path() / name);
    table.SetDatabaseName(dir.path().string());
    table.SetTableName("DATA.DBF");
    table.Open();
  }

  cwtest::TempDir dir;
  TTable table;
};

}  // namespace

TEST_F(StockTable, HoldsTheCardHolderColumns) {
  EXPECT_EQ(table.Level(), dbfLevel4);
  ASSERT_EQ(table.FieldCount(), 16);
  for (int i = 0; i < 13; ++i) {
    TField* text = table.Fields(i);
    EXPECT_EQ(text->FieldName, std::string(4, char('A' + i)));
    EXPECT_NE(dynamic_cast<TStringField*>(text), nullptr);
    EXPECT_EQ(text->Size, 60);
  }
  for (const char* name : {"PIC", "BACKGROUND", "BARCODE"})
    EXPECT_EQ(table.FieldByName(name)->DataType, ftBlob) << name;
}

TEST_F(StockTable, SampleRecordsCarryNamesAndPictures) {
  std::vector<std::string> names;
  for (; !table.Eof(); table.Next()) {
    names.push_back(table.FieldByName("AAAA")->GetAsString());
    const std::string photo = table.FieldByName("PIC")->GetAsString();
    const std::string background = table.FieldByName("BACKGROUND")->GetAsString();
    const std::string barcode = table.FieldByName("BARCODE")->GetAsString();
    EXPECT_EQ(photo.substr(0, 3), "\xFF\xD8\xFF");  // JPEG
    EXPECT_EQ(photo.substr(photo.size() - 2), "\xFF\xD9");
    for (const std::string& bmp : {background, barcode}) {
      ASSERT_GT(bmp.size(), 54u);
      EXPECT_EQ(bmp.substr(0, 2), "BM");
      EXPECT_EQ(dbtest::Le32(bmp, 2), bmp.size());  // the whole file
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"张三", "李四", "王小红"}));
  EXPECT_EQ(dbtest::ReadFile(dir.file("data.DBF"))[28], 0);  // no production index claimed
}

TEST_F(StockTable, ThirdPartyReaderSeesIt) {
  std::string listing;
  if (!dbtest::ReadWithDbfread(dir.file("data.DBF"), dir.path().string(), listing))
    GTEST_SKIP() << "python3 with dbfread missing";
  EXPECT_NE(listing.find("AAAA C 60\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("PIC B 10\nBACKGROUND B 10\nBARCODE B 10\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("王小红|女|财务部"), std::string::npos) << listing;
}
