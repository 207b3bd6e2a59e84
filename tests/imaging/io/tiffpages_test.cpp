// TIFF page operations: taking pages out, removing and merging them, read
// back by our reader and checked by libtiff's tiffinfo and tiffcmp; damaged
// chains, strips and directory links; files replaced whole.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "imaging/io/iebyteorder.h"
#include "imaging/io/tiffilt.h"
#include "imaging/io/tiffpages.h"
#include "imaging/io/tiflzw.h"
#include "pictures.h"
#include "support/testenv.h"
#include "tifmaker.h"

using namespace cwtest;

namespace {

// Pages told apart by size and colour: page k is (5 + k) x (3 + k).
TRGB PageColour(int k, int x, int y) {
  return TRGB{static_cast<uint8_t>(40 * k + x), static_cast<uint8_t>(y * 9), static_cast<uint8_t>(200 - 30 * k)};
}

void PaintPage(TIEBitmap& bitmap, int k) {
  PaintBitmap(bitmap, 5 + k, 3 + k, [k](int x, int y) { return PageColour(k, x, y); });
}

// A TIFF of our writer with pages `first` .. first + count - 1, each in
// another coding so that strips of several kinds move.
Bytes WrittenTiff(int first, int count) {
  TMemoryStream stream;
  const TIOTIFFCompression codings[] = {ioTIFF_UNCOMPRESSED, ioTIFF_PACKBITS, ioTIFF_LZW};
  for (int i = 0; i < count; ++i) {
    TIEBitmap bitmap;
    PaintPage(bitmap, first + i);
    TIOParamsVals params(nullptr);
    params.TIFF_Compression = codings[i % 3];
    params.TIFF_ImageDescription = "page " + std::to_string(first + i);
    params.TIFF_ImageIndex = i;
    bool aborting = false;
    TProgressRec progress;
    progress.Aborting = &aborting;
    stream.SetPosition(0);
    TIFFWriteStream(&stream, i > 0, &bitmap, params, progress);
    EXPECT_FALSE(aborting);
  }
  return Contents(stream);
}

struct TPage {
  int width = 0;
  int height = 0;
  TRGB corner{};
  std::string description;
  bool operator==(const TPage&) const = default;
};

// Every page of the TIFF, read by our reader.
std::vector<TPage> Pages(const Bytes& bytes) {
  TMemoryStream stream;
  Fill(stream, bytes);
  const int32_t count = EnumTIFFImStream(&stream);
  std::vector<TPage> pages;
  for (int32_t i = 0; i < count; ++i) {
    TIEBitmap bitmap;
    TIOParamsVals params(nullptr);
    params.TIFF_ImageIndex = i;
    TProgressFixture fixture;
    TIEMask* mask = nullptr;
    int32_t n = 0;
    stream.SetPosition(0);
    TIFFReadStream(&bitmap, &stream, n, &params, fixture.progress, false, mask, true, true);
    EXPECT_FALSE(fixture.aborting) << "page " << i;
    pages.push_back({bitmap.Width, bitmap.Height, bitmap.Width ? bitmap.GetPixels(2, 1) : TRGB{},
                     params.TIFF_ImageDescription});
  }
  return pages;
}

TPage Expected(int k) { return {5 + k, 3 + k, PageColour(k, 2, 1), "page " + std::to_string(k)}; }

std::vector<TPage> ExpectedPages(std::initializer_list<int> ks) {
  std::vector<TPage> pages;
  for (int k : ks) pages.push_back(Expected(k));
  return pages;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

int Occurrences(const std::string& text, const std::string& word) {
  int n = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
  return n;
}

class TiffPages : public ::testing::Test {
 protected:
  TTiffLzwHooks hooks;

  static Bytes Extract(const Bytes& source, int32_t index, int32_t expected) {
    TMemoryStream in, out;
    Fill(in, source);
    EXPECT_EQ(ExtractTIFFImStream(&in, index, &out), expected) << "page " << index;
    return Contents(out);
  }
  static Bytes Delete(const Bytes& source, int32_t index, int32_t expected) {
    TMemoryStream stream;
    Fill(stream, source);
    EXPECT_EQ(DeleteTIFFImStream(&stream, index), expected) << "page " << index;
    return Contents(stream);
  }
  static Bytes Insert(const Bytes& source, const Bytes& inserted, int32_t index, int32_t expected) {
    TMemoryStream a, b, out;
    Fill(a, source);
    Fill(b, inserted);
    EXPECT_EQ(InsertTIFFImStream(&a, &b, index, &out), expected) << "at " << index;
    return Contents(out);
  }

  TempDir dir;
};

TEST_F(TiffPages, ExtractGivesEachPageAsAFileOfItsOwn) {
  const Bytes three = WrittenTiff(0, 3);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(Pages(Extract(three, k, 1)), ExpectedPages({k})) << k;
  for (int index : {-1, 3, 100}) EXPECT_TRUE(Extract(three, index, 0).empty()) << index;
}

TEST_F(TiffPages, DeleteRemovesOnePageAndMovesTheOthersStrips) {
  const Bytes three = WrittenTiff(0, 3);
  struct TCase {
    int index;
    std::vector<TPage> left;
  };
  const TCase cases[] = {{0, ExpectedPages({1, 2})},
                         {1, ExpectedPages({0, 2})},
                         {2, ExpectedPages({0, 1})},
                         {7, ExpectedPages({0, 1, 2})}};
  for (const TCase& c : cases) {
    const Bytes after = Delete(three, c.index, 3);
    EXPECT_EQ(Pages(after), c.left) << "deleting " << c.index;
    if (c.index < 3) {
      EXPECT_LT(after.size(), three.size()) << "the page's strip went with it";
    }
  }
  // The last page deleted leaves a header without pages.
  const Bytes none = Delete(WrittenTiff(0, 1), 0, 1);
  EXPECT_EQ(Pages(none).size(), 0u);
}

TEST_F(TiffPages, DeleteKeepsWhatStandsBeforeTheTiffInTheStream) {
  const Bytes three = WrittenTiff(0, 3);
  Bytes lead = {'h', 'e', 'a', 'd'};
  Bytes all = lead;
  all.insert(all.end(), three.begin(), three.end());
  TMemoryStream stream;
  Fill(stream, all);
  stream.SetPosition(4);
  EXPECT_EQ(DeleteTIFFImStream(&stream, 0), 3);
  const Bytes after = Contents(stream);
  ASSERT_GT(after.size(), 4u);
  EXPECT_EQ(Bytes(after.begin(), after.begin() + 4), lead);
  EXPECT_EQ(Pages(Bytes(after.begin() + 4, after.end())), ExpectedPages({1, 2}));
}

TEST_F(TiffPages, InsertPlacesTheOtherPagesBeforeTheChosenOne) {
  const Bytes source = WrittenTiff(0, 2);
  const Bytes inserted = WrittenTiff(2, 2);
  struct TCase {
    int index;
    int written;
    std::vector<TPage> pages;
  };
  const TCase cases[] = {{0, 4, ExpectedPages({2, 3, 0, 1})},
                         {1, 4, ExpectedPages({0, 2, 3, 1})},
                         {2, 4, ExpectedPages({0, 1, 2, 3})},
                         {3, 2, ExpectedPages({0, 1})},
                         {-1, 2, ExpectedPages({0, 1})}};
  for (const TCase& c : cases) EXPECT_EQ(Pages(Insert(source, inserted, c.index, c.written)), c.pages) << c.index;
}

// A big-endian file: its pages keep their order when taken out, and are
// turned into the other order when merged into a little-endian one.
TEST_F(TiffPages, PagesOfEitherByteOrderCopy) {
  TTifMaker maker(true);
  maker.Page()
      .Long(256, {3})
      .Long(257, {2})
      .Short(258, {8, 8, 8})
      .Short(259, {1})
      .Short(262, {2})
      .Short(277, {3})
      .Long(278, {2})
      .Ascii(270, "big")
      .Rational(282, 300, 1)
      .Strip({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160, 170, 180});
  const Bytes big = maker.Build();
  const TPage expected{3, 2, TRGB{180, 170, 160}, "big"};

  const Bytes extracted = Extract(big, 0, 1);
  ASSERT_GE(extracted.size(), 2u);
  EXPECT_EQ(extracted[0], 'M');
  EXPECT_EQ(Pages(extracted), std::vector<TPage>{expected});

  // Tiles move like strips.
  TTifMaker tiled(true);
  tiled.Page()
      .Long(256, {16})
      .Long(257, {16})
      .Short(258, {8})
      .Short(259, {1})
      .Short(262, {1})
      .Long(322, {16})
      .Long(323, {16})
      .Tile(std::vector<uint8_t>(256, 77));
  const Bytes tiledPage = tiled.Build();
  const Bytes tileOut = Extract(Insert(WrittenTiff(0, 1), tiledPage, 0, 2), 0, 1);
  EXPECT_EQ(Pages(tileOut), Pages(tiledPage));
  EXPECT_EQ(Pages(tileOut).at(0).corner, (TRGB{77, 77, 77}));

  const Bytes merged = Insert(WrittenTiff(0, 1), big, 1, 2);
  ASSERT_GE(merged.size(), 2u);
  EXPECT_EQ(merged[0], 'I');
  EXPECT_EQ(Pages(merged), (std::vector<TPage>{Expected(0), expected}));
  TMemoryStream stream;
  Fill(stream, merged);
  TTIFFEnv env;
  int32_t count = 0;
  ASSERT_TRUE(TIFFLoadTags(&stream, count, 1, env));
  EXPECT_DOUBLE_EQ(TIFFReadSingleRational(env, 282), 300.0);
}

// Checked outside: tiffinfo reads every page of what the operations wrote
// without complaint, and tiffcmp finds a page taken out equal to the same
// page in the file it came from.
TEST_F(TiffPages, LibtiffReadsWhatTheOperationsWrite) {
  const Bytes three = WrittenTiff(0, 3);
  const std::string source = dir.file("three.tif");
  WriteFile(source, three);
  struct TCase {
    std::string name;
    Bytes bytes;
    int pages;
  };
  const TCase cases[] = {{"extracted.tif", Extract(three, 1, 1), 1},
                         {"deleted.tif", Delete(three, 0, 3), 2},
                         {"merged.tif", Insert(three, WrittenTiff(3, 2), 1, 5), 5}};
  for (const TCase& c : cases) {
    const std::string path = dir.file(c.name);
    WriteFile(path, c.bytes);
    const TToolRun info = RunTool("tiffinfo '" + path + "'");
    EXPECT_EQ(info.status, 0) << c.name << "\n" << info.output;
    EXPECT_EQ(Occurrences(info.output, "TIFF Directory at offset"), c.pages) << c.name << "\n" << info.output;
    EXPECT_EQ(Occurrences(info.output, "Error"), 0) << c.name << "\n" << info.output;
    EXPECT_EQ(Occurrences(info.output, "Warning"), 0) << c.name << "\n" << info.output;
  }
  // tiffcmp compares tags and pixels page by page: page 1 taken out of the
  // source against page 0 taken out of the source without its page 0.
  const std::string extracted = dir.file("extracted.tif");
  const std::string again = dir.file("again.tif");
  WriteFile(again, Extract(Delete(three, 0, 3), 0, 1));
  const TToolRun same = RunTool("tiffcmp '" + extracted + "' '" + again + "'");
  EXPECT_EQ(same.status, 0) << same.output;
  // The same size and tags with other pixels differ.
  TIEBitmap other;
  PaintBitmap(other, 6, 4, [](int x, int y) { return PageColour(3, x, y); });
  TMemoryStream otherStream;
  TIOParamsVals params(nullptr);
  params.TIFF_Compression = ioTIFF_PACKBITS;
  params.TIFF_ImageDescription = "page 1";
  TProgressFixture fixture;
  TIFFWriteStream(&otherStream, false, &other, params, fixture.progress);
  WriteFile(dir.file("other.tif"), Contents(otherStream));
  EXPECT_NE(RunTool("tiffcmp '" + extracted + "' '" + dir.file("other.tif") + "'").status, 0);
}

// A chain that turns back (page B links to page A) ends at the page seen
// before: two pages, not an endless walk.
TEST_F(TiffPages, ChainsThatLoopStop) {
  Bytes looped = WrittenTiff(0, 2);
  auto linkOf = [&](uint32_t ifd) { return ifd + 2 + 12 * size_t{IEGetLE16(&looped[ifd])}; };
  const uint32_t first = IEGetLE32(&looped[4]);
  const uint32_t second = IEGetLE32(&looped[linkOf(first)]);
  IEPutLE32(&looped[linkOf(second)], first);

  EXPECT_EQ(Pages(Extract(looped, 1, 1)), ExpectedPages({1}));
  EXPECT_EQ(Pages(Delete(looped, 5, 2)), ExpectedPages({0, 1}));
  EXPECT_EQ(Pages(Insert(looped, looped, 2, 4)), ExpectedPages({0, 1, 0, 1}));
}

// The EXIF directory comes with a copied page; a link to sub-pages, which
// the copy cannot follow, is left out instead of pointing into the old file.
TEST_F(TiffPages, CopiedPagesKeepNoStaleDirectoryLinks) {
  TTifMaker maker;
  maker.Page()
      .Long(256, {2})
      .Long(257, {1})
      .Short(258, {8})
      .Short(259, {1})
      .Short(262, {1})
      .Long(278, {1})
      .Long(330, {8})
      .Strip({0, 255});
  maker.Exif().Rational(33434, 1, 250).Ascii(36867, "2026:12:11 10:00:00");
  const Bytes withExif = maker.Build();
  // Something before the page moves every offset of the copy.
  const Bytes merged = Insert(WrittenTiff(0, 1), withExif, 1, 2);
  const Bytes extracted = Extract(merged, 1, 1);
  for (const Bytes* bytes : {&merged, &extracted}) {
    TMemoryStream stream;
    Fill(stream, *bytes);
    TIOParamsVals params(nullptr);
    params.TIFF_ImageIndex = bytes == &merged ? 1 : 0;
    TIEBitmap bitmap;
    TProgressFixture fixture;
    TIEMask* mask = nullptr;
    int32_t n = 0;
    TIFFReadStream(&bitmap, &stream, n, &params, fixture.progress, false, mask, true, true);
    EXPECT_DOUBLE_EQ(params.EXIF_ExposureTime, 1.0 / 250);
    EXPECT_EQ(params.EXIF_DateTimeOriginal, "2026:12:11 10:00:00");
    TTIFFEnv env;
    stream.SetPosition(0);
    ASSERT_TRUE(TIFFLoadTags(&stream, n, params.TIFF_ImageIndex, env));
    EXPECT_EQ(TIFFFindTAG(330, env), -1);
  }
}

// Strips and values the bytes do not hold make the operation fail with the
// output untouched; counts are never trusted beyond the stream's size.
TEST_F(TiffPages, DamagedPagesAreRefusedAndNothingIsWritten) {
  auto page = [](auto edit) {
    TTifMaker maker;
    maker.Page().Long(256, {2}).Long(257, {1}).Short(258, {8}).Short(262, {1});
    edit(maker);
    return maker.Build();
  };
  struct TCase {
    const char* name;
    Bytes bytes;
  };
  Bytes huge = page([](TTifMaker& m) { m.Long(273, {0}).Long(279, {2}); });
  // Entry 4 (StripOffsets) claims a billion values.
  IEPutLE32(&huge[IEGetLE32(&huge[4]) + 2 + 12 * 4 + 4], 1000000000);
  const TCase cases[] = {
      {"a billion strips", huge},
      {"strip past the end", page([](TTifMaker& m) { m.Long(273, {8}).Long(279, {1000}); })},
      {"more strips than the file holds",
       page([](TTifMaker& m) { m.Long(273, std::vector<uint32_t>(64, 0)).Long(279, std::vector<uint32_t>(64, 64)); })},
      {"fewer byte counts than strips", page([](TTifMaker& m) { m.Long(273, {0, 0}).Long(279, {2}); })},
      {"strip offsets as text", page([](TTifMaker& m) { m.Ascii(273, "abc").Long(279, {2}); })},
  };
  for (const TCase& c : cases) {
    EXPECT_TRUE(Extract(c.bytes, 0, 0).empty()) << c.name;
    EXPECT_EQ(Delete(c.bytes, 1, 0), c.bytes) << c.name;
    EXPECT_TRUE(Insert(WrittenTiff(0, 1), c.bytes, 0, 0).empty()) << c.name;
  }
  const Bytes notTiff(40, 'x');
  EXPECT_EQ(Delete(notTiff, 0, 0), notTiff);
  EXPECT_TRUE(Extract(notTiff, 0, 0).empty());
  EXPECT_TRUE(Insert(notTiff, WrittenTiff(0, 1), 0, 0).empty());
}

// The file forms replace their target through a temporary file: a second
// name of the old file keeps the old bytes, no temporary file stays, and a
// failure leaves the target alone.
TEST_F(TiffPages, FilesAreReplacedWhole) {
  const Bytes three = WrittenTiff(0, 3);
  const std::string path = dir.file("pages.tif");
  const std::string oldName = dir.file("old.tif");
  WriteFile(path, three);
  std::filesystem::create_hard_link(path, oldName);

  EXPECT_EQ(DeleteTIFFImFile(path, 1), 3);
  EXPECT_EQ(Pages(ReadBytes(path)), ExpectedPages({0, 2}));
  EXPECT_EQ(ReadBytes(oldName), three);

  const std::string target = dir.file("target.tif");
  EXPECT_EQ(ExtractTIFFImFile(oldName, target, 2), 1);
  EXPECT_EQ(Pages(ReadBytes(target)), ExpectedPages({2}));
  EXPECT_EQ(InsertTIFFImFile(path, oldName, target, 0), 5);
  EXPECT_EQ(Pages(ReadBytes(target)), ExpectedPages({0, 1, 2, 0, 2}));
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 3u) << "no temporary file is left";

  const std::string junk = dir.file("junk.tif");
  WriteFile(junk, Bytes(20, 'j'));
  const Bytes before = ReadBytes(target);
  EXPECT_EQ(ExtractTIFFImFile(junk, target, 0), 0);
  EXPECT_EQ(InsertTIFFImFile(junk, path, target, 0), 0);
  EXPECT_EQ(DeleteTIFFImFile(junk, 0), 0);
  EXPECT_EQ(ReadBytes(target), before);
  EXPECT_EQ(ReadBytes(junk), Bytes(20, 'j'));
  EXPECT_THROW(DeleteTIFFImFile(dir.file("missing.tif"), 0), EFOpenError);
}

}  // namespace
