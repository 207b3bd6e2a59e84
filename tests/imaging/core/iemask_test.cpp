#include "imaging/core/iemask.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/graphics.h"

namespace {

// Row y of a mask as '1' (set) and '.' (clear), one character a pixel.
std::string Row(const TIEMask& m, int y) {
  std::string s;
  for (int x = 0; x < m.Width; ++x) s += m.GetPixel(x, y) ? '1' : '.';
  return s;
}

struct Box {
  int x1, y1, x2, y2;
  friend bool operator==(const Box&, const Box&) = default;
};
Box BoxOf(const TIEMask& m) { return {m.X1, m.Y1, m.X2, m.Y2}; }
std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "(" << b.x1 << ", " << b.y1 << ", " << b.x2 << ", " << b.y2 << ")";
}
constexpr Box kEmptyBox{TIEMask::EmptyBoxCorner, TIEMask::EmptyBoxCorner, 0, 0};

std::vector<TPoint> Square(int x1, int y1, int x2, int y2) {
  return {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
}

TEST(TIEMaskTest, AllocationSizesRowsAndClearsEverything) {
  struct Case {
    int width, height, bitcount, rowLen;
    bool hasBits;
  };
  for (const Case& c : {Case{5, 3, 8, 5, true}, Case{5, 3, 1, 4, true}, Case{33, 2, 1, 8, true},
                        Case{32, 2, 1, 4, true}, Case{5, 3, 4, 0, false}}) {
    TIEMask m;
    m.SetPixel(0, 0, 1);
    m.AllocateBits(c.width, c.height, c.bitcount);
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bitcount);
    EXPECT_EQ(m.RowLen, c.rowLen);
    EXPECT_EQ(m.Bits != nullptr, c.hasBits);
    EXPECT_TRUE(m.IsEmpty());
    EXPECT_FALSE(m.Full);
    for (int y = 0; y < c.height && c.hasBits; ++y) EXPECT_EQ(Row(m, y), std::string(c.width, '.'));
  }
  // Rows are stored bottom-up.
  TIEMask m;
  m.AllocateBits(5, 3, 8);
  EXPECT_EQ(m.GetScanLine(0), m.Bits + 2 * 5);
  EXPECT_EQ(m.GetScanLine(2), m.Bits);
  EXPECT_EQ(m.GetScanLine(3), nullptr);
  EXPECT_EQ(m.GetScanLine(-1), nullptr);
  m.FreeBits();
  EXPECT_EQ(m.Bits, nullptr);
  EXPECT_EQ(m.Width + m.Height + m.BitCount + m.RowLen, 0);
}

TEST(TIEMaskTest, SetPixelGrowsTheBoxAndIgnoresOutsidePoints) {
  TIEMask m;
  EXPECT_TRUE(m.IsEmpty());
  m.AllocateBits(10, 8, 1);
  m.SetPixel(3, 4, 1);
  EXPECT_EQ(BoxOf(m), (Box{3, 4, 3, 4}));
  m.SetPixel(7, 1, 5);
  EXPECT_EQ(BoxOf(m), (Box{3, 1, 7, 4}));
  for (auto [x, y] : {std::pair{-1, 0}, {10, 0}, {0, -1}, {0, 8}}) m.SetPixel(x, y, 1);
  EXPECT_EQ(BoxOf(m), (Box{3, 1, 7, 4}));
  // Clearing a pixel never shrinks the box.
  m.SetPixel(7, 1, 0);
  EXPECT_EQ(BoxOf(m), (Box{3, 1, 7, 4}));
  EXPECT_EQ(m.GetPixel(7, 1), 0);
  // A 1-bit pixel reads as its bit's mask value.
  for (int x = 0; x < 8; ++x) {
    m.SetPixel(x, 6, 1);
    EXPECT_EQ(m.GetPixel(x, 6), 128 >> x);
    EXPECT_TRUE(m.IsPointInside(x, 6));
  }
  EXPECT_EQ(m.GetPixel(-1, 6), 0);
  EXPECT_EQ(m.GetPixel(10, 6), 0);

  TIEMask alpha;
  alpha.AllocateBits(4, 4, 8);
  alpha.SetPixel(2, 3, 77);
  EXPECT_EQ(alpha.GetPixel(2, 3), 77);
  EXPECT_EQ(alpha.GetScanLine(3)[2], 77);
}

