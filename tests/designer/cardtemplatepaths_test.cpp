// Paths stored by Windows-made templates: drives, backslashes, letter case
// and GBK names whose second byte is a backslash, then the fallbacks to the
// template's own folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "designer/cardtemplate.h"
#include "designer/templatepaths.h"
#include "support/testenv.h"
#include "templatebytes.h"

namespace fs = std::filesystem;
namespace tb = templatebytes;

namespace {

void Touch(const fs::path& path) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "x";
}

TEST(TemplatePaths, WindowsPathsMapToLocalOnesIgnoringCase) {
  cwtest::TempDir dir;
  const fs::path root = dir.path();
  Touch(root / "Mode" / "乗" / "Logo.bmp");
  Touch(root / "Cards 2" / "seal.BMP");
  const struct {
    const char* stored;
    std::string expected;
  } cases[] = {
      {"D:\\My Cards\\乗\\logo.bmp", "/My Cards/乗/logo.bmp"},  // drive dropped, absolute
      {"\\pics\\a b.jpg", "/pics/a b.jpg"},
      {"mode\\乗\\LOGO.BMP", (root / "Mode" / "乗" / "Logo.bmp").string()},
      {"MODE/乗/logo.bmp", (root / "Mode" / "乗" / "Logo.bmp").string()},
      {"cards 2\\\\Seal.bmp", (root / "Cards 2" / "seal.BMP").string()},
      {".\\Cards 2\\new.bmp", (root / "Cards 2" / "new.bmp").string()},  // a missing part keeps its spelling
  };
  for (const auto& c : cases) EXPECT_EQ(MapTemplatePath(c.stored, root.string()), c.expected) << c.stored;
}

TEST(TemplatePaths, GbkIsDecodedBeforeThePathIsSplit) {
  tb::WindowsTemplate w;
  w.logo = "C:\\" + tb::kCheng + "\\logo.bmp";  // bytes 81 5C 5C: one character, then a separator
  w.seal = "C:\\" + tb::kCheng + tb::kCheng + "\\seal.bmp";
  const CardTemplate t = ParseCardTemplate(tb::Bytes(w));
  EXPECT_EQ(t.logoPath, "C:\\乗\\logo.bmp");
  EXPECT_EQ(MapTemplatePath(t.logoPath, "/"), "/乗/logo.bmp");
  EXPECT_EQ(MapTemplatePath(t.sealPath, "/"), "/乗乗/seal.bmp");
}

TEST(TemplatePaths, PicturesFallBackToTheTemplatesFolder) {
  cwtest::TempDir dir;
  const fs::path cards = dir.path() / "cards";
  const std::string tpl = (cards / "card.pmt").string();
  const std::string stored = "E:\\cards\\姓名\\back ground.jpg";
  EXPECT_EQ(FindTemplateFile(stored, tpl, dir.path().string()), "");

  Touch(cards / "card" / "Back Ground.JPG");  // the template's folder + its name
  EXPECT_EQ(FindTemplateFile(stored, tpl, dir.path().string()), (cards / "card" / "Back Ground.JPG").string());
  Touch(cards / "back ground.jpg");  // the template's own folder comes first
  EXPECT_EQ(FindTemplateFile(stored, tpl, dir.path().string()), (cards / "back ground.jpg").string());
  Touch(dir.path() / "MODE" / "back ground.jpg");  // the stored path itself comes before both
  EXPECT_EQ(FindTemplateFile("Mode\\back ground.jpg", tpl, dir.path().string()),
            (dir.path() / "MODE" / "back ground.jpg").string());
  EXPECT_EQ(FindTemplateFile("", tpl, dir.path().string()), "");
  // A folder of the stored name is not a picture.
  EXPECT_EQ(FindTemplateFile("C:\\x\\card", tpl, dir.path().string()), "");
}


void TableFiles(const fs::path& folder, const std::vector<std::string>& names) {
  for (const std::string& name : names) Touch(folder / name);
}

TEST(TemplatePaths, TheTableFolderIsTheFirstCompleteOne) {
  cwtest::TempDir dir;
  const fs::path work = dir.path() / "data";
  const fs::path cards = dir.path() / "cards";
  const std::string tpl = (cards / "card.pmt").string();
  TableFiles(work / "mode" / "Data", {"DATA.MDX", "data.dbf", "Data.DBT"});  // one spelling, any case
  EXPECT_EQ(FindTableFolder("Mode\\DATA\\", tpl, work.string()), (work / "mode" / "Data").string());
  EXPECT_EQ(FindTableFolder("MODE\\data", tpl, work.string()), (work / "mode" / "Data").string());

  // A stored folder that lacks data.DBT loses to the template's own folder.
  TableFiles(dir.path() / "base1", {"data.MDX", "data.DBF"});
  EXPECT_EQ(FindTableFolder("C:\\base1\\", tpl, work.string()), "");
  TableFiles(cards, {"data.MDX", "data.DBF", "data.DBT"});
  EXPECT_EQ(FindTableFolder("C:\\base1\\", tpl, work.string()), cards.string());
  TableFiles(cards / "card", {"data.MDX", "data.DBF", "data.DBT"});
  EXPECT_EQ(FindTableFolder("C:\\base1\\", tpl, work.string()), (cards / "card").string());
}

}  // namespace
