// The spreadsheet automation server the program drives by name
// ("Excel.Application"): open a workbook, activate a sheet by number, read
// the used range's size and each cell's value as text, quit. Our server
// reads .xls workbooks (BIFF) itself; cell texts arrive in UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/sysutils.h"

// Every failure of an automation call.
CW_DECLARE_EXCEPTION(EOleError, Exception)

class TExcelWorkbookFile;  // the open workbook file (excelauto.cpp)

// A rectangle of a sheet. Rows() and Columns() give the same rectangle
// counted by rows or by columns; Value is the text of its top-left cell.
class TExcelRange {
 public:
  TExcelRange Rows() const;
  TExcelRange Columns() const;
  int64_t Count() const;
  // Sheet row and column of the top-left cell, both one-based.
  int64_t Row() const { return row_; }
  int64_t Column() const { return col_; }
  std::string Value() const;

 private:
  friend class TExcelSheet;
  enum TCounting { ByCells, ByRows, ByColumns };
  std::shared_ptr<TExcelWorkbookFile> file_;
  int sheet_ = 0;
  int64_t row_ = 1, col_ = 1, rowCount_ = 0, colCount_ = 0;  // one-based
  TCounting counting_ = ByCells;
};

class TExcelSheet {
 public:
  TExcelSheet(std::shared_ptr<TExcelWorkbookFile> file, int index) : file_(std::move(file)), index_(index) {}
  // Makes this the active sheet of its workbook.
  void Activate();
  // Rows and columns from A1 to the last cell the sheet uses. (The
  // spreadsheet program's own used range may start further in; callers
  // read from its Row() and Column().)
  TExcelRange UsedRange() const;
  // One cell, row then column, both one-based.
  TExcelRange Cells(int64_t row, int64_t col) const;

 private:
  std::shared_ptr<TExcelWorkbookFile> file_;
  int index_;  // zero-based
};

class TExcelWorkbook {
 public:
  explicit TExcelWorkbook(std::shared_ptr<TExcelWorkbookFile> file) : file_(std::move(file)) {}
  std::unique_ptr<TExcelSheet> ActiveSheet() const;

 private:
  std::shared_ptr<TExcelWorkbookFile> file_;
};

class TExcelApplication;

class TExcelWorkbooks {
 public:
  explicit TExcelWorkbooks(TExcelApplication& app) : app_(app) {}
  // Opens the workbook at `path` and makes it the active one.
  void Open(const std::string& path);

 private:
  TExcelApplication& app_;
};

class TExcelApplication {
 public:
  TExcelApplication() : workBooks_(*this) {}
  bool Visible = false;  // nothing is shown either way; kept for the callers
  TExcelWorkbooks& WorkBooks() { return workBooks_; }
  // The n-th sheet (one-based) of the active workbook.
  std::unique_ptr<TExcelSheet> WorkSheets(int64_t n) const;
  std::unique_ptr<TExcelWorkbook> ActiveWorkBook() const;
  // Closes the workbooks; objects taken from them raise from then on.
  void Quit();

 private:
  friend class TExcelWorkbooks;
  const std::shared_ptr<TExcelWorkbookFile>& Active() const;
  TExcelWorkbooks workBooks_;
  std::shared_ptr<TExcelWorkbookFile> active_;
};

// Creates the automation object of a class name; only "Excel.Application"
// is known (the name's letter case does not matter).
std::unique_ptr<TExcelApplication> CreateOleObject(const std::string& className);

// The framework's variant-to-text conversion of a number: integers without
// decimals, others with up to 15 significant digits (12.5 -> "12.5").
std::string VariantNumberText(double value);
