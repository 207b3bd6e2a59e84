// Writes the stock pictures the program looks for in its Mode folder at
// start: the untitled template's layout picture (Untitle.JPG), the sample
// logo (SignPic.bmp) and the sample seal (ZhangPic.bmp).
//
//   make_stock_pictures <folder>
//
// All three are drawn here from simple shapes; edges are smoothed by
// sampling each pixel 4 x 4 times.
#include <cstdio>
#include <string>

#include "stockimage.h"
#include "stockshapes.h"

namespace {

// The untitled card: a blue head band shading downwards, a light body and a
// blue foot band.
Pixels LayoutPicture(int width, int height) {
  Pixels rgb(size_t(width * height * 3), 255);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &rgb[size_t(y * width + x) * 3];
      if (y < 40) {
        const double t = y / 40.0;
        p[0] = uint8_t(30 + 50 * t), p[1] = uint8_t(90 + 50 * t), p[2] = uint8_t(180 + 40 * t);
      } else if (y >= height - 16) {
        p[0] = 70, p[1] = 130, p[2] = 200;
      } else {
        p[0] = 248, p[1] = 248, p[2] = 244;
      }
    }
  return rgb;
}

// The sample logo: a blue ring around a gold star.
Pixels Logo(int size) {
  Pixels rgb(size_t(size * size * 3), 255);
  const double c = size / 2.0;
  Paint(rgb, size, size, Ring(c, c, c - 2, c - 8), {30, 90, 180});
  Paint(rgb, size, size, Star(c, c + 1, c - 12), {230, 170, 30});
  return rgb;
}

// The sample seal: a red double ring around a red star.
Pixels Seal(int size) {
  Pixels rgb(size_t(size * size * 3), 255);
  const double c = size / 2.0;
  Paint(rgb, size, size, Ring(c, c, c - 2, c - 7), {220, 30, 30});
  Paint(rgb, size, size, Ring(c, c, c - 10, c - 12), {220, 30, 30});
  Paint(rgb, size, size, Star(c, c + 2, size * 0.22), {220, 30, 30});
  Paint(rgb, size, size, Box(c - 24, c + 26, c + 24, c + 30), {220, 30, 30});
  return rgb;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_stock_pictures <folder>\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  const bool written = WriteWholeFile(folder + "Untitle.JPG", EncodeJpeg(LayoutPicture(337, 223), 337, 223)) &&
                       WriteWholeFile(folder + "SignPic.bmp", EncodeBmp(Logo(64), 64, 64)) &&
                       WriteWholeFile(folder + "ZhangPic.bmp", EncodeBmp(Seal(120), 120, 120));
  if (!written) {
    std::fprintf(stderr, "make_stock_pictures: cannot write the pictures in %s\n", argv[1]);
    return 1;
  }
  return 0;
}
