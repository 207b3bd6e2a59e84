// The design surface: selection, moving and resizing with the mouse, the
// selection frame, the arrow keys, the repaint clamps, the position boxes,
// the show toggles with click placement, and the print twins that follow.
#include <gtest/gtest.h>

#include <array>

#include <QTest>
#include <QWidget>

#include "cardprogram.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"

using cardtest::CardProgram;

namespace {

LPARAM XY(int x, int y) { return MakeLParam(x, y); }

class DesignSurface : public ::testing::Test {
 protected:
  void SetUp() override {
    LogoShown = BarcodeShown = SealShown = true;
    TextPlacementArmed = false;
    f = program.MakeMainForm();
    for (TImage* item : {f->PicOne, f->PicTwo, f->SignPic, f->BarcodeSet, f->ImageZhang}) item->Show();
    f->MoveMode = 0;
  }
  void TearDown() override { Screen->SetCursor(crDefault); }

  // Mouse messages as the card panel receives them, in its coordinates.
  void Move(int x, int y, WPARAM keys = 0) { f->Panel2->Perform(WM_MOUSEMOVE, keys, XY(x, y)); }
  // The frame a click leaves around an item lies over it; the presses here
  // aim at the items.
  void Press(int x, int y) {
    f->Shape1->Hide();
    Move(x, y);
    f->Panel2->Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(x, y));
  }
  void Release(int x, int y) { f->Panel2->Perform(WM_LBUTTONUP, 0, XY(x, y)); }
  // Presses at (x, y) inside the control and drags the pointer by (dx, dy).
  void Drag(TControl* c, int x, int y, int dx, int dy) {
    const int px = c->GetLeft() + x, py = c->GetTop() + y;
    Press(px, py);
    Move(px + dx, py + dy, MK_LBUTTON);
    Release(px + dx, py + dy);
  }

  CardProgram program;
  TMainForm* f = nullptr;
};

TEST_F(DesignSurface, PressPointChoosesMoveOrEdge) {
  // The barcode is 120 x 30; edge zones are 5 pixels wide.
  f->BarcodeSet->SetBounds(20, 150, 120, 30);
  struct Case {
    int x, y, moveMode;
  } cases[] = {{3, 3, 10}, {5, 15, 1}, {4, 15, 2}, {60, 15, 1}, {117, 15, 4}, {60, 2, 8},
               {60, 27, 16}, {117, 2, 12}, {117, 27, 20}, {2, 27, 18}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    Press(20 + c.x, 150 + c.y);
    EXPECT_EQ(f->MoveMode, c.moveMode);
    EXPECT_EQ(f->DragStartX, c.x);
    EXPECT_EQ(f->DragStartY, c.y);
    Release(20 + c.x, 150 + c.y);
    EXPECT_EQ(f->MoveMode, 0);
    EXPECT_EQ(f->BarcodeSet->GetBoundsRect(), Bounds(20, 150, 120, 30));
  }
}

TEST_F(DesignSurface, RightButtonStartsNoDrag) {
  f->PicOne->SetBounds(100, 40, 50, 50);
  Move(125, 65);
  f->Panel2->Perform(WM_RBUTTONDOWN, MK_RBUTTON, XY(125, 65));
  Move(140, 80, MK_RBUTTON);
  EXPECT_EQ(f->MoveMode, 0);
  EXPECT_EQ(f->PicOne->GetBoundsRect(), Bounds(100, 40, 50, 50));
}

TEST_F(DesignSurface, TopLeftCornerDragKeepsOppositeEdges) {
  f->PicOne->SetBounds(100, 40, 50, 50);
  Press(103, 43);
  EXPECT_EQ(f->MoveMode, 10);
  Move(110, 47, MK_LBUTTON);
  EXPECT_EQ(f->PicOne->GetBoundsRect(), Bounds(107, 44, 43, 46));
  Release(110, 47);
  EXPECT_EQ(f->MoveMode, 0);
  EXPECT_EQ(f->EditLeft->GetText(), "107");
  EXPECT_EQ(f->EditTop->GetText(), "44");
  EXPECT_EQ(f->EditW->GetText(), "43");
  EXPECT_EQ(f->EditH->GetText(), "46");
}

