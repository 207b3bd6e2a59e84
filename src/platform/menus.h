// Menus: items in a tree (caption with an & accelerator, check mark,
// visibility, enabled state, tag, shortcut), the form's main menu and
// pop-up menus. Click runs the item's OnClick as choosing it would; in the
// program a pop-up menu opens as a real menu.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/controls.h"

using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
TShortCut ShortCut(Word key, TShiftState shift);
// "Ctrl+O", "F1": how a menu shows a shortcut beside its entry.
std::string ShortCutToText(TShortCut shortCut);

// The caption of a separator line.
inline const char* const cLineCaption = "-";

class TMenu;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  std::string GetCaption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool GetChecked() const { return checked_; }
  // Checking a radio item unchecks the others of its GroupIndex.
  void SetChecked(bool v);
  bool GetVisible() const { return visible_; }
  void SetVisible(bool v);
  bool GetEnabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool IsLine() const { return caption_ == cLineCaption; }
  std::string Hint;
  TShortCut ShortCut = 0;
  bool RadioItem = false;
  bool AutoCheck = false;
  uint8_t GroupIndex = 0;

  // Sub-items.
  int Count() const { return int(items_.size()); }
  TMenuItem* Items(int index) const;
  TMenuItem* operator[](int index) const { return Items(index); }
  TMenuItem* GetParent() const { return parent_; }
  int GetMenuIndex() const;
  int IndexOf(const TMenuItem* item) const;
  // Adds at the end; the item leaves any menu it was in. An item cannot
  // go into itself or its own sub-items (EMenuError).
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the item at index out without freeing it.
  void Delete(int index);
  void Remove(TMenuItem* item);
  void Clear();  // frees the sub-items
  // The sub-item whose accelerator is `key`, or nullptr.
  TMenuItem* FindAccel(char key) const;

  // Chooses the item: AutoCheck flips the mark, then OnClick (when enabled).
  virtual void Click();
  TNotifyEvent OnClick;

  // The menu the item's tree belongs to.
  TMenu* GetMenu() const;

 private:
  friend class TMenu;
  void Changed();
  std::string caption_;
  bool checked_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;
};

CW_DECLARE_EXCEPTION(EMenuError, Exception)

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  // The root item; its sub-items are the menu's entries.
  TMenuItem* GetItems() const { return items_; }
  // The item anywhere in the menu with this shortcut; hidden entries keep
  // their shortcuts, so a command can have a key without a menu line.
  TMenuItem* FindItemByShortCut(TShortCut shortCut) const;
  // Runs the item of a shortcut (when it is enabled); true when the menu
  // has the shortcut, and then the key is used up.
  bool IsShortCut(Word key, TShiftState shift);
  // Told whenever an item of the tree changed.
  TNotifyEvent OnChange;

 private:
  friend class TMenuItem;
  TMenuItem* items_;
};

// The form's menu bar.
class TMainMenu : public TMenu {
 public:
  using TMenu::TMenu;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
 public:
  using TMenu::TMenu;
  // OnPopup, then (in the program) the menu opens at the screen point and
  // the chosen item is clicked. PopupComponent names who asked.
  virtual void Popup(int x, int y);
  TComponent* PopupComponent = nullptr;
  TPopupAlignment Alignment = paLeft;
  bool AutoPopup = true;
  TNotifyEvent OnPopup;
};

// How a menu dropped from a bar meets the keyboard at its edges.
struct TMenuTrack {
  // The menu was opened from the keyboard: its first entry is highlighted.
  bool SelectFirst = false;
  // Left or Right beyond the menu's own entries (-1 or +1): the bar drops
  // its neighbouring menu.
  std::function<void(int step)> OnStep;
  // A press outside the menu closed it (screen point): a press on another
  // button of the bar drops that button's menu.
  std::function<void(TPoint screen)> OnPressOutside;
  // The menu closed, with or without a choice.
  std::function<void()> OnClose;
};

// Opens a menu item's sub-items as a real menu at a screen point and
// returns at once. Choosing an entry (mouse, arrows and Return, or its
// accelerator letter) closes the menu, then runs the entry's Click from
// the message loop, as the platform's menu command arrives. False when
// there is nothing to show. One menu is open at a time.
bool TrackMenu(TMenuItem* root, TPoint screen, TMenuTrack track = {});
// Closes the open menu without a choice.
void CloseTrackedMenu();
// The screen point of a control's client point as the window shows it
// (where the window manager put it), for menus to open at.
TPoint ScreenPointOf(const TControl* control, TPoint client);

// Offers a key press to the menus before the focused control sees it:
// the pop-up menus of the control and its parents and the menus of its
// form take their shortcuts, Alt+letter drops the form's menu-bar menu of
// that accelerator and F10 its first menu. True when a menu took the key.
bool IsMenuKey(TWinControl* focus, Word key, TShiftState shift);
