#include "imaging/io/ioparams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/io/ieformats.h"
#include "imaging/io/pixio.h"
#include "support/streambytes.h"
#include "support/testenv.h"

namespace {

using cwtest::Bytes;
using cwtest::Fill;
using cwtest::SavedBytes;

// Every streamed field away from its default.
void SetEveryStreamedField(TIOParamsVals& p) {
  p.FileName = "照片.jpg";
  p.FileType = ieftJPEG;
  p.BitsPerSample = 4;
  p.SamplesPerPixel = 1;
  p.Width = 640;
  p.Height = 480;
  p.DPIX = 300;
  p.DPIY = 150;
  const TRGB palette[2] = {{1, 2, 3}, {4, 5, 6}};
  p.SetColorMap(palette, 2);
  p.TIFF_Compression = ioTIFF_PACKBITS;
  p.TIFF_ImageIndex = 2;
  p.TIFF_PhotometInterpret = ioTIFF_CMYK;
  p.TIFF_PlanarConfig = 2;
  p.TIFF_XPosition = 7;
  p.TIFF_YPosition = 8;
  p.TIFF_DocumentName = "doc";
  p.TIFF_ImageDescription = "desc";
  p.TIFF_PageName = "page";
  p.TIFF_PageNumber = 3;
  p.TIFF_PageCount = 9;
  p.TIFF_ImageCount = 9;
  p.TIFF_Orientation = 6;
  p.GIF_Version = "GIF87a";
  p.GIF_ImageIndex = 1;
  p.GIF_Left = 2;
  p.GIF_Top = 3;
  p.GIF_DelayTime = 40;
  p.GIF_TransparentFlag = true;
  p.GIF_TransparentColor = {9, 8, 7};
  p.GIF_Interlaced = true;
  p.GIF_ScreenWidth = 100;
  p.GIF_ScreenHeight = 50;
  p.GIF_Background = {1, 1, 1};
  p.GIF_AspectRatio = 49;
  p.GIF_ImageCount = 4;
  p.GIF_Comments->Add("made here");
  p.JPEG_Colorspace = ioJPEG_GRAYLEV;
  p.JPEG_Quality = 90;
  p.JPEG_DctMethod = ioJPEG_FLOAT;
  p.JPEG_OptimalHuffman = true;
  p.JPEG_Smoothing = 10;
  p.JPEG_Progressive = true;
  p.JPEG_Scale = ioJPEG_QUARTER;
  p.JPEG_MarkerList->AddMarker(0xFE, "note", 4);
  p.JPEG_OriginalWidth = 2560;
  p.JPEG_OriginalHeight = 1920;
  p.J2000_ColorSpace = ioJ2000_YCbCr;
  p.J2000_Rate = 0.25;
  p.J2000_ScalableBy = ioJ2000_Resolution;
  p.PCX_Version = 3;
  p.PCX_Compression = ioPCX_UNCOMPRESSED;
  p.BMP_Version = ioBMP_BMOS2V2;
  p.BMP_Compression = ioBMP_RLE;
  p.ICO_ImageIndex = 2;
  p.ICO_Background = {0, 0, 255};
  p.CUR_ImageIndex = 1;
  p.CUR_HotSpotX = 5;
  p.CUR_HotSpotY = 6;
  p.CUR_Background = {0, 255, 0};
  p.PNG_Interlaced = true;
  p.PNG_Background = {3, 3, 3};
  p.PNG_Filter = ioPNG_FILTER_PAETH;
  p.PNG_Compression = 9;
  p.TGA_XOrigin = 11;
  p.TGA_YOrigin = 12;
  p.TGA_Compressed = false;
  p.TGA_ImageID = "id";
  p.TGA_AuthorName = "作者";
  p.TGA_DateTime = 36526.5;
  p.TGA_JobName = "job";
  p.TGA_Background = {4, 4, 4};
  p.TGA_AspectRatio = 0.5;
  p.TGA_Gamma = 1.8;
  p.TGA_GrayLevel = true;
  p.IPTC_InfoList->AddStringItem(2, 5, "Title");
  p.PXM_Comments->Add("# scanned");
  p.AVI_FrameCount = 25;
  p.AVI_FrameDelay = 40;
}

void Append(Bytes& out, const void* data, size_t n) {
  const auto* p = static_cast<const uint8_t*>(data);
  out.insert(out.end(), p, p + n);
}
void PutInt(Bytes& out, int32_t v) { Append(out, &v, 4); }
void PutByte(Bytes& out, uint8_t v) { out.push_back(v); }
void PutRgb(Bytes& out, uint8_t b, uint8_t g, uint8_t r) { out.insert(out.end(), {b, g, r}); }
void PutStr(Bytes& out, const std::string& s) {
  PutInt(out, static_cast<int32_t>(s.size()));
  Append(out, s.data(), s.size());
}
void PutDouble(Bytes& out, double v) { Append(out, &v, 8); }

// A parameter stream of version 0 to 3, written field by field as those
// versions laid it out.
Bytes OldStream(int32_t version) {
  Bytes out;
  PutInt(out, version);
  PutStr(out, "old.pcx");
  if (version <= 1)
    PutByte(out, ieftPCX);
  else
    PutInt(out, ieftPCX);
  for (int32_t v : {1, 1, 32, 16, 96, 96}) PutInt(out, v);
  PutInt(out, 0);  // no palette
  PutByte(out, ioTIFF_LZW);
  PutInt(out, 0);
  PutByte(out, ioTIFF_RGB);
  for (int32_t v : {1, 0, 0}) PutInt(out, v);
  for (const char* s : {"", "", ""}) PutStr(out, s);
  PutInt(out, 0);
  PutInt(out, 0);
  PutStr(out, "GIF89a");
  for (int32_t v : {0, 0, 0, 0}) PutInt(out, v);
  PutByte(out, 0);
  PutRgb(out, 0, 0, 0);
  PutByte(out, 0);
  PutInt(out, 0);
  PutInt(out, 0);
  PutRgb(out, 0, 0, 0);
  PutInt(out, 0);
  PutByte(out, ioJPEG_YCbCr);
  PutInt(out, 75);
  PutByte(out, ioJPEG_ISLOW);
  PutByte(out, 0);
  PutInt(out, 0);
  PutByte(out, 0);
  if (version >= 1) PutByte(out, ioJPEG_HALF);
  PutInt(out, 5);
  PutByte(out, ioPCX_UNCOMPRESSED);
  PutByte(out, ioBMP_BM3);
  PutByte(out, ioBMP_UNCOMPRESSED);
  if (version >= 1) {
    PutInt(out, 3);
  } else {
    PutInt(out, 77);
    PutInt(out, 77);
  }
  if (version >= 3) PutRgb(out, 10, 20, 30);
  if (version >= 1) {
    for (int32_t v : {2, 4, 5}) PutInt(out, v);
  } else {
    PutInt(out, 88);
    PutInt(out, 88);
  }
  if (version >= 3) PutRgb(out, 40, 50, 60);
  PutByte(out, 1);
  PutRgb(out, 0, 0, 0);
  PutByte(out, ioPNG_FILTER_SUB);
  PutInt(out, 6);
  if (version >= 3) {
    PutInt(out, 1);
    PutInt(out, 2);
    PutByte(out, 0);
    PutStr(out, "tga");
    PutStr(out, "me");
    PutDouble(out, 40000.0);
    PutStr(out, "job");
    PutRgb(out, 0, 0, 0);
    PutDouble(out, 1.0);
    PutDouble(out, 2.2);
    PutByte(out, 1);
  }
  return out;
}

}  // namespace

