#include "imaging/core/iebitmap.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "iebitmap_fixture.h"
#include "platform/kernel.h"
#include "support/sanitizer.h"
#include "support/testenv.h"

namespace fs = std::filesystem;

namespace {

// Writes a pattern that differs in every byte of every row.
void Scribble(TIEBitmap& bitmap, int seed = 0) {
  for (int y = 0; y < bitmap.Height; ++y) {
    uint8_t* row = bitmap.GetScanLine(y);
    for (int i = 0; i < bitmap.RowLen; ++i) row[i] = static_cast<uint8_t>(y * 31 + i * 7 + seed);
  }
}

// Checks the pattern over the first `bytes` bytes of the first `rows` rows.
::testing::AssertionResult HasScribble(TIEBitmap& bitmap, int rows, int bytes, int seed = 0) {
  for (int y = 0; y < rows; ++y) {
    const uint8_t* row = bitmap.GetScanLine(y);
    for (int i = 0; i < bytes; ++i)
      if (row[i] != static_cast<uint8_t>(y * 31 + i * 7 + seed))
        return ::testing::AssertionFailure() << "row " << y << " byte " << i;
  }
  return ::testing::AssertionSuccess();
}

std::vector<uint8_t> ReadFileBytes(const std::string& name, uint64_t offset, size_t count) {
  std::ifstream in(name, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  std::vector<uint8_t> bytes(count);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
  return bytes;
}

// Length of the mapping that starts at `address`, from /proc/self/maps.
uint64_t MappingLength(const void* address) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  const auto start = reinterpret_cast<uintptr_t>(address);
  while (std::getline(maps, line)) {
    std::istringstream range(line);
    uintptr_t from = 0, to = 0;
    char dash;
    range >> std::hex >> from >> dash >> to;
    if (from == start) return to - from;
  }
  return 0;
}

class LocationTest : public ::testing::TestWithParam<TIELocation> {};

std::string LocationName(const ::testing::TestParamInfo<TIELocation>& info) {
  return info.param == ieMemory ? "Memory" : info.param == ieFile ? "File" : "TBitmap";
}

}  // namespace

TEST(IEBitmap, NewBitmapIsEmptyWithHalfTheFreeMemoryAsThreshold) {
  TIEBitmap bitmap;
  EXPECT_EQ(bitmap.Width, 0);
  EXPECT_EQ(bitmap.Height, 0);
  EXPECT_EQ(bitmap.PixelFormat, ienull);
  EXPECT_EQ(bitmap.Location, ieFile);
  EXPECT_NE(bitmap.TempFile, nullptr);
  EXPECT_FALSE(bitmap.GetHasAlphaChannel());
  EXPECT_FALSE(bitmap.IsAlphaChannel);
  EXPECT_FALSE(bitmap.Full);
  // The figure moves while we look; it is 64-bit and about half of it.
  const double half = static_cast<double>(IEGetFreeMemory()) / 2;
  EXPECT_NEAR(static_cast<double>(bitmap.FileThreshold), half, half * 0.1);
  if (IEGetFreeMemory() > (uint64_t{10} << 30)) {
    EXPECT_GT(bitmap.FileThreshold, uint64_t{0xFFFFFFFF});
  }
}

TEST(IEBitmap, StorageIsDecidedBySizeAgainstTheThresholdOnce) {
  struct Case {
    uint64_t threshold;
    int width, height;
    TIEPixelFormat format;
    TIELocation expected;
  } cases[] = {
      {8388608, 4096, 2048, ie8g, ieFile},          // exactly the threshold
      {8388609, 4096, 2048, ie8g, ieMemory},        // one byte below it
      {8388608, 100, 100, ie24RGB, ieMemory},
      {30000, 100, 100, ie24RGB, ieFile},
      {30001, 100, 100, ie24RGB, ieMemory},
  };
  for (const Case& c : cases) {
    TIEBitmap bitmap;
    bitmap.FileThreshold = c.threshold;
    bitmap.Allocate(c.width, c.height, c.format);
    EXPECT_EQ(bitmap.Location, c.expected) << c.threshold << " " << c.width << "x" << c.height;
    EXPECT_EQ(bitmap.TempFile->IsAllocated(), c.expected == ieFile);
  }

  // Once in memory, a bitmap stays there even for large pictures.
  TIEBitmap bitmap;
  bitmap.FileThreshold = 1000000;
  bitmap.Allocate(100, 100, ie24RGB);
  ASSERT_EQ(bitmap.Location, ieMemory);
  bitmap.Allocate(1000, 1000, ie24RGB);
  EXPECT_EQ(bitmap.Location, ieMemory);
  // Asking for file storage of a small picture also ends in memory.
  bitmap.Allocate(100, 100, ie24RGB);
  bitmap.SetLocation(ieFile);
  EXPECT_EQ(bitmap.Location, ieMemory);
}

