// The picture type table, the field writer and the folder listing of the
// picture import.
#include "records/pictureimport.h"

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "designer/main.h"
#include "imaging/view/fieldimage.h"
#include "imaging/view/pix.h"
#include "platform/classes.h"
#include "platform/db.h"
#include "platform/sysutils.h"

const std::vector<TPictureType> PictureTypeTable = {
    {".tif", ieftTIFF}, {".gif", ieftGIF}, {".jpg", ieftJPEG}, {".pcx", ieftPCX},   {".bmp", ieftBMP},
    {".ico", ieftICO},  {".cur", ieftCUR}, {".png", ieftPNG},  {".wmf", ieftWMF},   {".emf", ieftEMF},
    {".tga", ieftTGA},  {".pxm", ieftPXM}, {".jp2", ieftJP2},  {".j2k", ieftJ2K},   {".jpeg", ieftJPEG},
    {".tiff", ieftTIFF},
};

TIEFileType PictureTypeOfFile(const std::string& fileName) {
  const std::string extension = LowerCase(ExtractFileExt(fileName));
  for (const TPictureType& type : PictureTypeTable)
    if (extension == type.Extension) return type.Code;
  return ieftUnknown;
}

TIEFileType StoredPictureType(TIEFileType code) {
  switch (code) {
    case ieftICO:
    case ieftCUR:
    case ieftWMF:
    case ieftEMF: return ieftPNG;
    default: return code;
  }
}

void StorePictureStream(TPix* pix, TIEFileType code, TField* field, TMemoryStream* stream) {
  auto* blob = dynamic_cast<TBlobField*>(field);
  if (blob == nullptr) throw Exception("图片字段不是二进制字段");
  if (pix->GetIsEmpty()) throw Exception("没有可存入的图片");
  stream->Clear();
  pix->SaveToStream(stream, StoredPictureType(code));
  if (pix->GetAborting() || stream->GetSize() == 0) {
    stream->Clear();
    throw Exception("无法保存图像文件");
  }
  blob->LoadFromStream(stream);
  stream->Clear();
}

bool LoadPictureFile(TPix* pix, const std::string& fileName) {
  const TIEFileType code = PictureTypeOfFile(fileName);
  if (code == ieftUnknown) return false;
  try {
    pix->LoadFromFileFormat(fileName, code);
  } catch (const std::exception&) {
    return false;
  }
  return !pix->GetAborting() && !pix->GetIsEmpty();
}

bool LoadFieldPicture(TPix* pix, TField* field) {
  auto* blob = dynamic_cast<TBlobField*>(field);
  if (blob == nullptr || blob->BlobSize() == 0) return false;
  TMemoryStream stream;
  blob->SaveToStream(&stream);
  stream.SetPosition(0);
  TDataFieldImageFormat format = IEFieldImageFormat(FindStreamFormat(&stream), true);
  stream.SetPosition(0);
  if (format == ifUnknown && IESkipGraphicFieldHeader(&stream)) format = ifBitmap;
  try {
    return IELoadFieldImage(pix->GetPixIO(), &stream, format) && !pix->GetIsEmpty();
  } catch (const std::exception&) {
    return false;
  }
}

std::vector<std::string> PictureFolderListing(const std::string& folder) {
  namespace fs = std::filesystem;
  struct Entry {
    fs::file_time_type time;
    std::string name;
  };
  std::vector<Entry> entries;
  std::error_code ec;
  for (fs::directory_iterator it(NativePath(folder), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code entryError;
    if (!it->is_regular_file(entryError) || entryError) continue;
    const fs::file_time_type time = it->last_write_time(entryError);
    if (entryError) continue;
    entries.push_back({time, it->path().string()});
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return std::tie(a.time, a.name) < std::tie(b.time, b.name); });
  std::vector<std::string> files;
  files.reserve(entries.size());
  for (Entry& entry : entries) files.push_back(std::move(entry.name));
  return files;
}

std::string PictureNameKey(const std::string& text) { return LowerCase(RemoveBlanks(text)); }

const char* const kPictureOpenFilter =
    "All graphics|*.jpg;*.jpeg;*.gif;*.tif;*.tiff;*.pcx;*.png;*.bmp;*.wmf;*.emf;*.ico;*.cur;*.avi|"
    "JPEG files (*.jpg;*.jpeg)|*.jpg;*.jpeg|GIF files (*.gif)|*.gif|TIFF files (*.tif;*.tiff)|*.tif;*.tiff|"
    "PCX files (*.pcx)|*.pcx|PNG files (*.png)|*.png|BMP files (*.bmp)|*.bmp|WMF files (*.wmf)|*.wmf|"
    "EMF files (*.emf)|*.emf|ICO files (*.ico)|*.ico|CUR files (*.cur)|*.cur|AVI files (*.avi)|*.avi";
