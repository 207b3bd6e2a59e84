// The processing component: attachment, the region an operation works on
// and the frame every editing operation runs in.
#include "imaging/proc/pixproc.h"

#include <memory>

#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ieview.h"
#include "imaging/view/pixview.h"
#include "platform/extctrls.h"
#include "platform/picture.h"

std::string PixProcCaption(const std::string& name, std::initializer_list<int64_t> arguments) {
  std::string caption = name;
  const char* separator = " ";
  for (int64_t value : arguments) {
    caption += separator;
    caption += std::to_string(value);
    separator = ",";
  }
  return caption;
}

TPixProc::TPixProc(TComponent* owner) : TComponent(owner), previewFont_(std::make_unique<TFont>()) {}

TPixProc::~TPixProc() {
  RemoveListener();
  ReleaseBitmapOwner();
  ClearAllUndo();
  ClearAllRedo();
}

// Attachment ------------------------------------------------------------------------------

void TPixProc::RemoveListener() {
  if (attachedPix_) attachedPix_->RemoveBitmapChangeEvent(bitmapChangeHandle_);
  bitmapChangeHandle_ = -1;
}

void TPixProc::HoldBitmapOwner(TComponent* owner) {
  if (owner == bitmapOwner_) return;
  ReleaseBitmapOwner();
  bitmapOwner_ = owner;
  if (owner) owner->FreeNotification(this);
}

void TPixProc::ReleaseBitmapOwner() {
  if (bitmapOwner_) bitmapOwner_->RemoveFreeNotification(this);
  bitmapOwner_ = nullptr;
}

void TPixProc::SetAttachedPix(TIEView* view) {
  RemoveListener();
  attachedPix_ = view;
  if (!view) return;
  bitmap_ = view->GetFBitmap();
  HoldBitmapOwner(view);
  attachedTImage_ = nullptr;
  bitmapChangeHandle_ = view->RegisterBitmapChangeEvent(
      [this](TObject* sender, bool destroying) { OnBitmapChange(sender, destroying); });
}

void TPixProc::SetTImage(TImage* image) {
  if (!image) {
    attachedTImage_ = nullptr;
    return;
  }
  RemoveListener();
  attachedPix_ = nullptr;
  bitmap_ = image->GetPicture()->GetBitmap();
  HoldBitmapOwner(image);
  attachedTImage_ = image;
}

void TPixProc::SetAttachedBitmap(TBitmap* bitmap) {
  if (!bitmap && (attachedPix_ || attachedTImage_)) return;
  RemoveListener();
  attachedPix_ = nullptr;
  attachedTImage_ = nullptr;
  ReleaseBitmapOwner();
  bitmap_ = bitmap;
}

void TPixProc::OnBitmapChange(TObject* Sender, bool Destroying) {
  if (!attachedPix_) return;
  if (Destroying) {
    // The view drops its listener list itself.
    bitmapChangeHandle_ = -1;
    attachedPix_ = nullptr;
    bitmap_ = nullptr;
    ReleaseBitmapOwner();
    return;
  }
  bitmap_ = attachedPix_->GetFBitmap();
}

void TPixProc::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove || !component) return;
  if (component == attachedPix_) {
    // A view in its destructor has already dropped its listeners.
    if (!(component->ComponentState & csDestroying)) RemoveListener();
    bitmapChangeHandle_ = -1;
    attachedPix_ = nullptr;
  }
  if (component == attachedTImage_) attachedTImage_ = nullptr;
  if (component == bitmapOwner_) {
    bitmapOwner_ = nullptr;
    bitmap_ = nullptr;
  }
}

// Common services -------------------------------------------------------------------------

void TPixProc::Update() {
  if (attachedPix_) {
    attachedPix_->Update();
    attachedPix_->ImageChange();
  } else if (bitmap_) {
    bitmap_->Changed();
  }
}

TColor TPixProc::GetReBackground() const {
  return attachedPix_ ? attachedPix_->GetBackground() : background_;
}

void TPixProc::SetReBackground(TColor colour) {
  if (attachedPix_)
    attachedPix_->SetBackGround(colour);
  else
    background_ = colour;
}

TIEMask* TPixProc::GetAlphaChannel() const {
  return attachedPix_ && attachedPix_->GetHasAlphaChannel() ? attachedPix_->GetAlphaChannel() : nullptr;
}

void TPixProc::SetPreviewFont(TFont* font) { previewFont_->Assign(font); }

bool TPixProc::GetReSel(int& x1, int& y1, int& x2, int& y2, const TPoint*& PolySel, int& PolySelCount,
                        TIEMask*& Mask) {
  x1 = 0;
  y1 = 0;
  x2 = bitmap_ ? bitmap_->GetWidth() : 0;
  y2 = bitmap_ ? bitmap_->GetHeight() : 0;
  PolySel = nullptr;
  PolySelCount = 0;
  Mask = nullptr;
  auto* view = dynamic_cast<TPixView*>(attachedPix_);
  if (!view) return false;
  Mask = view->SelectionMask;
  if (!view->HasSelection) return false;
  if (Mask && !Mask->IsEmpty()) {
    x1 = Mask->X1;
    y1 = Mask->Y1;
    x2 = Mask->X2 + 1;
    y2 = Mask->Y2 + 1;
  }
  PolySel = view->GetPolySelArray();
  PolySelCount = view->GetPolySelCount();
  return true;
}

// The operation template -----------------------------------------------------------------

bool TPixProc::Has24BitPicture() const { return bitmap_ && bitmap_->GetPixelFormat() == pf24bit; }

TProgressRec TPixProc::MakeProgress() {
  TProgressRec progress;
  progress.OnProgress = OnProgress;
  progress.Sender = this;
  return progress;
}

void TPixProc::ProcessSelection(const std::string& caption, const TPixProcWorker& worker) {
  if (!bitmap_) return;
  if (AutoUndo) SaveUndoCaptioned(caption);
  int x1, y1, x2, y2, polyCount;
  const TPoint* poly;
  TIEMask* mask;
  GetReSel(x1, y1, x2, y2, poly, polyCount, mask);  // the mask alone decides
  if (!mask || mask->IsEmpty()) {
    worker(bitmap_, x1, y1, x2, y2);
  } else {
    // Only the mask's box is copied out, processed and copied back.
    TBitmap box;
    _CopyBitmapRect(bitmap_, &box, mask->X1, mask->Y1, mask->X2 + 1, mask->Y2 + 1);
    worker(&box, 0, 0, box.GetWidth(), box.GetHeight());
    mask->CopyBitmap(bitmap_, &box, false, true);
  }
  Update();
}
