#include "imaging/view/dbpix.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "picfield_fixture.h"
#include "platform/messages.h"

namespace {

using picfield::IsBlue;
using picfield::IsGreen;
using picfield::IsRed;

class PixDBViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = new TWinControl(nullptr);
    parent->SetBounds(0, 0, 400, 400);
    view = new TPixDBView(parent);
    view->SetParent(parent);
    view->SetBounds(0, 0, 200, 200);
    view->SetDataSource(&cards.source);
    view->SetDataField("PIC");
  }
  void TearDown() override { parent->Free(); }

  // The shown pixel; black outside the picture.
  QRgb Shown(int x, int y) {
    const QImage& image = view->GetFBitmap()->Image();
    return image.valid(x, y) ? image.pixel(x, y) : qRgb(0, 0, 0);
  }
  QSize ShownSize() { return view->GetFBitmap()->Image().size(); }
  bool ShowsBackground(int x, int y) {
    const int32_t bg = ColorToRGB(view->GetBackground());
    return Shown(x, y) == qRgb(GetRValue(bg), GetGValue(bg), GetBValue(bg));
  }
  // Edits the shown picture as an attached component would.
  void PaintGreen() {
    picfield::Paint24(*view->GetFBitmap(), 30, 20, [](int, int) { return clLime; });
    view->ImageChange();
  }

  picfield::CardTable cards;
  TWinControl* parent = nullptr;
  TPixDBView* view = nullptr;
};

TEST_F(PixDBViewTest, ShowsEachRecordsPictureAsTheCursorMoves) {
  const std::string bmp = picfield::SolidPicture(30, 20, clRed, ieftBMP);
  struct Case {
    const char* name;
    std::string bytes;
    QSize size;  // empty: the view shows no picture of the record
    std::function<bool(QRgb)> colour;
  };
  const Case cases[] = {
      {"BMP", bmp, QSize(30, 20), IsRed},
      {"JPEG", picfield::SolidPicture(40, 24, clBlue, ieftJPEG), QSize(40, 24), IsBlue},
      {"JPEG with stream header", picfield::SolidPicture(16, 16, clBlue, ieftJPEG, true), QSize(16, 16), IsBlue},
      {"empty", "", QSize(), nullptr},
      {"graphic field header before a BMP",
       picfield::GraphicFieldHeader() + picfield::SolidPicture(12, 10, clLime, ieftBMP), QSize(12, 10), IsGreen},
      // The JPEG is found by content a few bytes in, header or not.
      {"graphic field header before a JPEG",
       picfield::GraphicFieldHeader() + picfield::SolidPicture(12, 10, clLime, ieftJPEG), QSize(12, 10), IsGreen},
      {"text", "just words, no picture", QSize(), nullptr},
      {"BMP cut inside its header", bmp.substr(0, 30), QSize(), nullptr},
      {"truncated JPEG", picfield::SolidPicture(64, 64, clBlue, ieftJPEG).substr(0, 200), QSize(), nullptr},
  };
  for (const Case& c : cases) cards.Add(c.bytes);
  cards.table.First();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.size.isEmpty()) {
      // Whatever the size, what is there is background, not a picture.
      QSize s = ShownSize();
      if (!s.isEmpty()) EXPECT_TRUE(ShowsBackground(s.width() / 2, s.height() / 2));
    } else {
      EXPECT_EQ(ShownSize(), c.size);
      EXPECT_TRUE(c.colour(Shown(c.size.width() / 2, c.size.height() / 2)));
    }
    EXPECT_FALSE(view->IsModified());
    cards.table.Next();
  }
}

TEST_F(PixDBViewTest, WritesTheEditedPictureBackInTheChosenFormat) {
  struct Case {
    const char* name;
    TDataFieldImageFormat format;
    bool streamHeaders;
    TIEFileType stored;
    const char* prefix;
  };
  const Case cases[] = {
      {"bitmap", ifBitmap, false, ieftBMP, "BM"},
      {"jpeg", ifJpeg, false, ieftJPEG, "\xFF\xD8"},
      {"jpeg with stream header", ifJpeg, true, ieftJPEG, "JFIF"},
  };
  EXPECT_EQ(view->GetJPegQuality(), 25);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cards.OnlyPicture(picfield::SolidPicture(8, 8, clRed, ieftBMP));
    ASSERT_TRUE(IsRed(Shown(4, 4)));
    view->StreamHeaders = c.streamHeaders;
    cards.table.Edit();
    PaintGreen();
    view->SetDataFieldImageFormat(c.format);
    EXPECT_TRUE(view->IsModified());
    cards.table.Post();

    const std::string stored = cards.Pic();
    EXPECT_EQ(stored.substr(0, std::strlen(c.prefix)), c.prefix);
    TMemoryStream bytes;
    bytes.Write(stored.data(), int64_t(stored.size()));
    bytes.SetPosition(0);
    EXPECT_EQ(FindStreamFormat(&bytes), c.stored);
    // Read back from the table: the edit is what the record now holds.
    cards.table.Refresh();
    EXPECT_FALSE(view->IsModified());
    EXPECT_EQ(ShownSize(), QSize(30, 20));
    EXPECT_TRUE(IsGreen(Shown(15, 10)));
  }
}

