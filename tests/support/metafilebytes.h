// Small metafiles built record by record for tests: enhanced metafiles
// (EMF) on a 96-dpi reference device and placeable or plain Windows
// metafiles (WMF).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace cwtest {

using MetaBytes = std::vector<uint8_t>;

inline void PutLE(MetaBytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

// Record payloads: 32-bit and 16-bit values, bytes, text.
struct MetaPayload {
  MetaBytes bytes;
  MetaPayload& I32(std::initializer_list<int32_t> values) {
    for (int32_t v : values) PutLE(bytes, uint32_t(v), 4);
    return *this;
  }
  MetaPayload& I16(std::initializer_list<int16_t> values) {
    for (int16_t v : values) PutLE(bytes, uint16_t(v), 2);
    return *this;
  }
  MetaPayload& Raw(const MetaBytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return *this;
  }
  MetaPayload& Pad(size_t multiple) {
    while (bytes.size() % multiple) bytes.push_back(0);
    return *this;
  }
};

// A 24-bit bottom-up DIB (BITMAPINFOHEADER + rows) of colours 0x00RRGGBB
// given top row first.
inline MetaBytes Dib24(int width, int height, const std::vector<uint32_t>& topDown) {
  MetaBytes out;
  const uint32_t rowLen = (uint32_t(width) * 24 + 31) / 32 * 4;
  for (uint32_t v : {40u, uint32_t(width), uint32_t(height)}) PutLE(out, v, 4);
  PutLE(out, 1, 2);
  PutLE(out, 24, 2);
  for (uint32_t v : {0u, rowLen * height, 0u, 0u, 0u, 0u}) PutLE(out, v, 4);
  for (int y = height - 1; y >= 0; --y) {
    size_t start = out.size();
    for (int x = 0; x < width; ++x) {
      uint32_t c = topDown[size_t(y) * width + x];
      out.push_back(uint8_t(c));
      out.push_back(uint8_t(c >> 8));
      out.push_back(uint8_t(c >> 16));
    }
    while (out.size() - start < rowLen) out.push_back(0);
  }
  return out;
}

// EMF with a frame of width x height reference pixels (96 dpi).
class EmfBuilder {
 public:
  EmfBuilder(int width, int height) {
    PutLE(bytes_, 1, 4);
    PutLE(bytes_, 88, 4);
    for (int32_t v : {0, 0, width - 1, height - 1}) PutLE(bytes_, uint32_t(v), 4);  // bounds
    // Frame in 0.01 mm, rounded.
    for (int32_t v : {0, 0, (width * 2540 + 48) / 96, (height * 2540 + 48) / 96}) PutLE(bytes_, uint32_t(v), 4);
    PutLE(bytes_, 0x464D4520, 4);
    PutLE(bytes_, 0x10000, 4);
    PutLE(bytes_, 0, 4);  // bytes, patched
    PutLE(bytes_, 0, 4);  // records, patched
    PutLE(bytes_, 16, 2);  // handles
    PutLE(bytes_, 0, 2);
    for (int i = 0; i < 3; ++i) PutLE(bytes_, 0, 4);
    for (uint32_t v : {960u, 960u, 254u, 254u}) PutLE(bytes_, v, 4);  // 96 dpi device
  }
  EmfBuilder& Record(uint32_t type, const MetaPayload& payload) {
    PutLE(bytes_, type, 4);
    PutLE(bytes_, uint32_t(8 + payload.bytes.size()), 4);
    bytes_.insert(bytes_.end(), payload.bytes.begin(), payload.bytes.end());
    ++records_;
    return *this;
  }
  EmfBuilder& Record(uint32_t type, std::initializer_list<int32_t> values) {
    return Record(type, MetaPayload().I32(values));
  }
  MetaBytes Finish() {
    Record(14, {0, 16, 20});
    MetaBytes out = bytes_;
    for (int i = 0; i < 4; ++i) out[48 + i] = uint8_t(out.size() >> (8 * i));
    for (int i = 0; i < 4; ++i) out[52 + i] = uint8_t((records_ + 1) >> (8 * i));
    return out;
  }

 private:
  MetaBytes bytes_;
  uint32_t records_ = 0;
};

// WMF records; placeable with a bounding box and units per inch, or plain.
class WmfBuilder {
 public:
  WmfBuilder() = default;
  WmfBuilder(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t inch) {
    placeable_ = true;
    MetaPayload p;
    p.I32({int32_t(0x9AC6CDD7)}).I16({0, left, top, right, bottom, int16_t(inch)}).I32({0});
    uint16_t sum = 0;
    for (size_t i = 0; i < p.bytes.size(); i += 2) sum ^= uint16_t(p.bytes[i] | p.bytes[i + 1] << 8);
    p.I16({int16_t(sum)});
    prefix_ = p.bytes;
  }
  WmfBuilder& Record(uint16_t function, const MetaPayload& payload) {
    MetaPayload padded = payload;
    padded.Pad(2);
    PutLE(records_, uint32_t(3 + padded.bytes.size() / 2), 4);
    PutLE(records_, function, 2);
    records_.insert(records_.end(), padded.bytes.begin(), padded.bytes.end());
    return *this;
  }
  WmfBuilder& Record(uint16_t function, std::initializer_list<int16_t> words) {
    return Record(function, MetaPayload().I16(words));
  }
  MetaBytes Finish(uint16_t objects = 8) {
    Record(0, MetaPayload());
    MetaBytes out = prefix_;
    PutLE(out, 1, 2);
    PutLE(out, 9, 2);
    PutLE(out, 0x300, 2);
    PutLE(out, uint32_t(9 + records_.size() / 2), 4);
    PutLE(out, objects, 2);
    PutLE(out, 0, 4);
    PutLE(out, 0, 2);
    out.insert(out.end(), records_.begin(), records_.end());
    return out;
  }

 private:
  bool placeable_ = false;
  MetaBytes prefix_;
  MetaBytes records_;
};

}  // namespace cwtest
