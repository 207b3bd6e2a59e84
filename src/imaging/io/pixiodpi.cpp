// TPixIO::AdjustDPI: square pixels by stretching the shorter side, with
// the nearest-neighbour and linear stretches it needs.
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/pixio.h"

namespace {

using TRowOf = std::function<uint8_t*(int row)>;

struct TPlane {
  int Width;
  int Height;
  int BitsPerPixel;  // 1, or a multiple of 8
  TRowOf Row;
};

TPlane PlaneOf(TIEBitmap& bitmap) {
  return {bitmap.Width, bitmap.Height, bitmap.BitCount,
          [&bitmap](int row) { return bitmap.GetScanLine(row); }};
}

TPlane PlaneOf(TIEMask& mask) {
  return {mask.Width, mask.Height, mask.BitCount, [&mask](int row) { return mask.GetScanLine(row); }};
}

// Each target pixel takes the source pixel its position falls on.
void StretchNearest(const TPlane& from, const TPlane& to) {
  const int64_t rowBytes = (int64_t{from.Width} * from.BitsPerPixel + 7) / 8;
  std::vector<uint8_t> source(static_cast<size_t>(rowBytes));
  std::vector<int64_t> columns(static_cast<size_t>(to.Width));
  for (int x = 0; x < to.Width; ++x) columns[x] = int64_t{x} * from.Width / to.Width;
  const int bytes = from.BitsPerPixel / 8;
  int loaded = -1;
  for (int y = 0; y < to.Height; ++y) {
    const int sy = static_cast<int>(int64_t{y} * from.Height / to.Height);
    if (sy != loaded) {
      // File storage keeps one row mapped: copy it before the target row.
      std::memcpy(source.data(), from.Row(sy), source.size());
      loaded = sy;
    }
    uint8_t* target = to.Row(y);
    if (from.BitsPerPixel == 1) {
      std::memset(target, 0, static_cast<size_t>((to.Width + 7) / 8));
      for (int x = 0; x < to.Width; ++x)
        if (source[columns[x] >> 3] & (0x80 >> (columns[x] & 7))) target[x >> 3] |= 0x80 >> (x & 7);
    } else {
      for (int x = 0; x < to.Width; ++x)
        std::memcpy(target + int64_t{x} * bytes, source.data() + columns[x] * bytes, bytes);
    }
  }
}

// Where target position i falls between two source positions.
struct TTap {
  int First;
  int Second;
  double Weight;  // of Second
};

std::vector<TTap> Taps(int sourceSize, int targetSize) {
  std::vector<TTap> taps(static_cast<size_t>(targetSize));
  const double scale = double(sourceSize) / targetSize;
  for (int i = 0; i < targetSize; ++i) {
    const double at = std::max(0.0, (i + 0.5) * scale - 0.5);
    const int first = std::min(static_cast<int>(at), sourceSize - 1);
    taps[i] = {first, std::min(first + 1, sourceSize - 1), at - first};
  }
  return taps;
}

// Linear interpolation of 8-bit channels (gray, mask or blue-green-red).
void StretchLinear(const TPlane& from, const TPlane& to) {
  const int channels = from.BitsPerPixel / 8;
  const auto columns = Taps(from.Width, to.Width);
  const auto rows = Taps(from.Height, to.Height);
  const size_t rowBytes = static_cast<size_t>(from.Width) * channels;
  std::vector<uint8_t> upper(rowBytes), lower(rowBytes);
  for (int y = 0; y < to.Height; ++y) {
    std::memcpy(upper.data(), from.Row(rows[y].First), rowBytes);
    std::memcpy(lower.data(), from.Row(rows[y].Second), rowBytes);
    const double wy = rows[y].Weight;
    uint8_t* target = to.Row(y);
    for (int x = 0; x < to.Width; ++x) {
      const TTap& c = columns[x];
      for (int k = 0; k < channels; ++k) {
        const double top = upper[c.First * channels + k] * (1 - c.Weight) +
                           upper[c.Second * channels + k] * c.Weight;
        const double bottom = lower[c.First * channels + k] * (1 - c.Weight) +
                              lower[c.Second * channels + k] * c.Weight;
        target[x * channels + k] = static_cast<uint8_t>(std::lround(top * (1 - wy) + bottom * wy));
      }
    }
  }
}

void CopyPalette(TIEBitmap& from, TIEBitmap& to) {
  if (from.PixelFormat != ie8p) return;
  for (int i = 0; i < from.PaletteLength; ++i) to.SetPalette(i, from.GetPalette(i));
}

}  // namespace

void TPixIO::AdjustDPI() {
  TIOParamsVals& p = *IOParams;
  if (p.DPIX == p.DPIY || p.DPIX <= 0 || p.DPIY <= 0 || !IEBitmap) return;
  Rewrap();
  int64_t width = IEBitmap->Width, height = IEBitmap->Height;
  if (p.Height < p.Width) {
    height = static_cast<int64_t>(double(p.Height) / p.DPIY * p.DPIX);
    p.DPIY = p.DPIX;
  } else {
    width = static_cast<int64_t>(double(p.Width) / p.DPIX * p.DPIY);
    p.DPIX = p.DPIY;
  }
  if (IEBitmap->Width <= 0 || IEBitmap->Height <= 0 || IEBitmap->PixelFormat == ienull) return;
  if (width <= 0 || height <= 0 || width > std::numeric_limits<int32_t>::max() ||
      height > std::numeric_limits<int32_t>::max()) {
    Aborting = true;  // no picture of that size can exist
    return;
  }
  std::unique_ptr<TIEBitmap> alphaCopy;
  if (!OwnIEBitmap && IEBitmap->GetHasAlphaChannel()) {
    alphaCopy = std::make_unique<TIEBitmap>();
    alphaCopy->Location = ieMemory;
    alphaCopy->Assign(IEBitmap->GetAlphaChannel());
  }

  TIEBitmap result;
  result.Location = ieMemory;
  if (FilteredAdjustDPI) {
    TIEBitmap source;
    source.Location = ieMemory;
    source.Assign(IEBitmap);
    source.ConvertToPixelFormat(ie24RGB);
    if (!IEAllocateBitmap(&result, width, height, ie24RGB)) return void(Aborting = true);
    StretchLinear(PlaneOf(source), PlaneOf(result));
  } else {
    if (!IEAllocateBitmap(&result, width, height, IEBitmap->PixelFormat))
      return void(Aborting = true);
    CopyPalette(*IEBitmap, result);
    StretchNearest(PlaneOf(*IEBitmap), PlaneOf(result));
  }
  IEBitmap->RemoveAlphaChannel();
  IEBitmap->Assign(&result);
  p.Width = IEBitmap->Width;
  p.Height = IEBitmap->Height;

  if (alphaCopy) {
    TIEBitmap* alpha = IEBitmap->GetAlphaChannel();
    alpha->Allocate(IEBitmap->Width, IEBitmap->Height, ie8g);
    StretchNearest(PlaneOf(*alphaCopy), PlaneOf(*alpha));
    return;
  }
  TIEMask* mask = GetAlphaChannel();
  if (!mask || mask->BitCount != 8 || mask->Width <= 0 || mask->Height <= 0) return;
  if (mask->Full) {
    mask->AllocateBits(IEBitmap->Width, IEBitmap->Height, 8);
    mask->Fill(255);
    return;
  }
  TIEMask resized;
  resized.AllocateBits(IEBitmap->Width, IEBitmap->Height, 8);
  StretchLinear(PlaneOf(*mask), PlaneOf(resized));
  mask->Assign(&resized);
}
