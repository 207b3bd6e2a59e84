// The form a picture file dialog shows: the folder box with its "up"
// button, the file list, the name and type boxes and the two buttons on
// the left; the dialog's picture and information panels go beside and
// below them.
#pragma once

#include <string>
#include <vector>

#include "platform/forms.h"

class TButton;
class TComboBox;
class TEdit;
class TLabel;
class TListBox;
class TOpenPixDialog;
class TSpeedButton;

class TOpenPixForm : public TForm {
 public:
  TOpenPixForm(TOpenPixDialog* dialog, bool withPicture);

  // The folder the list shows.
  const std::string& Folder() const { return folder_; }
  void ShowFolder(const std::string& folder);
  // The list's entries: folders first ("[name]"), then the files that
  // match the selected filter, each sorted by name.
  const std::vector<std::string>& Entries() const { return entries_; }
  // The rectangle of the standard controls (the panels go beside it).
  TRect StaticRect() const;
  // The patterns of the selected filter.
  std::string CurrentPatterns() const;

  TLabel *LookInLabel, *NameLabel, *TypeLabel;
  TEdit* FolderEdit;
  TSpeedButton* UpButton;
  TListBox* FileList;
  TEdit* NameEdit;
  TComboBox* TypeCombo;
  TButton *OkButton, *CancelButton;

 private:
  void ListClick();
  void ListDblClick();
  void TypeChange();
  void OkClick();
  void FolderKey(unsigned short& key);
  TOpenPixDialog* dialog_;
  std::string folder_;
  std::vector<std::string> entries_;
  // Name entries in the list are folders.
  std::vector<bool> isFolder_;
  TRect static_{};
};
