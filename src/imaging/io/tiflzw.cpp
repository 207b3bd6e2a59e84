// TIFF LZW: the decoder keeps the dictionary as (prefix code, last byte)
// pairs, so no entry needs memory of its own; the encoder finds strings
// through an open-addressing hash of 5003 slots.
#include "imaging/io/tiflzw.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/classes.h"

namespace {

constexpr int32_t kClear = 256;
constexpr int32_t kEndOfInformation = 257;
constexpr int32_t kFirstFree = 258;
constexpr int32_t kDictionarySize = 4096;

struct TDecoder {
  const uint8_t* Data = nullptr;
  int64_t Bits = 0;  // coded bits in the strip
  int64_t BitPos = 0;
  std::vector<uint8_t> Output;
  size_t Held = 0;      // decoded bytes in Output, the returned row first
  size_t Returned = 0;  // length of the row returned last
  std::array<int16_t, kDictionarySize> Prefix{};
  std::array<uint8_t, kDictionarySize> Last{};
  std::array<uint8_t, kDictionarySize> First{};
  std::array<uint16_t, kDictionarySize> Length{};
  int32_t Count = kFirstFree;
  int32_t Width = 9;
  int32_t Previous = -1;
  bool Ended = false;
  bool Error = false;

  TDecoder(const uint8_t* data, int64_t length) : Data(data), Bits(std::max<int64_t>(0, length) * 8) {
    for (int i = 0; i < 256; ++i) {
      Prefix[i] = -1;
      Last[i] = First[i] = static_cast<uint8_t>(i);
      Length[i] = 1;
    }
  }

  int32_t ReadCode() {
    if (BitPos + Width > Bits) return -1;
    int32_t code = 0;
    for (int i = 0; i < Width; ++i, ++BitPos)
      code = (code << 1) | ((Data[BitPos >> 3] >> (7 - (BitPos & 7))) & 1);
    return code;
  }

  void Reset() {
    Count = kFirstFree;
    Width = 9;
    Previous = -1;
  }

  // Appends the string of a code that is in the dictionary.
  void Emit(int32_t code) {
    const size_t n = Length[code];
    if (Output.size() < Held + n) Output.resize(std::max(Held + n, Output.size() * 2));
    for (size_t i = n; i-- > 0;) {
      Output[Held + i] = Last[code];
      code = Prefix[code];
    }
    Held += n;
  }

  void Add(int32_t prefix, uint8_t last) {
    if (Count >= kDictionarySize) {
      Error = true;
      return;
    }
    Prefix[Count] = static_cast<int16_t>(prefix);
    Last[Count] = last;
    First[Count] = First[prefix];
    Length[Count] = static_cast<uint16_t>(Length[prefix] + 1);
    ++Count;
    if (Count == 511) Width = 10;
    else if (Count == 1023) Width = 11;
    else if (Count == 2047) Width = 12;
  }

  // One code: false at the end of the data or on an error.
  bool Step() {
    const int32_t code = ReadCode();
    if (code < 0 || code == kEndOfInformation) {
      Ended = true;
      return false;
    }
    if (code == kClear) {
      Reset();
      return true;
    }
    if (code < Count) {
      // A strip that does not begin with Clear starts as if it did.
      if (Previous >= 0) Add(Previous, First[code]);
      if (!Error) Emit(code);
    } else {
      if (Previous < 0) {
        Error = true;
        return false;
      }
      Add(Previous, First[Previous]);
      if (!Error) Emit(Count - 1);
    }
    Previous = code < Count ? code : Count - 1;
    return !Error;
  }

