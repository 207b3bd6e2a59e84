#include "platform/filectrl.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string CleanDir(const std::string& dir) {
  std::string native = NativePath(dir);
  std::error_code ec;
  fs::path p = fs::absolute(native, ec).lexically_normal();
  std::string s = p.string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s.empty() ? "/" : s;
}

bool MatchesAny(const std::string& name, const std::string& masks) {
  for (const QString& mask : QString::fromStdString(masks).split(';', Qt::SkipEmptyParts)) {
    QString m = mask.trimmed();
    if (m == "*.*" || m == "*") return true;
    QRegularExpression re(QRegularExpression::wildcardToRegularExpression(m),
                          QRegularExpression::CaseInsensitiveOption);
    if (re.match(QString::fromStdString(name)).hasMatch()) return true;
  }
  return false;
}

}  // namespace

// TFileListBox --------------------------------------------------------------------------

TFileListBox::TFileListBox(TComponent* owner) : TCustomListBox(owner) {
  directory_ = CleanDir(GetCurrentDir());
  ReadFolder();
}

void TFileListBox::SetDirectory(const std::string& dir) {
  directory_ = CleanDir(dir);
  ReadFolder();
}

void TFileListBox::SetMask(const std::string& mask) {
  mask_ = mask.empty() ? "*.*" : mask;
  ReadFolder();
}

void TFileListBox::ReadFolder() {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(directory_, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::string name = it->path().filename().string();
    if (MatchesAny(name, mask_)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  items_.BeginUpdate();
  items_.Clear();
  for (const std::string& n : names) items_.Add(n);
  items_.EndUpdate();
}

std::string TFileListBox::GetFileName() const {
  int i = GetItemIndex();
  if (i < 0) return {};
  return (fs::path(directory_) / items_.Get(i)).string();
}

// TDirectoryListBox ---------------------------------------------------------------------

TDirectoryListBox::TDirectoryListBox(TComponent* owner) : TCustomListBox(owner) {
  directory_ = CleanDir(GetCurrentDir());
  ReadFolder();
}

void TDirectoryListBox::SetDirectory(const std::string& dir) {
  std::string clean = CleanDir(dir);
  if (!DirectoryExists(clean)) throw EInOutError("Folder does not exist: " + dir);
  if (!SetCurrentDir(clean)) throw EInOutError("Cannot open folder: " + dir);
  bool changed = clean != directory_;
  directory_ = clean;
  ReadFolder();
  if (FileList) FileList->SetDirectory(directory_);
  if (changed && OnChange) OnChange(this);
}

void TDirectoryListBox::ReadFolder() {
  items_.BeginUpdate();
  items_.Clear();
  // The chain of parents from the root down to the folder itself.
  std::vector<std::string> chain;
  for (fs::path p = directory_;; p = p.parent_path()) {
    chain.push_back(p.string());
    if (p == p.parent_path()) break;
  }
  std::reverse(chain.begin(), chain.end());
  for (const std::string& c : chain) {
    std::string name = fs::path(c).filename().string();
    items_.Add(name.empty() ? c : name);
  }
  firstChild_ = items_.Count();
  std::vector<std::string> children;
  std::error_code ec;
  for (fs::directory_iterator it(directory_, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_directory(typeError)) children.push_back(it->path().filename().string());
  }
  std::sort(children.begin(), children.end(),
            [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  for (const std::string& c : children) items_.Add(c);
  items_.EndUpdate();
  SetItemIndex(firstChild_ - 1);
}

std::string TDirectoryListBox::GetItemPath(int index) const {
  if (index < 0 || index >= items_.Count()) return {};
  if (index >= firstChild_) return (fs::path(directory_) / items_.Get(index)).string();
  fs::path p = directory_;
  for (int up = firstChild_ - 1 - index; up > 0; --up) p = p.parent_path();
  return p.string();
}

void TDirectoryListBox::Dispatch(TMessage& m) {
  TCustomListBox::Dispatch(m);
  // A double click (or Enter) opens the entry.
  if ((m.Msg == WM_LBUTTONDBLCLK || (m.Msg == WM_KEYDOWN && m.WParam == WPARAM(VK_RETURN))) && GetItemIndex() >= 0)
    SetDirectory(GetItemPath(GetItemIndex()));
}

// TFilterComboBox -----------------------------------------------------------------------

TFilterComboBox::TFilterComboBox(TComponent* owner) : TComboBox(owner) {
  SetStyle(csDropDownList);
  SetFilter("All files (*.*)|*.*");
}

void TFilterComboBox::SetFilter(const std::string& filter) {
  if (filter == filter_) return;
  filter_ = filter;
  masks_.clear();
  GetItems()->Clear();
  QStringList parts = QString::fromStdString(filter).split('|');
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    GetItems()->Add(parts[i].toStdString());
    masks_.push_back(parts[i + 1].toStdString());
  }
  SetItemIndex(GetItems()->Count() > 0 ? 0 : -1);
  if (FileList) FileList->SetMask(GetMask());
}

std::string TFilterComboBox::GetMask() const {
  int i = GetItemIndex();
  return i >= 0 && i < int(masks_.size()) ? masks_[size_t(i)] : "*.*";
}

void TFilterComboBox::Change() {
  if (FileList) FileList->SetMask(GetMask());
  TComboBox::Change();
}

// TDriveComboBox ------------------------------------------------------------------------

TDriveComboBox::TDriveComboBox(TComponent* owner) : TComboBox(owner) {
  SetStyle(csDropDownList);
  GetItems()->Add("/");
  SetItemIndex(0);
}
