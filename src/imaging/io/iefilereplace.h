// Putting rebuilt picture files in place: the new contents go to a
// temporary file beside the old one, which replaces it only once written
// whole, so a failed write (a full disk) never leaves a damaged file.
#pragma once

#include <string>

class TCustomMemoryStream;

// False when the file could not be replaced; it then keeps its old bytes.
bool IEReplaceFile(const std::string& fileName, TCustomMemoryStream& contents);
