#include "imaging/core/iememorymapped.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/kernel.h"
#include "support/testenv.h"

namespace fs = std::filesystem;

namespace {

// Points DefTEMPPATH at a folder for one test and restores it afterwards.
class TempPathScope {
 public:
  explicit TempPathScope(const std::string& path) : saved_(DefTEMPPATH) { DefTEMPPATH = path; }
  ~TempPathScope() { DefTEMPPATH = saved_; }

 private:
  std::string saved_;
};

}  // namespace

TEST(IEMemoryMapped, FileLivesExactlyWhileAllocated) {
  cwtest::TempDir dir;
  TempPathScope scope(dir.path().string());
  TIEMemoryMapped mm;
  EXPECT_FALSE(mm.IsAllocated());
  ASSERT_TRUE(mm.AllocateFile("", 200000));
  EXPECT_TRUE(mm.IsAllocated());
  const std::string name = mm.FileName();
  EXPECT_EQ(fs::path(name).parent_path(), dir.path());
  EXPECT_EQ(fs::path(name).filename().string().substr(0, 3), "pix");
  ASSERT_TRUE(fs::exists(name));
  EXPECT_EQ(fs::file_size(name), 200000u);

  mm.DeAllocate();
  EXPECT_FALSE(mm.IsAllocated());
  EXPECT_FALSE(fs::exists(name));
  mm.DeAllocate();  // a second time: nothing
  EXPECT_FALSE(mm.IsAllocated());

  // A given name is used as given; the destructor removes it.
  const std::string given = dir.file("given.bin");
  {
    TIEMemoryMapped owned;
    ASSERT_TRUE(owned.AllocateFile(given, 70000));
    EXPECT_EQ(owned.FileName(), given);
    EXPECT_TRUE(fs::exists(given));
  }
  EXPECT_FALSE(fs::exists(given));
}

TEST(IEMemoryMapped, MissingTempFolderIsCreatedWithItsParents) {
  cwtest::TempDir dir;
  const fs::path folder = dir.path() / "a" / "b" / "c";
  TempPathScope scope(folder.string());
  TIEMemoryMapped mm;
  ASSERT_TRUE(mm.AllocateFile("", 1000));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(fs::path(mm.FileName()).parent_path(), folder);
}

TEST(IEMemoryMapped, FailedAllocationsLeaveNoFile) {
  cwtest::TempDir dir;
  TempPathScope scope(dir.path().string());
  struct Case {
    const char* what;
    std::string name;
    uint64_t size;
  } cases[] = {
      {"zero bytes", "", 0},
      {"zero bytes, given name", dir.file("zero.bin"), 0},
      {"more than any disk", "", uint64_t{1} << 62},
      {"folder missing", dir.file("none/x.bin"), 100},
  };
  for (const Case& c : cases) {
    TIEMemoryMapped mm;
    EXPECT_FALSE(mm.AllocateFile(c.name, c.size)) << c.what;
    EXPECT_FALSE(mm.IsAllocated()) << c.what;
    EXPECT_EQ(mm.Map(0, 1), nullptr) << c.what;
    EXPECT_TRUE(fs::is_empty(dir.path())) << c.what;
  }
}

TEST(IEMemoryMapped, ViewsReadAndWriteTheFileAtGranuleOffsets) {
  cwtest::TempDir dir;
  TIEMemoryMapped mm;
  const uint64_t size = 5 * kAllocationGranularity;
  ASSERT_TRUE(mm.AllocateFile(dir.file("v.bin"), size));
  auto* whole = static_cast<uint8_t*>(mm.Map(0, size));
  auto* third = static_cast<uint8_t*>(mm.Map(2 * kAllocationGranularity, 10));
  ASSERT_NE(whole, nullptr);
  ASSERT_NE(third, nullptr);
  std::memcpy(third, "row", 3);
  EXPECT_EQ(std::memcmp(whole + 2 * kAllocationGranularity, "row", 3), 0);
  EXPECT_EQ(mm.Map(100, 10), nullptr);   // not on a granule
  EXPECT_EQ(mm.Map(size, 1), nullptr);   // past the end
  mm.UnMap(third);
  mm.UnMap(third);  // not ours any more: ignored
  mm.UnMap(whole);
}

TEST(IEMemoryMapped, UnMapAllUnmapsTheLastMappedFirst) {
  cwtest::TempDir dir;
  TIEMemoryMapped mm;
  ASSERT_TRUE(mm.AllocateFile(dir.file("u.bin"), 3 * kAllocationGranularity));
  void* first = mm.Map(0, 10);
  void* second = mm.Map(kAllocationGranularity, 10);
  void* third = mm.Map(2 * kAllocationGranularity, 10);
  std::vector<void*> order;
  SetUnmapViewObserver([&](void* address) { order.push_back(address); });
  mm.UnMapAll();
  SetUnmapViewObserver(nullptr);
  EXPECT_EQ(order, (std::vector<void*>{third, second, first}));
  EXPECT_TRUE(mm.IsAllocated());
}

TEST(IEMemoryMapped, ReAllocateResizesAndKeepsContent) {
  cwtest::TempDir dir;
  TIEMemoryMapped mm;
  EXPECT_FALSE(mm.ReAllocateFile(100));  // not allocated
  ASSERT_TRUE(mm.AllocateFile(dir.file("r.bin"), 100));
  auto* view = static_cast<uint8_t*>(mm.Map(0, 100));
  view[99] = 42;
  mm.UnMap(view);

  ASSERT_TRUE(mm.ReAllocateFile(3 * kAllocationGranularity));
  EXPECT_EQ(mm.Size(), 3 * kAllocationGranularity);
  EXPECT_EQ(fs::file_size(mm.FileName()), 3 * kAllocationGranularity);
  auto* grown = static_cast<uint8_t*>(mm.Map(0, 3 * kAllocationGranularity));
  ASSERT_NE(grown, nullptr);
  EXPECT_EQ(grown[99], 42);
  mm.UnMap(grown);

  // What cannot be had leaves the file as it was.
  EXPECT_FALSE(mm.ReAllocateFile(uint64_t{1} << 62));
  EXPECT_FALSE(mm.ReAllocateFile(0));
  EXPECT_EQ(mm.Size(), 3 * kAllocationGranularity);
  EXPECT_EQ(fs::file_size(mm.FileName()), 3 * kAllocationGranularity);

  ASSERT_TRUE(mm.ReAllocateFile(50));
  EXPECT_EQ(fs::file_size(mm.FileName()), 50u);
  EXPECT_EQ(mm.Map(0, 51), nullptr);
}

TEST(IEMemoryMapped, FreeMemoryIsTheAvailablePhysicalMemory) {
  uint64_t free = IEGetFreeMemory();
  EXPECT_GT(free, 0u);
  EXPECT_LE(free, GetTotalPhysicalMemory());
}
