#include "imaging/core/iehint.h"

#include "platform/gdi.h"

TIEHint::TIEHint(TComponent* owner) : TCustomControl(owner) {
  SetVisible(false);
  SetColor(0xE0FFFF);
  font_.Color = clBlack;
  GetCanvas()->Font->Assign(&font_);
  GetCanvas()->Brush->Style = bsClear;
}

void TIEHint::SetText(const std::string& text) {
  TControl::SetText(text);
  TSize extent = GetCanvas()->TextExtent(text);
  SetBounds(GetLeft(), GetTop(), extent.cx + 4, extent.cy + 4);
  Invalidate();
}

void TIEHint::SetFont(TFont* font) {
  if (font == nullptr) return;
  font_.Assign(font);
  GetCanvas()->Font->Assign(font);
  Invalidate();
}

// The layer keeps no pixels outside the client area, so the raised edge
// takes the outer ring of the client image and the text sits one pixel
// inside it: the same picture as a bordered window with its text at (1, 1).
void TIEHint::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect whole = GetClientRect();
  DrawEdge(canvas->GetHandle(), &whole, BDR_RAISEDOUTER, BF_RECT);
  canvas->Brush->Style = bsClear;
  canvas->Font->Assign(&font_);
  canvas->TextOut(2, 2, GetText());
}

void TIEHint::Dispatch(TMessage& message) {
  // The mouse goes to the window below.
  if (message.Msg == WM_NCHITTEST) {
    message.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::Dispatch(message);
}
