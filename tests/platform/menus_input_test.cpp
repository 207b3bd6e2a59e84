// Menus under real input: the menu bar's buttons, the keyboard's ways into
// the menus and pop-up menus, driven by Qt events on the real widgets.
#include <gtest/gtest.h>

#include <QMenu>

#include "platform/extctrls.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/toolbars.h"
#include "qt_input.h"

namespace {

QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

// The click of a chosen entry comes from the message loop.
void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

QString ActiveText(QMenu* menu) {
  return menu && menu->activeAction() ? menu->activeAction()->text() : QString();
}

// A form with a menu bar (文件, 编辑, 帮助), an edit box that has the focus,
// and a panel with a pop-up menu.
struct MenuForm {
  TForm* form = MakeForm<TForm>(nullptr);
  TMainMenu* menu = new TMainMenu(form);
  TToolBar* bar = new TToolBar(form);
  TEdit* edit = new TEdit(form);
  TPanel* panel = new TPanel(form);
  TPanel* inner = new TPanel(form);
  TPopupMenu* popup = new TPopupMenu(form);
  std::vector<std::string> ran;

  TMenuItem* Add(TMenuItem* parent, const std::string& caption, TShortCut key = 0) {
    auto* item = new TMenuItem(form);
    item->SetCaption(caption);
    item->ShortCut = key;
    item->OnClick = [this, caption](TObject*) { ran.push_back(StripHotkey(caption)); };
    parent->Add(item);
    return item;
  }

  MenuForm() {
    form->SetBounds(100, 100, 420, 240);
    TMenuItem* root = menu->GetItems();
    TMenuItem* file = Add(root, "文件(&F)");
    Add(file, "打开模板(&Open)", ShortCut('O', ssCtrl));
    TMenuItem* recent = Add(file, "最近(&R)");
    Add(recent, "一");
    Add(recent, "二");
    Add(file, "保存模板(&Save)", ShortCut('S', ssCtrl))->SetVisible(false);
    Add(file, "打印(&Print)", ShortCut('P', ssCtrl))->SetEnabled(false);
    TMenuItem* editMenu = Add(root, "编辑(&E)");
    Add(editMenu, "复制(&Copy)");
    TMenuItem* help = Add(root, "帮助(&H)");
    Add(help, "帮助(&Help)", ShortCut(VK_F1, 0));
    Add(popup->GetItems(), "数据面板");
    Add(popup->GetItems(), "画板");

    bar->SetParent(form);
    bar->SetAlign(alTop);
    bar->ShowCaptions = true;
    bar->ButtonWidth = 64;
    for (int i = 0; i < root->Count(); ++i) {
      auto* b = new TToolButton(form);
      b->SetParent(bar);
      b->SetMenuItem(root->Items(i));
    }
    bar->ArrangeButtons();
    edit->SetParent(form);
    edit->SetBounds(10, 60, 150, 22);
    panel->SetParent(form);
    panel->SetBounds(200, 60, 200, 120);
    panel->SetPopupMenu(popup);
    inner->SetParent(panel);
    inner->SetBounds(20, 20, 60, 40);
    form->Show();
    edit->SetFocus();
  }
  ~MenuForm() {
    CloseTrackedMenu();
    Settle();
    delete form;
  }
  TToolButton* Button(int i) { return bar->Buttons(i); }
  QWidget* EditWidget() { return edit->Widget(); }
};

TEST(MenuInputTest, ClickOnAMenuBarButtonDropsItsMenuBelowAndRunsTheChosenEntry) {
  MenuForm f;
  WindowClick(f.Button(0), {5, 5});
  QMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  EXPECT_EQ(f.bar->DroppedButton(), f.Button(0));
  // Under the button, at its left edge.
  TPoint below = ScreenPointOf(f.Button(0), {0, f.Button(0)->GetHeight()});
  EXPECT_EQ(menu->pos(), QPoint(below.x, below.y));
  // The hidden entry is not shown; the shortcut stands beside its entry.
  QStringList texts;
  for (QAction* a : menu->actions()) texts << a->text();
  EXPECT_EQ(texts, (QStringList{"打开模板(&Open)\tCtrl+O", "最近(&R)", "打印(&Print)\tCtrl+P"}));
  QTest::keyClick(menu, Qt::Key_Down);
  QTest::keyClick(menu, Qt::Key_Return);
  Settle();
  EXPECT_EQ(OpenMenu(), nullptr);
  EXPECT_EQ(f.bar->DroppedButton(), nullptr);
  EXPECT_EQ(f.ran, (std::vector<std::string>{"打开模板(Open)"}));

  // A mouse click on an entry of a sub-menu.
  WindowClick(f.Button(0), {5, 5});
  menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  QTest::keyClick(menu, Qt::Key_Down);
  QTest::keyClick(menu, Qt::Key_Down);
  QTest::keyClick(menu, Qt::Key_Right);
  QMenu* sub = OpenMenu();
  ASSERT_NE(sub, menu);
  ASSERT_NE(sub, nullptr);
  QAction* second = sub->actions().at(1);
  QTest::mouseClick(sub, Qt::LeftButton, {}, sub->actionGeometry(second).center());
  Settle();
  EXPECT_EQ(OpenMenu(), nullptr);
  EXPECT_EQ(f.ran.back(), "二");

  // The disabled entry does nothing; Escape closes without a choice.
  WindowClick(f.Button(0), {5, 5});
  menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  QAction* print = menu->actions().at(2);
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(print).center());
  QTest::keyClick(menu, Qt::Key_Escape);
  Settle();
  EXPECT_EQ(OpenMenu(), nullptr);
  EXPECT_EQ(f.ran.size(), 2u);
}

