// A 4000 x 3000 JPEG read through our reader beside libjpeg-turbo decoding
// the same file directly, and a 24-bit BMP of the same size read and
// written beside moving the same bytes through the same kind of stream.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cstring>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/io/bmpfilt.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/jpegfilt.h"
#include "platform/classes.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A smooth photo-like picture with some texture, blue, green, red.
std::vector<uint8_t> PhotoPixels() {
  std::vector<uint8_t> pixels(size_t{kWidth} * kHeight * 3);
  uint32_t noise = 12345;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1103515245 + 12345;
      uint8_t* p = &pixels[(size_t{static_cast<size_t>(y)} * kWidth + x) * 3];
      p[0] = static_cast<uint8_t>(x * 255 / kWidth);
      p[1] = static_cast<uint8_t>(y * 255 / kHeight);
      p[2] = static_cast<uint8_t>(((x ^ y) & 0x3F) + ((noise >> 24) & 0x1F));
    }
  }
  return pixels;
}

const std::vector<uint8_t>& PhotoJpeg() {
  static const std::vector<uint8_t> jpeg = [] {
    const std::vector<uint8_t> pixels = PhotoPixels();
    tjhandle handle = tjInitCompress();
    unsigned char* data = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, pixels.data(), kWidth, 0, kHeight, TJPF_BGR, &data, &size, TJSAMP_420, 85,
                0);
    std::vector<uint8_t> bytes(data, data + size);
    tjFree(data);
    tjDestroy(handle);
    return bytes;
  }();
  return jpeg;
}

// What a reader needs: the file in a memory stream, parameters and a
// progress record with an abort flag.
struct TReaderInput {
  explicit TReaderInput(const std::vector<uint8_t>& bytes) {
    stream.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    progress.Aborting = &aborting;
  }
  TMemoryStream stream;
  TIOParamsVals params{nullptr};
  bool aborting = false;
  TProgressRec progress;
};

void BM_JpegRead_Reader(benchmark::State& state) {
  TReaderInput in(PhotoJpeg());
  for (auto _ : state) {
    TIEBitmap bitmap;
    bitmap.Location = ieMemory;
    in.stream.SetPosition(0);
    ReadJPegStream(&in.stream, &bitmap, in.params, in.progress, false);
    benchmark::DoNotOptimize(bitmap.GetScanLine(0));
  }
}
BENCHMARK(BM_JpegRead_Reader)->Unit(benchmark::kMillisecond);

void BM_JpegRead_LibraryDirect(benchmark::State& state) {
  const std::vector<uint8_t>& jpeg = PhotoJpeg();
  tjhandle handle = tjInitDecompress();
  for (auto _ : state) {
    std::vector<uint8_t> pixels(size_t{kWidth} * kHeight * 3);
    tjDecompress2(handle, jpeg.data(), jpeg.size(), pixels.data(), kWidth, 0, kHeight, TJPF_BGR, 0);
    benchmark::DoNotOptimize(pixels.data());
  }
  tjDestroy(handle);
}
BENCHMARK(BM_JpegRead_LibraryDirect)->Unit(benchmark::kMillisecond);

// The BMP of the photo as our writer makes it.
const std::vector<uint8_t>& PhotoBmp() {
  static const std::vector<uint8_t> bmp = [] {
    const std::vector<uint8_t> pixels = PhotoPixels();
    TIEBitmap bitmap;
    bitmap.Location = ieMemory;
    bitmap.Allocate(kWidth, kHeight, ie24RGB);
    for (int y = 0; y < kHeight; ++y)
      std::memcpy(bitmap.GetScanLine(y), &pixels[size_t{static_cast<size_t>(y)} * kWidth * 3],
                  size_t{kWidth} * 3);
    TIOParamsVals params(nullptr);
    TProgressRec progress;
    TMemoryStream out;
    BMPWriteStream(&out, &bitmap, params, progress);
    const auto* p = static_cast<const uint8_t*>(out.Memory());
    return std::vector<uint8_t>(p, p + out.GetSize());
  }();
  return bmp;
}

void BM_BmpReadWrite_Codec(benchmark::State& state) {
  TReaderInput in(PhotoBmp());
  TMemoryStream out;
  for (auto _ : state) {
    TIEBitmap bitmap;
    bitmap.Location = ieMemory;
    in.stream.SetPosition(0);
    BMPReadStream(&in.stream, &bitmap, 0, in.params, in.progress, false);
    out.SetPosition(0);
    BMPWriteStream(&out, &bitmap, in.params, in.progress);
    benchmark::DoNotOptimize(out.Memory());
  }
}
BENCHMARK(BM_BmpReadWrite_Codec)->Unit(benchmark::kMillisecond);

// The same bytes read from the stream into a buffer of the picture's size
// and written back out, without looking at them.
void BM_BmpReadWrite_PlainBytes(benchmark::State& state) {
  TReaderInput in(PhotoBmp());
  const int64_t size = in.stream.GetSize();
  TMemoryStream out;
  for (auto _ : state) {
    std::vector<uint8_t> buffer(static_cast<size_t>(size));
    in.stream.SetPosition(0);
    in.stream.Read(buffer.data(), size);
    out.SetPosition(0);
    out.Write(buffer.data(), size);
    benchmark::DoNotOptimize(out.Memory());
  }
}
BENCHMARK(BM_BmpReadWrite_PlainBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
