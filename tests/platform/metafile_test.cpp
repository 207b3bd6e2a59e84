#include "platform/metafile.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/metafilebytes.h"
#include "platform/canvas.h"
#include "platform/extctrls.h"
#include "platform/picture.h"
#include "support/streambytes.h"
#include "support/testenv.h"

namespace {

using cwtest::EmfBuilder;
using cwtest::MetaBytes;
using cwtest::MetaPayload;
using cwtest::WmfBuilder;

constexpr int32_t kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kWhite = 0xFFFFFF;
constexpr int32_t kNullPen = int32_t(0x80000008);
// EMF record types.
constexpr uint32_t kEmrCreatePen = 38, kEmrCreateBrush = 39, kEmrSelect = 37, kEmrRectangle = 43,
                   kEmrMoveTo = 27, kEmrLineTo = 54, kEmrSetWorldTransform = 35, kEmrStretchDIBits = 81,
                   kEmrCreateFont = 82, kEmrExtTextOutW = 84, kEmrSetTextColor = 24, kEmrSetBkMode = 18,
                   kEmrPolygon16 = 86;
// WMF functions.
constexpr uint16_t kSetWindowOrg = 0x020B, kSetWindowExt = 0x020C, kCreateBrush = 0x02FC, kCreatePen = 0x02FA,
                   kSelect = 0x012D, kRectangle = 0x041B, kStretchDib = 0x0F43, kCreateFont = 0x02FB,
                   kExtTextOut = 0x0A32, kPolygon = 0x0324, kPolyPolygon = 0x0538, kSetBkMode = 0x0102;

void Load(TMetafile& mf, const MetaBytes& bytes) {
  TMemoryStream stream;
  cwtest::Fill(stream, bytes);
  mf.LoadFromStream(&stream);
}

// A white bitmap with the metafile stretched over `r`.
struct Drawn {
  TBitmap bitmap;
  Drawn(TMetafile& mf, int w, int h, TRect r, int32_t paper = kWhite) {
    bitmap.SetSize(w, h);
    bitmap.GetCanvas()->Brush->Color = paper;
    bitmap.GetCanvas()->FillRect({0, 0, w, h});
    bitmap.GetCanvas()->StretchDraw(r, &mf);
  }
  int32_t At(int x, int y) { return bitmap.GetCanvas()->GetPixel(x, y); }
  int Count(int32_t colour, TRect area) {
    int n = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
      for (int x = area.Left; x < area.Right; ++x) n += At(x, y) == colour;
    return n;
  }
};

// A red box (no outline) at (20, 10)-(60, 30) of a 100 x 50 EMF.
MetaBytes EmfRedBox() {
  return EmfBuilder(100, 50)
      .Record(kEmrCreateBrush, {1, 0, kRed, 0})
      .Record(kEmrSelect, {1})
      .Record(kEmrSelect, {kNullPen})
      .Record(kEmrRectangle, {20, 10, 60, 30})
      .Finish();
}

// The same picture as a placeable WMF whose logical units are twice as fine.
MetaBytes WmfRedBox() {
  return WmfBuilder(0, 0, 200, 100, 192)
      .Record(kSetWindowOrg, {0, 0})
      .Record(kSetWindowExt, {100, 200})
      .Record(kCreateBrush, MetaPayload().I16({0}).I32({kRed}).I16({0}))
      .Record(kSelect, {0})
      .Record(kCreatePen, MetaPayload().I16({5, 0, 0}).I32({0}))
      .Record(kSelect, {1})
      .Record(kRectangle, {60, 120, 20, 40})
      .Finish();
}

TEST(MetafileTest, BothKindsDrawABoxTransparentlyAtTheirSize) {
  struct Case {
    const char* name;
    MetaBytes bytes;
    bool enhanced;
  };
  for (const Case& c : {Case{"emf", EmfRedBox(), true}, Case{"wmf", WmfRedBox(), false}}) {
    SCOPED_TRACE(c.name);
    TMetafile mf;
    Load(mf, c.bytes);
    EXPECT_EQ(mf.Enhanced, c.enhanced);
    EXPECT_EQ(mf.GetWidth(), 100);
    EXPECT_EQ(mf.GetHeight(), 50);
    EXPECT_NEAR(mf.MMWidth, 2646, 1);  // 100 pixels at 96 dpi in 0.01 mm

    // Drawn at its size over a blue picture: blue stays around the box.
    Drawn same(mf, 100, 50, {0, 0, 100, 50}, kBlue);
    EXPECT_EQ(same.At(21, 11), kRed);
    EXPECT_EQ(same.At(58, 28), kRed);
    EXPECT_EQ(same.At(19, 11), kBlue);
    EXPECT_EQ(same.At(61, 20), kBlue);
    EXPECT_EQ(same.Count(kRed, {0, 0, 100, 50}), 40 * 20);

    // Stretched to twice the size at an offset.
    Drawn twice(mf, 300, 200, {10, 20, 210, 120});
    EXPECT_EQ(twice.At(10 + 41, 20 + 21), kRed);
    EXPECT_EQ(twice.At(10 + 118, 20 + 58), kRed);
    EXPECT_EQ(twice.At(10 + 38, 20 + 30), kWhite);
    EXPECT_EQ(twice.At(10 + 122, 20 + 30), kWhite);
  }
}

// An XFORM: six floats.
MetaPayload XForm(std::initializer_list<float> values) {
  MetaPayload p;
  for (float f : values) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    p.I32({int32_t(bits)});
  }
  return p;
}

