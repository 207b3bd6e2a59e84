// The file dialogs' base and the open dialog: the filter of the readable
// formats, the run, and the user's choice with its checks.
#include "imaging/view/opendlg.h"

#include <memory>

#include "imaging/io/ieformats.h"
#include "imaging/view/opendlg_form.h"
#include "platform/buttons.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

// Base ------------------------------------------------------------------------------------

TIECommonDialog::TIECommonDialog(TComponent* owner) : TCommonDialog(owner) {}

TPoint TIECommonDialog::CentredOrigin(int screenWidth, int screenHeight, int width, int height) {
  // Integer division truncates toward zero, also for a window larger than
  // the screen.
  return TPoint{(screenWidth - width) / 2, (screenHeight - height) / 3};
}

bool TIECommonDialog::TaskModalDialog() {
  TCustomForm* active = Screen ? Screen->GetActiveForm() : nullptr;
  struct TRestore {
    TCustomForm* form;
    ~TRestore() {
      if (form && Screen && Screen->GetActiveForm() != form) form->Activate();
    }
  } restore{active};
  return Dialogs().ExecuteDialog(this);
}

void TIECommonDialog::DoShow() {
  attached_ = true;
  if (OnShow) OnShow(this);
}

void TIECommonDialog::DoClose() {
  if (!attached_) return;
  attached_ = false;
  if (OnClose) OnClose(this);
}

// Open dialog -------------------------------------------------------------------------------

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

bool IsAbsolutePath(const std::string& name) { return !name.empty() && (name[0] == '/' || name[0] == '\\'); }

}  // namespace

TOpenPixDialog::~TOpenPixDialog() = default;

std::string TOpenPixDialog::DialogCaption() const {
  if (!Title.empty()) return Title;
  return saveDialog_ ? "另存为" : "打开";
}

void TOpenPixDialog::SetInitialDir(const std::string& dir) {
  std::string d = dir;
  const size_t n = d.size();
  if (n > 1 && (d[n - 1] == '/' || d[n - 1] == '\\') && d[n - 2] != ':') d.pop_back();
  initialDir_ = d;
}

std::string TOpenPixDialog::GetFileName() const {
  if (!form_) return fileName_;
  const std::string name = GetFileName2();
  if (name.empty()) return "";
  return IsAbsolutePath(name) ? name : IncludeTrailingPathDelimiter(form_->Folder()) + name;
}

std::string TOpenPixDialog::GetFileName2() const {
  if (!form_) return fileName_;
  std::string typed = Trim(form_->NameEdit->GetText());
  // The first of several quoted names.
  if (!typed.empty() && typed.front() == '"') {
    const size_t end = typed.find('"', 1);
    typed = typed.substr(1, end == std::string::npos ? std::string::npos : end - 1);
  }
  return typed;
}

int TOpenPixDialog::GetFilterIndex() const {
  if (form_) return form_->TypeCombo->GetItemIndex() + 1;
  return filterIndex_;
}

std::string TOpenPixDialog::FirstExtension(const std::string& patterns) {
  const size_t dot = patterns.find('.');
  if (dot == std::string::npos) return "";
  const size_t end = patterns.find(';', dot);
  return patterns.substr(dot, end == std::string::npos ? std::string::npos : end - dot);
}

std::string TOpenPixDialog::BuildStrFilter() const {
  IEUpdateGIFStatus();
  std::string all, filter;
  for (PIEFileFormatInfo entry : iegFileFormats()) {
    if (saveDialog_ ? !entry->WriteFunction : !entry->ReadFunction) continue;
    std::string patterns, upper;
    for (const std::string& ext : Split(entry->Extensions, ';')) {
      if (Trim(ext).empty()) continue;
      patterns += (patterns.empty() ? "*." : ";*.") + LowerCase(Trim(ext));
      upper += (upper.empty() ? "" : ";") + UpperCase(Trim(ext));
    }
    if (patterns.empty()) continue;
    all += (all.empty() ? "" : ";") + patterns;
    filter += "|" + entry->FullName + " (" + upper + ")|" + patterns;
  }
  all += ";*.avi";
  filter += "|Video for Windows (AVI)|*.avi";
  // Further pairs: the text as it is, and its pattern parts for the
  // all-graphics entry.
  const std::string extra = Trim(ExtraFilters);
  if (!extra.empty()) {
    const std::vector<std::string> parts = Split(extra, '|');
    std::string patterns;
    for (size_t i = 1; i < parts.size(); i += 2)
      if (!Trim(parts[i]).empty()) patterns += (patterns.empty() ? "" : ";") + Trim(parts[i]);
    filter += "|" + extra;
    if (!patterns.empty()) all += ";" + patterns;
  }
  if (saveDialog_) return filter.substr(1);
  return "All graphics|" + all + filter;
}

