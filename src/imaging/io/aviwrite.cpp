// Writing AVI files: one uncompressed video stream, frames as "00db"
// chunks in one movie list, and the index. The headers are written first
// with room for the counts and sizes, which Finish fills in.
#include <algorithm>
#include <cstring>
#include <numeric>

#include "imaging/io/avifile.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/proc/ievideoframes.h"
#include "platform/graphics.h"

namespace {

// Offsets of the fields Finish fills in, from the start of the RIFF.
constexpr int64_t kRiffSizeAt = 4;
constexpr int64_t kTotalFramesAt = 48;   // avih dwTotalFrames
constexpr int64_t kStreamLengthAt = 140;  // strh dwLength
constexpr uint32_t kAvifHasIndex = 0x10;
constexpr uint32_t kAviifKeyframe = 0x10;
constexpr uint64_t kMaxRiff = 0xFFFFFFFFull;

void PutId(std::vector<uint8_t>& b, const char* id) { b.insert(b.end(), id, id + 4); }
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  uint8_t p[4];
  IEPutLE32(p, v);
  b.insert(b.end(), p, p + 4);
}
void Put16(std::vector<uint8_t>& b, uint16_t v) {
  uint8_t p[2];
  IEPutLE16(p, v);
  b.insert(b.end(), p, p + 2);
}

}  // namespace

void IEAviRateOfDelay(int32_t delayMs, uint32_t& scale, uint32_t& rate) {
  const uint32_t ms = uint32_t(std::max(delayMs, 1));
  const uint32_t common = std::gcd(ms, 1000u);
  scale = ms / common;
  rate = 1000u / common;
}

TIEAviWriter::TIEAviWriter(TStream* stream, int width, int height, int bitCount, int32_t delayMs)
    : stream_(stream), width_(width), height_(height), bitCount_(bitCount == 1 ? 1 : 24) {
  IEAviRateOfDelay(delayMs, scale_, rate_);
  if (width_ <= 0 || height_ <= 0 || width_ > kIEAviMaxSide || height_ > kIEAviMaxSide ||
      int64_t{width_} * height_ > kIEAviMaxPixels)
    throw EInvalidGraphic("AVI frames of " + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels cannot be written");
  rowLen_ = uint32_t(((int64_t{width_} * bitCount_ + 31) / 32) * 4);
  frameBytes_ = uint64_t{rowLen_} * uint64_t(height_);
  WriteHeaders();
}

void TIEAviWriter::WriteHeaders() {
  const uint32_t frameBytes = uint32_t(frameBytes_);
  const uint32_t colours = bitCount_ == 1 ? 2 : 0;
  const uint32_t strfSize = 40 + colours * 4;
  const uint32_t strlSize = 4 + (8 + 56) + (8 + strfSize);
  const uint32_t hdrlSize = 4 + (8 + 56) + (8 + strlSize);
  std::vector<uint8_t> b;
  PutId(b, "RIFF");
  Put32(b, 0);
  PutId(b, "AVI ");
  PutId(b, "LIST");
  Put32(b, hdrlSize);
  PutId(b, "hdrl");
  PutId(b, "avih");
  Put32(b, 56);
  Put32(b, uint32_t(uint64_t{1000000} * scale_ / rate_));  // microseconds a frame
  Put32(b, uint32_t(std::min<uint64_t>(uint64_t{frameBytes} * rate_ / scale_, kMaxRiff)));
  Put32(b, 0);
  Put32(b, kAvifHasIndex);
  Put32(b, 0);  // total frames
  Put32(b, 0);
  Put32(b, 1);  // streams
  Put32(b, frameBytes + 8);
  Put32(b, uint32_t(width_));
  Put32(b, uint32_t(height_));
  for (int i = 0; i < 4; ++i) Put32(b, 0);
  PutId(b, "LIST");
  Put32(b, strlSize);
  PutId(b, "strl");
  PutId(b, "strh");
  Put32(b, 56);
  PutId(b, "vids");
  PutId(b, "DIB ");
  Put32(b, 0);  // flags
  Put16(b, 0);  // priority
  Put16(b, 0);  // language
  Put32(b, 0);  // initial frames
  Put32(b, scale_);
  Put32(b, rate_);
  Put32(b, 0);  // start
  Put32(b, 0);  // length
  Put32(b, frameBytes);
  Put32(b, 0xFFFFFFFFu);  // quality: the default
  Put32(b, 0);            // sample size: frames vary
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, uint16_t(width_));
  Put16(b, uint16_t(height_));
  PutId(b, "strf");
  Put32(b, strfSize);
  Put32(b, 40);
  Put32(b, uint32_t(width_));
  Put32(b, uint32_t(height_));
  Put16(b, 1);
  Put16(b, uint16_t(bitCount_));
  Put32(b, 0);  // BI_RGB
  Put32(b, frameBytes);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, colours);
  Put32(b, colours);
  if (colours) {
    // 1-bit frames: 0 black, 1 white, as the picture's bits mean.
    Put32(b, 0x00000000);
    Put32(b, 0x00FFFFFF);
  }
  PutId(b, "LIST");
  Put32(b, 0);  // movie list size
  PutId(b, "movi");
  riffStart_ = stream_->GetPosition();
  stream_->WriteBuffer(b.data(), int64_t(b.size()));
  moviStart_ = riffStart_ + int64_t(b.size()) - 4;
}

