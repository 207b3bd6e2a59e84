#include "imaging/core/iebitmapcopy.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "imaging/core/iebits.h"
#include "imaging/core/iedibbitmap.h"
#include "imaging/core/ievalues.h"
#include "support/testenv.h"

namespace {

// A 24-bit bitmap whose pixel (x, y) is (b x, g y, r x + y) with distinct
// bytes, so misplaced rows or columns show.
void Fill24(TBitmap& bitmap, int width, int height) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<TRGB*>(bitmap.ScanLine(y));
    for (int x = 0; x < width; ++x)
      row[x] = TRGB{static_cast<uint8_t>(x * 10), static_cast<uint8_t>(y * 20),
                    static_cast<uint8_t>(x + y * 16)};
  }
}

// A 1-bit bitmap whose pixel (x, y) is set when (x + 2y) mod 3 is 0.
bool MonoPixel(int x, int y) { return (x + 2 * y) % 3 == 0; }
void FillMono(TBitmap& bitmap, int width, int height) {
  bitmap.SetPixelFormat(pf1bit);
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) _SetPixelbw(bitmap.ScanLine(y), x, MonoPixel(x, y));
}

TRGB Pixel24(TBitmap& bitmap, int x, int y) {
  return reinterpret_cast<TRGB*>(bitmap.ScanLine(y))[x];
}

// A locked global DIB, unlocked and freed at the end of the scope.
class LockedDib {
 public:
  explicit LockedDib(HGLOBAL handle) : handle_(handle) {
    if (handle_ != 0) bytes_ = static_cast<const uint8_t*>(GlobalLock(handle_));
  }
  ~LockedDib() {
    if (handle_ == 0) return;
    GlobalUnlock(handle_);
    GlobalFree(handle_);
  }
  LockedDib(const LockedDib&) = delete;
  LockedDib& operator=(const LockedDib&) = delete;
  HGLOBAL handle() const { return handle_; }
  size_t size() const { return GlobalSize(handle_); }
  BITMAPINFOHEADER header() const {
    BITMAPINFOHEADER h;
    std::memcpy(&h, bytes_, sizeof(h));
    return h;
  }
  const uint8_t* bytes() const { return bytes_; }

 private:
  HGLOBAL handle_;
  const uint8_t* bytes_ = nullptr;
};

}  // namespace

TEST(CopyBitmap, CopiesFormatSizePixelsAndPalette) {
  TBitmap source;
  Fill24(source, 7, 3);
  std::unique_ptr<TBitmap> clone(IECloneBitmap(&source));
  ASSERT_EQ(clone->GetWidth(), 7);
  ASSERT_EQ(clone->GetHeight(), 3);
  EXPECT_EQ(clone->GetPixelFormat(), pf24bit);
  for (int y = 0; y < 3; ++y)
    EXPECT_EQ(std::memcmp(clone->ScanLine(y), source.ScanLine(y), 21), 0) << y;

  TBitmap paletted;
  paletted.SetPixelFormat(pf8bit);
  paletted.SetSize(2, 1);
  const TPaletteEntry red{200, 10, 20, 0};
  paletted.SetPaletteEntries(5, 1, &red);
  paletted.ScanLine(0)[1] = 5;
  TBitmap copy;
  IECopyBitmap(&paletted, &copy);
  EXPECT_EQ(copy.GetPixelFormat(), pf8bit);
  EXPECT_EQ(copy.ScanLine(0)[1], 5);
  TPaletteEntry entry{};
  ASSERT_EQ(copy.GetPaletteEntries(5, 1, &entry), 1);
  EXPECT_EQ(entry.peRed, 200);
  EXPECT_EQ(entry.peBlue, 20);

  TBitmap empty, target;
  Fill24(target, 4, 4);
  empty.SetPixelFormat(pf1bit);
  empty.SetSize(0, 0);
  IECopyBitmap(&empty, &target);
  EXPECT_EQ(target.GetPixelFormat(), pf1bit);
  EXPECT_EQ(target.GetWidth(), 1);
  EXPECT_EQ(target.GetHeight(), 1);
}

