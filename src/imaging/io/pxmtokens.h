// Byte and token reading of portable bitmap headers and plain pixel data,
// buffered over a stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TStream;

class TPxmScanner {
 public:
  explicit TPxmScanner(TStream* stream);

  // The next byte, or -1 at the end of the stream.
  int NextByte();
  // A comment ("#" and the trimmed text up to the end of its line), a run
  // of ASCII letters and digits, or "" at the end of the stream; every
  // other byte separates tokens, and the byte that ends a token is used.
  std::string NextToken();
  // Up to count bytes; returns how many came.
  int64_t ReadBytes(uint8_t* buffer, int64_t count);
  // Bytes not yet used, buffered or still in the stream.
  int64_t BytesLeft() const;
  // Sets the stream just after the last byte used.
  void Release();

 private:
  bool Refill();

  TStream* stream_;
  std::vector<uint8_t> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
};

// A decimal integer token, or -1 for anything else; values beyond the
// 32-bit range saturate.
int64_t PxmNumber(const std::string& token);
