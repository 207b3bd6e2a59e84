// The view's life, its picture, its alpha channel and its keys.
#include "imaging/view/pixview.h"

#include <algorithm>
#include <cstring>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iedrawdib.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/pixio.h"
#include "imaging/view/transition.h"
#include "imaging/proc/pixproc.h"
#include "platform/fonts.h"
#include "platform/forms.h"
#include "platform/timers.h"

namespace {

const char* const kCursorNames[18] = {"ZOOMMENO", "ZOOMPIU", "CROCE",  "GOMMA",  "MANO",    "PENNA",
                                      "CROCE1",   "CROCE3",  "MOVE2",  "MOVEY",  "MOVE1",   "MOVEX",
                                      "MOVE",     "CROCE3+", "CROCE3-", "CROCE2", "CROCE2+", "CROCE2-"};

// The cursor pictures are the application's resources; a name the program
// did not register leaves its table slot as it was.
void RegisterViewCursors() {
  if (!Screen) return;
  for (int n = 0; n < 18; ++n)
    if (HCURSOR cursor = LoadCursor(HInstance, kCursorNames[n])) Screen->SetCursors(1778 + n, cursor);
}

}  // namespace

void ReadSystemDPI() {
  gSystemDPIX = ScreenPixelsPerInch();
  gSystemDPIY = ScreenPixelsPerInch();
}

TPixView::TPixView(TComponent* Owner) : TIEView(Owner), bitmap_(new TBitmap()) {
  bitmap_->SetPixelFormat(pf24bit);
  HorzScrollBarParams = new TIEScrollBarParams();
  VertScrollBarParams = new TIEScrollBarParams();
  WheelParams = new TIEMouseWheelParams();
  SelectionMask = new TIEMask();
  RegisterViewCursors();
  drawDib_ = IEDrawDibOpen();
  TControl::SetCursor(cursor_);
  SetDPI(gSystemDPIX, gSystemDPIY);

  transition_ = new TIETransitionEffects(this);
  timer_ = new TTimer(this);
  timer_->SetEnabled(false);
  timer_->SetInterval(210);
  timer_->OnTimer = [this](TObject* sender) { TimerEvent(sender); };
  TIEAnimPoly* selection = AnimPolygonNew(clBlack, clWhite, true, true);
  if (!IsDesigning()) {
    backBuffer_ = new TBitmap();
    backBuffer_->SetPixelFormat(pf24bit);
    selection->Visible = false;
  }
  SelectionMask->AllocateBits(bitmap_->GetWidth(), bitmap_->GetHeight(), 1);
  SetBounds(GetLeft(), GetTop(), 105, 105);
}

TPixView::~TPixView() {
  delete transition_;
  transition_ = nullptr;
  // The I/O and processing components go first, while the bitmap they work
  // on still exists.
  if (TPixIO* io = pixIO_) {
    pixIO_ = nullptr;
    io->Free();
  }
  if (TPixProc* proc = pixProc_) {
    pixProc_ = nullptr;
    proc->Free();
  }
  delete bitmap_;
  delete backBuffer_;
  for (TIEAnimPoly* p : polys_) delete p;
  polys_.clear();
  delete HorzScrollBarParams;
  delete VertScrollBarParams;
  delete WheelParams;
  delete SelectionMask;
  delete alpha_;
  IEDrawDibClose(drawDib_);
}

// Picture ------------------------------------------------------------------------------------

void TPixView::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    // Clearing is a change of picture too: a data-aware view must hear of it.
    Clear();
    ImageChange();
    return;
  }
  if (auto* view = dynamic_cast<TPixView*>(Source)) {
    IECopyBitmap(view->GetFBitmap(), bitmap_);
    RemoveAlphaChannel();
    if (view->GetHasAlphaChannel()) GetAlphaChannel()->Assign(view->GetAlphaChannel());
    TIEView::SetBackGround(view->GetBackground());
    SetDPI(view->GetDPIX(), view->GetDPIY());
  } else if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
    if (bmp->GetPixelFormat() == pf24bit || bmp->GetPixelFormat() == pf1bit) {
      IECopyBitmap(bmp, bitmap_);
    } else {
      bitmap_->SetSize(1, 1);
      bitmap_->SetPixelFormat(pf24bit);
      bitmap_->SetSize(bmp->GetWidth(), bmp->GetHeight());
      bitmap_->GetCanvas()->Draw(0, 0, bmp);
    }
  } else {
    return;
  }
  Update();
  ImageChange();
}

void TPixView::Clear() {
  TCanvas* canvas = bitmap_->GetCanvas();
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = GetBackground();
  canvas->FillRect(Rect(0, 0, bitmap_->GetWidth(), bitmap_->GetHeight()));
  RemoveAlphaChannel();
  Update();
}

void TPixView::Blank() {
  if (transition_->Running()) transition_->Stop();
  bitmap_->SetSize(1, 1);
  Clear();
}

bool TPixView::GetIsEmpty() const { return bitmap_->GetWidth() < 2 && bitmap_->GetHeight() < 2; }

void TPixView::SetBackGround(TColor Color) {
  TIEView::SetBackGround(Color);
  if (IsDesigning()) Clear();
  Update();
  ImageChange();
}

void TPixView::ImageChange() {
  CallBitmapChangeEvents();
  if (OnImageChange) OnImageChange(this);
}

