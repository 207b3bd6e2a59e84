#include "platform/qrpreview.h"

#include <QPainter>
#include <algorithm>

#include "platform/fonts.h"

namespace {

// Pixels one click on a scroll arrow moves.
constexpr int kLineStep = 16;

int BarOf(uint32_t msg) { return msg == WM_HSCROLL ? SB_HORZ : SB_VERT; }

}  // namespace

TQRPreview::TQRPreview(TComponent* AOwner) : TCustomControl(AOwner) {
  // Paint fills every pixel itself.
  ControlStyle |= csOpaque;
}

TQRPreview::~TQRPreview() { Detach(); }

void TQRPreview::Detach() {
  if (!printer_) return;
  printer_->OnProgress = nullptr;
  printer_->OnPageAvailable = nullptr;
  printer_->RemoveFreeNotification(this);
  printer_ = nullptr;
}

void TQRPreview::SetQRPrinter(TQRPrinter* printer) {
  if (printer == printer_) return;
  Detach();
  printer_ = printer;
  page_ = 1;
  if (printer_) {
    printer_->FreeNotification(this);
    printer_->OnProgress = [this](int percent) {
      if (OnProgressUpdate) OnProgressUpdate(this, percent);
    };
    printer_->OnPageAvailable = [this](int page) {
      PagesChanged();
      if (OnPageAvailable) OnPageAvailable(this, page);
    };
  }
  PagesChanged();
}

void TQRPreview::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove && component == printer_) {
    printer_ = nullptr;
    PagesChanged();
  }
}

TQRPagePicture* TQRPreview::ShownPage() const { return printer_ ? printer_->GetPage(page_) : nullptr; }

void TQRPreview::SetPageNumber(int page) {
  int count = printer_ ? printer_->PageCount() : 0;
  page_ = std::clamp(page, 1, std::max(count, 1));
  PagesChanged();
}

void TQRPreview::SetZoom(int zoom) {
  zoom = std::clamp(zoom, MinZoom, MaxZoom);
  if (zoom == zoom_) return;
  // The same spot of the page stays at the view's top-left corner.
  int oldZoom = zoom_;
  zoom_ = zoom;
  int h = int(int64_t(ScrollBar(SB_HORZ).Pos) * zoom / oldZoom);
  int v = int(int64_t(ScrollBar(SB_VERT).Pos) * zoom / oldZoom);
  UpdateScrollBars();
  ScrollTo(SB_HORZ, h);
  ScrollTo(SB_VERT, v);
}

TSize TQRPreview::PageSizeAt(int zoom) const {
  TQRPagePicture* page = ShownPage();
  if (!page) return {};
  // As TQRPagePicture::ToImage sizes a page at the zoomed resolution.
  double dpi = ScreenPixelsPerInch() * zoom / 100.0;
  return {int(int64_t(page->PageWidth()) * dpi / page->Resolution()),
          int(int64_t(page->PageHeight()) * dpi / page->Resolution())};
}

int TQRPreview::ZoomThatFits(int room, bool width) const {
  TQRPagePicture* page = ShownPage();
  int extent = page ? (width ? page->GetWidth() : page->GetHeight()) : 0;
  if (extent <= 0) return zoom_;
  auto size = [&](int z) { return width ? PageSizeAt(z).cx : PageSizeAt(z).cy; };
  int zoom = std::clamp(int(int64_t(std::max(room, 0)) * 100 / extent), MinZoom, MaxZoom);
  // The estimate from the page's whole pixels can be one off either way.
  while (zoom > MinZoom && size(zoom) > room) --zoom;
  while (zoom < MaxZoom && size(zoom + 1) <= room) ++zoom;
  return zoom;
}

void TQRPreview::ZoomToFit() {
  if (!ShownPage()) return;
  // The room the client area has without scroll bars.
  int w = GetClientWidth() + (ScrollBar(SB_VERT).Visible ? GetSystemMetrics(SM_CXVSCROLL) : 0);
  int h = GetClientHeight() + (ScrollBar(SB_HORZ).Visible ? GetSystemMetrics(SM_CYHSCROLL) : 0);
  SetZoom(std::min(ZoomThatFits(w, true), ZoomThatFits(h, false)));
}

void TQRPreview::ZoomToWidth() {
  if (!ShownPage()) return;
  int w = GetClientWidth() + (ScrollBar(SB_VERT).Visible ? GetSystemMetrics(SM_CXVSCROLL) : 0);
  int h = GetClientHeight() + (ScrollBar(SB_HORZ).Visible ? GetSystemMetrics(SM_CYHSCROLL) : 0);
  int zoom = ZoomThatFits(w, true);
  // A page taller than the view brings the vertical bar, which takes its
  // width from the room.
  if (PageSizeAt(zoom).cy > h) zoom = ZoomThatFits(w - GetSystemMetrics(SM_CXVSCROLL), true);
  SetZoom(zoom);
}

