// Content tests that belong to the codec units. The content test runs them,
// in this list's order, after its own header probes; a codec adds its test
// with one line in iecodecprobes.cpp.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/io/ieformats.h"

struct TIECodecProbe {
  TIEFileType FileType;
  // The test runs only on streams longer than this many bytes.
  int64_t SizeAbove;
  TIETryImageStream Test;
};

const std::vector<TIECodecProbe>& IECodecProbes();
