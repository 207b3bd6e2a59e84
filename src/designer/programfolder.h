// The folder the program lives in: the one that holds its working folder
// "data".
#pragma once

#include <string>

// With a trailing '/'. When the program was started inside a folder named
// "data" (as the build tree's run target starts it), that folder's parent;
// otherwise the program file's folder.
std::string ProgramFolder();
