// Reading JPEG 2000 pictures: recognising both syntaxes, decoding with
// OpenJPEG and turning its components into TIEBitmap rows.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/ieview.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iej2000.h"
#include "imaging/io/iej2000stream.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/iewritedepth.h"

namespace {

constexpr uint8_t kJP2Signature[12] = {0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50, 0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A};
constexpr uint8_t kJ2KStart[4] = {0xFF, 0x4F, 0xFF, 0x51};

template <size_t N>
bool StartsWith(TStream* stream, const uint8_t (&magic)[N]) {
  const int64_t at = stream->GetPosition();
  uint8_t bytes[N] = {};
  const bool same = stream->Read(bytes, N) == int64_t(N) && std::equal(bytes, bytes + N, magic);
  stream->SetPosition(at);
  return same;
}

constexpr int64_t kMaxDecodedBytes = int64_t{8} << 30;
// SOT segment (12 bytes) and SOD marker (2 bytes).
constexpr int64_t kMinTileBytes = 14;

// Tiles the code stream's size segment announces, read before the decoder
// sees it (the decoder sets up every tile while it reads the header); 0
// when no size segment is found near the start.
int64_t AnnouncedTiles(TStream* stream) {
  const int64_t at = stream->GetPosition();
  std::vector<uint8_t> head(size_t(std::min<int64_t>(IEStreamBytesLeft(stream), 65536)));
  const int64_t got = stream->Read(head.data(), int64_t(head.size()));
  stream->SetPosition(at);
  const auto be32 = [&](size_t i) {
    return uint32_t(head[i]) << 24 | uint32_t(head[i + 1]) << 16 | uint32_t(head[i + 2]) << 8 | head[i + 3];
  };
  for (size_t i = 0; i + 4 + 38 <= size_t(std::max<int64_t>(got, 0)); ++i) {
    if (head[i] != 0xFF || head[i + 1] != 0x4F || head[i + 2] != 0xFF || head[i + 3] != 0x51) continue;
    const size_t siz = i + 4 + 2 + 2;  // past the segment length and Rsiz
    const int64_t xsiz = be32(siz), ysiz = be32(siz + 4), xo = be32(siz + 8), yo = be32(siz + 12);
    const int64_t xt = be32(siz + 16), yt = be32(siz + 20), xto = be32(siz + 24), yto = be32(siz + 28);
    if (xt == 0 || yt == 0 || xsiz <= xto || ysiz <= yto) return 0;  // the decoder refuses these itself
    (void)xo, (void)yo;
    return IEMulSat((xsiz - xto + xt - 1) / xt, (ysiz - yto + yt - 1) / yt);
  }
  return 0;
}

enum class TKind { Grey, RGB, YCbCr };

// Grey, RGB and YCbCr pictures; a code stream names no colour space, so
// its component count decides.
bool KindOf(const opj_image_t& image, TKind& kind) {
  switch (image.color_space) {
    case OPJ_CLRSPC_GRAY: kind = TKind::Grey; return image.numcomps >= 1;
    case OPJ_CLRSPC_SRGB: kind = TKind::RGB; return image.numcomps >= 3;
    case OPJ_CLRSPC_SYCC: kind = TKind::YCbCr; return image.numcomps >= 3;
    case OPJ_CLRSPC_UNKNOWN:
    case OPJ_CLRSPC_UNSPECIFIED:
      if (image.numcomps >= 3) kind = TKind::RGB;
      else if (image.numcomps >= 1) kind = TKind::Grey;
      else return false;
      return true;
    default: return false;
  }
}

// Reads one component sample as a byte: the sample covering pixel (x, y)
// of the picture, 0 outside the component, scaled from its precision.
class TChannel {
 public:
  TChannel(const opj_image_t& image, const opj_image_comp_t& comp) : image_(image), comp_(comp) {
    const uint32_t prec = std::clamp<uint32_t>(comp.prec, 1, 31);
    maxval_ = double((uint64_t{1} << prec) - 1);
  }
  int32_t At(int64_t x, int64_t y) const {
    if (!comp_.data || comp_.dx == 0 || comp_.dy == 0) return 0;
    // Component origin on the reference grid, then its own grid.
    const int64_t cx = (image_.x0 + x) / comp_.dx - comp_.x0;
    const int64_t cy = (image_.y0 + y) / comp_.dy - comp_.y0;
    if (cx < 0 || cy < 0 || cx >= comp_.w || cy >= comp_.h) return 0;
    const int64_t sample = comp_.data[cy * int64_t(comp_.w) + cx];
    return static_cast<int32_t>(std::trunc(double(sample) / maxval_ * 255));
  }

 private:
  const opj_image_t& image_;
  const opj_image_comp_t& comp_;
  double maxval_;
};

uint8_t Clamp(int32_t v) { return uint8_t(std::clamp(v, 0, 255)); }

}  // namespace

const TIEJ2KYCbCrTables& J2KYCbCrTables() {
  static const TIEJ2KYCbCrTables tables = [] {
    TIEJ2KYCbCrTables t{};
    const float kr = 0.299f, kg = 0.587f, kb = 0.114f;
    const float a = 2 - 2 * kr, b = 2 - 2 * kb;
    const float c = kr * a / kg, d = kb * b / kg;
    for (int i = 0; i < 256; ++i) {
      const float v = float(i - 128);
      t.CrR[i] = int32_t(std::nearbyint(a * v));
      t.CbB[i] = int32_t(std::nearbyint(b * v));
      t.CrG[i] = -int32_t(std::nearbyint(c * v));
      t.CbG[i] = -int32_t(std::nearbyint(d * v));
    }
    return t;
  }();
  return tables;
}

