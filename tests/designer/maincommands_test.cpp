// The main window's command layer under real input: the menus' entries,
// the tool buttons, the edge panels and the tool bars' pop-up menu, the
// windows they show, the page-range printing and the hint line.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QMouseEvent>
#include <QMenu>

#include <filesystem>

#include "records/ubarcode.h"
#include "designer/cardprogram.h"
#include "platform/commdlg.h"
#include "platform/printers.h"
#include "platform/qt_input.h"
#include "records/catchpic.h"
#include "records/dbpicsu.h"
#include "records/opendata.h"
#include "records/prev.h"
#include "records/uscanner.h"
#include "records/utextdata.h"
#include "records/wh.h"

using cardtest::CardProgram;
namespace fs = std::filesystem;

namespace {

QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

QAction* ActionOf(QMenu* menu, const std::string& text) {
  for (QAction* action : menu->actions())
    if (action->text().toStdString() == text) return action;
  return nullptr;
}

// The visible entries of a dropped menu, separators as "-".
std::vector<std::string> Entries(QMenu* menu) {
  std::vector<std::string> texts;
  for (QAction* action : menu->actions())
    if (action->isVisible()) texts.push_back(action->isSeparator() ? "-" : action->text().section('\t', 0, 0).toStdString());
  return texts;
}

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    f_ = program_.MakeMainForm();
    f_->OnShow = nullptr;
    f_->OnActivate = nullptr;
    FormPicEdit = Make<TFormPicEdit>();
    OpenDataForm = Make<TOpenDataForm>();
    FormTextData = Make<TFormTextData>();
    FormWH = Make<TFormWH>();
    FormBarcode = Make<TFormBarcode>();
    FormCatchPic = Make<TFormCatchPic>();
    FormScanner = Make<TFormScanner>();
    PrevForm = Make<TPrevForm>();
    f_->Show();
    program_.dialogs.Records.clear();
  }
  void TearDown() override {
    for (TForm* form : {static_cast<TForm*>(f_), static_cast<TForm*>(FormPicEdit), static_cast<TForm*>(OpenDataForm),
                        static_cast<TForm*>(FormTextData), static_cast<TForm*>(FormWH),
                        static_cast<TForm*>(FormBarcode), static_cast<TForm*>(FormCatchPic),
                        static_cast<TForm*>(FormScanner), static_cast<TForm*>(PrevForm)})
      if (form) form->Hide();
  }
  template <class T>
  T* Make() {
    T* form = MakeForm<T>(Application);
    program_.Keep(form);
    return form;
  }

  // Drops the top-level menu `caption` by a click on its menu-bar button.
  QMenu* Drop(const std::string& caption) {
    for (int i = 0; i < f_->ToolBar3->ButtonCount(); ++i)
      if (f_->ToolBar3->Buttons(i)->GetCaption() == caption) {
        WindowClick(f_->ToolBar3->Buttons(i), {5, 5});
        return OpenMenu();
      }
    return nullptr;
  }
  // Chooses an entry of a top-level menu with the mouse.
  void Choose(const std::string& menu, const std::string& entry) {
    QMenu* dropped = Drop(menu);
    ASSERT_NE(dropped, nullptr) << menu;
    QAction* action = ActionOf(dropped, entry);
    ASSERT_NE(action, nullptr) << entry;
    QTest::mouseClick(dropped, Qt::LeftButton, {}, dropped->actionGeometry(action).center());
    Settle();
    ASSERT_EQ(OpenMenu(), nullptr);
  }
  void ClickButton(TToolButton* button) {
    ASSERT_TRUE(button->GetVisible());
    WidgetClick(button, {button->GetWidth() / 2, button->GetHeight() / 2});
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const TDialogRecord& record : program_.dialogs.Records)
      if (record.Kind == TDialogRecord::Message) texts.push_back(record.Text);
    return texts;
  }

  CardProgram program_;
  TMainForm* f_ = nullptr;
};

