// The program's side of libjpeg: an error manager whose error exit jumps
// back to our code (the library is C, so no C++ exception may cross it),
// and source and destination managers over a TStream in 65,536-byte
// blocks. IEJpegProtect is the one place that catches those jumps; its
// caller turns them into EIEJpegException or into a stream error caught
// inside a callback.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <vector>

#include <jpeglib.h>

#include "platform/classes.h"

constexpr size_t kIEJpegBufferSize = 65536;

struct TIEJpegError {
  jpeg_error_mgr pub{};
  bool* aborting = nullptr;  // set on every error; may be nil
  int lastWarning = 0;
  std::jmp_buf jump{};
  std::exception_ptr streamError;  // a stream failure met inside a callback
};

// Installs the handlers into cinfo->err (call before creating the object).
jpeg_error_mgr* IEJpegErrorManager(TIEJpegError& error, bool* aborting);

// Runs body and returns false when libjpeg reported an error inside it.
// The body must keep no object with a destructor alive across libjpeg
// calls: the error exit jumps over such frames.
template <typename Body>
bool IEJpegProtect(TIEJpegError& error, Body&& body) {
  if (setjmp(error.jump) != 0) return false;
  body();
  return true;
}

// Raises the stream error caught inside a callback, else EIEJpegException.
[[noreturn]] void IEJpegRaise(TIEJpegError& error);

struct TIEJpegSource {
  jpeg_source_mgr pub{};
  TStream* stream = nullptr;
  bool startOfFile = true;
  bool* aborting = nullptr;
  TIEJpegError* error = nullptr;
  JOCTET buffer[kIEJpegBufferSize];
};
void IEJpegStreamSource(j_decompress_ptr cinfo, TIEJpegSource& source);

struct TIEJpegDestination {
  jpeg_destination_mgr pub{};
  TStream* stream = nullptr;
  bool* aborting = nullptr;
  TIEJpegError* error = nullptr;
  std::vector<JOCTET> buffer;
};
void IEJpegStreamDestination(j_compress_ptr cinfo, TIEJpegDestination& destination);
