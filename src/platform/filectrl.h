// The folder form's controls: the folder list (the chosen folder, its
// parents and sub-folders; moving makes it the process's current folder),
// the file list of a folder by mask, the filter combo ("Name|*.ext|...")
// and the drive combo (on this system the one root "/").
#pragma once

#include <string>

#include "platform/stdctrls.h"

class TFileListBox;

class TFileListBox : public TCustomListBox {
 public:
  explicit TFileListBox(TComponent* owner);
  std::string GetDirectory() const { return directory_; }
  void SetDirectory(const std::string& dir);
  std::string GetMask() const { return mask_; }
  // Masks separated by ';' (case ignored), "*.*" for all files.
  void SetMask(const std::string& mask);
  // The chosen file's full path, "" when none is chosen.
  std::string GetFileName() const;
  // Re-reads the folder.
  void ReadFolder();

 private:
  std::string directory_;
  std::string mask_ = "*.*";
};

class TDirectoryListBox : public TCustomListBox {
 public:
  explicit TDirectoryListBox(TComponent* owner);
  // The folder without a trailing separator (except the root "/").
  std::string GetDirectory() const { return directory_; }
  // From code or the user: becomes the current folder, fills the list,
  // tells the file list and fires OnChange. A folder that does not exist
  // raises EInOutError and leaves everything as it was.
  void SetDirectory(const std::string& dir);
  TFileListBox* FileList = nullptr;
  TNotifyEvent OnChange;
  // Re-reads the sub-folders.
  void ReadFolder();
  // The full path of a list entry.
  std::string GetItemPath(int index) const;
  void Dispatch(TMessage& m) override;

 private:
  std::string directory_;
  int firstChild_ = 0;  // list index of the first sub-folder
};

class TFilterComboBox : public TComboBox {
 public:
  explicit TFilterComboBox(TComponent* owner);
  std::string GetFilter() const { return filter_; }
  // Rebuilds the entries and selects the first, only when the filter
  // differs from the one held.
  void SetFilter(const std::string& filter);
  // The mask of the chosen entry.
  std::string GetMask() const;
  TFileListBox* FileList = nullptr;

 protected:
  void Change() override;

 private:
  std::string filter_;
  std::vector<std::string> masks_;
};

class TDriveComboBox : public TComboBox {
 public:
  explicit TDriveComboBox(TComponent* owner);
  TDirectoryListBox* DirList = nullptr;
  char GetDrive() const { return '/'; }
};
