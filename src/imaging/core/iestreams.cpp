#include "imaging/core/iestreams.h"

#include <cstdlib>
#include <cstring>

namespace {

void WriteLength(TStream* stream, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  stream->WriteBuffer(bytes, 4);
}

uint32_t ReadLength(TStream* stream) {
  uint8_t bytes[4];
  stream->ReadBuffer(bytes, 4);
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

int64_t CheckedLength(TStream* stream, uint32_t stored, int64_t bytesPerUnit) {
  return IECheckedCount(stream, static_cast<int32_t>(stored), bytesPerUnit);
}

}  // namespace

int64_t IECheckedCount(TStream* stream, int64_t count, int64_t bytesPerUnit) {
  const int64_t left = stream->GetSize() - stream->GetPosition();
  if (count < 0 || count > left / bytesPerUnit) throw EReadError("Stream read error");
  return count;
}

void SafeStreamWrite(TStream* stream, bool& error, const void* buffer, int64_t count) {
  if (stream->Write(buffer, count) < count) error = true;
}

void SaveStringToStream(TStream* stream, const std::string& text) {
  if (text.size() > INT32_MAX) throw EWriteError("Stream write error");
  WriteLength(stream, static_cast<uint32_t>(text.size()));
  stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void LoadStringFromStream(TStream* stream, std::string& text) {
  const int64_t length = CheckedLength(stream, ReadLength(stream), 1);
  std::string loaded(static_cast<size_t>(length), '\0');
  stream->ReadBuffer(loaded.data(), length);
  text = std::move(loaded);
}

void SaveStringListToStream(TStream* stream, TStrings* list) {
  WriteLength(stream, static_cast<uint32_t>(list->Count()));
  for (int i = 0; i < list->Count(); ++i) SaveStringToStream(stream, list->Get(i));
}

void LoadStringListFromStream(TStream* stream, TStrings* list) {
  list->Clear();
  // Each string takes at least its 4-byte length.
  const int64_t count = CheckedLength(stream, ReadLength(stream), 4);
  std::string text;
  for (int64_t i = 0; i < count; ++i) {
    LoadStringFromStream(stream, text);
    list->Add(text);
  }
}

// TIEByteArray ----------------------------------------------------------------------

TIEByteArray::TIEByteArray() { Reallocate(BlockSize, 0); }

TIEByteArray::~TIEByteArray() { std::free(Data); }

void TIEByteArray::Reallocate(int64_t capacity, int64_t keep) {
  auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(capacity)));
  if (block == nullptr) OutOfMemoryError();
  if (keep > 0) std::memcpy(block, Data, static_cast<size_t>(keep));
  std::free(Data);
  Data = block;
  Capacity = capacity;
}

void TIEByteArray::SetSize(int64_t n) {
  if (n < 0) n = 0;
  if (n > Capacity || n < Capacity - BlockSize) Reallocate(n + BlockSize, std::min(n, Size));
  Size = n;
}

void TIEByteArray::AddByte(uint8_t b) {
  SetSize(Size + 1);
  Data[Size - 1] = b;
}

void TIEByteArray::Clear() {
  std::free(Data);
  Data = nullptr;
  Size = 0;
  Reallocate(BlockSize, 0);
}

int64_t TIEByteArray::AppendFromStream(TStream* stream, int64_t n) {
  if (n <= 0) return 0;
  const int64_t oldSize = Size;
  SetSize(oldSize + n);
  int64_t got = stream->Read(Data + oldSize, n);
  if (got < 0) got = 0;
  SetSize(oldSize + got);
  return got;
}

// TNulStream --------------------------------------------------------------------------

int64_t TNulStream::Advance(int64_t count) {
  Position += count;
  if (Position > Largest) Largest = Position;
  return count;
}

int64_t TNulStream::Read(void*, int64_t count) { return Advance(count); }

int64_t TNulStream::Write(const void*, int64_t count) { return Advance(count); }

int64_t TNulStream::Seek(int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning:
      Position = 0;
      Advance(offset);
      break;
    case soCurrent:
      Advance(offset);
      break;
    case soEnd:
      // Measured from the end as every stream does; the size stays.
      Position = Largest + offset;
      break;
  }
  return Position;
}
