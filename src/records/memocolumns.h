// Memo column files (*.mem): the 13 text columns of the text import window
// as INI text in GBK, section "Section1", one key per cell.
//
// Cells are written under "MemoData<column>_<row>"; the separator keeps
// column 1 row 10 apart from column 11 row 0. Files of the older form, keys
// "MemoData<column><row>" without a separator, are still read the way they
// were written. The whole file is read and written in one pass.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

constexpr int kMemoColumns = 13;
constexpr int kMemoRows = 3000;  // rows per column a file holds

// Column c holds its lines; all columns of a file read have the same count.
using TMemoColumns = std::array<std::vector<std::string>, kMemoColumns>;

// The marker of an empty cell on disk.
extern const char* const kMemoBlank;

// The cells of a file's bytes. Never fails: unknown lines, keys out of range
// and bytes that are not GBK are passed over or replaced.
TMemoColumns ParseMemoColumns(std::string_view bytes);

// The file's bytes for the first `rows` lines of every column (a column with
// fewer lines gives empty cells). Every cell round-trips: empty cells, "0",
// surrounding blanks and quotes included.
std::string FormatMemoColumns(const TMemoColumns& columns, int rows);

// Reads a file (a missing file reads as empty); raises EFOpenError when an
// existing file cannot be read.
TMemoColumns ReadMemoColumnFile(const std::string& path);
// Writes the file anew with the first `rows` rows (at most kMemoRows);
// raises EFCreateError when it cannot be written.
void WriteMemoColumnFile(const std::string& path, const TMemoColumns& columns, int rows);
