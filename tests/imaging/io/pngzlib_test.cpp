// zlib stream classes and whole-buffer routines: round trips, the allowed
// and forbidden seeks, underlying streams moved by others, damaged data,
// and what a failing underlying stream does.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <memory>

#include "imaging/io/pngfilt.h"
#include "pictures.h"

using namespace cwtest;

namespace {

// Compressible but not trivial bytes.
Bytes Sample(size_t n) {
  Bytes b(n);
  uint32_t seed = 12345;
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1103515245u + 12345u;
    b[i] = static_cast<uint8_t>((i / 7) ^ ((seed >> 16) & 3));
  }
  return b;
}

Bytes Compress(const Bytes& data, TMemoryStream& dest, TCompressionLevel level = TCompressionLevel::clDefault) {
  {
    TCompressionStream z(level, &dest);
    z.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  }
  return Contents(dest);
}

Bytes Inflate(const Bytes& compressed, size_t expected) {
  Bytes out(expected + 16);
  uLongf size = out.size();
  EXPECT_EQ(uncompress(out.data(), &size, compressed.data(), compressed.size()), Z_OK);
  out.resize(size);
  return out;
}

TEST(ZlibStreams, CompressedBytesInflateBackForEveryLevel) {
  const Bytes data = Sample(300000);
  for (auto level : {TCompressionLevel::clNone, TCompressionLevel::clFastest, TCompressionLevel::clDefault,
                     TCompressionLevel::clMax}) {
    TMemoryStream dest;
    EXPECT_EQ(Inflate(Compress(data, dest, level), data.size()), data);
  }
  // Nothing written still makes a whole zlib stream.
  TMemoryStream empty;
  EXPECT_EQ(Inflate(Compress({}, empty), 0), Bytes{});
}

TEST(ZlibStreams, CompressorCountsRateAndProgress) {
  TMemoryStream dest;
  TCompressionStream z(TCompressionLevel::clNone, &dest);
  int blocks = 0;
  z.OnProgress = [&](TObject* sender) {
    EXPECT_EQ(sender, &z);
    ++blocks;
  };
  EXPECT_EQ(z.GetCompressionRate(), 0.0f);
  const Bytes data = Sample(100000);
  EXPECT_EQ(z.Write(data.data(), 100000), 100000);
  EXPECT_EQ(z.Seek(0, soCurrent), 100000);
  EXPECT_EQ(blocks, 1);  // one full 64 KB buffer went out
  EXPECT_THROW(z.Seek(0, soBeginning), EAbort);
  EXPECT_THROW(z.Seek(1, soCurrent), EAbort);
  Bytes back(4);
  EXPECT_THROW(z.Read(back.data(), 4), EAbort);
  z.Finish();
  EXPECT_EQ(blocks, 2);
  EXPECT_LT(z.GetCompressionRate(), 0.0f);  // stored data grows a little

  TMemoryStream packedDest;
  TCompressionStream packed(TCompressionLevel::clMax, &packedDest);
  packed.WriteBuffer(data.data(), 100000);
  packed.Finish();
  EXPECT_NEAR(packed.GetCompressionRate(), (1.0 - packedDest.GetSize() / 100000.0) * 100, 0.01);
}

TEST(ZlibStreams, StreamsReturnToWhereTheyLeftTheUnderlyingStream) {
  const Bytes a = Sample(1000), b = Sample(2000);
  TMemoryStream dest;
  const Bytes prefix{9, 9, 9};
  dest.WriteBuffer(prefix.data(), 3);
  {
    TCompressionStream z(TCompressionLevel::clMax, &dest);
    z.WriteBuffer(a.data(), 1000);
    dest.SetPosition(0);  // someone else moves it
    z.WriteBuffer(b.data(), 2000);
  }
  const Bytes all = Contents(dest);
  EXPECT_EQ(Bytes(all.begin(), all.begin() + 3), prefix);
  Bytes joined = a;
  joined.insert(joined.end(), b.begin(), b.end());
  EXPECT_EQ(Inflate(Bytes(all.begin() + 3, all.end()), 3000), joined);

  dest.SetPosition(3);
  TDecompressionStream d(&dest);
  Bytes got(1000);
  d.ReadBuffer(got.data(), 1000);
  dest.SetPosition(0);
  Bytes rest(2000);
  d.ReadBuffer(rest.data(), 2000);
  EXPECT_EQ(got, a);
  EXPECT_EQ(rest, b);
}

