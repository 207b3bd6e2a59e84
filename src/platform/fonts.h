// Fonts: the face names the system's templates and dialogs use mapped to
// installed families through one table, the Qt font of a logical font, the
// list of installed faces, and the screen resolution that font sizes use.
#pragma once

#include <QFont>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint8_t ANSI_CHARSET = 0;
constexpr uint8_t DEFAULT_CHARSET = 1;
constexpr uint8_t SYMBOL_CHARSET = 2;
constexpr uint8_t GB2312_CHARSET = 134;
constexpr uint8_t CHINESEBIG5_CHARSET = 136;
constexpr uint8_t GREEK_CHARSET = 161;

// Font style bits (the sum is what font strings store).
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// The installed family that stands for a face name ("宋体" to a Song serif,
// "黑体" to a sans, "楷体_GB2312" to a kai face, "Arial" to a Latin sans);
// unknown names stay as given.
std::string MapFontFace(const std::string& face);

// A Qt font for a logical font: `height` below 0 is the character height
// in pixels, above 0 the cell height, 0 a default of 16 pixels cell. Drawn
// antialiased.
QFont MakeQFont(const std::string& face, int height, TFontStyles style, int weight = 0);

// The text cell of a font made by MakeQFont, in pixels: what text is
// measured and aligned by. The Chinese faces have the cell of the system's
// own Chinese faces, their em square with the baseline at 0.88 em (their
// installed stand-ins would give a cell near 1.45 em, too tall for the
// boxes the forms and templates were laid out with); other faces their
// own line height.
struct TFontCell {
  double Ascent = 0;
  double Height = 0;
};
TFontCell FontCell(const QFont& font);

struct TFontFace {
  std::string Name;
  uint8_t Charset = ANSI_CHARSET;
};
// Every installed face once, plus the system's usual face names whose
// stand-in is installed, sorted by name.
std::vector<TFontFace> EnumFontFaces();
// The names alone (the screen's font list).
std::vector<std::string> ScreenFonts();

// Logical pixels per inch of the primary screen; 96 headless.
int ScreenPixelsPerInch();
// Size of the primary screen in pixels (800 x 600 headless).
int ScreenWidth();
int ScreenHeight();