TEST(IOParams, NewObjectDefaults) {
  TIOParamsVals p(nullptr);
  EXPECT_EQ(p.OwnerIO, nullptr);
  EXPECT_EQ(p.Width, 0);
  EXPECT_EQ(p.Height, 0);
  EXPECT_EQ(p.DPIX, 0);
  EXPECT_EQ(p.DPIY, 0);
  EXPECT_EQ(p.BitsPerSample, 8);
  EXPECT_EQ(p.SamplesPerPixel, 3);
  EXPECT_EQ(p.JPEG_Quality, 50);
  EXPECT_EQ(p.GIF_Version, "GIF89a");
  EXPECT_EQ(p.PNG_Compression, 5);
  EXPECT_DOUBLE_EQ(p.TGA_Gamma, 2.2);
  EXPECT_EQ(p.TGA_DateTime, Date());
  EXPECT_TRUE(p.TGA_Compressed);
  EXPECT_EQ(p.ICO_Background, (TRGB{255, 255, 255}));
  EXPECT_EQ(p.BMP_Version, ioBMP_BM3);
  EXPECT_EQ(p.JPEG_ScaleDenominator, 1);
  EXPECT_EQ(p.ColorMap, nullptr);
  EXPECT_EQ(p.EXIF_Thumbnail, nullptr);
  EXPECT_FALSE(p.EXIF_HasData);
  ASSERT_NE(p.JPEG_MarkerList, nullptr);
  ASSERT_NE(p.IPTC_InfoList, nullptr);
  EXPECT_EQ(p.GIF_Comments->Count() + p.PXM_Comments->Count(), 0);
}

