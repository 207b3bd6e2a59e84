#include "imaging/core/iefiles.h"

#include <filesystem>
#include <system_error>

#include "platform/sysutils.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool IEDirectoryExists(const std::string& path) { return DirectoryExists(path); }

void IEForceDirectories(const std::string& path) {
  if (path.empty()) throw Exception("Cannot Create Directory");
  std::string dir = path;
  if (IsSeparator(dir.back())) dir.pop_back();
  // A bare drive ("C:") or the root is there already.
  if (dir.size() <= 2 || IEDirectoryExists(dir)) return;
  const auto last = dir.find_last_of("\\/");
  // A name without a separator lives in the current folder, which exists.
  if (last != std::string::npos && last > 0) IEForceDirectories(dir.substr(0, last));
  CreateDir(dir);
}

int64_t _getfilesize(const std::string& name) {
  std::error_code error;
  const std::filesystem::path file = NativePath(name);
  if (!std::filesystem::is_regular_file(file, error)) return -1;
  const auto size = std::filesystem::file_size(file, error);
  return error ? -1 : static_cast<int64_t>(size);
}
