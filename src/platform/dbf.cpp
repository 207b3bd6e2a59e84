#include "dbf.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "dbfio.h"
#include "dbfmemo.h"

namespace {

constexpr uint8_t kHeaderEnd = 0x0D;
constexpr uint8_t kFileEnd = 0x1A;
constexpr uint8_t kProductionIndexFlag = 0x01;

struct HeaderLayout {
  int descriptorsAt;
  int descriptorSize;
};

HeaderLayout LayoutOf(TDbfLevel level) {
  // Level 7 puts a 32-byte language driver name and 4 reserved bytes before
  // the column descriptors, which are 48 bytes each.
  return level == dbfLevel7 ? HeaderLayout{68, 48} : HeaderLayout{32, 32};
}

int MaxNameLength(TDbfLevel level) { return level == dbfLevel7 ? 31 : 10; }

uint8_t VersionByte(TDbfLevel level, bool memo) {
  switch (level) {
    case dbfLevel3: return memo ? 0x83 : 0x03;
    case dbfLevel4: return memo ? 0x8B : 0x03;
    case dbfLevel5: return memo ? 0x8D : 0x05;
    case dbfLevel7: return memo ? 0x8C : 0x04;
  }
  return 0x03;
}

bool LevelOfVersion(uint8_t version, TDbfLevel& level) {
  switch (version & 0x07) {
    case 3: level = (version & 0x78) ? dbfLevel4 : dbfLevel3; return true;
    case 4: level = dbfLevel7; return true;
    case 5: level = dbfLevel5; return true;
  }
  return false;
}

void PutDate(uint8_t* p) {
  std::time_t now = std::time(nullptr);
  std::tm tm {};
  localtime_r(&now, &tm);
  p[0] = uint8_t(tm.tm_year);  // years since 1900
  p[1] = uint8_t(tm.tm_mon + 1);
  p[2] = uint8_t(tm.tm_mday);
}

std::string MemoPathOf(const std::string& tablePath) { return NativePath(ChangeFileExt(tablePath, ".DBT")); }

[[noreturn]] void Corrupt(const std::string& path, const std::string& what) {
  throw EDatabaseError("Table " + path + " is corrupt (" + what + ").");
}

bool IsBlankByte(uint8_t b) { return b == ' ' || b == 0; }

}  // namespace

// Table files ----------------------------------------------------------------

