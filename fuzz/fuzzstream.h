// What every picture-reader fuzz target needs: the input as a memory
// stream, a fresh bitmap in memory, parameters and a progress record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/core/iebitmap.h"
#include "imaging/io/ioparams.h"
#include "platform/classes.h"

struct TFuzzInput {
  TFuzzInput(const uint8_t* data, size_t size) {
    stream.Write(data, static_cast<int64_t>(size));
    stream.SetPosition(0);
    bitmap.Location = ieMemory;
    progress.Aborting = &aborting;
  }

  TMemoryStream stream;
  TIEBitmap bitmap;
  TIOParamsVals params{nullptr};
  TProgressRec progress;
  bool aborting = false;
};