TEST(MenuInputTest, AltLetterAndF10OpenTheMenusAndArrowsWalkTheBar) {
  MenuForm f;
  QTest::keyClick(f.EditWidget(), Qt::Key_F, Qt::AltModifier);
  QMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(f.bar->DroppedButton(), f.Button(0));
  EXPECT_EQ(ActiveText(menu), "打开模板(&Open)\tCtrl+O");  // opened from the keyboard
  EXPECT_EQ(f.edit->GetText(), "");                        // Alt+F typed nothing
  // The edit menu starts with a sub-menu, which opening from the keyboard
  // highlights but leaves shut.
  TMenuItem* format = f.Add(f.menu->GetItems()->Items(1), "格式(&M)");
  f.menu->GetItems()->Items(1)->Insert(0, format);
  f.Add(format, "粗体");
  QTest::keyClick(OpenMenu(), Qt::Key_Right);
  Settle();
  ASSERT_NE(OpenMenu(), nullptr);
  EXPECT_EQ(ActiveText(OpenMenu()), "格式(&M)");
  ASSERT_NE(OpenMenu()->activeAction()->menu(), nullptr);
  EXPECT_FALSE(OpenMenu()->activeAction()->menu()->isVisible());
  QTest::keyClick(OpenMenu(), Qt::Key_Left);
  Settle();
  delete format;

  struct Step {
    Qt::Key key;
    int dropped;  // menu-bar button whose menu is open, -1 none
  } steps[] = {{Qt::Key_Right, 1}, {Qt::Key_Right, 2}, {Qt::Key_Right, 0}, {Qt::Key_Left, 2},
               {Qt::Key_Left, 1},  {Qt::Key_Escape, -1}};
  for (const Step& s : steps) {
    QTest::keyClick(OpenMenu(), s.key);
    Settle();
    EXPECT_EQ(f.bar->DroppedButton(), s.dropped < 0 ? nullptr : f.Button(s.dropped)) << s.key;
    EXPECT_EQ(OpenMenu() != nullptr, s.dropped >= 0) << s.key;
  }

  // F10 drops the first menu; Right on an entry with a sub-menu opens it.
  QTest::keyClick(f.EditWidget(), Qt::Key_F10);
  ASSERT_EQ(f.bar->DroppedButton(), f.Button(0));
  QTest::keyClick(OpenMenu(), Qt::Key_Down);
  QTest::keyClick(OpenMenu(), Qt::Key_Right);
  ASSERT_NE(OpenMenu(), nullptr);
  EXPECT_EQ(ActiveText(OpenMenu()), "一");
  QTest::keyClick(OpenMenu(), Qt::Key_Return);
  Settle();
  EXPECT_EQ(f.ran, (std::vector<std::string>{"一"}));

  // Alt+H, then the entry's accelerator letter.
  QTest::keyClick(f.EditWidget(), Qt::Key_H, Qt::AltModifier);
  QTest::keyClick(OpenMenu(), Qt::Key_H);
  Settle();
  EXPECT_EQ(f.ran.back(), "帮助(Help)");
  EXPECT_EQ(OpenMenu(), nullptr);
}

