// CCITT encoders: run codes, the two-dimensional modes and the framing of
// the Modified Huffman, G3, G3-2D and G4 streams.
#include <algorithm>
#include <cstring>

#include "imaging/core/iestreams.h"
#include "imaging/io/tifccitt.h"
#include "imaging/io/tifccittcodes.h"

namespace {

// Appends codes most significant bit first.
class TBitWriter {
 public:
  TBitWriter(std::vector<uint8_t>& buffer, int64_t& pos) : buffer_(buffer), pos_(pos) {}

  void Put(uint32_t code, int length) {
    const auto needed = static_cast<size_t>((pos_ + length + 7) / 8);
    if (buffer_.size() < needed) buffer_.resize(std::max(needed, buffer_.size() * 2), 0);
    for (int bit = length - 1; bit >= 0; --bit, ++pos_) {
      const uint8_t mask = static_cast<uint8_t>(0x80 >> (pos_ & 7));
      if ((code >> bit) & 1)
        buffer_[pos_ >> 3] |= mask;
      else
        buffer_[pos_ >> 3] &= static_cast<uint8_t>(~mask);
    }
  }
  void Put(const TCCITTCode& code) { Put(code.Code, code.Length); }

  void PutRun(bool black, int64_t run) {
    while (run > 2560) {
      Put(CCITTMakeUpCode(black, 2560));
      run -= 2560;
    }
    if (run >= 64) {
      Put(CCITTMakeUpCode(black, static_cast<int32_t>(run / 64 * 64)));
      run %= 64;
    }
    Put(CCITTRunCodes(black)[run]);
  }

 private:
  std::vector<uint8_t>& buffer_;
  int64_t& pos_;
};

// Rows to encode: a set bit is black.
bool IsBlack(const uint8_t* row, int64_t p) { return (row[p >> 3] & (0x80 >> (p & 7))) != 0; }

// First position from `from` on whose colour is not `black`.
int64_t RunEnd(const uint8_t* row, int64_t width, int64_t from, bool black) {
  while (from < width && IsBlack(row, from) == black) ++from;
  return from;
}

void PutRuns(const uint8_t* row, int64_t width, TBitWriter& out) {
  bool black = false;
  for (int64_t x = 0; x < width;) {
    const int64_t end = RunEnd(row, width, x, black);
    out.PutRun(black, end - x);
    x = end;
    black = !black;
  }
}

// The same rule as the decoder's: the first change of the reference row
// right of a0 to the colour opposite to the current one, and the next.
void FindB1B2(const uint8_t* ref, int64_t width, int64_t a0, bool black, int64_t& b1,
              int64_t& b2) {
  int64_t p = a0 + 1;
  const bool atA0 = a0 >= 0 && IsBlack(ref, a0);
  if (atA0 != black) p = RunEnd(ref, width, p, !black);
  b1 = RunEnd(ref, width, p, black);
  b2 = RunEnd(ref, width, b1, !black);
}

void PutRow2D(const uint8_t* row, int64_t width, const uint8_t* ref, TBitWriter& out) {
  const TCCITTCode* modes = CCITTModeCodes();
  int64_t a0 = -1;
  bool black = false;
  while (a0 < width) {
    const int64_t a1 = RunEnd(row, width, std::max<int64_t>(a0 + 1, 0), black);
    int64_t b1 = 0;
    int64_t b2 = 0;
    FindB1B2(ref, width, a0, black, b1, b2);
    if (b2 < a1) {
      out.Put(modes[cmPass]);
      a0 = b2;
    } else if (a1 - b1 >= -3 && a1 - b1 <= 3) {
      out.Put(modes[cmV0 + (a1 - b1)]);
      a0 = a1;
      black = !black;
    } else {
      const int64_t a2 = RunEnd(row, width, a1, !black);
      out.Put(modes[cmHorizontal]);
      out.PutRun(black, a1 - std::max<int64_t>(a0, 0));
      out.PutRun(!black, a2 - a1);
      a0 = a2;
    }
  }
}

size_t RowBytes(int32_t width) { return static_cast<size_t>((std::max(width, 0) + 7) / 8); }

// Coding with the bits carried between calls: whole bytes are written, the
// rest goes back to LastByte and BitCount.
class TCarriedBits {
 public:
  TCarriedBits(TStream* stream, uint8_t& lastByte, int32_t& bitCount, bool& abort)
      : stream_(stream), lastByte_(lastByte), bitCount_(bitCount), abort_(abort),
        buffer_(1, lastByte), pos_(bitCount & 7), out_(buffer_, pos_) {}