TEST_F(DesignSurface, EdgeDragsFollowThePointer) {
  struct Case {
    int x, y, dx, dy;
    TRect after;
  } cases[] = {
      {25, 25, 15, -10, Bounds(115, 30, 50, 50)},  // move
      {48, 25, 12, 0, Bounds(100, 40, 62, 50)},    // right edge
      {25, 48, 0, -20, Bounds(100, 40, 50, 30)},   // bottom edge
      {1, 25, -6, 0, Bounds(94, 40, 56, 50)},      // left edge
      {25, 1, 0, 9, Bounds(100, 49, 50, 41)},      // top edge
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    f->PicTwo->SetBounds(100, 40, 50, 50);
    Drag(f->PicTwo, c.x, c.y, c.dx, c.dy);
    EXPECT_EQ(f->PicTwo->GetBoundsRect(), c.after);
  }
}

TEST_F(DesignSurface, PressSelectsItemAndClickFramesIt) {
  struct Case {
    TImage* item;
    int selected, kind;
  } cases[] = {{f->PicOne, 13, 0}, {f->PicTwo, 14, 1}, {f->SignPic, 15, 2}, {f->BarcodeSet, 16, 3},
               {f->ImageZhang, 17, 5}};
  int left = 10;
  for (const Case& c : cases) {
    c.item->SetBounds(left, 60, 30, 30);
    left += 50;
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selected);
    f->SelectedIsTitle = true;
    Drag(c.item, 15, 15, 0, 0);
    EXPECT_EQ(f->SelectedItem, c.selected);
    EXPECT_EQ(f->PicItem, c.kind);
    EXPECT_FALSE(f->SelectedIsTitle);
    EXPECT_TRUE(f->Shape1->GetVisible() && f->Shape1->GetEnabled());
    EXPECT_EQ(f->Shape1->GetBoundsRect(), Bounds(c.item->GetLeft() - 2, 58, 34, 34));
  }
}

TEST_F(DesignSurface, ArmedItemSurvivesPressesExceptOnBarcode) {
  f->PicOne->SetBounds(10, 60, 30, 30);
  f->BarcodeSet->SetBounds(60, 60, 30, 30);
  Screen->SetCursor(crDrag);
  f->PicItem = 5;
  Drag(f->PicOne, 15, 15, 0, 0);
  EXPECT_EQ(f->PicItem, 5);
  EXPECT_EQ(f->SelectedItem, 13);
  Drag(f->BarcodeSet, 15, 15, 0, 0);
  EXPECT_EQ(f->PicItem, 3);
}

TEST_F(DesignSurface, BarcodeReleaseSyncsTwinButPhotoDragDoesNot) {
  f->BarcodeSet->SetBounds(20, 150, 120, 30);
  f->QRDBBarCode->SetBounds(0, 0, 10, 10);
  Drag(f->BarcodeSet, 60, 15, 8, -6);
  EXPECT_EQ(f->QRDBBarCode->GetBoundsRect(), Bounds(28, 144, 120, 30));
  EXPECT_EQ(f->QRDBBarCode->GetVisible(), f->BarcodeSet->GetVisible());

  f->PicOne->SetBounds(100, 40, 50, 50);
  const TRect twin = f->QRDBPicOne->GetBoundsRect();
  Drag(f->PicOne, 25, 25, 5, 5);
  EXPECT_EQ(f->QRDBPicOne->GetBoundsRect(), twin);
}

