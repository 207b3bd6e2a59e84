// Folder and file-size helpers. Both '\' and '/' separate folders.
#pragma once

#include <cstdint>
#include <string>

bool IEDirectoryExists(const std::string& path);
// Creates the folder and any missing parents; raises Exception("Cannot
// Create Directory") for an empty path. A folder that cannot be made is not
// reported.
void IEForceDirectories(const std::string& path);
// Size of the file in bytes; -1 when it cannot be read (missing, a folder).
int64_t _getfilesize(const std::string& name);
