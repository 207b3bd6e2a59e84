#include "designer/programfolder.h"

#include "platform/forms.h"
#include "platform/sysutils.h"

std::string ProgramFolder() {
  const std::string current = ExcludeTrailingPathDelimiter(GetCurrentDir());
  if (SameText(ExtractFileName(current), "data")) return ExtractFilePath(current);
  return ExtractFilePath(Application->ExeName());
}
