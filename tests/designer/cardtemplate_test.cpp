// The card template file: Windows-made templates open with their whole
// design, plain and scrambled forms round-trip byte for byte, opening
// never writes, saving replaces the file whole, and damaged templates are
// refused before anything is handed back.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "designer/cardtemplate.h"
#include "designer/templatescramble.h"
#include "support/testenv.h"
#include "templatebytes.h"

// Failures show the design as the file's text.
void PrintTo(const CardTemplate& design, std::ostream* os) { *os << "\n" << FormatCardTemplate(design); }

namespace fs = std::filesystem;
namespace tb = templatebytes;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// The design that tb::Bytes writes, stated from the same formulas.
CardTemplate ExpectedDesign(const tb::WindowsTemplate& w) {
  CardTemplate t;
  for (int k = 0; k < 80; ++k) t.pageData[k] = tb::PageValue(k);
  for (int i = 0; i < 13; ++i) {
    for (bool title : {false, true}) {
      TemplateText& text = title ? t.titles[i] : t.dataTexts[i];
      text.height = title ? 18 + i : 20 + i;
      text.width = title ? 60 + i : 100 + i;
      text.left = 10 * i + (title ? 3 : 0);
      text.top = 5 * i + (title ? 2 : 0);
      text.font.charset = 1;
      text.font.color = title ? 0x800000 + i : i;
      text.font.height = tb::FontHeight(title, w.dpi);
      text.font.size = tb::FontSize(title);
      text.font.name = title ? "黑体" : "宋体";
      text.font.style = FontStyleFromCode(tb::FontStyleCodeOf(title, i));
      text.font.shown = i % 2 == 0;
    }
    t.titles[i].caption = i == 0 ? "姓名" : "T" + std::to_string(i);
    t.dataTexts[i].caption = i == 1 ? "单位" : "F" + std::to_string(i);
  }
  return t;
}

TEST(TemplateScramble, MatchesPublishedVectorsAndTheFixtureScrambler) {
  // Two fixed vectors: a section header, and a 4097-byte file whose last
  // byte starts a new block with the state at 0 and so is stored as it is.
  std::string header = "[Section1]\r\n";
  EXPECT_EQ(Hex(ScrambleTemplateBytes(header)), "5b737d4912ea5443192b3de0");
  std::string counting;
  for (int i = 0; i < 4096; ++i) counting += static_cast<char>(i & 255);
  counting += 'Z';
  const std::string scrambled = ScrambleTemplateBytes(counting);
  EXPECT_EQ(Hex(scrambled.substr(4090)), "db5bdca86fbb5a");
  EXPECT_EQ(scrambled, tb::Scramble(counting));
  EXPECT_EQ(Hex(tb::Scramble(header)), "5b737d4912ea5443192b3de0");
}

TEST(TemplateScramble, UndoesItselfForAnyLengthAndKeepsEachBlocksFirstByte) {
  std::mt19937 random(7);
  for (size_t length : {size_t(0), size_t(1), size_t(2), size_t(255), size_t(4095), size_t(4096), size_t(4097),
                        size_t(8192), size_t(10000)}) {
    std::string plain(length, '\0');
    for (char& c : plain) c = static_cast<char>(random());
    const std::string scrambled = ScrambleTemplateBytes(plain);
    ASSERT_EQ(scrambled.size(), length);
    EXPECT_EQ(UnscrambleTemplateBytes(scrambled), plain) << length;
    for (size_t at = 0; at < length; at += kTemplateBlockSize) EXPECT_EQ(scrambled[at], plain[at]) << at;
    if (length > 16) {
      EXPECT_NE(scrambled, plain);
    }
  }
  // The buffer routines start from state 0 on every call.
  unsigned char a[3] = {'a', 'b', 'c'}, b[3] = {'a', 'b', 'c'};
  ScrambleBuffer(a, 3);
  ScrambleBuffer(b, 1);
  ScrambleBuffer(b + 1, 2);
  EXPECT_EQ(a[0], b[0]);
  // The state after 'a' is (0x61 * 0xB500 + 0xC900) mod 65536 = 0x5E00.
  EXPECT_EQ(a[1], 'b' ^ 0x5E);
  UnscrambleBuffer(a, 3);
  EXPECT_EQ(std::string(a, a + 3), "abc");
}

