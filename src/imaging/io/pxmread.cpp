// Portable bitmap, greymap and pixmap reader and content test.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/ievalues.h"
#include "imaging/core/ieview.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/pxmfilt.h"
#include "imaging/io/pxmtokens.h"

namespace {

constexpr int kTryTokens = 501;
// 16-bit samples take two bytes, most significant first.
constexpr int64_t kMaxSample = 65535;

struct TPxmHeader {
  int kind = 0;  // 1 to 6
  int64_t width = -1;
  int64_t height = -1;
  int64_t maxval = -1;
};

int KindOf(const std::string& magic) {
  if (magic.size() != 2 || magic[0] != 'P' || magic[1] < '1' || magic[1] > '6') return 0;
  return magic[1] - '0';
}

bool IsBilevel(int kind) { return kind == 1 || kind == 4; }

// The next token that is not a comment; comments go to the list.
std::string NextValue(TPxmScanner& scanner, TStrings* comments) {
  for (;;) {
    std::string token = scanner.NextToken();
    if (token.empty() || token[0] != '#') return token;
    if (comments) comments->Add(token.substr(1));
  }
}

bool ReadHeader(TPxmScanner& scanner, TPxmHeader& header, TStrings* comments) {
  const std::string magic = NextValue(scanner, comments);
  if (magic.empty()) return false;
  header.kind = KindOf(magic);
  if (IsBilevel(header.kind)) header.maxval = 1;
  header.width = PxmNumber(NextValue(scanner, comments));
  header.height = PxmNumber(NextValue(scanner, comments));
  if (header.maxval < 0) header.maxval = PxmNumber(NextValue(scanner, comments));
  // A maxval of 0 would divide by zero; above 16 bits no sample fits.
  return header.kind != 0 && header.width > 0 && header.height > 0 && header.maxval > 0 &&
         header.maxval <= kMaxSample;
}

uint8_t Scale(int64_t value, int64_t maxval) {
  if (value <= 0) return 0;
  if (value >= maxval) return 255;
  return static_cast<uint8_t>(value * 255 / maxval);
}

class TPxmDecoder {
 public:
  TPxmDecoder(TPxmScanner& scanner, const TPxmHeader& header, TIEBitmap* bitmap)
      : scanner_(scanner), header_(header), bitmap_(bitmap), width_(header.width) {}

  void DecodeRow(int y) {
    uint8_t* row = bitmap_->GetScanLine(y);
    switch (header_.kind) {
      case 1: PlainBits(row); break;
      case 2:
        for (int64_t x = 0; x < width_; ++x) Grey(row, x, Scale(PlainNumber(), header_.maxval));
        break;
      case 3:
        for (int64_t x = 0; x < width_; ++x) {
          const uint8_t r = Scale(PlainNumber(), header_.maxval);
          const uint8_t g = Scale(PlainNumber(), header_.maxval);
          const uint8_t b = Scale(PlainNumber(), header_.maxval);
          Put(row, x, TRGB{b, g, r});
        }
        break;
      case 4: {
        const int64_t bytes = (width_ + 7) / 8;
        Raw(row, bytes);
        for (int64_t i = 0; i < bytes; ++i) row[i] = static_cast<uint8_t>(~row[i]);
        break;
      }
      case 5:
        RawSamples(width_);
        for (int64_t x = 0; x < width_; ++x) Grey(row, x, samples_[x]);
        break;
      case 6:
        RawSamples(width_ * 3);
        for (int64_t x = 0; x < width_; ++x)
          Put(row, x, TRGB{samples_[3 * x + 2], samples_[3 * x + 1], samples_[3 * x]});
        break;
    }
  }

 private:
  static void Put(uint8_t* row, int64_t x, const TRGB& c) { std::memcpy(row + 3 * x, &c, 3); }
  static void Grey(uint8_t* row, int64_t x, uint8_t v) { Put(row, x, TRGB{v, v, v}); }

  // "0" is white (a set bit), "1" black; anything else is skipped.
  void PlainBits(uint8_t* row) {
    std::memset(row, 0, static_cast<size_t>((width_ + 7) / 8));
    for (int64_t x = 0; x < width_;) {
      const int b = scanner_.NextByte();
      if (b < 0) return;
      if (b != '0' && b != '1') continue;
      if (b == '0') row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
      ++x;
    }
  }

  int64_t PlainNumber() { return std::max<int64_t>(0, PxmNumber(scanner_.NextToken())); }