std::string TOpenPixDialog::StartFolder() const {
  if (!initialDir_.empty() && DirectoryExists(initialDir_)) return ExpandFileName(NativePath(initialDir_));
  const std::string dir = ExtractFileDir(fileName_);
  if (!dir.empty() && DirectoryExists(dir)) return ExpandFileName(NativePath(dir));
  return GetCurrentDir();
}

std::string TOpenPixDialog::CompleteName(const std::string& typed) const {
  std::string path = IsAbsolutePath(typed) ? typed : IncludeTrailingPathDelimiter(StartFolder()) + typed;
  path = ExpandFileName(NativePath(path));
  if (!ExtractFileExt(ExtractFileName(path)).empty()) return path;
  // An existing file opens as typed.
  if (!saveDialog_ && FileExists(path)) return path;
  std::string ext = DefaultExt.empty() ? "" : "." + DefaultExt;
  if (ext.empty()) {
    const std::vector<TFileFilter> filters = ParseFileFilter(Filter);
    const int index = GetFilterIndex();
    if (index >= 1 && index <= int(filters.size()) && !filters[size_t(index - 1)].Patterns.empty())
      ext = FirstExtension(filters[size_t(index - 1)].Patterns.front());
  }
  return path + (ext == ".*" ? "" : ext);
}

bool TOpenPixDialog::Acceptable(const std::string& path) const {
  const std::string caption = DialogCaption();
  if ((Options & (ofPathMustExist | ofFileMustExist)) && !DirectoryExists(ExtractFileDir(path))) {
    Dialogs().MessageBox(ExtractFileDir(path) + "\n路径不存在。\n请检查路径是否正确。", caption, MB_OK | MB_ICONWARNING);
    return false;
  }
  const bool exists = FileExists(path);
  if (!exists && (Options & ofFileMustExist)) {
    Dialogs().MessageBox(ExtractFileName(path) + "\n找不到文件。\n请检查文件名是否正确。", caption,
                         MB_OK | MB_ICONWARNING);
    return false;
  }
  if (exists && saveDialog_ && (Options & ofOverwritePrompt))
    return Dialogs().MessageBox(ExtractFileName(path) + " 已存在。\n要替换它吗？", caption,
                                MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
  return true;
}

bool TOpenPixDialog::ChooseFiles(const std::vector<std::string>& names, int filterIndex) {
  if (names.empty() || (names.size() > 1 && !(Options & ofAllowMultiSelect))) return false;
  const int keptIndex = filterIndex_;
  if (filterIndex > 0) filterIndex_ = filterIndex;
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    if (Trim(name).empty() || !Acceptable(CompleteName(name))) {
      filterIndex_ = keptIndex;
      return false;
    }
    paths.push_back(CompleteName(name));
  }
  const std::string keptName = fileName_;
  files_->Clear();
  for (const std::string& p : paths) files_->Add(p);
  fileName_ = paths.front();
  if (!DoCanClose()) {
    // Refused: the dialog stays open with its selection.
    files_->Clear();
    fileName_ = keptName;
    filterIndex_ = keptIndex;
    return false;
  }
  Options &= ~ofExtensionDifferent;
  if (!DefaultExt.empty() && !SameText(ExtractFileExt(fileName_), "." + DefaultExt)) Options |= ofExtensionDifferent;
  return true;
}

bool TOpenPixDialog::DoCanClose() {
  bool can = true;
  if (OnCanClose) OnCanClose(this, can);
  return can;
}

void TOpenPixDialog::DoFolderChange() {
  if (OnFolderChange) OnFolderChange(this);
}

void TOpenPixDialog::DoTypeChange() {
  if (OnTypeChange) OnTypeChange(this);
}

bool TOpenPixDialog::Execute() {
  templateName_ = "IDD_IETEMPLATE";
  PreviewCheck->SetCaption(iemsg(IEMSG_PREVIEW, MsgLanguage));
  PreviewCheck->SetVisible(true);
  if (AutoSetFilter) Filter = BuildStrFilter();
  return DoExecute();
}

bool TOpenPixDialog::DoExecute() {
  PlayButton->SetVisible(!AlwaysAnimate);
  files_->Clear();
  return TaskModalDialog();
}

bool TOpenPixDialog::RunPlatformDialog() {
  std::unique_ptr<TOpenPixForm> form(new TOpenPixForm(this, previewEnabled_));
  form->SetCaption(DialogCaption());
  form->Position = poDesigned;
  if (Screen) {
    const TPoint at = CentredOrigin(Screen->GetWidth(), Screen->GetHeight(), form->GetWidth(), form->GetHeight());
    form->SetLeft(at.x);
    form->SetTop(at.y);
  }
  form_ = form.get();
  PlacePanels();
  DoShow();
  const bool ok = form->ShowModal() == mrOk;
  // The name box is read before the form goes.
  const int index = GetFilterIndex();
  DoClose();
  ClearPreview();
  form_ = nullptr;
  form.reset();
  if (ok) filterIndex_ = index;
  return ok;
}
