// TIOParamsVals: everything that describes one picture file apart from its
// pixels. Readers fill it while loading, writers take their options from
// it, the dialogs show and edit it; it copies itself and writes and reads
// itself as a versioned parameter stream.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "imaging/core/iedefs.h"
#include "imaging/core/iemetadata.h"
#include "imaging/io/ielzwhooks.h"
#include "platform/classes.h"

class TPixIO;
class TIEBitmap;

enum TIOTIFFCompression : uint8_t {
  ioTIFF_UNCOMPRESSED,
  ioTIFF_CCITT1D,
  ioTIFF_G3FAX1D,
  ioTIFF_G3FAX2D,
  ioTIFF_G4FAX,
  ioTIFF_LZW,
  ioTIFF_OLDJPEG,
  ioTIFF_JPEG,
  ioTIFF_PACKBITS,
  ioTIFF_UNKNOWN
};
enum TIOTIFFPhotometInterpret : uint8_t {
  ioTIFF_WHITEISZERO,
  ioTIFF_BLACKISZERO,
  ioTIFF_RGB,
  ioTIFF_RGBPALETTE,
  ioTIFF_TRANSPMASK,
  ioTIFF_CMYK,
  ioTIFF_YCBCR,
  ioTIFF_CIELAB
};
enum TIOJPEGColorspace : uint8_t { ioJPEG_RGB, ioJPEG_GRAYLEV, ioJPEG_YCbCr, ioJPEG_CMYK, ioJPEG_YCbCrK };
enum TIOJPEGDctMethod : uint8_t { ioJPEG_ISLOW, ioJPEG_IFAST, ioJPEG_FLOAT };
enum TIOJPEGScale : uint8_t { ioJPEG_AUTOCALC, ioJPEG_FULLSIZE, ioJPEG_HALF, ioJPEG_QUARTER, ioJPEG_EIGHTH };
enum TIOJ2000ColorSpace : uint8_t { ioJ2000_GRAYLEV, ioJ2000_RGB, ioJ2000_YCbCr };
enum TIOJ2000ScalableBy : uint8_t { ioJ2000_Rate, ioJ2000_Resolution };
enum TIOPCXCompression : uint8_t { ioPCX_UNCOMPRESSED, ioPCX_RLE };
enum TIOBMPVersion : uint8_t { ioBMP_BM, ioBMP_BM3, ioBMP_BMOS2V1, ioBMP_BMOS2V2 };
enum TIOBMPCompression : uint8_t { ioBMP_UNCOMPRESSED, ioBMP_RLE };
enum TIOPNGFilter : uint8_t { ioPNG_FILTER_NONE, ioPNG_FILTER_SUB, ioPNG_FILTER_PAETH };

// Version that SaveToStream writes; LoadFromStream reads 0 to this one and
// reads a newer one as this one.
constexpr int32_t IEParamsStreamVersion = 9;

// The copyable fields, kept in plain records so that copying and resetting
// them is one assignment that cannot miss a field.
struct TIOParamsFields {
  int32_t BitsPerSample = 8;
  int32_t SamplesPerPixel = 3;
  // The depth the last read found in its file (0: no read since the
  // defaults); writers tell a depth merely left by a read from one set on
  // purpose with it (imaging/io/iewritedepth.h).
  int32_t ReadBitsPerSample = 0;
  int32_t ReadSamplesPerPixel = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t DPIX = 0;
  int32_t DPIY = 0;
  int32_t FileType = 0;  // TIEFileType

  TIOTIFFCompression TIFF_Compression = ioTIFF_UNCOMPRESSED;
  int32_t TIFF_ImageIndex = 0;
  TIOTIFFPhotometInterpret TIFF_PhotometInterpret = ioTIFF_RGB;
  int32_t TIFF_PlanarConfig = 1;
  int32_t TIFF_XPosition = 0;
  int32_t TIFF_YPosition = 0;
  std::string TIFF_DocumentName;
  std::string TIFF_ImageDescription;
  std::string TIFF_PageName;
  int32_t TIFF_PageNumber = 0;
  int32_t TIFF_PageCount = 0;
  int32_t TIFF_Orientation = 1;
  TTIFFLZWDecompFunc TIFF_LZWDecompress = nullptr;
  TTIFFLZWCompFunc TIFF_LZWCompress = nullptr;
  bool TIFF_ApplyOrientation = true;

