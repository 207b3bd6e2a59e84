#include <gtest/gtest.h>

#include <QImage>
#include <fstream>

#include "platform/picture.h"
#include "support/testenv.h"

namespace {

TEST(PictureTest, LoadsBySuffixAndKeepsItsGraphicOnErrors) {
  cwtest::TempDir dir;
  TBitmap bmp;
  bmp.SetSize(7, 5);
  bmp.SaveToFile(dir.file("a.BMP"));
  QImage icon(16, 16, QImage::Format_ARGB32);
  icon.fill(qRgba(255, 0, 0, 255));
  ASSERT_TRUE(icon.save(QString::fromStdString(dir.file("i.ico")), "ico"));
  std::ofstream(dir.file("bad.ico")) << "not an icon";

  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.LoadFromFile(dir.file("a.BMP"));
  EXPECT_NE(dynamic_cast<TBitmap*>(picture.GetGraphic()), nullptr);
  EXPECT_EQ(picture.GetWidth(), 7);
  struct Case {
    std::string file;
  } failing[] = {{dir.file("bad.ico")}, {dir.file("x.gif")}, {dir.file("missing.bmp")}};
  for (const Case& c : failing) {
    EXPECT_ANY_THROW(picture.LoadFromFile(c.file)) << c.file;
    EXPECT_EQ(picture.GetWidth(), 7) << c.file;
  }
  picture.LoadFromFile(dir.file("i.ico"));
  ASSERT_NE(dynamic_cast<TIcon*>(picture.GetGraphic()), nullptr);
  EXPECT_EQ(picture.GetHeight(), 16);
  EXPECT_THROW(picture.GetIcon()->SetWidth(3), EInvalidGraphicOperation);
  // Asking for a bitmap replaces the icon; changes to it reach OnChange.
  int before = changes;
  picture.GetBitmap()->SetSize(3, 3);
  EXPECT_GT(changes, before);
  EXPECT_EQ(picture.GetWidth(), 3);
}

TEST(PictureTest, AssignCopiesAndRegisteredFormatsJoinTheFilter) {
  TPicture a, b;
  a.GetBitmap()->SetSize(4, 2);
  b.Assign(&a);
  a.GetBitmap()->SetSize(9, 9);
  EXPECT_EQ(b.GetWidth(), 4);  // a copy, not a share
  b.Assign(nullptr);
  EXPECT_EQ(b.GetGraphic(), nullptr);
  TPicture::RegisterFileFormat("dib", "Device bitmaps", [] { return static_cast<TGraphic*>(new TBitmap); });
  EXPECT_NE(TPicture::GraphicFilter().find("Device bitmaps (*.dib)|*.dib"), std::string::npos);
  EXPECT_EQ(TPicture::GraphicFilter().rfind("All (*.bmp;*.ico", 0), 0u);
}

}  // namespace
