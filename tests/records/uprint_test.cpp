// The seal designer under real clicks: the seal drawn at show, the
// up-downs redrawing it, the star filled as a polygon, the inner ring, the
// colour panels, the picture file load and save, and the hand-over to the
// card design and the batch window.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "batchwindow.h"
#include "platform/qt_input.h"
#include "records/uprint.h"

namespace {

namespace fs = std::filesystem;

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

bool Reddish(QRgb c) { return qRed(c) > 180 && qGreen(c) < 110 && qBlue(c) < 110; }
bool Whitish(QRgb c) { return qRed(c) > 230 && qGreen(c) > 230 && qBlue(c) > 230; }

class SealDesigner : public cardtest::BatchWindowTest {
 protected:
  void SetUp() override {
    BatchWindowTest::SetUp();
    FormPrint = MakeForm<TFormPrint>(Application);
    program_.Keep(FormPrint);
    seal = FormPrint;
    seal->Show();
    Settle();
  }

  const QImage& Picture() { return seal->Image1->GetPicture()->GetBitmap()->Image(); }
  QRgb At(int x, int y) { return Picture().pixel(x, y); }
  int RedCount(const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) count += Reddish(At(x, y));
    return count;
  }
  void Click(TControl* c) {
    WidgetClick(c, {c->GetWidth() / 2, c->GetHeight() / 2});
    Settle();
  }
  // The up arrow (upper half) or the down arrow of an up-down.
  void Step(TUpDown* u, bool up) {
    WidgetClick(u, {u->GetWidth() / 2, up ? 3 : u->GetHeight() - 3});
    Settle();
  }

  TFormPrint* seal = nullptr;
};

// Showing draws the default seal: a 150-pixel red-rimmed white disc, the
// organisation's name on the upper arc and the seal's name across the
// lower part, the control 160 pixels square over a 310-pixel picture.
TEST_F(SealDesigner, ShowingDrawsTheDefaultSeal) {
  EXPECT_EQ(seal->GetCaption(), "印章设计");
  EXPECT_EQ(seal->Image1->GetWidth(), 160);
  EXPECT_EQ(seal->Image1->GetHeight(), 160);
  EXPECT_EQ(Picture().width(), 310);
  EXPECT_EQ(Picture().height(), 310);
  // The rim on the disc's edges (box (5,5)-(150,150)), white inside.
  for (QPoint rim : {QPoint(7, 77), QPoint(147, 77), QPoint(77, 7), QPoint(77, 147)})
    EXPECT_TRUE(Reddish(At(rim.x(), rim.y()))) << rim.x() << "," << rim.y();
  EXPECT_TRUE(Whitish(At(77, 80)));
  EXPECT_TRUE(Whitish(At(2, 2)));
  EXPECT_TRUE(Whitish(At(200, 200)));  // the picture beyond the control
  // Text inside the rim: the arc in the upper half, the name below.
  EXPECT_GT(RedCount(QRect(45, 20, 65, 30)), 150);
  EXPECT_GT(RedCount(QRect(30, 110, 100, 22)), 150);
  EXPECT_EQ(RedCount(QRect(45, 70, 60, 25)), 0);  // the middle stays free
}

// A name of 7 characters: 1 to 4 on the left quarter arc from 9 o'clock
// upwards, 5 to 7 from near 12 o'clock down towards 3 o'clock, each turned
// to follow the circle.
TEST_F(SealDesigner, ArcCharactersFollowTheCircle) {
  const std::vector<TSealGlyph> glyphs = SealArcGlyphs(7, 75, 1);
  ASSERT_EQ(glyphs.size(), 7u);
  // step 22, R 64, a 12, c 75.
  // Left half first, from the top down to 9 o'clock.
  std::vector<int> order;
  for (const TSealGlyph& g : glyphs) order.push_back(g.Index);
  EXPECT_EQ(order, (std::vector<int>{4, 3, 2, 1, 5, 6, 7}));
  const TSealGlyph& first = glyphs[3];
  EXPECT_EQ(first.X, 75 - 64 + 1);
  EXPECT_EQ(first.Y, 75 + 1);
  EXPECT_EQ(first.Turn, 90 - 24);
  const TSealGlyph& last = glyphs[6];
  // k = 1: theta = pi / 7.
  EXPECT_EQ(last.X, 75 + int(std::cos(M_PI / 7) * 64) - 1);
  EXPECT_EQ(last.Y, 75 + 1 - int(std::sin(M_PI / 7) * 64));
  EXPECT_EQ(last.Turn, 24 - 90);
  // Turned less and less towards the top and on down the right side.
  const int turns[] = {66, 42, 18, -6, -18, -42, -66};
  for (const TSealGlyph& g : glyphs) {
    EXPECT_EQ(g.X < 75, g.Index <= 4) << g.Index;
    EXPECT_LE(g.Y, 76) << g.Index;  // on the upper half
    EXPECT_EQ(g.Turn, turns[g.Index - 1]) << g.Index;
  }
  EXPECT_TRUE(SealArcGlyphs(0, 75, 1).empty());
  EXPECT_EQ(SealArcGlyphs(1, 75, 1).size(), 1u);
}

