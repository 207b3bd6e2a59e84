// Card templates on disk: opening reads the bytes and never writes the
// file (read-only media open, two programs may open one template), and
// saving replaces the file whole through a temporary name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "designer/cardtemplate.h"
#include "designer/templatescramble.h"

namespace {

// Far above any real template (about 8 KB); anything larger is not one.
constexpr off_t kMaxTemplateBytes = 1 << 20;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

std::string ReadTemplateBytes(const std::string& path) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) throw ECardTemplateError("Cannot open file \"" + path + "\". " + std::strerror(errno));
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
    throw ECardTemplateError("Cannot open file \"" + path + "\": not a file");
  if (st.st_size > kMaxTemplateBytes) throw ECardTemplateError("\"" + path + "\" is too large for a card template");
  std::string bytes(static_cast<size_t>(st.st_size), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw ECardTemplateError("Cannot read file \"" + path + "\". " + std::strerror(errno));
    if (n == 0) break;  // the file shrank since fstat
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

CardTemplate LoadCardTemplate(const std::string& path) {
  std::string bytes = ReadTemplateBytes(path);
  if (!IsStockTemplatePath(path)) bytes = UnscrambleTemplateBytes(std::move(bytes));
  return ParseCardTemplate(bytes);
}

void SaveCardTemplate(const std::string& path, const CardTemplate& design) {
  std::string bytes = FormatCardTemplate(design);
  if (!IsStockTemplatePath(path)) bytes = ScrambleTemplateBytes(std::move(bytes));
  // The old file keeps its permissions; a new one gets the usual ones.
  mode_t mode = 0644;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  std::string temp = path + ".XXXXXX";
  FileDescriptor fd(::mkstemp(temp.data()));
  if (fd.get() < 0) throw ECardTemplateError("Unable to write to " + path + ". " + std::strerror(errno));
  bool ok = ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  ok = ::close(fd.release()) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    const int error = errno;
    ::unlink(temp.c_str());
    throw ECardTemplateError("Unable to write to " + path + ". " + std::strerror(error));
  }
}
