// A card's picture field that holds vector objects after its picture
// prints them over it when the printable asks for its objects.
#include <gtest/gtest.h>

#include "imaging/view/ievect.h"
#include "imaging/view/qrdbpix.h"
#include "picfield_fixture.h"
#include "platform/controls.h"
#include "platform/qreportpage.h"

namespace {

using picfield::IsBlue;

// The printable's box on the page at 600 dpi (as the field printable's own
// tests place it): x 837..1435, y 237..835.
constexpr int kX0 = 837, kY0 = 237, kBox = 599;

// A white 100 x 100 BMP followed by an object stream with a solid blue box
// over the picture's right half.
std::string PictureWithObjects(bool damageObjects) {
  std::string field = picfield::SolidPicture(100, 100, clWhite, ieftBMP);
  TWinControl parent(nullptr);
  TPixVect layer(&parent);
  const int h = layer.AddNewObject();
  layer.SetObjKind(h, iekBOX);
  layer.SetObjRect(h, {50, 0, 99, 99});
  layer.SetObjBrushStyle(h, bsSolid);
  layer.SetObjBrushColor(h, clBlue);
  layer.SetObjPenColor(h, clBlue);
  TMemoryStream s;
  layer.SaveToStreamIEV(&s);
  std::string objects(static_cast<char*>(s.Memory()), size_t(s.GetSize()));
  if (damageObjects) objects.resize(objects.size() - 6);
  return field + objects;
}

TEST(IEVectPrint, ObjectsPrintOverTheFieldPictureWhenAskedFor) {
  ASSERT_EQ(ScreenPixelsPerInch(), 96);
  struct Case {
    const char* name;
    bool printObjects, damaged, blueExpected;
  } cases[] = {
      {"with objects", true, false, true},
      {"objects not asked for", false, false, false},
      {"damaged objects: the picture alone", true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    picfield::CardTable cards;
    TQuickRep report;
    report.DataSet = &cards.table;
    auto* detail = new TQRBand;
    detail->SetParent(&report);
    detail->SetHeight(96);
    auto* pix = new TQRDBPix;
    pix->SetParent(detail);
    pix->SetBounds(96, 0, 96, 96);
    pix->StreamHeaders = false;
    pix->PrintObjects = c.printObjects;
    pix->SetDataSource(&cards.source);
    pix->SetDataField("PIC");
    cards.OnlyPicture(PictureWithObjects(c.damaged));
    report.Prepare();
    const QImage page = report.QRPrinter->GetPage(1)->ToImage(TQRPrinter::RecordDpi);
    // The right half of the box, well inside.
    EXPECT_EQ(IsBlue(page.pixel(kX0 + kBox * 3 / 4, kY0 + kBox / 2)), c.blueExpected);
    EXPECT_EQ(page.pixel(kX0 + kBox / 4, kY0 + kBox / 2), qRgb(255, 255, 255));
  }
}

}  // namespace
