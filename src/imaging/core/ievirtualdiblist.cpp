// Many small device-independent bitmaps in one memory-mapped file, one per
// 64 KB-aligned block, at most ten mapped at a time.
#include <algorithm>
#include <cstring>
#include <limits>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iedrawdib.h"
#include "imaging/core/ievalues.h"
#include "imaging/core/ievirtual.h"
#include "platform/canvas.h"
#include "platform/graphics.h"

namespace {

constexpr uint64_t kGranule = 65536;
constexpr uint64_t kHeaderBytes = sizeof(TIEVirtualDIBHeader);

void FillHeader(TIEVirtualDIBHeader& h, int32_t width, int32_t height, int32_t bitcount) {
  h = {};
  h.Header.biSize = 40;
  h.Header.biWidth = width;
  h.Header.biHeight = height;
  h.Header.biPlanes = 1;
  h.Header.biBitCount = uint16_t(bitcount);
  h.Palette[1] = RGBQUAD{255, 255, 255, 0};
}

int64_t RowLen(const BITMAPINFOHEADER& h) { return _BitmapRowLen(h.biWidth, h.biBitCount); }

// Row y (0 = top) of the picture in a block's bottom-up pixels.
uint8_t* BlockRow(uint8_t* view, const BITMAPINFOHEADER& h, int32_t y) {
  return view + kHeaderBytes + (int64_t(h.biHeight) - 1 - y) * RowLen(h);
}

TPixelFormat FormatFor(int32_t bitcount) {
  if (bitcount == 1) return pf1bit;
  if (bitcount == 8) return pf8bit;
  return pf24bit;
}

}  // namespace

TIEVirtualDIBList::TIEVirtualDIBList() : file_(std::make_unique<TIEMemoryMapped>()) { ReAllocateBits(); }

TIEVirtualDIBList::~TIEVirtualDIBList() { FreeBits(); }

// Blocks and mapping --------------------------------------------------------------

bool TIEVirtualDIBList::ReAllocateBits() {
  free_.clear();
  if (file_->IsAllocated()) {
    DiscardAll();
    return file_->ReAllocateFile(fileSize_);
  }
  FreeBits();
  return file_->AllocateFile("", fileSize_);
}

void TIEVirtualDIBList::FreeBits() {
  while (!images_.empty()) RemoveImageInfo(images_.size() - 1);
  mapped_.clear();
  free_.clear();
  handedOut_.clear();
  file_->DeAllocate();
  usedEnd_ = 0;
}

bool TIEVirtualDIBList::MapImage(PIEVirtualImageInfo image) {
  if (image->View) {
    // Most recently used goes last.
    mapped_.erase(std::find(mapped_.begin(), mapped_.end(), image));
    mapped_.push_back(image);
    return true;
  }
  while (mapped_.size() + 1 > mappingLimit_) DiscardOne();
  image->View = static_cast<uint8_t*>(file_->Map(image->Offset, size_t(image->NeededSize)));
  if (!image->View) return false;
  mapped_.push_back(image);
  return true;
}

void TIEVirtualDIBList::DiscardOne() {
  if (!mapped_.empty()) DiscardImage(mapped_.front());
}

void TIEVirtualDIBList::DiscardImage(PIEVirtualImageInfo image) {
  if (!image->View) return;
  file_->UnMap(image->View);
  image->View = nullptr;
  mapped_.erase(std::find(mapped_.begin(), mapped_.end(), image));
}

void TIEVirtualDIBList::DiscardAll() {
  while (!mapped_.empty()) DiscardImage(mapped_.back());
}

