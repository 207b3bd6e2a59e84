#include "imaging/io/ieexif.h"

#include <cstring>

#include "imaging/core/iebitmap.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/tiffilt.h"
#include "platform/classes.h"

bool LoadEXIFFromStandardBuffer(const void* Buffer, int64_t Length, TIOParamsVals& Params) {
  const auto* bytes = static_cast<const uint8_t*>(Buffer);
  if (!bytes || Length < 6 || std::memcmp(bytes, "Exif\0", 5) != 0) return false;
  TMemoryStream stream;
  stream.WriteBuffer(bytes + 6, Length - 6);
  stream.SetPosition(0);
  TIOParamsVals values(Params.OwnerIO);
  TProgressRec progress;
  bool aborting = false;
  progress.Aborting = &aborting;
  if (!Params.EXIF_Thumbnail) Params.EXIF_Thumbnail = new TIEBitmap;
  TIEMask* mask = nullptr;
  int32_t pages = 0;

  // The first directory carries only values; nothing of it is decoded.
  TIFFReadStream(Params.EXIF_Thumbnail, &stream, pages, &values, progress, true, mask, true, true);
  static_cast<TIEEXIFValues&>(Params) = values;
  Params.EXIF_ImageDescription = values.TIFF_ImageDescription;
  Params.EXIF_HasData = true;

  // The second directory is the thumbnail.
  values.TIFF_ImageIndex = 1;
  aborting = false;
  stream.SetPosition(0);
  TIFFReadStream(Params.EXIF_Thumbnail, &stream, pages, &values, progress, false, mask, true, true);
  return true;
}
