// Median cut colour quantiser: boxes of a 5-bit-per-channel colour histogram
// are split, the box of largest variance first, until the wanted number of
// colours is reached or no box can be split. Used for fewer than 128 colours.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/core/iedefs.h"
#include "imaging/core/iergbrows.h"

// One box of the histogram. Channels are indexed red 0, green 1, blue 2;
// bounds and means are in 5-bit units, Low inclusive and High exclusive.
struct TIEMedianCutBox {
  double Variance = 0;
  std::array<double, 3> Mean{};
  int64_t Count = 0;
  std::array<std::array<int64_t, 32>, 3> Hist{};
  std::array<int, 3> Low{};
  std::array<int, 3> High{};
};

struct TIEMedianCut {
  // Cell (r, g, b) at r * 1024 + g * 32 + b, each the colour byte shr 3.
  std::vector<int64_t> Histogram;
  std::vector<TIEMedianCutBox> Boxes;
  // Palette index of every cell; 0 for cells in no box.
  std::vector<uint8_t> CellMap;
  int64_t PixelCount = 0;
  int NCol = 0;
  int NBoxes = 0;
};

constexpr int IEMedianCutMaxColors = 256;

// Builds the palette of at most NCol colours (cut to 1..256) into the colour
// map's first NBoxes entries (never past its end) and returns the state.
TIEMedianCut* CreateMedianCutQuantizer(const TIERGBRows& picture, std::span<TRGB> colorMap,
                                       int NCol);
// Palette index for a colour: the cell map entry of its cell.
int MedianCutFindIndex(const TIEMedianCut* state, const TRGB& rgb);
void FreeMedianCutQuantizer(TIEMedianCut* state);