TEST_F(Commands, EveryMenuDropsWithItsEntries) {
  const std::pair<std::string, std::vector<std::string>> menus[] = {
      {"文件(&F)",
       {"新建模板(&New)", "打开模板(&Open)", "最近保存的模板(fileL&ist)", "集中保存(Al&lSave)",
        "逐张生成卡图(E&xportPic)", "按页保存为图(Page&ToPic)", "卡片批量生成(&PicEdit)", "页面设置(S&etPaper)", "打印(&Print)", "打印机设置", "-", "退出(&Close)"}},
      {"编辑(&E)",
       {"撤消", "重写", "-", "复制(&Copy)", "剪切(&Cut)", "粘贴(&Paste)", "删除(&Del)", "全选(&SelectAll)", "-",
        "字体(&Font)"}},
      {"数据库(&D)", {"批量建立数据库(&CreatDB)", "整理数据库(&ModifyDB)", "选用数据库(Open&DB)...", "生成条形码"}},
      {"底图(&B)",
       {"新建", "打开", "保存", "另存为", "-", "剪切", "复制", "粘贴", "清空", "-", "打印", "插入图像", "插入公章"}},
      {"设置(&O)",
       {"版面设置(&SetWorks)", "更换标志图(&ABG)", "更换印章(&CZhang)", "-", "隐藏常用工具栏", "隐藏数据格",
        "收起选择框", "隐藏画板"}},
      {"帮助(&H)", {"帮助(&Help)"}},
  };
  for (const auto& [caption, entries] : menus) {
    SCOPED_TRACE(caption);
    QMenu* menu = Drop(caption);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Entries(menu), entries);
    QTest::keyClick(menu, Qt::Key_Escape);
    Settle();
  }
  // The show menu ends with the print preview.
  QMenu* show = Drop("显示(&S)");
  ASSERT_NE(show, nullptr);
  EXPECT_EQ(Entries(show).back(), "打印预览(&PrintPreview)");
  QTest::keyClick(show, Qt::Key_Escape);
  // The layout picture's editor hooks its entries.
  EXPECT_TRUE(f_->FileSaveAs->GetEnabled());
  EXPECT_TRUE(f_->NChangeAB->GetEnabled());
}

TEST_F(Commands, MenuEntriesAndToolButtonsShowTheirWindows) {
  struct Case {
    const char* what;
    std::function<void()> act;
    TForm* window;
  } cases[] = {
      {"批量建立数据库", [&] { Choose("数据库(&D)", "批量建立数据库(&CreatDB)"); }, OpenDataForm},
      {"整理数据库", [&] { Choose("数据库(&D)", "整理数据库(&ModifyDB)"); }, FormTextData},
      {"生成条形码", [&] { Choose("数据库(&D)", "生成条形码"); }, FormBarcode},
      {"版面设置", [&] { Choose("设置(&O)", "版面设置(&SetWorks)"); }, FormWH},
      {"批量", [&] { ClickButton(f_->BDataCreat); }, OpenDataForm},
      {"数据", [&] { ClickButton(f_->BDataEdit); }, FormTextData},
      {"摄像", [&] { ClickButton(f_->TBCatchPic); }, FormCatchPic},
      {"扫描", [&] { ClickButton(f_->TBScan); }, FormScanner},
      {"出卡", [&] { ClickButton(f_->BPicOut); }, FormPicEdit},
      {"设置", [&] { ClickButton(f_->BSet); }, FormWH},
      {"grid", [&] { WindowClick(f_->DBGrid1, {40, 40}, Qt::LeftButton, true); }, FormTextData},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.window->Hide();
    c.act();
    EXPECT_TRUE(c.window->GetVisible());
    c.window->Hide();
  }
  // The barcode window comes after its hint.
  EXPECT_EQ(Shown(), std::vector<std::string>{"如果您的系统安装了条形码字体也可通过字体来设置。"});
}

TEST_F(Commands, PanelTogglesFlipAndComeBack) {
  struct Case {
    const char* what;
    std::function<void()> act;
    TControl* panel;
    TMenuItem* entry;
    const char* hiddenEntry;
    const char* shownEntry;
  } cases[] = {
      {"tool bar", [&] { Choose("设置(&O)", f_->NShowBar1->GetCaption()); }, f_->ToolBar1, f_->NShowBar1,
       "显示常用工具栏", "隐藏常用工具栏"},
      {"data panel", [&] { WidgetClick(f_->Panel6, {5, 50}); }, f_->PanTools, f_->NShowTools, "显示数据格",
       "隐藏数据格"},
      {"selection panel", [&] { WidgetClick(f_->Panel7, {5, 50}); }, f_->Panel1, f_->NShowSelectT, "打开选择框",
       "收起选择框"},
      {"drawing panel", [&] { WidgetClick(f_->Panel10, {50, 5}); }, f_->Panel9, f_->NShowData, "显示画板",
       "隐藏画板"},
      {"data panel by menu", [&] { Choose("设置(&O)", f_->NShowTools->GetCaption()); }, f_->PanTools,
       f_->NShowTools, "显示数据格", "隐藏数据格"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.act();
    EXPECT_FALSE(c.panel->GetVisible());
    EXPECT_EQ(c.entry->GetCaption(), c.hiddenEntry);
    c.act();
    EXPECT_TRUE(c.panel->GetVisible());
    EXPECT_EQ(c.entry->GetCaption(), c.shownEntry);
  }
  EXPECT_EQ(f_->Panel6->GetCaption(), "≯");
  EXPECT_EQ(f_->Panel10->GetCaption(), "∨");
  EXPECT_TRUE(f_->NShowData->GetChecked());
  // The text tool bar's button hides the main tool bar and stays down.
  f_->ToolBar2->Show();
  ClickButton(f_->TBShow);
  EXPECT_FALSE(f_->ToolBar1->GetVisible());
  EXPECT_TRUE(f_->TBShow->GetDown());
  EXPECT_EQ(f_->TBShow->Hint, "显示常用工具栏");
  EXPECT_FALSE(f_->NTool->GetChecked());
  ClickButton(f_->TBShow);
  EXPECT_TRUE(f_->ToolBar1->GetVisible());
  EXPECT_FALSE(f_->TBShow->GetDown());
}

TEST_F(Commands, TheToolBarsPopUpMenuTicksTheShownPanels) {
  WindowClick(f_->ToolBar1, {f_->ToolBar1->GetWidth() - 5, 5}, Qt::RightButton);
  QMenu* popup = OpenMenu();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(Entries(popup), (std::vector<std::string>{"常用工具栏", "数据面板", "选择框", "画板"}));
  for (QAction* action : popup->actions()) EXPECT_TRUE(action->isChecked());
  QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(ActionOf(popup, "选择框")).center());
  Settle();
  EXPECT_FALSE(f_->Panel1->GetVisible());
  EXPECT_FALSE(f_->NSelectP->GetChecked());
  EXPECT_EQ(f_->Panel7->GetCaption(), "≯");
}