  // What the file lacks reads as 0.
  void Raw(uint8_t* buffer, int64_t count) {
    const int64_t got = scanner_.ReadBytes(buffer, count);
    if (got < count) std::memset(buffer + got, 0, static_cast<size_t>(count - got));
  }

  // count samples as bytes, scaled to 0..255 when maxval is not 255.
  void RawSamples(int64_t count) {
    const bool wide = header_.maxval > 255;
    raw_.resize(static_cast<size_t>(count * (wide ? 2 : 1)));
    samples_.resize(static_cast<size_t>(count));
    Raw(raw_.data(), static_cast<int64_t>(raw_.size()));
    for (int64_t i = 0; i < count; ++i) {
      const int64_t v = wide ? (raw_[2 * i] << 8) | raw_[2 * i + 1] : raw_[i];
      samples_[i] = header_.maxval == 255 ? static_cast<uint8_t>(v) : Scale(v, header_.maxval);
    }
  }

  TPxmScanner& scanner_;
  const TPxmHeader& header_;
  TIEBitmap* bitmap_;
  int64_t width_;
  std::vector<uint8_t> raw_;
  std::vector<uint8_t> samples_;
};

// Bytes of data the smallest file of this picture holds.
int64_t LeastDataBytes(const TPxmHeader& h) {
  const int64_t pixels = IEMulSat(h.width, h.height);
  const int64_t sampleBytes = h.maxval > 255 ? 2 : 1;
  switch (h.kind) {
    case 4: return IEMulSat((h.width + 7) / 8, h.height);
    case 5: return IEMulSat(pixels, sampleBytes);
    case 6: return IEMulSat(pixels, 3 * sampleBytes);
    case 3: return IEMulSat(pixels, 3);  // a digit for every sample
    default: return pixels;
  }
}

}  // namespace

bool TryPXM(TStream* Stream) {
  const int64_t position = Stream->GetPosition();
  bool result = false;
  try {
    TPxmScanner scanner(Stream);
    std::string token;
    int tokens = 0;
    int kind = 0;
    int numbers = 0;
    while (tokens++ < kTryTokens) {
      token = scanner.NextToken();
      if (token.empty()) break;
      if (token[0] == '#') continue;
      if (kind == 0) {
        kind = KindOf(token);
        if (kind == 0) break;
        continue;
      }
      if (numbers < 2) {
        if (PxmNumber(token) <= 0) break;
        if (++numbers == 2 && IsBilevel(kind)) {
          result = true;
          break;
        }
        continue;
      }
      result = true;  // the token after the height
      break;
    }
  } catch (const std::exception&) {
    result = false;
  }
  Stream->SetPosition(position);
  return result;
}

void PXMReadStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                   TProgressRec& Progress, bool Preview) {
  TPxmScanner scanner(Stream);
  TPxmHeader header;
  IOParams.PXM_Comments->Clear();
  if (!ReadHeader(scanner, header, IOParams.PXM_Comments)) {
    scanner.Release();
    IESetAbort(Progress);
    return;
  }
  IOParams.SetColorMap(nullptr, 0);
  IOParams.Width = static_cast<int32_t>(std::min<int64_t>(header.width, INT32_MAX));
  IOParams.Height = static_cast<int32_t>(std::min<int64_t>(header.height, INT32_MAX));
  IOParams.DPIX = gSystemDPIX;
  IOParams.DPIY = gSystemDPIY;
  IOParams.BitsPerSample = IsBilevel(header.kind) ? 1 : 8;
  IOParams.SamplesPerPixel = header.kind == 3 || header.kind == 6 ? 3 : 1;
  IENoteReadDepth(IOParams);
  if (Preview) {
    scanner.Release();
    return;
  }

  const TIEPixelFormat format = IsBilevel(header.kind) ? ie1g : ie24RGB;
  const int64_t pictureBytes =
      IEMulSat(_BitmapRowLen(header.width, IEBitsPerPixel(format)), header.height);
  if (!IEDataCoversPicture(pictureBytes, LeastDataBytes(header), scanner.BytesLeft(), 0) ||
      !IEAllocateBitmap(Bitmap, header.width, header.height, format)) {
    scanner.Release();
    IESetAbort(Progress);
    return;
  }
  TPxmDecoder decoder(scanner, header, Bitmap);
  IEProgressStart(Progress, header.height);
  for (int y = 0; y < header.height; ++y) {
    decoder.DecodeRow(y);
    if (IEProgressStep(Progress)) break;
  }
  scanner.Release();
}
