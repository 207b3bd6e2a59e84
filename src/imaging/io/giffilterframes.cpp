// Whole-file GIF operations: inserting a frame, deleting or counting frames,
// and the animation loop block.
//
// Each builds the new file in memory from the blocks of the old one and
// writes it back only when the old one could be walked to its end, so a
// damaged file is never rewritten with parts of it missing. Files are
// replaced through a temporary file, so a failed write leaves the old one.
#include <cstring>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iestreams.h"
#include "imaging/io/giffilter.h"
#include "imaging/io/giffilterblocks.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/iefilereplace.h"
#include "imaging/io/ioparams.h"
#include "platform/sysutils.h"

namespace {

constexpr int32_t kGifMaxSide = 0xFFFF;

// The header, as version 89a or with a new logical screen, and the global
// palette.
void CopyScreen(TGifScreen screen, TStream* out) {
  screen.Header[3] = '8';
  screen.Header[4] = '9';
  screen.Header[5] = 'a';
  out->WriteBuffer(screen.Header.data(), static_cast<int64_t>(screen.Header.size()));
  if (!screen.GlobalTable.empty())
    out->WriteBuffer(screen.GlobalTable.data(), static_cast<int64_t>(screen.GlobalTable.size()));
}

void PutBytes(TStream* out, const std::vector<uint8_t>& bytes) {
  out->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// Puts what was built over the stream from `start` on and cuts it there.
void ReplaceFrom(TStream* stream, int64_t start, TMemoryStream& built, bool& abort) {
  stream->SetPosition(start);
  SafeStreamWrite(stream, abort, built.Memory(), built.GetSize());
  stream->SetSize(start + built.GetSize());
}

bool IsLoopBlock(const std::vector<uint8_t>& extension) {
  const size_t idLength = std::strlen(kGifLoopIdentifier);
  return extension.size() >= 3 + idLength && extension[1] == kGifApplication &&
         extension[2] == idLength && std::memcmp(&extension[3], kGifLoopIdentifier, idLength) == 0;
}

// Walks the extensions that stand before the first frame (the stream is
// just after the global palette) and leaves the stream at the first other
// block. Those that are not a loop block go to `kept` when given; true when
// a loop block was among them. Writers put the loop block first or after
// the first frame's graphic control block, so both places count.
bool WalkLeadingExtensions(TStream* stream, TStream* kept) {
  bool found = false;
  std::vector<uint8_t> bytes;
  for (;;) {
    const int64_t at = stream->GetPosition();
    uint8_t block = 0;
    uint8_t label = 0;
    if (!GifReadByte(stream, block) || block != kGifExtension || !GifReadByte(stream, label)) {
      stream->SetPosition(at);
      return found;
    }
    const bool complete = GifReadExtensionBytes(stream, label, bytes);
    if (IsLoopBlock(bytes))
      found = true;
    else if (kept)
      PutBytes(kept, bytes);
    if (!complete) return found;
  }
}

class TGifInserter {
 public:
  TGifInserter(TStream* stream, TIEBitmap* bitmap, TIOParamsVals& params, TProgressRec& progress,
               bool& abort)
      : stream_(stream), bitmap_(bitmap), params_(params), progress_(progress), abort_(abort) {}

  int32_t Insert() {
    const int64_t start = stream_->GetPosition();
    TGifScreen screen;
    const TGIFLZWCompFunc encode = params_.GIF_LZWCompress ? params_.GIF_LZWCompress : DefGIF_LZWCOMPFUNC;
    if (!ReadGifScreen(stream_, screen) || !encode || !Fits(bitmap_)) return Refuse(start);
    CopyScreen(screen, &built_);
    GifPrepareFrame(bitmap_, params_, GifWriteBits(params_, bitmap_), true, frame_);
    if (GifReport(progress_, 30)) return Refuse(start);

    target_ = params_.GIF_ImageIndex;
    frames_ = 0;
    if (!Walk() || abort_) return Refuse(start);
    ReplaceFrom(stream_, start, built_, abort_);
    if (!abort_) GifReport(progress_, 100);
    return frames_;
  }

 private:
  static bool Fits(const TIEBitmap* bitmap) {
    return bitmap->Width > 0 && bitmap->Height > 0 && bitmap->Width <= kGifMaxSide &&
           bitmap->Height <= kGifMaxSide;
  }

  int32_t Refuse(int64_t start) {
    stream_->SetPosition(start);
    abort_ = true;
    return 0;
  }

  void InsertHere() {
    GifWriteFrame(&built_, frame_, params_, true, abort_);
    inserted_ = true;
    ++frames_;
  }

  bool InsertsHere() const { return !inserted_ && frames_ == target_; }

  // False when frame data runs past the end of the stream.
  bool Walk() {
    std::vector<uint8_t> bytes;
    for (;;) {
      uint8_t block = 0;
      if (!GifReadByte(stream_, block) || block == kGifTrailer) {
        // Past the last frame (or no index) the new frame goes last.
        if (!inserted_) InsertHere();
        built_.WriteBuffer(&kGifTrailer, 1);
        return true;
      }
      if (block == kGifExtension) {
        uint8_t label = 0;
        if (!GifReadByte(stream_, label)) continue;  // ends at the next read
        if (label == kGifGraphicControl && InsertsHere()) InsertHere();
        GifReadExtensionBytes(stream_, label, bytes);  // a cut one is copied as it is
        PutBytes(&built_, bytes);
      } else if (block == kGifDescriptor) {
        // A first frame without a graphic control block: the new one goes
        // before it.
        if (InsertsHere()) InsertHere();
        if (!GifReadFrameBytes(stream_, bytes)) return false;
        PutBytes(&built_, bytes);
        ++frames_;
        if (InsertsHere()) {
          if (GifReport(progress_, 70)) return false;
          InsertHere();
        }
      }
    }
  }

  TStream* stream_;
  TIEBitmap* bitmap_;
  TIOParamsVals& params_;
  TProgressRec& progress_;
  bool& abort_;
  TMemoryStream built_;
  TGifFrameCode frame_;
  int32_t target_ = 0;
  int32_t frames_ = 0;  // old and new
  bool inserted_ = false;
};

}  // namespace

int32_t _InsertGifImStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                           TProgressRec& Progress) {
  if (GifReport(Progress, 0)) return 0;
  bool localAbort = false;
  bool& abort = Progress.Aborting ? *Progress.Aborting : localAbort;
  TGifInserter inserter(Stream, Bitmap, IOParams, Progress, abort);
  return inserter.Insert();
}

