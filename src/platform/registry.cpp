// The registry store and its file. The file is text, one key a section:
//
//   [HKEY_CLASSES_ROOT\.pmt]
//   @="CardwrightFile"
//   "Name"="a \"quoted\" value"
//
// '@' is the default value; '\\', '\"' and '\n' are escaped inside quotes.
// Lines that do not read as a key or a value are skipped, so a damaged
// file loses only those lines.
#include "platform/registry.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

#include "platform/shellapi.h"
#include "platform/sysutils.h"

namespace {

struct TStoreValue {
  std::string Name;
  std::string Data;
};

struct TStoreKey {
  std::string Path;  // root name, then the key's path: "HKEY_CURRENT_USER\A\B"
  std::vector<TStoreValue> Values;
};

using TStore = std::vector<TStoreKey>;

std::string RootName(HKEY root) {
  switch (root) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    default: return "";
  }
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"')
      out += {'\\', c};
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out + "\"";
}

// Reads a quoted text starting at `pos`; false when it is not one.
bool Unquote(const std::string& line, size_t& pos, std::string& text) {
  if (pos >= line.size() || line[pos] != '"') return false;
  text.clear();
  for (++pos; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\') {
      if (++pos >= line.size()) return false;
      c = line[pos] == 'n' ? '\n' : line[pos];
    }
    text += c;
  }
  return false;
}

TStore LoadStore() {
  TStore store;
  std::ifstream file(RegistryFileName(), std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      store.push_back({line.substr(1, line.size() - 2), {}});
      continue;
    }
    if (store.empty()) continue;
    TStoreValue value;
    size_t pos = 0;
    if (line.rfind("@=", 0) == 0) {
      pos = 1;
    } else if (!Unquote(line, pos, value.Name) || value.Name.empty()) {
      continue;
    }
    if (pos >= line.size() || line[pos] != '=') continue;
    ++pos;
    if (!Unquote(line, pos, value.Data) || pos != line.size()) continue;
    store.back().Values.push_back(value);
  }
  return store;
}

// Writes the whole store beside the file, then puts it in place, so that a
// failed write leaves the old file whole.
bool SaveStore(const TStore& store) {
  const std::string name = RegistryFileName();
  if (!ForceDirectories(ExtractFileDir(name))) return false;
  std::ostringstream text;
  for (const TStoreKey& key : store) {
    text << '[' << key.Path << "]\n";
    for (const TStoreValue& value : key.Values)
      text << (value.Name.empty() ? std::string("@") : Quote(value.Name)) << '=' << Quote(value.Data) << '\n';
  }
  const std::string temporary = name + ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text.str();
    file.flush();
    if (!file) {
      ::unlink(temporary.c_str());
      return false;
    }
  }
  if (::rename(temporary.c_str(), name.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

// A key path in canonical form: no empty parts, single '\' between parts.
std::string Canonical(const std::string& path) {
  std::string out;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) out += (out.empty() ? "" : "\\") + path.substr(start, end - start);
    start = end + 1;
  }
  return out;
}

// Line breaks would split a key's line in the file.
bool Storable(const std::string& path) { return path.find_first_of("\r\n") == std::string::npos; }

std::string StorePath(HKEY root, const std::string& path) { return path.empty() ? RootName(root) : RootName(root) + "\\" + path; }

// True when `path` is `key` or lies below it (letter case ignored).
bool IsAtOrBelow(const std::string& path, const std::string& key) {
  if (path.size() < key.size() || !SameText(path.substr(0, key.size()), key)) return false;
  return path.size() == key.size() || path[key.size()] == '\\';
}

TStoreKey* FindKey(TStore& store, const std::string& path) {
  for (TStoreKey& key : store)
    if (SameText(key.Path, path)) return &key;
  return nullptr;
}

bool Exists(const TStore& store, const std::string& path) {
  if (path.find('\\') == std::string::npos) return true;  // a root
  for (const TStoreKey& key : store)
    if (IsAtOrBelow(key.Path, path)) return true;
  return false;
}

TStoreValue* FindValue(TStoreKey* key, const std::string& name) {
  if (key == nullptr) return nullptr;
  for (TStoreValue& value : key->Values)
    if (SameText(value.Name, name)) return &value;
  return nullptr;
}

}  // namespace

