// TPixProc's Fourier images: made from the picture or a stretched copy,
// and turned back into the picture.
#include "imaging/proc/ieresample.h"
#include "imaging/proc/pixproc.h"
#include "platform/graphics.h"

std::unique_ptr<TIEFtImage> TPixProc::FTCreateImage(TIEFtImageType ImageType, int NewWidth, int NewHeight) {
  TBitmap* picture = GetWorkingBitmap();
  if (!picture || picture->GetPixelFormat() != pf24bit) return nullptr;
  const int width = picture->GetWidth(), height = picture->GetHeight();
  if (width <= 0 || height <= 0) return nullptr;
  auto image = std::make_unique<TIEFtImage>();
  image->OnProgress = [this](TObject*, int per) {
    if (OnProgress) OnProgress(this, per);
  };
  if (NewWidth < 0 && NewHeight < 0) {
    image->BuildFT(picture, ImageType);
    return image;
  }
  if (NewWidth < 0) NewWidth = int(int64_t(NewHeight) * width / height);
  if (NewHeight < 0) NewHeight = int(int64_t(NewWidth) * height / width);
  // A copy stretched to nothing has nothing to transform.
  if (NewWidth <= 0 || NewHeight <= 0) return nullptr;
  TBitmap copy;
  copy.SetPixelFormat(pf24bit);
  copy.SetSize(NewWidth, NewHeight);
  _IEBmpStretch(picture, &copy);
  image->BuildFT(&copy, ImageType);
  return image;
}

void TPixProc::FTConvertFrom(const TIEFtImage& FtImage) {
  if (TBitmap* picture = GetWorkingBitmap()) {
    FtImage.BuildBitmap(picture);
    Update();
  }
}

void TPixProc::FTDisplayFrom(const TIEFtImage& FtImage) {
  if (TBitmap* picture = GetWorkingBitmap()) {
    FtImage.GetFTImage(picture);
    Update();
  }
}
