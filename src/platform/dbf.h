// dBASE table files: the .DBF record file of levels III, IV, 5 and 7 with its
// .DBT memo file. This is the file edge of the data access layer: it checks
// every length and offset it reads, writes in an order that leaves the table
// readable after a failure part way, and holds the operating-system locks
// that keep two programs from damaging one table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sysutils.h"

// Every failure of the data access layer.
CW_DECLARE_EXCEPTION(EDatabaseError, Exception)

enum TDbfLevel { dbfLevel3 = 3, dbfLevel4 = 4, dbfLevel5 = 5, dbfLevel7 = 7 };

// Language driver byte of a table whose text is GBK (code page 936).
constexpr uint8_t kDbfLanguageGbk = 0x7A;

// One column as the header declares it.
struct TDbfField {
  std::string Name;  // as stored (ASCII)
  char Type = 'C';   // 'C' text, 'N'/'F' number, 'D' date, 'L' logical,
                     // 'M' memo, 'B' binary, 'G' OLE, 'I'/'+' long, ...
  int Length = 0;
  int Decimals = 0;
  int Offset = 0;  // in the record, after the deletion flag byte

  // Held in the memo file, the record keeps only a block number.
  bool IsBlob() const { return Type == 'M' || Type == 'B' || Type == 'G'; }
};

class TDbfMemo;

// An open table file. Records are addressed by their physical index
// (0-based, deleted ones included); a record is its raw bytes, the deletion
// flag first.
class TDbfTable {
 public:
  // Opens `path` (a .DBF) and its memo file when a column needs one.
  // Shared opening lets other programs open the table too; exclusive opening
  // fails while anyone else has it open. A file that cannot be written is
  // opened read-only. Raises EDatabaseError for a missing, locked, truncated
  // or corrupt table or memo file.
  static std::unique_ptr<TDbfTable> Open(const std::string& path, bool exclusive);

  // Writes a new empty table (and its memo file when a column needs one) in
  // the given level, with GBK as its language. Replaces existing files.
  static void Create(const std::string& path, TDbfLevel level, const std::vector<TDbfField>& fields);

  ~TDbfTable();

  TDbfLevel Level() const { return level_; }
  const std::vector<TDbfField>& Fields() const { return fields_; }
  int RecordLength() const { return recordLength_; }
  bool ReadOnly() const { return readOnly_; }
  const std::string& Path() const { return path_; }

  // Records the header counts, deleted ones included.
  int64_t PhysicalCount() const { return count_; }
  // Reads the header again (another program may have added records).
  void Reload();

  std::vector<uint8_t> ReadRecord(int64_t index) const;
  // Rewrites an existing record.
  void WriteRecord(int64_t index, const std::vector<uint8_t>& record);
  // Adds a record at the end and returns its index: the record is written
  // and flushed before the header counts it.
  int64_t AppendRecord(const std::vector<uint8_t>& record);
  // Removes every record and empties the memo file.
  void Zap();

  // A blank record: live flag and every byte blank.
  std::vector<uint8_t> BlankRecord() const;

  // BLOB columns: the content a record points to, and storing a new content
  // (returns the block number to put in the record; 0 for an empty one).
  std::string ReadBlob(const TDbfField& field, const std::vector<uint8_t>& record) const;
  int64_t BlobSize(const TDbfField& field, const std::vector<uint8_t>& record) const;
  uint32_t WriteBlob(const TDbfField& field, const std::string& data);

 private:
  TDbfTable() = default;
  void ReadHeader();
  void CheckRecordBlobs();
  void CheckWritable() const;
  void StampHeader(int64_t count);
  uint32_t BlockOf(const TDbfField& field, const std::vector<uint8_t>& record) const;
  friend class TDbfWriteLock;

  std::string path_;
  int fd_ = -1;
  bool readOnly_ = false;
  TDbfLevel level_ = dbfLevel3;
  std::vector<TDbfField> fields_;
  int64_t count_ = 0;
  int headerLength_ = 0;
  int recordLength_ = 0;
  bool touched_ = false;  // written to since it was opened
  std::unique_ptr<TDbfMemo> memo_;
};

// Field values in the record bytes. Text is UTF-8 in memory and GBK in the
// record; a text longer than its column is cut on a character boundary.
namespace dbfvalue {
// The value as text, trailing blanks removed; "" for a blank column.
std::string Get(const TDbfField& field, const std::vector<uint8_t>& record);
bool IsBlank(const TDbfField& field, const std::vector<uint8_t>& record);
// Raises EDatabaseError for a value the column cannot hold.
void Set(const TDbfField& field, std::vector<uint8_t>& record, const std::string& value);
void Clear(const TDbfField& field, std::vector<uint8_t>& record);
void SetBlock(const TDbfField& field, std::vector<uint8_t>& record, uint32_t block);
}  // namespace dbfvalue
