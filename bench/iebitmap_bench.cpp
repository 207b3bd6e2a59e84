// Allocating, filling and copying a 6000 x 4000 24-bit picture in memory and
// in file-mapped storage, each beside a plain memset or memcpy of the same
// bytes, so that the storage's own cost shows.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "imaging/core/iebitmap.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr size_t kBytes = size_t{kWidth} * 3 * kHeight;  // rows need no padding

std::unique_ptr<TIEBitmap> NewBitmap(TIELocation location) {
  auto bitmap = std::make_unique<TIEBitmap>();
  bitmap->FileThreshold = 0;  // file storage whatever the size
  bitmap->Location = location;
  return bitmap;
}

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBytes));
}

void BM_AllocateAndFill(benchmark::State& state) {
  const auto location = static_cast<TIELocation>(state.range(0));
  for (auto _ : state) {
    auto bitmap = NewBitmap(location);
    bitmap->Allocate(kWidth, kHeight, ie24RGB);
    bitmap->Fill(0x336699);
    benchmark::DoNotOptimize(bitmap->GetScanLine(0));
  }
  SetBytes(state);
}
BENCHMARK(BM_AllocateAndFill)->Arg(ieMemory)->Arg(ieFile)->Unit(benchmark::kMillisecond);

void BM_PlainAllocateAndMemset(benchmark::State& state) {
  for (auto _ : state) {
    auto* block = static_cast<uint8_t*>(std::malloc(kBytes));
    std::memset(block, 0x66, kBytes);
    benchmark::DoNotOptimize(block);
    std::free(block);
  }
  SetBytes(state);
}
BENCHMARK(BM_PlainAllocateAndMemset)->Unit(benchmark::kMillisecond);

void BM_Assign(benchmark::State& state) {
  const auto location = static_cast<TIELocation>(state.range(0));
  auto source = NewBitmap(location);
  source->Allocate(kWidth, kHeight, ie24RGB);
  source->Fill(0x336699);
  auto copy = NewBitmap(location);
  for (auto _ : state) {
    copy->Assign(source.get());
    benchmark::DoNotOptimize(copy->GetScanLine(0));
  }
  SetBytes(state);
}
BENCHMARK(BM_Assign)->Arg(ieMemory)->Arg(ieFile)->Unit(benchmark::kMillisecond);

// Assign makes its storage anew, so the plain copy allocates too.
void BM_PlainAllocateAndMemcpy(benchmark::State& state) {
  std::vector<uint8_t> source(kBytes, 0x66);
  for (auto _ : state) {
    auto* copy = static_cast<uint8_t*>(std::malloc(kBytes));
    std::memcpy(copy, source.data(), kBytes);
    benchmark::DoNotOptimize(copy);
    std::free(copy);
  }
  SetBytes(state);
}
BENCHMARK(BM_PlainAllocateAndMemcpy)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