TEST_F(DesignSurface, FrameDragCarriesItemOneMoveBehind) {
  f->SignPic->SetBounds(100, 40, 50, 50);
  f->SignPic->Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(25, 25));
  f->SignPic->Perform(WM_LBUTTONUP, 0, XY(25, 25));  // click: frame at 98,38 54x54
  ASSERT_EQ(f->Shape1->GetBoundsRect(), Bounds(98, 38, 54, 54));
  ASSERT_EQ(f->PicItem, 2);

  f->Shape1->Perform(WM_MOUSEMOVE, 0, XY(27, 27));
  f->Shape1->Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(27, 27));
  EXPECT_EQ(f->MoveMode, 1);
  f->Shape1->Perform(WM_MOUSEMOVE, MK_LBUTTON, XY(37, 32));
  EXPECT_EQ(f->Shape1->GetBoundsRect(), Bounds(108, 43, 54, 54));
  EXPECT_EQ(f->SignPic->GetBoundsRect(), Bounds(100, 40, 50, 50));  // trails by one move
  f->Shape1->Perform(WM_MOUSEMOVE, MK_LBUTTON, XY(27, 27));
  EXPECT_EQ(f->SignPic->GetBoundsRect(), Bounds(110, 45, 50, 50));
  f->Shape1->Perform(WM_LBUTTONUP, 0, XY(27, 27));
  EXPECT_EQ(f->MoveMode, 0);
}

TEST_F(DesignSurface, FrameDragCarriesSelectedText) {
  TLabel* title = f->TitleLabels[3];
  f->PicItem = 9;
  f->SelectedItem = 3;
  f->LastTextTag = 103;
  f->Shape1->SetBounds(50, 50, 80, 25);
  f->Shape1->Perform(WM_MOUSEMOVE, 0, XY(40, 12));
  EXPECT_EQ(title->GetBoundsRect(), Bounds(50, 50, 80, 25));

  // No text slot selected: nothing else follows the frame.
  f->SelectedItem = 16;
  f->Shape1->Perform(WM_MOUSEMOVE, 0, XY(40, 12));
}

TEST_F(DesignSurface, FrameWindowProcedureIsOwnAndRestored) {
  TMessage message{WM_LBUTTONDOWN, MK_LBUTTON, XY(5, 5), 0};
  ASSERT_TRUE(f->OldFrameWindowProc);
  f->Shape1->SetBounds(10, 10, 40, 40);
  f->Shape1->WindowProc(message);
  EXPECT_NE(f->MoveMode, 0);
  f->RestoreFrameWindowProc();
  f->MoveMode = 0;
  f->Shape1->Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(20, 20));
  EXPECT_EQ(f->MoveMode, 1);
}

TEST_F(DesignSurface, ArrowKeysMoveTwinFirstThenItem) {
  f->BarcodeSet->SetBounds(20, 150, 120, 30);
  f->QRDBBarCode->SetBounds(20, 150, 120, 30);
  Drag(f->BarcodeSet, 60, 15, 0, 0);
  ASSERT_EQ(f->SelectedItem, 16);
  f->Shape1->SetBounds(18, 148, 124, 34);
  struct Step {
    Word key;
    int left, top;
  } steps[] = {{VK_LEFT, 19, 150}, {VK_UP, 19, 149}, {VK_RIGHT, 20, 149}, {VK_DOWN, 20, 150}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.key);
    f->Perform(WM_KEYDOWN, s.key);
    EXPECT_EQ(f->QRDBBarCode->GetBoundsRect(), Bounds(s.left, s.top, 120, 30));
    EXPECT_EQ(f->BarcodeSet->GetBoundsRect(), Bounds(s.left, s.top, 120, 30));
    EXPECT_EQ(f->Shape1->GetBoundsRect(), Bounds(s.left - 2, s.top - 2, 124, 34));
  }

  // The item takes the twin's place even where they had parted.
  f->SelectedItem = 17;
  f->ImageZhang->SetBounds(100, 100, 40, 40);
  f->QRImageZhang->SetBounds(60, 70, 40, 40);
  f->Perform(WM_KEYDOWN, VK_RIGHT);
  EXPECT_EQ(f->QRImageZhang->GetLeft(), 61);
  EXPECT_EQ(f->ImageZhang->GetLeft(), 61);
  EXPECT_EQ(f->ImageZhang->GetTop(), 100);

  // Texts: the title or the data-field text, by SelectedIsTitle.
  f->SelectedItem = 4;
  f->SelectedIsTitle = true;
  f->QRTitleLabels[4]->SetBounds(30, 30, 60, 20);
  f->Perform(WM_KEYDOWN, VK_DOWN);
  EXPECT_EQ(f->QRTitleLabels[4]->GetTop(), 31);
  EXPECT_EQ(f->TitleLabels[4]->GetTop(), 31);
  f->SelectedIsTitle = false;
  f->QRDBTexts[4]->SetBounds(40, 40, 60, 20);
  f->Perform(WM_KEYDOWN, VK_LEFT);
  EXPECT_EQ(f->QRDBTexts[4]->GetLeft(), 39);
  EXPECT_EQ(f->DBTexts[4]->GetLeft(), 39);
}

