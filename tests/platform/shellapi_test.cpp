#include "platform/shellapi.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "desktop_home.h"
#include "platform/registry.h"
#include "platform/sysutils.h"

namespace {

// Stands in for the desktop and records what it was asked.
class RecordingDesktop {
 public:
  RecordingDesktop() {
    SetDesktopHandler([this](const TDesktopRequest& request) {
      Requests.push_back(request);
      return Answer;
    });
  }
  ~RecordingDesktop() { SetDesktopHandler({}); }
  std::vector<std::string> Refreshed() const {
    std::vector<std::string> folders;
    for (const TDesktopRequest& r : Requests)
      if (r.Kind == TDesktopRequest::Refresh) folders.push_back(r.Target);
    return folders;
  }
  std::vector<TDesktopRequest> Requests;
  bool Answer = true;
};

std::filesystem::file_time_type Stamp(const std::string& name) { return std::filesystem::last_write_time(name); }

void MakeProgram(const std::string& name) {
  std::ofstream(name) << "#!/bin/sh\n";
  ::chmod(name.c_str(), 0755);
}

// The rows start-up writes for the template file type.
void RegisterTemplateType(const std::string& appDir, const std::string& description = "Cardwright Data File") {
  const std::pair<std::string, std::string> rows[] = {
      {"\\.pmt", "CardwrightFile"},
      {"\\CardwrightFile", description},
      {"\\CardwrightFile\\DefaultIcon", appDir + "Cardwright.EXE,0"},
      {"\\CardwrightFile\\Shell", "Open"},
      {"\\CardwrightFile\\Shell\\Open", "Open with Cardwright"},
      {"\\CardwrightFile\\Shell\\Open\\Command", appDir + "Cardwright.EXE %1"},
  };
  TRegistry registry;
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  for (const auto& [key, value] : rows) {
    ASSERT_TRUE(registry.OpenKey(key, true));
    registry.WriteString("", value);
  }
}

}  // namespace

TEST(ShellExecute, OpensDocumentsFoldersAndPagesThroughTheDesktop) {
  cwtest::TempDir dir;
  std::ofstream(dir.file("Cardwright.chm")) << "help";
  ASSERT_TRUE(CreateDir(dir.file("图片")));
  const std::string fileUrl = "file://" + dir.file("Cardwright.chm");
  struct Case {
    std::string verb, file, directory;
    intptr_t result;
    std::string opened;  // "" when the desktop is not asked
  } cases[] = {
      {"", "Cardwright.chm", dir.path().string(), 42, fileUrl},
      {"open", "cardwright.CHM", dir.path().string(), 42, fileUrl},
      {"open", dir.file("Cardwright.chm"), "", 42, fileUrl},
      {"explore", dir.file("图片"), "", 42, "file://" + dir.file("%E5%9B%BE%E7%89%87")},
      {"open", "https://example.org/cardwright", "", 42, "https://example.org/cardwright"},
      {"open", "missing.chm", dir.path().string(), SE_ERR_FNF, ""},
      {"open", "nowhere/missing.chm", dir.path().string(), SE_ERR_PNF, ""},
      {"print", "Cardwright.chm", dir.path().string(), SE_ERR_NOASSOC, ""},
      {"open", "", dir.path().string(), SE_ERR_FNF, ""},
  };
  for (const Case& c : cases) {
    RecordingDesktop desktop;
    EXPECT_EQ(ShellExecute(nullptr, c.verb, c.file, "", c.directory, SW_SHOWNORMAL), c.result) << c.file;
    if (c.opened.empty()) {
      EXPECT_TRUE(desktop.Requests.empty()) << c.file;
    } else {
      ASSERT_EQ(desktop.Requests.size(), 1u) << c.file;
      EXPECT_EQ(desktop.Requests[0].Kind, TDesktopRequest::Open);
      EXPECT_EQ(desktop.Requests[0].Target, c.opened);
    }
  }
  RecordingDesktop failing;
  failing.Answer = false;
  EXPECT_EQ(ShellExecute(nullptr, "open", dir.file("Cardwright.chm"), "", "", SW_SHOWNORMAL), SE_ERR_NOASSOC);
}

