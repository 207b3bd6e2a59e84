#include "platform/inifiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/gbk.h"

namespace {

// The whole file; "" when it is missing or cannot be read, as the platform
// reads such a file as empty.
std::string ReadWholeFile(const std::string& path) {
  std::string data;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return data;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// A line break inside a name or value would start a new line on disk.
std::string OneLine(const std::string& text) {
  std::string s = text;
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return s;
}

// The value part of a key line as a read returns it.
std::string ValueOf(const std::string& keyLine) {
  std::string value = Trim(keyLine.substr(keyLine.find('=') + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

// Replaces the file's contents. An existing file is replaced through a
// sibling temporary file, so a failed write (a full disk) leaves the old
// contents whole; a read-only file is refused.
bool ReplaceFileContents(const std::string& path, const std::string& data) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, data);
    ok = ::close(fd) == 0 && ok;
    if (!ok) ::unlink(path.c_str());
    return ok;
  }
  if (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR)) return false;
  static std::atomic<unsigned> counter{0};
  std::string temp = path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    // A folder that takes no new files still lets the file be rewritten.
    fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, data);
    return ::close(fd) == 0 && ok;
  }
  bool ok = ::fchmod(fd, st.st_mode & 07777) == 0 && WriteAll(fd, data);
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

TIniFile::TIniFile(const std::string& fileName) : fileName_(fileName) {}

void TIniFile::Refresh() {
  // Another object or program may have changed the file since the last look.
  std::string data = ReadWholeFile(NativePath(fileName_));
  if (loaded_ && data == onDisk_) return;
  lines_.clear();
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find('\n', start);
    size_t next = end == std::string::npos ? data.size() : end + 1;
    if (end == std::string::npos) end = data.size();
    if (end > start && data[end - 1] == '\r') --end;
    lines_.emplace_back();
    lines_.back().raw = data.substr(start, end - start);
    SetLine(lines_.size() - 1, GbkToUtf8(lines_.back().raw));
    start = next;
  }
  // Key lines count only inside a section.
  bool inSection = false;
  for (Line& line : lines_) {
    if (line.kind == LineKind::Section) inSection = true;
    if (line.kind == LineKind::Key && !inSection) line.kind = LineKind::Other;
  }
  onDisk_ = std::move(data);
  loaded_ = true;
}

void TIniFile::Save() {
  std::string data;
  for (const Line& line : lines_) data.append(line.raw).append("\r\n");
  if (!ReplaceFileContents(NativePath(fileName_), data)) {
    loaded_ = false;  // the lines no longer match the disk
    throw EIniFileException("Unable to write to " + fileName_);
  }
  onDisk_ = std::move(data);
}

void TIniFile::SetLine(size_t index, const std::string& text) {
  Line& line = lines_[index];
  line.text = text;
  line.kind = LineKind::Other;
  line.name.clear();
  std::string trimmed = Trim(text);
  if (!trimmed.empty() && trimmed[0] == '[') {
    line.kind = LineKind::Section;
    line.name = Trim(trimmed.substr(1, trimmed.find(']') - 1));
  } else if (!trimmed.empty() && trimmed[0] != ';' && trimmed.find('=') != std::string::npos) {
    line.kind = LineKind::Key;
    line.name = Trim(trimmed.substr(0, trimmed.find('=')));
  }
}

void TIniFile::InsertLine(size_t index, const std::string& text) {
  lines_.insert(lines_.begin() + static_cast<long>(index), Line{Utf8ToGbk(text), "", LineKind::Other, ""});
  SetLine(index, text);
}

long TIniFile::FindSection(const std::string& section) const {
  std::string name = Trim(section);
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == LineKind::Section && SameText(lines_[i].name, name)) return static_cast<long>(i);
  return -1;
}

size_t TIniFile::SectionEnd(long header) const {
  size_t i = static_cast<size_t>(header) + 1;
  while (i < lines_.size() && lines_[i].kind != LineKind::Section) ++i;
  return i;
}

