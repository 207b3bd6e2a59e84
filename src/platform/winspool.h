// The print spooler calls the program makes: opening a printer by name and
// asking for its information, as the check at start does. Printers are the
// system's (QPrinterInfo) and the PDF output that the printer object
// (printers.h) always offers.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel.h"

struct PRINTER_INFO_2 {
  const char* pPrinterName;
  const char* pDriverName;  // make and model
  const char* pComment;     // description
  const char* pLocation;
  uint32_t Attributes;
  uint32_t Status;
};
constexpr uint32_t PRINTER_ATTRIBUTE_DEFAULT = 0x4;

// Opens a printer by name; false with ERROR_INVALID_PRINTER_NAME when
// there is no such printer. `defaults` is not used.
bool OpenPrinter(const std::string& name, HANDLE* printer, void* defaults);
bool ClosePrinter(HANDLE printer);
// Level 2 only. With too small a buffer (or none) false with
// ERROR_INSUFFICIENT_BUFFER and the bytes needed in `needed`; the strings
// follow the record inside the buffer.
bool GetPrinter(HANDLE printer, uint32_t level, uint8_t* buffer, uint32_t size, uint32_t* needed);
