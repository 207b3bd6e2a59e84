#include "platform/sysutils.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <fstream>

#include "support/testenv.h"

namespace {

void Touch(const std::string& path, const std::string& content = "x") { std::ofstream(path) << content; }

}  // namespace

TEST(SysUtils, StrToIntAcceptsDecimalAndHex) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {{"12", 12},          {"  -7", -7},       {"+5", 5},
               {"$1F", 31},         {"0x10", 16},       {"-0X10", -16},
               {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    EXPECT_EQ(StrToIntDef(c.text, 99), c.value) << c.text;
  }
}

TEST(SysUtils, StrToIntRejectsWhatIsNotAWholeNumber) {
  for (const char* text : {"", "abc", "12abc", "1 ", "0x", "$", "-", "2147483648", "99999999999999999999", "1.5"}) {
    EXPECT_THROW(StrToInt(text), EConvertError) << text;
    EXPECT_EQ(StrToIntDef(text, -3), -3) << text;
    int v = 42;
    EXPECT_FALSE(TryStrToInt(text, v)) << text;
    EXPECT_EQ(v, 42) << text;
  }
  try {
    StrToInt("abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "'abc' is not a valid integer value");
  }
}

TEST(SysUtils, RoundHalvesToEvenAndTruncGoesTowardZero) {
  struct Case {
    double in;
    int64_t round, trunc;
  } cases[] = {{0.5, 0, 0},  {1.5, 2, 1},   {2.5, 2, 2},   {-0.5, 0, 0}, {-1.5, -2, -1},
               {-2.5, -2, -2}, {2.4999, 2, 2}, {2.5001, 3, 2}, {-2.7, -3, -2}, {1e15 + 0.5, 1000000000000000, 1000000000000000}};
  for (const Case& c : cases) {
    EXPECT_EQ(Round(c.in), c.round) << c.in;
    EXPECT_EQ(Trunc(c.in), c.trunc) << c.in;
  }
  EXPECT_DOUBLE_EQ(Frac(-2.25), -0.25);
  for (double bad : {double(NAN), double(INFINITY), 1e19, -1e19}) {
    EXPECT_THROW(Round(bad), EInvalidOp) << bad;
    EXPECT_THROW(Trunc(bad), EInvalidOp) << bad;
  }
}

TEST(SysUtils, DateIsTodaysLocalMidnight) {
  using namespace std::chrono;
  const TDateTime today = Date();
  const time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  const sys_days day{year{local.tm_year + 1900} / (local.tm_mon + 1) / local.tm_mday};
  const sys_days origin{year{1899} / December / 30};
  EXPECT_EQ(today, static_cast<double>((day - origin).count()));
  EXPECT_EQ(static_cast<double>((sys_days{year{2000} / January / 1} - origin).count()), 36526.0);
}

TEST(SysUtils, FloatTextRoundTrips) {
  EXPECT_EQ(FloatToStr(1.5), "1.5");
  EXPECT_EQ(FloatToStr(100), "100");
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(1e20), "1E20");
  EXPECT_EQ(FloatToStr(-2.5e-7), "-2.5E-7");
  for (double v : {0.0, 1.5, -3.25, 123456.789, 1e-7, 6.02e23})
    EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(v)), v) << v;
  EXPECT_DOUBLE_EQ(StrToFloat(" 2.5 "), 2.5);
  for (const char* bad : {"", "abc", "1,5", "inf", "nan", "1.5x"}) {
    double v = 7;
    EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
    EXPECT_EQ(v, 7) << bad;
  }
  EXPECT_THROW(StrToFloat("x"), EConvertError);
}

TEST(SysUtils, CopyAndPosCountFromOneAndNeverThrow) {
  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
  EXPECT_EQ(Copy("abcdef", 5, 100), "ef");
  EXPECT_EQ(Copy("abcdef", 7, 1), "");
  EXPECT_EQ(Copy("abcdef", 3, -1), "");
  EXPECT_EQ(Pos("cd", "abcdcd"), 3);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
}

TEST(SysUtils, TextHelpers) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(UpperCase("abc中z"), "ABC中Z");
  EXPECT_EQ(LowerCase("ABC中Z"), "abc中z");
  EXPECT_EQ(CompareText("Mode", "MODE"), 0);
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("abcd", "ABC"), 0);
  EXPECT_TRUE(SameText("Section1", "SECTION1"));
  EXPECT_EQ(StringReplaceAll("a.b.c", ".", "::"), "a::b::c");
  EXPECT_EQ(Format("%s-%03d", "id", 7), "id-007");
  EXPECT_EQ(Format("%s", std::string(5000, 'z').c_str()).size(), 5000u);
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToStr(-1234567890123), "-1234567890123");
}

