// Scanning into the attached picture.
#include "imaging/core/iebitmap.h"
#include "imaging/core/ieview.h"
#include "imaging/io/imscan.h"
#include "imaging/io/pixio.h"
#include "imaging/io/twainparams.h"

bool TPixIO::Acquire() {
  // The scanner is busy with the modeless acquisition.
  if (ModelessAcquire) return true;
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

bool TPixIO::AcquireOpen() {
  if (ModelessAcquire || !AttachedPix) return false;
  Aborting = false;
  TWainParams->FreeResources();
  ModelessAcquire = IETWAINAcquireOpen(
      TWainParams, &TWainParams->Shared, IOParams,
      [this](TIEBitmap* bitmap, TIOParamsVals* params) { TWMultiCallBack(bitmap, params); },
      [this] { TWCloseCallBack(); });
  return ModelessAcquire != nullptr;
}

void TPixIO::AcquireClose() {
  if (!ModelessAcquire) return;
  IETWAINAcquireClose(ModelessAcquire);
  ModelessAcquire = nullptr;
}

void TPixIO::TWMultiCallBack(TIEBitmap* Bitmap, TIOParamsVals*) {
  Rewrap();
  bool handled = false;
  DoAcquireBitmap(Bitmap, handled);
  if (handled || !IEBitmap) return;
  // The scanner layer fills the component's own parameters.
  IEBitmap->Assign(Bitmap);
  if (AutoAdjustDPI) AdjustDPI();
  Update();
}

void TPixIO::TWCloseCallBack() { ModelessAcquire = nullptr; }

void TPixIO::DoAcquireBitmap(TIEBitmap* Bitmap, bool& Handled) {
  if (OnAcquireBitmap) OnAcquireBitmap(this, Bitmap, Handled);
}
