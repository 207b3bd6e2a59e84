// The main window's menu bar under real input: its buttons drop the menus,
// the keyboard reaches them, and their entries run the window's commands.
#include <gtest/gtest.h>

#include <QMenu>

#include "cardprogram.h"
#include "platform/qt_input.h"
#include "platform/toolbars.h"

namespace {

using cardtest::CardProgram;

QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// The main window shown without its start-up template and questions.
TMainForm* ShownMainWindow(CardProgram& program) {
  TMainForm* f = program.MakeMainForm();
  f->OnShow = nullptr;
  f->OnActivate = nullptr;
  f->Show();
  return f;
}

TEST(MainWindowMenus, TheFileMenuDropsDownAndItsExitAsksFirst) {
  CardProgram program;
  TMainForm* f = ShownMainWindow(program);
  TToolButton* file = f->ToolBar3->Buttons(0);
  EXPECT_EQ(file->GetCaption(), "文件(&F)");
  WindowClick(file, {5, 5});
  QMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  QAction* exit = nullptr;
  for (QAction* a : menu->actions())
    if (a->text() == "退出(&Close)") exit = a;
  ASSERT_NE(exit, nullptr);
  const size_t before = program.dialogs.Records.size();
  program.dialogs.Answer(IDNO);
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(exit).center());
  Settle();
  ASSERT_EQ(program.dialogs.Records.size(), before + 1);
  EXPECT_EQ(program.dialogs.Records.back().Text, "真的退出吗？");
  EXPECT_TRUE(f->GetVisible());
  EXPECT_FALSE(Application->Terminated());
}

TEST(MainWindowMenus, KeysReachTheMenusFromTheWindow) {
  CardProgram program;
  TMainForm* f = ShownMainWindow(program);
  int opens = 0, saves = 0, texts = 0;
  f->NOpen->OnClick = [&](TObject*) { ++opens; };
  f->NSave->OnClick = [&](TObject*) { ++saves; };
  f->NShowText->OnClick = [&](TObject*) { ++texts; };
  QWidget* window = f->Widget();
  QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
  QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);  // the entry is not shown in the menu
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(saves, 1);
  // Alt+S drops the show menu; Return runs its first entry.
  QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
  ASSERT_NE(OpenMenu(), nullptr);
  EXPECT_EQ(f->ToolBar3->DroppedButton()->GetCaption(), "显示(&S)");
  QTest::keyClick(OpenMenu(), Qt::Key_Return);
  Settle();
  EXPECT_EQ(OpenMenu(), nullptr);
  EXPECT_EQ(texts, 1);
  // F10 drops the file menu; Escape closes it.
  QTest::keyClick(window, Qt::Key_F10);
  ASSERT_NE(OpenMenu(), nullptr);
  EXPECT_EQ(f->ToolBar3->DroppedButton(), f->ToolBar3->Buttons(0));
  QTest::keyClick(OpenMenu(), Qt::Key_Escape);
  Settle();
  EXPECT_EQ(OpenMenu(), nullptr);
}

}  // namespace