TEST_F(DesignSurface, ArrowKeyWithoutSelectionWarns) {
  f->SelectedItem = 18;
  program.dialogs.Records.clear();
  f->Perform(WM_KEYDOWN, 'A');
  EXPECT_TRUE(program.Messages().empty());
  f->Perform(WM_KEYDOWN, VK_UP);
  EXPECT_EQ(program.Messages(), std::vector<std::string>{"你还没选择要移动的对象！"});
}

TEST_F(DesignSurface, ClampsBringItemsBackAndKeepSizesButPaintMovesNothing) {
  f->Panel2->SetBounds(24, 26, 300, 200);
  f->PicOne->SetBounds(10, 10, 10, 10);
  f->ImageIns->SetBounds(10, 10, 10, 10);
  f->SignPic->SetBounds(301, 20, 40, 40);
  f->BarcodeSet->SetBounds(20, -1, 40, 40);
  f->DBTexts[0]->SetBounds(2, 30, 10, 10);
  f->QRDBTexts[0]->SetBounds(350, 30, 60, 20);
  f->TitleLabels[1]->SetBounds(400, 250, 60, 20);
  f->QRDBTexts[2]->SetBounds(20, -4, 60, 20);
  f->FormPaint(f);
  EXPECT_EQ(f->PicOne->GetBoundsRect(), Bounds(10, 10, 10, 10));
  EXPECT_EQ(f->SignPic->GetLeft(), 301);
  f->ClampDesignItems();
  EXPECT_EQ(f->PicOne->GetBoundsRect(), Bounds(10, 10, 18, 18));
  EXPECT_EQ(f->ImageIns->GetBoundsRect(), Bounds(10, 10, 10, 10));  // no minimum size
  EXPECT_EQ(f->SignPic->GetLeft(), 150);
  EXPECT_EQ(f->BarcodeSet->GetTop(), 100);
  EXPECT_EQ(f->DBTexts[0]->GetBoundsRect(), Bounds(5, 30, 20, 20));
  EXPECT_EQ(f->QRDBTexts[0]->GetLeft(), 100);
  EXPECT_EQ(f->TitleLabels[1]->GetLeft(), 65);
  EXPECT_EQ(f->TitleLabels[1]->GetTop(), 45);
  EXPECT_EQ(f->QRDBTexts[2]->GetTop(), 50);
  EXPECT_EQ(f->BPhoto->GetDown(), f->PicOne->GetVisible());
  EXPECT_EQ(f->BWorkShopPic->GetDown(), f->Drawor->GetVisible());
}

