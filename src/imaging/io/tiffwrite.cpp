// TIFF writer: one page, one strip, "II" byte order, either as a new file
// at the stream's position or as a page added to an existing file and
// linked into its directory chain.
#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iestreams.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/ielzwhooks.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/tiffilt.h"
#include "imaging/io/tiffwriterows.h"
#include "imaging/proc/iecolordepth.h"

namespace {

constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr uint16_t kAscii = 2;
constexpr uint16_t kRational = 5;

// Sets B, S and P so that every later step finds a layout it can write.
// Depths the last read left behind give way to the picture's own depth.
void ChooseDepth(TIOParamsVals& params, const TIEBitmap* bitmap) {
  if (IEDepthInheritedFromRead(params)) {
    const bool bilevel = bitmap->PixelFormat == ie1g;
    params.BitsPerSample = bilevel ? 1 : 8;
    params.SamplesPerPixel = bilevel ? 1 : 3;
  }
  int32_t& B = params.BitsPerSample;
  int32_t& S = params.SamplesPerPixel;
  auto& P = params.TIFF_PhotometInterpret;
  if (S == 1 && B > 1 && B <= 8) {
    P = ioTIFF_RGBPALETTE;
    if (params.TIFF_Compression != ioTIFF_LZW && params.TIFF_Compression != ioTIFF_PACKBITS)
      params.TIFF_Compression = ioTIFF_UNCOMPRESSED;
  }
  if (P == ioTIFF_RGBPALETTE && S > 1) P = ioTIFF_RGB;
  if (B > 8) {
    S = 3;
    B = 8;
    P = ioTIFF_RGB;
  }
  if ((P == ioTIFF_WHITEISZERO || P == ioTIFF_BLACKISZERO) && B == 8 && S == 3) P = ioTIFF_RGB;
  if (P == ioTIFF_RGB && B == 1 && S == 1) P = ioTIFF_BLACKISZERO;
  const bool bilevel = B == 1 && S == 1;
  if (bilevel) {
    // A bilevel page always says which bit is black, or readers show it
    // inverted.
    if (P != ioTIFF_WHITEISZERO && P != ioTIFF_BLACKISZERO) P = ioTIFF_BLACKISZERO;
    return;
  }
  // Sample layouts no row writer produces (fewer than 8 bits with several
  // samples, grey without a palette) are written as 8-bit RGB, so the rows
  // always agree with the tags.
  if (P == ioTIFF_RGBPALETTE) return;
  if (P == ioTIFF_CMYK) {
    S = 4;
    B = 8;
    return;
  }
  if (P == ioTIFF_CIELAB) {
    S = 3;
    B = 8;
    return;
  }
  P = ioTIFF_RGB;
  S = 3;
  B = 8;
}

class TTiffWriter {
 public:
  TTiffWriter(TStream* stream, TIEBitmap* bitmap, TIOParamsVals& params, TProgressRec& progress)
      : stream_(stream), bitmap_(bitmap), params_(params), progress_(progress),
        abort_(progress.Aborting ? *progress.Aborting : localAbort_) {}

  int32_t WriteNew() {
    const int64_t start = stream_->GetPosition();
    static const uint8_t kPlaceholder[8] = {};
    Put(kPlaceholder, sizeof kPlaceholder);
    const int64_t ifd = WritePage(0);
    if (abort_ || ifd < 0) return 0;
    uint8_t header[8] = {'I', 'I'};
    IEPutLE16(header + 2, 42);
    IEPutLE32(header + 4, static_cast<uint32_t>(ifd));
    const int64_t end = stream_->GetPosition();
    stream_->SetPosition(start);
    Put(header, sizeof header);
    stream_->SetPosition(end);
    return abort_ ? 0 : 1;
  }

