// Run-time basics of the component framework as this system uses them:
// the base object, the exception classes, number and string routines and
// file-name helpers. Strings are UTF-8 std::string throughout; GBK text is
// converted at the file edge (gbk.h).
#pragma once

#include <cstdint>
#include <exception>
#include <string>

using Integer = int32_t;
using Cardinal = uint32_t;
using Word = uint16_t;
using Byte = uint8_t;
using DWORD = uint32_t;
using Int64 = int64_t;
using AnsiString = std::string;

// Root of every class that can be passed as "an object" (Assign, Sender).
class TObject {
 public:
  virtual ~TObject() = default;
};

// Exceptions. `Message` is what the application's handler shows.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }
  std::string Message;
};

#define CW_DECLARE_EXCEPTION(Name, Base) \
  class Name : public Base {             \
   public:                               \
    using Base::Base;                    \
  };

CW_DECLARE_EXCEPTION(EConvertError, Exception)
CW_DECLARE_EXCEPTION(EOutOfMemory, Exception)
CW_DECLARE_EXCEPTION(EInvalidCast, Exception)
CW_DECLARE_EXCEPTION(EAbstractError, Exception)
CW_DECLARE_EXCEPTION(EInvalidOperation, Exception)
CW_DECLARE_EXCEPTION(EInvalidPointer, Exception)
CW_DECLARE_EXCEPTION(EInvalidArgument, Exception)
CW_DECLARE_EXCEPTION(EListError, Exception)
CW_DECLARE_EXCEPTION(EStringListError, Exception)
CW_DECLARE_EXCEPTION(EStreamError, Exception)
CW_DECLARE_EXCEPTION(EFCreateError, EStreamError)
CW_DECLARE_EXCEPTION(EFOpenError, EStreamError)
CW_DECLARE_EXCEPTION(EReadError, EStreamError)
CW_DECLARE_EXCEPTION(EWriteError, EStreamError)
CW_DECLARE_EXCEPTION(EInOutError, Exception)
CW_DECLARE_EXCEPTION(EIntError, Exception)
CW_DECLARE_EXCEPTION(EDivByZero, EIntError)
CW_DECLARE_EXCEPTION(ERangeError, EIntError)
CW_DECLARE_EXCEPTION(EMathError, Exception)
CW_DECLARE_EXCEPTION(EZeroDivide, EMathError)
CW_DECLARE_EXCEPTION(EOverflow, EMathError)
CW_DECLARE_EXCEPTION(EInvalidOp, EMathError)
CW_DECLARE_EXCEPTION(EAccessViolation, Exception)
CW_DECLARE_EXCEPTION(EAbort, Exception)

// Raises EAbort (the silent exception).
[[noreturn]] void Abort();
// Raises the out-of-memory exception with the framework's text.
[[noreturn]] void OutOfMemoryError();

// Numbers.
std::string IntToStr(int64_t value);
std::string IntToHex(int64_t value, int digits);
int StrToInt(const std::string& text);  // raises EConvertError
int StrToIntDef(const std::string& text, int def);
bool TryStrToInt(const std::string& text, int& value);
double StrToFloat(const std::string& text);  // raises EConvertError
bool TryStrToFloat(const std::string& text, double& value);
std::string FloatToStr(double value);
// Rounds to the nearest integer, halves to even (the run time's Round).
int64_t Round(double value);
// Toward zero.
int64_t Trunc(double value);
double Frac(double value);

// Days since 30 December 1899, the time of day as the fraction.
using TDateTime = double;
// Today at midnight, local time.
TDateTime Date();
// The locale's decimal separator ('.' unless the locale says otherwise).
char DecimalSeparator();

// Strings.
std::string Trim(const std::string& text);
std::string TrimLeft(const std::string& text);
std::string TrimRight(const std::string& text);
std::string UpperCase(const std::string& text);  // ASCII letters only
std::string LowerCase(const std::string& text);  // ASCII letters only
int CompareText(const std::string& a, const std::string& b);  // ASCII case-insensitive
bool SameText(const std::string& a, const std::string& b);
// 1-based position of sub in text, 0 when absent.
int Pos(const std::string& sub, const std::string& text);
// 1-based copy as the run time's Copy (clamped, never throws).
std::string Copy(const std::string& text, int index, int count);
std::string StringReplaceAll(const std::string& text, const std::string& from, const std::string& to);
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// File names. `\` and `/` both separate folders; results use '/'.
std::string ExtractFilePath(const std::string& name);  // with trailing separator
std::string ExtractFileDir(const std::string& name);   // without it
std::string ExtractFileName(const std::string& name);
std::string ExtractFileExt(const std::string& name);  // with the dot, "" when none
std::string ChangeFileExt(const std::string& name, const std::string& ext);
std::string IncludeTrailingPathDelimiter(const std::string& path);
std::string ExcludeTrailingPathDelimiter(const std::string& path);
std::string ExpandFileName(const std::string& name);
// Turns a path as the system writes it (backslashes, any letter case of an
// existing folder or file) into the path on disk: separators become '/', and
// each component that does not exist in the exact case is matched
// case-insensitively against the folder's entries. Components that do not
// exist at all are kept as written.
std::string NativePath(const std::string& name);

// File system, all through NativePath.
bool FileExists(const std::string& name);
bool DirectoryExists(const std::string& name);
bool CreateDir(const std::string& name);
bool ForceDirectories(const std::string& name);
bool DeleteFile(const std::string& name);
bool RenameFile(const std::string& from, const std::string& to);
int64_t FileSizeOf(const std::string& name);  // -1 when it cannot be read
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& dir);

// Attributes (only the read-only bit is meaningful here).
constexpr int faReadOnly = 0x01;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
int FileGetAttr(const std::string& name);  // -1 when missing
int FileSetAttr(const std::string& name, int attr);  // 0 on success