std::string RegistryFileName() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (config && *config == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home ? home : "") + "/.config";
  }
  return IncludeTrailingPathDelimiter(base) + "Cardwright/registry";
}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root) {
  if (RootName(root).empty()) throw ERegistryException("Unknown root key");
  CloseKey();
  root_ = root;
}

std::string TRegistry::FullPath(const std::string& key) const {
  if (!key.empty() && key[0] == '\\') return Canonical(key);
  return Canonical(open_ ? path_ + "\\" + key : key);
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  std::string path = FullPath(key);
  CloseKey();
  if (!Storable(path)) return false;
  TStore store = LoadStore();
  std::string stored = StorePath(root_, path);
  if (!Exists(store, stored)) {
    if (!canCreate) return false;
    store.push_back({stored, {}});
    if (!SaveStore(store)) return false;
  }
  path_ = path;
  open_ = true;
  readOnly_ = false;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  if (!OpenKey(key, false)) return false;
  readOnly_ = true;
  return true;
}

bool TRegistry::CreateKey(const std::string& key) {
  if (!Storable(key)) return false;
  TStore store = LoadStore();
  std::string stored = StorePath(root_, FullPath(key));
  if (Exists(store, stored)) return true;
  store.push_back({stored, {}});
  return SaveStore(store);
}

void TRegistry::CloseKey() {
  open_ = false;
  readOnly_ = false;
  path_.clear();
  if (classesChanged_) {
    classesChanged_ = false;
    SyncDesktopFileTypes();
  }
}

bool TRegistry::KeyExists(const std::string& key) { return Exists(LoadStore(), StorePath(root_, FullPath(key))); }

bool TRegistry::DeleteKey(const std::string& key) {
  std::string path = FullPath(key);
  if (path.empty()) return false;  // never a whole root
  TStore store = LoadStore();
  std::string stored = StorePath(root_, path);
  size_t before = store.size();
  std::erase_if(store, [&](const TStoreKey& k) { return IsAtOrBelow(k.Path, stored); });
  if (store.size() == before || !SaveStore(store)) return false;
  if (root_ == HKEY_CLASSES_ROOT) SyncDesktopFileTypes();
  return true;
}

void TRegistry::GetKeyNames(TStrings* names) {
  names->Clear();
  std::string parent = StorePath(root_, open_ ? path_ : "");
  for (const TStoreKey& key : LoadStore()) {
    if (!IsAtOrBelow(key.Path, parent) || key.Path.size() == parent.size()) continue;
    std::string rest = key.Path.substr(parent.size() + 1);
    std::string child = rest.substr(0, rest.find('\\'));
    bool known = false;
    for (int i = 0; i < names->Count() && !known; ++i) known = SameText(names->Get(i), child);
    if (!known) names->Add(child);
  }
}

bool TRegistry::ValueExists(const std::string& name) {
  if (!open_) return false;
  TStore store = LoadStore();
  return FindValue(FindKey(store, StorePath(root_, path_)), name) != nullptr;
}

std::string TRegistry::ReadString(const std::string& name) {
  if (!open_) return "";
  TStore store = LoadStore();
  TStoreValue* value = FindValue(FindKey(store, StorePath(root_, path_)), name);
  return value ? value->Data : "";
}

void TRegistry::WriteString(const std::string& name, const std::string& data) {
  const std::string failure = "Failed to set data for '" + name + "'";
  if (!open_ || readOnly_) throw ERegistryException(failure);
  TStore store = LoadStore();
  std::string stored = StorePath(root_, path_);
  TStoreKey* key = FindKey(store, stored);
  if (key == nullptr) {
    store.push_back({stored, {}});
    key = &store.back();
  }
  if (TStoreValue* value = FindValue(key, name))
    value->Data = data;
  else
    key->Values.push_back({name, data});
  if (!SaveStore(store)) throw ERegistryException(failure);
  if (root_ == HKEY_CLASSES_ROOT) classesChanged_ = true;
}

bool TRegistry::DeleteValue(const std::string& name) {
  if (!open_ || readOnly_) return false;
  TStore store = LoadStore();
  TStoreKey* key = FindKey(store, StorePath(root_, path_));
  if (FindValue(key, name) == nullptr) return false;
  std::erase_if(key->Values, [&](const TStoreValue& v) { return SameText(v.Name, name); });
  if (!SaveStore(store)) return false;
  if (root_ == HKEY_CLASSES_ROOT) classesChanged_ = true;
  return true;
}
