// A prepared report page: a list of drawings in page pixels at the
// recording resolution (origin at the paper's top-left corner). Text stays
// text and pictures keep their own pixels, so a page plays back sharply at
// any resolution: on a bitmap for the preview and page pictures, on a
// printer page or into a PDF file.
#pragma once

#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"

class QPainter;

struct TQRDrawing {
  enum TKind { dkFill, dkLine, dkText, dkPicture };
  TKind Kind = dkFill;
  // Fill: the area. Line: from (Left, Top) to (Right, Bottom). Text: the
  // clip box. Picture: where the picture goes, scaled.
  TRect Box;
  TColor Color = clBlack;  // fill, pen or text colour
  // Line pen.
  int PenWidth = 1;
  TPenStyle PenStyle = psSolid;
  // Text: the top-left corner of its line, the font (height in page pixels
  // with the sign convention of TFont::Height) and the text.
  int X = 0, Y = 0;
  std::string FontName;
  int FontHeight = 0;
  TFontStyles FontStyle = 0;
  std::string Text;
  // Picture (ARGB32 where parts are transparent, else RGB32).
  std::shared_ptr<const QImage> Picture;
};

class TQRPagePicture : public TObject {
 public:
  TQRPagePicture(int width, int height, int dpi) : width_(width), height_(height), dpi_(dpi) {}

  void Add(TQRDrawing drawing) { drawings_.push_back(std::move(drawing)); }
  const std::vector<TQRDrawing>& Drawings() const { return drawings_; }

  // Size in pixels at the recording resolution.
  int PageWidth() const { return width_; }
  int PageHeight() const { return height_; }
  int Resolution() const { return dpi_; }
  // Size in pixels at the screen's resolution: the size of a page picture.
  int GetWidth() const;
  int GetHeight() const;

  // Plays the page onto a painter whose pixels are `dpi` to the inch.
  void Render(QPainter& painter, double dpi) const;
  // The page on white paper at `dpi` (the screen's when 0).
  QImage ToImage(double dpi = 0) const;
  // Draws the page on a canvas at (x, y), at the screen's resolution.
  void Draw(TCanvas* canvas, int x, int y) const;

 private:
  int width_, height_, dpi_;
  std::vector<TQRDrawing> drawings_;
};

// The drawn pixels of an ink image (alpha 255 where drawn) at offset (x, y)
// as drawings: runs of one colour along each row, or one picture when the
// runs would be too many.
void AddInkDrawings(TQRPagePicture& page, const QImage& ink, int x, int y);
