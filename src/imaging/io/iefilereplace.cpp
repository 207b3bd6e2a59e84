#include "imaging/io/iefilereplace.h"

#include "platform/classes.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"

bool IEReplaceFile(const std::string& fileName, TCustomMemoryStream& contents) {
  const std::string bytes(static_cast<const char*>(contents.Memory()), static_cast<size_t>(contents.GetSize()));
  return ReplaceFileContents(NativePath(fileName), bytes);
}
