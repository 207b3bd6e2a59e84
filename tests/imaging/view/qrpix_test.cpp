#include "imaging/view/qrpix.h"

#include <gtest/gtest.h>

#include "imaging/view/pixview.h"
#include "picfield_fixture.h"
#include "platform/qreportpage.h"

namespace {

using picfield::BoundsOf;
using picfield::IsDark;
using picfield::IsRed;

// As in the field picture tests: a one-inch printable whose box inside the
// one-pixel inset is x 837..1435, y 237..835 at 600 pixels per inch.
constexpr int kX0 = 837, kY0 = 237, kBox = 599;

class QRPixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* detail = new TQRBand;
    detail->SetParent(&report);
    detail->SetHeight(96);
    pix = new TQRPix;
    pix->SetParent(detail);
    pix->SetBounds(96, 0, 96, 96);
  }
  QImage FirstPage() {
    report.Prepare();
    return report.QRPrinter->GetPage(1)->ToImage(TQRPrinter::RecordDpi);
  }

  TQuickRep report;
  TQRPix* pix = nullptr;
};

TEST_F(QRPixTest, ShadowsAndOutlineFollowTheirSettings) {
  TBitmap picture;
  // 100 x 50 fitted: zoom 599, drawn 599 x 300 (299.5 to even), centred
  // 149 pixels down.
  picfield::Paint24(picture, 100, 50, [](int, int) { return clRed; });
  pix->SetAttachedBitmap(&picture);
  const int top = kY0 + 149, bottom = top + 299, right = kX0 + kBox - 1;
  struct Case {
    const char* name;
    int shadowSize;
    TIEShadowType type;
    bool border, shadowFollowsPicture;
    bool outline, shadowBesidePicture, shadowBesideBox;
  };
  const Case cases[] = {
      {"solid shadow on the picture, outline", 8, iestSolid, true, true, true, true, false},
      {"solid shadow on the box", 8, iestSolid, false, false, false, false, true},
      {"no shadow kind, outline still", 8, iestNone, true, true, true, false, false},
      {"size 0: neither shadow nor outline", 0, iestSolid, true, true, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pix->ShadowSize = c.shadowSize;
    pix->ShadowType = c.type;
    pix->ImageBorder = c.border;
    pix->ImageShadow = c.shadowFollowsPicture;
    QImage page = FirstPage();
    EXPECT_EQ(BoundsOf(page.copy(kX0, kY0, kBox, kBox), IsRed).translated(kX0, kY0).top(), c.outline ? top + 1 : top);
    EXPECT_EQ(IsDark(page.pixel(kX0 + 300, top)), c.outline);
    // The right shadow starts right after the picture, or 2 pixels right of the box.
    EXPECT_EQ(IsDark(page.pixel(right + 1, top + 100)), c.shadowBesidePicture);
    EXPECT_EQ(IsDark(page.pixel(kX0 + 300, bottom + 3)), c.shadowBesidePicture);
    EXPECT_EQ(IsDark(page.pixel(right + 3, kY0 + 20)), c.shadowBesideBox);
    EXPECT_EQ(IsDark(page.pixel(kX0 + 300, kY0 + kBox + 2)), c.shadowBesideBox);
  }
}

TEST_F(QRPixTest, GammaBrightensOnlyThePrintedCopy) {
  const auto table = IEPrintGammaTable(2.0);
  EXPECT_EQ(table[128], 181);
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[255], 255);
  const auto same = IEPrintGammaTable(1.0);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(same[size_t(i)], i);

  TBitmap picture;
  picfield::Paint24(picture, 10, 10, [](int, int) { return RGB(128, 64, 0); });
  pix->SetAttachedBitmap(&picture);
  pix->GammaCorrection = 2.0;
  QImage page = FirstPage();
  EXPECT_EQ(page.pixel(kX0 + 300, kY0 + 300), qRgb(table[128], table[64], 0));
  EXPECT_EQ(picture.ScanLine(0)[2], 128);
}

TEST_F(QRPixTest, OneBitPicturesPrintBlackAndWhite) {
  TBitmap picture;
  picture.SetPixelFormat(pf1bit);
  picture.SetSize(16, 8);
  // Set bits (white) on the left half, clear (black) on the right.
  for (int y = 0; y < 8; ++y) picture.ScanLine(y)[0] = 0xFF, picture.ScanLine(y)[1] = 0x00;
  pix->SetAttachedBitmap(&picture);
  pix->ShadowSize = 0;
  QImage page = FirstPage();
  // 16 x 8 fitted: zoom 3743, drawn 599 x 299 (299.44), centred 150 down.
  QRect black = BoundsOf(page.copy(kX0, kY0, kBox, kBox), IsDark).translated(kX0, kY0);
  EXPECT_NEAR(black.left(), kX0 + 300, 1);
  EXPECT_EQ(black.right(), kX0 + kBox - 1);
  EXPECT_EQ(black.top(), kY0 + 150);
  EXPECT_EQ(page.pixel(kX0 + 100, kY0 + 200), qRgb(255, 255, 255));
}

