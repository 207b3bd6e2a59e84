// Small .xls workbooks for tests: BIFF8 records in a "Workbook" stream of a
// compound file, as the spreadsheet reader expects them. Only what the
// reader needs is written: globals (code page, cell formats, sheets, shared
// strings), and per sheet its size, number and text cells.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <variant>
#include <vector>

namespace cwtest {

struct XlsCell {
  int Row = 0, Col = 0;  // zero-based
  std::variant<double, std::string> Value;
  bool Date = false;  // formatted as a date (the number counts days from 1900)
};

struct XlsSheet {
  std::string Name;
  std::vector<XlsCell> Cells;
  int Rows = 0, Cols = 0;  // used size; 0 takes it from the cells
};

namespace xlsdetail {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
inline void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
inline void Set32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}
inline void Record(Bytes& out, uint16_t type, const Bytes& data) {
  Put16(out, type);
  Put16(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
}

// UTF-8 to UTF-16 code units (the characters tests use lie in the BMP).
inline std::vector<uint16_t> Utf16(const std::string& text) {
  std::vector<uint16_t> units;
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<uint8_t>(text[i]);
    uint32_t cp = c;
    int extra = 0;
    if (c >= 0xE0) cp = c & 0x0F, extra = 2;
    else if (c >= 0xC0) cp = c & 0x1F, extra = 1;
    for (int k = 1; k <= extra && i + k < text.size(); ++k) cp = (cp << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3F);
    units.push_back(static_cast<uint16_t>(cp));
    i += 1 + extra;
  }
  return units;
}
// A BIFF8 unicode string: count, flags (UTF-16), characters.
inline void PutString(Bytes& b, const std::string& text, bool byteCount) {
  const auto units = Utf16(text);
  if (byteCount) b.push_back(static_cast<uint8_t>(units.size()));
  else Put16(b, static_cast<uint32_t>(units.size()));
  b.push_back(0x01);
  for (uint16_t u : units) Put16(b, u);
}
inline Bytes Bof(uint16_t kind) {
  Bytes b;
  Put16(b, 0x0600);
  Put16(b, kind);
  Put16(b, 0x0DBB);
  Put16(b, 0x07CC);
  Put32(b, 0);
  Put32(b, 0x06);
  return b;
}

constexpr uint16_t kGeneralXf = 15, kDateXf = 16;  // cell formats written below

}  // namespace xlsdetail

// The BIFF8 workbook stream of the sheets.
inline std::vector<uint8_t> XlsWorkbookStream(const std::vector<XlsSheet>& sheets) {
  using namespace xlsdetail;
  Bytes globals;
  Record(globals, 0x0809, Bof(0x0005));
  Record(globals, 0x0042, Bytes{0xB0, 0x04});  // code page 1200: UTF-16
  for (int i = 0; i <= kDateXf; ++i) {
    Bytes xf(20, 0);
    xf[2] = i == kDateXf ? 14 : 0;  // number format 14: a short date
    xf[4] = i < kGeneralXf ? 0xF5 : 0x01;  // style formats first, then cell formats
    Record(globals, 0x00E0, xf);
  }
  std::vector<size_t> sheetOffsetAt;
  for (const XlsSheet& sheet : sheets) {
    Bytes bound;
    Put32(bound, 0);  // patched below
    Put16(bound, 0);
    PutString(bound, sheet.Name, true);
    sheetOffsetAt.push_back(globals.size() + 4);
    Record(globals, 0x0085, bound);
  }
  std::vector<std::string> strings;
  for (const XlsSheet& sheet : sheets)
    for (const XlsCell& cell : sheet.Cells)
      if (auto* text = std::get_if<std::string>(&cell.Value)) strings.push_back(*text);
  Bytes sst;
  Put32(sst, static_cast<uint32_t>(strings.size()));
  Put32(sst, static_cast<uint32_t>(strings.size()));
  for (const std::string& text : strings) PutString(sst, text, false);
  Record(globals, 0x00FC, sst);
  Record(globals, 0x000A, {});

  Bytes stream = globals;
  uint32_t nextString = 0;
  for (size_t s = 0; s < sheets.size(); ++s) {
    const XlsSheet& sheet = sheets[s];
    Set32(stream, sheetOffsetAt[s], static_cast<uint32_t>(stream.size()));
    Record(stream, 0x0809, Bof(0x0010));
    int rows = sheet.Rows, cols = sheet.Cols;
    for (const XlsCell& cell : sheet.Cells) {
      rows = std::max(rows, cell.Row + 1);
      cols = std::max(cols, cell.Col + 1);
    }
    Bytes dim;
    Put32(dim, 0);
    Put32(dim, static_cast<uint32_t>(rows));
    Put16(dim, 0);
    Put16(dim, static_cast<uint32_t>(cols));
    Put16(dim, 0);
    Record(stream, 0x0200, dim);
    for (const XlsCell& cell : sheet.Cells) {
      Bytes data;
      Put16(data, static_cast<uint32_t>(cell.Row));
      Put16(data, static_cast<uint32_t>(cell.Col));
      Put16(data, cell.Date ? kDateXf : kGeneralXf);
      if (auto* number = std::get_if<double>(&cell.Value)) {
        uint8_t raw[8];
        std::memcpy(raw, number, 8);
        data.insert(data.end(), raw, raw + 8);
        Record(stream, 0x0203, data);
      } else {
        Put32(data, nextString++);
        Record(stream, 0x00FD, data);
      }
    }
    Record(stream, 0x000A, {});
  }
  return stream;
}

