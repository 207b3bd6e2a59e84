// The template library through the window's menus, the new-template
// wizard and the recent-templates window, driven by real clicks: library
// templates by category and number, the blank template, the custom
// templates on the disk and in the menu, and the recent list.
#include <gtest/gtest.h>

#include <QImage>
#include <QMenu>
#include <filesystem>
#include <fstream>

#include "cardprogram.h"
#include "designer/cardtemplate.h"
#include "designer/filelist.h"
#include "designer/mainlibrary.h"
#include "designer/unew.h"
#include "platform/qt_input.h"

using cardtest::CardProgram;

namespace {

namespace fs = std::filesystem;

constexpr int kLibraryMenu = 4;
const char* const kUntitled = "Mode\\未命名.pmt";
const char* const kLibraryFailure = "打开模板失败，可能是找不到指定的模板";

QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

QAction* ActionOf(QMenu* menu, const std::string& text) {
  for (QAction* a : menu->actions())
    if (a->text().toStdString() == text) return a;
  return nullptr;
}

std::vector<std::string> Texts(QMenu* menu) {
  std::vector<std::string> texts;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) texts.push_back(a->text().toStdString());
  return texts;
}

class TemplateLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    f = program.MakeMainForm();
    f->OnShow = nullptr;
    f->OnActivate = nullptr;
    FormNew = MakeForm<TFormNew>(Application);
    program.Keep(FormNew);
    FormFileList = MakeForm<TFormFileList>(Application);
    program.Keep(FormFileList);
    f->Show();
    f->OpenNoDialog = false;  // the start-up open it arms is not run here
    program.dialogs.Records.clear();
  }

  // Drops the library menu and walks it by clicks: each caption but the
  // last opens a submenu, the last is chosen.
  void ChooseLibrary(const std::vector<std::string>& path) {
    WindowClick(f->ToolBar3->Buttons(kLibraryMenu), {5, 5});
    QMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    for (size_t i = 0; i < path.size(); ++i) {
      QAction* a = ActionOf(menu, path[i]);
      ASSERT_NE(a, nullptr) << path[i];
      QTest::mouseMove(menu, menu->actionGeometry(a).center());
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
      Settle();
      if (i + 1 == path.size()) break;
      menu = OpenMenu();  // the submenu the click opened
      ASSERT_NE(menu, nullptr) << path[i];
      ASSERT_EQ(menu->title().toStdString(), path[i]);
    }
    Settle();
  }

  // The texts of the message boxes shown.
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const TDialogRecord& r : program.dialogs.Records)
      if (r.Kind == TDialogRecord::Message) texts.push_back(r.Text);
    return texts;
  }

  // The window shows the design of the template file `file` (under the
  // data folder): the card panel's size, the titles, the field captions
  // and the layout picture's pixels unscaled.
  void ExpectShows(const std::string& file) {
    SCOPED_TRACE(file);
    const CardTemplate design = LoadCardTemplate(program.Data(file));
    EXPECT_EQ(f->Panel2->GetWidth(), design.pageData[9]);
    EXPECT_EQ(f->Panel2->GetHeight(), design.pageData[10]);
    for (int i = 0; i < kTextSlots; ++i) {
      EXPECT_EQ(f->CheckListBox2->GetItems()->Get(i), design.titles[size_t(i)].caption);
      EXPECT_EQ(f->CheckListBox1->GetItems()->Get(i), design.dataTexts[size_t(i)].caption);
    }
    const QImage expected(QString::fromStdString(program.Data(StringReplaceAll(design.layoutPath, "\\", "/"))));
    ASSERT_FALSE(expected.isNull());
    TBitmap shown;
    shown.Assign(f->ImageTemp->GetPicture()->GetGraphic());
    ASSERT_EQ(shown.GetWidth(), expected.width());
    ASSERT_EQ(shown.GetHeight(), expected.height());
    for (QPoint at : {QPoint(2, 2), QPoint(expected.width() / 2, expected.height() / 3),
                      QPoint(expected.width() - 3, expected.height() - 3)})
      EXPECT_TRUE(Near(shown.Image().pixel(at), expected.pixel(at))) << at.x() << "," << at.y();
  }
  // Two JPEG decoders may round a level differently.
  static bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3 && std::abs(qBlue(a) - qBlue(b)) <= 3;
  }

  // An opened library or custom template is untitled.
  void ExpectUntitled() {
    EXPECT_EQ(f->TemplatePath, kUntitled);
    EXPECT_EQ(f->BGFileName, "Mode\\Untitle.JPG");
    EXPECT_FALSE(f->OpenNoDialog);
  }

  void ClickRadio(TRadioGroup* group, int i) {
    const TRect r = group->ItemRect(i);
    WidgetClick(group, {r.Left + 6, (r.Top + r.Bottom) / 2});
    Settle();
  }
  void ClickButton(TControl* button) {
    WidgetClick(button, {button->GetWidth() / 2, button->GetHeight() / 2});
    Settle();
  }

  CardProgram program;
  TMainForm* f = nullptr;
};

