// What a .xls workbook declares about its sheets' sizes, read from the
// compound file before the spreadsheet library sees it: the library
// allocates every sheet's used range whole as it opens the file, so a few
// kilobytes declaring huge ranges would hold it up for seconds and
// gigabytes.
#pragma once

#include <cstdint>
#include <vector>

// Rows times columns of every sheet size record of the workbook stream,
// summed; -1 when the bytes are no readable compound file holding a
// workbook stream, or a text of the stream runs past its record.
int64_t XlsDeclaredCells(const std::vector<uint8_t>& file);

// True when a workbook of `fileBytes` bytes may declare `cells` cells: any
// number up to a million, beyond that at most 16 per byte of the file.
bool XlsCellsFitFile(int64_t cells, int64_t fileBytes);