TEST_F(DesignSurface, PhotoToggleHidesThenArmsThenPlacesAtRelease) {
  PhotoShown = true;
  PhotoHintDone = false;
  program.dialogs.Records.clear();
  f->NShowPhoto->Click();
  EXPECT_FALSE(PhotoShown);
  EXPECT_FALSE(f->PicOne->GetVisible());
  EXPECT_FALSE(f->QRDBPicOne->GetVisible() || f->QRDBPicOne->GetEnabled());
  EXPECT_EQ(f->NShowPhoto->GetCaption(), "显示图一(&ShowPhoto)");
  EXPECT_EQ(f->BPhoto->Hint, "显示图一");
  EXPECT_EQ(program.Messages().size(), 1u);  // the one-time hint
  EXPECT_TRUE(PhotoHintDone);

  f->BPhoto->Click();  // the tool button clicks its menu item
  EXPECT_EQ(Screen->GetCursor(), crDrag);
  EXPECT_EQ(f->PicItem, 0);
  EXPECT_FALSE(f->PicOne->GetVisible());
  EXPECT_EQ(f->NShowPhoto->GetCaption(), "不显示图一(&ShowPhotoNo)");
  EXPECT_EQ(program.Messages().size(), 1u);

  f->PlaceArmedItem(40, 50);
  EXPECT_TRUE(PhotoShown);
  EXPECT_EQ(f->PicOne->GetLeft(), 40);
  EXPECT_EQ(f->PicOne->GetTop(), 50);
  EXPECT_TRUE(f->PicOne->GetVisible() && f->QRDBPicOne->GetVisible() && f->QRDBPicOne->GetEnabled());
  EXPECT_EQ(Screen->GetCursor(), crDefault);
  EXPECT_EQ(f->PicItem, 9);
}

TEST_F(DesignSurface, SealAndBarcodeTwinsTakeThePlacementPoint) {
  for (auto [button, item, twin, shown] :
       {std::tuple{f->TBZhang, f->ImageZhang, static_cast<TControl*>(f->QRImageZhang), &SealShown},
        std::tuple{f->TBBarcode, f->BarcodeSet, static_cast<TControl*>(f->QRDBBarCode), &BarcodeShown}}) {
    SCOPED_TRACE(item->Name);
    button->Click();  // hide: also disabled
    EXPECT_FALSE(*shown || item->GetVisible() || item->GetEnabled() || twin->GetVisible());
    button->Click();  // arm
    f->PlaceArmedItem(70, 80);
    EXPECT_TRUE(*shown && item->GetVisible() && item->GetEnabled() && twin->GetVisible() && twin->GetEnabled());
    EXPECT_EQ(item->GetLeft(), 70);
    EXPECT_EQ(twin->GetLeft(), 70);
    EXPECT_EQ(twin->GetTop(), 80);
  }
  // A release with nothing armed only drops the frame.
  f->Shape1->Show();
  f->PicItem = 9;
  f->PlaceArmedItem(1, 1);
  EXPECT_FALSE(f->Shape1->GetVisible() || f->Shape1->GetEnabled());
}

TEST_F(DesignSurface, ArmedTextIsPlacedWithItsTwin) {
  TextPlacementArmed = true;
  TextPlacementIsData = false;
  TextPlacementIndex = 6;
  Screen->SetCursor(crDrag);
  f->PlaceArmedItem(33, 44);
  for (TControl* c : {static_cast<TControl*>(f->TitleLabels[6]), static_cast<TControl*>(f->QRTitleLabels[6])}) {
    EXPECT_EQ(c->GetLeft(), 33);
    EXPECT_EQ(c->GetTop(), 44);
    EXPECT_TRUE(c->GetVisible() && c->GetEnabled());
  }
  EXPECT_FALSE(TextPlacementArmed);
  EXPECT_EQ(Screen->GetCursor(), crDefault);
}

TEST_F(DesignSurface, LayoutToggleShowsAndHidesAtOnce) {
  LayoutShown = true;
  f->BWorkShopPic->Click();
  EXPECT_FALSE(LayoutShown || f->Drawor->GetVisible() || f->QRDrawor->GetVisible() || f->QRDrawor->GetEnabled());
  EXPECT_TRUE(LayoutHintDone);
  f->NShowPanelPic->Click();
  EXPECT_TRUE(LayoutShown && f->Drawor->GetVisible() && f->QRDrawor->GetVisible() && f->QRDrawor->GetEnabled());
  EXPECT_EQ(f->NShowPanelPic->GetCaption(), "不显示底图(&BGNo)");
}

