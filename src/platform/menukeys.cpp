// The keyboard's way into the menus: shortcuts, Alt+letter and F10 are
// offered to the menus before the focused control sees the key.
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/toolbars.h"

bool TCustomForm::IsShortCut(Word key, TShiftState shift) {
  // The menus the form owns answer their shortcuts, the menu bar's and the
  // pop-up menus' alike.
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* menu = dynamic_cast<TMenu*>(Components(i)); menu && menu->IsShortCut(key, shift)) return true;
  return false;
}

bool IsMenuKey(TWinControl* focus, Word key, TShiftState shift) {
  if (focus == nullptr) return false;
  for (TControl* c = focus; c; c = c->GetParent())
    if (TPopupMenu* popup = c->GetPopupMenu(); popup && popup->IsShortCut(key, shift)) return true;
  TCustomForm* form = GetParentForm(focus);
  if (!form) return false;
  if (form->IsShortCut(key, shift)) return true;
  TShiftState mods = shift & (ssShift | ssCtrl | ssAlt);
  bool letter = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
  char accel;
  if (mods == ssAlt && letter)
    accel = char(key);
  else if (mods == 0 && key == VK_F10)
    accel = 0;
  else
    return false;
  TToolBar* bar = FindMenuBar(form);
  return bar && bar->MenuKey(accel);
}
