#include "avitestsupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace cwtest {

std::string RunCapture(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run: " + command);
  std::string out;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  if (pclose(pipe) != 0) throw std::runtime_error("command failed: " + command);
  return out;
}

std::vector<std::vector<uint8_t>> FfmpegRgbFrames(const std::vector<std::string>& paths) {
  std::string command = "ffmpeg -v error -y";
  for (const std::string& path : paths) command += " -i '" + path + "'";
  for (size_t i = 0; i < paths.size(); ++i)
    command += " -map " + std::to_string(i) + ":v -f rawvideo -pix_fmt rgb24 '" + paths[i] + ".rgb'";
  RunCapture(command);
  std::vector<std::vector<uint8_t>> frames;
  for (const std::string& path : paths) {
    std::ifstream in(path + ".rgb", std::ios::binary);
    frames.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return frames;
}

std::vector<std::string> FfprobeVideos(const std::vector<std::string>& paths) {
  std::string command = "for f in";
  for (const std::string& path : paths) command += " '" + path + "'";
  command +=
      "; do ffprobe -v error -select_streams v:0 -count_frames -show_entries "
      "stream=width,height,r_frame_rate,nb_read_frames -of csv=p=0 \"$f\" || exit 1; done";
  std::vector<std::string> lines;
  std::istringstream out(RunCapture(command));
  for (std::string line; std::getline(out, line);) {
    while (!line.empty() && line.back() == ',') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void PatternFrame(TIEBitmap& bitmap, int width, int height, TIEPixelFormat format, int frame) {
  bitmap.Allocate(width, height, format);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (format == ie1g)
        bitmap.SetPixels_ie1g(x, y, ((x + y + frame) % 3) == 0);
      else
        bitmap.SetPixels_ie24RGB(x, y, TRGB{uint8_t(x * 7 + frame * 40), uint8_t(y * 11), uint8_t(x * y + frame)});
    }
}

TFrameDifference CompareWithRgb(TIEBitmap& bitmap, const std::vector<uint8_t>& rgb, int frame) {
  TFrameDifference d;
  const size_t frameBytes = size_t(bitmap.Width) * bitmap.Height * 3;
  if (rgb.size() < frameBytes * size_t(frame + 1)) return {256, 256};
  const uint8_t* p = rgb.data() + frameBytes * size_t(frame);
  double sum = 0;
  for (int y = 0; y < bitmap.Height; ++y)
    for (int x = 0; x < bitmap.Width; ++x, p += 3) {
      const TRGB c = bitmap.GetPixels(x, y);
      const int diffs[3] = {std::abs(c.r - p[0]), std::abs(c.g - p[1]), std::abs(c.b - p[2])};
      for (const int v : diffs) {
        d.max = std::max(d.max, v);
        sum += v;
      }
    }
  d.mean = sum / double(frameBytes);
  return d;
}

}  // namespace cwtest
