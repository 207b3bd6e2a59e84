// The card batch window's records: browsing, adding, editing, deleting,
// emptying and finding, the live card, and the guard on the stock database.
#include <gtest/gtest.h>

#include <QTest>

#include <filesystem>
#include <string>
#include <vector>

#include "batchwindow.h"
#include "designer/cardprogram.h"
#include "imaging/view/dbpix.h"
#include "platform/menus.h"
#include "records/dbpicsu.h"

using cardtest::CardProgram;
namespace fs = std::filesystem;

namespace {

const char kGuardMessage[] = "修改数据库前要先把数据库保存到你容易找到的目录中！";

class CardTable : public cardtest::BatchWindowTest {
 protected:
  // A copy of the stock table in a folder of its own.
  std::string CopyTable(const std::string& name) {
    const fs::path folder = program_.DataFolder() / name;
    fs::create_directories(folder);
    for (const char* file : {"data.DBF", "data.DBT", "data.MDX"})
      fs::copy_file(program_.DataFolder() / "Mode" / "DATA" / file, folder / file);
    return folder.string() + "/";
  }
  void UseCopy() { UseFolder(CopyTable("work")); }

  // The AAAA texts stored in the table file of `folder`.
  static std::vector<std::string> StoredNames(const std::string& folder) {
    TTable table;
    table.SetDatabaseName(folder);
    table.SetTableName("data.DBF");
    table.Open();
    std::vector<std::string> names;
    for (table.First(); !table.Eof(); table.Next()) names.push_back(table.FieldByName("AAAA")->GetAsString());
    return names;
  }
  std::string Current(const char* field = "AAAA") const {
    return form_->Table1->FieldByName(field)->GetAsString();
  }
  void SetCurrent(const char* field, const std::string& value) {
    form_->Table1->FieldByName(field)->SetAsString(value);
  }
};

TEST_F(CardTable, ToolButtonsBrowseTheRecordsAndTheLiveCardFollows) {
  UseCopy();
  using Click = void (*)(TFormPicEdit*);
  const Click end = [](TFormPicEdit* f) { f->TBEndClick(f); };
  const Click prior = [](TFormPicEdit* f) { f->TBPriorClick(f); };
  const Click first = [](TFormPicEdit* f) { f->TBFirstClick(f); };
  const Click next = [](TFormPicEdit* f) { f->TBNextClick(f); };
  struct Step {
    Click click;
    const char* name;
  } steps[] = {{end, "王小红"}, {prior, "李四"}, {first, "张三"}, {next, "李四"}, {next, "王小红"}, {next, "王小红"}};
  for (const Step& step : steps) {
    step.click(form_);
    EXPECT_EQ(Current(), step.name);
    EXPECT_EQ(PreviewTexts[0]->GetCaption(), step.name);
  }
  // The live card shows every text field of the current record.
  EXPECT_EQ(PreviewTexts[1]->GetCaption(), Current("BBBB"));
  EXPECT_EQ(static_cast<TDBText*>(PreviewTexts[1])->GetDataField(), "BBBB");
}

TEST_F(CardTable, RepaintCopiesTheDesignTextsAndPairsTheButtonsWithTheNavigator) {
  UseCopy();
  main_->DBTexts[2]->SetBounds(31, 47, 90, 17);
  main_->DBTexts[2]->SetVisible(true);
  main_->TitleLabels[2]->SetCaption("部门：");
  main_->TitleLabels[2]->SetBounds(5, 47, 25, 17);
  main_->TitleLabels[2]->SetVisible(true);
  form_->TBFirstClick(form_);
  EXPECT_EQ(PreviewTexts[2]->GetLeft(), 31);
  EXPECT_EQ(PreviewTexts[2]->GetWidth(), 90);
  EXPECT_TRUE(PreviewTexts[2]->GetVisible());
  EXPECT_EQ(PreviewTexts[kTextSlots + 2]->GetCaption(), "部门：");
  EXPECT_EQ(PreviewTexts[kTextSlots + 2]->GetTop(), 47);

  auto check = [this](bool first, bool next, bool save, bool edit) {
    EXPECT_EQ(form_->TBFirst->GetEnabled(), first);
    EXPECT_EQ(form_->TBPrior->GetEnabled(), first);
    EXPECT_EQ(form_->TBNext->GetEnabled(), next);
    EXPECT_EQ(form_->TBEnd->GetEnabled(), next);
    EXPECT_EQ(form_->TBSave->GetEnabled(), save);    // the navigator's edit
    EXPECT_EQ(form_->TBEdit->GetEnabled(), edit);    // the navigator's post
    EXPECT_EQ(form_->TBCancel->GetEnabled(), edit);
    EXPECT_TRUE(form_->TBAdd->GetEnabled());
    EXPECT_TRUE(form_->TBRefresh->GetEnabled());
  };
  {
    SCOPED_TRACE("first record, browsing");
    check(false, true, true, false);
  }
  form_->TBEditClick(form_);
  {
    SCOPED_TRACE("editing");
    ASSERT_EQ(form_->Table1->State(), dsEdit);
    check(false, true, false, true);
  }
  form_->TBCancelClick(form_);
  form_->TBEndClick(form_);
  {
    SCOPED_TRACE("last record");
    check(true, false, true, false);
  }
}

TEST_F(CardTable, AddedAndEditedRecordsAreStored) {
  const std::string folder = CopyTable("work");
  UseFolder(folder);
  form_->TBAddClick(form_);
  EXPECT_EQ(form_->Table1->State(), dsInsert);
  EXPECT_EQ(form_->PixDBView11->GetDataFieldImageFormat(), ifJpeg);
  SetCurrent("AAAA", "赵六");
  form_->TBSaveClick(form_);
  EXPECT_EQ(form_->Table1->State(), dsBrowse);

  form_->TBFirstClick(form_);
  form_->TBEditClick(form_);
  SetCurrent("AAAA", "张三丰");
  form_->TBNextClick(form_);  // moving posts the edit
  EXPECT_EQ(StoredNames(folder), (std::vector<std::string>{"张三丰", "李四", "王小红", "赵六"}));
  EXPECT_TRUE(program_.Messages().empty());
}

TEST_F(CardTable, DeleteCancelsAPendingChangeAndOtherwiseDeletesAfterAsking) {
  const std::string folder = CopyTable("work");
  UseFolder(folder);
  form_->TBAddClick(form_);
  SetCurrent("AAAA", "赵六");
  form_->TBReduceClick(form_);
  EXPECT_EQ(form_->Table1->State(), dsBrowse);
  EXPECT_EQ(form_->Table1->RecordCount(), 3);

  form_->TBFirstClick(form_);
  form_->TBEditClick(form_);
  SetCurrent("AAAA", "改过");
  form_->TBReduceClick(form_);
  EXPECT_EQ(form_->Table1->RecordCount(), 3);
  EXPECT_EQ(Current(), "张三");

  EXPECT_TRUE(program_.dialogs.Records.empty());  // a cancel asks nothing

  // No keeps the record, Yes deletes it.
  program_.dialogs.Answer(IDNO);
  form_->TBReduceClick(form_);
  EXPECT_EQ(StoredNames(folder).size(), 3u);
  program_.dialogs.Answer(IDYES);
  form_->TBReduceClick(form_);
  EXPECT_EQ(StoredNames(folder), (std::vector<std::string>{"李四", "王小红"}));
  ASSERT_EQ(program_.dialogs.Records.size(), 2u);
  EXPECT_EQ(program_.dialogs.Records[0].Text, "真的要删除当前记录吗？");
  EXPECT_EQ(program_.dialogs.Records[0].Caption, "删除");
}

TEST_F(CardTable, ClearEmptiesTheTableAndSaveThenStoresOneEmptyRecord) {
  const std::string folder = CopyTable("work");
  UseFolder(folder);
  // Cancel at the question empties nothing; OK empties the table.
  program_.dialogs.Answer(IDCANCEL);
  form_->TBClearClick(form_);
  EXPECT_EQ(StoredNames(folder).size(), 3u);
  program_.dialogs.Answer(IDOK);
  form_->TBClearClick(form_);
  ASSERT_EQ(program_.Messages(), std::vector<std::string>(2, "真的要清空数据库中的全部记录吗？"));
  EXPECT_EQ(program_.dialogs.Records[0].Caption, "注意");
  EXPECT_FALSE(form_->Table1->GetActive());
  EXPECT_TRUE(form_->Table1->GetExclusive());
  EXPECT_TRUE(StoredNames(folder).empty());

  form_->FormActivate(form_);
  ASSERT_TRUE(form_->Table1->GetActive());
  EXPECT_EQ(form_->Table1->RecordCount(), 0);
  form_->TBSaveClick(form_);
  EXPECT_EQ(form_->Table1->RecordCount(), 1);
  EXPECT_TRUE(form_->Table1->FieldByName("AAAA")->IsNull());
  form_->FormActivate(form_);  // an open table stays as it is
  EXPECT_EQ(form_->Table1->RecordCount(), 1);
}

TEST_F(CardTable, FindStepsThroughTheHitsAndStartsOverAfterTheEnd) {
  UseCopy();
  form_->TBFirstClick(form_);
  form_->TBNextClick(form_);  // on 李四, the only record with that text
  form_->EditFind->SetText("  李四 ");
  form_->ButtonOkClick(form_);
  EXPECT_TRUE(form_->Table1->Eof());
  EXPECT_EQ(form_->ButtonOk->GetCaption(), "从头搜索：");
  form_->ButtonOkClick(form_);
  EXPECT_EQ(Current(), "李四");
  EXPECT_EQ(form_->DBGrid1->GetSelectedIndex(), 0);
  EXPECT_EQ(form_->ButtonOk->GetCaption(), "搜索下一个：");
}

TEST_F(CardTable, FindMatchesPartsOfAnyColumnAndNeverAnEmptyText) {
  UseCopy();
  form_->TBFirstClick(form_);
  // The first hit in the current record's next records, column by column.
  form_->TBEndClick(form_);
  const std::string department = Current("CCCC");
  ASSERT_FALSE(department.empty());
  const std::string part = department.substr(0, 3);  // one GBK character, in UTF-8

  struct Case {
    std::string text;
    bool found;
  } cases[] = {{part, true}, {"", false}, {"   ", false}, {"没有这个", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    form_->Table1->Last();
    form_->Table1->Next();  // at the end, so the search starts at the top
    ASSERT_TRUE(form_->Table1->Eof());
    form_->EditFind->SetText(c.text);
    form_->ButtonOkClick(form_);
    EXPECT_EQ(form_->Table1->Eof(), !c.found);
    if (c.found) {
      EXPECT_NE(Current(form_->DBGrid1->Columns()->Items(form_->DBGrid1->GetSelectedIndex())->GetFieldName().c_str())
                    .find(part),
                std::string::npos);
    }
  }
}

// The stock table's folder in the spellings the program may meet.
TEST_F(CardTable, GuardRefusesChangesToTheStockDatabaseWhenNothingIsCollected) {
  const std::string start = main_->StartDir;
  ASSERT_FALSE(start.empty());
  const std::string stock = program_.Data("Mode/DATA") + "/";
  const std::vector<std::string> before = StoredNames(stock);
  fs::copy_file(program_.Data("Mode/DATA/data.DBF"), program_.Data("Mode/data.DBF"));
  fs::copy_file(program_.Data("Mode/DATA/data.DBT"), program_.Data("Mode/data.DBT"));
  const std::string folders[] = {main_->AppDir + "data\\Mode\\data\\", start + "/mode/DATA", start + "\\MODE\\Data\\",
                                 start + "//Mode/", start + "\\Mode"};
  for (const std::string& folder : folders) {
    SCOPED_TRACE(folder);
    UseFolder(folder);
    program_.dialogs.Records.clear();
    form_->TBFirstClick(form_);
    form_->TBEditClick(form_);
    SetCurrent("AAAA", "改过");
    form_->TBSaveClick(form_);  // an explicit post
    EXPECT_EQ(program_.Messages(), std::vector<std::string>{kGuardMessage});
    EXPECT_EQ(main_->MoveDBResult, 5);
    EXPECT_EQ(form_->Table1->State(), dsBrowse);
    EXPECT_EQ(Current(), "张三");

    form_->TBEditClick(form_);
    SetCurrent("AAAA", "改过");
    form_->TBNextClick(form_);  // a post by moving: the change goes, the move happens
    EXPECT_EQ(Current(), "李四");
    EXPECT_EQ(program_.Messages().size(), 2u);
    EXPECT_EQ(StoredNames(folder), before);
  }
}

TEST_F(CardTable, GuardLeavesOtherFoldersAlone) {
  const std::string folder = CopyTable("Mode/DATA/copy");
  UseFolder(folder);
  form_->TBEditClick(form_);
  SetCurrent("AAAA", "改过");
  form_->TBSaveClick(form_);
  EXPECT_TRUE(program_.Messages().empty());
  EXPECT_EQ(StoredNames(folder)[0], "改过");
}

TEST_F(CardTable, GuardRunsTheCollectSaveAndDropsTheChangeWhenTheTableMoved) {
  const std::string stock = program_.Data("Mode/DATA") + "/";
  const std::string moved = CopyTable("moved");
  const std::vector<std::string> before = StoredNames(stock);
  auto* item = dynamic_cast<TMenuItem*>(main_->FindComponent("NMoveDB"));
  if (item == nullptr) {
    item = new TMenuItem(main_);
    item->Name = "NMoveDB";
  }
  // Stands in for the user choosing each answer of the collect-save.
  for (const bool collected : {false, true}) {
    SCOPED_TRACE(collected);
    int runs = 0;
    item->OnClick = [&](TObject*) {
      ++runs;
      if (!collected) return;
      UseFolder(moved);
      main_->MoveDBResult = 0;
    };
    UseFolder(main_->AppDir + "data\\Mode\\data\\");
    form_->TBFirstClick(form_);
    form_->TBEditClick(form_);
    SetCurrent("AAAA", "改过");
    form_->TBSaveClick(form_);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(form_->Table1->State(), dsBrowse);
    EXPECT_EQ(StoredNames(stock), before);
  }
  // The table now lives in the collected folder, untouched by the dropped change.
  EXPECT_EQ(form_->Table1->GetDatabaseName(), moved);
  EXPECT_EQ(StoredNames(moved), before);
}

// A name typed into the window's grid and committed by moving on meets the
// same guard: on the stock table the message shows and the file keeps its
// names; on a copy the name is stored.
TEST_F(CardTable, NamesTypedIntoTheGridAreStoredOrRefusedByTheGuard) {
  const std::string stock = program_.Data("Mode/DATA") + "/";
  const std::string copy = CopyTable("work");
  const std::vector<std::string> before = StoredNames(stock);
  form_->Show();
  for (const std::string& folder : {main_->AppDir + "data\\Mode\\data\\", copy}) {
    SCOPED_TRACE(folder);
    UseFolder(folder);
    program_.dialogs.Records.clear();
    QWidget* grid = form_->DBGrid1->Widget();
    ASSERT_NE(grid, nullptr);
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->rect().center());
    ASSERT_TRUE(form_->DBGrid1->Focused());
    form_->Table1->First();
    form_->DBGrid1->SetSelectedIndex(0);
    for (QChar ch : QStringLiteral("赵六")) QTest::sendKeyEvent(QTest::Click, grid, Qt::Key_unknown, QString(ch), {});
    EXPECT_EQ(form_->Table1->State(), dsEdit);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(form_->Table1->State(), dsBrowse);
    EXPECT_EQ(program_.Messages(), folder == copy ? std::vector<std::string>{} : std::vector<std::string>{kGuardMessage});
  }
  EXPECT_EQ(StoredNames(stock), before);
  EXPECT_EQ(StoredNames(copy)[0], "赵六");
}

TEST_F(CardTable, ThePreviewTextsLeaveWithTheWindow) {
  ASSERT_NE(PreviewTexts[0], nullptr);
  program_.Forget(form_);
  form_->Free();
  for (TLabel* text : PreviewTexts) EXPECT_EQ(text, nullptr);
}

}  // namespace
