#include "designer/designpicture.h"

#include <memory>

#include "platform/canvas.h"
#include "platform/jpegimage.h"
#include "platform/metafile.h"
#include "platform/picture.h"
#include "platform/sysutils.h"

namespace {

// The graphic that reads files of this upper-cased extension, or none.
std::unique_ptr<TGraphic> GraphicFor(const std::string& extension) {
  if (extension == ".ICO") return std::make_unique<TIcon>();
  if (extension == ".WMF" || extension == ".EMF") return std::make_unique<TMetafile>();
  if (extension == ".JPG" || extension == ".JPEG") return std::make_unique<TJPEGImage>();
  return nullptr;
}

}  // namespace

bool LoadDesignPicture(TPicture* picture, const std::string& path) {
  const std::string name = UpperCase(path);
  if (name.find(".BMP") != std::string::npos) {
    picture->LoadFromFile(path);
    return true;
  }
  std::unique_ptr<TGraphic> graphic = GraphicFor(ExtractFileExt(name));
  if (!graphic) return false;
  graphic->LoadFromFile(path);
  TBitmap bitmap;
  bitmap.SetSize(graphic->GetWidth(), graphic->GetHeight());
  bitmap.GetCanvas()->Draw(0, 0, graphic.get());
  picture->Assign(&bitmap);
  return true;
}

void PictureToBitmap(TPicture* picture, TBitmap* bitmap) {
  TGraphic* graphic = picture->GetGraphic();
  if (auto* source = dynamic_cast<TBitmap*>(graphic)) {
    bitmap->Assign(source);
  } else if (graphic == nullptr || graphic->GetEmpty()) {
    bitmap->Assign(nullptr);
  } else {
    bitmap->SetSize(graphic->GetWidth(), graphic->GetHeight());
    bitmap->GetCanvas()->Draw(0, 0, graphic);
  }
}
