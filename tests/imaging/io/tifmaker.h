// Hand-made TIFF files for the reader tests: pages of tag entries with
// their strips or tiles, in either byte order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cwtest {

// Installs the TIFF LZW coders for one test, as the picture forms do, and
// removes them afterwards.
class TTiffLzwHooks {
 public:
  TTiffLzwHooks();
  ~TTiffLzwHooks();
  TTiffLzwHooks(const TTiffLzwHooks&) = delete;
  TTiffLzwHooks& operator=(const TTiffLzwHooks&) = delete;
};

class TTifMaker {
 public:
  explicit TTifMaker(bool bigEndian = false) : bigEndian_(bigEndian) {}

  // Starts the next page; entries and strips go to the last page started.
  TTifMaker& Page();
  // Entries of the following calls go to the page's EXIF directory.
  TTifMaker& Exif();
  TTifMaker& Short(uint16_t tag, std::vector<uint32_t> values);
  TTifMaker& Long(uint16_t tag, std::vector<uint32_t> values);
  TTifMaker& Rational(uint16_t tag, uint32_t numerator, uint32_t denominator);
  TTifMaker& Ascii(uint16_t tag, const std::string& text);  // the zero is added
  TTifMaker& Undefined(uint16_t tag, const std::vector<uint8_t>& bytes);
  // A strip (or tile): its offset and byte count entries are made on Build.
  TTifMaker& Strip(const std::vector<uint8_t>& bytes);
  TTifMaker& Tile(const std::vector<uint8_t>& bytes);

  // The file; with lead, it starts after that many zero bytes and its
  // offsets count from the start of the result (as behind a stream header).
  std::vector<uint8_t> Build(size_t lead = 0) const;

 private:
  struct TEntry {
    uint16_t Tag;
    uint16_t Type;
    uint32_t Count;
    std::vector<uint8_t> Data;  // the values in the file's byte order
  };
  struct TDirectory {
    std::vector<TEntry> Entries;
  };
  struct TPage {
    TDirectory Main;
    TDirectory ExifDir;
    bool HasExif = false;
    bool Tiled = false;
    std::vector<std::vector<uint8_t>> Blocks;
  };

  TDirectory& Current();
  void Put16(std::vector<uint8_t>& out, uint32_t v) const;
  void Put32(std::vector<uint8_t>& out, uint32_t v) const;
  TTifMaker& Add(uint16_t tag, uint16_t type, uint32_t count, std::vector<uint8_t> data);
  // Writes the directory (values that do not fit first) and returns its
  // position; link gets the position of its next-directory field.
  uint32_t WriteDirectory(std::vector<uint8_t>& out, TDirectory dir, size_t& link) const;

  bool bigEndian_;
  bool inExif_ = false;
  std::vector<TPage> pages_;
};

}  // namespace cwtest
