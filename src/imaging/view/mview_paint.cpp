// The thumbnail view's painting, captions, scaled-copy cache, playback and
// keyboard moves.
#include <algorithm>
#include <cmath>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iedraw.h"
#include "imaging/proc/ieresample.h"
#include "imaging/view/mview.h"
#include "imaging/view/mview_fit.h"
#include "imaging/view/mview_lock.h"
#include "platform/graphics.h"
#include "platform/messages.h"
#include "platform/timers.h"

// Captions ------------------------------------------------------------------------------------------------

TIEMText::TIEMText(TComponent* owner, TIEMTextPos position) : Font(new TFont()), owner_(owner), position_(position) {
  if (auto* view = dynamic_cast<TPixMView*>(owner)) {
    Background = view->GetBackground();
    Font->Assign(view->GetFont());
  }
}

TIEMText::~TIEMText() { delete Font; }

void TIEMText::SetCaption(const std::string& text) {
  if (auto* view = dynamic_cast<TPixMView*>(owner_); view && !text.empty()) {
    TCanvas* canvas = view->GetCanvas();
    canvas->Font->Assign(Font);
    const int h = canvas->TextHeight(text);
    if (position_ == iemtpTop && view->GetUpperGap() < h + 2) view->SetUpperGap(h + 2);
    if (position_ == iemtpBottom && view->GetBottomGap() < h + 2)
      view->SetBottomGap(view->Style == iemsACD ? h + 4 : h + 2);
  }
  caption_ = text;
}

// Cache -------------------------------------------------------------------------------------------------------

void TPixMView::ClearImageCache(int idx) {
  TIEMViewLock lock;
  if (TIEImageInfo* info = Info(idx); info && info->Cache) {
    cache_->Delete(info->Cache);
    info->Cache = nullptr;
  }
}

void TPixMView::ClearCache() {
  TIEMViewLock lock;
  for (TIEImageInfo* info : images_)
    if (info->Cache) {
      cache_->Delete(info->Cache);
      info->Cache = nullptr;
    }
}

void TPixMView::SetEnableImageCaching(bool v) {
  enableImageCaching_ = v;
  if (!v) {
    ClearCache();
    Update();
  }
}

// Painting ------------------------------------------------------------------------------------------------------

void TPixMView::Paint() {
  if (paintLock_ == 0) PaintTo(GetCanvas());
}

void TPixMView::PaintTo(TCanvas* Canvas) {
  bool restart = true;
  while (restart) {
    restart = false;
    const int n = GetImageCount();
    const bool single = displayMode_ == mdSingle || playing_;
    const int count = single && n > 0 ? 1 : n;
    int start = 0;
    if (single) {
      visibleFrame_ = std::clamp(visibleFrame_, 0, std::max(n - 1, 0));
      start = visibleFrame_;
    }
    for (int k = 0, idx = start; k < count; ++k, idx = (idx + 1) % n) {
      if (OnDrawProgress && count > 1) OnDrawProgress(this, int(std::trunc(double(k) / count * 100)), idx);
      if (!IsVisible(idx)) continue;
      bool drawable;
      if (HasPixels(idx))
        drawable = !(RemoveCorrupted && GetImageCorrupt(idx));
      else
        drawable = (idx != selectedIndex_ && ThreadPoolSize > 0 && ObtainImageThreaded(idx)) ||
                   ObtainImageNow(idx) || !RemoveCorrupted;
      if (drawable) {
        const bool selected = (idx == selectedIndex_ || (enableMultiSelect_ && IsSelected(idx))) &&
                              VisibleSelection && displayMode_ == mdGrid;
        DrawImage(Canvas, Info(idx), idx, selected);
      } else {
        DeleteImageNU(idx);
        UpdateCoords();
        restart = true;
        break;
      }
    }
  }
  Canvas->Brush->Style = bsSolid;
  Canvas->Brush->Color = GetBackground();
  Canvas->FillRect(Rect(0, 0, GetClientWidth(), GetClientHeight()));
  if (OnDrawProgress && GetImageCount() > 1) OnDrawProgress(this, 100, 0);
}

