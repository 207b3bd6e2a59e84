#include "records/memocolumns.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <unordered_map>

#include "platform/gbk.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"

const char* const kMemoBlank = "I空白I";

namespace {

const char kSection[] = "section1";
const char kKeyPrefix[] = "memodata";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Letter case of A to Z only, as key and section names compare.
std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

// A decimal number of at most 4 digits without sign, or -1.
int SmallNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 4) return -1;
  int n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

// A value as the profile functions read it: without surrounding blanks and
// without one pair of surrounding double quotes.
std::string_view Unquote(std::string_view value) {
  value = TrimBlanks(value);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return value;
}

// The value written for a cell, so that Unquote gives the cell back.
std::string Quote(const std::string& cell) {
  if (cell.empty()) return kMemoBlank;
  const bool blanksAround = IsBlank(cell.front()) || IsBlank(cell.back());
  const bool quotedAlready = cell.size() >= 2 && cell.front() == '"' && cell.back() == '"';
  return blanksAround || quotedAlready ? "\"" + cell + "\"" : cell;
}

// The keys of the first "Section1" of the file (lower-cased, the first
// occurrence of a key wins) with their values in UTF-8.
std::unordered_map<std::string, std::string> SectionKeys(std::string_view bytes) {
  std::unordered_map<std::string, std::string> keys;
  bool inSection = false, seenSection = false;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = TrimBlanks(bytes.substr(start, end - start));
    start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    if (!line.empty() && line.front() == '[') {
      const size_t close = line.find(']');
      const bool ours = close != std::string_view::npos && Lower(TrimBlanks(line.substr(1, close - 1))) == kSection;
      inSection = ours && !seenSection;
      seenSection = seenSection || ours;
      continue;
    }
    if (!inSection) continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string key = Lower(TrimBlanks(line.substr(0, eq)));
    if (key.compare(0, sizeof kKeyPrefix - 1, kKeyPrefix) != 0) continue;
    keys.emplace(key.substr(sizeof kKeyPrefix - 1), GbkToUtf8(Unquote(line.substr(eq + 1))));
  }
  return keys;
}

// Files with the separator: every saved cell has its key; the rows are those
// of the highest row number found.
TMemoColumns ReadSeparated(const std::unordered_map<std::string, std::string>& keys) {
  struct Cell {
    int column, row;
    const std::string* value;
  };
  std::vector<Cell> cells;
  int rows = 0;
  for (const auto& [suffix, value] : keys) {
    const size_t sep = suffix.find('_');
    if (sep == std::string::npos) continue;
    const int c = SmallNumber(std::string_view(suffix).substr(0, sep));
    const int r = SmallNumber(std::string_view(suffix).substr(sep + 1));
    if (c < 0 || c >= kMemoColumns || r < 0 || r >= kMemoRows) continue;
    cells.push_back({c, r, &value});
    rows = std::max(rows, r + 1);
  }
  TMemoColumns columns;
  for (auto& column : columns) column.resize(size_t(rows));
  for (const Cell& cell : cells)
    if (*cell.value != kMemoBlank) columns[size_t(cell.column)][size_t(cell.row)] = *cell.value;
  return columns;
}

// Files of the older form: each column is read up to its first missing,
// empty or "0" value, and the rows end at the first such cell of column 0.
// Keys of different cells may coincide there (MemoData110 is column 1 row
// 10 and column 11 row 0); both cells read the one value the file holds.
TMemoColumns ReadJoined(const std::unordered_map<std::string, std::string>& keys) {
  std::vector<std::vector<std::string>> cells(kMemoColumns);  // cells past a column's end are empty
  for (int c = 0; c < kMemoColumns; ++c) {
    for (int r = 0; r < kMemoRows; ++r) {
      const auto found = keys.find(std::to_string(c) + std::to_string(r));
      const std::string value = found == keys.end() ? "" : found->second;
      cells[size_t(c)].push_back(value);
      if (value.empty() || value == "0") break;
    }
  }
  auto cell = [&cells](int c, int r) -> std::string {
    const auto& column = cells[size_t(c)];
    return size_t(r) < column.size() ? column[size_t(r)] : std::string();
  };
  TMemoColumns columns;
  for (int r = 0; r < kMemoRows; ++r) {
    const std::string first = cell(0, r);
    if (first.empty() || first == "0") break;
    for (int c = 0; c < kMemoColumns; ++c) {
      const std::string value = cell(c, r);
      columns[size_t(c)].push_back(value == kMemoBlank ? "" : value);
    }
  }
  return columns;
}

}  // namespace

TMemoColumns ParseMemoColumns(std::string_view bytes) {
  const auto keys = SectionKeys(bytes);
  for (const auto& entry : keys)
    if (entry.first.find('_') != std::string::npos) return ReadSeparated(keys);
  return ReadJoined(keys);
}

std::string FormatMemoColumns(const TMemoColumns& columns, int rows) {
  std::string out = "[Section1]\r\n";
  for (int c = 0; c < kMemoColumns; ++c) {
    const std::vector<std::string>& column = columns[size_t(c)];
    for (int r = 0; r < rows; ++r) {
      const std::string cell = size_t(r) < column.size() ? column[size_t(r)] : std::string();
      out += "MemoData" + std::to_string(c) + "_" + std::to_string(r) + "=" + Utf8ToGbk(Quote(cell)) + "\r\n";
    }
  }
  return out;
}

TMemoColumns ReadMemoColumnFile(const std::string& path) {
  const std::string native = NativePath(path);
  if (!FileExists(path)) return ParseMemoColumns({});
  std::ifstream in(native, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"" + path + "\"");
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EFOpenError("Cannot read file \"" + path + "\"");
  return ParseMemoColumns(bytes);
}

void WriteMemoColumnFile(const std::string& path, const TMemoColumns& columns, int rows) {
  const std::string bytes = FormatMemoColumns(columns, std::clamp(rows, 0, kMemoRows));
  if (!ReplaceFileContents(NativePath(path), bytes)) throw EFCreateError("Cannot create file \"" + path + "\"");
}
