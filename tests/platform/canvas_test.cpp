#include "platform/canvas.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

std::unique_ptr<TBitmap> MakeBitmap(int w, int h, TPixelFormat format = pf24bit) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(format);
  b->SetSize(w, h);
  return b;
}

// The bitmap as a character grid: '#' where the pixel has `color`.
std::string Grid(TBitmap& b, TColor color) {
  std::string out;
  for (int y = 0; y < b.GetHeight(); ++y) {
    for (int x = 0; x < b.GetWidth(); ++x) out += b.GetCanvas()->GetPixel(x, y) == color ? '#' : '.';
    out += '\n';
  }
  return out;
}

int Count(TBitmap& b, TColor color) {
  int n = 0;
  for (int y = 0; y < b.GetHeight(); ++y)
    for (int x = 0; x < b.GetWidth(); ++x) n += b.GetCanvas()->GetPixel(x, y) == color;
  return n;
}

std::vector<uint8_t> Bytes(TBitmap& b) {
  std::vector<uint8_t> out;
  for (int y = 0; y < b.GetHeight(); ++y) {
    const uint8_t* row = b.ScanLine(y);
    out.insert(out.end(), row, row + (b.GetWidth() * b.Image().depth() + 7) / 8);
  }
  return out;
}

TEST(Canvas, LinesLeaveOutTheirEndPoint) {
  struct Case {
    TPoint from, to;
    int pixels;
  } cases[] = {{{1, 1}, {8, 1}, 7}, {{8, 1}, {1, 1}, 7}, {{2, 0}, {2, 9}, 9}, {{0, 0}, {6, 6}, 6}, {{7, 2}, {1, 5}, 6}};
  for (const Case& c : cases) {
    auto b = MakeBitmap(10, 10);
    TCanvas* canvas = b->GetCanvas();
    canvas->MoveTo(c.from.x, c.from.y);
    canvas->LineTo(c.to.x, c.to.y);
    EXPECT_EQ(Count(*b, clBlack), c.pixels) << c.to.x << "," << c.to.y;
    EXPECT_EQ(canvas->GetPixel(c.from.x, c.from.y), clBlack);
    EXPECT_EQ(canvas->GetPixel(c.to.x, c.to.y), clWhite);
    EXPECT_EQ(canvas->PenPos, c.to);
  }
}

TEST(Canvas, ShapesStayInsideTheirBoxWithoutRightAndBottomEdges) {
  auto b = MakeBitmap(10, 8);
  TCanvas* c = b->GetCanvas();
  c->Brush->Color = clRed;
  c->FillRect(Rect(0, 0, 10, 8));
  c->Brush->Color = clBlue;
  c->Rectangle(2, 1, 7, 6);
  EXPECT_EQ(Grid(*b, clRed),
            "##########\n"
            "##.....###\n"
            "##.....###\n"
            "##.....###\n"
            "##.....###\n"
            "##.....###\n"
            "##########\n"
            "##########\n");
  EXPECT_EQ(Count(*b, clBlack), 16);
  EXPECT_EQ(Count(*b, clBlue), 9);

  for (int shape = 0; shape < 3; ++shape) {
    auto e = MakeBitmap(12, 12);
    TCanvas* ec = e->GetCanvas();
    ec->Brush->Color = clBlue;
    if (shape == 0) ec->Ellipse(2, 3, 10, 9);
    if (shape == 1) ec->RoundRect(2, 3, 10, 9, 4, 4);
    if (shape == 2) ec->Polygon({{2, 3}, {9, 3}, {9, 8}, {2, 8}});
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) {
        bool inside = x >= 2 && x < 10 && y >= 3 && y < 9;
        if (!inside) {
          EXPECT_EQ(ec->GetPixel(x, y), clWhite) << shape << " " << x << "," << y;
        }
      }
    EXPECT_GT(Count(*e, clBlue), 8) << shape;
    EXPECT_EQ(ec->GetPixel(2, 5), clBlack) << shape;
    EXPECT_EQ(ec->GetPixel(9, 5), clBlack) << shape;
  }
}

TEST(Canvas, FillRectFrameRectAndClearPens) {
  auto b = MakeBitmap(6, 6);
  TCanvas* c = b->GetCanvas();
  c->Brush->Color = clGreen;
  c->FillRect(Rect(4, 4, 1, 1));  // corners in any order
  EXPECT_EQ(Count(*b, clGreen), 9);
  c->Brush->Color = clRed;
  c->FrameRect(Rect(0, 0, 6, 6));
  EXPECT_EQ(Count(*b, clRed), 20);
  c->Pen->Style = psClear;
  c->Brush->Color = clBlue;
  c->Rectangle(1, 1, 3, 3);
  EXPECT_EQ(Count(*b, clBlue), 4);
}

