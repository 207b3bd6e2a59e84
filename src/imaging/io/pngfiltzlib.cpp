// Stream classes over zlib and the whole-buffer routines. zlib failures
// and forbidden operations are silent aborts (EAbort).
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "imaging/io/pngfilt.h"

namespace {

// zlib counts in 32-bit units: larger amounts go in slices.
constexpr int64_t kZlibSlice = UINT_MAX;

// Errors, and a stream that asks for a preset dictionary (none is ever
// given, so it could never go on), end the work.
int Check(int result) {
  if (result < 0 || result == Z_NEED_DICT) Abort();
  return result;
}

int ZlibLevel(TCompressionLevel level) {
  switch (level) {
    case TCompressionLevel::clNone: return Z_NO_COMPRESSION;
    case TCompressionLevel::clFastest: return Z_BEST_SPEED;
    case TCompressionLevel::clMax: return Z_BEST_COMPRESSION;
    default: return Z_DEFAULT_COMPRESSION;
  }
}

int64_t RoundUp256(int64_t n) { return (n + 255) / 256 * 256; }

// A heap block that grows; freed unless released.
class THeapBlock {
 public:
  explicit THeapBlock(int64_t size) { Resize(size); }
  ~THeapBlock() { std::free(data_); }
  void Resize(int64_t size) {
    void* grown = std::realloc(data_, static_cast<size_t>(std::max<int64_t>(size, 1)));
    if (!grown) Abort();
    data_ = static_cast<Bytef*>(grown);
    size_ = size;
  }
  Bytef* Data() const { return data_; }
  int64_t Size() const { return size_; }
  void* Release() {
    void* p = data_;
    data_ = nullptr;
    return p;
  }

 private:
  Bytef* data_ = nullptr;
  int64_t size_ = 0;
};

// Hands zlib the next slice of input when it has taken the last one.
void FeedInput(z_stream& z, const Bytef*& next, int64_t& left) {
  if (z.avail_in != 0 || left == 0) return;
  const int64_t slice = std::min(left, kZlibSlice);
  z.next_in = const_cast<Bytef*>(next);
  z.avail_in = static_cast<uInt>(slice);
  next += slice;
  left -= slice;
}

}  // namespace

// Base -----------------------------------------------------------------------------------

TCustomZlibStream::TCustomZlibStream(TStream* Strm) : FStrm(Strm), FStrmPos(Strm->GetPosition()) {}

TCustomZlibStream::~TCustomZlibStream() = default;

void TCustomZlibStream::Progress(TObject* Sender) {
  if (OnProgress) OnProgress(Sender);
}

void TCustomZlibStream::RestorePosition() {
  if (FStrm->GetPosition() != FStrmPos) FStrm->SetPosition(FStrmPos);
}

void TCustomZlibStream::RememberPosition() { FStrmPos = FStrm->GetPosition(); }

// Compression -----------------------------------------------------------------------------

TCompressionStream::TCompressionStream(TCompressionLevel CompressionLevel, TStream* Dest)
    : TCustomZlibStream(Dest) {
  FZRec.next_out = FBuffer;
  FZRec.avail_out = BufferSize;
  Check(deflateInit(&FZRec, ZlibLevel(CompressionLevel)));
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (const std::exception&) {
    // Nothing can be reported from here; Finish tells callers who ask.
  }
  deflateEnd(&FZRec);
}

void TCompressionStream::FlushBuffer(int64_t count) {
  FStrm->WriteBuffer(FBuffer, count);
  FZRec.next_out = FBuffer;
  FZRec.avail_out = BufferSize;
  RememberPosition();
  Progress(this);
}

int64_t TCompressionStream::Read(void*, int64_t) { Abort(); }

int64_t TCompressionStream::Write(const void* Buffer, int64_t Count) {
  if (finished_) Abort();
  const auto* next = static_cast<const Bytef*>(Buffer);
  int64_t left = std::max<int64_t>(Count, 0);
  RestorePosition();
  FeedInput(FZRec, next, left);
  while (FZRec.avail_in > 0) {
    Check(deflate(&FZRec, Z_NO_FLUSH));
    if (FZRec.avail_out == 0) FlushBuffer(BufferSize);
    FeedInput(FZRec, next, left);
  }
  return Count;
}

int64_t TCompressionStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  if (Offset != 0 || Origin != soCurrent) Abort();
  return static_cast<int64_t>(FZRec.total_in);
}

float TCompressionStream::GetCompressionRate() {
  if (FZRec.total_in == 0) return 0;
  return static_cast<float>((1.0 - static_cast<double>(FZRec.total_out) / FZRec.total_in) * 100.0);
}

void TCompressionStream::Finish() {
  if (finished_) return;
  finished_ = true;
  FZRec.next_in = nullptr;
  FZRec.avail_in = 0;
  RestorePosition();
  while (Check(deflate(&FZRec, Z_FINISH)) != Z_STREAM_END && FZRec.avail_out == 0)
    FlushBuffer(BufferSize);
  if (FZRec.avail_out < BufferSize) FlushBuffer(BufferSize - FZRec.avail_out);
}

// Decompression ---------------------------------------------------------------------------