struct LibraryCase {
  const char* category;
  const char* entry;
  int number;
};
constexpr LibraryCase kShownEntries[] = {
    {"工作证", "竖", 1},         {"工作证", "横", 2},         {"学生出入证", "竖", 1}, {"学生出入证", "横", 2},
    {"准考证", "竖", 1},         {"准考证", "横", 2},         {"打卡机模板", "竖卡", 1}, {"打卡机模板", "横卡", 2},
    {"名片", "竖", 1},           {"名片", "横", 2},           {"收据", "1", 1},        {"贺卡", "生日快乐", 1},
};

std::string LibraryFile(const LibraryCase& c) {
  return std::string("Mode/") + c.category + "/" + std::to_string(c.number) + ".pmt";
}

// The menu shows the shown categories and entries only; each entry opens
// its category's numbered template, which is untitled afterwards and
// leaves the texts to be shown by the next 显示文字.
TEST_F(TemplateLibrary, EveryShownEntryOpensItsTemplateUntitled) {
  WindowClick(f->ToolBar3->Buttons(kLibraryMenu), {5, 5});
  ASSERT_NE(OpenMenu(), nullptr);
  EXPECT_EQ(Texts(OpenMenu()), (std::vector<std::string>{"工作证", "学生出入证", "准考证", "打卡机模板", "名片",
                                                          "收据", "贺卡", "自定义模板"}));
  QTest::keyClick(OpenMenu(), Qt::Key_Escape);
  Settle();
  for (const LibraryCase& c : kShownEntries) {
    SCOPED_TRACE(std::string(c.category) + " " + c.entry);
    TextsShown = true;
    ChooseLibrary({c.category, c.entry});
    ExpectShows(LibraryFile(c));
    ExpectUntitled();
    EXPECT_FALSE(TextsShown);
  }
  EXPECT_EQ(Messages(), std::vector<std::string>{});
}

// The category goes with the entry, whatever its menu's caption shows; an
// entry without a template file says so and leaves no open armed.
TEST_F(TemplateLibrary, CategoryComesFromTheEntryAndAMissingTemplateIsReported) {
  TMenuItem* work = nullptr;
  TMenuItem* envelope = nullptr;
  for (int i = 0; i < f->NLibrary->Count(); ++i) {
    if (f->NLibrary->Items(i)->GetCaption() == "工作证") work = f->NLibrary->Items(i);
    if (f->NLibrary->Items(i)->GetCaption() == "信封") envelope = f->NLibrary->Items(i);
  }
  ASSERT_NE(work, nullptr);
  ASSERT_NE(envelope, nullptr);
  EXPECT_FALSE(envelope->GetVisible());
  work->SetCaption("工作证(&G)");
  ChooseLibrary({"工作证(&G)", "横"});
  ExpectShows("Mode/工作证/2.pmt");
  EXPECT_EQ(Messages(), std::vector<std::string>{});

  envelope->SetVisible(true);
  envelope->Items(0)->SetVisible(true);
  ChooseLibrary({"信封", "普通信封"});
  EXPECT_EQ(Messages(), std::vector<std::string>{kLibraryFailure});
  EXPECT_FALSE(f->OpenNoDialog);
  EXPECT_EQ(f->Panel2->GetWidth(), 350);  // the card read before stays
}

