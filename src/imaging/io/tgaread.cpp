// TGA reader and content test.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ievalues.h"
#include "imaging/core/ieview.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ietgafil.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/tgaformat.h"

namespace {

constexpr size_t kReadBufferSize = 8192;

// The stream read in blocks; bytes past its end read as 0.
class TTgaSource {
 public:
  explicit TTgaSource(TStream* stream) : stream_(stream), buffer_(kReadBufferSize) {}

  void Get(uint8_t* out, int64_t count) {
    while (count > 0) {
      if (pos_ >= end_ && !Refill()) {
        std::memset(out, 0, static_cast<size_t>(count));
        return;
      }
      const size_t n = std::min<size_t>(end_ - pos_, static_cast<size_t>(count));
      std::memcpy(out, buffer_.data() + pos_, n);
      pos_ += n;
      out += n;
      count -= static_cast<int64_t>(n);
    }
  }
  uint8_t Byte() {
    uint8_t b;
    Get(&b, 1);
    return b;
  }

 private:
  bool Refill() {
    pos_ = 0;
    const int64_t got = stream_->Read(buffer_.data(), static_cast<int64_t>(buffer_.size()));
    end_ = got > 0 ? static_cast<size_t>(got) : 0;
    return end_ > 0;
  }

  TStream* stream_;
  std::vector<uint8_t> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
};

struct TTgaHeader {
  int idLength = 0;
  int mapType = 0;
  int imageType = 0;
  int mapFirst = 0;
  int mapLength = 0;
  int mapEntrySize = 0;
  int width = 0;
  int height = 0;
  int depth = 0;
  int descriptor = 0;
  bool Rle() const { return imageType >= 9; }
  // Bytes of one stored pixel, or of the packed row unit for 1 and 4 bits.
  int PixelBytes() const { return depth < 8 ? 1 : depth / 8; }
  // Units of PixelBytes() in one stored row.
  int64_t RowUnits() const { return depth < 8 ? (int64_t{width} * depth + 7) / 8 : width; }
};

TTgaHeader ParseHeader(const uint8_t* h) {
  TTgaHeader header;
  header.idLength = h[kTgaIdLength];
  header.mapType = h[kTgaColorMapType];
  header.imageType = h[kTgaImageType];
  header.mapFirst = IEGetLE16(h + kTgaMapFirst);
  header.mapLength = IEGetLE16(h + kTgaMapLength);
  header.mapEntrySize = h[kTgaMapEntrySize];
  header.width = IEGetLE16(h + kTgaWidth);
  header.height = IEGetLE16(h + kTgaHeight);
  header.depth = h[kTgaDepth];
  header.descriptor = h[kTgaDescriptor];
  return header;
}

std::string FixedText(const uint8_t* p, int size) {
  const auto* end = static_cast<const uint8_t*>(std::memchr(p, 0, static_cast<size_t>(size)));
  return std::string(reinterpret_cast<const char*>(p), end ? static_cast<size_t>(end - p) : size);
}

// Days since 30 December 1899, or false for a date the calendar rejects.
bool EncodeDate(int year, int month, int day, TDateTime& date) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] + (month == 2 && leap)) return false;
  // Days from the civil calendar (proleptic Gregorian).
  const int y = year - (month <= 2);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const int64_t unixDays = int64_t{era} * 146097 + doe - 719468;
  date = static_cast<double>(unixDays + 25569);
  return true;
}

