// The tags of the page being read, with their defaults.
#include <algorithm>

#include "imaging/io/tiffreadvars.h"

namespace {

uint32_t Unsigned(const TTIFFEnv& env, uint16_t tag, uint32_t def) {
  return static_cast<uint32_t>(TIFFReadSingleValDef(env, tag, static_cast<int32_t>(def)));
}

// An offsets array; BadOffsets when the tag is there but its values are not.
void ReadOffsets(const TTIFFEnv& env, uint16_t tag, std::vector<int32_t>& values, TTIFFVars& v) {
  if (TIFFReadArrayIntegers(env, values, tag) == 0 && TIFFGetDataLength(env, tag) > 0)
    v.BadOffsets = true;
}

// 2^bits entries: red, green and blue are the high bytes of values i,
// 2^bits + i and 2 x 2^bits + i.
void ReadColorMap(const TTIFFEnv& env, TTIFFVars& v) {
  if (TIFFGetDataLength(env, kTagColorMap) == 0 || v.BitsPerSample > 16) return;
  std::vector<int32_t> values;
  TIFFReadArrayIntegers(env, values, kTagColorMap);
  const size_t entries = size_t{1} << v.BitsPerSample;
  auto high = [&](size_t i) {
    return i < values.size() ? static_cast<uint8_t>((values[i] >> 8) & 0xFF) : uint8_t{0};
  };
  v.ColorMap.resize(entries);
  for (size_t i = 0; i < entries; ++i)
    v.ColorMap[i] = TRGB{high(2 * entries + i), high(entries + i), high(i)};
}

}  // namespace

bool IETIFFReadVars(const TTIFFEnv& env, TTIFFVars& v) {
  v.Intel = env.Intel;
  v.ImageWidth = Unsigned(env, kTagImageWidth, 0);
  v.ImageLength = Unsigned(env, kTagImageLength, 0);
  v.SamplesPerPixel = static_cast<int32_t>(Unsigned(env, kTagSamplesPerPixel, 1) & 0xFFFF);

  std::vector<int32_t> bits;
  if (TIFFReadArrayIntegers(env, bits, kTagBitsPerSample) > 0) {
    if (std::any_of(bits.begin(), bits.end(), [&](int32_t b) { return b != bits[0]; })) return false;
    v.BitsPerSample = bits[0] & 0xFFFF;
  }

  const uint32_t rows = Unsigned(env, kTagRowsPerStrip, static_cast<uint32_t>(v.ImageLength));
  v.RowsPerStrip = rows == 0 || rows == 0xFFFFFFFF ? v.ImageLength : rows;
  if (TIFFFindTAG(kTagTileWidth, env) >= 0) v.TileWidth = Unsigned(env, kTagTileWidth, 0);
  if (TIFFFindTAG(kTagTileLength, env) >= 0) v.TileLength = Unsigned(env, kTagTileLength, 0);
  v.Photometric = TIFFReadSingleValDef(env, kTagPhotometric, 2);
  v.PlanarConfig = TIFFReadSingleValDef(env, kTagPlanarConfig, 1);
  v.Orientation = TIFFReadSingleValDef(env, kTagOrientation, 1);
  v.Compression = TIFFReadSingleValDef(env, kTagCompression, 1);
  v.Predictor = TIFFReadSingleValDef(env, kTagPredictor, 1);
  v.T4Options = TIFFReadSingleValDef(env, kTagT4Options, 0);
  v.FillOrder = TIFFReadSingleValDef(env, kTagFillOrder, 1);
  v.JpegProc = TIFFReadSingleValDef(env, kTagJPEGProc, 0);
  v.JpegOffset = Unsigned(env, kTagJPEGInterchange, 0);
  v.JpegLength = Unsigned(env, kTagJPEGInterchangeLength, 0);
  v.ExtraSamples = TIFFReadIndexValN(env, kTagExtraSamples, 0);
  v.Software = TIFFReadString(env, kTagSoftware);

  // Fax pages often say nothing of their photometric: white is zero.
  if (v.SamplesPerPixel == 1 && v.BitsPerSample == 1 && v.Compression >= 1 &&
      v.Compression <= 4 && v.Photometric == 2)
    v.Photometric = 0;

  ReadOffsets(env, kTagStripOffsets, v.StripOffsets, v);
  TIFFReadArrayIntegers(env, v.StripByteCounts, kTagStripByteCounts);
  ReadOffsets(env, kTagTileOffsets, v.TileOffsets, v);
  TIFFReadArrayIntegers(env, v.TileByteCounts, kTagTileByteCounts);
  ReadColorMap(env, v);
  return true;
}
