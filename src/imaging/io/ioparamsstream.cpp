// The parameter stream of TIOParamsVals. One walk over the fields serves
// both directions, so the writer and the reader cannot disagree on the
// order; the reader takes each field only when the stream's version has it.
#include <algorithm>
#include <memory>

#include "imaging/core/iestreams.h"
#include "platform/savestream.h"
#include "imaging/io/ioparams.h"

namespace {

class TFieldWriter {
 public:
  explicit TFieldWriter(TStream* stream) : Stream(stream) {}
  static constexpr bool Reading = false;
  template <class T>
  void Value(T& value) {
    IEWriteValue(Stream, value);
  }
  void Flag(bool& value) { IEWriteValue<uint8_t>(Stream, value ? 1 : 0); }
  void Text(std::string& text) { SaveStringToStream(Stream, text); }
  void Lines(TStringList* list) { SaveStringListToStream(Stream, list); }
  void Skip(int64_t) {}
  TStream* Stream;
};

class TFieldReader {
 public:
  explicit TFieldReader(TStream* stream) : Stream(stream) {}
  static constexpr bool Reading = true;
  template <class T>
  void Value(T& value) {
    value = IEReadValue<T>(Stream);
  }
  void Flag(bool& value) { value = IEReadValue<uint8_t>(Stream) != 0; }
  void Text(std::string& text) { LoadStringFromStream(Stream, text); }
  void Lines(TStringList* list) { LoadStringListFromStream(Stream, list); }
  void Skip(int64_t count) {
    IECheckedCount(Stream, count, 1);
    Stream->Seek(count, soCurrent);
  }
  TStream* Stream;
};

template <class IO>
void ColorMapFields(IO& io, TIOParamsVals& p) {
  int32_t count = p.ColorMap ? p.ColorMapCount : 0;
  io.Value(count);
  if constexpr (IO::Reading) {
    // A negative count reads no palette.
    const int64_t entries = count > 0 ? IECheckedCount(io.Stream, count, sizeof(TRGB)) : 0;
    auto colors = std::make_unique<TRGB[]>(static_cast<size_t>(entries));
    if (entries > 0) io.Stream->ReadBuffer(colors.get(), entries * static_cast<int64_t>(sizeof(TRGB)));
    p.SetColorMap(colors.get(), static_cast<int32_t>(entries));
  } else if (count > 0) {
    io.Stream->WriteBuffer(p.ColorMap, count * static_cast<int64_t>(sizeof(TRGB)));
  }
}

template <class IO>
void StreamFields(IO& io, TIOParamsVals& p, int32_t version) {
  io.Text(p.FileName);
  if (version <= 1) {
    uint8_t fileType = static_cast<uint8_t>(p.FileType);
    io.Value(fileType);
    p.FileType = fileType;
  } else {
    io.Value(p.FileType);
  }
  io.Value(p.BitsPerSample);
  io.Value(p.SamplesPerPixel);
  io.Value(p.Width);
  io.Value(p.Height);
  io.Value(p.DPIX);
  io.Value(p.DPIY);
  ColorMapFields(io, p);

  io.Value(p.TIFF_Compression);
  io.Value(p.TIFF_ImageIndex);
  io.Value(p.TIFF_PhotometInterpret);
  io.Value(p.TIFF_PlanarConfig);
  io.Value(p.TIFF_XPosition);
  io.Value(p.TIFF_YPosition);
  io.Text(p.TIFF_DocumentName);
  io.Text(p.TIFF_ImageDescription);
  io.Text(p.TIFF_PageName);
  io.Value(p.TIFF_PageNumber);
  io.Value(p.TIFF_PageCount);
  if (version >= 4) io.Value(p.TIFF_ImageCount);
  if (version >= 6) io.Value(p.TIFF_Orientation);

  io.Text(p.GIF_Version);
  io.Value(p.GIF_ImageIndex);
  io.Value(p.GIF_Left);
  io.Value(p.GIF_Top);
  io.Value(p.GIF_DelayTime);
  io.Flag(p.GIF_TransparentFlag);
  io.Value(p.GIF_TransparentColor);
  io.Flag(p.GIF_Interlaced);
  io.Value(p.GIF_ScreenWidth);
  io.Value(p.GIF_ScreenHeight);
  io.Value(p.GIF_Background);
  io.Value(p.GIF_AspectRatio);
  if (version >= 4) io.Value(p.GIF_ImageCount);
  if (version >= 9) io.Lines(p.GIF_Comments);

  io.Value(p.JPEG_Colorspace);
  io.Value(p.JPEG_Quality);
  io.Value(p.JPEG_DctMethod);
  io.Flag(p.JPEG_OptimalHuffman);
  io.Value(p.JPEG_Smoothing);
  io.Flag(p.JPEG_Progressive);
  if (version >= 1) io.Value(p.JPEG_Scale);
  if (version >= 4) {
    if constexpr (IO::Reading)
      p.JPEG_MarkerList->LoadFromStream(io.Stream);
    else
      p.JPEG_MarkerList->SaveToStream(io.Stream);
  }
  if (version >= 7) {
    io.Value(p.JPEG_OriginalWidth);
    io.Value(p.JPEG_OriginalHeight);
  }
  if (version >= 8) {
    io.Value(p.J2000_ColorSpace);
    io.Value(p.J2000_Rate);
    io.Value(p.J2000_ScalableBy);
  }

  io.Value(p.PCX_Version);
  io.Value(p.PCX_Compression);
  io.Value(p.BMP_Version);
  io.Value(p.BMP_Compression);

  // Version 0 kept two words of its own where the icon and cursor indexes
  // now are.
  if (version >= 1) {
    io.Value(p.ICO_ImageIndex);
  } else {
    io.Skip(8);
    p.ICO_ImageIndex = 0;
  }
  if (version >= 3) io.Value(p.ICO_Background);
  if (version >= 1) {
    io.Value(p.CUR_ImageIndex);
    io.Value(p.CUR_HotSpotX);
    io.Value(p.CUR_HotSpotY);
  } else {
    io.Skip(8);
    p.CUR_ImageIndex = p.CUR_HotSpotX = p.CUR_HotSpotY = 0;
  }
  if (version >= 3) io.Value(p.CUR_Background);

  io.Flag(p.PNG_Interlaced);
  io.Value(p.PNG_Background);
  io.Value(p.PNG_Filter);
  io.Value(p.PNG_Compression);

  if (version >= 3) {
    io.Value(p.TGA_XOrigin);
    io.Value(p.TGA_YOrigin);
    io.Flag(p.TGA_Compressed);
    io.Text(p.TGA_ImageID);
    io.Text(p.TGA_AuthorName);
    io.Value(p.TGA_DateTime);
    io.Text(p.TGA_JobName);
    io.Value(p.TGA_Background);
    io.Value(p.TGA_AspectRatio);
    io.Value(p.TGA_Gamma);
    io.Flag(p.TGA_GrayLevel);
  }
  if (version >= 4) {
    if constexpr (IO::Reading)
      p.IPTC_InfoList->LoadFromStream(io.Stream);
    else
      p.IPTC_InfoList->SaveToStream(io.Stream);
  }
  if (version >= 5) io.Lines(p.PXM_Comments);
  if (version >= 6) {
    io.Value(p.AVI_FrameCount);
    io.Value(p.AVI_FrameDelay);
  }
}

int32_t ReadVersion(TStream* stream) {
  const int32_t version = IEReadValue<int32_t>(stream);
  if (version < 0) throw EReadError("Stream read error");
  return std::min(version, IEParamsStreamVersion);
}

}  // namespace

void TIOParamsVals::SaveToStream(TStream* stream) {
  IEWriteValue(stream, IEParamsStreamVersion);
  TFieldWriter writer(stream);
  StreamFields(writer, *this, IEParamsStreamVersion);
}

void TIOParamsVals::LoadFromStream(TStream* stream) {
  // A trial read into a scratch object first: damaged data raises there,
  // and this object is only touched by a stream known to be whole.
  const int64_t start = stream->GetPosition();
  {
    TIOParamsVals scratch(nullptr);
    TFieldReader reader(stream);
    StreamFields(reader, scratch, ReadVersion(stream));
  }
  stream->SetPosition(start);
  TFieldReader reader(stream);
  StreamFields(reader, *this, ReadVersion(stream));
}

void TIOParamsVals::SaveToFile(const std::string& name) {
  TSaveFileStream file(name);
  SaveToStream(&file);
  file.Commit();
}

void TIOParamsVals::LoadFromFile(const std::string& name) {
  TFileStream file(name, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}