void TIEAviWriter::AddFrame(TIEBitmap* frame) {
  const uint32_t frameBytes = uint32_t(frameBytes_);
  const uint64_t end = uint64_t(stream_->GetPosition() - riffStart_) + 8 + frameBytes + 8 +
                       16 * (uint64_t(index_.size()) + 1);
  if (end > kMaxRiff) throw EInvalidGraphic("AVI file would exceed 4 GiB");
  TIEBitmap converted;
  TIEBitmap* source = frame;
  const TIEPixelFormat wanted = bitCount_ == 1 ? ie1g : ie24RGB;
  if (frame->GetPixelFormat() != wanted) {
    converted.Assign(frame);
    converted.ConvertToPixelFormat(wanted);
    source = &converted;
  }
  std::vector<uint8_t> chunk(8 + size_t(frameBytes), 0);
  std::memcpy(chunk.data(), "00db", 4);
  IEPutLE32(chunk.data() + 4, frameBytes);
  const int rows = std::min(height_, source->GetHeight());
  const size_t bytes = std::min<size_t>(rowLen_, size_t(source->GetRowLen()));
  // Rows bottom-up, as DIBs store them.
  for (int y = 0; y < rows; ++y)
    std::memcpy(chunk.data() + 8 + size_t(height_ - 1 - y) * rowLen_, source->GetScanLine(y), bytes);
  index_.push_back(uint32_t(stream_->GetPosition() - moviStart_));
  stream_->WriteBuffer(chunk.data(), int64_t(chunk.size()));
}

void TIEAviWriter::Finish() {
  if (finished_) return;
  finished_ = true;
  const uint32_t frameBytes = uint32_t(frameBytes_);
  const int64_t moviEnd = stream_->GetPosition();
  std::vector<uint8_t> b;
  PutId(b, "idx1");
  Put32(b, uint32_t(16 * index_.size()));
  for (const uint32_t offset : index_) {
    PutId(b, "00db");
    Put32(b, kAviifKeyframe);
    Put32(b, offset);
    Put32(b, frameBytes);
  }
  stream_->WriteBuffer(b.data(), int64_t(b.size()));
  const int64_t end = stream_->GetPosition();
  uint8_t v[4];
  const auto patch = [&](int64_t at, uint32_t value) {
    IEPutLE32(v, value);
    stream_->SetPosition(at);
    stream_->WriteBuffer(v, 4);
  };
  patch(riffStart_ + kRiffSizeAt, uint32_t(end - riffStart_ - 8));
  patch(riffStart_ + kTotalFramesAt, uint32_t(index_.size()));
  patch(riffStart_ + kStreamLengthAt, uint32_t(index_.size()));
  patch(moviStart_ - 4, uint32_t(moviEnd - moviStart_));
  stream_->SetPosition(end);
}
