// The row writer of the TIFF writer: the picture's rows turned into the
// page's samples and coded into one strip.
#include "imaging/io/tiffwriterows.h"

#include <algorithm>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iecielab.h"
#include "imaging/core/iestreams.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/tifccitt.h"

namespace {

void FlushLiteral(const uint8_t* start, int64_t count, std::vector<uint8_t>& out) {
  if (count == 0) return;
  out.push_back(static_cast<uint8_t>(count - 1));
  out.insert(out.end(), start, start + count);
}

}  // namespace

void TIFFPackBitsRow(const uint8_t* row, int64_t length, std::vector<uint8_t>& out) {
  int64_t literalStart = 0;
  int64_t i = 0;
  while (i < length) {
    int64_t run = 1;
    while (i + run < length && run < 128 && row[i + run] == row[i]) ++run;
    if (run >= 4) {
      FlushLiteral(row + literalStart, i - literalStart, out);
      out.push_back(static_cast<uint8_t>(1 - run));
      out.push_back(row[i]);
      i += run;
      literalStart = i;
      continue;
    }
    // Shorter runs join the literal, which never grows past 128 bytes.
    for (int64_t k = 0; k < run; ++k, ++i) {
      if (i - literalStart == 128) {
        FlushLiteral(row + literalStart, 128, out);
        literalStart = i;
      }
    }
  }
  FlushLiteral(row + literalStart, i - literalStart, out);
}

TTiffRowWriter::TTiffRowWriter(TStream* stream, TIEBitmap* source, const TTiffRowPlan& plan,
                               TProgressRec& progress, bool& abort)
    : stream_(stream), source_(source), plan_(plan), progress_(progress), abort_(abort) {}

void TTiffRowWriter::Write() {
  const int64_t width = plan_.width;
  const int64_t rowBytes =
      plan_.kind == TTiffPageKind::Bilevel ? (width + 7) / 8 : (int64_t{plan_.bits} * plan_.samples * width + 7) / 8;
  std::vector<uint8_t> row(static_cast<size_t>(rowBytes) + 1);
  IEProgressStart(progress_, source_->Height);
  for (int y = 0; y < source_->Height && !abort_; ++y) {
    const uint8_t* line = source_->GetScanLine(y);
    if (plan_.kind == TTiffPageKind::Bilevel) {
      std::copy(line, line + rowBytes, row.begin());
      // The caller's picture stays as it is; only the copy is inverted.
      if (plan_.invert)
        for (int64_t i = 0; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(~row[i]);
    } else {
      PackRgbRow(line, row.data());
    }
    PutRow(row.data(), rowBytes);
    if (IEProgressStep(progress_)) break;
  }
  if (!abort_) return Finish();
  // The LZW coder frees its context only on its closing call.
  if (lzwContext_) plan_.lzw(nullptr, 0, stream_, lzwContext_);
}

void TTiffRowWriter::PackRgbRow(const uint8_t* bgr, uint8_t* out) const {
  const int32_t width = plan_.width;
  switch (plan_.kind) {
    case TTiffPageKind::Cmyk:
      for (int32_t x = 0; x < width; ++x, bgr += 3, out += 4) {
        const int b = bgr[0], g = bgr[1], r = bgr[2];
        const int m = std::max({r, g, b, 1});
        out[0] = static_cast<uint8_t>(255 - r * 255 / m);
        out[1] = static_cast<uint8_t>(255 - g * 255 / m);
        out[2] = static_cast<uint8_t>(255 - b * 255 / m);
        out[3] = static_cast<uint8_t>(255 - std::max({r, g, b}));
      }
      return;
    case TTiffPageKind::CieLab:
      for (int32_t x = 0; x < width; ++x, bgr += 3, out += 3) {
        const TIELAB lab = IERGB2CIELAB(TRGB{bgr[0], bgr[1], bgr[2]});
        out[0] = lab.l;
        out[1] = static_cast<uint8_t>(lab.a);
        out[2] = static_cast<uint8_t>(lab.b);
      }
      return;
    case TTiffPageKind::Palette: {
      const int32_t bits = plan_.bits;
      if (bits == 8) {
        for (int32_t x = 0; x < width; ++x, bgr += 3)
          out[x] = static_cast<uint8_t>(plan_.quantizer->GetRGBIndex(TRGB{bgr[0], bgr[1], bgr[2]}));
        return;
      }
      std::fill(out, out + (int64_t{bits} * width + 7) / 8, 0);
      int64_t bit = 0;
      for (int32_t x = 0; x < width; ++x, bgr += 3, bit += bits) {
        const int index = plan_.quantizer->GetRGBIndex(TRGB{bgr[0], bgr[1], bgr[2]});
        for (int32_t k = 0; k < bits; ++k)
          if (index & (1 << (bits - 1 - k))) out[(bit + k) >> 3] |= static_cast<uint8_t>(0x80 >> ((bit + k) & 7));
      }
      return;
    }
    default: {
      uint8_t* first = out;
      for (int32_t x = 0; x < width; ++x, bgr += 3, out += 3) {
        out[0] = bgr[2];
        out[1] = bgr[1];
        out[2] = bgr[0];
      }
      if (plan_.predictor)
        for (int64_t i = int64_t{3} * width - 1; i >= 3; --i)
          first[i] = static_cast<uint8_t>(first[i] - first[i - 3]);
      return;
    }
  }
}

void TTiffRowWriter::PutRow(const uint8_t* row, int64_t length) {
  switch (plan_.compression) {
    case 2: return CCITTHuffmanPutLine(row, plan_.width, stream_, abort_);
    case 3:
      if (plan_.twoDimensional)
        return CCITTHuffmanPutLineG32D(row, plan_.width, stream_, lastByte_, bitCount_, refRow_, abort_);
      return CCITTHuffmanPutLineG3(row, plan_.width, stream_, lastByte_, bitCount_, abort_);
    case 4: return CCITTHuffmanPutLineG4(row, plan_.width, stream_, lastByte_, bitCount_, refRow_, abort_);
    case 5: return plan_.lzw(row, static_cast<int32_t>(length), stream_, lzwContext_);
    case 32773:
      packed_.clear();
      TIFFPackBitsRow(row, length, packed_);
      return SafeStreamWrite(stream_, abort_, packed_.data(), static_cast<int64_t>(packed_.size()));
    default: return SafeStreamWrite(stream_, abort_, row, length);
  }
}

void TTiffRowWriter::Finish() {
  switch (plan_.compression) {
    case 3:
      if (plan_.twoDimensional)
        return CCITTHuffmanPutLineG32D(nullptr, 0, stream_, lastByte_, bitCount_, refRow_, abort_);
      return CCITTHuffmanPutLineG3(nullptr, 0, stream_, lastByte_, bitCount_, abort_);
    case 4: return CCITTHuffmanPutLineG4(nullptr, 0, stream_, lastByte_, bitCount_, refRow_, abort_);
    case 5: return plan_.lzw(nullptr, 0, stream_, lzwContext_);
    default: return;
  }
}