TEST(IEBitmap, RowLenAndBitCountFollowWidthAndFormat) {
  struct Case {
    TIEPixelFormat format;
    int width, bitCount, rowLen;
  } cases[] = {
      {ie1g, 1, 1, 4},     {ie1g, 32, 1, 4},  {ie1g, 33, 1, 8},    {ie8g, 5, 8, 8},
      {ie8p, 4, 8, 4},     {ie16g, 3, 16, 8}, {ie24RGB, 1, 24, 4}, {ie24RGB, 5, 24, 16},
      {ie24RGB, 4, 24, 12},
  };
  for (const Case& c : cases) {
    auto bitmap = MakeBitmap(ieMemory, c.width, 2, c.format);
    EXPECT_EQ(bitmap->GetBitCount(), c.bitCount) << c.format << " " << c.width;
    EXPECT_EQ(bitmap->GetRowLen(), c.rowLen) << c.format << " " << c.width;
    EXPECT_EQ(bitmap->PaletteLength, c.format == ie8p ? 256 : 0);
  }
}

TEST(IEBitmap, MemoryRowsLieBottomUp) {
  auto bitmap = MakeBitmap(ieMemory, 5, 4, ie24RGB);
  EXPECT_EQ(bitmap->GetScanLine(0), bitmap->MemoryBlock + 3 * 16);
  EXPECT_EQ(bitmap->GetScanLine(3), bitmap->MemoryBlock);
  EXPECT_EQ(bitmap->GetScanLine(4), nullptr);
  EXPECT_EQ(bitmap->GetScanLine(-1), nullptr);
}

TEST(IEBitmap, ReallocationInMemoryKeepsTheBlockOnlyForTheSameByteSize) {
  struct Case {
    int width, height;
    TIEPixelFormat format;
    bool sameBlock;
  } cases[] = {
      {5, 4, ie24RGB, true},   // the same picture again
      {16, 4, ie8p, true},     // another shape of the same 64 bytes
      {5, 5, ie24RGB, false},  // one row more
      {4, 4, ie24RGB, false},  // narrower rows
  };
  for (const Case& c : cases) {
    auto bitmap = MakeBitmap(ieMemory, 5, 4, ie24RGB);
    bitmap->GetAlphaChannel();
    bitmap->Full = true;
    const uint8_t* before = bitmap->MemoryBlock;
    bitmap->Allocate(c.width, c.height, c.format);
    const std::string label = std::to_string(c.width) + "x" + std::to_string(c.height);
    EXPECT_EQ(bitmap->MemoryBlock == before, c.sameBlock) << label;
    // Everything but the block is renewed.
    EXPECT_EQ(bitmap->Width, c.width) << label;
    EXPECT_EQ(bitmap->PixelFormat, c.format) << label;
    EXPECT_EQ(bitmap->BitCount, IEBitsPerPixel(c.format)) << label;
    EXPECT_FALSE(bitmap->GetHasAlphaChannel()) << label;
    EXPECT_FALSE(bitmap->Full) << label;
    EXPECT_EQ(bitmap->PaletteLength, c.format == ie8p ? 256 : 0) << label;
    EXPECT_EQ(bitmap->GetScanLine(c.height - 1), bitmap->MemoryBlock) << label;
    Scribble(*bitmap);
    EXPECT_TRUE(HasScribble(*bitmap, c.height, bitmap->RowLen)) << label;
  }
}

TEST(IEBitmap, PictureOfTheSameSizeLoadedAgainTouchesNoFreshPages) {
  // 48 MB: a block the allocator hands back to the system when freed, so a
  // new block would fault in every page again.
  const int width = 4096, height = 4096;
  auto bitmap = MakeBitmap(ieMemory, width, height, ie24RGB);
  const auto fill = [&] {
    for (int y = 0; y < height; ++y) std::memset(bitmap->GetScanLine(y), y, bitmap->RowLen);
  };
  const auto minorFaults = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
  };
  fill();
  const long before = minorFaults();
  bitmap->Allocate(width, height, ie24RGB);
  fill();
  const long pages = long{width} * 3 * height / sysconf(_SC_PAGESIZE);
  EXPECT_LT(minorFaults() - before, pages / 10);
}

