// Common dialogs: what every run shares, whichever way it is answered. The
// Qt dialogs themselves are in commdlg_qt.cpp.
#include "platform/commdlg.h"

#include <QPageSize>
#include <QPrinterInfo>
#include <cstdlib>
#include <cstring>

#include "platform/dialogs.h"
#include "platform/sysutils.h"

bool TCommonDialog::RunThroughService() {
  if (OnShow) OnShow(this);
  bool ok = Dialogs().ExecuteDialog(this);
  if (OnClose) OnClose(this);
  return ok;
}

// Filters ------------------------------------------------------------------------------

std::vector<TFileFilter> ParseFileFilter(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= filter.size()) {
    size_t end = filter.find('|', start);
    if (end == std::string::npos) end = filter.size();
    parts.push_back(filter.substr(start, end - start));
    start = end + 1;
  }
  std::vector<TFileFilter> filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    TFileFilter entry{parts[i], {}};
    const std::string& list = parts[i + 1];
    size_t from = 0;
    while (from <= list.size()) {
      size_t end = list.find(';', from);
      if (end == std::string::npos) end = list.size();
      std::string pattern = Trim(list.substr(from, end - from));
      if (!pattern.empty()) entry.Patterns.push_back(pattern);
      from = end + 1;
    }
    if (!entry.Patterns.empty()) filters.push_back(entry);
  }
  return filters;
}

namespace {

// The extension a filter entry stands for ("bmp" for "*.bmp"), or "" when
// its first pattern has wildcards in the extension.
std::string ConcreteExtension(const TFileFilter& filter) {
  const std::string& pattern = filter.Patterns.front();
  size_t dot = pattern.rfind('.');
  if (dot == std::string::npos) return "";
  std::string ext = pattern.substr(dot + 1);
  if (ext.empty() || ext.find_first_of("*?") != std::string::npos) return "";
  return ext;
}

bool IsAbsolute(const std::string& name) { return !name.empty() && (name[0] == '/' || name[0] == '\\'); }

}  // namespace

// Open and save ------------------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner), files_(new TStringList) {}

TOpenDialog::~TOpenDialog() { delete files_; }

std::string TOpenDialog::DialogCaption() const { return Title.empty() ? "打开" : Title; }

std::string TSaveDialog::DialogCaption() const { return Title.empty() ? "另存为" : Title; }

bool TOpenDialog::Execute() {
  files_->Clear();
  bool ok = RunThroughService();
  // OK on the name the dialog was opened with.
  if (ok && files_->Count() == 0) ok = !FileName.empty() && ChooseFiles({FileName});
  if (!ok) return false;
  // The platform's dialog leaves the process in the chosen folder.
  if (!(Options & ofNoChangeDir)) SetCurrentDir(ExtractFileDir(FileName));
  return true;
}

std::string TOpenDialog::StartFolder() const {
  if (!InitialDir.empty() && DirectoryExists(InitialDir)) return ExpandFileName(NativePath(InitialDir));
  std::string dir = ExtractFileDir(FileName);
  if (!dir.empty() && DirectoryExists(dir)) return ExpandFileName(NativePath(dir));
  return GetCurrentDir();
}

std::string TOpenDialog::CompleteName(const std::string& typed) const {
  std::string path = IsAbsolute(typed) ? typed : IncludeTrailingPathDelimiter(StartFolder()) + typed;
  path = ExpandFileName(NativePath(path));
  if (DefaultExt.empty() || !ExtractFileExt(ExtractFileName(path)).empty()) return path;
  // An existing file opens as typed.
  if (!IsSaveDialog() && FileExists(path)) return path;
  // The selected type's own extension comes first, as the platform's does.
  std::vector<TFileFilter> filters = ParseFileFilter(Filter);
  std::string ext;
  if (FilterIndex >= 1 && FilterIndex <= int(filters.size())) ext = ConcreteExtension(filters[FilterIndex - 1]);
  if (ext.empty()) ext = DefaultExt;
  return path + "." + ext;
}

