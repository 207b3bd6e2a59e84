// Reading AVI files: the RIFF chunk tree is walked with every size checked
// against its parent and the file; the first video stream's headers give
// the frame format and the "movie" lists give the frames, in file order.
// The index chunk is not needed: the frames are found by walking the movie
// lists, which also covers files whose index is missing or wrong.
#include <algorithm>
#include <cstring>
#include <memory>

#include "imaging/core/iedibbitmap.h"
#include "imaging/io/avifile.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/jpegfilt.h"
#include "imaging/proc/iedibdecode.h"
#include "imaging/proc/ievideoframes.h"

namespace {

constexpr uint32_t kRIFF = IEFourCC('R', 'I', 'F', 'F');
constexpr uint32_t kLIST = IEFourCC('L', 'I', 'S', 'T');
constexpr uint32_t kAVI = IEFourCC('A', 'V', 'I', ' ');
constexpr uint32_t kAVIX = IEFourCC('A', 'V', 'I', 'X');
constexpr uint32_t kHdrl = IEFourCC('h', 'd', 'r', 'l');
constexpr uint32_t kStrl = IEFourCC('s', 't', 'r', 'l');
constexpr uint32_t kStrh = IEFourCC('s', 't', 'r', 'h');
constexpr uint32_t kStrf = IEFourCC('s', 't', 'r', 'f');
constexpr uint32_t kMovi = IEFourCC('m', 'o', 'v', 'i');
constexpr uint32_t kRec = IEFourCC('r', 'e', 'c', ' ');
constexpr uint32_t kVids = IEFourCC('v', 'i', 'd', 's');
constexpr uint32_t kMJPG = IEFourCC('M', 'J', 'P', 'G');
constexpr uint32_t kMjpgLower = IEFourCC('m', 'j', 'p', 'g');
constexpr uint32_t kBiRGB = 0, kBiBitfields = 3;

// Lists nest only a few levels in real files ("movi" holding "rec ").
constexpr int kMaxMovieDepth = 4;
constexpr size_t kHeaderSize = 40;

std::string FourCCText(uint32_t code) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const char c = char(code >> (8 * i));
    text += (c >= 32 && c < 127) ? c : '?';
  }
  return text;
}

// A chunk's id and data span; Fits tells whether the data lies inside end.
struct TChunk {
  uint32_t Id = 0;
  uint32_t Size = 0;
  int64_t Data = 0;
  int64_t Next(int64_t end) const { return std::min(end, Data + int64_t{Size} + (Size & 1)); }
  bool Fits(int64_t end) const { return Data + int64_t{Size} <= end; }
};

bool ReadAt(TStream* s, int64_t pos, void* buffer, int64_t count) {
  s->SetPosition(pos);
  return s->Read(buffer, count) == count;
}

bool ReadChunk(TStream* s, int64_t pos, int64_t end, TChunk& chunk) {
  uint8_t h[8];
  if (pos + 8 > end || !ReadAt(s, pos, h, 8)) return false;
  chunk.Id = IEGetLE32(h);
  chunk.Size = IEGetLE32(h + 4);
  chunk.Data = pos + 8;
  return true;
}

// The list type of a LIST or RIFF chunk, 0 when it has none.
uint32_t ListType(TStream* s, const TChunk& chunk) {
  uint8_t t[4];
  if (chunk.Size < 4 || !ReadAt(s, chunk.Data, t, 4)) return 0;
  return IEGetLE32(t);
}

// Frame chunk ids: two digits of the stream number, then "db" or "dc".
bool IsFrameOf(uint32_t id, int stream) {
  const char c0 = char(id), c1 = char(id >> 8), t0 = char(id >> 16), t1 = char(id >> 24);
  if (c0 < '0' || c0 > '9' || c1 < '0' || c1 > '9' || (c0 - '0') * 10 + (c1 - '0') != stream) return false;
  return t0 == 'd' && (t1 == 'b' || t1 == 'c');
}

uint32_t RowBytes(int64_t width, int bits) { return uint32_t(((width * bits + 31) / 32) * 4); }

int Luminance(const uint8_t* bgrx) { return (bgrx[2] * 299 + bgrx[1] * 587 + bgrx[0] * 114) / 1000; }

}  // namespace

int32_t IEAviFrameDelay(uint32_t scale, uint32_t rate) {
  if (scale == 0 || rate == 0) return 0;
  return int32_t(std::min<uint64_t>(uint64_t{1000} * scale / rate, INT32_MAX));
}

