#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "pixproc_fixture.h"

namespace {

class PixProcDepthTest : public PixProcTest {
 protected:
  // Four flat quarters of distinct colours.
  void Quarters(int w, int h) {
    TBitmap* b = view->GetFBitmap();
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        reinterpret_cast<TRGB*>(b->ScanLine(y))[x] = kQuarter[(x * 2 / w) + 2 * (y * 2 / h)];
    view->Update();
  }
  std::set<uint32_t> Colours() {
    std::set<uint32_t> seen;
    TBitmap* b = view->GetFBitmap();
    for (int y = 0; y < b->GetHeight(); ++y)
      for (int x = 0; x < b->GetWidth(); ++x) seen.insert(TRGB2Key(Pixel24(b, x, y)));
    return seen;
  }
  static constexpr TRGB kQuarter[4] = {{0, 0, 200}, {0, 200, 0}, {200, 0, 0}, {90, 90, 90}};
};

TEST_F(PixProcDepthTest, ConvertToDithersAtTwoOrFewerAndQuantisesAbove) {
  const struct {
    int n;
    TPixelFormat format;
    const char* caption;
  } cases[] = {{1, pf1bit, "ConvertTo 1"}, {2, pf1bit, "ConvertTo 2"}, {3, pf24bit, "ConvertTo 3"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    Picture(16, 16);
    proc->ConvertTo(c.n);
    EXPECT_EQ(view->GetFBitmap()->GetPixelFormat(), c.format);
    EXPECT_EQ(proc->GetUndoCaptions(0), c.caption);
    EXPECT_EQ(imageChanges, 1);
    if (c.format == pf24bit) {
      EXPECT_LE(Colours().size(), 3u);
    }
  }
}

TEST_F(PixProcDepthTest, ConvertToPaletteGivesBlackThenWhiteAndNeverWritesPastTheArray) {
  Picture(8, 8);
  std::vector<TRGB> palette(3, Grey(7));
  proc->ConvertToPalette(2, std::span(palette).first(2));
  EXPECT_EQ(TRGB2Key(palette[0]), 0x000000u);
  EXPECT_EQ(TRGB2Key(palette[1]), 0xFFFFFFu);
  EXPECT_EQ(TRGB2Key(palette[2]), TRGB2Key(Grey(7)));
  EXPECT_EQ(proc->GetUndoCaptions(0), "ConvertToPalette");

  // One entry for two colours: only black fits.
  Picture(8, 8);
  palette.assign(3, Grey(7));
  proc->ConvertToPalette(1, std::span(palette).first(1));
  EXPECT_EQ(TRGB2Key(palette[0]), 0x000000u);
  EXPECT_EQ(TRGB2Key(palette[1]), TRGB2Key(Grey(7)));
}

TEST_F(PixProcDepthTest, ConvertToPaletteFillsWhatTheCallerHolds) {
  Quarters(16, 16);
  std::vector<TRGB> palette(5, Grey(7));
  proc->ConvertToPalette(4, std::span(palette).first(4));
  std::set<uint32_t> chosen;
  for (int i = 0; i < 4; ++i) chosen.insert(TRGB2Key(palette[i]));
  EXPECT_EQ(TRGB2Key(palette[4]), TRGB2Key(Grey(7)));
  EXPECT_EQ(Colours().size(), 4u);
  for (uint32_t c : Colours()) EXPECT_TRUE(chosen.count(c)) << std::hex << c;

  // A shorter array still gets a picture of four colours.
  Quarters(16, 16);
  palette.assign(5, Grey(7));
  proc->ConvertToPalette(4, std::span(palette).first(2));
  EXPECT_EQ(Colours().size(), 4u);
  EXPECT_EQ(TRGB2Key(palette[2]), TRGB2Key(Grey(7)));
}

TEST_F(PixProcDepthTest, CalcImagePaletteLeavesThePictureAlone) {
  Quarters(16, 16);
  const std::set<uint32_t> before = Colours();
  std::vector<TRGB> palette(5, Grey(7));
  proc->CalcImagePalette(std::span(palette).first(4), 4);
  // One entry near each quarter's colour (the quantiser may round a little).
  for (const TRGB& q : kQuarter) {
    int nearest = 1 << 30;
    for (int i = 0; i < 4; ++i)
      nearest = std::min(nearest, std::abs(palette[i].r - q.r) + std::abs(palette[i].g - q.g) +
                                      std::abs(palette[i].b - q.b));
    EXPECT_LE(nearest, 12) << std::hex << TRGB2Key(q);
  }
  EXPECT_EQ(TRGB2Key(palette[4]), TRGB2Key(Grey(7)));
  EXPECT_EQ(Colours(), before);
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(imageChanges, 0);
}

TEST_F(PixProcDepthTest, BlackAndWhiteIgnoreTheSelectionAndReportProgress) {
  // Uniform gray 100: every bit reaches the mean threshold.
  TBitmap* b = view->GetFBitmap();
  b->SetSize(10, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x) reinterpret_cast<TRGB*>(b->ScanLine(y))[x] = Grey(100);
  view->Update();
  view->Select(2, 2, 4, 4);
  std::vector<int> reports;
  TObject* sender = nullptr;
  proc->OnProgress = [&](TObject* s, int per) {
    sender = s;
    reports.push_back(per);
  };
  proc->ConvertToBWThreshold(-1);
  ASSERT_EQ(b->GetPixelFormat(), pf1bit);
  EXPECT_EQ(b->GetWidth(), 10);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_TRUE(Bit(b, x, y)) << x << "," << y;
  EXPECT_EQ(proc->GetUndoCaptions(0), "ConvertToBWThreshold -1");
  EXPECT_EQ(sender, proc);
  EXPECT_EQ(reports.size(), 6u);

  // Back to 24 bits: white stays white.
  proc->ConvertTo24Bit();
  ASSERT_EQ(b->GetPixelFormat(), pf24bit);
  EXPECT_EQ(TRGB2Key(Pixel24(b, 9, 5)), 0xFFFFFFu);
  EXPECT_EQ(proc->GetUndoCaptions(0), "ConvertTo24Bit");
}

TEST_F(PixProcDepthTest, WrongFormatDoesNothingAndSavesNothing) {
  Picture(8, 8);
  proc->ConvertTo24Bit();  // already 24-bit
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(imageChanges, 0);
  proc->ConvertToBWOrdered();
  EXPECT_EQ(proc->GetUndoCaptions(0), "ConvertToBWOrdered");
  proc->ClearAllUndo();
  imageChanges = 0;
  for (auto op : {+[](TPixProc* p) { p->ConvertTo(8); }, +[](TPixProc* p) { p->ConvertToBWOrdered(); },
                  +[](TPixProc* p) { p->ConvertToBWThreshold(5); }})
    op(proc);
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(imageChanges, 0);
}

}  // namespace
