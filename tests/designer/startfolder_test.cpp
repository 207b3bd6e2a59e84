// Where the program finds its data folder, wherever it was started from,
// and what the start says when there is none.
#include <gtest/gtest.h>

#include <fstream>

#include "cardprogram.h"
#include "designer/programfolder.h"
#include "support/testenv.h"

using cardtest::CardProgram;

namespace {

namespace fs = std::filesystem;

// A tree with a program file and the places a data folder can be:
//   run/data        a data folder the program may be started in
//   run/other       a folder that is not one
//   app/cardwright  the program file, app/data beside it
//   src/data        the source tree's data folder
//   empty/data      a folder named data holding nothing
class Places {
 public:
  Places() {
    for (const char* folder : {"run/data/Mode", "run/other", "app", "src/data", "empty/data"})
      fs::create_directories(root_.path() / folder);
    std::ofstream(root_.file("app/cardwright")) << "program";
    std::ofstream(root_.file("src/data/PMstart.ini")) << "[Section1]\n";
  }
  std::string operator()(const std::string& name) const { return root_.file(name); }
  void MakeDataBesideProgram() const { fs::create_directories(root_.path() / "app/data/Mode"); }

 private:
  cwtest::TempDir root_;
};

struct TFolderCase {
  const char* Name;
  const char* Current;     // relative to the tree
  bool DataBesideProgram;  // app/data exists
  bool SourceData;         // the source tree's folder is known
  const char* Found;       // the program folder, relative; "" when none
};

TEST(DataFolder, IsFoundInItsOrder) {
  const TFolderCase cases[] = {
      {"started in a data folder", "run/data", true, true, "run/"},
      {"started in a data folder, trailing separator", "run/data/", true, true, "run/"},
      {"started elsewhere: beside the program", "run/other", true, true, "app/"},
      {"a folder named data holding nothing is passed over", "empty/data", true, true, "app/"},
      {"started elsewhere, nothing beside the program: the source tree", "run/other", false, true, "src/"},
      {"no current folder (it was removed)", "", false, true, "src/"},
      {"nowhere", "run/other", false, false, ""},
  };
  for (const TFolderCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Places places;
    if (c.DataBesideProgram) places.MakeDataBesideProgram();
    const std::string current = *c.Current ? places(c.Current) : std::string();
    const std::string source = c.SourceData ? places("src/data") : "";
    if (*c.Found) {
      EXPECT_EQ(FindProgramFolder(current, places("app/cardwright"), source), places(c.Found));
      continue;
    }
    try {
      FindProgramFolder(current, places("app/cardwright"), source);
      ADD_FAILURE() << "a folder was found";
    } catch (const EDataFolderMissing& missing) {
      // The message names every folder looked at, the current one first.
      const std::string& text = missing.Message;
      EXPECT_EQ(text.rfind("找不到数据文件夹data", 0), 0u) << text;
      const size_t here = text.find(places("run/other"));
      const size_t beside = text.find(places("app/data"));
      EXPECT_NE(here, std::string::npos) << text;
      EXPECT_NE(beside, std::string::npos) << text;
      EXPECT_LT(here, beside) << text;
    }
  }
}

TEST(DataFolder, TheBuildKnowsTheSourceTreesStockData) {
  ASSERT_FALSE(SourceDataFolder.empty());
  EXPECT_TRUE(IsDataFolder(SourceDataFolder));
  EXPECT_TRUE(FileExists(IncludeTrailingPathDelimiter(SourceDataFolder) + "Mode/未命名.pmt"));
}

// The source tree's folder is set aside for one test.
class NoSourceData {
 public:
  NoSourceData() : kept_(SourceDataFolder) { SourceDataFolder.clear(); }
  ~NoSourceData() { SourceDataFolder = kept_; }

 private:
  std::string kept_;
};

TEST(DataFolder, StartedOutsideItTheProgramStillFindsItsData) {
  CardProgram program;
  const std::string stock = ExcludeTrailingPathDelimiter(SourceDataFolder);
  SetCurrentDir(program.Home().File(""));  // not a data folder
  TMainForm* f = program.MakeMainForm();
  EXPECT_EQ(f->AppDir, ExtractFilePath(stock));
  EXPECT_EQ(f->StartDir, stock);
  EXPECT_EQ(IncludeTrailingPathDelimiter(GetCurrentDir()), stock + "/");
  // The stock folder holds every file the start looks for.
  EXPECT_EQ(program.Messages(), std::vector<std::string>{});
  EXPECT_NE(f->QRTitleLabels[12], nullptr);
}

TEST(DataFolder, NoneEndsTheStartNamingTheFoldersTried) {
  CardProgram program;
  NoSourceData none;
  SetCurrentDir(program.Home().File(""));
  TMainForm* f = program.MakeMainForm();
  ASSERT_EQ(program.Messages().size(), 1u);
  const std::string text = program.Messages()[0];
  EXPECT_EQ(text.rfind("程序启动时产生异常：找不到数据文件夹data", 0), 0u) << text;
  EXPECT_NE(text.find(ExtractFilePath(Application->ExeName()) + "data"), std::string::npos) << text;
  // The printer is not blamed.
  EXPECT_EQ(text.find("打印机"), std::string::npos) << text;
  // The program folder stays the program file's; the start ended before the
  // text controls.
  EXPECT_EQ(f->AppDir, ExtractFilePath(Application->ExeName()));
  EXPECT_EQ(f->VersionText, "V3.8");
  EXPECT_EQ(f->DBTexts[0], nullptr);
}

}  // namespace
