#include "imaging/core/neurquant.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <vector>

#include "imaging/core/stdquant.h"
#include "imaging/proc/iemeasure.h"
#include "platform/graphics.h"
#include "platform/sysutils.h"

// The network keeps colours times 16 while learning; alpha is held times
// 1024 and the neighbourhood radius times 64.
namespace {

constexpr int kColorShift = 4;
constexpr int kInitAlpha = 1024;
constexpr int kRadiusShift = 6;
constexpr int kRadiusDecrement = 30;
constexpr int kNeighbourScale = 256 * 1024;  // weight units: alpha x 256
constexpr int kBetaFreq = 64;                // 1/1024 of 65536
constexpr int kBetaGammaBias = 65536;
constexpr int kFirstPrime = 499;

}  // namespace

int IENeuQuantSampleFactor(int64_t pixels, int Quality) {
  int factor;
  if (Quality == -1) {
    if (pixels < 2000) return 1;
    factor = int(Round(double(pixels - 2000) * 13 / 148000 + 2));
  } else {
    factor = int(Trunc((100 - Quality) / 100.0 * 29)) + 1;
  }
  return std::clamp(factor, 1, 30);
}

int IENeuQuantSampleStep(int64_t byteCount) {
  for (int prime : {kFirstPrime, 491, 487})
    if (byteCount % prime != 0) return prime;
  return 503;
}

class TIENeuQuant {
 public:
  TIENeuQuant(const TIERGBRows& picture, int n, int quality) : NetSize(n) {
    Net.resize(n);
    Bias.assign(n, 0);
    Freq.assign(n, 65536 / n);
    for (int i = 0; i < n; ++i) {
      const int level = int(int64_t(i) * 4096 / n);
      Net[i] = {level, level, level, i};
    }
    Learn(picture, IENeuQuantSampleFactor(picture.PixelCount(), quality));
    Unbias();
    BuildGreenIndex();
  }

  void WriteColorMap(std::span<TRGB> colorMap) const {
    // Before the index sort neuron i is palette entry i; the sort keeps the
    // entry in Index.
    for (const Neuron& p : Net)
      if (size_t(p.Index) < colorMap.size())
        colorMap[p.Index] = TRGB{ToByte(p.B), ToByte(p.G), ToByte(p.R)};
  }

  int Search(int b, int g, int r) const {
    int bestd = 1000, best = -1;
    int i = GreenIndex[g], j = i - 1;
    while (i < NetSize || j >= 0) {
      if (i < NetSize) {
        const Neuron& p = Net[i];
        int dist = p.G - g;
        if (dist >= bestd) {
          i = NetSize;
        } else {
          ++i;
          Consider(p, std::abs(dist), b, r, bestd, best);
        }
      }
      if (j >= 0) {
        const Neuron& p = Net[j];
        int dist = g - p.G;
        if (dist >= bestd) {
          j = -1;
        } else {
          --j;
          Consider(p, std::abs(dist), b, r, bestd, best);
        }
      }
    }
    return best;
  }

 private:
  struct Neuron {
    int32_t B, G, R, Index;
  };

  static uint8_t ToByte(int32_t v) { return uint8_t(std::clamp(v, 0, 255)); }

  static void Consider(const Neuron& p, int dist, int b, int r, int& bestd, int& best) {
    dist += std::abs(p.B - b);
    if (dist >= bestd) return;
    dist += std::abs(p.R - r);
    if (dist >= bestd) return;
    bestd = dist;
    best = p.Index;
  }

  void SetWeights(int alpha, int rad) {
    Weights.resize(rad);
    const int64_t rad2 = int64_t(rad) * rad;
    for (int k = 0; k < rad; ++k)
      Weights[k] = alpha * int32_t(((rad2 - int64_t(k) * k) * 256) / rad2);
  }

  static int RadiusInNeurons(int radius) { return radius <= 127 ? 0 : radius >> kRadiusShift; }

  void Learn(const TIERGBRows& picture, int sampleFactor) {
    const int64_t pixels = picture.PixelCount();
    if (pixels == 0) return;
    const int64_t byteCount = 3 * pixels;
    const int alphaDecrement = 30 + (sampleFactor - 1) / 3;
    const int64_t samples = byteCount / (3 * int64_t(sampleFactor));
    const int64_t cycle = std::max<int64_t>(samples / 100, 1);
    const int64_t step = IENeuQuantSampleStep(byteCount);
    const int width = picture.Width();

    int alpha = kInitAlpha;
    int radius = (NetSize / 8) << kRadiusShift;
    int rad = RadiusInNeurons(radius);
    SetWeights(alpha, rad);

    int64_t pos = 0;
    for (int64_t i = 0; i < samples;) {
      const TRGB px = picture.Row(int(pos / width))[pos % width];
      const int b = px.b << kColorShift, g = px.g << kColorShift, r = px.r << kColorShift;
      const int winner = Contest(b, g, r);
      MoveWinner(alpha, winner, b, g, r);
      if (rad != 0) MoveNeighbours(rad, winner, b, g, r);
      // Wrapped by the remainder: on pictures smaller than the step a single
      // subtraction would leave the position outside the picture.
      pos = (pos + step) % pixels;
      ++i;
      if (i % cycle == 0) {
        alpha -= alpha / alphaDecrement;
        radius -= radius / kRadiusDecrement;
        rad = RadiusInNeurons(radius);
        SetWeights(alpha, rad);
      }
    }
  }

