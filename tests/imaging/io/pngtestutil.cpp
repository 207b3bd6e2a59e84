#include "pngtestutil.h"

#include <png.h>
#include <zlib.h>

#include <cstring>
#include <stdexcept>

#include "imaging/io/pngfilt.h"

namespace cwtest {

void TPngRead::Read(const Bytes& bytes, bool preview, bool ignoreAlpha) {
  TMemoryStream stream;
  Fill(stream, bytes);
  bitmap.Location = ieMemory;
  ReadPNGStream(&stream, &bitmap, params, fixture.progress, preview, mask, ignoreAlpha);
}

TRgbaPicture LoadReference8(const std::string& pictureName) {
  const std::string stem = pictureName.substr(0, pictureName.rfind('.'));
  const std::string path = PicturePath("refs/" + stem + ".png");
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) throw std::runtime_error("cannot open " + path);
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  TRgbaPicture picture;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    throw std::runtime_error("cannot decode " + path);
  }
  png_init_io(png, file);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  picture.width = static_cast<int>(png_get_image_width(png, info));
  picture.height = static_cast<int>(png_get_image_height(png, info));
  picture.rgba.resize(static_cast<size_t>(picture.width) * picture.height * 4);
  std::vector<png_bytep> rows(static_cast<size_t>(picture.height));
  for (int y = 0; y < picture.height; ++y) rows[y] = &picture.rgba[static_cast<size_t>(y) * picture.width * 4];
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return picture;
}

Bytes EncodeWithLibpng(const TRgbaPicture& picture, bool interlaced, int level) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng could not write");
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t n) {
        auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
        o->insert(o->end(), data, data + n);
      },
      nullptr);
  png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB_ALPHA,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, level);
  png_write_info(png, info);
  std::vector<png_bytep> rows(static_cast<size_t>(picture.height));
  for (int y = 0; y < picture.height; ++y)
    rows[y] = const_cast<png_bytep>(picture.At(0, y));
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

namespace {

uint32_t GetBE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
void PutBE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// Calls visit(type, data offset, length) for each chunk.
template <typename Visit>
void ForEachChunk(const Bytes& png, Visit visit) {
  for (size_t p = 8; p + 12 <= png.size();) {
    const uint32_t length = GetBE32(&png[p]);
    if (p + 12 + length > png.size()) return;
    if (!visit(std::string(reinterpret_cast<const char*>(&png[p + 4]), 4), p + 8, length)) return;
    p += 12 + length;
  }
}

}  // namespace

Bytes ChunkData(const Bytes& png, const char* type) {
  Bytes data;
  ForEachChunk(png, [&](const std::string& t, size_t at, uint32_t length) {
    if (t != type) return true;
    data.assign(png.begin() + at, png.begin() + at + length);
    return false;
  });
  return data;
}

bool HasChunk(const Bytes& png, const char* type) {
  bool found = false;
  ForEachChunk(png, [&](const std::string& t, size_t, uint32_t) {
    found = found || t == type;
    return !found;
  });
  return found;
}

Bytes InflatedImageData(const Bytes& png) {
  Bytes joined;
  ForEachChunk(png, [&](const std::string& t, size_t at, uint32_t length) {
    if (t == "IDAT") joined.insert(joined.end(), png.begin() + at, png.begin() + at + length);
    return true;
  });
  Bytes out(1 << 24);
  uLongf size = out.size();
  if (uncompress(out.data(), &size, joined.data(), joined.size()) != Z_OK)
    throw std::runtime_error("IDAT does not inflate");
  out.resize(size);
  return out;
}

void PatchIhdrSize(Bytes& png, uint32_t width, uint32_t height) {
  PutBE32(&png[16], width);
  PutBE32(&png[20], height);
  PutBE32(&png[29], static_cast<uint32_t>(crc32(0, &png[12], 17)));
}

}  // namespace cwtest
