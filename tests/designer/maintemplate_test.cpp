// The template commands of the main window through their keys and dialogs:
// open, save as, save, the round trip of a moved text, and a bad template
// refused whole.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <fstream>

#include "cardprogram.h"
#include "designer/cardtemplate.h"
#include "designer/templatescramble.h"
#include "imaging/view/qrdbpix.h"
#include "platform/qt_input.h"
#include "records/dbpicsu.h"

using cardtest::CardProgram;
namespace fs = std::filesystem;

namespace {

class TemplateCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    TextPlacementArmed = false;
    TextsShown = true;
    f = program.MakeMainForm();
    FormPicEdit = MakeForm<TFormPicEdit>(Application);
    program.Keep(FormPicEdit);
    f->OnShow = nullptr;
    f->OnActivate = nullptr;
    f->Show();
    // The start-up read, as the window's show runs it: no dialog.
    ASSERT_TRUE(f->OpenNoDialog);
    QTest::keyClick(f->Widget(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_FALSE(f->OpenNoDialog);
    program.dialogs.Records.clear();
  }

  // The user chooses `file` in the next file dialog (empty: Cancel).
  void Choose(const std::string& file) {
    program.dialogs.AnswerDialog([file](TCommonDialog* dialog) {
      if (file.empty()) return false;
      static_cast<TOpenDialog*>(dialog)->FileName = file;
      return true;
    });
  }
  void OpenByKey(const std::string& file) {
    Choose(file);
    QTest::keyClick(f->Widget(), Qt::Key_O, Qt::ControlModifier);
  }
  void SaveAs(const std::string& file) {
    Choose(file);
    f->NSaveAs->Click();
  }

  void Mouse(QEvent::Type type, TPoint at, Qt::MouseButtons buttons) {
    QWidget* w = HostWidget(f->Panel2, at);
    const QPointF local(at.x, at.y);
    QMouseEvent event(type, local, w->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
  }
  // Drags a text by its middle by (dx, dy) with the mouse.
  void Drag(TControl* text, int dx, int dy) {
    f->Shape1->Hide();
    const TPoint at{text->GetLeft() + text->GetWidth() / 2, text->GetTop() + text->GetHeight() / 2};
    Mouse(QEvent::MouseMove, at, Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
    Mouse(QEvent::MouseMove, {at.x + dx, at.y + dy}, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, {at.x + dx, at.y + dy}, Qt::NoButton);
  }

  std::string Stock() const { return program.Data("Mode/未命名.pmt"); }

  CardProgram program;
  TMainForm* f = nullptr;
};

TEST_F(TemplateCommands, OpenedStockTemplateShowsItsTextsAndBindsItsTable) {
  OpenByKey(Stock());
  EXPECT_EQ(program.dialogs.Pending(), 0u);
  EXPECT_TRUE(f->NSave->GetEnabled());
  EXPECT_EQ(f->CheckListBox1->GetItems()->Get(0), "姓名");
  EXPECT_EQ(f->CheckListBox2->GetItems()->Get(12), "标题13");
  EXPECT_TRUE(f->CheckListBox1->GetChecked(0));
  EXPECT_FALSE(f->CheckListBox1->GetChecked(3));
  EXPECT_TRUE(f->DBTexts[0]->GetVisible());
  EXPECT_FALSE(f->TitleLabels[0]->GetVisible());
  EXPECT_EQ(f->DBGrid1->Columns()->Items(1)->Title()->GetCaption(), "性别");
  EXPECT_TRUE(FormPicEdit->Table1->GetActive());
  EXPECT_EQ(fs::path(FormPicEdit->Table1->GetDatabaseName()), fs::path(program.Data("Mode/DATA/")));
  EXPECT_GT(f->Drawor->GetPicture()->GetWidth(), 0);
  EXPECT_FALSE(f->Shape1->GetVisible());
  for (const std::string& text : program.Messages()) EXPECT_EQ(text.find("不存在"), std::string::npos) << text;
}

TEST_F(TemplateCommands, MovedTextSurvivesSaveAsAndReopen) {
  OpenByKey(Stock());
  TDBText* name = f->DBTexts[0];
  const TPoint before{name->GetLeft(), name->GetTop()};
  Drag(name, 17, 9);
  ASSERT_EQ(name->GetLeft(), before.x + 17);
  // Page values keep whole millimetres; the picture options come back too.
  f->QuickRep1->Page.BottomMargin = 12.7;
  f->QRDBPicOne->Fit = false;
  const CardTemplate moved = f->GatherTemplate();
  EXPECT_EQ(moved.pageData[63], 12);

  const std::string copy = program.Home().File("mine/卡片 一.pmt");
  fs::create_directories(fs::path(copy).parent_path());
  SaveAs(copy);
  ASSERT_TRUE(fs::exists(copy));
  EXPECT_EQ(f->TemplatePath, copy);
  EXPECT_EQ(f->RecentFiles[0], copy);
  EXPECT_EQ(f->RecentIndex, 1);
  EXPECT_EQ(LoadCardTemplate(copy), moved);

  // Saving again gives the same bytes; the file is stored scrambled.
  std::ifstream first(copy, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(first)), {});
  QTest::keyClick(f->Widget(), Qt::Key_S, Qt::ControlModifier);
  std::ifstream second(copy, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(second)), {}), bytes);
  EXPECT_EQ(bytes.find("[Section1]"), std::string::npos);

