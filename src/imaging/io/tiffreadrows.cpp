#include "imaging/io/tiffreadrows.h"

#include <algorithm>
#include <cstring>

#include "imaging/io/iecodecutils.h"
#include "imaging/io/tifccitt.h"

namespace {

// The LZW coder takes a nil block for the end of a strip.
const uint8_t kNoData = 0;

}  // namespace

int64_t IETIFFRowBytes(const TTIFFVars& vars, int64_t width, int32_t samples) {
  const int64_t bits = IEMulSat(IEMulSat(width, samples > 0 ? samples : 0), vars.BitsPerSample);
  return bits == INT64_MAX ? INT64_MAX : (bits + 7) / 8;
}

TTIFFRowDecoder::TTIFFRowDecoder(const TTIFFVars& vars, const std::vector<uint8_t>& data,
                                 int64_t width, int32_t samples)
    : vars_(vars), data_(data), width_(width), samples_(samples),
      rowBytes_(IETIFFRowBytes(vars, width, samples)) {
  // Fax decoders write a 1-bit row whatever the tags say.
  row_.resize(static_cast<size_t>(std::max(rowBytes_, (width + 7) / 8)) + 1);
  if (vars.BitsPerSample < 8 && !(vars.BitsPerSample == 1 && vars.Photometric != 3))
    unpacked_.resize(static_cast<size_t>(width * samples) + 1);
  // The first reference row of two-dimensional fax coding is white.
  if (vars.Compression == kTiffG3 || vars.Compression == kTiffG4)
    reference_.assign(static_cast<size_t>((width + 7) / 8) + 1, 0xFF);
}

TTIFFRowDecoder::~TTIFFRowDecoder() {
  if (lzwContext_) vars_.LZW(nullptr, 0, 0, lzwContext_);
}

const uint8_t* TTIFFRowDecoder::Next() {
  if (!Decompress()) return nullptr;
  const bool fax = vars_.Compression >= kTiffCCITT1D && vars_.Compression <= kTiffG4;
  if (vars_.Compression == kTiffLZW && vars_.Predictor == 2) UndoPredictor();
  if (unpacked_.empty() || fax) return row_.data();
  Unpack();
  return unpacked_.data();
}

bool TTIFFRowDecoder::Decompress() {
  const auto length = static_cast<int64_t>(data_.size());
  const uint8_t* data = data_.data();
  const auto width = static_cast<int32_t>(std::min<int64_t>(width_, INT32_MAX));
  const int32_t fill = vars_.FillOrder == 2 ? ieFillLSB : ieFillMSB;
  switch (vars_.Compression) {
    case kTiffCCITT1D: {
      const int64_t at = std::min(pos_, length);
      pos_ = at + CCITTHuffmanGetLine(row_.data(), data + at, length - at, width, fill);
      return true;
    }
    case kTiffG3:
      if (!(vars_.T4Options & 1)) {
        pos_ = _CCITTHuffmanGetLine(row_.data(), data, length, width, pos_, fill);
        return true;
      }
      [[fallthrough]];
    case kTiffG4:
      pos_ = CCITT3_2D_GetLine(row_.data(), data, length, width, reference_.data(), pos_, fill,
                               (vars_.T4Options & 4) != 0);
      return true;
    case kTiffLZW: {
      const uint8_t* decoded =
          vars_.LZW(length ? data : &kNoData, length, static_cast<int32_t>(rowBytes_), lzwContext_);
      if (!decoded) return false;
      std::memcpy(row_.data(), decoded, static_cast<size_t>(rowBytes_));
      return true;
    }
    case kTiffPackBits: PackBits(); return true;
    default: {  // uncompressed; what the block lacks reads as 0
      const int64_t n = std::clamp<int64_t>(length - pos_, 0, rowBytes_);
      if (n > 0) std::memcpy(row_.data(), data + pos_, static_cast<size_t>(n));
      std::memset(row_.data() + n, 0, static_cast<size_t>(rowBytes_ - n));
      pos_ += rowBytes_;
      return true;
    }
  }
}

void TTIFFRowDecoder::PackBits() {
  const auto length = static_cast<int64_t>(data_.size());
  int64_t out = 0;
  while (out < rowBytes_ && pos_ < length) {
    const auto n = static_cast<int8_t>(data_[static_cast<size_t>(pos_++)]);
    if (n >= 0) {
      const int64_t count = std::min<int64_t>({n + 1, rowBytes_ - out, length - pos_});
      std::memcpy(row_.data() + out, data_.data() + pos_, static_cast<size_t>(std::max<int64_t>(count, 0)));
      out += std::max<int64_t>(count, 0);
      pos_ += n + 1;
    } else if (n != -128) {
      if (pos_ >= length) break;
      const int64_t count = std::min<int64_t>(1 - n, rowBytes_ - out);
      std::memset(row_.data() + out, data_[static_cast<size_t>(pos_++)], static_cast<size_t>(count));
      out += count;
    }
  }
  std::memset(row_.data() + out, 0, static_cast<size_t>(rowBytes_ - out));
}

// Small samples to one byte each: 4 bits split high nibble first, the other
// depths right-aligned; 4-bit grey is scaled to the top of the byte.
void TTIFFRowDecoder::Unpack() {
  const int32_t bits = vars_.BitsPerSample;
  const int64_t count = width_ * samples_;
  for (int64_t i = 0; i < count; ++i) {
    const int64_t bit = i * bits;
    uint32_t v = 0;
    for (int32_t k = 0; k < bits; ++k)
      v = (v << 1) | ((row_[static_cast<size_t>((bit + k) >> 3)] >> (7 - ((bit + k) & 7))) & 1);
    unpacked_[static_cast<size_t>(i)] = static_cast<uint8_t>(v);
  }
  if (bits == 4 && (vars_.Photometric == 0 || vars_.Photometric == 1))
    for (int64_t i = 0; i < count; ++i) unpacked_[static_cast<size_t>(i)] <<= 4;
}

void TTIFFRowDecoder::UndoPredictor() {
  uint8_t* r = row_.data();
  if (vars_.BitsPerSample == 8 && (samples_ == 1 || samples_ == 3 || samples_ == 4)) {
    for (int64_t i = samples_; i < width_ * samples_; ++i) r[i] = static_cast<uint8_t>(r[i] + r[i - samples_]);
  } else if (vars_.BitsPerSample == 16 && samples_ == 3) {
    const bool intel = vars_.Intel;
    auto get = [&](int64_t i) {
      return intel ? r[2 * i] | (r[2 * i + 1] << 8) : (r[2 * i] << 8) | r[2 * i + 1];
    };
    for (int64_t i = 3; i < width_ * 3; ++i) {
      const auto v = static_cast<uint16_t>(get(i) + get(i - 3));
      r[2 * i + (intel ? 0 : 1)] = static_cast<uint8_t>(v);
      r[2 * i + (intel ? 1 : 0)] = static_cast<uint8_t>(v >> 8);
    }
  }
}
