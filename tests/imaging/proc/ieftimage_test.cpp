// The Fourier image: its square, the round trip, the passes and zones, and
// the size it refuses.
#include "imaging/proc/ieftimage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "imaging/proc/pixproc.h"

#include "platform/graphics.h"
#include "platform/sysutils.h"

namespace {

void Fill(TBitmap& b, int w, int h, uint8_t (*value)(int x, int y)) {
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) std::memset(b.ScanLine(y) + x * 3, value(x, y), 3);
}

TEST(FtImageTest, SquareOffsetsAndRoundTrip) {
  struct TCase {
    int w, h, side, ox, oy;
    int low;  // where 100 of 200 comes back
  };
  // Stretched over the whole square: with a black border 100 of 200 is
  // 127, without one it is the smallest value, 0.
  const TCase cases[] = {{300, 200, 512, 106, 156, 127}, {64, 64, 64, 0, 0, 0}, {5, 3, 8, 1, 2, 127}};
  for (const TCase& c : cases) {
    TBitmap picture;
    // A bright square on a mid-gray ground.
    Fill(picture, c.w, c.h, [](int x, int y) { return uint8_t(x % 4 < 2 && y % 4 < 2 ? 200 : 100); });
    TIEFtImage ft;
    ft.BuildFT(&picture, ieitGrayscale);
    EXPECT_EQ(ft.GetImageSize(), c.side);
    EXPECT_EQ(ft.OffsetX(), c.ox);
    EXPECT_EQ(ft.OffsetY(), c.oy);
    TBitmap back;
    ft.BuildBitmap(&back);
    ASSERT_EQ(back.GetWidth(), c.w);
    ASSERT_EQ(back.GetHeight(), c.h);
    for (int y = 0; y < c.h; y += 3)
      for (int x = 0; x < c.w; x += 5) EXPECT_NEAR(back.ScanLine(y)[x * 3], x % 4 < 2 && y % 4 < 2 ? 255 : c.low, 1);
    TBitmap spectrum;
    ft.GetFTImage(&spectrum);
    EXPECT_EQ(spectrum.GetWidth(), c.side);
    // The zero frequency, in the middle, is the brightest.
    EXPECT_GE(spectrum.ScanLine(c.side / 2)[c.side / 2 * 3], 254);
  }
}

TEST(FtImageTest, PassesAndZonesClearTheRightElements) {
  TBitmap picture;
  Fill(picture, 16, 16, [](int x, int) { return uint8_t(x % 2 ? 255 : 0); });
  TIEFtImage ft;
  ft.BuildFT(&picture, ieitRGB);
  TBitmap before, after;
  ft.GetFTImage(&before);
  // Clearing everything but the centre leaves a flat picture.
  TIEFtImage low;
  low.Assign(ft);
  low.LoPass(0);
  TBitmap flat;
  low.BuildBitmap(&flat);
  EXPECT_EQ(flat.ScanLine(3)[0], flat.ScanLine(3)[3]);
  // A zone outside the square is cut to it.
  ft.ClearZone(-10, -10, 100, 2);
  ft.GetFTImage(&after);
  EXPECT_EQ(after.ScanLine(0)[0], 0);
  EXPECT_EQ(memcmp(before.ScanLine(8), after.ScanLine(8), 16 * 3), 0);
}

TEST(FtImageTest, APictureBeyondTheLargestSquareIsRefused) {
  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(TIEFtImage::kMaxSide + 1, 2);
  TIEFtImage ft;
  EXPECT_THROW(ft.BuildFT(&picture, ieitGrayscale), Exception);
  EXPECT_EQ(ft.GetImageSize(), 0);
}

// numpy's fft2 (python3-numpy comes with scripts/install-deps.sh) of the
// same centred, normalised square, scaled by 1 / N as our two passes of
// 1 / sqrt(N) are. The script writes N x N complex values, row by row.
std::vector<float> NumpyTransform(const std::vector<uint8_t>& gray, int w, int h, const std::string& dir) {
  const std::string in = dir + "/ft_in.raw", out = dir + "/ft_out.raw", script = dir + "/ft.py";
  std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(gray.data()), std::streamsize(gray.size()));
  std::ofstream(script) << "import sys, numpy as np\n"
                           "w, h = int(sys.argv[3]), int(sys.argv[4])\n"
                           "a = np.fromfile(sys.argv[1], dtype=np.uint8).reshape(h, w).astype(np.float64)\n"
                           "n = 1\n"
                           "while n < max(w, h): n *= 2\n"
                           "sq = np.zeros((n, n))\n"
                           "ox, oy = (n - w) // 2, (n - h) // 2\n"
                           "sq[oy:oy + h, ox:ox + w] = a / max(a.max(), 1)\n"
                           "y, x = np.indices((n, n))\n"
                           "sq *= np.where((x + y) % 2, -1.0, 1.0)\n"
                           "f = np.fft.fft2(sq) / n\n"
                           "np.stack([f.real, f.imag], axis=-1).astype(np.float32).tofile(sys.argv[2])\n";
  const std::string run = "/usr/bin/python3 '" + script + "' '" + in + "' '" + out + "' " + std::to_string(w) + " " +
                          std::to_string(h);
  if (std::system(run.c_str()) != 0) return {};
  std::ifstream file(out, std::ios::binary | std::ios::ate);
  std::vector<float> values(size_t(file.tellg()) / sizeof(float));
  file.seekg(0).read(reinterpret_cast<char*>(values.data()), std::streamsize(values.size() * sizeof(float)));
  return values;
}