TEST(IOParams, SetDefaultParamsResetsTheLastPictureButKeepsSizeAndCopiesTheHooks) {
  TIOParamsVals p(nullptr);
  SetEveryStreamedField(p);
  p.EXIF_Make = "camera";
  p.EXIF_Thumbnail = new TIEBitmap;

  const auto decoder = [](const uint8_t*, int32_t, void*&) -> uint8_t* { return nullptr; };
  DefTIFF_LZWDECOMPFUNC = decoder;
  p.SetDefaultParams();
  DefTIFF_LZWDECOMPFUNC = nullptr;

  EXPECT_EQ(p.CUR_HotSpotX, 0);
  EXPECT_EQ(p.CUR_HotSpotY, 0);
  EXPECT_EQ(p.FileName, "");
  EXPECT_EQ(p.FileType, 0);
  EXPECT_EQ(p.BitsPerSample, 8);
  EXPECT_EQ(p.ColorMap, nullptr);
  EXPECT_EQ(p.ColorMapCount, 0);
  EXPECT_EQ(p.JPEG_MarkerList->GetCount(), 0);
  EXPECT_EQ(p.IPTC_InfoList->GetCount(), 0);
  EXPECT_EQ(p.GIF_Comments->Count(), 0);
  EXPECT_EQ(p.EXIF_Make, "");
  EXPECT_EQ(p.EXIF_Thumbnail, nullptr);
  EXPECT_EQ(p.TIFF_LZWDecompress, decoder);
  EXPECT_EQ(p.GIF_LZWDecompress, nullptr);
  // Without an owner the size and resolution stay.
  EXPECT_EQ(p.Width, 640);
  EXPECT_EQ(p.DPIY, 150);
}

TEST(IOParams, ResetInfoClearsOnlyTheMetadata) {
  TIOParamsVals p(nullptr);
  SetEveryStreamedField(p);
  p.EXIF_ISOSpeedRatings = {100, 200};
  p.EXIF_HasData = true;
  p.ResetInfo();
  EXPECT_EQ(p.IPTC_InfoList->GetCount() + p.JPEG_MarkerList->GetCount(), 0);
  EXPECT_EQ(p.GIF_Comments->Count() + p.PXM_Comments->Count(), 0);
  EXPECT_EQ(p.TIFF_DocumentName + p.TIFF_ImageDescription + p.TIFF_PageName, "");
  EXPECT_EQ(p.TGA_ImageID + p.TGA_AuthorName + p.TGA_JobName, "");
  EXPECT_EQ(p.GetEXIF_ISOSpeedRatings(1), 0);
  EXPECT_FALSE(p.EXIF_HasData);
  EXPECT_EQ(p.JPEG_Quality, 90);
  EXPECT_EQ(p.ColorMapCount, 2);
  EXPECT_EQ(p.CUR_HotSpotX, 5);
}

