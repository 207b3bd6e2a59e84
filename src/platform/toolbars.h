// The tool bar and its buttons. A button may stand for a menu item (its
// click is the item's), drop a pop-up menu down, stay down as a check
// button, or be a separator; check buttons with Grouping act as a group.
#pragma once

#include <memory>

#include "platform/buttons.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolBar;

class TToolButton : public TGraphicButton {
 public:
  explicit TToolButton(TComponent* owner);
  ~TToolButton() override;
  TToolButtonStyle Style = tbsButton;
  bool GetDown() const { return down_; }
  // From code: fires nothing; a grouped button takes its group down.
  void SetDown(bool v);
  bool Grouping = false;
  bool AllowAllUp = false;
  int ImageIndex = -1;
  // The menu item this button stands for (caption, enabled and click).
  TMenuItem* GetMenuItem() const { return menuItem_; }
  void SetMenuItem(TMenuItem* item);
  // Dropped down under the button when it is clicked.
  TPopupMenu* DropdownMenu = nullptr;
  TToolBar* GetToolBar() const;
  // The user's click: check buttons flip, a menu button drops its menu,
  // then the menu item's click or OnClick.
  void Click() override;

 protected:
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool down_ = false;
  TMenuItem* menuItem_ = nullptr;
};

class TToolBar : public TCustomControl {
 public:
  explicit TToolBar(TComponent* owner);
  ~TToolBar() override;
  int ButtonCount() const;
  TToolButton* Buttons(int index) const;
  int ButtonWidth = 23;
  int ButtonHeight = 22;
  bool Flat = false;
  bool ShowCaptions = false;
  bool Wrapable = true;
  // Lays the buttons left to right in their order.
  void ArrangeButtons();
  void Dispatch(TMessage& m) override;

  // A bar whose buttons stand for menus is a menu bar: a button's menu
  // drops down under it; opened from the keyboard its first entry is
  // highlighted, and Left and Right go on to the neighbouring menus.
  bool IsMenuBar() const;
  bool DropMenu(TToolButton* button, bool fromKeyboard);
  // The button whose menu is down now, or nullptr.
  TToolButton* DroppedButton() const { return dropped_; }
  // Alt+letter: the button of that accelerator drops its menu (or
  // clicks); 0 (F10) drops the first menu.
  bool MenuKey(char accel);

 protected:
  void Paint() override;

 private:
  std::vector<TToolButton*> MenuButtons() const;
  TToolButton* dropped_ = nullptr;
  // Expires with the bar: a menu's late answer finds no bar to act on.
  std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

// The first showing menu bar among a form's controls, or nullptr.
TToolBar* FindMenuBar(TWinControl* form);
