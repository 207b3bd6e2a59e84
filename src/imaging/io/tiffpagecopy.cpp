// Copying TIFF pages: the source's chain walk, and each directory copied
// with its strips, tiles and values into a new file whose offsets are
// rewritten to the new positions.
#include "imaging/io/tiffpagecopy.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "platform/classes.h"

namespace {

constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr uint16_t kIfd = 13;

constexpr uint16_t kStripOffsets = 273;
constexpr uint16_t kStripByteCounts = 279;
constexpr uint16_t kTileOffsets = 324;
constexpr uint16_t kTileByteCounts = 325;
constexpr uint16_t kSubIfds = 330;
constexpr uint16_t kExifIfd = 34665;
constexpr uint16_t kGpsIfd = 34853;
constexpr uint16_t kInteropIfd = 40965;

// Directories below a page that are copied with it: EXIF and GPS, and the
// interoperability directory inside EXIF.
constexpr int kMaxDirectoryDepth = 2;

// Bytes of one value of the type; 0 for types this format does not define.
int TypeSize(uint16_t type) {
  switch (type) {
    case 1: case 2: case 6: case 7: return 1;
    case 3: case 8: return 2;
    case 4: case 9: case 11: case 13: return 4;
    case 5: case 10: case 12: return 8;
    default: return 0;
  }
}

// The unit whose bytes turn round between byte orders (a rational is two
// 32-bit numbers).
int SwapUnit(uint16_t type) {
  const int size = TypeSize(type);
  return type == 5 || type == 10 ? 4 : size;
}

void SwapUnits(uint8_t* data, uint64_t size, int unit) {
  if (unit <= 1) return;
  for (uint64_t i = 0; i + unit <= size; i += unit) std::reverse(data + i, data + i + unit);
}

bool IsDirectoryLink(uint16_t tag) { return tag == kExifIfd || tag == kGpsIfd || tag == kInteropIfd; }

}  // namespace

uint16_t TTiffSource::Get16(uint64_t at) const {
  const uint8_t* p = &Bytes[at];
  return Intel ? IEGetLE16(p) : IEGetBE16(p);
}