int32_t _InsertGifIm(const std::string& FileName, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                     TProgressRec& Progress) {
  TMemoryStream work;
  work.LoadFromFile(FileName);
  const int32_t frames = _InsertGifImStream(&work, Bitmap, IOParams, Progress);
  if (frames <= 0 || (Progress.Aborting && *Progress.Aborting)) return frames;
  if (!IEReplaceFile(FileName, work)) throw EFCreateError("Cannot create file \"" + FileName + "\"");
  return frames;
}

int32_t _DeleteGifIm(const std::string& FileName, int32_t Index, bool Save) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  TGifScreen screen;
  if (!ReadGifScreen(&file, screen)) return 0;
  TMemoryStream built;
  CopyScreen(screen, &built);
  int32_t counter = 0;
  int32_t kept = 0;
  bool complete = false;
  std::vector<uint8_t> bytes;
  for (;;) {
    uint8_t block = 0;
    if (!GifReadByte(&file, block) || block == kGifTrailer) {
      built.WriteBuffer(&kGifTrailer, 1);
      complete = true;
      break;
    }
    if (block == kGifExtension) {
      uint8_t label = 0;
      if (!GifReadByte(&file, label) || !GifReadExtensionBytes(&file, label, bytes)) break;
      if (!(label == kGifGraphicControl && counter == Index)) PutBytes(&built, bytes);
    } else if (block == kGifDescriptor) {
      if (!GifReadFrameBytes(&file, bytes)) break;
      if (counter != Index) {
        PutBytes(&built, bytes);
        ++kept;
      }
      ++counter;
    }
  }
  if (Save && (!complete || !IEReplaceFile(FileName, built))) return 0;
  return kept;
}

bool _CheckGifAnimate(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  TGifScreen screen;
  return ReadGifScreen(&file, screen) && WalkLeadingExtensions(&file, nullptr);
}

void _GifMakeAnimate(const std::string& FileName, int32_t Loops, int32_t Width, int32_t Height) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  TGifScreen screen;
  if (!ReadGifScreen(&file, screen)) return;
  IEPutLE16(screen.Header.data() + 6, static_cast<uint16_t>(Width));
  IEPutLE16(screen.Header.data() + 8, static_cast<uint16_t>(Height));
  TMemoryStream built;
  CopyScreen(screen, &built);
  uint8_t loop[19] = {kGifExtension, kGifApplication, 11};
  std::memcpy(loop + 3, kGifLoopIdentifier, 11);
  loop[14] = 3;
  loop[15] = 1;
  IEPutLE16(loop + 16, static_cast<uint16_t>(Loops));
  loop[18] = 0;
  built.WriteBuffer(loop, sizeof loop);
  WalkLeadingExtensions(&file, &built);
  const int64_t rest = IEStreamBytesLeft(&file);
  if (rest > 0) built.CopyFrom(&file, rest);
  IEReplaceFile(FileName, built);
}