TEST_F(PixDBViewTest, AFormatWithoutAWriterKeepsTheStoredPicture) {
  const std::string red = picfield::SolidPicture(8, 8, clRed, ieftBMP);
  for (TDataFieldImageFormat format : {ifUnknown, ifGif}) {
    SCOPED_TRACE(int(format));
    cards.OnlyPicture(red);
    cards.table.Edit();
    PaintGreen();
    view->SetDataFieldImageFormat(format);
    cards.table.Post();
    EXPECT_EQ(cards.Pic(), red);
  }
}

// Assigning no picture clears the view; the record then holds the cleared
// picture, not the old one.
TEST_F(PixDBViewTest, AssigningNothingClearsTheRecordsPicture) {
  const std::string red = picfield::SolidPicture(8, 8, clRed, ieftBMP);
  cards.OnlyPicture(red);
  ASSERT_TRUE(IsRed(Shown(4, 4)));
  cards.table.Edit();
  view->Assign(nullptr);
  EXPECT_TRUE(view->IsModified());
  cards.table.Post();
  EXPECT_NE(cards.Pic(), red);
  cards.table.Refresh();
  EXPECT_FALSE(view->IsModified());
  EXPECT_TRUE(ShowsBackground(4, 4));
}

TEST_F(PixDBViewTest, AnEditIsKeptUntilTheRecordChangesAndLoadingIsNoEdit) {
  const std::string red = picfield::SolidPicture(8, 8, clRed, ieftBMP);
  cards.Add(red);
  cards.Add(picfield::SolidPicture(8, 8, clBlue, ieftBMP));
  cards.table.First();
  // Posting a record whose picture was only shown leaves its bytes alone.
  cards.table.Edit();
  cards.table.FieldByName("AAAA")->SetAsString("x");
  cards.table.Post();
  EXPECT_EQ(cards.Pic(), red);

  cards.table.Edit();
  PaintGreen();
  view->Perform(WM_LBUTTONDBLCLK);  // a reload does not undo the edit
  EXPECT_TRUE(IsGreen(Shown(5, 5)));
  EXPECT_TRUE(view->IsModified());
  cards.table.Cancel();  // the record as stored comes back
  EXPECT_FALSE(view->IsModified());
  EXPECT_TRUE(IsRed(Shown(4, 4)));
  EXPECT_EQ(cards.Pic(), red);
}

TEST_F(PixDBViewTest, AutoDisplayOffShowsNothingUntilSwitchedOn) {
  cards.Add(picfield::SolidPicture(8, 8, clRed, ieftBMP));
  cards.Add(picfield::SolidPicture(8, 8, clBlue, ieftBMP));
  cards.table.First();
  view->SetAutoDisplay(false);
  cards.table.Next();
  EXPECT_FALSE(IsBlue(Shown(4, 4)));
  view->SetAutoDisplay(true);
  EXPECT_TRUE(IsBlue(Shown(4, 4)));
}

TEST_F(PixDBViewTest, AStringFieldNamesAFileBelowTheAbsolutePath) {
  std::filesystem::create_directories(cards.dir.path() / "pics");
  const std::string file = cards.dir.file("pics/card.bmp");
  {
    TMemoryStream out;
    const std::string bytes = picfield::SolidPicture(10, 6, clRed, ieftBMP);
    out.Write(bytes.data(), int64_t(bytes.size()));
    out.SaveToFile(file);
  }
  cards.Add("", "card.bmp");
  view->SetDataField("AAAA");
  // Prefix and name are joined as they stand: without the separator the
  // file is not found.
  view->SetAbsolutePath(cards.dir.file("pics"));
  EXPECT_FALSE(IsRed(Shown(3, 3)));
  view->SetAbsolutePath(cards.dir.file("pics") + "/");
  EXPECT_EQ(ShownSize(), QSize(10, 6));
  EXPECT_TRUE(IsRed(Shown(3, 3)));

  // Posting an edit rewrites the file; the field's text stays.
  cards.table.Edit();
  PaintGreen();
  cards.table.Post();
  EXPECT_EQ(cards.table.FieldByName("AAAA")->GetAsString(), "card.bmp");
  EXPECT_EQ(FindFileFormat(file, false), ieftBMP);
  TBitmap back;
  back.LoadFromFile(file);
  EXPECT_EQ(back.GetWidth(), 30);
  EXPECT_TRUE(IsGreen(back.Image().pixel(15, 10)));
}

}  // namespace
