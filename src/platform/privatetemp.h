// The program's own temporary folder: made on first use, readable only by
// this user, different for every run and removed when the program ends.
// Work pictures go here, so the program never touches (or deletes) the
// temporary files of other programs.
#pragma once

#include <string>

// The folder, with a trailing '/'; "" when none can be made.
std::string PrivateTempFolder();