TEST(IOParams, AssignIsDeepAndLeavesOwnerWarningsAndMissingThumbnail) {
  TIOParamsVals source(nullptr);
  SetEveryStreamedField(source);
  source.EXIF_Model = "model";
  source.SetEXIF_WhitePoint(1, 0.329);
  source.JPEG_WarningCount = 3;
  source.EXIF_Thumbnail = new TIEBitmap;
  source.EXIF_Thumbnail->Allocate(4, 3, ie24RGB);

  TPixIO io(nullptr);
  TPixIO* owner = &io;
  TIOParamsVals target(owner);
  target.Assign(&source);
  EXPECT_EQ(SavedBytes(target), SavedBytes(source));
  EXPECT_EQ(target.OwnerIO, owner);
  EXPECT_EQ(target.JPEG_WarningCount, 0);
  EXPECT_EQ(target.EXIF_Model, "model");
  EXPECT_DOUBLE_EQ(target.GetEXIF_WhitePoint(1), 0.329);
  ASSERT_NE(target.EXIF_Thumbnail, nullptr);
  EXPECT_NE(target.EXIF_Thumbnail, source.EXIF_Thumbnail);
  EXPECT_EQ(target.EXIF_Thumbnail->GetWidth(), 4);
  ASSERT_NE(target.ColorMap, source.ColorMap);
  EXPECT_EQ(target.ColorMap[1], (TRGB{4, 5, 6}));

  // The copies are the target's own.
  source.JPEG_MarkerList->Clear();
  source.IPTC_InfoList->Clear();
  EXPECT_EQ(target.JPEG_MarkerList->GetCount(), 1);
  EXPECT_EQ(target.IPTC_InfoList->GetStrings(0), "Title");

  // A source without palette frees the target's; one without thumbnail
  // leaves the target's.
  TIOParamsVals plain(nullptr);
  target.Assign(&plain);
  EXPECT_EQ(target.ColorMap, nullptr);
  EXPECT_EQ(target.ColorMapCount, 0);
  ASSERT_NE(target.EXIF_Thumbnail, nullptr);
  EXPECT_EQ(target.EXIF_Thumbnail->GetWidth(), 4);
  EXPECT_EQ(target.EXIF_Model, "");
}

TEST(IOParams, StreamRoundTripKeepsTheTargetsEXIF) {
  TIOParamsVals source(nullptr);
  SetEveryStreamedField(source);
  source.EXIF_Make = "not streamed";
  source.TIFF_ApplyOrientation = false;
  source.JPEG_ScaleDenominator = 4;
  const Bytes saved = SavedBytes(source);

  // The head of the stream, byte for byte.
  Bytes head;
  PutInt(head, 9);
  PutStr(head, "照片.jpg");
  for (int32_t v : {3, 4, 1, 640, 480, 300, 150, 2}) PutInt(head, v);
  PutRgb(head, 1, 2, 3);
  PutRgb(head, 4, 5, 6);
  PutByte(head, ioTIFF_PACKBITS);
  ASSERT_GE(saved.size(), head.size());
  EXPECT_EQ(Bytes(saved.begin(), saved.begin() + head.size()), head);

  TIOParamsVals target(nullptr);
  target.EXIF_Copyright = "mine";
  TMemoryStream stream;
  Fill(stream, saved);
  target.LoadFromStream(&stream);
  EXPECT_EQ(stream.GetPosition(), stream.GetSize());
  EXPECT_EQ(SavedBytes(target), saved);
  EXPECT_EQ(target.CUR_HotSpotY, 6);
  EXPECT_EQ(target.TGA_AuthorName, "作者");
  EXPECT_EQ(target.PXM_Comments->Get(0), "# scanned");
  EXPECT_EQ(target.EXIF_Copyright, "mine");
  EXPECT_EQ(target.EXIF_Make, "");
  EXPECT_TRUE(target.TIFF_ApplyOrientation);
  EXPECT_EQ(target.JPEG_ScaleDenominator, 1);

  cwtest::TempDir dir;
  source.SaveToFile(dir.file("params.bin"));
  TIOParamsVals fromFile(nullptr);
  fromFile.LoadFromFile(dir.file("params.bin"));
  EXPECT_EQ(SavedBytes(fromFile), saved);
  EXPECT_THROW(fromFile.LoadFromFile(dir.file("missing.bin")), EFOpenError);
}