  uint8_t* Row(int32_t rowLength) {
    // The bytes beyond the last row move to the front.
    Held -= Returned;
    if (Held > 0) std::memmove(Output.data(), Output.data() + Returned, Held);
    const auto r = static_cast<size_t>(std::max(rowLength, 0));
    while (Held < r && !Ended && Step()) {
    }
    if (Error) return nullptr;
    if (Output.size() < std::max<size_t>(r, 1)) Output.resize(std::max<size_t>(r, 1));
    if (Held < r) {
      std::fill(Output.begin() + static_cast<std::ptrdiff_t>(Held),
                Output.begin() + static_cast<std::ptrdiff_t>(r), 0);
      Held = r;
    }
    Returned = r;
    return Output.data();
  }
};

constexpr int32_t kHashSize = 5003;
constexpr int32_t kHashShift = 4;
constexpr int32_t kLastFreeBeforeClear = 4093;

struct TEncoder {
  TStream* Stream = nullptr;
  uint32_t Accumulator = 0;
  int32_t AccumulatedBits = 0;
  std::vector<uint8_t> Buffer;
  int32_t Width = 9;
  int32_t MaxCode = 511;
  int32_t FreeCode = kFirstFree;
  bool ClearFlag = false;
  std::array<int32_t, kHashSize> Keys;
  std::array<uint16_t, kHashSize> Codes{};
  int32_t Prefix = -1;  // pending code; -1 before the first byte

  explicit TEncoder(TStream* stream) : Stream(stream) { Keys.fill(-1); }

  void FlushBuffer() {
    if (!Buffer.empty()) Stream->Write(Buffer.data(), static_cast<int64_t>(Buffer.size()));
    Buffer.clear();
  }

  void Output(int32_t code) {
    Accumulator |= static_cast<uint32_t>(code) << (32 - AccumulatedBits - Width);
    AccumulatedBits += Width;
    while (AccumulatedBits >= 8) {
      Buffer.push_back(static_cast<uint8_t>(Accumulator >> 24));
      Accumulator <<= 8;
      AccumulatedBits -= 8;
    }
    if (Buffer.size() > 253) FlushBuffer();
    // One code early, as TIFF readers expect.
    if (FreeCode >= MaxCode || ClearFlag) {
      if (ClearFlag) {
        Width = 9;
        MaxCode = 511;
        ClearFlag = false;
      } else {
        ++Width;
        MaxCode = Width == 12 ? 4095 : (1 << Width) - 1;
      }
    }
  }

  void Finish() {
    if (Prefix >= 0) Output(Prefix);
    Output(kEndOfInformation);
    if (AccumulatedBits > 0) Buffer.push_back(static_cast<uint8_t>(Accumulator >> 24));
    Accumulator = 0;
    AccumulatedBits = 0;
    FlushBuffer();
  }

  void Encode(uint8_t c) {
    if (Prefix < 0) {
      Prefix = c;
      return;
    }
    const int32_t key = (int32_t{c} << 12) + Prefix;
    int32_t slot = (int32_t{c} << kHashShift) ^ Prefix;
    if (Keys[slot] == key) {
      Prefix = Codes[slot];
      return;
    }
    if (Keys[slot] != -1) {
      const int32_t step = slot == 0 ? 1 : kHashSize - slot;
      do {
        slot -= step;
        if (slot < 0) slot += kHashSize;
        if (Keys[slot] == key) {
          Prefix = Codes[slot];
          return;
        }
      } while (Keys[slot] > 0);
    }
    Output(Prefix);
    Prefix = c;
    if (FreeCode > kLastFreeBeforeClear) {
      Keys.fill(-1);
      FreeCode = kFirstFree;
      ClearFlag = true;
      Output(kClear);
    } else {
      Keys[slot] = key;
      Codes[slot] = static_cast<uint16_t>(FreeCode++);
    }
  }
};

}  // namespace

uint8_t* TIFFLZWDecompress(const uint8_t* Data, int64_t DataLength, int32_t RowLength,
                           void*& Context) {
  auto* decoder = static_cast<TDecoder*>(Context);
  if (!Data) {
    delete decoder;
    Context = nullptr;
    return nullptr;
  }
  if (!decoder) {
    decoder = new TDecoder(Data, DataLength);
    Context = decoder;
  }
  return decoder->Row(RowLength);
}

void TIFFLZWCompress(const uint8_t* Data, int32_t Length, TStream* Stream, void*& Context) {
  auto* encoder = static_cast<TEncoder*>(Context);
  if (!Data) {
    if (encoder) encoder->Finish();
    delete encoder;
    Context = nullptr;
    return;
  }
  if (!encoder) {
    encoder = new TEncoder(Stream);
    Context = encoder;
    encoder->Output(kClear);
  }
  for (int32_t i = 0; i < Length; ++i) encoder->Encode(Data[i]);
}
