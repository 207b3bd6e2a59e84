// Writes the stock card-holder table that the program opens at start:
// data.DBF, data.DBT and data.MDX in the folder given (data/Mode/DATA).
//
//   make_stock_table <folder>
//
// Thirteen text columns AAAA..MMMM of 60 bytes (30 Chinese characters in
// GBK: a name, an address or an ID number), three binary columns PIC,
// BACKGROUND and BARCODE, and a few sample records with small pictures made
// here: a JPEG photo, a BMP background and a BMP barcode.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dbtables.h"
#include "platform/sysutils.h"
#include "stockimage.h"

namespace {

constexpr int kTextWidth = 60;

struct Sample {
  const char* texts[13];
  int hue;  // tints the pictures so the records differ
};

const Sample kSamples[] = {
    {{"张三", "男", "技术部", "工程师", "110101199003071234", "北京市海淀区中关村大街27号", "2024001", "13800000001",
      "", "", "", "", ""},
     0},
    {{"李四", "女", "市场部", "经理", "310104198811214321", "上海市徐汇区漕溪北路88号", "2024002", "13900000002",
      "", "", "", "", ""},
     1},
    {{"王小红", "女", "财务部", "会计", "440106199512300022", "广州市天河区体育西路101号", "2024003", "13700000003",
      "", "", "", "", ""},
     2},
};

// A head and shoulders on a light background.
Pixels Photo(int width, int height, int hue) {
  Pixels rgb(size_t(width * height * 3));
  const uint8_t backdrop[3][3] = {{200, 220, 245}, {235, 215, 215}, {215, 235, 215}};
  const uint8_t skin[3] = {240, 200, 170}, coat[3] = {40, 50, 90};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &rgb[size_t(y * width + x) * 3];
      const int dx = x - width / 2, dy = y - height * 3 / 8;
      const bool head = dx * dx * 16 + dy * dy * 9 < width * width * 2;
      const bool shoulders = y > height * 2 / 3 && std::abs(dx) < width * 3 / 8 + (y - height * 2 / 3);
      const uint8_t* c = head ? skin : shoulders ? coat : backdrop[hue];
      std::memcpy(p, c, 3);
    }
  return rgb;
}

// Diagonal colour bands.
Pixels Background(int width, int height, int hue) {
  Pixels rgb(size_t(width * height * 3));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &rgb[size_t(y * width + x) * 3];
      const uint8_t band = uint8_t(((x + y) / 4 % 2) ? 255 : 180);
      p[0] = hue == 0 ? band : 230;
      p[1] = hue == 1 ? band : 230;
      p[2] = hue == 2 ? band : 230;
    }
  return rgb;
}

// Black bars on white whose widths follow the record's number.
Pixels Barcode(int width, int height, int seed) {
  Pixels rgb(size_t(width * height * 3), 255);
  for (int x = 4; x < width - 4; ++x) {
    const bool bar = ((x * 7 + seed * 13) / 3) % 3 == 0;
    if (!bar) continue;
    for (int y = 2; y < height - 2; ++y) std::memset(&rgb[size_t(y * width + x) * 3], 0, 3);
  }
  return rgb;
}

// An index file without tags, kept beside the table because the collect-save
// copies all three files; the table's header does not claim it.
std::string EmptyIndex() {
  std::string mdx(2048, '\0');
  mdx[0] = 2;                         // version
  std::memcpy(&mdx[4], "DATA", 4);    // table name
  mdx[20] = 2;                        // 512-byte pages per block
  mdx[22] = 0x00, mdx[23] = 0x04;     // block length 1024
  mdx[24] = 1;                        // production index
  mdx[25] = 48;                       // tag entries
  mdx[26] = 32;                       // tag entry length
  mdx[32] = 4;                        // pages in the file
  mdx[36] = 4;                        // first free page
  return mdx;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_stock_table <folder>\n");
    return 2;
  }
  try {
    const std::string folder = argv[1];
    ForceDirectories(folder);
    std::vector<TDbfField> columns;
    for (char c = 'A'; c <= 'M'; ++c) columns.push_back({std::string(4, c), 'C', kTextWidth, 0, 0});
    for (const char* name : {"PIC", "BACKGROUND", "BARCODE"}) columns.push_back({name, 'B', 10, 0, 0});
    TDbfTable::Create(IncludeTrailingPathDelimiter(folder) + "data.DBF", dbfLevel4, columns);

    TTable table;
    table.SetDatabaseName(folder);
    table.SetTableName("data.DBF");
    table.Open();
    int number = 0;
    for (const Sample& sample : kSamples) {
      table.Append();
      for (int i = 0; i < 13; ++i) table.Fields(i)->SetAsString(sample.texts[i]);
      table.FieldByName("PIC")->SetAsString(EncodeJpeg(Photo(48, 64, sample.hue), 48, 64));
      table.FieldByName("BACKGROUND")->SetAsString(EncodeBmp(Background(64, 40, sample.hue), 64, 40));
      table.FieldByName("BARCODE")->SetAsString(EncodeBmp(Barcode(96, 24, ++number), 96, 24));
      table.Post();
    }
    table.Close();

    if (!WriteWholeFile(IncludeTrailingPathDelimiter(folder) + "data.MDX", EmptyIndex()))
      throw Exception("cannot write data.MDX");
  } catch (const Exception& e) {
    std::fprintf(stderr, "make_stock_table: %s\n", e.Message.c_str());
    return 1;
  }
  return 0;
}