void TPixMView::DrawImage(TCanvas* Canvas, TIEImageInfo* info, int idx, bool selected) {
  if (!info) return;
  const int left = info->X - viewX_, top = info->Y - viewY_;
  if (OnBeforeImageDraw) OnBeforeImageDraw(this, idx, left, top, Canvas);
  const bool acdSel = selected && SelectionStyle == iessACD;
  const int infoH = info->InfoText->GetCaption().empty() ? 0 : [&] {
    Canvas->Font->Assign(info->InfoText->Font);
    return Canvas->TextHeight(info->InfoText->GetCaption());
  }();
  const int avail = std::max(thumbH_ - bottomGap_ - upperGap_ - infoH, 1);
  Canvas->Brush->Style = bsSolid;
  int x = left, y = top, w = 0, h = 0;
  {
    TIEMViewLock lock;
    if (info->Image) {
      const int W = store_->GetImageWidth(info->Image), H = store_->GetImageHeight(info->Image);
      if (EnableResamplingOnMinor || W > thumbW_ || H > avail)
        IEMFitSize(W, H, thumbW_, avail, w, h);
      else
        w = W, h = H;
      x = left + std::abs(thumbW_ - w) / 2;
      y = top + upperGap_ + std::abs(avail - h) / 2;
      if (!info->Cache && enableImageCaching_) {
        // The scaled copy, made once and drawn 1:1 afterwards.
        TIEBitmap full, scaled;
        store_->CopyToIEBitmap(info->Image, &full);
        if (full.GetPixelFormat() == ie1g && (w < W || h < H)) {
          _SubResample1bitFilteredEx(&full, 0, 0, W - 1, H - 1, &scaled);
        } else {
          scaled.Allocate(w, h, ie24RGB);
          if (full.GetPixelFormat() == ie24RGB && ThumbnailResampleFilter != rfNone)
            _ResampleEx(&full, &scaled, ThumbnailResampleFilter);
          else
            _IEBmpStretchEx(&full, &scaled);
        }
        if (scaled.GetWidth() == w && scaled.GetHeight() == h) info->Cache = cache_->AddIEBitmap(&scaled);
      }
      if (info->Cache)
        cache_->RenderTo(info->Cache, Canvas, drawDib_, x, y, w, h, 0, 0, w, h);
      else
        store_->RenderTo(info->Image, Canvas, drawDib_, x, y, w, h, 0, 0, W, H);
    }
  }
  const TColor fill = acdSel ? clHighlight : DrawImageBackground ? info->Background : ThumbnailsBackground;
  Canvas->Brush->Color = fill;
  if (w > 0 && h > 0) {
    Canvas->FillRect(Rect(left, top, x, top + thumbH_));
    Canvas->FillRect(Rect(x + w, top, left + thumbW_, top + thumbH_));
    Canvas->FillRect(Rect(x, top, x + w, y));
    Canvas->FillRect(Rect(x, y + h, x + w, top + thumbH_));
  } else {
    Canvas->Brush->Color = acdSel ? clHighlight : ThumbnailsBackground;
    Canvas->FillRect(Rect(left, top, left + thumbW_, top + thumbH_));
  }
  int band = 0;
  auto caption = [&](TIEMText* t, auto&& place) {
    if (t->GetCaption().empty()) return;
    Canvas->Font->Assign(t->Font);
    Canvas->Brush->Style = bsSolid;
    Canvas->Brush->Color = acdSel ? clHighlight : t->Background;
    if (acdSel) Canvas->Font->Color = clHighlightText;
    place(t->GetCaption());
  };
  caption(info->TopText, [&](const std::string& s) {
    Canvas->TextOut(left + (thumbW_ - Canvas->TextWidth(s)) / 2, top, s);
  });
  caption(info->InfoText, [&](const std::string& s) {
    Canvas->TextOut(left + (thumbW_ - Canvas->TextWidth(s)) / 2, top + thumbH_ - bottomGap_ - infoH, s);
  });
  caption(info->BottomText, [&](const std::string& s) {
    const int t = Canvas->TextHeight(s);
    Canvas->FillRect(Rect(left, top + thumbH_ - t - 1, left + thumbW_, top + thumbH_));
    Canvas->TextOut(left + 1 + (thumbW_ - Canvas->TextWidth(s) - 2) / 2, top + thumbH_ - t - 1, s);
    band = t + 3;
  });
  if (Style == iemsACD) {
    if (w > 0 && h > 0) IEDraw3DRect(Canvas, x, y, x + w - 1, y + h - 1, TColor(0x808080), TColor(0xFFFFFF));
    if (bottomGap_ + upperGap_ > 0 || infoH > 0)
      IEDraw3DRect(Canvas, left, top, left + thumbW_ - 1, top + thumbH_ - 1 - band, TColor(0xFFFFFF), clBlack);
    if (band > 0)
      IEDraw3DRect(Canvas, left, top + thumbH_ - band + 2, left + thumbW_ - 1, top + thumbH_ - 1, TColor(0x808080),
                   TColor(0xFFFFFF));
  }
  if (OnImageDraw) OnImageDraw(this, idx, left, top, Canvas);
  auto rings = [&](int n, TColor colour) {
    Canvas->Pen->Width = 1;
    Canvas->Pen->Color = colour;
    Canvas->Brush->Style = bsClear;
    for (int i = 1; i <= n; ++i) Canvas->Rectangle(left - i, top - i, left + thumbW_ + i, top + thumbH_ + i);
    Canvas->ExcludeClipRect(Rect(left - n, top - n, left + thumbW_ + n, top + thumbH_ + n));
    Canvas->Brush->Style = bsSolid;
  };
  if (selected && SelectionStyle == iessAround) rings(Focused() ? SelectionWidth : 1, SelectionColor);
  rings(ThumbnailsBorderWidth, ThumbnailsBorderColor);
}

// Playback ------------------------------------------------------------------------------------------------------

void TPixMView::SetPlaying(bool v) {
  if (v == playing_) return;
  if (v) {
    savedMode_ = displayMode_;
    savedSelection_ = selectedIndex_;
    Deselect();
  }
  playing_ = v;
  PlayFrame();
  if (!v) {
    KillTimer(this, kPlayTimer);
    SetDisplayMode(savedMode_);
    SetSelectedItem(savedSelection_);
  }
}