TEST(CopyBitmapRect, CutsRectanglesOfBothDepths) {
  TBitmap colour, mono;
  Fill24(colour, 21, 6);
  FillMono(mono, 21, 6);
  struct Case {
    int x1, y1, x2, y2;
    int left, top, width, height;
    const char* what;
  };
  const Case cases[] = {
      {2, 1, 5, 4, 2, 1, 3, 3, "inside"},
      {3, 2, 0, 0, 3, 2, 18, 4, "zero means the far edge"},
      {-4, -2, 4, 3, 0, 0, 4, 3, "negative corner"},
      {5, 2, 500, 900, 5, 2, 16, 4, "beyond the picture"},
      {9, 0, 20, 1, 9, 0, 11, 1, "unaligned bits"},
      {6, 4, 2, 1, 0, 0, 0, 0, "reversed corners are empty"},
      {2147483647, 0, 3, 0, 0, 0, 0, 0, "huge start is empty"},
  };
  for (TBitmap* source : {&colour, &mono}) {
    for (const Case& c : cases) {
      TBitmap dst;
      _CopyBitmapRect(source, &dst, c.x1, c.y1, c.x2, c.y2);
      EXPECT_EQ(dst.GetPixelFormat(), source->GetPixelFormat()) << c.what;
      ASSERT_EQ(dst.GetWidth(), c.width) << c.what;
      if (c.width == 0) continue;
      ASSERT_EQ(dst.GetHeight(), c.height) << c.what;
      for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
          if (source == &colour)
            ASSERT_EQ(Pixel24(dst, x, y), Pixel24(colour, c.left + x, c.top + y)) << c.what;
          else
            ASSERT_EQ(_GetPixelbw(dst.ScanLine(y), x) != 0, MonoPixel(c.left + x, c.top + y))
                << c.what << " at " << x << "," << y;
        }
    }
  }
}

TEST(CopyBitmapToDib, TwentyFourBitLayout) {
  TBitmap bitmap;
  Fill24(bitmap, 10, 5);
  LockedDib dib(_CopyBitmaptoDIB(&bitmap, 0, 0, 0, 0));
  ASSERT_NE(dib.handle(), 0u);
  EXPECT_EQ(dib.size(), 44u + 160u);
  const BITMAPINFOHEADER h = dib.header();
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 10);
  EXPECT_EQ(h.biHeight, 5);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_EQ(h.biSizeImage, 0u);
  EXPECT_EQ(h.biClrUsed, 0u);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(std::memcmp(dib.bytes() + 40 + i * 32, bitmap.ScanLine(4 - i), 30), 0) << i;
}

TEST(CopyBitmapToDib, OneBitRectangleMovesToBitZero) {
  TBitmap bitmap;
  FillMono(bitmap, 40, 6);
  LockedDib dib(_CopyBitmaptoDIB(&bitmap, 3, 1, 37, 5));
  ASSERT_NE(dib.handle(), 0u);
  const BITMAPINFOHEADER h = dib.header();
  EXPECT_EQ(h.biWidth, 34);
  EXPECT_EQ(h.biHeight, 4);
  EXPECT_EQ(h.biBitCount, 1);
  EXPECT_EQ(dib.size(), 52u + 4 * 8);
  const uint8_t palette[8] = {0, 0, 0, 0, 255, 255, 255, 255};
  EXPECT_EQ(std::memcmp(dib.bytes() + 40, palette, 8), 0);
  for (int i = 0; i < 4; ++i) {
    const uint8_t* row = dib.bytes() + 48 + i * 8;
    for (int x = 0; x < 34; ++x)
      ASSERT_EQ(_GetPixelbw(row, x) != 0, MonoPixel(3 + x, 4 - i)) << x << "," << i;
    for (int x = 34; x < 64; ++x) ASSERT_EQ(_GetPixelbw(row, x), 0) << "padding " << x;
  }
}

TEST(CopyBitmapToDib, BadRectanglesGiveEmptyDibsAndOtherFormatsNone) {
  TBitmap bitmap;
  Fill24(bitmap, 10, 5);
  for (auto [x1, y1, x2, y2] : {std::tuple{8, 0, 2, 0}, std::tuple{0, 4, 0, 1},
                                std::tuple{2147483647, 0, 0, 0}, std::tuple{0, -2147483647 - 1, 0, -5}}) {
    LockedDib dib(_CopyBitmaptoDIB(&bitmap, x1, y1, x2, y2));
    ASSERT_NE(dib.handle(), 0u);
    const BITMAPINFOHEADER h = dib.header();
    EXPECT_GE(h.biWidth, 0);
    EXPECT_GE(h.biHeight, 0);
    EXPECT_EQ(h.biWidth == 0 || h.biHeight == 0, true);
    EXPECT_EQ(dib.size(), 44u + uint64_t(_BitmapRowLen(h.biWidth, 24)) * h.biHeight);
  }
  TBitmap paletted;
  paletted.SetPixelFormat(pf8bit);
  paletted.SetSize(4, 4);
  EXPECT_EQ(_CopyBitmaptoDIB(&paletted, 0, 0, 0, 0), 0u);
}

