// The card template file (*.pmt) as plain data: the sizes, positions,
// flags and page values of the design, its 13 data-field texts and 13
// titles with their fonts, the picture paths and the card-holder table.
// Reading checks every value before it hands back a record, so a bad
// template is refused whole and the caller's design stays as it was.
// Templates under a folder whose name ends in "mode" stay plain text on
// disk; every other template is scrambled (templatescramble.h).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sysutils.h"

// A template that cannot be read or written; the message names the key
// and the value at fault.
CW_DECLARE_EXCEPTION(ECardTemplateError, Exception)

enum TemplateFontStyle : unsigned {
  tfsBold = 1,
  tfsItalic = 2,
  tfsUnderline = 4,
  tfsStrikeOut = 8,
};

struct TemplateFont {
  int charset = 1;
  int color = 0;    // RGB
  int height = -12; // the framework's signed pixel height; the size decides
  int size = 9;     // points
  std::string name = "宋体";
  unsigned style = 0;  // TemplateFontStyle bits
  // "1" shown, "0" hidden; any other stored value leaves the text as it was.
  std::optional<bool> shown;

  bool operator==(const TemplateFont&) const = default;
};

// One data-field text or one static title.
struct TemplateText {
  std::string caption;  // field caption (data texts) or title text
  int height = 0;       // of the design text
  int width = 0;
  int left = 0;  // of the print twin
  int top = 0;
  TemplateFont font;

  bool operator==(const TemplateText&) const = default;
};

struct CardTemplate {
  static constexpr int kTextCount = 13;
  static constexpr int kPageDataCount = 80;

  CardTemplate() { pageData.fill(1); }

  std::array<int, kPageDataCount> pageData{};  // layout values, index 0..79
  std::array<TemplateText, kTextCount> dataTexts;
  std::array<TemplateText, kTextCount> titles;
  std::string logoPath;    // as stored: may be a Windows path
  std::string sealPath;
  std::string layoutPath;
  std::string tableFolder;
  std::string tableFile;

  bool operator==(const CardTemplate&) const = default;
};

// The style code of the file (1..16) for a style set, and back; codes
// outside 1..15 read as no style.
int FontStyleCode(unsigned style);
unsigned FontStyleFromCode(int code);

// True when the path lies under a folder whose name ends in "mode" (either
// separator, any letter case): such templates stay plain text.
bool IsStockTemplatePath(std::string_view path);

// Plain (unscrambled) GBK bytes to a record; raises ECardTemplateError.
CardTemplate ParseCardTemplate(std::string_view bytes);
// The record as plain GBK bytes with CR LF line ends.
std::string FormatCardTemplate(const CardTemplate& design);

// Reads the file without ever writing to it, unscrambling in memory when
// it lies outside the stock folder.
CardTemplate LoadCardTemplate(const std::string& path);
// Writes the file under a temporary name in its folder and renames it over
// the target, so a failed save leaves the old file whole; scrambled unless
// it lies under the stock folder.
void SaveCardTemplate(const std::string& path, const CardTemplate& design);
