// The .DBT memo file of a dBASE table: numbered blocks after a header that
// holds the next free block. Level III stores text ended by two 0x1A bytes;
// levels IV, 5 and 7 put an 8-byte header with the length before each
// content, so they hold any bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class TDbfMemo {
 public:
  // `lengthHeaders`: the IV/5/7 layout. Raises EDatabaseError for a missing,
  // truncated or corrupt file.
  static std::unique_ptr<TDbfMemo> Open(const std::string& path, bool readOnly, bool lengthHeaders);
  static void Create(const std::string& path, bool lengthHeaders, const std::string& tableName);
  ~TDbfMemo();

  // Raises EDatabaseError when `block` does not point at a whole content.
  void Check(uint32_t block) const;
  std::string Read(uint32_t block) const;
  int64_t Size(uint32_t block) const;
  // Stores `data` in new blocks after everything else and returns the first
  // block: the content is flushed before the header takes it in, and the
  // blocks of older contents are never overwritten.
  uint32_t Write(const std::string& data);
  // Drops every content.
  void Reset();
  // Reads the header again (another program may have added contents).
  void Reload();

 private:
  TDbfMemo() = default;
  uint32_t FirstBlock() const;
  int64_t ContentLength(uint32_t block, int64_t* start) const;

  std::string path_;
  int fd_ = -1;
  bool lengthHeaders_ = true;
  uint32_t blockSize_ = 512;
  uint32_t nextFree_ = 1;
  int64_t fileSize_ = 0;
};