TEST(TIEMaskTest, FullFollowsFillsAndWrites) {
  TIEMask alpha;
  alpha.AllocateBits(3, 2, 8);
  alpha.Fill(255);
  EXPECT_TRUE(alpha.Full);
  alpha.SetPixel(0, 0, 255);
  EXPECT_TRUE(alpha.Full);
  alpha.SetPixel(0, 0, 254);
  EXPECT_FALSE(alpha.Full);
  alpha.Fill(255);
  alpha.DrawHorizontalLine(10, 0, 1, 1);
  EXPECT_FALSE(alpha.Full);
  alpha.Fill(0);
  EXPECT_FALSE(alpha.Full);
  // Fill leaves the box alone; Empty clears it.
  alpha.Empty();
  alpha.SetPixel(1, 1, 9);
  alpha.Fill(0);
  EXPECT_EQ(BoxOf(alpha), (Box{1, 1, 1, 1}));
  alpha.Empty();
  EXPECT_EQ(BoxOf(alpha), kEmptyBox);

  // A selection is full only while every bit is set.
  TIEMask sel;
  sel.AllocateBits(3, 2, 1);
  sel.Fill(255);
  EXPECT_TRUE(sel.Full);
  sel.SetPixel(2, 1, 0);
  EXPECT_FALSE(sel.Full);
  sel.Fill(0x0F);
  EXPECT_FALSE(sel.Full);
}

TEST(TIEMaskTest, HorizontalLineClipsColumnsAndSkipsRowsOutside) {
  TIEMask m;
  m.AllocateBits(20, 3, 1);
  struct Case {
    int x1, x2, y, written;
    const char* row;
  };
  for (const Case& c : {Case{-5, 2, 1, 3, "111................."},
                        Case{6, 17, 1, 12, "......111111111111.."},
                        Case{15, 40, 1, 5, "...............11111"},
                        Case{9, 8, 1, 0, "...................."},
                        Case{-3, -1, 1, 0, "...................."}}) {
    m.Empty();
    EXPECT_EQ(m.DrawHorizontalLine(1, c.x1, c.x2, c.y), c.written) << c.x1 << ".." << c.x2;
    EXPECT_EQ(Row(m, 1), c.row) << c.x1 << ".." << c.x2;
  }
  // Rows above or below the mask are not folded into its first or last row.
  m.Empty();
  EXPECT_EQ(m.DrawHorizontalLine(1, 0, 19, -1), 0);
  EXPECT_EQ(m.DrawHorizontalLine(1, 0, 19, 3), 0);
  for (int y = 0; y < 3; ++y) EXPECT_EQ(Row(m, y), std::string(20, '.'));
  // The box is the caller's business.
  EXPECT_TRUE(m.IsEmpty());
  // Value 0 clears a run of a selection.
  m.DrawHorizontalLine(1, 0, 19, 2);
  m.DrawHorizontalLine(0, 3, 12, 2);
  EXPECT_EQ(Row(m, 2), "111..........1111111");

  TIEMask alpha;
  alpha.AllocateBits(6, 1, 8);
  EXPECT_EQ(alpha.DrawHorizontalLine(300, 2, 4, 0), 3);  // the low byte is stored
  EXPECT_EQ(alpha.GetPixel(1, 0), 0);
  EXPECT_EQ(alpha.GetPixel(2, 0), 44);
  EXPECT_EQ(alpha.GetPixel(4, 0), 44);
  EXPECT_EQ(alpha.GetPixel(5, 0), 0);
}