TEST(MetafileTest, EmfLinesTransformsAndPolygons) {
  TMetafile mf;
  Load(mf, EmfBuilder(100, 100)
               .Record(kEmrCreatePen, {1, 0, 1, 0, kBlue})
               .Record(kEmrSelect, {1})
               .Record(kEmrMoveTo, {10, 5})
               .Record(kEmrLineTo, {90, 5})
               // Doubled by the world transform: a green square at (40, 40)-(60, 60).
               .Record(kEmrCreateBrush, {2, 0, kGreen, 0})
               .Record(kEmrSelect, {2})
               .Record(kEmrSelect, {kNullPen})
               .Record(kEmrSetWorldTransform, XForm({2, 0, 0, 2, 0, 0}))
               .Record(kEmrRectangle, {20, 20, 30, 30})
               .Record(kEmrSetWorldTransform, XForm({1, 0, 0, 1, 0, 0}))
               // A 16-bit triangle.
               .Record(kEmrPolygon16, MetaPayload().I32({0, 0, 0, 0, 3}).I16({10, 70, 30, 70, 10, 90}))
               .Finish());
  Drawn d(mf, 100, 100, {0, 0, 100, 100});
  EXPECT_EQ(d.At(10, 5), kBlue);
  EXPECT_EQ(d.At(50, 5), kBlue);
  EXPECT_EQ(d.At(50, 6), kWhite);
  EXPECT_EQ(d.At(41, 41), kGreen);
  EXPECT_EQ(d.At(58, 58), kGreen);
  EXPECT_EQ(d.At(62, 50), kWhite);
  EXPECT_EQ(d.At(13, 73), kGreen);
  EXPECT_EQ(d.At(28, 88), kWhite);
}

MetaPayload LogFontW(int32_t index, int32_t height, const std::u16string& face) {
  MetaPayload p;
  p.I32({index, height, 0, 0, 0, 400}).I32({0, 0});  // italic .. pitch bytes all 0
  for (size_t i = 0; i < 32; ++i) p.I16({int16_t(i < face.size() ? face[i] : 0)});
  return p;
}

TEST(MetafileTest, TextOfBothKindsIsDrawnInItsColour) {
  // EMF: "Ab" in UTF-16.
  MetaPayload text;
  const std::u16string ab = u"Ab";
  text.I32({0, 0, 0, 0, 1, 0, 0, 10, 10, int32_t(ab.size()), 76, 0, 0, 0, 0, 0, 0});
  for (char16_t ch : ab) text.I16({int16_t(ch)});
  text.Pad(4);
  MetaBytes emf = EmfBuilder(100, 60)
                      .Record(kEmrCreateFont, LogFontW(1, -30, u"Arial"))
                      .Record(kEmrSelect, {1})
                      .Record(kEmrSetTextColor, {kRed})
                      .Record(kEmrSetBkMode, {1})
                      .Record(kEmrExtTextOutW, text)
                      .Finish();
  // WMF: "中" in GBK, with the font's face in GBK too.
  MetaPayload font;
  font.I16({-30, 0, 0, 0, 400}).I16({0, 0, 0, 0}).Raw({0xCB, 0xCE, 0xCC, 0xE5, 0});  // 宋体
  MetaBytes wmf = WmfBuilder(0, 0, 100, 60, 96)
                      .Record(kCreateFont, font)
                      .Record(kSelect, {0})
                      .Record(0x0209, MetaPayload().I32({kRed}))
                      .Record(kSetBkMode, {1})
                      .Record(kExtTextOut, MetaPayload().I16({10, 10, 2, 0}).Raw({0xD6, 0xD0}))
                      .Finish();
  for (const MetaBytes& bytes : {emf, wmf}) {
    TMetafile mf;
    Load(mf, bytes);
    Drawn d(mf, 100, 60, {0, 0, 100, 60});
    EXPECT_GT(d.Count(kRed, {8, 8, 70, 50}), 20);
    EXPECT_EQ(d.Count(kRed, {0, 0, 100, 60}), d.Count(kRed, {8, 8, 70, 50}));
    // Antialiased edges are red laid partly over the white paper.
    int edges = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x) {
        int32_t c = d.At(x, y);
        if (c == kRed || c == kWhite) continue;
        ++edges;
        EXPECT_TRUE(x >= 8 && x < 70 && y >= 8 && y < 50) << x << "," << y;
        EXPECT_EQ(c & 0xFF, 0xFF) << std::hex << c;
        EXPECT_EQ((c >> 8) & 0xFF, (c >> 16) & 0xFF) << std::hex << c;
      }
    EXPECT_GT(edges, 0);
  }
}