TEST(IEBitmap, FileRowsLieTopDownAndEachMapsOnlyItself) {
  // Rows of 90,000 bytes straddle the 64 KB granules.
  auto bitmap = MakeBitmap(ieFile, 30000, 5, ie24RGB);
  ASSERT_EQ(bitmap->Location, ieFile);
  const std::string file = bitmap->TempFile->FileName();
  EXPECT_EQ(fs::file_size(file), 5u * 90000);
  const long page = sysconf(_SC_PAGESIZE);
  for (int y = 0; y < 5; ++y) {
    uint8_t* row = bitmap->GetScanLine(y);
    row[0] = static_cast<uint8_t>(0xA0 + y);
    row[89999] = static_cast<uint8_t>(0xB0 + y);
    const uint64_t offset = uint64_t(y) * 90000;
    const uint64_t delta = offset % 65536;
    EXPECT_EQ(static_cast<uint8_t*>(bitmap->MappedView) + delta, row);
    const uint64_t mapped = (delta + 90000 + page - 1) / page * page;
    EXPECT_EQ(MappingLength(bitmap->MappedView), mapped) << "row " << y;
  }
  for (int y = 0; y < 5; ++y) {
    EXPECT_EQ(ReadFileBytes(file, uint64_t(y) * 90000, 1)[0], 0xA0 + y);
    EXPECT_EQ(ReadFileBytes(file, uint64_t(y) * 90000 + 89999, 1)[0], 0xB0 + y);
  }
}

TEST(IEBitmap, TempFileLivesWhileAllocatedInTheTempFolder) {
  cwtest::TempDir dir;
  const std::string saved = DefTEMPPATH;
  DefTEMPPATH = (dir.path() / "new" / "folder").string();
  {
    auto bitmap = MakeBitmap(ieFile, 100, 100, ie8g);
    const std::string file = bitmap->TempFile->FileName();
    EXPECT_EQ(fs::path(file).parent_path(), dir.path() / "new" / "folder");
    EXPECT_TRUE(fs::exists(file));
    bitmap->GetScanLine(0);
    bitmap->FreeImage();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(bitmap->Width, 0);
    EXPECT_EQ(bitmap->MappedView, nullptr);
    EXPECT_EQ(bitmap->PixelFormat, ie8g);  // survives FreeImage
    EXPECT_EQ(bitmap->Location, ieFile);

    bitmap->Allocate(100, 100, ie8g);
    EXPECT_TRUE(fs::exists(bitmap->TempFile->FileName()));
  }
  EXPECT_TRUE(fs::is_empty(dir.path() / "new" / "folder"));  // the destructor removed it
  DefTEMPPATH = saved;
}

TEST(IEBitmap, FileThatCannotBeMadeFallsBackToMemory) {
  cwtest::TempDir dir;
  const std::string saved = DefTEMPPATH;
  fs::path blocker = dir.path() / "file";
  std::ofstream(blocker).put('x');
  DefTEMPPATH = (blocker / "sub").string();  // a folder below a file cannot exist
  auto bitmap = MakeBitmap(ieFile, 10, 10, ie24RGB);
  EXPECT_EQ(bitmap->Location, ieMemory);
  EXPECT_NE(bitmap->MemoryBlock, nullptr);
  DefTEMPPATH = saved;
}

TEST(IEBitmap, PicturesOfFourGigabytesKeepSixtyFourBitOffsets) {
  // 65,536 bytes a row and 65,537 rows: 4 GB and one row.
  const int width = 65536, height = 65537;
  const uint64_t rowLen = 65536;
  {
    TIEBitmap bitmap;
    bitmap.FileThreshold = uint64_t{8} << 30;  // below it: memory, even past 4 GB
    bitmap.Allocate(width, height, ie8g);
    ASSERT_EQ(bitmap.Location, ieMemory);
    EXPECT_EQ(bitmap.GetScanLine(0), bitmap.MemoryBlock + (height - 1) * rowLen);
    bitmap.GetScanLine(0)[rowLen - 1] = 9;
    EXPECT_EQ(bitmap.MemoryBlock[height * rowLen - 1], 9);
  }
  {
    TIEBitmap bitmap;
    bitmap.FileThreshold = uint64_t{4} << 30;
    bitmap.Allocate(width, height, ie8g);
    ASSERT_EQ(bitmap.Location, ieFile);
    EXPECT_EQ(fs::file_size(bitmap.TempFile->FileName()), height * rowLen);
    bitmap.GetScanLine(height - 1)[5] = 77;
    bitmap.GetScanLine(0);
    EXPECT_EQ(ReadFileBytes(bitmap.TempFile->FileName(), (height - 1) * rowLen + 5, 1)[0], 77);
  }
}

