// Content sniffing: which format a stream or file holds.
#include <cstring>

#include "imaging/io/iecodecprobes.h"
#include "imaging/io/ieformats.h"

namespace {

// The first bytes of the stream from where the search started; Count says
// how many could be read.
struct THead {
  uint8_t Bytes[16] = {};
  int64_t Count = 0;

  bool Has(int64_t n) const { return Count >= n; }
  bool StartsWith(const char* text) const {
    const auto n = static_cast<int64_t>(std::strlen(text));
    return Has(n) && std::memcmp(Bytes, text, n) == 0;
  }
  bool IsStreamHeader(const char* magic) const {
    TStreamJpegHeader header;
    std::memcpy(&header, Bytes, sizeof(header));
    return Has(sizeof(header)) && IEIsStreamHeader(header, magic);
  }
};

// The probes on the first bytes, in the order they are tried; each runs
// only on a stream longer than SizeAbove bytes.
struct THeaderProbe {
  int64_t SizeAbove;
  TIEFileType FileType;
  bool (*Matches)(const THead& head);
};

constexpr THeaderProbe HeaderProbes[] = {
    {12, ieftJPEG, [](const THead& h) { return h.IsStreamHeader(IEJpegStreamMagic); }},
    {13, ieftGIF, [](const THead& h) { return h.StartsWith("GIF"); }},
    {12, ieftPCX, [](const THead& h) { return h.IsStreamHeader(IEPCXStreamMagic); }},
    // The older PCX stream form: "PCX" and a NUL.
    {4, ieftPCX, [](const THead& h) { return h.Has(4) && h.StartsWith("PCX") && h.Bytes[3] == 0; }},
    {14, ieftBMP, [](const THead& h) { return h.StartsWith("BM"); }},
    // A PCX file: manufacturer byte 10 and a version of at most 5.
    {128, ieftPCX, [](const THead& h) { return h.Has(2) && h.Bytes[0] == 0x0A && h.Bytes[1] <= 5; }},
    {12, ieftTIFF, [](const THead& h) { return h.IsStreamHeader(IETIFFStreamMagic); }},
    {8, ieftTIFF, [](const THead& h) { return h.StartsWith("II") || h.StartsWith("MM"); }},
};

TIEFileType Search(TStream* stream, int64_t size, int64_t start) {
  for (PIEFileFormatInfo entry : iegFileFormats()) {
    if (!entry->TryFunction) continue;
    stream->SetPosition(start);
    if (entry->TryFunction(stream)) return entry->FileType;
  }
  stream->SetPosition(start);
  THead head;
  head.Count = stream->Read(head.Bytes, sizeof(head.Bytes));
  for (const THeaderProbe& probe : HeaderProbes)
    if (size > probe.SizeAbove && probe.Matches(head)) return probe.FileType;
  for (const TIECodecProbe& probe : IECodecProbes()) {
    if (size <= probe.SizeAbove) continue;
    stream->SetPosition(start);
    if (probe.Test(stream)) return probe.FileType;
  }
  return ieftUnknown;
}

}  // namespace

TIEFileType FindStreamFormat(TStream* stream) {
  int64_t start = 0;
  TIEFileType found = ieftUnknown;
  try {
    start = stream->GetPosition();
    found = Search(stream, stream->GetSize(), start);
  } catch (...) {
    // A stream that cannot be read, or a test that raises, is no format.
  }
  try {
    stream->SetPosition(start);
  } catch (...) {
  }
  return found;
}

TIEFileType FindFileFormat(const std::string& name, bool checkExtension) {
  TIEFileType content = ieftUnknown;
  try {
    TFileStream file(name, fmOpenRead | fmShareDenyWrite);
    content = FindStreamFormat(&file);
  } catch (...) {
    return ieftUnknown;
  }
  if (!checkExtension) return content;
  const std::string ext = ExtractFileExt(name);
  PIEFileFormatInfo entry = IEFileFormatGetInfo2(ext.empty() ? ext : ext.substr(1));
  if (!entry) return ieftUnknown;
  // Icons and cursors share their layout: either name fits either content.
  const auto iconOrCursor = [](TIEFileType t) { return t == ieftICO || t == ieftCUR; };
  if (iconOrCursor(content) && iconOrCursor(entry->FileType)) return entry->FileType;
  return content == entry->FileType ? content : ieftUnknown;
}
