#include "platform/savestream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/sysutils.h"

namespace {

[[noreturn]] void RaiseCreateError(const std::string& name, const std::string& reason) {
  throw EFCreateError("Cannot create file \"" + name + "\". " + reason);
}

// Why an existing file may not be replaced, or "" when it may.
std::string CheckReplaceable(const std::string& path, mode_t& mode) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "";  // nothing there yet
  std::string failure;
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    failure = std::strerror(errno);
  } else if (S_ISDIR(st.st_mode)) {
    failure = std::strerror(EISDIR);
  } else if (!(st.st_mode & S_IWUSR)) {
    failure = std::strerror(EACCES);
  } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    failure = "The process cannot access the file because it is being used by another process.";
  } else {
    mode = st.st_mode & 07777;
  }
  ::close(fd);
  return failure;
}

}  // namespace

TSaveFileStream::TSaveFileStream(const std::string& fileName)
    : fileName_(fileName), target_(NativePath(fileName)) {
  mode_t mode = 0;
  const std::string failure = CheckReplaceable(target_, mode);
  if (!failure.empty()) RaiseCreateError(fileName, failure);
  static std::atomic<unsigned> counter{0};
  temp_ = target_ + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  try {
    file_ = std::make_unique<TFileStream>(temp_, fmCreate);
  } catch (const EFCreateError&) {
    // A folder that takes no new files still lets an existing file be rewritten.
    temp_.clear();
    if (!mode) throw;
    file_ = std::make_unique<TFileStream>(target_, fmCreate);
    return;
  }
  if (mode) ::fchmod(file_->Handle(), mode);
}

TSaveFileStream::~TSaveFileStream() {
  if (committed_ || temp_.empty()) return;
  file_.reset();
  ::unlink(temp_.c_str());
}

void TSaveFileStream::Commit() {
  if (committed_) return;
  if (!temp_.empty() && ::rename(temp_.c_str(), target_.c_str()) != 0) RaiseCreateError(fileName_, std::strerror(errno));
  committed_ = true;
}