TEST(IEBitmap, AllocationThatCannotBeHadRaisesAndLeavesTheBitmapEmpty) {
  struct Case {
    int width, height;
    bool needsHugeFailure;
  } cases[] = {
      {1000000000, 1, false},      // a row longer than 2 GB
      {1000000, 1000000, true},    // 3 TB
  };
  for (const Case& c : cases) {
    if (c.needsHugeFailure && !cwtest::kHugeAllocationsFail) continue;
    TIEBitmap bitmap;
    bitmap.Location = ieMemory;
    bitmap.Allocate(10, 10, ie24RGB);
    EXPECT_THROW(bitmap.Allocate(c.width, c.height, ie24RGB), EOutOfMemory);
    EXPECT_EQ(bitmap.Width, 0);
    EXPECT_EQ(bitmap.Height, 0);
    EXPECT_EQ(bitmap.RowLen, 0);
    EXPECT_EQ(bitmap.MemoryBlock, nullptr);
    EXPECT_EQ(bitmap.GetScanLine(0), nullptr);
    bitmap.Allocate(4, 4, ie8g);  // and it is usable again
    EXPECT_NE(bitmap.GetScanLine(3), nullptr);
  }
}

TEST(IEBitmap, NothingIsAllocatedForEmptyOrFormatlessPictures) {
  struct Case {
    int width, height;
    TIEPixelFormat format;
  } cases[] = {{0, 10, ie24RGB}, {10, 0, ie8g}, {-1, 5, ie1g}, {10, 10, ienull}};
  for (const Case& c : cases) {
    auto bitmap = MakeBitmap(ieMemory, c.width, c.height, c.format);
    EXPECT_EQ(bitmap->MemoryBlock, nullptr);
    EXPECT_EQ(bitmap->RowLen, 0);
    EXPECT_FALSE(bitmap->TempFile->IsAllocated());
  }
}

TEST(IEBitmap, FillSetsEveryPixelAndTheFullFlag) {
  struct Case {
    TIEPixelFormat format;
    int32_t value;
    std::vector<uint8_t> pixel;  // bytes of the first pixel (or byte)
    bool full;
  } cases[] = {
      {ie1g, 5, {0xFF}, true},
      {ie1g, 0, {0x00}, false},
      {ie1g, -2, {0xFE}, true},
      {ie8g, 255, {255}, true},
      {ie8p, 254, {254}, false},
      {ie8g, 0x1FF, {0xFF}, false},
      {ie16g, 65535, {0xFF, 0xFF}, true},
      {ie16g, 0x1234, {0x34, 0x12}, false},
      {ie24RGB, 0xFFFFFF, {0xFF, 0xFF, 0xFF}, true},
      {ie24RGB, 0x112233, {0x11, 0x22, 0x33}, false},  // 0x00BBGGRR into blue, green, red
      {ie24RGB, clBtnFace, {0xC0, 0xC0, 0xC0}, false},  // system colours resolved
  };
  for (TIELocation location : {ieMemory, ieFile}) {
    for (const Case& c : cases) {
      auto bitmap = MakeBitmap(location, 7, 3, c.format);
      std::memset(bitmap->GetScanLine(1), 0xAB, bitmap->RowLen);
      bitmap->Fill(c.value);
      EXPECT_EQ(bitmap->Full, c.full) << c.format << " " << c.value;
      const size_t bytesPerPixel = c.pixel.size();
      const int pixels = c.format == ie1g ? bitmap->RowLen : 7;  // 1-bit: whole rows
      for (int y = 0; y < 3; ++y) {
        const uint8_t* row = bitmap->GetScanLine(y);
        for (int x = 0; x < pixels; ++x)
          ASSERT_EQ(std::vector<uint8_t>(row + x * bytesPerPixel, row + (x + 1) * bytesPerPixel), c.pixel)
              << "format " << c.format << " value " << c.value << " at " << x << "," << y;
      }
      if (c.format == ie8g || c.format == ie8p) {
        EXPECT_EQ(bitmap->GetScanLine(1)[7], c.pixel[0]);  // padding too
      }
    }
  }
  TIEBitmap none;
  none.Full = true;
  none.Fill(0);
  EXPECT_TRUE(none.Full);
}