using Draw = std::function<void(TCanvas*)>;

TEST(Canvas, InvertingPenModesDrawnTwiceRestoreThePicture) {
  const Draw shapes[] = {
      [](TCanvas* c) { c->MoveTo(0, 0), c->LineTo(13, 9); },
      [](TCanvas* c) { c->Rectangle(1, 1, 12, 9); },
      [](TCanvas* c) { c->Ellipse(0, 0, 14, 10); },
      [](TCanvas* c) { c->RoundRect(0, 0, 14, 10, 6, 6); },
      [](TCanvas* c) { c->Polygon({{1, 1}, {12, 2}, {3, 9}, {10, 8}}); },
      [](TCanvas* c) { c->Polyline({{0, 5}, {6, 0}, {13, 9}, {2, 9}}); },
      [](TCanvas* c) { c->PolyBezier({{0, 0}, {3, 12}, {10, -3}, {13, 9}}); },
      [](TCanvas* c) { c->DrawFocusRect(Rect(1, 1, 12, 9)); },
  };
  for (TPixelFormat f : {pf1bit, pf8bit, pf16bit, pf24bit, pf32bit}) {
    for (TPenMode mode : {pmXor, pmNot, pmNotXor}) {
      for (int width : {1, 3}) {
        for (size_t s = 0; s < std::size(shapes); ++s) {
          auto b = MakeBitmap(14, 10, f);
          TCanvas* c = b->GetCanvas();
          for (int i = 0; i < 14; ++i) c->SetPixel(i, (i * 7) % 10, RGB(i * 18, 200 - i * 9, 77));
          std::vector<uint8_t> before = Bytes(*b);
          c->Pen->Mode = mode;
          c->Pen->Width = width;
          c->Pen->Color = clAqua;
          c->Brush->Color = clFuchsia;
          shapes[s](c);
          // On 1 bit one of XOR and NOT-XOR with a given pen leaves pixels alone.
          if (f != pf1bit || mode == pmNot) {
            EXPECT_NE(Bytes(*b), before) << f << " " << mode << " " << s;
          }
          shapes[s](c);
          EXPECT_EQ(Bytes(*b), before) << f << " " << mode << " width " << width << " shape " << s;
        }
      }
    }
  }
}

TEST(Canvas, HatchedBrushesDrawTheirLinesOnly) {
  struct Case {
    TBrushStyle style;
    int pixels;  // of a 16 x 16 fill
  } cases[] = {{bsSolid, 256}, {bsClear, 0},      {bsHorizontal, 32}, {bsVertical, 32},
               {bsFDiagonal, 32}, {bsBDiagonal, 32}, {bsCross, 60},      {bsDiagCross, 64}};
  for (const Case& c : cases) {
    auto b = MakeBitmap(16, 16);
    TCanvas* canvas = b->GetCanvas();
    canvas->Brush->Color = clNavy;
    canvas->Brush->Style = c.style;
    canvas->FillRect(Rect(0, 0, 16, 16));
    EXPECT_EQ(Count(*b, clNavy), c.pixels) << c.style;
    EXPECT_EQ(Count(*b, clWhite), 256 - c.pixels) << c.style;
  }
  auto b = MakeBitmap(16, 16);
  b->GetCanvas()->Brush->Style = bsHorizontal;
  b->GetCanvas()->Brush->Color = clNavy;
  b->GetCanvas()->FillRect(Rect(0, 0, 16, 16));
  EXPECT_EQ(b->GetCanvas()->GetPixel(5, 8), clNavy);
  EXPECT_EQ(b->GetCanvas()->GetPixel(5, 9), clWhite);
}

TEST(Canvas, DashedPensFillGapsOnlyOverASolidBrush) {
  for (TBrushStyle brush : {bsSolid, bsClear}) {
    auto b = MakeBitmap(13, 1);
    TCanvas* c = b->GetCanvas();
    c->Brush->Color = clRed;
    c->Brush->Style = brush;
    c->Pen->Style = psDot;
    c->MoveTo(0, 0);
    c->LineTo(13, 0);
    EXPECT_EQ(Grid(*b, clBlack), "###...###...#\n");
    EXPECT_EQ(Count(*b, clRed), brush == bsSolid ? 6 : 0);
  }
}

