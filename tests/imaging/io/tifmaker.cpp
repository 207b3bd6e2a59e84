#include "tifmaker.h"

#include <algorithm>

#include "imaging/io/ielzwhooks.h"
#include "imaging/io/tiflzw.h"

namespace cwtest {

TTiffLzwHooks::TTiffLzwHooks() {
  DefTIFF_LZWCOMPFUNC = TIFFLZWCompress;
  DefTIFF_LZWDECOMPFUNC = TIFFLZWDecompress;
}

TTiffLzwHooks::~TTiffLzwHooks() {
  DefTIFF_LZWCOMPFUNC = nullptr;
  DefTIFF_LZWDECOMPFUNC = nullptr;
}

TTifMaker& TTifMaker::Page() {
  pages_.emplace_back();
  inExif_ = false;
  return *this;
}

TTifMaker& TTifMaker::Exif() {
  pages_.back().HasExif = true;
  inExif_ = true;
  return *this;
}

TTifMaker::TDirectory& TTifMaker::Current() {
  return inExif_ ? pages_.back().ExifDir : pages_.back().Main;
}

void TTifMaker::Put16(std::vector<uint8_t>& out, uint32_t v) const {
  if (bigEndian_) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
  } else {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  }
}

void TTifMaker::Put32(std::vector<uint8_t>& out, uint32_t v) const {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(v >> (bigEndian_ ? 24 - 8 * i : 8 * i)));
}

TTifMaker& TTifMaker::Add(uint16_t tag, uint16_t type, uint32_t count, std::vector<uint8_t> data) {
  Current().Entries.push_back({tag, type, count, std::move(data)});
  return *this;
}

TTifMaker& TTifMaker::Short(uint16_t tag, std::vector<uint32_t> values) {
  std::vector<uint8_t> data;
  for (uint32_t v : values) Put16(data, v);
  return Add(tag, 3, static_cast<uint32_t>(values.size()), data);
}

TTifMaker& TTifMaker::Long(uint16_t tag, std::vector<uint32_t> values) {
  std::vector<uint8_t> data;
  for (uint32_t v : values) Put32(data, v);
  return Add(tag, 4, static_cast<uint32_t>(values.size()), data);
}

TTifMaker& TTifMaker::Rational(uint16_t tag, uint32_t numerator, uint32_t denominator) {
  std::vector<uint8_t> data;
  Put32(data, numerator);
  Put32(data, denominator);
  return Add(tag, 5, 1, data);
}

TTifMaker& TTifMaker::Ascii(uint16_t tag, const std::string& text) {
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return Add(tag, 2, static_cast<uint32_t>(data.size()), data);
}

TTifMaker& TTifMaker::Undefined(uint16_t tag, const std::vector<uint8_t>& bytes) {
  return Add(tag, 7, static_cast<uint32_t>(bytes.size()), bytes);
}

TTifMaker& TTifMaker::Strip(const std::vector<uint8_t>& bytes) {
  pages_.back().Blocks.push_back(bytes);
  return *this;
}

TTifMaker& TTifMaker::Tile(const std::vector<uint8_t>& bytes) {
  pages_.back().Tiled = true;
  return Strip(bytes);
}

uint32_t TTifMaker::WriteDirectory(std::vector<uint8_t>& out, TDirectory dir, size_t& link) const {
  std::sort(dir.Entries.begin(), dir.Entries.end(),
            [](const TEntry& a, const TEntry& b) { return a.Tag < b.Tag; });
  for (TEntry& e : dir.Entries) {
    if (e.Data.size() <= 4) continue;
    if (out.size() & 1) out.push_back(0);
    std::vector<uint8_t> offset;
    Put32(offset, static_cast<uint32_t>(out.size()));
    out.insert(out.end(), e.Data.begin(), e.Data.end());
    e.Data = offset;
  }
  if (out.size() & 1) out.push_back(0);
  const auto position = static_cast<uint32_t>(out.size());
  Put16(out, static_cast<uint32_t>(dir.Entries.size()));
  for (const TEntry& e : dir.Entries) {
    Put16(out, e.Tag);
    Put16(out, e.Type);
    Put32(out, e.Count);
    std::vector<uint8_t> value = e.Data;
    value.resize(4, 0);
    out.insert(out.end(), value.begin(), value.end());
  }
  link = out.size();
  Put32(out, 0);
  return position;
}

std::vector<uint8_t> TTifMaker::Build(size_t lead) const {
  std::vector<uint8_t> out(lead, 0);
  out.push_back(bigEndian_ ? 'M' : 'I');
  out.push_back(bigEndian_ ? 'M' : 'I');
  Put16(out, 42);
  size_t link = out.size();
  Put32(out, 0);
  auto patch = [&](size_t at, uint32_t value) {
    std::vector<uint8_t> v;
    Put32(v, value);
    std::copy(v.begin(), v.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
  };
  for (const TPage& page : pages_) {
    TDirectory main = page.Main;
    if (!page.Blocks.empty()) {
      std::vector<uint32_t> offsets;
      std::vector<uint32_t> counts;
      for (const auto& block : page.Blocks) {
        offsets.push_back(static_cast<uint32_t>(out.size()));
        counts.push_back(static_cast<uint32_t>(block.size()));
        out.insert(out.end(), block.begin(), block.end());
      }
      TTifMaker values(bigEndian_);
      values.Page().Long(page.Tiled ? 324 : 273, offsets).Long(page.Tiled ? 325 : 279, counts);
      for (const TEntry& e : values.pages_[0].Main.Entries) main.Entries.push_back(e);
    }
    if (page.HasExif) {
      size_t exifLink = 0;
      const uint32_t exif = WriteDirectory(out, page.ExifDir, exifLink);
      std::vector<uint8_t> v;
      Put32(v, exif);
      main.Entries.push_back({34665, 4, 1, v});
    }
    size_t next = 0;
    patch(link, WriteDirectory(out, main, next));
    link = next;
  }
  return out;
}

}  // namespace cwtest
