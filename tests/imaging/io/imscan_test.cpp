// The scanner session and its parameters over the scanner library's test
// backend, and the strip paste that every transfer goes through.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cstring>

#include "imaging/core/iebitmap.h"
#include "imaging/io/imscan.h"
#include "imaging/io/imscanselect.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/pixio.h"
#include "imaging/io/twainparams.h"
#include "platform/dialogs.h"
#include "platform/stdctrls.h"
#include "support/sanetestenv.h"

namespace {

constexpr uint8_t kMark = 0x5A;

// A bitmap filled with kMark bytes, so that anything written shows.
std::unique_ptr<TIEBitmap> Marked(int w, int h, TIEPixelFormat format) {
  auto b = std::make_unique<TIEBitmap>();
  b->Allocate(w, h, format);
  for (int y = 0; y < h; ++y) std::memset(b->GetScanLine(y), kMark, static_cast<size_t>(b->GetRowLen()));
  return b;
}

TIETWStrip Strip(int columns, int rows, int x, int y, int bytesPerRow, size_t bytes, uint8_t fill) {
  TIETWStrip s;
  s.Columns = columns;
  s.Rows = rows;
  s.XOffset = x;
  s.YOffset = y;
  s.BytesPerRow = bytesPerRow;
  s.Bytes.assign(bytes, fill);
  return s;
}

int CountChangedPixels(TIEBitmap& b) {
  int n = 0;
  for (int y = 0; y < b.GetHeight(); ++y)
    for (int x = 0; x < b.GetWidth(); ++x) {
      TRGB p = b.GetPixels_ie24RGB(x, y);
      n += !(p.r == kMark && p.g == kMark && p.b == kMark);
    }
  return n;
}

}  // namespace