// The wizard runs the chosen entry's action on 确定 and hides; with
// nothing chosen, and on 取消, it only hides.
TEST_F(TemplateLibrary, WizardOpensTheChosenTemplate) {
  const std::vector<std::string> files = {"Mode/未命名.pmt",        "Mode/工作证/1.pmt",     "Mode/工作证/2.pmt",
                                          "Mode/学生出入证/1.pmt",  "Mode/学生出入证/2.pmt", "Mode/准考证/1.pmt",
                                          "Mode/准考证/2.pmt",      "Mode/打卡机模板/1.pmt", "Mode/打卡机模板/2.pmt",
                                          "Mode/名片/1.pmt",        "Mode/名片/2.pmt",       "Mode/收据/1.pmt",
                                          "Mode/贺卡/1.pmt"};
  ASSERT_EQ(FormNew->RGselect->GetItems()->Count(), int(files.size()));
  EXPECT_EQ(FormNew->RGselect->GetColumns(), 3);
  f->TemplatePath = "mine.pmt";
  FormNew->Show();
  ClickButton(FormNew->ButtonOK);
  EXPECT_FALSE(FormNew->GetVisible());
  EXPECT_EQ(f->TemplatePath, "mine.pmt");
  // From the last to the first, so each open changes the card.
  for (int i = int(files.size()) - 1; i >= 0; --i) {
    SCOPED_TRACE(FormNew->RGselect->GetItems()->Get(i));
    FormNew->Show();
    ClickRadio(FormNew->RGselect, i);
    ASSERT_EQ(FormNew->RGselect->GetItemIndex(), i);
    ClickButton(FormNew->ButtonOK);
    EXPECT_FALSE(FormNew->GetVisible());
    ExpectShows(files[size_t(i)]);
    EXPECT_EQ(f->TemplatePath, kUntitled);
    EXPECT_FALSE(f->OpenNoDialog);
  }
  f->TemplatePath = "mine.pmt";
  FormNew->Show();
  ClickRadio(FormNew->RGselect, 2);
  ClickButton(FormNew->ButtonNO);
  EXPECT_FALSE(FormNew->GetVisible());
  EXPECT_EQ(f->TemplatePath, "mine.pmt");
  EXPECT_EQ(Messages(), std::vector<std::string>{});
}

// 新建模板 asks whether to save first: Yes saves and shows no wizard, No
// shows the wizard and saves nothing; the tool button asks the same.
TEST_F(TemplateLibrary, NewTemplateAsksToSaveOrShowsTheWizard) {
  ASSERT_EQ(f->ToolBar1->Buttons(0), f->Bnew);
  EXPECT_EQ(f->Bnew->GetCaption(), "新建");
  const std::string mine = program.Data("mine.pmt");
  f->TemplatePath = mine;
  program.dialogs.Answer(IDNO);
  ClickButton(f->Bnew);
  EXPECT_TRUE(FormNew->GetVisible());
  EXPECT_FALSE(fs::exists(mine));
  FormNew->Hide();

  program.dialogs.Answer(IDYES);
  WindowClick(f->ToolBar3->Buttons(0), {5, 5});
  ASSERT_NE(OpenMenu(), nullptr);
  QAction* entry = ActionOf(OpenMenu(), "新建模板(&New)");
  ASSERT_NE(entry, nullptr);
  QTest::mouseClick(OpenMenu(), Qt::LeftButton, {}, OpenMenu()->actionGeometry(entry).center());
  Settle();
  EXPECT_FALSE(FormNew->GetVisible());
  EXPECT_TRUE(fs::exists(mine));
  ASSERT_EQ(program.dialogs.Records.size(), 2u);
  for (const TDialogRecord& r : program.dialogs.Records) {
    EXPECT_EQ(r.Text, "要保存修改结果吗？");
    EXPECT_EQ(r.Caption, "保存结果");
    EXPECT_EQ(r.Flags & MB_ICONMASK, MB_ICONQUESTION);
  }
}

// A custom template is written straight into the custom folder with its
// layout picture and gets the next entry; the entry opens it untitled;
// deleting takes the last one's files and then its entry.
TEST_F(TemplateLibrary, CustomTemplatesAreSavedOpenedAndDeleted) {
  ASSERT_EQ(f->CustomTemplateCount, 0);
  const fs::path folder = program.DataFolder() / "Mode" / "自定义模板";
  ChooseLibrary({"工作证", "竖"});
  for (int n = 1; n <= 2; ++n) {
    f->Panel2->SetBounds(24, 26, 200 + n * 20, 300);
    ChooseLibrary({"自定义模板", "保存为自定义模板"});
    EXPECT_EQ(f->CustomTemplateCount, n);
    EXPECT_TRUE(fs::is_regular_file(folder / (std::to_string(n) + ".pmt")));
    EXPECT_TRUE(fs::is_regular_file(folder / (std::to_string(n) + ".JPG")));
    const TMenuItem* entry = f->MenuFunction->Items(n + 2);
    EXPECT_EQ(entry->GetCaption(), std::to_string(n));
    EXPECT_EQ(entry->Tag, n);
  }
  EXPECT_EQ(f->MenuFunction->Count(), 5);
  const CardTemplate saved = LoadCardTemplate((folder / "1.pmt").string());
  EXPECT_EQ(saved.pageData[9], 220);
  EXPECT_EQ(saved.titles[0].caption, "工 作 证");
  EXPECT_EQ(saved.layoutPath, "Mode\\自定义模板\\1.JPG");

  ChooseLibrary({"名片", "横"});
  ChooseLibrary({"自定义模板", "1"});
  ExpectShows("Mode/自定义模板/1.pmt");
  ExpectUntitled();

  ChooseLibrary({"自定义模板", "删除自定义模板"});
  EXPECT_EQ(f->CustomTemplateCount, 1);
  EXPECT_EQ(f->MenuFunction->Count(), 4);
  EXPECT_FALSE(fs::exists(folder / "2.pmt"));
  EXPECT_FALSE(fs::exists(folder / "2.JPG"));
  EXPECT_TRUE(fs::exists(folder / "1.pmt"));
  ChooseLibrary({"自定义模板", "删除自定义模板"});
  ChooseLibrary({"自定义模板", "删除自定义模板"});
  EXPECT_EQ(f->CustomTemplateCount, 0);
  EXPECT_EQ(f->MenuFunction->Count(), 3);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"你已经删除了模板!", "你已经删除了模板!", "你已经删除了全部自定义模板!"}));
}