TEST(FtImageTest, AgreesWithAnIndependentTransform) {
  const int w = 40, h = 27;  // a 64 square, offsets (12, 18)
  std::vector<uint8_t> gray(size_t(w) * h);
  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t v = uint8_t((x * 37 + y * y * 11 + (x * y) % 7 * 23) % 251);
      gray[size_t(y) * w + x] = v;
      std::memset(picture.ScanLine(y) + x * 3, v, 3);  // equal channels: the gray is the value
    }
  const std::string dir = std::filesystem::temp_directory_path() / ("cw_ft_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::vector<float> expected = NumpyTransform(gray, w, h, dir);
  std::filesystem::remove_all(dir);
  ASSERT_EQ(expected.size(), size_t(64) * 64 * 2) << "numpy could not transform (is python3-numpy installed?)";

  for (TIEFtImageType type : {ieitGrayscale, ieitRGB}) {
    TIEFtImage ft;
    ft.BuildFT(&picture, type);
    ASSERT_EQ(ft.GetImageSize(), 64);
    double worst = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const TIEFtElementRefs e = ft.GetComplexImage(x, y);
        const float* re = type == ieitGrayscale ? e.GrayReal : e.GreenReal;
        const float* im = type == ieitGrayscale ? e.GrayImag : e.GreenImag;
        ASSERT_NE(re, nullptr);
        const size_t at = (size_t(y) * 64 + x) * 2;
        worst = std::max({worst, std::abs(double(*re) - expected[at]), std::abs(double(*im) - expected[at + 1])});
      }
    // Single-precision planes against double-precision numpy.
    EXPECT_LT(worst, 1e-4) << "type " << int(type);
  }
}

TEST(FtImageTest, ElementsOutsideTheSquareAndAbsentPlanesHaveNoReferences) {
  TBitmap picture;
  Fill(picture, 8, 8, [](int x, int y) { return uint8_t(x * 30 + y); });
  TIEFtImage ft;
  ft.BuildFT(&picture, ieitGrayscale);
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {8, 0}, {0, 8}, {1 << 30, 3}}) {
    const TIEFtElementRefs e = ft.GetComplexImage(x, y);
    EXPECT_EQ(e.GrayReal, nullptr) << x << "," << y;
    EXPECT_EQ(e.GrayImag, nullptr);
  }
  TBitmap before, after;
  ft.GetFTImage(&before);
  TIEFtElementRefs centre = ft.GetComplexImage(4, 4);
  EXPECT_EQ(centre.RedReal, nullptr);  // a gray image has no colour planes
  ASSERT_NE(centre.GrayReal, nullptr);
  *centre.GrayReal = 0;
  *centre.GrayImag = 0;
  ft.GetFTImage(&after);
  // The edit reached the plane: the brightest element, zero frequency, is gone.
  EXPECT_EQ(before.ScanLine(4)[4 * 3], 255);
  EXPECT_LT(after.ScanLine(4)[4 * 3], 255);
}

TEST(FtImageTest, PixProcMakesImagesFromThePictureOrAStretchedCopy) {
  TBitmap picture;
  Fill(picture, 200, 100, [](int x, int y) { return uint8_t((x ^ y) & 0xff); });
  TPixProc proc(nullptr);
  proc.SetAttachedBitmap(&picture);
  int reports = 0;
  proc.OnProgress = [&](TObject* sender, int) {
    EXPECT_EQ(sender, &proc);
    ++reports;
  };
  struct TCase {
    int w, h, side, sourceW, sourceH;
  };
  for (const TCase& c : {TCase{-1, -1, 256, 200, 100}, {-1, 64, 128, 128, 64}, {50, -1, 64, 50, 25}}) {
    std::unique_ptr<TIEFtImage> ft = proc.FTCreateImage(ieitGrayscale, c.w, c.h);
    ASSERT_TRUE(ft);
    EXPECT_EQ(ft->GetImageSize(), c.side);
    TBitmap back;
    ft->BuildBitmap(&back);
    EXPECT_EQ(back.GetWidth(), c.sourceW);
    EXPECT_EQ(back.GetHeight(), c.sourceH);
  }
  EXPECT_GT(reports, 0);
  // Sizes that stretch to nothing are refused, as is a picture of another format.
  EXPECT_FALSE(proc.FTCreateImage(ieitGrayscale, 0, -1));
  EXPECT_FALSE(proc.FTCreateImage(ieitGrayscale, 1, -1));  // 1 x 0
  std::unique_ptr<TIEFtImage> ft = proc.FTCreateImage(ieitRGB, 16, 8);
  proc.FTDisplayFrom(*ft);
  EXPECT_EQ(picture.GetWidth(), 16);
  EXPECT_EQ(picture.GetHeight(), 16);
  proc.FTConvertFrom(*ft);
  EXPECT_EQ(picture.GetWidth(), 16);
  EXPECT_EQ(picture.GetHeight(), 8);
  picture.SetPixelFormat(pf8bit);
  EXPECT_FALSE(proc.FTCreateImage(ieitGrayscale, -1, -1));
}

TEST(FtImageTest, AnEmptyPictureIsRefusedAndKeepsTheImage) {
  TBitmap small;
  Fill(small, 4, 4, [](int, int) { return uint8_t(9); });
  TIEFtImage ft;
  ft.BuildFT(&small, ieitGrayscale);
  TBitmap empty;
  empty.SetPixelFormat(pf24bit);
  EXPECT_THROW(ft.BuildFT(&empty, ieitGrayscale), Exception);
  EXPECT_EQ(ft.GetImageSize(), 4);
  EXPECT_NE(ft.GetComplexImage(0, 0).GrayReal, nullptr);
}

}  // namespace
