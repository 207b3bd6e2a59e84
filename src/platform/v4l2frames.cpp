#include "platform/v4l2frames.h"

#include <QImage>
#include <algorithm>

#include "platform/graphics.h"

namespace {

uchar Clip(int v) { return uchar(std::clamp(v, 0, 255)); }

void YuvToRgb(int y, int u, int v, uchar* out) {
  const int c = 298 * (y - 16), d = u - 128, e = v - 128;
  out[0] = Clip((c + 409 * e + 128) >> 8);
  out[1] = Clip((c - 100 * d - 208 * e + 128) >> 8);
  out[2] = Clip((c + 516 * d + 128) >> 8);
}

}  // namespace

bool CameraYuyvToBitmap(const uint8_t* data, size_t size, int width, int height, int bytesPerLine, TBitmap* into) {
  if (!data || !into || width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
  // Pixels come in pairs sharing U and V: an odd width still has its pair.
  const int64_t rowBytes = (int64_t(width) + 1) / 2 * 4;
  if (bytesPerLine < rowBytes) return false;
  if (int64_t(bytesPerLine) * (height - 1) + rowBytes > int64_t(size)) return false;
  QImage image(width, height, QImage::Format_RGB888);
  if (image.isNull()) return false;
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = data + int64_t(bytesPerLine) * y;
    uchar* out = image.scanLine(y);
    for (int x = 0; x < width; x += 2, in += 4) {
      YuvToRgb(in[0], in[1], in[3], out + 3 * x);
      if (x + 1 < width) YuvToRgb(in[2], in[1], in[3], out + 3 * (x + 1));
    }
  }
  into->SetImage(image);
  return true;
}

bool CameraMjpegToBitmap(const uint8_t* data, size_t size, TBitmap* into) {
  if (!data || !into || size < 4 || size > (size_t(64) << 20)) return false;
  if (data[0] != 0xFF || data[1] != 0xD8) return false;
  QImage image;
  if (!image.loadFromData(data, static_cast<int>(size), "JPG")) return false;
  into->SetImage(image.convertToFormat(QImage::Format_RGB888));
  return true;
}
