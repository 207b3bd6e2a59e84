// The program's side of libpng: stream callbacks and error handlers. libpng
// is C, so no C++ exception may cross it: its error handler jumps back to
// IEPngProtect, and a stream failure met inside a callback is kept and
// raised again once libpng has been left.
#pragma once

#include <csetjmp>
#include <exception>

#include <png.h>

#include "platform/classes.h"

// libpng's I/O and error pointer for one read or write.
struct TIEPngIO {
  TStream* stream = nullptr;
  bool* aborting = nullptr;         // set on libpng errors (reading) and short writes
  bool setAbortOnError = true;      // reading only: the writer raises instead
  std::exception_ptr streamError;   // a stream failure met inside a callback
};

png_structp IEPngCreateRead(TIEPngIO& io);
png_structp IEPngCreateWrite(TIEPngIO& io);

// Runs body and returns false when libpng reported an error inside it. The
// body must keep no object with a destructor alive across libpng calls:
// the error handler jumps over such frames.
template <typename Body>
bool IEPngProtect(png_structp png, Body&& body) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  body();
  return true;
}
