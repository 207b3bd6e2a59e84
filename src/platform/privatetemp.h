// The program's own temporary folder: one folder per running program,
// readable by its user only, made on first use below the system temporary
// folder and removed when the program ends. Temporary pictures and work
// files go there, so that nothing of ours mixes with other programs' files
// and a clean-up never touches theirs.
#pragma once

#include <string>

// The folder, with a trailing '/'; made on the first call. Empty when the
// system temporary folder takes no new folder.
std::string PrivateTempFolder();

// Removes the folders that earlier runs of this program left behind
// (crashed or killed runs): only folders of our own name pattern, owned by
// this user, whose program no longer runs. Returns how many it removed.
int RemoveStalePrivateTempFolders();
