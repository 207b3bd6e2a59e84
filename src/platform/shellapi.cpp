// Desktop services over QDesktopServices and the user's XDG data folder.
#include "platform/shellapi.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "platform/registry.h"
#include "platform/sysutils.h"

namespace {

// The desktop ---------------------------------------------------------------------------------

// Runs a desktop database tool on a folder when the tool is installed.
bool RunTool(const char* tool, const std::string& folder) {
  QString program = QStandardPaths::findExecutable(tool);
  return program.isEmpty() || QProcess::startDetached(program, {QString::fromStdString(folder)});
}

bool RealDesktop(const TDesktopRequest& request) {
  if (request.Kind == TDesktopRequest::Refresh) {
    const std::string name = ExtractFileName(ExcludeTrailingPathDelimiter(request.Target));
    if (name == "mime") return RunTool("update-mime-database", request.Target);
    if (name == "applications") return RunTool("update-desktop-database", request.Target);
    return true;
  }
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
  return QDesktopServices::openUrl(QUrl(QString::fromStdString(request.Target)));
}

TDesktopHandler& Handler() {
  static TDesktopHandler handler;
  return handler;
}

bool AskDesktop(TDesktopRequest::TKind kind, const std::string& target) {
  TDesktopRequest request{kind, target};
  return Handler() ? Handler()(request) : RealDesktop(request);
}

// A scheme of two or more letters ("C:\..." is a drive, not a URL).
bool IsUrl(const std::string& name) {
  size_t colon = name.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i)
    if (!std::isalpha(static_cast<unsigned char>(name[i])) && !(i > 0 && std::strchr("+-.", name[i]))) return false;
  return true;
}

// Desktop files ------------------------------------------------------------------------------

enum class TWrite { Unchanged, Written, Failed };

// Writes a file only when its content differs (or it is missing).
TWrite WriteIfChanged(const std::string& name, const std::string& content) {
  {
    std::ifstream file(name, std::ios::binary);
    if (file) {
      std::ostringstream old;
      old << file.rdbuf();
      if (old.str() == content) return TWrite::Unchanged;
    }
  }
  if (!ForceDirectories(ExtractFileDir(name))) return TWrite::Failed;
  std::ofstream file(name, std::ios::binary | std::ios::trunc);
  file << content;
  file.flush();
  return file ? TWrite::Written : TWrite::Failed;
}

