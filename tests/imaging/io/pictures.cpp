#include "pictures.h"

#include <png.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/testenv.h"

namespace cwtest {

std::string PicturePath(const std::string& name) { return DataPath("pictures/" + name).string(); }

std::string CaseName(const std::string& fileName) {
  std::string name = fileName;
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TRgbaPicture LoadPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str()))
    throw std::runtime_error("cannot read " + path);
  image.format = PNG_FORMAT_RGBA;
  TRgbaPicture picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr))
    throw std::runtime_error("cannot decode " + path);
  return picture;
}

TRgbaPicture LoadReference(const std::string& pictureName) {
  const std::string stem = pictureName.substr(0, pictureName.rfind('.'));
  return LoadPng(PicturePath("refs/" + stem + ".png"));
}

std::vector<TRgbaPicture> DecodeIndependently(const std::vector<std::string>& paths) {
  TempDir dir;
  // The system interpreter carries the packaged imaging module; one run
  // decodes every file, each into <folder>/<index>.png.
  std::string command = "/usr/bin/python3 -c \"import sys; from PIL import Image; "
                        "[Image.open(p).convert('RGB').save(sys.argv[1] + '/%d.png' % i) "
                        "for i, p in enumerate(sys.argv[2:])]\" '" + dir.path().string() + "'";
  for (const std::string& path : paths) command += " '" + path + "'";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("outside decoder failed");
  std::vector<TRgbaPicture> pictures;
  for (size_t i = 0; i < paths.size(); ++i)
    pictures.push_back(LoadPng(dir.file(std::to_string(i) + ".png")));
  return pictures;
}

TToolRun RunTool(const std::string& command) {
  TToolRun run;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  run.status = ::pclose(pipe);
  return run;
}

TRgbaPicture ToRgba(TIEBitmap& bitmap) {
  TRgbaPicture picture;
  picture.width = bitmap.Width;
  picture.height = bitmap.Height;
  picture.rgba.resize(static_cast<size_t>(bitmap.Width) * bitmap.Height * 4);
  for (int y = 0; y < bitmap.Height; ++y) {
    for (int x = 0; x < bitmap.Width; ++x) {
      const TRGB c = bitmap.GetPixels(x, y);
      uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * bitmap.Width + x) * 4];
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
      p[3] = 255;
    }
  }
  return picture;
}

int MaxChannelDifference(const TRgbaPicture& a, const TRgbaPicture& b) {
  if (a.width != b.width || a.height != b.height) return 256;
  int worst = 0;
  for (size_t i = 0; i < a.rgba.size(); i += 4) {
    if (a.rgba[i + 3] == 0 || b.rgba[i + 3] == 0) continue;  // colour of clear pixels is free
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(a.rgba[i + c] - b.rgba[i + c]));
  }
  return worst;
}

int64_t TShortStream::Write(const void* buffer, int64_t count) {
  const int64_t n = std::min(count, budget_);
  budget_ -= n;
  return n > 0 ? TMemoryStream::Write(buffer, n) : 0;
}

}  // namespace cwtest