void IEAviSampleLayout(int bitCount, int32_t& bitsPerSample, int32_t& samplesPerPixel) {
  if (bitCount == 1 || bitCount == 4 || bitCount == 8) {
    bitsPerSample = bitCount;
    samplesPerPixel = 1;
  } else {
    bitsPerSample = bitCount == 15 ? 5 : 8;
    samplesPerPixel = 3;
  }
}

bool TIEAviReader::Fail(const std::string& why) {
  Error = why;
  return false;
}

bool TIEAviReader::Open(TStream* stream) {
  stream_ = stream;
  Error.clear();
  frames_.clear();
  format_.clear();
  videoStream_ = -1;
  info_ = {};
  if (!stream) return Fail("no AVI stream");
  fileSize_ = stream->GetSize();
  TChunk riff;
  if (!ReadChunk(stream, 0, fileSize_, riff) || riff.Id != kRIFF || ListType(stream, riff) != kAVI)
    return Fail("not an AVI file: no RIFF AVI header");
  // A file cut short keeps what it holds: the RIFF ends at the file's end.
  int64_t end = riff.Next(fileSize_);
  bool headersRead = false;
  for (int64_t pos = riff.Data + 4; pos < end;) {
    TChunk c;
    if (!ReadChunk(stream, pos, end, c)) break;
    if (c.Id == kLIST && ListType(stream, c) == kHdrl && !headersRead) {
      if (!c.Fits(end)) return Fail("AVI header list runs past the end of the file");
      if (!ReadHeaderList(c.Data + 4, c.Data + c.Size)) return false;
      headersRead = true;
    } else if (c.Id == kLIST && ListType(stream, c) == kMovi && headersRead) {
      ScanMovie(c.Data + 4, c.Next(end), 0);
    }
    pos = c.Next(end);
  }
  if (!headersRead) return Fail("AVI file without a header list");
  if (videoStream_ < 0 || format_.empty()) return Fail("AVI file without a video stream");
  // Large files go on in further RIFF "AVIX" chunks, each with a movie list.
  for (int64_t pos = end; pos < fileSize_;) {
    TChunk more;
    if (!ReadChunk(stream, pos, fileSize_, more) || more.Id != kRIFF || ListType(stream, more) != kAVIX) break;
    const int64_t moreEnd = more.Next(fileSize_);
    for (int64_t p = more.Data + 4; p < moreEnd;) {
      TChunk c;
      if (!ReadChunk(stream, p, moreEnd, c)) break;
      if (c.Id == kLIST && ListType(stream, c) == kMovi) ScanMovie(c.Data + 4, c.Next(moreEnd), 0);
      p = c.Next(moreEnd);
    }
    pos = moreEnd;
  }
  return true;
}

bool TIEAviReader::ReadHeaderList(int64_t start, int64_t end) {
  int streamNumber = 0;
  for (int64_t pos = start; pos < end && videoStream_ < 0;) {
    TChunk c;
    if (!ReadChunk(stream_, pos, end, c)) break;
    if (!c.Fits(end)) return Fail("AVI header chunk runs past its list");
    if (c.Id == kLIST && ListType(stream_, c) == kStrl) {
      if (!ReadStreamList(c.Data + 4, c.Data + c.Size, streamNumber)) return false;
      ++streamNumber;
    }
    pos = c.Next(end);
  }
  return true;
}