  int32_t Append() {
    int64_t linkAt = -1;
    uint32_t linkHeld = 0;
    const int32_t pages = FindLink(linkAt, linkHeld);
    if (pages <= 0) {
      abort_ = true;
      return 0;
    }
    stream_->SetPosition(stream_->GetSize());
    const int64_t ifd = WritePage(linkHeld);
    if (abort_ || ifd < 0) return 0;
    uint8_t link[4];
    IEPutLE32(link, static_cast<uint32_t>(ifd));
    const int64_t end = stream_->GetPosition();
    stream_->SetPosition(linkAt);
    Put(link, sizeof link);
    stream_->SetPosition(end);
    return abort_ ? 0 : pages;
  }

 private:
  void Put(const void* data, int64_t count) { SafeStreamWrite(stream_, abort_, data, count); }
  int64_t Position() const { return stream_->GetPosition(); }

  // Walks the chain of the "II" file at position 0 and finds the link
  // field the new page goes behind; the number of pages after the write,
  // 0 for a file that cannot take a page.
  int32_t FindLink(int64_t& linkAt, uint32_t& linkHeld) {
    const int64_t size = stream_->GetSize();
    uint8_t header[8];
    if (!IEReadExact(stream_, header, 4) || header[0] != 'I' || header[1] != 'I') return 0;
    stream_->SetPosition(4);
    const int32_t index = std::max(params_.TIFF_ImageIndex, 0);
    int64_t at = 4;
    int32_t found = 0;
    std::unordered_set<uint32_t> seen;
    for (;;) {
      uint8_t raw[4];
      stream_->SetPosition(at);
      if (!IEReadExact(stream_, raw, 4)) return 0;
      const uint32_t offset = IEGetLE32(raw);
      if (found == index || (offset == 0 && found < index)) {
        linkAt = at;
        linkHeld = offset;
      }
      if (offset == 0) break;
      // A chain that loops or leaves the file cannot be extended safely.
      if (!seen.insert(offset).second || offset + int64_t{2} > size) return 0;
      stream_->SetPosition(offset);
      uint8_t count[2];
      if (!IEReadExact(stream_, count, 2)) return 0;
      at = offset + 2 + int64_t{12} * IEGetLE16(count);
      ++found;
    }
    return linkAt < 0 ? 0 : found + 1;
  }

  // Writes the page's values, rows and directory from the stream's
  // position on; the directory's position, or -1 after an abort.
  int64_t WritePage(uint32_t nextIfd) {
    ChooseDepth(params_, bitmap_);
    const bool bilevel = params_.BitsPerSample == 1 && params_.SamplesPerPixel == 1;
    std::unique_ptr<TIEBitmap> copy;
    TIEBitmap* source = bitmap_;
    if (bilevel && bitmap_->PixelFormat != ie1g) {
      TRGB dark{}, light{};
      copy = IETwoColourCopy(bitmap_, dark, light);
      source = copy.get();
    } else if (!bilevel && bitmap_->PixelFormat != ie24RGB) {
      copy = IEConvertedCopy(bitmap_, ie24RGB);
      source = copy.get();
    }
    if (!source) {
      abort_ = true;
      return -1;
    }

    TTiffRowPlan plan = PlanRows(source);
    AddLong(256, static_cast<uint32_t>(source->Width));
    AddLong(257, static_cast<uint32_t>(source->Height));
    if (plan.kind == TTiffPageKind::Rgb || plan.kind == TTiffPageKind::CieLab ||
        plan.kind == TTiffPageKind::Cmyk)
      AddShorts(258, std::vector<uint16_t>(plan.samples, 8));
    else
      AddShorts(258, {static_cast<uint16_t>(plan.bits)});
    AddShorts(259, {plan.compression});
    AddShorts(262, {plan.photometric});
    AddAscii(269, params_.TIFF_DocumentName);
    AddAscii(270, params_.TIFF_ImageDescription);

    const int64_t stripAt = Position();
    TTiffRowWriter rows(stream_, source, plan, progress_, abort_);
    rows.Write();
    if (abort_) return -1;
    const int64_t stripBytes = Position() - stripAt;
    if (stripAt > UINT32_MAX || stripBytes > UINT32_MAX) {
      abort_ = true;  // offsets of this format are 32-bit
      return -1;
    }

    AddLong(273, static_cast<uint32_t>(stripAt));
    AddShorts(277, {static_cast<uint16_t>(plan.samples)});
    AddLong(278, static_cast<uint32_t>(source->Height));
    AddLong(279, static_cast<uint32_t>(stripBytes));
    AddRational(282, static_cast<uint32_t>(params_.DPIX), 1);
    AddRational(283, static_cast<uint32_t>(params_.DPIY), 1);
    AddAscii(285, params_.TIFF_PageName);
    AddRational(286, static_cast<uint32_t>(int64_t{params_.TIFF_XPosition} * 10000), 10000);
    AddRational(287, static_cast<uint32_t>(int64_t{params_.TIFF_YPosition} * 10000), 10000);
    if (plan.compression == 3) AddLong(292, plan.twoDimensional ? 1 : 0);
    AddShorts(296, {2});
    if (params_.TIFF_PageNumber != 0 || params_.TIFF_PageCount != 0)
      AddShorts(297, {static_cast<uint16_t>(params_.TIFF_PageNumber),
                      static_cast<uint16_t>(params_.TIFF_PageCount)});
    if (plan.predictor) AddShorts(317, {2});
    if (plan.kind == TTiffPageKind::Palette) AddShorts(320, ColorMapValues(plan));
    if (abort_) return -1;
    return WriteIfd(nextIfd);
  }