bool TOpenDialog::Acceptable(const std::string& path) const {
  const std::string caption = DialogCaption();
  if ((Options & (ofPathMustExist | ofFileMustExist)) && !DirectoryExists(ExtractFileDir(path))) {
    Dialogs().MessageBox(ExtractFileDir(path) + "\n路径不存在。\n请检查路径是否正确。", caption, MB_OK | MB_ICONWARNING);
    return false;
  }
  bool exists = FileExists(path);
  if (!exists && (Options & ofFileMustExist)) {
    Dialogs().MessageBox(ExtractFileName(path) + "\n找不到文件。\n请检查文件名是否正确。", caption,
                         MB_OK | MB_ICONWARNING);
    return false;
  }
  if (!exists && !IsSaveDialog() && (Options & ofCreatePrompt))
    return Dialogs().MessageBox(ExtractFileName(path) + "\n文件不存在。\n要创建该文件吗？", caption,
                                MB_YESNO | MB_ICONQUESTION) == IDYES;
  // Replacing a file is only done when the user says so; No is the default.
  if (exists && IsSaveDialog() && (Options & ofOverwritePrompt))
    return Dialogs().MessageBox(ExtractFileName(path) + " 已存在。\n要替换它吗？", caption,
                                MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
  return true;
}

bool TOpenDialog::ChooseFiles(const std::vector<std::string>& names, int filterIndex) {
  if (names.empty() || (names.size() > 1 && !(Options & ofAllowMultiSelect))) return false;
  const int keptIndex = FilterIndex;
  if (filterIndex > 0) FilterIndex = filterIndex;
  std::vector<std::string> paths;
  bool accepted = true;
  for (const std::string& name : names) {
    if (Trim(name).empty()) {
      accepted = false;
      break;
    }
    paths.push_back(CompleteName(name));
    if (!Acceptable(paths.back())) {
      accepted = false;
      break;
    }
  }
  if (!accepted) {
    FilterIndex = keptIndex;
    return false;
  }
  files_->Clear();
  for (const std::string& path : paths) files_->Add(path);
  FileName = paths.front();
  Options &= ~ofExtensionDifferent;
  if (!DefaultExt.empty() && !SameText(ExtractFileExt(FileName), "." + DefaultExt)) Options |= ofExtensionDifferent;
  return true;
}

// Page setup ----------------------------------------------------------------------------

namespace {

struct TPaper {
  int code, width, length;  // hundredths of a millimetre
};

const TPaper kPapers[] = {
    {1, 21590, 27940},  {2, 21590, 27940},  {3, 27940, 43180},  {4, 27940, 43180},  {5, 21590, 35560},
    {6, 13970, 21590},  {7, 18415, 26670},  {8, 29700, 42000},  {9, 21000, 29700},  {10, 21000, 29700},
    {11, 14800, 21000}, {12, 25700, 36400}, {13, 18200, 25700}, {14, 21590, 33020}, {15, 21500, 27500},
    {16, 25400, 35560}, {17, 27940, 43180}, {18, 21590, 27940}, {19, 9843, 22543},  {20, 10478, 24130},
    {21, 11430, 26353}, {22, 12065, 27940}, {23, 12700, 29210}, {24, 43180, 55880}, {25, 55880, 86360},
    {26, 86360, 111760},
};

}  // namespace

bool PaperSizeOfCode(int code, int& width, int& length) {
  for (const TPaper& paper : kPapers)
    if (paper.code == code) {
      width = paper.width;
      length = paper.length;
      return true;
    }
  return false;
}

int PaperCodeOfSize(int width, int length) {
  if (width > length) std::swap(width, length);
  for (const TPaper& paper : kPapers)
    if (std::abs(paper.width - width) <= 100 && std::abs(paper.length - length) <= 100) return paper.code;
  return DMPAPER_USER;
}

void TPageSetupDialog::SetPaper(int code) {
  PaperSize = code;
  PaperSizeOfCode(code, PaperWidth, PaperLength);
}

namespace {

struct DEVNAMES {
  uint16_t wDriverOffset;
  uint16_t wDeviceOffset;
  uint16_t wOutputOffset;
  uint16_t wDefault;
};

// Lengths of a request in its own unit.
int ToRequestUnit(int hundredthsMm, bool inches) {
  return inches ? int(Round(hundredthsMm * 1000.0 / 2540.0)) : hundredthsMm;
}
int FromRequestUnit(int value, bool inches) { return inches ? int(Round(value * 2540.0 / 1000.0)) : value; }

// Fills (making it when 0) the device-mode block from the dialog's page.
bool StoreDevMode(HGLOBAL& handle, const TPageSetupDialog& page) {
  if (handle == 0) handle = GlobalAlloc(GHND, sizeof(DEVMODEA));
  if (handle == 0 || GlobalSize(handle) < sizeof(DEVMODEA)) return false;
  auto* mode = static_cast<DEVMODEA*>(GlobalLock(handle));
  std::memset(mode->dmDeviceName, 0, sizeof mode->dmDeviceName);
  std::strncpy(mode->dmDeviceName, page.PrinterName.c_str(), sizeof mode->dmDeviceName - 1);
  mode->dmSize = sizeof(DEVMODEA);
  mode->dmFields |= DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;
  mode->dmOrientation = int16_t(page.Orientation);
  mode->dmPaperSize = int16_t(page.PaperSize);
  mode->dmPaperWidth = int16_t(std::min(page.PaperWidth / 10, 32767));
  mode->dmPaperLength = int16_t(std::min(page.PaperLength / 10, 32767));
  if (mode->dmCopies == 0) mode->dmCopies = 1;
  GlobalUnlock(handle);
  return true;
}

// Takes paper and orientation from a caller's device-mode block.
void LoadDevMode(HGLOBAL handle, TPageSetupDialog& page) {
  if (handle == 0 || GlobalSize(handle) < sizeof(DEVMODEA)) return;
  const auto* mode = static_cast<const DEVMODEA*>(GlobalLock(handle));
  int width = 0, length = 0;
  if (PaperSizeOfCode(mode->dmPaperSize, width, length)) {
    page.SetPaper(mode->dmPaperSize);
  } else if (mode->dmPaperWidth > 0 && mode->dmPaperLength > 0) {
    page.PaperSize = DMPAPER_USER;
    page.PaperWidth = std::min(mode->dmPaperWidth, mode->dmPaperLength) * 10;
    page.PaperLength = std::max(mode->dmPaperWidth, mode->dmPaperLength) * 10;
  }
  if (mode->dmOrientation == DMORIENT_PORTRAIT || mode->dmOrientation == DMORIENT_LANDSCAPE)
    page.Orientation = mode->dmOrientation;
  GlobalUnlock(handle);
}

HGLOBAL MakeDevNames(const std::string& device) {
  const size_t offset = sizeof(DEVNAMES);
  // Empty driver and output names around the device name.
  HGLOBAL handle = GlobalAlloc(GHND, offset + 1 + device.size() + 1 + 1);
  if (handle == 0) return 0;
  auto* names = static_cast<uint8_t*>(GlobalLock(handle));
  DEVNAMES head{uint16_t(offset), uint16_t(offset + 1), uint16_t(offset + 1 + device.size() + 1), 1};
  std::memcpy(names, &head, sizeof head);
  std::memcpy(names + offset + 1, device.data(), device.size());
  GlobalUnlock(handle);
  return handle;
}

}  // namespace

namespace {

// The default printer's name and paper; the PDF output's (A4) when no
// printer is installed or the printer object prints only to a file.
void FillDefaultPage(TPageSetupDialog& page) {
  QPrinterInfo printer = std::getenv("CW_PRINTER_PDF") ? QPrinterInfo() : QPrinterInfo::defaultPrinter();
  if (printer.isNull()) {
    page.PrinterName = "PDF";
    page.SetPaper(DMPAPER_A4);
    return;
  }
  page.PrinterName = printer.printerName().toStdString();
  QSizeF size = printer.defaultPageSize().size(QPageSize::Millimeter);
  int width = int(Round(size.width() * 100)), length = int(Round(size.height() * 100));
  page.PaperSize = PaperCodeOfSize(width, length);
  page.PaperWidth = std::min(width, length);
  page.PaperLength = std::max(width, length);
}

}  // namespace

bool PageSetupDlg(PAGESETUPDLG* request) {
  if (request == nullptr || request->lStructSize != sizeof(PAGESETUPDLG)) return false;
  TPageSetupDialog page(nullptr);
  FillDefaultPage(page);
  if (request->Flags & PSD_RETURNDEFAULT) {
    if (request->hDevMode != 0 || request->hDevNames != 0) return false;
    HGLOBAL mode = 0;
    if (!StoreDevMode(mode, page)) return false;
    request->hDevMode = mode;
    request->hDevNames = MakeDevNames(page.PrinterName);
    return true;
  }
  const bool inches = request->Flags & PSD_INTHOUSANDTHSOFINCHES;
  LoadDevMode(request->hDevMode, page);
  if (request->Flags & PSD_MARGINS) {
    page.MarginLeft = FromRequestUnit(request->rtMargin.Left, inches);
    page.MarginTop = FromRequestUnit(request->rtMargin.Top, inches);
    page.MarginRight = FromRequestUnit(request->rtMargin.Right, inches);
    page.MarginBottom = FromRequestUnit(request->rtMargin.Bottom, inches);
  }
  if (!page.Execute()) return false;
  if (!StoreDevMode(request->hDevMode, page)) return false;
  if (request->hDevNames == 0) request->hDevNames = MakeDevNames(page.PrinterName);
  const bool landscape = page.Orientation == DMORIENT_LANDSCAPE;
  request->ptPaperSize = {ToRequestUnit(landscape ? page.PaperLength : page.PaperWidth, inches),
                          ToRequestUnit(landscape ? page.PaperWidth : page.PaperLength, inches)};
  request->rtMargin = {ToRequestUnit(page.MarginLeft, inches), ToRequestUnit(page.MarginTop, inches),
                       ToRequestUnit(page.MarginRight, inches), ToRequestUnit(page.MarginBottom, inches)};
  return true;
}

// Folder browser ------------------------------------------------------------------------

bool TFolderDialog::ChooseFolder(const std::string& folder) {
  std::string base = Root.empty() ? GetCurrentDir() : Root;
  std::string path = IsAbsolute(folder) ? folder : IncludeTrailingPathDelimiter(base) + folder;
  path = ExcludeTrailingPathDelimiter(ExpandFileName(NativePath(path)));
  if (path.empty()) path = "/";
  if (!DirectoryExists(path)) return false;
  if (!Root.empty()) {
    std::string root = IncludeTrailingPathDelimiter(ExpandFileName(NativePath(Root)));
    if (IncludeTrailingPathDelimiter(path).compare(0, root.size(), root) != 0) return false;
  }
  Directory = path;
  return true;
}

bool SelectDirectory(const std::string& caption, const std::string& root, std::string& directory) {
  TFolderDialog dialog(nullptr);
  dialog.Caption = caption;
  dialog.Root = root;
  dialog.Directory = directory;
  if (!dialog.Execute()) return false;
  directory = dialog.Directory;
  return true;
}
