// INI files with the platform's profile-file behaviour: section and key
// names ignore letter case, values lose surrounding blanks and one pair of
// surrounding double quotes when read, and every write goes to disk at once,
// keeping the other lines, comments and their order. The file is GBK text
// with CR LF line ends on disk; in memory every string is UTF-8.
#pragma once

#include <string>
#include <vector>

#include "classes.h"

CW_DECLARE_EXCEPTION(EIniFileException, Exception)

// Replaces a file's contents (a native path). An existing file is replaced
// through a sibling temporary file, so a failed write (a full disk) leaves
// the old contents whole; a read-only file is refused. False on failure.
bool ReplaceFileContents(const std::string& path, const std::string& data);

class TIniFile : public TObject {
 public:
  // The name goes through NativePath; a missing file reads as empty.
  explicit TIniFile(const std::string& fileName);

  const std::string& FileName() const { return fileName_; }

  // Writes raise EIniFileException "Unable to write to NAME" when the file
  // cannot be written (missing folder, read-only file).
  std::string ReadString(const std::string& section, const std::string& ident, const std::string& def);
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);
  // Decimal, "$" or "0x" hexadecimal; def when missing or not a number.
  int ReadInteger(const std::string& section, const std::string& ident, int def);
  void WriteInteger(const std::string& section, const std::string& ident, int value);
  bool ReadBool(const std::string& section, const std::string& ident, bool def);
  void WriteBool(const std::string& section, const std::string& ident, bool value);
  double ReadFloat(const std::string& section, const std::string& ident, double def);
  void WriteFloat(const std::string& section, const std::string& ident, double value);

  // The key names of a section, in file order.
  void ReadSection(const std::string& section, TStrings* strings);
  void ReadSections(TStrings* strings);
  // "key=value" lines of a section.
  void ReadSectionValues(const std::string& section, TStrings* strings);
  // True when the section holds at least one key.
  bool SectionExists(const std::string& section);
  bool ValueExists(const std::string& section, const std::string& ident);
  void EraseSection(const std::string& section);
  void DeleteKey(const std::string& section, const std::string& ident);
  // Writes are never held back, so there is nothing left to flush.
  void UpdateFile() {}

 private:
  enum class LineKind { Other, Section, Key };
  struct Line {
    std::string raw;   // the bytes on disk, without the line end
    std::string text;  // the line in UTF-8
    LineKind kind = LineKind::Other;
    std::string name;  // section or key name, trimmed
  };

  void Refresh();
  void Save();
  void SetLine(size_t index, const std::string& text);
  void InsertLine(size_t index, const std::string& text);
  // Index of the section's header line, -1 when absent.
  long FindSection(const std::string& section) const;
  // One past the last line of the section that starts at `header`.
  size_t SectionEnd(long header) const;
  // Fills strings with the section's key names, or "name=value" lines.
  void ListKeys(const std::string& section, TStrings* strings, bool withValues);
  long FindKey(long header, const std::string& ident) const;

  std::string fileName_;
  std::vector<Line> lines_;
  std::string onDisk_;  // file contents the lines were parsed from
  bool loaded_ = false;
};