TEST_F(DesignSurface, PositionBoxesPlaceFrameAndItem) {
  auto fill = [this](const char* l, const char* t, const char* w, const char* h) {
    f->EditLeft->SetText(l);
    f->EditTop->SetText(t);
    f->EditW->SetText(w);
    f->EditH->SetText(h);
  };
  fill(" 12", "34 ", "56", "78");
  f->PicItem = 2;
  f->EditLeftClick(f);
  EXPECT_EQ(f->Shape1->GetBoundsRect(), Bounds(12, 34, 56, 78));
  EXPECT_EQ(f->SignPic->GetBoundsRect(), Bounds(12, 34, 56, 78));

  f->PicItem = 9;
  f->SelectedItem = 5;
  f->LastTextTag = 5;
  fill("20", "21", "90", "30");
  f->EditLeftClick(f);
  EXPECT_EQ(f->DBTexts[5]->GetBoundsRect(), Bounds(20, 21, 90, 30));

  // A picture item selected but not the frame's: no text slot is touched.
  f->SelectedItem = 13;
  fill("40", "41", "50", "30");
  f->EditLeftClick(f);
  EXPECT_EQ(f->DBTexts[5]->GetBoundsRect(), Bounds(20, 21, 90, 30));

  // One bad value of four applies none of them and shows the item's bounds.
  f->SelectedItem = 5;
  for (auto bad : {std::array<const char*, 4>{"x", "1", "30", "30"}, {"1", "1", "0", "30"}, {"1", "1", "30", "-2"}}) {
    fill(bad[0], bad[1], bad[2], bad[3]);
    EXPECT_NO_THROW(f->EditLeftClick(f));
    EXPECT_EQ(f->DBTexts[5]->GetBoundsRect(), Bounds(20, 21, 90, 30));
    EXPECT_EQ(f->EditLeft->GetText(), "20");
    EXPECT_EQ(f->EditW->GetText(), "90");
  }
}

// The boxes as the user meets them: each has its label, takes typed
// digits, and a click into any box applies all four to the selected item.
TEST_F(DesignSurface, PositionBoxesTakeTypedValuesThroughTheWindow) {
  f->OnShow = nullptr;
  f->OnActivate = nullptr;
  f->Show();
  std::vector<std::string> labels;
  for (int i = 0; i < f->Panel1->ControlCount(); ++i)
    if (auto* label = dynamic_cast<TLabel*>(f->Panel1->Controls(i))) labels.push_back(label->GetCaption());
  EXPECT_EQ(labels, (std::vector<std::string>{"X", "Y", "W", "H"}));

  f->SignPic->SetBounds(10, 10, 40, 40);
  f->PicItem = 2;
  const char* filled[] = {"10", "10", "40", "40"};
  TEdit* boxes[] = {f->EditLeft, f->EditTop, f->EditW, f->EditH};
  for (int i = 0; i < 4; ++i) boxes[i]->SetText(filled[i]);
  auto typeInto = [](TEdit* box, const char* text) {
    QTest::mouseClick(box->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::keyClick(box->Widget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box->Widget(), text);
  };
  typeInto(f->EditLeft, "60");
  typeInto(f->EditW, "25");  // the click into the width box applied X
  EXPECT_EQ(f->SignPic->GetBoundsRect(), Bounds(60, 10, 40, 40));
  typeInto(f->EditH, "30");  // ... and this one the width
  QTest::mouseClick(f->EditTop->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_EQ(f->SignPic->GetBoundsRect(), Bounds(60, 10, 25, 30));
  EXPECT_EQ(f->Shape1->GetBoundsRect(), Bounds(60, 10, 25, 30));
}

}  // namespace
