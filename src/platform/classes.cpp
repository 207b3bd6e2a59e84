#include "platform/classes.h"
#include "platform/savestream.h"

#include <cxxabi.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <typeinfo>

// TPersistent ---------------------------------------------------------------

namespace {

std::string ClassName(const TObject* object) {
  if (!object) return "nil";
  int status = 0;
  char* name = abi::__cxa_demangle(typeid(*object).name(), nullptr, nullptr, &status);
  std::string result = status == 0 && name ? name : typeid(*object).name();
  std::free(name);
  return result;
}

}  // namespace

void TPersistent::Assign(TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  throw EConvertError("Cannot assign a " + ClassName(source) + " to a " + ClassName(this));
}

void TPersistent::AssignTo(TPersistent* dest) {
  throw EConvertError("Cannot assign a " + ClassName(this) + " to a " + ClassName(dest));
}

// TStream -------------------------------------------------------------------

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count < 0 || (count != 0 && Read(buffer, count) != count)) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count < 0 || (count != 0 && Write(buffer, count) != count))
    throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* source, int64_t count) {
  if (count == 0) {
    source->SetPosition(0);
    count = source->GetSize();
  }
  if (count < 0) throw EReadError("Stream read error");
  constexpr int64_t kChunk = 64 * 1024;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(count, kChunk)));
  for (int64_t left = count; left > 0;) {
    int64_t n = std::min(left, kChunk);
    source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return count;
}

int64_t TStream::GetSize() {
  int64_t pos = Seek(0, soCurrent);
  int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(int64_t) {}

// Memory streams ----------------------------------------------------------------

namespace {

// Position `offset` from `origin`, or -1 when it would be negative or overflow.
int64_t TargetPosition(int64_t offset, TSeekOrigin origin, int64_t position, int64_t size) {
  int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position : size;
  int64_t target = 0;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) return -1;
  return target;
}

}  // namespace

int64_t TCustomMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || position_ >= size_) return 0;
  int64_t n = std::min(count, size_ - position_);
  std::memcpy(buffer, memory_ + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t target = TargetPosition(offset, origin, position_, size_);
  if (target < 0) return -1;
  position_ = target;
  return position_;
}

void TCustomMemoryStream::SaveToStream(TStream* stream) { stream->WriteBuffer(memory_, size_); }

void TCustomMemoryStream::SaveToFile(const std::string& name) {
  TSaveFileStream file(name);
  SaveToStream(&file);
  file.Commit();
}

void TCustomMemoryStream::SetPointer(void* ptr, int64_t size) {
  memory_ = static_cast<uint8_t*>(ptr);
  size_ = size;
}

TMemoryStream::~TMemoryStream() { Clear(); }

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  int64_t end = 0;
  if (count <= 0 || __builtin_add_overflow(position_, count, &end)) return 0;
  if (end > size_) {
    if (end > capacity_) SetCapacity(end);
    // A write past the end leaves no stale bytes in the gap.
    if (position_ > size_) std::memset(memory_ + size_, 0, static_cast<size_t>(position_ - size_));
    size_ = end;
  }
  std::memcpy(memory_ + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) throw EStreamError("Invalid stream size");
  int64_t old = size_;
  SetCapacity(size);
  if (size > old) std::memset(memory_ + old, 0, static_cast<size_t>(size - old));
  size_ = size;
  if (position_ > size) position_ = size;
}

void TMemoryStream::Clear() {
  std::free(memory_);
  memory_ = nullptr;
  size_ = position_ = capacity_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  int64_t count = stream->GetSize();
  if (count < 0) throw EReadError("Stream read error");
  SetSize(count);
  stream->ReadBuffer(memory_, count);
}

