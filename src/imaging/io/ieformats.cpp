#include "imaging/io/ieformats.h"

#include <memory>

#include "imaging/io/ielzwhooks.h"

namespace {

constexpr size_t ShortStringLength = 80;

struct TRegistry {
  // Every entry ever made, so that a pointer handed out stays valid after
  // its entry leaves the list.
  std::vector<std::unique_ptr<TIEFileFormatInfo>> Owned;
  std::vector<PIEFileFormatInfo> List;

  void Add(const TIEFileFormatInfo& info) {
    auto entry = std::make_unique<TIEFileFormatInfo>(info);
    entry->FullName.resize(std::min(entry->FullName.size(), ShortStringLength));
    entry->Extensions.resize(std::min(entry->Extensions.size(), ShortStringLength));
    List.push_back(entry.get());
    Owned.push_back(std::move(entry));
  }

  TRegistry() {
    struct Builtin {
      TIEFileType code;
      const char* name;
      const char* extensions;
      bool writes;
    };
    static const Builtin builtins[] = {
        {ieftTIFF, "TIFF Bitmap", "TIF;TIFF;FAX;G3N;G3F", true},
        {ieftGIF, "CompuServe Bitmap", "GIF", true},
        {ieftJPEG, "JPEG Bitmap", "JPG;JPEG;JPE", true},
        {ieftPCX, "PaintBrush", "PCX", true},
        {ieftBMP, "Windows Bitmap", "BMP;DIB;RLE", true},
        {ieftICO, "Windows Icon", "ICO", false},
        {ieftCUR, "Windows Cursor", "CUR", false},
        {ieftPNG, "Portable Network Graphics", "PNG", true},
        {ieftWMF, "Windows Metafile", "WMF", false},
        {ieftEMF, "Enhanced Windows Metafile", "EMF", false},
        {ieftTGA, "Targa Bitmap", "TGA;TARGA;VDA;ICB;VST;PIX", true},
        {ieftPXM, "Portable Pixmap, GreyMap, BitMap", "PXM;PPM;PGM;PBM", true},
        {ieftJP2, "JPEG2000", "JP2", true},
        {ieftJ2K, "JPEG2000 Code Stream", "J2K;JPC;J2C", true},
    };
    for (const Builtin& b : builtins)
      Add(TIEFileFormatInfo{b.code, b.name, b.extensions, IEPlaceholderRead,
                            b.writes ? IEPlaceholderWrite : nullptr, IEPlaceholderTry});
  }
};

TRegistry& Registry() {
  static TRegistry registry;
  return registry;
}

// The pieces of an extension list; a trailing ";" adds no empty piece.
std::vector<std::string> SplitExtensions(const std::string& text) {
  std::vector<std::string> pieces;
  size_t at = 0;
  while (at < text.size()) {
    const size_t semicolon = text.find(';', at);
    if (semicolon == std::string::npos) {
      pieces.push_back(text.substr(at));
      break;
    }
    pieces.push_back(text.substr(at, semicolon - at));
    at = semicolon + 1;
  }
  return pieces;
}

}  // namespace

std::vector<PIEFileFormatInfo>& iegFileFormats() { return Registry().List; }

void IEPlaceholderRead(TStream*, TIEBitmap*, TIOParamsVals&, TProgressRec&, bool) {}
void IEPlaceholderWrite(TStream*, TIEBitmap*, TIOParamsVals&, TProgressRec&) {}
bool IEPlaceholderTry(TStream*) { return false; }

PIEFileFormatInfo IEFileFormatGetInfo(TIEFileType code) {
  for (PIEFileFormatInfo entry : iegFileFormats())
    if (entry->FileType == code) return entry;
  return nullptr;
}

PIEFileFormatInfo IEFileFormatGetInfo2(const std::string& extension) {
  const std::string wanted = LowerCase(extension);
  for (PIEFileFormatInfo entry : iegFileFormats())
    for (const std::string& piece : SplitExtensions(entry->Extensions))
      if (LowerCase(piece) == wanted) return entry;
  return nullptr;
}

int32_t IEFileFormatGetExtCount(TIEFileType code) {
  PIEFileFormatInfo entry = IEFileFormatGetInfo(code);
  return entry ? static_cast<int32_t>(SplitExtensions(entry->Extensions).size()) : 0;
}

std::string IEFileFormatGetExt(TIEFileType code, int index) {
  PIEFileFormatInfo entry = IEFileFormatGetInfo(code);
  if (!entry || index < 0) return "";
  const std::vector<std::string> pieces = SplitExtensions(entry->Extensions);
  return index < static_cast<int>(pieces.size()) ? pieces[index] : "";
}

void IEFileFormatAdd(const TIEFileFormatInfo& info) { Registry().Add(info); }

void IEFileFormatRemove(TIEFileType code) {
  auto& list = iegFileFormats();
  for (auto it = list.begin(); it != list.end(); ++it)
    if ((*it)->FileType == code) {
      list.erase(it);
      return;
    }
}

void IEUpdateGIFStatus() {
  PIEFileFormatInfo gif = IEFileFormatGetInfo(ieftGIF);
  if (!gif) return;
  gif->ReadFunction = DefGIF_LZWDECOMPFUNC ? IEPlaceholderRead : nullptr;
  gif->WriteFunction = DefGIF_LZWCOMPFUNC ? IEPlaceholderWrite : nullptr;
}

bool IsKnownFormat(const std::string& name) {
  const std::string ext = ExtractFileExt(name);
  return IEFileFormatGetInfo2(ext.empty() ? ext : ext.substr(1)) != nullptr;
}
