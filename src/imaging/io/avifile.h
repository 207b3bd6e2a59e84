// RIFF/AVI video files: the frames of the first video stream read one by
// one, and uncompressed video written frame by frame.
//
// The reader takes the bytes as untrusted: every chunk must lie inside its
// parent and the file, the headers must have their full sizes, and a frame
// must hold the bytes its format needs. It decodes uncompressed DIB frames
// (1, 4, 8, 16, 24 and 32 bits, bit fields included), the uncompressed YUV
// layouts and Motion JPEG.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "platform/classes.h"

// Frame sizes both sides accept.
constexpr int32_t kIEAviMaxSide = 32768;
constexpr int64_t kIEAviMaxPixels = int64_t{1} << 28;

// The parts of the video stream's headers the callers use.
struct TIEAviStreamInfo {
  uint32_t Scale = 0;  // time unit: Rate / Scale frames a second
  uint32_t Rate = 0;
  uint32_t Length = 0;  // frames the stream header announces
  int32_t Width = 0;
  int32_t Height = 0;  // positive; TopDown tells the row order
  bool TopDown = false;
  uint16_t BitCount = 0;  // of the frame format (the DIB's biBitCount)
  uint32_t Compression = 0;  // BI_RGB, BI_BITFIELDS or a FourCC
};

// Milliseconds a frame shows: trunc(1000 x scale / rate); 0 when either is
// 0 (a stream without a rate has no frame time).
int32_t IEAviFrameDelay(uint32_t scale, uint32_t rate);
// The smallest scale/rate pair for a frame time in milliseconds (at least
// 1 ms): 40 ms gives 1/25, 1500 ms gives 3/2.
void IEAviRateOfDelay(int32_t delayMs, uint32_t& scale, uint32_t& rate);

// Bits per sample and samples per pixel of a frame format's bit count:
// n/1 for 1, 4 and 8 bits, 5/3 for 15 bits, 8/3 otherwise.
void IEAviSampleLayout(int bitCount, int32_t& bitsPerSample, int32_t& samplesPerPixel);

class TIEAviReader {
 public:
  // Reads the headers and lists the frames of the first video stream. The
  // stream is not owned and must outlive the reader. False, with Error
  // saying why, for anything that is not a readable AVI video.
  bool Open(TStream* stream);
  const TIEAviStreamInfo& Info() const { return info_; }
  // The frames found in the file.
  int32_t FrameCount() const { return int32_t(frames_.size()); }
  // Decodes frame index into target (ie1g for 1-bit frames, else ie24RGB)
  // and gives the frame format's bit count; 0, with Error set and target
  // untouched, when the frame cannot be read.
  int ReadFrame(int32_t index, TIEBitmap* target);
  std::string Error;

 private:
  struct TFrame {
    int64_t Offset;
    uint32_t Size;
  };
  bool Fail(const std::string& why);
  bool ReadHeaderList(int64_t start, int64_t end);
  bool ReadStreamList(int64_t start, int64_t end, int streamNumber);
  void ScanMovie(int64_t start, int64_t end, int depth);
  bool DecodeDib(const std::vector<uint8_t>& data, TIEBitmap* target);
  bool DecodeJpeg(const std::vector<uint8_t>& data, TIEBitmap* target);
  bool DecodeYuv(const std::vector<uint8_t>& data, TIEBitmap* target);

  TStream* stream_ = nullptr;
  int64_t fileSize_ = 0;
  int videoStream_ = -1;  // the number of the first video stream
  TIEAviStreamInfo info_;
  std::vector<uint8_t> format_;  // the stream's BITMAPINFOHEADER and colour table
  std::vector<TFrame> frames_;
};

// Writes uncompressed frames: 1-bit (with a black-and-white colour table)
// or 24-bit. The caller creates the stream; Finish writes the index and
// the sizes the headers announce.
class TIEAviWriter {
 public:
  // bitCount 1 or 24 (anything else is written as 24). Sizes the reader
  // refuses raise EInvalidGraphic.
  TIEAviWriter(TStream* stream, int width, int height, int bitCount, int32_t delayMs);
  // Writes one frame of the writer's size; another pixel format is
  // converted. A frame that would take the file past 4 GiB raises.
  void AddFrame(TIEBitmap* frame);
  void Finish();
  int32_t FramesWritten() const { return int32_t(index_.size()); }

 private:
  void WriteHeaders();
  TStream* stream_;
  int width_, height_, bitCount_;
  uint32_t scale_ = 1, rate_ = 25;
  uint32_t rowLen_;
  uint64_t frameBytes_;
  int64_t riffStart_ = 0, moviStart_ = 0;
  std::vector<uint32_t> index_;  // offsets of the frame chunks from "movi"
  bool finished_ = false;
};

// An AVI file opened for reading frames: the file and its reader.
struct TIEAviFile {
  std::unique_ptr<TStream> File;
  TIEAviReader Reader;
};
