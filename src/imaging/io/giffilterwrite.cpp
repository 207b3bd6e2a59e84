// GIF writer: a one-frame GIF with a global palette and its comments.
#include <string>
#include <string_view>

#include "imaging/core/iebitmap.h"
#include "platform/savestream.h"
#include "imaging/core/iestreams.h"
#include "imaging/io/giffilter.h"
#include "imaging/io/giffilterblocks.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/ioparams.h"
#include "platform/gbk.h"

namespace {

constexpr int32_t kGifMaxSide = 0xFFFF;

// The first six characters of the version; missing ones from "GIF89a".
std::string HeaderVersion(const std::string& version) {
  std::string text = "GIF89a";
  for (size_t i = 0; i < text.size() && i < version.size(); ++i) text[i] = version[i];
  return text;
}

// One sub-block per line. A sub-block holds at most 255 bytes, so a longer
// line goes into several (cut between characters); an empty line is left
// out, as its zero length would end the extension.
void WriteComments(TStream* stream, const TStrings* lines, bool& abort) {
  const uint8_t start[2] = {kGifExtension, kGifComment};
  SafeStreamWrite(stream, abort, start, sizeof start);
  for (int i = 0; i < lines->Count(); ++i) {
    const std::string gbk = Utf8ToGbk(lines->Get(i));
    std::string_view rest = gbk;
    while (!rest.empty()) {
      std::string_view piece = GbkTruncate(rest, 255);
      if (piece.empty()) piece = rest.substr(0, 1);  // a lone broken byte
      const auto length = static_cast<uint8_t>(piece.size());
      SafeStreamWrite(stream, abort, &length, 1);
      SafeStreamWrite(stream, abort, piece.data(), static_cast<int64_t>(piece.size()));
      rest.remove_prefix(piece.size());
    }
  }
  const uint8_t end[2] = {0, kGifTrailer};
  SafeStreamWrite(stream, abort, end, sizeof end);
}

}  // namespace

void WriteGifStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress) {
  if (GifReport(Progress, 0)) return;
  bool localAbort = false;
  bool& abort = Progress.Aborting ? *Progress.Aborting : localAbort;
  // The header holds 16-bit sizes: a larger picture cannot be stored.
  if (Bitmap->Width <= 0 || Bitmap->Height <= 0 || Bitmap->Width > kGifMaxSide ||
      Bitmap->Height > kGifMaxSide) {
    abort = true;
    return;
  }
  TGifFrameCode frame;
  GifPrepareFrame(Bitmap, IOParams, GifWriteBits(IOParams, Bitmap), false, frame);
  if (GifReport(Progress, 30)) return;

  const std::string version = HeaderVersion(IOParams.GIF_Version);
  uint8_t header[13] = {};
  version.copy(reinterpret_cast<char*>(header), 6);
  IEPutLE16(header + 6, static_cast<uint16_t>(frame.Width));
  IEPutLE16(header + 8, static_cast<uint16_t>(frame.Height));
  header[10] = static_cast<uint8_t>(0x80 | ((frame.Bits - 1) << 4) | (frame.Bits - 1));
  header[11] = frame.Background;
  header[12] = 0;
  SafeStreamWrite(Stream, abort, header, sizeof header);
  GifWriteTable(Stream, frame, abort);
  if (GifReport(Progress, 70)) return;

  if (!GifWriteFrame(Stream, frame, IOParams, false, abort)) return;
  WriteComments(Stream, IOParams.GIF_Comments, abort);
  GifReport(Progress, 100);
}

void WriteGif(const std::string& FileName, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
              TProgressRec& Progress) {
  TSaveFileStream file(FileName);
  WriteGifStream(&file, Bitmap, IOParams, Progress);
  if (!Progress.Aborting || !*Progress.Aborting) file.Commit();
}