TEST(IEBitmap, PixelAccessAndWhatClearsFull) {
  struct Case {
    TIEPixelFormat format;
    std::function<void(TIEBitmap&)> keepsFull;
    std::function<void(TIEBitmap&)> clearsFull;
    int32_t fill;
  } cases[] = {
      {ie1g, [](TIEBitmap& b) { b.SetPixels_ie1g(3, 1, true); }, [](TIEBitmap& b) { b.SetPixels_ie1g(3, 1, false); }, 1},
      {ie8g, [](TIEBitmap& b) { b.SetPixels_ie8(0, 0, 255); }, [](TIEBitmap& b) { b.SetPixels_ie8(0, 0, 254); }, 255},
      {ie16g, [](TIEBitmap& b) { b.SetPixels_ie16g(2, 1, 65535); }, [](TIEBitmap& b) { b.SetPixels_ie16g(2, 1, 65534); }, 65535},
      {ie24RGB, [](TIEBitmap& b) { b.SetPixels_ie24RGB(2, 1, {255, 255, 255}); },
       [](TIEBitmap& b) { b.SetPixels_ie24RGB(2, 1, {255, 254, 255}); }, 0xFFFFFF},
  };
  for (const Case& c : cases) {
    auto bitmap = MakeBitmap(ieMemory, 10, 3, c.format);
    bitmap->Fill(c.fill);
    ASSERT_TRUE(bitmap->Full);
    c.keepsFull(*bitmap);
    EXPECT_TRUE(bitmap->Full) << c.format;
    c.clearsFull(*bitmap);
    EXPECT_FALSE(bitmap->Full) << c.format;
    c.keepsFull(*bitmap);
    EXPECT_FALSE(bitmap->Full) << c.format;  // never set again by a pixel
  }

  auto bw = MakeBitmap(ieFile, 10, 2, ie1g);
  bw->Fill(0);
  bw->SetPixels_ie1g(9, 1, true);
  EXPECT_EQ(bw->GetScanLine(1)[1], 0x40);
  EXPECT_TRUE(bw->GetPixels_ie1g(9, 1));
  EXPECT_FALSE(bw->GetPixels_ie1g(8, 1));
  EXPECT_EQ(bw->GetPixels(9, 1), (TRGB{255, 255, 255}));
  EXPECT_EQ(bw->GetPixels(8, 1), (TRGB{0, 0, 0}));

  auto gray16 = MakeBitmap(ieMemory, 4, 1, ie16g);
  gray16->SetPixels_ie16g(1, 0, 0xABCD);
  EXPECT_EQ(gray16->GetScanLine(0)[2], 0xCD);  // little-endian words
  EXPECT_EQ(gray16->GetPixels_ie16g(1, 0), 0xABCD);
  EXPECT_EQ(gray16->GetPixels(1, 0), (TRGB{0xAB, 0xAB, 0xAB}));

  auto paletted = MakeBitmap(ieMemory, 4, 1, ie8p);
  paletted->SetPalette(7, {1, 2, 3});
  paletted->SetPalette(256, {9, 9, 9});  // out of range: ignored
  paletted->SetPixels_ie8(2, 0, 7);
  EXPECT_EQ(paletted->GetPixels(2, 0), (TRGB{1, 2, 3}));
  EXPECT_EQ(paletted->GetPalette(-1), (TRGB{0, 0, 0}));

  auto colour = MakeBitmap(ieFile, 4, 2, ie24RGB);
  colour->SetPixels_ie24RGB(3, 1, {10, 20, 30});
  EXPECT_EQ(colour->GetScanLine(1)[9], 10);  // blue first
  EXPECT_EQ(colour->GetPixels(3, 1), (TRGB{10, 20, 30}));

  TIEBitmap none;
  EXPECT_EQ(none.GetPixels(0, 0), (TRGB{0, 0, 0}));
}

TEST(IEBitmap, AlphaChannelIsOpaqueWhenMadeAndBelongsToItsPicture) {
  auto bitmap = MakeBitmap(ieMemory, 6, 4, ie24RGB);
  bitmap->Fill(clWhite);
  EXPECT_FALSE(bitmap->GetHasAlphaChannel());
  EXPECT_EQ(bitmap->GetAlpha(5, 3), 255);  // made on first use, opaque
  ASSERT_TRUE(bitmap->GetHasAlphaChannel());
  TIEBitmap* alpha = bitmap->GetAlphaChannel();
  EXPECT_EQ(alpha, bitmap->AlphaChannel);
  EXPECT_TRUE(alpha->IsAlphaChannel);
  EXPECT_TRUE(alpha->Full);
  EXPECT_EQ(alpha->PixelFormat, ie8g);
  EXPECT_EQ(alpha->Width, 6);
  EXPECT_EQ(alpha->Height, 4);
  EXPECT_TRUE(bitmap->Full);

  bitmap->SetAlpha(1, 2, 255);
  EXPECT_TRUE(bitmap->Full);
  bitmap->SetAlpha(1, 2, 100);
  EXPECT_EQ(bitmap->GetAlpha(1, 2), 100);
  EXPECT_FALSE(alpha->Full);
  EXPECT_FALSE(bitmap->Full);
  bitmap->RemoveAlphaChannel();
  EXPECT_FALSE(bitmap->GetHasAlphaChannel());

  // SetAlpha on a picture without one makes it opaque first.
  auto other = MakeBitmap(ieFile, 3, 3, ie8g);
  other->SetAlpha(0, 0, 0);
  EXPECT_EQ(other->GetAlpha(0, 0), 0);
  EXPECT_EQ(other->GetAlpha(2, 2), 255);

  // An alpha channel never gets one of its own.
  TIEBitmap own(5, 5, ieMemory);
  EXPECT_TRUE(own.IsAlphaChannel);
  EXPECT_EQ(own.PixelFormat, ie8g);
  EXPECT_EQ(own.Location, ieMemory);
  EXPECT_EQ(own.GetAlphaChannel(), nullptr);
  own.SetAlpha(0, 0, 3);
  EXPECT_EQ(own.GetAlpha(0, 0), 255);
  own.RemoveAlphaChannel();
  EXPECT_FALSE(own.GetHasAlphaChannel());
}

