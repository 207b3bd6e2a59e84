// Shared records of the imaging library: the pixel record, the progress
// record and the small enumerations that nearly every unit names.
#pragma once

#include <cstdint>
#include <functional>

#include "imaging/core/iemsg.h"
#include "imaging/core/iethreadcs.h"
#include "platform/sysutils.h"

// One pixel of a 24-bit row: blue, green, red, no padding.
#pragma pack(push, 1)
struct TRGB {
  uint8_t b;
  uint8_t g;
  uint8_t r;
  friend bool operator==(const TRGB&, const TRGB&) = default;
};
static_assert(sizeof(TRGB) == 3);

// Lightness 0..255 for 0..100; a and b signed.
struct TIELAB {
  uint8_t l;
  int8_t a;
  int8_t b;
};
static_assert(sizeof(TIELAB) == 3);
#pragma pack(pop)

using pboolean = bool*;

using TIEProgressEvent = std::function<void(TObject* Sender, int per)>;

enum TIEJob { iejNOTHING, iejGENERALPROCESSING, iejVIDEOCAP_CONNECTING };
using TIEJobEvent = std::function<void(TObject* Sender, TIEJob job, int per)>;

enum TResampleFilter {
  rfNone,
  rfTriangle,
  rfHermite,
  rfBell,
  rfBSpline,
  rfLanczos3,
  rfMitchell,
  rfNearest,
  rfLinear,
  rfFastLinear
};

// Progress of a long operation: after each unit the operation reports
// OnProgress(Sender, Trunc(Counter * Percent)) and stops when *Aborting.
struct TProgressRec {
  TIEProgressEvent OnProgress;
  TObject* Sender = nullptr;
  int32_t Counter = 0;
  int32_t Total = 0;
  double Percent = 0;
  pboolean Aborting = nullptr;
};

// Reports one more unit done; true when the caller asked to abort.
inline bool IEProgressStep(TProgressRec& progress) {
  ++progress.Counter;
  if (progress.OnProgress)
    progress.OnProgress(progress.Sender, static_cast<int>(progress.Counter * progress.Percent));
  return progress.Aborting && *progress.Aborting;
}
