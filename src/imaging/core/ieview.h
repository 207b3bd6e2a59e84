// The windowed control the image views derive from. It gives the
// components attached to a view (file front end, processing, report and
// database pictures) one face: a resolution, a background colour, the
// bitmap and its alpha mask, paint locking, and a list of listeners told
// when the bitmap changes or the view goes away. The bitmap, alpha and
// locking operations belong to the descendants.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/controls.h"

class TIEMask;

// Called with destroying = false when the view's bitmap changed, and with
// true, once, when the view is being destroyed.
using TIEBitmapChangeEvent = std::function<void(TObject* Sender, bool destroying)>;

// Screen logical pixels per inch and the size of a 3-D edge. 0 until the
// image view's unit start reads them from the screen; the file readers take
// the resolution as the default of pictures that carry none.
extern int32_t gSystemDPIX;
extern int32_t gSystemDPIY;
extern int32_t gEdgeX;
extern int32_t gEdgeY;

class TIEView : public TCustomControl {
 public:
  explicit TIEView(TComponent* owner);
  // Tells every listener still registered (first registered first) that the
  // view goes away, and forgets it.
  ~TIEView() override;

  TColor GetBackground() const { return background_; }
  // Stores the background (the image view also repaints).
  virtual void SetBackGround(TColor colour);
  // The view's platform bitmap; none in the base.
  virtual TBitmap* GetFBitmap() { return nullptr; }
  // The 8-bit alpha mask of the view's bitmap.
  virtual TIEMask* GetAlphaChannel() = 0;
  // The view takes ownership of the mask and frees its previous one.
  virtual void SetAlphaChannel(TIEMask* mask) = 0;
  virtual bool GetHasAlphaChannel() = 0;
  virtual void RemoveAlphaChannel() = 0;
  // Paint lock: LockPaint counts up; UnLockPaint counts down (not below 0),
  // repaints at 0 and returns the count; NPUnLockPaint does not repaint.
  virtual void LockPaint() = 0;
  virtual int UnLockPaint() = 0;
  virtual int NPUnLockPaint() = 0;
  // Resolution of the shown picture; a value of 0 is ignored.
  virtual void SetDPIX(int dpi);
  virtual void SetDPIY(int dpi);
  virtual void SetDPI(int dpix, int dpiy);
  // The picture changed; the image view reacts to it.
  virtual void ImageChange() {}

  int GetDPIX() const { return DPIX; }
  int GetDPIY() const { return DPIY; }

  // Listeners. A handle is a positive number that is never given out twice,
  // so a stale handle cannot remove somebody else's listener.
  int RegisterBitmapChangeEvent(TIEBitmapChangeEvent event);
  // Negative and unknown handles are ignored.
  void RemoveBitmapChangeEvent(int handle);
  // Calls the listeners registered when the call starts, first registered
  // first; one removed meanwhile is skipped.
  void CallBitmapChangeEvents();
  int BitmapChangeEventCount() const { return int(listeners_.size()); }

  TBorderStyle GetBorderStyle() const { return borderStyle_; }
  // bsSingle or bsNone; a change makes the window anew.
  void SetBorderStyle(TBorderStyle style);
  bool GetCtl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);
  bool ParentCtl3D = true;

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

 protected:
  // A single border is a sunken client edge with the 3-D look, else a plain
  // line. The layer never repaints the whole window on resizing by itself.
  void CreateParams(TCreateParams& params) override;
  void Dispatch(TMessage& message) override;
  // Makes the window anew after a change of its styles.
  virtual void RecreateWnd();

  int32_t DPIX = 0;
  int32_t DPIY = 0;

 private:
  struct TListener {
    int Handle;
    TIEBitmapChangeEvent Event;
  };
  std::vector<TListener>::iterator FindListener(int handle);

  TColor background_ = clBtnFace;
  TBorderStyle borderStyle_ = bsSingle;
  bool ctl3D_ = true;
  std::vector<TListener> listeners_;
  int lastHandle_ = 0;
};
