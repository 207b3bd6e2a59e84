// TIFF page operations: taking one page out of a TIFF, removing one, and
// merging the pages of two TIFFs. Pages are copied directory by directory
// with their strips or tiles and values, at new offsets; the pixel data is
// not decoded. A page the bytes do not hold whole makes the operation fail
// and its output stay as it was.
#pragma once

#include <cstdint>
#include <string>

class TStream;

// Writes page Index of the source TIFF (read from position 0) at the
// destination's position as a one-page TIFF in the source's byte order.
// 1 when written, 0 otherwise.
int32_t ExtractTIFFImStream(TStream* Source, int32_t Index, TStream* Destination);

// Rebuilds the TIFF at the stream's position without page Index and puts
// it in place of the old one (the stream is cut after it). The number of
// pages the TIFF had before; 0, with the stream unchanged, when it is not a
// TIFF or a page cannot be copied.
int32_t DeleteTIFFImStream(TStream* Stream, int32_t Index);

// Writes at the destination's position a TIFF in the source's byte order
// with the source's pages and all pages of the inserted TIFF placed before
// source page Index (after the last page when Index is the page count; not
// at all when it is larger or negative). Both inputs are read from position
// 0. The number of pages written, 0 when nothing was written.
int32_t InsertTIFFImStream(TStream* Source, TStream* Inserted, int32_t Index, TStream* Destination);

// The same on files. The result goes to a temporary file beside the target,
// which then replaces it, so a failure never leaves a half-written file;
// an operation that fails leaves every file as it was. Opening an input
// that is missing raises EFOpenError; a target that cannot be written
// raises EFCreateError.
int32_t DeleteTIFFImFile(const std::string& FileName, int32_t Index);
int32_t ExtractTIFFImFile(const std::string& SourceName, const std::string& TargetName, int32_t Index);
int32_t InsertTIFFImFile(const std::string& SourceName, const std::string& InsertedName,
                         const std::string& TargetName, int32_t Index);