TDecompressionStream::TDecompressionStream(TStream* Source)
    : TCustomZlibStream(Source), start_(FStrmPos) {
  FZRec.next_in = FBuffer;
  FZRec.avail_in = 0;
  Check(inflateInit(&FZRec));
}

TDecompressionStream::~TDecompressionStream() { inflateEnd(&FZRec); }

int64_t TDecompressionStream::Read(void* Buffer, int64_t Count) {
  auto* next = static_cast<Bytef*>(Buffer);
  int64_t left = std::max<int64_t>(Count, 0);
  RestorePosition();
  while (left > 0) {
    if (FZRec.avail_in == 0) {
      const int64_t got = FStrm->Read(FBuffer, BufferSize);
      if (got <= 0) return Count - left;
      FZRec.next_in = FBuffer;
      FZRec.avail_in = static_cast<uInt>(got);
      RememberPosition();
      Progress(this);
    }
    const uInt room = static_cast<uInt>(std::min(left, kZlibSlice));
    FZRec.next_out = next;
    FZRec.avail_out = room;
    const int result = Check(inflate(&FZRec, Z_NO_FLUSH));
    const uInt produced = room - FZRec.avail_out;
    next += produced;
    left -= produced;
    if (result == Z_STREAM_END) return Count - left;
  }
  return Count;
}

int64_t TDecompressionStream::Write(const void*, int64_t) { Abort(); }

int64_t TDecompressionStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const auto delivered = static_cast<int64_t>(FZRec.total_out);
  if (Offset == 0 && Origin == soBeginning) {
    // Back to where the compressed data began, which need not be the
    // start of the underlying stream.
    Check(inflateReset(&FZRec));
    FZRec.next_in = FBuffer;
    FZRec.avail_in = 0;
    FStrm->SetPosition(start_);
    FStrmPos = start_;
    return 0;
  }
  int64_t skip = -1;
  if (Origin == soCurrent && Offset >= 0) skip = Offset;
  if (Origin == soBeginning && Offset > delivered) skip = Offset - delivered;
  if (skip < 0) Abort();
  Bytef scratch[4096];
  for (; skip > 0; skip -= std::min<int64_t>(skip, sizeof scratch))
    ReadBuffer(scratch, std::min<int64_t>(skip, sizeof scratch));
  return static_cast<int64_t>(FZRec.total_out);
}

// Whole buffers ---------------------------------------------------------------------------

namespace {

// One zlib pass over a whole buffer into a heap block that starts at
// `initial` bytes and grows by `increment` whenever it fills. run(z,
// lastInput) is deflate or inflate, finish(z) ends the stream either way.
template <typename Run, typename Finish>
void WholeBuffer(const void* InBuf, int64_t InBytes, int64_t initial, int64_t increment, Run run,
                 Finish finish, z_stream& z, void*& OutBuf, int64_t& OutBytes) {
  THeapBlock block(0);
  const auto* next = static_cast<const Bytef*>(InBuf);
  int64_t left = InBytes;
  int64_t done = 0;  // bytes made in the block
  try {
    block.Resize(initial);
    for (;;) {
      FeedInput(z, next, left);
      const int64_t room = std::min(block.Size() - done, kZlibSlice);
      z.next_out = block.Data() + done;
      z.avail_out = static_cast<uInt>(room);
      // Input cut short: zlib reports no progress (Z_BUF_ERROR) and Check aborts.
      const int result = Check(run(z, left == 0));
      done += room - z.avail_out;
      if (result == Z_STREAM_END) break;
      if (done == block.Size()) block.Resize(block.Size() + increment);
    }
  } catch (...) {
    finish(z);
    Abort();
  }
  finish(z);
  block.Resize(done);
  OutBytes = done;
  OutBuf = block.Release();
}

}  // namespace

void CompressBuf(const void* InBuf, int64_t InBytes, void*& OutBuf, int64_t& OutBytes) {
  OutBuf = nullptr;
  OutBytes = 0;
  if (InBytes < 0) Abort();
  z_stream z{};
  Check(deflateInit(&z, Z_BEST_COMPRESSION));
  WholeBuffer(
      InBuf, InBytes, RoundUp256(InBytes + InBytes / 10 + 12), 256,
      [](z_stream& s, bool last) { return deflate(&s, last ? Z_FINISH : Z_NO_FLUSH); },
      [](z_stream& s) { deflateEnd(&s); }, z, OutBuf, OutBytes);
}

void DecompressBuf(const void* InBuf, int64_t InBytes, int64_t OutEstimate, void*& OutBuf,
                   int64_t& OutBytes) {
  OutBuf = nullptr;
  OutBytes = 0;
  if (InBytes < 0) Abort();
  const int64_t increment = std::max<int64_t>(RoundUp256(InBytes), 256);
  z_stream z{};
  Check(inflateInit(&z));
  WholeBuffer(
      InBuf, InBytes, OutEstimate > 0 ? OutEstimate : increment, increment,
      [](z_stream& s, bool) { return inflate(&s, Z_NO_FLUSH); }, [](z_stream& s) { inflateEnd(&s); },
      z, OutBuf, OutBytes);
}
