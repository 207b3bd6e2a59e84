#include "imaging/proc/iefilterfile.h"
#include "platform/savestream.h"

#include <algorithm>
#include <cstdint>

#include "platform/classes.h"

namespace {

constexpr uint8_t kMagic[3] = {0x01, 0x03, 0x03};
constexpr int kRecordSize = 40;

// The record's ten 32-bit values in file order.
void Put(uint8_t* p, int32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(uint32_t(v) >> (8 * i));
}
int32_t Get(const uint8_t* p) {
  return int32_t(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24));
}

}  // namespace

void SaveFilterToFile(const std::string& fileName, const TGraphFilter& filter) {
  uint8_t bytes[3 + kRecordSize];
  std::copy(kMagic, kMagic + 3, bytes);
  for (int k = 0; k < 9; ++k) Put(bytes + 3 + 4 * k, filter.Values[k / 3][k % 3]);
  Put(bytes + 3 + 36, filter.Divisor);
  TSaveFileStream stream(fileName);
  stream.WriteBuffer(bytes, sizeof bytes);
  stream.Commit();
}

void LoadFilterFromFile(const std::string& fileName, TGraphFilter& filter) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  uint8_t magic[3] = {};
  if (stream.Read(magic, 3) != 3 || !std::equal(magic, magic + 3, kMagic)) return;
  uint8_t record[kRecordSize];
  // A kernel half read from a cut file would be half the old one.
  if (stream.Read(record, kRecordSize) != kRecordSize) throw EReadError("Filter file is truncated");
  for (int k = 0; k < 9; ++k) filter.Values[k / 3][k % 3] = Get(record + 4 * k);
  filter.Divisor = Get(record + 36);
}
