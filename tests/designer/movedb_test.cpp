// The collect-save: the table's files copied through a temporary folder
// and the table bound to them only after every file arrived, the pictures
// and the template gathered beside them; and the stock-table guard, which
// offers it before a change, once per batch.
#include <gtest/gtest.h>

#include <QTest>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "designer/cardprogram.h"
#include "designer/cardtemplate.h"
#include "designer/collectsave.h"
#include "designer/dirunit.h"
#include "records/dbpicsu.h"
#include "records/tableguard.h"

using cardtest::CardProgram;
namespace fs = std::filesystem;

namespace {

const char kGuardMessage[] = "修改数据库前要先把数据库保存到你容易找到的目录中！";

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Names of entries of `folder` whose name starts with ".collect".
std::vector<std::string> Leftovers(const fs::path& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().rfind(".collect", 0) == 0) found.push_back(entry.path().string());
  return found;
}

class CollectSave : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = program_.MakeMainForm();
    FormPicEdit = MakeForm<TFormPicEdit>(Application);
    program_.Keep(FormPicEdit);
    FormDir = MakeForm<TFormDir>(Application);
    program_.Keep(FormDir);
    stock_ = program_.DataFolder() / "Mode" / "DATA";
    program_.dialogs.Records.clear();
  }

  fs::path NewFolder(const std::string& name) {
    const fs::path folder = program_.Home().File(name);
    fs::create_directories(folder);
    return folder;
  }
  fs::path CopyTable(const std::string& name) {
    const fs::path folder = NewFolder(name);
    for (const char* file : {"data.DBF", "data.DBT", "data.MDX"}) fs::copy_file(stock_ / file, folder / file);
    return folder;
  }
  void UseFolder(const fs::path& folder) {
    TTable* table = FormPicEdit->Table1;
    table->Close();
    table->SetDatabaseName(folder.string() + "/");
    table->SetTableName("data.DBF");
    table->Open();
  }
  // The user picks `folder` in the chooser and presses OK.
  void ChooseFolder(const fs::path& folder) {
    program_.dialogs.AnswerModal(mrOk, [folder](TCustomForm* form) {
      auto* chooser = dynamic_cast<TFormDir*>(form);
      ASSERT_NE(chooser, nullptr);
      EXPECT_FALSE(chooser->Label1->GetVisible());
      EXPECT_FALSE(chooser->FilterComboBox1->GetVisible());
      chooser->DirectoryListBox1->SetDirectory(folder.string());
    });
  }
  static std::vector<std::string> StoredNames(const fs::path& folder) {
    TTable table;
    table.SetDatabaseName(folder.string() + "/");
    table.SetTableName("data.DBF");
    table.Open();
    std::vector<std::string> names;
    for (table.First(); !table.Eof(); table.Next()) names.push_back(table.FieldByName("AAAA")->GetAsString());
    return names;
  }
  TTable* Table() const { return FormPicEdit->Table1; }
  // The texts of the message boxes shown so far.
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const TDialogRecord& record : program_.dialogs.Records)
      if (record.Kind == TDialogRecord::Message) texts.push_back(record.Text);
    return texts;
  }
  fs::path BoundFolder() const { return fs::path(Table()->FileName()).parent_path(); }
  void EditFirst(const std::string& name) {
    Table()->First();
    Table()->Edit();
    Table()->FieldByName("AAAA")->SetAsString(name);
  }
  void ExpectChooserRestored() {
    EXPECT_TRUE(FormDir->Label1->GetVisible());
    EXPECT_TRUE(FormDir->FilterComboBox1->GetVisible());
    EXPECT_FALSE(CollectMode);
    EXPECT_EQ(fs::path(IncludeTrailingPathDelimiter(GetCurrentDir())), fs::path(DataDir));
  }

  CardProgram program_;
  TMainForm* main_ = nullptr;
  fs::path stock_;
};