// (The shared strings go into one record: keep their total under 8 KB.)

// A compound file holding one stream. The stream is padded to the size
// that keeps it out of the small-stream area, so one FAT chain holds it.
inline std::vector<uint8_t> CompoundFileBytes(const std::string& streamName, std::vector<uint8_t> stream) {
  using namespace xlsdetail;
  constexpr uint32_t kSector = 512, kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSect = 0xFFFFFFFD;
  if (stream.size() < 4096) stream.resize(4096, 0);
  const uint32_t dataSectors = static_cast<uint32_t>((stream.size() + kSector - 1) / kSector);
  uint32_t fatSectors = 1;
  while (fatSectors * 128 < fatSectors + 1 + dataSectors) ++fatSectors;
  const uint32_t dirSector = fatSectors, firstData = fatSectors + 1;
  const uint32_t total = firstData + dataSectors;

  Bytes out(kSector, 0);
  const uint8_t magic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::memcpy(out.data(), magic, 8);
  out[24] = 0x3E;  // minor version
  out[26] = 0x03;  // major version 3: 512-byte sectors
  out[28] = 0xFE, out[29] = 0xFF;
  out[30] = 9;  // sector shift
  out[32] = 6;  // mini sector shift
  Set32(out, 44, fatSectors);
  Set32(out, 48, dirSector);
  Set32(out, 56, 4096);  // mini stream cut-off
  Set32(out, 60, kEnd);
  Set32(out, 68, kEnd);
  for (uint32_t i = 0; i < 109; ++i) Set32(out, 76 + 4 * i, i < fatSectors ? i : kFree);

  Bytes fat;
  for (uint32_t i = 0; i < fatSectors * 128; ++i) {
    uint32_t v = kFree;
    if (i < fatSectors) v = kFatSect;
    else if (i == dirSector) v = kEnd;
    else if (i < total) v = i + 1 == total ? kEnd : i + 1;
    Put32(fat, v);
  }
  out.insert(out.end(), fat.begin(), fat.end());

  auto entry = [](const std::string& name, uint8_t type, uint32_t child, uint32_t start, uint32_t size) {
    Bytes e(128, 0);
    const auto units = Utf16(name);
    for (size_t i = 0; i < units.size() && i < 31; ++i) e[2 * i] = units[i] & 0xFF, e[2 * i + 1] = units[i] >> 8;
    if (!name.empty()) e[64] = static_cast<uint8_t>(2 * (units.size() + 1));
    e[66] = type;
    e[67] = 1;  // black
    Set32(e, 68, kFree);
    Set32(e, 72, kFree);
    Set32(e, 76, child);
    Set32(e, 116, start);
    Set32(e, 120, size);
    return e;
  };
  Bytes dir = entry("Root Entry", 5, 1, kEnd, 0);
  Bytes file = entry(streamName, 2, kFree, firstData, static_cast<uint32_t>(stream.size()));
  dir.insert(dir.end(), file.begin(), file.end());
  dir.resize(kSector, 0);
  for (size_t at = 256; at < kSector; at += 128) Set32(dir, at + 68, kFree), Set32(dir, at + 72, kFree), Set32(dir, at + 76, kFree);
  out.insert(out.end(), dir.begin(), dir.end());
  stream.resize(size_t{dataSectors} * kSector, 0);
  out.insert(out.end(), stream.begin(), stream.end());
  return out;
}

inline std::vector<uint8_t> XlsBytes(const std::vector<XlsSheet>& sheets) {
  return CompoundFileBytes("Workbook", XlsWorkbookStream(sheets));
}

inline void WriteBytesFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace cwtest
