// GIF LZW decoder and the two encoders (LZW with a hashed dictionary, and
// run coding with codes the decoder's table is known to hold).
#include "imaging/io/giflzw.h"

#include <array>
#include <cstring>
#include <memory>

#include "imaging/core/iestreams.h"
#include "imaging/io/iecodecutils.h"
#include "platform/classes.h"

namespace {

constexpr int kMaxBits = 12;
constexpr int kTableSize = 1 << kMaxBits;  // 4096 codes

// Rows of a frame in the order its data holds them: natural, or the four
// interlace passes. Past the last row Row() stays at or beyond the height.
class TGifRowOrder {
 public:
  TGifRowOrder(int64_t height, bool interlaced) : height_(height), interlaced_(interlaced) {}

  int64_t Row() const { return row_; }

  void Next() {
    if (!interlaced_) {
      ++row_;
      return;
    }
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    row_ += kStep[pass_];
    while (row_ >= height_ && pass_ < 3) {
      ++pass_;
      row_ = kStart[pass_];
    }
  }

 private:
  int64_t height_;
  bool interlaced_;
  int64_t row_ = 0;
  int pass_ = 0;
};

// Walks the pixels of an index buffer in the frame's row order.
class TPixelReader {
 public:
  TPixelReader(const uint8_t* data, int32_t height, int32_t width, bool interlaced, uint8_t mask)
      : data_(data), height_(height), width_(width), rows_(height, interlaced), mask_(mask) {}

  bool Done() const { return width_ <= 0 || rows_.Row() >= height_; }

  uint8_t Next() {
    const uint8_t p = data_[rows_.Row() * width_ + column_] & mask_;
    if (++column_ >= width_) {
      column_ = 0;
      rows_.Next();
    }
    return p;
  }

 private:
  const uint8_t* data_;
  int64_t height_;
  int64_t width_;
  TGifRowOrder rows_;
  int64_t column_ = 0;
  uint8_t mask_;
};

// Data sub-blocks of at most `blockSize` bytes, then (at Finish) what is
// left and the terminator.
class TSubBlockWriter {
 public:
  TSubBlockWriter(TStream* stream, int blockSize) : stream_(stream), blockSize_(blockSize) {}

  void Put(uint8_t b) {
    block_[1 + length_++] = b;
    if (length_ == blockSize_) Flush();
  }

  void Flush() {
    if (length_ == 0) return;
    block_[0] = static_cast<uint8_t>(length_);
    stream_->WriteBuffer(block_.data(), length_ + 1);
    length_ = 0;
  }

  void Finish() {
    Flush();
    const uint8_t terminator = 0;
    stream_->WriteBuffer(&terminator, 1);
  }

 private:
  TStream* stream_;
  int blockSize_;
  int length_ = 0;
  std::array<uint8_t, 256> block_{};
};

// Codes packed least significant bit first.
class TCodePacker {
 public:
  explicit TCodePacker(TSubBlockWriter& out) : out_(out) {}

  void Put(int code, int width) {
    accumulator_ |= static_cast<uint32_t>(code) << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      out_.Put(static_cast<uint8_t>(accumulator_));
      accumulator_ >>= 8;
      bits_ -= 8;
    }
  }

  // A partial last byte goes out too.
  void Flush() {
    if (bits_ > 0) out_.Put(static_cast<uint8_t>(accumulator_));
    accumulator_ = 0;
    bits_ = 0;
  }

 private:
  TSubBlockWriter& out_;
  uint32_t accumulator_ = 0;
  int bits_ = 0;
};

// Decoding ------------------------------------------------------------------------

// Appends every data sub-block up to a 0 length or the end of the stream.
void ReadSubBlocks(TStream* stream, TIEByteArray& data) {
  for (;;) {
    uint8_t length = 0;
    if (!IEReadExact(stream, &length, 1) || length == 0) return;
    if (data.AppendFromStream(stream, length) < length) return;
  }
}

class TLzwDecoder {
 public:
  TLzwDecoder(int codeSize, const TIEByteArray& data, int32_t height, int32_t width,
              bool interlaced, uint8_t* buffer)
      : codeSize_(codeSize), clear_(1 << codeSize), end_(clear_ + 1), data_(data.Data),
        totalBits_(data.Size * 8), height_(height), width_(width), rows_(height, interlaced),
        buffer_(buffer) {}