void ReadExtensionArea(TStream* stream, int64_t start, TIOParamsVals& params) {
  const int64_t size = stream->GetSize();
  if (size - start < kTgaHeaderSize + kTgaFooterSize) return;
  uint8_t footer[kTgaFooterSize];
  stream->SetPosition(size - kTgaFooterSize);
  if (!IEReadExact(stream, footer, sizeof footer)) return;
  if (FixedText(footer + 8, 18) != std::string(kTgaSignature) + ".") return;
  const uint32_t offset = IEGetLE32(footer);
  // The area must lie between the header and the footer.
  if (offset < kTgaHeaderSize || start + offset + kTgaExtensionSize > size - kTgaFooterSize) return;
  uint8_t area[kTgaExtensionSize];
  stream->SetPosition(start + offset);
  if (!IEReadExact(stream, area, sizeof area)) return;

  params.TGA_AuthorName = FixedText(area + kTgaExtAuthor, kTgaNameBytes);
  params.TGA_JobName = FixedText(area + kTgaExtJob, kTgaNameBytes);
  int stamp[6];
  for (int i = 0; i < 6; ++i) stamp[i] = IEGetLE16(area + kTgaExtStamp + 2 * i);
  const int month = stamp[0], day = stamp[1], year = stamp[2];
  const int hour = stamp[3], minute = stamp[4], second = stamp[5];
  TDateTime date = 0;
  if (month && day && year && year < 2500 && month < 13 && day < 32 && hour < 24 && minute < 60 &&
      second < 60 && EncodeDate(year, month, day, date))
    params.TGA_DateTime = date + (hour * 3600 + minute * 60 + second) / 86400.0;
  const uint8_t* key = area + kTgaExtKeyColor;
  params.TGA_Background = TRGB{key[3], key[2], key[1]};
  const auto ratio = [&](int at, double& value) {
    const uint16_t num = IEGetLE16(area + at);
    const uint16_t den = IEGetLE16(area + at + 2);
    if (num && den) value = static_cast<double>(num) / den;
  };
  ratio(kTgaExtAspect, params.TGA_AspectRatio);
  ratio(kTgaExtGamma, params.TGA_Gamma);
}

// Entry i of the palette used before (or without) a colour map.
TRGB Palette332(int i) {
  return TRGB{static_cast<uint8_t>((i & 3) * 64 + 60), static_cast<uint8_t>(((i >> 2) & 7) * 32 + 28),
              static_cast<uint8_t>((i >> 5) * 32 + 28)};
}

TRGB From16(uint16_t v) {
  return TRGB{static_cast<uint8_t>((v & 31) << 3), static_cast<uint8_t>(((v >> 5) & 31) << 3),
              static_cast<uint8_t>(((v >> 10) & 31) << 3)};
}

// Reads the colour map (when there is one) over the default palette.
void ReadPalette(TTgaSource& source, const TTgaHeader& header, std::array<TRGB, 256>& palette,
                 TIOParamsVals& params) {
  for (int i = 0; i < 256; ++i) palette[i] = Palette332(i);
  if (header.mapType != 1) {
    params.SetColorMap(nullptr, 0);
    params.TGA_GrayLevel = header.depth == 8;
    if (header.depth == 8) {
      for (int i = 0; i < 256; ++i) palette[i] = TRGB{uint8_t(i), uint8_t(i), uint8_t(i)};
    } else if (header.depth == 1) {
      palette[0] = TRGB{0, 0, 0};
      palette[1] = TRGB{255, 255, 255};
    }
    return;
  }
  const int entryBytes = (header.mapEntrySize + 7) / 8;
  const bool known = header.mapEntrySize == 15 || header.mapEntrySize == 16 ||
                     header.mapEntrySize == 24 || header.mapEntrySize == 32;
  uint8_t entry[32];
  for (int i = 0; i < header.mapLength; ++i) {
    source.Get(entry, entryBytes);
    // Entries past the 256 the palette holds are skipped.
    const int at = header.mapFirst + i;
    if (!known || at > 255) continue;
    palette[at] = entryBytes == 2 ? From16(IEGetLE16(entry)) : TRGB{entry[0], entry[1], entry[2]};
  }
  params.SetColorMap(palette.data(), std::min(header.mapLength, 256));
  params.TGA_GrayLevel = false;
}

