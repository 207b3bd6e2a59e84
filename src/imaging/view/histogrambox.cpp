#include "imaging/view/histogrambox.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "imaging/proc/pixproc.h"
#include "platform/canvas.h"
#include "platform/messages.h"
#include "platform/sysutils.h"

THistogramBox::THistogramBox(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csOpaque;
  buffer_.SetPixelFormat(pf24bit);
  SetBounds(GetLeft(), GetTop(), 256, 105);
}

void THistogramBox::SetAIEP(TPixProc* proc) {
  pixProc_ = proc;
  if (proc) proc->FreeNotification(this);
  Update();
}

void THistogramBox::SetBackground(TColor c) {
  background_ = c;
  Update();
}

void THistogramBox::SetHistogramKind(THistogramKind k) {
  if (k == kind_) return;
  kind_ = k;
  Update();
}

void THistogramBox::SetLabels(THistogramLabels l) {
  if (l == labels_) return;
  labels_ = l;
  Update();
}

void THistogramBox::SetCompBar(bool b) {
  if (b == compBar_) return;
  compBar_ = b;
  Update();
}

void THistogramBox::SetHistogramStyle(THistogramStyle s) {
  if (s == style_) return;
  style_ = s;
  Update();
}

void THistogramBox::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove && component == pixProc_) pixProc_ = nullptr;
}

void THistogramBox::Update() {
  TCanvas* c = buffer_.GetCanvas();
  c->Brush->Color = background_;
  c->Brush->Style = bsSolid;
  c->FillRect(Rect(0, 0, buffer_.GetWidth(), buffer_.GetHeight()));
  Invalidate();
  if (!pixProc_ || !pixProc_->GetWorkingBitmap()) return;
  THistogram h{};
  pixProc_->GetHistogram(h);
  // The channels chosen, in drawing order, with their colours.
  struct TChannel {
    unsigned kind;
    uint32_t THistogramItem::*count;
    TColor colour;
  };
  const TChannel channels[] = {{hkRed, &THistogramItem::r, 255},
                               {hkGreen, &THistogramItem::g, 32768},
                               {hkBlue, &THistogramItem::b, 16711680},
                               {hkGray, &THistogramItem::gray, clBlack}};
  uint32_t M = 0;
  for (const THistogramItem& item : h)
    for (const TChannel& ch : channels)
      if (kind_ & ch.kind) M = std::max(M, item.*ch.count);
  if (M == 0) return;
  c->Font->Assign(GetFont());
  c->Brush->Style = bsClear;
  const int fontHeight = std::abs(GetFont()->Height);
  int W = buffer_.GetWidth(), H = buffer_.GetHeight(), L = 0;
  const int B = int(std::trunc(1.2 * fontHeight));
  if (compBar_) H -= B + 2;
  const std::string top = std::to_string(M);
  if (labels_ & hlVertical) {
    c->TextOut(0, 0, top);
    c->TextOut(0, H / 2, std::to_string(M / 2));
    c->Pen->Color = GetFont()->Color;
    const int w = c->TextWidth(top) + 2;
    W -= w;
    L += w;
  }
  if (W <= 0 || H <= 0) return;
  if (labels_ & hlHorizontal) {
    const int y = H - fontHeight - 1;
    for (int level : {0, 64, 128, 192}) c->TextOut(int(Round(level / 256.0 * W)) + L, y, std::to_string(level));
    c->TextOut(L + W - c->TextWidth("255"), y, "255");
    H -= c->TextHeight(top) + 2;
    c->MoveTo(L - 1, 0);
    c->LineTo(L - 1, H);
    c->LineTo(L + W, H);
  }
  GraphLeft = GetLeft() + L;
  if (compBar_) {
    const bool r = kind_ & (hkRed | hkGray), g = kind_ & (hkGreen | hkGray), b = kind_ & (hkBlue | hkGray);
    for (int y = std::max(0, buffer_.GetHeight() - B); y < buffer_.GetHeight(); ++y) {
      uint8_t* row = buffer_.ScanLine(y);
      for (int x = 0; x < W && L + x < buffer_.GetWidth(); ++x) {
        const uint8_t v = uint8_t(std::min<int64_t>(255, Round(x * 256.0 / W)));
        uint8_t* p = row + size_t(L + x) * 3;
        p[0] = b ? v : 0;
        p[1] = g ? v : 0;
        p[2] = r ? v : 0;
      }
    }
    buffer_.Changed();
  }
  auto scaled = [&](int x, const TChannel& ch) {
    const int level = int(std::trunc(double(x) / W * 256));
    return int(Round(double(h[size_t(std::min(level, 255))].*ch.count) / M * H));
  };
  for (const TChannel& ch : channels) {
    if (!(kind_ & ch.kind)) continue;
    c->Pen->Color = ch.colour;
    if (style_ == hsBars) {
      for (int x = 0; x < W; ++x) {
        c->MoveTo(L + x, H - 1);
        c->LineTo(L + x, H - scaled(x, ch) - 2);
      }
    } else {
      std::vector<TPoint> line{{L, H - 1}};
      for (int x = 0; x < W; ++x) line.push_back({L + x, H - scaled(x, ch) - 1});
      c->Polyline(line);
    }
  }
}

void THistogramBox::Paint() { GetCanvas()->Draw(0, 0, &buffer_); }

void THistogramBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_SIZE:
      TCustomControl::Dispatch(message);
      buffer_.SetSize(GetClientWidth(), GetClientHeight());
      Update();
      return;
    case WM_ERASEBKGND: message.Result = 1; return;
    default: TCustomControl::Dispatch(message);
  }
}
