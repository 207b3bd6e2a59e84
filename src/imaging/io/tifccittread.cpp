// CCITT decoders: one-dimensional run decoding and the two-dimensional
// modes, reading a 32-bit window of the coded bits.
#include <algorithm>
#include <bit>
#include <cstring>

#include "imaging/io/tifccitt.h"
#include "imaging/io/tifccittcodes.h"

namespace {

uint8_t Reversed(uint8_t b) {
  b = static_cast<uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
  b = static_cast<uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
  return static_cast<uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

// The coded bits; bytes past the end read as 0.
class TBitSource {
 public:
  TBitSource(const uint8_t* data, int64_t length, int32_t fillOrder)
      : data_(data), length_(data ? std::max<int64_t>(0, length) : 0), lsb_(fillOrder == ieFillLSB) {}

  int64_t Bits() const { return length_ * 8; }

  // The 32 bits from bit position pos, the first in the most significant bit.
  uint32_t Window(int64_t pos) const {
    const int64_t first = pos >> 3;
    uint64_t v = 0;
    for (int i = 0; i < 5; ++i) v = (v << 8) | Byte(first + i);
    return static_cast<uint32_t>(((v << (pos & 7)) & 0xFFFFFFFFFFull) >> 8);
  }

  int Bit(int64_t pos) const { return static_cast<int>(Window(pos) >> 31); }

 private:
  uint8_t Byte(int64_t i) const {
    if (i < 0 || i >= length_) return 0;
    return lsb_ ? Reversed(data_[i]) : data_[i];
  }

  const uint8_t* data_;
  int64_t length_;
  bool lsb_;
};

// Index of the run entry whose code starts the window, -1 when none does
// within 32 bits; length gets the code's bits.
int LookupRun(bool black, uint32_t window, int& length) {
  const std::vector<TCCITTNode>& tree = CCITTRunTree(black);
  int32_t node = 0;
  for (int bit = 0; bit < 32; ++bit) {
    node = tree[node].Child[(window >> (31 - bit)) & 1];
    if (node == 0) return -1;
    if (tree[node].Entry >= 0) {
      length = bit + 1;
      return tree[node].Entry;
    }
  }
  return -1;
}

TCCITTMode MatchMode(uint32_t window) {
  const TCCITTCode* modes = CCITTModeCodes();
  for (int i = 0; i < kCCITTModeCount; ++i)
    if ((window >> (32 - modes[i].Length)) == modes[i].Code) return static_cast<TCCITTMode>(i);
  return cmFill;
}

// Clears the bits of [from, to) (white is the row's initial fill).
void PaintBlack(uint8_t* row, int64_t from, int64_t to) {
  while (from < to && (from & 7)) {
    row[from >> 3] &= static_cast<uint8_t>(~(0x80 >> (from & 7)));
    ++from;
  }
  if (to - from >= 8) {
    std::memset(row + (from >> 3), 0, static_cast<size_t>((to - from) >> 3));
    from += (to - from) & ~int64_t{7};
  }
  for (; from < to; ++from) row[from >> 3] &= static_cast<uint8_t>(~(0x80 >> (from & 7)));
}

void Paint(uint8_t* row, int64_t from, int64_t to, bool black) {
  if (black) PaintBlack(row, std::max<int64_t>(from, 0), to);
}

bool IsBlackAt(const uint8_t* row, int64_t p) {
  return p >= 0 && !(row[p >> 3] & (0x80 >> (p & 7)));
}

void FillWhite(uint8_t* row, int32_t width) {
  std::memset(row, 0xFF, static_cast<size_t>((std::max(width, 0) + 7) / 8));
}

// Run decoding of one row from pos; returns the position after it.
int64_t DecodeRuns(uint8_t* row, const TBitSource& src, int64_t width, int64_t pos) {
  const int64_t end = src.Bits();
  bool black = false;
  bool started = false;  // a code other than skipped bits was read
  bool makeUpPending = false;
  int64_t x = 0;
  while ((x < width || makeUpPending) && pos < end) {
    int length = 0;
    const int entry = LookupRun(black, src.Window(pos), length);
    if (entry < 0) {
      ++pos;
      continue;
    }
    const TCCITTCode& code = CCITTRunCodes(black)[entry];
    if (code.Value == kCCITTEol) {
      if (!started) {
        pos += length;
        continue;
      }
      // An early EOL ends the row; it stays for the next row.
      if (black) PaintBlack(row, x, width);
      break;
    }
    pos += length;
    if (code.Value == kCCITTInvalid) continue;
    started = true;
    const int64_t run = std::clamp<int64_t>(width - x, 0, code.Value);
    if (black) PaintBlack(row, x, x + run);
    x += run;
    makeUpPending = entry >= kCCITTFirstMakeUp;
    if (!makeUpPending) black = !black;
  }
  return pos;
}

// One run (make-up codes and a terminating code) of a colour inside
// horizontal mode; -1 when a non-run code stands there (left unread).
int64_t ReadRun(const TBitSource& src, bool black, int64_t& pos) {
  int64_t total = 0;
  while (pos < src.Bits()) {
    int length = 0;
    const int entry = LookupRun(black, src.Window(pos), length);
    if (entry < 0) {
      ++pos;
      continue;
    }
    const int32_t value = CCITTRunCodes(black)[entry].Value;
    if (value < 0) return -1;
    pos += length;
    total = std::min<int64_t>(total + value, int64_t{1} << 40);
    if (entry < kCCITTFirstMakeUp) return total;
  }
  return -1;
}

// b1: the first changing element of the reference row right of a0 whose
// colour is opposite to the current one; b2: the next change after it.
void FindB1B2(const uint8_t* ref, int64_t width, int64_t a0, bool black, int64_t& b1,
              int64_t& b2) {
  int64_t p = a0 + 1;
  // Pixels that continue an opposite-coloured run from a0 are no change.
  if (IsBlackAt(ref, a0) != black)
    while (p < width && IsBlackAt(ref, p) != black) ++p;
  while (p < width && IsBlackAt(ref, p) == black) ++p;
  b1 = p;
  while (p < width && IsBlackAt(ref, p) != black) ++p;
  b2 = p;
}

// Uncompressed mode from pos (after its extension code).
void DecodeUncompressed(uint8_t* row, const TBitSource& src, int64_t width, int64_t& a0,
                        bool& black, int64_t& pos) {
  a0 = std::max<int64_t>(a0, 0);
  while (pos < src.Bits() && a0 < width) {
    const uint32_t window = src.Window(pos);
    const int zeros = window ? std::countl_zero(window) : 32;
    if (zeros > 10) return;  // no code word: the mode ends
    pos += zeros + 1;
    if (zeros <= 4) {  // k white pixels and one black one
      if (a0 + zeros < width) PaintBlack(row, a0 + zeros, a0 + zeros + 1);
      a0 = std::min(width, a0 + zeros + 1);
    } else if (zeros == 5) {
      a0 = std::min<int64_t>(width, a0 + 5);
    } else {  // exit: 0 to 4 white pixels, then the colour that follows
      a0 = std::min<int64_t>(width, a0 + zeros - 6);
      black = src.Bit(pos) == 1;
      ++pos;
      return;
    }
  }
}

}  // namespace

int64_t _CCITTHuffmanGetLine(uint8_t* Row, const uint8_t* Data, int64_t DataLength,
                             int32_t Width, int64_t BitPos, int32_t FillOrder) {
  FillWhite(Row, Width);
  return DecodeRuns(Row, TBitSource(Data, DataLength, FillOrder), Width, BitPos);
}

int64_t CCITTHuffmanGetLine(uint8_t* Row, const uint8_t* Data, int64_t DataLength, int32_t Width,
                            int32_t FillOrder) {
  return (_CCITTHuffmanGetLine(Row, Data, DataLength, Width, 0, FillOrder) + 7) / 8;
}

int64_t CCITT3_2D_GetLine(uint8_t* Row, const uint8_t* Data, int64_t DataLength, int32_t Width,
                          uint8_t* RefRow, int64_t BitPos, int32_t FillOrder, bool FillBits) {
  FillWhite(Row, Width);
  const TBitSource src(Data, DataLength, FillOrder);
  const int64_t width = std::max(Width, 0);
  const int64_t end = src.Bits();
  int64_t pos = BitPos;
  int64_t a0 = -1;
  bool black = false;
  bool atStart = true;
  while (a0 < width && pos < end) {
    const uint32_t window = src.Window(pos);
    TCCITTMode mode = MatchMode(window);
    int64_t length = CCITTModeCodes()[mode].Length;
    if (mode == cmFill && FillBits) {
      // Zero bits up to and including the next one: an EOL after fill.
      int64_t p = pos;
      while (p < end && src.Window(p) == 0) p += 32;
      length = p - pos + std::countl_zero(src.Window(p)) + 1;
      mode = cmEol;
    }
    if (mode == cmEol) {
      if (!atStart) {
        if (black) PaintBlack(Row, std::max<int64_t>(a0, 0), width);
        break;  // the EOL belongs to the next row
      }
      pos += length;
      const int tag = src.Bit(pos);
      ++pos;
      if (tag == 1) {
        pos = DecodeRuns(Row, src, width, pos);
        break;
      }
      continue;
    }
    atStart = false;
    pos += length;
    int64_t b1 = 0;
    int64_t b2 = 0;
    switch (mode) {
      case cmPass:
        FindB1B2(RefRow, width, a0, black, b1, b2);
        Paint(Row, a0, b2, black);
        a0 = b2;
        break;
      case cmVL3:
      case cmVL2:
      case cmVL1:
      case cmV0:
      case cmVR1:
      case cmVR2:
      case cmVR3: {
        FindB1B2(RefRow, width, a0, black, b1, b2);
        const int64_t a1 = std::clamp<int64_t>(b1 + (mode - cmV0), std::max<int64_t>(a0, 0), width);
        Paint(Row, a0, a1, black);
        a0 = a1;
        black = !black;
        break;
      }
      case cmHorizontal: {
        int64_t p = pos;
        const int64_t run1 = ReadRun(src, black, p);
        const int64_t run2 = run1 < 0 ? -1 : ReadRun(src, !black, p);
        if (run2 < 0) break;  // horizontal mode dropped
        pos = p;
        const int64_t start = std::max<int64_t>(a0, 0);
        const int64_t mid = std::min(width, start + run1);
        const int64_t stop = std::min(width, mid + run2);
        Paint(Row, start, mid, black);
        Paint(Row, mid, stop, !black);
        a0 = stop;
        break;
      }
      case cmExt2D:
      case cmExt1D: DecodeUncompressed(Row, src, width, a0, black, pos); break;
      default: break;  // fill without fill bits: skipped
    }
  }
  std::memcpy(RefRow, Row, static_cast<size_t>((width + 7) / 8));
  return pos;
}
