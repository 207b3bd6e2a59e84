// Shared fixtures of the table tests: card-holder tables in any level, and
// readers of the published dBASE layout that do not use our own code.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dbf.h"

namespace dbtest {

// The card-holder columns: 13 texts of `textWidth` bytes and three BLOBs.
inline std::vector<TDbfField> CardColumns(int textWidth = 20, char blobType = 'B') {
  std::vector<TDbfField> columns;
  for (char c = 'A'; c <= 'M'; ++c) columns.push_back({std::string(4, c), 'C', textWidth, 0, 0});
  for (const char* name : {"PIC", "BACKGROUND", "BARCODE"}) columns.push_back({name, blobType, 10, 0, 0});
  return columns;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();  // whole buffers, not a character at a time
  return bytes.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline uint32_t Le32(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
         uint32_t(uint8_t(b[at + 3])) << 24;
}
inline uint16_t Le16(const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

// A plain reading of a level III/IV/5/7 table and its IV-style memo file,
// written from the published layout: header, 32- or 48-byte column
// descriptors, records after the header, 10-digit block numbers, memo
// blocks of the header's block size opening with FF FF 08 00 and a length
// that counts those 8 bytes.
struct PlainTable {
  std::vector<std::string> names;
  std::vector<std::vector<std::string>> records;  // raw column bytes, deleted ones included
  std::vector<bool> deleted;
};

inline PlainTable ReadPlain(const std::string& dbfPath) {
  PlainTable t;
  std::string b = ReadFile(dbfPath);
  bool level7 = (uint8_t(b[0]) & 7) == 4;
  size_t at = level7 ? 68 : 32, step = level7 ? 48 : 32;
  uint32_t count = Le32(b, 4);
  uint16_t headerLength = Le16(b, 8), recordLength = Le16(b, 10);
  std::vector<int> lengths;
  for (; uint8_t(b[at]) != 0x0D; at += step) {
    t.names.push_back(std::string(b.c_str() + at));
    lengths.push_back(uint8_t(b[at + (level7 ? 33 : 16)]));
  }
  for (uint32_t r = 0; r < count; ++r) {
    size_t pos = headerLength + size_t(r) * recordLength;
    t.deleted.push_back(b[pos] == '*');
    std::vector<std::string> values;
    ++pos;
    for (int length : lengths) {
      values.push_back(b.substr(pos, size_t(length)));
      pos += size_t(length);
    }
    t.records.push_back(values);
  }
  return t;
}

// The BLOB a record's pointer names, from the memo file's bytes `m`.
inline std::string PlainBlobOf(const std::string& m, const std::string& pointer) {
  std::string digits;
  for (char c : pointer)
    if (c >= '0' && c <= '9') digits += c;
  uint32_t block = digits.empty() ? 0 : uint32_t(std::stoul(digits));
  if (block == 0) return {};
  size_t blockSize = Le16(m, 20) ? Le16(m, 20) : 512;
  size_t at = block * blockSize;
  if (m.compare(at, 4, "\xFF\xFF\x08\x00", 4) != 0) return "<no length mark>";
  return m.substr(at + 8, Le32(m, at + 4) - 8);
}

inline std::string ReadPlainBlob(const std::string& dbtPath, const std::string& pointer) {
  return PlainBlobOf(ReadFile(dbtPath), pointer);
}

// Reads a table with python's dbfread, the reader of another project: one
// line per column ("NAME T LENGTH"), then one line per record with its text
// values joined by '|'. False when python3 or dbfread is not there.
inline bool ReadWithDbfread(const std::string& dbfPath, const std::string& workDir, std::string& listing) {
  const std::string script = workDir + "/dbfread_listing.py";
  const std::string out = workDir + "/dbfread_listing.txt";
  WriteFile(script,
            "import sys, dbfread\n"
            "t = dbfread.DBF(sys.argv[1])\n"
            "with open(sys.argv[2], 'w', encoding='utf-8') as o:\n"
            "    for f in t.fields: o.write('%s %s %d\\n' % (f.name, f.type, f.length))\n"
            "    for r in t: o.write('|'.join(v for v in r.values() if isinstance(v, str)) + '\\n')\n");
  for (const char* python : {"/usr/bin/python3", "python3"}) {
    std::string probe = std::string(python) + " -c 'import dbfread' >/dev/null 2>&1";
    if (std::system(probe.c_str()) != 0) continue;
    std::string run = std::string(python) + " " + script + " '" + dbfPath + "' '" + out + "'";
    if (std::system(run.c_str()) != 0) return listing = "dbfread failed", true;
    listing = ReadFile(out);
    return true;
  }
  return false;
}

}  // namespace dbtest
