// TQRPix: a report printable that prints a picture held in memory, either a
// bitmap attached to it or the current bitmap of an attached image view,
// through the report picture print path (qrprintpath.h), with drop shadows
// and an outline around the picture.
#pragma once

#include <string>

#include "imaging/view/qrprintpath.h"

class TBitmap;
class TIEView;

class TQRPix : public TQRPicturePrintable {
 public:
  explicit TQRPix(TComponent* Owner = nullptr);
  ~TQRPix() override;

  // Of the settings: ShadowSize 0 or less draws neither shadows nor the
  // outline;
  // ImageBorder outlines the printed picture; ImageShadow puts the shadows
  // beside the picture (on) or the box (off).

  TIEView* GetAttachedPix() const { return attachedPix_; }
  // The view's bitmap becomes the attached bitmap and follows the view's
  // bitmap changes; none detaches.
  void SetAttachedPix(TIEView* View);
  TBitmap* GetAttachedBitmap() const { return attachedBitmap_; }
  // Borrowed, never freed here. A bitmap detaches the view; none while a
  // view is attached only stops following the view, which keeps printing
  // the bitmap it had.
  void SetAttachedBitmap(TBitmap* Bitmap);

  void Print(double OfsX, double OfsY) override;

 protected:
  // Forgets an attached view that is freed.
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  // The frame's pen, and the shadows' brush when there are shadows.
  void SetPens(TCanvas* canvas) const;
  std::string RepeatKey(const TBitmap& bitmap, const TQRPicturePlacement& r) const;
  void OnBitmapChange(TObject* Sender, bool Destroying);
  void StopListening();
  void ForgetView();

  TBitmap* attachedBitmap_ = nullptr;
  TIEView* attachedPix_ = nullptr;
  int listener_ = -1;
};