TEST(DesktopLauncher, WrittenOnceAndRewrittenOnlyWhenItChanges) {
  DesktopHome home;
  RecordingDesktop desktop;
  ASSERT_TRUE(CreateDir(home.File("Card wright")));
  const std::string program = home.File("Card wright/cardwright");
  MakeProgram(program);
  std::ofstream(home.File("Card wright/cardwright.png")) << "png";

  ASSERT_TRUE(CreateDesktopLauncher(program, "Cardwright", "Cardwright"));
  const std::string launcher = home.Data("applications/cardwright.desktop");
  EXPECT_EQ(ReadFile(launcher),
            "[Desktop Entry]\nType=Application\nName=Cardwright\nComment=Cardwright\n"
            "Exec=\"" + program + "\" %f\nIcon=" + home.File("Card wright/cardwright.png") +
                "\nTerminal=false\n");
  EXPECT_EQ(desktop.Refreshed(), std::vector<std::string>{home.Data("applications")});

  // Every start writes the launcher again; unchanged, the file is left alone.
  auto written = Stamp(launcher);
  std::filesystem::last_write_time(launcher, written - std::chrono::hours(1));
  written = Stamp(launcher);
  ASSERT_TRUE(CreateDesktopLauncher(program, "Cardwright", "Cardwright"));
  EXPECT_EQ(Stamp(launcher), written);
  EXPECT_EQ(desktop.Refreshed().size(), 1u);

  ASSERT_TRUE(CreateDesktopLauncher(program, "Cardwright", "制卡"));
  EXPECT_NE(ReadFile(launcher).find("Comment=制卡\n"), std::string::npos);
  EXPECT_EQ(desktop.Refreshed().size(), 2u);

  // A working folder becomes the launcher's Path, written in full.
  const std::string before = GetCurrentDir();
  SetCurrentDir(home.File("Card wright"));
  const bool withFolder = CreateDesktopLauncher(program, "Cardwright", "制卡", "data");
  SetCurrentDir(before);
  ASSERT_TRUE(withFolder);
  EXPECT_NE(ReadFile(launcher).find("\nPath=" + home.File("Card wright") + "/data\n"), std::string::npos)
      << ReadFile(launcher);
  EXPECT_EQ(desktop.Refreshed().size(), 3u);
}

// The file type start-up registers under HKEY_CLASSES_ROOT becomes a MIME
// type and a hidden launcher; the registered "Cardwright.EXE" is the
// program beside it, even with a blank in its unquoted folder.
TEST(DesktopFileTypes, RegisteredTypeBecomesMimeTypeAndLauncherOnce) {
  DesktopHome home;
  RecordingDesktop desktop;
  ASSERT_TRUE(CreateDir(home.File("Card wright")));
  const std::string appDir = home.File("Card wright") + "/";
  MakeProgram(appDir + "Cardwright");

  RegisterTemplateType(appDir);
  const std::string package = home.Data("mime/packages/cardwright-filetype-cardwrightfile.xml");
  const std::string launcher = home.Data("applications/cardwright-filetype-cardwrightfile.desktop");
  EXPECT_EQ(ReadFile(package),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"application/x-cardwrightfile\">\n"
            "    <comment>Cardwright Data File</comment>\n"
            "    <glob pattern=\"*.pmt\"/>\n"
            "  </mime-type>\n"
            "</mime-info>\n");
  EXPECT_EQ(ReadFile(launcher),
            "[Desktop Entry]\nType=Application\nName=Open with Cardwright\nComment=Cardwright Data File\n"
            "Exec=\"" + appDir + "Cardwright\" %f\nTerminal=false\n"
            "MimeType=application/x-cardwrightfile;\nNoDisplay=true\n");
  std::vector<std::string> refreshed = desktop.Refreshed();
  EXPECT_EQ(std::count(refreshed.begin(), refreshed.end(), home.Data("mime")), 1);
  EXPECT_EQ(std::count(refreshed.begin(), refreshed.end(), home.Data("applications")), 1);

  // The next start registers the same rows: nothing is written again.
  std::filesystem::last_write_time(package, Stamp(package) - std::chrono::hours(1));
  std::filesystem::last_write_time(launcher, Stamp(launcher) - std::chrono::hours(1));
  auto packageStamp = Stamp(package), launcherStamp = Stamp(launcher);
  desktop.Requests.clear();
  RegisterTemplateType(appDir);
  EXPECT_EQ(Stamp(package), packageStamp);
  EXPECT_EQ(Stamp(launcher), launcherStamp);
  EXPECT_TRUE(desktop.Requests.empty());

  // A changed description is written; a removed type is taken away.
  RegisterTemplateType(appDir, "制卡模板");
  EXPECT_NE(ReadFile(package).find("<comment>制卡模板</comment>"), std::string::npos);
  TRegistry registry;
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  ASSERT_TRUE(registry.DeleteKey("\\.pmt"));
  EXPECT_FALSE(FileExists(package));
  EXPECT_FALSE(FileExists(launcher));
}

TEST(DesktopFileTypes, KeysWithoutAnOpenCommandAreNotTypes) {
  DesktopHome home;
  RecordingDesktop desktop;
  TRegistry registry;
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  ASSERT_TRUE(registry.OpenKey("\\.mem", true));
  registry.WriteString("", "MemFile");
  ASSERT_TRUE(registry.OpenKey("\\MemFile", true));
  registry.WriteString("", "Memo <columns> & rows");
  registry.CloseKey();
  EXPECT_FALSE(DirectoryExists(home.Data("mime")));
  EXPECT_TRUE(desktop.Requests.empty());

  // With a quoted command the type appears, its texts escaped.
  ASSERT_TRUE(registry.OpenKey("\\MemFile\\Shell\\Open\\Command", true));
  registry.WriteString("", "\"/opt/a b/$prog.exe\" \"%1\" --x");
  registry.CloseKey();
  EXPECT_NE(ReadFile(home.Data("mime/packages/cardwright-filetype-memfile.xml")).find("<comment>Memo &lt;columns&gt; &amp; rows</comment>"),
            std::string::npos);
  EXPECT_NE(ReadFile(home.Data("applications/cardwright-filetype-memfile.desktop")).find("Exec=\"/opt/a b/\\\\$prog.exe\" %f --x\n"),
            std::string::npos);
}
