// Byte-level helpers shared by the table and memo files: positioned reads
// and writes that either move every byte or raise, and little-endian fields.
#pragma once

#include <cstdint>
#include <string>

namespace dbfio {

// Reads exactly `count` bytes at `offset`; false when the file is shorter.
bool ReadAt(int fd, int64_t offset, void* buffer, int64_t count);
// Writes every byte at `offset` or raises EDatabaseError naming `what`.
void WriteAt(int fd, int64_t offset, const void* buffer, int64_t count, const std::string& what);
// Pushes written bytes to the disk, so that later writes cannot overtake them.
void Flush(int fd, const std::string& what);
// Whether Flush waits for the disk (on by default). Tests that write
// thousands of records turn it off: the order of the writes stays, only the
// wait for the disk goes.
void SetDiskSync(bool on);
// How many times the files were pushed to the disk so far (counted whether
// or not SetDiskSync lets the push wait), for tests of when syncs happen.
uint64_t SyncCount();
// Closes an open table or memo file; what a deferred-sync scope left
// unsynced in it goes to the disk first, while the descriptor still names it.
void Close(int fd, const std::string& what) noexcept;

// A batch of writes that syncs once at its end instead of once per write:
// inside the scope Flush only marks the file dirty; the scope's end (also
// when left by an exception) pushes every dirty file once, and a file
// closed meanwhile is pushed by its close. Scopes nest; the outermost syncs.
class DeferredSync {
 public:
  DeferredSync();
  ~DeferredSync() noexcept(false);
  DeferredSync(const DeferredSync&) = delete;
  DeferredSync& operator=(const DeferredSync&) = delete;
};
void Truncate(int fd, int64_t size, const std::string& what);
int64_t FileSize(int fd);

// Takes the table's operating-system lock of the whole file for the
// duration of one write; raises when another program holds a lock on it.
class WriteLock {
 public:
  WriteLock(int fd, const std::string& what);
  ~WriteLock();
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;

 private:
  int fd_;
};

inline uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t Get32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void Put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace dbfio
