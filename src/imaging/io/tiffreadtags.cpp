// TIFF directories: the header, the directory chain and the values of the
// entries of one loaded directory, every read checked against the stream.
#include <algorithm>
#include <cstring>
#include <set>

#include "imaging/io/iebyteorder.h"
#include "imaging/io/tiffilt.h"
#include "imaging/io/tiffreadvars.h"
#include "platform/classes.h"

namespace {

constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;

uint16_t Get16(const uint8_t* p, bool intel) { return intel ? IEGetLE16(p) : IEGetBE16(p); }
uint32_t Get32(const uint8_t* p, bool intel) {
  return intel ? IEGetLE32(p)
               : (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Reads count bytes at an absolute position; false when the stream does
// not hold them all.
bool ReadAt(TStream* stream, int64_t position, void* buffer, int64_t count) {
  if (position < 0 || count < 0 || position > stream->GetSize() - count) return false;
  stream->SetPosition(position);
  return count == 0 || stream->Read(buffer, count) == count;
}

int TypeSize(uint16_t type) {
  switch (type) {
    case 3:
    case 8: return 2;
    case 4:
    case 9:
    case 11: return 4;
    case 5:
    case 10:
    case 12: return 8;
    default: return 1;
  }
}

const TTIFFTag* Find(const TTIFFEnv& env, uint16_t tag) {
  const int32_t i = TIFFFindTAG(tag, env);
  return i < 0 ? nullptr : &env.Entries[static_cast<size_t>(i)];
}

// The entry's values: from the entry when they fit in its 4 bytes, else
// from its offset; empty when the stream does not hold them.
std::vector<uint8_t> Values(const TTIFFEnv& env, const TTIFFTag& e) {
  const int64_t bytes = int64_t{e.Count} * TypeSize(e.Type);
  if (bytes <= 4) return std::vector<uint8_t>(e.Raw, e.Raw + bytes);
  std::vector<uint8_t> data;
  if (bytes > env.Stream->GetSize()) return data;
  data.resize(static_cast<size_t>(bytes));
  if (!ReadAt(env.Stream, env.Base + e.Value, data.data(), bytes)) data.clear();
  return data;
}

bool ReadEntries(TTIFFEnv& env, int64_t at, uint16_t count) {
  std::vector<uint8_t> raw(size_t{count} * 12);
  if (!ReadAt(env.Stream, at, raw.data(), static_cast<int64_t>(raw.size()))) return false;
  env.Entries.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = &raw[i * 12];
    TTIFFTag& e = env.Entries[i];
    e.Tag = Get16(p, env.Intel);
    e.Type = Get16(p + 2, env.Intel);
    e.Count = Get32(p + 4, env.Intel);
    e.Value = Get32(p + 8, env.Intel);
    std::memcpy(e.Raw, p + 8, 4);
  }
  env.EntryCount = count;
  return true;
}

}  // namespace

bool IETIFFLoadDirectoryAt(const TTIFFEnv& page, uint32_t offset, TTIFFEnv& env) {
  TIFFFreeTags(env);
  env.Intel = page.Intel;
  env.Stream = page.Stream;
  env.Base = page.Base;
  uint8_t countBytes[2];
  if (offset == 0 || !ReadAt(env.Stream, env.Base + offset, countBytes, 2)) return false;
  return ReadEntries(env, env.Base + int64_t{offset} + 2, Get16(countBytes, env.Intel));
}

TTIFFHeader IETIFFWalk(TStream* stream, int64_t headerPos, int64_t base, int32_t index,
                       TTIFFEnv& env, int32_t& pages, bool& loaded) {
  TIFFFreeTags(env);
  pages = 0;
  loaded = false;
  uint8_t header[8];
  if (!ReadAt(stream, headerPos, header, 8)) return TTIFFHeader::Bad;
  if (!((header[0] == 'I' && header[1] == 'I') || (header[0] == 'M' && header[1] == 'M')))
    return TTIFFHeader::Bad;
  const bool intel = header[0] == 'I';
  env.Intel = intel;
  env.Stream = stream;
  env.Base = base;
  uint32_t offset = Get32(header + 4, intel);
  if (offset == 0) return TTIFFHeader::NoDirectory;

  std::set<uint32_t> visited;
  while (offset != 0 && visited.insert(offset).second) {
    uint8_t countBytes[2];
    if (!ReadAt(stream, base + offset, countBytes, 2)) break;
    const uint16_t count = Get16(countBytes, intel);
    const int64_t entriesAt = base + int64_t{offset} + 2;
    if (pages == index) {
      if (!ReadEntries(env, entriesAt, count)) break;
      loaded = true;
    }
    uint8_t next[4];
    // A directory without room for the next offset ends the chain uncounted.
    if (!ReadAt(stream, entriesAt + int64_t{count} * 12, next, 4)) break;
    ++pages;
    offset = Get32(next, intel);
    if (pages == INT32_MAX) break;
  }
  return TTIFFHeader::Ok;
}

bool TIFFLoadTags(TStream* Stream, int32_t& PageCount, int32_t Index, TTIFFEnv& Env) {
  const int64_t start = Stream->GetPosition();
  bool loaded = false;
  return IETIFFWalk(Stream, start, start, Index, Env, PageCount, loaded) == TTIFFHeader::Ok &&
         loaded;
}

void TIFFFreeTags(TTIFFEnv& Env) {
  Env.Entries.clear();
  Env.EntryCount = 0;
}

int32_t TIFFFindTAG(uint16_t Tag, const TTIFFEnv& Env) {
  for (size_t i = 0; i < Env.Entries.size(); ++i)
    if (Env.Entries[i].Tag == Tag) return static_cast<int32_t>(i);
  return -1;
}

int32_t TIFFGetDataLength(const TTIFFEnv& Env, uint16_t Tag) {
  const TTIFFTag* e = Find(Env, Tag);
  return e ? static_cast<int32_t>(std::min<uint32_t>(e->Count, INT32_MAX)) : 0;
}

int32_t TIFFReadSingleValDef(const TTIFFEnv& Env, uint16_t Tag, int32_t Default) {
  const TTIFFTag* e = Find(Env, Tag);
  if (!e) return Default;
  if (e->Type == kTypeShort) return Get16(e->Raw, Env.Intel);
  return static_cast<int32_t>(e->Value);
}

double TIFFReadRationalIndex(const TTIFFEnv& Env, uint16_t Tag, int32_t Index) {
  const TTIFFTag* e = Find(Env, Tag);
  if (!e || Index < 0 || static_cast<uint32_t>(Index) >= e->Count) return 0;
  uint8_t b[8];
  if (!ReadAt(Env.Stream, Env.Base + int64_t{e->Value} + 8 * int64_t{Index}, b, 8)) return 0;
  const uint32_t numerator = Get32(b, Env.Intel);
  const uint32_t denominator = Get32(b + 4, Env.Intel);
  const double d = denominator == 0 ? 1.0 : denominator;
  // Signed rationals (brightness, exposure bias) keep their sign.
  if (e->Type == 10)
    return static_cast<int32_t>(numerator) / (denominator == 0 ? 1.0 : static_cast<int32_t>(denominator));
  return numerator / d;
}

double TIFFReadSingleRational(const TTIFFEnv& Env, uint16_t Tag) {
  return TIFFReadRationalIndex(Env, Tag, 0);
}

int32_t TIFFReadIndexValN(const TTIFFEnv& Env, uint16_t Tag, int32_t Index) {
  const TTIFFTag* e = Find(Env, Tag);
  if (!e || Index < 0 || static_cast<uint32_t>(Index) >= e->Count) return 0;
  if (e->Type != kTypeShort && e->Type != kTypeLong) return 0;
  const int size = TypeSize(e->Type);
  uint8_t b[4] = {};
  if (int64_t{e->Count} * size <= 4) {
    std::memcpy(b, e->Raw + size * Index, static_cast<size_t>(size));
  } else if (!ReadAt(Env.Stream, Env.Base + int64_t{e->Value} + int64_t{size} * Index, b, size)) {
    return 0;
  }
  return size == 2 ? Get16(b, Env.Intel) : static_cast<int32_t>(Get32(b, Env.Intel));
}

int32_t TIFFReadArrayIntegers(const TTIFFEnv& Env, std::vector<int32_t>& Array, uint16_t Tag) {
  Array.clear();
  const TTIFFTag* e = Find(Env, Tag);
  if (!e) return 0;
  if (e->Count == 1) {
    Array.push_back(TIFFReadSingleValDef(Env, Tag, 0));
    return 1;
  }
  if (e->Type != kTypeShort && e->Type != kTypeLong) return 0;
  const std::vector<uint8_t> data = Values(Env, *e);
  if (data.empty()) return 0;
  const int size = TypeSize(e->Type);
  Array.resize(e->Count);
  for (size_t i = 0; i < Array.size(); ++i) {
    const uint8_t* p = &data[i * size];
    Array[i] = size == 2 ? Get16(p, Env.Intel) : static_cast<int32_t>(Get32(p, Env.Intel));
  }
  return static_cast<int32_t>(Array.size());
}

std::vector<uint8_t> TIFFReadRawData(const TTIFFEnv& Env, uint16_t Tag) {
  const TTIFFTag* e = Find(Env, Tag);
  if (!e || e->Count == 0) return {};
  TTIFFTag bytes = *e;
  bytes.Type = 1;  // count bytes
  return Values(Env, bytes);
}

std::string TIFFReadString(const TTIFFEnv& Env, uint16_t Tag) {
  const std::vector<uint8_t> data = TIFFReadRawData(Env, Tag);
  std::string text(data.begin(), data.end());
  // The terminating zeros are no part of the text.
  while (!text.empty() && text.back() == 0) text.pop_back();
  return text;
}

std::string TIFFReadMiniString(const TTIFFEnv& Env, uint16_t Tag) {
  const TTIFFTag* e = Find(Env, Tag);
  if (!e) return {};
  return std::string(reinterpret_cast<const char*>(e->Raw), std::min<uint32_t>(e->Count, 4));
}
