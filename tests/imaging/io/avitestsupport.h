// Helpers of the AVI tests: running ffmpeg and ffprobe, building frames
// and comparing our decodes with ffmpeg's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"

namespace cwtest {

// Runs a shell command and gives what it wrote to its standard output;
// raises when it fails.
std::string RunCapture(const std::string& command);

// ffmpeg's decode of every frame of each video as RGB bytes, top row
// first (one ffmpeg run for all).
std::vector<std::vector<uint8_t>> FfmpegRgbFrames(const std::vector<std::string>& paths);

// ffprobe's view of each video's first stream: "width,height,rate,frames"
// (one shell for all).
std::vector<std::string> FfprobeVideos(const std::vector<std::string>& paths);

// A picture whose pixels depend on the frame number.
void PatternFrame(TIEBitmap& bitmap, int width, int height, TIEPixelFormat format, int frame);

// Largest and mean channel differences between our picture and frame
// number frame of an RGB byte sequence.
struct TFrameDifference {
  int max = 0;
  double mean = 0;
};
TFrameDifference CompareWithRgb(TIEBitmap& bitmap, const std::vector<uint8_t>& rgb, int frame);

}  // namespace cwtest
