// Shared pieces of the picture field tests: a card-holder table whose
// picture fields the tests fill, pictures encoded to field bytes, and
// readers of what a report page or a view shows.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <string>

#include "imaging/io/ieformats.h"
#include "imaging/io/pixio.h"
#include "platform/dbf.h"
#include "platform/dbtables.h"
#include "platform/graphics.h"
#include "support/testenv.h"

namespace picfield {

// A 24-bit picture coloured by `colour(x, y)`.
inline void Paint24(TBitmap& bitmap, int w, int h, const std::function<TColor(int x, int y)>& colour) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      const TColor c = colour(x, y);
      row[x * 3] = GetBValue(c), row[x * 3 + 1] = GetGValue(c), row[x * 3 + 2] = GetRValue(c);
    }
  }
}

// The picture encoded as a whole file of that type.
inline std::string Encode(TBitmap& bitmap, TIEFileType type, bool streamHeaders = false) {
  TPixIO io(nullptr);
  io.SetAttachedBitmap(&bitmap);
  io.StreamHeaders = streamHeaders;
  io.IOParams->JPEG_Quality = 95;
  TMemoryStream stream;
  io.SaveToStream(&stream, type);
  EXPECT_FALSE(io.Aborting);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.GetSize()));
}

inline std::string SolidPicture(int w, int h, TColor colour, TIEFileType type, bool streamHeaders = false) {
  TBitmap bitmap;
  Paint24(bitmap, w, h, [&](int, int) { return colour; });
  return Encode(bitmap, type, streamHeaders);
}

// 8-byte header the framework puts before a BMP in a graphic field.
inline std::string GraphicFieldHeader() { return std::string("\x01\x00\x00\x01\x00\x00\x00\x00", 8); }

// Colour classes that survive JPEG.
inline bool IsRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 70 && qBlue(c) < 70; }
inline bool IsBlue(QRgb c) { return qBlue(c) > 200 && qRed(c) < 70 && qGreen(c) < 70; }
inline bool IsGreen(QRgb c) { return qGreen(c) > 200 && qRed(c) < 70 && qBlue(c) < 70; }
inline bool IsDark(QRgb c) { return qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80; }

// Bounds of the pixels that match; empty when none.
inline QRect BoundsOf(const QImage& image, const std::function<bool(QRgb)>& match) {
  QRect r;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (match(image.pixel(x, y))) r |= QRect(x, y, 1, 1);
  return r;
}

// A card-holder table in a fresh folder: text fields AAAA..MMMM and the
// BLOB fields PIC, BACKGROUND and BARCODE.
class CardTable {
 public:
  CardTable() {
    std::vector<TDbfField> columns;
    for (char c = 'A'; c <= 'M'; ++c) columns.push_back({std::string(4, c), 'C', 40, 0, 0});
    for (const char* name : {"PIC", "BACKGROUND", "BARCODE"}) columns.push_back({name, 'B', 10, 0, 0});
    TDbfTable::Create(dir.file("data.DBF"), dbfLevel4, columns);
    table.SetDatabaseName(dir.path().string());
    table.SetTableName("data.DBF");
    table.Open();
    source.SetDataSet(&table);
  }
  // Appends a record whose PIC holds `pic` (nothing when empty).
  void Add(const std::string& pic, const std::string& name = "") {
    table.Append();
    if (!name.empty()) table.FieldByName("AAAA")->SetAsString(name);
    if (!pic.empty()) table.FieldByName("PIC")->SetAsString(pic);
    table.Post();
  }
  // Gives the table exactly one record, whose PIC holds `pic`.
  void OnlyPicture(const std::string& pic) {
    if (table.RecordCount() == 0) return Add(pic);
    while (table.RecordCount() > 1) {
      table.Last();
      table.Delete();
    }
    table.First();
    table.Edit();
    if (pic.empty())
      table.FieldByName("PIC")->Clear();
    else
      table.FieldByName("PIC")->SetAsString(pic);
    table.Post();
  }
  std::string Pic() { return table.FieldByName("PIC")->GetAsString(); }

  cwtest::TempDir dir;
  TTable table;
  TDataSource source;
};

}  // namespace picfield
