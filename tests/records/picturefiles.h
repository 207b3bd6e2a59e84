// Picture files and card-holder tables for the picture import tests: files
// written by Qt's own writers (an independent encoder), tables made in the
// test, and the pictures stored in a table read back from the .dbf and
// .dbt bytes by the plain reader and decoded by Qt.
#pragma once

#include <QBuffer>
#include <QColor>
#include <QImage>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/dbf.h"
#include "platform/dbtables.h"
#include "platform/dbtest_support.h"
#include "platform/gbk.h"
#include "support/metafilebytes.h"

namespace picturefiles {

namespace fs = std::filesystem;

constexpr int kPicColumn = 13, kBackgroundColumn = 14;

inline std::string QtBytes(QColor color, const char* format, QSize size = {24, 32}) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes.toStdString();
}

// A picture file of one colour: bmp, png, jpg and ico by Qt; cur is an icon
// whose header says cursor; wmf and emf a red rectangle on white.
inline std::string PictureBytes(const std::string& kind, QColor color) {
  if (kind == "cur") {
    std::string bytes = QtBytes(color, "ico", {32, 32});
    bytes[2] = 2;  // resource type: cursor; the entry's planes and bits become the hot spot
    return bytes;
  }
  if (kind == "ico") return QtBytes(color, "ico", {32, 32});
  if (kind == "wmf") {
    const cwtest::MetaBytes m = cwtest::WmfBuilder(0, 0, 40, 30, 96)
                                    .Record(0x02FC, cwtest::MetaPayload().I16({0}).I32({0x0000FF}).I16({0}))
                                    .Record(0x012D, {0})
                                    .Record(0x041B, {30, 40, 0, 0})
                                    .Finish();
    return std::string(m.begin(), m.end());
  }
  if (kind == "emf") {
    const cwtest::MetaBytes m = cwtest::EmfBuilder(40, 30)
                                    .Record(39, {1, 0, 0x0000FF, 0})
                                    .Record(37, {1})
                                    .Record(43, {0, 0, 40, 30})
                                    .Finish();
    return std::string(m.begin(), m.end());
  }
  return QtBytes(color, kind == "jpg" || kind == "jpeg" ? "jpg" : kind.c_str());
}

// Writes a file and gives it a modification time `second` seconds after a
// fixed moment, so the folder's order by time is the test's choice.
inline fs::path WriteFile(const fs::path& folder, const std::string& name, const std::string& bytes, int second) {
  fs::create_directories(folder);
  const fs::path path = folder / fs::u8path(name);
  dbtest::WriteFile(path.string(), bytes);
  fs::last_write_time(path, fs::file_time_type(std::chrono::seconds(1'700'000'000 + second)));
  return path;
}

// A card-holder table in `folder` whose records have these AAAA texts (an
// empty text leaves the field empty) and, when `photo` is set, that photo.
inline std::string MakeTable(const fs::path& folder, const std::vector<std::string>& names,
                             const std::string& photo = "") {
  fs::create_directories(folder);
  TDbfTable::Create((folder / "data.DBF").string(), dbfLevel4, dbtest::CardColumns(60, 'B'));
  TTable table;
  table.SetDatabaseName(folder.string() + "/");
  table.SetTableName("data.DBF");
  table.Open();
  for (const std::string& name : names) {
    table.Append();
    if (!name.empty()) table.FieldByName("AAAA")->SetAsString(name);
    if (!photo.empty()) table.FieldByName("PIC")->SetAsString(photo);
    table.Post();
  }
  return folder.string() + "/";
}

struct StoredRecord {
  std::string name;        // AAAA, GBK decoded, padding removed
  std::string pic, background;  // the BLOB bytes
};

inline std::vector<StoredRecord> ReadStored(const std::string& folder) {
  const dbtest::PlainTable table = dbtest::ReadPlain(folder + "data.DBF");
  std::vector<StoredRecord> records;
  for (size_t r = 0; r < table.records.size(); ++r) {
    if (table.deleted[r]) continue;
    std::string name = GbkToUtf8(table.records[r][0]);
    name.erase(name.find_last_not_of(' ') + 1);
    records.push_back({name, dbtest::ReadPlainBlob(folder + "data.DBT", table.records[r][kPicColumn]),
                       dbtest::ReadPlainBlob(folder + "data.DBT", table.records[r][kBackgroundColumn])});
  }
  return records;
}

inline QImage Decode(const std::string& bytes) {
  return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size()));
}

// The colour in the middle of a stored picture, or an invalid colour when
// the bytes are no picture Qt reads.
inline QColor MiddleColour(const std::string& bytes) {
  const QImage image = Decode(bytes);
  if (image.isNull()) return {};
  return image.pixelColor(image.width() / 2, image.height() / 2);
}

inline bool Near(QColor a, QColor b) {
  return a.isValid() && b.isValid() && std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 &&
         std::abs(a.blue() - b.blue()) < 24;
}

}  // namespace picturefiles