// Strips from the source are trusted for nothing: every offset and size is
// checked, and what lies outside the bitmap is left out.
TEST(ScannerStrips, PastesOnlyWhatFitsTheBitmap) {
  struct Case {
    const char* what;
    TIETWStrip strip;
    int bpp;
    bool accepted;
    int changed;  // pixels written into the 10 x 8 bitmap
  };
  const Case cases[] = {
      {"whole strip inside", Strip(4, 2, 1, 1, 12, 24, 9), 24, true, 8},
      {"columns past the right edge", Strip(6, 2, 7, 0, 18, 36, 9), 24, true, 3 * 2},
      {"rows past the bottom", Strip(2, 5, 0, 6, 6, 30, 9), 24, true, 2 * 2},
      {"wholly outside", Strip(2, 2, 20, 20, 6, 12, 9), 24, true, 0},
      {"grey strip", Strip(10, 1, 0, 0, 10, 10, 9), 8, true, 10},
      {"negative column offset", Strip(2, 2, -1, 0, 6, 12, 9), 24, false, 0},
      {"negative row offset", Strip(2, 2, 0, -3, 6, 12, 9), 24, false, 0},
      {"rows shorter than the columns need", Strip(4, 2, 0, 0, 11, 22, 9), 24, false, 0},
      {"fewer bytes than the rows need", Strip(4, 2, 0, 0, 12, 23, 9), 24, false, 0},
      {"no columns", Strip(0, 2, 0, 0, 12, 24, 9), 24, false, 0},
      {"no rows", Strip(2, 0, 0, 0, 12, 24, 9), 24, false, 0},
      {"one-bit strip into a colour bitmap", Strip(8, 1, 0, 0, 1, 1, 9), 1, false, 0},
      {"depth the bitmap cannot take", Strip(2, 1, 0, 0, 4, 4, 9), 16, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto b = Marked(10, 8, ie24RGB);
    EXPECT_EQ(IETW_PasteStrip(b.get(), c.strip, c.bpp), c.accepted);
    EXPECT_EQ(CountChangedPixels(*b), c.changed);
  }
}

TEST(ScannerStrips, ColourGreyAndBitsLandWhereTheStripSays) {
  auto colour = Marked(4, 3, ie24RGB);
  TIETWStrip rgb = Strip(1, 1, 2, 1, 3, 3, 0);
  rgb.Bytes = {10, 20, 30};  // red, green, blue as the scanner sends them
  ASSERT_TRUE(IETW_PasteStrip(colour.get(), rgb, 24));
  TRGB p = colour->GetPixels_ie24RGB(2, 1);
  EXPECT_EQ(p.r, 10);
  EXPECT_EQ(p.g, 20);
  EXPECT_EQ(p.b, 30);

  auto grey = Marked(4, 3, ie24RGB);
  ASSERT_TRUE(IETW_PasteStrip(grey.get(), Strip(1, 1, 0, 2, 1, 1, 77), 8));
  EXPECT_EQ(grey->GetPixels_ie24RGB(0, 2), (TRGB{77, 77, 77}));

  // Eight set bits pasted at column 3 of a cleared 1-bit row, and clipped
  // at its width of 9.
  auto bits = std::make_unique<TIEBitmap>();
  bits->Allocate(9, 1, ie1g);
  std::memset(bits->GetScanLine(0), 0, static_cast<size_t>(bits->GetRowLen()));
  ASSERT_TRUE(IETW_PasteStrip(bits.get(), Strip(8, 1, 3, 0, 1, 1, 0xFF), 1));
  for (int x = 0; x < 9; ++x) EXPECT_EQ(bits->GetPixels_ie1g(x, 0), x >= 3) << x;
}

TEST(ScannerStrips, KeptStripsOfUnknownHeightAreBounded) {
  TIETWStripList list(3000);
  EXPECT_TRUE(list.Add(Strip(100, 10, 0, 0, 100, 1000, 0)));
  EXPECT_TRUE(list.Add(Strip(100, 10, 0, 10, 100, 1000, 0)));
  int64_t before = list.Bytes();
  EXPECT_FALSE(list.Add(Strip(100, 10, 0, 20, 100, 1000, 0)));
  EXPECT_EQ(list.Strips().size(), 2u);
  EXPECT_EQ(list.Bytes(), before);
}

// The source list, selection by name and the capabilities read from the
// test backend.
TEST(ScannerParams, ListsSelectsAndReadsTheTestScanners) {
  cwtest::TestScanners scanners;
  TIETWainParams params(nullptr);
  ASSERT_EQ(params.GetSourceCount(), 2);
  EXPECT_EQ(params.GetSourceName(0), "frontend-tester (test:0)");
  EXPECT_EQ(params.GetSourceName(1), "frontend-tester (test:1)");
  EXPECT_EQ(params.GetSourceName(2), "");
  EXPECT_EQ(params.GetSourceName(-1), "");

  EXPECT_TRUE(params.SelectSourceByName("FRONTEND-tester (TEST:1"));
  EXPECT_EQ(params.SelectedSource, 1);
  EXPECT_FALSE(params.SelectSourceByName("flatbed"));
  EXPECT_EQ(params.SelectedSource, 1);
  EXPECT_EQ(params.GetDefaultSource(), 0);

  TIEIntegerList& types = params.GetPixelType();
  ASSERT_EQ(types.GetCount(), 3);
  EXPECT_EQ(types.GetItem(0), 0);
  EXPECT_EQ(types.GetItem(1), 1);
  EXPECT_EQ(types.GetItem(2), 2);
  EXPECT_EQ(types.CurrentValue, 1);  // grey at 8 bits
  TIEDoubleList& x = params.GetXResolution();
  EXPECT_EQ(x.CurrentValue, 50);
  EXPECT_EQ(x.RangeMin, 1);
  EXPECT_EQ(x.RangeMax, 1200);
  EXPECT_EQ(params.GetYResolution().CurrentValue, 50);
  ASSERT_EQ(params.GetXScaling().GetCount(), 1);
  EXPECT_EQ(params.GetXScaling().GetItem(0), 1.0);
  ASSERT_EQ(params.GetOrientation().GetCount(), 1);
  EXPECT_NEAR(params.GetPhysicalWidth(), 200 / 25.4, 1e-9);
  // What was read is not sent again unless the caller changes it.
  EXPECT_EQ(x.Changes, 0);
  EXPECT_EQ(types.Changes, 0);

  // Update sends the changes and reads them back.
  x.SetCurrentValue(75);
  params.GetYResolution().SetCurrentValue(75);
  types.SetCurrentValue(2);
  params.Update();
  EXPECT_EQ(params.GetXResolution().CurrentValue, 75);
  EXPECT_EQ(params.GetPixelType().CurrentValue, 2);
}

TEST(ScannerParams, WithoutScannersEverythingIsEmptyAndNothingRaises) {
  cwtest::TestScanners none(cwtest::TestScanners::kNone);
  TIETWainParams params(nullptr);
  EXPECT_EQ(params.GetSourceCount(), 0);
  EXPECT_EQ(params.GetSourceName(0), "");
  EXPECT_EQ(params.GetPixelType().GetCount(), 0);
  EXPECT_EQ(params.GetXResolution().GetCount(), 0);
  EXPECT_EQ(params.GetXScaling().GetItem(0), 1.0);
  EXPECT_EQ(params.GetOrientation().GetItem(0), 0);
  TIEBitmap bitmap;
  TIOParamsVals io(nullptr);
  EXPECT_FALSE(IETW_Acquire(&bitmap, false, {}, &params, &io, nullptr, &params.Shared));
  std::string name;
  EXPECT_FALSE(IETW_SelectImageSource(name, &params.Shared));
}

// One scan for each pixel type at two resolutions: the bitmap's format and
// size follow, the parameters carry the resolution, and the white test
// picture stays white (one-bit scans arrive with set bits black and are
// turned round).
TEST(ScannerAcquire, ThreePixelTypesAtTwoResolutions) {
  cwtest::TestScanners scanners;
  TIETWainParams params(nullptr);
  params.GetPixelType();
  for (int dpi : {10, 20}) {
    for (int type : {0, 1, 2}) {
      SCOPED_TRACE(testing::Message() << dpi << " dpi, pixel type " << type);
      params.GetXResolution().SetCurrentValue(dpi);
      params.GetYResolution().SetCurrentValue(dpi);
      params.GetPixelType().SetCurrentValue(type);
      TIEBitmap bitmap;
      TIOParamsVals io(nullptr);
      int lastPercent = -1;
      TProgressRec progress;
      progress.OnProgress = [&](TObject*, int per) { lastPercent = per; };
      ASSERT_TRUE(IETW_Acquire(&bitmap, false, {}, &params, &io, &progress, &params.Shared));
      EXPECT_EQ(bitmap.GetPixelFormat(), type == 0 ? ie1g : ie24RGB);
      // 80 x 100 mm.
      EXPECT_NEAR(bitmap.GetWidth(), 80 / 25.4 * dpi, 1.0);
      EXPECT_NEAR(bitmap.GetHeight(), 100 / 25.4 * dpi, 1.0);
      EXPECT_EQ(io.DPIX, dpi);
      EXPECT_EQ(io.DPIY, dpi);
      EXPECT_EQ(io.Width, bitmap.GetWidth());
      EXPECT_EQ(io.Height, bitmap.GetHeight());
      EXPECT_EQ(io.SamplesPerPixel, type == 2 ? 3 : 1);
      EXPECT_EQ(lastPercent, 100);
      EXPECT_EQ(IETW_LastRun().Vanilla, type == 0);
      EXPECT_EQ(IETW_LastRun().HighestState, twsTransferring);
      EXPECT_EQ(IETW_LastRun().FinalState, twsLoaded);
      int notWhite = 0;
      for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
          notWhite += type == 0 ? !bitmap.GetPixels_ie1g(x, y) : !(bitmap.GetPixels_ie24RGB(x, y) == TRGB{255, 255, 255});
      EXPECT_EQ(notWhite, 0);
    }
  }
}

TEST(ScannerAcquire, PictureOfUnknownHeightIsPastedWhenItEnds) {
  cwtest::TestScanners scanners("hand-scanner true\n");
  TIETWainParams params(nullptr);
  params.GetXResolution().SetCurrentValue(10);
  TIEBitmap bitmap;
  TIOParamsVals io(nullptr);
  ASSERT_TRUE(IETW_Acquire(&bitmap, false, {}, &params, &io, nullptr, &params.Shared));
  EXPECT_GT(bitmap.GetHeight(), 0);
  EXPECT_EQ(io.Height, bitmap.GetHeight());
  EXPECT_EQ(bitmap.GetPixels_ie24RGB(0, bitmap.GetHeight() - 1), (TRGB{255, 255, 255}));
}

// A stop asked for during the transfer ends the scan without a picture; an
// end request of the application stays standing for its own loop.
TEST(ScannerAcquire, AbortAndQuitDuringTheScanEndIt) {
  cwtest::TestScanners scanners;
  TApplication app(nullptr);
  TApplication* saved = Application;
  Application = &app;
  TIETWainParams params(nullptr);
  params.GetXResolution().SetCurrentValue(100);  // several strips
  params.GetYResolution().SetCurrentValue(100);
  for (bool quit : {false, true}) {
    SCOPED_TRACE(quit ? "quit" : "abort");
    bool aborting = false;
    int calls = 0;
    TProgressRec progress;
    progress.Aborting = &aborting;
    progress.OnProgress = [&](TObject*, int) {
      ++calls;
      if (quit)
        app.Terminate();
      else
        aborting = true;
    };
    TIEBitmap bitmap;
    TIOParamsVals io(nullptr);
    EXPECT_FALSE(IETW_Acquire(&bitmap, false, {}, &params, &io, &progress, &params.Shared));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(app.Terminated(), quit);
    EXPECT_EQ(IETW_LastRun().FinalState, twsLoaded);
  }
  Application = saved;
}

TEST(ScannerAcquire, AReadFailureGivesNoPicture) {
  cwtest::TestScanners scanners("read-status-code \"SANE_STATUS_IO_ERROR\"\n");
  TIETWainParams params(nullptr);
  TIEBitmap bitmap;
  TIOParamsVals io(nullptr);
  EXPECT_FALSE(IETW_Acquire(&bitmap, false, {}, &params, &io, nullptr, &params.Shared));
}

// The choice of scanner through its dialog, clicked: a cancelled choice
// keeps the selected scanner, a confirmed one selects it.
TEST(ScannerAcquire, SourceChoiceOnlyAConfirmedChoiceChangesTheScanner) {
  cwtest::TestScanners scanners;
  TScriptedDialogs dialogs;
  TPixIO io(nullptr);
  ASSERT_EQ(io.TWainParams->GetSourceCount(), 2);
  auto choose = [](int row, TButton* TIETWSelectSourceDialog::*button) {
    return [row, button](TCustomForm* form) {
      auto* dialog = dynamic_cast<TIETWSelectSourceDialog*>(form);
      ASSERT_NE(dialog, nullptr);
      TListBox* list = dialog->SourceList;
      ASSERT_EQ(list->GetItems()->Count(), 2);
      QTest::mouseClick(list->Widget(), Qt::LeftButton, {}, QPoint(20, row * list->ItemHeight + list->ItemHeight / 2));
      EXPECT_EQ(list->GetItemIndex(), row);
      QTest::mouseClick((dialog->*button)->Widget(), Qt::LeftButton);
    };
  };
  dialogs.AnswerModal(mrCancel, choose(1, &TIETWSelectSourceDialog::CancelButton));
  EXPECT_FALSE(io.SelectAcquireSource());
  EXPECT_EQ(io.TWainParams->SelectedSource, 0);
  dialogs.AnswerModal(mrOk, choose(1, &TIETWSelectSourceDialog::OkButton));
  EXPECT_TRUE(io.SelectAcquireSource());
  EXPECT_EQ(io.TWainParams->SelectedSource, 1);
  EXPECT_EQ(dialogs.Pending(), 0u);
}