TEST(TIEMaskTest, PolygonFillsInsideWithExclusiveRightAndBottom) {
  TIEMask m;
  m.AllocateBits(20, 20, 1);
  auto square = Square(0, 0, 10, 10);
  m.DrawPolygon(1, square.data(), 4);
  for (int y = 0; y < 20; ++y)
    EXPECT_EQ(Row(m, y), y < 10 ? "1111111111.........." : std::string(20, '.')) << y;
  EXPECT_EQ(BoxOf(m), (Box{0, 0, 9, 9}));

  // Two polygons separated by the marker point; runs of markers are skipped.
  m.Empty();
  std::vector<TPoint> two = Square(1, 1, 4, 3);
  two.push_back({TIEMask::PolygonSeparator, 0});
  two.push_back({TIEMask::PolygonSeparator, 0});
  for (TPoint p : Square(12, 5, 15, 7)) two.push_back(p);
  m.DrawPolygon(1, two.data(), static_cast<int>(two.size()));
  EXPECT_EQ(Row(m, 1), ".111................");
  EXPECT_EQ(Row(m, 2), ".111................");
  EXPECT_EQ(Row(m, 3), std::string(20, '.'));
  EXPECT_EQ(Row(m, 5), "............111.....");
  EXPECT_EQ(Row(m, 6), "............111.....");
  EXPECT_EQ(BoxOf(m), (Box{1, 1, 14, 6}));

  // A triangle: the sloped side steps one column per row.
  m.Empty();
  std::vector<TPoint> tri{{0, 0}, {8, 8}, {0, 8}};
  m.DrawPolygon(1, tri.data(), 3);
  EXPECT_EQ(Row(m, 0), std::string(20, '.'));
  EXPECT_EQ(Row(m, 1), "1...................");
  EXPECT_EQ(Row(m, 7), "1111111.............");
  EXPECT_EQ(Row(m, 8), std::string(20, '.'));

  // Value 0 cuts a hole and leaves the box.
  m.Empty();
  m.DrawPolygon(1, square.data(), 4);
  auto hole = Square(2, 2, 5, 5);
  m.DrawPolygon(0, hole.data(), 4);
  EXPECT_EQ(Row(m, 3), "11...11111..........");
  EXPECT_EQ(BoxOf(m), (Box{0, 0, 9, 9}));
}

TEST(TIEMaskTest, DegeneratePolygonWritesNothingAndKeepsTheBox) {
  TIEMask m;
  m.AllocateBits(20, 20, 1);
  std::vector<TPoint> line{{0, 0}, {5, 5}, {10, 10}};
  m.DrawPolygon(1, line.data(), 3);
  EXPECT_TRUE(m.IsEmpty());
  for (int y = 0; y < 20; ++y) EXPECT_EQ(Row(m, y), std::string(20, '.'));

  // A polygon that writes nothing leaves an existing selection's box intact.
  m.SetPixel(15, 15, 1);
  m.DrawPolygon(1, line.data(), 3);
  auto outside = Square(30, 30, 40, 40);
  m.DrawPolygon(1, outside.data(), 4);
  EXPECT_EQ(BoxOf(m), (Box{15, 15, 15, 15}));
  EXPECT_FALSE(m.IsEmpty());
}

TEST(TIEMaskTest, PolygonReachingPastTheMaskFillsOnlyRowsInside) {
  // Each side's span changes from row to row, so rows outside the mask
  // folded into its first or last row would show up as a wider run.
  TIEMask m;
  m.AllocateBits(20, 5, 1);
  std::vector<TPoint> widening{{0, 0}, {20, 20}, {0, 20}};  // row y covers 0..y-1
  m.DrawPolygon(1, widening.data(), 3);
  EXPECT_EQ(Row(m, 4), "1111................");
  EXPECT_EQ(BoxOf(m), (Box{0, 0, 19, 4}));

  m.Empty();
  std::vector<TPoint> narrowing{{0, -15}, {20, -15}, {0, 5}};  // row y covers 0..4-y
  m.DrawPolygon(1, narrowing.data(), 3);
  EXPECT_EQ(Row(m, 0), "11111...............");
  EXPECT_EQ(Row(m, 4), "1...................");

  // Coordinates near the 32-bit limits neither overflow nor take long.
  m.Empty();
  std::vector<TPoint> huge = Square(-2000000000, -2000000000, 2000000000, 2000000000);
  m.DrawPolygon(1, huge.data(), 4);
  for (int y = 0; y < 5; ++y) EXPECT_EQ(Row(m, y), std::string(20, '1'));
  EXPECT_EQ(BoxOf(m), (Box{0, 0, 19, 4}));
  std::vector<TPoint> steep{{-2000000000, -2000000000}, {2000000000, 2000000000}, {-2000000000, 2000000000}};
  m.Empty();
  m.DrawPolygon(1, steep.data(), 3);
  EXPECT_EQ(Row(m, 0), std::string(20, '.'));  // the diagonal passes x = y
  EXPECT_EQ(Row(m, 4), "1111................");
}

