#include "platform/kernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <filesystem>
#include <regex>
#include <set>
#include <thread>

#include "support/sanitizer.h"
#include "support/testenv.h"

namespace fs = std::filesystem;

TEST(KernelTempFiles, TempPathFollowsTmpdirWithTrailingSlash) {
  std::string saved = std::getenv("TMPDIR");
  setenv("TMPDIR", "/some/where", 1);
  EXPECT_EQ(GetTempPath(), "/some/where/");
  unsetenv("TMPDIR");
  EXPECT_EQ(GetTempPath(), "/tmp/");
  setenv("TMPDIR", saved.c_str(), 1);
}

TEST(KernelTempFiles, UniqueNamesAreNewEmptyFiles) {
  cwtest::TempDir dir;
  std::set<std::string> names;
  for (int i = 0; i < 20; ++i) {
    std::string name = GetTempFileName(dir.path().string(), "pixel", 0);
    ASSERT_FALSE(name.empty());
    EXPECT_TRUE(std::regex_match(fs::path(name).filename().string(), std::regex("pix[0-9A-F]+\\.tmp")))
        << name;
    EXPECT_EQ(fs::path(name).parent_path(), dir.path());
    ASSERT_TRUE(fs::exists(name));
    EXPECT_EQ(fs::file_size(name), 0u);
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 20u);

  // A given number only composes the name.
  std::string composed = GetTempFileName(dir.path().string(), "ab", 0x1F);
  EXPECT_EQ(composed, dir.file("ab1F.tmp"));
  EXPECT_FALSE(fs::exists(composed));

  EXPECT_EQ(GetTempFileName(dir.file("missing"), "pix", 0), "");
}

TEST(KernelFileMapping, ViewsShareTheFileAndRespectGranularityAndBounds) {
  cwtest::TempDir dir;
  int fd = CreateTemporaryFile(dir.file("map.bin"));
  ASSERT_GE(fd, 0);
  const uint64_t size = 3 * kAllocationGranularity + 100;
  ASSERT_TRUE(SetFileSizeReserved(fd, size));
  EXPECT_EQ(GetFileSizeOfHandle(fd), static_cast<int64_t>(size));

  auto* first = static_cast<uint8_t*>(MapViewOfFile(fd, 0, size));
  auto* last = static_cast<uint8_t*>(MapViewOfFile(fd, 3 * kAllocationGranularity, 100));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(last, nullptr);
  last[99] = 0x5A;
  EXPECT_EQ(first[size - 1], 0x5A);

  struct Case {
    uint64_t offset;
    size_t length;
  } refused[] = {
      {0, 0},                                   // empty view
      {4096, 16},                               // not on the granularity
      {3 * kAllocationGranularity, 101},        // one byte past the end
      {4 * kAllocationGranularity, 1},          // starts past the end
      {0, static_cast<size_t>(size) + 1},
  };
  for (const Case& c : refused) EXPECT_EQ(MapViewOfFile(fd, c.offset, c.length), nullptr) << c.offset << "+" << c.length;

  UnmapViewOfFile(last);
  UnmapViewOfFile(last);     // already gone: ignored
  UnmapViewOfFile(nullptr);  // unknown: ignored
  UnmapViewOfFile(first);
  CloseFileHandle(fd);

  std::ifstream in(dir.file("map.bin"), std::ios::binary);
  in.seekg(static_cast<std::streamoff>(size - 1));
  EXPECT_EQ(in.get(), 0x5A);
}

TEST(KernelFileMapping, SizingGrowsShrinksAndRefusesWhatCannotBeHad) {
  cwtest::TempDir dir;
  int fd = CreateTemporaryFile(dir.file("size.bin"));
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SetFileSizeReserved(fd, 200000));
  ASSERT_TRUE(SetFileSizeReserved(fd, 10));
  EXPECT_EQ(GetFileSizeOfHandle(fd), 10);
  ASSERT_TRUE(SetFileSizeReserved(fd, 0));
  EXPECT_EQ(GetFileSizeOfHandle(fd), 0);
  // Far more than any disk here: refused, and the file keeps its size.
  ASSERT_TRUE(SetFileSizeReserved(fd, 4096));
  EXPECT_FALSE(SetFileSizeReserved(fd, uint64_t{1} << 62));
  EXPECT_EQ(GetFileSizeOfHandle(fd), 4096);
  CloseFileHandle(fd);

  EXPECT_EQ(CreateTemporaryFile(dir.file("no/such/folder.bin")), -1);
  EXPECT_EQ(GetFileSizeOfHandle(-1), -1);
}