TEST_P(LocationTest, AssignCopiesPixelsPaletteAlphaAndFull) {
  auto source = MakeBitmap(GetParam(), 9, 5, ie8p);
  Scribble(*source);
  for (int i = 0; i < 256; ++i) source->SetPalette(i, {uint8_t(i), uint8_t(255 - i), 7});
  source->SetAlpha(4, 2, 99);
  source->Full = true;

  for (TIELocation target : {ieMemory, ieFile, ieTBitmap}) {
    auto copy = MakeBitmap(target, 2, 2, ie24RGB);
    copy->GetAlphaChannel();
    copy->Assign(source.get());
    EXPECT_EQ(copy->Width, 9);
    EXPECT_EQ(copy->Height, 5);
    EXPECT_EQ(copy->PixelFormat, ie8p);
    EXPECT_EQ(copy->Location, target);
    EXPECT_TRUE(copy->Full);
    EXPECT_TRUE(HasScribble(*copy, 5, copy->RowLen));
    EXPECT_EQ(copy->GetPalette(200), (TRGB{200, 55, 7}));
    ASSERT_TRUE(copy->GetHasAlphaChannel());
    EXPECT_EQ(copy->GetAlpha(4, 2), 99);
    EXPECT_EQ(copy->GetAlpha(0, 0), 255);
    EXPECT_FALSE(copy->AlphaChannel->Full);
    if (target == ieTBitmap) {
      TPaletteEntry entry;
      ASSERT_EQ(copy->GetTBitmap()->GetPaletteEntries(200, 1, &entry), 1);
      EXPECT_EQ(entry.peRed, 7);
      EXPECT_EQ(entry.peGreen, 55);
      EXPECT_EQ(entry.peBlue, 200);
    }
  }

  // A bitmap created for file storage decides its storage anew by size.
  TIEBitmap fresh;
  fresh.Assign(source.get());
  EXPECT_EQ(fresh.Location, ieMemory);

  // Other objects and the bitmap itself are ignored.
  TObject stranger;
  source->Assign(&stranger);
  source->Assign(source.get());
  EXPECT_EQ(source->Width, 9);
  EXPECT_TRUE(HasScribble(*source, 5, source->RowLen));

  // An alpha channel takes the pixels but gets no alpha of its own.
  TIEBitmap alpha(1, 1, ieMemory);
  alpha.Assign(source.get());
  EXPECT_FALSE(alpha.GetHasAlphaChannel());
}

TEST_P(LocationTest, SetWidthAndSetHeightKeepTheTopLeftContent) {
  auto bitmap = MakeBitmap(GetParam(), 10, 6, ie24RGB);
  Scribble(*bitmap);
  bitmap->GetAlphaChannel();
  bitmap->Full = true;
  bitmap->SetWidth(5);
  EXPECT_EQ(bitmap->Width, 5);
  EXPECT_EQ(bitmap->RowLen, 16);
  EXPECT_TRUE(HasScribble(*bitmap, 6, 15));
  EXPECT_FALSE(bitmap->GetHasAlphaChannel());
  EXPECT_FALSE(bitmap->Full);
  bitmap->SetWidth(10);
  EXPECT_EQ(bitmap->RowLen, 32);
  EXPECT_TRUE(HasScribble(*bitmap, 6, 15));  // columns 0 to 4

  bitmap->SetHeight(2);
  EXPECT_EQ(bitmap->Height, 2);
  EXPECT_TRUE(HasScribble(*bitmap, 2, 15));
  bitmap->SetHeight(7);
  EXPECT_TRUE(HasScribble(*bitmap, 2, 15));
  bitmap->SetHeight(7);  // same value: nothing
  EXPECT_TRUE(HasScribble(*bitmap, 2, 15));

  // A paletted picture keeps its colours.
  auto paletted = MakeBitmap(GetParam(), 4, 4, ie8p);
  paletted->SetPalette(3, {1, 2, 3});
  paletted->SetWidth(8);
  EXPECT_EQ(paletted->GetPalette(3), (TRGB{1, 2, 3}));

  // Without a format or the other dimension only the field changes.
  TIEBitmap empty;
  empty.SetWidth(12);
  EXPECT_EQ(empty.Width, 12);
  EXPECT_EQ(empty.RowLen, 0);
  empty.PixelFormat = ie8g;
  empty.SetHeight(3);
  EXPECT_EQ(empty.Height, 3);
}

