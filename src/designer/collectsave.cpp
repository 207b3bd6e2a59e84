#include "designer/collectsave.h"

#include <array>
#include <filesystem>
#include <random>
#include <system_error>

#include "designer/cardtemplate.h"

namespace fs = std::filesystem;

namespace {

const std::array<const char*, 3> kExtensions = {"DBF", "DBT", "MDX"};

// A fresh folder inside `parent` for the files on their way.
fs::path MakeStagingFolder(const fs::path& parent) {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path staging = parent / (".collect-" + std::to_string(random() % 1000000));
    std::error_code error;
    if (fs::create_directory(staging, error)) return staging;
  }
  return {};
}

}  // namespace

CollectTarget CollectTargetOf(const std::string& folder) {
  std::string f = folder;
  while (f.size() > 1 && (f.back() == '/' || f.back() == '\\')) f.pop_back();
  const size_t cut = f.find_last_of("/\\");
  const std::string name = cut == std::string::npos ? f : f.substr(cut + 1);
  CollectTarget target;
  target.Folder = (f == "/" ? "" : f) + "/";
  target.TemplatePath = target.Folder + name + ".pmt";
  target.PicturePath = target.Folder + name + ".jpg";
  return target;
}

std::string CollectRefusal(const CollectTarget& target) {
  if (target.Folder == "/" || target.TemplatePath == target.Folder + ".pmt") return "请选择一个有名字的文件夹！";
  if (IsStockTemplatePath(target.TemplatePath))
    return "不能集中保存到Mode文件夹中：它存放程序自带的模板和数据库。请另选一个文件夹！";
  return "";
}

std::string TableSibling(const std::string& table, const std::string& extension) {
  return fs::path(table).replace_extension(extension).string();
}

bool TableFilesExist(const std::string& table) {
  for (const char* extension : kExtensions)
    if (!fs::is_regular_file(TableSibling(table, extension))) return false;
  return true;
}

int CopyTableFiles(const std::string& table, const std::string& folder) {
  const fs::path staging = MakeStagingFolder(folder);
  if (staging.empty()) return 1;
  int failed = 0;
  std::error_code error;
  for (size_t i = 0; i < kExtensions.size() && failed == 0; ++i) {
    const fs::path to = staging / (std::string("data.") + kExtensions[i]);
    if (!fs::copy_file(TableSibling(table, kExtensions[i]), to, error)) failed = int(i) + 1;
  }
  // A target that is no file cannot be replaced: found before any is.
  for (size_t i = 0; i < kExtensions.size() && failed == 0; ++i) {
    const fs::path target = fs::path(folder) / (std::string("data.") + kExtensions[i]);
    if (fs::exists(target, error) && !fs::is_regular_file(target, error)) failed = int(i) + 1;
  }
  // Renames within one folder: each target is replaced whole.
  for (size_t i = 0; i < kExtensions.size() && failed == 0; ++i) {
    const std::string name = std::string("data.") + kExtensions[i];
    fs::rename(staging / name, fs::path(folder) / name, error);
    if (error) failed = int(i) + 1;
  }
  fs::remove_all(staging, error);
  return failed;
}