TEST_F(CollectSave, GathersTheTablePicturesAndTemplateIntoTheFolderAndUsesTheTableFromThere) {
  const fs::path cards = NewFolder("cards");
  std::ofstream(cards / "data.DBF") << "an older table, replaced whole";
  main_->LogoPath = program_.Data("Mode/SignPic.bmp");
  main_->SignPic->GetPicture()->LoadFromFile(main_->LogoPath);
  main_->SealPath = program_.Data("Mode/ZhangPic.bmp");
  main_->ImageZhang->GetPicture()->LoadFromFile(main_->SealPath);
  main_->Drawor->GetPicture()->GetBitmap()->SetSize(40, 30);
  const std::string oldFolder = Table()->GetDatabaseName();
  main_->MoveDBResult = 7;
  ChooseFolder(cards);
  main_->NMoveDB->Click();

  for (const char* file : {"data.DBF", "data.DBT", "data.MDX"}) EXPECT_EQ(Bytes(cards / file), Bytes(stock_ / file));
  for (const char* file : {"cards.jpg", "cards.pmt", "SignPic.bmp", "ZhangPic.bmp"})
    EXPECT_TRUE(fs::is_regular_file(cards / file)) << file;
  EXPECT_TRUE(Leftovers(cards).empty());
  EXPECT_EQ(main_->MoveDBResult, 0);
  EXPECT_EQ(BoundFolder(), cards);
  EXPECT_TRUE(Table()->GetActive());
  EXPECT_EQ(Table()->State(), dsEdit);
  EXPECT_EQ(main_->TemplatePath, (cards / "cards.pmt").string());
  EXPECT_EQ(main_->TemplateBGPath, (cards / "cards.jpg").string());
  EXPECT_EQ(main_->LogoPath, (cards / "SignPic.bmp").string());
  EXPECT_EQ(main_->SealPath, (cards / "ZhangPic.bmp").string());
  EXPECT_EQ(Shown().back(),
            "  成功! 数据库文件从：\n'" + oldFolder + "'  \n备份到：\n'" + (cards / "").string() + "'");
  // The template names the collected table and pictures.
  const CardTemplate saved = LoadCardTemplate((cards / "cards.pmt").string());
  EXPECT_EQ(saved.tableFolder, (cards / "").string());
  EXPECT_EQ(saved.layoutPath, (cards / "cards.jpg").string());
  EXPECT_EQ(saved.logoPath, (cards / "SignPic.bmp").string());
  ExpectChooserRestored();
}

