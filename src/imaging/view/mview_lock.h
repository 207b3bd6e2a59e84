// Scoped hold of the imaging library's one lock, for the thumbnail view and
// its loaders.
#pragma once

#include "imaging/core/iethreadcs.h"

class TIEMViewLock {
 public:
  TIEMViewLock() { gThreadCS.Enter(); }
  ~TIEMViewLock() { gThreadCS.Leave(); }
  TIEMViewLock(const TIEMViewLock&) = delete;
  TIEMViewLock& operator=(const TIEMViewLock&) = delete;
};

// Lets go of the lock for a stretch (a callback, a decode) and takes it
// again, also when the stretch throws.
class TIEMViewUnlock {
 public:
  TIEMViewUnlock() { gThreadCS.Leave(); }
  ~TIEMViewUnlock() { gThreadCS.Enter(); }
  TIEMViewUnlock(const TIEMViewUnlock&) = delete;
  TIEMViewUnlock& operator=(const TIEMViewUnlock&) = delete;
};
