// The 12-byte stream header in front of JPEG, PCX and TIFF stream data.
#include <cstring>
#include <limits>

#include "imaging/core/iestreams.h"
#include "imaging/io/ieformats.h"

int64_t IEBeginStreamHeader(TStream* stream, bool& aborting) {
  const int64_t start = stream->GetPosition();
  const TStreamJpegHeader placeholder{};
  SafeStreamWrite(stream, aborting, &placeholder, sizeof(placeholder));
  return start;
}

void IEFinishStreamHeader(TStream* stream, int64_t start, const char* magic, bool& aborting) {
  const int64_t end = stream->GetPosition();
  const int64_t length = end - start - static_cast<int64_t>(sizeof(TStreamJpegHeader));
  if (length < 0 || length > std::numeric_limits<int32_t>::max()) aborting = true;
  if (aborting) return;
  TStreamJpegHeader header{};
  std::memcpy(header.Magic, magic, sizeof(header.Magic));
  header.Length = static_cast<int32_t>(length);
  stream->SetPosition(start);
  SafeStreamWrite(stream, aborting, &header, sizeof(header));
  stream->SetPosition(end);
}

bool IEIsStreamHeader(const TStreamJpegHeader& header, const char* magic) {
  // The magic is the text up to the first NUL of bytes 0 to 4.
  return std::memcmp(header.Magic, magic, sizeof(header.Magic)) == 0 && header.Zero[0] == 0;
}

bool IEReadStreamHeader(TStream* stream, const char* magic, int32_t& length) {
  const int64_t start = stream->GetPosition();
  TStreamJpegHeader header{};
  if (stream->Read(&header, sizeof(header)) == sizeof(header) && IEIsStreamHeader(header, magic) &&
      header.Length >= 0) {
    length = header.Length;
    return true;
  }
  stream->SetPosition(start);
  return false;
}
