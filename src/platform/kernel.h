// Kernel services: temporary files, file mapping, memory status, global
// memory blocks, critical sections, the tick count and the debugger output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Temporary files -----------------------------------------------------------

// The system temporary folder ($TMPDIR, else /tmp), with a trailing '/'.
std::string GetTempPath();
// Makes a new empty file "<dir>/<first 3 letters of prefix><hex>.tmp" with a
// unique number (unique 0: the function picks one that does not exist yet)
// and returns its full name; "" when the folder cannot take it. A non-zero
// unique number only composes the name; no file is made.
std::string GetTempFileName(const std::string& dir, const std::string& prefix, unsigned unique = 0);

// File mapping ----------------------------------------------------------------

// Views start on multiples of this many bytes.
constexpr uint64_t kAllocationGranularity = 65536;

// Opens (always creating, truncating) a file for reading and writing, private
// to this process; -1 on failure.
int CreateTemporaryFile(const std::string& name);
void CloseFileHandle(int fd);
// Sizes the file to exactly `size` bytes and reserves its disk blocks, so
// that a full disk is reported here and never later as a fault on a mapped
// page. False when the space cannot be had (the size is then left as it was
// or shorter).
bool SetFileSizeReserved(int fd, uint64_t size);
// The file's size, -1 on failure.
int64_t GetFileSizeOfHandle(int fd);
// Maps `length` bytes of the file from `offset` (a multiple of
// kAllocationGranularity) for reading and writing; nullptr on failure
// (length 0 fails too).
void* MapViewOfFile(int fd, uint64_t offset, size_t length);
// Unmaps a view returned by MapViewOfFile; unknown addresses are ignored.
void UnmapViewOfFile(void* address);
// Tests may watch which views are unmapped, in order; an empty function
// stops watching.
void SetUnmapViewObserver(std::function<void(void* address)> observer);

// Memory -------------------------------------------------------------------------

// Physical memory available to new allocations, in bytes (MemAvailable).
uint64_t GetAvailablePhysicalMemory();
uint64_t GetTotalPhysicalMemory();

// Movable global memory blocks (clipboard DIBs, AVI frames). A handle is
// opaque; 0 is none.
using HGLOBAL = uintptr_t;
constexpr unsigned GMEM_MOVEABLE = 0x0002;
constexpr unsigned GMEM_ZEROINIT = 0x0040;
constexpr unsigned GMEM_DDESHARE = 0x2000;
constexpr unsigned GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
HGLOBAL GlobalAlloc(unsigned flags, size_t bytes);  // 0 when it cannot be had
void* GlobalLock(HGLOBAL handle);
bool GlobalUnlock(HGLOBAL handle);
size_t GlobalSize(HGLOBAL handle);
HGLOBAL GlobalFree(HGLOBAL handle);  // 0 on success

// Threads ---------------------------------------------------------------------

// Recursive lock.
class TCriticalSection {
 public:
  void Enter() { mutex_.lock(); }
  void Leave() { mutex_.unlock(); }
  void Acquire() { Enter(); }
  void Release() { Leave(); }

 private:
  std::recursive_mutex mutex_;
};

uint32_t GetCurrentThreadId();

// The error code of the calling thread's last failed platform call.
using HANDLE = uintptr_t;
constexpr uint32_t ERROR_SUCCESS = 0;
constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr uint32_t ERROR_INVALID_HANDLE = 6;
constexpr uint32_t ERROR_INSUFFICIENT_BUFFER = 122;
constexpr uint32_t ERROR_INVALID_PRINTER_NAME = 1801;
uint32_t GetLastError();
void SetLastError(uint32_t code);

// Time ------------------------------------------------------------------------

// Milliseconds since an arbitrary start, wrapping at 2^32. Tests may replace
// the clock with SetTickCountSource; an empty function restores the real one.
uint32_t GetTickCount();
void SetTickCountSource(std::function<uint32_t()> source);
void Sleep(uint32_t milliseconds);

// Debugger output ---------------------------------------------------------------

// Writes a line to stderr and to the in-process sink that tests read.
void OutputDebugString(const std::string& text);
std::vector<std::string> DebugOutputLines();
void ClearDebugOutput();
