// Disk-backed memory for large pictures: one temporary file per object,
// sized up front and reached through mapped views that callers map and
// unmap as they walk the picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sysutils.h"

// Folder for the library's temporary files; empty means the system's.
extern std::string DefTEMPPATH;

class TIEMemoryMapped : public TObject {
 public:
  TIEMemoryMapped() = default;
  ~TIEMemoryMapped() override;
  TIEMemoryMapped(const TIEMemoryMapped&) = delete;
  TIEMemoryMapped& operator=(const TIEMemoryMapped&) = delete;

  // Creates the file (a new unique one in DefTEMPPATH or the system
  // temporary folder when name is empty) at exactly `size` bytes with its
  // disk space reserved. False, with the file deleted, when it cannot be
  // made, sized or mapped.
  bool AllocateFile(const std::string& name, uint64_t size);
  // Resizes an allocated file; views mapped before stay as they were.
  bool ReAllocateFile(uint64_t size);
  // Maps `length` bytes from `offset` (a multiple of 65536); nullptr on failure.
  void* Map(uint64_t offset, size_t length);
  void UnMap(void* address);
  // Unmaps every view, the last mapped first.
  void UnMapAll();
  // Unmaps everything, closes and deletes the file.
  void DeAllocate();
  bool IsAllocated() const { return allocated_; }
  const std::string& FileName() const { return fileName_; }
  uint64_t Size() const { return size_; }

 private:
  int fd_ = -1;
  bool allocated_ = false;
  uint64_t size_ = 0;
  std::string fileName_;
  std::vector<void*> views_;
};

// Available physical memory in bytes (64-bit).
uint64_t IEGetFreeMemory();