bool J2KTryStreamJP2(TStream* Stream) { return StartsWith(Stream, kJP2Signature); }

bool J2KTryStreamJ2K(TStream* Stream) { return StartsWith(Stream, kJ2KStart); }

void J2KReadStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams, TProgressRec& Progress,
                   bool Preview) {
  const bool jp2 = J2KTryStreamJP2(Stream);
  if (!jp2 && !J2KTryStreamJ2K(Stream)) {
    IESetAbort(Progress);
    return;
  }
  // Every tile needs at least its start-of-tile and start-of-data markers,
  // so a few hundred bytes cannot hold tens of thousands of tiles: such a
  // header would only make the decoder set up and walk empty tiles for
  // minutes.
  if (IEMulSat(AnnouncedTiles(Stream), kMinTileBytes) > IEStreamBytesLeft(Stream) + kMinTileBytes) {
    IESetAbort(Progress);
    return;
  }
  TIEOpjCodec codec(opj_create_decompress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
  TIEOpjStream stream = IEOpenOpjStream(Stream, true);
  if (!codec || !stream) return IESetAbort(Progress);
  IEQuietOpjCodec(codec.get());
  opj_dparameters_t parameters;
  opj_set_default_decoder_parameters(&parameters);
  opj_image_t* header = nullptr;
  if (!opj_setup_decoder(codec.get(), &parameters) || !opj_read_header(stream.get(), codec.get(), &header)) {
    if (header) opj_image_destroy(header);
    return IESetAbort(Progress);
  }
  TIEOpjImage image(header);
  TKind kind;
  const int64_t width = int64_t(image->x1) - image->x0, height = int64_t(image->y1) - image->y0;
  if (!KindOf(*image, kind) || width <= 0 || height <= 0 || width > std::numeric_limits<int32_t>::max() ||
      height > std::numeric_limits<int32_t>::max())
    return IESetAbort(Progress);
  // The decoder holds every component whole as 32-bit samples: a header
  // asking for more than this is refused before anything is allocated.
  if (!Preview && IEMulSat(IEMulSat(width, height), int64_t{4} * image->numcomps) > kMaxDecodedBytes)
    return IESetAbort(Progress);

  const int32_t channels = kind == TKind::Grey ? 1 : 3;
  IOParams.BitsPerSample = int32_t(image->comps[0].prec);
  IOParams.SamplesPerPixel = channels;
  IOParams.DPIX = gSystemDPIX;
  IOParams.DPIY = gSystemDPIY;
  IOParams.SetColorMap(nullptr, 0);
  IOParams.Width = int32_t(width);
  IOParams.Height = int32_t(height);
  IENoteReadDepth(IOParams);
  if (Preview) return;

  // The whole picture is decoded before a row is written, so a damaged
  // stream leaves the bitmap as it was.
  if (!opj_decode(codec.get(), stream.get(), image.get()) || !opj_end_decompress(codec.get(), stream.get()))
    return IESetAbort(Progress);
  for (uint32_t c = 0; c < uint32_t(channels); ++c)
    if (!image->comps[c].data) return IESetAbort(Progress);

  const bool bilevel = IOParams.BitsPerSample == 1 && channels == 1;
  if (!IEAllocateBitmap(Bitmap, width, height, bilevel ? ie1g : ie24RGB)) return IESetAbort(Progress);
  std::vector<TChannel> planes;
  for (int32_t c = 0; c < channels; ++c) planes.emplace_back(*image, image->comps[c]);
  const TIEJ2KYCbCrTables& ycc = J2KYCbCrTables();
  IEProgressStart(Progress, height);
  for (int64_t y = 0; y < height; ++y) {
    uint8_t* row = Bitmap->GetScanLine(int(y));
    if (bilevel) std::fill_n(row, (width + 7) / 8, 0);
    for (int64_t x = 0; x < width; ++x) {
      if (bilevel) {
        if (planes[0].At(x, y) != 0) row[x >> 3] |= uint8_t(0x80 >> (x & 7));
        continue;
      }
      uint8_t* px = row + x * 3;
      if (kind == TKind::Grey) {
        px[0] = px[1] = px[2] = Clamp(planes[0].At(x, y));
      } else if (kind == TKind::RGB) {
        px[2] = Clamp(planes[0].At(x, y));
        px[1] = Clamp(planes[1].At(x, y));
        px[0] = Clamp(planes[2].At(x, y));
      } else {
        const int32_t luma = planes[0].At(x, y);
        const uint8_t cb = Clamp(planes[1].At(x, y)), cr = Clamp(planes[2].At(x, y));
        px[2] = Clamp(luma + ycc.CrR[cr]);
        px[1] = Clamp(luma + ycc.CbG[cb] + ycc.CrG[cr]);
        px[0] = Clamp(luma + ycc.CbB[cb]);
      }
    }
    if (IEProgressStep(Progress)) return;
  }
}
