// The field image: a picture kept in a BLOB field is one whole picture file
// from its first byte, recognised by content. JPEG, PCX and TIFF may carry
// the 12-byte stream header in front (ieformats.h); nothing else is added.
// Pictures that the framework stored from a picture object into a graphic
// field start with an 8-byte graphic-field header before a BMP file.
#pragma once

#include <cstdint>

#include "imaging/io/ieformats.h"

class TPixIO;
class TStream;

enum TDataFieldImageFormat { ifBitmap, ifJpeg, ifGif, ifPCX, ifTIFF, ifPNG, ifTGA, ifPXM, ifUnknown };

// The field format of a file type code. The report reads the six formats up
// to PNG; the on-screen view also reads TGA and PXM (withTgaPxm).
TDataFieldImageFormat IEFieldImageFormat(TIEFileType code, bool withTgaPxm);
// The file type code of a field format; ieftUnknown for ifUnknown.
TIEFileType IEFieldImageFileType(TDataFieldImageFormat format);

// Decodes the picture at the stream's position with the loader of that
// format; ifUnknown decodes nothing and answers false.
bool IELoadFieldImage(TPixIO* io, TStream* stream, TDataFieldImageFormat format);
// Encodes the picture into the stream with the writer of that format;
// false (and nothing to rely on in the stream) when the format has no
// writer or the writer failed.
bool IESaveFieldImage(TPixIO* io, TStream* stream, TDataFieldImageFormat format);

// When the stream at its position holds the graphic-field header (16-bit
// count 1, 16-bit type 0x0100, 32-bit size), skips it and answers true;
// otherwise leaves the position as it was.
bool IESkipGraphicFieldHeader(TStream* stream);
