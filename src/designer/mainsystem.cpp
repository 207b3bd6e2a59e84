// What the start asks of the system: the template file type, the desktop
// shortcut and the printer check.
#include <memory>

#include "designer/main.h"
#include "platform/dialogs.h"
#include "platform/printers.h"
#include "platform/registry.h"
#include "platform/shellapi.h"
#include "platform/winspool.h"

namespace {

// Opens (making it when missing) a key and gives it a default value, writing
// only what is missing or changed so that an unchanged association leaves
// the store and the desktop's files alone.
void WriteDefaultValue(TRegistry& registry, const std::string& key, const std::string& value) {
  if (!registry.OpenKey(key, true)) throw ERegistryException("Cannot open " + key);
  if (!registry.ValueExists("") || registry.ReadString("") != value) registry.WriteString("", value);
  registry.CloseKey();
}

}  // namespace

void CreateDesktopShortcut(const std::string& target, const std::string& workingFolder, const std::string& linkName,
                           const std::string& description) {
  // The desktop's shortcut is the program's launcher, started in the
  // working folder so that the program finds its data; failures stay silent.
  CreateDesktopLauncher(target, linkName, description, workingFolder);
}

void RegisterTemplateFileType(TMainForm*, bool doRegister) {
  if (!doRegister) return;
  // The program file as it is on disk, quoted so that a folder with blanks
  // still runs it.
  const std::string program = Application->ExeName();
  const std::pair<const char*, std::string> rows[] = {
      {"\\.pmt", "CardwrightFile"},
      {"\\CardwrightFile", "Cardwright Data File"},
      {"\\CardwrightFile\\DefaultIcon", program + ",0"},
      {"\\CardwrightFile\\Shell", "Open"},
      {"\\CardwrightFile\\Shell\\Open", "Open with Cardwright"},
      {"\\CardwrightFile\\Shell\\Open\\Command", "\"" + program + "\" %1"},
  };
  auto registry = std::make_unique<TRegistry>();
  try {
    registry->SetRootKey(HKEY_CLASSES_ROOT);
    for (const auto& [key, value] : rows) WriteDefaultValue(*registry, key, value);
  } catch (const Exception&) {
    Application->MessageBox("注册表操作失败！", "Message", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  // The desktop learns of the type again when its files went missing.
  SyncDesktopFileTypes();
}

bool RegisterFileType(const std::string& extension, const std::string& description, const std::string& iconPath,
                      const std::string& programPath) {
  // The start calls it with no extension and no program: the association
  // the desktop uses is RegisterTemplateFileType's, so nothing is written
  // for such a call.
  if (extension.empty() || programPath.empty()) return false;
  const std::string className = extension + "_auto_file";
  TRegistry registry;
  try {
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    const std::string root = "\\Software\\CLASSES\\";
    WriteDefaultValue(registry, root + "." + extension, className);
    WriteDefaultValue(registry, root + className, description);
    WriteDefaultValue(registry, root + className + "\\shell\\open\\command", "\"" + programPath + "\" %1");
    if (!iconPath.empty()) WriteDefaultValue(registry, root + className + "\\DefaultIcon", iconPath);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

bool CheckDefaultPrinter() {
  TStrings* printers = Printer()->Printers();
  if (printers->Count() == 0) return false;
  auto fail = [] {
    Application->MessageBox("打开打印机错误!", "出错信息", MB_OK | MB_ICONERROR);
    return false;
  };
  HANDLE handle = 0;
  if (!OpenPrinter(printers->Get(0), &handle, nullptr)) return fail();
  uint32_t needed = 0;
  const bool answered = GetPrinter(handle, 2, nullptr, 0, &needed) || GetLastError() == ERROR_INSUFFICIENT_BUFFER;
  // The handle serves only this check.
  ClosePrinter(handle);
  return answered ? true : fail();
}
