#include "platform/picture.h"

#include "platform/jpegimage.h"
#include "platform/metafile.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <map>
#include <typeindex>
#include <vector>

namespace {

struct TFormatEntry {
  std::string Extension;  // lower case
  std::string Description;
  TPicture::TGraphicFactory Make;
};

std::vector<TFormatEntry>& Formats() {
  static std::vector<TFormatEntry> formats{
      {"bmp", "Bitmaps", [] { return static_cast<TGraphic*>(new TBitmap); }},
      {"ico", "Icons", [] { return static_cast<TGraphic*>(new TIcon); }},
      {"jpg", "JPEG Image File", [] { return static_cast<TGraphic*>(new TJPEGImage); }},
      {"jpeg", "JPEG Image File", [] { return static_cast<TGraphic*>(new TJPEGImage); }},
      {"emf", "Enhanced Metafiles", [] { return static_cast<TGraphic*>(new TMetafile); }},
      {"wmf", "Metafiles", [] { return static_cast<TGraphic*>(new TMetafile); }},
  };
  return formats;
}

const TFormatEntry* FindFormat(const std::string& extension) {
  std::string ext = LowerCase(extension);
  for (const TFormatEntry& f : Formats())
    if (f.Extension == ext) return &f;
  return nullptr;
}

// A new empty graphic of the same class as `graphic`.
TGraphic* NewLike(TGraphic* graphic) {
  for (const TFormatEntry& f : Formats()) {
    TGraphic* made = f.Make();
    if (typeid(*made) == typeid(*graphic)) return made;
    delete made;
  }
  throw EInvalidGraphic("Unknown picture class");
}

QByteArray ReadAll(TStream* stream) {
  int64_t size = stream->GetSize() - stream->GetPosition();
  if (size < 0) size = 0;
  // Icons are small: refuse absurd sizes instead of allocating them.
  if (size > (int64_t(1) << 30)) throw EInvalidGraphic("Icon image is not valid");
  QByteArray bytes(qsizetype(size), '\0');
  if (size > 0) stream->ReadBuffer(bytes.data(), size);
  return bytes;
}

}  // namespace

// TIcon -------------------------------------------------------------------------------

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::LoadFromStream(TStream* stream) {
  QByteArray bytes = ReadAll(stream);
  QBuffer buffer(&bytes);
  QImageReader reader(&buffer, "ico");
  QImage image = reader.read();
  if (image.isNull()) throw EInvalidGraphic("Icon image is not valid");
  SetImage(image);
}

void TIcon::SaveToStream(TStream* stream) {
  if (image_.isNull()) return;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "ico");
  if (!writer.write(image_)) throw EWriteError("Cannot write the icon");
  stream->WriteBuffer(bytes.constData(), bytes.size());
}

void TIcon::Assign(TPersistent* source) {
  if (auto* icon = dynamic_cast<TIcon*>(source)) {
    SetImage(icon->image_);
    return;
  }
  if (source == nullptr) {
    SetImage(QImage());
    return;
  }
  TGraphic::Assign(source);
}

void TIcon::SetImage(const QImage& image) {
  image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
  if (OnChange) OnChange(this);
}

void TIcon::DrawInto(TBitmap& bitmap, TColor background) const {
  QImage flat(image_.size(), QImage::Format_RGB32);
  flat.fill(ToQColor(background));
  QPainter painter(&flat);
  painter.drawImage(0, 0, image_);
  painter.end();
  bitmap.SetImage(flat);
}

// TPicture ----------------------------------------------------------------------------

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::Take(TGraphic* graphic) {
  graphic_.reset(graphic);
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

template <class T>
T* TPicture::Ensure() {
  if (auto* g = dynamic_cast<T*>(graphic_.get())) return g;
  Take(new T);
  return static_cast<T*>(graphic_.get());
}

TBitmap* TPicture::GetBitmap() { return Ensure<TBitmap>(); }
TIcon* TPicture::GetIcon() { return Ensure<TIcon>(); }

void TPicture::SetGraphic(TGraphic* graphic) {
  if (graphic == graphic_.get()) return;
  if (graphic == nullptr) {
    Take(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy(NewLike(graphic));
  copy->Assign(graphic);
  copy->Transparent = graphic->Transparent;
  Take(copy.release());
}

void TPicture::LoadFromFile(const std::string& name) {
  std::string ext = ExtractFileExt(name);
  const TFormatEntry* format = FindFormat(ext.empty() ? ext : ext.substr(1));
  if (format == nullptr) throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
  std::unique_ptr<TGraphic> graphic(format->Make());
  graphic->LoadFromFile(name);
  Take(graphic.release());
}

void TPicture::SaveToFile(const std::string& name) {
  if (graphic_) graphic_->SaveToFile(name);
}

void TPicture::Assign(TPersistent* source) {
  if (source == nullptr) {
    SetGraphic(nullptr);
  } else if (auto* picture = dynamic_cast<TPicture*>(source)) {
    SetGraphic(picture->GetGraphic());
  } else if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
    SetGraphic(graphic);
  } else {
    TPersistent::Assign(source);
  }
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicFactory factory) {
  std::string ext = LowerCase(extension);
  for (TFormatEntry& f : Formats())
    if (f.Extension == ext) {
      f.Description = description;
      f.Make = std::move(factory);
      return;
    }
  Formats().push_back({ext, description, std::move(factory)});
}

std::string TPicture::GraphicFilter() {
  std::string all, each;
  for (const TFormatEntry& f : Formats()) {
    std::string mask = "*." + f.Extension;
    all += (all.empty() ? "" : ";") + mask;
    each += "|" + f.Description + " (" + mask + ")|" + mask;
  }
  return "All (" + all + ")|" + all + each;
}