TEST(KernelFileMapping, ObserverSeesUnmapsInOrder) {
  cwtest::TempDir dir;
  int fd = CreateTemporaryFile(dir.file("obs.bin"));
  ASSERT_TRUE(SetFileSizeReserved(fd, kAllocationGranularity));
  std::vector<void*> seen;
  SetUnmapViewObserver([&](void* address) { seen.push_back(address); });
  void* a = MapViewOfFile(fd, 0, 10);
  void* b = MapViewOfFile(fd, 0, 20);
  UnmapViewOfFile(b);
  UnmapViewOfFile(a);
  SetUnmapViewObserver(nullptr);
  EXPECT_EQ(seen, (std::vector<void*>{b, a}));
  CloseFileHandle(fd);
}

TEST(KernelMemory, PhysicalMemoryIsSixtyFourBitAndPlausible) {
  uint64_t total = GetTotalPhysicalMemory();
  uint64_t available = GetAvailablePhysicalMemory();
  EXPECT_GT(total, uint64_t{64} << 20);
  EXPECT_GT(available, 0u);
  EXPECT_LE(available, total);
}

TEST(KernelMemory, GlobalBlocksLockCountAndRefuseStaleHandles) {
  HGLOBAL h = GlobalAlloc(GHND, 1000);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(GlobalSize(h), 1000u);
  auto* p = static_cast<uint8_t*>(GlobalLock(h));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::count(p, p + 1000, 0), 1000);  // zero-initialised
  std::memset(p, 7, 1000);
  EXPECT_EQ(GlobalLock(h), p);
  EXPECT_TRUE(GlobalUnlock(h));   // still locked once
  EXPECT_FALSE(GlobalUnlock(h));  // now unlocked
  EXPECT_FALSE(GlobalUnlock(h));  // not locked at all
  EXPECT_EQ(GlobalFree(h), 0u);

  // A freed or made-up handle is refused, never dereferenced.
  for (HGLOBAL stale : {h, HGLOBAL{0}, HGLOBAL{12345}}) {
    EXPECT_EQ(GlobalLock(stale), nullptr);
    EXPECT_EQ(GlobalSize(stale), 0u);
    EXPECT_EQ(GlobalFree(stale), stale);
  }

  HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(empty, 0u);
  EXPECT_EQ(GlobalSize(empty), 0u);
  EXPECT_EQ(GlobalFree(empty), 0u);

  if (cwtest::kHugeAllocationsFail) {
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_MAX / 2), 0u);
  }
}

TEST(KernelThreads, CriticalSectionIsRecursiveAndExcludesOtherThreads) {
  TCriticalSection cs;
  int counter = 0;
  auto work = [&] {
    for (int i = 0; i < 10000; ++i) {
      cs.Enter();
      cs.Acquire();
      ++counter;
      cs.Release();
      cs.Leave();
    }
  };
  std::thread t1(work), t2(work);
  t1.join();
  t2.join();
  EXPECT_EQ(counter, 20000);

  uint32_t main = GetCurrentThreadId();
  uint32_t other = 0;
  std::thread([&] { other = GetCurrentThreadId(); }).join();
  EXPECT_NE(main, 0u);
  EXPECT_NE(other, main);
  EXPECT_EQ(GetCurrentThreadId(), main);
}

TEST(KernelTime, TickCountCanBeReplacedAndRestored) {
  uint32_t fake = 0xFFFFFFF0u;
  SetTickCountSource([&] { return fake; });
  EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
  fake += 0x20;  // wraps like the real counter
  EXPECT_EQ(GetTickCount(), 0x10u);
  SetTickCountSource(nullptr);

  uint32_t before = GetTickCount();
  Sleep(30);
  uint32_t elapsed = GetTickCount() - before;
  EXPECT_GE(elapsed, 30u);
  EXPECT_LT(elapsed, 5000u);
}

TEST(KernelDebugOutput, LinesReachTheSinkFromManyThreads) {
  ClearDebugOutput();
  OutputDebugString("[Paint] 错误");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 50; ++i) OutputDebugString("t" + std::to_string(t));
    });
  for (auto& t : threads) t.join();
  std::vector<std::string> lines = DebugOutputLines();
  ASSERT_EQ(lines.size(), 201u);
  EXPECT_EQ(lines[0], "[Paint] 错误");
  ClearDebugOutput();
  EXPECT_TRUE(DebugOutputLines().empty());
}