std::unique_ptr<TDbfTable> TDbfTable::Open(const std::string& path, bool exclusive) {
  std::unique_ptr<TDbfTable> table(new TDbfTable);
  table->path_ = NativePath(path);
  const char* name = table->path_.c_str();
  table->fd_ = open(name, O_RDWR | O_CLOEXEC);
  if (table->fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    table->fd_ = open(name, O_RDONLY | O_CLOEXEC);
    table->readOnly_ = true;
  }
  if (table->fd_ < 0) {
    if (errno == ENOENT) throw EDatabaseError("Table " + table->path_ + " does not exist.");
    throw EDatabaseError("Cannot open table " + table->path_ + ": " + std::strerror(errno));
  }
  if (flock(table->fd_, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
    throw EDatabaseError("Table " + table->path_ + " is in use by another program.");
  struct flock probe {};
  probe.l_type = F_RDLCK;
  probe.l_whence = SEEK_SET;
  if (fcntl(table->fd_, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
    throw EDatabaseError("Table " + table->path_ + " is locked by another program.");
  table->ReadHeader();
  return table;
}

TDbfTable::~TDbfTable() {
  if (fd_ >= 0) dbfio::Close(fd_, path_);  // also drops the lock
}

void TDbfTable::ReadHeader() {
  const int64_t size = dbfio::FileSize(fd_);
  uint8_t head[32];
  if (size < 32 || !dbfio::ReadAt(fd_, 0, head, 32)) Corrupt(path_, "header too short");
  if (!LevelOfVersion(head[0], level_))
    throw EDatabaseError("Table " + path_ + " is not a dBASE table of level III, IV, 5 or 7.");
  const HeaderLayout layout = LayoutOf(level_);
  count_ = dbfio::Get32(head + 4);
  headerLength_ = dbfio::Get16(head + 8);
  recordLength_ = dbfio::Get16(head + 10);
  if (headerLength_ < layout.descriptorsAt + 1 || headerLength_ > size) Corrupt(path_, "header length");
  if (recordLength_ < 1) Corrupt(path_, "record length");

  std::vector<uint8_t> header(static_cast<size_t>(headerLength_));
  if (!dbfio::ReadAt(fd_, 0, header.data(), headerLength_)) Corrupt(path_, "header");
  fields_.clear();
  int pos = layout.descriptorsAt;
  int offset = 1;
  while (pos < headerLength_ && header[size_t(pos)] != kHeaderEnd) {
    if (pos + layout.descriptorSize > headerLength_) Corrupt(path_, "column descriptors");
    const uint8_t* d = header.data() + pos;
    TDbfField field;
    const int nameBytes = level_ == dbfLevel7 ? 32 : 11;
    field.Name.assign(reinterpret_cast<const char*>(d), strnlen(reinterpret_cast<const char*>(d), nameBytes));
    field.Name = TrimRight(field.Name);
    const uint8_t* typeBytes = d + (level_ == dbfLevel7 ? 32 : 11);
    field.Type = char(typeBytes[0]);
    field.Length = level_ == dbfLevel7 ? typeBytes[1] : d[16];
    field.Decimals = level_ == dbfLevel7 ? typeBytes[2] : d[17];
    field.Offset = offset;
    if (field.Name.empty() || field.Length == 0) Corrupt(path_, "column descriptor " + std::to_string(fields_.size() + 1));
    offset += field.Length;
    if (offset > recordLength_) Corrupt(path_, "record length");
    fields_.push_back(field);
    pos += layout.descriptorSize;
  }
  if (pos >= headerLength_) Corrupt(path_, "no end of the column descriptors");
  if (fields_.empty()) Corrupt(path_, "no columns");
  if (headerLength_ + count_ * recordLength_ > size) throw EDatabaseError("Table " + path_ + " is truncated.");

  bool needsMemo = false;
  for (const TDbfField& f : fields_) needsMemo |= f.IsBlob();
  if (needsMemo && !memo_) memo_ = TDbfMemo::Open(MemoPathOf(path_), readOnly_, level_ != dbfLevel3);
  if (memo_) memo_->Reload();
  CheckRecordBlobs();
}

void TDbfTable::CheckRecordBlobs() {
  if (!memo_) return;
  for (int64_t i = 0; i < count_; ++i) {
    std::vector<uint8_t> record = ReadRecord(i);
    for (const TDbfField& f : fields_)
      if (f.IsBlob()) memo_->Check(BlockOf(f, record));
  }
}

void TDbfTable::Reload() { ReadHeader(); }

std::vector<uint8_t> TDbfTable::BlankRecord() const {
  std::vector<uint8_t> record(size_t(recordLength_), ' ');
  for (const TDbfField& f : fields_) dbfvalue::Clear(f, record);
  return record;
}

std::vector<uint8_t> TDbfTable::ReadRecord(int64_t index) const {
  if (index < 0 || index >= count_) throw EDatabaseError("Record " + std::to_string(index + 1) + " is outside table " + path_ + ".");
  std::vector<uint8_t> record(static_cast<size_t>(recordLength_));
  if (!dbfio::ReadAt(fd_, headerLength_ + index * recordLength_, record.data(), recordLength_))
    throw EDatabaseError("Table " + path_ + " is truncated.");
  return record;
}

void TDbfTable::CheckWritable() const {
  if (readOnly_) throw EDatabaseError("Table " + path_ + " is read-only.");
}

// The record count, the date of the last change, and on the first change the
// production index flag: the index file is never kept up to date here, so
// the table stops claiming one rather than let other programs trust a stale
// index.
void TDbfTable::StampHeader(int64_t count) {
  uint8_t head[32];
  if (!dbfio::ReadAt(fd_, 0, head, 32)) Corrupt(path_, "header too short");
  PutDate(head + 1);
  dbfio::Put32(head + 4, uint32_t(count));
  dbfio::WriteAt(fd_, 1, head + 1, 7, path_);
  if (!touched_ && (head[28] & kProductionIndexFlag)) {
    head[28] = 0;
    dbfio::WriteAt(fd_, 28, head + 28, 1, path_);
  }
  dbfio::Flush(fd_, path_);
  touched_ = true;
}

namespace {
int64_t HeaderCount(int fd, const std::string& path) {
  uint8_t count[4];
  if (!dbfio::ReadAt(fd, 4, count, 4)) Corrupt(path, "header too short");
  return dbfio::Get32(count);
}
}  // namespace

void TDbfTable::WriteRecord(int64_t index, const std::vector<uint8_t>& record) {
  CheckWritable();
  if (int(record.size()) != recordLength_ || index < 0 || index >= count_)
    throw EDatabaseError("Record " + std::to_string(index + 1) + " is outside table " + path_ + ".");
  dbfio::WriteLock lock(fd_, path_);
  dbfio::WriteAt(fd_, headerLength_ + index * recordLength_, record.data(), recordLength_, path_);
  dbfio::Flush(fd_, path_);
  StampHeader(HeaderCount(fd_, path_));
}

int64_t TDbfTable::AppendRecord(const std::vector<uint8_t>& record) {
  CheckWritable();
  if (int(record.size()) != recordLength_) throw EDatabaseError("Record does not fit table " + path_ + ".");
  dbfio::WriteLock lock(fd_, path_);
  // Another program sharing the table may have added records meanwhile.
  const int64_t index = HeaderCount(fd_, path_);
  if (index >= 0xFFFFFFFFll) throw EDatabaseError("Table " + path_ + " is full.");
  std::vector<uint8_t> bytes(record);
  bytes.push_back(kFileEnd);
  dbfio::WriteAt(fd_, headerLength_ + index * recordLength_, bytes.data(), int64_t(bytes.size()), path_);
  dbfio::Flush(fd_, path_);
  StampHeader(index + 1);
  count_ = index + 1;
  return index;
}

void TDbfTable::Zap() {
  CheckWritable();
  dbfio::WriteLock lock(fd_, path_);
  StampHeader(0);
  count_ = 0;
  dbfio::Truncate(fd_, headerLength_, path_);
  dbfio::WriteAt(fd_, headerLength_, &kFileEnd, 1, path_);
  dbfio::Flush(fd_, path_);
  if (memo_) memo_->Reset();
}

uint32_t TDbfTable::BlockOf(const TDbfField& field, const std::vector<uint8_t>& record) const {
  const uint8_t* p = record.data() + field.Offset;
  if (field.Length == 4) return dbfio::Get32(p);
  uint64_t block = 0;
  bool digits = false, ended = false;
  for (int i = 0; i < field.Length; ++i) {
    if (IsBlankByte(p[i])) {
      ended = digits;
      continue;
    }
    if (p[i] < '0' || p[i] > '9' || ended) Corrupt(path_, "BLOB reference of column " + field.Name);
    digits = true;
    block = block * 10 + (p[i] - '0');
    if (block > 0xFFFFFFFFull) Corrupt(path_, "BLOB reference of column " + field.Name);
  }
  return uint32_t(block);
}

std::string TDbfTable::ReadBlob(const TDbfField& field, const std::vector<uint8_t>& record) const {
  uint32_t block = BlockOf(field, record);
  return block && memo_ ? memo_->Read(block) : std::string();
}

int64_t TDbfTable::BlobSize(const TDbfField& field, const std::vector<uint8_t>& record) const {
  uint32_t block = BlockOf(field, record);
  return block && memo_ ? memo_->Size(block) : 0;
}

uint32_t TDbfTable::WriteBlob(const TDbfField& field, const std::string& data) {
  CheckWritable();
  if (!memo_) throw EDatabaseError("Table " + path_ + " has no memo file.");
  if (data.empty()) return 0;
  dbfio::WriteLock lock(fd_, path_);
  return memo_->Write(data);
}

void TDbfTable::Create(const std::string& path, TDbfLevel level, const std::vector<TDbfField>& definitions) {
  const std::string native = NativePath(path);
  const HeaderLayout layout = LayoutOf(level);
  std::vector<TDbfField> fields(definitions);
  bool memo = false;
  int recordLength = 1;
  for (TDbfField& f : fields) {
    if (f.IsBlob() && f.Length == 0) f.Length = 10;
    if (f.Name.empty() || int(f.Name.size()) > MaxNameLength(level) || f.Length < 1 || f.Length > 255)
      throw EDatabaseError("Column " + f.Name + " cannot be created in table " + native + ".");
    f.Offset = recordLength;
    recordLength += f.Length;
    memo |= f.IsBlob();
  }
  const int headerLength = layout.descriptorsAt + int(fields.size()) * layout.descriptorSize + 1;
  if (fields.empty() || recordLength > 0xFFFF || headerLength > 0xFFFF)
    throw EDatabaseError("Table " + native + " cannot be created with these columns.");

  std::vector<uint8_t> header(size_t(headerLength), 0);
  header[0] = VersionByte(level, memo);
  PutDate(header.data() + 1);
  dbfio::Put16(header.data() + 8, uint16_t(headerLength));
  dbfio::Put16(header.data() + 10, uint16_t(recordLength));
  header[29] = kDbfLanguageGbk;
  for (size_t i = 0; i < fields.size(); ++i) {
    uint8_t* d = header.data() + layout.descriptorsAt + i * layout.descriptorSize;
    std::memcpy(d, fields[i].Name.data(), fields[i].Name.size());
    uint8_t* typeBytes = d + (level == dbfLevel7 ? 32 : 11);
    typeBytes[0] = uint8_t(fields[i].Type);
    if (level == dbfLevel7) {
      typeBytes[1] = uint8_t(fields[i].Length);
      typeBytes[2] = uint8_t(fields[i].Decimals);
    } else {
      d[16] = uint8_t(fields[i].Length);
      d[17] = uint8_t(fields[i].Decimals);
    }
  }
  header.back() = kHeaderEnd;
  header.push_back(kFileEnd);

  if (memo) TDbfMemo::Create(MemoPathOf(native), level != dbfLevel3, UpperCase(ChangeFileExt(ExtractFileName(native), "")));
  int fd = open(native.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw EDatabaseError("Cannot create table " + native + ": " + std::strerror(errno));
  try {
    dbfio::WriteAt(fd, 0, header.data(), int64_t(header.size()), native);
    dbfio::Flush(fd, native);
  } catch (...) {
    dbfio::Close(fd, native);
    throw;
  }
  dbfio::Close(fd, native);
}
