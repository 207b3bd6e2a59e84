// The module builders: the normalised code text becomes bars and spaces.
#include <cstring>

#include "barcode/barll.h"
#include "barcode/barlltables.h"

namespace {

int DigitValue(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

}  // namespace

void TLLBarcode::Put(const char* bits) {
  const size_t n = std::strlen(bits);
  if (ModuleCount + n > size_t(BarMaxModules)) throw EOverflow("String exceeds maximum length");
  for (size_t i = 0; i < n; ++i) Modules[ModuleCount++] = bits[i] == '1' ? 1 : 0;
}

// Elements alternate bar and space; "1" is wide (3 or 2 modules by the
// ratio), anything else narrow (1 module).
void TLLBarcode::PutElements(const std::string& widths, bool barFirst) {
  const int wide = Params->Ratio == Ratio_2 ? 2 : 3;
  std::string bits;
  for (size_t i = 0; i < widths.size(); ++i) {
    const bool bar = (i % 2 == 0) == barFirst;
    bits.append(size_t(widths[i] == '1' ? wide : 1), bar ? '1' : '0');
  }
  Put(bits.c_str());
}

void TLLBarcode::PutEanDigit(char digit, char set) {
  const int d = DigitValue(digit);
  Put(set == 'A' ? EanSetA[d] : set == 'B' ? EanSetB[d] : EanSetC[d]);
}

// Guard, left-hand digits in their sets, centre guard, right-hand digits
// from set C, guard.
void TLLBarcode::PutEanSymbol(const std::string& left, const std::string& leftSets, const std::string& right) {
  Put("101");
  for (size_t i = 0; i < left.size(); ++i) PutEanDigit(left[i], leftSets[i]);
  Put("01010");
  for (char digit : right) PutEanDigit(digit, 'C');
  Put("101");
}

void TLLBarcode::DoCode_Ean13() {
  // The first digit is carried by the parity of the left half.
  PutEanSymbol(CodeText.substr(1, 6), Ean13Parity[DigitValue(CodeText[0])], CodeText.substr(7, 6));
}

void TLLBarcode::DoCode_Ean8() { PutEanSymbol(CodeText.substr(0, 4), "AAAA", CodeText.substr(4, 4)); }

void TLLBarcode::DoCode_UPCA() { PutEanSymbol(CodeText.substr(0, 6), "AAAAAA", CodeText.substr(6, 6)); }

void TLLBarcode::DoCode_UPCE() {
  const char* parity = UpcEParity[DigitValue(CodeText[6])];
  Put("101");
  for (int i = 0; i < 6; ++i) PutEanDigit(CodeText[i], parity[i]);
  Put("010101");
}

void TLLBarcode::DoCode_Code39() {
  for (char c : CodeText) {
    const int index = BarCode39->IndexOf(c);
    PutElements(BarCode39->Patterns[index < 0 ? 0 : index], true);
    Put("0");
  }
}

void TLLBarcode::DoCode_Code25I() {
  std::string elements = "0000";
  for (size_t i = 0; i + 1 < CodeText.size(); i += 2) {
    const char* bars = Code25Patterns[DigitValue(CodeText[i])];
    const char* spaces = Code25Patterns[DigitValue(CodeText[i + 1])];
    for (int k = 0; k < 5; ++k) {
      elements += bars[k];
      elements += spaces[k];
    }
  }
  elements += "100";
  PutElements(elements, true);
}

void TLLBarcode::DoCode_128(char startSet) {
  for (char ch : CodeText) {
    const int value = static_cast<unsigned char>(ch) - 32;
    if (value < 0 || value >= int(BarCode128->Patterns.size())) throw EOverflow("BarcoLL: Code128 error");
    Put(BarCode128->Patterns[value].c_str());
  }
  Put("11");
}

void TLLBarcode::DoCode_MSIPlessey() {
  std::string bits = "1";
  for (char c : CodeText) {
    const int d = DigitValue(c);
    for (int b = 3; b >= 0; --b) bits += (d >> b) & 1 ? '1' : '0';
  }
  bits += "00";
  // Bit 1: wide bar, narrow space; bit 0: narrow bar, wide space.
  std::string elements;
  for (char b : bits) elements += b == '1' ? "10" : "01";
  PutElements(elements, true);
}

void TLLBarcode::DoCode_Codabar() {
  for (char c : CodeText) {
    const int index = BarCodabar->IndexOf(c);
    PutElements(BarCodabar->Patterns[index < 0 ? 0 : index], true);
    Put("0");
  }
}

void TLLBarcode::DoCode_Postnet() {
  Put("1");
  for (char c : CodeText) Put(BarPostnet->Patterns[DigitValue(c)].c_str());
  Put("1");
}

void TLLBarcode::DoCode_Postnet_FIM() {
  const char first = CodeText.empty() ? '\0' : CodeText[0];
  const int mark = (first == 'A' || first == 'a') ? 0 : (first == 'B' || first == 'b') ? 1 : 2;
  CodeText = mark == 0 ? "FIM-A" : mark == 1 ? "FIM-B" : "FIM-C";
  Put(BarPostnet->Fim[mark].c_str());
}

// The add-on after an EAN-13 or UPC-A: nine spaces from module 95, the
// start 1011, digits from set A or B separated by 01, one closing space.
void TLLBarcode::AppendAddon2() {
  const std::string& addon = Params->AddonCode;
  const char* parity = Addon2Parity[(DigitValue(addon[0]) * 10 + DigitValue(addon[1])) % 4];
  Put("000000000");
  Put("1011");
  PutEanDigit(addon[0], parity[0]);
  Put("01");
  PutEanDigit(addon[1], parity[1]);
  Put("0");
}

void TLLBarcode::AppendAddon5() {
  const std::string& addon = Params->AddonCode;
  int d[5];
  for (int i = 0; i < 5; ++i) d[i] = DigitValue(addon[i]);
  const char* parity = Addon5Parity[(3 * (d[0] + d[2] + d[4]) + 9 * (d[1] + d[3])) % 10];
  Put("000000000");
  Put("1011");
  for (int i = 0; i < 5; ++i) {
    if (i > 0) Put("01");
    PutEanDigit(addon[i], parity[i]);
  }
  Put("0");
}
