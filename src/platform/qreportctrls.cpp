#include "platform/qreportctrls.h"

#include <QFontMetrics>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "platform/fonts.h"
#include "platform/qreportprinter.h"

namespace {

struct TTextLines {
  std::vector<QString> lines;
  std::vector<int> widths;
  int lineHeight = 0;
};

// The font's height in page pixels, keeping TFont::Height's sign.
int PageFontHeight(const TFont& font) {
  int ppi = font.PixelsPerInch > 0 ? font.PixelsPerInch : ScreenPixelsPerInch();
  return int(std::lround(double(font.Height) * TQRPrinter::RecordDpi / ppi));
}

// Lines of `text`: at line breaks, and with wrapWidth above 0 wherever a
// line would be wider (between words, or between any two characters where
// a word alone is too wide, as CJK text needs).
TTextLines LayOutText(const std::string& text, const TFont& font, int wrapWidth) {
  QFont qfont = MakeQFont(font.Name, PageFontHeight(font), font.Style);
  QFontMetrics metrics(qfont);
  TTextLines out;
  out.lineHeight = int(FontCell(qfont).Height);
  QString all = QString::fromStdString(text);
  all.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  for (const QString& paragraph : all.split(QLatin1Char('\n'))) {
    if (wrapWidth <= 0 || paragraph.isEmpty()) {
      out.lines.push_back(paragraph);
      out.widths.push_back(metrics.horizontalAdvance(paragraph));
      continue;
    }
    QTextLayout layout(paragraph, qfont);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(wrapWidth);
      QString part = paragraph.mid(line.textStart(), line.textLength());
      while (part.endsWith(QLatin1Char(' '))) part.chop(1);
      out.lines.push_back(part);
      out.widths.push_back(metrics.horizontalAdvance(part));
    }
    layout.endLayout();
  }
  return out;
}

}  // namespace

TQRCustomLabel::TQRCustomLabel(TComponent* AOwner) : TQRPrintable(AOwner) { SetColor(clWhite); }

double TQRCustomLabel::NeededHeight() {
  double height = Size().Height;
  if (!AutoStretch || !ParentReport) return height;
  TQRPrinter* p = ParentReport->QRPrinter;
  TTextLines text = LayOutText(TextToPrint(), *GetFont(), WordWrap ? p->XPos(Size().Width) : 0);
  return std::max(height, TQRPrinter::ToMm(int(text.lines.size()) * text.lineHeight));
}

void TQRCustomLabel::Print(double OfsX, double OfsY) {
  if (!ParentReport) return;
  TQRPrinter* p = ParentReport->QRPrinter;
  TRect box = PixelBox(OfsX, OfsY, NeededHeight());
  TTextLines text = LayOutText(TextToPrint(), *GetFont(), WordWrap ? box.Width() : 0);
  if (!Transparent) {
    TQRDrawing fill;
    fill.Box = box;
    fill.Color = GetColor();
    p->AddDrawing(std::move(fill));
  }
  TRect clip = box;
  if (AutoSize && !WordWrap) {
    for (int w : text.widths) clip.Right = std::max(clip.Right, box.Left + w);
    clip.Bottom = std::max(clip.Bottom, box.Top + int(text.lines.size()) * text.lineHeight);
  }
  for (size_t i = 0; i < text.lines.size(); ++i) {
    int y = box.Top + int(i) * text.lineHeight;
    if (y >= clip.Bottom) break;
    if (text.lines[i].isEmpty()) continue;
    int x = box.Left;
    if (Alignment == taRightJustify) x = box.Right - text.widths[i];
    if (Alignment == taCenter) x = box.Left + (box.Width() - text.widths[i]) / 2;
    TQRDrawing d;
    d.Kind = TQRDrawing::dkText;
    d.Box = clip;
    d.X = x;
    d.Y = y;
    const TFont& font = *GetFont();
    d.Color = font.Color;
    d.FontName = font.Name;
    d.FontHeight = PageFontHeight(font);
    d.FontStyle = font.Style;
    d.Text = text.lines[i].toStdString();
    p->AddDrawing(std::move(d));
  }
  DrawFrame(box);
}

