// The filter file: one 3 x 3 kernel in 43 bytes, 01 03 03 and the 40-byte
// TGraphFilter record, little-endian.
#pragma once

#include <string>

#include "imaging/proc/iefilter.h"

// Creates or replaces the file; file-stream errors reach the caller.
void SaveFilterToFile(const std::string& fileName, const TGraphFilter& filter);
// Reads the kernel. A file that does not start with 01 03 03 leaves filter
// as it was; one that ends before the record does too, and raises
// EReadError. File-stream errors reach the caller.
void LoadFilterFromFile(const std::string& fileName, TGraphFilter& filter);
