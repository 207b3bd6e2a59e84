// PNG pictures through libpng (reading and writing, the alpha channel
// carried in a TIEMask), and stream classes over zlib: a compressing
// stream, a decompressing stream and two whole-buffer routines.
#pragma once

#include <cstdint>

#include <zlib.h>

#include "imaging/core/iedefs.h"
#include "platform/classes.h"
#include "platform/sysutils.h"

class TIEBitmap;
class TIEMask;
class TIOParamsVals;

// PNG ------------------------------------------------------------------------------------

// Reads the PNG at the stream's position into Bitmap: ie1g for 1-bit files
// (the palette, if any, stays in IOParams.ColorMap), ie24RGB for every
// other depth. Unless IgnoreAlpha, the transparency (alpha channel or tRNS)
// goes into AlphaMask, created when nil, 8 bits, 255 opaque; with
// IgnoreAlpha the picture is composited over the file's bKGD colour (which
// then becomes PNG_Background) or over PNG_Background. With Preview only
// the parameters are filled and the mask is not touched. Bad data sets the
// abort flag; stream errors propagate. Afterwards the stream stands just
// after the picture's last chunk.
void ReadPNGStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                   TProgressRec& Progress, bool Preview, TIEMask*& AlphaMask, bool IgnoreAlpha);

// Writes Bitmap as a PNG at the stream's position: a 1-bit grey picture, a
// palette of up to 255 colours plus PNG_Background at entry 0, or RGB (with
// alpha when Mask holds a value below 255). A short write sets the abort
// flag; a libpng failure raises EInvalidGraphic "Error on creating PNG";
// stream errors propagate.
void WritePNGStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress, TIEMask* Mask);

inline constexpr const char* IEPngCreateErrorMessage = "Error on creating PNG";

// True when the next 8 bytes are the PNG signature; the position is kept.
bool IsPNGStream(TStream* Stream);

// zlib streams ---------------------------------------------------------------------------

CW_DECLARE_EXCEPTION(EZlibError, Exception)
CW_DECLARE_EXCEPTION(ECompressionError, EZlibError)
CW_DECLARE_EXCEPTION(EDecompressionError, EZlibError)

// Scoped: the colour constants clNone and clDefault share the names.
enum class TCompressionLevel { clNone, clFastest, clDefault, clMax };

// Shared part of the two streams: the underlying stream (not owned), where
// this object last left it, and one 64 KB buffer. Every zlib failure and
// every operation a stream does not allow raises EAbort.
class TCustomZlibStream : public TStream {
 public:
  static constexpr int64_t BufferSize = 65536;

  explicit TCustomZlibStream(TStream* Strm);
  ~TCustomZlibStream() override;
  TCustomZlibStream(const TCustomZlibStream&) = delete;
  TCustomZlibStream& operator=(const TCustomZlibStream&) = delete;

  // Fired once per buffer moved to or from the underlying stream.
  TNotifyEvent OnProgress;

 protected:
  virtual void Progress(TObject* Sender);
  // Moves the underlying stream back where this object left it, in case
  // someone else moved it since.
  void RestorePosition();
  void RememberPosition();

  TStream* FStrm;
  int64_t FStrmPos;
  z_stream FZRec{};
  Bytef FBuffer[BufferSize];
};

// Deflates everything written into the underlying stream. The zlib stream
// is finished by Finish or, at the latest, by the destructor.
class TCompressionStream : public TCustomZlibStream {
 public:
  TCompressionStream(TCompressionLevel CompressionLevel, TStream* Dest);
  ~TCompressionStream() override;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  // Only Seek(0, soCurrent): the uncompressed bytes taken so far.
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  // (1 - compressed / uncompressed) x 100; 0 before any byte was written.
  float GetCompressionRate();

  // Ends the zlib stream and writes what remains. The destructor does this
  // too but has no way to report a failing write; call Finish to see it.
  void Finish();

 private:
  void FlushBuffer(int64_t count);
  bool finished_ = false;
};

// Inflates from the underlying stream on reading.
class TDecompressionStream : public TCustomZlibStream {
 public:
  explicit TDecompressionStream(TStream* Source);
  ~TDecompressionStream() override;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  // Seek(0, soBeginning) starts again from where the compressed data
  // began; forward moves read and drop bytes; anything else raises EAbort.
  // Returns the uncompressed bytes delivered so far.
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;

 private:
  int64_t start_;  // where the compressed data begins in the source
};

// Deflates a whole buffer at level 9 into a new block (std::malloc; the
// caller frees it with std::free). Raises EAbort on failure.
void CompressBuf(const void* InBuf, int64_t InBytes, void*& OutBuf, int64_t& OutBytes);
// Inflates a whole buffer into a new block, starting at OutEstimate bytes
// (0: the input size rounded up to 256). Raises EAbort on failure.
void DecompressBuf(const void* InBuf, int64_t InBytes, int64_t OutEstimate, void*& OutBuf,
                   int64_t& OutBytes);
