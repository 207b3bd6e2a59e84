#include "imaging/core/stdquant.h"

#include <algorithm>
#include <cmath>

#include "platform/sysutils.h"

namespace {

constexpr int kSlots = 32;
constexpr int kCells = kSlots * kSlots * kSlots;

int CellOf(int r, int g, int b) { return r * 1024 + g * 32 + b; }

void ComputeStatistics(TIEMedianCutBox& box, int64_t pixelCount) {
  box.Mean = {0, 0, 0};
  box.Variance = 0;
  if (box.Count == 0) return;  // an empty box is black and never split
  double shares = 0;
  for (int c = 0; c < 3; ++c) {
    double sum = 0, squares = 0;
    for (int e = box.Low[c]; e < box.High[c]; ++e) {
      sum += double(e) * box.Hist[c][e];
      squares += double(e) * e * box.Hist[c][e];
    }
    box.Mean[c] = sum / box.Count;
    shares += squares - box.Mean[c] * box.Mean[c] * box.Count;
  }
  box.Variance = shares / pixelCount;
}

// Narrows each channel's bounds to the slots that hold pixels.
void Shrink(TIEMedianCutBox& box) {
  for (int c = 0; c < 3; ++c) {
    int low = box.Low[c], high = box.High[c];
    while (low < high && box.Hist[c][low] == 0) ++low;
    while (high > low && box.Hist[c][high - 1] == 0) --high;
    box.Low[c] = low;
    box.High[c] = high;
  }
}

void RecountFromHistogram(const TIEMedianCut& q, TIEMedianCutBox& box) {
  for (auto& h : box.Hist) h.fill(0);
  for (int r = box.Low[0]; r < box.High[0]; ++r)
    for (int g = box.Low[1]; g < box.High[1]; ++g)
      for (int b = box.Low[2]; b < box.High[2]; ++b) {
        int64_t n = q.Histogram[CellOf(r, g, b)];
        box.Hist[0][r] += n;
        box.Hist[1][g] += n;
        box.Hist[2][b] += n;
      }
}

// Splits the box on one channel; false when that channel cannot split it.
bool SplitOnChannel(const TIEMedianCut& q, const TIEMedianCutBox& box, int c,
                    TIEMedianCutBox& first, TIEMedianCutBox& second) {
  const int low = box.Low[c], high = box.High[c];
  if (high - low <= 1) return false;
  const auto& hist = box.Hist[c];
  const double mean = box.Mean[c];
  const int m1 = int(Round((low + mean) / 2));
  // The upper search end can round onto the box's exclusive bound; slots
  // past the box hold nothing, so stopping at its last slot changes nothing.
  const int m2 = std::min(int(Round((high + mean) / 2)), high - 1);

  int64_t s = 0;
  for (int e = low; e < m1; ++e) s += hist[e];
  double moment = 0, best = -1;
  int kept = -1;
  int64_t keptCount = 0;
  for (int e = m1; e <= m2; ++e) {
    s += hist[e];
    if (s == box.Count) break;
    moment += double(e) * hist[e] / box.Count;
    const double score = double(s) / double(box.Count - s) * (mean - moment) * (mean - moment);
    if (score > best) {
      best = score;
      kept = e;
      keptCount = s;
    }
  }
  if (kept < 0) {
    kept = m1;
    keptCount = box.Count;
  }
  if (keptCount <= 0 || keptCount >= box.Count) return false;

  first = box;
  first.High[c] = kept + 1;
  first.Count = keptCount;
  second = box;
  second.Low[c] = kept + 1;
  second.Count = box.Count - keptCount;
  RecountFromHistogram(q, first);
  for (int ch = 0; ch < 3; ++ch)
    for (int e = 0; e < kSlots; ++e) second.Hist[ch][e] = box.Hist[ch][e] - first.Hist[ch][e];
  Shrink(first);
  Shrink(second);
  ComputeStatistics(first, q.PixelCount);
  ComputeStatistics(second, q.PixelCount);
  return true;
}

// The channel whose halves have the least summed variance wins, ties going
// to red, then green, then blue.
bool SplitBox(TIEMedianCut& q, int index) {
  const TIEMedianCutBox box = q.Boxes[index];
  bool found = false;
  double bestSum = 0;
  TIEMedianCutBox bestFirst, bestSecond;
  for (int c = 0; c < 3; ++c) {
    TIEMedianCutBox first, second;
    if (!SplitOnChannel(q, box, c, first, second)) continue;
    const double sum = first.Variance + second.Variance;
    if (!found || sum < bestSum) {
      found = true;
      bestSum = sum;
      bestFirst = first;
      bestSecond = second;
    }
  }
  if (!found) return false;
  q.Boxes[index] = bestFirst;
  q.Boxes[q.NBoxes++] = bestSecond;
  return true;
}

int LargestVarianceBox(const TIEMedianCut& q) {
  int pick = -1;
  double largest = 0;
  for (int i = 0; i < q.NBoxes; ++i)
    if (q.Boxes[i].Variance > largest) {
      largest = q.Boxes[i].Variance;
      pick = i;
    }
  return pick;
}

void BuildHistogram(TIEMedianCut& q, const TIERGBRows& picture) {
  TIEMedianCutBox& box = q.Boxes[0];
  for (int y = 0; y < picture.Height(); ++y) {
    const TRGB* row = picture.Row(y);
    for (int x = 0; x < picture.Width(); ++x) {
      const int r = row[x].r >> 3, g = row[x].g >> 3, b = row[x].b >> 3;
      ++q.Histogram[CellOf(r, g, b)];
      ++box.Hist[0][r];
      ++box.Hist[1][g];
      ++box.Hist[2][b];
    }
  }
  q.PixelCount = picture.PixelCount();
  box.Count = q.PixelCount;
  box.Low = {0, 0, 0};
  box.High = {kSlots, kSlots, kSlots};
  ComputeStatistics(box, q.PixelCount);
}

uint8_t PaletteLevel(double mean) { return uint8_t(Round(mean) << 3); }

}  // namespace

