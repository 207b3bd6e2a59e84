#include "imaging/io/ioparams.h"

#include <algorithm>

#include "imaging/core/iebitmap.h"
#include "imaging/io/ieformats.h"

TIEOwnerDefaultsFunc IEOwnerDefaults = nullptr;

TIOParamsVals::TIOParamsVals(TPixIO* owner) : OwnerIO(owner) {
  JPEG_MarkerList = new TIEMarkerList;
  IPTC_InfoList = new TIEIPTCInfoList;
  PXM_Comments = new TStringList;
  GIF_Comments = new TStringList;
  SetDefaultParams();
}

TIOParamsVals::~TIOParamsVals() {
  delete EXIF_Thumbnail;
  FreeColorMap();
  delete JPEG_MarkerList;
  delete IPTC_InfoList;
  delete PXM_Comments;
  delete GIF_Comments;
}

void TIOParamsVals::FreeColorMap() {
  delete[] ColorMap;
  ColorMap = nullptr;
  ColorMapCount = 0;
}

void TIOParamsVals::SetColorMap(const TRGB* colors, int32_t count) {
  FreeColorMap();
  if (!colors || count <= 0) return;
  ColorMap = new TRGB[count];
  std::copy(colors, colors + count, ColorMap);
  ColorMapCount = count;
}

void TIOParamsVals::SetDefaultParams() {
  FreeColorMap();
  // Size and resolution come from the owner, or stay as they are.
  const int32_t width = Width, height = Height, dpiX = DPIX, dpiY = DPIY;
  static_cast<TIOParamsFields&>(*this) = TIOParamsFields{};
  Width = width;
  Height = height;
  DPIX = dpiX;
  DPIY = dpiY;
  if (OwnerIO && IEOwnerDefaults) IEOwnerDefaults(OwnerIO, *this);
  TGA_DateTime = Date();
  TIFF_LZWDecompress = DefTIFF_LZWDECOMPFUNC;
  TIFF_LZWCompress = DefTIFF_LZWCOMPFUNC;
  GIF_LZWDecompress = DefGIF_LZWDECOMPFUNC;
  GIF_LZWCompress = DefGIF_LZWCOMPFUNC;
  GIF_Comments->Clear();
  JPEG_MarkerList->Clear();
  IPTC_InfoList->Clear();
  PXM_Comments->Clear();
  ResetEXIF();
}

void TIOParamsVals::ResetInfo() {
  IPTC_InfoList->Clear();
  JPEG_MarkerList->Clear();
  ResetEXIF();
  GIF_Comments->Clear();
  PXM_Comments->Clear();
  TIFF_DocumentName.clear();
  TIFF_ImageDescription.clear();
  TIFF_PageName.clear();
  TGA_ImageID.clear();
  TGA_AuthorName.clear();
  TGA_JobName.clear();
}

void TIOParamsVals::ResetEXIF() {
  static_cast<TIEEXIFValues&>(*this) = TIEEXIFValues{};
  delete EXIF_Thumbnail;
  EXIF_Thumbnail = nullptr;
}

void TIOParamsVals::Assign(TIOParamsVals* source) {
  if (!source || source == this) return;
  static_cast<TIOParamsFields&>(*this) = *source;
  static_cast<TIEEXIFValues&>(*this) = *source;
  SetColorMap(source->ColorMap, source->ColorMapCount);
  JPEG_MarkerList->Assign(source->JPEG_MarkerList);
  IPTC_InfoList->Assign(source->IPTC_InfoList);
  GIF_Comments->Assign(source->GIF_Comments);
  PXM_Comments->Assign(source->PXM_Comments);
  if (source->EXIF_Thumbnail) {
    if (!EXIF_Thumbnail) EXIF_Thumbnail = new TIEBitmap;
    EXIF_Thumbnail->Assign(source->EXIF_Thumbnail);
  }
}

namespace {

// The suffix naming the variant; "" for a value outside the table.
std::string Suffix(std::initializer_list<const char*> names, int index) {
  return index >= 0 && index < static_cast<int>(names.size()) ? names.begin()[index] : "";
}

}  // namespace

std::string TIOParamsVals::GetFileTypeStr() const {
  std::string text;
  if (PIEFileFormatInfo entry = IEFileFormatGetInfo(FileType))
    text = entry->FullName + " (" + UpperCase(IEFileFormatGetExt(FileType, 0)) + ")";
  switch (FileType) {
    case ieftTIFF:
      return text + Suffix({" Uncompressed", " Huffman", " Group 3 Fax", " Group 3 Fax 2D",
                            " Group 4 Fax", " LZW", " Jpeg v.5", " Jpeg", " PackBits RLE"},
                           TIFF_Compression);
    case ieftGIF:
      return text + (GIF_Interlaced ? " Interlaced" : "");
    case ieftJPEG:
      return text + Suffix({"", " Gray level", " YCbCr", " CMYK", " YCbCrK"}, JPEG_Colorspace);
    case ieftPCX:
      return text + (PCX_Compression == ioPCX_UNCOMPRESSED ? " Uncompressed" : "");
    case ieftBMP:
      return text + Suffix({" ver.1", " ver.3", " OS/2 v.1", " OS/2 v.2"}, BMP_Version);
    case ieftPNG:
      return text + (PNG_Interlaced ? " Interlaced" : "");
    case ieftTGA:
      return text + (TGA_Compressed ? " Compressed" : " Uncompressed");
    case ieftJP2:
    case ieftJ2K:
      return text + Suffix({" Gray level", " RGB", " YCbCr"}, J2000_ColorSpace);
    default:
      return text;
  }
}
