// Drawing the module sequence: module widths in millimetres become device
// pixels through the canvas's resolution; bars are filled rectangles turned
// into one of four rotations; the readable text uses a turned font.
#include <algorithm>

#include "barcode/barll.h"
#include "platform/gbk.h"
#include "platform/gdi.h"

namespace {

[[noreturn]] void Fail(const char* text) { throw EOverflow(text); }

int Rnd(double value) { return int(Round(value)); }

// Pixels per millimetre of the canvas, or of the screen when the canvas
// reports no resolution.
void PixelsPerMm(TCanvas* canvas, double& px, double& py) {
  HDC dc = canvas->GetHandle();
  int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  if (dpiX == 0 || dpiY == 0) {
    HDC screen = GetDC(nullptr);
    dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  px = dpiX / 25.4;
  py = dpiY / 25.4;
}

// Keeps the caller's brush, text alignment and background mode across a
// draw, also when the encoding fails half-way.
class TSavedDrawing {
 public:
  explicit TSavedDrawing(TCanvas* canvas)
      : canvas_(canvas), color_(canvas->Brush->Color), style_(canvas->Brush->Style),
        align_(canvas->TextAlign), bkMode_(canvas->BkMode) {
    canvas->TextAlign = TA_CENTER;
    canvas->Brush->Color = clBlack;
    // A clear brush left by the caller would fill no bar at all.
    canvas->Brush->Style = bsSolid;
  }
  ~TSavedDrawing() {
    canvas_->Brush->Color = color_;
    canvas_->Brush->Style = style_;
    canvas_->TextAlign = align_;
    canvas_->BkMode = bkMode_;
  }
  // White, clear brush and transparent background for the text.
  void ForText() {
    canvas_->Brush->Color = clWhite;
    canvas_->Brush->Style = bsClear;
    canvas_->BkMode = TRANSPARENT;
  }

 private:
  TCanvas* canvas_;
  TColor color_;
  TBrushStyle style_;
  unsigned align_;
  int bkMode_;
};

bool HasQuietZone(lbtCodeTypes type) { return type == EAN_13 || type == UPC_A; }

// Whether a bar run starting at module k (from 1) is a digit bar, which
// stops short of the guards to leave room for the digits.
bool IsDigitBar(lbtCodeTypes type, int k) {
  switch (type) {
    case EAN_13:
    case UPC_A: return (k >= 4 && k <= 45) || (k >= 51 && k <= 92);
    case EAN_8: return (k >= 4 && k <= 31) || (k >= 36 && k <= 63);
    case UPC_E: return k >= 4 && k <= 45;
    default: return false;
  }
}

std::string Part(const std::string& text, int from, int count) { return Copy(text, from, count); }

}  // namespace

double TLLBarcode::getSize() const {
  static const double kWidths[10] = {0.27, 0.297, 0.33, 0.363, 0.396, 0.445, 0.495, 0.544, 0.61, 0.66};
  double mw = Params->SCSize <= SC9 ? kWidths[Params->SCSize] : 0.33;
  if (Params->HDCode) mw /= 2;
  return mw;
}

namespace {

// Text height for a bar height: the same text size for the same module
// width whatever the symbology's height factor.
int LabelHeight(const TBarcodeParams& p, double barHeight) {
  if (HasQuietZone(p.CodeType)) return Rnd(barHeight * 0.18 * p.Fontscaling / 100);
  return Rnd(barHeight * 74.24 / 56.24 * 0.18 * p.Fontscaling / 100);
}

}  // namespace

void TLLBarcode::ToCanvas(TCanvas* Canvas, int X, int Y, TPoint& Size) {
  const lbtCodeTypes type = Params->CodeType;
  if (type == Postnet || type == Postnet_FIM) {
    PostnetToCanvas(Canvas, X, Y, Size);
    return;
  }
  double px, py;
  PixelsPerMm(Canvas, px, py);
  TSavedDrawing saved(Canvas);
  AllRecalc();
  const int n = ModuleCount;
  const bool zoom = Params->ZoomSize;
  const double mw = getSize();
  const int mwPx = std::max(1, Rnd(mw * px));
  const double factor = HasQuietZone(type) ? 74.24 : 56.24;
  const int quiet = HasQuietZone(type) ? 10 * mwPx : 0;
  // Without ZoomSize the height follows the rounded module width.
  const int barH = zoom ? Rnd(factor * mw * py) : Rnd(factor * mw * py * mwPx / (mw * px));
  auto pos = [&](int k) { return (zoom ? Rnd((k - 1) * mw * px) : (k - 1) * mwPx) + X + quiet; };
  const int cut = MulDiv(barH, 100 - Params->HeightPercent, 100);

  Canvas->Font->Name = Params->Fontname;
  Canvas->Font->Height = LabelHeight(*Params, barH);
  const int textH = Canvas->TextHeight("Ay");
  const int W = pos(n) + quiet - X + mwPx + 1;
  int H;
  if (!Params->HReadable)
    H = Rnd(barH - cut) + 1;
  else if (type <= UPC_E)
    H = textH + Rnd(barH * 0.9336 - cut) + 1;
  else
    H = textH + Rnd(barH - cut) + 1;

  const int shortY = Y + Rnd(barH * 0.917) - cut;
  const int longY = Y + barH - cut;
  for (int k = 1; k <= n;) {
    if (Modules[k - 1] == 0) {
      ++k;
      continue;
    }
    int w = 0;
    while (k + w <= n && Modules[k - 1 + w] != 0) ++w;
    const int left = pos(k);
    int right = zoom ? left + Rnd(w * mw * px) : left + w * mwPx;
    if (Params->ReduceWidth && right - left >= 2) --right;
    // Add-on bars start below the add-on's digits.
    const int top = HasQuietZone(type) && k > 100 ? Y + textH + mwPx : Y;
    const int bottom = IsDigitBar(type, k) ? shortY : longY;
    DoRect(Canvas, Rect(left, top, right, bottom), X, Y, W, H);
    k += w;
  }

  saved.ForText();
  if (Params->HReadable) {
    auto label = [&](int centre, int textY, const std::string& text) {
      Beschriftung(Canvas, X, Y, centre, textY, W, H, barH, text);
    };
    const std::string& c = CodeText;
    switch (type) {
      case EAN_8:
        label(pos(18), shortY, Part(c, 1, 4));
        label(pos(50), shortY, Part(c, 5, 4));
        break;
      case EAN_13:
        label(X + quiet / 2, shortY, Part(c, 1, 1));
        label(pos(25), shortY, Part(c, 2, 6));
        label(pos(72), shortY, Part(c, 8, 6));
        break;
      case UPC_A:
        label(X + quiet / 2, shortY, Part(c, 1, 1));
        label(pos(25), shortY, Part(c, 2, 5));
        label(pos(72), shortY, Part(c, 7, 5));
        label(pos(95) + mwPx + quiet / 2, shortY, Part(c, 12, 1));
        break;
      case UPC_E: label(pos(n / 2), shortY, Part(c, 1, 6)); break;
      case CODE25i:
      case MSI_Plessey: label(pos(n / 2), longY, c); break;
      case CODE25iP: {
        std::string grouped = c;
        AddFrachtpostPunkte(grouped);
        label(pos(n / 2), longY, grouped);
        break;
      }
      case CODE39:
      case Codabar: label(pos(n / 2), longY, Part(c, 2, int(c.size()) - 2)); break;
      case CODE128_A:
      case CODE128_B:
      case CODE128_C: {
        const unsigned char start = type == CODE128_A ? Code128StartA : type == CODE128_B ? Code128StartB : Code128StartC;
        std::string text;
        TranslateCode128(std::string(1, char(start)) + Params->InputCode, true, text);
        label(pos(n / 2), longY, text);
        break;
      }
      default: Fail("Unknown Barcode Type in BARLL.PAS");
    }
    if (HasQuietZone(type) && Params->AddonCode.size() == 2) label(pos(115), Y, Params->AddonCode);
    if (HasQuietZone(type) && Params->AddonCode.size() == 5) label(pos(128), Y, Params->AddonCode);
  }
  Size = {W, H};
  if (Params->Rotate == rotate_090 || Params->Rotate == rotate_270) std::swap(Size.x, Size.y);
}

void TLLBarcode::PostnetToCanvas(TCanvas* Canvas, int X, int Y, TPoint& Size) {
  double px, py;
  PixelsPerMm(Canvas, px, py);
  AllRecalc();
  TSavedDrawing saved(Canvas);
  const bool fim = Params->CodeType == Postnet_FIM;
  // Postnet: 22 bars to the inch; FIM marks: 16 to the inch.
  const int bw = fim ? Rnd(0.79375 * px) : Rnd(0.508 * px);
  const double pitch = fim ? 1.5875 * px : 1.1545454545454545 * px;
  const int fh = fim ? Rnd(15.875 * py) : Rnd(3.175 * py);
  const int hh = fim ? fh : Rnd(1.27 * py);
  const int textFactor = fim ? 1 : 5;
  Canvas->Font->Name = Params->Fontname;
  Canvas->Font->Height = LabelHeight(*Params, textFactor * fh);
  const int n = ModuleCount;
  auto pos = [&](int k) { return Rnd((k - 1) * pitch) + X; };
  const int W = pos(n) - X + bw + 1;
  const int H = fh + 1 + (Params->HReadable ? Canvas->TextHeight("Ay") : 0);
  for (int k = 1; k <= n; ++k) {
    if (fim) {
      if (Modules[k - 1] == 0) continue;
      const int left = X + (k - 1) * Rnd(pitch);
      DoRect(Canvas, Rect(left, Y, left + bw, Y + fh), X, Y, W, H);
    } else {
      const int top = Modules[k - 1] != 0 ? Y : Y + fh - hh;
      DoRect(Canvas, Rect(pos(k), top, pos(k) + bw, Y + fh), X, Y, W, H);
    }
  }
  if (Params->HReadable) {
    saved.ForText();
    Beschriftung(Canvas, X, Y, (pos(n) + pos(1)) / 2, Y + fh, W, H, textFactor * fh, CodeText);
  }
  Size = {W, H};
  if (Params->Rotate == rotate_090 || Params->Rotate == rotate_270) std::swap(Size.x, Size.y);
}

void TLLBarcode::DoRect(TCanvas* Canvas, const TRect& R, int X, int Y, int W, int H) {
  const int l = R.Left - X, t = R.Top - Y, r = R.Right - X, b = R.Bottom - Y;
  TRect out;
  switch (Params->Rotate) {
    case rotate_090: out = Rect(X + t, Y + W - r, X + b, Y + W - l); break;
    case rotate_180: out = Rect(X + W - r, Y + H - b, X + W - l, Y + H - t); break;
    case rotate_270: out = Rect(X + H - b, Y + l, X + H - t, Y + r); break;
    default: out = Rect(X + l, Y + t, X + r, Y + b); break;
  }
  Canvas->FillRect(out);
}

void TLLBarcode::Beschriftung(TCanvas* Canvas, int X, int Y, int CentreX, int TextY, int W, int H, int BarHeight,
                              const std::string& Text) {
  TFont saved;
  saved.Assign(Canvas->Font);
  TFont* font = Canvas->Font;
  font->Name = Params->Fontname;
  font->Height = LabelHeight(*Params, BarHeight);
  font->Style = 0;
  font->Charset = ANSI_CHARSET;
  font->Pitch = fpDefault;
  Canvas->TextAlign = TA_CENTER;
  const int u = CentreX - X, v = TextY - Y;
  const std::string text = GbkToUtf8(Text);
  switch (Params->Rotate) {
    case rotate_090:
      font->Orientation = 900;
      Canvas->TextOut(X + v, Y + W - u, text);
      break;
    case rotate_180:
      font->Orientation = 1800;
      Canvas->TextOut(X + W - u, Y + H - v, text);
      break;
    case rotate_270:
      font->Orientation = 2700;
      Canvas->TextOut(X + H - v, Y + u, text);
      break;
    default:
      font->Orientation = 0;
      Canvas->TextOut(X + u, Y + v, text);
      break;
  }
  Canvas->Font->Assign(&saved);
}

void TLLBarcode::AddFrachtpostPunkte(std::string& Text) const {
  const int k = std::clamp(Params->FrachtpostKundenNummerStellen, 4, 7);
  auto s = [&](int from, int to) { return Text.substr(size_t(from - 1), size_t(to - from + 1)); };
  if (Text.size() == 14) {
    Text = s(1, 5) + "." + s(6, 8) + "." + s(9, 11) + "." + s(12, 13) + "   " + s(14, 14);
  } else if (Text.size() == 12) {
    Text = s(1, 2) + "." + s(3, k) + "   " + s(k + 1, 11) + "   " + s(12, 12);
  }
}
