// Layout of TGA files shared by the reader and the writer.
#pragma once

#include <cstdint>

constexpr int kTgaHeaderSize = 18;
constexpr int kTgaFooterSize = 26;
constexpr int kTgaExtensionSize = 495;
// The footer's signature, followed by "." and a NUL.
constexpr char kTgaSignature[] = "TRUEVISION-XFILE";

// Header field offsets.
enum : int {
  kTgaIdLength = 0,
  kTgaColorMapType = 1,
  kTgaImageType = 2,
  kTgaMapFirst = 3,
  kTgaMapLength = 5,
  kTgaMapEntrySize = 7,
  kTgaXOrigin = 8,
  kTgaYOrigin = 10,
  kTgaWidth = 12,
  kTgaHeight = 14,
  kTgaDepth = 16,
  kTgaDescriptor = 17,
};

// Extension area offsets.
enum : int {
  kTgaExtAuthor = 2,
  kTgaExtStamp = 367,  // month, day, year, hour, minute, second
  kTgaExtJob = 379,
  kTgaExtKeyColor = 470,  // alpha, red, green, blue
  kTgaExtAspect = 474,    // numerator, denominator
  kTgaExtGamma = 478,
};
constexpr int kTgaNameBytes = 41;  // 40 characters and a NUL

constexpr uint8_t kTgaTopFirst = 0x20;
constexpr uint8_t kTgaRightToLeft = 0x10;
constexpr uint8_t kTgaRunPacket = 0x80;

inline bool TgaValidType(int type) {
  return type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
}
inline bool TgaValidDepth(int depth) {
  return depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}
