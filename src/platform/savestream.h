// A file written under a sibling temporary name and put in place by
// Commit, so a save that fails or is abandoned half-way leaves the old
// file whole (and a new file never appears half-written).
#pragma once

#include <memory>
#include <string>

#include "platform/classes.h"

class TSaveFileStream : public TStream {
 public:
  // Refuses, as creating the file would (EFCreateError naming it), a target
  // that is a folder, read-only or held by another stream.
  explicit TSaveFileStream(const std::string& fileName);
  // Without Commit the temporary file is removed and the target untouched.
  ~TSaveFileStream() override;
  int64_t Read(void* buffer, int64_t count) override { return file_->Read(buffer, count); }
  int64_t Write(const void* buffer, int64_t count) override { return file_->Write(buffer, count); }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override { return file_->Seek(offset, origin); }
  void SetSize(int64_t size) override { file_->SetSize(size); }
  // Replaces the target with what was written (EFCreateError on failure).
  void Commit();

 private:
  std::string fileName_, target_, temp_;
  std::unique_ptr<TFileStream> file_;
  bool committed_ = false;
};