  // False on bad data.
  bool Run() {
    Reset();
    int c = 0;
    if (!ReadCode(c)) return true;
    for (;;) {
      // A full table takes nothing but a clear (or the end).
      if (full_ && c != clear_ && c != end_) return false;
      if (c == end_) return true;
      if (c == clear_) {
        Reset();
        do {
          if (!ReadCode(c)) return true;
        } while (c == clear_);
        // An end code here is good only when nothing but the padding of
        // the last byte follows.
        if (c == end_) return totalBits_ - bitPos_ < 8;
        if (c >= nextFree_) c = 0;
        Put(static_cast<uint8_t>(c));
        previous_ = c;
      } else if (c < nextFree_) {
        const uint8_t first = OutputString(c);
        if (previous_ >= 0) AddEntry(previous_, first);
        previous_ = c;
      } else if (c == nextFree_ && previous_ >= 0) {
        AddEntry(previous_, FirstByte(previous_));
        OutputString(c);
        previous_ = c;
      } else {
        return false;
      }
      if (!ReadCode(c)) return true;
    }
  }

 private:
  void Reset() {
    width_bits_ = codeSize_ + 1;
    nextFree_ = clear_ + 2;
    limit_ = 1 << width_bits_;
    full_ = false;
    previous_ = -1;
  }

  bool Exhausted() const { return bitPos_ + width_bits_ > totalBits_; }

  bool ReadCode(int& code) {
    if (Exhausted()) return false;
    const int64_t at = bitPos_ >> 3;
    const int64_t bytes = totalBits_ >> 3;
    uint32_t v = data_[at];
    if (at + 1 < bytes) v |= static_cast<uint32_t>(data_[at + 1]) << 8;
    if (at + 2 < bytes) v |= static_cast<uint32_t>(data_[at + 2]) << 16;
    code = static_cast<int>((v >> (bitPos_ & 7)) & ((1u << width_bits_) - 1));
    bitPos_ += width_bits_;
    return true;
  }

  void AddEntry(int prefix, uint8_t suffix) {
    if (full_) return;
    prefix_[nextFree_] = static_cast<uint16_t>(prefix);
    suffix_[nextFree_] = suffix;
    if (++nextFree_ < limit_) return;
    if (width_bits_ < kMaxBits) {
      ++width_bits_;
      limit_ <<= 1;
    } else {
      full_ = true;
    }
  }

  uint8_t FirstByte(int code) const {
    while (code >= clear_) code = prefix_[code];
    return static_cast<uint8_t>(code);
  }

  // Writes the string of a code; returns its first byte.
  uint8_t OutputString(int code) {
    int depth = 0;
    while (code >= clear_) {
      stack_[depth++] = suffix_[code];
      code = prefix_[code];
    }
    const auto first = static_cast<uint8_t>(code);
    Put(first);
    while (depth > 0) Put(stack_[--depth]);
    return first;
  }

  // Bytes for rows past the height are dropped.
  void Put(uint8_t b) {
    const int64_t row = rows_.Row();
    if (row < height_ && column_ < width_) buffer_[row * width_ + column_] = b;
    if (++column_ >= width_) {
      column_ = 0;
      rows_.Next();
    }
  }

  const int codeSize_;
  const int clear_;
  const int end_;
  const uint8_t* data_;
  const int64_t totalBits_;
  const int64_t height_;
  const int64_t width_;
  TGifRowOrder rows_;
  uint8_t* buffer_;
  int64_t column_ = 0;
  int64_t bitPos_ = 0;

  int width_bits_ = 0;
  int nextFree_ = 0;
  int limit_ = 0;
  bool full_ = false;
  int previous_ = -1;
  std::array<uint16_t, kTableSize> prefix_{};
  std::array<uint8_t, kTableSize> suffix_{};
  std::array<uint8_t, kTableSize> stack_{};
};

// LZW encoding ----------------------------------------------------------------------

constexpr int kHashSize = 5003;

class TLzwEncoder {
 public:
  TLzwEncoder(TStream* stream, int codeSize)
      : out_(stream, 254), packer_(out_), initBits_(codeSize + 1), clear_(1 << codeSize),
        end_(clear_ + 1) {}

  void Encode(TPixelReader& pixels) {
    bits_ = initBits_;
    maxCode_ = (1 << bits_) - 1;
    nextFree_ = clear_ + 2;
    keys_.fill(-1);
    if (pixels.Done()) {
      Output(clear_);
      Output(end_);
      out_.Finish();
      return;
    }
    int prefix = pixels.Next();
    Output(clear_);
    while (!pixels.Done()) {
      const int p = pixels.Next();
      const int32_t key = (p << kMaxBits) + prefix;
      int i = (p << 4) ^ prefix;
      if (keys_[i] == key) {
        prefix = codes_[i];
        continue;
      }
      if (keys_[i] >= 0) {
        const int step = i == 0 ? 1 : kHashSize - i;
        bool found = false;
        do {
          i -= step;
          if (i < 0) i += kHashSize;
          if (keys_[i] == key) {
            found = true;
            break;
          }
        } while (keys_[i] > 0);
        if (found) {
          prefix = codes_[i];
          continue;
        }
      }
      Output(prefix);
      prefix = p;
      if (nextFree_ < kTableSize) {
        codes_[i] = static_cast<uint16_t>(nextFree_++);
        keys_[i] = key;
      } else {
        keys_.fill(-1);
        nextFree_ = clear_ + 2;
        clearPending_ = true;
        Output(clear_);
      }
    }
    Output(prefix);
    Output(end_);
    out_.Finish();
  }

