#include "records/cardpictures.h"

#include <algorithm>
#include <cstdint>

#include "platform/graphics.h"
#include "platform/privatetemp.h"
#include "platform/sysutils.h"

std::string CardPictureBaseName(const std::string& text) {
  std::string name = Trim(text);
  for (char& c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) c = '_';
  }
  for (char& c : name) {
    if (c != '.') break;
    c = '_';
  }
  for (size_t dots = name.find(".."); dots != std::string::npos; dots = name.find("..", dots)) name[dots] = '_';
  // File names hold at most 255 bytes: room is left for a repeat's suffix
  // and the extension, and a character is never cut in half.
  constexpr size_t kMaxBytes = 200;
  if (name.size() > kMaxBytes) {
    size_t end = kMaxBytes;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    name.resize(end);
  }
  return name.empty() ? "无名" : name;
}

TCardPictureNames::TCardPictureNames(const std::string& folder, const std::string& extension)
    : folder_(folder), extension_(extension) {
  while (folder_.size() > 1 && (folder_.back() == '/' || folder_.back() == '\\')) folder_.pop_back();
}

std::string TCardPictureNames::Next(const std::string& recordText) {
  const std::string base = CardPictureBaseName(recordText);
  std::string name = base;
  for (int n = 2; !taken_.insert(name).second; ++n) name = base + " (" + std::to_string(n) + ")";
  return folder_ + "/" + name + "." + extension_;
}

void MirrorHorizontally(TBitmap* bitmap) {
  if (bitmap->GetPixelFormat() != pf24bit) bitmap->SetPixelFormat(pf24bit);
  const int w = bitmap->GetWidth();
  for (int y = 0; y < bitmap->GetHeight(); ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int left = 0, right = w - 1; left < right; ++left, --right)
      std::swap_ranges(row + left * 3, row + left * 3 + 3, row + right * 3);
  }
}

std::string SingleCardPicturePath() { return PrivateTempFolder() + "temPic3.bmp"; }
