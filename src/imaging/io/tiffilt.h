// TIFF reader: one page of a TIFF 6.0 file (either byte order) into a
// TIEBitmap, its description, EXIF values and page count into the
// parameters, an extra alpha sample into a mask; and a small interface over
// the tag entries of one loaded directory, used by the TIFF tag reader and
// the EXIF loader.
//
// Bilevel pages (one 1-bit sample, no palette) give ie1g, all others
// ie24RGB. Every offset and count is checked against the stream: data the
// stream does not hold is never read, and bad data sets the progress
// record's abort flag; the reader raises nothing of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/core/iedefs.h"

class TStream;
class TIEBitmap;
class TIEMask;
class TIOParamsVals;

// One 12-byte directory entry in machine byte order. Value is the entry's
// value field converted as one 32-bit number, so in a big-endian file a
// SHORT stored in the entry sits in its high half.
struct TTIFFTag {
  uint16_t Tag = 0;
  uint16_t Type = 0;
  uint32_t Count = 0;
  uint32_t Value = 0;
  uint8_t Raw[4] = {};  // the value field as it stands in the file
};

// One loaded directory.
struct TTIFFEnv {
  bool Intel = true;  // "II"
  TStream* Stream = nullptr;
  std::vector<TTIFFTag> Entries;
  uint16_t EntryCount = 0;
  int64_t Base = 0;  // added to every offset before seeking
};

// Reads page TIFF_ImageIndex of the TIFF at the stream's position (none
// when Params is nil). PageCount gets the number of directories in the
// chain. Base: offsets count from the stream's position at the call, else
// from position 0. Preview: only the parameters. NoMask: no alpha mask is
// made or filled. Bitmap may be nil when only counting.
void TIFFReadStream(TIEBitmap* Bitmap, TStream* Stream, int32_t& PageCount, TIOParamsVals* Params,
                    TProgressRec& Progress, bool Preview, TIEMask*& Mask, bool Base, bool NoMask);

// The number of pages of the TIFF at the stream's position.
int32_t EnumTIFFImStream(TStream* Stream);

// Reads the header at the stream's position, walks the directory chain
// (PageCount gets its length) and loads directory Index into Env. False
// for a header other than "II"/"MM", a first offset of 0 or an index not
// found.
bool TIFFLoadTags(TStream* Stream, int32_t& PageCount, int32_t Index, TTIFFEnv& Env);
void TIFFFreeTags(TTIFFEnv& Env);

// Index of the first entry with the tag, -1 when absent.
int32_t TIFFFindTAG(uint16_t Tag, const TTIFFEnv& Env);
// The entry's count, 0 when absent.
int32_t TIFFGetDataLength(const TTIFFEnv& Env, uint16_t Tag);
// The value stored in the entry itself (a SHORT: the half stored first).
int32_t TIFFReadSingleValDef(const TTIFFEnv& Env, uint16_t Tag, int32_t Default);
// Rationals (denominator 0 taken as 1); 0 when absent or out of range.
double TIFFReadSingleRational(const TTIFFEnv& Env, uint16_t Tag);
double TIFFReadRationalIndex(const TTIFFEnv& Env, uint16_t Tag, int32_t Index);
// Value Index of a SHORT or LONG array; 0 for other types, absent tags,
// indexes beyond the count or values outside the stream.
int32_t TIFFReadIndexValN(const TTIFFEnv& Env, uint16_t Tag, int32_t Index);
// All values of a SHORT or LONG array; the count (0 and an empty array
// when absent or not in the stream).
int32_t TIFFReadArrayIntegers(const TTIFFEnv& Env, std::vector<int32_t>& Array, uint16_t Tag);
// The entry's count bytes at its offset (inside the entry when they fit);
// empty when absent or not in the stream.
std::vector<uint8_t> TIFFReadRawData(const TTIFFEnv& Env, uint16_t Tag);
// Count characters (the terminating zero included) read at the offset, or
// from the entry when they fit in its 4 bytes; empty when absent.
std::string TIFFReadString(const TTIFFEnv& Env, uint16_t Tag);
// Count characters (at most 4) from the entry's own value bytes.
std::string TIFFReadMiniString(const TTIFFEnv& Env, uint16_t Tag);

// Writes the bitmap as one page in the "II" byte order; every offset is a
// position in the stream. Without Append a new TIFF starts at the stream's
// position (result 1). With Append the stream holds an "II" TIFF from
// position 0: the page goes to the end and is linked into the chain at
// TIFF_ImageIndex (result: the page count afterwards; 0 when the file
// cannot take it). The depth, photometric and compression chosen are left
// in the parameters. A short write sets the abort flag.
int32_t TIFFWriteStream(TStream* Stream, bool Append, TIEBitmap* Bitmap, TIOParamsVals& Params,
                        TProgressRec& Progress);