TEST(CopyBitmapToDib, FromPixelBuffers) {
  TIEDibbitmap colour;
  colour.AllocateBits(5, 3, 24);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      reinterpret_cast<TRGB*>(colour.GetScanLine(y))[x] = CreateRGB(x, y, 9);
  LockedDib whole(_CopyBitmaptoDIBEx(&colour, 0, 0, 0, 0));
  EXPECT_EQ(whole.header().biWidth, 5);
  EXPECT_EQ(whole.size(), 44u + 3 * 16);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(std::memcmp(whole.bytes() + 40 + i * 16, colour.GetScanLine(2 - i), 16), 0);

  // A column range gives rows of its own width, not the picture's.
  LockedDib part(_CopyBitmaptoDIBEx(&colour, 2, 1, 4, 3));
  EXPECT_EQ(part.header().biWidth, 2);
  EXPECT_EQ(part.header().biHeight, 2);
  EXPECT_EQ(part.size(), 44u + 2 * 8);
  const TRGB* bottom = reinterpret_cast<const TRGB*>(part.bytes() + 40);
  EXPECT_EQ(bottom[0], CreateRGB(2, 2, 9));
  EXPECT_EQ(bottom[1], CreateRGB(3, 2, 9));

  TIEDibbitmap mono;
  mono.AllocateBits(12, 2, 1);
  mono.GetScanLine(0)[0] = 0xF0;
  mono.GetScanLine(1)[1] = 0x30;
  LockedDib bits(_CopyBitmaptoDIBEx(&mono, 0, 0, 0, 0));
  EXPECT_EQ(bits.header().biBitCount, 1);
  EXPECT_EQ(bits.bytes()[48], 0x00);
  EXPECT_EQ(bits.bytes()[49], 0x30);
  EXPECT_EQ(bits.bytes()[52], 0xF0);

  TIEDibbitmap empty;
  EXPECT_EQ(_CopyBitmaptoDIBEx(&empty, 0, 0, 0, 0), 0u);
}

#if !defined(__SANITIZE_ADDRESS__)
namespace {

// A pixel buffer that claims a size no memory can hold; its rows are never read.
class ClaimsToBeHuge : public TIEBaseBitmap {
 public:
  uint8_t* GetScanLine(int) override { return nullptr; }
  int GetBitCount() const override { return 24; }
  int GetHeight() const override { return 2147483647; }
  int GetWidth() const override { return 2147483647; }
  TIEPixelFormat GetPixelFormat() const override { return ie24RGB; }
  int GetRowLen() const override { return 0; }
  void Allocate(int, int, TIEPixelFormat) override {}
  void Assign(TObject*) override {}
};

}  // namespace

TEST(CopyBitmapToDib, SizesBeyondMemoryRaiseOutOfMemory) {
  ClaimsToBeHuge huge;
  EXPECT_THROW(_CopyBitmaptoDIBEx(&huge, 0, 0, 0, 0), EOutOfMemory);  // beyond 64 bits
  EXPECT_THROW(_CopyBitmaptoDIBEx(&huge, 0, 0, 0, 1 << 24), EOutOfMemory);
}
#endif

// An independent reader must see the same picture: the DIB behind a BMP
// file header, decoded by Python's imaging library.
TEST(CopyBitmapToDib, ReadableByAnIndependentDecoder) {
  std::string python;
  for (const char* candidate : {"/usr/bin/python3", "python3"}) {
    const std::string probe = std::string(candidate) + " -c 'import PIL' >/dev/null 2>&1";
    if (std::system(probe.c_str()) == 0) {
      python = candidate;
      break;
    }
  }
  if (python.empty()) GTEST_SKIP() << "python3 with PIL is not available";

  TBitmap bitmap;
  Fill24(bitmap, 13, 7);
  LockedDib dib(_CopyBitmaptoDIB(&bitmap, 2, 1, 11, 6));
  ASSERT_NE(dib.handle(), 0u);
  const uint32_t dibBytes = static_cast<uint32_t>(dib.size());
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfSize = sizeof(file) + dibBytes;
  file.bfOffBits = sizeof(file) + sizeof(BITMAPINFOHEADER);

  cwtest::TempDir temp;
  const std::string bmp = temp.file("dib.bmp");
  const std::string raw = temp.file("pixels.raw");
  {
    std::ofstream out(bmp, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(dib.bytes()), dibBytes);
  }
  const std::string script =
      "import sys; from PIL import Image; im = Image.open(sys.argv[1]).convert('RGB'); "
      "open(sys.argv[2], 'wb').write(bytes(im.size) + im.tobytes())";
  const std::string command = python + " -c \"" + script + "\" '" + bmp + "' '" + raw + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);

  std::ifstream in(raw, std::ios::binary);
  std::vector<uint8_t> decoded((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(decoded.size(), 2u + 9 * 5 * 3);
  EXPECT_EQ(decoded[0], 9);
  EXPECT_EQ(decoded[1], 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x) {
      const uint8_t* rgb = decoded.data() + 2 + (y * 9 + x) * 3;
      const TRGB expected = Pixel24(bitmap, 2 + x, 1 + y);
      ASSERT_EQ(rgb[0], expected.r) << x << "," << y;
      ASSERT_EQ(rgb[1], expected.g) << x << "," << y;
      ASSERT_EQ(rgb[2], expected.b) << x << "," << y;
    }
}
