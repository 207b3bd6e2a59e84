// GIF reader: the logical screen, the blocks up to the chosen frame, its
// pixels through the decoder hook, and the frame count.
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ieview.h"
#include "imaging/io/giffilter.h"
#include "imaging/io/giffilterblocks.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iewritedepth.h"
#include "imaging/io/ioparams.h"
#include "platform/gbk.h"

namespace {

// A code stream cannot give more pixels than this per byte: between two
// clear codes at most 4094 codes (about 6 KB) make strings of 1 to 4095
// bytes, some 8 MB.
constexpr int64_t kLzwPixelsPerByte = 2048;

// The data of each sub-block up to the terminator; false when the stream
// ends first.
bool ReadSubBlocks(TStream* stream, std::vector<std::string>& blocks) {
  for (;;) {
    uint8_t length = 0;
    if (!GifReadByte(stream, length)) return false;
    if (length == 0) return true;
    std::string block(length, '\0');
    if (!IEReadExact(stream, block.data(), length)) return false;
    blocks.push_back(std::move(block));
  }
}

struct TGifFrameInfo {
  uint8_t Descriptor[kGifDescriptorSize] = {};
  std::vector<uint8_t> LocalTable;
  bool HasLocalTable() const { return (Descriptor[8] & 0x80) != 0; }
  int32_t Left() const { return IEGetLE16(Descriptor); }
  int32_t Top() const { return IEGetLE16(Descriptor + 2); }
  int32_t Width() const { return IEGetLE16(Descriptor + 4); }
  int32_t Height() const { return IEGetLE16(Descriptor + 6); }
  bool Interlaced() const { return (Descriptor[8] & 0x40) != 0; }
};

class TGifReader {
 public:
  TGifReader(TStream* stream, TIEBitmap* bitmap, TIOParamsVals& params, TProgressRec& progress,
             bool preview, TIEMask*& mask, bool ignoreAlpha)
      : stream_(stream), bitmap_(bitmap), params_(params), progress_(progress), preview_(preview),
        mask_(mask), ignoreAlpha_(ignoreAlpha) {}

  int32_t Read() {
    if (GifReport(progress_, 0)) return 0;
    if (!ReadGifScreen(stream_, screen_) || IEStreamBytesLeft(stream_) == 0) {
      IESetAbort(progress_);
      return 0;
    }
    params_.GIF_Version = screen_.Version();
    params_.GIF_ScreenWidth = screen_.Width();
    params_.GIF_ScreenHeight = screen_.Height();
    params_.GIF_AspectRatio = screen_.Header[12];
    params_.DPIX = gSystemDPIX;
    params_.DPIY = gSystemDPIY;
    params_.SamplesPerPixel = 1;
    global_ = GifPaletteFromTable(screen_.GlobalTable.data(),
                                  static_cast<int64_t>(screen_.GlobalTable.size()));
    if (screen_.HasGlobalTable()) params_.GIF_Background = global_[screen_.Header[11]];

    int32_t counter = 0;
    while (!IEAborted(progress_) && WalkBlock(counter)) {
    }
    params_.GIF_ImageCount = counter;
    if (!IEAborted(progress_)) GifReport(progress_, 100);
    return counter;
  }

 private:
  // One block; false at the trailer, the end of the stream or a frame that
  // failed.
  bool WalkBlock(int32_t& counter) {
    uint8_t block = 0;
    if (!GifReadByte(stream_, block) || block == kGifTrailer) return false;
    if (block == kGifExtension) return ReadExtension(counter == params_.GIF_ImageIndex);
    if (block != kGifDescriptor) return true;  // stray bytes are skipped

    const bool chosen = counter == params_.GIF_ImageIndex;
    TGifFrameInfo frame;
    if (!ReadFrameHeader(frame)) {
      if (chosen) IESetAbort(progress_);
      return false;
    }
    if (!chosen) {
      uint8_t codeSize = 0;
      if (!GifReadByte(stream_, codeSize) || !GifSkipSubBlocks(stream_)) return false;
      ++counter;
      return true;
    }
    if (!ReadChosenFrame(frame)) return false;
    ++counter;
    return true;
  }

  bool ReadExtension(bool forChosenFrame) {
    uint8_t label = 0;
    if (!GifReadByte(stream_, label)) return false;
    if (label == kGifGraphicControl && forChosenFrame) {
      std::vector<std::string> blocks;
      if (!ReadSubBlocks(stream_, blocks)) return false;
      std::memset(control_, 0, sizeof control_);
      if (!blocks.empty())
        std::memcpy(control_, blocks[0].data(), std::min<size_t>(blocks[0].size(), sizeof control_));
      return true;
    }
    if (label == kGifComment) {
      std::vector<std::string> blocks;
      const bool complete = ReadSubBlocks(stream_, blocks);
      for (const std::string& block : blocks) {
        const std::string text = block.substr(0, block.find('\0'));
        if (!text.empty()) params_.GIF_Comments->Add(GbkToUtf8(text));
      }
      return complete;
    }
    return GifSkipSubBlocks(stream_);
  }

  bool ReadFrameHeader(TGifFrameInfo& frame) {
    if (!IEReadExact(stream_, frame.Descriptor, kGifDescriptorSize)) return false;
    if (!frame.HasLocalTable()) return true;
    frame.LocalTable.resize(size_t{3} << ((frame.Descriptor[8] & 7) + 1));
    return IEReadExact(stream_, frame.LocalTable.data(),
                       static_cast<int64_t>(frame.LocalTable.size()));
  }

