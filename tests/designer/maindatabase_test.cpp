// The main window's batch-window and table-choice commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "designer/cardprogram.h"
#include "platform/commdlg.h"
#include "platform/dbf.h"
#include "records/dbpicsu.h"

using cardtest::CardProgram;
namespace fs = std::filesystem;

namespace {

class TableChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = program_.MakeMainForm();
    FormPicEdit = MakeForm<TFormPicEdit>(Application);
    program_.Keep(FormPicEdit);
    stockFolder_ = FormPicEdit->Table1->GetDatabaseName();
    program_.dialogs.Records.clear();
  }

  // The user picks `file` in the open dialog (an empty name cancels it).
  void Choose(const std::string& file) {
    program_.dialogs.AnswerDialog([file](TCommonDialog* dialog) {
      if (file.empty()) return false;
      static_cast<TOpenDialog*>(dialog)->FileName = file;
      return true;
    });
    SetCurrentDir(program_.Home().File(""));  // the dialog may have moved it
    main_->NOpenDB->Click();
  }

  std::string CopyStockTable(const std::string& name) {
    const fs::path folder = program_.DataFolder() / name;
    fs::create_directories(folder);
    for (const char* file : {"data.DBF", "data.DBT", "data.MDX"})
      fs::copy_file(program_.DataFolder() / "Mode" / "DATA" / file, folder / file);
    return (folder / "data.DBF").string();
  }

  CardProgram program_;
  TMainForm* main_ = nullptr;
  std::string stockFolder_;
};

TEST_F(TableChoice, ACardTableIsBoundInEditStateAndNamed) {
  const std::string chosen = CopyStockTable("copy");
  Choose(chosen);
  TTable* table = FormPicEdit->Table1;
  EXPECT_TRUE(table->GetActive());
  EXPECT_EQ(table->State(), dsEdit);
  EXPECT_EQ(fs::path(table->GetDatabaseName() + table->GetTableName()), fs::path(chosen));
  ASSERT_EQ(program_.Messages().size(), 2u);  // the dialog, then the message
  EXPECT_EQ(program_.Messages().back(), "当前数库目录为：" + table->GetDatabaseName());
  EXPECT_EQ(main_->OpenDialog1->Filter, "(*.dbf)|*.dbf");
  EXPECT_EQ(fs::path(IncludeTrailingPathDelimiter(GetCurrentDir())), fs::path(DataDir));
}

TEST_F(TableChoice, OtherFilesAndCancelLeaveTheTableBound) {
  const std::string garbage = program_.Data("garbage.dbf");
  std::ofstream(garbage, std::ios::binary) << "not a table at all";
  // A well-formed table without the card's fields.
  const std::string plain = program_.Data("plain.dbf");
  TDbfTable::Create(plain, dbfLevel4, {TDbfField{"NAME", 'C', 20}});
  struct Case {
    std::string file;
    bool refused;
  } cases[] = {{garbage, true}, {plain, true}, {"", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    program_.dialogs.Records.clear();
    Choose(c.file);
    TTable* table = FormPicEdit->Table1;
    EXPECT_TRUE(table->GetActive());
    EXPECT_EQ(table->GetDatabaseName(), stockFolder_);
    EXPECT_EQ(program_.Messages().size(), c.refused ? 2u : 1u);
    if (c.refused) {
      EXPECT_NE(program_.Messages().back().find("不能选用此数据库"), std::string::npos);
    }
    EXPECT_EQ(fs::path(IncludeTrailingPathDelimiter(GetCurrentDir())), fs::path(DataDir));
  }
}

TEST(BatchWindowCommand, ShowsTheBatchWindow) {
  CardProgram program;
  TMainForm* main = program.MakeMainForm();
  FormPicEdit = MakeForm<TFormPicEdit>(Application);
  program.Keep(FormPicEdit);
  main->NPicEdit->Click();
  EXPECT_TRUE(FormPicEdit->GetVisible());
  FormPicEdit->Hide();
}

}  // namespace