  std::string GIF_Version = "GIF89a";
  int32_t GIF_ImageIndex = 0;
  int32_t GIF_Left = 0;
  int32_t GIF_Top = 0;
  int32_t GIF_DelayTime = 0;
  bool GIF_TransparentFlag = false;
  TRGB GIF_TransparentColor{0, 0, 0};
  bool GIF_Interlaced = false;
  int32_t GIF_ScreenWidth = 0;
  int32_t GIF_ScreenHeight = 0;
  TRGB GIF_Background{0, 0, 0};
  int32_t GIF_AspectRatio = 0;
  TGIFLZWDecompFunc GIF_LZWDecompress = nullptr;
  TGIFLZWCompFunc GIF_LZWCompress = nullptr;

  TIOJPEGColorspace JPEG_Colorspace = ioJPEG_YCbCr;
  // The colour space the last JPEG read left in JPEG_Colorspace; the writer
  // keeps a colour picture in colour when a grey space is only left over.
  std::optional<TIOJPEGColorspace> ReadJPEG_Colorspace;
  int32_t JPEG_Quality = 50;
  TIOJPEGDctMethod JPEG_DctMethod = ioJPEG_ISLOW;
  bool JPEG_OptimalHuffman = false;
  int32_t JPEG_Smoothing = 0;
  bool JPEG_Progressive = false;
  TIOJPEGScale JPEG_Scale = ioJPEG_FULLSIZE;
  int32_t JPEG_ScaleDenominator = 1;
  int32_t JPEG_OriginalWidth = 0;
  int32_t JPEG_OriginalHeight = 0;

  TIOJ2000ColorSpace J2000_ColorSpace = ioJ2000_RGB;
  double J2000_Rate = 1.0;
  TIOJ2000ScalableBy J2000_ScalableBy = ioJ2000_Rate;

  int32_t PCX_Version = 5;
  TIOPCXCompression PCX_Compression = ioPCX_RLE;

  TIOBMPVersion BMP_Version = ioBMP_BM3;
  TIOBMPCompression BMP_Compression = ioBMP_UNCOMPRESSED;

  int32_t ICO_ImageIndex = 0;
  TRGB ICO_Background{255, 255, 255};
  int32_t CUR_ImageIndex = 0;
  int32_t CUR_HotSpotX = 0;
  int32_t CUR_HotSpotY = 0;
  TRGB CUR_Background{255, 255, 255};

  bool PNG_Interlaced = false;
  TRGB PNG_Background{0, 0, 0};
  TIOPNGFilter PNG_Filter = ioPNG_FILTER_NONE;
  int32_t PNG_Compression = 5;

  int32_t TGA_XOrigin = 0;
  int32_t TGA_YOrigin = 0;
  bool TGA_Compressed = true;
  std::string TGA_ImageID;
  std::string TGA_AuthorName;
  TDateTime TGA_DateTime = 0;
  std::string TGA_JobName;
  TRGB TGA_Background{0, 0, 0};
  double TGA_AspectRatio = 1.0;
  double TGA_Gamma = 2.2;
  bool TGA_GrayLevel = false;

  int32_t AVI_FrameCount = 0;
  int32_t AVI_FrameDelay = 0;

  std::string FileName;
  int32_t GIF_ImageCount = 0;
  int32_t TIFF_ImageCount = 0;
};

// The EXIF values of the last JPEG or TIFF read, all zero or "" when reset.
struct TIEEXIFValues {
  bool EXIF_HasData = false;
  std::string EXIF_ImageDescription;
  std::string EXIF_Make;
  std::string EXIF_Model;
  int32_t EXIF_Orientation = 0;
  double EXIF_XResolution = 0;
  double EXIF_YResolution = 0;
  int32_t EXIF_ResolutionUnit = 0;  // 3: centimetres
  std::string EXIF_Software;
  std::string EXIF_DateTime;
  std::array<double, 2> EXIF_WhitePoint{};
  std::array<double, 6> EXIF_PrimaryChromaticities{};
  std::array<double, 3> EXIF_YCbCrCoefficients{};
  int32_t EXIF_YCbCrPositioning = 0;
  std::array<double, 6> EXIF_ReferenceBlackWhite{};
  std::string EXIF_Copyright;
  double EXIF_ExposureTime = 0;
  double EXIF_FNumber = 0;
  int32_t EXIF_ExposureProgram = 0;
  std::array<int32_t, 2> EXIF_ISOSpeedRatings{};
  std::string EXIF_ExifVersion;
  std::string EXIF_DateTimeOriginal;
  std::string EXIF_DateTimeDigitized;
  double EXIF_CompressedBitsPerPixel = 0;
  double EXIF_ShutterSpeedValue = 0;
  double EXIF_ApertureValue = 0;
  double EXIF_BrightnessValue = 0;
  double EXIF_ExposureBiasValue = 0;
  double EXIF_MaxApertureValue = 0;
  double EXIF_SubjectDistance = 0;
  int32_t EXIF_MeteringMode = 0;
  int32_t EXIF_LightSource = 0;
  int32_t EXIF_Flash = 0;
  double EXIF_FocalLength = 0;
  std::string EXIF_SubsecTime;
  std::string EXIF_SubsecTimeOriginal;
  std::string EXIF_SubsecTimeDigitized;
  std::string EXIF_FlashPixVersion;
  int32_t EXIF_ColorSpace = 0;
  int32_t EXIF_ExifImageWidth = 0;
  int32_t EXIF_ExifImageHeight = 0;
  std::string EXIF_RelatedSoundFile;
  double EXIF_FocalPlaneXResolution = 0;
  double EXIF_FocalPlaneYResolution = 0;
  int32_t EXIF_FocalPlaneResolutionUnit = 0;
  double EXIF_ExposureIndex = 0;
  int32_t EXIF_SensingMethod = 0;
  int32_t EXIF_FileSource = 0;
  int32_t EXIF_SceneType = 0;
  std::string EXIF_UserComment;
  std::string EXIF_UserCommentCode;
};