TEST(TIEMaskTest, TranslateMovesTheBoxContents) {
  struct Case {
    const char* name;
    int bitcount;
    bool cut;
    int dx, dy, wantDx, wantDy;
    Box box;
    std::vector<std::string> rows;
  };
  // Start: a 12 x 4 mask with pixels at (6..8, 1) and (7, 2); box (6, 1, 8, 2).
  const std::vector<Case> cases{
      {"limited right", 1, false, 5, 0, 3, 0, {9, 1, 11, 2},
       {"............", ".........111", "..........1.", "............"}},
      {"limited up", 8, false, -1, -4, -1, -1, {5, 0, 7, 1},
       {".....111....", "......1.....", "............", "............"}},
      {"cut right and down", 1, true, 4, 2, 4, 2, {10, 3, 11, 3},
       {"............", "............", "............", "..........11"}},
      {"cut left", 8, true, -7, 1, -7, 1, {0, 2, 1, 3},
       {"............", "............", "11..........", "1..........."}},
      {"all out", 1, true, 20, 0, 20, 0, kEmptyBox,
       {"............", "............", "............", "............"}},
      {"no move", 1, false, 0, 0, 0, 0, {6, 1, 8, 2},
       {"............", "......111...", ".......1....", "............"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TIEMask m;
    m.AllocateBits(12, 4, c.bitcount);
    for (int x = 6; x <= 8; ++x) m.SetPixel(x, 1, 200);
    m.SetPixel(7, 2, 200);
    int dx = c.dx, dy = c.dy;
    m.TranslateBitmap(dx, dy, c.cut);
    EXPECT_EQ(dx, c.wantDx);
    EXPECT_EQ(dy, c.wantDy);
    EXPECT_EQ(BoxOf(m), c.box);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(Row(m, y), c.rows[y]) << y;
    if (c.bitcount == 8 && c.rows[2] != "............") EXPECT_EQ(m.GetPixel(c.box.x1, c.box.y1), 200);
  }
}

TEST(TIEMaskTest, TranslateDropsPixelsOutsideTheBox) {
  TIEMask m;
  m.AllocateBits(40, 2, 1);
  m.SetPixel(9, 0, 1);
  m.SetPixel(30, 1, 1);
  m.X1 = 9, m.Y1 = 0, m.X2 = 9, m.Y2 = 0;  // a caller-set box that misses (30, 1)
  int dx = 13, dy = 0;
  m.TranslateBitmap(dx, dy, false);
  EXPECT_EQ(Row(m, 0), "......................1.................");
  EXPECT_EQ(Row(m, 1), std::string(40, '.'));
}

TEST(TIEMaskTest, NegativeInvertsPixelsAndRecomputesTheBox) {
  TIEMask m;
  m.AllocateBits(10, 3, 1);
  m.Negative();  // empty: nothing
  EXPECT_EQ(Row(m, 0), "..........");
  for (int y = 0; y < 3; ++y) m.DrawHorizontalLine(1, 0, 9, y);
  m.DrawHorizontalLine(0, 3, 5, 1);
  m.X1 = 0, m.Y1 = 0, m.X2 = 9, m.Y2 = 2;
  m.Negative();
  EXPECT_EQ(Row(m, 0), "..........");
  EXPECT_EQ(Row(m, 1), "...111....");
  EXPECT_EQ(BoxOf(m), (Box{3, 1, 5, 1}));
  EXPECT_FALSE(m.Full);
  // Padding beyond the 10 pixels stays clear.
  EXPECT_EQ(m.GetScanLine(0)[1], 0);
  EXPECT_EQ(m.GetScanLine(0)[2], 0);

  // Inverting a selection that touches only row 2 column 9 gives the rest.
  m.Empty();
  m.SetPixel(9, 2, 1);
  m.Negative();
  EXPECT_EQ(BoxOf(m), (Box{0, 0, 9, 2}));
  EXPECT_EQ(Row(m, 2), "111111111.");
}

TEST(TIEMaskTest, AssignCopiesBitsBoxAndFull) {
  TIEMask a;
  a.AllocateBits(7, 3, 8);
  a.Fill(255);
  a.SetPixel(2, 1, 255);
  TIEMask b;
  b.Assign(&a);
  EXPECT_EQ(b.Width, 7);
  EXPECT_EQ(b.BitCount, 8);
  EXPECT_EQ(BoxOf(b), (Box{2, 1, 2, 1}));
  EXPECT_TRUE(b.Full);
  EXPECT_EQ(b.GetPixel(6, 2), 255);
  b.Assign(nullptr);
  EXPECT_EQ(b.Width, 7);
}

// A 24-bit bitmap whose pixel (x, y) is (x, y, 100) as red, green, blue.
std::unique_ptr<TBitmap> Gradient(int w, int h) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf24bit);
  bmp->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = bmp->ScanLine(y) + x * 3;
      p[0] = 100, p[1] = static_cast<uint8_t>(y), p[2] = static_cast<uint8_t>(x);
    }
  return bmp;
}
std::unique_ptr<TBitmap> Solid(int w, int h, uint8_t v) {
  auto bmp = Gradient(w, h);
  for (int y = 0; y < h; ++y) std::fill_n(bmp->ScanLine(y), w * 3, v);
  return bmp;
}