TEST_F(CollectSave, CancelledRefusedOrFailedCollectsLeaveTheTableWhereItWas) {
  const fs::path work = CopyTable("work");
  const fs::path blocked = NewFolder("blocked");
  fs::create_directories(blocked / "data.MDX" / "inside");  // a folder cannot be replaced by the index file
  struct Case {
    const char* what;
    fs::path folder;  // empty: the chooser is cancelled
    std::vector<std::string> messages;
    int result;
  } cases[] = {
      {"cancelled", {}, {}, 7},
      {"under Mode", program_.DataFolder() / "Mode" / "DATA", {"不能集中保存到Mode文件夹中：它存放程序自带的模板和数据库。请另选一个文件夹！"}, 7},
      {"third file", blocked, {"备份数据库失败！", "  失败于备份第3个文件!"}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UseFolder(work);
    program_.dialogs.Records.clear();
    main_->MoveDBResult = 7;
    if (c.folder.empty())
      program_.dialogs.AnswerModal(mrCancel);
    else
      ChooseFolder(c.folder);
    main_->NMoveDB->Click();
    EXPECT_EQ(Shown(), c.messages);
    EXPECT_EQ(main_->MoveDBResult, c.result);
    EXPECT_EQ(BoundFolder(), work);
    EXPECT_TRUE(Table()->GetActive());
    EXPECT_EQ(program_.dialogs.Pending(), 0u);
    ExpectChooserRestored();
  }
  // Nothing reached the blocked folder, not even the files before the failure.
  EXPECT_FALSE(fs::exists(blocked / "data.DBF"));
  EXPECT_FALSE(fs::exists(blocked / "blocked.pmt"));
  EXPECT_TRUE(Leftovers(blocked).empty());
}

TEST_F(CollectSave, IntoTheTablesOwnFolderKeepsItsRecords) {
  const fs::path work = CopyTable("work");
  UseFolder(work);
  EditFirst("改过");
  Table()->Post();
  const std::vector<std::string> names = StoredNames(work);
  ChooseFolder(work);
  main_->NMoveDB->Click();
  EXPECT_EQ(main_->MoveDBResult, 0);
  EXPECT_EQ(StoredNames(work), names);
  EXPECT_EQ(BoundFolder(), work);
  EXPECT_TRUE(Leftovers(work).empty());
}

TEST_F(CollectSave, APendingChangeOfAnotherTableIsWrittenBeforeTheCopy) {
  const fs::path work = CopyTable("work");
  const fs::path cards = NewFolder("cards");
  UseFolder(work);
  EditFirst("先写入");
  ChooseFolder(cards);
  main_->NMoveDB->Click();
  EXPECT_EQ(StoredNames(work)[0], "先写入");
  EXPECT_EQ(StoredNames(cards)[0], "先写入");
}

// The stock template is never written: its Save runs the collect-save,
// whose own template save starts no second one.
TEST_F(CollectSave, SavingTheStockTemplateCollectsOnce) {
  const fs::path cards = NewFolder("cards");
  main_->TemplatePath = "Mode\\未命名.pmt";
  const std::string stockTemplate = Bytes(program_.DataFolder() / "Mode" / "未命名.pmt");
  ChooseFolder(cards);
  main_->NSave->Click();
  EXPECT_EQ(program_.dialogs.Pending(), 0u);
  size_t modal = 0;
  for (const TDialogRecord& record : program_.dialogs.Records) modal += record.Kind == TDialogRecord::Modal;
  EXPECT_EQ(modal, 1u);
  EXPECT_TRUE(fs::is_regular_file(cards / "cards.pmt"));
  EXPECT_EQ(Bytes(program_.DataFolder() / "Mode" / "未命名.pmt"), stockTemplate);
}

TEST(CollectTargets, NamesPathsAndRefusals) {
  const CollectTarget cards = CollectTargetOf("/home/user/cards/");
  EXPECT_EQ(cards.Folder, "/home/user/cards/");
  EXPECT_EQ(cards.TemplatePath, "/home/user/cards/cards.pmt");
  EXPECT_EQ(cards.PicturePath, "/home/user/cards/cards.jpg");
  EXPECT_EQ(CollectRefusal(cards), "");
  struct Case {
    const char* folder;
    bool refused;
  } cases[] = {{"/", true},          {"/srv/data/Mode", true}, {"/srv/data/mode/DATA", true},
               {"/srv/data/MODE/x", true}, {"/srv/models", false}, {"/srv/卡片", false}};
  for (const Case& c : cases) EXPECT_EQ(!CollectRefusal(CollectTargetOf(c.folder)).empty(), c.refused) << c.folder;
  EXPECT_EQ(TableSibling("/a/b/data.DBF", "MDX"), "/a/b/data.MDX");
}

class StockGuard : public CollectSave {
 protected:
  void SetUp() override {
    CollectSave::SetUp();
    ASSERT_TRUE(IsStockTable(Table(), main_->StartDir));
    before_ = StoredNames(stock_);
  }
  size_t GuardMessages() const {
    size_t n = 0;
    for (const std::string& text : Shown()) n += text == kGuardMessage;
    return n;
  }
  std::vector<std::string> before_;
};

TEST_F(StockGuard, AChangeGoesIntoTheCollectedCopyOrIsDropped) {
  const fs::path cards = NewFolder("cards");
  // Refused: the chooser is cancelled, the change is dropped.
  EditFirst("改过");
  program_.dialogs.AnswerModal(mrCancel);
  FormPicEdit->TBSaveClick(FormPicEdit);
  EXPECT_EQ(GuardMessages(), 1u);
  EXPECT_EQ(main_->MoveDBResult, 5);
  EXPECT_EQ(Table()->State(), dsBrowse);
  EXPECT_EQ(StoredNames(stock_), before_);

  // Collected: the edit and then a new record land in the copy.
  EditFirst("改过");
  ChooseFolder(cards);
  FormPicEdit->TBSaveClick(FormPicEdit);
  EXPECT_EQ(BoundFolder(), cards);
  EXPECT_EQ(StoredNames(stock_), before_);
  std::vector<std::string> expected = before_;
  expected[0] = "改过";
  EXPECT_EQ(StoredNames(cards), expected);
  FormPicEdit->TBAddClick(FormPicEdit);
  Table()->FieldByName("AAAA")->SetAsString("新人");
  Table()->Post();
  expected.push_back("新人");
  EXPECT_EQ(StoredNames(cards), expected);
  EXPECT_EQ(GuardMessages(), 2u);
}

TEST_F(StockGuard, ANewRecordOfTheStockTableIsCarriedIntoTheCopy) {
  const fs::path cards = NewFolder("cards");
  FormPicEdit->TBAddClick(FormPicEdit);
  Table()->FieldByName("AAAA")->SetAsString("新人");
  ChooseFolder(cards);
  Table()->Next();  // moving posts
  std::vector<std::string> expected = before_;
  expected.push_back("新人");
  EXPECT_EQ(StoredNames(cards), expected);
  EXPECT_EQ(StoredNames(stock_), before_);
}

// A name typed into the main window's grid on the stock table: the guard
// asks once, the chooser takes the focus from the grid, and the name lands
// in the collected copy.
TEST_F(StockGuard, ANameTypedIntoTheGridGoesIntoTheCollectedCopy) {
  const fs::path cards = NewFolder("cards");
  main_->Show();
  QWidget* grid = main_->DBGrid1->Widget();
  QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(40, 30));
  Table()->First();
  main_->DBGrid1->SetSelectedIndex(0);
  for (QChar ch : QStringLiteral("赵六")) QTest::sendKeyEvent(QTest::Click, grid, Qt::Key_unknown, QString(ch), {});
  ASSERT_EQ(Table()->State(), dsEdit);
  program_.dialogs.AnswerModal(mrOk, [&](TCustomForm* form) {
    form->SetFocus();
    QCoreApplication::processEvents();
    static_cast<TFormDir*>(form)->DirectoryListBox1->SetDirectory(cards.string());
  });
  QTest::keyClick(grid, Qt::Key_Down);
  std::vector<std::string> expected = before_;
  expected[0] = "赵六";
  EXPECT_EQ(StoredNames(cards), expected);
  EXPECT_EQ(StoredNames(stock_), before_);
  EXPECT_EQ(GuardMessages(), 1u);
  main_->Hide();
}

