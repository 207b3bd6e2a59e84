#include "imaging/core/iefiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/sysutils.h"
#include "support/testenv.h"

namespace fs = std::filesystem;

TEST(ForceDirectories, CreatesEveryMissingLevelWithEitherSeparator) {
  cwtest::TempDir temp;
  const std::string root = temp.path().string();
  for (const std::string tail : {"/a/b/c", "\\d\\e\\", "/f\\g/h"}) {
    IEForceDirectories(root + tail);
    EXPECT_TRUE(IEDirectoryExists(root + tail)) << tail;
  }
  EXPECT_TRUE(fs::is_directory(temp.path() / "a" / "b" / "c"));
  EXPECT_TRUE(fs::is_directory(temp.path() / "d" / "e"));
  EXPECT_TRUE(fs::is_directory(temp.path() / "f" / "g" / "h"));
  // Existing folders are left alone.
  IEForceDirectories(root + "/a/b");
  EXPECT_TRUE(fs::is_directory(temp.path() / "a" / "b" / "c"));
}

TEST(ForceDirectories, RelativeNamesAndErrors) {
  cwtest::TempDir temp;
  const std::string previous = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(temp.path().string()));
  // A bare name lives in the current folder.
  EXPECT_NO_THROW(IEForceDirectories("single"));
  EXPECT_NO_THROW(IEForceDirectories("rel\\deeper"));
  SetCurrentDir(previous);
  EXPECT_TRUE(fs::is_directory(temp.path() / "single"));
  EXPECT_TRUE(fs::is_directory(temp.path() / "rel" / "deeper"));

  try {
    IEForceDirectories("");
    FAIL() << "an empty path must raise";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message, "Cannot Create Directory");
  }
  // A folder under a file cannot be made; that is not reported.
  std::ofstream(temp.file("plain")) << "x";
  EXPECT_NO_THROW(IEForceDirectories(temp.file("plain") + "/sub"));
  EXPECT_FALSE(IEDirectoryExists(temp.file("plain") + "/sub"));
  EXPECT_FALSE(IEDirectoryExists(temp.file("plain")));
}

TEST(FileSize, SizesAndMissingFiles) {
  cwtest::TempDir temp;
  std::ofstream(temp.file("five.bin"), std::ios::binary) << "12345";
  std::ofstream(temp.file("empty.bin"), std::ios::binary);
  EXPECT_EQ(_getfilesize(temp.file("five.bin")), 5);
  EXPECT_EQ(_getfilesize(temp.file("empty.bin")), 0);
  EXPECT_EQ(_getfilesize(temp.file("missing.bin")), -1);
  EXPECT_EQ(_getfilesize(temp.path().string()), -1);
}