 private:
  void Output(int code) {
    packer_.Put(code, bits_);
    if (nextFree_ > maxCode_ || clearPending_) {
      if (clearPending_) {
        bits_ = initBits_;
        maxCode_ = (1 << bits_) - 1;
        clearPending_ = false;
      } else {
        ++bits_;
        maxCode_ = bits_ == kMaxBits ? kTableSize : (1 << bits_) - 1;
      }
    }
    if (code == end_) packer_.Flush();
  }

  TSubBlockWriter out_;
  TCodePacker packer_;
  const int initBits_;
  const int clear_;
  const int end_;
  int bits_ = 0;
  int maxCode_ = 0;
  int nextFree_ = 0;
  bool clearPending_ = false;
  std::array<int32_t, kHashSize> keys_{};
  std::array<uint16_t, kHashSize> codes_{};
};

// Run coding without a dictionary ------------------------------------------------------
//
// After a clear the decoder adds one table entry per code it reads; when a
// run of one pixel value is coded as pixel, pixel, then the codes of runs of
// 2, 3, ... those entries are exactly the runs of that pixel, so later runs
// can be sent as repeats of the longest such entry.

// Integer square root by Newton's iteration, started above the root.
uint64_t ISqrt(uint64_t x) {
  if (x < 2) return x;
  uint64_t r = 1;
  for (uint64_t v = x; v; v >>= 2) r <<= 1;
  for (;;) {
    const uint64_t v = (x / r + r) / 2;
    if (v == r || v == r + 1) return r;
    r = v;
  }
}

// Codes needed to send n pixels as runs of 1, 2, ..., m, 1, 2, ... .
uint64_t TriangleCount(uint64_t n, uint64_t m) {
  uint64_t cost = 0;
  const uint64_t perRound = m * (m + 1) / 2;
  while (n >= perRound) {
    cost += m;
    n -= perRound;
  }
  if (n > 0) {
    uint64_t d = ISqrt(n);
    while (d > 0 && d * (d + 1) >= 2 * n) --d;
    while (d * (d + 1) < 2 * n) ++d;
    cost += d;
  }
  return cost;
}

class TRunEncoder {
 public:
  TRunEncoder(TStream* stream, int codeSize)
      : out_(stream, 255), packer_(out_), initBits_(codeSize + 1), clear_(1 << codeSize),
        end_(clear_ + 1), base_(clear_ + 2), initBump_(clear_ - 1),
        initClearPoint_(initBits_ > 3 ? clear_ - 2 : 9), maxCodes_(kTableSize - 3 - clear_) {}

  void Encode(TPixelReader& pixels) {
    Reset();
    Output(clear_);
    int pixel = -1;
    uint64_t count = 0;
    while (!pixels.Done()) {
      const int p = pixels.Next();
      if (count > 0 && p != pixel) {
        Flush(pixel, count);
        count = 0;
      }
      if (p == pixel) {
        ++count;
      } else {
        pixel = p;
        count = 1;
      }
    }
    if (count > 0) Flush(pixel, count);
    Output(end_);
    packer_.Flush();
    out_.Finish();
  }

 private:
  void Output(int code) { packer_.Put(code, bits_); }

  void Reset() {
    bits_ = initBits_;
    bump_ = initBump_;
    clearPoint_ = initClearPoint_;
    count_ = 0;
    tableLength_ = 0;
    justCleared_ = true;
  }

  void OutputClear() {
    Output(clear_);
    Reset();
  }

  void Plain(int code) {
    justCleared_ = false;
    Output(code);
    ++count_;
    if (count_ >= bump_) {
      ++bits_;
      bump_ += uint64_t{1} << (bits_ - 1);
    }
    if (count_ >= clearPoint_) OutputClear();
  }

  void RestoreClearPoint() {
    clearPoint_ = initClearPoint_;
    if (count_ >= clearPoint_) OutputClear();
  }

  void Flush(int pixel, uint64_t n) {
    if (n == 1) {
      Plain(pixel);
    } else if (justCleared_) {
      FlushFromClear(pixel, n);
    } else if (tableLength_ > 1 && tablePixel_ == pixel) {
      FlushWithTable(pixel, n);
    } else if (1 + TriangleCount(n, maxCodes_) < n) {
      OutputClear();
      FlushFromClear(pixel, n);
    } else {
      for (; n > 0; --n) Plain(pixel);
    }
  }

