// OpenJPEG streams over TStream, shared by the JPEG 2000 reader and writer.
#pragma once

#include <openjpeg.h>

#include <memory>

class TStream;

struct TIEOpjStreamDeleter {
  void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};
struct TIEOpjCodecDeleter {
  void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct TIEOpjImageDeleter {
  void operator()(opj_image_t* i) const { opj_image_destroy(i); }
};
using TIEOpjStream = std::unique_ptr<opj_stream_t, TIEOpjStreamDeleter>;
using TIEOpjCodec = std::unique_ptr<opj_codec_t, TIEOpjCodecDeleter>;
using TIEOpjImage = std::unique_ptr<opj_image_t, TIEOpjImageDeleter>;

// A stream reading (input) or writing at the TStream's current position;
// positions OpenJPEG seeks to are relative to that start. The TStream stays
// with its owner.
TIEOpjStream IEOpenOpjStream(TStream* stream, bool input);

// Sends the codec's messages nowhere.
void IEQuietOpjCodec(opj_codec_t* codec);