void TPixMView::PlayFrame() {
  if (frameStepping_ || destroying_) return;
  frameStepping_ = true;
  struct TClear {
    bool& flag;
    ~TClear() { flag = false; }
  } clear{frameStepping_};
  KillTimer(this, kPlayTimer);
  if (!playing_) return;
  if (displayMode_ != mdSingle) {
    displayMode_ = mdSingle;
    Update();
  }
  const int n = GetImageCount();
  if (n == 0) return;
  visibleFrame_ = std::min(visibleFrame_, n - 1);
  const int delay = GetImageDelayTime(visibleFrame_);
  Invalidate();
  if (visibleFrame_ == n - 1) {
    visibleFrame_ = 0;
    CallBitmapChangeEvents();
    if (!LoopPlayback) {
      playing_ = false;
      return;
    }
  } else {
    ++visibleFrame_;
  }
  SetTimer(this, kPlayTimer, uint32_t(std::max(delay, 10)));
}

void TPixMView::CenterFrame() {
  TIEImageInfo* info = Info(visibleFrame_);
  if (!info) return;
  SetViewXY(info->X - (GetClientWidth() - thumbW_) / 2, info->Y - (GetClientHeight() - thumbH_) / 2);
}

void TPixMView::SetVisibleFrame(int idx) {
  if (idx == visibleFrame_ || idx < 0 || idx >= GetImageCount()) return;
  visibleFrame_ = idx;
  Update();
}

// Keyboard ------------------------------------------------------------------------------------------------------

void TPixMView::KeyDown(Word& Key, TShiftState Shift) {
  TIEView::KeyDown(Key, Shift);
  if (playing_) return;
  const bool held = multiSelectHeld_, keep = keepOnReselect_;
  if (enableMultiSelect_ && (Shift & (ssShift | ssCtrl))) multiSelectHeld_ = keepOnReselect_ = true;
  struct TRestore {
    bool &a, &b;
    bool va, vb;
    ~TRestore() { a = va, b = vb; }
  } restore{multiSelectHeld_, keepOnReselect_, held, keep};
  bool moved = true;
  switch (Key) {
    case VK_PRIOR: SelectSeek(iskPagUp); break;
    case VK_NEXT: SelectSeek(iskPagDown); break;
    case VK_END: SelectSeek(iskLast); break;
    case VK_HOME: SelectSeek(iskFirst); break;
    case VK_LEFT: SelectSeek(iskLeft); break;
    case VK_UP: SelectSeek(iskUp); break;
    case VK_RIGHT: SelectSeek(iskRight); break;
    case VK_DOWN: SelectSeek(iskDown); break;
    default: moved = false;
  }
  if (moved) Update();
}

void TPixMView::SelectSeek(TIESeek s) {
  const int n = GetImageCount();
  if (n == 0) return;
  const int cur = selectedIndex_;
  const int columns = std::max(Columns(), 1);
  const int rows = std::max((GetClientHeight() - vertBorder_) / (vertBorder_ + thumbH_), 1);
  const int cw = GetClientWidth(), ch = GetClientHeight();
  auto info = [this] { return Info(selectedIndex_); };
  auto whole = [this] { return GetImageVisibility(selectedIndex_) == 2; };
  auto down = [&] {
    if (!info() || whole()) return;
    SetViewY(info()->Y + thumbH_ + vertBorder_ - ch);
    if (!whole()) SetViewX(info()->X + thumbW_ + horizBorder_ - cw);
  };
  auto up = [&] {
    if (!info() || whole()) return;
    SetViewY(info()->Y - vertBorder_);
    if (!whole()) SetViewX(info()->X - horizBorder_);
  };
  switch (s) {
    case iskLeft:
      if (cur < 0) return;
      SetSelectedItem(cur - 1);
      if (info() && !whole()) SetViewXY(info()->X - horizBorder_, info()->Y - vertBorder_);
      break;
    case iskRight:
      if (cur < -1) return;
      SetSelectedItem(cur + 1);
      if (info() && !whole())
        SetViewXY(info()->X + thumbW_ + horizBorder_ - cw, info()->Y + thumbH_ + vertBorder_ - ch);
      break;
    case iskUp:
      if (cur < 0) return;
      SetSelectedItem(gridWidth_ == 0 ? cur - 1 : std::max(cur - columns, 0));
      up();
      break;
    case iskDown:
      if (cur < -1) return;
      SetSelectedItem(gridWidth_ == 0 ? cur + 1 : std::min(cur + columns, n - 1));
      down();
      break;
    case iskFirst:
      SetSelectedItem(0);
      SetViewXY(0, 0);
      break;
    case iskLast:
      SetSelectedItem(n - 1);
      down();
      break;
    case iskPagDown:
      if (cur < -1) return;
      SetSelectedItem(cur + columns * rows);
      down();
      break;
    case iskPagUp:
      if (cur < 0) return;
      SetSelectedItem(cur - columns * rows);
      up();
      break;
  }
}
