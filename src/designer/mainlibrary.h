// The template library's menu: its categories and their numbered entries.
#pragma once

#include <string>

#include "platform/menus.h"

// A library entry: it keeps the category of its template itself, so what
// its parent menu shows (an accelerator, a translation) never changes the
// file it opens. Its number is its Tag.
class TLibraryEntry : public TMenuItem {
 public:
  using TMenuItem::TMenuItem;
  std::string Category;
};

// The folder of the custom templates under the working folder.
inline const char* const kCustomTemplateFolder = "Mode/自定义模板/";

class TMainForm;
// Sets the window's template path and its open-without-dialog flag and runs
// the template Open command; when the open raises, the flag is cleared
// before the exception goes on.
void OpenTemplateWithoutDialog(TMainForm* form, const std::string& path);
