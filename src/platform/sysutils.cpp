#include "platform/sysutils.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <vector>

void Abort() { throw EAbort("Operation aborted"); }

void OutOfMemoryError() { throw EOutOfMemory("Out of memory"); }

// Numbers ---------------------------------------------------------------------

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Parses an integer as the run time's Val does: leading blanks, an optional
// sign, then decimal digits or hexadecimal after "$" or "0x". Nothing may
// follow the digits.
bool ParseInt64(const std::string& text, int64_t& value) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  uint64_t magnitude = 0;
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  auto [end, ec] = std::from_chars(first, last, magnitude, base);
  if (ec != std::errc() || end != last) return false;
  if (negative) {
    if (magnitude > uint64_t(std::numeric_limits<int64_t>::max()) + 1) return false;
    value = static_cast<int64_t>(0 - magnitude);
  } else {
    if (magnitude > uint64_t(std::numeric_limits<int64_t>::max())) return false;
    value = static_cast<int64_t>(magnitude);
  }
  return true;
}

void CheckIntegral(double value) {
  // Outside the 64-bit range the conversion has no meaningful result.
  if (!std::isfinite(value) || value >= 9223372036854775808.0 || value < -9223372036854775808.0)
    throw EInvalidOp("Invalid floating point operation");
}

}  // namespace

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string IntToHex(int64_t value, int digits) {
  // Negative 32-bit values print as their 32-bit pattern, as an Integer would.
  uint64_t bits = static_cast<uint64_t>(value);
  if (value < 0 && value >= std::numeric_limits<int32_t>::min()) bits &= 0xFFFFFFFFu;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*llX", digits < 0 ? 0 : std::min(digits, 16),
                static_cast<unsigned long long>(bits));
  return buf;
}