  // Finds the neuron of least biased distance, ageing every neuron's
  // frequency and bias on the way; the plain nearest neuron wins a little.
  int Contest(int b, int g, int r) {
    int bestd = INT_MAX, bestBiasd = INT_MAX, bestPos = 0, bestBiasPos = 0;
    for (int i = 0; i < NetSize; ++i) {
      const Neuron& n = Net[i];
      const int dist = std::abs(n.B - b) + std::abs(n.G - g) + std::abs(n.R - r);
      if (dist < bestd) {
        bestd = dist;
        bestPos = i;
      }
      const int biasDist = dist - (Bias[i] >> 12);
      if (biasDist < bestBiasd) {
        bestBiasd = biasDist;
        bestBiasPos = i;
      }
      const int betaFreq = Freq[i] >> 10;
      Freq[i] -= betaFreq;
      Bias[i] += betaFreq << 10;
    }
    Freq[bestPos] += kBetaFreq;
    Bias[bestPos] -= kBetaGammaBias;
    return bestBiasPos;
  }

  static void MoveToward(Neuron& n, int64_t weight, int64_t scale, int b, int g, int r) {
    n.B -= int32_t((n.B - b) * weight / scale);
    n.G -= int32_t((n.G - g) * weight / scale);
    n.R -= int32_t((n.R - r) * weight / scale);
  }

  void MoveWinner(int alpha, int i, int b, int g, int r) {
    MoveToward(Net[i], alpha, kInitAlpha, b, g, r);
  }

  void MoveNeighbours(int rad, int i, int b, int g, int r) {
    const int lo = std::max(i - rad, -1), hi = std::min(i + rad, NetSize);
    int up = i + 1, down = i - 1, k = 1;
    while (up < hi || down > lo) {
      const int weight = Weights[k++];
      if (up < hi) MoveToward(Net[up++], weight, kNeighbourScale, b, g, r);
      if (down > lo) MoveToward(Net[down--], weight, kNeighbourScale, b, g, r);
    }
  }

  void Unbias() {
    for (int i = 0; i < NetSize; ++i) {
      Neuron& n = Net[i];
      n.B /= 1 << kColorShift;
      n.G /= 1 << kColorShift;
      n.R /= 1 << kColorShift;
      n.Index = i;
    }
  }

  // Sorts the neurons by green and records, per green value, where the
  // search starts.
  void BuildGreenIndex() {
    const int last = NetSize - 1;
    int previous = 0, start = 0;
    for (int i = 0; i < NetSize; ++i) {
      int smallest = i;
      for (int j = i + 1; j < NetSize; ++j)
        if (Net[j].G < Net[smallest].G) smallest = j;
      if (smallest != i) std::swap(Net[i], Net[smallest]);
      const int green = std::clamp(Net[i].G, 0, 255);
      if (green != previous) {
        GreenIndex[previous] = (start + i) >> 1;
        for (int v = previous + 1; v < green; ++v) GreenIndex[v] = i;
        previous = green;
        start = i;
      }
    }
    GreenIndex[previous] = (start + last) >> 1;
    for (int v = previous + 1; v < 256; ++v) GreenIndex[v] = last;
  }

  int NetSize;
  std::vector<Neuron> Net;
  std::vector<int32_t> Bias, Freq, Weights;
  std::array<int, 256> GreenIndex{};
};

TIEQuantizer::TIEQuantizer(TBitmap* picture, std::span<TRGB> colorMap, int NCol, int Quality) {
  NCol = std::min<int64_t>(NCol, colorMap.size());
  if (NCol == 256 && _IsGrayScaleBitmap(picture)) {
    GrayScale = true;
    for (int i = 0; i < 256; ++i) colorMap[i] = TRGB{uint8_t(i), uint8_t(i), uint8_t(i)};
    return;
  }
  Build(TIERGBRows(picture), colorMap, NCol, Quality);
}

TIEQuantizer::TIEQuantizer(TIEBaseBitmap* picture, std::span<TRGB> colorMap, int NCol,
                           int Quality) {
  Build(TIERGBRows(picture), colorMap, std::min<int64_t>(NCol, colorMap.size()), Quality);
}

TIEQuantizer::~TIEQuantizer() {
  if (MedianCut) FreeMedianCutQuantizer(MedianCut);
}

void TIEQuantizer::Build(const TIERGBRows& picture, std::span<TRGB> colorMap, int NCol,
                         int Quality) {
  if (NCol >= 128) {
    Method = ieqNeuQuant;
    NeuQuant = std::make_unique<TIENeuQuant>(picture, NCol, Quality);
    NeuQuant->WriteColorMap(colorMap);
  } else {
    Method = ieqMedianCut;
    MedianCut = CreateMedianCutQuantizer(picture, colorMap, NCol);
  }
}

int TIEQuantizer::GetRGBIndex(const TRGB& rgb) const {
  if (GrayScale) return rgb.r;
  if (NeuQuant) return NeuQuant->Search(rgb.b, rgb.g, rgb.r);
  return MedianCutFindIndex(MedianCut, rgb);
}
