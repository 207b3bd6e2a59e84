// A JPEG picture as a graphic of the framework: it keeps the compressed
// bytes (saved as they were read) and the decoded picture it draws with.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics.h"

class TJPEGImage : public TGraphic {
 public:
  TJPEGImage();
  ~TJPEGImage() override;
  TJPEGImage(const TJPEGImage&) = delete;
  TJPEGImage& operator=(const TJPEGImage&) = delete;

  int GetWidth() const override;
  int GetHeight() const override;
  // A JPEG picture keeps the size it was compressed at.
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  bool GetEmpty() const override { return data_.empty(); }

  // Untrusted bytes: anything that is no decodable JPEG raises
  // EInvalidGraphic and leaves the picture as it was.
  void LoadFromStream(TStream* stream) override;
  // The compressed bytes; nothing for an empty picture.
  void SaveToStream(TStream* stream) override;
  // From another JPEG picture (copy), a bitmap (compressed at quality 90,
  // baseline, colour) or nullptr (empty).
  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const TRect& rect) override;

  // The decoded picture (empty when the picture is).
  const TBitmap& Bitmap() const { return *bitmap_; }

 protected:
  // Into a bitmap: the decoded picture.
  void AssignTo(TPersistent* dest) override;

 private:
  void Changed();
  std::vector<uint8_t> data_;
  TBitmap* bitmap_;
};
