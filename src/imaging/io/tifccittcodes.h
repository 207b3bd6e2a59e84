// The code tables of the CCITT coders and the decoding trees built from
// them (shared by the decoder and encoder files of the unit).
#pragma once

#include <cstdint>
#include <vector>

struct TCCITTCode {
  int32_t Length = 0;  // bits
  uint32_t Code = 0;   // right-aligned
  int32_t Value = 0;   // run length; -1 and -3 (EOL) mark non-run entries
};

// Run values that are no runs.
constexpr int32_t kCCITTInvalid = -1;
constexpr int32_t kCCITTEol = -3;

// Run entries per colour: 0..63 terminating, 64..103 make-up, then EOL forms.
constexpr int kCCITTRunEntries = 128;
constexpr int kCCITTFirstMakeUp = 64;

// The two-dimensional mode entries, in matching order.
enum TCCITTMode {
  cmFill,
  cmPass,
  cmHorizontal,
  cmVL3,
  cmVL2,
  cmVL1,
  cmV0,
  cmVR1,
  cmVR2,
  cmVR3,
  cmExt2D,
  cmExt1D,
  cmEol,
  kCCITTModeCount
};

const TCCITTCode* CCITTModeCodes();
const TCCITTCode* CCITTRunCodes(bool black);

// Make-up code of a run that is a multiple of 64 (64 to 2560), per colour.
const TCCITTCode& CCITTMakeUpCode(bool black, int32_t run);
const TCCITTCode& CCITTEolCode();

// Decoding tree of one colour: node 0 is the root; an inner node has
// Entry < 0, a leaf holds the index of its run entry.
struct TCCITTNode {
  int32_t Entry = -1;
  int32_t Child[2] = {0, 0};  // 0: no branch (the root is never a child)
};
const std::vector<TCCITTNode>& CCITTRunTree(bool black);
