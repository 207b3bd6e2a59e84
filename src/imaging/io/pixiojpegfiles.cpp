// TPixIO's whole-file JPEG operation: a new IPTC block written into a file.
#include <memory>

#include "imaging/io/jpegfilt.h"
#include "imaging/io/pixio.h"
#include "platform/classes.h"
#include "platform/savestream.h"
#include "platform/sysutils.h"

bool TPixIO::InjectJpegIPTC(const std::string& name) {
  bool injected = false;
  try {
    TMemoryStream result;
    {
      TFileStream file(name, fmOpenRead | fmShareDenyWrite);
      injected = IEJpegInjectIPTC(&file, &result, IOParams->IPTC_InfoList);
    }
    if (injected) {
      TSaveFileStream file(name);
      file.WriteBuffer(result.Memory(), result.GetSize());
      file.Commit();
    }
  } catch (const EStreamError&) {
    injected = false;
  }
  FinishWork();
  return injected;
}

bool TPixIO::InjectJpegIPTCStream(TStream* source, TStream* target) {
  return IEJpegInjectIPTC(source, target, IOParams->IPTC_InfoList);
}