TEST_F(QRPixTest, FollowsAnAttachedViewUntilABitmapOrItsEndReplacesIt) {
  TWinControl parent(nullptr);
  auto* view = new TPixView(&parent);
  pix->SetAttachedPix(view);
  EXPECT_EQ(pix->GetAttachedBitmap(), view->GetFBitmap());
  EXPECT_EQ(view->BitmapChangeEventCount(), 1);

  // None while a view is attached: the view stops telling, its bitmap stays.
  pix->SetAttachedBitmap(nullptr);
  EXPECT_EQ(view->BitmapChangeEventCount(), 0);
  EXPECT_EQ(pix->GetAttachedBitmap(), view->GetFBitmap());

  // A bitmap detaches the view.
  pix->SetAttachedPix(view);
  TBitmap own;
  pix->SetAttachedBitmap(&own);
  EXPECT_EQ(pix->GetAttachedPix(), nullptr);
  EXPECT_EQ(pix->GetAttachedBitmap(), &own);
  EXPECT_EQ(view->BitmapChangeEventCount(), 0);

  // A view that goes away takes its bitmap along: nothing is printed after.
  pix->SetAttachedPix(view);
  picfield::Paint24(*view->GetFBitmap(), 10, 10, [](int, int) { return clRed; });
  view->Free();
  EXPECT_EQ(pix->GetAttachedPix(), nullptr);
  EXPECT_EQ(pix->GetAttachedBitmap(), nullptr);
  QImage page = FirstPage();
  EXPECT_TRUE(BoundsOf(page.copy(kX0, kY0, kBox, kBox), IsRed).isEmpty());
}

TEST_F(QRPixTest, NoBitmapPrintsNothingNotEvenTheFrame) {
  pix->Frame.DrawLeft = true;
  pix->ImageBorder = pix->ImageShadow = false;
  report.Prepare();
  EXPECT_TRUE(report.QRPrinter->GetPage(1)->Drawings().empty());
  TBitmap picture;
  picfield::Paint24(picture, 4, 4, [](int, int) { return clRed; });
  pix->SetAttachedBitmap(&picture);
  report.Prepare();
  int lines = 0;
  for (const TQRDrawing& d : report.QRPrinter->GetPage(1)->Drawings()) lines += d.Kind == TQRDrawing::dkLine;
  EXPECT_EQ(lines, 1);
}

}  // namespace

namespace {

// Cards of a batch: each after the first repeats the first one's drawings
// (the same shared picture, moved down a card), unless what it prints has
// changed since: another picture, or another shadow.
TEST_F(QRPixTest, LaterCardsRepeatTheFirstUnlessThePictureOrItsSettingsChange) {
  picfield::CardTable cards;
  for (int i = 0; i < 4; ++i) cards.Add("");
  report.DataSet = &cards.table;
  TBitmap picture;
  picfield::Paint24(picture, 100, 50, [](int, int) { return clRed; });
  pix->SetAttachedBitmap(&picture);
  pix->ShadowType = iestSmooth2;
  // After the second card the picture turns blue, after the third the
  // shadow goes.
  report.QRPrinter->OnProgress = [&](int) {
    const int done = report.DetailNumber();
    if (done == 2) picfield::Paint24(picture, 100, 50, [](int, int) { return clBlue; });
    if (done == 3) pix->ShadowSize = 0;
  };
  const QImage page = FirstPage();
  constexpr int kCard = TQRPrinter::RecordDpi;  // one band an inch high
  const int top = kY0 + 149, right = kX0 + kBox - 1;
  const QImage first = page.copy(kX0 - 40, kY0 - 40, kBox + 80, kBox + 80);
  EXPECT_EQ(page.copy(kX0 - 40, kY0 + kCard - 40, kBox + 80, kBox + 80), first);
  struct Card {
    int index;
    bool (*colour)(QRgb);
    bool shadow;
  } expected[] = {{0, IsRed, true}, {1, IsRed, true}, {2, picfield::IsBlue, true}, {3, picfield::IsBlue, false}};
  for (const Card& c : expected) {
    SCOPED_TRACE(c.index);
    const int dy = c.index * kCard;
    EXPECT_TRUE(c.colour(page.pixel(kX0 + 300, top + dy + 100)));
    EXPECT_EQ(IsDark(page.pixel(kX0 + 300, top + dy)), c.shadow) << "outline";
    EXPECT_EQ(page.pixel(right + 3, top + dy + 150) != qRgb(255, 255, 255), c.shadow) << "shadow";
  }
  // The first two cards draw the one picture kept for both.
  std::vector<const TQRPicture*> pictures;
  for (const TQRDrawing& d : report.QRPrinter->GetPage(1)->Drawings())
    if (d.Picture && d.Picture->size() == QSize(100, 50)) pictures.push_back(d.Picture.get());
  ASSERT_EQ(pictures.size(), 4u);
  EXPECT_EQ(pictures[0], pictures[1]);
  EXPECT_NE(pictures[1], pictures[2]);
  report.QRPrinter->OnProgress = nullptr;
}

}  // namespace