TEST(Canvas, WideAndMappedPens) {
  auto b = MakeBitmap(20, 20);
  TCanvas* c = b->GetCanvas();
  c->Pen->Width = 3;
  c->MoveTo(2, 10);
  c->LineTo(17, 10);
  EXPECT_EQ(c->GetPixel(10, 9), clBlack);
  EXPECT_EQ(c->GetPixel(10, 11), clBlack);
  EXPECT_EQ(c->GetPixel(10, 13), clWhite);

  // Everything drawn doubles under a 2:1 mapping.
  auto m = MakeBitmap(20, 20);
  TCanvas* mc = m->GetCanvas();
  mc->MapMode = MM_ANISOTROPIC;
  mc->WindowExt = {100, 100};
  mc->ViewportExt = {200, 200};
  mc->Brush->Color = clBlack;
  mc->FillRect(Rect(1, 1, 3, 4));
  EXPECT_EQ(mc->GetPixel(1, 1), clBlack);  // logical (1,1) is device (2,2)
  mc->MapMode = MM_TEXT;
  EXPECT_EQ(Count(*m, clBlack), 4 * 6);
  EXPECT_EQ(mc->GetPixel(2, 2), clBlack);
  EXPECT_EQ(mc->GetPixel(1, 1), clWhite);
}

TEST(Canvas, PalettedBitmapsTakeTheNearestEntry) {
  auto b8 = MakeBitmap(4, 4, pf8bit);
  TCanvas* c8 = b8->GetCanvas();
  c8->Brush->Color = clRed;
  c8->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(c8->GetPixel(1, 1), clRed);
  c8->SetPixel(3, 3, RGB(250, 4, 3));
  EXPECT_EQ(c8->GetPixel(3, 3), clRed);
  EXPECT_EQ(b8->GetPixelFormat(), pf8bit);

  auto b1 = MakeBitmap(9, 2, pf1bit);
  TCanvas* c1 = b1->GetCanvas();
  c1->Pen->Color = RGB(60, 60, 60);
  c1->MoveTo(0, 0);
  c1->LineTo(9, 0);
  c1->Pen->Color = RGB(200, 200, 200);
  c1->MoveTo(0, 1);
  c1->LineTo(9, 1);
  EXPECT_EQ(Grid(*b1, clBlack), "#########\n.........\n");
  EXPECT_EQ(b1->ScanLine(0)[0], 0);
  EXPECT_EQ(b1->ScanLine(1)[0], 0xFF);
}

TEST(Canvas, TextIsDrawnRotatedAndAligned) {
  auto b = MakeBitmap(120, 120);
  TCanvas* c = b->GetCanvas();
  c->Font->Name = "Arial";
  c->Font->Height = -16;
  c->Brush->Style = bsClear;
  TSize size = c->TextExtent("Wide text");
  EXPECT_GT(size.cx, size.cy);
  EXPECT_EQ(c->TextHeight("Ay"), size.cy);
  c->TextOut(10, 10, "Wide text");
  int ink = Count(*b, clBlack);
  EXPECT_GT(ink, 20);
  EXPECT_LT(ink, size.cx * size.cy);
  // All ink lies in the text's cell.
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 120; ++x)
      if (c->GetPixel(x, y) == clBlack) {
        EXPECT_GE(x, 10);
        EXPECT_LT(x, 10 + size.cx);
        EXPECT_GE(y, 10);
        EXPECT_LT(y, 10 + size.cy);
      }

  // Turned by 90 degrees the text reads upwards from its origin.
  auto r = MakeBitmap(120, 120);
  TCanvas* rc = r->GetCanvas();
  rc->Font->Assign(c->Font);
  rc->Font->Orientation = 900;
  rc->Brush->Style = bsClear;
  rc->TextOut(50, 100, "Wide text");
  int minX = 999, maxX = -1, minY = 999, maxY = -1;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 120; ++x)
      if (rc->GetPixel(x, y) == clBlack) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
      }
  EXPECT_GT(maxY - minY, maxX - minX);
  EXPECT_LE(maxY, 100);
  EXPECT_GE(minX, 50);

  // Centred text straddles its x; an opaque canvas fills the cell.
  auto t = MakeBitmap(100, 30);
  TCanvas* tc = t->GetCanvas();
  tc->Font->Assign(c->Font);
  tc->Brush->Color = clYellow;
  tc->TextAlign = TA_CENTER;
  tc->TextOut(50, 5, "Wide text");
  EXPECT_EQ(tc->GetPixel(50 - size.cx / 2, 6), clYellow);
  EXPECT_EQ(tc->GetPixel(50 - size.cx / 2 - 2, 6), clWhite);
}

TEST(Canvas, ChineseTextDrawsInk) {
  auto b = MakeBitmap(80, 30);
  TCanvas* c = b->GetCanvas();
  c->Font->Name = "宋体";
  c->Font->SetSize(12);
  c->Font->Color = clRed;
  c->TextOut(0, 0, "姓名单位");
  EXPECT_GT(Count(*b, clRed), 30);
  EXPECT_EQ(c->Font->GetSize(), 12);
  EXPECT_EQ(c->Font->Height, -16);
}

