#include "platform/privatetemp.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/kernel.h"

namespace fs = std::filesystem;

namespace {

// The id of a process that has ended (and been reaped).
pid_t EndedProcess() {
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

TEST(PrivateTempFolder, IsOneFolderOfThisRunReadableByItsUserOnly) {
  const std::string folder = PrivateTempFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(fs::path(folder).parent_path().parent_path(), fs::path(GetTempPath()).parent_path());
  EXPECT_EQ(fs::path(folder).parent_path().filename().string().rfind(
                "cardwright-" + std::to_string(::getpid()) + "-", 0),
            0u);
  struct stat info;
  ASSERT_EQ(::lstat(folder.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(PrivateTempFolder(), folder);

  // Removed behind our back, it is made again.
  fs::remove_all(folder);
  const std::string again = PrivateTempFolder();
  ASSERT_FALSE(again.empty());
  EXPECT_TRUE(fs::is_directory(again));
}

TEST(PrivateTempFolder, StartUpClearsOnlyOurOwnLeftoversOfEndedRuns) {
  const fs::path temp = GetTempPath();
  const pid_t ended = EndedProcess();
  const fs::path leftover = temp / ("cardwright-" + std::to_string(ended) + "-abc123");
  fs::create_directories(leftover / "inner");
  std::ofstream(leftover / "inner" / "page.bmp") << "x";
  // Kept: a running program's folder, other programs' files and folders,
  // names that only look like ours, and a plain file with our pattern.
  const fs::path running = temp / ("cardwright-" + std::to_string(::getppid()) + "-def456");
  const fs::path mine = fs::path(PrivateTempFolder());
  const fs::path others[] = {temp / "qrp1234.tmp", temp / "ima5678.tmp", temp / "cardwright-abc-1",
                             temp / ("cardwright-" + std::to_string(ended))};
  const fs::path plainFile = temp / ("cardwright-" + std::to_string(ended) + "-file");
  fs::create_directories(running);
  for (const fs::path& other : others) fs::create_directories(other);
  std::ofstream(plainFile) << "x";

  EXPECT_EQ(RemoveStalePrivateTempFolders(), 1);
  EXPECT_FALSE(fs::exists(leftover));
  EXPECT_TRUE(fs::is_directory(running));
  EXPECT_TRUE(fs::is_directory(mine));
  for (const fs::path& other : others) EXPECT_TRUE(fs::exists(other)) << other;
  EXPECT_TRUE(fs::is_regular_file(plainFile));

  fs::remove_all(running);
  for (const fs::path& other : others) fs::remove_all(other);
  fs::remove(plainFile);
}

}  // namespace
