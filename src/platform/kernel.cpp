#include "platform/kernel.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <thread>

// Temporary files -----------------------------------------------------------

std::string GetTempPath() {
  const char* dir = std::getenv("TMPDIR");
  std::string path = (dir && *dir) ? dir : "/tmp";
  if (path.back() != '/') path += '/';
  return path;
}

namespace {

std::string ComposeTempName(const std::string& dir, const std::string& prefix, unsigned unique) {
  std::string path = dir;
  if (!path.empty() && path.back() != '/') path += '/';
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", unique);
  return path + prefix.substr(0, 3) + hex + ".tmp";
}

}  // namespace

std::string GetTempFileName(const std::string& dir, const std::string& prefix, unsigned unique) {
  if (unique != 0) return ComposeTempName(dir, prefix, unique);
  static std::mutex mutex;
  static std::mt19937 numbers{std::random_device{}()};
  std::lock_guard lock(mutex);
  unsigned next = numbers();
  // Bounded so that a folder we cannot write to ends the search at once and
  // a crowded one soon enough.
  for (int attempt = 0; attempt < 65536; ++attempt, ++next) {
    if (next == 0) continue;
    std::string name = ComposeTempName(dir, prefix, next);
    int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (errno != EEXIST) return "";
  }
  return "";
}

// File mapping ----------------------------------------------------------------

int CreateTemporaryFile(const std::string& name) {
  return ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
}

void CloseFileHandle(int fd) {
  if (fd >= 0) ::close(fd);
}

int64_t GetFileSizeOfHandle(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  return st.st_size;
}

bool SetFileSizeReserved(int fd, uint64_t size) {
  if (size > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) return false;
  const int64_t old = GetFileSizeOfHandle(fd);
  if (old < 0) return false;
  const off_t wanted = static_cast<off_t>(size);
  if (wanted <= old) return ::ftruncate(fd, wanted) == 0;
  // Reserving the blocks now turns a full disk into a failure here instead
  // of a fault when a mapped page is first written.
  int rc;
  do rc = ::posix_fallocate(fd, 0, wanted);
  while (rc == EINTR);
  if (rc != 0) {
    [[maybe_unused]] int ignored = ::ftruncate(fd, old);
    return false;
  }
  return GetFileSizeOfHandle(fd) == wanted;
}

namespace {

struct ViewTable {
  std::mutex mutex;
  std::map<void*, size_t> lengths;
  std::function<void(void*)> observer;
};

ViewTable& Views() {
  static ViewTable table;
  return table;
}

}  // namespace

void* MapViewOfFile(int fd, uint64_t offset, size_t length) {
  if (length == 0 || offset % kAllocationGranularity != 0) return nullptr;
  const int64_t size = GetFileSizeOfHandle(fd);
  // A view past the end of the file would fault on first touch.
  if (size < 0 || offset > static_cast<uint64_t>(size) || length > static_cast<uint64_t>(size) - offset)
    return nullptr;
  void* address = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, static_cast<off_t>(offset));
  if (address == MAP_FAILED) return nullptr;
  ViewTable& views = Views();
  std::lock_guard lock(views.mutex);
  views.lengths[address] = length;
  return address;
}

void UnmapViewOfFile(void* address) {
  ViewTable& views = Views();
  std::function<void(void*)> observer;
  {
    std::lock_guard lock(views.mutex);
    auto it = views.lengths.find(address);
    if (it == views.lengths.end()) return;
    ::munmap(it->first, it->second);
    views.lengths.erase(it);
    observer = views.observer;
  }
  if (observer) observer(address);
}

void SetUnmapViewObserver(std::function<void(void* address)> observer) {
  ViewTable& views = Views();
  std::lock_guard lock(views.mutex);
  views.observer = std::move(observer);
}

// Memory -------------------------------------------------------------------------

namespace {

// A field of /proc/meminfo in bytes; 0 when it is missing.
uint64_t MemInfoBytes(const std::string& field) {
  std::ifstream in("/proc/meminfo");
  std::string name;
  uint64_t kilobytes = 0;
  std::string unit;
  while (in >> name >> kilobytes) {
    std::getline(in, unit);
    if (name == field + ":") return kilobytes * 1024;
  }
  return 0;
}

// A /proc/meminfo field, else pages counted by sysconf.
uint64_t MemoryBytes(const std::string& field, int pagesName) {
  uint64_t bytes = MemInfoBytes(field);
  if (bytes == 0) {
    long pages = ::sysconf(pagesName);
    long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0) bytes = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
  }
  return bytes;
}

}  // namespace