void TPixView::SetBounds(int Left, int Top, int Width, int Height) {
  // A resize ends a running transition at once.
  if (transition_ && transition_->Running() && (Width != GetWidth() || Height != GetHeight())) transition_->Stop();
  TIEView::SetBounds(Left, Top, Width, Height);
  if (ComponentState & (csReading | csLoading | csDesigning)) {
    bitmap_->SetSize(std::max(Width, 0), std::max(Height, 0));
    Clear();
  }
}

// Alpha channel --------------------------------------------------------------------------------

TIEMask* TPixView::GetAlphaChannel() {
  if (!alpha_) {
    alpha_ = new TIEMask();
    alpha_->AllocateBits(bitmap_->GetWidth(), bitmap_->GetHeight(), 8);
    alpha_->Fill(255);
  }
  return alpha_;
}

void TPixView::SetAlphaChannel(TIEMask* Mask) {
  if (Mask == alpha_) return;
  delete alpha_;
  alpha_ = Mask;
}

void TPixView::RemoveAlphaChannel() {
  delete alpha_;
  alpha_ = nullptr;
}

void TPixView::SetEnableAlphaChannel(bool b) {
  enableAlpha_ = b;
  Update();
}

// A picture that is not 24-bit is converted first, so the colour lands
// as given rather than being written into rows of another layout.
void TPixView::SetAlphaRangePixelsColor(int Min, int Max, TRGB Color) {
  if (!alpha_) return;
  if (bitmap_->GetPixelFormat() != pf24bit) bitmap_->SetPixelFormat(pf24bit);
  const int32_t w = std::min(bitmap_->GetWidth(), alpha_->Width), h = std::min(bitmap_->GetHeight(), alpha_->Height);
  for (int32_t y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<TRGB*>(bitmap_->ScanLine(y));
    const uint8_t* a = alpha_->GetScanLine(y);
    for (int32_t x = 0; x < w; ++x)
      if (a[x] >= Min && a[x] <= Max) row[x] = Color;
  }
  Update();
}

void TPixView::CopyToBitmapWithAlpha(TBitmap* Bitmap, int x, int y) {
  Bitmap->SetPixelFormat(pf24bit);
  if (!alpha_) return;
  TIEBitmap picture;
  picture.Assign(bitmap_);
  picture.GetAlphaChannel()->CopyFromTIEMask(alpha_);
  const int w = bitmap_->GetWidth(), h = bitmap_->GetHeight();
  picture.RenderToTBitmap(Bitmap, nullptr, nullptr, x, y, w, h, 0, 0, w, h, true, false);
}

// Paint lock ------------------------------------------------------------------------------------

int TPixView::UnLockPaint() {
  if (paintLock_ > 0) {
    --paintLock_;
    if (paintLock_ == 0) Update();
  }
  return paintLock_;
}

int TPixView::NPUnLockPaint() {
  if (paintLock_ > 0) --paintLock_;
  return paintLock_;
}

// Keys and cursors ---------------------------------------------------------------------------------

void TPixView::SetCursor(TCursor c) {
  cursor_ = c;
  TControl::SetCursor(c);
}

void TPixView::SaveCursor(TCursor c) {
  if (!Screen) return;
  savedCursor_ = Screen->GetCursor();
  Screen->SetCursor(c);
}

void TPixView::RestoreCursor() {
  if (Screen) Screen->SetCursor(savedCursor_);
}

bool TPixView::PaletteChanged(bool Foreground) {
  (void)Foreground;
  TCustomForm* main = Application ? Application->MainForm : nullptr;
  if (main && main->GetCanvas()) {
    if (IEDrawDibRealize(drawDib_, main->GetCanvas()->GetHandle(), true) > 0) Invalidate();
  } else {
    Invalidate();
  }
  return true;
}

void TPixView::KeyDown(Word& key, TShiftState shift) {
  TIEView::KeyDown(key, shift);
  if (!(shift & ssShift)) return;
  if (TControl::GetCursor() == 1785) SetCursor(1791);
  if (TControl::GetCursor() == 1793) SetCursor(1794);
}

void TPixView::KeyUp(Word& key, TShiftState shift) {
  TIEView::KeyUp(key, shift);
  if (shift & ssShift) return;
  if (TControl::GetCursor() == 1791) SetCursor(1785);
  if (TControl::GetCursor() == 1794) SetCursor(1793);
}

// The I/O component ------------------------------------------------------------------------

TPixIO* TPixView::GetPixIO() {
  if (!pixIO_) {
    pixIO_ = new TPixIO(this);
    pixIO_->SetAttachedPix(this);
    pixIO_->OnProgress = onProgress_;
  }
  return pixIO_;
}

TPixProc* TPixView::GetPixProc() {
  if (!pixProc_) {
    pixProc_ = new TPixProc(this);
    pixProc_->SetAttachedPix(this);
    pixProc_->OnProgress = onProgress_;
  }
  return pixProc_;
}

void TPixView::SetOnProgress(TIEProgressEvent handler) {
  onProgress_ = std::move(handler);
  if (pixIO_) pixIO_->OnProgress = onProgress_;
  if (pixProc_) pixProc_->OnProgress = onProgress_;
}

void TPixView::Notification(TComponent* component, TOperation operation) {
  TIEView::Notification(component, operation);
  if (operation != opRemove || component == nullptr) return;
  if (component == pixIO_) pixIO_ = nullptr;
  if (component == pixProc_) pixProc_ = nullptr;
}

void TPixView::ViewChange(int Change) {
  if (OnViewChange) OnViewChange(this, Change);
}
