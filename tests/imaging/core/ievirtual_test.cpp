// The virtual stores: block placement and reuse, the ten mapped views,
// handed-out bitmaps, tiles with their band order, and drawing.
#include "imaging/core/ievirtual.h"

#include <gtest/gtest.h>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iedrawdib.h"
#include "platform/canvas.h"
#include "platform/graphics.h"

namespace {

TRGB Colour(int x, int y) { return TRGB{uint8_t(x * 7), uint8_t(y * 3), uint8_t(x + y)}; }

std::unique_ptr<TIEBitmap> Picture(int width, int height, TIEPixelFormat format = ie24RGB) {
  auto bitmap = std::make_unique<TIEBitmap>();
  bitmap->Location = ieMemory;
  bitmap->Allocate(width, height, format);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (format == ie1g)
        bitmap->SetPixels_ie1g(x, y, (x * 3 + y) % 7 < 3);
      else
        bitmap->SetPixels_ie24RGB(x, y, Colour(x, y));
    }
  return bitmap;
}

void ExpectSame(TIEBitmap& a, TIEBitmap& b) {
  ASSERT_EQ(a.Width, b.Width);
  ASSERT_EQ(a.Height, b.Height);
  ASSERT_EQ(a.PixelFormat, b.PixelFormat);
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x) ASSERT_EQ(a.GetPixels(x, y), b.GetPixels(x, y)) << x << "," << y;
}

TEST(VirtualDIBList, BlocksAreWholeGranulesPlacedOneAfterAnother) {
  TIEVirtualDIBList list;
  PIEVirtualImageInfo small = list.AddBlankImage(100, 100, 24);
  PIEVirtualImageInfo large = list.AddBlankImage(200, 200, 24);
  ASSERT_TRUE(small && large);
  EXPECT_EQ(small->NeededSize, 48u + 100 * 300);
  EXPECT_EQ(small->BlockSize, 65536u);
  EXPECT_EQ(large->NeededSize, 48u + 200 * 600);
  EXPECT_EQ(large->BlockSize, 131072u);
  EXPECT_EQ(small->Offset, 0u);
  EXPECT_EQ(large->Offset, 65536u);
  EXPECT_GE(list.GetFileSize(), 196608u);
  EXPECT_EQ(list.GetImageWidth(large), 200);
  EXPECT_EQ(list.GetImageBitCount(small), 24);
  const BITMAPINFOHEADER* header = list.GetImageInfoHeader(small);
  EXPECT_EQ(header->biSize, 40u);
  EXPECT_EQ(header->biHeight, 100);
}

TEST(VirtualDIBList, PicturesComeBackAsTheyWentIn) {
  TIEVirtualDIBList list;
  for (TIEPixelFormat format : {ie24RGB, ie1g}) {
    auto picture = Picture(37, 21, format);
    PIEVirtualImageInfo image = list.AddIEBitmap(picture.get());
    TIEBitmap back;
    back.Location = ieMemory;
    list.CopyToIEBitmap(image, &back);
    ExpectSame(*picture, back);
    TBitmap platform;
    list.DirectCopyToBitmap(image, &platform);
    TIEBitmap fromPlatform;
    fromPlatform.Location = ieMemory;
    fromPlatform.CopyFromTBitmap(&platform);
    ExpectSame(*picture, fromPlatform);
    // The bottom row comes first in the block.
    const uint8_t* bits = list.GetImageBits(image);
    EXPECT_EQ(std::memcmp(bits, picture->GetScanLine(20), format == ie1g ? 4 : 37 * 3), 0);
  }
  // A rectangle of a platform bitmap.
  auto picture = Picture(40, 30);
  TBitmap platform;
  picture->CopyToTBitmap(&platform);
  PIEVirtualImageInfo rect = list.AddBitmapRect(&platform, 5, 7, 10, 4);
  TIEBitmap back;
  back.Location = ieMemory;
  list.CopyToIEBitmap(rect, &back);
  ASSERT_EQ(back.Width, 10);
  EXPECT_EQ(back.GetPixels_ie24RGB(0, 0), Colour(5, 7));
  EXPECT_EQ(back.GetPixels_ie24RGB(9, 3), Colour(14, 10));
}

