#include "designer/templatepaths.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The entry of folder whose name equals part ignoring case; the exact
// spelling first, then the first such entry in name order.
std::string FindEntry(const fs::path& folder, const std::string& part) {
  std::error_code ec;
  if (fs::exists(folder / part, ec)) return part;
  std::string found;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (SameIgnoringCase(name, part) && (found.empty() || name < found)) found = name;
  }
  return found.empty() ? part : found;
}

bool IsFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

}  // namespace

std::string MapTemplatePath(const std::string& stored, const std::string& base) {
  std::string text = stored;
  if (text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':') text.erase(0, 2);
  for (char& c : text)
    if (c == '\\') c = '/';
  fs::path path = !text.empty() && text[0] == '/' ? fs::path("/") : fs::path(base);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('/', start);
    if (end == std::string::npos) end = text.size();
    const std::string part = text.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    path /= part == ".." ? part : FindEntry(path, part);
  }
  return path.string();
}

std::string FindTemplateFile(const std::string& stored, const std::string& templatePath, const std::string& base) {
  if (stored.empty()) return "";
  const std::string mapped = MapTemplatePath(stored, base);
  if (IsFile(mapped)) return mapped;
  const fs::path tpl(templatePath);
  const fs::path folder = tpl.parent_path().empty() ? fs::path(".") : tpl.parent_path();
  const std::string name = fs::path(mapped).filename().string();
  for (const std::string& candidate : {MapTemplatePath(name, folder.string()),
                                       MapTemplatePath(tpl.stem().string() + "/" + name, folder.string())})
    if (IsFile(candidate)) return candidate;
  return "";
}

std::string FindTableFolder(const std::string& stored, const std::string& templatePath, const std::string& base) {
  const fs::path tpl(templatePath);
  const fs::path folder = tpl.parent_path().empty() ? fs::path(".") : tpl.parent_path();
  for (const std::string& candidate : {MapTemplatePath(stored, base),
                                       MapTemplatePath(tpl.stem().string(), folder.string()), folder.string()}) {
    bool complete = true;
    for (const char* name : {"data.MDX", "data.DBF", "data.DBT"})
      complete = complete && IsFile(MapTemplatePath(name, candidate));
    if (complete) return candidate;
  }
  return "";
}
