#include "testenv.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace cwtest {
namespace {
fs::path g_root;
std::atomic<int> g_counter{0};
}  // namespace

const fs::path& RunRoot() { return g_root; }

fs::path DataPath(const std::string& name) {
  const char* dir = std::getenv("CW_TEST_DATA");
  fs::path base = dir ? fs::path(dir) : fs::path(CW_SOURCE_DIR) / "tests" / "data";
  return base / name;
}

TempDir::TempDir() {
  path_ = g_root / ("t" + std::to_string(g_counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void SetUpRunEnvironment() {
  std::string pattern = (fs::temp_directory_path() / "cwtest-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make the test folder");
  g_root = pattern;
  const fs::path home = g_root / "home";
  const fs::path tmp = g_root / "tmp";
  for (const char* sub : {"home", "tmp", "home/.config", "home/.local/share", "home/.cache", "runtime"})
    fs::create_directories(g_root / sub);
  fs::permissions(g_root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  setenv("HOME", home.c_str(), 1);
  setenv("TMPDIR", tmp.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
  setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
  setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (g_root / "runtime").c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("LC_ALL", "C.UTF-8", 0);
  // No test reaches the machine's own scanners: an empty backend list,
  // which the scanner tests fill with the test backend in the same folder.
  fs::create_directories(g_root / "sane-config");
  std::ofstream(g_root / "sane-config" / "dll.conf");
  setenv("SANE_CONFIG_DIR", (g_root / "sane-config").c_str(), 1);
  // Nor its cameras: the camera window sees the generated test pattern.
  setenv("CW_CAMERA", "pattern", 1);
}

void TearDownRunEnvironment() {
  std::error_code ec;
  if (!g_root.empty() && !std::getenv("CW_KEEP_TEST_FILES")) fs::remove_all(g_root, ec);
}

}  // namespace cwtest