TEST(ZlibStreams, DecompressorReadsTheTrueCountAndSeeksForwardOnly) {
  const Bytes data = Sample(5000);
  TMemoryStream source;
  const Bytes head{1, 2, 3, 4};
  source.WriteBuffer(head.data(), 4);
  Compress(data, source);
  source.SetPosition(4);

  TDecompressionStream d(&source);
  EXPECT_EQ(d.Seek(100, soBeginning), 100);
  EXPECT_THROW(d.Seek(50, soBeginning), EAbort);
  EXPECT_THROW(d.Seek(100, soBeginning), EAbort);  // where it already is
  EXPECT_THROW(d.Seek(-1, soCurrent), EAbort);
  EXPECT_THROW(d.Seek(0, soEnd), EAbort);
  EXPECT_EQ(d.Seek(10, soCurrent), 110);
  uint8_t byte = 0;
  d.ReadBuffer(&byte, 1);
  EXPECT_EQ(byte, data[110]);
  Bytes rest(10000);
  EXPECT_EQ(d.Read(rest.data(), 10000), 5000 - 111);
  EXPECT_EQ(d.Read(rest.data(), 10), 0);

  // Back to the start: the compressed data began at offset 4, not 0.
  EXPECT_EQ(d.Seek(0, soBeginning), 0);
  Bytes again(5000);
  d.ReadBuffer(again.data(), 5000);
  EXPECT_EQ(again, data);
  EXPECT_THROW(d.Write(again.data(), 1), EAbort);
}

TEST(ZlibStreams, DamagedOrCutDataEndsTheRead) {
  const Bytes data = Sample(5000);
  TMemoryStream good;
  Bytes compressed = Compress(data, good);

  Bytes damaged = compressed;
  damaged[0] = 0x00;  // not a zlib header
  TMemoryStream bad;
  Fill(bad, damaged);
  TDecompressionStream d(&bad);
  Bytes out(5000);
  EXPECT_THROW(d.Read(out.data(), 5000), EAbort);

  // A header asking for a preset dictionary (FDICT set, then its id): the
  // read ends instead of waiting for ever for a dictionary.
  TMemoryStream dict;
  Fill(dict, Bytes{0x78, 0xBB, 0x12, 0x34, 0x56, 0x78, 0x4B, 0x04, 0x00});
  TDecompressionStream wantsDictionary(&dict);
  EXPECT_THROW(wantsDictionary.Read(out.data(), 5000), EAbort);

  // Cut short: the bytes that were there, no more.
  TMemoryStream cut;
  Fill(cut, Bytes(compressed.begin(), compressed.begin() + compressed.size() / 2));
  TDecompressionStream c(&cut);
  const int64_t got = c.Read(out.data(), 5000);
  EXPECT_GT(got, 0);
  EXPECT_LT(got, 5000);
  EXPECT_THROW(c.ReadBuffer(out.data(), 5000), EReadError);
}

TEST(ZlibStreams, FinishReportsAFailingWrite) {
  TShortStream dest(10);
  TCompressionStream z(TCompressionLevel::clNone, &dest);
  const Bytes data = Sample(100);
  z.WriteBuffer(data.data(), 100);
  EXPECT_THROW(z.Finish(), EWriteError);
  EXPECT_THROW(z.WriteBuffer(data.data(), 1), EAbort);  // finished
}

TEST(ZlibBuffers, RoundTripAndFailures) {
  for (size_t n : {size_t{0}, size_t{1000}, size_t{300000}}) {
    const Bytes data = Sample(n);
    void* packed = nullptr;
    int64_t packedBytes = 0;
    CompressBuf(data.data(), static_cast<int64_t>(n), packed, packedBytes);
    const Bytes compressed(static_cast<uint8_t*>(packed), static_cast<uint8_t*>(packed) + packedBytes);
    std::free(packed);
    EXPECT_EQ(Inflate(compressed, n), data);
    for (int64_t estimate : {int64_t{0}, int64_t{1}, static_cast<int64_t>(n)}) {
      void* unpacked = nullptr;
      int64_t unpackedBytes = 0;
      DecompressBuf(compressed.data(), packedBytes, estimate, unpacked, unpackedBytes);
      EXPECT_EQ(Bytes(static_cast<uint8_t*>(unpacked), static_cast<uint8_t*>(unpacked) + unpackedBytes), data);
      std::free(unpacked);
    }
    // Cut short or damaged: EAbort and no block.
    void* none = nullptr;
    int64_t noneBytes = 0;
    EXPECT_THROW(DecompressBuf(compressed.data(), packedBytes - 1, 0, none, noneBytes), EAbort);
    EXPECT_EQ(none, nullptr);
  }
  const Bytes junk(300, 0xAB);
  void* none = nullptr;
  int64_t noneBytes = 0;
  EXPECT_THROW(DecompressBuf(junk.data(), 300, 0, none, noneBytes), EAbort);
}

}  // namespace