bool TryStrToInt(const std::string& text, int& value) {
  int64_t v = 0;
  if (!ParseInt64(text, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
    return false;
  value = static_cast<int>(v);
  return true;
}

int StrToInt(const std::string& text) {
  int value = 0;
  if (!TryStrToInt(text, value)) throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

int StrToIntDef(const std::string& text, int def) {
  int value = 0;
  return TryStrToInt(text, value) ? value : def;
}

char DecimalSeparator() {
  const struct lconv* conv = std::localeconv();
  if (conv && conv->decimal_point && conv->decimal_point[0] && !conv->decimal_point[1])
    return conv->decimal_point[0];
  return '.';
}

bool TryStrToFloat(const std::string& text, double& value) {
  std::string s = Trim(text);
  const char sep = DecimalSeparator();
  for (char& c : s) {
    if (c == sep) {
      c = '.';
    } else if (c == '.' || !(std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' ||
                             c == 'e' || c == 'E')) {
      return false;  // also keeps out "inf" and "nan"
    }
  }
  size_t start = (!s.empty() && s[0] == '+') ? 1 : 0;
  if (start == s.size()) return false;
  double v = 0;
  auto [end, ec] = std::from_chars(s.data() + start, s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  value = v;
  return true;
}

double StrToFloat(const std::string& text) {
  double value = 0;
  if (!TryStrToFloat(text, value))
    throw EConvertError("'" + text + "' is not a valid floating point value");
  return value;
}

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  std::string s(buf, ec == std::errc() ? end : buf);
  // Exponents as "1E20" / "1E-7", the separator as the locale has it.
  size_t e = s.find('e');
  if (e != std::string::npos) {
    std::string mantissa = s.substr(0, e);
    std::string exponent = s.substr(e + 1);
    bool negative = !exponent.empty() && exponent[0] == '-';
    size_t digits = exponent.find_first_not_of("+-0");
    s = mantissa + "E" + (negative ? "-" : "") +
        (digits == std::string::npos ? "0" : exponent.substr(digits));
  }
  for (char& c : s)
    if (c == '.') c = DecimalSeparator();
  return s;
}

int64_t Round(double value) {
  CheckIntegral(value);
  double whole = std::floor(value);
  double diff = value - whole;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  CheckIntegral(whole);
  return static_cast<int64_t>(whole);
}

int64_t Trunc(double value) {
  CheckIntegral(value);
  return static_cast<int64_t>(value);
}

double Frac(double value) { return value - std::trunc(value); }

TDateTime Date() {
  // Day 25569 is 1 January 1970.
  time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  struct tm midnight = local;
  midnight.tm_hour = midnight.tm_min = midnight.tm_sec = 0;
  time_t asUtc = timegm(&midnight);
  return 25569.0 + static_cast<double>(asUtc / 86400);
}

// Strings -------------------------------------------------------------------

std::string TrimLeft(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

std::string TrimRight(const std::string& text) {
  size_t n = text.size();
  while (n > 0 && IsBlank(text[n - 1])) --n;
  return text.substr(0, n);
}

std::string Trim(const std::string& text) { return TrimLeft(TrimRight(text)); }

std::string UpperCase(const std::string& text) {
  std::string s = text;
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string LowerCase(const std::string& text) {
  std::string s = text;
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

int CompareText(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int ca = static_cast<unsigned char>(a[i]);
    int cb = static_cast<unsigned char>(b[i]);
    if (ca >= 'a' && ca <= 'z') ca -= 'a' - 'A';
    if (cb >= 'a' && cb <= 'z') cb -= 'a' - 'A';
    if (ca != cb) return ca - cb;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SameText(const std::string& a, const std::string& b) { return CompareText(a, b) == 0; }

int Pos(const std::string& sub, const std::string& text) {
  if (sub.empty()) return 0;
  size_t at = text.find(sub);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Copy(const std::string& text, int index, int count) {
  if (index < 1) index = 1;
  if (count <= 0 || static_cast<size_t>(index) > text.size()) return "";
  return text.substr(static_cast<size_t>(index) - 1, static_cast<size_t>(count));
}

std::string StringReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  std::string out;
  size_t start = 0;
  for (size_t at; (at = text.find(from, start)) != std::string::npos; start = at + from.size())
    out.append(text, start, at - start).append(to);
  out.append(text, start, std::string::npos);
  return out;
}

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(nullptr, 0, fmt, args);
  va_end(args);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), fmt, again);
    out.resize(static_cast<size_t>(n));
  }
  va_end(again);
  return out;
}

// File names ----------------------------------------------------------------

namespace {

size_t LastSeparator(const std::string& name) { return name.find_last_of("/\\"); }

std::string ForwardSlashes(const std::string& name) {
  std::string s = name;
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `dir` whose name equals `name` ignoring ASCII case; the
// first in byte order when several do, "" when none.
std::string FindEntryIgnoringCase(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return "";
  std::string best;
  while (const struct dirent* e = ::readdir(d)) {
    std::string entry = e->d_name;
    if (SameText(entry, name) && (best.empty() || entry < best)) best = entry;
  }
  ::closedir(d);
  return best;
}

}  // namespace

std::string ExtractFilePath(const std::string& name) {
  size_t at = LastSeparator(name);
  return at == std::string::npos ? "" : ForwardSlashes(name.substr(0, at + 1));
}

std::string ExtractFileDir(const std::string& name) {
  size_t at = LastSeparator(name);
  if (at == std::string::npos) return "";
  // The root keeps its separator.
  return ForwardSlashes(name.substr(0, at == 0 ? 1 : at));
}

std::string ExtractFileName(const std::string& name) {
  size_t at = LastSeparator(name);
  return at == std::string::npos ? name : name.substr(at + 1);
}

std::string ExtractFileExt(const std::string& name) {
  std::string file = ExtractFileName(name);
  size_t dot = file.rfind('.');
  return dot == std::string::npos ? "" : file.substr(dot);
}

std::string ChangeFileExt(const std::string& name, const std::string& ext) {
  std::string file = ExtractFileName(name);
  size_t dot = file.rfind('.');
  std::string base = dot == std::string::npos ? name : name.substr(0, name.size() - file.size() + dot);
  return base + ext;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  std::string s = ForwardSlashes(path);
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

std::string ExcludeTrailingPathDelimiter(const std::string& path) {
  std::string s = ForwardSlashes(path);
  if (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string ExpandFileName(const std::string& name) {
  std::string path = ForwardSlashes(name);
  if (path.empty() || path[0] != '/') path = IncludeTrailingPathDelimiter(GetCurrentDir()) + path;
  std::vector<std::string> parts;
  size_t start = 1;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += "/" + part;
  if (out.empty() || (path.back() == '/' && !parts.empty())) out += "/";
  return out;
}

std::string NativePath(const std::string& name) {
  std::string path = ForwardSlashes(name);
  if (path.empty() || PathExists(path)) return path;
  std::string out = path[0] == '/' ? "/" : "";
  size_t start = out.size();
  bool resolving = true;  // false once a folder on the way does not exist
  while (start < path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    if (!part.empty()) {
      if (resolving && part != "." && part != ".." && !PathExists(out + part)) {
        std::string match = FindEntryIgnoringCase(out, part);
        if (match.empty()) {
          resolving = false;
        } else {
          part = match;
        }
      }
      out += part;
      if (end < path.size()) out += '/';
    }
    start = end + 1;
  }
  return out;
}

// File system ---------------------------------------------------------------

bool FileExists(const std::string& name) {
  struct stat st;
  return ::stat(NativePath(name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& name) {
  struct stat st;
  return ::stat(NativePath(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& name) { return ::mkdir(NativePath(name).c_str(), 0777) == 0; }

bool ForceDirectories(const std::string& name) {
  std::string dir = ExcludeTrailingPathDelimiter(name);
  if (dir.empty()) return false;
  if (DirectoryExists(dir)) return true;
  std::string parent = ExtractFileDir(dir);
  if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
  return CreateDir(dir) || DirectoryExists(dir);
}

bool DeleteFile(const std::string& name) {
  std::string path = NativePath(name);
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  // A read-only file cannot be deleted, as on the platform.
  if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR)) return false;
  return ::unlink(path.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
  // Like the platform, a rename never replaces an existing file.
  std::string target = NativePath(to);
  if (PathExists(target)) return false;
  return ::rename(NativePath(from).c_str(), target.c_str()) == 0;
}

int64_t FileSizeOf(const std::string& name) {
  struct stat st;
  if (::stat(NativePath(name).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

std::string GetCurrentDir() {
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return "";
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

bool SetCurrentDir(const std::string& dir) { return ::chdir(NativePath(dir).c_str()) == 0; }

int FileGetAttr(const std::string& name) {
  struct stat st;
  if (::stat(NativePath(name).c_str(), &st) != 0) return -1;
  int attr = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
  if (!(st.st_mode & S_IWUSR)) attr |= faReadOnly;
  return attr;
}

int FileSetAttr(const std::string& name, int attr) {
  std::string path = NativePath(name);
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return errno;
  mode_t mode = st.st_mode & 07777;
  mode = (attr & faReadOnly) ? (mode & ~mode_t(S_IWUSR)) : (mode | S_IWUSR);
  return ::chmod(path.c_str(), mode) == 0 ? 0 : errno;
}
