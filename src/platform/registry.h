// The registry store: keys under a few roots holding named string values,
// kept in one text file in the user's configuration folder
// ($XDG_CONFIG_HOME/Cardwright/registry, else ~/.config/...). Every call
// reads the file and every change writes it whole, so separate objects
// and later runs see the same values. Key and value names ignore letter
// case; the empty value name is the key's default value.
//
// File-type keys under HKEY_CLASSES_ROOT are handed on to the desktop when
// the key is closed (shellapi.h, SyncDesktopFileTypes).
#pragma once

#include <cstdint>
#include <string>

#include "platform/classes.h"

using HKEY = uintptr_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;

CW_DECLARE_EXCEPTION(ERegistryException, Exception)

// The file the store lives in.
std::string RegistryFileName();

class TRegistry : public TObject {
 public:
  TRegistry() = default;
  ~TRegistry() override;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY GetRootKey() const { return root_; }
  // Closes the open key first. Unknown roots raise ERegistryException.
  void SetRootKey(HKEY root);

  // Opens a key: a name starting with '\' from the root, any other
  // relative to the open key. With canCreate a missing key is made; false
  // when it is missing and may not be made, or cannot be written.
  bool OpenKey(const std::string& key, bool canCreate);
  bool OpenKeyReadOnly(const std::string& key);
  bool CreateKey(const std::string& key);
  void CloseKey();
  // The open key's path below the root, without a leading '\'.
  std::string CurrentPath() const { return path_; }
  bool KeyExists(const std::string& key);
  // Deletes the key with all keys below it; false when it is missing.
  bool DeleteKey(const std::string& key);
  // The names of the keys right below the open key (the root when none).
  void GetKeyNames(TStrings* names);

  bool ValueExists(const std::string& name);
  // "" when there is no such value.
  std::string ReadString(const std::string& name);
  // Raises ERegistryException when no key is open, the key was opened
  // read-only, or the store cannot be written.
  void WriteString(const std::string& name, const std::string& value);
  bool DeleteValue(const std::string& name);

 private:
  // A key name made absolute ("\A\B" or "B" below the open key), without
  // leading or trailing '\'.
  std::string FullPath(const std::string& key) const;

  HKEY root_ = HKEY_CURRENT_USER;
  std::string path_;
  bool open_ = false;
  bool readOnly_ = false;
  // A file-type key changed since it was opened.
  bool classesChanged_ = false;
};
