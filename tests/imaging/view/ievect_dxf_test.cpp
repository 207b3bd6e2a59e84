// DXF drawings written by the test and imported into a layer over a
// 120 x 100 picture.
#include <cmath>
#include <fstream>

#include "ievect_fixture.h"

namespace {

class IEVectDxfTest : public IEVectTest {
 protected:
  bool Import(const std::string& text) {
    const std::string name = ::testing::TempDir() + "drawing.dxf";
    std::ofstream(name, std::ios::binary) << text;
    const bool ok = vect->ImportDXF(name);
    std::remove(name.c_str());
    return ok;
  }
  static std::string Header(double x0, double y0, double x1, double y1) {
    return "0\nSECTION\n2\nHEADER\n9\n$EXTMIN\n10\n" + std::to_string(x0) + "\n20\n" + std::to_string(y0) +
           "\n9\n$EXTMAX\n20\n" + std::to_string(y1) + "\n10\n" + std::to_string(x1) + "\n0\nENDSEC\n";
  }
  static std::string Entities(const std::string& body) {
    return "0\nSECTION\n2\nENTITIES\n" + body + "0\nENDSEC\n0\nEOF\n";
  }
};

const std::string kLine = "0\nLINE\n8\n0\n10\n10\n20\n10\n11\n20\n21\n5\n";
const std::string kCircle = "0\nCIRCLE\n10\n30\n20\n20\n40\n5\n";
const std::string kArc = "0\nARC\n10\n30\n20\n20\n40\n5\n50\n0\n51\n90\n";

TEST_F(IEVectDxfTest, WithoutExtentsOneUnitIsOnePixelUpFromTheBottom) {
  ASSERT_TRUE(Import(Entities(kLine + "0\nPOINT\n10\n1\n20\n1\n" + kCircle)));
  ASSERT_EQ(vect->ObjectsCount(), 2);  // the point is skipped
  EXPECT_EQ(vect->GetObjKind(0), iekLINE);
  EXPECT_EQ(vect->GetObjRect(0), (TRect{10, 90, 20, 95}));
  EXPECT_EQ(vect->GetObjKind(1), iekELLIPSE);
  EXPECT_EQ(vect->GetObjRect(1), (TRect{25, 75, 35, 85}));
  EXPECT_EQ(vect->GetObjBeginShape(0), iesNONE);
  EXPECT_EQ(vect->GetObjPenWidth(0), 1);
}

TEST_F(IEVectDxfTest, ExtentsFitTheDrawingIntoThePicture) {
  // Extents 0..59 by 0..49 into 120 x 100: scale 2, offset 100 - 98 = 2,
  // X(x) = 2x and Y(y) = 100 - 2y - 2. CRLF line ends are fine.
  std::string text = Header(0, 0, 59, 49) + Entities(kLine + kCircle + kArc);
  for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) text.insert(at, "\r");
  ASSERT_TRUE(Import(text));
  ASSERT_EQ(vect->ObjectsCount(), 3);
  EXPECT_EQ(vect->GetObjRect(0), (TRect{20, 78, 40, 88}));
  EXPECT_EQ(vect->GetObjRect(1), (TRect{50, 48, 70, 68}));
  EXPECT_EQ(vect->GetObjKind(2), iekARC);
  EXPECT_EQ(vect->GetObjRect(2), (TRect{50, 48, 70, 68}));
  EXPECT_DOUBLE_EQ(vect->GetObj(2)->ArcStart, 2 * M_PI);
  EXPECT_DOUBLE_EQ(vect->GetObj(2)->ArcEnd, 3 * M_PI / 2);
}

TEST_F(IEVectDxfTest, BadDrawingsAnswerFalseAndKeepWhatCameBefore) {
  struct Case {
    const char* name;
    std::string text;
    int objects;
  } cases[] = {
      {"extents that give a negative scale", Header(10, 10, 0, 0) + Entities(kLine), 0},
      {"extents on an empty picture", "", 0},  // filled in below
      {"a value that is no number", Entities(kLine + "0\nLINE\n10\nten\n20\n1\n11\n2\n21\n2\n"), 1},
      {"a coordinate beyond any picture", Entities("0\nLINE\n10\n1e11\n20\n1\n11\n2\n21\n2\n"), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    vect->RemoveAllObjects();
    if (c.text.empty()) {
      vect->GetFBitmap()->SetSize(0, 0);
      EXPECT_FALSE(Import(Header(0, 0, 10, 10) + Entities(kLine)));
      SetPicture24(vect, 120, 100, [](int, int) { return TRGB{255, 255, 255}; });
    } else {
      EXPECT_FALSE(Import(c.text));
    }
    EXPECT_EQ(vect->ObjectsCount(), c.objects);
  }
  EXPECT_FALSE(vect->ImportDXF(::testing::TempDir() + "no such drawing.dxf"));
}

}  // namespace
