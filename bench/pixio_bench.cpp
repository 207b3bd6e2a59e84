// Loading through TPixIO beside the work it cannot avoid: a 4000 x 3000
// JPEG against libjpeg-turbo decoding the same file directly, and a 24-bit
// BMP of the same size loaded and saved against reading and writing the
// same bytes. Compare the pairs' times (targets: JPEG 1.15, BMP 1.5).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "imaging/core/iebitmap.h"
#include "imaging/io/pixio.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

struct TFiles {
  std::filesystem::path folder;
  std::string jpeg, bmp, bmpCopy, bmpSaved;

  TFiles() {
    folder = std::filesystem::temp_directory_path() / "pixio_bench";
    std::filesystem::create_directories(folder);
    jpeg = (folder / "big.jpg").string();
    bmp = (folder / "big.bmp").string();
    bmpCopy = (folder / "copy.bmp").string();
    bmpSaved = (folder / "saved.bmp").string();
    TPixIO io(nullptr);
    TIEBitmap& picture = *io.IEBitmap;
    picture.Location = ieMemory;
    picture.Allocate(kWidth, kHeight, ie24RGB);
    for (int y = 0; y < kHeight; ++y) {
      uint8_t* row = picture.GetScanLine(y);
      for (int x = 0; x < kWidth; ++x) {
        row[x * 3] = static_cast<uint8_t>(x ^ y);
        row[x * 3 + 1] = static_cast<uint8_t>(x / 16 + y / 8);
        row[x * 3 + 2] = static_cast<uint8_t>(y / 12);
      }
    }
    io.IOParams->JPEG_Quality = 90;
    io.SaveToFile(jpeg);
    io.SaveToFile(bmp);
  }
  ~TFiles() { std::filesystem::remove_all(folder); }
};

TFiles& Files() {
  static TFiles files;
  return files;
}

// The whole file in one read call, as the loader reads it.
std::vector<uint8_t> ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary | std::ios::ate);
  std::vector<uint8_t> bytes(size_t(in.tellg()));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
  return bytes;
}

void BM_JpegLoadThroughPixIO(benchmark::State& state) {
  const std::string& name = Files().jpeg;
  TPixIO io(nullptr);
  io.IEBitmap->Location = ieMemory;
  for (auto _ : state) {
    io.LoadFromFile(name);
    benchmark::DoNotOptimize(io.IEBitmap->GetScanLine(0));
  }
}
BENCHMARK(BM_JpegLoadThroughPixIO)->Unit(benchmark::kMillisecond);

void BM_JpegDecodeDirectly(benchmark::State& state) {
  const std::string& name = Files().jpeg;
  std::vector<uint8_t> pixels;
  for (auto _ : state) {
    const std::vector<uint8_t> bytes = ReadAll(name);
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    const size_t stride = (size_t(cinfo.output_width) * 3 + 3) & ~size_t{3};
    pixels.resize(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW row = pixels.data() + stride * (cinfo.output_height - 1 - cinfo.output_scanline);
      jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BM_JpegDecodeDirectly)->Unit(benchmark::kMillisecond);

void BM_BmpLoadAndSaveThroughPixIO(benchmark::State& state) {
  TPixIO io(nullptr);
  io.IEBitmap->Location = ieMemory;
  for (auto _ : state) {
    io.LoadFromFile(Files().bmp);
    io.SaveToFile(Files().bmpSaved);
  }
}
BENCHMARK(BM_BmpLoadAndSaveThroughPixIO)->Unit(benchmark::kMillisecond);

void BM_BmpReadAndWriteBytes(benchmark::State& state) {
  for (auto _ : state) {
    const std::vector<uint8_t> bytes = ReadAll(Files().bmp);
    std::ofstream out(Files().bmpCopy, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
}
BENCHMARK(BM_BmpReadAndWriteBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