// A template file that cannot be deleted keeps its entry, its count and
// its picture; with the limit reached nothing is saved or added.
TEST_F(TemplateLibrary, CustomTemplateLimitAndUndeletableFiles) {
  const fs::path folder = program.DataFolder() / "Mode" / "自定义模板";
  ChooseLibrary({"自定义模板", "保存为自定义模板"});
  ASSERT_EQ(f->CustomTemplateCount, 1);
  fs::remove(folder / "1.pmt");
  fs::create_directories(folder / "1.pmt" / "inside");  // a folder where the file was
  ChooseLibrary({"自定义模板", "删除自定义模板"});
  EXPECT_EQ(f->CustomTemplateCount, 1);
  EXPECT_EQ(f->MenuFunction->Count(), 4);
  EXPECT_TRUE(fs::exists(folder / "1.JPG"));
  EXPECT_EQ(Messages(), std::vector<std::string>{});

  f->CustomTemplateCount = kMaxCustomTemplates;
  ChooseLibrary({"自定义模板", "保存为自定义模板"});
  EXPECT_EQ(Messages(), std::vector<std::string>{"你已经创建了22项菜单!"});
  EXPECT_EQ(f->CustomTemplateCount, kMaxCustomTemplates);
  EXPECT_EQ(f->MenuFunction->Count(), 4);
  EXPECT_FALSE(fs::exists(folder / "23.pmt"));
}

// The recent list shows the five slots; 打开 opens the chosen slot's
// template, does nothing with no slot chosen, and names a missing file
// without arming the next Open.
TEST_F(TemplateLibrary, RecentTemplatesOpenTheChosenSlot) {
  const std::string kept = program.Data("cards/kept.pmt");
  fs::create_directories(program.Data("cards"));
  SaveCardTemplate(kept, LoadCardTemplate(program.Data("Mode/名片/2.pmt")));
  const std::string missing = program.Data("cards/gone.pmt");
  f->RecentFiles = {kept, "", missing, "", ""};
  f->TemplatePath = "mine.pmt";

  WindowClick(f->ToolBar3->Buttons(0), {5, 5});
  QAction* entry = ActionOf(OpenMenu(), "最近保存的模板(fileL&ist)");
  ASSERT_NE(entry, nullptr);
  QTest::mouseClick(OpenMenu(), Qt::LeftButton, {}, OpenMenu()->actionGeometry(entry).center());
  Settle();
  ASSERT_TRUE(FormFileList->GetVisible());
  TStrings* items = FormFileList->RadioGroup1->GetItems();
  ASSERT_EQ(items->Count(), 5);
  EXPECT_EQ(items->Get(0), "文件名:kept.pmt    目录:" + program.Data("cards/"));
  EXPECT_EQ(items->Get(1), "文件名:    目录:");
  EXPECT_EQ(items->Get(2), "文件名:gone.pmt    目录:" + program.Data("cards/"));

  ClickButton(FormFileList->Button1);
  EXPECT_FALSE(FormFileList->GetVisible());
  EXPECT_EQ(f->TemplatePath, "mine.pmt");
  EXPECT_FALSE(f->OpenNoDialog);

  FormFileList->Show();
  ClickRadio(FormFileList->RadioGroup1, 0);
  ClickButton(FormFileList->Button1);
  EXPECT_FALSE(FormFileList->GetVisible());
  EXPECT_EQ(f->TemplatePath, kept);
  EXPECT_FALSE(f->OpenNoDialog);
  ExpectShows("cards/kept.pmt");
  EXPECT_EQ(Messages(), std::vector<std::string>{});

  FormFileList->Show();
  ClickRadio(FormFileList->RadioGroup1, 2);
  ClickButton(FormFileList->Button1);
  EXPECT_FALSE(FormFileList->GetVisible());
  EXPECT_EQ(Messages(), std::vector<std::string>{"文件不存在!"});
  EXPECT_EQ(f->TemplatePath, missing);
  EXPECT_FALSE(f->OpenNoDialog);
}

}  // namespace