// The size, rim width and name offset redraw the seal at once; the inner
// ring's size and width redraw it with the ring; nothing reaches the card
// design before 确定.
TEST_F(SealDesigner, UpDownsRedrawTheSealInTheWindowOnly) {
  main_->ImageZhang->SetBounds(10, 10, 70, 70);
  Step(seal->UpDown2, true);
  EXPECT_EQ(seal->UpDown2->GetPosition(), 6);
  EXPECT_EQ(seal->Edit4->GetText(), "6");
  EXPECT_TRUE(Reddish(At(5 + 5, 77)));  // a wider rim reaches further in
  Step(seal->UpDown1, false);
  EXPECT_EQ(seal->UpDown1->GetPosition(), 149);
  EXPECT_EQ(seal->Image1->GetWidth(), 159);
  EXPECT_EQ(Picture().width(), 308);
  EXPECT_EQ(main_->ImageZhang->GetWidth(), 70);

  // The inner ring (size 50): e = (149 - 50) / 2 = 49, box (54,54)-(105,105).
  EXPECT_TRUE(Whitish(At(56, 79)));
  Step(seal->UpDown4, true);
  EXPECT_EQ(seal->UpDown4->GetPosition(), 51);
  EXPECT_TRUE(Reddish(At(56, 79)));
  EXPECT_TRUE(Whitish(At(79, 79)));
  Click(seal->Button5);  // 生成印章 leaves the ring out
  EXPECT_TRUE(Whitish(At(56, 79)));
  Click(seal->Button7);  // 画内圆 draws it on the present picture
  EXPECT_TRUE(Reddish(At(56, 79)));
}

// The star is filled as a polygon: its middle and its five tips are red,
// nothing outside it is, and a second star changes no pixel.
TEST_F(SealDesigner, StarIsFilledAsAPolygon) {
  Click(seal->Button4);
  const QImage once = Picture().copy();
  const int cx = 80, cy = 80, radius = 150 / 6;
  EXPECT_TRUE(Reddish(At(cx, cy)));
  const std::vector<TPoint> tips = SealStarOutline(cx, cy, radius);
  for (const TPoint& tip : tips) {
    // Two thirds of the way out to each tip lies inside the star...
    EXPECT_TRUE(Reddish(At(cx + (tip.x - cx) * 2 / 3, cy + (tip.y - cy) * 2 / 3))) << tip.x << "," << tip.y;
  }
  // ...while between two tips, near the tips' radius, the disc stays white.
  for (int i = 0; i < 5; ++i) {
    const double between = 1.25663704 * i + 45 + 1.25663704 / 2;
    const int x = cx + int(radius * 0.9 * std::cos(between)), y = cy + int(radius * 0.9 * std::sin(between));
    EXPECT_TRUE(Whitish(At(x, y))) << x << "," << y;
  }
  EXPECT_LT(RedCount(QRect(cx - radius - 2, cy - radius - 2, 2 * radius + 5, 2 * radius + 5)),
            int(M_PI * radius * radius * 0.6));
  Click(seal->Button4);
  EXPECT_EQ(Picture(), once);
}

