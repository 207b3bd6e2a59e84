// Column values in the bytes of a dBASE record.
#include <cstdio>
#include <cstring>

#include "dbf.h"
#include "dbfio.h"
#include "gbk.h"

namespace {

std::string_view Bytes(const TDbfField& field, const std::vector<uint8_t>& record) {
  return {reinterpret_cast<const char*>(record.data()) + field.Offset, size_t(field.Length)};
}

void Store(const TDbfField& field, std::vector<uint8_t>& record, std::string_view bytes, bool rightAligned) {
  uint8_t* p = record.data() + field.Offset;
  std::memset(p, ' ', size_t(field.Length));
  size_t at = rightAligned ? size_t(field.Length) - bytes.size() : 0;
  std::memcpy(p + at, bytes.data(), bytes.size());
}

[[noreturn]] void Refuse(const TDbfField& field, const std::string& value) {
  throw EDatabaseError("'" + value + "' is not a valid value for field '" + field.Name + "'.");
}

// Level 7 keeps long integers big-endian with the sign bit flipped, so that
// the bytes sort as the numbers do; all-zero bytes are an empty value.
bool IsLong(const TDbfField& field) { return (field.Type == 'I' || field.Type == '+') && field.Length == 4; }

std::string NumberText(const TDbfField& field, const std::string& value) {
  std::string text = Trim(value);
  if (text.empty()) return text;
  double number = 0;
  if (!TryStrToFloat(text, number)) Refuse(field, value);
  if (int(text.size()) > field.Length || (field.Decimals > 0 && text.find('.') == std::string::npos)) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", field.Decimals, number);
    text = buffer;
  }
  if (int(text.size()) > field.Length) Refuse(field, value);
  return text;
}

std::string DateText(const TDbfField& field, const std::string& value) {
  std::string digits;
  for (char c : Trim(value))
    if (c >= '0' && c <= '9') digits += c;
    else if (c != '-' && c != '/' && c != '.') Refuse(field, value);
  if (!digits.empty() && digits.size() != 8) Refuse(field, value);
  return digits;
}

}  // namespace

namespace dbfvalue {

bool IsBlank(const TDbfField& field, const std::vector<uint8_t>& record) {
  for (char c : Bytes(field, record))
    if (c != ' ' && c != 0) return false;
  return true;
}

std::string Get(const TDbfField& field, const std::vector<uint8_t>& record) {
  if (IsBlank(field, record) || field.IsBlob()) return {};
  std::string_view bytes = Bytes(field, record);
  if (IsLong(field)) {
    uint32_t v = (uint32_t(uint8_t(bytes[0])) << 24) | (uint32_t(uint8_t(bytes[1])) << 16) |
                 (uint32_t(uint8_t(bytes[2])) << 8) | uint32_t(uint8_t(bytes[3]));
    return IntToStr(int32_t(v ^ 0x80000000u));
  }
  size_t end = bytes.find_last_not_of(std::string_view(" \0", 2));
  bytes = bytes.substr(0, end + 1);
  if (field.Type == 'N' || field.Type == 'F') bytes.remove_prefix(bytes.find_first_not_of(' '));
  return GbkToUtf8(bytes);
}

void Set(const TDbfField& field, std::vector<uint8_t>& record, const std::string& value) {
  switch (field.Type) {
    case 'C':
      Store(field, record, GbkTruncate(Utf8ToGbk(value), size_t(field.Length)), false);
      return;
    case 'N':
    case 'F':
      Store(field, record, NumberText(field, value), true);
      return;
    case 'D':
      Store(field, record, DateText(field, value), false);
      return;
    case 'L': {
      std::string text = Trim(value);
      char c = text.empty() ? ' ' : text[0];
      if (std::strchr("TtYy1", c)) c = 'T';
      else if (std::strchr("FfNn0", c)) c = 'F';
      else if (c != ' ') Refuse(field, value);
      Store(field, record, std::string(1, c), false);
      return;
    }
    default:
      if (IsLong(field)) {
        if (Trim(value).empty()) return Clear(field, record);
        int number = 0;
        if (!TryStrToInt(Trim(value), number)) Refuse(field, value);
        uint32_t v = uint32_t(number) ^ 0x80000000u;
        uint8_t* p = record.data() + field.Offset;
        for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * (3 - i)));
        return;
      }
      throw EDatabaseError("Field '" + field.Name + "' cannot be written as text.");
  }
}

void Clear(const TDbfField& field, std::vector<uint8_t>& record) {
  bool binary = IsLong(field) || (field.IsBlob() && field.Length == 4);
  std::memset(record.data() + field.Offset, binary ? 0 : ' ', size_t(field.Length));
}

void SetBlock(const TDbfField& field, std::vector<uint8_t>& record, uint32_t block) {
  if (field.Length == 4) {
    dbfio::Put32(record.data() + field.Offset, block);
    return;
  }
  std::string digits = block ? std::to_string(block) : std::string();
  if (int(digits.size()) > field.Length) throw EDatabaseError("Field '" + field.Name + "' cannot hold its BLOB reference.");
  Store(field, record, digits, true);
}

}  // namespace dbfvalue
