// The processing preview dialog's Fourier page: the spectrum of a small
// thumbnail of the source, zones of it cleared by a selection in the
// spectrum view, and the picture rebuilt from what is left.
#include <algorithm>
#include <cmath>

#include "imaging/proc/ieftimage.h"
#include "imaging/proc/ieresample.h"
#include "imaging/view/pixview.h"
#include "imaging/view/previews.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"

namespace {

TIEFtImageType FourierType(TCheckBox* grayScale) { return grayScale->GetChecked() ? ieitGrayscale : ieitRGB; }

}  // namespace

void TfPreviews::BuildFourierThumbnail() {
  TBitmap* source = Pix1->GetFBitmap();
  const int W = source->GetWidth(), H = source->GetHeight();
  if (!ftImage_) {
    ftImage_ = std::make_unique<TIEFtImage>();
    ftImage_->OnProgress = PixProc2->OnProgress;
  }
  if (W == 0 || H == 0 || source->GetPixelFormat() != pf24bit) return;
  TBitmap thumb;
  thumb.SetPixelFormat(pf24bit);
  if (H < W)
    thumb.SetSize(128, std::max(1, H * 128 / W));
  else
    thumb.SetSize(std::max(1, W * 128 / H), 128);
  _Resample(source, &thumb, rfFastLinear);
  ftImage_->BuildFT(&thumb, FourierType(CheckBox1));
  ProgressBar1->SetPosition(0);
}

void TfPreviews::ApplyFourier(TPixView* view) {
  if (!ftImage_ || ftImage_->GetImageSize() == 0) return;
  if (view == Pix2) {
    // Clearing works on a copy, so zones never add up between previews.
    TIEFtImage edited;
    edited.Assign(*ftImage_);
    if (PixView1->HasSelection)
      edited.ClearZone(PixView1->GetSelX1(), PixView1->GetSelY1(), PixView1->GetSelX2(), PixView1->GetSelY2());
    edited.GetFTImage(PixView1->GetFBitmap());
    PixView1->Update();
    PixView1->Fit();
    edited.BuildBitmap(Pix2->GetFBitmap());
    ProgressBar1->SetPosition(0);
    return;
  }
  const int s0 = ftImage_->GetImageSize();
  TIEFtImage whole;
  whole.OnProgress = PixProc2->OnProgress;
  whole.BuildFT(view->GetFBitmap(), FourierType(CheckBox1));
  const double f = double(whole.GetImageSize()) / s0;
  if (PixView1->HasSelection)
    whole.ClearZone(int(std::trunc(PixView1->GetSelX1() * f)), int(std::trunc(PixView1->GetSelY1() * f)),
                    int(std::trunc(PixView1->GetSelX2() * f)), int(std::trunc(PixView1->GetSelY2() * f)));
  PixView1->DeSelect();
  whole.BuildBitmap(view->GetFBitmap());
  ProgressBar1->SetPosition(0);
}
