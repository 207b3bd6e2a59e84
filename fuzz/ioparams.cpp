// The parameter stream and the metadata readers over arbitrary bytes: they
// either read or raise a stream error, and a failed read changes nothing.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/core/iemetadata.h"
#include "imaging/io/ioparams.h"

namespace {

std::vector<uint8_t> Saved(TIOParamsVals& params) {
  TMemoryStream stream;
  params.SaveToStream(&stream);
  const auto* bytes = static_cast<const uint8_t*>(stream.Memory());
  return std::vector<uint8_t>(bytes, bytes + stream.GetSize());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  if (size > 0) stream.WriteBuffer(data, static_cast<int64_t>(size));

  TIOParamsVals params(nullptr);
  const std::vector<uint8_t> before = Saved(params);
  stream.SetPosition(0);
  try {
    params.LoadFromStream(&stream);
  } catch (const EReadError&) {
    if (Saved(params) != before) std::abort();
  }

  TIEIPTCInfoList iptc;
  iptc.LoadFromStandardBuffer(data, static_cast<int64_t>(size));
  const std::vector<uint8_t> block = iptc.SaveToStandardBuffer();
  if (block.size() % 2 != 0) std::abort();

  TIEMarkerList markers;
  stream.SetPosition(0);
  try {
    markers.LoadFromStream(&stream);
  } catch (const EReadError&) {
  }
  return 0;
}
