#include "platform/privatetemp.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/kernel.h"

namespace fs = std::filesystem;

namespace {

TEST(PrivateTempFolder, IsTheRunsOwnFolderUnderTheSystemTemporaryFolder) {
  const std::string folder = PrivateTempFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(fs::path(folder).parent_path().parent_path(), fs::path(GetTempPath()).parent_path());
  EXPECT_NE(fs::path(folder).parent_path().filename().string().find("cardwright-"), std::string::npos);
  struct stat info {};
  ASSERT_EQ(::stat(folder.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);  // no other user reads the work pictures
  EXPECT_EQ(PrivateTempFolder(), folder);
}

TEST(PrivateTempFolder, IsMadeAgainWhenRemovedAndLeavesOtherFilesAlone) {
  const fs::path other = fs::path(GetTempPath()) / "someone-elses.tmp";
  { std::ofstream(other) << "x"; }
  const std::string folder = PrivateTempFolder();
  fs::remove_all(folder);
  const std::string again = PrivateTempFolder();
  ASSERT_FALSE(again.empty());
  EXPECT_TRUE(fs::is_directory(again));
  EXPECT_TRUE(fs::exists(other));
  fs::remove(other);
}

}  // namespace
