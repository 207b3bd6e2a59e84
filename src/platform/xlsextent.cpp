#include "platform/xlsextent.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint16_t kSizeRecord = 0x0200;
constexpr uint32_t kMiniCutoff = 4096;
constexpr int64_t kFreeCells = int64_t{1} << 20;
constexpr int64_t kCellsPerByte = 16;
constexpr int64_t kManyCells = int64_t{1} << 60;

uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return uint32_t(Get16(p)) | uint32_t(Get16(p + 2)) << 16; }

// The sectors of a compound file, their allocation table and directory;
// every read is checked against the bytes present.
class TCompoundFile {
 public:
  explicit TCompoundFile(const std::vector<uint8_t>& file) : file_(file) {}

  bool Open() {
    static const uint8_t kMagic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (file_.size() < 512 || std::memcmp(file_.data(), kMagic, 8) != 0) return false;
    const uint16_t shift = Get16(&file_[30]);
    if (shift != 9 && shift != 12) return false;
    sectorSize_ = size_t{1} << shift;
    // Which streams lie in small sectors is fixed at this size; a file
    // saying otherwise could show the library other bytes than we check.
    if (Get32(&file_[56]) != kMiniCutoff) return false;
    // The allocation table's sectors: 109 in the header, the rest in a chain
    // of sectors that each end with the next one's number.
    const uint32_t fatSectors = Get32(&file_[44]);
    // Counts of sectors (of the table, the small sectors' table and the
    // table's continuation) that the file cannot hold: the library
    // allocates by them.
    for (size_t at : {44, 64, 72})
      if (Get32(&file_[at]) > SectorCount()) return false;
    std::vector<uint32_t> fatAt;
    for (uint32_t i = 0; i < 109 && fatAt.size() < fatSectors; ++i) fatAt.push_back(Get32(&file_[76 + 4 * i]));
    const size_t perSector = sectorSize_ / 4;
    uint32_t next = Get32(&file_[68]);
    for (size_t hops = 0; fatAt.size() < fatSectors && hops < SectorCount(); ++hops) {
      const uint8_t* s = Sector(next);
      if (!s) return false;
      for (size_t i = 0; i + 1 < perSector && fatAt.size() < fatSectors; ++i) fatAt.push_back(Get32(s + 4 * i));
      next = Get32(s + 4 * (perSector - 1));
    }
    if (fatAt.size() < fatSectors) return false;
    for (uint32_t at : fatAt) {
      const uint8_t* s = Sector(at);
      if (!s) return false;
      for (size_t i = 0; i < perSector; ++i) fat_.push_back(Get32(s + 4 * i));
    }
    if (!Chain(fat_, Get32(&file_[48]), directory_) || !Chain(fat_, Get32(&file_[60]), miniFatBytes_, true))
      return false;
    // A name runs at most to its entry's 64 bytes, and no stream is larger
    // than the file: the library copies names and allocates streams by the
    // lengths the entries give.
    for (size_t e = 0; e + 128 <= directory_.size(); e += 128)
      if (Get16(&directory_[e + 64]) > 64 || Get32(&directory_[e + 120]) > file_.size()) return false;
    return true;
  }

  // The bytes of every stream named `name` or `other`, whatever the entry's
  // type says: the library's choice among them is not ours to guess. False
  // when there is none or one cannot be read.
  bool Streams(const std::u16string& name, const std::u16string& other, std::vector<std::vector<uint8_t>>& streams) const {
    for (size_t e = 0; e + 128 <= directory_.size(); e += 128) {
      const uint8_t* entry = &directory_[e];
      std::u16string entryName;
      for (size_t i = 0; i + 2 <= Get16(entry + 64); i += 2)
        if (char16_t c = char16_t(Get16(entry + i))) entryName += c;
      if (!SameName(entryName, name) && !SameName(entryName, other)) continue;
      const uint32_t size = Get32(entry + 120);
      std::vector<uint8_t> bytes;
      if (size < kMiniCutoff) {
        std::vector<uint8_t> miniStream;
        if (!Chain(fat_, Get32(&directory_[116]), miniStream) || !MiniChain(miniStream, Get32(entry + 116), bytes))
          return false;
      } else if (!Chain(fat_, Get32(entry + 116), bytes)) {
        return false;
      }
      if (bytes.size() < size) return false;
      bytes.resize(size);
      streams.push_back(std::move(bytes));
    }
    return !streams.empty();
  }