class TIOParamsVals : public TObject, public TIOParamsFields, public TIEEXIFValues {
 public:
  explicit TIOParamsVals(TPixIO* owner);
  ~TIOParamsVals() override;
  TIOParamsVals(const TIOParamsVals&) = delete;
  TIOParamsVals& operator=(const TIOParamsVals&) = delete;

  void SetDefaultParams();
  // Called at the start of every load: clears the metadata lists, the EXIF
  // values and the text tags; everything else keeps the previous picture's
  // values until the reader overwrites them.
  void ResetInfo();
  void ResetEXIF();
  // Deep copy of every field but OwnerIO and the JPEG warning fields; the
  // thumbnail is copied only when the source has one.
  void Assign(TIOParamsVals* source);

  // The parameter stream. Loading checks every count and length against
  // the bytes the stream holds and raises EReadError when they do not fit;
  // this object is unchanged then.
  void SaveToStream(TStream* stream);
  void LoadFromStream(TStream* stream);
  void SaveToFile(const std::string& name);
  void LoadFromFile(const std::string& name);

  // Display text of FileType: "JPEG Bitmap (JPG) YCbCr"; "" when the
  // registry does not know the type.
  std::string GetFileTypeStr() const;

  // Replaces the palette with a copy of count entries (nil or 0: none).
  void SetColorMap(const TRGB* colors, int32_t count);

  int32_t GetEXIF_ISOSpeedRatings(int i) const { return EXIF_ISOSpeedRatings[i]; }
  void SetEXIF_ISOSpeedRatings(int i, int32_t v) { EXIF_ISOSpeedRatings[i] = v; }
  double GetEXIF_ReferenceBlackWhite(int i) const { return EXIF_ReferenceBlackWhite[i]; }
  void SetEXIF_ReferenceBlackWhite(int i, double v) { EXIF_ReferenceBlackWhite[i] = v; }
  double GetEXIF_WhitePoint(int i) const { return EXIF_WhitePoint[i]; }
  void SetEXIF_WhitePoint(int i, double v) { EXIF_WhitePoint[i] = v; }
  double GetEXIF_PrimaryChromaticities(int i) const { return EXIF_PrimaryChromaticities[i]; }
  void SetEXIF_PrimaryChromaticities(int i, double v) { EXIF_PrimaryChromaticities[i] = v; }
  double GetEXIF_YCbCrCoefficients(int i) const { return EXIF_YCbCrCoefficients[i]; }
  void SetEXIF_YCbCrCoefficients(int i, double v) { EXIF_YCbCrCoefficients[i] = v; }

  TPixIO* OwnerIO = nullptr;
  TStringList* GIF_Comments = nullptr;       // owned
  TIEMarkerList* JPEG_MarkerList = nullptr;  // owned
  int32_t JPEG_WarningCount = 0;             // decoder warnings of the last read
  int32_t JPEG_WarningCode = 0;
  TIEIPTCInfoList* IPTC_InfoList = nullptr;  // owned
  TStringList* PXM_Comments = nullptr;       // owned
  TIEBitmap* EXIF_Thumbnail = nullptr;       // owned; nil when there is none
  TRGB* ColorMap = nullptr;                  // owned (new[]); set through SetColorMap
  int32_t ColorMapCount = 0;

 private:
  void FreeColorMap();
};

// What SetDefaultParams takes from the owning component: the size of the
// platform bitmap it wraps and the resolution of its attached view. The
// I/O front end installs it; while it is nil the four fields keep their
// values.
using TIEOwnerDefaultsFunc = void (*)(TPixIO* owner, TIOParamsVals& params);
extern TIEOwnerDefaultsFunc IEOwnerDefaults;
