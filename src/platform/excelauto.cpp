#include "platform/excelauto.h"

#include <freexl.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "platform/xlsextent.h"

namespace {

// The library allocates every sheet's used range whole as it opens the
// file, so a workbook declaring far more cells than its bytes could back is
// refused before the library sees it.
void CheckDeclaredCells(const std::string& path) {
  std::ifstream in(NativePath(path), std::ios::binary);
  if (!in) return;  // the library names the failure
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const int64_t cells = XlsDeclaredCells(bytes);
  if (cells < 0) throw EOleError("The workbook \"" + path + "\" cannot be opened (no readable workbook in the file)");
  if (!XlsCellsFitFile(cells, static_cast<int64_t>(bytes.size())))
    throw EOleError("The workbook \"" + path + "\" declares more cells than the file holds");
}

}  // namespace

// One open workbook: the reader's handle and the active sheet. The reader
// reads one selected sheet at a time, so every read selects its sheet first.
class TExcelWorkbookFile {
 public:
  explicit TExcelWorkbookFile(const std::string& path) {
    CheckDeclaredCells(path);
    const int rc = freexl_open(NativePath(path).c_str(), &handle_);
    if (rc != FREEXL_OK) {
      if (handle_) freexl_close(handle_);
      handle_ = nullptr;
      throw EOleError("The workbook \"" + path + "\" cannot be opened (" + std::to_string(rc) + ")");
    }
    unsigned count = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) count = 0;
    sheetCount_ = static_cast<int>(std::min<unsigned>(count, std::numeric_limits<unsigned short>::max()));
  }
  ~TExcelWorkbookFile() { Close(); }
  TExcelWorkbookFile(const TExcelWorkbookFile&) = delete;
  TExcelWorkbookFile& operator=(const TExcelWorkbookFile&) = delete;

  void Close() {
    if (handle_) freexl_close(handle_);
    handle_ = nullptr;
  }
  int SheetCount() const { return sheetCount_; }
  int ActiveSheet = 0;

  // Rows and columns of a sheet, counted from A1.
  void Dimensions(int sheet, int64_t& rows, int64_t& cols) {
    Select(sheet);
    unsigned rowCount = 0;
    unsigned short colCount = 0;
    if (freexl_worksheet_dimensions(handle_, &rowCount, &colCount) != FREEXL_OK)
      throw EOleError("The sheet's used range cannot be read");
    rows = rowCount;
    cols = colCount;
  }

  // The text of a cell (zero-based); cells outside the sheet are empty.
  std::string CellText(int sheet, int64_t row, int64_t col) {
    int64_t rows = 0, cols = 0;
    Dimensions(sheet, rows, cols);
    if (row < 0 || col < 0 || row >= rows || col >= cols) return "";
    FreeXL_CellValue value{};
    if (freexl_get_cell_value(handle_, static_cast<unsigned>(row), static_cast<unsigned short>(col), &value) !=
        FREEXL_OK)
      throw EOleError("The cell's value cannot be read");
    switch (value.type) {
      case FREEXL_CELL_INT:
        return std::to_string(value.value.int_value);
      case FREEXL_CELL_DOUBLE:
        return VariantNumberText(value.value.double_value);
      case FREEXL_CELL_TEXT:
      case FREEXL_CELL_SST_TEXT:
      case FREEXL_CELL_DATE:
      case FREEXL_CELL_DATETIME:
      case FREEXL_CELL_TIME:
        return value.value.text_value ? value.value.text_value : "";
      default:
        return "";
    }
  }

 private:
  void Select(int sheet) {
    if (!handle_) throw EOleError("The workbook has been closed");
    if (sheet < 0 || sheet >= sheetCount_) throw EOleError("No such sheet");
    if (sheet == selected_) return;
    if (freexl_select_active_worksheet(handle_, static_cast<unsigned short>(sheet)) != FREEXL_OK)
      throw EOleError("The sheet cannot be selected");
    selected_ = sheet;
  }
  const void* handle_ = nullptr;
  int sheetCount_ = 0;
  int selected_ = -1;
};

// Ranges ---------------------------------------------------------------------------------

TExcelRange TExcelRange::Rows() const {
  TExcelRange r = *this;
  r.counting_ = ByRows;
  return r;
}

TExcelRange TExcelRange::Columns() const {
  TExcelRange r = *this;
  r.counting_ = ByColumns;
  return r;
}

int64_t TExcelRange::Count() const {
  switch (counting_) {
    case ByRows: return rowCount_;
    case ByColumns: return colCount_;
    default: return rowCount_ * colCount_;
  }
}

std::string TExcelRange::Value() const {
  if (!file_) throw EOleError("The range belongs to no sheet");
  return file_->CellText(sheet_, row_ - 1, col_ - 1);
}

// Sheets, workbooks, application ------------------------------------------------------

void TExcelSheet::Activate() {
  if (index_ < 0 || index_ >= file_->SheetCount()) throw EOleError("No such sheet");
  file_->ActiveSheet = index_;
}

TExcelRange TExcelSheet::UsedRange() const {
  TExcelRange r;
  r.file_ = file_;
  r.sheet_ = index_;
  file_->Dimensions(index_, r.rowCount_, r.colCount_);
  return r;
}

TExcelRange TExcelSheet::Cells(int64_t row, int64_t col) const {
  if (row < 1 || col < 1) throw EOleError("Cells are counted from 1");
  TExcelRange r;
  r.file_ = file_;
  r.sheet_ = index_;
  r.row_ = row;
  r.col_ = col;
  r.rowCount_ = r.colCount_ = 1;
  return r;
}

std::unique_ptr<TExcelSheet> TExcelWorkbook::ActiveSheet() const {
  return std::make_unique<TExcelSheet>(file_, file_->ActiveSheet);
}

void TExcelWorkbooks::Open(const std::string& path) {
  auto file = std::make_shared<TExcelWorkbookFile>(path);
  if (file->SheetCount() == 0) throw EOleError("The workbook \"" + path + "\" holds no sheet");
  app_.active_ = std::move(file);
}

const std::shared_ptr<TExcelWorkbookFile>& TExcelApplication::Active() const {
  if (!active_) throw EOleError("No workbook is open");
  return active_;
}

std::unique_ptr<TExcelSheet> TExcelApplication::WorkSheets(int64_t n) const {
  const auto& file = Active();
  if (n < 1 || n > file->SheetCount()) throw EOleError("Sheet " + std::to_string(n) + " does not exist");
  return std::make_unique<TExcelSheet>(file, static_cast<int>(n - 1));
}

std::unique_ptr<TExcelWorkbook> TExcelApplication::ActiveWorkBook() const {
  return std::make_unique<TExcelWorkbook>(Active());
}

void TExcelApplication::Quit() {
  if (active_) active_->Close();
  active_.reset();
}

std::unique_ptr<TExcelApplication> CreateOleObject(const std::string& className) {
  if (UpperCase(className) != "EXCEL.APPLICATION") throw EOleError("Invalid class string");
  return std::make_unique<TExcelApplication>();
}

std::string VariantNumberText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  // The framework writes exponents without '+' and leading zeros: 1E20, 1E-7.
  std::string text = buffer;
  const auto e = text.find('E');
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e), exponent = text.substr(e + 1);
  std::string sign;
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
    if (exponent[0] == '-') sign = "-";
    exponent.erase(0, 1);
  }
  while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
  return mantissa + "E" + sign + exponent;
}
