// The IEV object stream: round trips, older versions, and damaged streams,
// which load nothing and leave the layer as it was.
#include <cstring>
#include <functional>

#include "ievect_fixture.h"
#include "imaging/core/iemask.h"
#include "imaging/io/pngfilt.h"
#include "imaging/view/ievect_stream.h"

namespace {

// The common fields of an object record.
void Common(TStream* s, TIEVObjectKind kind, TRect r = {1, 2, 30, 40}) {
  for (int32_t v : {r.Left, r.Top, r.Right, r.Bottom}) IEVWriteInt(s, v);
  IEVWriteByte(s, kind);
  IEVWriteString(s, "n");
  IEVWriteInt(s, 5);          // ID
  IEVWriteInt(s, 0x0000FF);   // pen colour
  IEVWriteByte(s, psSolid);
  IEVWriteInt(s, 2);          // pen width
  IEVWriteInt(s, 0xFFFFFF);   // brush colour
  IEVWriteByte(s, bsClear);
  IEVWriteByte(s, kIEVAllStyles);
}

std::string Bytes(TMemoryStream& s) { return std::string(static_cast<char*>(s.Memory()), size_t(s.GetSize())); }

// An IEV stream of a version: header, the given bitmap table bytes, then
// the object records compressed.
std::string Stream(char version, const std::string& table, int32_t count,
                   const std::function<void(TStream*)>& records) {
  TMemoryStream s;
  s.WriteBuffer("IEV", 3);
  s.WriteBuffer(&version, 1);
  IEVWriteInt(&s, 0);
  if (version == '1') IEVWriteInt(&s, 2);
  else IEVWriteDouble(&s, 2.5);
  s.WriteBuffer(table.data(), int64_t(table.size()));
  {
    TCompressionStream z(TCompressionLevel::clDefault, &s);
    IEVWriteInt(&z, count);
    records(&z);
    z.Finish();
  }
  return Bytes(s);
}

std::string NoBitmaps() {
  TMemoryStream s;
  IEVWriteInt(&s, 0);
  return Bytes(s);
}

TEST_F(IEVectTest, EveryKindRoundTrips) {
  vect->SetScale(1.5);
  const int line = Add(iekLINE, {5, 6, 50, 60});
  vect->SetObjEndShape(line, iesOUTARROW);
  vect->SetObjShapeWidth(line, 7);
  vect->SetObjName(line, "line");
  const int box = Add(iekBOX, {1, 1, 20, 20});
  vect->SetObjBrushStyle(box, bsSolid);
  vect->SetObjBrushColor(box, 0x123456);
  const int arc = Add(iekARC, {0, 0, 40, 30});
  vect->GetObj(arc)->ArcStart = 0.5;
  vect->GetObj(arc)->ArcEnd = 2.5;
  const int text = Add(iekTEXT, {0, 0, 60, 20});
  vect->SetObjText(text, "Hello 你好");
  vect->SetObjTextAlign(text, taCenter);
  vect->SetObjTextAutoSize(text, true);
  vect->SetObjFontAngle(text, 45);
  const int ruler = Add(iekRULER, {0, 50, 100, 50});
  vect->SetObjRulerUnit(ruler, ieuMILLIMETERS);
  vect->SetObjRulerType(ruler, iertQUOTEEND);
  const int poly = Add(iekPOLYLINE, {0, 0, 0, 0});
  vect->SetObjPolylinePoints(poly, {{1, 1}, {9, 3}, {4, 8}});
  vect->SetObjRect(poly, {10, 10, 26, 24});
  const int angle = Add(iekANGLE, {0, 0, 10, 10});
  vect->GetObj(angle)->AnglePoints[0] = {3, 4};
  TBitmap pic;
  Solid(pic, 5, 4, {10, 20, 30});
  const int bmp = Add(iekBITMAP, {70, 10, 79, 17});
  vect->SetObjBitmap(bmp, &pic);
  TIEMask alpha;
  alpha.AllocateBits(5, 4, 8);
  alpha.Fill(200);
  alpha.SetPixel(1, 2, 7);
  vect->SetObjBitmapAlpha(bmp, &alpha);

  const std::string bytes = Saved();
  ASSERT_EQ(bytes.substr(0, 4), "IEV:");
  int32_t total;
  std::memcpy(&total, bytes.data() + 4, 4);
  EXPECT_EQ(size_t(total), bytes.size());

  TPixVect other(parent);
  ASSERT_TRUE(Load(&other, bytes));
  ASSERT_EQ(other.ObjectsCount(), vect->ObjectsCount());
  EXPECT_EQ(other.GetScale(), 1.5);
  for (int i = 0; i < vect->ObjectsCount(); ++i) {
    SCOPED_TRACE(i);
    const TIEVObject& a = *vect->GetObj(vect->GetObjFromIndex(i));
    const TIEVObject& b = *other.GetObj(other.GetObjFromIndex(i));
    EXPECT_EQ(TRect(a.x1, a.y1, a.x2, a.y2), TRect(b.x1, b.y1, b.x2, b.y2));
    EXPECT_EQ(a.Kind, b.Kind);
    EXPECT_EQ(a.Name, b.Name);
    EXPECT_EQ(a.PenColor, b.PenColor);
    EXPECT_EQ(a.PenWidth, b.PenWidth);
    EXPECT_EQ(a.BrushColor, b.BrushColor);
    EXPECT_EQ(a.BrushStyle, b.BrushStyle);
    EXPECT_EQ(a.Style, b.Style);
  }
  EXPECT_EQ(other.GetObjEndShape(line), iesOUTARROW);
  EXPECT_EQ(other.GetObjShapeWidth(line), 7);
  EXPECT_EQ(other.GetObj(arc)->ArcEnd, 2.5);
  EXPECT_EQ(other.GetObjText(text), "Hello 你好");
  EXPECT_EQ(other.GetObjTextAlign(text), taCenter);
  EXPECT_TRUE(other.GetObjTextAutoSize(text));
  EXPECT_EQ(other.GetObjFontAngle(text), 45);
  EXPECT_EQ(other.GetObjRulerUnit(ruler), ieuMILLIMETERS);
  EXPECT_EQ(other.GetObjRulerType(ruler), iertQUOTEEND);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(other.GetObjPolylinePoints(poly, i), vect->GetObjPolylinePoints(poly, i));
  EXPECT_EQ(other.GetObj(angle)->AnglePoints[0], (TPoint{3, 4}));
  ASSERT_NE(other.GetObjBitmap(bmp), nullptr);
  EXPECT_EQ(reinterpret_cast<TRGB*>(other.GetObjBitmap(bmp)->ScanLine(3))[4].g, 20);
  EXPECT_EQ(other.GetObjBitmapAlpha(bmp)->GetPixel(1, 2), 7);
  EXPECT_EQ(other.GetObjBitmapAlpha(bmp)->GetPixel(0, 0), 200);
  // Written again, the loaded layer gives the same bytes.
  TMemoryStream again;
  other.SaveToStreamIEV(&again);
  EXPECT_EQ(Bytes(again), bytes);
}

TEST_F(IEVectTest, AnEmptyLayerWritesTheTemplateEntryWithoutItsPicture) {
  TBitmap* templateBitmap = vect->GetObjBitmap(kIEVTemplate);
  ASSERT_NE(templateBitmap, nullptr);
  const std::string bytes = Saved();
  // Header, Scale, one entry whose count is 0 (the template's own reference).
  int32_t n, refs;
  std::memcpy(&n, bytes.data() + 16, 4);
  std::memcpy(&refs, bytes.data() + 20, 4);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(refs, 0);
  Add(iekBOX, {0, 0, 4, 4});
  ASSERT_TRUE(Load(vect, bytes));
  EXPECT_EQ(vect->ObjectsCount(), 0);
  ASSERT_NE(vect->GetObjBitmap(kIEVTemplate), nullptr);
  EXPECT_EQ(vect->GetObjBitmap(kIEVTemplate)->GetWidth(), 64);
}

TEST_F(IEVectTest, TwoObjectsSharingABitmapWriteOnePictureAndShareAgain) {
  TBitmap pic;
  Solid(pic, 3, 3, {1, 2, 3});
  vect->RemoveAllObjects();  // no template bitmap: the table is the objects' alone
  Add(iekBITMAP, {0, 0, 2, 2});
  vect->SetObjBitmap(kIEVLastMade, &pic);
  Add(iekBITMAP, {5, 5, 7, 7});
  vect->SetObjBitmap(kIEVLastMade, &pic);
  const std::string bytes = Saved();
  int32_t n, refs;
  std::memcpy(&n, bytes.data() + 16, 4);
  std::memcpy(&refs, bytes.data() + 20, 4);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(refs, 2);
  TPixVect other(parent);
  ASSERT_TRUE(Load(&other, bytes));
  EXPECT_EQ(other.GetObj(0)->BitmapIdx, other.GetObj(1)->BitmapIdx);
  EXPECT_EQ(other.BitmapRefs(other.GetObj(0)->BitmapIdx), 2);
}

TEST_F(IEVectTest, APictureNoObjectUsesIsDroppedOnLoad) {
  TMemoryStream table;
  IEVWriteInt(&table, 1);
  IEVWriteInt(&table, 2);  // claims two users; no object names it
  TBitmap pic;
  Solid(pic, 4, 3, {9, 9, 9});
  IEVWritePicture(&table, &pic);
  const std::string bytes = Stream('6', Bytes(table), 1, [](TStream* z) { Common(z, iekBOX); });
  TPixVect a(parent);
  ASSERT_TRUE(Load(&a, bytes));
  TMemoryStream once;
  a.SaveToStreamIEV(&once);
  TPixVect b(parent);
  ASSERT_TRUE(Load(&b, Bytes(once)));
  TMemoryStream twice;
  b.SaveToStreamIEV(&twice);
  EXPECT_EQ(Bytes(twice), Bytes(once));
  for (int i = 0; i < a.BitmapTableCount(); ++i)
    if (a.GetBitmap(i)) EXPECT_GT(a.BitmapRefs(i), 0);
}

TEST_F(IEVectTest, ObjectsOfKindZeroAreNotWritten) {
  Add(iekBOX, {0, 0, 4, 4});
  vect->AddNewObject();  // the template's kind: none
  Add(iekLINE, {0, 0, 9, 9});
  TPixVect other(parent);
  ASSERT_TRUE(Load(&other, Saved()));
  ASSERT_EQ(other.ObjectsCount(), 2);
  EXPECT_EQ(other.GetObjKind(other.GetObjFromIndex(1)), iekLINE);
}

TEST_F(IEVectTest, OlderVersionsLoadWhatTheyCarry) {
  // Version "6": a PNG picture without alpha, a text without auto-size.
  TMemoryStream table;
  IEVWriteInt(&table, 1);
  IEVWriteInt(&table, 1);
  TBitmap pic;
  Solid(pic, 4, 3, {9, 9, 9});
  IEVWritePicture(&table, &pic);
  const std::string v6 = Stream('6', Bytes(table), 2, [](TStream* z) {
    Common(z, iekBITMAP);
    IEVWriteInt(z, 0);
    Common(z, iekTEXT);
    IEVWriteByte(z, taRightJustify);
    IEVWriteString(z, "old");
    IEVWriteByte(z, 0);
  });
  TPixVect a(parent);
  ASSERT_TRUE(Load(&a, v6));
  ASSERT_EQ(a.ObjectsCount(), 2);
  EXPECT_EQ(a.GetObjBitmapAlpha(0)->GetPixel(2, 2), 255);
  EXPECT_EQ(a.GetObjTextAlign(1), taRightJustify);
  EXPECT_EQ(a.GetObjText(1), "old");
  EXPECT_EQ(a.GetScale(), 2.5);

  // Version "3": no text alignment; version "1": Scale as an int32.
  const std::string v3 = Stream('3', NoBitmaps(), 1, [](TStream* z) {
    Common(z, iekTEXT);
    IEVWriteString(z, "older");
    IEVWriteByte(z, 0);
  });
  ASSERT_TRUE(Load(&a, v3));
  EXPECT_EQ(a.GetObjText(0), "older");
  EXPECT_EQ(a.GetObjTextAlign(0), taLeftJustify);
  const std::string v1 = Stream('1', NoBitmaps(), 1, [](TStream* z) { Common(z, iekBOX); });
  ASSERT_TRUE(Load(&a, v1));
  EXPECT_EQ(a.GetScale(), 2);
  EXPECT_EQ(a.ObjectsCount(), 1);

  // A group of two: both members are added, the group itself is not.
  const std::string group = Stream(':', NoBitmaps(), 1, [](TStream* z) {
    Common(z, iekNONE);
    IEVWriteInt(z, 2);
    Common(z, iekBOX);
    Common(z, iekELLIPSE);
  });
  ASSERT_TRUE(Load(&a, group));
  EXPECT_EQ(a.ObjectsCount(), 2);
}

TEST_F(IEVectTest, DamagedStreamsLoadNothingAndKeepTheLayer) {
  auto nested = [](int depth) {
    return Stream(':', NoBitmaps(), 1, [depth](TStream* z) {
      for (int i = 0; i < depth; ++i) {
        Common(z, iekNONE);
        IEVWriteInt(z, 1);
      }
      Common(z, iekBOX);
    });
  };
  TMemoryStream badAlphaTable;
  {
    IEVWriteInt(&badAlphaTable, 1);
    IEVWriteInt(&badAlphaTable, 1);
    TBitmap pic;
    Solid(pic, 4, 3, {9, 9, 9});
    IEVWritePicture(&badAlphaTable, &pic);
    // The alpha of a 4 x 3 mask compressed from 5 rows.
    TMemoryStream packed;
    {
      TCompressionStream z(TCompressionLevel::clDefault, &packed);
      const std::string rows(5 * 4, '\x80');
      z.WriteBuffer(rows.data(), int64_t(rows.size()));
      z.Finish();
    }
    IEVWriteInt(&badAlphaTable, int32_t(packed.GetSize()));
    badAlphaTable.WriteBuffer(packed.Memory(), packed.GetSize());
  }
  TMemoryStream hugeTable;
  IEVWriteInt(&hugeTable, 0x7FFFFFFF);
  // A zlib header (0x78 0xBB) that asks for a preset dictionary.
  std::string dictionary = Stream(':', NoBitmaps(), 0, [](TStream*) {});
  dictionary.resize(20);  // header, Scale and an empty bitmap table
  dictionary += std::string("\x78\xBB\x00\x00\x00\x01\x63\x60\x00\x00", 10);
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"object count beyond the data", Stream(':', NoBitmaps(), 1000, [](TStream* z) { Common(z, iekBOX); })},
      {"negative object count", Stream(':', NoBitmaps(), -1, [](TStream*) {})},
      {"unknown kind", Stream(':', NoBitmaps(), 1, [](TStream* z) { Common(z, TIEVObjectKind(10)); })},
      {"bitmap index outside the table", Stream(':', NoBitmaps(), 1, [](TStream* z) {
         Common(z, iekBITMAP);
         IEVWriteInt(z, 3);
       })},
      {"string longer than the data", Stream(':', NoBitmaps(), 1, [](TStream* z) {
         for (int i = 0; i < 5; ++i) IEVWriteInt(z, 0);
         IEVWriteInt(z, 0x10000000);
       })},
      {"polyline count beyond the data", Stream(':', NoBitmaps(), 1, [](TStream* z) {
         Common(z, iekPOLYLINE);
         IEVWriteInt(z, 0x7FFFFFF0);
       })},
      {"groups nested without end", nested(64)},
      {"bitmap table larger than the stream", Stream(':', Bytes(hugeTable), 0, [](TStream*) {})},
      {"alpha larger than its picture", Stream(':', Bytes(badAlphaTable), 0, [](TStream*) {})},
      {"compressed section that needs a dictionary", dictionary},
  };
  ASSERT_TRUE(Load(vect, nested(3)));  // a few levels are fine
  const int keep = Add(iekLINE, {1, 2, 3, 4});
  vect->SetObjName(keep, "kept");
  const std::string before = Saved();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(Load(vect, c.bytes));
    EXPECT_EQ(Saved(), before);
    EXPECT_EQ(vect->GetObjFromName("kept"), keep);
  }
  // Every cut of a good stream either loads or leaves the layer alone.
  const std::string good = Stream(':', NoBitmaps(), 2, [](TStream* z) {
    Common(z, iekBOX);
    Common(z, iekTEXT);
    IEVWriteByte(z, 0);
    IEVWriteByte(z, 0);
    IEVWriteString(z, "t");
    IEVWriteByte(z, 0);
  });
  for (size_t cut = 0; cut < good.size(); ++cut) {
    if (!Load(vect, good.substr(0, cut))) EXPECT_EQ(Saved(), before) << cut;
    else ASSERT_TRUE(Load(vect, before));
  }
  // Not an object stream at all: refused, the stream's position kept.
  for (const char* head : {"IEW:", "IEV0", "IEV;", "IE"}) {
    TMemoryStream s;
    s.WriteBuffer(head, int64_t(std::strlen(head)));
    s.SetPosition(0);
    EXPECT_FALSE(vect->LoadFromStreamIEV(&s)) << head;
    EXPECT_EQ(s.GetPosition(), 0);
  }
}

TEST_F(IEVectTest, FilesRoundTrip) {
  Add(iekELLIPSE, {3, 4, 30, 40});
  const std::string name = ::testing::TempDir() + "vector_objects.iev";
  vect->SaveToFileIEV(name);
  TPixVect other(parent);
  ASSERT_TRUE(other.LoadFromFileIEV(name));
  EXPECT_EQ(other.GetObjRect(0), (TRect{3, 4, 30, 40}));
  std::remove(name.c_str());
}

}  // namespace