TEST(MenuInputTest, ShortcutsRunTheirEntriesFromAnywhereInTheForm) {
  MenuForm f;
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    const char* ran;  // nullptr: nothing runs
    const char* typed;
  } cases[] = {
      {Qt::Key_O, Qt::ControlModifier, "打开模板(Open)", ""},
      {Qt::Key_S, Qt::ControlModifier, "保存模板(Save)", ""},  // a hidden entry keeps its key
      {Qt::Key_P, Qt::ControlModifier, nullptr, ""},           // disabled: the key is taken, nothing runs
      {Qt::Key_F1, Qt::NoModifier, "帮助(Help)", ""},
      {Qt::Key_O, Qt::NoModifier, nullptr, "o"},
  };
  for (const Case& c : cases) {
    f.ran.clear();
    f.edit->SetText("");
    QTest::keyClick(f.EditWidget(), c.key, c.mods);
    Settle();
    EXPECT_EQ(f.ran, c.ran ? std::vector<std::string>{c.ran} : std::vector<std::string>{}) << c.key;
    EXPECT_EQ(f.edit->GetText(), c.typed) << c.key;
    EXPECT_EQ(OpenMenu(), nullptr);
  }
  // The same keys reach the menus when the form itself has the focus.
  f.ran.clear();
  f.form->SetFocus();
  QTest::keyClick(f.form->Widget(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(f.ran, (std::vector<std::string>{"打开模板(Open)"}));
}

TEST(MenuInputTest, RightClickOpensThePopupMenuAtThePointer) {
  MenuForm f;
  int popups = 0;
  f.popup->OnPopup = [&](TObject*) { ++popups; };
  struct Case {
    TControl* control;
    TPoint at;
  } cases[] = {{f.panel, {150, 90}}, {f.inner, {10, 10}}};  // the inner panel shows its parent's menu
  for (const Case& c : cases) {
    WindowClick(c.control, c.at, Qt::RightButton);
    QMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    TPoint pointer = ScreenPointOf(c.control, c.at);
    EXPECT_EQ(menu->pos(), QPoint(pointer.x, pointer.y));
    EXPECT_EQ(f.popup->PopupComponent, f.panel);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    Settle();
  }
  EXPECT_EQ(popups, 2);
  EXPECT_EQ(f.ran, (std::vector<std::string>{"画板", "画板"}));
  // A left click opens nothing; a pop-up menu freed is forgotten.
  WindowClick(f.panel, {150, 90});
  EXPECT_EQ(OpenMenu(), nullptr);
  delete f.popup;
  EXPECT_EQ(f.panel->GetPopupMenu(), nullptr);
  WindowClick(f.panel, {150, 90}, Qt::RightButton);
  EXPECT_EQ(OpenMenu(), nullptr);
}

TEST(MenuInputTest, AnEntryFreedWhileItsMenuIsOpenIsNotRun) {
  MenuForm f;
  WindowClick(f.Button(1), {5, 5});
  QMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  delete f.menu->GetItems()->Items(1)->Items(0);
  QTest::keyClick(menu, Qt::Key_Down);
  QTest::keyClick(menu, Qt::Key_Return);
  Settle();
  EXPECT_TRUE(f.ran.empty());
}

TEST(ToolButtonInputTest, QuickClicksAllCountAndCheckGroupsKeepTheirRules) {
  TForm* form = MakeForm<TForm>(nullptr);
  form->SetBounds(0, 0, 300, 100);
  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  bar->SetAlign(alTop);
  TToolButton* buttons[3];
  std::vector<int> clicks(3);
  for (int i = 0; i < 3; ++i) {
    buttons[i] = new TToolButton(form);
    buttons[i]->SetParent(bar);
    buttons[i]->OnClick = [&clicks, i](TObject*) { ++clicks[size_t(i)]; };
  }
  for (int i : {1, 2}) {
    buttons[i]->Style = tbsCheck;
    buttons[i]->Grouping = true;
  }
  bar->ArrangeButtons();
  form->Show();
  for (int i = 0; i < 5; ++i) WindowClick(buttons[0], {5, 5});
  WindowClick(buttons[0], {5, 5}, Qt::LeftButton, true);
  EXPECT_EQ(clicks[0], 7);
  WindowClick(buttons[1], {5, 5}, Qt::LeftButton, true);  // down, and stays down in its group
  EXPECT_TRUE(buttons[1]->GetDown());
  WindowClick(buttons[2], {5, 5});
  EXPECT_FALSE(buttons[1]->GetDown());
  EXPECT_TRUE(buttons[2]->GetDown());
  EXPECT_EQ(clicks, (std::vector<int>{7, 2, 1}));
  delete form;
}

}  // namespace

namespace {

// The window manager decides where a window's client area lands on the
// screen; a press on the last pixels of a tool bar still reaches it.
TEST(ToolButtonInputTest, PressesAtTheBarsEdgesReachTheButtons) {
  MenuForm f;
  f.bar->SetHeight(f.bar->ButtonHeight);
  TToolButton* last = f.Button(2);
  WindowClick(last, {last->GetWidth() - 1, last->GetHeight() - 1});
  EXPECT_NE(OpenMenu(), nullptr);
  EXPECT_EQ(f.bar->DroppedButton(), last);
}

}  // namespace

namespace {

TEST(MenuInputTest, ASecondClickOnTheButtonClosesItsMenu) {
  MenuForm f;
  WindowClick(f.Button(0), {5, 5});
  ASSERT_NE(OpenMenu(), nullptr);
  WindowClick(f.Button(0), {5, 5});
  Settle();
  EXPECT_EQ(OpenMenu(), nullptr);
  EXPECT_EQ(f.bar->DroppedButton(), nullptr);
  // A click on another menu button goes on to that menu.
  WindowClick(f.Button(0), {5, 5});
  WindowClick(f.Button(1), {5, 5});
  Settle();
  EXPECT_NE(OpenMenu(), nullptr);
  EXPECT_EQ(f.bar->DroppedButton(), f.Button(1));
  // A button freed while its menu is down takes the menu with it.
  delete f.Button(1);
  EXPECT_EQ(OpenMenu(), nullptr);
  EXPECT_EQ(f.bar->DroppedButton(), nullptr);
}

}  // namespace
