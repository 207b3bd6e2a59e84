// Capture devices through V4L2: the index-th /dev/video node that captures
// video, streaming into a few mapped buffers, in YUYV or Motion JPEG.
#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/camera.h"
#include "platform/v4l2frames.h"

namespace {

// How long a grab waits for a frame; the preview runs on the GUI thread.
constexpr int kWaitMs = 500;
constexpr unsigned kBuffers = 4;
// The nodes looked at for capture devices.
constexpr int kMaxNodes = 64;

int Ioctl(int fd, unsigned long request, void* arg) {
  int r;
  do r = ioctl(fd, request, arg);
  while (r == -1 && errno == EINTR);
  return r;
}

bool CapturesVideo(int fd) {
  v4l2_capability cap{};
  if (Ioctl(fd, VIDIOC_QUERYCAP, &cap) != 0) return false;
  const uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
  return (caps & V4L2_CAP_VIDEO_CAPTURE) && (caps & V4L2_CAP_STREAMING);
}

// The formats we read, in the order we prefer them.
uint32_t ChooseFormat(int fd) {
  bool yuyv = false, mjpeg = false;
  for (uint32_t i = 0; i < 64; ++i) {
    v4l2_fmtdesc desc{};
    desc.index = i;
    desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (Ioctl(fd, VIDIOC_ENUM_FMT, &desc) != 0) break;
    yuyv |= desc.pixelformat == V4L2_PIX_FMT_YUYV;
    mjpeg |= desc.pixelformat == V4L2_PIX_FMT_MJPEG || desc.pixelformat == V4L2_PIX_FMT_JPEG;
  }
  return yuyv ? V4L2_PIX_FMT_YUYV : mjpeg ? V4L2_PIX_FMT_MJPEG : 0;
}

class TV4L2Camera : public TCameraDevice {
 public:
  ~TV4L2Camera() override { Close(); }

  bool Open(const std::string& path) {
    path_ = path;
    fd_ = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0 || !CapturesVideo(fd_)) return false;
    uint32_t pixelFormat = ChooseFormat(fd_);
    if (!pixelFormat) return false;
    v4l2_format fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    fmt.fmt.pix.width = 640;
    fmt.fmt.pix.height = 480;
    fmt.fmt.pix.pixelformat = pixelFormat;
    fmt.fmt.pix.field = V4L2_FIELD_ANY;
    if (Ioctl(fd_, VIDIOC_S_FMT, &fmt) != 0) return false;
    // The driver may answer with another size or format.
    format_ = fmt.fmt.pix;
    if (format_.pixelformat != V4L2_PIX_FMT_YUYV && format_.pixelformat != V4L2_PIX_FMT_MJPEG &&
        format_.pixelformat != V4L2_PIX_FMT_JPEG)
      return false;
    return MapBuffers() && Ioctl(fd_, VIDIOC_STREAMON, &type_) == 0 && (streaming_ = true);
  }

  bool Grab(TBitmap* into) override {
    if (!streaming_) return false;
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, kWaitMs) <= 0) return false;
    // Take the newest frame that is ready; give the older ones back.
    v4l2_buffer newest{};
    bool have = false;
    for (;;) {
      v4l2_buffer buf{};
      buf.type = type_;
      buf.memory = V4L2_MEMORY_MMAP;
      if (Ioctl(fd_, VIDIOC_DQBUF, &buf) != 0) break;
      if (buf.index >= buffers_.size()) break;
      if (have) Ioctl(fd_, VIDIOC_QBUF, &newest);
      newest = buf;
      have = true;
    }
    if (!have) return false;
    const Buffer& b = buffers_[newest.index];
    const size_t used = std::min<size_t>(newest.bytesused ? newest.bytesused : b.length, b.length);
    const auto* bytes = static_cast<const uint8_t*>(b.start);
    bool ok = format_.pixelformat == V4L2_PIX_FMT_YUYV
                  ? CameraYuyvToBitmap(bytes, used, int(format_.width), int(format_.height),
                                       int(format_.bytesperline ? format_.bytesperline : format_.width * 2), into)
                  : CameraMjpegToBitmap(bytes, used, into);
    Ioctl(fd_, VIDIOC_QBUF, &newest);
    return ok;
  }

  std::string Name() const override { return path_; }

 private:
  struct Buffer {
    void* start = MAP_FAILED;
    size_t length = 0;
  };

  bool MapBuffers() {
    v4l2_requestbuffers req{};
    req.count = kBuffers;
    req.type = type_;
    req.memory = V4L2_MEMORY_MMAP;
    if (Ioctl(fd_, VIDIOC_REQBUFS, &req) != 0 || req.count == 0) return false;
    for (uint32_t i = 0; i < req.count; ++i) {
      v4l2_buffer buf{};
      buf.type = type_;
      buf.memory = V4L2_MEMORY_MMAP;
      buf.index = i;
      if (Ioctl(fd_, VIDIOC_QUERYBUF, &buf) != 0) return false;
      Buffer b;
      b.length = buf.length;
      b.start = mmap(nullptr, buf.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, buf.m.offset);
      if (b.start == MAP_FAILED) return false;
      buffers_.push_back(b);
      if (Ioctl(fd_, VIDIOC_QBUF, &buf) != 0) return false;
    }
    return true;
  }

  void Close() {
    if (streaming_) Ioctl(fd_, VIDIOC_STREAMOFF, &type_);
    streaming_ = false;
    for (Buffer& b : buffers_)
      if (b.start != MAP_FAILED) munmap(b.start, b.length);
    buffers_.clear();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  std::string path_;
  int fd_ = -1;
  int type_ = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  v4l2_pix_format format_{};
  std::vector<Buffer> buffers_;
  bool streaming_ = false;
};

}  // namespace

std::unique_ptr<TCameraDevice> CameraOpenV4L2(int index) {
  int seen = 0;
  for (int node = 0; node < kMaxNodes; ++node) {
    const std::string path = "/dev/video" + std::to_string(node);
    int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    const bool captures = CapturesVideo(fd);
    ::close(fd);
    if (!captures || seen++ != index) continue;
    auto camera = std::make_unique<TV4L2Camera>();
    if (!camera->Open(path)) return nullptr;
    return camera;
  }
  return nullptr;
}