TEST_F(Commands, TheEditMenuWorksOnTheTextBox) {
  f_->Edit->Show();
  f_->Edit->SetText("版面文字");
  Choose("编辑(&E)", "全选(&SelectAll)");
  Choose("编辑(&E)", "复制(&Copy)");
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "版面文字");
  Choose("编辑(&E)", "删除(&Del)");
  EXPECT_EQ(f_->Edit->GetText(), "");
  Choose("编辑(&E)", "粘贴(&Paste)");
  EXPECT_EQ(f_->Edit->GetText(), "版面文字");
}

TEST_F(Commands, PageRangePrintingPreparesAgainAndRefusesBadRanges) {
  const fs::path pdf = program_.Home().File("print.pdf");
  struct Case {
    const char* first;
    const char* last;
    bool printed;
  } cases[] = {{"1", "1", true}, {"0", "1", false}, {"1", "2", false},
               {"2", "1", false}, {"页", "1", false}, {" 1 ", "1", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.first) + ".." + c.last);
    fs::remove(pdf);
    program_.dialogs.Records.clear();
    program_.dialogs.AnswerInput(c.first);
    program_.dialogs.AnswerInput(c.last);
    Choose("文件(&F)", "打印(&Print)");
    ASSERT_EQ(f_->QuickRep1->PageCount(), 1);  // the stock table's three cards
    EXPECT_EQ(fs::exists(pdf), c.printed);
    EXPECT_EQ(Shown(), c.printed ? std::vector<std::string>{} : std::vector<std::string>{"页码超出范围！"});
    ASSERT_GE(program_.dialogs.Records.size(), 2u);
    EXPECT_EQ(program_.dialogs.Records[0].Caption, "打印范围设置    ");
    EXPECT_EQ(program_.dialogs.Records[0].Text, "请输入起始页码           ");
    EXPECT_EQ(program_.dialogs.Records[1].Text, "请输入结束页码           ");
  }
}

TEST_F(Commands, PrinterSetupRunsThePrintersDialog) {
  // Before the report was ever prepared the page setup does nothing.
  Choose("文件(&F)", "页面设置(S&etPaper)");
  EXPECT_TRUE(program_.dialogs.Records.empty());
  const TPrinterOrientation before = Printer()->Orientation;
  program_.dialogs.AnswerDialog([](TCommonDialog* dialog) {
    auto* setup = dynamic_cast<TPrinterSetupDialog*>(dialog);
    EXPECT_NE(setup, nullptr);
    if (setup) setup->Landscape = true;
    return setup != nullptr;
  });
  Choose("文件(&F)", "打印机设置");
  EXPECT_EQ(Printer()->Orientation, poLandscape);
  Printer()->Orientation = before;
}

// The pointer moving over a widget, as the window system reports it.
void MoveOver(QWidget* widget, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(widget, &move);
}

TEST_F(Commands, TheHintLineShowsTheLongHintOfThePointedControl) {
  QWidget* bar = f_->ToolBar1->Widget();
  const TRect button = f_->BPrev->GetBoundsRect();
  MoveOver(bar, QPoint((button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2));
  Settle();
  EXPECT_EQ(f_->StatusBar1->GetPanels()->Items(0)->GetText(), "打印预览");
  f_->Panel6->Hint = "数据|显示或隐藏右边的数据格";
  MoveOver(f_->Panel6->Widget(), QPoint(5, 40));
  Settle();
  EXPECT_EQ(f_->StatusBar1->GetPanels()->Items(0)->GetText(), "显示或隐藏右边的数据格");
}

TEST(RemoveBlanksOf, DropsEveryBlankAndNothingElse) {
  const std::pair<std::string, std::string> cases[] = {
      {"  张 三  ", "张三"}, {"无空格", "无空格"}, {"", ""}, {"a\tb c", "a\tbc"}, {"   ", ""}};
  for (const auto& [text, kept] : cases) EXPECT_EQ(RemoveBlanks(text), kept) << text;
}

}  // namespace
