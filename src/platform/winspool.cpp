// Spooler calls over QPrinterInfo. A handle is the index of an entry in a
// process-wide table of open printers (0 is none).
#include "platform/winspool.h"

#include <QPrinterInfo>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

// The name under which the printer object offers its PDF output.
const char* const kFilePrinterName = "PDF";

struct TOpenPrinter {
  std::string Name, Model, Description, Location;
  bool Default = false;
};

std::map<HANDLE, TOpenPrinter>& OpenPrinters() {
  static std::map<HANDLE, TOpenPrinter> printers;
  return printers;
}

}  // namespace

bool OpenPrinter(const std::string& name, HANDLE* printer, void* defaults) {
  if (printer == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  *printer = 0;
  TOpenPrinter entry;
  entry.Name = name;
  // Under the printer object's PDF hook no installed printer is asked for.
  const bool fileOnly = std::getenv("CW_PRINTER_PDF") != nullptr;
  QPrinterInfo info = fileOnly ? QPrinterInfo() : QPrinterInfo::printerInfo(QString::fromStdString(name));
  if (!info.isNull()) {
    entry.Model = info.makeAndModel().toStdString();
    entry.Description = info.description().toStdString();
    entry.Location = info.location().toStdString();
    entry.Default = info.isDefault();
  } else if (name == kFilePrinterName) {
    entry.Description = "PDF";
    entry.Default = fileOnly || QPrinterInfo::defaultPrinter().isNull();
  } else {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return false;
  }
  static HANDLE next = 0;
  *printer = ++next;
  OpenPrinters()[*printer] = entry;
  return true;
}

bool ClosePrinter(HANDLE printer) {
  if (OpenPrinters().erase(printer) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return true;
}

bool GetPrinter(HANDLE printer, uint32_t level, uint8_t* buffer, uint32_t size, uint32_t* needed) {
  auto found = OpenPrinters().find(printer);
  if (found == OpenPrinters().end() || level != 2) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  const TOpenPrinter& entry = found->second;
  const std::string* texts[] = {&entry.Name, &entry.Model, &entry.Description, &entry.Location};
  uint64_t total = sizeof(PRINTER_INFO_2);
  for (const std::string* text : texts) total += text->size() + 1;
  if (needed) *needed = uint32_t(total);
  if (buffer == nullptr || size < total) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
  }
  auto* info = reinterpret_cast<PRINTER_INFO_2*>(buffer);
  char* strings = reinterpret_cast<char*>(buffer + sizeof(PRINTER_INFO_2));
  const char** fields[] = {&info->pPrinterName, &info->pDriverName, &info->pComment, &info->pLocation};
  for (int i = 0; i < 4; ++i) {
    std::memcpy(strings, texts[i]->c_str(), texts[i]->size() + 1);
    *fields[i] = strings;
    strings += texts[i]->size() + 1;
  }
  info->Attributes = entry.Default ? PRINTER_ATTRIBUTE_DEFAULT : 0;
  info->Status = 0;
  return true;
}
