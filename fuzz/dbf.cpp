// The dBASE table and memo reader over arbitrary bytes: the header, the
// column descriptors, every record and every BLOB it points to are read or
// refused with a database error; a table that opens takes a new record and
// a new BLOB, reads both back, and opens again.
//
// Input: the table's length as 4 little-endian bytes, the .DBF bytes, then
// the .DBT bytes (no memo file when nothing follows the table).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzzfile.h"
#include "platform/dbf.h"

namespace {

// Reads every value of the first records; each BLOB's size is its length.
void ReadAll(const TDbfTable& table) {
  const int64_t count = std::min<int64_t>(table.PhysicalCount(), 512);
  for (int64_t i = 0; i < count; ++i) {
    const std::vector<uint8_t> record = table.ReadRecord(i);
    if (int(record.size()) != table.RecordLength()) std::abort();
    for (const TDbfField& field : table.Fields()) {
      dbfvalue::Get(field, record);
      dbfvalue::IsBlank(field, record);
      if (!field.IsBlob()) continue;
      const std::string blob = table.ReadBlob(field, record);
      if (int64_t(blob.size()) != table.BlobSize(field, record)) std::abort();
    }
  }
}

// A blank record with a new BLOB in each BLOB column, read back.
void AppendAndReadBack(TDbfTable& table) {
  std::vector<uint8_t> record = table.BlankRecord();
  const std::string content = "fuzz BLOB";
  for (const TDbfField& field : table.Fields())
    if (field.IsBlob()) dbfvalue::SetBlock(field, record, table.WriteBlob(field, content));
  const int64_t index = table.AppendRecord(record);
  if (table.ReadRecord(index) != record) std::abort();
  for (const TDbfField& field : table.Fields())
    if (field.IsBlob() && table.ReadBlob(field, record) != content) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const size_t tableLength = std::min<size_t>(size - 4, data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24);
  const TFuzzFile tableFile("dbf", ".DBF"), memoFile("dbf", ".DBT");
  tableFile.Write(data + 4, tableLength);
  if (4 + tableLength < size) memoFile.Write(data + 4 + tableLength, size - 4 - tableLength);
  const std::string& tablePath = tableFile.Name();

  std::unique_ptr<TDbfTable> table;
  try {
    table = TDbfTable::Open(tablePath, true);
    ReadAll(*table);
    AppendAndReadBack(*table);
  } catch (const EDatabaseError&) {
    return 0;
  }
  // What was written leaves the table readable: this open must not raise.
  table.reset();
  table = TDbfTable::Open(tablePath, true);
  ReadAll(*table);
  return 0;
}