TEST(SysUtils, FileNamePartsAcceptBothSeparators) {
  EXPECT_EQ(ExtractFilePath("Mode\\data\\a.pmt"), "Mode/data/");
  EXPECT_EQ(ExtractFileDir("Mode\\data\\a.pmt"), "Mode/data");
  EXPECT_EQ(ExtractFileName("Mode\\data/a.pmt"), "a.pmt");
  EXPECT_EQ(ExtractFileExt("dir.x/name"), "");
  EXPECT_EQ(ExtractFileExt("a.b.JPG"), ".JPG");
  EXPECT_EQ(ChangeFileExt("dir.x/name", ".bmp"), "dir.x/name.bmp");
  EXPECT_EQ(ChangeFileExt("a/b.jpg", ".bmp"), "a/b.bmp");
  EXPECT_EQ(IncludeTrailingPathDelimiter("a\\b"), "a/b/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("a\\b\\"), "a/b");
  EXPECT_EQ(ExpandFileName("/x/./y/../z\\w"), "/x/z/w");
}

TEST(SysUtils, NativePathMatchesExistingNamesIgnoringCase) {
  cwtest::TempDir dir;
  std::string root = dir.path().string();
  ASSERT_TRUE(ForceDirectories(root + "\\Mode\\DATA"));
  Touch(root + "/Mode/DATA/data.DBF");

  EXPECT_EQ(NativePath(root + "\\Mode\\DATA\\data.DBF"), root + "/Mode/DATA/data.DBF");
  EXPECT_EQ(NativePath(root + "\\mode\\data\\DATA.dbf"), root + "/Mode/DATA/data.DBF");
  // Missing components stay as written, also below a missing folder.
  EXPECT_EQ(NativePath(root + "\\MODE\\new\\Sub\\x.ini"), root + "/Mode/new/Sub/x.ini");
  EXPECT_TRUE(FileExists(root + "\\MODE\\data\\data.dbf"));
  EXPECT_TRUE(DirectoryExists(root + "\\mode\\Data\\"));
  EXPECT_FALSE(FileExists(root + "\\mode\\data"));
  EXPECT_FALSE(DirectoryExists(root + "\\mode\\data\\data.dbf"));
  EXPECT_EQ(FileSizeOf(root + "/MODE/data/DATA.DBF"), 1);
  EXPECT_EQ(FileSizeOf(root + "/nothing"), -1);

  // Creating resolves to the folder that is there in another case...
  EXPECT_FALSE(CreateDir(root + "/Mode/data"));
  // ...and where both spellings exist, the exact one wins.
  ASSERT_TRUE(std::filesystem::create_directory(root + "/Mode/data"));
  EXPECT_EQ(NativePath(root + "/Mode/data"), root + "/Mode/data");
  EXPECT_EQ(NativePath(root + "/Mode/DATA"), root + "/Mode/DATA");
}

TEST(SysUtils, RelativeNamesResolveFromTheCurrentFolder) {
  cwtest::TempDir dir;
  std::string before = GetCurrentDir();
  ASSERT_TRUE(ForceDirectories(dir.file("Work/Mode")));
  ASSERT_TRUE(SetCurrentDir(dir.file("work")));
  Touch("Mode/a.pmt");
  EXPECT_EQ(NativePath("mode\\A.PMT"), "Mode/a.pmt");
  EXPECT_EQ(ExpandFileName("x\\..\\y"), dir.file("Work/y"));
  ASSERT_TRUE(SetCurrentDir(before));
  EXPECT_FALSE(SetCurrentDir(dir.file("missing")));
}

TEST(SysUtils, ReadOnlyAttributeGuardsTheFile) {
  cwtest::TempDir dir;
  std::string name = dir.file("PMstart.ini");
  EXPECT_EQ(FileGetAttr(name), -1);
  Touch(name);
  EXPECT_EQ(FileGetAttr(name) & faReadOnly, 0);
  EXPECT_EQ(FileSetAttr(name, faReadOnly), 0);
  EXPECT_EQ(FileGetAttr(name) & faReadOnly, faReadOnly);
  EXPECT_FALSE(DeleteFile(name));
  EXPECT_EQ(FileSetAttr(name, 0), 0);
  EXPECT_EQ(FileGetAttr(name) & faReadOnly, 0);
  EXPECT_EQ(FileGetAttr(dir.path().string()) & faDirectory, faDirectory);
  EXPECT_NE(FileSetAttr(dir.file("missing"), 0), 0);
  EXPECT_TRUE(DeleteFile(name));
  EXPECT_FALSE(DeleteFile(name));
}

TEST(SysUtils, RenameNeverReplacesAFile) {
  cwtest::TempDir dir;
  Touch(dir.file("a"), "A");
  Touch(dir.file("b"), "B");
  EXPECT_FALSE(RenameFile(dir.file("a"), dir.file("b")));
  EXPECT_TRUE(RenameFile(dir.file("A"), dir.file("c")));
  EXPECT_TRUE(FileExists(dir.file("c")));
  EXPECT_FALSE(FileExists(dir.file("a")));
  EXPECT_FALSE(ForceDirectories(""));
  EXPECT_TRUE(ForceDirectories(dir.file("x\\y\\z")));
  EXPECT_TRUE(DirectoryExists(dir.file("x/y/z")));
}
