// Scanning into the attached picture.
#include "imaging/core/iebitmap.h"
#include "imaging/core/ieview.h"
#include "imaging/io/imscan.h"
#include "imaging/io/pixio.h"
#include "imaging/io/twainparams.h"

bool TPixIO::Acquire() {
  Aborting = false;
  bool result = false;
  if (!IEBitmap) {
    FinishWork();
    return false;
  }
  try {
    TProgressRec progress = MakeProgress();
    Rewrap();
    result = IETW_Acquire(IEBitmap, false, {}, TWainParams, IOParams, &progress, &TWainParams->Shared);
    if (result) {
      if (AutoAdjustDPI) AdjustDPI();
      SetViewDPI();
    }
    Update();
  } catch (...) {
    FinishWork();
    throw;
  }
  FinishWork();
  return result;
}

bool TPixIO::SelectAcquireSource() {
  std::string name = TWainParams->GetSourceName(TWainParams->SelectedSource);
  // A cancelled choice keeps the scanner: an empty name would select the
  // first source.
  if (!IETW_SelectImageSource(name, &TWainParams->Shared)) return false;
  TWainParams->SelectSourceByName(name);
  return true;
}
