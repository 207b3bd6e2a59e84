// The choice of scanner: a list of the sources with OK and Cancel.
#pragma once

#include <string>
#include <vector>

#include "platform/forms.h"

class TListBox;
class TButton;

class TIETWSelectSourceDialog : public TForm {
 public:
  explicit TIETWSelectSourceDialog(TComponent* owner);
  // Lists the names with `selected` chosen; true, with the chosen name in
  // `name`, when the user confirms a choice.
  bool Execute(const std::vector<std::string>& names, const std::string& selected, std::string& name);

  TListBox* SourceList = nullptr;
  TButton* OkButton = nullptr;
  TButton* CancelButton = nullptr;
};
