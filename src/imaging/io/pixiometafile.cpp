// TPixIO: Windows metafiles rendered into the picture (ImportMetafile) or
// drawn transparently over it (MergeMetafile). Only the import has an
// asynchronous form.
#include <algorithm>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iedibbitmap.h"
#include "imaging/core/ieview.h"
#include "imaging/io/pixio.h"
#include "platform/canvas.h"
#include "platform/metafile.h"

namespace {

// Metafile pictures are at most this long on their longer side.
constexpr int64_t kMaxMetafileSide = 2800;

// A canvas target over the pixels of a 24-bit DIB.
class TDibTarget : public TCanvasTarget {
 public:
  explicit TDibTarget(TIEDibbitmap* dib) : dib_(dib) {}
  TPixelSurface Surface() override {
    return TPixelSurface::OfDib(dib_->Bits, dib_->Width, dib_->Height, 24, BI_RGB, nullptr, 0, nullptr);
  }

 private:
  TIEDibbitmap* dib_;
};

// The drawing size of a metafile asked at width x height (-1 keeps the
// proportions from the other side, both -1 its own size), capped at the
// longest side; 0 x 0 when it has no size.
void DrawingSize(const TMetafile& mf, int width, int height, int64_t& w, int64_t& h) {
  const int64_t mw = mf.GetWidth(), mh = mf.GetHeight();
  w = width;
  h = height;
  if (width < 0 && height < 0) {
    w = mw;
    h = mh;
  } else if (width < 0) {
    w = mh > 0 ? h * mw / mh : 0;  // a metafile without height cannot give a width
  } else if (height < 0) {
    h = mw > 0 ? w * mh / mw : 0;
  }
  if (w <= 0 || h <= 0) {
    w = h = 0;
    return;
  }
  if (w > kMaxMetafileSide || h > kMaxMetafileSide) {
    if (w >= h) {
      h = h * kMaxMetafileSide / w;
      w = kMaxMetafileSide;
    } else {
      w = w * kMaxMetafileSide / h;
      h = kMaxMetafileSide;
    }
  }
}

// Loads the metafile and works out its drawing size; false (and the
// component aborting) when that size is 0.
bool LoadSized(TPixIO& io, const std::string& name, int width, int height, TMetafile& mf, TIEDibbitmap& dib,
               int64_t& w, int64_t& h) {
  mf.LoadFromFile(name);
  DrawingSize(mf, width, height, w, h);
  if (w == 0) {
    io.Aborting = true;
    return false;
  }
  // The drawing's last column and row fall outside the picture.
  dib.AllocateBits(int(w - 1), int(h - 1), 24);
  return true;
}

}  // namespace

void TPixIO::ImportMetafile(const std::string& name, int Width, int Height) {
  if (StartAsync(ieImportMetaFile, [this, name, Width, Height] { ImportMetafile(name, Width, Height); }))
    return;
  Aborting = false;
  if (Width == 0 || Height == 0 || !IEBitmap) return FinishWork();
  try {
    Rewrap();
    IOParams->ResetInfo();
    TMetafile mf;
    TIEDibbitmap dib;
    int64_t w, h;
    if (!LoadSized(*this, name, Width, Height, mf, dib, w, h)) return FinishWork();
    IOParams->FileName = name;
    IOParams->FileType = mf.Enhanced ? ieftEMF : ieftWMF;
    IOParams->BitsPerSample = 8;
    IOParams->SamplesPerPixel = 3;
    IOParams->Width = dib.Width;
    IOParams->Height = dib.Height;
    IOParams->DPIX = gSystemDPIX;
    IOParams->DPIY = gSystemDPIY;
    IOParams->SetColorMap(nullptr, 0);
    SetViewDPI();
    if (dib.Bits) {
      TCanvas canvas(new TDibTarget(&dib));
      canvas.Brush->Color = GetReBackground();
      canvas.FillRect({0, 0, dib.Width, dib.Height});
      canvas.StretchDraw({0, 0, int(w), int(h)}, &mf);
    }
    IEBitmap->CopyFromTDibBitmap(&dib);
    PrepareAlpha();
    Update();
  } catch (...) {
    FinishWork();
    throw;
  }
  FinishWork();
}

void TPixIO::MergeMetafile(const std::string& name, int X, int Y, int Width, int Height) {
  Aborting = false;
  if (Width == 0 || Height == 0 || !IEBitmap) return FinishWork();
  try {
    TMetafile mf;
    TIEDibbitmap dib;
    int64_t w, h;
    if (!LoadSized(*this, name, Width, Height, mf, dib, w, h)) return FinishWork();
    if (dib.Bits) {
      IEBitmap->CopyToTDibBitmap(&dib, X, Y, dib.Width, dib.Height);
      TCanvas canvas(new TDibTarget(&dib));
      canvas.StretchDraw({0, 0, int(w), int(h)}, &mf);
      IEBitmap->MergeFromTDibBitmap(&dib, X, Y);
    }
    Update();
  } catch (...) {
    FinishWork();
    throw;
  }
  FinishWork();
}
