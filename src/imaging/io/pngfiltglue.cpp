#include "imaging/io/pngfiltglue.h"

namespace {

TIEPngIO& IOOf(png_structp png) { return *static_cast<TIEPngIO*>(png_get_io_ptr(png)); }

void ErrorHandler(png_structp png, png_const_charp) {
  auto* io = static_cast<TIEPngIO*>(png_get_error_ptr(png));
  if (io && io->setAbortOnError && io->aborting) *io->aborting = true;
  png_longjmp(png, 1);
}

void WarningHandler(png_structp, png_const_charp) {}

// A short read is damage: handing libpng bytes that were never read would
// decode garbage.
void ReadData(png_structp png, png_bytep data, size_t length) {
  TIEPngIO& io = IOOf(png);
  bool failed = false;
  int64_t got = 0;
  try {
    got = io.stream->Read(data, static_cast<int64_t>(length));
  } catch (...) {
    io.streamError = std::current_exception();
    failed = true;
  }
  // png_error leaves by a jump: never from inside the catch block.
  if (failed) png_error(png, "stream read failed");
  if (got != static_cast<int64_t>(length)) png_error(png, "unexpected end of data");
}

void WriteData(png_structp png, png_bytep data, size_t length) {
  TIEPngIO& io = IOOf(png);
  bool failed = false;
  try {
    if (io.stream->Write(data, static_cast<int64_t>(length)) < static_cast<int64_t>(length) &&
        io.aborting)
      *io.aborting = true;
  } catch (...) {
    io.streamError = std::current_exception();
    failed = true;
  }
  if (failed) png_error(png, "stream write failed");
}

void FlushData(png_structp) {}

}  // namespace

png_structp IEPngCreateRead(TIEPngIO& io) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &io, ErrorHandler, WarningHandler);
  if (png) png_set_read_fn(png, &io, ReadData);
  return png;
}

png_structp IEPngCreateWrite(TIEPngIO& io) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &io, ErrorHandler, WarningHandler);
  if (png) png_set_write_fn(png, &io, WriteData, FlushData);
  return png;
}
