// A prepared report page: a list of drawings in page pixels at the
// recording resolution (origin at the paper's top-left corner). Text stays
// text and pictures keep their own pixels, so a page plays back sharply at
// any resolution: on a bitmap for the preview and page pictures, on a
// printer page or into a PDF file.
//
// A batch of cards repeats most of its pictures (layout, logo, seal, their
// shadows) on every card: a picture store keeps one copy of each and every
// page shares it. A JPEG photo printed as it is stays in its compressed
// bytes until it is drawn.
#pragma once

#include <QImage>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/canvas.h"

class QPainter;

// A picture on report pages: pixels, or the bytes of a JPEG file.
class TQRPicture {
 public:
  explicit TQRPicture(QImage image) : image_(std::move(image)) {}
  // A width x height JPEG picture of `components` colour channels (1 or 3).
  TQRPicture(std::string jpeg, int width, int height, int components)
      : jpeg_(std::move(jpeg)), jpegSize_(width, height), components_(components) {}

  QSize size() const { return jpeg_.empty() ? image_.size() : jpegSize_; }
  bool IsJpeg() const { return !jpeg_.empty(); }
  const std::string& Jpeg() const { return jpeg_; }
  int Components() const { return components_; }
  // Two colours or fewer (a barcode), or with transparent parts (ink):
  // drawn losslessly wherever it goes, never compressed with loss.
  bool Lossless() const { return !IsJpeg() && (image_.depth() == 1 || image_.hasAlphaChannel()); }
  // The pixels, decoded afresh from a JPEG (a null image when they cannot
  // be).
  QImage Pixels() const;
  // Memory the picture holds.
  size_t Bytes() const { return jpeg_.empty() ? size_t(image_.sizeInBytes()) : jpeg_.size(); }

 private:
  QImage image_;
  std::string jpeg_;
  QSize jpegSize_;
  int components_ = 3;
};

using TQRPictureRef = std::shared_ptr<const TQRPicture>;

// One copy of each picture: the same pixels (or the same JPEG bytes) give
// the same shared picture.
class TQRPictureStore {
 public:
  TQRPictureRef Share(QImage image);
  TQRPictureRef ShareJpeg(std::string jpeg, int width, int height, int components);
  void Clear() { pictures_.clear(); }
  // Pictures kept and the memory they hold.
  size_t Count() const { return pictures_.size(); }
  size_t Bytes() const;

 private:
  TQRPictureRef Find(size_t hash, const std::function<bool(const TQRPicture&)>& same) const;
  std::unordered_multimap<size_t, TQRPictureRef> pictures_;
};

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
  // Picture (with alpha where parts are transparent).
  TQRPictureRef Picture;
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

  // Draws a JPEG picture into a rectangle of painter pixels; the page
  // decodes and draws it when none is given.
  using TJpegDrawer = std::function<void(const QRectF& target, const TQRPictureRef& picture)>;
  // Plays the page onto a painter whose pixels are `dpi` to the inch.
  void Render(QPainter& painter, double dpi, const TJpegDrawer& drawJpeg = {}) const;
  // The page on white paper at `dpi` (the screen's when 0).
  QImage ToImage(double dpi = 0) const;
  // Draws the page on a canvas at (x, y), at the screen's resolution.
  void Draw(TCanvas* canvas, int x, int y) const;

 private:
  int width_, height_, dpi_;
  std::vector<TQRDrawing> drawings_;
};

// The drawn pixels of an ink image (alpha 255 where drawn) at offset (x, y)
// as drawings: runs of one colour along each row, or, where the runs would
// be too many, pictures of the square tiles that hold ink (shared through
// `store`, so the same ink on every card is kept once). Returns rectangles
// of the ink image that hold every drawn pixel.
std::vector<QRect> AddInkDrawings(TQRPagePicture& page, const QImage& ink, int x, int y, TQRPictureStore& store);