void TMemoryStream::LoadFromFile(const std::string& name) {
  TFileStream file(name, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TMemoryStream::SetCapacity(int64_t capacity) {
  // Grows in 8 KB blocks, and by at least a quarter, so that many small
  // writes do not copy the block over and over.
  constexpr int64_t kBlock = 8192;
  if (capacity > capacity_ && capacity_ > 0) capacity = std::max(capacity, capacity_ + capacity_ / 4);
  if (capacity > std::numeric_limits<int64_t>::max() - kBlock) OutOfMemoryError();
  capacity = (capacity + kBlock - 1) / kBlock * kBlock;
  if (capacity == capacity_) return;
  if (capacity == 0) {
    std::free(memory_);
    memory_ = nullptr;
  } else {
    if (static_cast<uint64_t>(capacity) > std::numeric_limits<size_t>::max()) OutOfMemoryError();
    void* grown = std::realloc(memory_, static_cast<size_t>(capacity));
    if (!grown) throw EStreamError("Out of memory while expanding memory stream");
    memory_ = static_cast<uint8_t*>(grown);
  }
  capacity_ = capacity;
}

// TFileStream -------------------------------------------------------------------

namespace {

[[noreturn]] void RaiseOpenError(const std::string& name, bool creating, const std::string& reason) {
  std::string text = (creating ? "Cannot create file \"" : "Cannot open file \"") + name + "\". " + reason;
  if (creating) throw EFCreateError(text);
  throw EFOpenError(text);
}

// The lock that stands in for the platform's share mode; 0 for none.
int LockForShareMode(uint16_t mode) {
  switch (mode & 0xF0) {
    case fmShareExclusive:
    case fmShareDenyRead:
      return LOCK_EX;
    case fmShareDenyWrite:
      return LOCK_SH;
    default:
      return 0;
  }
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
  const bool creating = mode == fmCreate;
  int flags = O_CLOEXEC;
  int lock = LOCK_EX;  // a new file is held exclusively, as the platform does
  if (creating) {
    flags |= O_RDWR | O_CREAT;
  } else {
    switch (mode & 3) {
      case fmOpenRead: flags |= O_RDONLY; break;
      case fmOpenWrite: flags |= O_WRONLY; break;
      case fmOpenReadWrite: flags |= O_RDWR; break;
      default: RaiseOpenError(fileName, false, std::strerror(EINVAL));
    }
    lock = LockForShareMode(mode);
  }
  fd_ = ::open(NativePath(fileName).c_str(), flags, 0666);
  if (fd_ < 0) RaiseOpenError(fileName, creating, std::strerror(errno));
  struct stat st;
  std::string failure;
  if (::fstat(fd_, &st) != 0) {
    failure = std::strerror(errno);
  } else if (S_ISDIR(st.st_mode)) {
    failure = std::strerror(EISDIR);
  } else if ((flags & (O_WRONLY | O_RDWR)) && !(st.st_mode & S_IWUSR)) {
    // The read-only attribute holds for every user, as on the platform.
    failure = std::strerror(EACCES);
  } else if (lock && ::flock(fd_, lock | LOCK_NB) != 0) {
    failure = errno == EWOULDBLOCK
                  ? "The process cannot access the file because it is being used by another process."
                  : std::strerror(errno);
  } else if (creating && ::ftruncate(fd_, 0) != 0) {
    // Emptied only once the lock is held, so a file in use elsewhere keeps its data.
    failure = std::strerror(errno);
  }
  if (!failure.empty()) {
    ::close(fd_);
    fd_ = -1;
    RaiseOpenError(fileName, creating, failure);
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (done < count) {
    size_t chunk = static_cast<size_t>(std::min<int64_t>(count - done, 1 << 30));
    ssize_t n = ::read(fd_, out + done, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  const auto* in = static_cast<const uint8_t*>(buffer);
  while (done < count) {
    size_t chunk = static_cast<size_t>(std::min<int64_t>(count - done, 1 << 30));
    ssize_t n = ::write(fd_, in + done, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  return ::lseek(fd_, offset, whence);
}

void TFileStream::SetSize(int64_t size) {
  if (size < 0 || Seek(size, soBeginning) != size || ::ftruncate(fd_, size) != 0)
    throw EStreamError("Cannot set the size of \"" + fileName_ + "\". " + std::strerror(errno));
}
