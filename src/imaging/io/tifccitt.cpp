// The T.4 code words as the coders use them: mode codes, run codes per
// colour and the decoding trees, built once before first use.
#include <array>
#include <cstring>

#include "imaging/io/tifccittcodes.h"

namespace {

// Terminating codes 0..63 and make-up codes 64..1728, in run order.
constexpr const char* kWhiteCodes[] = {
    "00110101", "000111", "0111", "1000", "1011", "1100", "1110", "1111", "10011", "10100",
    "00111", "01000", "001000", "000011", "110100", "110101", "101010", "101011", "0100111",
    "0001100", "0001000", "0010111", "0000011", "0000100", "0101000", "0101011", "0010011",
    "0100100", "0011000", "00000010", "00000011", "00011010", "00011011", "00010010",
    "00010011", "00010100", "00010101", "00010110", "00010111", "00101000", "00101001",
    "00101010", "00101011", "00101100", "00101101", "00000100", "00000101", "00001010",
    "00001011", "01010010", "01010011", "01010100", "01010101", "00100100", "00100101",
    "01011000", "01011001", "01011010", "01011011", "01001010", "01001011", "00110010",
    "00110011", "00110100",
    // make-up 64 .. 1728
    "11011", "10010", "010111", "0110111", "00110110", "00110111", "01100100", "01100101",
    "01101000", "01100111", "011001100", "011001101", "011010010", "011010011", "011010100",
    "011010101", "011010110", "011010111", "011011000", "011011001", "011011010", "011011011",
    "010011000", "010011001", "010011010", "011000", "010011011"};

constexpr const char* kBlackCodes[] = {
    "0000110111", "010", "11", "10", "011", "0011", "0010", "00011", "000101", "000100",
    "0000100", "0000101", "0000111", "00000100", "00000111", "000011000", "0000010111",
    "0000011000", "0000001000", "00001100111", "00001101000", "00001101100", "00000110111",
    "00000101000", "00000010111", "00000011000", "000011001010", "000011001011",
    "000011001100", "000011001101", "000001101000", "000001101001", "000001101010",
    "000001101011", "000011010010", "000011010011", "000011010100", "000011010101",
    "000011010110", "000011010111", "000001101100", "000001101101", "000011011010",
    "000011011011", "000001010100", "000001010101", "000001010110", "000001010111",
    "000001100100", "000001100101", "000001010010", "000001010011", "000000100100",
    "000000110111", "000000111000", "000000100111", "000000101000", "000001011000",
    "000001011001", "000000101011", "000000101100", "000001011010", "000001100110",
    "000001100111",
    // make-up 64 .. 1728
    "0000001111", "000011001000", "000011001001", "000001011011", "000000110011",
    "000000110100", "000000110101", "0000001101100", "0000001101101", "0000001001010",
    "0000001001011", "0000001001100", "0000001001101", "0000001110010", "0000001110011",
    "0000001110100", "0000001110101", "0000001110110", "0000001110111", "0000001010010",
    "0000001010011", "0000001010100", "0000001010101", "0000001011010", "0000001011011",
    "0000001100100", "0000001100101"};

// Extended make-up codes 1792 .. 2560, shared by both colours.
constexpr const char* kExtendedCodes[] = {
    "00000001000",  "00000001100",  "00000001101",  "000000010010", "000000010011",
    "000000010100", "000000010101", "000000010110", "000000010111", "000000011100",
    "000000011101", "000000011110", "000000011111"};

constexpr const char* kModeCodes[kCCITTModeCount] = {
    "000000000000",   // fill
    "0001",           // pass
    "001",            // horizontal
    "0000010",        // VL3
    "000010",         // VL2
    "010",            // VL1
    "1",              // V0
    "011",            // VR1
    "000011",         // VR2
    "0000011",        // VR3
    "0000001111",     // uncompressed mode, two-dimensional extension
    "000000001111",   // uncompressed mode, one-dimensional extension
    "000000000001"};  // EOL

TCCITTCode Parse(const char* bits, int32_t value) {
  TCCITTCode code;
  code.Length = static_cast<int32_t>(std::strlen(bits));
  for (const char* p = bits; *p; ++p) code.Code = (code.Code << 1) | (*p == '1' ? 1u : 0u);
  code.Value = value;
  return code;
}

// Zero bits followed by a one.
TCCITTCode ZerosThenOne(int zeros, int32_t value) {
  TCCITTCode code;
  code.Length = zeros + 1;
  code.Code = 1;
  code.Value = value;
  return code;
}

struct TTables {
  std::array<TCCITTCode, kCCITTModeCount> Modes;
  std::array<TCCITTCode, kCCITTRunEntries> Runs[2];
  std::vector<TCCITTNode> Trees[2];

  TTables() {
    for (int i = 0; i < kCCITTModeCount; ++i) Modes[i] = Parse(kModeCodes[i], i);
    for (int black = 0; black < 2; ++black) {
      auto& runs = Runs[black];
      const char* const* codes = black ? kBlackCodes : kWhiteCodes;
      for (int i = 0; i < 64; ++i) runs[i] = Parse(codes[i], i);
      for (int i = 0; i < 27; ++i) runs[64 + i] = Parse(codes[64 + i], (i + 1) * 64);
      for (int i = 0; i < 13; ++i) runs[91 + i] = Parse(kExtendedCodes[i], 1792 + i * 64);
      runs[104] = ZerosThenOne(11, kCCITTEol);
      // Not T.4 code words: eight to ten zeros and a one are skipped.
      for (int i = 0; i < 3; ++i) runs[105 + i] = ZerosThenOne(8 + i, kCCITTInvalid);
      // EOL after fill bits (up to 20 more zeros).
      for (int i = 0; i < 20; ++i) runs[108 + i] = ZerosThenOne(12 + i, kCCITTEol);
      Trees[black] = BuildTree(runs);
    }
  }

  static std::vector<TCCITTNode> BuildTree(const std::array<TCCITTCode, kCCITTRunEntries>& runs) {
    std::vector<TCCITTNode> tree(1);
    for (int entry = 0; entry < kCCITTRunEntries; ++entry) {
      const TCCITTCode& c = runs[entry];
      size_t node = 0;
      for (int bit = c.Length - 1; bit >= 0; --bit) {
        const int b = (c.Code >> bit) & 1;
        if (tree[node].Child[b] == 0) {
          tree[node].Child[b] = static_cast<int32_t>(tree.size());
          tree.emplace_back();
        }
        node = static_cast<size_t>(tree[node].Child[b]);
      }
      tree[node].Entry = entry;
    }
    return tree;
  }
};

// Built before main runs, as the decoders expect the trees to exist from
// unit start; the function-local form keeps the order of start-up safe.
const TTables& Tables() {
  static const TTables tables;
  return tables;
}
[[maybe_unused]] const TTables& kBuiltAtStart = Tables();

}  // namespace

const TCCITTCode* CCITTModeCodes() { return Tables().Modes.data(); }

const TCCITTCode* CCITTRunCodes(bool black) { return Tables().Runs[black ? 1 : 0].data(); }

const TCCITTCode& CCITTMakeUpCode(bool black, int32_t run) {
  const int index = run <= 1728 ? kCCITTFirstMakeUp + run / 64 - 1 : 91 + (run - 1792) / 64;
  return Tables().Runs[black ? 1 : 0][index];
}

const TCCITTCode& CCITTEolCode() { return Tables().Modes[cmEol]; }

const std::vector<TCCITTNode>& CCITTRunTree(bool black) { return Tables().Trees[black ? 1 : 0]; }
