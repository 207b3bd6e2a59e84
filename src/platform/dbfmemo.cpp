#include "dbfmemo.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "dbf.h"
#include "dbfio.h"

namespace {

constexpr int kHeaderSize = 512;
constexpr uint8_t kLengthMark[4] = {0xFF, 0xFF, 0x08, 0x00};
constexpr char kTextEnd = 0x1A;

}  // namespace

std::unique_ptr<TDbfMemo> TDbfMemo::Open(const std::string& path, bool readOnly, bool lengthHeaders) {
  std::unique_ptr<TDbfMemo> memo(new TDbfMemo);
  memo->path_ = path;
  memo->lengthHeaders_ = lengthHeaders;
  memo->fd_ = open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
  if (memo->fd_ < 0) throw EDatabaseError("Memo file " + path + " is missing or cannot be opened.");
  memo->Reload();
  return memo;
}

void TDbfMemo::Reload() {
  uint8_t header[kHeaderSize];
  fileSize_ = dbfio::FileSize(fd_);
  if (fileSize_ < kHeaderSize || !dbfio::ReadAt(fd_, 0, header, kHeaderSize))
    throw EDatabaseError("Memo file " + path_ + " is truncated.");
  nextFree_ = dbfio::Get32(header);
  blockSize_ = 512;
  if (lengthHeaders_) {
    uint16_t size = dbfio::Get16(header + 20);
    if (size != 0) blockSize_ = size;
  }
  if (blockSize_ < 64) throw EDatabaseError("Memo file " + path_ + " is corrupt (block size).");
  if (nextFree_ < FirstBlock()) throw EDatabaseError("Memo file " + path_ + " is corrupt (next free block).");
  // The last block in use must start inside the file.
  if (nextFree_ > FirstBlock() && int64_t(nextFree_ - 1) * blockSize_ >= fileSize_)
    throw EDatabaseError("Memo file " + path_ + " is truncated.");
}

void TDbfMemo::Create(const std::string& path, bool lengthHeaders, const std::string& tableName) {
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw EDatabaseError("Cannot create memo file " + path + ".");
  uint8_t header[kHeaderSize] = {};
  dbfio::Put32(header, 1);
  if (lengthHeaders) {
    std::memcpy(header + 8, tableName.data(), std::min<size_t>(tableName.size(), 8));
    dbfio::Put16(header + 20, kHeaderSize);
  } else {
    header[16] = 0x03;
  }
  try {
    dbfio::WriteAt(fd, 0, header, kHeaderSize, path);
    dbfio::Flush(fd, path);
  } catch (...) {
    dbfio::Close(fd, path);
    throw;
  }
  dbfio::Close(fd, path);
}

TDbfMemo::~TDbfMemo() {
  if (fd_ >= 0) dbfio::Close(fd_, path_);
}

uint32_t TDbfMemo::FirstBlock() const { return (kHeaderSize + blockSize_ - 1) / blockSize_; }

// Length of the content at `block` and where its bytes start; -1 when the
// block does not hold a whole content.
int64_t TDbfMemo::ContentLength(uint32_t block, int64_t* start) const {
  if (block < FirstBlock() || block >= nextFree_) return -1;
  int64_t offset = int64_t(block) * blockSize_;
  if (lengthHeaders_) {
    uint8_t head[8];
    if (offset + 8 > fileSize_ || !dbfio::ReadAt(fd_, offset, head, 8)) return -1;
    if (std::memcmp(head, kLengthMark, 4) != 0) return -1;
    uint32_t length = dbfio::Get32(head + 4);  // counts the 8 header bytes
    if (length < 8 || offset + int64_t(length) > fileSize_) return -1;
    *start = offset + 8;
    return int64_t(length) - 8;
  }
  // Text ends at the first end mark; an unended text runs to the end of file.
  std::vector<char> chunk(blockSize_);
  for (int64_t at = offset; at < fileSize_; at += blockSize_) {
    int64_t n = std::min<int64_t>(blockSize_, fileSize_ - at);
    if (!dbfio::ReadAt(fd_, at, chunk.data(), n)) return -1;
    auto end = std::find(chunk.begin(), chunk.begin() + n, kTextEnd);
    if (end != chunk.begin() + n) {
      *start = offset;
      return at + (end - chunk.begin()) - offset;
    }
  }
  *start = offset;
  return fileSize_ - offset;
}

void TDbfMemo::Check(uint32_t block) const {
  int64_t start = 0;
  if (block != 0 && ContentLength(block, &start) < 0)
    throw EDatabaseError("Memo file " + path_ + " is corrupt (block " + std::to_string(block) + ").");
}

int64_t TDbfMemo::Size(uint32_t block) const {
  if (block == 0) return 0;
  int64_t start = 0;
  int64_t length = ContentLength(block, &start);
  if (length < 0) Check(block);
  return length;
}

std::string TDbfMemo::Read(uint32_t block) const {
  if (block == 0) return {};
  int64_t start = 0;
  int64_t length = ContentLength(block, &start);
  if (length < 0) Check(block);
  std::string data(size_t(length), '\0');
  if (!dbfio::ReadAt(fd_, start, data.data(), length))
    throw EDatabaseError("Memo file " + path_ + " is truncated.");
  return data;
}

uint32_t TDbfMemo::Write(const std::string& data) {
  if (data.empty()) return 0;
  Reload();
  std::string content;
  if (lengthHeaders_) {
    if (data.size() > 0xFFFFFFFFull - 8) throw EDatabaseError("A BLOB of " + std::to_string(data.size()) + " bytes is too large.");
    uint8_t head[8];
    std::memcpy(head, kLengthMark, 4);
    dbfio::Put32(head + 4, uint32_t(data.size() + 8));
    content.assign(reinterpret_cast<char*>(head), 8);
    content += data;
  } else {
    if (data.find(kTextEnd) != std::string::npos)
      throw EDatabaseError("Memo file " + path_ + " holds text only; these bytes cannot be stored in it.");
    content = data + std::string(2, kTextEnd);
  }
  uint64_t blocks = (content.size() + blockSize_ - 1) / blockSize_;
  if (uint64_t(nextFree_) + blocks > 0xFFFFFFFFull) throw EDatabaseError("Memo file " + path_ + " is full.");
  content.resize(size_t(blocks * blockSize_), '\0');
  uint32_t block = nextFree_;
  dbfio::WriteAt(fd_, int64_t(block) * blockSize_, content.data(), int64_t(content.size()), path_);
  dbfio::Flush(fd_, path_);
  uint8_t next[4];
  dbfio::Put32(next, uint32_t(block + blocks));
  dbfio::WriteAt(fd_, 0, next, 4, path_);
  dbfio::Flush(fd_, path_);
  nextFree_ = uint32_t(block + blocks);
  fileSize_ = std::max<int64_t>(fileSize_, int64_t(nextFree_) * blockSize_);
  return block;
}

void TDbfMemo::Reset() {
  uint8_t next[4];
  dbfio::Put32(next, FirstBlock());
  dbfio::WriteAt(fd_, 0, next, 4, path_);
  dbfio::Flush(fd_, path_);
  int64_t size = int64_t(FirstBlock()) * blockSize_;
  dbfio::Truncate(fd_, size, path_);
  nextFree_ = FirstBlock();
  fileSize_ = size;
}
