// GIF blocks shared by the reader, the writer and the frame operations.
#include "imaging/io/giffilterblocks.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <span>
#include <unordered_map>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iestreams.h"
#include "imaging/core/neurquant.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/proc/iecolordepth.h"
#include "platform/sysutils.h"

bool GifReadByte(TStream* stream, uint8_t& byte) { return IEReadExact(stream, &byte, 1); }

bool ReadGifScreen(TStream* stream, TGifScreen& screen) {
  if (!IEReadExact(stream, screen.Header.data(), 3) || screen.Header[0] != 'G' ||
      screen.Header[1] != 'I' || screen.Header[2] != 'F')
    return false;
  if (!IEReadExact(stream, screen.Header.data() + 3, 10)) return false;
  if (!screen.HasGlobalTable()) return true;
  screen.GlobalTable.resize(size_t{3} << (screen.TableSizeBits() + 1));
  return IEReadExact(stream, screen.GlobalTable.data(),
                     static_cast<int64_t>(screen.GlobalTable.size()));
}

TGifPalette GifPaletteFromTable(const uint8_t* table, int64_t bytes) {
  TGifPalette palette{};
  const int64_t entries = std::min<int64_t>(bytes / 3, 256);
  for (int64_t i = 0; i < entries; ++i)
    palette[i] = TRGB{table[i * 3 + 2], table[i * 3 + 1], table[i * 3]};
  return palette;
}

bool GifSkipSubBlocks(TStream* stream) {
  const int64_t size = stream->GetSize();
  for (;;) {
    uint8_t length = 0;
    if (!GifReadByte(stream, length)) return false;
    if (length == 0) return true;
    const int64_t next = stream->GetPosition() + length;
    if (next > size) {
      stream->SetPosition(size);
      return false;
    }
    stream->SetPosition(next);
  }
}

namespace {

// Appends data sub-blocks and their terminator.
bool AppendSubBlocks(TStream* stream, std::vector<uint8_t>& bytes) {
  for (;;) {
    uint8_t length = 0;
    if (!GifReadByte(stream, length)) return false;
    bytes.push_back(length);
    if (length == 0) return true;
    const size_t at = bytes.size();
    bytes.resize(at + length);
    const int64_t got = stream->Read(bytes.data() + at, length);
    if (got < length) {
      bytes.resize(at + static_cast<size_t>(std::max<int64_t>(got, 0)));
      return false;
    }
  }
}

bool AppendExact(TStream* stream, std::vector<uint8_t>& bytes, size_t count) {
  const size_t at = bytes.size();
  bytes.resize(at + count);
  if (IEReadExact(stream, bytes.data() + at, static_cast<int64_t>(count))) return true;
  bytes.resize(at);
  return false;
}

}  // namespace

bool GifReadExtensionBytes(TStream* stream, uint8_t label, std::vector<uint8_t>& bytes) {
  bytes = {kGifExtension, label};
  return AppendSubBlocks(stream, bytes);
}

bool GifReadFrameBytes(TStream* stream, std::vector<uint8_t>& bytes) {
  bytes = {kGifDescriptor};
  if (!AppendExact(stream, bytes, kGifDescriptorSize)) return false;
  const uint8_t packed = bytes[9];
  if ((packed & 0x80) && !AppendExact(stream, bytes, size_t{3} << ((packed & 7) + 1))) return false;
  if (!AppendExact(stream, bytes, 1)) return false;  // code size
  return AppendSubBlocks(stream, bytes);
}

bool GifReport(TProgressRec& progress, int percent) {
  if (progress.OnProgress) progress.OnProgress(progress.Sender, percent);
  return IEAborted(progress);
}

// Preparing a frame -------------------------------------------------------------------

int GifWriteBits(const TIOParamsVals& params, const TIEBitmap* bitmap) {
  if (IEDepthInheritedFromRead(params)) return bitmap->PixelFormat == ie1g ? 1 : 8;
  if (params.BitsPerSample < 1 || params.BitsPerSample > 8) return 8;
  return params.BitsPerSample;
}

