// The registry of picture file formats (code, display name, extensions and
// the read, write and content-test functions of each), content sniffing of
// streams and files, and the 12-byte stream header that the JPEG, PCX and
// TIFF stream writers can put in front of their data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/core/iedefs.h"
#include "platform/classes.h"

class TIEBitmap;
class TIOParamsVals;

// File type codes; the card program keeps its own table with the same codes.
using TIEFileType = int32_t;
constexpr TIEFileType ieftUnknown = 0;
constexpr TIEFileType ieftTIFF = 1;
constexpr TIEFileType ieftGIF = 2;
constexpr TIEFileType ieftJPEG = 3;
constexpr TIEFileType ieftPCX = 4;
constexpr TIEFileType ieftBMP = 5;
constexpr TIEFileType ieftICO = 6;
constexpr TIEFileType ieftCUR = 7;
constexpr TIEFileType ieftPNG = 8;
constexpr TIEFileType ieftWMF = 9;
constexpr TIEFileType ieftEMF = 10;
constexpr TIEFileType ieftTGA = 11;
constexpr TIEFileType ieftPXM = 12;
constexpr TIEFileType ieftJP2 = 13;
constexpr TIEFileType ieftJ2K = 14;

// Reads the picture at the stream's position; Preview fills the parameters
// only. Bad data sets *Progress.Aborting.
using TIEReadImageStream = void (*)(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                                    TProgressRec& Progress, bool Preview);
using TIEWriteImageStream = void (*)(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                                     TProgressRec& Progress);
// True when the stream, read from its position, holds this format.
using TIETryImageStream = bool (*)(TStream* Stream);

// One registry entry. A nil read or write function: the format cannot be
// read or written. FullName and Extensions keep at most 80 characters.
struct TIEFileFormatInfo {
  TIEFileType FileType = ieftUnknown;
  std::string FullName;
  std::string Extensions;  // without dots, separated by ";": "JPG;JPEG;JPE"
  TIEReadImageStream ReadFunction = nullptr;
  TIEWriteImageStream WriteFunction = nullptr;
  TIETryImageStream TryFunction = nullptr;
};
using PIEFileFormatInfo = TIEFileFormatInfo*;

// The registry, searched in list order. It starts with the 14 built-in
// formats in code order; their functions are placeholders (read and write
// do nothing, the test answers false) that tell the dialogs what each
// format can do. Entries stay valid until the program ends, also after
// IEFileFormatRemove.
std::vector<PIEFileFormatInfo>& iegFileFormats();

// The placeholders of the built-in entries.
void IEPlaceholderRead(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                       TProgressRec& Progress, bool Preview);
void IEPlaceholderWrite(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                        TProgressRec& Progress);
bool IEPlaceholderTry(TStream* Stream);

// First entry with that code; nil when none.
PIEFileFormatInfo IEFileFormatGetInfo(TIEFileType code);
// First entry holding the extension (no dot, any letter case); nil when none.
PIEFileFormatInfo IEFileFormatGetInfo2(const std::string& extension);
int32_t IEFileFormatGetExtCount(TIEFileType code);
// Extension at a zero-based index as stored (upper case, no dot); "" past
// the end or when the code is not registered.
std::string IEFileFormatGetExt(TIEFileType code, int index);
// Appends a copy of the record.
void IEFileFormatAdd(const TIEFileFormatInfo& info);
// Takes the first entry with that code out of the registry.
void IEFileFormatRemove(TIEFileType code);
// The GIF entry reads and writes only while the LZW coders are installed.
void IEUpdateGIFStatus();
// True when the name's extension is registered.
bool IsKnownFormat(const std::string& name);

// The format of the stream's content from its position, 0 when none
// matches. Never raises; the position is the same afterwards.
TIEFileType FindStreamFormat(TStream* stream);
// The format of a file's content; 0 when it cannot be opened or read. With
// checkExtension the name's extension must agree with the content (an icon
// and a cursor are taken for each other, their layouts being the same).
TIEFileType FindFileFormat(const std::string& name, bool checkExtension);

// The 12-byte stream header: a 4-letter magic ("JFIF", "PCX2" or "TIFF"),
// 4 zero bytes and the little-endian int32 length of the data after it.
#pragma pack(push, 1)
struct TStreamJpegHeader {
  char Magic[4];
  uint8_t Zero[4];
  int32_t Length;
};
#pragma pack(pop)
static_assert(sizeof(TStreamJpegHeader) == 12);
using PCXSHead = TStreamJpegHeader;
using TIFFSHead = TStreamJpegHeader;

constexpr const char* IEJpegStreamMagic = "JFIF";
constexpr const char* IEPCXStreamMagic = "PCX2";
constexpr const char* IETIFFStreamMagic = "TIFF";

// Writes the 12 placeholder bytes and returns the position they start at.
int64_t IEBeginStreamHeader(TStream* stream, bool& aborting);
// Writes the header over the placeholder with the length of what followed
// and returns to the end. After an aborted write the placeholder stays zero,
// so no reader takes the partial data for a whole picture; a payload too
// long for the length field aborts the same way.
void IEFinishStreamHeader(TStream* stream, int64_t start, const char* magic, bool& aborting);
// True when the header's magic, read as text up to the first NUL of its
// first five bytes, is exactly magic.
bool IEIsStreamHeader(const TStreamJpegHeader& header, const char* magic);
// Reads 12 bytes from the position: true, with the payload length, when
// they are a header with that magic and a length of 0 or more; otherwise
// the position is restored.
bool IEReadStreamHeader(TStream* stream, const char* magic, int32_t& length);