TIEMedianCut* CreateMedianCutQuantizer(const TIERGBRows& picture, std::span<TRGB> colorMap,
                                       int NCol) {
  auto* q = new TIEMedianCut;
  q->Histogram.assign(kCells, 0);
  q->Boxes.resize(IEMedianCutMaxColors);
  q->CellMap.assign(kCells, 0);
  q->NCol = std::clamp(NCol, 1, IEMedianCutMaxColors);
  q->NBoxes = 1;
  BuildHistogram(*q, picture);

  while (q->NBoxes < q->NCol) {
    const int pick = LargestVarianceBox(*q);
    if (pick < 0) break;
    if (!SplitBox(*q, pick)) q->Boxes[pick].Variance = 0;
  }

  for (int i = 0; i < q->NBoxes; ++i) {
    const TIEMedianCutBox& box = q->Boxes[i];
    if (size_t(i) < colorMap.size())
      colorMap[i] = TRGB{PaletteLevel(box.Mean[2]), PaletteLevel(box.Mean[1]),
                         PaletteLevel(box.Mean[0])};
    for (int r = box.Low[0]; r < box.High[0]; ++r)
      for (int g = box.Low[1]; g < box.High[1]; ++g)
        for (int b = box.Low[2]; b < box.High[2]; ++b) q->CellMap[CellOf(r, g, b)] = uint8_t(i);
  }
  return q;
}

int MedianCutFindIndex(const TIEMedianCut* state, const TRGB& rgb) {
  return state->CellMap[CellOf(rgb.r >> 3, rgb.g >> 3, rgb.b >> 3)];
}

void FreeMedianCutQuantizer(TIEMedianCut* state) { delete state; }
