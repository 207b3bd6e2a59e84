// Files saved through a temporary name: the old file survives every failed
// or abandoned save, and the targets a plain create refuses stay refused.
#include "platform/savestream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/classes.h"
#include "platform/sysutils.h"
#include "support/testenv.h"

namespace {

std::string Read(const std::string& path) {
  std::stringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

size_t EntriesIn(const std::filesystem::path& dir) {
  return size_t(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(SaveFileStream, OnlyACommittedSaveReplacesTheFile) {
  cwtest::TempDir dir;
  const std::string path = dir.file("card.bin");
  Write(path, "old contents");
  ::chmod(path.c_str(), 0640);

  {  // abandoned half-way, as when a writer throws
    TSaveFileStream file(path);
    file.WriteBuffer("new", 3);
  }
  EXPECT_EQ(Read(path), "old contents");
  EXPECT_EQ(EntriesIn(dir.path()), 1u) << "the temporary file was left behind";

  {
    TSaveFileStream file(path);
    file.WriteBuffer("new", 3);
    file.Commit();
  }
  EXPECT_EQ(Read(path), "new");
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u) << "the file keeps its permissions";
  EXPECT_EQ(EntriesIn(dir.path()), 1u);

  // A new file appears only whole, and a name written with backslashes works.
  const std::string fresh = dir.path().string() + "\\fresh.bin";
  {
    TSaveFileStream file(fresh);
    file.WriteBuffer("abc", 3);
    EXPECT_FALSE(std::filesystem::exists(dir.file("fresh.bin")));
    file.Commit();
  }
  EXPECT_EQ(Read(dir.file("fresh.bin")), "abc");
}

TEST(SaveFileStream, RefusesWhatCreatingTheFileWouldRefuse) {
  cwtest::TempDir dir;
  const std::string readOnly = dir.file("ro.bin"), busy = dir.file("busy.bin");
  Write(readOnly, "keep");
  ::chmod(readOnly.c_str(), 0444);
  Write(busy, "in use");
  std::filesystem::create_directory(dir.file("folder"));

  EXPECT_THROW(TSaveFileStream{readOnly}, EFCreateError);
  EXPECT_THROW(TSaveFileStream{dir.file("folder")}, EFCreateError);
  EXPECT_THROW(TSaveFileStream{dir.file("missing/x.bin")}, EFCreateError);
  {
    TFileStream reader(busy, fmOpenRead | fmShareDenyWrite);
    EXPECT_THROW(TSaveFileStream{busy}, EFCreateError);
  }
  EXPECT_NO_THROW(TSaveFileStream{busy});
  EXPECT_EQ(Read(readOnly), "keep");
  EXPECT_EQ(Read(busy), "in use");
  EXPECT_EQ(EntriesIn(dir.path()), 3u);
}

}  // namespace
