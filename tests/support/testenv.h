// Test environment: every test program runs inside one private temporary
// folder (HOME, TMPDIR and the XDG folders point into it) and removes it
// at exit, so tests never write outside their own folders.
#pragma once

#include <filesystem>
#include <string>

namespace cwtest {

// The private folder of this test run.
const std::filesystem::path& RunRoot();

// Path of a file in tests/data/.
std::filesystem::path DataPath(const std::string& name);

// A fresh empty folder below RunRoot(), removed when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Called once by the test main before anything else runs.
void SetUpRunEnvironment();
void TearDownRunEnvironment();

}  // namespace cwtest
