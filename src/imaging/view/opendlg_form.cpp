// The picture file dialog's form: its standard controls, the folder list
// and how the user's clicks and keys on them reach the dialog.
#include "imaging/view/opendlg_form.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "imaging/view/opendlg.h"
#include "platform/buttons.h"
#include "platform/commdlg.h"
#include "platform/messages.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

namespace {

// A "*.ext" or "*" pattern against a file name, ignoring letter case.
bool MatchesPattern(const std::string& name, const std::string& pattern) {
  const std::string p = LowerCase(pattern), n = LowerCase(name);
  if (p == "*" || p == "*.*") return true;
  if (p.size() >= 2 && p[0] == '*' && p.find('*', 1) == std::string::npos)
    return n.size() >= p.size() - 1 && n.compare(n.size() - (p.size() - 1), p.size() - 1, p, 1) == 0;
  return n == p;
}

bool MatchesAny(const std::string& name, const std::string& patterns) {
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == std::string::npos) end = patterns.size();
    const std::string one = Trim(patterns.substr(start, end - start));
    if (!one.empty() && MatchesPattern(name, one)) return true;
    start = end + 1;
  }
  return false;
}

template <class T>
T* Make(TForm* form, TWinControl* parent, const char* name, int x, int y, int w, int h) {
  auto* c = new T(form);
  c->Name = name;
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

}  // namespace

TOpenPixForm::TOpenPixForm(TOpenPixDialog* dialog, bool withPicture) : TForm(nullptr), dialog_(dialog) {
  Name = "OpenPixForm";
  SetBorderStyle(bsDialog);
  const int width = withPicture ? 660 : 420;
  SetClientWidth(width);
  SetClientHeight(dialog->ExtendedDialog ? 372 : 312);
  static_ = {8, 8, 412, 306};

  LookInLabel = Make<TLabel>(this, this, "LookInLabel", 8, 13, 80, 16);
  LookInLabel->SetCaption(dialog->IsSaveDialog() ? "保存在(I):" : "查找范围(I):");
  FolderEdit = Make<TEdit>(this, this, "FolderEdit", 96, 10, 280, 22);
  UpButton = Make<TSpeedButton>(this, this, "UpButton", 382, 9, 26, 24);
  UpButton->SetCaption("↑");
  UpButton->Hint = "向上一级";
  UpButton->ShowHint = true;
  FileList = Make<TListBox>(this, this, "FileList", 8, 40, 400, 196);
  NameLabel = Make<TLabel>(this, this, "NameLabel", 8, 249, 84, 16);
  NameLabel->SetCaption("文件名(N):");
  NameEdit = Make<TEdit>(this, this, "NameEdit", 96, 246, 216, 22);
  TypeLabel = Make<TLabel>(this, this, "TypeLabel", 8, 279, 84, 16);
  TypeLabel->SetCaption(dialog->IsSaveDialog() ? "保存类型(T):" : "文件类型(T):");
  TypeCombo = Make<TComboBox>(this, this, "TypeCombo", 96, 276, 216, 22);
  TypeCombo->SetStyle(csDropDownList);
  TypeCombo->DropDownCount = 12;
  OkButton = Make<TButton>(this, this, "OkButton", 320, 245, 88, 25);
  OkButton->SetCaption(dialog->IsSaveDialog() ? "保存(&S)" : "打开(&O)");
  OkButton->Default = true;
  CancelButton = Make<TButton>(this, this, "CancelButton", 320, 275, 88, 25);
  CancelButton->SetCaption("取消");
  CancelButton->Cancel = true;
  CancelButton->ModalResult = mrCancel;

  for (const TFileFilter& f : ParseFileFilter(dialog->Filter)) TypeCombo->GetItems()->Add(f.Description);
  const int index = dialog->GetFilterIndex();
  TypeCombo->SetItemIndex(index >= 1 && index <= TypeCombo->GetItems()->Count() ? index - 1 : 0);

  FileList->OnClick = [this](TObject*) { ListClick(); };
  // A double click (or Enter) opens a folder or chooses a file.
  FileList->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState shift, int, int) {
    if (button == mbLeft && (shift & ssDouble)) ListDblClick();
  };
  FileList->OnKeyDown = [this](TObject*, Word& key, TShiftState) {
    if (key != VK_RETURN) return;
    key = 0;
    ListDblClick();
  };
  TypeCombo->OnChange = [this](TObject*) { TypeChange(); };
  OkButton->OnClick = [this](TObject*) { OkClick(); };
  UpButton->OnClick = [this](TObject*) {
    const std::string parent = ExtractFileDir(ExcludeTrailingPathDelimiter(folder_));
    if (!parent.empty() && parent != folder_) ShowFolder(parent);
    dialog_->DoFolderChange();
  };
  FolderEdit->OnKeyDown = [this](TObject*, Word& key, TShiftState) { FolderKey(key); };

  const std::string name = ExtractFileName(dialog->GetFileName());
  ShowFolder(dialog->StartFolder());
  NameEdit->SetText(name);
}

