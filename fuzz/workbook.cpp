// The workbook reader over arbitrary bytes: it opens the workbook or
// raises an automation error, and every sheet's size and first cells read
// or raise the same way.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzzfile.h"
#include "platform/excelauto.h"

// Some damaged workbooks make the library lose a small block of its own
// while it reads them; nothing of ours can free it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfreexl\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TFuzzFile file("workbook", ".xls");
  file.Write(data, size);
  const std::string& name = file.Name();
  TExcelApplication excel;
  try {
    excel.WorkBooks().Open(name);
  } catch (const EOleError&) {
    return 0;
  }
  for (int64_t n = 1; n <= 8; ++n) {
    try {
      std::unique_ptr<TExcelSheet> sheet = excel.WorkSheets(n);
      sheet->Activate();
      const TExcelRange used = sheet->UsedRange();
      const int64_t rows = std::min<int64_t>(used.Rows().Count(), 16);
      const int64_t cols = std::min<int64_t>(used.Columns().Count(), 16);
      for (int64_t r = 1; r <= rows + 1; ++r)
        for (int64_t c = 1; c <= cols + 1; ++c) sheet->Cells(r, c).Value();
    } catch (const EOleError&) {
    }
  }
  excel.ActiveWorkBook()->ActiveSheet();
  excel.Quit();
  return 0;
}
