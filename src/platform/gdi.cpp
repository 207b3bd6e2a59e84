#include "platform/gdi.h"

struct TDeviceContext {
  TCanvas* canvas = nullptr;
};

HDC TCanvas::GetHandle() {
  if (handle_ == nullptr) handle_ = new TDeviceContext{this};
  return handle_;
}

void ReleaseCanvasHandle(HDC dc) { delete dc; }
