// Picture files of the stock data, encoded from plain pixel rows: the
// generators in this folder share them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pixels are rows of red, green, blue bytes, top row first.
using Pixels = std::vector<uint8_t>;

// A baseline JPEG file at quality 75.
std::string EncodeJpeg(const Pixels& rgb, int width, int height);
// A 24-bit BMP file: rows bottom-up in blue, green, red, padded to 4 bytes.
std::string EncodeBmp(const Pixels& rgb, int width, int height);
// Writes `bytes` to `path`; false when the file cannot be written whole.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