TEST(IOParams, OldVersionsReadTheirFieldsAndLeaveTheRest) {
  for (int32_t version : {0, 1, 2, 3}) {
    TIOParamsVals p(nullptr);
    SetEveryStreamedField(p);
    TMemoryStream stream;
    Fill(stream, OldStream(version));
    p.LoadFromStream(&stream);
    SCOPED_TRACE(version);
    EXPECT_EQ(stream.GetPosition(), stream.GetSize());
    EXPECT_EQ(p.FileName, "old.pcx");
    EXPECT_EQ(p.FileType, ieftPCX);
    EXPECT_EQ(p.Width, 32);
    EXPECT_EQ(p.ColorMap, nullptr);
    EXPECT_EQ(p.TIFF_Compression, ioTIFF_LZW);
    EXPECT_EQ(p.JPEG_Quality, 75);
    EXPECT_EQ(p.JPEG_Scale, version >= 1 ? ioJPEG_HALF : ioJPEG_QUARTER);
    EXPECT_EQ(p.PCX_Compression, ioPCX_UNCOMPRESSED);
    EXPECT_EQ(p.ICO_ImageIndex, version >= 1 ? 3 : 0);
    EXPECT_EQ(p.CUR_HotSpotY, version >= 1 ? 5 : 0);
    EXPECT_EQ(p.ICO_Background, version >= 3 ? (TRGB{10, 20, 30}) : (TRGB{0, 0, 255}));
    EXPECT_EQ(p.PNG_Filter, ioPNG_FILTER_SUB);
    EXPECT_EQ(p.TGA_ImageID, version >= 3 ? "tga" : "id");
    EXPECT_EQ(p.TGA_GrayLevel, true);
    // Fields that arrived with later versions keep their values.
    EXPECT_EQ(p.TIFF_ImageCount, 9);
    EXPECT_EQ(p.TIFF_Orientation, 6);
    EXPECT_EQ(p.GIF_ImageCount, 4);
    EXPECT_EQ(p.GIF_Comments->Count(), 1);
    EXPECT_EQ(p.JPEG_MarkerList->GetCount(), 1);
    EXPECT_EQ(p.JPEG_OriginalWidth, 2560);
    EXPECT_DOUBLE_EQ(p.J2000_Rate, 0.25);
    EXPECT_EQ(p.IPTC_InfoList->GetCount(), 1);
    EXPECT_EQ(p.PXM_Comments->Count(), 1);
    EXPECT_EQ(p.AVI_FrameCount, 25);
  }
}

TEST(IOParams, NewerVersionIsReadAsTheCurrentOne) {
  TIOParamsVals source(nullptr);
  SetEveryStreamedField(source);
  Bytes saved = SavedBytes(source);
  saved[0] = 12;
  TIOParamsVals target(nullptr);
  TMemoryStream stream;
  Fill(stream, saved);
  target.LoadFromStream(&stream);
  saved[0] = 9;
  EXPECT_EQ(SavedBytes(target), saved);
}