  bool Fail() {
    IESetAbort(progress_);
    return false;
  }

  bool ReadChosenFrame(const TGifFrameInfo& frame) {
    if (GifReport(progress_, 30)) return false;
    const TGifPalette palette =
        frame.HasLocalTable()
            ? GifPaletteFromTable(frame.LocalTable.data(), static_cast<int64_t>(frame.LocalTable.size()))
            : global_;
    const uint8_t transparentIndex = control_[3];
    params_.GIF_TransparentColor = palette[transparentIndex];
    params_.GIF_Left = frame.Left();
    params_.GIF_Top = frame.Top();
    params_.Width = frame.Width();
    params_.Height = frame.Height();
    params_.GIF_DelayTime = IEGetLE16(control_ + 1);
    params_.GIF_TransparentFlag = (control_[0] & 1) != 0;
    params_.GIF_Interlaced = frame.Interlaced();

    std::vector<uint8_t> indices;
    if (preview_) {
      uint8_t codeSize = 0;
      if (GifReadByte(stream_, codeSize)) GifSkipSubBlocks(stream_);
    } else if (!DecodeFrame(frame, indices) || GifReport(progress_, 70)) {
      return false;
    }

    const int bits = (frame.HasLocalTable() ? frame.Descriptor[8] & 7 : screen_.TableSizeBits()) + 1;
    params_.BitsPerSample = bits;
    params_.SetColorMap(palette.data(), 1 << bits);
    IENoteReadDepth(params_);
    if (preview_) return true;
    return StorePixels(frame, palette, bits, indices, transparentIndex);
  }

  bool DecodeFrame(const TGifFrameInfo& frame, std::vector<uint8_t>& indices) {
    const int64_t pixels = int64_t{frame.Width()} * frame.Height();
    if (pixels == 0) return Fail();
    // A damaged descriptor must not make us allocate what no data can fill.
    if (!IEDataCoversPicture(pixels * 3, pixels / kLzwPixelsPerByte, IEStreamBytesLeft(stream_), 0))
      return Fail();
    const TGIFLZWDecompFunc decode =
        params_.GIF_LZWDecompress ? params_.GIF_LZWDecompress : DefGIF_LZWDECOMPFUNC;
    if (!decode) return Fail();
    try {
      indices.assign(static_cast<size_t>(pixels), 0);
    } catch (const std::bad_alloc&) {
      return Fail();
    }
    const int64_t before = stream_->GetPosition();
    decode(stream_, frame.Height(), frame.Width(), frame.Interlaced(), indices.data());
    // The decoder leaves the position where it was when the data is bad.
    if (stream_->GetPosition() == before) return Fail();
    return true;
  }

  bool StorePixels(const TGifFrameInfo& frame, const TGifPalette& palette, int bits,
                   const std::vector<uint8_t>& indices, uint8_t transparentIndex) {
    static const TRGB kBlack{0, 0, 0};
    static const TRGB kWhite{255, 255, 255};
    const bool blackWhite = bits == 1 && palette[0] == kBlack && palette[1] == kWhite;
    const int32_t width = frame.Width();
    const int32_t height = frame.Height();
    if (!IEAllocateBitmap(bitmap_, width, height, blackWhite ? ie1g : ie24RGB)) return Fail();
    const bool transparency = !ignoreAlpha_ && params_.GIF_TransparentFlag;
    if (!ignoreAlpha_) {
      if (!mask_) mask_ = new TIEMask();
      mask_->AllocateBits(width, height, 8);
      mask_->Fill(255);
    }
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* in = indices.data() + int64_t{y} * width;
      uint8_t* row = bitmap_->GetScanLine(y);
      if (blackWhite) {
        std::memset(row, 0, static_cast<size_t>(bitmap_->RowLen));
        for (int32_t x = 0; x < width; ++x)
          if (in[x] == 1) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
      } else {
        auto* out = reinterpret_cast<TRGB*>(row);
        for (int32_t x = 0; x < width; ++x) out[x] = palette[in[x]];
      }
      if (transparency)
        for (int32_t x = 0; x < width; ++x)
          if (in[x] == transparentIndex) mask_->SetPixel(x, y, 0);
    }
    return true;
  }

  TStream* stream_;
  TIEBitmap* bitmap_;
  TIOParamsVals& params_;
  TProgressRec& progress_;
  bool preview_;
  TIEMask*& mask_;
  bool ignoreAlpha_;
  TGifScreen screen_;
  TGifPalette global_{};
  // The chosen frame's graphic control bytes: packed, delay (2), transparent index.
  uint8_t control_[4] = {};
};

}  // namespace

void ReadGifStream(TStream* Stream, TIEBitmap* Bitmap, int32_t& ImageCount, TIOParamsVals& IOParams,
                   TProgressRec& Progress, bool Preview, TIEMask*& AlphaMask, bool IgnoreAlpha) {
  TGifReader reader(Stream, Bitmap, IOParams, Progress, Preview, AlphaMask, IgnoreAlpha);
  ImageCount = reader.Read();
}

void ReadGif(const std::string& FileName, TIEBitmap* Bitmap, int32_t& ImageCount,
             TIOParamsVals& IOParams, TProgressRec& Progress, TIEMask*& AlphaMask, bool IgnoreAlpha) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  ReadGifStream(&file, Bitmap, ImageCount, IOParams, Progress, false, AlphaMask, IgnoreAlpha);
}
