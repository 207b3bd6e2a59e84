// The component's hidden data: bytes or a text kept in the least
// significant bits of a pf24bit picture.
#include "imaging/proc/iehiddendata.h"
#include "imaging/proc/pixproc.h"

int TPixProc::WriteHiddenData(const void* Buffer, int Length) {
  if (!IEHiddenDataFits(bitmap_, Length)) return 0;
  if (AutoUndo) SaveUndoCaptioned("WriteHiddenData");
  IEWriteHiddenData(bitmap_, Buffer, Length);
  Update();
  return Length;
}

int TPixProc::WriteHiddenText(const std::string& Text) {
  return WriteHiddenData(Text.data(), static_cast<int>(Text.size()));
}

int TPixProc::ReadHiddenData(void* Buffer, int Size) {
  if (!Has24BitPicture()) return 0;
  return IEReadHiddenData(bitmap_, Buffer, Size);
}

std::string TPixProc::ReadHiddenText() {
  std::string text(static_cast<size_t>(ReadHiddenData(nullptr, 0)), '\0');
  if (!text.empty()) ReadHiddenData(text.data(), static_cast<int>(text.size()));
  return text;
}

int TPixProc::GetHiddenDataSpace() { return Has24BitPicture() ? IEHiddenDataSpace(bitmap_) : 0; }
