#include "imaging/core/iememorymapped.h"

#include <unistd.h>

#include <algorithm>

#include "imaging/core/iefiles.h"
#include "platform/kernel.h"

std::string DefTEMPPATH;

namespace {

// A new unique empty file in DefTEMPPATH (or the system temporary folder),
// whose folder and parents are made first; "" when that fails.
std::string NewTemporaryName() {
  const std::string folder = DefTEMPPATH.empty() ? GetTempPath() : DefTEMPPATH;
  IEForceDirectories(folder);  // a folder that cannot be made fails just below
  return GetTempFileName(folder, "pix", 0);
}

void RemoveFile(const std::string& name) { ::unlink(name.c_str()); }

}  // namespace

TIEMemoryMapped::~TIEMemoryMapped() { DeAllocate(); }

bool TIEMemoryMapped::AllocateFile(const std::string& name, uint64_t size) {
  // A second allocation replaces the first instead of leaking its file.
  DeAllocate();
  const bool madeName = name.empty();
  fileName_ = madeName ? NewTemporaryName() : name;
  if (fileName_.empty()) return false;
  fd_ = CreateTemporaryFile(fileName_);
  if (fd_ < 0) {
    if (madeName) RemoveFile(fileName_);
    return false;
  }
  // The mapping of an empty file cannot be made, as on every platform that
  // maps files; a short file means the disk could not give the space.
  const bool sized = SetFileSizeReserved(fd_, size) &&
                     GetFileSizeOfHandle(fd_) == static_cast<int64_t>(size);
  if (!sized || size == 0) {
    CloseFileHandle(fd_);
    fd_ = -1;
    RemoveFile(fileName_);
    return false;
  }
  size_ = size;
  allocated_ = true;
  return true;
}

bool TIEMemoryMapped::ReAllocateFile(uint64_t size) {
  // A failed resize leaves the file and its old mapping as they were, so
  // that DeAllocate can still remove it.
  if (!allocated_ || size == 0) return false;
  if (!SetFileSizeReserved(fd_, size) || GetFileSizeOfHandle(fd_) != static_cast<int64_t>(size)) {
    SetFileSizeReserved(fd_, size_);
    return false;
  }
  size_ = size;
  return true;
}

void* TIEMemoryMapped::Map(uint64_t offset, size_t length) {
  if (!allocated_) return nullptr;
  void* view = MapViewOfFile(fd_, offset, length);
  if (view) views_.push_back(view);
  return view;
}

void TIEMemoryMapped::UnMap(void* address) {
  // Only views of this object are unmapped.
  auto it = std::find(views_.begin(), views_.end(), address);
  if (it == views_.end()) return;
  views_.erase(it);
  UnmapViewOfFile(address);
}

void TIEMemoryMapped::UnMapAll() {
  if (!allocated_) return;
  while (!views_.empty()) {
    void* view = views_.back();
    views_.pop_back();
    UnmapViewOfFile(view);
  }
}

void TIEMemoryMapped::DeAllocate() {
  if (!allocated_) return;
  UnMapAll();
  CloseFileHandle(fd_);
  fd_ = -1;
  RemoveFile(fileName_);
  allocated_ = false;
  size_ = 0;
}

uint64_t IEGetFreeMemory() { return GetAvailablePhysicalMemory(); }
