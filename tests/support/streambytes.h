// Memory streams as byte vectors, for tests of stream forms.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/classes.h"

namespace cwtest {

using Bytes = std::vector<uint8_t>;

// Everything the stream holds.
inline Bytes Contents(TMemoryStream& stream) {
  const auto* bytes = static_cast<const uint8_t*>(stream.Memory());
  return Bytes(bytes, bytes + stream.GetSize());
}

// Replaces the stream's contents with the bytes and rewinds it.
inline void Fill(TMemoryStream& stream, const Bytes& bytes) {
  stream.Clear();
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
}

// What an object's SaveToStream writes.
template <class T>
Bytes SavedBytes(T& object) {
  TMemoryStream stream;
  object.SaveToStream(&stream);
  return Contents(stream);
}

}  // namespace cwtest
