#include "platform/xlsextent.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint16_t kSizeRecord = 0x0200;
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
    miniCutoff_ = Get32(&file_[56]);
    // The allocation table's sectors: 109 in the header, the rest in a chain
    // of sectors that each end with the next one's number.
    const uint32_t fatSectors = Get32(&file_[44]);
    if (fatSectors > SectorCount()) return false;
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
    return Chain(fat_, Get32(&file_[48]), directory_) && Chain(fat_, Get32(&file_[60]), miniFatBytes_, true);
  }

  // The bytes of the stream named `name` (or `other`); false when there is none.
  bool Stream(const std::u16string& name, const std::u16string& other, std::vector<uint8_t>& bytes) const {
    for (size_t e = 0; e + 128 <= directory_.size(); e += 128) {
      const uint8_t* entry = &directory_[e];
      const size_t nameBytes = std::min<size_t>(Get16(entry + 64), 64);
      std::u16string entryName;
      for (size_t i = 0; i + 2 <= nameBytes; i += 2)
        if (char16_t c = char16_t(Get16(entry + i))) entryName += c;
      if (entry[66] != 2 || !(SameName(entryName, name) || SameName(entryName, other))) continue;
      const uint32_t size = Get32(entry + 120);
      bool read = false;
      if (size < miniCutoff_) {
        std::vector<uint8_t> miniStream;
        read = Chain(fat_, Get32(&directory_[116]), miniStream) && MiniChain(miniStream, Get32(entry + 116), bytes);
      } else {
        read = Chain(fat_, Get32(entry + 116), bytes);
      }
      if (!read || bytes.size() < size) return false;
      bytes.resize(size);
      return true;
    }
    return false;
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
  uint32_t miniCutoff_ = 4096;
  std::vector<uint32_t> fat_;
  std::vector<uint8_t> directory_;
  std::vector<uint8_t> miniFatBytes_;
};

}  // namespace

int64_t XlsDeclaredCells(const std::vector<uint8_t>& file) {
  TCompoundFile compound(file);
  std::vector<uint8_t> stream;
  if (!compound.Open() || !compound.Stream(u"Workbook", u"Book", stream)) return -1;
  int64_t cells = 0;
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
  return cells;
}

bool XlsCellsFitFile(int64_t cells, int64_t fileBytes) {
  return cells <= std::max(kFreeCells, fileBytes * kCellsPerByte);
}