long TIniFile::FindKey(long header, const std::string& ident) const {
  if (header < 0) return -1;
  std::string name = Trim(ident);
  for (size_t i = static_cast<size_t>(header) + 1, end = SectionEnd(header); i < end; ++i)
    if (lines_[i].kind == LineKind::Key && SameText(lines_[i].name, name)) return static_cast<long>(i);
  return -1;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& def) {
  Refresh();
  long key = FindKey(FindSection(section), ident);
  return key < 0 ? def : ValueOf(lines_[static_cast<size_t>(key)].text);
}

void TIniFile::WriteString(const std::string& section, const std::string& ident,
                           const std::string& value) {
  Refresh();
  std::string line = Trim(OneLine(ident)) + "=" + OneLine(value);
  long header = FindSection(section);
  long key = FindKey(header, ident);
  if (key >= 0) {
    lines_[static_cast<size_t>(key)].raw = Utf8ToGbk(line);
    SetLine(static_cast<size_t>(key), line);
  } else if (header >= 0) {
    // After the section's last key, so trailing blank lines stay between sections.
    size_t at = static_cast<size_t>(header) + 1;
    for (size_t i = at, end = SectionEnd(header); i < end; ++i)
      if (lines_[i].kind == LineKind::Key) at = i + 1;
    InsertLine(at, line);
  } else {
    InsertLine(lines_.size(), "[" + Trim(OneLine(section)) + "]");
    InsertLine(lines_.size(), line);
  }
  Save();
}

int TIniFile::ReadInteger(const std::string& section, const std::string& ident, int def) {
  return StrToIntDef(ReadString(section, ident, ""), def);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

double TIniFile::ReadFloat(const std::string& section, const std::string& ident, double def) {
  double value = def;
  return TryStrToFloat(ReadString(section, ident, ""), value) ? value : def;
}

void TIniFile::WriteFloat(const std::string& section, const std::string& ident, double value) {
  WriteString(section, ident, FloatToStr(value));
}

void TIniFile::ListKeys(const std::string& section, TStrings* strings, bool withValues) {
  if (!strings) return;
  Refresh();
  strings->BeginUpdate();
  strings->Clear();
  long header = FindSection(section);
  if (header >= 0) {
    for (size_t i = static_cast<size_t>(header) + 1, end = SectionEnd(header); i < end; ++i) {
      if (lines_[i].kind != LineKind::Key) continue;
      strings->Add(withValues ? lines_[i].name + "=" + ValueOf(lines_[i].text) : lines_[i].name);
    }
  }
  strings->EndUpdate();
}

void TIniFile::ReadSection(const std::string& section, TStrings* strings) {
  ListKeys(section, strings, false);
}

void TIniFile::ReadSections(TStrings* strings) {
  if (!strings) return;
  Refresh();
  strings->BeginUpdate();
  strings->Clear();
  for (const Line& line : lines_)
    if (line.kind == LineKind::Section) strings->Add(line.name);
  strings->EndUpdate();
}

void TIniFile::ReadSectionValues(const std::string& section, TStrings* strings) {
  ListKeys(section, strings, true);
}

bool TIniFile::SectionExists(const std::string& section) {
  TStringList keys;
  ReadSection(section, &keys);
  return keys.Count() > 0;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) {
  Refresh();
  return FindKey(FindSection(section), ident) >= 0;
}

void TIniFile::EraseSection(const std::string& section) {
  Refresh();
  bool changed = false;
  for (long header; (header = FindSection(section)) >= 0; changed = true)
    lines_.erase(lines_.begin() + header, lines_.begin() + static_cast<long>(SectionEnd(header)));
  if (changed) Save();
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  Refresh();
  long header = FindSection(section);
  bool changed = false;
  for (long key; (key = FindKey(header, ident)) >= 0; changed = true) lines_.erase(lines_.begin() + key);
  if (changed) Save();
}
