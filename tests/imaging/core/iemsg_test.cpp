#include "imaging/core/iemsg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "imaging/core/iewords.h"

namespace {

// Restores the default words and an empty msUser row after each test.
class MessageTable : public ::testing::Test {
 protected:
  void TearDown() override {
    IESetDefaultTranslationWords();
    for (int word = 0; word < kIEMsgWordCount; ++word)
      IESetTranslationWord(msUser, static_cast<TMsgLanguageWords>(word), "");
  }
};

// Sets the locale variables for one test and puts the old values back.
class LocaleVariables {
 public:
  LocaleVariables(const char* lcAll, const char* lcMessages, const char* lang) {
    Set("LC_ALL", lcAll);
    Set("LC_MESSAGES", lcMessages);
    Set("LANG", lang);
  }
  ~LocaleVariables() {
    for (auto& [name, value] : saved_)
      value ? setenv(name, value->c_str(), 1) : unsetenv(name);
  }

 private:
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    *value ? setenv(name, value, 1) : unsetenv(name);
  }
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

}  // namespace

TEST_F(MessageTable, DefaultsFillEveryTranslatedRow) {
  struct Case {
    TMsgLanguage language;
    TMsgLanguageWords word;
    const char* text;
  };
  const Case cases[] = {
      {msEnglish, IEMSG_PREVIEW, "Preview"},
      {msEnglish, IEMSG_SCANNDEDDOCUMENTINFO, "Scanned document info"},
      {msEnglish, IEMSG_RATE, "Rate"},
      {msGerman, IEMSG_CANCEL, "Abbrechen"},
      {msRussian, IEMSG_CANCEL, "Отмена"},
      {msGreek, IEMSG_PRINT, "Εκτύπωση"},
      {msChinese, IEMSG_PREVIEW, "预览"},
      {msChinese, IEMSG_OK, "确定"},
      {msChinese, IEMSG_RATE, "压缩率"},
      // Polish has no rate and msUser nothing: both read English.
      {msPolish, IEMSG_RATE, "Rate"},
      {msPolish, IEMSG_SAVE, "Zapisz"},
      {msUser, IEMSG_PREVIEW, "Preview"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(iemsg(c.word, c.language), c.text);
  }

  for (int language = msEnglish; language <= msChinese; ++language) {
    for (int word = 0; word < kIEMsgWordCount; ++word) {
      const bool expectEmpty =
          language == msUser || (language == msPolish && word == IEMSG_RATE);
      EXPECT_EQ(ieMessages[language - 1][word].empty(), expectEmpty)
          << "language " << language << " word " << word;
    }
  }
}

TEST_F(MessageTable, SetWordsReplaceOneEntryAndEmptyOnesFallBackToEnglish) {
  IESetTranslationWord(msUser, IEMSG_PREVIEW, "Vorschau!");
  EXPECT_EQ(iemsg(IEMSG_PREVIEW, msUser), "Vorschau!");
  EXPECT_EQ(iemsg(IEMSG_CANCEL, msUser), "Cancel");
  EXPECT_EQ(iemsg(IEMSG_PREVIEW, msEnglish), "Preview");

  IESetTranslationWord(msGerman, IEMSG_OK, "");
  EXPECT_EQ(iemsg(IEMSG_OK, msGerman), "OK");
  LocaleVariables german("", "", "de_DE.UTF-8");
  EXPECT_EQ(iemsg(IEMSG_OK, msSystem), "OK");
  EXPECT_EQ(iemsg(IEMSG_CANCEL, msSystem), "Abbrechen");
}

TEST_F(MessageTable, ValuesThatNameNoEntryChangeNothingAndReadEmpty) {
  const auto badWord = static_cast<TMsgLanguageWords>(kIEMsgWordCount);
  const auto badLanguage = static_cast<TMsgLanguage>(msChinese + 1);

  IESetTranslationWord(msSystem, IEMSG_OK, "changed");
  IESetTranslationWord(badLanguage, IEMSG_OK, "changed");
  IESetTranslationWord(msEnglish, badWord, "changed");
  for (int language = msEnglish; language <= msChinese; ++language)
    EXPECT_NE(iemsg(IEMSG_OK, static_cast<TMsgLanguage>(language)), "changed");

  EXPECT_EQ(iemsg(badWord, msEnglish), "");
  EXPECT_EQ(iemsg(IEMSG_OK, badLanguage), "");
}

TEST(MessageLocale, LocaleNamesChooseTheirRow) {
  struct Case {
    const char* locale;
    TMsgLanguage language;
  };
  const Case cases[] = {
      {"zh_CN.UTF-8", msChinese}, {"zh_CN.GBK", msChinese},   {"zh", msChinese},
      {"de_DE.UTF-8", msGerman},  {"DE_at", msGerman},        {"el_GR", msGreek},
      {"es_MX", msSpanish},       {"fr_FR@euro", msFrench},   {"it_IT", msItalian},
      {"nl_BE", msDutch},         {"pt_BR.UTF-8", msPortuguese}, {"ru_RU.KOI8-R", msRussian},
      {"sv_SE", msSwedish},       {"pl_PL", msPolish},        {"en_US.UTF-8", msEnglish},
      {"ja_JP.UTF-8", msEnglish}, {"C", msEnglish},           {"POSIX", msEnglish},
      {"", msEnglish},            {"german", msEnglish},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    EXPECT_EQ(IEMsgLanguageOfLocale(c.locale), c.language);
  }
}

TEST(MessageLocale, SystemLanguageFollowsTheLocaleVariablesInOrder) {
  struct Case {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    TMsgLanguage language;
    const char* ok;
  };
  const Case cases[] = {
      {"", "", "zh_CN.UTF-8", msChinese, "确定"},
      {"", "fr_FR.UTF-8", "zh_CN.UTF-8", msFrench, "OK"},
      {"ru_RU.UTF-8", "fr_FR.UTF-8", "zh_CN.UTF-8", msRussian, "ОК"},
      {"", "", "", msEnglish, "OK"},
      {"C", "", "zh_CN.UTF-8", msEnglish, "OK"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.lcAll) + "|" + c.lcMessages + "|" + c.lang);
    LocaleVariables locale(c.lcAll, c.lcMessages, c.lang);
    EXPECT_EQ(IESystemMsgLanguage(), c.language);
    EXPECT_EQ(iemsg(IEMSG_OK, msSystem), c.ok);
  }
}