TEST_P(LocationTest, SetLocationMovesThePixels) {
  auto bitmap = MakeBitmap(GetParam(), 33, 7, ie1g);
  Scribble(*bitmap, 3);
  bitmap->Full = true;
  const TIELocation other = GetParam() == ieMemory ? ieFile : ieMemory;
  bitmap->SetLocation(other);
  EXPECT_EQ(bitmap->Location, other);
  EXPECT_EQ(bitmap->TempFile->IsAllocated(), other == ieFile);
  EXPECT_TRUE(HasScribble(*bitmap, 7, bitmap->RowLen, 3));
  EXPECT_TRUE(bitmap->Full);
  bitmap->SetLocation(GetParam());
  EXPECT_EQ(bitmap->Location, GetParam());
  EXPECT_TRUE(HasScribble(*bitmap, 7, bitmap->RowLen, 3));
}

TEST_P(LocationTest, SwitchToHandsOverTheStorage) {
  auto bitmap = MakeBitmap(GetParam(), 8, 3, ie8g);
  Scribble(*bitmap);
  bitmap->GetAlphaChannel();
  const std::string file = bitmap->TempFile->FileName();
  TIEMemoryMapped* tempFile = bitmap->TempFile;
  TIEBitmap target;
  target.Allocate(2, 2, ie8g);
  bitmap->SwitchTo(&target);

  EXPECT_EQ(bitmap->Width, 0);
  EXPECT_EQ(bitmap->Location, GetParam());
  EXPECT_NE(bitmap->TempFile, tempFile);
  EXPECT_FALSE(bitmap->GetHasAlphaChannel());
  EXPECT_EQ(target.TempFile, tempFile);
  EXPECT_EQ(target.Width, 8);
  EXPECT_EQ(target.PixelFormat, ie8g);
  EXPECT_EQ(target.Location, GetParam());
  EXPECT_TRUE(target.GetHasAlphaChannel());
  EXPECT_TRUE(HasScribble(target, 3, target.RowLen));
  if (GetParam() == ieFile) {
    EXPECT_TRUE(fs::exists(file));
  }
  TBitmap* platform = target.GetTBitmap();
  EXPECT_EQ(platform != nullptr, GetParam() == ieTBitmap);
  EXPECT_EQ(bitmap->GetTBitmap(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Storages, LocationTest, ::testing::Values(ieMemory, ieFile, ieTBitmap), LocationName);

TEST(IEBitmapPlatform, PixelsSurviveEveryMoveBetweenStorages) {
  auto bitmap = MakeBitmap(ieMemory, 31, 9, ie24RGB);
  Scribble(*bitmap, 5);
  for (TIELocation next : {ieFile, ieTBitmap, ieMemory, ieTBitmap, ieFile, ieMemory}) {
    bitmap->SetLocation(next);
    ASSERT_EQ(bitmap->Location, next);
    EXPECT_TRUE(HasScribble(*bitmap, 9, 31 * 3, 5)) << "after moving to " << next;
  }
}

TEST(IEBitmapPlatform, WrappedBitmapStaysTheCallersAndFollowsAllocate) {
  TBitmap caller;
  ShapePlatformBitmap(caller, pf24bit, 8, 4);
  {
    TIEBitmap bitmap;
    bitmap.EncapsulateTBitmap(&caller);
    EXPECT_EQ(bitmap.Width, 8);
    EXPECT_EQ(bitmap.Height, 4);
    EXPECT_EQ(bitmap.PixelFormat, ie24RGB);
    EXPECT_EQ(bitmap.RowLen, 24);
    EXPECT_EQ(bitmap.Location, ieTBitmap);
    EXPECT_TRUE(bitmap.Encapsulated);
    EXPECT_EQ(bitmap.GetTBitmap(), &caller);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(bitmap.GetScanLine(y), caller.ScanLine(y));
    bitmap.SetPixels_ie24RGB(7, 3, {1, 2, 3});
    EXPECT_EQ(caller.ScanLine(3)[21], 1);

    // Readers decode straight into the caller's bitmap.
    bitmap.Allocate(20, 10, ie24RGB);
    EXPECT_EQ(caller.GetWidth(), 20);
    EXPECT_EQ(caller.GetHeight(), 10);
    EXPECT_EQ(bitmap.GetScanLine(9), caller.ScanLine(9));
    bitmap.Allocate(6, 6, ie8g);
    EXPECT_EQ(caller.GetPixelFormat(), pf8bit);
    EXPECT_TRUE(bitmap.Encapsulated);
    bitmap.FreeImage();
    EXPECT_FALSE(bitmap.Encapsulated);
    EXPECT_EQ(bitmap.GetTBitmap(), nullptr);
    bitmap.EncapsulateTBitmap(&caller);
  }
  // Freeing the wrapper leaves the caller's bitmap alive and whole.
  EXPECT_EQ(caller.GetWidth(), 6);
  caller.SetSize(3, 3);
  EXPECT_NE(caller.ScanLine(2), nullptr);

  TBitmap mono;
  ShapePlatformBitmap(mono, pf1bit, 33, 2);
  TIEBitmap bw;
  bw.EncapsulateTBitmap(&mono);
  EXPECT_EQ(bw.PixelFormat, ie1g);
  EXPECT_EQ(bw.RowLen, 8);

  // Nothing, or a bitmap whose rows cannot be described, leaves it empty.
  TBitmap indexed;
  ShapePlatformBitmap(indexed, pf8bit, 4, 4);
  for (TBitmap* platform : {static_cast<TBitmap*>(nullptr), &indexed}) {
    TIEBitmap bitmap;
    bitmap.EncapsulateTBitmap(platform);
    EXPECT_EQ(bitmap.Width, 0);
    EXPECT_FALSE(bitmap.Encapsulated);
    EXPECT_EQ(bitmap.GetTBitmap(), nullptr);
  }
}

TEST(IEBitmapPlatform, SixteenBitGrayIsKeptAsEightBitInAPlatformBitmap) {
  auto gray16 = MakeBitmap(ieMemory, 5, 2, ie16g);
  for (int x = 0; x < 5; ++x) gray16->SetPixels_ie16g(x, 1, static_cast<uint16_t>(0x1100 * x + 0x77));

  auto allocated = MakeBitmap(ieTBitmap, 5, 2, ie16g);
  EXPECT_EQ(allocated->PixelFormat, ie8g);
  EXPECT_EQ(allocated->BitCount, 8);
  EXPECT_EQ(allocated->RowLen, 8);
  EXPECT_EQ(allocated->GetTBitmap()->GetPixelFormat(), pf8bit);

  auto assigned = MakeBitmap(ieTBitmap, 1, 1, ie24RGB);
  assigned->Assign(gray16.get());
  auto moved = MakeBitmap(ieMemory, 1, 1, ie8g);
  moved->Assign(gray16.get());
  moved->SetLocation(ieTBitmap);
  for (TIEBitmap* bitmap : {assigned.get(), moved.get()}) {
    ASSERT_EQ(bitmap->PixelFormat, ie8g);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(bitmap->GetPixels_ie8(x, 1), 0x11 * x) << x;
  }
}

TEST(IEBitmapPlatform, CanvasMovesThePictureIntoAPlatformBitmap) {
  auto bitmap = MakeBitmap(ieFile, 12, 5, ie24RGB);
  Scribble(*bitmap);
  bitmap->GetAlphaChannel();
  EXPECT_NE(bitmap->GetCanvas(), nullptr);
  EXPECT_EQ(bitmap->Location, ieTBitmap);
  EXPECT_FALSE(bitmap->GetHasAlphaChannel());
  EXPECT_FALSE(bitmap->TempFile->IsAllocated());
  EXPECT_TRUE(HasScribble(*bitmap, 5, 36));
  EXPECT_EQ(bitmap->GetTBitmap()->GetWidth(), 12);

  TIEBitmap empty;
  EXPECT_NE(empty.GetCanvas(), nullptr);
}

TEST(IEBitmapPlatform, PaletteChangesReachThePlatformBitmap) {
  auto bitmap = MakeBitmap(ieTBitmap, 4, 4, ie8p);
  bitmap->SetPalette(5, {10, 20, 30});
  TPaletteEntry entry;
  ASSERT_EQ(bitmap->GetTBitmap()->GetPaletteEntries(5, 1, &entry), 1);
  EXPECT_EQ(entry.peRed, 30);
  EXPECT_EQ(entry.peGreen, 20);
  EXPECT_EQ(entry.peBlue, 10);
  EXPECT_EQ(entry.peFlags, 0);
}

TEST(IEBitmapPlatform, AssignOfAPlatformBitmapCopiesIt) {
  TBitmap platform;
  ShapePlatformBitmap(platform, pf24bit, 7, 3);
  platform.ScanLine(2)[20] = 0x42;
  for (TIELocation location : {ieMemory, ieFile, ieTBitmap}) {
    auto bitmap = MakeBitmap(location, 1, 1, ie8g);
    bitmap->Assign(&platform);
    EXPECT_EQ(bitmap->Width, 7) << location;
    EXPECT_EQ(bitmap->PixelFormat, ie24RGB) << location;
    EXPECT_EQ(bitmap->GetPixels_ie24RGB(6, 2).r, 0x42) << location;
    EXPECT_NE(bitmap->GetTBitmap(), &platform);
  }
}
