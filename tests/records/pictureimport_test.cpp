// The picture import's pieces: the type of a file by its extension, the
// field writer (every supported kind ends as a picture the field's readers
// decode, nothing replaces a photo with nothing), and the folder order.
#include <gtest/gtest.h>

#include "imaging/view/pix.h"
#include "picturefiles.h"
#include "platform/classes.h"
#include "records/pictureimport.h"
#include "support/testenv.h"

namespace {

using namespace picturefiles;

TEST(PictureImport, TypeOfAFileComesFromItsExtensionInAnyLetterCase) {
  const struct {
    const char* name;
    TIEFileType code;
  } cases[] = {
      {"a.tif", 1},        {"a.TIFF", 1},     {"b.gif", 2},      {"photo.JPEG", 3}, {"张三.JPG", 3},
      {"c.pcx", 4},        {"d.Bmp", 5},      {"e.ico", 6},      {"f.CUR", 7},      {"g.png", 8},
      {"h.wmf", 9},        {"i.EMF", 10},     {"j.tga", 11},     {"k.pxm", 12},     {"l.jp2", 13},
      {"m.J2K", 14},       {"x.tar.png", 8},  {"photo.jpe", 0},  {"n.ppm", 0},      {"o.dib", 0},
      {"noextension", 0},  {"dir.jpg/p", 0},  {"q.jpg.txt", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(PictureTypeOfFile(c.name), c.code) << c.name;
  EXPECT_EQ(PictureTypeTable.size(), 16u);
}

// Each kind of picture file goes into a BLOB field of a real table and is
// read back from the file's bytes: icons, cursors and metafiles too (as
// PNG), so the field never ends up empty.
TEST(PictureImport, EverySupportedKindIsStoredAsAPictureTheFieldsReadersDecode) {
  cwtest::TempDir dir;
  const std::string folder = MakeTable(dir.path() / "t", {"张三"}, QtBytes(Qt::blue, "bmp"));
  TPix pix(nullptr);
  TTable table;
  table.SetDatabaseName(folder);
  table.SetTableName("data.DBF");
  table.Open();
  TMemoryStream stream;
  const struct {
    const char* kind;
    QColor colour;
  } cases[] = {{"bmp", Qt::green}, {"png", Qt::yellow}, {"jpg", Qt::magenta}, {"ico", Qt::green}, {"cur", Qt::yellow}, {"wmf", Qt::red}, {"emf", Qt::red}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    const fs::path file = WriteFile(dir.path(), std::string("p.") + c.kind, PictureBytes(c.kind, c.colour), 0);
    ASSERT_TRUE(LoadPictureFile(&pix, file.string()));
    table.Edit();
    StorePictureStream(&pix, PictureTypeOfFile(file.string()), table.FieldByName("PIC"), &stream);
    table.Post();
    EXPECT_EQ(stream.GetSize(), 0);
    EXPECT_TRUE(Near(MiddleColour(ReadStored(folder)[0].pic), c.colour));
  }
}

// What cannot be read or written leaves the stored photo as it was.
TEST(PictureImport, UnreadableFilesAndEmptyPicturesNeverReplaceTheStoredPhoto) {
  cwtest::TempDir dir;
  const std::string photo = QtBytes(Qt::blue, "bmp");
  const std::string folder = MakeTable(dir.path() / "t", {"张三"}, photo);
  TPix pix(nullptr);
  for (const char* name : {"broken.jpg", "broken.png", "empty.bmp", "text.txt", "missing.png"}) {
    SCOPED_TRACE(name);
    if (std::string(name) != "missing.png")
      WriteFile(dir.path(), name, std::string(name).find("empty") == 0 ? "" : "not a picture at all", 0);
    EXPECT_FALSE(LoadPictureFile(&pix, (dir.path() / name).string()));
  }
  TTable table;
  table.SetDatabaseName(folder);
  table.SetTableName("data.DBF");
  table.Open();
  table.Edit();
  TMemoryStream stream;
  pix.Clear();
  EXPECT_THROW(StorePictureStream(&pix, ieftPNG, table.FieldByName("PIC"), &stream), Exception);
  EXPECT_THROW(StorePictureStream(&pix, ieftPNG, table.FieldByName("AAAA"), &stream), Exception);
  table.Post();
  EXPECT_EQ(ReadStored(folder)[0].pic, photo);
}

// Oldest first, equal times by name; folders are no files to import.
TEST(PictureImport, FolderListingIsByModificationTimeThenNameWithoutSubfolders) {
  cwtest::TempDir dir;
  const fs::path folder = dir.path() / "pics";
  WriteFile(folder, "z.jpg", "1", 1);
  WriteFile(folder, "b.png", "2", 3);
  WriteFile(folder, "a.png", "3", 3);
  WriteFile(folder, "张三.bmp", "4", 2);
  WriteFile(folder, "m.txt", "5", 0);
  fs::create_directories(folder / "sub.jpg");
  std::vector<std::string> names;
  for (const std::string& path : PictureFolderListing(folder.string())) names.push_back(fs::path(path).filename().string());
  EXPECT_EQ(names, (std::vector<std::string>{"m.txt", "z.jpg", "张三.bmp", "a.png", "b.png"}));
  EXPECT_TRUE(PictureFolderListing((folder / "none").string()).empty());
}

TEST(PictureImport, NameKeysDropBlanksAndFoldAsciiLettersOnly) {
  EXPECT_EQ(PictureNameKey(" 张 三 "), "张三");
  EXPECT_EQ(PictureNameKey("Li Ming"), "liming");
  EXPECT_EQ(PictureNameKey("ÄB"), "Äb");
}

}  // namespace
