#include "platform/inifiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/gbk.h"
#include "support/testenv.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Spit(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class IniFileTest : public ::testing::Test {
 protected:
  cwtest::TempDir dir;
  std::string name = dir.file("PMstart.ini");
};

}  // namespace

TEST_F(IniFileTest, MissingFileReadsAsEmptyAndIsNotCreatedByReads) {
  TIniFile ini(name);
  EXPECT_EQ(ini.ReadString("Section1", "PMstart0", "none"), "none");
  EXPECT_EQ(ini.ReadInteger("Section1", "PMstart0", 5), 5);
  EXPECT_TRUE(ini.ReadBool("Section1", "x", true));
  EXPECT_FALSE(ini.SectionExists("Section1"));
  TStringList sections;
  ini.ReadSections(&sections);
  EXPECT_EQ(sections.Count(), 0);
  ini.EraseSection("Section1");
  ini.DeleteKey("Section1", "PMstart0");
  EXPECT_FALSE(std::filesystem::exists(name));
}

TEST_F(IniFileTest, ValuesRoundTripIgnoringCaseOfNames) {
  {
    TIniFile ini(name);
    ini.WriteInteger("Section1", "PMstart0", 3);
    ini.WriteInteger("Section1", "PMstart1", -3);
    ini.WriteString("Section10", "LogoPath", "Mode\\logo.bmp");
    ini.WriteBool("Section2", "Flag", true);
    ini.WriteFloat("Section2", "Zoom", 1.25);
    ini.WriteString("section1", "pmstart0", "7");  // same key, other case
  }
  EXPECT_EQ(Slurp(name),
            "[Section1]\r\npmstart0=7\r\nPMstart1=-3\r\n[Section10]\r\nLogoPath=Mode\\logo.bmp\r\n"
            "[Section2]\r\nFlag=1\r\nZoom=1.25\r\n");
  TIniFile ini(name);
  EXPECT_EQ(ini.ReadInteger("SECTION1", "PMSTART0", 0), 7);
  EXPECT_EQ(ini.ReadInteger("Section1", "PMstart1", 0), -3);
  EXPECT_EQ(ini.ReadString("section10", "logopath", ""), "Mode\\logo.bmp");
  EXPECT_TRUE(ini.ReadBool("Section2", "Flag", false));
  EXPECT_DOUBLE_EQ(ini.ReadFloat("Section2", "Zoom", 0), 1.25);
  EXPECT_EQ(ini.FileName(), name);
}

TEST_F(IniFileTest, ReadsTrimBlanksAndOneQuotePair) {
  Spit(name,
       "[S]\r\n"
       "plain =  value with  inner  blanks \t\r\n"
       "quoted=\"  kept  \"\r\n"
       "twice=\"\"x\"\"\r\n"
       "half=\"open\r\n"
       "empty=\r\n"
       "blank=   \r\n"
       "  spaced key  = v\r\n"
       "hex=0x1F\r\n"
       "dollar=$10\r\n"
       "neg= -12 \r\n"
       "junk=12abc\r\n"
       "float=2.5\r\n");
  TIniFile ini(name);
  struct Case {
    const char* key;
    const char* value;
  } strings[] = {{"plain", "value with  inner  blanks"}, {"quoted", "  kept  "}, {"twice", "\"x\""},
                 {"half", "\"open"}, {"empty", ""}, {"blank", ""}, {"spaced key", "v"}};
  for (const Case& c : strings) EXPECT_EQ(ini.ReadString("S", c.key, "default"), c.value) << c.key;

  struct IntCase {
    const char* key;
    int value;
  } ints[] = {{"hex", 31}, {"dollar", 16}, {"neg", -12}, {"junk", 99}, {"empty", 99}, {"missing", 99}, {"float", 99}};
  for (const IntCase& c : ints) EXPECT_EQ(ini.ReadInteger("S", c.key, 99), c.value) << c.key;
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "float", 0), 2.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "junk", -1), -1);
  EXPECT_FALSE(ini.ReadBool("S", "junk", false));
}

TEST_F(IniFileTest, FileIsGbkOnDisk) {
  {
    TIniFile ini(name);
    ini.WriteString("Section3", "Edit10", "姓名");
    ini.WriteString("备注", "键", "I空白I");
  }
  const std::string expected = "[Section3]\r\nEdit10=" + Utf8ToGbk("姓名") + "\r\n[" + Utf8ToGbk("备注") + "]\r\n" +
                               Utf8ToGbk("键") + "=I" + Utf8ToGbk("空白") + "I\r\n";
  EXPECT_EQ(Slurp(name), expected);
  TIniFile ini(name);
  EXPECT_EQ(ini.ReadString("Section3", "Edit10", ""), "姓名");
  EXPECT_EQ(ini.ReadString("备注", "键", ""), "I空白I");

  // GBK trail bytes may be '[', ']' or letters; they must not be taken
  // for structure or folded by the case-insensitive lookup.
  const std::string tricky = "\x81\x5B\x81\x5D\x81\x41";  // trails '[' ']' 'A'
  Spit(name, "[S]\r\nk=" + tricky + "\r\n" + tricky + "=v\r\n[" + tricky + "]\r\nk=w\r\n");
  EXPECT_EQ(ini.ReadString("S", "k", ""), GbkToUtf8(tricky));
  EXPECT_EQ(ini.ReadString("S", GbkToUtf8(tricky), ""), "v");
  EXPECT_EQ(ini.ReadString(GbkToUtf8(tricky), "k", ""), "w");
  EXPECT_EQ(ini.ReadString("S", GbkToUtf8("\x81\x5B\x81\x5D\x81\x61"), "none"), "none");
}