// A string value of a desktop entry.
std::string EntryText(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

// One argument of an Exec line, quoted where the desktop needs it.
std::string ExecArgument(const std::string& argument) {
  std::string out;
  bool quote = argument.empty();
  for (char c : argument) {
    if (std::strchr(" \t\n\"'\\><~|&;$*?#()`", c)) quote = true;
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c == '%' ? std::string("%%") : std::string(1, c);
  }
  return quote ? "\"" + out + "\"" : out;
}

std::string XmlText(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// A file name part made of lower-case letters, digits, '-', '_' and '.'.
std::string FileNamePart(const std::string& text) {
  std::string out;
  for (char c : LowerCase(text)) out += std::isalnum(static_cast<unsigned char>(c)) || std::strchr("-_.", c) ? c : '-';
  return out.find_first_not_of("-_.") == std::string::npos ? "cardwright" : out;
}

// The program a registered path names on this system: the file itself,
// the file without its ".exe", or this program when it has that name.
std::string ProgramPath(const std::string& written) {
  std::string path = NativePath(written);
  if (FileExists(path)) return ExpandFileName(path);
  std::string stem = ChangeFileExt(written, "");
  if (SameText(ExtractFileExt(written), ".exe")) {
    if (FileExists(NativePath(stem))) return ExpandFileName(NativePath(stem));
  }
  std::string self = QCoreApplication::applicationFilePath().toStdString();
  if (!self.empty() && SameText(ExtractFileName(stem), ExtractFileName(ChangeFileExt(self, "")))) return self;
  return ExpandFileName(path);
}

// A registered command line: the program, then its arguments. An unquoted
// program path may hold blanks; it ends after ".exe" when it has one.
std::vector<std::string> SplitCommand(const std::string& command) {
  std::vector<std::string> parts;
  std::string text = Trim(command);
  size_t pos = 0;
  if (!text.empty() && text[0] != '"') {
    std::string lower = LowerCase(text);
    size_t exe = lower.find(".exe");
    while (exe != std::string::npos && exe + 4 < text.size() && !std::isspace(static_cast<unsigned char>(text[exe + 4])))
      exe = lower.find(".exe", exe + 1);
    size_t end = exe != std::string::npos ? exe + 4 : text.find_first_of(" \t");
    if (end == std::string::npos) end = text.size();
    parts.push_back(text.substr(0, end));
    pos = end;
  }
  while (pos < text.size()) {
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    if (pos >= text.size()) break;
    std::string part;
    bool quoted = false;
    for (; pos < text.size() && (quoted || !std::isspace(static_cast<unsigned char>(text[pos]))); ++pos) {
      if (text[pos] == '"')
        quoted = !quoted;
      else
        part += text[pos];
    }
    parts.push_back(part);
  }
  return parts;
}

// The Exec line of a registered command: "%1" (the file) becomes "%f".
std::string ExecLine(const std::string& command) {
  std::vector<std::string> parts = SplitCommand(command);
  if (parts.empty()) return "";
  std::string line = ExecArgument(ProgramPath(parts[0]));
  for (size_t i = 1; i < parts.size(); ++i)
    line += " " + (parts[i] == "%1" || SameText(parts[i], "%L") ? std::string("%f") : ExecArgument(parts[i]));
  return line;
}

// An icon file for a registered icon ("path,index"): the file when it is a
// picture, else a picture of the same name beside it; "" when none.
std::string IconFile(const std::string& registered) {
  std::string path = registered.substr(0, registered.rfind(','));
  if (registered.find(',') == std::string::npos) path = registered;
  path = NativePath(Trim(path));
  if (path.empty()) return "";
  for (const char* ext : {".png", ".svg", ".xpm"}) {
    if (FileExists(path) && SameText(ExtractFileExt(path), ext)) return ExpandFileName(path);
    std::string beside = NativePath(ChangeFileExt(path, ext));
    if (FileExists(beside)) return ExpandFileName(beside);
  }
  return "";
}

std::string DesktopEntry(const std::string& name, const std::string& comment, const std::string& exec,
                         const std::string& icon, const std::string& mimeType, const std::string& folder = "") {
  std::string text = "[Desktop Entry]\nType=Application\nName=" + EntryText(name) + "\n";
  if (!comment.empty()) text += "Comment=" + EntryText(comment) + "\n";
  text += "Exec=" + EntryText(exec) + "\n";
  if (!folder.empty()) text += "Path=" + EntryText(folder) + "\n";
  if (!icon.empty()) text += "Icon=" + EntryText(icon) + "\n";
  text += "Terminal=false\n";
  if (!mimeType.empty()) text += "MimeType=" + mimeType + ";\nNoDisplay=true\n";
  return text;
}

std::string ApplicationsFolder() { return DesktopDataFolder() + "/applications"; }
std::string MimeFolder() { return DesktopDataFolder() + "/mime"; }

// Every file type the desktop is told of carries this prefix, so that the
// ones no longer registered can be found and removed.
const char* const kFileTypePrefix = "cardwright-filetype-";

struct TFileType {
  std::string Description;
  std::string Verb;  // the open command's caption
  std::string Command;
  std::string Icon;
  std::vector<std::string> Extensions;
};

std::string ReadDefault(TRegistry& registry, const std::string& key) {
  if (!registry.OpenKeyReadOnly(key)) return "";
  std::string value = registry.ReadString("");
  registry.CloseKey();
  return value;
}

// The registered file types by class name.
std::map<std::string, TFileType> RegisteredFileTypes() {
  std::map<std::string, TFileType> types;
  TRegistry registry;
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  TStringList keys;
  registry.GetKeyNames(&keys);
  for (int i = 0; i < keys.Count(); ++i) {
    const std::string key = keys.Get(i);
    if (key.size() < 2 || key[0] != '.') continue;
    const std::string name = ReadDefault(registry, "\\" + key);
    if (name.empty()) continue;
    const std::string command = ReadDefault(registry, "\\" + name + "\\Shell\\Open\\Command");
    if (command.empty()) continue;
    TFileType& type = types[LowerCase(name)];
    type.Description = ReadDefault(registry, "\\" + name);
    type.Verb = ReadDefault(registry, "\\" + name + "\\Shell\\Open");
    type.Command = command;
    type.Icon = ReadDefault(registry, "\\" + name + "\\DefaultIcon");
    type.Extensions.push_back(key.substr(1));
  }
  return types;
}

std::string MimePackage(const std::string& mimeType, const TFileType& type) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
      "  <mime-type type=\"" + XmlText(mimeType) + "\">\n";
  if (!type.Description.empty()) text += "    <comment>" + XmlText(type.Description) + "</comment>\n";
  for (const std::string& ext : type.Extensions) text += "    <glob pattern=\"*." + XmlText(ext) + "\"/>\n";
  return text + "  </mime-type>\n</mime-info>\n";
}

// Removes the file-type files of a folder that are not in `keep`; true when
// one was removed.
bool RemoveStale(const std::string& folder, const std::set<std::string>& keep) {
  bool removed = false;
  QDir dir(QString::fromStdString(folder));
  for (const QString& entry : dir.entryList({QString(kFileTypePrefix) + "*"}, QDir::Files)) {
    if (keep.count(entry.toStdString())) continue;
    removed = dir.remove(entry) || removed;
  }
  return removed;
}

}  // namespace