TEST(CardTemplateFile, WindowsMadeTemplatesOpenWithTheirWholeDesign) {
  struct Case {
    const char* name;
    std::string gap;
    int dpi;
    bool stock;  // plain under a folder named Mode, else scrambled
    std::string lineEnd = "\r\n";
  };
  const Case cases[] = {
      {"blank lines, 96 dpi, scrambled", "\r\n", 96, false},
      {"no blank lines, 120 dpi, scrambled", "", 120, false},
      {"two blank lines, 144 dpi, plain", "\r\n\r\n", 144, true},
      {"no blank lines, 96 dpi, plain", "", 96, true},
      {"LF line ends, blank line", "\n", 96, true, "\n"},
      {"CR line ends, no blank line", "", 72, false, "\r"},
  };
  cwtest::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tb::WindowsTemplate w;
    w.sectionGap = c.gap;
    w.dpi = c.dpi;
    w.lineEnd = c.lineEnd;
    const std::string plain = tb::Bytes(w);
    const std::string path = dir.file(c.stock ? "Mode/stock.pmt" : "cards/card.pmt");
    const std::string onDisk = c.stock ? plain : tb::Scramble(plain);
    WriteFile(path, onDisk);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    const auto stamp = fs::last_write_time(path);

    CardTemplate expected = ExpectedDesign(w);
    expected.logoPath = "C:\\Program Files\\Card Maker\\乗\\Logo.BMP";
    expected.sealPath = "D:\\单位 乗\\seal.bmp";
    expected.layoutPath = "E:\\cards\\姓名\\back ground.jpg";
    expected.tableFolder = "Mode\\DATA\\";
    expected.tableFile = "data.DBF";
    const CardTemplate read = LoadCardTemplate(path);
    EXPECT_EQ(read, expected);
    EXPECT_EQ(read.dataTexts[0].font.style, unsigned(tfsBold | tfsUnderline));
    EXPECT_EQ(read.titles[1].font.style, unsigned(tfsItalic));
    // Opening never writes: the bytes and the time stamp are untouched.
    EXPECT_EQ(ReadFile(path), onDisk);
    EXPECT_EQ(fs::last_write_time(path), stamp);
    fs::permissions(path, fs::perms::owner_all);
  }
}

TEST(CardTemplateFile, SavedFormsAreByteExactAndReadBack) {
  cwtest::TempDir dir;
  tb::WindowsTemplate w;
  w.sectionGap = "";
  w.logo = "C:\\logo.bmp";
  w.seal = "";
  w.layout = "back.jpg";
  CardTemplate design = LoadCardTemplate((WriteFile(dir.file("MyMode/a.pmt"), tb::Bytes(w)), dir.file("MyMode/a.pmt")));

  // The writer's bytes are the Windows program's, with no blank lines.
  EXPECT_EQ(FormatCardTemplate(design), tb::Bytes(w));
  for (const char* name : {"Mode/plain.pmt", "MODE\\x/plain2.pmt", "out/scrambled.pmt"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.file(name);
    // Whatever stood in the old file is replaced, never merged.
    WriteFile(path, "[Section1]\r\nExtra=1\r\n");
    SaveCardTemplate(path, design);
    const bool stock = IsStockTemplatePath(path);
    EXPECT_EQ(ReadFile(path), stock ? tb::Bytes(w) : tb::Scramble(tb::Bytes(w)));
    EXPECT_EQ(LoadCardTemplate(path), design);
    // Saving again over the file gives the same bytes; nothing is merged.
    SaveCardTemplate(path, design);
    EXPECT_EQ(ReadFile(path), stock ? tb::Bytes(w) : tb::Scramble(tb::Bytes(w)));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::owner_all, fs::perms::owner_read | fs::perms::owner_write);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "out"), fs::directory_iterator()), 1)
      << "no temporary file is left behind";
}

TEST(CardTemplateFile, ValuesWithBlanksAndQuotesSurviveASaveAndARead) {
  const std::string values[] = {" leading", "trailing ", "  both  ", "\"quoted\"", "\"", "\"open", "close\"",
                                " \"mixed\" ", "a \"b\" c", "", "\t"};
  cwtest::TempDir dir;
  CardTemplate design;
  for (int i = 0; i < 13; ++i) design.titles[i].font.shown = design.dataTexts[i].font.shown = true;
  for (int i = 0; i < 11; ++i) {
    design.titles[i].caption = values[i];
    design.dataTexts[i].caption = values[10 - i];
  }
  design.dataTexts[0].font.name = " Courier New ";
  design.logoPath = " /pics/logo.bmp ";
  design.layoutPath = "\"back.jpg\"";
  design.tableFile = "two  blanks.DBF";
  const std::string path = dir.file("values.pmt");
  SaveCardTemplate(path, design);
  const CardTemplate read = LoadCardTemplate(path);
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(read.titles[i].caption, values[i]) << i;
    EXPECT_EQ(read.dataTexts[i].caption, values[10 - i]) << i;
  }
  EXPECT_EQ(read, design);
  // Values that need no quotes are written as they stand.
  EXPECT_NE(FormatCardTemplate(design).find("\r\nTableN=two  blanks.DBF\r\n"), std::string::npos);
}