TEST_F(IniFileTest, WritesKeepOtherLinesCommentsAndOrder) {
  // LF-only lines and bytes that are not valid GBK are left as they are.
  Spit(name,
       "; settings\n"
       "orphan=1\n"
       "[B]\n"
       "b1=1\n"
       "\n"
       "; about A\n"
       "[A]\n"
       "a1=1\n"
       "note without equals\n"
       "junk=\xFF\xFF\n");
  TIniFile ini(name);
  EXPECT_EQ(ini.ReadString("", "orphan", "none"), "none");  // keys before any section do not count
  ini.WriteString("B", "b2", "2");
  ini.WriteString("A", "a1", "changed");
  ini.WriteString("C", "c1", "3");
  EXPECT_EQ(Slurp(name),
            "; settings\r\n"
            "orphan=1\r\n"
            "[B]\r\n"
            "b1=1\r\n"
            "b2=2\r\n"
            "\r\n"
            "; about A\r\n"
            "[A]\r\n"
            "a1=changed\r\n"
            "note without equals\r\n"
            "junk=\xFF\xFF\r\n"
            "[C]\r\n"
            "c1=3\r\n");
}

TEST_F(IniFileTest, SectionListsAndDeletion) {
  Spit(name, "[One]\r\nx=1\r\nY = \"2\" \r\n;c=3\r\n[Empty]\r\n[Two]\r\nz=3\r\n[one]\r\nlater=9\r\n");
  TIniFile ini(name);
  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(list.CommaText(), "One,Empty,Two,one");
  ini.ReadSection("ONE", &list);
  EXPECT_EQ(list.CommaText(), "x,Y");
  ini.ReadSectionValues("one", &list);
  EXPECT_EQ(list.CommaText(), "x=1,Y=2");
  EXPECT_TRUE(ini.SectionExists("two"));
  EXPECT_FALSE(ini.SectionExists("Empty"));  // a section counts when it holds keys
  EXPECT_TRUE(ini.ValueExists("One", "y"));
  EXPECT_FALSE(ini.ValueExists("One", "c"));
  EXPECT_FALSE(ini.ValueExists("Two", "x"));

  ini.DeleteKey("one", "X");
  EXPECT_FALSE(ini.ValueExists("One", "x"));
  ini.EraseSection("ONE");
  EXPECT_EQ(Slurp(name), "[Empty]\r\n[Two]\r\nz=3\r\n");
  ini.EraseSection("Two");
  ini.EraseSection("Empty");
  EXPECT_EQ(Slurp(name), "");
}

TEST_F(IniFileTest, NameGoesThroughNativePath) {
  std::filesystem::create_directories(dir.path() / "Mode");
  std::string root = dir.path().string();
  TIniFile ini(root + "\\MODE\\xyz.pmt");
  ini.WriteInteger("Section2", "PageData0", 1);
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "Mode" / "xyz.pmt"));
  TIniFile again(root + "\\mode\\XYZ.PMT");
  EXPECT_EQ(again.ReadInteger("section2", "pagedata0", 0), 1);
}

TEST_F(IniFileTest, ObjectsOnTheSameFileSeeEachOthersWrites) {
  TIniFile first(name);
  TIniFile second(name);
  first.WriteString("S", "k", "a");
  EXPECT_EQ(second.ReadString("S", "k", ""), "a");
  second.WriteString("S", "k", "b");  // same size, within the same clock tick
  EXPECT_EQ(first.ReadString("S", "k", ""), "b");
  Spit(name, "[S]\r\nk=c\r\n");  // another program
  EXPECT_EQ(first.ReadString("S", "k", ""), "c");
  std::filesystem::remove(name);
  EXPECT_EQ(first.ReadString("S", "k", "gone"), "gone");
}

TEST_F(IniFileTest, LineBreaksInTextCannotAddLines) {
  TIniFile ini(name);
  ini.WriteString("S", "k", "one\r\n[Section1]\r\nPMstart0=9");
  EXPECT_EQ(Slurp(name), "[S]\r\nk=one  [Section1]  PMstart0=9\r\n");
  EXPECT_EQ(ini.ReadInteger("Section1", "PMstart0", -1), -1);
}

TEST_F(IniFileTest, FailedWritesRaiseAndLeaveTheFileAlone) {
  Spit(name, "[Section1]\r\nPMstart0=1\r\n");
  ASSERT_EQ(FileSetAttr(name, faReadOnly), 0);
  TIniFile ini(name);
  try {
    ini.WriteInteger("Section1", "PMstart0", 2);
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message, "Unable to write to " + name);
  }
  EXPECT_THROW(ini.EraseSection("Section1"), EIniFileException);
  EXPECT_EQ(Slurp(name), "[Section1]\r\nPMstart0=1\r\n");
  EXPECT_EQ(ini.ReadInteger("Section1", "PMstart0", 0), 1);
  // Once writable again the same object writes normally.
  ASSERT_EQ(FileSetAttr(name, 0), 0);
  ini.WriteInteger("Section1", "PMstart0", 2);
  EXPECT_EQ(ini.ReadInteger("Section1", "PMstart0", 0), 2);
  EXPECT_EQ(FileGetAttr(name) & faReadOnly, 0);

  TIniFile nowhere(dir.file("no/such/folder/a.ini"));
  EXPECT_THROW(nowhere.WriteString("S", "k", "v"), EIniFileException);
  EXPECT_EQ(nowhere.ReadString("S", "k", "d"), "d");
}