  TTiffRowPlan PlanRows(TIEBitmap* source) {
    TTiffRowPlan plan;
    plan.width = source->Width;
    const auto P = params_.TIFF_PhotometInterpret;
    plan.bits = params_.BitsPerSample;
    if (source->PixelFormat == ie1g) {
      plan.kind = TTiffPageKind::Bilevel;
      plan.photometric = 1;
    } else if (P == ioTIFF_RGBPALETTE) {
      plan.kind = TTiffPageKind::Palette;
      plan.photometric = 3;
      plan.palette.assign(size_t{1} << plan.bits, TRGB{});
    } else if (P == ioTIFF_CMYK) {
      plan.kind = TTiffPageKind::Cmyk;
      plan.photometric = 5;
    } else if (P == ioTIFF_CIELAB) {
      plan.kind = TTiffPageKind::CieLab;
      plan.photometric = 8;
    } else {
      plan.kind = TTiffPageKind::Rgb;
      plan.photometric = 2;
    }
    plan.samples = plan.kind == TTiffPageKind::Cmyk ? 4 : plan.kind == TTiffPageKind::Rgb || plan.kind == TTiffPageKind::CieLab ? 3 : 1;

    plan.lzw = params_.TIFF_LZWCompress ? params_.TIFF_LZWCompress : DefTIFF_LZWCOMPFUNC;
    switch (params_.TIFF_Compression) {
      case ioTIFF_CCITT1D: plan.compression = 2; break;
      case ioTIFF_G3FAX1D: plan.compression = 3; break;
      case ioTIFF_G3FAX2D:
        plan.compression = 3;
        plan.twoDimensional = true;
        break;
      case ioTIFF_G4FAX: plan.compression = 4; break;
      case ioTIFF_LZW: plan.compression = plan.lzw ? 5 : 1; break;
      case ioTIFF_PACKBITS: plan.compression = 32773; break;
      default: plan.compression = 1; break;
    }
    const bool ccitt = plan.compression >= 2 && plan.compression <= 4;
    if (ccitt && plan.kind != TTiffPageKind::Bilevel) {
      plan.compression = 1;
      plan.twoDimensional = false;
    }
    if (ccitt && plan.kind == TTiffPageKind::Bilevel) {
      plan.photometric = 0;
      plan.invert = true;
    }
    plan.predictor = plan.compression == 5 && plan.kind == TTiffPageKind::Rgb;
    if (plan.kind == TTiffPageKind::Palette)
      plan.quantizer = std::make_unique<TIEQuantizer>(static_cast<TIEBaseBitmap*>(source),
                                                      std::span<TRGB>(plan.palette),
                                                      static_cast<int>(plan.palette.size()), -1);
    return plan;
  }