TEST(VirtualDIBList, KeepsTheTenMostRecentlyUsedImagesMapped) {
  TIEVirtualDIBList list;
  // Room made at once: growing the file later unmaps every view.
  list.PrepareSpaceFor(10, 10, 24, 11);
  std::vector<PIEVirtualImageInfo> images;
  for (int i = 0; i < 11; ++i) images.push_back(list.AddBlankImage(10, 10, 24));
  EXPECT_EQ(list.GetMappedCount(), 10);
  EXPECT_FALSE(list.IsMapped(images[0]));
  EXPECT_TRUE(list.IsMapped(images[1]));
  ASSERT_NE(list.GetImageBits(images[0]), nullptr);
  EXPECT_TRUE(list.IsMapped(images[0]));
  EXPECT_FALSE(list.IsMapped(images[1]));
  EXPECT_EQ(list.GetMappedCount(), 10);
}

TEST(VirtualDIBList, FreedBlocksAreReusedAndAnEmptyListStartsAgain) {
  TIEVirtualDIBList list;
  PIEVirtualImageInfo a = list.AddBlankImage(50, 50, 24);
  PIEVirtualImageInfo b = list.AddBlankImage(50, 50, 24);
  ASSERT_EQ(b->Offset, 65536u);
  list.Delete(a);
  PIEVirtualImageInfo c = list.AddBlankImage(20, 20, 24);
  EXPECT_EQ(c->Offset, 0u);  // first fit
  list.Delete(b);
  list.Delete(c);
  EXPECT_EQ(list.GetImageCount(), 0);
  PIEVirtualImageInfo d = list.AddBlankImage(20, 20, 1);
  EXPECT_EQ(d->Offset, 0u);
}

TEST(VirtualDIBList, HandedOutBitmapsAreCountedAndWrittenBack) {
  TIEVirtualDIBList list;
  auto picture = Picture(12, 9);
  PIEVirtualImageInfo image = list.AddIEBitmap(picture.get());
  TBitmap* out = list.GetBitmap(image);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(list.GetBitmap(image), out);
  EXPECT_TRUE(image->HandedOut);
  // While it is out, the image is described by the bitmap.
  EXPECT_EQ(list.GetImageInfoHeader(image)->biHeight, -9);
  EXPECT_EQ(list.GetImageBits(image), out->ScanLine(0));
  reinterpret_cast<TRGB*>(out->ScanLine(2))[3] = TRGB{9, 9, 9};
  list.ReleaseBitmap(out, true);
  EXPECT_TRUE(image->HandedOut);  // one request still out
  list.ReleaseBitmap(out, false);
  EXPECT_FALSE(image->HandedOut);
  TIEBitmap back;
  back.Location = ieMemory;
  list.CopyToIEBitmap(image, &back);
  EXPECT_EQ(back.GetPixels_ie24RGB(3, 2), (TRGB{9, 9, 9}));

  // A bitmap of another size gets a block of its own.
  const uint64_t before = image->Offset;
  TBitmap bigger;
  bigger.SetPixelFormat(pf24bit);
  bigger.SetSize(300, 300);
  list.CopyFromBitmap(image, &bigger);
  EXPECT_NE(image->Offset, before);
  EXPECT_EQ(list.GetImageWidth(image), 300);
  TBitmap stranger;
  list.ReleaseBitmap(&stranger, true);  // unknown: ignored
}