bool TIEVirtualDIBList::AllocImage(PIEVirtualImageInfo image, int32_t width, int32_t height, int32_t bitcount) {
  if (width <= 0 || height <= 0) return false;
  const int64_t rows = int64_t(height) * _BitmapRowLen(width, bitcount);
  const uint64_t needed = uint64_t(rows) + kHeaderBytes;
  const uint64_t block = (needed + kGranule - 1) / kGranule * kGranule;
  uint64_t offset = 0;
  bool fromFree = false;
  for (auto it = free_.begin(); it != free_.end(); ++it) {
    if (it->Size >= block) {
      offset = it->Offset;
      free_.erase(it);
      fromFree = true;
      break;
    }
  }
  if (!fromFree) {
    if (usedEnd_ > std::numeric_limits<uint64_t>::max() - block) return false;
    if (growthStep_ < block) growthStep_ = lastBlockSize_ + block;
    lastBlockSize_ = block;
    offset = usedEnd_;
    if (usedEnd_ + block > fileSize_) {
      // One step may not reach far enough after blocks were freed.
      while (usedEnd_ + block > fileSize_) fileSize_ += growthStep_;
      if (!ReAllocateBits()) return false;
    }
  }
  if (image->View) DiscardImage(image);
  image->Offset = offset;
  image->NeededSize = needed;
  image->BlockSize = block;
  image->HandedOut = false;
  image->OriginalWidth = width;
  image->OriginalHeight = height;
  if (!fromFree) usedEnd_ = offset + block;
  if (!MapImage(image)) return true;  // no header and no pixels, as a failed mapping leaves it
  TIEVirtualDIBHeader header;
  FillHeader(header, width, height, bitcount);
  std::memcpy(image->View, &header, sizeof header);
  return true;
}

const TIEVirtualDIBHeader* TIEVirtualDIBList::BlockHeader(PIEVirtualImageInfo image) {
  if (!MapImage(image)) return nullptr;
  return reinterpret_cast<const TIEVirtualDIBHeader*>(image->View);
}

TIEVirtualToReleaseBmp* TIEVirtualDIBList::HandedOutOf(PIEVirtualImageInfo image) {
  for (TIEVirtualToReleaseBmp& out : handedOut_)
    if (out.Image == image) return &out;
  return nullptr;
}

void TIEVirtualDIBList::RemoveImageInfo(size_t index) {
  PIEVirtualImageInfo image = images_[index].get();
  for (auto it = handedOut_.begin(); it != handedOut_.end(); ++it)
    if (it->Image == image) {
      delete it->Bitmap;
      handedOut_.erase(it);
      break;
    }
  DiscardImage(image);
  images_.erase(images_.begin() + std::ptrdiff_t(index));
}

// Adding and removing -------------------------------------------------------------

PIEVirtualImageInfo TIEVirtualDIBList::AddBlankImage(int32_t width, int32_t height, int32_t bitcount) {
  auto image = std::make_unique<TIEVirtualImageInfo>();
  if (!AllocImage(image.get(), width, height, bitcount)) return nullptr;
  images_.push_back(std::move(image));
  return images_.back().get();
}

PIEVirtualImageInfo TIEVirtualDIBList::AddIEBitmap(TIEBaseBitmap* bitmap) {
  PIEVirtualImageInfo image = AddBlankImage(bitmap->GetWidth(), bitmap->GetHeight(), bitmap->GetBitCount());
  if (!image || !image->View) return image;
  const auto* h = reinterpret_cast<const TIEVirtualDIBHeader*>(image->View);
  const size_t rowLen = size_t(RowLen(h->Header));
  for (int32_t y = bitmap->GetHeight() - 1; y >= 0; --y)
    std::memcpy(BlockRow(image->View, h->Header, y), bitmap->GetScanLine(y), rowLen);
  return image;
}

PIEVirtualImageInfo TIEVirtualDIBList::AddBitmap(TBitmap* bitmap) {
  TIEBitmap wrapper;
  wrapper.EncapsulateTBitmap(bitmap);
  return AddIEBitmap(&wrapper);
}

PIEVirtualImageInfo TIEVirtualDIBList::AddBitmapRect(TBitmap* bitmap, int32_t x, int32_t y, int32_t width,
                                                     int32_t height) {
  int32_t bits = 0;
  switch (bitmap->GetPixelFormat()) {
    case pf1bit: bits = 1; break;
    case pf8bit: bits = 8; break;
    default: bits = 24;
  }
  PIEVirtualImageInfo image = AddBlankImage(width, height, bits);
  if (!image || !image->View) return image;
  IEBitmapMapXCopy(image->View + kHeaderBytes, _BitmapRowLen(width, bits), bits, bitmap, 0, 0, x, y, width, height,
                   1);
  return image;
}

