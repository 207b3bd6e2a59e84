// Graphics core: colours and the platform bitmap.
//
// TBitmap keeps its pixels in a QImage, rows top-down as Qt lays them out.
// pf1bit is QImage::Format_Mono (most significant bit leftmost, a 2-entry
// palette), pf8bit is Format_Indexed8 with a 256-entry palette, pf24bit is
// Format_BGR888 (bytes blue, green, red as in a device-independent bitmap),
// pf32bit is Format_RGB32, pf15bit Format_RGB555, pf16bit Format_RGB16;
// pfDevice (and pfCustom) are stored like pf32bit. pf4bit is held one byte a
// pixel with a 16-colour table and reads back as pf8bit. A new bitmap is
// 0 x 0 pf24bit; pixels that a size change adds are white. ScanLine(y)
// returns the row address; the image is never shared, so row addresses stay
// valid until the size or the pixel format changes.
#pragma once

#include <QImage>
#include <QList>
#include <cstdint>
#include <string>

#include "classes.h"
#include "wintypes.h"

// A picture stream that cannot be read as a picture.
CW_DECLARE_EXCEPTION(EInvalidGraphic, Exception)

// Colours ---------------------------------------------------------------------

// 0x00BBGGRR, or a system colour 0x80000000 | index.
using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours (index into the system colour table).
constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;

// The colour with system colours resolved from the fixed system colour
// table (the classic grey desktop scheme), as 0x00BBGGRR.
int32_t ColorToRGB(TColor color);
// Value of a system colour index (0..30); black for unknown indices.
int32_t GetSysColor(int index);
inline constexpr int32_t RGB(uint8_t r, uint8_t g, uint8_t b) {
  return r | (g << 8) | (b << 16);
}
inline constexpr uint8_t GetRValue(int32_t c) { return c & 0xFF; }
inline constexpr uint8_t GetGValue(int32_t c) { return (c >> 8) & 0xFF; }
inline constexpr uint8_t GetBValue(int32_t c) { return (c >> 16) & 0xFF; }
QColor ToQColor(TColor color);

// Bitmap ------------------------------------------------------------------------

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

class TCanvas;
struct TGdiBitmap;

class TGraphic : public TPersistent {
 public:
  virtual int GetWidth() const = 0;
  virtual int GetHeight() const = 0;
  virtual void SetWidth(int w) = 0;
  virtual void SetHeight(int h) = 0;
  virtual bool GetEmpty() const = 0;
  virtual void LoadFromStream(TStream* stream) = 0;
  virtual void SaveToStream(TStream* stream) = 0;
  void LoadFromFile(const std::string& name);
  // Virtual: a metafile picks its kind from the extension.
  virtual void SaveToFile(const std::string& name);
  // How a canvas draws a graphic that is no bitmap: into `rect` (logical
  // units of the canvas). Nothing by default.
  virtual void Draw(TCanvas* canvas, const TRect& rect) {}
  bool Transparent = false;
  TNotifyEvent OnChange;
};

class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int GetWidth() const override { return image_.width(); }
  int GetHeight() const override { return image_.height(); }
  void SetWidth(int w) override;
  void SetHeight(int h) override;
  void SetSize(int w, int h);
  bool GetEmpty() const override { return image_.isNull() || image_.width() == 0 || image_.height() == 0; }

  TPixelFormat GetPixelFormat() const { return format_; }
  // Changes the format keeping the picture (converted as the platform does).
  void SetPixelFormat(TPixelFormat format);
  bool GetMonochrome() const { return format_ == pf1bit; }
  void SetMonochrome(bool mono);

  // Row y (0 = top); nullptr for rows outside the picture.
  uint8_t* ScanLine(int y);
  const uint8_t* ScanLine(int y) const;
  int BytesPerLine() const { return image_.bytesPerLine(); }

  // Palette of pf1bit and pf8bit bitmaps (2 and 256 entries).
  int PaletteSize() const;
  void SetPaletteEntries(int start, int count, const TPaletteEntry* entries);
  int GetPaletteEntries(int start, int count, TPaletteEntry* entries) const;

  // Copies another TBitmap (deep copy) or clears on nullptr.
  void Assign(TPersistent* source) override;
  // BMP file form.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;

  TColor TransparentColor = clDefault;

  // Drawing surface; provided by the graphics layer (canvas.h).
  TCanvas* GetCanvas();
  // The bitmap as a GDI object (gdi.h), made on first use, owned here.
  TGdiBitmap* GetHandle();

  // For the platform layer: the image itself. The imaging library and the
  // card program do not use it.
  QImage& Image() { return image_; }
  const QImage& Image() const { return image_; }
  // Replaces the picture with a copy of `image` (formats mapped to the nearest
  // pixel format above).
  void SetImage(const QImage& image);
  void Changed();

 private:
  // The palette with the rest of it brought to PaletteSize() entries.
  QList<QRgb> CurrentTable() const;

  QImage image_;
  // Palette kept while the bitmap is 0 x 0 (an empty QImage has none).
  QList<QRgb> palette_;
  TPixelFormat format_ = pf24bit;
  TCanvas* canvas_ = nullptr;
  TGdiBitmap* handle_ = nullptr;
};