bool TIEAviReader::ReadStreamList(int64_t start, int64_t end, int streamNumber) {
  std::vector<uint8_t> strh, strf;
  for (int64_t pos = start; pos < end;) {
    TChunk c;
    if (!ReadChunk(stream_, pos, end, c)) break;
    if (!c.Fits(end)) return Fail("AVI stream header runs past its list");
    if (c.Id == kStrh && strh.empty()) {
      if (c.Size < 36) return Fail("AVI stream header too short");
      strh.resize(36);
      if (!ReadAt(stream_, c.Data, strh.data(), 36)) return Fail("AVI stream header cannot be read");
    } else if (c.Id == kStrf && strf.empty()) {
      // The header, then at most 256 colours or three masks.
      strf.resize(std::min<uint32_t>(c.Size, 1024 + 1024));
      if (!ReadAt(stream_, c.Data, strf.data(), int64_t(strf.size()))) return Fail("AVI stream format cannot be read");
    }
    pos = c.Next(end);
  }
  if (strh.empty() || IEGetLE32(strh.data()) != kVids) return true;  // not video: skipped
  if (strf.size() < kHeaderSize) return Fail("AVI video stream without a frame format");
  const uint32_t headerSize = IEGetLE32(strf.data());
  const int32_t width = IEGetLE32s(strf.data() + 4), height = IEGetLE32s(strf.data() + 8);
  const uint16_t bits = IEGetLE16(strf.data() + 14);
  const uint32_t compression = IEGetLE32(strf.data() + 16);
  if (headerSize < kHeaderSize || headerSize > strf.size()) return Fail("AVI frame format has a bad header size");
  if (width <= 0 || width > kIEAviMaxSide || height == 0 || height < -kIEAviMaxSide || height > kIEAviMaxSide ||
      int64_t{width} * std::abs(int64_t{height}) > kIEAviMaxPixels)
    return Fail("AVI frame size out of range");

  info_.Scale = IEGetLE32(strh.data() + 20);
  info_.Rate = IEGetLE32(strh.data() + 24);
  info_.Length = IEGetLE32(strh.data() + 32);
  info_.Width = width;
  info_.Height = int32_t(std::abs(int64_t{height}));
  info_.TopDown = height < 0;
  info_.BitCount = bits;
  info_.Compression = compression;

  // The format is kept as a plain 40-byte header with what follows it:
  // the bit-field masks (right after the first 40 bytes in every header
  // version) or the colour table (after the whole header).
  format_.assign(strf.begin(), strf.begin() + kHeaderSize);
  IEPutLE32(format_.data(), uint32_t(kHeaderSize));
  if (compression == kBiRGB && (bits == 1 || bits == 4 || bits == 8)) {
    const uint32_t used = IEGetLE32(strf.data() + 32);
    const size_t wanted = (used == 0 || used > (1u << bits)) ? (size_t{1} << bits) : used;
    const size_t available = (strf.size() - headerSize) / 4;
    const size_t entries = std::min(wanted, available);
    format_.insert(format_.end(), strf.begin() + headerSize, strf.begin() + headerSize + entries * 4);
    // Missing colours are black, as an empty table would be.
    format_.resize(kHeaderSize + wanted * 4, 0);
    IEPutLE32(format_.data() + 32, uint32_t(wanted));
  } else if (compression == kBiRGB && (bits == 16 || bits == 24 || bits == 32)) {
    IEPutLE32(format_.data() + 32, 0);
  } else if (compression == kBiBitfields && (bits == 16 || bits == 32)) {
    if (strf.size() < kHeaderSize + 12) return Fail("AVI frame format without its bit-field masks");
    format_.insert(format_.end(), strf.begin() + kHeaderSize, strf.begin() + kHeaderSize + 12);
  } else if (compression == kMJPG || compression == kMjpgLower || IEVideoFrameRoutine(compression)) {
    // Compressed and YUV frames carry their own layout.
  } else {
    format_.clear();
    return Fail("AVI frames of format '" + FourCCText(compression) + "' at " + std::to_string(bits) +
                " bits cannot be read");
  }
  videoStream_ = streamNumber;
  return true;
}

void TIEAviReader::ScanMovie(int64_t start, int64_t end, int depth) {
  for (int64_t pos = start; pos < end;) {
    TChunk c;
    if (!ReadChunk(stream_, pos, end, c)) return;
    // A chunk cut off by the end of the file ends the movie.
    if (!c.Fits(end)) return;
    if (c.Id == kLIST && ListType(stream_, c) == kRec && depth < kMaxMovieDepth)
      ScanMovie(c.Data + 4, c.Data + c.Size, depth + 1);
    else if (IsFrameOf(c.Id, videoStream_))
      frames_.push_back({c.Data, c.Size});
    pos = c.Next(end);
  }
}