TEST(TIEMaskTest, CopyBitmapCopiesSelectedPixelsWithBoxOffsets) {
  TIEMask m;
  m.AllocateBits(8, 8, 1);
  m.SetPixel(2, 3, 1);
  m.SetPixel(4, 5, 1);  // box (2, 3, 4, 5)
  struct Case {
    bool destinationIsBox, sourceIsBox;
    int destSize, srcSize;
    TPoint dest1, src1, dest2, src2;
  };
  for (const Case& c : {Case{false, false, 8, 8, {2, 3}, {2, 3}, {4, 5}, {4, 5}},
                        Case{true, false, 3, 8, {0, 0}, {2, 3}, {2, 2}, {4, 5}},
                        Case{false, true, 8, 3, {2, 3}, {0, 0}, {4, 5}, {2, 2}}}) {
    SCOPED_TRACE(testing::Message() << c.destinationIsBox << c.sourceIsBox);
    auto src = Gradient(c.srcSize, c.srcSize);
    auto dst = Solid(c.destSize, c.destSize, 7);
    m.CopyBitmap(dst.get(), src.get(), c.destinationIsBox, c.sourceIsBox);
    int copied = 0;
    for (int y = 0; y < c.destSize; ++y)
      for (int x = 0; x < c.destSize; ++x) copied += dst->ScanLine(y)[x * 3] != 7;
    EXPECT_EQ(copied, 2);
    for (auto [d, s] : {std::pair{c.dest1, c.src1}, {c.dest2, c.src2}}) {
      const uint8_t* p = dst->ScanLine(d.y) + d.x * 3;
      EXPECT_EQ(p[2], s.x);
      EXPECT_EQ(p[1], s.y);
    }
  }
  // Bitmaps smaller than the box are touched only where they exist.
  auto tiny = Solid(3, 3, 7);
  auto src = Gradient(8, 8);
  m.CopyBitmap(tiny.get(), src.get(), false, false);
  EXPECT_EQ(tiny->ScanLine(2)[2 * 3], 7);
}

