// Menus: items in a tree (caption with an & accelerator, check mark,
// visibility, enabled state, tag, shortcut), the form's main menu and
// pop-up menus. Click runs the item's OnClick as choosing it would; in the
// program a pop-up menu opens as a real menu.
#pragma once

#include <string>
#include <vector>

#include "platform/controls.h"

using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
TShortCut ShortCut(Word key, TShiftState shift);

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
  // The visible, enabled item anywhere in the menu with this shortcut.
  TMenuItem* FindItemByShortCut(TShortCut shortCut) const;
  // Runs the item of a shortcut; true when there was one.
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

// Opens a menu item's sub-items as a real menu at a screen point and
// returns the item chosen (nullptr when none, and always headless).
TMenuItem* TrackMenu(TMenuItem* root, TPoint screen);