void SetDepthParams(int depth, TIOParamsVals& params) {
  switch (depth) {
    case 1:
    case 4:
    case 8:
      params.BitsPerSample = depth;
      params.SamplesPerPixel = 1;
      break;
    case 16:
      params.BitsPerSample = 5;
      params.SamplesPerPixel = 3;
      break;
    case 24:
      params.BitsPerSample = 8;
      params.SamplesPerPixel = 3;
      break;
    default:
      params.BitsPerSample = 8;
      params.SamplesPerPixel = 4;
      break;
  }
}

// Stored rows, one at a time; a run-length packet may reach into the
// next row.
class TRowReader {
 public:
  TRowReader(TTgaSource& source, const TTgaHeader& header)
      : source_(source), header_(header), unit_(header.PixelBytes()),
        row_(static_cast<size_t>(header.RowUnits() * unit_)) {}

  const uint8_t* Next() {
    const int64_t units = header_.RowUnits();
    if (!header_.Rle()) {
      source_.Get(row_.data(), static_cast<int64_t>(row_.size()));
      return row_.data();
    }
    for (int64_t x = 0; x < units;) {
      if (left_ == 0) {
        const uint8_t h = source_.Byte();
        left_ = (h & 0x7F) + 1;
        repeat_ = h & kTgaRunPacket;
        if (repeat_) source_.Get(value_, unit_);
      }
      const int64_t n = std::min<int64_t>(left_, units - x);
      uint8_t* out = row_.data() + x * unit_;
      if (repeat_) {
        for (int64_t i = 0; i < n; ++i) std::memcpy(out + i * unit_, value_, static_cast<size_t>(unit_));
      } else {
        source_.Get(out, n * unit_);
      }
      left_ -= static_cast<int>(n);
      x += n;
    }
    return row_.data();
  }

 private:
  TTgaSource& source_;
  const TTgaHeader& header_;
  int unit_;
  std::vector<uint8_t> row_;
  int left_ = 0;
  bool repeat_ = false;
  uint8_t value_[4] = {};
};

// Converts one stored row into the bitmap row and the alpha row.
void StoreRow(const TTgaHeader& header, const uint8_t* src, const std::array<TRGB, 256>& palette,
              uint8_t* dst, uint8_t* alpha) {
  const int width = header.width;
  const bool mirrored = header.descriptor & kTgaRightToLeft;
  const auto at = [&](int x) { return mirrored ? width - 1 - x : x; };
  const auto put = [&](int x, const TRGB& c) { std::memcpy(dst + 3 * at(x), &c, 3); };
  switch (header.depth) {
    case 1:
      std::memset(dst, 0, static_cast<size_t>((width + 7) / 8));
      for (int x = 0; x < width; ++x)
        if ((src[x >> 3] >> (7 - (x & 7))) & 1) dst[at(x) >> 3] |= static_cast<uint8_t>(0x80 >> (at(x) & 7));
      break;
    case 4:
      for (int x = 0; x < width; ++x) put(x, palette[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)]);
      break;
    case 8:
      for (int x = 0; x < width; ++x) put(x, palette[src[x]]);
      break;
    case 16:
      for (int x = 0; x < width; ++x) put(x, From16(IEGetLE16(src + 2 * x)));
      break;
    case 24:
      for (int x = 0; x < width; ++x) put(x, TRGB{src[3 * x], src[3 * x + 1], src[3 * x + 2]});
      break;
    case 32:
      for (int x = 0; x < width; ++x) {
        put(x, TRGB{src[4 * x], src[4 * x + 1], src[4 * x + 2]});
        if (alpha) alpha[at(x)] = src[4 * x + 3];
      }
      break;
  }
}

bool LooksLikePortableBitmap(const uint8_t* h) {
  return h[0] == 'P' && h[1] >= '2' && h[1] <= '6' && (h[2] == ' ' || h[2] == '#' || h[2] == '\n');
}

}  // namespace

