// The release on the layout picture through real mouse input: it ends a
// drag, places the item a show command armed at the release point and
// gives the user's cursor back; and the record grid's click, which shows
// the current record's pictures in the design items.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "cardprogram.h"
#include "imaging/io/pixio.h"
#include "imaging/view/dbpix.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"
#include "platform/qt_input.h"
#include "records/dbpicsu.h"

using cardtest::CardProgram;

namespace {

class LayoutRelease : public ::testing::Test {
 protected:
  void SetUp() override {
    PhotoShown = PicTwoShown = LogoShown = BarcodeShown = SealShown = true;
    TextPlacementArmed = InsertArmed = DrawingMode = false;
    f = program.MakeMainForm();
    f->OnShow = nullptr;
    f->OnActivate = nullptr;
    f->Show();
    f->Drawor->GetPicture()->GetBitmap()->SetSize(f->Drawor->GetWidth(), f->Drawor->GetHeight());
    for (TImage* item : {f->PicOne, f->PicTwo, f->SignPic, f->BarcodeSet, f->ImageZhang}) item->Show();
  }
  void TearDown() override {
    Screen->SetCursor(crDefault);
    DrawingMode = false;
  }


  CardProgram program;
  TMainForm* f = nullptr;
};

// Each show button hides its shown item, then arms it; the user's next
// click on the layout picture puts the item there and ends the drag cursor.
TEST_F(LayoutRelease, ArmedPictureItemLandsAtTheClickAndTheCursorReturns) {
  struct Case {
    TToolButton* button;
    TImage* item;
    TControl* twin;
    bool* shown;
    bool twinMoves;
  } cases[] = {
      {f->BPhoto, f->PicOne, f->QRDBPicOne, &PhotoShown, false},
      {f->BBackPic, f->PicTwo, f->QRDBPicTwo, &PicTwoShown, false},
      {f->TBSignPic, f->SignPic, f->QRSignPic, &LogoShown, false},
      {f->TBBarcode, f->BarcodeSet, f->QRDBBarCode, &BarcodeShown, true},
      {f->TBZhang, f->ImageZhang, f->QRImageZhang, &SealShown, true},
  };
  // The top band of the layout picture is clear of every item.
  int x = 60;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item->Name);
    const TRect home = c.item->GetBoundsRect();
    WidgetClick(c.button, {5, 5});
    ASSERT_FALSE(*c.shown || c.item->GetVisible());
    WidgetClick(c.button, {5, 5});
    EXPECT_EQ(Screen->GetCursor(), crDrag);
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(c.item->GetVisible());

    WidgetClick(f->Drawor, {x, 20});
    EXPECT_TRUE(*c.shown && c.item->GetVisible() && c.item->GetEnabled());
    EXPECT_TRUE(c.twin->GetVisible() && c.twin->GetEnabled());
    EXPECT_EQ(c.item->GetLeft(), x);
    EXPECT_EQ(c.item->GetTop(), 20);
    if (c.twinMoves) EXPECT_EQ(TPoint(c.twin->GetLeft(), c.twin->GetTop()), TPoint(x, 20));
    EXPECT_EQ(Screen->GetCursor(), crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(f->PicItem, 9);

    // Another click places nothing more: the item stays where it went.
    WidgetClick(f->Drawor, {200, 200});
    EXPECT_EQ(c.item->GetLeft(), x);
    c.item->SetBoundsRect(home);
    x += 30;
  }
}

// A text armed from its list lands at the click as the pictures do; a
// picture armed while a drawing tool is active is placed too.
TEST_F(LayoutRelease, PlacementRunsForTextsAndInDrawingMode) {
  TextPlacementArmed = true;
  TextPlacementIsData = true;
  TextPlacementIndex = 2;
  f->DBTexts[2]->Hide();
  Screen->SetCursor(crDrag);
  WidgetClick(f->Drawor, {44, 55});
  EXPECT_TRUE(f->DBTexts[2]->GetVisible());
  EXPECT_EQ(TPoint(f->DBTexts[2]->GetLeft(), f->DBTexts[2]->GetTop()), TPoint(44, 55));
  EXPECT_EQ(TPoint(f->QRDBTexts[2]->GetLeft(), f->QRDBTexts[2]->GetTop()), TPoint(44, 55));
  EXPECT_FALSE(TextPlacementArmed);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  DrawingMode = true;
  WidgetClick(f->BPhoto, {5, 5});
  WidgetClick(f->BPhoto, {5, 5});
  WidgetClick(f->Drawor, {70, 20});
  EXPECT_TRUE(PhotoShown && f->PicOne->GetVisible());
  EXPECT_EQ(f->PicOne->GetLeft(), 70);
  EXPECT_EQ(Screen->GetCursor(), crDefault);
}

