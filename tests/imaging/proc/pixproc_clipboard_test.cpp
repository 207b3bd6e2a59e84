#include <gtest/gtest.h>

#include "dibbytes.h"
#include "imaging/proc/ieclearsel.h"
#include "pixproc_fixture.h"
#include "platform/canvas.h"
#include "platform/clipbrd.h"

namespace {

// The clipboard's CF_DIB bytes; empty when there is none.
Bytes ClipboardDib() {
  Bytes bytes;
  if (!OpenClipboard(nullptr)) return bytes;
  if (HANDLE block = GetClipboardData(CF_DIB)) {
    const auto* data = static_cast<const uint8_t*>(GlobalLock(block));
    bytes.assign(data, data + GlobalSize(block));
    GlobalUnlock(block);
  }
  CloseClipboard();
  return bytes;
}

void PutDib(const Bytes& dib) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_DIB, GlobalBlock(dib));
  CloseClipboard();
}

void EmptyTheClipboard() {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
}

uint32_t U32At(const Bytes& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, &b[at], 4);
  return v;
}

class PixProcClipboardTest : public PixProcTest {
 protected:
  void SetUp() override {
    PixProcTest::SetUp();
    EmptyTheClipboard();
  }
  void Mono(int w, int h) {
    TBitmap* b = view->GetFBitmap();
    b->Assign(Bitmap1(w, h, [](int x, int y) { return (x * 3 + y) % 5 == 0; }).get());
    view->Update();
    imageChanges = 0;
  }
};

TEST_F(PixProcClipboardTest, CopyingWritesTheDibLayoutForBothDepths) {
  // 24 bits, width 5: rows of 16 bytes, bottom row first, 4 spare bytes.
  Picture(5, 3);
  proc->CopyToClipboard();
  Bytes dib = ClipboardDib();
  ASSERT_EQ(dib.size(), 40u + 3 * 16 + 4);
  EXPECT_EQ(U32At(dib, 0), 40u);
  EXPECT_EQ(U32At(dib, 4), 5u);
  EXPECT_EQ(U32At(dib, 8), 3u);
  EXPECT_EQ(dib[14], 24);
  const TRGB bottomLeft = Code(0, 2);
  EXPECT_EQ(dib[40], bottomLeft.b);
  EXPECT_EQ(dib[42], bottomLeft.r);
  EXPECT_EQ(proc->GetUndoCount(), 0);

  // 1 bit: the black and white table, and the bits come back on paste.
  Mono(10, 4);
  std::vector<Bytes> rows;
  for (int y = 0; y < 4; ++y) rows.emplace_back(view->GetFBitmap()->ScanLine(y), view->GetFBitmap()->ScanLine(y) + 2);
  proc->CopyToClipboard();
  dib = ClipboardDib();
  ASSERT_EQ(dib.size(), 48u + 4 * 4 + 4);
  EXPECT_EQ(dib[14], 1);
  EXPECT_EQ(U32At(dib, 40), 0u);
  EXPECT_EQ(U32At(dib, 44), 0xFFFFFFFFu);
  Picture(2, 2);
  proc->PasteFromClipboard();
  TBitmap* b = view->GetFBitmap();
  ASSERT_EQ(b->GetPixelFormat(), pf1bit);
  ASSERT_EQ(b->GetWidth(), 10);
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(b->ScanLine(y)[0], rows[y][0]) << y;
    EXPECT_EQ(b->ScanLine(y)[1] & 0xC0, rows[y][1] & 0xC0) << y;
  }
  EXPECT_EQ(proc->GetUndoCaptions(0), "PastFromClipboard");
  EXPECT_EQ(imageChanges, 1);
}