  static std::vector<uint16_t> ColorMapValues(const TTiffRowPlan& plan) {
    const size_t n = plan.palette.size();
    std::vector<uint16_t> values(3 * n);
    for (size_t i = 0; i < n; ++i) {
      values[i] = static_cast<uint16_t>(plan.palette[i].r << 8);
      values[n + i] = static_cast<uint16_t>(plan.palette[i].g << 8);
      values[2 * n + i] = static_cast<uint16_t>(plan.palette[i].b << 8);
    }
    return values;
  }

  // Entries ------------------------------------------------------------------

  void Add(uint16_t tag, uint16_t type, uint32_t count, const uint8_t* bytes, size_t size) {
    TTIFFTag entry;
    entry.Tag = tag;
    entry.Type = type;
    entry.Count = count;
    if (size <= 4) {
      std::memcpy(entry.Raw, bytes, size);
    } else {
      // Values that do not fit go to the stream now; the entry points there.
      if (Position() > UINT32_MAX) abort_ = true;
      IEPutLE32(entry.Raw, static_cast<uint32_t>(Position()));
      Put(bytes, static_cast<int64_t>(size));
    }
    entry.Value = IEGetLE32(entry.Raw);
    entries_.push_back(entry);
  }
  void AddLong(uint16_t tag, uint32_t value) {
    uint8_t b[4];
    IEPutLE32(b, value);
    Add(tag, kLong, 1, b, 4);
  }
  void AddShorts(uint16_t tag, const std::vector<uint16_t>& values) {
    std::vector<uint8_t> b(values.size() * 2);
    for (size_t i = 0; i < values.size(); ++i) IEPutLE16(&b[i * 2], values[i]);
    Add(tag, kShort, static_cast<uint32_t>(values.size()), b.data(), b.size());
  }
  void AddRational(uint16_t tag, uint32_t numerator, uint32_t denominator) {
    uint8_t b[8];
    IEPutLE32(b, numerator);
    IEPutLE32(b + 4, denominator);
    Add(tag, kRational, 1, b, sizeof b);
  }
  // Strings of up to 4 bytes (the zero included) sit in the entry, as
  // readers expect of every value that fits there.
  void AddAscii(uint16_t tag, const std::string& text) {
    if (text.empty()) return;
    std::vector<uint8_t> b(text.begin(), text.end());
    b.push_back(0);
    Add(tag, kAscii, static_cast<uint32_t>(b.size()), b.data(), b.size());
  }

  int64_t WriteIfd(uint32_t nextIfd) {
    if (Position() & 1) {
      static const uint8_t kZero = 0;
      Put(&kZero, 1);
    }
    const int64_t at = Position();
    if (at > UINT32_MAX) {
      abort_ = true;
      return -1;
    }
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const TTIFFTag& a, const TTIFFTag& b) { return a.Tag < b.Tag; });
    std::vector<uint8_t> ifd(2 + 12 * entries_.size() + 4);
    IEPutLE16(ifd.data(), static_cast<uint16_t>(entries_.size()));
    for (size_t i = 0; i < entries_.size(); ++i) {
      uint8_t* e = &ifd[2 + 12 * i];
      IEPutLE16(e, entries_[i].Tag);
      IEPutLE16(e + 2, entries_[i].Type);
      IEPutLE32(e + 4, entries_[i].Count);
      std::memcpy(e + 8, entries_[i].Raw, 4);
    }
    IEPutLE32(&ifd[ifd.size() - 4], nextIfd);
    Put(ifd.data(), static_cast<int64_t>(ifd.size()));
    return abort_ ? -1 : at;
  }

  TStream* stream_;
  TIEBitmap* bitmap_;
  TIOParamsVals& params_;
  TProgressRec& progress_;
  bool localAbort_ = false;
  bool& abort_;
  std::vector<TTIFFTag> entries_;
};

}  // namespace

int32_t TIFFWriteStream(TStream* Stream, bool Append, TIEBitmap* Bitmap, TIOParamsVals& Params,
                        TProgressRec& Progress) {
  TTiffWriter writer(Stream, Bitmap, Params, Progress);
  return Append ? writer.Append() : writer.WriteNew();
}