  TBitWriter& Out() { return out_; }

  void Flush(bool pad) {
    if (pad) pos_ = (pos_ + 7) / 8 * 8;
    const int64_t whole = pos_ / 8;
    if (whole > 0) SafeStreamWrite(stream_, abort_, buffer_.data(), whole);
    bitCount_ = static_cast<int32_t>(pos_ % 8);
    lastByte_ = bitCount_ ? buffer_[static_cast<size_t>(whole)] : 0;
  }

 private:
  TStream* stream_;
  uint8_t& lastByte_;
  int32_t& bitCount_;
  bool& abort_;
  std::vector<uint8_t> buffer_;
  int64_t pos_;
  TBitWriter out_;
};

void AllocateRef(std::vector<uint8_t>& ref, int32_t width) {
  ref.assign(static_cast<size_t>((std::max(width, 0) + 31) / 32 * 4), 0);
}

}  // namespace

void _CCITTHuffmanPutLine(const uint8_t* Row, int32_t Width, std::vector<uint8_t>& BitBuffer,
                          int64_t& BitPos) {
  TBitWriter out(BitBuffer, BitPos);
  PutRuns(Row, Width, out);
}

void CCITTHuffmanPutLine(const uint8_t* Row, int32_t Width, TStream* Stream, bool& Abort) {
  if (!Row) return;
  uint8_t last = 0;
  int32_t count = 0;
  TCarriedBits bits(Stream, last, count, Abort);
  PutRuns(Row, Width, bits.Out());
  bits.Flush(true);
}

void CCITTHuffmanPutLineG3(const uint8_t* Row, int32_t Width, TStream* Stream, uint8_t& LastByte,
                           int32_t& BitCount, bool& Abort) {
  TCarriedBits bits(Stream, LastByte, BitCount, Abort);
  // T.4 starts every coded line with an EOL; readers of other programs
  // synchronise on it.
  if (Row) {
    bits.Out().Put(CCITTEolCode());
    PutRuns(Row, Width, bits.Out());
  }
  bits.Flush(!Row);
}

void CCITTHuffmanPutLineG32D(const uint8_t* Row, int32_t Width, TStream* Stream,
                             uint8_t& LastByte, int32_t& BitCount, std::vector<uint8_t>& RefRow,
                             bool& Abort) {
  TCarriedBits bits(Stream, LastByte, BitCount, Abort);
  bits.Out().Put(CCITTEolCode());
  if (!Row) {
    RefRow.clear();
    RefRow.shrink_to_fit();
    return bits.Flush(true);
  }
  if (RefRow.size() < RowBytes(Width)) {
    bits.Out().Put(1, 1);
    PutRuns(Row, Width, bits.Out());
    AllocateRef(RefRow, Width);
  } else {
    bits.Out().Put(0, 1);
    PutRow2D(Row, Width, RefRow.data(), bits.Out());
  }
  std::memcpy(RefRow.data(), Row, RowBytes(Width));
  bits.Flush(false);
}

void CCITTHuffmanPutLineG4(const uint8_t* Row, int32_t Width, TStream* Stream, uint8_t& LastByte,
                           int32_t& BitCount, std::vector<uint8_t>& RefRow, bool& Abort) {
  TCarriedBits bits(Stream, LastByte, BitCount, Abort);
  if (!Row) {
    bits.Out().Put(CCITTEolCode());  // EOFB
    bits.Out().Put(CCITTEolCode());
    RefRow.clear();
    RefRow.shrink_to_fit();
    return bits.Flush(true);
  }
  if (RefRow.size() < RowBytes(Width)) AllocateRef(RefRow, Width);
  PutRow2D(Row, Width, RefRow.data(), bits.Out());
  std::memcpy(RefRow.data(), Row, RowBytes(Width));
  bits.Flush(false);
}
