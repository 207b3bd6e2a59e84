#include <gtest/gtest.h>

#include "control_log.h"
#include "platform/menus.h"
#include "platform/toolbars.h"

namespace {

TMenuItem* Item(TComponent* owner, const std::string& caption, intptr_t tag = 0) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  item->Tag = tag;
  return item;
}

TEST(MenuTest, TreeEditingAsTheCustomTemplateMenuDoesIt) {
  TForm form(nullptr);
  TMainMenu menu(&form);
  TMenuItem* custom = Item(&form, "自定义模板");
  menu.GetItems()->Add(custom);
  custom->Add(Item(&form, "保存为自定义模板"));
  TMenuItem* remove = Item(&form, "删除自定义模板");
  custom->Add(remove);
  custom->Insert(remove->GetMenuIndex() + 1, Item(&form, cLineCaption));
  std::vector<intptr_t> opened;
  for (int n = 1; n <= 3; ++n) {
    TMenuItem* entry = Item(&form, IntToStr(n), n);
    entry->OnClick = [&](TObject* s) { opened.push_back(static_cast<TMenuItem*>(s)->Tag); };
    custom->Add(entry);
  }
  EXPECT_EQ(custom->Count(), 6);
  EXPECT_TRUE(custom->Items(2)->IsLine());
  custom->Items(4)->Click();
  // Removing the entry of number 2 (position n + 2) keeps the others.
  TMenuItem* gone = custom->Items(2 + 2);
  custom->Delete(2 + 2);
  delete gone;
  EXPECT_EQ(custom->Count(), 5);
  custom->Items(4)->Click();
  EXPECT_EQ(opened, (std::vector<intptr_t>{2, 3}));
  EXPECT_THROW(custom->Items(9), EMenuError);
  EXPECT_THROW(custom->Items(0)->Add(custom), EMenuError);  // no item inside itself
  EXPECT_EQ(custom->GetMenu(), &menu);
}

TEST(MenuTest, ClickRulesAccelShortcutsAndRadioItems) {
  TMainMenu menu(nullptr);
  auto* file = new TMenuItem(nullptr);
  file->SetCaption("文件(&F)");
  menu.GetItems()->Add(file);
  struct Case {
    const char* caption;
    bool enabled, visible, autoCheck;
  } cases[] = {{"打开(&O)", true, true, false}, {"保存(&S)", false, true, false}, {"隐藏(&H)", true, false, false},
               {"工具栏(&T)", true, true, true}};
  std::vector<std::string> clicked;
  for (const Case& c : cases) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(c.caption);
    item->SetEnabled(c.enabled);
    item->SetVisible(c.visible);
    item->AutoCheck = c.autoCheck;
    item->OnClick = [&clicked, item](TObject*) { clicked.push_back(StripHotkey(item->GetCaption())); };
    file->Add(item);
  }
  for (int i = 0; i < file->Count(); ++i) file->Items(i)->Click();
  EXPECT_EQ(clicked, (std::vector<std::string>{"打开(O)", "隐藏(H)", "工具栏(T)"}));
  EXPECT_TRUE(file->Items(3)->GetChecked());
  EXPECT_EQ(HotkeyOf(file->GetCaption()), 'F');
  EXPECT_EQ(menu.GetItems()->FindAccel('F'), file);
  EXPECT_EQ(file->FindAccel('H'), nullptr);  // hidden
  file->Items(0)->ShortCut = ShortCut('O', ssCtrl);
  EXPECT_TRUE(menu.IsShortCut('O', ssCtrl));
  EXPECT_FALSE(menu.IsShortCut('O', 0));
  EXPECT_EQ(clicked.back(), "打开(O)");
  // Radio items of one group exclude each other.
  for (int i : {0, 3}) {
    file->Items(i)->RadioItem = true;
    file->Items(i)->GroupIndex = 1;
  }
  file->Items(0)->SetChecked(true);
  EXPECT_FALSE(file->Items(3)->GetChecked());
  EXPECT_EQ(StripHotkey("A&&B&c"), "A&Bc");
}

TEST(ToolBarTest, ButtonsForwardToMenuItemsAndCheckButtonsGroup) {
  TForm form(nullptr);
  TToolBar bar(nullptr);
  bar.SetParent(&form);
  bar.SetBounds(0, 0, 100, 30);
  TMenuItem save(nullptr);
  save.SetCaption("保存");
  int saves = 0;
  save.OnClick = [&](TObject*) { ++saves; };
  TToolButton b1(nullptr), b2(nullptr), b3(nullptr), b4(nullptr);
  for (TToolButton* b : {&b1, &b2, &b3, &b4}) b->SetParent(&bar);
  b1.SetMenuItem(&save);
  for (TToolButton* b : {&b2, &b3}) {
    b->Style = tbsCheck;
    b->Grouping = true;
  }
  b4.Style = tbsCheck;
  bar.ArrangeButtons();
  EXPECT_EQ(b2.GetLeft(), 23);
  EXPECT_EQ(b1.GetCaption(), "保存");
  b1.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(2, 2));
  b1.Perform(WM_LBUTTONUP, 0, XY(2, 2));
  EXPECT_EQ(saves, 1);
  b2.Click();
  b3.Click();
  b3.Click();  // the group keeps one down
  b4.Click();
  b4.Click();  // a lone check button comes up again
  EXPECT_FALSE(b2.GetDown());
  EXPECT_TRUE(b3.GetDown());
  EXPECT_FALSE(b4.GetDown());
  EXPECT_EQ(bar.ButtonCount(), 4);
  for (TToolButton* b : {&b1, &b2, &b3, &b4}) b->SetParent(nullptr);
  bar.SetParent(nullptr);
}

TEST(PopupMenuTest, PopupRunsOnPopupHeadless) {
  TPopupMenu popup(nullptr);
  int shown = 0;
  popup.OnPopup = [&](TObject*) { ++shown; };
  popup.Popup(10, 10);
  EXPECT_EQ(shown, 1);
}

}  // namespace
