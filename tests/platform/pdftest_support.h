// Reading printed output back in the tests: PDF pages turned into pictures
// by pdftoppm (poppler), and dark rectangles found on them.
#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <filesystem>
#include <string>
#include <vector>

namespace pdftest {

// Every page of the PDF as a picture at `dpi`.
inline std::vector<QImage> RenderPdf(const std::string& pdf, int dpi) {
  std::filesystem::path prefix = std::filesystem::path(pdf).replace_extension("");
  QProcess::execute("pdftoppm", {"-r", QString::number(dpi), "-png", QString::fromStdString(pdf),
                                 QString::fromStdString(prefix.string())});
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(prefix.parent_path()))
    if (entry.path().extension() == ".png" && entry.path().stem().string().rfind(prefix.stem().string() + "-", 0) == 0)
      files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<QImage> pages;
  for (const auto& f : files) pages.push_back(QImage(QString::fromStdString(f.string())));
  return pages;
}

inline bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 96; }

// The rectangle of pixels for which `inside(image, x, y)` holds whose
// top-left pixel comes first in reading order within `area`; an empty
// rectangle when there is none.
template <class Inside>
QRect FirstRectWhere(const QImage& image, Inside inside, QRect area = QRect()) {
  if (area.isNull()) area = image.rect();
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      if (!inside(image, x, y)) continue;
      int right = x, bottom = y;
      while (right + 1 < image.width() && inside(image, right + 1, y)) ++right;
      while (bottom + 1 < image.height() && inside(image, x, bottom + 1)) ++bottom;
      return QRect(QPoint(x, y), QPoint(right, bottom));
    }
  return QRect();
}

// The first dark rectangle in reading order within `area`.
inline QRect FirstDarkRect(const QImage& image, QRect area = QRect()) { return FirstRectWhere(image, Dark, area); }

// Dark runs met going down the column x.
inline int DarkRunsDown(const QImage& image, int x) {
  int runs = 0;
  bool in = false;
  for (int y = 0; y < image.height(); ++y) {
    bool dark = Dark(image, x, y);
    if (dark && !in) ++runs;
    in = dark;
  }
  return runs;
}

inline double PixelsToMm(double pixels, int dpi) { return pixels * 25.4 / dpi; }

}  // namespace pdftest