TEST(VirtualBitmap, TilesCoverThePictureWithItsLastNarrowPieces) {
  TIEVirtualBitmap big;
  ASSERT_TRUE(big.AllocateBits(513, 700, 24));
  EXPECT_EQ(big.GetTileWidth(), 512);
  auto picture = Picture(513, 700);
  big.CopyFromIEBitmap(picture.get(), 0, 0, 513, 700);
  for (auto [x, y] : {std::pair{0, 0}, {511, 511}, {512, 0}, {512, 699}, {0, 512}, {300, 650}}) {
    TRGB c{};
    big.GetPixel(x, y, &c);
    EXPECT_EQ(c, Colour(x, y)) << x << "," << y;
  }
  // A region across all four tiles, changed and written back.
  TBitmap* region = big.GetBitmap(500, 500, 13, 20);
  ASSERT_NE(region, nullptr);
  EXPECT_EQ(reinterpret_cast<TRGB*>(region->ScanLine(0))[0], Colour(500, 500));
  EXPECT_EQ(reinterpret_cast<TRGB*>(region->ScanLine(19))[12], Colour(512, 519));
  reinterpret_cast<TRGB*>(region->ScanLine(19))[12] = TRGB{1, 2, 3};
  big.ReleaseBitmap(region);
  TRGB c{};
  big.GetPixel(512, 519, &c);
  EXPECT_EQ(c, (TRGB{1, 2, 3}));
  const TRGB put{4, 5, 6};
  big.SetPixel(10, 699, &put);
  big.GetPixel(10, 699, &c);
  EXPECT_EQ(c, put);
}

TEST(VirtualBitmap, ApplyFunctionSeesEveryPixelAndOneBitChangesHold) {
  TIEVirtualBitmap bits;
  ASSERT_TRUE(bits.AllocateBits(1100, 600, 1));
  auto picture = Picture(1100, 600, ie1g);
  bits.CopyFromIEBitmap(picture.get(), 0, 0, 1100, 600);
  int64_t calls = 0;
  bits.ApplyFunction(0, 0, 1100, 600, [&](int, int, void* p, void*) {
    ++calls;
    auto* v = static_cast<uint8_t*>(p);
    *v = *v ? 0 : 1;
  }, nullptr);
  EXPECT_EQ(calls, 1100 * 600);
  for (auto [x, y] : {std::pair{0, 0}, {1099, 599}, {1024, 512}, {700, 100}}) {
    uint8_t v = 0;
    bits.GetPixel(x, y, &v);
    EXPECT_EQ(v != 0, !picture->GetPixels_ie1g(x, y)) << x << "," << y;
  }
}

TEST(VirtualBitmap, DrawsTileByTileOntoACanvas) {
  TIEVirtualBitmap big;
  ASSERT_TRUE(big.AllocateBits(600, 520, 24));
  auto picture = Picture(600, 520);
  big.CopyFromIEBitmap(picture.get(), 0, 0, 600, 520);
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(600, 520);
  HDRAWDIB dd = IEDrawDibOpen();
  big.RenderTo(target.GetCanvas(), dd, 0, 0, 600, 520, 0, 0, 600, 520, false);
  for (auto [x, y] : {std::pair{0, 0}, {599, 519}, {512, 512}, {511, 100}})
    EXPECT_EQ(reinterpret_cast<TRGB*>(target.ScanLine(y))[x], Colour(x, y)) << x << "," << y;

  // A 1-bit picture shrunk with the filter turns into grey shares.
  TIEVirtualBitmap bits;
  ASSERT_TRUE(bits.AllocateBits(64, 64, 1));
  auto half = std::make_unique<TIEBitmap>();
  half->Location = ieMemory;
  half->Allocate(64, 64, ie1g);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) half->SetPixels_ie1g(x, y, x % 2 == 0);
  bits.CopyFromIEBitmap(half.get(), 0, 0, 64, 64);
  TBitmap small;
  small.SetPixelFormat(pf24bit);
  small.SetSize(16, 16);
  bits.RenderTo(small.GetCanvas(), dd, 0, 0, 16, 16, 0, 0, 64, 64, true);
  const uint8_t grey = reinterpret_cast<TRGB*>(small.ScanLine(8))[8].g;
  EXPECT_GT(grey, 60);
  EXPECT_LT(grey, 200);
  IEDrawDibClose(dd);
}

TEST(BitmapMapXCopy, OneBitRowsExpandIntoATwentyFourBitBuffer) {
  auto picture = Picture(16, 3, ie1g);
  std::vector<uint8_t> buffer(3 * 48);
  IEBitmapMapXCopy(buffer.data(), 48, 24, picture.get(), 0, 0, 0, 0, 16, 3, 1);
  // Buffer row 0 is the bitmap's last row.
  for (int x = 0; x < 16; ++x) EXPECT_EQ(buffer[size_t(x) * 3], picture->GetPixels_ie1g(x, 2) ? 255 : 0) << x;
}

}  // namespace
