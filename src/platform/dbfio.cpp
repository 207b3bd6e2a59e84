#include "dbfio.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <map>
#include <mutex>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "dbf.h"

namespace dbfio {

bool ReadAt(int fd, int64_t offset, void* buffer, int64_t count) {
  auto* p = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    ssize_t n = pread(fd, p, size_t(count), off_t(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    offset += n;
    count -= n;
  }
  return true;
}

void WriteAt(int fd, int64_t offset, const void* buffer, int64_t count, const std::string& what) {
  auto* p = static_cast<const uint8_t*>(buffer);
  while (count > 0) {
    ssize_t n = pwrite(fd, p, size_t(count), off_t(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw EDatabaseError("Cannot write " + what + ": " + std::strerror(n < 0 ? errno : ENOSPC));
    p += n;
    offset += n;
    count -= n;
  }
}

namespace {
std::atomic<bool> gDiskSync{true};
std::atomic<uint64_t> gSyncs{0};
// The open deferred-sync scopes and the files they left dirty (descriptor
// to name for the error text).
std::mutex gDeferMutex;
int gDeferDepth = 0;
std::map<int, std::string> gDirty;

void Sync(int fd, const std::string& what) {
  ++gSyncs;
  if (!gDiskSync) return;
  if (fdatasync(fd) != 0 && errno != EINVAL)
    throw EDatabaseError("Cannot write " + what + ": " + std::strerror(errno));
}
}  // namespace

void SetDiskSync(bool on) { gDiskSync = on; }

uint64_t SyncCount() { return gSyncs; }

void Flush(int fd, const std::string& what) {
  {
    std::lock_guard<std::mutex> hold(gDeferMutex);
    if (gDeferDepth > 0) {
      gDirty.emplace(fd, what);
      return;
    }
  }
  Sync(fd, what);
}

void Close(int fd, const std::string& what) noexcept {
  bool dirty;
  {
    std::lock_guard<std::mutex> hold(gDeferMutex);
    dirty = gDirty.erase(fd) > 0;
  }
  try {
    if (dirty) Sync(fd, what);
  } catch (const EDatabaseError&) {
    // A close cannot report; the bytes are written, only the wait failed.
  }
  close(fd);
}

DeferredSync::DeferredSync() {
  std::lock_guard<std::mutex> hold(gDeferMutex);
  ++gDeferDepth;
}

DeferredSync::~DeferredSync() noexcept(false) {
  std::map<int, std::string> dirty;
  {
    std::lock_guard<std::mutex> hold(gDeferMutex);
    if (--gDeferDepth > 0) return;
    dirty.swap(gDirty);
  }
  // Every file is pushed even when one fails; the first failure is raised
  // unless the scope is already being left by an exception.
  std::string failure;
  for (const auto& [fd, what] : dirty) {
    try {
      Sync(fd, what);
    } catch (const EDatabaseError& e) {
      if (failure.empty()) failure = e.what();
    }
  }
  if (!failure.empty() && std::uncaught_exceptions() == 0) throw EDatabaseError(failure);
}

void Truncate(int fd, int64_t size, const std::string& what) {
  if (ftruncate(fd, off_t(size)) != 0) throw EDatabaseError("Cannot write " + what + ": " + std::strerror(errno));
}

int64_t FileSize(int fd) {
  struct stat st {};
  return fstat(fd, &st) == 0 ? int64_t(st.st_size) : -1;
}

WriteLock::WriteLock(int fd, const std::string& what) : fd_(fd) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  if (fcntl(fd_, F_OFD_SETLK, &fl) != 0)
    throw EDatabaseError("Table " + what + " is locked by another program.");
}

WriteLock::~WriteLock() {
  struct flock fl {};
  fl.l_type = F_UNLCK;
  fl.l_whence = SEEK_SET;
  fcntl(fd_, F_OFD_SETLK, &fl);
}

}  // namespace dbfio
