// The message table of the imaging dialogs: every caption, label and button
// text those dialogs show, one row per language, one column per word.
// Texts are UTF-8. The table is filled with the default words before the
// first lookup; applications may replace any entry and fill the msUser row.
#pragma once

#include <cstdint>
#include <string>

// Languages of the table. msSystem names no row: it stands for the language
// of the system, resolved at every lookup. msChinese comes after msUser so
// that the values stored by older components keep their meaning.
enum TMsgLanguage : uint8_t {
  msSystem,
  msEnglish,
  msItalian,
  msGerman,
  msSpanish,
  msFrench,
  msPortuguese,
  msGreek,
  msRussian,
  msDutch,
  msSwedish,
  msPolish,
  msUser,
  msChinese
};

enum TMsgLanguageWords : uint8_t {
  IEMSG_PREVIEW,
  IEMSG_SOURCE,
  IEMSG_RESULT,
  IEMSG_OK,
  IEMSG_CANCEL,
  IEMSG_LOCKPREVIEW,
  IEMSG_COPYRESULTTOSOURCE,
  IEMSG_CONTRAST,
  IEMSG_BRIGHTNESS,
  IEMSG_HUE,
  IEMSG_SATURATION,
  IEMSG_VALUE,
  IEMSG_BASECOLOR,
  IEMSG_NEWCOLOR,
  IEMSG_LUMINOSITY,
  IEMSG_RED,
  IEMSG_GREEN,
  IEMSG_BLUE,
  IEMSG_FILTERVALUES,
  IEMSG_PRESETS,
  IEMSG_DIVISOR,
  IEMSG_LOAD,
  IEMSG_SAVE,
  IEMSG_EQUALIZATION,
  IEMSG_THRESHOLD,
  IEMSG_EQUALIZE,
  IEMSG_HISTOGRAM,
  IEMSG_GRAY,
  IEMSG_LIGHT,
  IEMSG_LEFT,
  IEMSG_TOP,
  IEMSG_WIDTH,
  IEMSG_HEIGHT,
  IEMSG_COLOR,
  IEMSG_SOURCEIMAGEQUANTITY,
  IEMSG_LENS,
  IEMSG_REFRACTION,
  IEMSG_PARAMETERSPREVIEW,
  IEMSG_QUALITY,
  IEMSG_DCTMETHOD,
  IEMSG_SMOOTHINGFACTOR,
  IEMSG_GRAYSCALE,
  IEMSG_OPTIMALHUFFMAN,
  IEMSG_ORIGINALSIZE,
  IEMSG_COMPRESSEDSIZE,
  IEMSG_ADVANCED,
  IEMSG_PROGRESSIVE,
  IEMSG_COMPRESSION,
  IEMSG_IMAGEINDEX,
  IEMSG_PHOTOMETRIC,
  IEMSG_SCANNDEDDOCUMENTINFO,
  IEMSG_NAME,
  IEMSG_DESCRIPTION,
  IEMSG_PAGENAME,
  IEMSG_PAGENUMBER,
  IEMSG_OF,
  IEMSG_HORIZPOSITIONINCH,
  IEMSG_VERTPOSITIONINCH,
  IEMSG_COLORS,
  IEMSG_TRANSPARENT,
  IEMSG_TRANSPARENTCOLOR,
  IEMSG_INTERLACED,
  IEMSG_BACKGROUND,
  IEMSG_HORIZPOSITION,
  IEMSG_VERTPOSITION,
  IEMSG_DELAYTIME,
  IEMSG_FILTER,
  IEMSG_WAVE,
  IEMSG_AMPLITUDE,
  IEMSG_WAVELENGTH,
  IEMSG_PHASE,
  IEMSG_REFLECTIVE,
  IEMSG_USERFILTER,
  IEMSG_MORPHFILTER,
  IEMSG_WINDOWSIZE,
  IEMSG_MAXIMUM,
  IEMSG_MINIMUM,
  IEMSG_OPEN,
  IEMSG_CLOSE,
  IEMSG_ROTATE,
  IEMSG_FLIP,
  IEMSG_FLIPHOR,
  IEMSG_FLIPVER,
  IEMSG_FREQUENCYDOMAINIMAGE,
  IEMSG_SELECTTHEREGIONTOCLEAR,
  IEMSG_CLEAR,
  IEMSG_RESET,
  IEMSG_ANIMATE,
  IEMSG_LOADFILTER,
  IEMSG_SAVEFILTER,
  IEMSG_BUMPMAP,
  IEMSG_PRINT,
  IEMSG_MARGINS,
  IEMSG_INCHES,
  IEMSG_RIGHT,
  IEMSG_BOTTOM,
  IEMSG_POSITION,
  IEMSG_SIZE,
  IEMSG_NORMAL,
  IEMSG_FITTOPAGE,
  IEMSG_STRETCHTOPAGE,
  IEMSG_SPECIFIEDSIZE,
  IEMSG_GAMMACORRECTION,
  IEMSG_VALUE2,
  IEMSG_PRINTSETUP,
  IEMSG_LEFTMARGIN,
  IEMSG_TOPMARGIN,
  IEMSG_RIGHTMARGIN,
  IEMSG_BOTTOMMARGIN,
  IEMSG_LOCATIONSIZE,
  IEMSG_TOPLEFT,
  IEMSG_TOPCENTER,
  IEMSG_TOPRIGHT,
  IEMSG_CENTERLEFT,
  IEMSG_CENTER,
  IEMSG_CENTERRIGHT,
  IEMSG_BOTTOMLEFT,
  IEMSG_BOTTOMCENTER,
  IEMSG_BOTTOMRIGHT,
  IEMSG_CLOSE2,
  IEMSG_APPLY,
  IEMSG_MEASUREUNITS,
  IEMSG_UNITS,
  IEMSG_RATE
};

constexpr int kIEMsgWordCount = IEMSG_RATE + 1;
constexpr int kIEMsgLanguageCount = msChinese;  // rows: msEnglish .. msChinese

// Row r holds the language whose value is r + 1; column c the word c.
// Empty entries are words a language lacks.
extern std::string ieMessages[kIEMsgLanguageCount][kIEMsgWordCount];

// The text of a word in a language. An empty entry falls back to the
// English text of the word; values outside the enumerations give "".
std::string iemsg(TMsgLanguageWords word, TMsgLanguage language);

// Replaces one entry. msSystem and values outside the enumerations name no
// row and are ignored.
void IESetTranslationWord(TMsgLanguage language, TMsgLanguageWords word, const std::string& text);

// The row msSystem stands for, from the locale variables of the process
// (LC_ALL, else LC_MESSAGES, else LANG); msEnglish when none names a
// language of the table.
TMsgLanguage IESystemMsgLanguage();

// The row for one locale name such as "de_DE.UTF-8" or "zh_CN"; msEnglish
// for "C", "POSIX", "" and languages the table has no row for.
TMsgLanguage IEMsgLanguageOfLocale(const std::string& locale);
