// TIFF reader: the page's tags, the parameters they give, and the steps
// from the directory to the decoded picture.
#include <algorithm>
#include <cmath>
#include <memory>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ieview.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/jpegfilt.h"
#include "imaging/io/tiffilt.h"
#include "imaging/io/tiffreadvars.h"
#include "platform/classes.h"

namespace {

TIOTIFFCompression CompressionParam(const TTIFFVars& v) {
  switch (v.Compression) {
    case kTiffNone: return ioTIFF_UNCOMPRESSED;
    case kTiffCCITT1D: return ioTIFF_CCITT1D;
    case kTiffG3: return (v.T4Options & 1) ? ioTIFF_G3FAX2D : ioTIFF_G3FAX1D;
    case kTiffG4: return ioTIFF_G4FAX;
    case kTiffLZW: return ioTIFF_LZW;
    case kTiffOldJpeg: return ioTIFF_OLDJPEG;
    case kTiffJpeg: return ioTIFF_JPEG;
    case kTiffPackBits: return ioTIFF_PACKBITS;
    default: return ioTIFF_UNKNOWN;
  }
}

// A resolution or position in the file's unit, per inch.
int32_t PerInch(double value, double factor) {
  const double v = std::trunc(value * factor);
  return v >= INT32_MAX ? INT32_MAX : v <= INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

void FillParams(const TTIFFEnv& env, const TTIFFVars& v, int32_t pages, TIOParamsVals& p) {
  p.BitsPerSample = v.BitsPerSample;
  p.SamplesPerPixel = v.SamplesPerPixel;
  p.Width = static_cast<int32_t>(std::min<int64_t>(v.ImageWidth, INT32_MAX));
  p.Height = static_cast<int32_t>(std::min<int64_t>(v.ImageLength, INT32_MAX));
  p.TIFF_ImageCount = pages;
  p.TIFF_Orientation = v.Orientation;
  p.TIFF_PlanarConfig = v.PlanarConfig;
  p.TIFF_DocumentName = TIFFReadString(env, kTagDocumentName);
  p.TIFF_ImageDescription = TIFFReadString(env, kTagImageDescription);
  p.TIFF_PageName = TIFFReadString(env, kTagPageName);
  p.TIFF_PageNumber = TIFFReadIndexValN(env, kTagPageNumber, 0);
  p.TIFF_PageCount = TIFFReadIndexValN(env, kTagPageNumber, 1);
  p.TIFF_Compression = CompressionParam(v);
  if (v.Photometric >= 0 && v.Photometric <= 6)
    p.TIFF_PhotometInterpret = static_cast<TIOTIFFPhotometInterpret>(v.Photometric);
  else if (v.Photometric == 8)
    p.TIFF_PhotometInterpret = ioTIFF_CIELAB;

  const double factor = TIFFReadSingleValDef(env, kTagResolutionUnit, 2) == 3 ? 2.54 : 1;
  p.DPIX = PerInch(TIFFReadSingleRational(env, kTagXResolution), factor);
  p.DPIY = PerInch(TIFFReadSingleRational(env, kTagYResolution), factor);
  if (p.DPIX == 0) p.DPIX = gSystemDPIX;
  if (p.DPIY == 0) p.DPIY = gSystemDPIY;
  p.TIFF_XPosition = PerInch(TIFFReadSingleRational(env, kTagXPosition), factor);
  p.TIFF_YPosition = PerInch(TIFFReadSingleRational(env, kTagYPosition), factor);
  p.SetColorMap(v.ColorMap.empty() ? nullptr : v.ColorMap.data(),
                static_cast<int32_t>(v.ColorMap.size()));
  IETIFFReadExif(env, p);
  IENoteReadDepth(p);
}

bool NeedsMask(const TTIFFVars& v) {
  return (v.SamplesPerPixel == 4 && v.ExtraSamples == 2) ||
         (v.SamplesPerPixel == 2 && v.BitsPerSample == 8) ||
         (v.SamplesPerPixel == 4 && v.Photometric == 2);
}

// Old-style JPEG: the interchange stream the page points at, read by the
// JPEG reader with parameters of its own.
void ReadOldJpeg(TStream* stream, int64_t base, TIEBitmap* bitmap, const TTIFFVars& v,
                 TIOParamsVals* params, TProgressRec& progress) {
  const int64_t start = base + v.JpegOffset;
  const int64_t left = stream->GetSize() - start;
  if (start < 0 || left <= 0) return IESetAbort(progress);
  const int64_t length = v.JpegLength > 0 ? std::min(v.JpegLength, left) : left;
  TMemoryStream jpeg;
  stream->SetPosition(start);
  jpeg.CopyFrom(stream, length);
  jpeg.SetPosition(0);
  TIOParamsVals own(params ? params->OwnerIO : nullptr);
  ReadJPegStream(&jpeg, bitmap, own, progress, false);
}

// Largest decoded size that the page's coded bytes can give: a bound that
// keeps damaged sizes from allocating memory no data could fill.
int64_t MostDecodedBytes(TStream* stream, int64_t base, const TTIFFVars& v) {
  const bool tiled = v.TileWidth > 0 || v.TileLength > 0;
  const auto& offsets = tiled && !v.TileOffsets.empty() ? v.TileOffsets : v.StripOffsets;
  const auto& counts = tiled && !v.TileOffsets.empty() ? v.TileByteCounts : v.StripByteCounts;
  const int64_t size = stream->GetSize();
  int64_t coded = 0;
  for (size_t i = 0; i < offsets.size(); ++i) {
    const int64_t at = base + static_cast<uint32_t>(offsets[i]);
    const int64_t left = std::max<int64_t>(0, size - at);
    const int64_t count = i < counts.size() && counts[i] != 0 ? static_cast<uint32_t>(counts[i]) : left;
    coded = std::min(size, coded + std::min(count, left));
  }
  switch (v.Compression) {
    case kTiffNone: return coded;
    case kTiffPackBits: return IEMulSat(coded, 64);  // 2 bytes give at most 128
    case kTiffLZW: return IEMulSat(coded, 3641);     // 9 bits give at most 4094 bytes
    case kTiffCCITT1D:
    case kTiffG3:
    case kTiffG4:  // one bit may code a whole row
      return IEMulSat(IEMulSat(coded, 8), IETIFFRowBytes(v, v.ImageWidth, 1));
    default: return IEMulSat(coded, 1032);
  }
}

void ApplyOrientation(TIEBitmap* bitmap, const TTIFFVars& v, const TIOParamsVals* params) {
  if (params && params->TIFF_ApplyOrientation && v.Orientation != 1)
    IETIFFApplyOrientation(bitmap, v.NoMask ? nullptr : v.Mask, v.Orientation);
}

}  // namespace

void TIFFReadStream(TIEBitmap* Bitmap, TStream* Stream, int32_t& PageCount, TIOParamsVals* Params,
                    TProgressRec& Progress, bool Preview, TIEMask*& Mask, bool Base, bool NoMask) {
  PageCount = 0;
  const int64_t start = Stream->GetPosition();
  const int64_t base = Base ? start : 0;
  TTIFFEnv env;
  bool loaded = false;
  const TTIFFHeader header =
      IETIFFWalk(Stream, start, base, Params ? Params->TIFF_ImageIndex : -1, env, PageCount, loaded);
  if (header == TTIFFHeader::Bad) return IESetAbort(Progress);
  // A first directory that is not in the stream: no picture at all.
  if (header == TTIFFHeader::Ok && PageCount == 0) return IESetAbort(Progress);
  if (!loaded || !Params) return;

  TTIFFVars v;
  v.NoMask = NoMask;
  v.Mask = Mask;
  if (!IETIFFReadVars(env, v)) return IESetAbort(Progress);
  if (v.Compression == kTiffLZW) {
    v.LZW = Params->TIFF_LZWDecompress ? Params->TIFF_LZWDecompress : DefTIFF_LZWDECOMPFUNC;
    if (!v.LZW) return IESetAbort(Progress);
  }
  FillParams(env, v, PageCount, *Params);
  if (Preview || !Bitmap) return;

  const bool oldJpeg = v.Compression == kTiffOldJpeg && v.JpegProc == 0;
  if (!oldJpeg && (v.ImageWidth <= 0 || v.ImageLength <= 0)) return IESetAbort(Progress);
  if (v.BadOffsets) return IESetAbort(Progress);
  const bool bilevel = v.SamplesPerPixel == 1 && v.BitsPerSample == 1 && v.Photometric != 3;
  const TIEPixelFormat format = bilevel ? ie1g : ie24RGB;
  const int64_t pictureBytes =
      IEMulSat(IEMulSat(v.ImageWidth, v.ImageLength), bilevel ? 1 : 3) / (bilevel ? 8 : 1);
  const int64_t neededBytes = IEMulSat(IETIFFRowBytes(v, v.ImageWidth, 1), v.ImageLength);
  const bool sizeFits = v.ImageWidth > 0 && v.ImageLength > 0 &&
                        IEDataCoversPicture(pictureBytes, neededBytes,
                                            MostDecodedBytes(Stream, base, v),
                                            IETIFFRowBytes(v, v.ImageWidth, 1));
  if (!oldJpeg && !sizeFits) return IESetAbort(Progress);

  if (!NoMask && NeedsMask(v) && sizeFits) {
    if (!Mask) Mask = new TIEMask;
    Mask->AllocateBits(static_cast<int32_t>(v.ImageWidth), static_cast<int32_t>(v.ImageLength), 8);
    Mask->Fill(255);
    v.Mask = Mask;
  }
  if (oldJpeg) {
    ReadOldJpeg(Stream, base, Bitmap, v, Params, Progress);
    if (!IEAborted(Progress)) ApplyOrientation(Bitmap, v, Params);
    return;
  }
  if (!IEAllocateBitmap(Bitmap, v.ImageWidth, v.ImageLength, format)) return IESetAbort(Progress);
  IEProgressStart(Progress, v.ImageLength);
  if (!IETIFFDecodeBlocks(Stream, base, Bitmap, v, Progress)) return IESetAbort(Progress);
  if (!IEAborted(Progress)) ApplyOrientation(Bitmap, v, Params);
}

int32_t EnumTIFFImStream(TStream* Stream) {
  int32_t pages = 0;
  TProgressRec progress;
  bool aborting = false;
  progress.Aborting = &aborting;
  TIEMask* mask = nullptr;
  TIFFReadStream(nullptr, Stream, pages, nullptr, progress, true, mask, true, true);
  return pages;
}
