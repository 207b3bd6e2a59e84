// Stream helpers: checked writes, strings and string lists in streams, a
// growable byte buffer and a stream that only counts.
#pragma once

#include <bit>
#include <cstdint>
#include <string>

#include "platform/classes.h"

// Writes count bytes; sets error on a short write and never clears it.
void SafeStreamWrite(TStream* stream, bool& error, const void* buffer, int64_t count);

// A string is a 4-byte little-endian length and that many bytes; a list is
// a 4-byte count followed by its strings. Loading raises EReadError when the
// stream holds fewer bytes than the lengths claim.
void SaveStringToStream(TStream* stream, const std::string& text);
void LoadStringFromStream(TStream* stream, std::string& text);
void SaveStringListToStream(TStream* stream, TStrings* list);
// Clears the list first.
void LoadStringListFromStream(TStream* stream, TStrings* list);

// Stored counts are signed 32-bit; a negative one, or one whose units of
// bytesPerUnit bytes are more than the stream has left, means damaged data
// and raises EReadError.
int64_t IECheckedCount(TStream* stream, int64_t count, int64_t bytesPerUnit);

// A fixed-size value (integer, double, byte record) as its bytes in
// little-endian order, the order of every stream form of the library.
template <class T>
void IEWriteValue(TStream* stream, const T& value) {
  static_assert(std::endian::native == std::endian::little);
  stream->WriteBuffer(&value, sizeof(T));
}
template <class T>
T IEReadValue(TStream* stream) {
  T value;
  stream->ReadBuffer(&value, sizeof(T));
  return value;
}

// Byte buffer that grows and shrinks in steps of BlockSize.
class TIEByteArray : public TObject {
 public:
  TIEByteArray();
  ~TIEByteArray() override;
  TIEByteArray(const TIEByteArray&) = delete;
  TIEByteArray& operator=(const TIEByteArray&) = delete;

  void SetSize(int64_t n);
  void AddByte(uint8_t b);
  void Clear();
  // Appends up to n bytes read from the stream; returns how many came.
  int64_t AppendFromStream(TStream* stream, int64_t n);

  int64_t Size = 0;
  int64_t Capacity = 0;
  int64_t BlockSize = 8192;
  uint8_t* Data = nullptr;

 private:
  void Reallocate(int64_t capacity, int64_t keep);
};

// Stores nothing: reads and writes only move the position, and the size is
// the largest position reached. Used to measure encoded sizes.
class TNulStream : public TStream {
 public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t GetSize() override { return Largest; }

  int64_t Position = 0;
  int64_t Largest = 0;

 private:
  int64_t Advance(int64_t count);
};
