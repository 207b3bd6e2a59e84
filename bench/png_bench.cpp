// A 4000 x 3000 PNG loaded through TPixIO beside libpng decoding the same
// file directly into one buffer (the floor any PNG reader stands on).
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/io/pixio.h"
#include "platform/classes.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A smooth photo-like picture with some texture, as RGB rows.
const std::vector<uint8_t>& PhotoPng() {
  static const std::vector<uint8_t> png = [] {
    std::vector<uint8_t> row(size_t{kWidth} * 3);
    std::vector<uint8_t> out;
    png_structp p = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(p);
    if (setjmp(png_jmpbuf(p))) throw std::runtime_error("libpng could not write");
    png_set_write_fn(
        p, &out,
        [](png_structp s, png_bytep data, size_t n) {
          auto* o = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(s));
          o->insert(o->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(p, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(p, info);
    uint32_t noise = 12345;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        noise = noise * 1103515245 + 12345;
        uint8_t* px = &row[size_t{static_cast<size_t>(x)} * 3];
        px[0] = static_cast<uint8_t>(x * 255 / kWidth);
        px[1] = static_cast<uint8_t>(y * 255 / kHeight);
        px[2] = static_cast<uint8_t>(((x ^ y) & 0x3F) + ((noise >> 24) & 0x1F));
      }
      png_write_row(p, row.data());
    }
    png_write_end(p, nullptr);
    png_destroy_write_struct(&p, &info);
    return out;
  }();
  return png;
}

void BM_PngLoadThroughPixIO(benchmark::State& state) {
  const std::vector<uint8_t>& png = PhotoPng();
  TMemoryStream stream;
  stream.WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
  TPixIO io(nullptr);
  io.IEBitmap->Location = ieMemory;
  for (auto _ : state) {
    stream.SetPosition(0);
    io.LoadFromStreamPNG(&stream);
    if (io.Aborting) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(io.IEBitmap->GetScanLine(0));
  }
}
BENCHMARK(BM_PngLoadThroughPixIO)->Unit(benchmark::kMillisecond);

struct TMemoryInput {
  const uint8_t* data;
  size_t left;
};

void BM_PngDecodeWithLibpng(benchmark::State& state) {
  const std::vector<uint8_t>& png = PhotoPng();
  std::vector<uint8_t> pixels(size_t{kWidth} * kHeight * 3);
  for (auto _ : state) {
    TMemoryInput in{png.data(), png.size()};
    png_structp p = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(p);
    if (setjmp(png_jmpbuf(p))) {
      state.SkipWithError("decode failed");
      break;
    }
    png_set_read_fn(p, &in, [](png_structp s, png_bytep data, size_t n) {
      auto* i = static_cast<TMemoryInput*>(png_get_io_ptr(s));
      if (n > i->left) png_error(s, "short");
      std::memcpy(data, i->data, n);
      i->data += n;
      i->left -= n;
    });
    png_read_info(p, info);
    png_set_bgr(p);
    png_read_update_info(p, info);
    for (int y = 0; y < kHeight; ++y) png_read_row(p, &pixels[size_t{static_cast<size_t>(y)} * kWidth * 3], nullptr);
    png_read_end(p, nullptr);
    png_destroy_read_struct(&p, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BM_PngDecodeWithLibpng)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
