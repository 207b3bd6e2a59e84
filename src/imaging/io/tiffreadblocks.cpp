// Walks the strips or tiles of a TIFF page: reads each block whole (never
// beyond the stream) and decodes its rows into the picture.
#include <algorithm>
#include <memory>

#include "imaging/core/iebitmap.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/tiffreadrows.h"
#include "platform/classes.h"

namespace {

// Block i at its offset; its size is its byte count, or the rest of the
// stream when that is missing or 0, and never more than the stream holds.
// False when the offset lies beyond the stream.
bool ReadBlock(TStream* stream, int64_t base, const std::vector<int32_t>& offsets,
               const std::vector<int32_t>& counts, size_t i, std::vector<uint8_t>& block) {
  const int64_t at = base + static_cast<uint32_t>(offsets[i]);
  const int64_t left = stream->GetSize() - at;
  block.clear();
  if (left < 0) return false;
  const int64_t count = i < counts.size() && counts[i] != 0 ? static_cast<uint32_t>(counts[i]) : left;
  const int64_t size = std::min(count, left);
  block.resize(static_cast<size_t>(size));
  stream->SetPosition(at);
  return size == 0 || stream->Read(block.data(), size) == size;
}

// One decoded row reported; true when the caller asked to stop.
bool RowDone(TProgressRec& progress) { return IEProgressStep(progress); }

bool DecodeStrips(TStream* stream, int64_t base, TIEBitmap* bitmap, const TTIFFVars& v,
                  TProgressRec& progress) {
  std::vector<uint8_t> block;
  int64_t first = 0;
  for (size_t i = 0; i < v.StripOffsets.size() && first < v.ImageLength; ++i) {
    if (!ReadBlock(stream, base, v.StripOffsets, v.StripByteCounts, i, block)) return false;
    const int64_t rows = std::min(v.RowsPerStrip, v.ImageLength - first);
    TTIFFRowDecoder decoder(v, block, v.ImageWidth, v.SamplesPerPixel);
    for (int64_t r = 0; r < rows; ++r) {
      const uint8_t* row = decoder.Next();
      if (!row) return false;
      IETIFFConvertRow(row, bitmap, v, first + r, 0, v.ImageWidth);
      if (RowDone(progress)) return true;
    }
    first += rows;
  }
  return true;
}

// Separate planes: red, green and blue strips, a third of the offsets each.
bool DecodePlanes(TStream* stream, int64_t base, TIEBitmap* bitmap, const TTIFFVars& v,
                  TProgressRec& progress) {
  const size_t perPlane = v.StripOffsets.size() / 3;
  TTIFFVars rgb = v;
  rgb.SamplesPerPixel = 3;
  std::vector<uint8_t> blocks[3];
  std::vector<uint8_t> pixels(static_cast<size_t>(v.ImageWidth) * 3);
  int64_t first = 0;
  for (size_t i = 0; i < perPlane && first < v.ImageLength; ++i) {
    std::unique_ptr<TTIFFRowDecoder> planes[3];
    for (size_t k = 0; k < 3; ++k) {
      if (!ReadBlock(stream, base, v.StripOffsets, v.StripByteCounts, k * perPlane + i, blocks[k]))
        return false;
      planes[k] = std::make_unique<TTIFFRowDecoder>(v, blocks[k], v.ImageWidth, 1);
    }
    const int64_t rows = std::min(v.RowsPerStrip, v.ImageLength - first);
    for (int64_t r = 0; r < rows; ++r) {
      for (size_t k = 0; k < 3; ++k) {
        const uint8_t* row = planes[k]->Next();
        if (!row) return false;
        for (int64_t x = 0; x < v.ImageWidth; ++x) pixels[static_cast<size_t>(3 * x) + k] = row[x];
      }
      IETIFFConvertRow(pixels.data(), bitmap, rgb, first + r, 0, v.ImageWidth);
      if (RowDone(progress)) return true;
    }
    first += rows;
  }
  return true;
}

bool DecodeTiles(TStream* stream, int64_t base, TIEBitmap* bitmap, const TTIFFVars& v,
                 const std::vector<int32_t>& offsets, const std::vector<int32_t>& counts,
                 TProgressRec& progress) {
  const int64_t tileWidth = std::max<int64_t>(v.TileWidth, 1);
  const int64_t tileLength = std::max<int64_t>(v.TileLength, 1);
  std::vector<uint8_t> block;
  int64_t column = 0;
  int64_t top = 0;
  for (size_t i = 0; i < offsets.size() && top < v.ImageLength; ++i) {
    if (!ReadBlock(stream, base, offsets, counts, i, block)) return false;
    TTIFFRowDecoder decoder(v, block, tileWidth, v.SamplesPerPixel);
    const int64_t visible = std::min(tileWidth, v.ImageWidth - column);
    for (int64_t r = 0; r < tileLength && top + r < v.ImageLength; ++r) {
      const uint8_t* row = decoder.Next();
      if (!row) return false;
      IETIFFConvertRow(row, bitmap, v, top + r, column, visible);
      if (RowDone(progress)) return true;
    }
    column += tileWidth;
    if (column >= v.ImageWidth) {
      column = 0;
      top += tileLength;
    }
  }
  return true;
}

}  // namespace

bool IETIFFDecodeBlocks(TStream* stream, int64_t base, TIEBitmap* bitmap, TTIFFVars& v,
                        TProgressRec& progress) {
  const bool tiled = v.TileWidth > 0 || v.TileLength > 0;
  if (tiled) {
    if (v.PlanarConfig == 2) return false;
    if (bitmap->PixelFormat != ie1g && bitmap->PixelFormat != ie24RGB) return false;
    // Edge tiles may reach past the picture, but not absurdly far.
    if (v.TileWidth > v.ImageWidth + 65536 || v.TileLength > v.ImageLength + 65536) return false;
  }
  // A page this reader has no case for, or one without data, is a failed
  // read, never a picture of whatever the allocation held.
  if (!IETIFFDecodable(v)) return false;
  if (tiled && !v.TileOffsets.empty())
    return DecodeTiles(stream, base, bitmap, v, v.TileOffsets, v.TileByteCounts, progress);
  if (tiled && !v.StripOffsets.empty())
    return DecodeTiles(stream, base, bitmap, v, v.StripOffsets, v.StripByteCounts, progress);
  if (v.StripOffsets.empty()) return false;
  if (v.PlanarConfig == 2) {
    const bool rgb8 = v.SamplesPerPixel == 3 && v.BitsPerSample == 8 && v.Photometric == 2;
    return rgb8 && DecodePlanes(stream, base, bitmap, v, progress);
  }
  return DecodeStrips(stream, base, bitmap, v, progress);
}
