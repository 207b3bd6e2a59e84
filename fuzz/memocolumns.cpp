// The memo column file reader over arbitrary bytes: it never fails, gives
// columns of one length within the row limit, and what it gives is written
// and read back unchanged once the first write has settled what GBK text
// cannot hold.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "records/memocolumns.h"

namespace {

void CheckShape(const TMemoColumns& columns) {
  for (const auto& column : columns)
    if (column.size() != columns[0].size() || column.size() > size_t(kMemoRows)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TMemoColumns first = ParseMemoColumns(std::string(reinterpret_cast<const char*>(data), size));
  CheckShape(first);
  const int rows = int(first[0].size());
  const TMemoColumns second = ParseMemoColumns(FormatMemoColumns(first, rows));
  CheckShape(second);
  const TMemoColumns third = ParseMemoColumns(FormatMemoColumns(second, rows));
  if (third != second) std::abort();
  return 0;
}
