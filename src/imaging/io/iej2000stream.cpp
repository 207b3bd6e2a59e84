#include "imaging/io/iej2000stream.h"

#include "platform/classes.h"

namespace {

struct TBinding {
  TStream* Stream;
  int64_t Start;
};

OPJ_SIZE_T ReadBytes(void* buffer, OPJ_SIZE_T count, void* user) {
  auto* b = static_cast<TBinding*>(user);
  const int64_t got = b->Stream->Read(buffer, static_cast<int64_t>(count));
  return got > 0 ? static_cast<OPJ_SIZE_T>(got) : static_cast<OPJ_SIZE_T>(-1);
}

OPJ_SIZE_T WriteBytes(void* buffer, OPJ_SIZE_T count, void* user) {
  auto* b = static_cast<TBinding*>(user);
  const int64_t put = b->Stream->Write(buffer, static_cast<int64_t>(count));
  return put >= 0 ? static_cast<OPJ_SIZE_T>(put) : static_cast<OPJ_SIZE_T>(-1);
}

OPJ_OFF_T SkipBytes(OPJ_OFF_T count, void* user) {
  auto* b = static_cast<TBinding*>(user);
  const int64_t from = b->Stream->GetPosition();
  int64_t to = from + count;
  if (to < b->Start) return -1;
  b->Stream->SetPosition(to);
  return b->Stream->GetPosition() - from;
}

OPJ_BOOL SeekTo(OPJ_OFF_T position, void* user) {
  auto* b = static_cast<TBinding*>(user);
  if (position < 0) return OPJ_FALSE;
  b->Stream->SetPosition(b->Start + position);
  return b->Stream->GetPosition() == b->Start + position ? OPJ_TRUE : OPJ_FALSE;
}

void FreeBinding(void* user) { delete static_cast<TBinding*>(user); }

void Silent(const char*, void*) {}

}  // namespace

TIEOpjStream IEOpenOpjStream(TStream* stream, bool input) {
  TIEOpjStream s(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, input ? OPJ_TRUE : OPJ_FALSE));
  if (!s) return s;
  auto* binding = new TBinding{stream, stream->GetPosition()};
  opj_stream_set_user_data(s.get(), binding, FreeBinding);
  if (input) {
    opj_stream_set_read_function(s.get(), ReadBytes);
    const int64_t left = stream->GetSize() - binding->Start;
    opj_stream_set_user_data_length(s.get(), static_cast<OPJ_UINT64>(left > 0 ? left : 0));
  } else {
    opj_stream_set_write_function(s.get(), WriteBytes);
  }
  opj_stream_set_skip_function(s.get(), SkipBytes);
  opj_stream_set_seek_function(s.get(), SeekTo);
  return s;
}

void IEQuietOpjCodec(opj_codec_t* codec) {
  opj_set_info_handler(codec, Silent, nullptr);
  opj_set_warning_handler(codec, Silent, nullptr);
  opj_set_error_handler(codec, Silent, nullptr);
}