  OpenByKey(Stock());
  EXPECT_EQ(name->GetLeft(), before.x);
  OpenByKey(copy);
  EXPECT_EQ(name->GetLeft(), before.x + 17);
  EXPECT_EQ(name->GetTop(), before.y + 9);
  EXPECT_EQ(f->QuickRep1->Page.BottomMargin, 12.0);
  EXPECT_FALSE(f->QRDBPicOne->Fit);
  EXPECT_FALSE(f->PicOne->GetStretch());
  EXPECT_EQ(f->GatherTemplate(), moved);
}

// The logo, picture two and the photo come back shown or hidden as they
// were saved, whether or not the preview ever set their print twins.
TEST_F(TemplateCommands, ShownPicturesComeBackAfterSaveAsAndReopen) {
  OpenByKey(Stock());
  TImage* items[] = {f->SignPic, f->PicTwo, f->PicOne};
  ASSERT_TRUE(f->PicOne->GetVisible());
  ASSERT_FALSE(f->SignPic->GetVisible());
  for (bool flipped : {false, true}) {
    SCOPED_TRACE(flipped);
    if (flipped)
      for (TImage* item : items) item->SetVisible(!item->GetVisible());
    bool before[3];
    for (int i = 0; i < 3; ++i) before[i] = items[i]->GetVisible();
    const std::string copy = program.Home().File(flipped ? "flipped.pmt" : "shown.pmt");
    SaveAs(copy);
    OpenByKey(Stock());
    OpenByKey(copy);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(items[i]->GetVisible(), before[i]) << items[i]->Name;
  }
}