void SetDesktopHandler(TDesktopHandler handler) { Handler() = std::move(handler); }

std::string DesktopDataFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data == '/') return ExcludeTrailingPathDelimiter(data);
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.local/share";
}

intptr_t ShellExecute(HWND window, const std::string& verb, const std::string& file, const std::string& parameters,
                      const std::string& directory, int show) {
  if (!verb.empty() && !SameText(verb, "open") && !SameText(verb, "explore")) return SE_ERR_NOASSOC;
  if (Trim(file).empty()) return SE_ERR_FNF;
  std::string url = file;
  if (!IsUrl(file)) {
    std::string path = file;
    if (path[0] != '/' && path[0] != '\\')
      path = IncludeTrailingPathDelimiter(directory.empty() ? GetCurrentDir() : directory) + path;
    path = ExpandFileName(NativePath(path));
    if (!FileExists(path) && !DirectoryExists(path))
      return DirectoryExists(ExtractFileDir(path)) ? SE_ERR_FNF : SE_ERR_PNF;
    url = QUrl::fromLocalFile(QString::fromStdString(path)).toEncoded().toStdString();
  }
  return AskDesktop(TDesktopRequest::Open, url) ? 42 : SE_ERR_NOASSOC;
}

bool CreateDesktopLauncher(const std::string& target, const std::string& name, const std::string& description,
                           const std::string& workingFolder) {
  std::string exec = ExecArgument(ProgramPath(target)) + " %f";
  const std::string folder = workingFolder.empty() ? "" : ExpandFileName(NativePath(workingFolder));
  std::string entry = DesktopEntry(name, description, exec, IconFile(target), "", folder);
  TWrite result = WriteIfChanged(ApplicationsFolder() + "/" + FileNamePart(name) + ".desktop", entry);
  if (result == TWrite::Written) AskDesktop(TDesktopRequest::Refresh, ApplicationsFolder());
  return result != TWrite::Failed;
}

bool SyncDesktopFileTypes() {
  bool ok = true, mimeChanged = false, appsChanged = false;
  std::set<std::string> packages, launchers;
  for (const auto& [name, type] : RegisteredFileTypes()) {
    const std::string mimeType = "application/x-" + FileNamePart(name);
    const std::string base = kFileTypePrefix + FileNamePart(name);
    packages.insert(base + ".xml");
    launchers.insert(base + ".desktop");
    TWrite package = WriteIfChanged(MimeFolder() + "/packages/" + base + ".xml", MimePackage(mimeType, type));
    std::string caption = type.Verb.empty() ? type.Description : type.Verb;
    TWrite launcher = WriteIfChanged(ApplicationsFolder() + "/" + base + ".desktop",
                                     DesktopEntry(caption.empty() ? name : caption, type.Description,
                                                  ExecLine(type.Command), IconFile(type.Icon), mimeType));
    ok = ok && package != TWrite::Failed && launcher != TWrite::Failed;
    mimeChanged = mimeChanged || package == TWrite::Written;
    appsChanged = appsChanged || launcher == TWrite::Written;
  }
  mimeChanged = RemoveStale(MimeFolder() + "/packages", packages) || mimeChanged;
  appsChanged = RemoveStale(ApplicationsFolder(), launchers) || appsChanged;
  if (mimeChanged) AskDesktop(TDesktopRequest::Refresh, MimeFolder());
  if (appsChanged) AskDesktop(TDesktopRequest::Refresh, ApplicationsFolder());
  return ok;
}