TEST_F(PixProcClipboardTest, SelCopyToClipGivesTheMaskBoxWithBlankCorners) {
  Picture(20, 16);
  const TPoint diamond[] = {{9, 2}, {15, 7}, {9, 12}, {3, 7}};
  view->SelectionMask->DrawPolygon(1, diamond, 4);
  view->HasSelection = true;
  TIEMask* mask = view->SelectionMask;
  proc->SelCopyToClip();
  TBitmap copy;
  const Bytes dib = ClipboardDib();
  ASSERT_FALSE(dib.empty());
  PutDib(dib);
  proc->SetAttachedBitmap(&copy);
  proc->PasteFromClipboard();
  ASSERT_EQ(copy.GetWidth(), mask->X2 - mask->X1 + 1);
  ASSERT_EQ(copy.GetHeight(), mask->Y2 - mask->Y1 + 1);
  // A corner outside the diamond keeps the new bitmap's blank fill; the
  // centre holds the picture's pixel.
  EXPECT_EQ(TRGB2Key(Pixel24(&copy, 0, 0)), 0xFFFFFFu);
  const int cx = 9 - mask->X1, cy = 7 - mask->Y1;
  EXPECT_TRUE(Same(Pixel24(&copy, cx, cy), Code(9, 7)));
  EXPECT_EQ(view->GetFBitmap()->GetWidth(), 20) << "copying leaves the picture";
}

TEST_F(PixProcClipboardTest, SelCutToClipNeedsASelectionAndLeavesBackground) {
  Picture(12, 10);
  proc->SetReBackground(clRed);
  imageChanges = 0;  // the view tells of its new background
  proc->SelCutToClip();
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(imageChanges, 0);
  EXPECT_TRUE(ClipboardDib().empty());
  EXPECT_TRUE(OriginalAt(3, 3));

  view->Select(2, 3, 5, 6);
  proc->SelCutToClip();
  EXPECT_EQ(proc->GetUndoCaptions(0), "SelCutToClip");
  EXPECT_EQ(imageChanges, 1);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 2 && x <= 5 && y >= 3 && y <= 6;
      if (inside)
        ASSERT_EQ(TRGB2Key(At(x, y)), 0xFF0000u) << x << "," << y;
      else
        ASSERT_TRUE(OriginalAt(x, y)) << x << "," << y;
    }
  const Bytes dib = ClipboardDib();
  ASSERT_FALSE(dib.empty());
  EXPECT_EQ(U32At(dib, 4), 4u);
  EXPECT_EQ(U32At(dib, 8), 4u);
}

TEST_F(PixProcClipboardTest, PastingWithoutAReadableDibChangesNothing) {
  Picture(6, 6);
  const struct {
    const char* name;
    Bytes dib;
  } cases[] = {{"none", {}}, {"cut header", Bytes(30, 0)}, {"rows cut", Dib(4, 4, 24, BI_RGB, 0, {}, Bytes(20, 0))}};
  for (const auto& c : cases) {
    if (!c.dib.empty()) PutDib(c.dib);
    proc->PasteFromClipboard();
    proc->PointPasteFromClip(1, 1);
    proc->SelPasteFromClipStretch();
    EXPECT_EQ(proc->GetUndoCount(), 0) << c.name;
    EXPECT_EQ(imageChanges, 0) << c.name;
    EXPECT_EQ(view->GetFBitmap()->GetWidth(), 6) << c.name;
  }
}

TEST_F(PixProcClipboardTest, PastingA256ColourDibGivesItsColoursIn24Bits) {
  Picture(3, 3);
  Bytes table(256 * 4, 0);
  table[7 * 4 + 2] = 200;  // entry 7: red 200
  table[9 * 4 + 0] = 90;   // entry 9: blue 90
  PutDib(Dib(2, 1, 8, BI_RGB, 0, table, {7, 9, 0, 0}));
  proc->PasteFromClipboard();
  TBitmap* b = view->GetFBitmap();
  EXPECT_EQ(b->GetPixelFormat(), pf24bit);
  EXPECT_EQ(b->GetWidth(), 2);
  EXPECT_EQ(TRGB2Key(Pixel24(b, 0, 0)), 0xC80000u);
  EXPECT_EQ(TRGB2Key(Pixel24(b, 1, 0)), 0x00005Au);
}

TEST_F(PixProcClipboardTest, PointPasteIsClippedAndKeepsTheSize) {
  Picture(8, 8);
  PutDib(Dib(12, 12, 24, BI_RGB, 0, {}, Bytes(12 * 36, 0)));  // black
  proc->PointPasteFromClip(-10, -10);
  EXPECT_EQ(proc->GetUndoCaptions(0), "PointPasteFromClip -10,-10");
  EXPECT_EQ(view->GetFBitmap()->GetWidth(), 8);
  EXPECT_EQ(TRGB2Key(At(1, 1)), 0u);
  EXPECT_TRUE(OriginalAt(2, 2));

  // Client coordinates when the view selects in client pixels: at zoom 200
  // the client point (8, 8) is the bitmap point (4, 4).
  Picture(8, 8);
  view->SelectionBase = iesbClientArea;
  view->SetZoom(200);
  const int bx = view->XScr2Bmp(8), by = view->YScr2Bmp(8);
  ASSERT_GT(bx, 0);
  ASSERT_GT(by, 0);
  proc->PointPasteFromClip(8, 8);
  EXPECT_EQ(proc->GetUndoCaptions(0), "PointPasteFromClip 8,8");
  EXPECT_TRUE(OriginalAt(bx - 1, by - 1));
  EXPECT_EQ(TRGB2Key(At(bx, by)), 0u);
}

