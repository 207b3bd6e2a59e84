#include "platform/privatetemp.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/kernel.h"

namespace fs = std::filesystem;

namespace {

// Folder names are "cardwright-<pid>-<random>": the process id tells a
// leftover from a folder still in use.
constexpr const char* kPrefix = "cardwright-";

std::string& FolderOfThisRun() {
  static std::string folder;
  return folder;
}

void RemoveFolderOfThisRun() {
  std::error_code error;
  if (!FolderOfThisRun().empty()) fs::remove_all(FolderOfThisRun(), error);
}

// The process id in a folder name of ours; 0 when the name is not ours.
pid_t OwnerProcess(const std::string& name) {
  const std::string prefix = kPrefix;
  if (name.compare(0, prefix.size(), prefix) != 0) return 0;
  size_t digits = prefix.size();
  pid_t pid = 0;
  while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') {
    if (pid > 100000000) return 0;
    pid = pid * 10 + (name[digits] - '0');
    ++digits;
  }
  if (digits == prefix.size() || digits >= name.size() || name[digits] != '-') return 0;
  return pid;
}

}  // namespace

std::string PrivateTempFolder() {
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  std::string& folder = FolderOfThisRun();
  if (!folder.empty()) {
    // Made again when something removed it meanwhile.
    struct stat info;
    if (::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return folder;
    folder.clear();
  }
  std::string pattern = GetTempPath() + kPrefix + std::to_string(::getpid()) + "-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) return "";  // mkdtemp makes it 0700
  static bool registered = false;
  if (!registered) registered = std::atexit(RemoveFolderOfThisRun) == 0;
  folder = pattern + "/";
  return folder;
}

int RemoveStalePrivateTempFolders() {
  std::error_code error;
  int removed = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(GetTempPath(), error)) {
    const std::string name = entry.path().filename().string();
    const pid_t pid = OwnerProcess(name);
    if (pid <= 0 || pid == ::getpid()) continue;
    struct stat info;
    if (::lstat(entry.path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) continue;
    // A running program keeps its folder (EPERM: alive, someone else's).
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
    std::error_code removeError;
    if (fs::remove_all(entry.path(), removeError) > 0 && !removeError) ++removed;
  }
  return removed;
}