namespace {

// Index of the palette entry nearest to the colour (sum of the channel
// differences); the first of equally near entries wins.
uint8_t NearestEntry(const TGifPalette& palette, int count, const TRGB& colour) {
  int best = 0;
  int bestDistance = 1000;
  for (int i = 0; i < count; ++i) {
    const int d = std::abs(palette[i].r - colour.r) + std::abs(palette[i].g - colour.g) +
                  std::abs(palette[i].b - colour.b);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return static_cast<uint8_t>(best);
}

std::unique_ptr<TIEBitmap> ConvertedCopy(TIEBitmap* bitmap, TIEPixelFormat format) {
  auto copy = std::make_unique<TIEBitmap>();
  copy->Location = ieMemory;
  copy->Assign(bitmap);
  copy->SetPixelFormat(format);
  return copy;
}

void UnpackBits(TIEBitmap* source, TGifFrameCode& frame) {
  const int64_t width = frame.Width;
  for (int32_t y = 0; y < frame.Height; ++y) {
    const uint8_t* row = source->GetScanLine(y);
    uint8_t* out = frame.Indices.data() + y * width;
    for (int64_t x = 0; x < width; ++x) out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
  }
}

void PrepareBlackWhite(TIEBitmap* bitmap, const TIOParamsVals& params, bool twoColoursOr8,
                       TGifFrameCode& frame) {
  static const TRGB kBlack{0, 0, 0};
  static const TRGB kWhite{255, 255, 255};
  std::unique_ptr<TIEBitmap> owned;
  TIEBitmap* source = bitmap;
  frame.Palette[0] = kBlack;
  frame.Palette[1] = kWhite;
  if (bitmap->PixelFormat != ie1g) {
    TRGB colour0{};
    TRGB colour1{};
    owned.reset(_ConvertTo1bitEx(bitmap, colour0, colour1));
    if (owned) {
      frame.Palette[0] = colour0;
      frame.Palette[1] = colour1;
    } else if (twoColoursOr8) {
      return GifPrepareFrame(bitmap, params, 8, false, frame);
    } else {
      owned = ConvertedCopy(bitmap, ie1g);
    }
    source = owned.get();
  }
  UnpackBits(source, frame);
  frame.Background = NearestEntry(frame.Palette, 2, params.GIF_Background);
  frame.Transparent = NearestEntry(frame.Palette, 2, params.GIF_TransparentColor);
}

// A picture with no more colours than the palette holds keeps them all:
// the palette is its colours in order of appearance. False when there are
// more.
bool IndexExactly(TIEBitmap* source, TGifFrameCode& frame) {
  const int colours = 1 << frame.Bits;
  std::unordered_map<uint32_t, uint8_t> index;
  const int64_t width = frame.Width;
  for (int32_t y = 0; y < frame.Height; ++y) {
    const auto* row = reinterpret_cast<const TRGB*>(source->GetScanLine(y));
    uint8_t* out = frame.Indices.data() + y * width;
    for (int64_t x = 0; x < width; ++x) {
      const uint32_t key = row[x].b | (row[x].g << 8) | (row[x].r << 16);
      auto [at, added] = index.try_emplace(key, static_cast<uint8_t>(index.size()));
      if (added) {
        if (static_cast<int>(index.size()) > colours) return false;
        frame.Palette[at->second] = row[x];
      }
      out[x] = at->second;
    }
  }
  return true;
}

void PrepareQuantised(TIEBitmap* bitmap, const TIOParamsVals& params, TGifFrameCode& frame) {
  std::unique_ptr<TIEBitmap> copy;
  TIEBitmap* source = bitmap;
  if (bitmap->PixelFormat != ie24RGB) {
    copy = ConvertedCopy(bitmap, ie24RGB);
    source = copy.get();
  }
  const int colours = 1 << frame.Bits;
  if (IndexExactly(source, frame)) {
    frame.Background = NearestEntry(frame.Palette, colours, params.GIF_Background);
    frame.Transparent = NearestEntry(frame.Palette, colours, params.GIF_TransparentColor);
    return;
  }
  frame.Palette.fill(TRGB{0, 0, 0});
  const TIEQuantizer quantizer(source, std::span<TRGB>(frame.Palette.data(), colours), colours);
  const int64_t width = frame.Width;
  for (int32_t y = 0; y < frame.Height; ++y) {
    const auto* row = reinterpret_cast<const TRGB*>(source->GetScanLine(y));
    uint8_t* out = frame.Indices.data() + y * width;
    for (int64_t x = 0; x < width; ++x) out[x] = static_cast<uint8_t>(quantizer.GetRGBIndex(row[x]));
  }
  frame.Background = static_cast<uint8_t>(quantizer.GetRGBIndex(params.GIF_Background));
  frame.Transparent = static_cast<uint8_t>(quantizer.GetRGBIndex(params.GIF_TransparentColor));
}

}  // namespace

void GifPrepareFrame(TIEBitmap* bitmap, const TIOParamsVals& params, int bits, bool twoColoursOr8,
                     TGifFrameCode& frame) {
  frame.Bits = bits;
  frame.Width = bitmap->Width;
  frame.Height = bitmap->Height;
  frame.Palette.fill(TRGB{0, 0, 0});
  frame.Indices.assign(static_cast<size_t>(int64_t{frame.Width} * frame.Height), 0);
  if (bits == 1)
    PrepareBlackWhite(bitmap, params, twoColoursOr8, frame);
  else
    PrepareQuantised(bitmap, params, frame);
}

// Writing a frame ---------------------------------------------------------------------

void GifWriteTable(TStream* stream, const TGifFrameCode& frame, bool& abort) {
  const int entries = 1 << frame.Bits;
  std::vector<uint8_t> table(static_cast<size_t>(entries) * 3);
  for (int i = 0; i < entries; ++i) {
    table[i * 3] = frame.Palette[i].r;
    table[i * 3 + 1] = frame.Palette[i].g;
    table[i * 3 + 2] = frame.Palette[i].b;
  }
  SafeStreamWrite(stream, abort, table.data(), static_cast<int64_t>(table.size()));
}

bool GifWriteFrame(TStream* stream, const TGifFrameCode& frame, const TIOParamsVals& params,
                   bool localTable, bool& abort) {
  uint8_t control[8] = {kGifExtension, kGifGraphicControl, 4};
  // Disposal 2: the frame's area goes back to the background.
  control[3] = static_cast<uint8_t>((params.GIF_TransparentFlag ? 1 : 0) | 0x08);
  IEPutLE16(control + 4, static_cast<uint16_t>(params.GIF_DelayTime));
  control[6] = frame.Transparent;
  control[7] = 0;
  SafeStreamWrite(stream, abort, control, sizeof control);

  uint8_t descriptor[1 + kGifDescriptorSize] = {kGifDescriptor};
  IEPutLE16(descriptor + 1, static_cast<uint16_t>(params.GIF_Left));
  IEPutLE16(descriptor + 3, static_cast<uint16_t>(params.GIF_Top));
  IEPutLE16(descriptor + 5, static_cast<uint16_t>(frame.Width));
  IEPutLE16(descriptor + 7, static_cast<uint16_t>(frame.Height));
  uint8_t packed = params.GIF_Interlaced ? 0x40 : 0;
  if (localTable) packed |= static_cast<uint8_t>(0x80 | (frame.Bits - 1));
  descriptor[9] = packed;
  SafeStreamWrite(stream, abort, descriptor, sizeof descriptor);
  if (localTable) GifWriteTable(stream, frame, abort);

  const TGIFLZWCompFunc encode = params.GIF_LZWCompress ? params.GIF_LZWCompress : DefGIF_LZWCOMPFUNC;
  if (!encode) {
    abort = true;
    return false;
  }
  try {
    encode(stream, frame.Height, frame.Width, params.GIF_Interlaced, frame.Indices.data(), frame.Bits);
  } catch (const EStreamError&) {
    abort = true;  // a short write, like every other write here
  }
  return true;
}
