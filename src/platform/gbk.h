// GBK (code page 936) at the file edge: INI files, tables and templates keep
// their text in GBK on disk; in memory every string is UTF-8.
#pragma once

#include <string>
#include <string_view>

// Bytes that are not valid GBK become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);
// Characters that GBK cannot hold become '?'.
std::string Utf8ToGbk(std::string_view utf8);
// Longest prefix of a GBK byte string that is at most maxBytes long and ends
// on a character boundary.
std::string_view GbkTruncate(std::string_view gbk, size_t maxBytes);
