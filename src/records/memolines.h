// The lines of a memo read and written in one go: the memo's own line list
// splits its whole text at every access, too slow for columns of thousands
// of lines.
#pragma once

#include <string>
#include <vector>

#include "platform/stdctrls.h"

// The memo's lines; a final line break adds no empty line.
std::vector<std::string> MemoLines(TMemo* memo);
// Replaces the memo's text by these lines.
void SetMemoLines(TMemo* memo, const std::vector<std::string>& lines);
// Appends lines after the memo's own.
void AppendMemoLines(TMemo* memo, const std::vector<std::string>& lines);