TEST_F(TemplateCommands, BadTemplateChangesNothing) {
  OpenByKey(Stock());
  const CardTemplate design = f->GatherTemplate();
  struct Case {
    const char* name;
    std::string bytes;
  };
  std::string plain;
  {
    std::ifstream in(Stock(), std::ios::binary);
    plain.assign(std::istreambuf_iterator<char>(in), {});
  }
  auto replaced = [&plain](const std::string& from, const std::string& to) {
    std::string s = plain;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  const Case cases[] = {
      {"Mode/bad-number.pmt", replaced("PageData0=", "PageData0=x")},
      {"Mode/bad-font.pmt", replaced("Font103=", "Font103=-")},
      {"Mode/empty.pmt", ""},
  };
  for (const Case& c : cases) {
    const std::string file = program.Data(c.name);
    std::ofstream(file, std::ios::binary) << c.bytes;
    OpenByKey(file);
    EXPECT_EQ(f->GatherTemplate(), design) << c.name;
    EXPECT_EQ(f->CheckListBox1->GetItems()->Get(0), "姓名") << c.name;
  }
  EXPECT_EQ(program.dialogs.Pending(), 0u);
}

TEST_F(TemplateCommands, CancelledDialogsChangeNothing) {
  OpenByKey(Stock());
  const CardTemplate design = f->GatherTemplate();
  const std::string path = f->TemplatePath;
  f->Shape1->Show();
  OpenByKey("");
  EXPECT_EQ(f->TemplatePath, path);
  EXPECT_EQ(f->GatherTemplate(), design);
  EXPECT_FALSE(f->Shape1->GetVisible());
  SaveAs("");
  EXPECT_EQ(f->TemplatePath, path);
  EXPECT_EQ(f->RecentIndex, 0);
}

TEST_F(TemplateCommands, StockTemplateIsNeverOverwritten) {
  OpenByKey(Stock());
  const auto before = fs::last_write_time(Stock());
  QTest::keyClick(f->Widget(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(fs::last_write_time(Stock()), before);
  EXPECT_EQ(f->RecentIndex, 0);
}

TEST_F(TemplateCommands, MissingPicturesAndTableFallBackWithTheirMessages) {
  CardTemplate design = LoadCardTemplate(Stock());
  design.sealPath = "D:\\gone\\seal.bmp";
  design.logoPath = "D:\\gone\\logo.bmp";
  design.layoutPath = "D:\\gone\\layout.jpg";
  design.tableFolder = "D:\\gone\\";
  const std::string file = program.Home().File("lost.pmt");
  SaveCardTemplate(file, design);
  OpenByKey(file);
  const std::vector<std::string> messages = program.Messages();
  auto shown = [&messages](const std::string& text) {
    return std::find(messages.begin(), messages.end(), text) != messages.end();
  };
  EXPECT_TRUE(shown("D:\\gone\\\\data.MDX该模板的数据库已经不存在！"));
  EXPECT_TRUE(shown("指定位置的印章图不存在！是否删除或移动了？        "));
  EXPECT_TRUE(shown("指定位置的标志图不存在！是否删除或移动了？        "));
  EXPECT_TRUE(shown("指定位置底图不存在！是否删除或移动了？        "));
  EXPECT_TRUE(FormPicEdit->Table1->GetActive());
  EXPECT_EQ(fs::path(FormPicEdit->Table1->GetDatabaseName()), fs::path(program.Data("Mode/DATA/")));
  EXPECT_EQ(fs::path(f->TemplateBGPath), fs::path(program.Data("Mode/Untitle.JPG")));
}

}  // namespace

namespace {

// The window's show reads the start-up template: the one named on the
// command line (its letter case lost on the way), or a refusal that leaves
// the design as the window made it.
TEST(StartTemplateFile, CommandLineTemplateOpensOrIsRefusedWhole) {
  for (bool bad : {false, true}) {
    SCOPED_TRACE(bad);
    CardProgram program;
    CardTemplate design = LoadCardTemplate(program.Data("Mode/未命名.pmt"));
    design.dataTexts[0].caption = "员工姓名";
    design.dataTexts[0].left = 41;
    const std::string file = program.Home().File("Cards/Staff.pmt");
    fs::create_directories(fs::path(file).parent_path());
    SaveCardTemplate(file, design);
    if (bad) {
      std::string bytes = FormatCardTemplate(design);
      bytes.replace(bytes.find("PageData9="), 10, "PageData9=-");
      std::ofstream(file, std::ios::binary) << ScrambleTemplateBytes(bytes);
    }
    TMainForm* f = program.MakeMainForm({file});
    FormPicEdit = MakeForm<TFormPicEdit>(Application);
    program.Keep(FormPicEdit);
    f->OnActivate = nullptr;
    const CardTemplate before = f->GatherTemplate();
    program.dialogs.Records.clear();
    f->Show();
    if (bad) {
      EXPECT_EQ(f->GatherTemplate(), before);
      ASSERT_FALSE(program.Messages().empty());
      EXPECT_EQ(program.Messages().back(), "打开失败，可能是路径有误，请检查目录名或文件名是否含有连续两个的空格!");
    } else {
      EXPECT_EQ(f->CheckListBox1->GetItems()->Get(0), "员工姓名");
      EXPECT_EQ(f->DBTexts[0]->GetLeft(), 41);
      EXPECT_TRUE(f->NSave->GetEnabled());
    }
  }
}

TEST_F(TemplateCommands, YesToSaveAtCloseWritesTheOpenedTemplate) {
  const std::string copy = program.Home().File("staff.pmt");
  SaveAs(copy);
  Drag(f->DBTexts[1], 11, 0);
  const CardTemplate moved = f->GatherTemplate();
  program.dialogs.Answer(IDYES);
  program.dialogs.Answer(IDYES);
  bool canClose = false;
  f->FormCloseQuery(f, canClose);
  ASSERT_TRUE(canClose);
  TCloseAction action = caHide;
  f->FormClose(f, action);
  EXPECT_EQ(LoadCardTemplate(copy), moved);
  EXPECT_EQ(f->RecentFiles[1], copy);
}

}  // namespace

namespace {

TEST_F(TemplateCommands, FailedSaveStaysOutOfTheRecentList) {
  const std::string copy = program.Home().File("kept.pmt");
  SaveAs(copy);
  ASSERT_EQ(f->RecentIndex, 1);
  // A folder that does not exist cannot take the new file.
  const std::string lost = program.Home().File("no such folder/lost.pmt");
  Choose(lost);
  EXPECT_THROW(f->NSaveAs->Click(), std::exception);
  EXPECT_FALSE(fs::exists(lost));
  EXPECT_EQ(f->RecentIndex, 1);
  EXPECT_EQ(f->RecentFiles[1], "");
  EXPECT_TRUE(fs::exists(copy));
}

}  // namespace
