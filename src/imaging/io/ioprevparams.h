// The pages of the save-parameters dialog a caller asks for (a set).
#pragma once

#include <cstdint>

enum : uint16_t {
  ppALL = 1u << 0,
  // Adds the page of the parameters' own file type.
  ppAUTO = 1u << 1,
  ppJPEG = 1u << 2,
  ppTIFF = 1u << 3,
  ppGIF = 1u << 4,
  ppBMP = 1u << 5,
  ppPCX = 1u << 6,
  ppPNG = 1u << 7,
  ppTGA = 1u << 8,
  ppJ2000 = 1u << 9,
};
using TPreviewParams = uint16_t;
