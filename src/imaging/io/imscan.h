// The scanner session: lists the scanners, shows the choice of scanner,
// reads and sets their capabilities and acquires one picture, over the
// platform's scanner layer (platform/sane.h).
//
// The session walks the states a scanner exchange goes through (library
// loaded, opened, source open, enabled, transfer ready, transferring) and
// takes the picture as a series of strips of rows, each pasted into the
// bitmap with its offsets checked; strips of a picture whose height is not
// known yet are kept, within a bound, and pasted when the height is known.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imaging/core/iedefs.h"
#include "imaging/io/twainparams.h"

class TIEBitmap;
class TIOParamsVals;
class TIETWModeless;

enum TIETWState {
  twsNothing = 1,
  twsLoaded,
  twsManagerOpen,
  twsSourceOpen,
  twsEnabled,
  twsTransferReady,
  twsTransferring
};

// Called for each picture of a multi-picture acquisition.
using TIETWMultiCallBack = std::function<void(TIEBitmap* bitmap, TIOParamsVals* params)>;

// One strip of rows as the source delivers it: Columns pixels of Rows rows
// at (XOffset, YOffset), each row BytesPerRow bytes of Bytes.
struct TIETWStrip {
  int32_t Columns = 0;
  int32_t Rows = 0;
  int32_t XOffset = 0;
  int32_t YOffset = 0;
  int32_t BytesPerRow = 0;
  std::vector<uint8_t> Bytes;
};

// Pastes a strip of 1, 8 (grey) or 24 (red, green, blue) bits a pixel into
// the bitmap: 1-bit strips into an ie1g bitmap bit for bit, the others into
// an ie24RGB bitmap. The part that falls outside the bitmap is left out.
// False, writing nothing, for a strip whose depth does not fit the bitmap,
// whose offsets or sizes are negative or zero, whose rows are shorter than
// its columns need or whose bytes are fewer than its rows need.
bool IETW_PasteStrip(TIEBitmap* bitmap, const TIETWStrip& strip, int bitsPerPixel);

// The strips of a picture whose height is not known yet, bounded in bytes.
class TIETWStripList {
 public:
  explicit TIETWStripList(int64_t maxBytes) : maxBytes_(maxBytes) {}
  // False, keeping nothing, when the strip would pass the bound.
  bool Add(TIETWStrip&& strip);
  const std::vector<TIETWStrip>& Strips() const { return strips_; }
  int64_t Bytes() const { return bytes_; }
  void Clear() {
    strips_.clear();
    bytes_ = 0;
  }

 private:
  std::vector<TIETWStrip> strips_;
  int64_t bytes_ = 0;
  int64_t maxBytes_;
};

// The bound of the strips of a picture of unknown height.
constexpr int64_t IETW_MaxUnknownSizeBytes = int64_t(256) << 20;

// The first failure of an acquisition: 4 opening the source, 5 enabling it.
struct TIETWFailure {
  int Step = 0;
  int Code = 0;
};

// The state and first failure of the last acquisition, for tests and
// diagnostics.
struct TIETWLastRun {
  TIETWState FinalState = twsNothing;
  TIETWState HighestState = twsNothing;
  TIETWFailure Failure;
  bool Vanilla = false;  // 1-bit pixels arrived with set bits black
};
const TIETWLastRun& IETW_LastRun();

// Modal acquisition: the picture goes into `bitmap` (or, with `multi`, each
// picture to `onImage`). True when a picture was acquired. Stops without a
// picture when the progress record's abort flag is set, or when the
// application was told to end (its end request stays set).
bool IETW_Acquire(TIEBitmap* bitmap, bool multi, const TIETWMultiCallBack& onImage, TIETWainParams* params,
                  TIOParamsVals* ioParams, TProgressRec* progress, TIETWainShared* shared);
// The choice of scanner; `name` receives the chosen product name. False,
// leaving `name` alone, when the user cancels or there is no scanner.
bool IETW_SelectImageSource(std::string& name, TIETWainShared* shared);
// Every source with a product name, in the library's order.
void IETW_GetSourceList(std::vector<TIETWIdentity>& list, TIETWainShared* shared);
// The default source's product name; '' when there is none.
std::string IETW_GetDefaultSource(TIETWainShared* shared);
// Opens the selected source, sends the changed capabilities first when
// `setting`, then reads the capabilities into `caps`.
bool IETW_GetCapabilities(TIETWainParams* params, TIETWSourceCaps& caps, bool setting, TIETWainShared* shared);
// Modeless acquisition: opens the selected source and returns at once; the
// pages are then scanned one at a time from the message loop, each handed
// to `onImage` on the GUI thread, until the source has no more (only a
// feeder has more than one) or a page fails; then `onClose` runs and the
// acquisition ends by itself. Null when the source cannot be opened.
using TIETWCloseCallBack = std::function<void()>;
TIETWModeless* IETWAINAcquireOpen(TIETWainParams* params, TIETWainShared* shared, TIOParamsVals* ioParams,
                                  const TIETWMultiCallBack& onImage, const TIETWCloseCallBack& onClose);
// Ends an acquisition that is still open, without its close call. Null
// or an acquisition that has ended is ignored.
void IETWAINAcquireClose(TIETWModeless* acquisition);
// Stops the scanner library when this record started it.
void IETW_FreeResources(TIETWainShared* shared);