TRect TOpenPixForm::StaticRect() const { return static_; }

std::string TOpenPixForm::CurrentPatterns() const {
  const std::vector<TFileFilter> filters = ParseFileFilter(dialog_->Filter);
  const int index = TypeCombo->GetItemIndex();
  if (index < 0 || index >= int(filters.size())) return "*";
  std::string patterns;
  for (const std::string& p : filters[size_t(index)].Patterns) patterns += (patterns.empty() ? "" : ";") + p;
  return patterns;
}

void TOpenPixForm::ShowFolder(const std::string& folder) {
  folder_ = ExcludeTrailingPathDelimiter(folder);
  if (folder_.empty()) folder_ = "/";
  FolderEdit->SetText(folder_);
  std::vector<std::string> folders, files;
  std::error_code error;
  const std::string patterns = CurrentPatterns();
  for (std::filesystem::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code kindError;
    if (it->is_directory(kindError))
      folders.push_back(name);
    else if (MatchesAny(name, patterns))
      files.push_back(name);
  }
  std::sort(folders.begin(), folders.end());
  std::sort(files.begin(), files.end());
  entries_.clear();
  isFolder_.clear();
  FileList->GetItems()->BeginUpdate();
  FileList->GetItems()->Clear();
  for (const std::string& f : folders) {
    entries_.push_back(f);
    isFolder_.push_back(true);
    FileList->GetItems()->Add("[" + f + "]");
  }
  for (const std::string& f : files) {
    entries_.push_back(f);
    isFolder_.push_back(false);
    FileList->GetItems()->Add(f);
  }
  FileList->GetItems()->EndUpdate();
}

void TOpenPixForm::ListClick() {
  const int index = FileList->GetItemIndex();
  if (index < 0 || index >= int(entries_.size()) || isFolder_[size_t(index)]) return;
  NameEdit->SetText(entries_[size_t(index)]);
  dialog_->DoSelectionChange();
}

void TOpenPixForm::ListDblClick() {
  const int index = FileList->GetItemIndex();
  if (index < 0 || index >= int(entries_.size())) return;
  if (isFolder_[size_t(index)]) {
    ShowFolder(IncludeTrailingPathDelimiter(folder_) + entries_[size_t(index)]);
    dialog_->DoFolderChange();
    return;
  }
  NameEdit->SetText(entries_[size_t(index)]);
  OkClick();
}

void TOpenPixForm::TypeChange() {
  ShowFolder(folder_);
  dialog_->DoTypeChange();
}

void TOpenPixForm::FolderKey(Word& key) {
  if (key != VK_RETURN) return;
  key = 0;
  const std::string typed = Trim(FolderEdit->GetText());
  if (DirectoryExists(typed)) {
    ShowFolder(ExpandFileName(NativePath(typed)));
    dialog_->DoFolderChange();
  }
}

void TOpenPixForm::OkClick() {
  // Several names come quoted: "a.jpg" "b.png".
  const std::string typed = Trim(NameEdit->GetText());
  std::vector<std::string> names;
  if (typed.find('"') != std::string::npos) {
    size_t at = 0;
    while ((at = typed.find('"', at)) != std::string::npos) {
      const size_t end = typed.find('"', at + 1);
      if (end == std::string::npos) break;
      names.push_back(typed.substr(at + 1, end - at - 1));
      at = end + 1;
    }
  } else if (!typed.empty()) {
    names.push_back(typed);
  }
  if (names.empty()) return;
  // A folder typed as the name opens it.
  const std::string first = IncludeTrailingPathDelimiter(folder_) + names.front();
  if (names.size() == 1 && DirectoryExists(names.front().front() == '/' ? names.front() : first)) {
    ShowFolder(names.front().front() == '/' ? names.front() : first);
    NameEdit->SetText("");
    dialog_->DoFolderChange();
    return;
  }
  for (std::string& n : names)
    if (n.front() != '/') n = IncludeTrailingPathDelimiter(folder_) + n;
  if (dialog_->ChooseFiles(names, TypeCombo->GetItemIndex() + 1)) ModalResult = mrOk;
}