TEST_F(PixProcClipboardTest, StretchPasteFillsTheSelectionRectangle) {
  Picture(10, 10);
  PutDib(Dib(1, 1, 24, BI_RGB, 0, {}, {0, 0, 255, 0}));  // red
  view->Select(2, 2, 5, 4);
  proc->SelPasteFromClipStretch();
  EXPECT_EQ(proc->GetUndoCaptions(0), "SelPasteFromClipStretch");
  EXPECT_EQ(TRGB2Key(At(2, 2)), 0xFF0000u);
  EXPECT_EQ(TRGB2Key(At(5, 4)), 0xFF0000u);
  EXPECT_TRUE(OriginalAt(6, 4));
  EXPECT_TRUE(OriginalAt(2, 5));
  // Without a selection it pastes the whole picture.
  view->HasSelection = false;
  proc->SelPasteFromClipStretch();
  EXPECT_EQ(view->GetFBitmap()->GetWidth(), 1);
  EXPECT_EQ(proc->GetUndoCaptions(0), "PastFromClipboard");
}

TEST_F(PixProcClipboardTest, ClearClearSelAndCropSel) {
  Picture(10, 8);
  proc->SetReBackground(clBlue);
  imageChanges = 0;
  // ClearSel without a selection: a snapshot and Update, no pixel changed.
  proc->ClearSel();
  EXPECT_EQ(proc->GetUndoCaptions(0), "ClearSel");
  EXPECT_EQ(imageChanges, 1);
  EXPECT_TRUE(OriginalAt(0, 0));

  view->SelectionMask->SetPixel(6, 5, 1);
  view->HasSelection = true;
  proc->ClearSel();
  EXPECT_EQ(TRGB2Key(At(6, 5)), 0x0000FFu);
  EXPECT_TRUE(OriginalAt(5, 5));

  // CropSel with a 1 x 1 mask box leaves a 1 x 1 picture and no alpha.
  Picture(10, 8);
  view->GetAlphaChannel();
  view->SelectionMask->Empty();
  view->SelectionMask->SetPixel(3, 4, 1);
  view->HasSelection = true;
  proc->CropSel();
  EXPECT_EQ(proc->GetUndoCaptions(0), "CropSel");
  ASSERT_EQ(view->GetFBitmap()->GetWidth(), 1);
  ASSERT_EQ(view->GetFBitmap()->GetHeight(), 1);
  EXPECT_TRUE(Same(At(0, 0), Code(3, 4)));
  EXPECT_FALSE(view->GetHasAlphaChannel());
  proc->Undo();
  EXPECT_EQ(view->GetFBitmap()->GetWidth(), 10);

  proc->Clear();
  EXPECT_EQ(proc->GetUndoCaptions(0), "Clear");
  EXPECT_EQ(TRGB2Key(At(9, 7)), 0x0000FFu);
}

TEST(ClearSel, PolygonsAreFilledOneByOne) {
  auto bitmap = Bitmap24(12, 6, [](int, int) { return Grey(255); });
  const TPoint points[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0xFFFFF, 0}, {6, 0}, {10, 0}, {10, 4}, {6, 4}};
  _ClearSel(bitmap.get(), points, 9, clBlack);
  EXPECT_EQ(TRGB2Key(Pixel24(bitmap.get(), 1, 1)), 0u);
  EXPECT_EQ(TRGB2Key(Pixel24(bitmap.get(), 7, 1)), 0u);
  EXPECT_EQ(TRGB2Key(Pixel24(bitmap.get(), 5, 1)), 0xFFFFFFu);
  EXPECT_EQ(TRGB2Key(Pixel24(bitmap.get(), 1, 5)), 0xFFFFFFu);
}

}  // namespace