void TIEVirtualDIBList::PrepareSpaceFor(int32_t width, int32_t height, int32_t bitcount, int32_t count) {
  if (width <= 0 || height <= 0 || count <= 0) return;
  const uint64_t needed = uint64_t(int64_t(height) * _BitmapRowLen(width, bitcount)) + kHeaderBytes;
  const uint64_t block = (needed + kGranule - 1) / kGranule * kGranule;
  fileSize_ += block * uint64_t(count);
  ReAllocateBits();
}

void TIEVirtualDIBList::Delete(PIEVirtualImageInfo image) {
  const auto it = std::find_if(images_.begin(), images_.end(), [image](const auto& p) { return p.get() == image; });
  if (it == images_.end()) return;
  free_.push_back({image->Offset, image->BlockSize});
  RemoveImageInfo(size_t(it - images_.begin()));
  if (images_.empty()) {
    fileSize_ = growthStep_;
    usedEnd_ = 0;
    ReAllocateBits();
  }
}

// Reading --------------------------------------------------------------------------

int32_t TIEVirtualDIBList::GetImageWidth(PIEVirtualImageInfo image) {
  if (TIEVirtualToReleaseBmp* out = HandedOutOf(image)) return out->Bitmap->GetWidth();
  const TIEVirtualDIBHeader* h = BlockHeader(image);
  return h ? h->Header.biWidth : 0;
}

int32_t TIEVirtualDIBList::GetImageHeight(PIEVirtualImageInfo image) {
  if (TIEVirtualToReleaseBmp* out = HandedOutOf(image)) return out->Bitmap->GetHeight();
  const TIEVirtualDIBHeader* h = BlockHeader(image);
  return h ? h->Header.biHeight : 0;
}

int32_t TIEVirtualDIBList::GetImageBitCount(PIEVirtualImageInfo image) {
  if (TIEVirtualToReleaseBmp* out = HandedOutOf(image))
    return out->Bitmap->GetPixelFormat() == pf1bit ? 1 : out->Bitmap->GetPixelFormat() == pf8bit ? 8 : 24;
  const TIEVirtualDIBHeader* h = BlockHeader(image);
  return h ? h->Header.biBitCount : 0;
}

uint8_t* TIEVirtualDIBList::GetImageBits(PIEVirtualImageInfo image) {
  if (TIEVirtualToReleaseBmp* out = HandedOutOf(image)) return out->Bitmap->ScanLine(0);
  if (!MapImage(image)) return nullptr;
  return image->View + kHeaderBytes;
}

BITMAPINFOHEADER* TIEVirtualDIBList::GetImageInfoHeader(PIEVirtualImageInfo image) {
  if (TIEVirtualToReleaseBmp* out = HandedOutOf(image)) {
    // The platform bitmap keeps its rows top first.
    FillHeader(headerBuffer_, out->Bitmap->GetWidth(), -out->Bitmap->GetHeight(), GetImageBitCount(image));
    return &headerBuffer_.Header;
  }
  if (!MapImage(image)) return nullptr;
  return reinterpret_cast<BITMAPINFOHEADER*>(image->View);
}

void TIEVirtualDIBList::CopyToIEBitmap(PIEVirtualImageInfo image, TIEBitmap* bitmap) {
  if (TIEVirtualToReleaseBmp* out = HandedOutOf(image)) return bitmap->CopyFromTBitmap(out->Bitmap);
  const TIEVirtualDIBHeader* h = BlockHeader(image);
  if (!h) return;
  const BITMAPINFOHEADER header = h->Header;
  bitmap->Allocate(header.biWidth, header.biHeight, header.biBitCount == 1 ? ie1g : ie24RGB);
  if (header.biBitCount != 1 && header.biBitCount != 24) return;
  const size_t rowLen = size_t(RowLen(header));
  for (int32_t y = 0; y < header.biHeight; ++y)
    std::memcpy(bitmap->GetScanLine(y), BlockRow(image->View, header, y), rowLen);
}

