// The PCX file header shared by the reader and the writer.
#pragma once

#include <cstdint>

constexpr int kPcxHeaderSize = 128;
constexpr uint8_t kPcxManufacturer = 10;
constexpr uint8_t kPcxPaletteMark = 0x0C;
constexpr int kPcxPaletteBytes = 768;
// A byte of 0xC0 or above counts the repeats (low 6 bits) of the next.
constexpr uint8_t kPcxRunMark = 0xC0;
constexpr int kPcxMaxRun = 63;

// Header field offsets.
enum : int {
  kPcxVersion = 1,
  kPcxEncoding = 2,
  kPcxBitsPerPixel = 3,
  kPcxWindow = 4,  // xmin, ymin, xmax, ymax
  kPcxDpiX = 12,
  kPcxDpiY = 14,
  kPcxPalette16 = 16,
  kPcxPlanes = 65,
  kPcxBytesPerLine = 66,
  kPcxPaletteInfo = 68,
};
