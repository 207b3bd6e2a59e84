// The colour choices of the save-parameters dialog's pages and the depths
// (bits per sample, samples per pixel) they stand for, both ways.
#pragma once

#include <algorithm>

// TIFF: "B/W", "16", "256", "65536", "16M" (the short page has no
// "65536": "2", "16", "256", "16777216").
inline int TiffChoiceOfDepth(int bits, int samples, bool shortPage) {
  int choice;
  if (samples >= 3) choice = 4;
  else if (bits <= 1) choice = 0;
  else if (bits <= 4) choice = 1;
  else if (bits <= 8) choice = 2;
  else choice = 3;
  if (shortPage) return choice == 4 ? 3 : std::min(choice, 2);
  return choice;
}
inline void TiffDepthOfChoice(int choice, bool shortPage, int& bits, int& samples) {
  static const int kBits[] = {1, 4, 8, 16, 8};
  if (shortPage && choice == 3) choice = 4;
  choice = std::clamp(choice, 0, 4);
  bits = kBits[choice];
  samples = choice == 4 ? 3 : 1;
}

// BMP: "B/W", "16", "256", "65536", "16M", "16M (32bit)"; a depth not
// listed keeps the present choice.
inline int BmpChoiceOfDepth(int bits, int samples, int present) {
  if (samples == 1 && bits == 1) return 0;
  if (samples == 1 && bits == 4) return 1;
  if (samples == 1 && bits == 8) return 2;
  if (samples == 3 && bits == 5) return 3;
  if (samples == 3 && bits == 8) return 4;
  return present;
}
inline void BmpDepthOfChoice(int choice, int& bits, int& samples) {
  static const int kBits[] = {1, 4, 8, 5, 8, 8};
  choice = std::clamp(choice, 0, 5);
  bits = kBits[choice];
  samples = choice >= 3 ? 3 : 1;
}

// PCX: "B/W", "16", "256", "16M".
inline int PcxChoiceOfDepth(int bits, int samples) {
  if (samples >= 3) return 3;
  return bits <= 1 ? 0 : bits <= 4 ? 1 : 2;
}
inline void PcxDepthOfChoice(int choice, int& bits, int& samples) {
  static const int kBits[] = {1, 4, 8, 8};
  choice = std::clamp(choice, 0, 3);
  bits = kBits[choice];
  samples = choice == 3 ? 3 : 1;
}

// PNG and TGA: "B/W", "256", "16M".
inline int ThreeChoiceOfDepth(int bits, int samples) {
  if (samples == 1) return bits == 1 ? 0 : 1;
  return 2;
}
inline void ThreeDepthOfChoice(int choice, int& bits, int& samples) {
  choice = std::clamp(choice, 0, 2);
  bits = choice == 0 ? 1 : 8;
  samples = choice == 2 ? 3 : 1;
}