TEST(CardTemplateFile, DamagedTemplatesAreRefusedWhole) {
  const std::string good = tb::Bytes(tb::WindowsTemplate{});
  auto replace = [&good](const std::string& line, const std::string& with) {
    std::string bytes = good;
    const size_t at = bytes.find("\r\n" + line + "\r\n");
    EXPECT_NE(at, std::string::npos) << line;
    return bytes.replace(at + 2, line.size(), with);
  };
  struct Case {
    const char* why;
    std::string bytes;
  };
  const Case cases[] = {
      {"layout picture width 0", replace("PageData0=100", "PageData0=0")},
      {"panel height negative", replace("PageData10=200", "PageData10=-4")},
      {"huge band height", replace("PageData2=120", "PageData2=99999999")},
      {"page columns 0", replace("PageData62=1", "PageData62=0")},
      {"text size not a number", replace("HeightWidth05=25", "HeightWidth05=2x5")},
      {"missing page value", replace("PageData79=1", "")},
      {"title top empty", replace("Top23=17", "Top23=")},
      {"font size 0", replace("Font133=9", "Font133=0")},
      {"font size enormous", replace("Font233=12", "Font233=5000")},
      {"empty face name", replace("Font144=" + tb::kSongTi, "Font144=")},
      {"face name too long", replace("Font144=" + tb::kSongTi, "Font144=" + std::string(40, 'A'))},
      {"colour out of range", replace("Font151=5", "Font151=-1")},
      {"truncated", good.substr(0, good.size() / 2)},
      {"empty file", ""},
      {"scrambled bytes read as plain", tb::Scramble(good)},
  };
  cwtest::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_THROW(ParseCardTemplate(c.bytes), ECardTemplateError);
    const std::string path = dir.file("Mode/bad.pmt");
    WriteFile(path, c.bytes);
    EXPECT_THROW(LoadCardTemplate(path), ECardTemplateError);
    EXPECT_EQ(ReadFile(path), c.bytes);
  }
  try {
    ParseCardTemplate(replace("PageData0=100", "PageData0=0"));
  } catch (const ECardTemplateError& e) {
    EXPECT_NE(e.Message.find("PageData0"), std::string::npos) << e.Message;
  }
  // Unknown style codes and shown values are not faults.
  const CardTemplate odd = ParseCardTemplate(replace("Font106=11", "Font106=99"));
  EXPECT_EQ(odd.dataTexts[0].font.style, 0u);
  EXPECT_FALSE(ParseCardTemplate(replace("Font217=0", "Font217=yes")).titles[1].font.shown.has_value());
  EXPECT_THROW(LoadCardTemplate(dir.file("missing.pmt")), ECardTemplateError);
  EXPECT_THROW(LoadCardTemplate(dir.path().string()), ECardTemplateError);
}

TEST(CardTemplateFile, AFailedSaveLeavesTheOldFileWhole) {
  cwtest::TempDir dir;
  const std::string path = dir.file("card.pmt");
  WriteFile(path, "old bytes");
  // A file size limit makes the write itself fail, whoever runs the test.
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(SaveCardTemplate(path, CardTemplate{}), ECardTemplateError);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(ReadFile(path), "old bytes");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  EXPECT_THROW(SaveCardTemplate(dir.file("no such folder/card.pmt"), CardTemplate{}), ECardTemplateError);
}

TEST(CardTemplateFile, StyleCodesAndStockPaths) {
  const struct {
    int code;
    unsigned style;
  } codes[] = {{1, tfsStrikeOut}, {2, tfsUnderline | tfsStrikeOut}, {3, tfsItalic | tfsStrikeOut},
               {4, tfsBold | tfsItalic | tfsStrikeOut}, {5, tfsBold | tfsStrikeOut},
               {6, tfsItalic | tfsUnderline | tfsStrikeOut}, {7, tfsBold | tfsUnderline | tfsStrikeOut},
               {8, tfsBold | tfsItalic | tfsUnderline | tfsStrikeOut}, {9, tfsUnderline},
               {10, tfsItalic | tfsUnderline}, {11, tfsBold | tfsUnderline},
               {12, tfsBold | tfsItalic | tfsUnderline}, {13, tfsItalic}, {14, tfsBold | tfsItalic},
               {15, tfsBold}, {16, 0}};
  for (const auto& c : codes) {
    EXPECT_EQ(FontStyleCode(c.style), c.code);
    EXPECT_EQ(FontStyleFromCode(c.code), c.style) << c.code;
  }
  for (int code : {0, -1, 17, 99}) EXPECT_EQ(FontStyleFromCode(code), 0u) << code;

  const struct {
    const char* path;
    bool stock;
  } paths[] = {{"Mode/a.pmt", true},          {"/w/data/MODE/a.pmt", true}, {"C:\\MyMode\\a.pmt", true},
               {"/w/mode\\x.pmt", true},      {"/w/model/a.pmt", false},    {"/w/cards/mode.pmt", false},
               {"a.pmt", false}};
  for (const auto& p : paths) EXPECT_EQ(IsStockTemplatePath(p.path), p.stock) << p.path;
}

}  // namespace
