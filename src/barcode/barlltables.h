// Character tables of the barcode encoder, each as its symbology's standard
// publishes it. The four table objects are made once when the program
// starts and live until it ends.
#pragma once

#include <string>
#include <vector>

// Code 39: 44 characters, 9 elements each (bar first), "1" wide.
class TBarCode39 {
 public:
  TBarCode39();
  const std::string Chars;
  std::vector<std::string> Patterns;
  // Index of c in Chars, -1 when absent.
  int IndexOf(char c) const;
};

// Code 128: the 107 symbols as 11 modules each ("1" bar), built from the
// standard's six widths per symbol; the stop's final bar is added later.
class TBarCode128 {
 public:
  TBarCode128();
  std::vector<std::string> Patterns;
};

// Codabar: 20 characters, 7 elements each (bar first), "1" wide.
class TBarCodabar {
 public:
  TBarCodabar();
  const std::string Chars;
  std::vector<std::string> Patterns;
  int IndexOf(char c) const;
};

// Postnet digits (5 bars, "1" full height) and the three FIM marks (9
// bar positions, "1" a bar).
class TBarPostnet {
 public:
  TBarPostnet();
  const std::string Digits;
  std::vector<std::string> Patterns;
  std::vector<std::string> Fim;
};

extern const TBarCode39* const BarCode39;
extern const TBarCode128* const BarCode128;
extern const TBarCodabar* const BarCodabar;
extern const TBarPostnet* const BarPostnet;

// EAN/UPC digit patterns of 7 modules: set A (odd, left), B (even, left),
// C (right).
extern const char* const EanSetA[10];
extern const char* const EanSetB[10];
extern const char* const EanSetC[10];
extern const char* const Ean13Parity[10];
extern const char* const UpcEParity[10];
extern const char* const Addon2Parity[4];
extern const char* const Addon5Parity[10];
extern const char* const Code25Patterns[10];
extern const char* const UpcETemplates[10];
