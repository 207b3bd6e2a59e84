#include "imaging/io/jpegglue.h"

#include <cstring>

#include <jerror.h>

#include "imaging/io/jpegfilt.h"

namespace {

TIEJpegError& ErrorOf(j_common_ptr cinfo) { return *reinterpret_cast<TIEJpegError*>(cinfo->err); }

void ErrorExit(j_common_ptr cinfo) {
  TIEJpegError& error = ErrorOf(cinfo);
  if (error.aborting) *error.aborting = true;
  std::longjmp(error.jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  if (level != -1) return;
  TIEJpegError& error = ErrorOf(cinfo);
  ++error.pub.num_warnings;
  error.lastWarning = error.pub.msg_code;
}

void OutputMessage(j_common_ptr) {}
void FormatMessage(j_common_ptr, char* buffer) { buffer[0] = '\0'; }

void ResetError(j_common_ptr cinfo) {
  cinfo->err->num_warnings = 0;
  cinfo->err->msg_code = 0;
}

// Source manager -------------------------------------------------------------------------

void InitSource(j_decompress_ptr cinfo) {
  reinterpret_cast<TIEJpegSource*>(cinfo->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  auto& src = *reinterpret_cast<TIEJpegSource*>(cinfo->src);
  int64_t got = 0;
  bool failed = false;
  try {
    got = src.stream->Read(src.buffer, kIEJpegBufferSize);
  } catch (...) {
    src.error->streamError = std::current_exception();
    failed = true;
  }
  if (failed) ERREXIT(cinfo, JERR_FILE_READ);
  if (got <= 0) {
    if (src.startOfFile && src.aborting) *src.aborting = true;
    // A fake end of image lets libjpeg finish what it has, with a warning.
    src.buffer[0] = 0xFF;
    src.buffer[1] = JPEG_EOI;
    got = 2;
  }
  src.pub.next_input_byte = src.buffer;
  src.pub.bytes_in_buffer = static_cast<size_t>(got);
  src.startOfFile = false;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  while (count > static_cast<long>(src->bytes_in_buffer)) {
    count -= static_cast<long>(src->bytes_in_buffer);
    FillInputBuffer(cinfo);
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

// Destination manager ----------------------------------------------------------------------

void InitDestination(j_compress_ptr cinfo) {
  auto& dst = *reinterpret_cast<TIEJpegDestination*>(cinfo->dest);
  dst.buffer.resize(kIEJpegBufferSize);
  dst.pub.next_output_byte = dst.buffer.data();
  dst.pub.free_in_buffer = dst.buffer.size();
}

// Writes count bytes of the buffer; a short write sets the abort flag.
void WriteOut(j_compress_ptr cinfo, size_t count) {
  auto& dst = *reinterpret_cast<TIEJpegDestination*>(cinfo->dest);
  bool failed = false;
  try {
    const int64_t put = dst.stream->Write(dst.buffer.data(), static_cast<int64_t>(count));
    if (put != static_cast<int64_t>(count) && dst.aborting) *dst.aborting = true;
  } catch (...) {
    dst.error->streamError = std::current_exception();
    failed = true;
  }
  if (failed) ERREXIT(cinfo, JERR_FILE_WRITE);
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto& dst = *reinterpret_cast<TIEJpegDestination*>(cinfo->dest);
  WriteOut(cinfo, dst.buffer.size());
  dst.pub.next_output_byte = dst.buffer.data();
  dst.pub.free_in_buffer = dst.buffer.size();
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto& dst = *reinterpret_cast<TIEJpegDestination*>(cinfo->dest);
  WriteOut(cinfo, dst.buffer.size() - dst.pub.free_in_buffer);
}

}  // namespace

jpeg_error_mgr* IEJpegErrorManager(TIEJpegError& error, bool* aborting) {
  jpeg_std_error(&error.pub);
  error.pub.error_exit = ErrorExit;
  error.pub.emit_message = EmitMessage;
  error.pub.output_message = OutputMessage;
  error.pub.format_message = FormatMessage;
  error.pub.reset_error_mgr = ResetError;
  error.aborting = aborting;
  return &error.pub;
}

void IEJpegRaise(TIEJpegError& error) {
  if (error.streamError) std::rethrow_exception(error.streamError);
  throw EIEJpegException(IEJpegCorruptedMessage);
}

void IEJpegStreamSource(j_decompress_ptr cinfo, TIEJpegSource& source) {
  source.pub.init_source = InitSource;
  source.pub.fill_input_buffer = FillInputBuffer;
  source.pub.skip_input_data = SkipInputData;
  source.pub.resync_to_restart = jpeg_resync_to_restart;
  source.pub.term_source = TermSource;
  source.pub.bytes_in_buffer = 0;
  source.pub.next_input_byte = nullptr;
  cinfo->src = &source.pub;
}

void IEJpegStreamDestination(j_compress_ptr cinfo, TIEJpegDestination& destination) {
  destination.pub.init_destination = InitDestination;
  destination.pub.empty_output_buffer = EmptyOutputBuffer;
  destination.pub.term_destination = TermDestination;
  cinfo->dest = &destination.pub;
}