void TIEVirtualDIBList::DirectCopyToBitmap(PIEVirtualImageInfo image, TBitmap* bitmap) {
  const TIEVirtualDIBHeader* h = BlockHeader(image);
  if (!h) return;
  const BITMAPINFOHEADER header = h->Header;
  const TPixelFormat format = header.biBitCount == 1 ? pf1bit : pf24bit;
  if (bitmap->GetWidth() != header.biWidth || bitmap->GetHeight() != header.biHeight ||
      bitmap->GetPixelFormat() != format) {
    bitmap->SetSize(1, 1);
    bitmap->SetPixelFormat(format);
    bitmap->SetSize(header.biWidth, header.biHeight);
  }
  if (header.biBitCount != 1 && header.biBitCount != 24) return;
  const size_t rowLen = size_t(RowLen(header));
  for (int32_t y = 0; y < header.biHeight; ++y)
    std::memcpy(bitmap->ScanLine(y), BlockRow(image->View, header, y), rowLen);
}

void TIEVirtualDIBList::CopyFromBitmap(PIEVirtualImageInfo image, TBitmap* bitmap) {
  const int32_t bits = bitmap->GetPixelFormat() == pf1bit ? 1 : bitmap->GetPixelFormat() == pf8bit ? 8 : 24;
  const TIEVirtualDIBHeader* h = BlockHeader(image);
  if (!h || h->Header.biWidth != bitmap->GetWidth() || h->Header.biHeight != bitmap->GetHeight() ||
      h->Header.biBitCount != bits) {
    const int32_t originalWidth = image->OriginalWidth, originalHeight = image->OriginalHeight;
    if (!AllocImage(image, bitmap->GetWidth(), bitmap->GetHeight(), bits)) return;
    image->OriginalWidth = originalWidth;
    image->OriginalHeight = originalHeight;
    h = BlockHeader(image);
    if (!h) return;
  }
  // A handed-out bitmap stays out while it is written back.
  image->HandedOut = HandedOutOf(image) != nullptr;
  if (bitmap->GetPixelFormat() != FormatFor(bits)) return;
  const BITMAPINFOHEADER header = h->Header;
  const size_t rowLen = size_t(RowLen(header));
  for (int32_t y = 0; y < header.biHeight; ++y)
    std::memcpy(BlockRow(image->View, header, y), bitmap->ScanLine(y), rowLen);
}

TBitmap* TIEVirtualDIBList::GetBitmap(PIEVirtualImageInfo image) {
  if (TIEVirtualToReleaseBmp* out = HandedOutOf(image)) {
    ++out->RefCount;
    return out->Bitmap;
  }
  if (!MapImage(image)) return nullptr;
  auto* bitmap = new TBitmap();
  DirectCopyToBitmap(image, bitmap);
  handedOut_.push_back({image, bitmap, 1});
  image->HandedOut = true;
  return bitmap;
}

void TIEVirtualDIBList::ReleaseBitmap(TBitmap* bitmap, bool writeback) {
  const auto it = std::find_if(handedOut_.begin(), handedOut_.end(),
                               [bitmap](const TIEVirtualToReleaseBmp& out) { return out.Bitmap == bitmap; });
  if (it == handedOut_.end()) return;
  --it->RefCount;
  if (writeback) CopyFromBitmap(it->Image, bitmap);
  if (it->RefCount > 0) return;
  it->Image->HandedOut = false;
  handedOut_.erase(it);
  delete bitmap;
}

void TIEVirtualDIBList::ReleaseBitmapByImage(PIEVirtualImageInfo image, bool writeback) {
  if (TIEVirtualToReleaseBmp* out = HandedOutOf(image)) ReleaseBitmap(out->Bitmap, writeback);
}

void TIEVirtualDIBList::RenderTo(PIEVirtualImageInfo image, TCanvas* canvas, HDRAWDIB drawdib, int xDst, int yDst,
                                 int dxDst, int dyDst, int xSrc, int ySrc, int dxSrc, int dySrc) {
  if (!MapImage(image)) return;
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image->View);
  IEDrawDibDraw(drawdib, canvas->GetHandle(), xDst, yDst, dxDst, dyDst, header, image->View + kHeaderBytes, xSrc,
                ySrc, dxSrc, dySrc, 0);
}
