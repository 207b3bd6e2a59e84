#include "platform/privatetemp.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/kernel.h"

namespace {

// Removes the folder and whatever the run left in it at exit.
struct PrivateFolder {
  std::string path;
  ~PrivateFolder() {
    if (path.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

std::string PrivateTempFolder() {
  static PrivateFolder folder;
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  // A folder removed behind the program's back is made again.
  std::error_code error;
  if (!folder.path.empty() && std::filesystem::is_directory(folder.path, error)) return folder.path;
  std::string pattern = GetTempPath() + "cardwright-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) return folder.path = "";  // mode 0700
  return folder.path = pattern + "/";
}