TEST(MetafileTest, DibRecordsKeepTheirRowOrder) {
  // 2 x 2: red, green on top; blue, white below.
  const MetaBytes dib = cwtest::Dib24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
  const int32_t topLeft = kRed, topRight = kGreen, bottomLeft = kBlue;
  // EMF StretchDIBits: 2 x 2 source into (10, 10)-(50, 50).
  MetaPayload stretch;
  stretch.I32({0, 0, 0, 0, 10, 10, 0, 0, 2, 2, 80, 40, 120, int32_t(dib.size() - 40), 0, 0x00CC0020, 40, 40});
  stretch.Raw(dib);
  MetaBytes emf = EmfBuilder(60, 60).Record(kEmrStretchDIBits, stretch).Finish();
  MetaBytes wmf = WmfBuilder(0, 0, 60, 60, 96)
                      .Record(kStretchDib, MetaPayload().I32({0x00CC0020}).I16({0, 2, 2, 0, 0, 40, 40, 10, 10}).Raw(dib))
                      .Finish();
  for (const MetaBytes& bytes : {emf, wmf}) {
    TMetafile mf;
    Load(mf, bytes);
    Drawn d(mf, 60, 60, {0, 0, 60, 60});
    EXPECT_EQ(d.At(15, 15), topLeft);
    EXPECT_EQ(d.At(45, 15), topRight);
    EXPECT_EQ(d.At(15, 45), bottomLeft);
    EXPECT_EQ(d.At(5, 5), kWhite);
  }
}

TEST(MetafileTest, PlainWmfTakesItsSizeFromTheWindow) {
  TMetafile mf;
  Load(mf, WmfBuilder()
               .Record(kSetWindowOrg, {0, 0})
               .Record(kSetWindowExt, {40, 80})
               .Record(kCreateBrush, MetaPayload().I16({0}).I32({kRed}).I16({0}))
               .Record(kSelect, {0})
               .Record(kPolyPolygon, MetaPayload().I16({2, 3, 3}).I16({0, 0, 10, 0, 0, 10}).I16({70, 30, 80, 30, 80, 40}))
               .Finish());
  EXPECT_FALSE(mf.Enhanced);
  EXPECT_EQ(mf.GetWidth(), 80);
  EXPECT_EQ(mf.GetHeight(), 40);
  Drawn d(mf, 80, 40, {0, 0, 80, 40});
  EXPECT_EQ(d.At(2, 2), kRed);
  EXPECT_EQ(d.At(76, 33), kRed);
  EXPECT_EQ(d.At(40, 20), kWhite);
}

