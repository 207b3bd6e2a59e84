#include "giftestsupport.h"

#include <bit>

#include "imaging/io/giffilter.h"
#include "imaging/io/giflzw.h"
#include "imaging/io/iebyteorder.h"

namespace cwtest {

TGifHooks::TGifHooks() : decompress_(DefGIF_LZWDECOMPFUNC), compress_(DefGIF_LZWCOMPFUNC) {
  DefGIF_LZWDECOMPFUNC = GIFLZWDecompress;
  DefGIF_LZWCOMPFUNC = GIFLZWCompress;
}

TGifHooks::~TGifHooks() {
  DefGIF_LZWDECOMPFUNC = decompress_;
  DefGIF_LZWCOMPFUNC = compress_;
}

namespace {

// The size field of a table: 2 << field entries.
uint8_t TableField(const std::vector<uint8_t>& table) {
  const auto entries = static_cast<unsigned>(table.size() / 3);
  return static_cast<uint8_t>(std::bit_width(entries) - 2);
}

void Append(Bytes& out, std::initializer_list<uint8_t> bytes) { out.insert(out.end(), bytes); }

void Append16(Bytes& out, int value) {
  Append(out, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)});
}

}  // namespace

Bytes MakeGif(int screenWidth, int screenHeight, const std::vector<uint8_t>& globalTable,
              const std::vector<TGifFrameSpec>& frames) {
  Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
  Append16(out, screenWidth);
  Append16(out, screenHeight);
  const uint8_t field = globalTable.empty() ? 0 : TableField(globalTable);
  Append(out, {static_cast<uint8_t>(globalTable.empty() ? 0 : 0x80 | field << 4 | field), 0, 0});
  out.insert(out.end(), globalTable.begin(), globalTable.end());
  for (const TGifFrameSpec& f : frames) {
    if (f.control) {
      Append(out, {0x21, 0xF9, 4, f.controlPacked});
      Append16(out, f.delay);
      Append(out, {f.transparent, 0});
    }
    out.push_back(0x2C);
    Append16(out, f.left);
    Append16(out, f.top);
    Append16(out, f.width);
    Append16(out, f.height);
    uint8_t packed = f.interlaced ? 0x40 : 0;
    if (!f.localTable.empty()) packed |= 0x80 | TableField(f.localTable);
    out.push_back(packed);
    out.insert(out.end(), f.localTable.begin(), f.localTable.end());
    TMemoryStream data;
    GIFLZWCompress(&data, f.height, f.width, f.interlaced, f.indices.data(), f.codeBits);
    const Bytes coded = Contents(data);
    out.insert(out.end(), coded.begin(), coded.end());
  }
  out.push_back(0x3B);
  return out;
}

void ReadGifBytes(const Bytes& bytes, TGifRead& read, int32_t index, bool preview) {
  TMemoryStream stream;
  Fill(stream, bytes);
  read.params.GIF_ImageIndex = index;
  ReadGifStream(&stream, &read.bitmap, read.count, read.params, read.fixture.progress, preview,
                read.mask, false);
}

Bytes WriteGifBytes(TIEBitmap& bitmap, TIOParamsVals& params, bool* aborted) {
  TMemoryStream stream;
  TProgressFixture fixture;
  WriteGifStream(&stream, &bitmap, params, fixture.progress);
  if (aborted) *aborted = fixture.aborting;
  return Contents(stream);
}

}  // namespace cwtest