// In select mode the release ends any drag left over (the inserted
// picture has no release of its own) and drops the frame of a text.
TEST_F(LayoutRelease, SelectModeReleaseEndsTheDragAndDropsTheFrame) {
  f->MoveMode = 10;
  f->PicItem = 9;
  f->Shape1->Show();
  f->QRDrawor->SetBounds(0, 0, 1, 1);
  WidgetClick(f->Drawor, {100, 100});
  EXPECT_EQ(f->MoveMode, 0);
  EXPECT_FALSE(f->Shape1->GetVisible() || f->Shape1->GetEnabled());
  EXPECT_EQ(f->QRDrawor->GetBoundsRect(), f->Drawor->GetBoundsRect());
}

// The main window shown without its start-up questions, with the card
// batch window made after it, as the program makes them.
TMainForm* ShownWithBatchWindow(CardProgram& program) {
  TMainForm* f = program.MakeMainForm();
  f->OnShow = nullptr;
  f->OnActivate = nullptr;
  FormPicEdit = MakeForm<TFormPicEdit>(Application);
  program.Keep(FormPicEdit);
  f->Show();
  return f;
}

// A drag of the barcode ends with its print twin and the batch window's
// barcode in its place, shown as it is and as transparent.
TEST(BarcodeRelease, TheBatchWindowsBarcodeFollowsTheDrag) {
  CardProgram program;
  TMainForm* f = ShownWithBatchWindow(program);
  f->BarcodeSet->SetBounds(20, 150, 120, 30);
  f->BarcodeSet->Show();
  f->BarcodeSet->BringToFront();
  f->BarcodeSet->SetTransparent(true);
  TImage* print = FormPicEdit->BarcodePrint;
  print->SetBounds(0, 0, 10, 10);
  print->Hide();
  print->SetTransparent(false);
  f->Shape1->Hide();
  SendMouse(f->Panel2, QEvent::MouseMove, {80, 165}, Qt::NoButton);
  SendMouse(f->Panel2, QEvent::MouseButtonPress, {80, 165}, Qt::LeftButton);
  SendMouse(f->Panel2, QEvent::MouseMove, {88, 159}, Qt::LeftButton);
  SendMouse(f->Panel2, QEvent::MouseButtonRelease, {88, 159}, Qt::NoButton);
  ASSERT_EQ(f->BarcodeSet->GetBoundsRect(), Bounds(28, 144, 120, 30));
  EXPECT_EQ(f->QRDBBarCode->GetBoundsRect(), Bounds(28, 144, 120, 30));
  EXPECT_EQ(print->GetBoundsRect(), Bounds(28, 144, 120, 30));
  EXPECT_TRUE(print->GetVisible() && print->GetTransparent());
}

// The stock table holds a photo, a second picture and a barcode in every
// record. The batch window's views may have been bound to its own
// pictures; a click on a record cell of the designer's grid binds them to
// the design items again, so the records' pictures show there.
TEST(RecordGrid, CellClickShowsTheRecordsPicturesInTheDesignItems) {
  CardProgram program;
  TMainForm* f = ShownWithBatchWindow(program);
  ASSERT_TRUE(FormPicEdit->Table1->GetActive());
  ASSERT_GE(FormPicEdit->Table1->RecordCount(), 3);
  TImage elsewhere(nullptr);
  for (TPixDBView* view : {FormPicEdit->PixDBView11, FormPicEdit->PixDBView22, FormPicEdit->PixDBView3})
    view->GetPixIO()->SetTImage(&elsewhere);
  for (TImage* item : {f->PicOne, f->PicTwo, f->BarcodeSet}) item->GetPicture()->Assign(nullptr);

  TRect cell = f->DBGrid1->CellRect(1, 2);
  WidgetClick(f->DBGrid1, {cell.Left + 5, cell.Top + 5});
  EXPECT_EQ(FormPicEdit->PixDBView11->GetPixIO()->AttachedTImage, f->PicOne);
  EXPECT_EQ(FormPicEdit->PixDBView22->GetPixIO()->AttachedTImage, f->PicTwo);
  EXPECT_EQ(FormPicEdit->PixDBView3->GetPixIO()->AttachedTImage, f->BarcodeSet);
  EXPECT_EQ(FormPicEdit->Table1->State(), dsEdit);

  // The next record's pictures load straight into the design items and no
  // longer into the picture the views had been bound to.
  elsewhere.GetPicture()->Assign(nullptr);
  cell = f->DBGrid1->CellRect(1, 3);
  WidgetClick(f->DBGrid1, {cell.Left + 5, cell.Top + 5});
  EXPECT_EQ(FormPicEdit->Table1->GetRecNo(), 3);
  EXPECT_EQ(f->PicOne->GetPicture()->GetWidth(), 48);
  EXPECT_EQ(f->PicOne->GetPicture()->GetHeight(), 64);
  EXPECT_EQ(f->PicTwo->GetPicture()->GetWidth(), 64);
  EXPECT_EQ(f->BarcodeSet->GetPicture()->GetWidth(), 96);
  EXPECT_EQ(elsewhere.GetPicture()->GetWidth(), 0);
}

}  // namespace
