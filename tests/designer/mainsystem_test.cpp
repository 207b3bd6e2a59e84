// What the start asks of the system: the template file type, the desktop
// shortcut and the printer check.
#include <gtest/gtest.h>

#include <thread>

#include "cardprogram.h"
#include "platform/registry.h"

using cardtest::CardProgram;

namespace {

std::string DefaultValue(HKEY root, const std::string& key) {
  TRegistry registry;
  registry.SetRootKey(root);
  if (!registry.OpenKeyReadOnly(key)) return "<missing>";
  return registry.ReadString("");
}

TEST(TemplateFileType, IsRegisteredAtStart) {
  CardProgram program;
  program.MakeMainForm();
  const std::string exe = Application->ExeName();
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, "\\.pmt"), "CardwrightFile");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, "\\CardwrightFile"), "Cardwright Data File");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, "\\CardwrightFile\\DefaultIcon"), exe + ",0");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, "\\CardwrightFile\\Shell"), "Open");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, "\\CardwrightFile\\Shell\\Open"), "Open with Cardwright");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, "\\CardwrightFile\\Shell\\Open\\Command"), "\"" + exe + "\" %1");
  // The desktop knows the type: a MIME package and its launcher.
  EXPECT_TRUE(FileExists(program.Home().Data("mime/packages/cardwright-filetype-cardwrightfile.xml")));
  // Nothing is registered under the machine's classes by the generic call.
  EXPECT_EQ(DefaultValue(HKEY_LOCAL_MACHINE, "\\Software\\CLASSES\\."), "<missing>");
}

TEST(TemplateFileType, AndShortcutAreWrittenOnlyWhenMissingOrChanged) {
  CardProgram program;
  program.Forget(program.MakeMainForm());
  MainForm->Free();
  const std::string store = RegistryFileName();
  const std::string launcher = program.Home().Data("applications/cardwright.desktop");
  const std::string mime = program.Home().Data("mime/packages/cardwright-filetype-cardwrightfile.xml");
  ASSERT_TRUE(FileExists(launcher));
  ASSERT_TRUE(FileExists(mime));
  namespace fs = std::filesystem;
  // Old stamps show whether a later start touched the files.
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (const std::string& name : {store, launcher, mime}) fs::last_write_time(name, old);

  program.Forget(program.MakeMainForm());
  MainForm->Free();
  for (const std::string& name : {store, launcher, mime}) EXPECT_EQ(fs::last_write_time(name), old) << name;

  // A changed value is put right, and only then the store is written.
  {
    TRegistry registry;
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(registry.OpenKey("\\CardwrightFile\\Shell\\Open", false));
    registry.WriteString("", "Something else");
  }
  fs::remove(launcher);
  fs::last_write_time(store, old);
  program.MakeMainForm();
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, "\\CardwrightFile\\Shell\\Open"), "Open with Cardwright");
  EXPECT_NE(fs::last_write_time(store), old);
  EXPECT_TRUE(FileExists(launcher));
}

TEST(DesktopShortcut, LaunchesTheProgramUnderItsName) {
  CardProgram program;
  program.MakeMainForm();
  const std::string entry = ReadFile(program.Home().Data("applications/cardwright.desktop"));
  EXPECT_NE(entry.find("Name=Cardwright\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("Comment=Cardwright\n"), std::string::npos) << entry;
  // Started from the launcher, the program runs in its data folder, by the
  // program file's full path.
  EXPECT_NE(entry.find("\nExec=" + Application->ExeName() + " %f\n"), std::string::npos) << entry;
  EXPECT_EQ(Application->ExeName().front(), '/');
  EXPECT_NE(entry.find("\nPath=" + program.DataFolder().string() + "\n"), std::string::npos) << entry;
}

TEST(TemplateFileType, AStoreThatCannotBeWrittenIsReported) {
  CardProgram program;
  // A folder in the store file's place cannot be written.
  std::filesystem::create_directories(RegistryFileName());
  program.MakeMainForm();
  bool reported = false;
  for (const TDialogRecord& record : program.dialogs.Records)
    if (record.Text == "注册表操作失败！") {
      reported = true;
      EXPECT_EQ(record.Caption, "Message");
      EXPECT_EQ(record.Flags, MB_OK | MB_ICONEXCLAMATION);
    }
  EXPECT_TRUE(reported);
  // The start went on.
  EXPECT_NE(MainForm->DBTexts[12], nullptr);
}

TEST(PrinterCheck, WithoutAnInstalledPrinterSaysNothing) {
  CardProgram program;
  const size_t before = program.dialogs.Records.size();
  EXPECT_TRUE(CheckDefaultPrinter());
  EXPECT_EQ(program.dialogs.Records.size(), before);
}

}  // namespace
