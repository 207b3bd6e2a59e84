#include "imaging/core/iemsg.h"

#include <cstdlib>
#include <mutex>

#include "imaging/core/iewords.h"

std::string ieMessages[kIEMsgLanguageCount][kIEMsgWordCount];

namespace {

bool IsWord(TMsgLanguageWords word) { return word < kIEMsgWordCount; }
bool HasRow(TMsgLanguage language) { return language >= msEnglish && language <= msChinese; }

// The defaults go in before the first lookup or change, whichever comes
// first, so an early change is never overwritten by them.
void EnsureDefaultWords() {
  static std::once_flag filled;
  std::call_once(filled, IESetDefaultTranslationWords);
}

// Fills the table when the library is loaded, as the dialogs expect.
const bool kFilledAtStart = (EnsureDefaultWords(), true);

std::string& Entry(TMsgLanguage language, TMsgLanguageWords word) {
  return ieMessages[language - 1][word];
}

const char* FirstSetVariable(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    const char* value = std::getenv(name);
    if (value && *value)
      return value;
  }
  return "";
}

}  // namespace

std::string iemsg(TMsgLanguageWords word, TMsgLanguage language) {
  EnsureDefaultWords();
  if (language == msSystem)
    language = IESystemMsgLanguage();
  if (!IsWord(word) || !HasRow(language))
    return {};
  const std::string& text = Entry(language, word);
  return text.empty() ? Entry(msEnglish, word) : text;
}

void IESetTranslationWord(TMsgLanguage language, TMsgLanguageWords word, const std::string& text) {
  EnsureDefaultWords();
  if (IsWord(word) && HasRow(language))
    Entry(language, word) = text;
}

TMsgLanguage IEMsgLanguageOfLocale(const std::string& locale) {
  std::string code = locale.substr(0, locale.find_first_of("_.@-"));
  for (char& c : code)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  static const struct {
    const char* code;
    TMsgLanguage language;
  } kCodes[] = {{"de", msGerman},     {"el", msGreek},   {"es", msSpanish}, {"fr", msFrench},
                {"it", msItalian},    {"nl", msDutch},   {"pt", msPortuguese}, {"ru", msRussian},
                {"sv", msSwedish},    {"pl", msPolish},  {"zh", msChinese}};
  for (const auto& entry : kCodes)
    if (code == entry.code)
      return entry.language;
  return msEnglish;
}

TMsgLanguage IESystemMsgLanguage() {
  return IEMsgLanguageOfLocale(FirstSetVariable({"LC_ALL", "LC_MESSAGES", "LANG"}));
}
