#include "barcode/ubarcodetext.h"

#include <algorithm>

namespace {

bool AllDigits(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool AllIn(const std::string& text, unsigned char low, unsigned char high) {
  return std::all_of(text.begin(), text.end(), [&](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= low && u <= high;
  });
}

// The check digit the encoder appends to the digits before it.
char CheckDigitOf(const std::string& digits, lbtCodeTypes type) {
  std::string text = digits;
  AddProofchar(text, type);
  return text.back();
}

// Digits of exactly `dataLength`, or one more when the last is their
// check digit.
TBarcodeTextFault CheckedDigits(const std::string& text, size_t dataLength, lbtCodeTypes type) {
  if (!AllDigits(text)) return btfCharacters;
  if (text.size() == dataLength) return btfNone;
  if (text.size() != dataLength + 1) return btfLength;
  return CheckDigitOf(text.substr(0, dataLength), type) == text.back() ? btfNone : btfCheckDigit;
}

}  // namespace

TBarcodeTextFault BarcodeTextFault(const std::string& text, lbtCodeTypes type) {
  static const std::string kCode39 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
  if (text.empty()) return btfEmpty;
  if (text.size() > size_t(BarMaxInput)) return btfTooLong;
  switch (type) {
    case EAN_8: return CheckedDigits(text, 7, type);
    case EAN_13: return CheckedDigits(text, 12, type);
    case UPC_A: return CheckedDigits(text, 11, type);
    case UPC_E: return CheckedDigits(text, 6, type);
    case CODE39: return text.find_first_not_of(kCode39) == std::string::npos ? btfNone : btfCharacters;
    case CODE25i:
    case CODE128_C: return AllDigits(text) ? btfNone : btfCharacters;
    case CODE25iP:
      // The parcel-post codes: 11 digits (Identcode) or 13 (Leitcode), each
      // followed by the check digit the barcode adds.
      if (!AllDigits(text)) return btfCharacters;
      return text.size() == 11 || text.size() == 13 ? btfNone : btfLength;
    case CODE128_A: return AllIn(text, 32, 95) ? btfNone : btfCharacters;
    case CODE128_B: return AllIn(text, 32, 127) ? btfNone : btfCharacters;
    default: return btfNone;
  }
}

std::string BarcodeTextFaultText(TBarcodeTextFault fault) {
  switch (fault) {
    case btfNone: return "";
    case btfEmpty: return "内容为空";
    case btfTooLong: return "超过50个字符";
    case btfCharacters: return "含有此条码不能表示的字符";
    case btfLength: return "位数不对";
    case btfCheckDigit: return "校验位不对";
  }
  return "";
}