TEST_F(StockGuard, DeleteAndEmptyOfferTheMoveBeforeTheyAsk) {
  // Declined: nothing is deleted or emptied, and their own questions never come.
  program_.dialogs.AnswerModal(mrCancel);
  FormPicEdit->TBReduceClick(FormPicEdit);
  program_.dialogs.AnswerModal(mrCancel);
  FormPicEdit->TBClearClick(FormPicEdit);
  EXPECT_EQ(Shown(), std::vector<std::string>(2, kGuardMessage));
  EXPECT_EQ(StoredNames(stock_), before_);
  // A delete reaching the table from elsewhere is refused the same way.
  program_.dialogs.AnswerModal(mrCancel);
  Table()->First();
  EXPECT_THROW(Table()->Delete(), EAbort);
  EXPECT_EQ(StoredNames(stock_), before_);

  // Collected for the emptying: it asks, then empties the copy.
  const fs::path cards = NewFolder("cards");
  program_.dialogs.Records.clear();
  ChooseFolder(cards);
  program_.dialogs.Answer(IDOK);
  FormPicEdit->TBClearClick(FormPicEdit);
  EXPECT_EQ(Shown().front(), kGuardMessage);
  EXPECT_EQ(Shown().back(), "真的要清空数据库中的全部记录吗？");
  EXPECT_TRUE(StoredNames(cards).empty());
  EXPECT_EQ(StoredNames(stock_), before_);
}

TEST_F(StockGuard, ABatchAsksOnceAndNeverGoesOnInARebindTable) {
  {  // Declined: the batch does not start.
    program_.dialogs.AnswerModal(mrCancel);
    TTableBatch batch;
    EXPECT_FALSE(batch.Ok());
  }
  EXPECT_EQ(GuardMessages(), 1u);

  const fs::path cards = NewFolder("cards");
  ChooseFolder(cards);
  {
    TTableBatch batch;
    ASSERT_TRUE(batch.Ok());
    EXPECT_EQ(RunningTableBatch(), &batch);
    // A walk that edits every record asks nothing more.
    for (Table()->First(); !Table()->Eof() && batch.Ok(); Table()->Next()) {
      Table()->Edit();
      Table()->FieldByName("BBBB")->SetAsString("批量");
    }
    EXPECT_TRUE(batch.Ok());
    // Bound elsewhere (here: the stock table again) the batch stops, and a
    // post there is dropped without a question.
    UseFolder(stock_);
    EXPECT_FALSE(batch.Ok());
    EditFirst("不该写入");
    Table()->Post();
    EXPECT_EQ(StoredNames(stock_), before_);
  }
  EXPECT_EQ(RunningTableBatch(), nullptr);
  EXPECT_EQ(GuardMessages(), 2u);
  TTable copy;
  copy.SetDatabaseName(cards.string() + "/");
  copy.SetTableName("data.DBF");
  copy.Open();
  for (copy.First(); !copy.Eof(); copy.Next()) EXPECT_EQ(copy.FieldByName("BBBB")->GetAsString(), "批量");
}

TEST_F(StockGuard, ABatchStopsWhenItsTableIsOpenedAgain) {
  const fs::path work = CopyTable("work");
  UseFolder(work);
  TTableBatch batch;
  ASSERT_TRUE(batch.Ok());
  Table()->Close();
  Table()->Open();
  EXPECT_FALSE(batch.Ok());
  EXPECT_EQ(GuardMessages(), 0u);
}

}  // namespace
