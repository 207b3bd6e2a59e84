#include "designer/programfolder.h"

#include "platform/forms.h"

#ifdef CW_DATA_DIR
std::string SourceDataFolder = CW_DATA_DIR;
#else
std::string SourceDataFolder;
#endif

bool IsDataFolder(const std::string& folder) {
  if (folder.empty()) return false;
  const std::string inside = IncludeTrailingPathDelimiter(folder);
  return DirectoryExists(inside + "Mode") || FileExists(inside + "PMstart.ini");
}

std::string FindProgramFolder(const std::string& current, const std::string& program, const std::string& sourceData) {
  std::vector<std::string> candidates;
  // The program's files name the working folder "data", so only a folder
  // of that name can be it.
  const std::string here = ExcludeTrailingPathDelimiter(current);
  if (!here.empty() && SameText(ExtractFileName(here), "data")) candidates.push_back(here);
  if (!program.empty()) candidates.push_back(ExtractFilePath(program) + "data");
  if (!sourceData.empty()) candidates.push_back(ExcludeTrailingPathDelimiter(sourceData));
  for (const std::string& folder : candidates)
    if (IsDataFolder(folder)) return ExtractFilePath(folder);

  // The current folder is named even when its name ruled it out.
  std::string tried = here.empty() || (!candidates.empty() && candidates.front() == here) ? "" : "\n" + here;
  for (const std::string& folder : candidates) tried += "\n" + folder;
  throw EDataFolderMissing("找不到数据文件夹data（其中应有Mode文件夹和PMstart.ini）。已查找：" + tried);
}

std::string ProgramFolder() {
  return FindProgramFolder(GetCurrentDir(), Application->ExeName(), SourceDataFolder);
}