// The colour panels ask for a colour and the 字体 buttons for a font; the
// rim, the disc and the seal's name take theirs at the next drawing, and a
// cancelled dialog changes nothing.
TEST_F(SealDesigner, ColoursAndFontsChangeTheNextSeal) {
  program_.dialogs.AnswerDialog([](TCommonDialog* d) {
    static_cast<TColorDialog*>(d)->Color = clBlue;
    return true;
  });
  Click(seal->Panel1);
  program_.dialogs.AnswerDialog([](TCommonDialog* d) {
    static_cast<TColorDialog*>(d)->Color = clYellow;
    return true;
  });
  Click(seal->Panel2);
  program_.dialogs.AnswerDialog([](TCommonDialog* d) {
    static_cast<TColorDialog*>(d)->Color = clGreen;
    return false;
  });
  Click(seal->Panel3);
  EXPECT_EQ(seal->Panel1->GetColor(), clBlue);
  EXPECT_EQ(seal->Panel2->GetColor(), clYellow);
  EXPECT_EQ(seal->Panel3->GetColor(), clRed);
  program_.dialogs.AnswerDialog([](TCommonDialog* d) {
    static_cast<TFontDialog*>(d)->Font.Color = clBlue;
    return true;
  });
  Click(seal->Button3);
  program_.dialogs.AnswerDialog([](TCommonDialog* d) {
    static_cast<TFontDialog*>(d)->Font.Color = clGreen;
    return false;
  });
  Click(seal->Button2);
  EXPECT_EQ(seal->Edit2->GetFont()->Color, clBlue);
  EXPECT_EQ(seal->Edit2->GetFont()->Name, "黑体");
  EXPECT_EQ(seal->Edit1->GetFont()->Color, clRed);
  Click(seal->Button5);
  EXPECT_EQ(At(7, 77) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(At(77, 90) & 0xFFFFFF, 0xFFFF00u);
  // The name is blue now, the arc still red.
  int blue = 0;
  for (int y = 110; y < 132; ++y)
    for (int x = 30; x < 130; ++x) blue += qBlue(At(x, y)) > 180 && qRed(At(x, y)) < 110;
  EXPECT_GT(blue, 100);
  EXPECT_GT(RedCount(QRect(45, 20, 65, 30)), 50);
}

// 确定 hands the picture, cut to the control's size, to the design's seal,
// its print copy and the batch window's seal picture, and hides; a picture
// file loaded in replaces the drawing, and 保存 writes the picture as a
// bitmap file.
TEST_F(SealDesigner, PictureFilesAndTheHandOver) {
  const std::string saved = program_.Data("seal.bmp");
  program_.dialogs.AnswerDialog([saved](TCommonDialog* d) {
    static_cast<TSaveDialog*>(d)->FileName = saved;
    return true;
  });
  Click(seal->Button6);
  const QImage written(QString::fromStdString(saved));
  ASSERT_FALSE(written.isNull());
  EXPECT_EQ(written.size(), QSize(310, 310));
  EXPECT_TRUE(Reddish(written.pixel(7, 77)));

  main_->ImageZhang->SetBounds(30, 40, 70, 70);
  Click(seal->BTPrint);
  EXPECT_FALSE(seal->GetVisible());
  EXPECT_EQ(main_->ImageZhang->GetBoundsRect(), Bounds(30, 40, 160, 160));
  TBitmap handed;
  handed.Assign(main_->ImageZhang->GetPicture()->GetGraphic());
  ASSERT_EQ(handed.GetWidth(), 160);
  EXPECT_TRUE(Reddish(handed.Image().pixel(7, 77)));
  EXPECT_TRUE(Whitish(handed.Image().pixel(77, 80)));
  EXPECT_EQ(main_->QRImageZhang->GetWidth(), 160);
  EXPECT_EQ(main_->QRImageZhang->Picture->GetWidth(), 160);
  EXPECT_EQ(FormPicEdit->PicZhang->GetPicture()->GetWidth(), 160);

  // A loaded picture (here the one saved) goes over as the control shows it.
  QImage blue(200, 120, QImage::Format_RGB32);
  blue.fill(Qt::blue);
  const std::string loaded = program_.Data("blue.bmp");
  ASSERT_TRUE(blue.save(QString::fromStdString(loaded), "BMP"));
  seal->Show();
  Settle();
  program_.dialogs.AnswerDialog([loaded](TCommonDialog* d) {
    static_cast<TOpenDialog*>(d)->FileName = loaded;
    return true;
  });
  Click(seal->Button1);
  EXPECT_EQ(seal->Image1->GetPicture()->GetWidth(), 200);
  Click(seal->BTPrint);
  handed.Assign(main_->ImageZhang->GetPicture()->GetGraphic());
  ASSERT_EQ(handed.GetWidth(), 160);
  EXPECT_EQ(handed.Image().pixel(100, 100) & 0xFFFFFF, 0x0000FFu);
  EXPECT_TRUE(Whitish(handed.Image().pixel(100, 140)));  // below the loaded picture
}

// Without an organisation name no arc text is drawn; the seal's name is.
TEST_F(SealDesigner, EmptyNameDrawsOnlyTheSealName) {
  seal->Edit1->SetText("");
  Click(seal->Button5);
  EXPECT_EQ(RedCount(QRect(45, 20, 65, 30)), 0);
  EXPECT_GT(RedCount(QRect(30, 110, 100, 22)), 150);
}

}  // namespace
