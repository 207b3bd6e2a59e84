// The folder-and-format chooser under real input: the format list, the
// folder list, the desktop's folder browser, new folders inside the chosen
// one, and OK and Cancel ending its modal run.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTimer>

#include <filesystem>

#include "designer/cardprogram.h"
#include "designer/dirunit.h"
#include "platform/commdlg.h"
#include "platform/qt_input.h"

using cardtest::CardProgram;
namespace fs = std::filesystem;

namespace {

class FolderChooser : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = program_.MakeMainForm();
    FormDir = MakeForm<TFormDir>(Application);
    program_.Keep(FormDir);
    form_ = FormDir;
    root_ = program_.Home().File("pictures");
    fs::create_directories(root_);
    form_->DirectoryListBox1->SetDirectory(root_.string());
    form_->Show();
    program_.dialogs.Records.clear();
  }
  void TearDown() override { form_->Hide(); }

  void Paint() {
    form_->Widget()->repaint();
    QCoreApplication::processEvents();
  }
  void ExpectInDataFolder() {
    EXPECT_EQ(fs::path(IncludeTrailingPathDelimiter(GetCurrentDir())), fs::path(DataDir));
  }

  CardProgram program_;
  TMainForm* main_ = nullptr;
  TFormDir* form_ = nullptr;
  fs::path root_;
};

TEST_F(FolderChooser, OffersJpgFirstAndKeepsTheUsersFormatOverRepaints) {
  Paint();
  TFilterComboBox* formats = form_->FilterComboBox1;
  EXPECT_EQ(formats->GetFilter(), kPictureFormatFilter);
  ASSERT_EQ(formats->GetItems()->Count(), 13);
  EXPECT_EQ(formats->GetText(), "JPG");
  // Down three times: JPG, TIF, PCX, PNG.
  QWidget* combo = formats->Widget();
  combo->setFocus();
  for (int i = 0; i < 3; ++i) QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(formats->GetText(), "PNG");
  Paint();
  EXPECT_EQ(formats->GetText(), "PNG");
}

TEST_F(FolderChooser, NewFolderNamesStayInsideTheChosenFolder) {
  fs::create_directories(root_ / "已有");
  struct Case {
    const char* name;
    bool created;
    bool refused;
  } cases[] = {{"新卡片", true, false}, {"已有", false, false}, {"", false, false},  {"..", false, true},
               {"../外面", false, true}, {"a/b", false, true},   {"a\\b", false, true}, {".", false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    program_.dialogs.Records.clear();
    const auto before = std::distance(fs::directory_iterator(root_), {});
    const auto outside = std::distance(fs::directory_iterator(root_.parent_path()), {});
    form_->Edit1->SetText("");
    WidgetClick(form_->Edit1, {5, 5});
    for (QChar ch : QString::fromUtf8(c.name))
      QTest::sendKeyEvent(QTest::Click, form_->Edit1->Widget(), Qt::Key_unknown, QString(ch), {});
    ASSERT_EQ(form_->Edit1->GetText(), c.name);
    WidgetClick(form_->SpeedButton1, {5, 5});
    EXPECT_EQ(std::distance(fs::directory_iterator(root_), {}), before + (c.created ? 1 : 0));
    EXPECT_EQ(std::distance(fs::directory_iterator(root_.parent_path()), {}), outside);
    EXPECT_EQ(program_.dialogs.Records.size(), c.refused ? 1u : 0u);
    // A refused name stays to be corrected; otherwise the box is cleared.
    EXPECT_EQ(form_->Edit1->GetText(), c.refused ? c.name : "");
    ExpectInDataFolder();
  }
  EXPECT_TRUE(fs::is_directory(root_ / "新卡片"));
  // The new folder is listed.
  bool listed = false;
  for (int i = 0; i < form_->DirectoryListBox1->GetItems()->Count(); ++i)
    listed |= form_->DirectoryListBox1->GetItems()->Get(i) == "新卡片";
  EXPECT_TRUE(listed);
}

TEST_F(FolderChooser, TheFolderBrowsersChoiceBecomesTheListsFolder) {
  const fs::path chosen = root_ / "卡片";
  fs::create_directories(chosen);
  program_.dialogs.AnswerDialog([](TCommonDialog*) { return false; });
  WidgetClick(form_->SpeedButton2, {5, 5});
  EXPECT_EQ(form_->DirectoryListBox1->GetDirectory(), root_.string());
  program_.dialogs.AnswerDialog([&](TCommonDialog* dialog) {
    auto* browser = dynamic_cast<TFolderDialog*>(dialog);
    EXPECT_EQ(browser->Caption, "Select Directory");
    return browser->ChooseFolder(chosen.string());
  });
  WidgetClick(form_->SpeedButton2, {5, 5});
  EXPECT_EQ(form_->DirectoryListBox1->GetDirectory(), chosen.string());
  EXPECT_EQ(form_->Edit2->GetText(), chosen.string());
  ExpectInDataFolder();
  // A double click on the parent entry moves up; the edit follows.
  QWidget* list = form_->DirectoryListBox1->Widget();
  const int parentRow = form_->DirectoryListBox1->GetItems()->IndexOf("pictures");
  ASSERT_GE(parentRow, 0);
  const int rowHeight = form_->DirectoryListBox1->ItemHeight;
  QTest::mouseDClick(list, Qt::LeftButton, {}, QPoint(10, parentRow * rowHeight + rowHeight / 2));
  EXPECT_EQ(form_->DirectoryListBox1->GetDirectory(), root_.string());
  EXPECT_EQ(form_->Edit2->GetText(), root_.string());
  ExpectInDataFolder();
}

TEST_F(FolderChooser, OkAndCancelEndItsModalRun) {
  form_->Hide();
  struct Case {
    TButton* button;
    TModalResult result;
  } cases[] = {{form_->Button1, mrOk}, {form_->Button2, mrCancel}};
  for (const Case& c : cases) {
    program_.dialogs.AnswerModalByLoop();
    QTimer::singleShot(0, [&] { WidgetClick(c.button, {5, 5}); });
    EXPECT_EQ(form_->ShowModal(), c.result);
  }
}

}  // namespace
