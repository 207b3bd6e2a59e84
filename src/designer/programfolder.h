// Where the program finds its working folder "data": the folder it was
// started in, the one beside the program file, or the source tree's.
#pragma once

#include <string>
#include <vector>

#include "platform/sysutils.h"

// No folder holds the program's data; the message names the folders tried.
CW_DECLARE_EXCEPTION(EDataFolderMissing, Exception)

// The source tree's data folder, compiled in so that a program run from its
// build tree finds the stock data; empty when the build has none.
extern std::string SourceDataFolder;

// True when `folder` holds the program's data files: its "Mode" folder or
// "PMstart.ini".
bool IsDataFolder(const std::string& folder);

// The folder that holds the data folder "data", with a trailing '/'. The
// data folder is the first of: `current` when it is named "data" and is a
// data folder (a launcher or `make run` starts the program there), the
// folder "data" beside `program` (the program file), `sourceData`. Throws
// EDataFolderMissing naming the folders tried.
std::string FindProgramFolder(const std::string& current, const std::string& program, const std::string& sourceData);

// FindProgramFolder for this process: the current folder, the program
// file and SourceDataFolder.
std::string ProgramFolder();
