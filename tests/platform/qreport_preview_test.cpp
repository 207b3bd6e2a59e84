#include <gtest/gtest.h>

#include <memory>

#include "dbtest_support.h"
#include "pdftest_support.h"
#include "platform/dbtables.h"
#include "platform/fonts.h"
#include "platform/forms.h"
#include "platform/qreport.h"
#include "platform/qreportctrls.h"
#include "platform/qrpreview.h"
#include "support/testenv.h"

namespace {

constexpr TColor kSkyBlue = 0xF0CAA6;

// A 25-record report: one card a band, ten to an A4 page (three pages),
// each card a black box 12.7 mm right of and 6.35 mm below the band's
// corner, 25.4 x 12.7 mm.
class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ScreenPixelsPerInch(), 96);
    TDbfTable::Create(dir.file("data.DBF"), dbfLevel4, dbtest::CardColumns());
    table.SetDatabaseName(dir.path().string());
    table.SetTableName("data.DBF");
    table.Open();
    for (int i = 0; i < 25; ++i) {
      table.Append();
      table.Post();
    }
    report = new TQuickRep(&form);
    report->DataSet = &table;
    auto* band = new TQRBand(&form);
    band->SetParent(report);
    band->SetHeight(96);
    auto* box = new TQRLabel(&form);
    box->SetParent(band);
    box->SetBounds(48, 24, 96, 48);
    box->SetColor(clBlack);
    preview = new TQRPreview(&form);
    preview->SetParent(&form);
    preview->SetColor(kSkyBlue);
    preview->SetQRPrinter(report->QRPrinter);
    report->Prepare();
  }

  // The client image after a paint.
  const QImage& Shown() {
    preview->Repaint();
    return preview->ClientImage();
  }

  // Page pixels at the preview's zoom of a length in millimetres.
  double AtZoom(double mm) { return mm / 25.4 * 96 * preview->GetZoom() / 100; }

  cwtest::TempDir dir;
  TTable table;
  TForm form{nullptr};
  TQuickRep* report;
  TQRPreview* preview;
};

TEST_F(PreviewTest, DrawsThePageAtItsZoomOnTheControlsColour) {
  struct Case {
    int zoom, width, height;
    bool centred;
  } cases[] = {{100, 1000, 1300, true}, {50, 600, 700, true}, {100, 400, 300, false}, {150, 500, 500, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " in " << c.width << " x " << c.height);
    preview->SetBounds(0, 0, c.width, c.height);
    preview->SetZoom(c.zoom);
    TRect page = preview->PageRect();
    EXPECT_NEAR(page.Width(), AtZoom(210), 1);
    EXPECT_NEAR(page.Height(), AtZoom(297), 1);
    EXPECT_EQ(preview->ScrollBar(SB_VERT).Visible, !c.centred);
    if (c.centred) {
      EXPECT_EQ(page.Left, (preview->GetClientWidth() - page.Width()) / 2);
      EXPECT_EQ(page.Top, (preview->GetClientHeight() - page.Height()) / 2);
    } else {
      EXPECT_EQ(page.Top, 0);
    }
    const QImage& image = Shown();
    ASSERT_EQ(image.width(), preview->GetClientWidth());
    // The first card's box, where the page puts it.
    QRect box = pdftest::FirstDarkRect(image);
    EXPECT_NEAR(box.left(), page.Left + AtZoom(22.7), 1.5);
    EXPECT_NEAR(box.top(), page.Top + AtZoom(16.35), 1.5);
    EXPECT_NEAR(box.width(), AtZoom(25.4), 1.5);
    // Paper inside the page, the control's colour around it.
    EXPECT_EQ(image.pixel(std::max(page.Left, 0) + 2, std::max(page.Top, 0) + 2), qRgb(255, 255, 255));
    if (c.centred) EXPECT_EQ(image.pixel(0, 0), ToQColor(kSkyBlue).rgb());
  }
}

TEST_F(PreviewTest, ScrollBarsMoveThePage) {
  preview->SetBounds(0, 0, 400, 300);
  TRect page = preview->PageRect();
  const TScrollBarState& h = preview->ScrollBar(SB_HORZ);
  const TScrollBarState& v = preview->ScrollBar(SB_VERT);
  ASSERT_TRUE(h.Visible && v.Visible);
  EXPECT_EQ(h.Max, page.Width() - 1);
  EXPECT_EQ(v.Max, page.Height() - 1);
  EXPECT_EQ(int(h.Page), preview->GetClientWidth());
  EXPECT_EQ(int(v.Page), preview->GetClientHeight());
  const int lastV = page.Height() - preview->GetClientHeight();
  const int lastH = page.Width() - preview->GetClientWidth();

  struct Case {
    uint32_t msg;
    int code, pos;
    int expected;
  } cases[] = {
      {WM_VSCROLL, SB_LINEDOWN, 0, 16},
      {WM_VSCROLL, SB_PAGEDOWN, 0, 16 + int(v.Page)},
      {WM_VSCROLL, SB_LINEUP, 0, int(v.Page)},
      {WM_VSCROLL, SB_THUMBTRACK, 500, 500},
      {WM_VSCROLL, SB_THUMBPOSITION, 300, 300},
      {WM_VSCROLL, SB_BOTTOM, 0, lastV},
      {WM_VSCROLL, SB_PAGEDOWN, 0, lastV},  // stays at the end
      {WM_VSCROLL, SB_TOP, 0, 0},
      {WM_VSCROLL, SB_LINEUP, 0, 0},
      {WM_HSCROLL, SB_LINERIGHT, 0, 16},
      {WM_HSCROLL, SB_RIGHT, 0, lastH},
      {WM_HSCROLL, SB_LEFT, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.msg == WM_HSCROLL ? "across " : "down ") << c.code << " " << c.pos);
    preview->Perform(c.msg, MakeWParam(c.code, c.pos), 0);
    const TScrollBarState& bar = c.msg == WM_HSCROLL ? h : v;
    EXPECT_EQ(bar.Pos, c.expected);
    TRect moved = preview->PageRect();
    EXPECT_EQ(c.msg == WM_HSCROLL ? moved.Left : moved.Top, -c.expected);
  }

  // The page is drawn where the bars put it: the first card's box moves up
  // by the scrolled amount.
  int top = pdftest::FirstDarkRect(Shown()).top();
  preview->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 40), 0);
  EXPECT_EQ(pdftest::FirstDarkRect(Shown()).top(), top - 40);
  // The wheel scrolls three lines a notch, down for a turn towards the user.
  preview->Perform(WM_MOUSEWHEEL, MakeWParam(0, uint16_t(-WHEEL_DELTA)), 0);
  EXPECT_EQ(v.Pos, 40 + 48);
}