uint32_t TTiffSource::Get32(uint64_t at) const {
  const uint8_t* p = &Bytes[at];
  return Intel ? IEGetLE32(p)
               : (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool IELoadTiffSource(TStream* stream, TTiffSource& source) {
  source = TTiffSource{};
  const int64_t left = IEStreamBytesLeft(stream);
  if (left < 8 || left > int64_t{UINT32_MAX}) return false;
  source.Bytes.resize(static_cast<size_t>(left));
  if (!IEReadExact(stream, source.Bytes.data(), left)) return false;
  const uint8_t* h = source.Bytes.data();
  if (!((h[0] == 'I' && h[1] == 'I') || (h[0] == 'M' && h[1] == 'M'))) return false;
  source.Intel = h[0] == 'I';
  if (source.Get16(2) != 42) return false;

  std::unordered_set<uint32_t> seen;
  uint32_t offset = source.Get32(4);
  while (offset != 0 && seen.insert(offset).second) {
    if (!source.Holds(offset, 2)) break;
    const uint64_t link = uint64_t{offset} + 2 + uint64_t{12} * source.Get16(offset);
    // A directory without room for its link ends the chain uncounted, as
    // the reader counts pages.
    if (!source.Holds(link, 4)) break;
    source.Pages.push_back(offset);
    offset = source.Get32(link);
  }
  return true;
}

TTiffBuilder::TTiffBuilder(bool intel, uint64_t budget) : intel_(intel), budget_(budget) {
  out_ = {static_cast<uint8_t>(intel ? 'I' : 'M'), static_cast<uint8_t>(intel ? 'I' : 'M'), 0, 0, 0, 0, 0, 0};
  Put16(&out_[2], 42);
}

void TTiffBuilder::Put16(uint8_t* p, uint16_t v) const { intel_ ? IEPutLE16(p, v) : IEPutBE16(p, v); }

void TTiffBuilder::Put32(uint8_t* p, uint32_t v) const {
  if (intel_) return IEPutLE32(p, v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

bool TTiffBuilder::Append(const uint8_t* data, uint64_t size) {
  // Offsets are 32-bit; the budget keeps a small file whose entries all
  // point at the same bytes from growing without end.
  if (out_.size() + size > std::min<uint64_t>(budget_, UINT32_MAX)) return false;
  out_.insert(out_.end(), data, data + size);
  return true;
}

bool TTiffBuilder::Align() {
  static const uint8_t kZero = 0;
  return (out_.size() & 1) == 0 || Append(&kZero, 1);
}

bool TTiffBuilder::CopyPage(const TTiffSource& source, uint32_t ifd) {
  const size_t mark = out_.size();
  const uint32_t at = CopyDirectory(source, ifd, 0);
  if (at == 0) {
    out_.resize(mark);
    return false;
  }
  Put32(&out_[link_], at);
  link_ = uint64_t{at} + 2 + uint64_t{12} * (intel_ ? IEGetLE16(&out_[at]) : IEGetBE16(&out_[at]));
  ++pages_;
  return true;
}

// The values of a SHORT or LONG entry whose 12 bytes start at `entry`;
// false for other types and for values outside the source.
static bool ReadIntegers(const TTiffSource& source, uint64_t entry, std::vector<uint32_t>& values) {
  const uint16_t type = source.Get16(entry + 2);
  const uint32_t count = source.Get32(entry + 4);
  if (type != kShort && type != kLong) return false;
  const uint64_t size = uint64_t{count} * TypeSize(type);
  const uint64_t at = size <= 4 ? entry + 8 : source.Get32(entry + 8);
  if (!source.Holds(at, size)) return false;
  values.resize(count);
  for (uint32_t i = 0; i < count; ++i)
    values[i] = type == kShort ? source.Get16(at + 2 * uint64_t{i}) : source.Get32(at + 4 * uint64_t{i});
  return true;
}

uint32_t TTiffBuilder::CopyDirectory(const TTiffSource& source, uint32_t ifd, int depth) {
  if (!source.Holds(ifd, 2)) return 0;
  const uint16_t count = source.Get16(ifd);
  if (!source.Holds(uint64_t{ifd} + 2, uint64_t{12} * count)) return 0;
  const size_t mark = out_.size();
  auto fail = [&] {
    out_.resize(mark);
    return 0u;
  };

  std::vector<uint32_t> stripCounts, tileCounts;
  for (uint16_t i = 0; i < count; ++i) {
    const uint64_t e = uint64_t{ifd} + 2 + uint64_t{12} * i;
    const uint16_t tag = source.Get16(e);
    if (tag == kStripByteCounts && !ReadIntegers(source, e, stripCounts)) return fail();
    if (tag == kTileByteCounts && !ReadIntegers(source, e, tileCounts)) return fail();
  }

  std::vector<TEntry> entries;
  for (uint16_t i = 0; i < count; ++i) {
    const uint64_t e = uint64_t{ifd} + 2 + uint64_t{12} * i;
    TEntry entry{source.Get16(e), source.Get16(e + 2), source.Get32(e + 4), {}};
    const int size = TypeSize(entry.Type);
    if (size == 0 || entry.Tag == kSubIfds) continue;  // nothing to copy it as
    if (entry.Tag == kStripOffsets || entry.Tag == kTileOffsets) {
      std::vector<uint32_t> offsets;
      if (!ReadIntegers(source, e, offsets)) return fail();
      if (!CopyStrips(source, offsets, entry.Tag == kStripOffsets ? stripCounts : tileCounts, entry))
        return fail();
    } else if (IsDirectoryLink(entry.Tag)) {
      // A copied page never keeps a link into the old file: the directory
      // comes along, or the link is left out.
      if (depth >= kMaxDirectoryDepth || entry.Count != 1 || (entry.Type != kLong && entry.Type != kIfd))
        continue;
      const uint32_t sub = CopyDirectory(source, source.Get32(e + 8), depth + 1);
      if (sub == 0) continue;
      entry.Type = kLong;
      Put32(entry.Value, sub);
    } else {
      const uint64_t bytes = uint64_t{entry.Count} * size;
      const uint64_t at = bytes <= 4 ? e + 8 : source.Get32(e + 8);
      if (!source.Holds(at, bytes)) return fail();
      std::vector<uint8_t> values(source.Bytes.begin() + static_cast<ptrdiff_t>(at),
                                  source.Bytes.begin() + static_cast<ptrdiff_t>(at + bytes));
      if (source.Intel != intel_) SwapUnits(values.data(), bytes, SwapUnit(entry.Type));
      if (!SetValue(entry, values)) return fail();
    }
    entries.push_back(entry);
  }

  std::stable_sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) { return a.Tag < b.Tag; });
  if (!Align()) return fail();
  const uint64_t at = out_.size();
  std::vector<uint8_t> dir(2 + 12 * entries.size() + 4, 0);
  Put16(dir.data(), static_cast<uint16_t>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) {
    uint8_t* p = &dir[2 + 12 * i];
    Put16(p, entries[i].Tag);
    Put16(p + 2, entries[i].Type);
    Put32(p + 4, entries[i].Count);
    std::memcpy(p + 8, entries[i].Value, 4);
  }
  if (!Append(dir.data(), dir.size())) return fail();
  return static_cast<uint32_t>(at);
}

bool TTiffBuilder::CopyStrips(const TTiffSource& source, const std::vector<uint32_t>& offsets,
                              const std::vector<uint32_t>& counts, TEntry& entry) {
  // A page's strips never overlap, so together they fit in the source;
  // counts that say otherwise are not trusted.
  if (counts.size() < offsets.size()) return false;
  uint64_t total = 0;
  for (size_t i = 0; i < offsets.size(); ++i) {
    if (!source.Holds(offsets[i], counts[i])) return false;
    total += counts[i];
  }
  if (total > source.Bytes.size()) return false;

  std::vector<uint8_t> moved(4 * offsets.size());
  for (size_t i = 0; i < offsets.size(); ++i) {
    Put32(&moved[4 * i], static_cast<uint32_t>(out_.size()));
    if (!Append(source.Bytes.data() + offsets[i], counts[i])) return false;
  }
  // New offsets may pass 65535, so they are always written as LONG.
  entry.Type = kLong;
  return SetValue(entry, moved);
}

bool TTiffBuilder::SetValue(TEntry& entry, const std::vector<uint8_t>& bytes) {
  std::memset(entry.Value, 0, 4);
  if (bytes.size() <= 4) {
    if (!bytes.empty()) std::memcpy(entry.Value, bytes.data(), bytes.size());
    return true;
  }
  if (!Align()) return false;
  Put32(entry.Value, static_cast<uint32_t>(out_.size()));
  return Append(bytes.data(), bytes.size());
}