 private:
  size_t SectorCount() const { return file_.size() / sectorSize_; }

  const uint8_t* Sector(uint32_t n) const {
    const size_t at = (size_t(n) + 1) * sectorSize_;
    return n < SectorCount() && at + sectorSize_ <= file_.size() ? &file_[at] : nullptr;
  }

  // Appends the sectors of the chain from `start`; a loop or a sector
  // outside the file fails it. An absent chain is empty when `mayBeAbsent`.
  bool Chain(const std::vector<uint32_t>& table, uint32_t start, std::vector<uint8_t>& bytes,
             bool mayBeAbsent = false) const {
    if (start >= kEndOfChain) return mayBeAbsent || start == kEndOfChain;
    for (uint32_t n = start, hops = 0; n != kEndOfChain; ++hops) {
      const uint8_t* s = Sector(n);
      if (!s || n >= table.size() || hops > SectorCount()) return false;
      bytes.insert(bytes.end(), s, s + sectorSize_);
      n = table[n];
    }
    return true;
  }

  // The 64-byte sectors of the small-stream area from `start`.
  bool MiniChain(const std::vector<uint8_t>& miniStream, uint32_t start, std::vector<uint8_t>& bytes) const {
    const size_t entries = miniFatBytes_.size() / 4;
    for (uint32_t n = start, hops = 0; n != kEndOfChain; ++hops) {
      const size_t at = size_t(n) * 64;
      if (n >= entries || at + 64 > miniStream.size() || hops > entries) return false;
      bytes.insert(bytes.end(), &miniStream[at], &miniStream[at] + 64);
      n = Get32(&miniFatBytes_[4 * size_t(n)]);
    }
    return true;
  }

  static bool SameName(const std::u16string& a, const std::u16string& b) {
    auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                               [&](char16_t x, char16_t y) { return upper(x) == upper(y); });
  }

  const std::vector<uint8_t>& file_;
  size_t sectorSize_ = 512;
  std::vector<uint32_t> fat_;
  std::vector<uint8_t> directory_;
  std::vector<uint8_t> miniFatBytes_;
};

// Reads across the parts of a record that CONTINUE records carry on; a
// read past the last part fails.
class TTextCursor {
 public:
  void Add(const uint8_t* data, size_t size) { parts_.push_back({data, size}); }

  bool Byte(uint8_t& b) {
    if (!Skip(0) || part_ == parts_.size()) return false;
    b = parts_[part_].first[at_++];
    return true;
  }
  bool Number(size_t bytes, uint32_t& value) {
    value = 0;
    for (size_t i = 0; i < bytes; ++i) {
      uint8_t b = 0;
      if (!Byte(b)) return false;
      value |= uint32_t(b) << (8 * i);
    }
    return true;
  }
  bool Skip(uint64_t n) {
    while (part_ < parts_.size() && (n > 0 || at_ == parts_[part_].second)) {
      if (at_ == parts_[part_].second) {
        ++part_, at_ = 0;
        continue;
      }
      const size_t k = size_t(std::min<uint64_t>(n, parts_[part_].second - at_));
      at_ += k, n -= k;
    }
    return n == 0;
  }
  // Characters of one or two bytes; where they run on into the next part,
  // that part starts with a byte saying how wide the rest are.
  bool Chars(uint32_t count, bool wide) {
    while (count > 0) {
      if (part_ == parts_.size()) return false;
      const size_t left = parts_[part_].second - at_;
      const size_t fit = std::min<size_t>(count, left / (wide ? 2 : 1));
      at_ += fit * (wide ? 2 : 1), count -= uint32_t(fit);
      if (count == 0) break;
      if (at_ != parts_[part_].second || ++part_ == parts_.size()) return false;
      at_ = 0;
      wide = parts_[part_].first[at_++] & 1;
    }
    return true;
  }
  // A text: its length in `lengthBytes` bytes, then (in the eight-byte
  // layout) option flags, formatting runs and extra bytes around it.
  bool Text(size_t lengthBytes, bool flagged) {
    uint32_t count = 0, runs = 0, extra = 0;
    uint8_t flags = 0;
    if (!Number(lengthBytes, count) || (flagged && !Byte(flags))) return false;
    if ((flags & 0x08) && !Number(2, runs)) return false;
    if ((flags & 0x04) && !Number(4, extra)) return false;
    return Chars(count, flags & 1) && Skip(uint64_t{runs} * 4) && Skip(extra);
  }

