// Lossless JPEG transforms on the DCT coefficients through TurboJPEG:
// flips, transposition, rotations and cropping, with marker copying.
#include <turbojpeg.h>

#include <algorithm>
#include <vector>

#include "imaging/core/iestreams.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/jpegfilt.h"
#include "platform/jpegsize.h"

namespace {

// TurboJPEG's operation for each transform; jtCut only crops.
int TransformOperation(TIEJpegTransform transform) {
  switch (transform) {
    case jtHorizFlip: return TJXOP_HFLIP;
    case jtVertFlip: return TJXOP_VFLIP;
    case jtTranspose: return TJXOP_TRANSPOSE;
    case jtTransverse: return TJXOP_TRANSVERSE;
    case jtRotate90: return TJXOP_ROT90;
    case jtRotate180: return TJXOP_ROT180;
    case jtRotate270: return TJXOP_ROT270;
    default: return TJXOP_NONE;
  }
}

// The crop region of CutRect (inclusive corners) inside the picture, its
// left and top moved out to the block grid the coefficients allow.
bool CropRegion(tjhandle handle, const std::vector<uint8_t>& jpeg, const TRect& cut,
                tjregion& region) {
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &width, &height, &subsampling,
                          &colorspace) != 0 ||
      subsampling < 0 || subsampling >= TJ_NUMSAMP)
    return false;
  const int left = std::max(0, cut.Left);
  const int top = std::max(0, cut.Top);
  const int right = std::min(width - 1, cut.Right);
  const int bottom = std::min(height - 1, cut.Bottom);
  if (right < left || bottom < top) return false;
  region.x = left - left % tjMCUWidth[subsampling];
  region.y = top - top % tjMCUHeight[subsampling];
  region.w = right - region.x + 1;
  region.h = bottom - region.y + 1;
  return true;
}

// Length of the segment whose marker starts at p (marker bytes included),
// 0 when it is no well-formed header segment.
size_t SegmentLength(const std::vector<uint8_t>& jpeg, size_t p) {
  if (p + 4 > jpeg.size() || jpeg[p] != 0xFF) return 0;
  const size_t length = IEGetBE16(&jpeg[p + 2]);
  if (length < 2 || p + 2 + length > jpeg.size()) return 0;
  return 2 + length;
}

// Copies the comment segments of the source's header into the target,
// after its start of image and the application segments that follow it.
void CopyComments(const std::vector<uint8_t>& source, std::vector<uint8_t>& target) {
  std::vector<uint8_t> comments;
  for (size_t p = 2; p + 1 < source.size() && source[p + 1] != 0xDA;) {
    const size_t length = SegmentLength(source, p);
    if (length == 0) break;
    if (source[p + 1] == 0xFE) comments.insert(comments.end(), &source[p], &source[p] + length);
    p += length;
  }
  size_t at = 2;
  while (at + 1 < target.size() && target[at + 1] >= 0xE0 && target[at + 1] <= 0xEF) {
    const size_t length = SegmentLength(target, at);
    if (length == 0) break;
    at += length;
  }
  target.insert(target.begin() + static_cast<std::ptrdiff_t>(at), comments.begin(),
                comments.end());
}

// Reads the JPEG from the stream's SOI to its end; false when none is found.
bool ReadJpeg(TStream* stream, std::vector<uint8_t>& jpeg) {
  const int64_t soi = JpegTryStream(stream);
  if (soi < 0) return false;
  stream->Seek(soi, soBeginning);
  jpeg.resize(static_cast<size_t>(IEStreamBytesLeft(stream)));
  return IEReadExact(stream, jpeg.data(), static_cast<int64_t>(jpeg.size()));
}

// The header's size checked against the data, as every JPEG reader does
// before the decoder works by it.
bool HeaderFitsData(tjhandle handle, const std::vector<uint8_t>& jpeg) {
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  return tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &width, &height, &subsampling,
                             &colorspace) == 0 &&
         JpegDataCanFill(width, height, static_cast<int64_t>(jpeg.size()));
}

bool RunTransform(TStream* in, TStream* out, TProgressRec& progress, TIEJpegTransform transform,
               bool grayScale, TIEJpegCopyMarkers copyMarkers, const TRect& cut) {
  std::vector<uint8_t> jpeg;
  if (!ReadJpeg(in, jpeg)) return false;
  tjhandle handle = tjInitTransform();
  if (!handle) return false;
  if (!HeaderFitsData(handle, jpeg)) {
    tjDestroy(handle);
    return false;
  }
  tjtransform request{};
  request.op = TransformOperation(transform);
  request.options = TJXOPT_TRIM;
  if (grayScale) request.options |= TJXOPT_GRAY;
  if (copyMarkers != jcCopyAll) request.options |= TJXOPT_COPYNONE;
  bool ok = transform != jtCut || CropRegion(handle, jpeg, cut, request.r);
  if (transform == jtCut) request.options |= TJXOPT_CROP;

  unsigned char* result = nullptr;
  unsigned long resultSize = 0;
  // The scan limit stops crafted progressive files that would run for ever.
  ok = ok && tjTransform(handle, jpeg.data(), jpeg.size(), 1, &result, &resultSize, &request,
                         TJFLAG_LIMITSCANS) == 0;
  std::vector<uint8_t> output;
  if (ok) output.assign(result, result + resultSize);
  tjFree(result);
  tjDestroy(handle);
  if (!ok) return false;
  if (copyMarkers == jcCopyComments) CopyComments(jpeg, output);
  bool aborted = false;
  SafeStreamWrite(out, aborted, output.data(), static_cast<int64_t>(output.size()));
  return !aborted;
}

}  // namespace

void IEJpegLosslessTransform(TStream* InStream, TStream* OutStream, TProgressRec& Progress,
                             TIEJpegTransform Transform, bool GrayScale,
                             TIEJpegCopyMarkers CopyMarkers, TRect CutRect) {
  bool ok = false;
  try {
    ok = RunTransform(InStream, OutStream, Progress, Transform, GrayScale, CopyMarkers, CutRect);
  } catch (...) {
    ok = false;
  }
  if (!ok) IESetAbort(Progress);
}