TEST(TIEMaskTest, CopyBitmapBlendsThroughAnAlphaMask) {
  struct Case {
    uint8_t d, s, v, want;
  };
  const std::vector<Case> cases{{0, 255, 128, 127}, {200, 100, 128, 150}, {10, 11, 255, 10},
                                {10, 0, 255, 0},    {90, 200, 0, 90},     {255, 0, 1, 254},
                                {0, 255, 255, 254}};
  TIEMask m;
  m.AllocateBits(static_cast<int>(cases.size()), 1, 8);
  auto src = Solid(m.Width, 1, 0);
  auto dst = Solid(m.Width, 1, 0);
  for (int x = 0; x < m.Width; ++x) {
    m.SetPixel(x, 0, cases[x].v);
    std::fill_n(src->ScanLine(0) + x * 3, 3, cases[x].s);
    std::fill_n(dst->ScanLine(0) + x * 3, 3, cases[x].d);
  }
  m.CopyBitmap(dst.get(), src.get(), false, false);
  for (int x = 0; x < m.Width; ++x)
    for (int c = 0; c < 3; ++c)
      EXPECT_EQ(dst->ScanLine(0)[x * 3 + c], cases[x].want)
          << int(cases[x].d) << " " << int(cases[x].s) << " " << int(cases[x].v);
}

TEST(TIEMaskTest, CopyBitmapCopiesBitsBetweenMonochromeBitmaps) {
  auto mono = [](int w, int h, uint8_t fill) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf1bit);
    b->SetSize(w, h);
    for (int y = 0; y < h; ++y) std::fill_n(b->ScanLine(y), (w + 7) / 8, fill);
    return b;
  };
  for (int depth : {1, 8}) {
    SCOPED_TRACE(depth);
    TIEMask m;
    m.AllocateBits(16, 2, depth);
    m.DrawHorizontalLine(1, 3, 10, 1);
    m.SetPixel(3, 1, 1);
    m.SetPixel(10, 1, 1);
    m.SetPixel(5, 1, 0);  // unselected inside the box
    auto src = mono(16, 2, 0xFF);
    auto dst = mono(16, 2, 0x00);
    m.CopyBitmap(dst.get(), src.get(), false, false);
    EXPECT_EQ(dst->ScanLine(1)[0], 0b00011011);
    EXPECT_EQ(dst->ScanLine(1)[1], 0b11100000);
    EXPECT_EQ(dst->ScanLine(0)[0], 0);
  }
  // Mixed depths copy nothing.
  TIEMask m;
  m.AllocateBits(4, 4, 1);
  m.SetPixel(0, 0, 1);
  auto src = mono(4, 4, 0xFF);
  auto dst = Solid(4, 4, 7);
  m.CopyBitmap(dst.get(), src.get(), false, false);
  EXPECT_EQ(dst->ScanLine(0)[0], 7);
}

}  // namespace