TEST(MetafileTest, MalformedFilesRaiseAndKeepWhatWasLoaded) {
  const MetaBytes emf = EmfRedBox();
  const MetaBytes wmf = WmfRedBox();
  auto with = [](MetaBytes b, size_t at, std::initializer_list<uint8_t> bytes) {
    for (uint8_t v : bytes) b[at++] = v;
    return b;
  };
  const size_t wmfFirst = 22 + 18;
  struct Case {
    const char* name;
    MetaBytes bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"not a metafile", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"emf truncated", MetaBytes(emf.begin(), emf.end() - 30)},
      {"emf without end", MetaBytes(emf.begin(), emf.end() - 20)},
      {"emf record past the end", with(emf, 88 + 4, {0xF0, 0xFF, 0xFF, 0x7F})},
      {"emf record size 0", with(emf, 88 + 4, {0, 0, 0, 0})},
      {"emf header size past the end", with(emf, 4, {0xFF, 0xFF, 0, 0})},
      {"emf huge polygon count",
       EmfBuilder(10, 10).Record(kEmrPolygon16, MetaPayload().I32({0, 0, 0, 0, 0x40000000}).I16({1, 1})).Finish()},
      {"emf polypolygon counts past the points",
       EmfBuilder(10, 10).Record(91, MetaPayload().I32({0, 0, 0, 0, 1, 2, 5}).I16({1, 1, 2, 2})).Finish()},
      {"emf text past the record",
       EmfBuilder(10, 10).Record(kEmrExtTextOutW, MetaPayload().I32({0, 0, 0, 0, 1, 0, 0, 0, 0, 1000, 76, 0, 0, 0, 0, 0, 0})).Finish()},
      {"emf dib offset past the record",
       EmfBuilder(10, 10).Record(kEmrStretchDIBits, MetaPayload().I32({0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 5000, 40, 80, 12, 0, 0x00CC0020, 2, 2})).Finish()},
      {"wmf truncated", MetaBytes(wmf.begin(), wmf.end() - 8)},
      {"wmf record size 0", with(wmf, wmfFirst, {0, 0, 0, 0})},
      {"wmf record past the end", with(wmf, wmfFirst, {0xFF, 0xFF, 0xFF, 0x7F})},
      {"wmf bad header size", with(wmf, 22 + 2, {8, 0})},
      {"wmf no units per inch", with(wmf, 14, {0, 0})},
      {"wmf huge polygon count", WmfBuilder(0, 0, 10, 10, 96).Record(kPolygon, {0x7FFF, 1, 1}).Finish()},
      {"wmf polypolygon past the record", WmfBuilder(0, 0, 10, 10, 96).Record(kPolyPolygon, {3, 100, 100, 100}).Finish()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMetafile mf;
    Load(mf, emf);
    EXPECT_THROW(Load(mf, c.bytes), EInvalidGraphic);
    EXPECT_EQ(mf.Data(), emf);
    EXPECT_TRUE(mf.Enhanced);
    EXPECT_EQ(mf.GetWidth(), 100);
  }
}

TEST(MetafileTest, SavingWritesTheBytesReadOrAnEmptyMetafileOfTheNamedKind) {
  cwtest::TempDir dir;
  TMetafile loaded;
  Load(loaded, WmfRedBox());
  loaded.SaveToFile(dir.file("box.emf"));  // the bytes as read, whatever the name
  TMetafile back;
  back.LoadFromFile(dir.file("box.emf"));
  EXPECT_EQ(back.Data(), WmfRedBox());

  for (const char* name : {"blank.wmf", "blank.emf"}) {
    SCOPED_TRACE(name);
    TMetafile blank;
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    blank.Assign(&bitmap);  // pixels never become records
    EXPECT_TRUE(blank.GetEmpty());
    blank.SaveToFile(dir.file(name));
    TMetafile read;
    read.LoadFromFile(dir.file(name));
    EXPECT_EQ(read.Enhanced, std::string(name) == "blank.emf");
    EXPECT_EQ(read.GetWidth(), 0);
    Drawn d(read, 10, 10, {0, 0, 10, 10});
    EXPECT_EQ(d.Count(kWhite, {0, 0, 10, 10}), 100);
  }
}

TEST(MetafileTest, DrawingKeepsToTheCanvasClip) {
  TMetafile mf;
  Load(mf, EmfRedBox());
  TBitmap bitmap;
  bitmap.SetSize(100, 50);
  TCanvas* canvas = bitmap.GetCanvas();
  canvas->Brush->Color = kWhite;
  canvas->FillRect({0, 0, 100, 50});
  canvas->IntersectClipRect({0, 0, 40, 50});
  canvas->Draw(0, 0, &mf);
  EXPECT_EQ(canvas->GetPixel(30, 20), kRed);
  canvas->SelectClipRegion(nullptr);
  EXPECT_EQ(canvas->GetPixel(50, 20), kWhite);
}

TEST(MetafileTest, PicturesAndImagesTakeMetafilesByExtension) {
  cwtest::TempDir dir;
  for (const char* name : {"logo.emf", "logo.WMF"}) {
    SCOPED_TRACE(name);
    const MetaBytes bytes = std::string(name) == "logo.emf" ? EmfRedBox() : WmfRedBox();
    {
      TFileStream file(dir.file(name), fmCreate);
      file.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    }
    TImage image(nullptr);
    image.GetPicture()->LoadFromFile(dir.file(name));
    ASSERT_NE(dynamic_cast<TMetafile*>(image.GetPicture()->GetGraphic()), nullptr);
    EXPECT_EQ(image.GetPicture()->GetWidth(), 100);
    // Drawn into a bitmap of its size, as the designer does.
    TBitmap bitmap;
    bitmap.SetSize(100, 50);
    bitmap.GetCanvas()->Draw(0, 0, image.GetPicture()->GetGraphic());
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(30, 20), kRed);
  }
  const std::string filter = TPicture::GraphicFilter();
  for (const char* mask : {"*.jpg", "*.jpeg", "*.wmf", "*.emf"}) EXPECT_NE(filter.find(mask), std::string::npos);
}

}  // namespace