  void FlushFromClear(int pixel, uint64_t n) {
    clearPoint_ = maxCodes_;
    tablePixel_ = pixel;
    uint64_t k = 1;
    while (n > 0) {
      if (k == 1) {
        tableLength_ = 1;
        Plain(pixel);
        --n;
      } else if (n >= k) {
        tableLength_ = k;
        Plain(base_ + static_cast<int>(k) - 2);
        n -= k;
      } else if (n == 1) {
        ++tableLength_;
        Plain(pixel);
        n = 0;
      } else {
        ++tableLength_;
        Plain(base_ + static_cast<int>(n) - 2);
        n = 0;
      }
      k = count_ == 0 ? 1 : k + 1;
    }
    RestoreClearPoint();
  }

  void FlushWithTable(int pixel, uint64_t n) {
    uint64_t repeats = n / tableLength_;
    uint64_t leftover = n % tableLength_;
    uint64_t leftoverCost = leftover > 0 ? 1 : 0;
    if (count_ + repeats + leftoverCost > maxCodes_) {
      repeats = maxCodes_ - count_;
      leftover = n - repeats * tableLength_;
      leftoverCost = 1 + TriangleCount(leftover, maxCodes_);
    }
    if (1 + TriangleCount(n, maxCodes_) < repeats + leftoverCost) {
      OutputClear();
      FlushFromClear(pixel, n);
      return;
    }
    clearPoint_ = maxCodes_;
    for (; repeats > 0; --repeats) Plain(base_ + static_cast<int>(tableLength_) - 2);
    if (leftover > 0) {
      if (justCleared_)
        FlushFromClear(pixel, leftover);
      else if (leftover == 1)
        Plain(pixel);
      else
        Plain(base_ + static_cast<int>(leftover) - 2);
    }
    RestoreClearPoint();
  }

  TSubBlockWriter out_;
  TCodePacker packer_;
  const int initBits_;
  const int clear_;
  const int end_;
  const int base_;
  const uint64_t initBump_;
  const uint64_t initClearPoint_;
  const uint64_t maxCodes_;

  int bits_ = 0;
  uint64_t bump_ = 0;
  uint64_t clearPoint_ = 0;
  uint64_t count_ = 0;
  uint64_t tableLength_ = 0;
  int tablePixel_ = -1;
  bool justCleared_ = true;
};

// Code size from the bits per pixel: 2 to 8.
int CodeSize(int32_t bitsPerPixel) {
  if (bitsPerPixel < 2) return 2;
  return bitsPerPixel > 8 ? 8 : bitsPerPixel;
}

void WriteCodeSize(TStream* stream, int codeSize) {
  const auto byte = static_cast<uint8_t>(codeSize);
  stream->WriteBuffer(&byte, 1);
}

}  // namespace

void GIFLZWDecompress(TStream* Stream, int32_t Height, int32_t Width, bool Interlaced,
                      uint8_t* Buffer) {
  const int64_t start = Stream->GetPosition();
  uint8_t codeSize = 0;
  if (!IEReadExact(Stream, &codeSize, 1) || codeSize < 2 || codeSize > 9) {
    Stream->SetPosition(start);
    return;
  }
  TIEByteArray data;
  ReadSubBlocks(Stream, data);
  if (data.Size == 0) return;
  // The tables are 16 KB: kept off the stack of callers deep in a form.
  auto decoder = std::make_unique<TLzwDecoder>(codeSize, data, Height, Width, Interlaced, Buffer);
  if (!decoder->Run()) Stream->SetPosition(start);
}

void GIFLZWCompress(TStream* Stream, int32_t Height, int32_t Width, bool Interlaced,
                    const uint8_t* Data, int32_t BitsPerPixel) {
  const int codeSize = CodeSize(BitsPerPixel);
  WriteCodeSize(Stream, codeSize);
  TPixelReader pixels(Data, Height, Width, Interlaced, static_cast<uint8_t>((1 << codeSize) - 1));
  auto encoder = std::make_unique<TLzwEncoder>(Stream, codeSize);
  encoder->Encode(pixels);
}

void GIFNONLZWCompress(TStream* Stream, int32_t Height, int32_t Width, bool Interlaced,
                       const uint8_t* Data, int32_t BitsPerPixel) {
  const int codeSize = CodeSize(BitsPerPixel);
  WriteCodeSize(Stream, codeSize);
  TPixelReader pixels(Data, Height, Width, Interlaced, static_cast<uint8_t>((1 << codeSize) - 1));
  TRunEncoder encoder(Stream, codeSize);
  encoder.Encode(pixels);
}
