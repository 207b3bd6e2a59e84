// What the TIFF reader's files share: the working record of one read and
// the steps that decode a page into the bitmap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/core/iedefs.h"
#include "imaging/io/ielzwhooks.h"
#include "imaging/io/tiffilt.h"

class TIEBitmap;
class TIEMask;
class TIOParamsVals;

// Tags of the page directory.
enum : uint16_t {
  kTagImageWidth = 256,
  kTagImageLength = 257,
  kTagBitsPerSample = 258,
  kTagCompression = 259,
  kTagPhotometric = 262,
  kTagFillOrder = 266,
  kTagDocumentName = 269,
  kTagImageDescription = 270,
  kTagStripOffsets = 273,
  kTagOrientation = 274,
  kTagSamplesPerPixel = 277,
  kTagRowsPerStrip = 278,
  kTagStripByteCounts = 279,
  kTagXResolution = 282,
  kTagYResolution = 283,
  kTagPlanarConfig = 284,
  kTagPageName = 285,
  kTagXPosition = 286,
  kTagYPosition = 287,
  kTagT4Options = 292,
  kTagResolutionUnit = 296,
  kTagPageNumber = 297,
  kTagSoftware = 305,
  kTagPredictor = 317,
  kTagColorMap = 320,
  kTagTileWidth = 322,
  kTagTileLength = 323,
  kTagTileOffsets = 324,
  kTagTileByteCounts = 325,
  kTagExtraSamples = 338,
  kTagJPEGProc = 512,
  kTagJPEGInterchange = 513,
  kTagJPEGInterchangeLength = 514,
  kTagExifIFD = 34665,
};

// Compression codes.
enum : int32_t {
  kTiffNone = 1,
  kTiffCCITT1D = 2,
  kTiffG3 = 3,
  kTiffG4 = 4,
  kTiffLZW = 5,
  kTiffOldJpeg = 6,
  kTiffJpeg = 7,
  kTiffPackBits = 32773,
};

// The working record of one read.
struct TTIFFVars {
  int64_t ImageWidth = 0;
  int64_t ImageLength = 0;
  int32_t SamplesPerPixel = 1;
  int32_t BitsPerSample = 1;
  int64_t RowsPerStrip = 0;
  int64_t TileWidth = -1;
  int64_t TileLength = -1;
  int32_t Photometric = 2;
  int32_t PlanarConfig = 1;
  int32_t Orientation = 1;
  int32_t Compression = 1;
  int32_t Predictor = 1;
  int32_t T4Options = 0;
  int32_t FillOrder = 1;
  int64_t JpegOffset = 0;
  int64_t JpegLength = 0;
  int32_t JpegProc = 0;
  int32_t ExtraSamples = 0;
  std::string Software;
  bool Intel = true;
  // The offsets tag exists but its values are not in the stream.
  bool BadOffsets = false;
  std::vector<int32_t> StripOffsets, StripByteCounts, TileOffsets, TileByteCounts;
  std::vector<TRGB> ColorMap;
  TTIFFLZWDecompFunc LZW = nullptr;
  TIEMask* Mask = nullptr;
  bool NoMask = false;
};

enum class TTIFFHeader { Bad, NoDirectory, Ok };
// Reads the header at headerPos and walks the directory chain with offsets
// from base; pages gets the chain's length, and directory index (none when
// negative) is loaded into env.
TTIFFHeader IETIFFWalk(TStream* stream, int64_t headerPos, int64_t base, int32_t index,
                       TTIFFEnv& env, int32_t& pages, bool& loaded);
// Loads the directory at offset with the page's byte order and base.
bool IETIFFLoadDirectoryAt(const TTIFFEnv& page, uint32_t offset, TTIFFEnv& env);
// Reads the page's tags into vars; false when the bits per sample differ.
bool IETIFFReadVars(const TTIFFEnv& env, TTIFFVars& vars);
// Fills the parameters' EXIF values from the page and its EXIF directory.
void IETIFFReadExif(const TTIFFEnv& page, TIOParamsVals& params);

// A row's bytes in the file: ceil(samples x width x bits / 8).
int64_t IETIFFRowBytes(const TTIFFVars& vars, int64_t width, int32_t samples);
// True when the pixel conversion has a case for the page.
bool IETIFFDecodable(const TTIFFVars& vars);
// Decodes strips or tiles into the allocated (zeroed) bitmap; false (abort)
// for bad data, a page with neither strips nor tiles, and a page no case
// decodes. Rows the blocks do not reach stay zero.
bool IETIFFDecodeBlocks(TStream* stream, int64_t base, TIEBitmap* bitmap, TTIFFVars& vars,
                        TProgressRec& progress);
// Converts one decoded (unpacked) row into the bitmap row y from column x0
// on, count pixels.
void IETIFFConvertRow(const uint8_t* row, TIEBitmap* bitmap, const TTIFFVars& vars, int64_t y,
                      int64_t x0, int64_t count);
// Turns the bitmap (and mask) as the Orientation tag says.
void IETIFFApplyOrientation(TIEBitmap* bitmap, TIEMask* mask, int32_t orientation);