TEST(IOParams, DamagedStreamRaisesAndChangesNothing) {
  TIOParamsVals source(nullptr);
  SetEveryStreamedField(source);
  const Bytes saved = SavedBytes(source);

  std::vector<Bytes> damaged;
  for (size_t n = 0; n < saved.size(); ++n) damaged.emplace_back(saved.begin(), saved.begin() + n);
  Bytes hugePalette = saved;
  const int32_t huge = 0x7FFFFFFF;
  std::memcpy(hugePalette.data() + 4 + 4 + std::string("照片.jpg").size() + 4 * 7, &huge, 4);
  damaged.push_back(hugePalette);
  Bytes negativeVersion = saved;
  negativeVersion[3] = 0x80;
  damaged.push_back(negativeVersion);

  TIOParamsVals target(nullptr);
  target.EXIF_Make = "kept";
  const Bytes before = SavedBytes(target);
  TMemoryStream stream;
  for (const Bytes& bytes : damaged) {
    Fill(stream, bytes);
    EXPECT_THROW(target.LoadFromStream(&stream), EReadError) << bytes.size();
    ASSERT_EQ(SavedBytes(target), before) << bytes.size();
  }
  EXPECT_EQ(target.EXIF_Make, "kept");

  // A negative palette count reads no palette.
  Bytes negativePalette = OldStream(3);
  const size_t countAt = 4 + 4 + 7 + 4 + 24;
  negativePalette[countAt + 3] = 0xFF;
  Fill(stream, negativePalette);
  source.LoadFromStream(&stream);
  EXPECT_EQ(source.ColorMap, nullptr);
  EXPECT_EQ(source.ColorMapCount, 0);
}

TEST(IOParams, FileTypeText) {
  struct Case {
    TIEFileType type;
    void (*setUp)(TIOParamsVals&);
    const char* text;
  };
  const Case cases[] = {
      {ieftBMP, [](TIOParamsVals& p) { p.BMP_Version = ioBMP_BMOS2V2; },
       "Windows Bitmap (BMP) OS/2 v.2"},
      {ieftJPEG, [](TIOParamsVals&) {}, "JPEG Bitmap (JPG) YCbCr"},
      {ieftJPEG, [](TIOParamsVals& p) { p.JPEG_Colorspace = ioJPEG_RGB; }, "JPEG Bitmap (JPG)"},
      {ieftTIFF, [](TIOParamsVals& p) { p.TIFF_Compression = ioTIFF_LZW; }, "TIFF Bitmap (TIF) LZW"},
      {ieftTIFF, [](TIOParamsVals& p) { p.TIFF_Compression = ioTIFF_UNKNOWN; }, "TIFF Bitmap (TIF)"},
      {ieftGIF, [](TIOParamsVals& p) { p.GIF_Interlaced = true; }, "CompuServe Bitmap (GIF) Interlaced"},
      {ieftPCX, [](TIOParamsVals&) {}, "PaintBrush (PCX)"},
      {ieftPNG, [](TIOParamsVals&) {}, "Portable Network Graphics (PNG)"},
      {ieftTGA, [](TIOParamsVals& p) { p.TGA_Compressed = false; }, "Targa Bitmap (TGA) Uncompressed"},
      {ieftJ2K, [](TIOParamsVals& p) { p.J2000_ColorSpace = ioJ2000_GRAYLEV; },
       "JPEG2000 Code Stream (J2K) Gray level"},
      {ieftICO, [](TIOParamsVals&) {}, "Windows Icon (ICO)"},
      {ieftUnknown, [](TIOParamsVals&) {}, ""},
      {99, [](TIOParamsVals&) {}, ""},
  };
  for (const Case& c : cases) {
    TIOParamsVals p(nullptr);
    p.FileType = c.type;
    c.setUp(p);
    EXPECT_EQ(p.GetFileTypeStr(), c.text);
  }
  // A byte from a damaged stream names no variant.
  TIOParamsVals p(nullptr);
  p.FileType = ieftBMP;
  p.BMP_Version = static_cast<TIOBMPVersion>(200);
  EXPECT_EQ(p.GetFileTypeStr(), "Windows Bitmap (BMP)");
}
