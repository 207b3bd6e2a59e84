// The EXIF values of a TIFF page: some from the page's own directory, the
// rest from its EXIF directory.
#include <algorithm>

#include "imaging/io/ioparams.h"
#include "imaging/io/tiffreadvars.h"

namespace {

// A SHORT, LONG or byte value; 0 when absent.
int32_t Int(const TTIFFEnv& env, uint16_t tag) {
  const int32_t i = TIFFFindTAG(tag, env);
  if (i < 0) return 0;
  const TTIFFTag& e = env.Entries[static_cast<size_t>(i)];
  if (e.Type == 1 || e.Type == 6 || e.Type == 7) return e.Raw[0];
  return TIFFReadSingleValDef(env, tag, 0);
}

double Rational(const TTIFFEnv& env, uint16_t tag) { return TIFFReadSingleRational(env, tag); }

template <size_t N>
void Rationals(const TTIFFEnv& env, uint16_t tag, TIOParamsVals& p,
               void (TIOParamsVals::*set)(int, double)) {
  for (size_t i = 0; i < N; ++i)
    (p.*set)(static_cast<int>(i), TIFFReadRationalIndex(env, tag, static_cast<int32_t>(i)));
}

}  // namespace

void IETIFFReadExif(const TTIFFEnv& page, TIOParamsVals& p) {
  TTIFFEnv exif;
  IETIFFLoadDirectoryAt(page, static_cast<uint32_t>(Int(page, kTagExifIFD)), exif);

  p.EXIF_Make = TIFFReadString(page, 271);
  p.EXIF_Model = TIFFReadString(page, 272);
  p.EXIF_DateTime = TIFFReadString(page, 306);
  p.EXIF_Orientation = Int(page, 274);
  p.EXIF_XResolution = Rational(page, 282);
  p.EXIF_YResolution = Rational(page, 283);
  p.EXIF_ResolutionUnit = Int(page, 296);
  p.EXIF_Software = TIFFReadString(page, 305);
  Rationals<2>(page, 318, p, &TIOParamsVals::SetEXIF_WhitePoint);
  p.EXIF_YCbCrPositioning = Int(page, 531);
  Rationals<6>(page, 319, p, &TIOParamsVals::SetEXIF_PrimaryChromaticities);
  Rationals<3>(page, 529, p, &TIOParamsVals::SetEXIF_YCbCrCoefficients);
  Rationals<6>(page, 532, p, &TIOParamsVals::SetEXIF_ReferenceBlackWhite);
  p.EXIF_Copyright = TIFFReadString(page, 33432);

  p.EXIF_ExposureTime = Rational(exif, 33434);
  p.EXIF_FNumber = Rational(exif, 33437);
  p.EXIF_ExposureProgram = Int(exif, 34850);
  for (int i = 0; i < 2; ++i) p.SetEXIF_ISOSpeedRatings(i, TIFFReadIndexValN(exif, 34855, i));
  p.EXIF_ExifVersion = TIFFReadMiniString(exif, 36864);
  p.EXIF_DateTimeOriginal = TIFFReadString(exif, 36867);
  p.EXIF_DateTimeDigitized = TIFFReadString(exif, 36868);
  p.EXIF_CompressedBitsPerPixel = Rational(exif, 37122);
  p.EXIF_ShutterSpeedValue = Rational(exif, 37377);
  p.EXIF_ApertureValue = Rational(exif, 37378);
  p.EXIF_BrightnessValue = Rational(exif, 37379);
  p.EXIF_ExposureBiasValue = Rational(exif, 37380);
  p.EXIF_MaxApertureValue = Rational(exif, 37381);
  p.EXIF_SubjectDistance = Rational(exif, 37382);
  p.EXIF_MeteringMode = Int(exif, 37383);
  p.EXIF_LightSource = Int(exif, 37384);
  p.EXIF_Flash = Int(exif, 37385);
  p.EXIF_FocalLength = Rational(exif, 37386);
  p.EXIF_SubsecTime = TIFFReadString(exif, 37520);
  p.EXIF_SubsecTimeOriginal = TIFFReadString(exif, 37521);
  p.EXIF_SubsecTimeDigitized = TIFFReadString(exif, 37522);
  p.EXIF_FlashPixVersion = TIFFReadMiniString(exif, 40960);
  p.EXIF_ColorSpace = Int(exif, 40961);
  p.EXIF_ExifImageWidth = Int(exif, 40962);
  p.EXIF_ExifImageHeight = Int(exif, 40963);
  p.EXIF_RelatedSoundFile = TIFFReadString(exif, 40964);
  p.EXIF_FocalPlaneXResolution = Rational(exif, 41486);
  p.EXIF_FocalPlaneYResolution = Rational(exif, 41487);
  p.EXIF_FocalPlaneResolutionUnit = Int(exif, 41488);
  p.EXIF_ExposureIndex = Rational(exif, 41493);
  p.EXIF_SensingMethod = Int(exif, 41495);
  p.EXIF_FileSource = Int(exif, 41728);
  p.EXIF_SceneType = Int(exif, 41729);

  // The first 8 bytes name the character code, the text follows.
  const std::vector<uint8_t> comment = TIFFReadRawData(exif, 37510);
  const size_t split = std::min<size_t>(8, comment.size());
  p.EXIF_UserCommentCode.assign(comment.begin(), comment.begin() + static_cast<std::ptrdiff_t>(split));
  p.EXIF_UserComment.assign(comment.begin() + static_cast<std::ptrdiff_t>(split), comment.end());
  while (!p.EXIF_UserComment.empty() && p.EXIF_UserComment.back() == 0) p.EXIF_UserComment.pop_back();
}