namespace {

// Each pixel of a 24-bit bitmap as 'R' (red), 'B' (blue), '.' (white) or '#' (other).
std::vector<std::string> Picture(TBitmap& bmp) {
  std::vector<std::string> rows;
  for (int y = 0; y < bmp.GetHeight(); ++y) {
    std::string s;
    for (int x = 0; x < bmp.GetWidth(); ++x) {
      const uint8_t* p = bmp.ScanLine(y) + x * 3;
      const int bgr = (p[0] << 16) | (p[1] << 8) | p[2];
      s += bgr == 0x0000FF ? 'R' : bgr == 0xFF0000 ? 'B' : bgr == 0xFFFFFF ? '.' : '#';
    }
    rows.push_back(s);
  }
  return rows;
}

// The dash colour of canvas pixel (x, y): bit 2 of phase + x + y picks colour 1.
char Dash(int phase, int x, int y) { return ((phase + x + y) & 4) ? 'R' : 'B'; }

TEST(TIEMaskDrawingTest, OutlineDrawsTheBorderOfTheSelectionInMovingDashes) {
  TIEMask m;
  m.AllocateBits(10, 10, 1);
  auto square = Square(2, 3, 6, 7);  // columns 2..5, rows 3..6
  m.DrawPolygon(1, square.data(), 4);
  struct Case {
    const char* name;
    int canvasSize, xSrc, dxSrc, zoom, phase;
  };
  for (const Case& c : {Case{"1:1", 10, 0, 10, 1, 0}, Case{"1:1 phase 4", 10, 0, 10, 1, 4},
                        Case{"zoom 2", 20, 0, 10, 2, 1}}) {
    SCOPED_TRACE(c.name);
    auto bmp = Solid(c.canvasSize, c.canvasSize, 255);
    m.DrawOutline(bmp->GetCanvas(), 0, 0, c.canvasSize, c.canvasSize, c.xSrc, 0, c.dxSrc, 10,
                  c.phase, clRed, clBlue);
    const auto rows = Picture(*bmp);
    for (int y = 0; y < c.canvasSize; ++y)
      for (int x = 0; x < c.canvasSize; ++x) {
        const int mx = x / c.zoom, my = y / c.zoom;
        const bool inSquare = mx >= 2 && mx <= 5 && my >= 3 && my <= 6;
        // The ring one destination pixel wide just inside the square's edge.
        const bool ring = inSquare && (x == 2 * c.zoom || x == 6 * c.zoom - 1 ||
                                       y == 3 * c.zoom || y == 7 * c.zoom - 1);
        EXPECT_EQ(rows[y][x], ring ? Dash(c.phase, x, y) : '.') << x << "," << y;
      }
  }
  // A selection that continues left of the view has no border at the view's edge.
  m.Empty();
  auto wide = Square(0, 3, 6, 7);
  m.DrawPolygon(1, wide.data(), 4);
  auto bmp = Solid(9, 10, 255);
  m.DrawOutline(bmp->GetCanvas(), 0, 0, 9, 10, 1, 0, 9, 10, 0, clRed, clBlue);
  const auto rows = Picture(*bmp);
  const std::string row3{'.', Dash(0, 1, 3), Dash(0, 2, 3), Dash(0, 3, 3), Dash(0, 4, 3), '.'};
  const std::string row4{'.', '.', '.', '.', Dash(0, 4, 4), '.'};
  EXPECT_EQ(rows[3].substr(0, 6), row3);
  EXPECT_EQ(rows[4].substr(0, 6), row4);
  // Nothing on an empty mask or an empty destination.
  m.Empty();
  auto blank = Solid(10, 10, 255);
  m.DrawOutline(blank->GetCanvas(), 0, 0, 10, 10, 0, 0, 10, 10, 0, clRed, clBlue);
  m.SetPixel(4, 4, 1);
  m.DrawOutline(blank->GetCanvas(), 0, 0, 0, 10, 0, 0, 10, 10, 0, clRed, clBlue);
  for (const std::string& row : Picture(*blank)) EXPECT_EQ(row, std::string(10, '.'));
}

TEST(TIEMaskDrawingTest, InvertCanvasInvertsSelectedPixelsAndTwiceRestores) {
  TIEMask m;
  m.AllocateBits(4, 6, 1);
  m.SetPixel(1, 2, 1);
  m.SetPixel(3, 3, 1);
  m.SetPixel(0, 5, 1);
  auto bmp = Solid(8, 4, 255);
  // Mask rows 2..3 (given top-down) stretched twice as large onto the canvas.
  m.InvertCanvas(bmp->GetCanvas(), 0, 0, 8, 4, 0, 2, 4, 2);
  EXPECT_EQ(Picture(*bmp), (std::vector<std::string>{"..##....", "..##....", "......##", "......##"}));
  EXPECT_EQ(bmp->ScanLine(0)[2 * 3], 0);  // white inverted to black
  m.InvertCanvas(bmp->GetCanvas(), 0, 0, 8, 4, 0, 2, 4, 2);
  for (const std::string& row : Picture(*bmp)) EXPECT_EQ(row, std::string(8, '.'));
  // An 8-bit mask or an empty one draws nothing.
  TIEMask alpha;
  alpha.AllocateBits(4, 6, 8);
  alpha.SetPixel(0, 0, 255);
  alpha.InvertCanvas(bmp->GetCanvas(), 0, 0, 8, 4, 0, 0, 4, 6);
  m.Empty();
  m.InvertCanvas(bmp->GetCanvas(), 0, 0, 8, 4, 0, 0, 4, 6);
  for (const std::string& row : Picture(*bmp)) EXPECT_EQ(row, std::string(8, '.'));
}

}  // namespace