std::string TQRDBText::TextToPrint() {
  if (DataSet == nullptr || !DataSet->GetActive() || DataField.empty()) return "";
  return DataSet->FieldByName(DataField)->GetAsString();
}

std::string TQRSysData::TextToPrint() {
  int value = 0;
  if (ParentReport) value = Data == qrsPageNumber ? ParentReport->PageNumber() : ParentReport->DetailNumber();
  return Text + std::to_string(value);
}

TQRImage::TQRImage(TComponent* AOwner) : TQRPrintable(AOwner), Picture(new TBitmap) {}

TQRImage::~TQRImage() { delete Picture; }

// All that decides what a picture print draws, its box's corner aside.
std::string TQRImage::RepeatKey(const TRect& box) const {
  const TQRImage* self = this;
  const qint64 picture = Picture->Image().cacheKey();  // changes with every change of the pixels
  const int values[] = {box.Width(),   box.Height(),          int(Stretch),      int(Center),
                        int(Picture->Transparent), int(Picture->TransparentColor), int(Frame.DrawLeft),
                        int(Frame.DrawTop), int(Frame.DrawRight), int(Frame.DrawBottom), Frame.Width,
                        int(Frame.Color), int(Frame.Style)};
  std::string key(reinterpret_cast<const char*>(&self), sizeof self);
  key.append(reinterpret_cast<const char*>(&picture), sizeof picture);
  key.append(reinterpret_cast<const char*>(values), sizeof values);
  return key;
}

void TQRImage::Print(double OfsX, double OfsY) {
  if (!ParentReport) return;
  TQRPrinter* p = ParentReport->QRPrinter;
  TRect box = PixelBox(OfsX, OfsY, Size().Height);
  // A seal or a logo is the same on every card: worked out once.
  const std::string key = RepeatKey(box);
  if (p->Repeat(key, {box.Left, box.Top})) return;
  p->BeginRepeatable(key, {box.Left, box.Top});
  if (!Picture->GetEmpty()) {
    int pw = Picture->GetWidth(), ph = Picture->GetHeight();
    TRect dest = box;
    if (!Stretch) {
      // One picture pixel per screen pixel.
      int w = p->XPos(ScreenPixelsToMm(pw)), h = p->YPos(ScreenPixelsToMm(ph));
      int dx = Center ? (box.Width() - w) / 2 : 0, dy = Center ? (box.Height() - h) / 2 : 0;
      dest = {box.Left + dx, box.Top + dy, box.Left + dx + w, box.Top + dy + h};
    }
    QImage image = Picture->Image().convertToFormat(QImage::Format_ARGB32);
    if (Picture->Transparent) {
      QRgb key = Picture->TransparentColor == clDefault
                     ? image.pixel(0, ph - 1)
                     : (0xFF000000u | RgbOfColorRef(ColorToRGB(Picture->TransparentColor)));
      for (int y = 0; y < ph; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < pw; ++x)
          if (row[x] == key) row[x] = 0;
      }
    }
    // Cut at the box: the part of the picture inside it.
    TRect shown{std::max(dest.Left, box.Left), std::max(dest.Top, box.Top), std::min(dest.Right, box.Right),
                std::min(dest.Bottom, box.Bottom)};
    if (shown.Width() > 0 && shown.Height() > 0) {
      double sx = double(pw) / dest.Width(), sy = double(ph) / dest.Height();
      QRect part(int((shown.Left - dest.Left) * sx), int((shown.Top - dest.Top) * sy),
                 std::max(1, int(std::lround(shown.Width() * sx))), std::max(1, int(std::lround(shown.Height() * sy))));
      TQRDrawing d;
      d.Kind = TQRDrawing::dkPicture;
      d.Box = shown;
      d.Picture = p->SharePicture(image.copy(part));
      p->AddDrawing(std::move(d));
    }
  }
  DrawFrame(box);
  p->EndRepeatable();
}