 private:
  std::vector<std::pair<const uint8_t*, size_t>> parts_;
  size_t part_ = 0, at_ = 0;
};

constexpr uint16_t kBofRecord = 0x0809, kContinueRecord = 0x003C, kSharedTextRecord = 0x00FC,
                   kSheetRecord = 0x0085, kFormatRecord = 0x041E, kLabelRecord = 0x0204;

// True when every text of the records the library copies texts from lies
// inside its record (and the CONTINUE records after it): the library copies
// them by the lengths they give.
bool TextsFitRecords(const std::vector<uint8_t>& stream) {
  bool eightByte = false;
  for (size_t p = 0; p + 4 <= stream.size();) {
    const uint16_t type = Get16(&stream[p]);
    const size_t length = std::min<size_t>(Get16(&stream[p + 2]), stream.size() - p - 4);
    const uint8_t* data = &stream[p + 4];
    p += 4 + length;
    if (type == kBofRecord && length >= 2) eightByte = Get16(data) == 0x0600;
    TTextCursor text;
    size_t skip = 0;
    switch (type) {
      case kSharedTextRecord: skip = 8; break;
      case kSheetRecord: skip = 6; break;
      case kFormatRecord: skip = 2; break;
      case kLabelRecord: skip = 6; break;
      default: continue;
    }
    if (length < skip) return false;
    text.Add(data + skip, length - skip);
    if (type == kSharedTextRecord) {
      if (!eightByte) continue;
      while (p + 4 <= stream.size() && Get16(&stream[p]) == kContinueRecord) {
        const size_t more = std::min<size_t>(Get16(&stream[p + 2]), stream.size() - p - 4);
        text.Add(&stream[p + 4], more);
        p += 4 + more;
      }
      for (uint32_t i = 0, count = Get32(data + 4); i < count; ++i)
        if (!text.Text(2, true)) return false;
    } else if (!text.Text(type == kSheetRecord ? 1 : (eightByte || type == kLabelRecord ? 2 : 1), eightByte)) {
      return false;
    }
  }
  return true;
}

}  // namespace

int64_t XlsDeclaredCells(const std::vector<uint8_t>& file) {
  TCompoundFile compound(file);
  std::vector<std::vector<uint8_t>> streams;
  if (!compound.Open() || !compound.Streams(u"Workbook", u"Book", streams)) return -1;
  int64_t cells = 0;
  for (const std::vector<uint8_t>& stream : streams) {
    if (!TextsFitRecords(stream)) return -1;
    for (size_t p = 0; p + 4 <= stream.size();) {
      const uint16_t type = Get16(&stream[p]);
      const size_t length = Get16(&stream[p + 2]);
      const uint8_t* data = &stream[p + 4];
      const bool whole = p + 4 + length <= stream.size();
      // The last row and column (each one past the last used) of a sheet:
      // 32-bit rows in the eight-byte layout, 16-bit ones before it.
      if (whole && type == kSizeRecord && length >= 14)
        cells += int64_t{Get32(data + 4)} * Get16(data + 10);
      else if (whole && type == kSizeRecord && length >= 10)
        cells += int64_t{Get16(data + 2)} * Get16(data + 6);
      if (cells > kManyCells) return kManyCells;  // the sum stays far from overflowing
      p += 4 + length;
    }
  }
  return cells;
}

bool XlsCellsFitFile(int64_t cells, int64_t fileBytes) {
  return cells <= std::max(kFreeCells, fileBytes * kCellsPerByte);
}
