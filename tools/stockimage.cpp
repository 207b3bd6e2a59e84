#include "stockimage.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

std::string EncodeJpeg(const Pixels& rgb, int width, int height) {
  jpeg_compress_struct cinfo {};
  jpeg_error_mgr jerr {};
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 75, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(&rgb[size_t(cinfo.next_scanline) * width * 3]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string jpeg(reinterpret_cast<char*>(out), size);
  jpeg_destroy_compress(&cinfo);
  free(out);
  return jpeg;
}

namespace {

void Put(std::string& s, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) s += char(value >> (8 * i));
}

}  // namespace

std::string EncodeBmp(const Pixels& rgb, int width, int height) {
  const int rowLength = (width * 3 + 3) / 4 * 4;
  const uint32_t imageSize = uint32_t(rowLength * height);
  std::string bmp = "BM";
  Put(bmp, 54 + imageSize, 4);
  Put(bmp, 0, 4);
  Put(bmp, 54, 4);
  Put(bmp, 40, 4);
  Put(bmp, uint32_t(width), 4);
  Put(bmp, uint32_t(height), 4);
  Put(bmp, 1, 2);
  Put(bmp, 24, 2);
  Put(bmp, 0, 4);
  Put(bmp, imageSize, 4);
  Put(bmp, 2835, 4);  // 72 dots per inch
  Put(bmp, 2835, 4);
  Put(bmp, 0, 4);
  Put(bmp, 0, 4);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &rgb[size_t(y * width + x) * 3];
      bmp += char(p[2]);
      bmp += char(p[1]);
      bmp += char(p[0]);
    }
    bmp.append(size_t(rowLength - width * 3), '\0');
  }
  return bmp;
}


bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