uint64_t GetAvailablePhysicalMemory() { return MemoryBytes("MemAvailable", _SC_AVPHYS_PAGES); }

uint64_t GetTotalPhysicalMemory() { return MemoryBytes("MemTotal", _SC_PHYS_PAGES); }

namespace {

struct GlobalBlock {
  void* data = nullptr;
  size_t size = 0;
  unsigned locks = 0;
};

// Live handles, so that a stale or foreign handle is refused instead of
// being dereferenced.
struct GlobalTable {
  std::mutex mutex;
  std::set<GlobalBlock*> live;
};

// Never destroyed: handles held by other static objects (the clipboard's)
// are freed at the program's end, after any destruction order.
GlobalTable& Globals() {
  static GlobalTable& table = *new GlobalTable;
  return table;
}

GlobalBlock* FindBlock(HGLOBAL handle) {
  auto* block = reinterpret_cast<GlobalBlock*>(handle);
  return Globals().live.count(block) ? block : nullptr;
}

}  // namespace

HGLOBAL GlobalAlloc(unsigned flags, size_t bytes) {
  // At least one byte, so that every live handle owns a distinct block.
  void* data = (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
  if (!data) return 0;
  auto* block = new (std::nothrow) GlobalBlock{data, bytes, 0};
  if (!block) {
    std::free(data);
    return 0;
  }
  GlobalTable& table = Globals();
  std::lock_guard lock(table.mutex);
  table.live.insert(block);
  return reinterpret_cast<HGLOBAL>(block);
}

void* GlobalLock(HGLOBAL handle) {
  std::lock_guard lock(Globals().mutex);
  GlobalBlock* block = FindBlock(handle);
  if (!block) return nullptr;
  ++block->locks;
  return block->data;
}

bool GlobalUnlock(HGLOBAL handle) {
  std::lock_guard lock(Globals().mutex);
  GlobalBlock* block = FindBlock(handle);
  if (!block || block->locks == 0) return false;
  --block->locks;
  return block->locks > 0;  // true while it is still locked
}

size_t GlobalSize(HGLOBAL handle) {
  std::lock_guard lock(Globals().mutex);
  GlobalBlock* block = FindBlock(handle);
  return block ? block->size : 0;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  GlobalTable& table = Globals();
  std::lock_guard lock(table.mutex);
  GlobalBlock* block = FindBlock(handle);
  if (!block) return handle;
  table.live.erase(block);
  std::free(block->data);
  delete block;
  return 0;
}

// Threads ---------------------------------------------------------------------

uint32_t GetCurrentThreadId() { return static_cast<uint32_t>(::syscall(SYS_gettid)); }

namespace {
thread_local uint32_t tLastError = ERROR_SUCCESS;
}  // namespace

uint32_t GetLastError() { return tLastError; }
void SetLastError(uint32_t code) { tLastError = code; }

// Time ------------------------------------------------------------------------

namespace {

struct TickSource {
  std::mutex mutex;
  std::function<uint32_t()> source;
};

TickSource& Ticks() {
  static TickSource ticks;
  return ticks;
}

uint32_t SteadyMilliseconds() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

uint32_t GetTickCount() {
  std::function<uint32_t()> source;
  {
    std::lock_guard lock(Ticks().mutex);
    source = Ticks().source;
  }
  return source ? source() : SteadyMilliseconds();
}

void SetTickCountSource(std::function<uint32_t()> source) {
  std::lock_guard lock(Ticks().mutex);
  Ticks().source = std::move(source);
}

void Sleep(uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// Debugger output ---------------------------------------------------------------

namespace {

// The sink keeps the latest lines only, so that a program that logs in a
// loop does not grow without bound.
constexpr size_t kDebugSinkLines = 10000;

struct DebugSink {
  std::mutex mutex;
  std::deque<std::string> lines;
};

DebugSink& Sink() {
  static DebugSink sink;
  return sink;
}

}  // namespace

void OutputDebugString(const std::string& text) {
  DebugSink& sink = Sink();
  std::lock_guard lock(sink.mutex);
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
  if (sink.lines.size() == kDebugSinkLines) sink.lines.pop_front();
  sink.lines.push_back(text);
}

std::vector<std::string> DebugOutputLines() {
  DebugSink& sink = Sink();
  std::lock_guard lock(sink.mutex);
  return {sink.lines.begin(), sink.lines.end()};
}

void ClearDebugOutput() {
  DebugSink& sink = Sink();
  std::lock_guard lock(sink.mutex);
  sink.lines.clear();
}
