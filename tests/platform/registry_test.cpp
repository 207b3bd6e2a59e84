#include "platform/registry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "desktop_home.h"
#include "platform/shellapi.h"
#include "platform/sysutils.h"

namespace {

// Keeps the desktop untouched while file types are registered.
class QuietDesktop {
 public:
  QuietDesktop() {
    SetDesktopHandler([](const TDesktopRequest&) { return true; });
  }
  ~QuietDesktop() { SetDesktopHandler({}); }
};

}  // namespace

// The template file type as start-up registers it, read back by another
// object, from the file in the user's configuration folder.
TEST(Registry, ValuesRoundTripThroughTheStoreFile) {
  DesktopHome home;
  QuietDesktop desktop;
  const std::string appDir = "/opt/Card wright/";
  const std::pair<std::string, std::string> rows[] = {
      {"\\.pmt", "CardwrightFile"},
      {"\\CardwrightFile", "Cardwright Data File"},
      {"\\CardwrightFile\\DefaultIcon", appDir + "Cardwright.EXE,0"},
      {"\\CardwrightFile\\Shell", "Open"},
      {"\\CardwrightFile\\Shell\\Open", "Open with Cardwright"},
      {"\\CardwrightFile\\Shell\\Open\\Command", appDir + "Cardwright.EXE %1"},
  };
  {
    TRegistry registry;
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    for (const auto& [key, value] : rows) {
      ASSERT_TRUE(registry.OpenKey(key, true)) << key;
      registry.WriteString("", value);
    }
  }
  EXPECT_EQ(RegistryFileName(), home.Config("Cardwright/registry"));
  EXPECT_NE(ReadFile(RegistryFileName()).find("[HKEY_CLASSES_ROOT\\.pmt]\n@=\"CardwrightFile\"\n"), std::string::npos);

  TRegistry reader;
  reader.SetRootKey(HKEY_CLASSES_ROOT);
  for (const auto& [key, value] : rows) {
    ASSERT_TRUE(reader.OpenKeyReadOnly(key)) << key;
    EXPECT_EQ(reader.ReadString(""), value) << key;
  }
  // Letter case of keys and value names does not matter.
  ASSERT_TRUE(reader.OpenKey("\\cardwrightfile\\SHELL\\open\\command", false));
  EXPECT_EQ(reader.ReadString(""), appDir + "Cardwright.EXE %1");

  // Other roots hold their own keys.
  reader.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reader.KeyExists("\\.pmt"));
}

TEST(Registry, TextsKeepQuotesBackslashesLineBreaksAndChinese) {
  DesktopHome home;
  const std::string texts[] = {"", "a \"quoted\" word", "C:\\path\\", "two\nlines", "打开模板", "@=\"not a value\""};
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey("\\Software\\Cardwright\\Texts", true));
  for (size_t i = 0; i < std::size(texts); ++i) registry.WriteString("Name " + std::to_string(i), texts[i]);
  registry.WriteString("\"odd\" name", "x");
  registry.CloseKey();

  TRegistry reader;
  ASSERT_TRUE(reader.OpenKeyReadOnly("\\Software\\Cardwright\\Texts"));
  for (size_t i = 0; i < std::size(texts); ++i) {
    EXPECT_TRUE(reader.ValueExists("name " + std::to_string(i)));
    EXPECT_EQ(reader.ReadString("Name " + std::to_string(i)), texts[i]) << i;
  }
  EXPECT_EQ(reader.ReadString("\"odd\" name"), "x");
  EXPECT_FALSE(reader.ValueExists("missing"));
  EXPECT_EQ(reader.ReadString("missing"), "");
}

TEST(Registry, KeysOpenRelativeOrFromTheRootAndDeleteWithWhatIsBelow) {
  DesktopHome home;
  TRegistry registry;
  EXPECT_EQ(registry.GetRootKey(), HKEY_CURRENT_USER);
  EXPECT_FALSE(registry.OpenKey("\\Software\\Cardwright", false)) << "missing and not to be made";
  ASSERT_TRUE(registry.OpenKey("\\Software\\Cardwright\\", true));
  EXPECT_EQ(registry.CurrentPath(), "Software\\Cardwright");
  ASSERT_TRUE(registry.OpenKey("Recent\\\\List", true)) << "relative to the open key";
  EXPECT_EQ(registry.CurrentPath(), "Software\\Cardwright\\Recent\\List");
  registry.WriteString("File0", "a.pmt");
  ASSERT_TRUE(registry.CreateKey("\\Software\\Cardwright\\Layout"));

  EXPECT_TRUE(registry.KeyExists("\\Software"));
  EXPECT_TRUE(registry.KeyExists("\\software\\CARDWRIGHT\\recent"));
  TStringList names;
  ASSERT_TRUE(registry.OpenKey("\\Software\\Cardwright", false));
  registry.GetKeyNames(&names);
  ASSERT_EQ(names.Count(), 2);
  EXPECT_EQ(names.Get(0), "Recent");
  EXPECT_EQ(names.Get(1), "Layout");

  EXPECT_TRUE(registry.DeleteKey("Recent"));
  EXPECT_FALSE(registry.KeyExists("\\Software\\Cardwright\\Recent\\List"));
  EXPECT_TRUE(registry.KeyExists("\\Software\\Cardwright\\Layout"));
  EXPECT_FALSE(registry.DeleteKey("Recent")) << "already gone";
  EXPECT_FALSE(registry.DeleteKey("\\")) << "never a whole root";
  EXPECT_FALSE(registry.OpenKey("\\bad\nkey", true));
}

TEST(Registry, WritesThatCannotBeKeptRaise) {
  DesktopHome home;
  TRegistry registry;
  EXPECT_THROW(registry.WriteString("x", "y"), ERegistryException) << "no key open";
  ASSERT_TRUE(registry.OpenKey("\\Software\\Cardwright", true));
  registry.WriteString("Kept", "1");
  ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\Cardwright"));
  EXPECT_THROW(registry.WriteString("x", "y"), ERegistryException);
  EXPECT_FALSE(registry.DeleteValue("Kept"));

  // A folder where the new store file would go: the write fails and the
  // old file stays whole.
  ASSERT_TRUE(ForceDirectories(RegistryFileName() + ".new"));
  ASSERT_TRUE(registry.OpenKey("\\Software\\Cardwright", false));
  try {
    registry.WriteString("Lost", "2");
    ADD_FAILURE() << "the write should fail";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message, "Failed to set data for 'Lost'");
  }
  EXPECT_FALSE(registry.OpenKey("\\Software\\New", true));
  ASSERT_TRUE(registry.OpenKey("\\Software\\Cardwright", false));
  EXPECT_EQ(registry.ReadString("Kept"), "1");
  EXPECT_FALSE(registry.ValueExists("Lost"));
}

TEST(Registry, DamagedLinesOfTheStoreAreSkipped) {
  DesktopHome home;
  ASSERT_TRUE(ForceDirectories(ExtractFileDir(RegistryFileName())));
  std::ofstream(RegistryFileName()) << "garbage before any key\n"
                                       "[HKEY_CURRENT_USER\\Software\\A]\n"
                                       "\"Good\"=\"yes\"\n"
                                       "\"Unclosed\"=\"no\n"
                                       "\"Trailing\"=\"no\" junk\n"
                                       "novalue\n"
                                       "@=\"default\"\r\n";
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\A"));
  EXPECT_EQ(registry.ReadString("Good"), "yes");
  EXPECT_EQ(registry.ReadString(""), "default");
  EXPECT_FALSE(registry.ValueExists("Unclosed"));
  EXPECT_FALSE(registry.ValueExists("Trailing"));
}