TEST(Canvas, PicturesAreCopiedScaledMirroredAndTransparent) {
  auto small = MakeBitmap(2, 2);
  TCanvas* sc = small->GetCanvas();
  sc->SetPixel(0, 0, clRed);
  sc->SetPixel(1, 1, clBlue);

  auto b = MakeBitmap(6, 4);
  TCanvas* c = b->GetCanvas();
  c->StretchDraw(Rect(0, 0, 4, 4), small.get());
  EXPECT_EQ(Grid(*b, clRed), "##....\n##....\n......\n......\n");
  EXPECT_EQ(Count(*b, clBlue), 4);

  // Mirrored copy: the red pixel moves to the right.
  auto m = MakeBitmap(2, 2);
  m->GetCanvas()->CopyRect(Rect(2, 0, 0, 2), sc, Rect(0, 0, 2, 2));
  EXPECT_EQ(m->GetCanvas()->GetPixel(1, 0), clRed);
  EXPECT_EQ(m->GetCanvas()->GetPixel(0, 1), clBlue);

  // A transparent bitmap leaves out its bottom-left colour (white here).
  auto t = MakeBitmap(3, 3);
  t->GetCanvas()->Brush->Color = clGreen;
  t->GetCanvas()->FillRect(Rect(0, 0, 3, 3));
  small->Transparent = true;
  t->GetCanvas()->Draw(1, 1, small.get());
  EXPECT_EQ(Grid(*t, clGreen), "###\n#.#\n##.\n");
  EXPECT_EQ(t->GetCanvas()->GetPixel(1, 1), clRed);
  EXPECT_EQ(t->GetCanvas()->GetPixel(2, 2), clBlue);
  // Stretched, it leaves out the same colour: a seal drawn into a larger
  // item shows no box around it.
  auto s = MakeBitmap(4, 4);
  s->GetCanvas()->Brush->Color = clGreen;
  s->GetCanvas()->FillRect(Rect(0, 0, 4, 4));
  s->GetCanvas()->StretchDraw(Rect(0, 0, 4, 4), small.get());
  EXPECT_EQ(Grid(*s, clGreen), "..##\n..##\n##..\n##..\n");
  EXPECT_EQ(s->GetCanvas()->GetPixel(0, 0), clRed);
  EXPECT_EQ(s->GetCanvas()->GetPixel(3, 3), clBlue);
  sc->SetPixel(0, 1, clBlack);
  t->GetCanvas()->Draw(1, 1, small.get());
  EXPECT_EQ(t->GetCanvas()->GetPixel(2, 1), clWhite);
  EXPECT_EQ(t->GetCanvas()->GetPixel(1, 2), clGreen);

  // Inverting copies twice restore; blackness ignores the source.
  std::vector<uint8_t> before = Bytes(*b);
  c->CopyMode = cmSrcInvert;
  c->CopyRect(Rect(1, 1, 5, 3), sc, Rect(0, 0, 2, 2));
  EXPECT_NE(Bytes(*b), before);
  c->CopyRect(Rect(1, 1, 5, 3), sc, Rect(0, 0, 2, 2));
  EXPECT_EQ(Bytes(*b), before);
  c->CopyMode = cmBlackness;
  c->CopyRect(Rect(0, 0, 6, 4), nullptr, Rect(0, 0, 1, 1));
  EXPECT_EQ(Count(*b, clBlack), 0);  // no source canvas: nothing
  c->Blit(0, 0, 6, 4, TPixelSurface(), 0, 0, 0, 0, cmBlackness);
  EXPECT_EQ(Count(*b, clBlack), 24);
}

TEST(Canvas, ClippingLimitsDrawing) {
  auto b = MakeBitmap(8, 8);
  TCanvas* c = b->GetCanvas();
  c->Brush->Color = clBlack;
  c->IntersectClipRect(Rect(2, 2, 6, 6));
  c->ExcludeClipRect(Rect(3, 3, 5, 5));
  EXPECT_EQ(c->GetClipRect(), Rect(2, 2, 6, 6));
  c->FillRect(Rect(0, 0, 8, 8));
  EXPECT_EQ(Count(*b, clBlack), 12);
  EXPECT_EQ(c->GetPixel(3, 3), -1);
  c->SelectClipRegion(nullptr);
  EXPECT_EQ(c->GetClipRect(), Rect(0, 0, 8, 8));
  EXPECT_EQ(c->GetPixel(3, 3), clWhite);
  EXPECT_EQ(c->GetPixel(8, 0), -1);
}

}  // namespace