int TIEAviReader::ReadFrame(int32_t index, TIEBitmap* target) {
  Error.clear();
  if (!target) return 0;
  if (index < 0 || index >= FrameCount()) {
    Fail("AVI frame " + std::to_string(index) + " out of range");
    return 0;
  }
  // An empty chunk repeats the frame before it.
  int32_t i = index;
  while (i >= 0 && frames_[size_t(i)].Size == 0) --i;
  if (i < 0) {
    Fail("AVI frame " + std::to_string(index) + " is empty");
    return 0;
  }
  const TFrame& frame = frames_[size_t(i)];
  std::vector<uint8_t> data(frame.Size);
  if (!ReadAt(stream_, frame.Offset, data.data(), frame.Size)) {
    Fail("AVI frame " + std::to_string(index) + " cannot be read");
    return 0;
  }
  TIEBitmap decoded;
  bool ok;
  if (info_.Compression == kMJPG || info_.Compression == kMjpgLower)
    ok = DecodeJpeg(data, &decoded);
  else if (IEVideoFrameRoutine(info_.Compression))
    ok = DecodeYuv(data, &decoded);
  else
    ok = DecodeDib(data, &decoded);
  if (!ok) {
    if (Error.empty()) Fail("AVI frame " + std::to_string(index) + " cannot be decoded");
    return 0;
  }
  target->Assign(&decoded);
  return info_.BitCount;
}

bool TIEAviReader::DecodeDib(const std::vector<uint8_t>& data, TIEBitmap* target) {
  const int bits = info_.BitCount;
  const uint32_t rowLen = RowBytes(info_.Width, bits);
  const uint64_t needed = uint64_t{rowLen} * uint64_t(info_.Height);
  const void* pixels = data.data();
  uint64_t pixelBytes = data.size();
  std::vector<uint8_t> work;
  if (pixelBytes < needed) {
    // Some writers leave rows unpadded: they are padded here.
    const uint64_t packed = (uint64_t(info_.Width) * uint64_t(bits) + 7) / 8;
    if (pixelBytes < packed * uint64_t(info_.Height))
      return Fail("AVI frame holds " + std::to_string(pixelBytes) + " bytes, " + std::to_string(needed) + " needed");
    work.assign(needed, 0);
    for (int64_t y = 0; y < info_.Height; ++y)
      std::memcpy(work.data() + uint64_t(y) * rowLen, data.data() + uint64_t(y) * packed, packed);
    pixels = work.data();
    pixelBytes = needed;
  }
  std::vector<uint8_t> header = format_;
  if (bits == 1) {
    // The decoder takes set bits as white: the frame's own two colours
    // decide whether the bits are flipped or filled.
    const bool white0 = Luminance(&header[kHeaderSize]) >= 128;
    const bool white1 = Luminance(&header[kHeaderSize + 4]) >= 128;
    if (white0 || !white1) {
      if (work.empty()) work.assign(data.begin(), data.end());
      for (auto& b : work) b = white0 == white1 ? (white0 ? 0xFF : 0x00) : uint8_t(~b);
      pixels = work.data();
    }
    const uint8_t bw[8] = {0, 0, 0, 0, 255, 255, 255, 0};
    std::memcpy(&header[kHeaderSize], bw, 8);
  }
  TIEDibbitmap dib;
  const int decoded = _IECopyDIB2Bitmap2Ex(reinterpret_cast<uintptr_t>(header.data()), &dib, pixels, true,
                                           header.size(), pixelBytes);
  if (decoded == 0 || !dib.Bits) return false;
  target->CopyFromTDibBitmap(&dib);
  return true;
}

bool TIEAviReader::DecodeJpeg(const std::vector<uint8_t>& data, TIEBitmap* target) {
  TMemoryStream memory;
  memory.WriteBuffer(data.data(), int64_t(data.size()));
  memory.SetPosition(0);
  TIOParamsVals params(nullptr);
  bool aborting = false;
  TProgressRec progress;
  progress.Aborting = &aborting;
  try {
    ReadJPegStream(&memory, target, params, progress, false);
  } catch (const std::exception& e) {
    return Fail(std::string("AVI frame is not a readable JPEG: ") + e.what());
  }
  if (aborting || target->GetWidth() <= 0) return Fail("AVI frame is not a readable JPEG");
  return true;
}

bool TIEAviReader::DecodeYuv(const std::vector<uint8_t>& data, TIEBitmap* target) {
  const uint64_t needed = IEVideoFrameSize(info_.Compression, info_.Width, info_.Height);
  if (needed == 0 || data.size() < needed)
    return Fail("AVI frame holds " + std::to_string(data.size()) + " bytes, " + std::to_string(needed) + " needed");
  target->Allocate(info_.Width, info_.Height, ie24RGB);
  IEVideoFrameRoutine(info_.Compression)(data.data(), target, true);
  return true;
}
