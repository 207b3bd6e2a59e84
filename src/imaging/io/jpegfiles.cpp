#include "imaging/io/jpegfiles.h"

#include <memory>

#include "imaging/core/iedefs.h"
#include "platform/classes.h"
#include "platform/savestream.h"
#include "platform/sysutils.h"

bool JpegLosslessTransformStream(TStream* source, TStream* target, TIEJpegTransform Transform, bool GrayScale,
                                 TIEJpegCopyMarkers CopyMarkers, TRect CutRect) {
  bool aborting = false;
  TProgressRec progress;
  progress.Aborting = &aborting;
  IEJpegLosslessTransform(source, target, progress, Transform, GrayScale, CopyMarkers, CutRect);
  return !aborting;
}

bool JpegLosslessTransform(const std::string& sourceName, const std::string& targetName,
                           TIEJpegTransform Transform, bool GrayScale, TIEJpegCopyMarkers CopyMarkers,
                           TRect CutRect) {
  std::unique_ptr<TFileStream> source;
  std::unique_ptr<TSaveFileStream> target;
  try {
    source = std::make_unique<TFileStream>(sourceName, fmOpenRead | fmShareDenyWrite);
    target = std::make_unique<TSaveFileStream>(targetName);
  } catch (const EStreamError&) {
    return false;
  }
  if (!JpegLosslessTransformStream(source.get(), target.get(), Transform, GrayScale, CopyMarkers, CutRect))
    return false;
  try {
    target->Commit();
  } catch (const EStreamError&) {
    return false;
  }
  return true;
}