TEST_F(PreviewTest, FitAndWidthZoomsFillTheView) {
  struct Case {
    int width, height;
  } cases[] = {{794, 550}, {300, 900}, {1200, 400}, {1000, 1500}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    preview->SetBounds(0, 0, c.width, c.height);
    preview->SetZoom(100);

    preview->ZoomToFit();
    int fit = preview->GetZoom();
    EXPECT_FALSE(preview->ScrollBar(SB_HORZ).Visible);
    EXPECT_FALSE(preview->ScrollBar(SB_VERT).Visible);
    // One percent more no longer fits one way or the other.
    preview->SetZoom(fit + 1);
    EXPECT_TRUE(preview->ScrollBar(SB_HORZ).Visible || preview->ScrollBar(SB_VERT).Visible);

    preview->ZoomToWidth();
    int width = preview->GetZoom();
    EXPECT_GE(width, fit);
    EXPECT_FALSE(preview->ScrollBar(SB_HORZ).Visible);
    TRect page = preview->PageRect();
    EXPECT_LE(page.Width(), preview->GetClientWidth());
    preview->SetZoom(width + 1);
    EXPECT_TRUE(preview->ScrollBar(SB_HORZ).Visible);
  }
  // The page of the old test, 794 x 550: 49 percent fits.
  preview->SetBounds(0, 0, 794, 550);
  preview->ZoomToFit();
  EXPECT_EQ(preview->GetZoom(), 49);
}

TEST_F(PreviewTest, PagesAndZoomStayInRange) {
  preview->SetBounds(0, 0, 900, 1200);
  struct Case {
    int asked, shown, cards;
  } cases[] = {{3, 3, 5}, {2, 2, 10}, {9, 3, 5}, {0, 1, 10}, {-4, 1, 10}};
  for (const Case& c : cases) {
    preview->SetPageNumber(c.asked);
    EXPECT_EQ(preview->GetPageNumber(), c.shown) << c.asked;
    const QImage& image = Shown();
    EXPECT_EQ(pdftest::DarkRunsDown(image, pdftest::FirstDarkRect(image).center().x()), c.cards) << c.asked;
  }
  for (auto [asked, kept] : {std::pair{0, 1}, std::pair{-20, 1}, std::pair{5000, 1000}, std::pair{200, 200}}) {
    preview->SetZoom(asked);
    EXPECT_EQ(preview->GetZoom(), kept) << asked;
  }
  // Zooming keeps the spot at the view's corner: 200 pixels down at 200
  // percent are 100 at 100 percent.
  preview->SetBounds(0, 0, 400, 300);
  preview->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 200), 0);
  preview->SetZoom(100);
  EXPECT_EQ(preview->ScrollBar(SB_VERT).Pos, 100);
}

TEST_F(PreviewTest, FollowsThePrinterItShows) {
  std::vector<int> available, progress;
  preview->OnPageAvailable = [&](TObject* sender, int page) {
    EXPECT_EQ(sender, preview);
    available.push_back(page);
    // As the card program's preview window does for each new page.
    preview->SetZoom(100);
  };
  preview->OnProgressUpdate = [&](TObject*, int percent) { progress.push_back(percent); };
  preview->SetZoom(30);
  report->Prepare();
  EXPECT_EQ(available, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(preview->GetZoom(), 100);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), 100);

  // Another printer takes over; the first one's events no longer arrive.
  TQuickRep other(nullptr);
  (new TQRBand)->SetParent(&other);
  preview->SetQRPrinter(other.QRPrinter);
  available.clear();
  report->Prepare();
  EXPECT_TRUE(available.empty());
  other.Prepare();
  EXPECT_EQ(available, (std::vector<int>{1}));

  // Pages dropped, or the printer freed with its report: only the
  // control's colour is left, and nothing dangles.
  preview->SetBounds(0, 0, 300, 200);
  preview->SetQRPrinter(report->QRPrinter);
  EXPECT_FALSE(pdftest::FirstDarkRect(Shown()).isNull());
  report->QRPrinter->Cleanup();
  EXPECT_TRUE(pdftest::FirstDarkRect(Shown()).isNull());
  report->Prepare();
  EXPECT_FALSE(pdftest::FirstDarkRect(Shown()).isNull());
  report->Free();
  EXPECT_EQ(preview->GetQRPrinter(), nullptr);
  const QImage& image = Shown();
  EXPECT_EQ(image.pixel(150, 100), ToQColor(kSkyBlue).rgb());
  EXPECT_FALSE(preview->ScrollBar(SB_VERT).Visible);
  TBitmap bitmap;
  EXPECT_FALSE(preview->PageBitmap(&bitmap));
}

}  // namespace