TRect TQRPreview::PageRect() const {
  if (!ShownPage()) return {};
  TSize size = PageSizeAt(zoom_);
  int cw = GetClientWidth(), ch = GetClientHeight();
  int x = size.cx <= cw ? (cw - size.cx) / 2 : -ScrollBar(SB_HORZ).Pos;
  int y = size.cy <= ch ? (ch - size.cy) / 2 : -ScrollBar(SB_VERT).Pos;
  return Bounds(x, y, size.cx, size.cy);
}

bool TQRPreview::PageBitmap(TBitmap* bitmap) const {
  if (!printer_) return false;
  return printer_->PageToBitmap(page_, bitmap, ScreenPixelsPerInch() * zoom_ / 100.0);
}

void TQRPreview::PagesChanged() {
  UpdateScrollBars();
  Invalidate();
}

void TQRPreview::UpdateScrollBars() {
  // Showing or hiding one bar resizes the client area, which comes back
  // here through WM_SIZE; the passes below settle both bars instead.
  if (updatingBars_) return;
  updatingBars_ = true;
  TSize size = PageSizeAt(zoom_);
  for (int pass = 0; pass < 3; ++pass) {
    for (int bar : {SB_HORZ, SB_VERT}) {
      SCROLLINFO info;
      info.fMask = SIF_RANGE | SIF_PAGE;
      info.nMax = std::max((bar == SB_HORZ ? size.cx : size.cy) - 1, 0);
      info.nPage = unsigned(bar == SB_HORZ ? GetClientWidth() : GetClientHeight());
      SetScrollInfo(this, bar, info, true);
    }
  }
  updatingBars_ = false;
  Invalidate();
}

void TQRPreview::ScrollTo(int bar, int pos) {
  int old = SetScrollPos(this, bar, pos, true);
  if (ScrollBar(bar).Pos != old) Invalidate();
}

void TQRPreview::Resize() {
  UpdateScrollBars();
  TCustomControl::Resize();
}

void TQRPreview::Dispatch(TMessage& m) {
  if (m.Msg != WM_HSCROLL && m.Msg != WM_VSCROLL) {
    TCustomControl::Dispatch(m);
    return;
  }
  int bar = BarOf(m.Msg);
  const TScrollBarState& s = ScrollBar(bar);
  TWMScroll scroll(m);
  int page = std::max(int(s.Page), 1);
  switch (scroll.ScrollCode) {
    case SB_LINEUP: ScrollTo(bar, s.Pos - kLineStep); break;
    case SB_LINEDOWN: ScrollTo(bar, s.Pos + kLineStep); break;
    case SB_PAGEUP: ScrollTo(bar, s.Pos - page); break;
    case SB_PAGEDOWN: ScrollTo(bar, s.Pos + page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      // The message carries 16 bits of position; longer bars keep the
      // thumb's place in the track position.
      ScrollTo(bar, s.Max > 0xFFFF ? s.TrackPos : scroll.Pos);
      break;
    case SB_TOP: ScrollTo(bar, s.Min); break;
    case SB_BOTTOM: ScrollTo(bar, s.Max); break;
    default: break;
  }
}

bool TQRPreview::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  if (TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  int bar = (shift & ssShift) ? SB_HORZ : SB_VERT;
  if (!ScrollBar(bar).Visible) return false;
  ScrollTo(bar, ScrollBar(bar).Pos - wheelDelta / WHEEL_DELTA * 3 * kLineStep);
  return true;
}

void TQRPreview::Paint() {
  QImage& image = ClientImage();
  if (image.isNull()) return;
  TRect area = PaintRect();
  QPainter painter(&image);
  painter.setClipRect(QRect(area.Left, area.Top, area.Width(), area.Height()));
  painter.fillRect(image.rect(), ToQColor(GetColor()));
  TQRPagePicture* page = ShownPage();
  if (!page) return;
  TRect r = PageRect();
  QRect paper(r.Left, r.Top, r.Width(), r.Height());
  painter.setClipRect(paper, Qt::IntersectClip);
  painter.fillRect(paper, Qt::white);
  painter.translate(r.Left, r.Top);
  page->Render(painter, ScreenPixelsPerInch() * zoom_ / 100.0);
}