bool TryTGA(TStream* Stream) {
  const int64_t position = Stream->GetPosition();
  bool result = false;
  try {
    uint8_t h[kTgaHeaderSize];
    result = IEReadExact(Stream, h, sizeof h) && TgaValidType(h[kTgaImageType]) &&
             TgaValidDepth(h[kTgaDepth]) && !LooksLikePortableBitmap(h);
  } catch (const std::exception&) {
    result = false;
  }
  Stream->SetPosition(position);
  return result;
}

void ReadTGAStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                   TProgressRec& Progress, bool Preview, TIEMask*& Mask, bool NoMask) {
  const int64_t start = Stream->GetPosition();
  uint8_t h[kTgaHeaderSize];
  if (!IEReadExact(Stream, h, sizeof h)) {
    IESetAbort(Progress);
    return;
  }
  const TTgaHeader header = ParseHeader(h);
  if (!TgaValidType(header.imageType) || !TgaValidDepth(header.depth) || header.width == 0 ||
      header.height == 0) {
    IESetAbort(Progress);
    return;
  }

  IOParams.TGA_AuthorName.clear();
  IOParams.TGA_JobName.clear();
  IOParams.TGA_DateTime = Date();
  IOParams.TGA_Background = TRGB{0, 0, 0};
  IOParams.TGA_AspectRatio = 1.0;
  IOParams.TGA_Gamma = 2.2;
  ReadExtensionArea(Stream, start, IOParams);

  Stream->SetPosition(start + kTgaHeaderSize);
  IOParams.TGA_XOrigin = IEGetLE16(h + kTgaXOrigin);
  IOParams.TGA_YOrigin = IEGetLE16(h + kTgaYOrigin);
  TTgaSource source(Stream);
  IOParams.TGA_ImageID.assign(static_cast<size_t>(header.idLength), '\0');
  source.Get(reinterpret_cast<uint8_t*>(IOParams.TGA_ImageID.data()), header.idLength);
  std::array<TRGB, 256> palette{};
  ReadPalette(source, header, palette, IOParams);
  IOParams.TGA_Compressed = header.Rle();
  IOParams.Width = header.width;
  IOParams.Height = header.height;
  IOParams.DPIX = gSystemDPIX;
  IOParams.DPIY = gSystemDPIY;
  SetDepthParams(header.depth, IOParams);
  IENoteReadDepth(IOParams);
  if (Preview) return;

  const TIEPixelFormat format = header.depth == 1 ? ie1g : ie24RGB;
  const int64_t pictureBytes =
      IEMulSat(_BitmapRowLen(header.width, IEBitsPerPixel(format)), header.height);
  const int64_t storedBytes = IEMulSat(header.RowUnits() * header.PixelBytes(), header.height);
  // A packet of 1 + pixel bytes gives at most 128 pixels.
  const int64_t needed = header.Rle() ? storedBytes / 128 : storedBytes;
  const int64_t available = std::max<int64_t>(0, Stream->GetSize() - start - kTgaHeaderSize);
  if (!IEDataCoversPicture(pictureBytes, needed, available, 0) ||
      !IEAllocateBitmap(Bitmap, header.width, header.height, format)) {
    IESetAbort(Progress);
    return;
  }
  TIEMask* mask = nullptr;
  if (header.depth == 32 && (header.descriptor & 0x08) && !NoMask) {
    if (!Mask) Mask = new TIEMask();
    Mask->AllocateBits(header.width, header.height, 8);
    Mask->Fill(255);
    Mask->Full = false;
    mask = Mask;
  }

  const bool topFirst = header.descriptor & kTgaTopFirst;
  TRowReader rows(source, header);
  IEProgressStart(Progress, header.height);
  for (int i = 0; i < header.height; ++i) {
    const int y = topFirst ? i : header.height - 1 - i;
    StoreRow(header, rows.Next(), palette, Bitmap->GetScanLine(y), mask ? mask->GetScanLine(y) : nullptr);
    if (IEProgressStep(Progress)) break;
  }
}
