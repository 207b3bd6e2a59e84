// What the per-format wrappers of TPixIO tell the load template; shared by
// the files that hold one format's wrappers each.
#pragma once

#include "imaging/io/ieformats.h"
#include "imaging/io/pixio.h"

// What distinguishes one format's load from the template.
struct TPixIO::TLoadKind {
  TIEFileType FileType;
  // The codec exchanges transparency through a mask.
  bool Alpha;
  // The stream form also hands the resolution to the view.
  bool StreamSetsViewDPI;
};

inline constexpr bool kIELoadAlpha = true;
inline constexpr bool kIELoadNoAlpha = false;
