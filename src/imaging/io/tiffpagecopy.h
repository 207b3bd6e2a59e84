// Copying TIFF pages between files held in memory: a source file with its
// directory chain, and a new file built page by page in one byte order.
// Every offset and count of the source is checked against its bytes; a page
// that cannot be copied whole is refused and the new file stays as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TStream;

// A TIFF read whole into memory; offsets count from its first byte.
struct TTiffSource {
  std::vector<uint8_t> Bytes;
  bool Intel = true;
  std::vector<uint32_t> Pages;  // directory offsets in chain order

  bool Holds(uint64_t at, uint64_t count) const { return at <= Bytes.size() && count <= Bytes.size() - at; }
  uint16_t Get16(uint64_t at) const;
  uint32_t Get32(uint64_t at) const;
};

// Reads the stream from its position to its end and walks the chain. The
// chain ends at a zero link, at a directory seen before (a loop) and at a
// directory the bytes do not hold. False for a header other than "II"/"MM"
// with 42, and for files of 4 GB or more.
bool IELoadTiffSource(TStream* stream, TTiffSource& source);

// A TIFF built in memory: the header, then the pages as they are copied.
// It never grows past `budget` bytes (nor past 4 GB, offsets being 32-bit):
// a copy that would is refused.
class TTiffBuilder {
 public:
  TTiffBuilder(bool intel, uint64_t budget);

  // Appends the page at directory offset `ifd` of the source with its
  // strips or tiles and its values, and links it after the last page. The
  // EXIF, GPS and interoperability directories are copied with it; other
  // links to directories (sub-pages) are left out, since their old offsets
  // would point into the wrong file. False, with nothing added, when a
  // value or strip lies outside the source.
  bool CopyPage(const TTiffSource& source, uint32_t ifd);

  const std::vector<uint8_t>& Bytes() const { return out_; }
  int32_t PageCount() const { return pages_; }

 private:
  struct TEntry {
    uint16_t Tag;
    uint16_t Type;
    uint32_t Count;
    uint8_t Value[4];  // in the new file's byte order
  };

  // Copies one directory and the values it points to; its new offset, 0
  // when it cannot be copied.
  uint32_t CopyDirectory(const TTiffSource& source, uint32_t ifd, int depth);
  bool CopyStrips(const TTiffSource& source, const std::vector<uint32_t>& offsets,
                  const std::vector<uint32_t>& counts, TEntry& entry);
  // Stores the values (in the new order) in the entry, or after the file's
  // end with the entry pointing there.
  bool SetValue(TEntry& entry, const std::vector<uint8_t>& bytes);
  bool Append(const uint8_t* data, uint64_t size);
  bool Align();
  void Put16(uint8_t* p, uint16_t v) const;
  void Put32(uint8_t* p, uint32_t v) const;

  bool intel_;
  uint64_t budget_;
  std::vector<uint8_t> out_;
  uint64_t link_ = 4;  // the link field the next page's offset goes to
  int32_t pages_ = 0;
};
