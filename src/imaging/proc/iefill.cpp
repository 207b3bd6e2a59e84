#include "imaging/proc/iefill.h"

#include <array>
#include <cmath>
#include <numeric>

#include "imaging/core/ievalues.h"
#include "imaging/proc/ieworker.h"
#include "platform/graphics.h"

void _Fill(TBitmap* Bitmap, int x1, int y1, int x2, int y2, const TRGB& Color, const TIEProgressEvent& OnProgress,
           TObject* Sender) {
  if (!Bitmap) return;
  if (Bitmap->GetPixelFormat() == pf24bit) {
    IEForEachPixel24(Bitmap, x1, y1, x2, y2, OnProgress, Sender, [&](TRGB& p) { p = Color; });
    return;
  }
  if (Bitmap->GetPixelFormat() != pf1bit) return;
  const TIEWorkRect r(Bitmap, x1, y1, x2, y2);
  for (int y = r.y1; y < r.y2; ++y) {
    uint8_t* row = Bitmap->ScanLine(y);
    for (int x = r.x1; x < r.x2; ++x) {
      const uint8_t bit = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = Color.r ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
    }
  }
}

void _PaintMark(TBitmap* Bitmap, int x1, int y1, int x2, int y2, int Spacing, const TRGB& Color,
                const TIEProgressEvent& OnProgress, TObject* Sender) {
  if (!IEIs24Bit(Bitmap)) return;
  const TIEWorkRect r(Bitmap, x1, y1, x2, y2);
  if (r.Empty()) return;
  // Counters run 0, 1, ..., Spacing and back to 0.
  const auto next = [Spacing](int counter) { return counter + 1 > Spacing ? 0 : counter + 1; };
  const TIERowProgress progress(OnProgress, Sender, r.y1, r.y2);
  int rowCounter = 0;
  for (int y = r.y1; y < r.y2; ++y) {
    if (rowCounter == 0) {
      TRGB* row = IERGBRow(Bitmap, y);
      int columnCounter = 0;
      for (int x = r.x1; x < r.x2; ++x) {
        if (columnCounter == 0) row[x] = Color;
        columnCounter = next(columnCounter);
      }
    }
    rowCounter = next(rowCounter);
    progress.Row(y);
  }
}

void _IEGammaCorrect(TBitmap* Bitmap, double Gamma, TIEChannels Channels, const TIEProgressEvent& OnProgress,
                     TObject* Sender) {
  if (!IEIs24Bit(Bitmap) || !(Gamma > 0)) return;
  std::array<uint8_t, 256> table;
  for (int i = 0; i < 256; ++i) table[i] = IEClampByte(IERoundSmall(IEPower(i / 255.0, 1 / Gamma) * 255));
  std::array<uint8_t, 256> same;
  std::iota(same.begin(), same.end(), 0);
  const auto& red = Channels & iecRed ? table : same;
  const auto& green = Channels & iecGreen ? table : same;
  const auto& blue = Channels & iecBlue ? table : same;
  const int width = Bitmap->GetWidth(), height = Bitmap->GetHeight();
  for (int y = 0; y < height; ++y) {
    TRGB* row = IERGBRow(Bitmap, y);
    for (int x = 0; x < width; ++x) row[x] = TRGB{blue[row[x].b], green[row[x].g], red[row[x].r]};
    IEReportRow(OnProgress, Sender, y, height);
  }
}
