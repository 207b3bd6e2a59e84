// The vector layer driven by real mouse and key events sent to its widget:
// making objects in each mode, picking, moving and resizing them, editing
// a text in place and measuring a dragged length.
#include <QTest>

#include "imaging/view/ievect.h"
#include "pixview_mouse_fixture.h"
#include "platform/messages.h"
#include "platform/stdctrls.h"

namespace {

class IEVectMouseTest : public PixViewMouseTest {
 protected:
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 400, 300);
    vect = new TPixVect(form);
    view = vect;
    vect->SetParent(form);
    vect->SetBorderStyle(bsNone);
    vect->SetBounds(0, 0, 200, 160);
    form->Show();
    vect->SetFocus();
    // A 150 x 120 picture at zoom 100 from the client's corner: client
    // and bitmap coordinates agree.
    Picture24(150, 120, [](int, int) { return TRGB{255, 255, 255}; });
    vect->OnNewObject = [this](TObject*, int h) { made.push_back(h); };
  }
  int AddBox(TRect r, TBrushStyle brush = bsClear) {
    const int h = vect->AddNewObject();
    vect->SetObjKind(h, iekBOX);
    vect->SetObjRect(h, r);
    vect->SetObjBrushStyle(h, brush);
    return h;
  }
  void Mode(TIEMouseInteractVt m) { vect->SetMouseInteractVt(m); }

  TPixVect* vect = nullptr;
  std::vector<int> made;
};

TEST_F(IEVectMouseTest, AnAddedModeReplacesTheOthersARemovedOneLeavesTheRest) {
  Mode(miPutLine);
  vect->SetMouseInteractVt(miPutLine | miPutBox);
  EXPECT_EQ(vect->GetMouseInteractVt(), miPutBox);
  vect->SetMouseInteractVt(miArea | miLineLen | miPutBox);  // miArea comes first
  EXPECT_EQ(vect->GetMouseInteractVt(), miArea);
  vect->SetMouseInteractVt(miArea | miLineLen);
  vect->SetMouseInteractVt(miLineLen);  // only removed: kept as given
  EXPECT_EQ(vect->GetMouseInteractVt(), miLineLen);
  // The view's own interaction leaves only the measuring modes.
  Mode(miPutBox);
  vect->SetMouseInteract(miSelect);
  EXPECT_EQ(vect->GetMouseInteractVt(), 0);
}

TEST_F(IEVectMouseTest, DraggingInAPutModeMakesThatObject) {
  struct Case {
    TIEMouseInteractVt mode;
    TIEVObjectKind kind;
  } cases[] = {{miPutLine, iekLINE},       {miPutBox, iekBOX},       {miPutEllipse, iekELLIPSE},
               {miPutBitmap, iekBITMAP},   {miPutRuler, iekRULER}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.kind));
    Mode(c.mode);
    made.clear();
    Drag({{60, 50}, {30, 40}, {20, 10}});
    ASSERT_EQ(made.size(), 1u);
    const int h = made[0];
    EXPECT_EQ(vect->GetObjKind(h), c.kind);
    // Lines and rulers keep their drawing order; the rest is put in order.
    const TRect expected = c.kind == iekLINE || c.kind == iekRULER ? TRect{60, 50, 20, 10} : TRect{20, 10, 60, 50};
    EXPECT_EQ(vect->GetObjRect(h), expected);
    EXPECT_EQ(vect->SelectionCount(), 1);
    EXPECT_EQ(vect->GetSelObjects(0), h);
  }
  // A click without moving places the template's size at the click.
  Mode(miPutBox);
  made.clear();
  vect->SetObjRect(kIEVTemplate, {0, 0, 19, 9});
  Click({70, 30});
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(vect->GetObjRect(made[0]), (TRect{70, 30, 89, 39}));
}

TEST_F(IEVectMouseTest, CtrlMakesTheDraggedEllipseACircle) {
  Mode(miPutEllipse);
  Drag({{20, 20}, {50, 30}, {60, 35}}, Qt::ControlModifier);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(vect->GetObjRect(made[0]), (TRect{20, 20, 60, 60}));
}

TEST_F(IEVectMouseTest, PolylinesTakeClicksUntilADoubleClickAnglesTakeThreeClicks) {
  Mode(miPutPolyLine);
  Click({10, 10});
  Click({40, 10});
  Click({40, 40});
  DoubleClick({10, 40});
  ASSERT_EQ(made.size(), 1u);
  const int p = made[0];
  EXPECT_EQ(vect->GetObjKind(p), iekPOLYLINE);
  EXPECT_EQ(vect->GetObjPolylinePointsCount(p), 4);
  EXPECT_EQ(vect->GetObjPolylinePoints(p, 3), (TPoint{10, 40}));
  EXPECT_DOUBLE_EQ(vect->GetPolylineArea(p), 900);

  Mode(miPutAngle);
  made.clear();
  Click({50, 50});
  Click({50, 20});
  EXPECT_TRUE(made.empty());
  Click({80, 20});
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(vect->GetObjKind(made[0]), iekANGLE);
  EXPECT_NEAR(vect->GetAngleValue(made[0]), 90, 1e-9);
}

TEST_F(IEVectMouseTest, ClicksPickTheNearestUpperSelectableObject) {
  Mode(miObjectSelect);
  const int hollow = AddBox({10, 10, 60, 60});
  const int filled = AddBox({80, 10, 120, 60}, bsSolid);
  const int under = AddBox({80, 70, 120, 100}, bsSolid);
  const int over = AddBox({80, 70, 120, 100}, bsSolid);
  const int none = vect->AddNewObject();  // kind 0: never picked
  vect->SetObjRect(none, {0, 0, 149, 119});
  (void)under;
  vect->PickDistanceLimit = 5;  // a hollow box is picked near its outline only
  struct Step {
    TPoint at;
    Qt::KeyboardModifiers mods;
    std::vector<int> selected;
  } steps[] = {
      {{35, 35}, Qt::NoModifier, {}},              // inside a hollow box, far from its outline
      {{11, 35}, Qt::NoModifier, {hollow}},        // on its outline
      {{100, 35}, Qt::NoModifier, {filled}},       // anywhere in a filled box
      {{100, 85}, Qt::ShiftModifier, {filled, over}},  // the upper of two equal ones, added
      {{90, 50}, Qt::ShiftModifier, {over}},       // Shift takes a selected one away
      {{140, 110}, Qt::ShiftModifier, {over}},     // Shift on nothing keeps the selection
  };
  int clicked = -5;
  vect->OnObjectClick = [&](TObject*, int h) { clicked = h; };
  for (const Step& s : steps) {
    SCOPED_TRACE(::testing::Message() << s.at.x << "," << s.at.y);
    Click(s.at, Qt::LeftButton, s.mods);
    ASSERT_EQ(vect->SelectionCount(), int(s.selected.size()));
    for (size_t i = 0; i < s.selected.size(); ++i) EXPECT_EQ(vect->GetSelObjects(int(i)), s.selected[i]);
  }
  EXPECT_EQ(clicked, filled);
  // A drag on empty ground selects what lies wholly inside its band.
  Drag({{70, 65}, {100, 90}, {125, 105}});
  ASSERT_EQ(vect->SelectionCount(), 2);
}

TEST_F(IEVectMouseTest, GripsMoveAndResizeTheSelection) {
  Mode(miObjectSelect);
  const int box = AddBox({20, 20, 59, 39}, bsSolid);
  Click({40, 30});
  ASSERT_TRUE(vect->IsSelObject(box));
  // The centre grip moves.
  Drag({{40, 30}, {45, 35}, {50, 40}});
  EXPECT_EQ(vect->GetObjRect(box), (TRect{30, 30, 69, 49}));
  // The (x2, y2) corner resizes.
  Drag({{69, 49}, {80, 60}, {89, 59}});
  EXPECT_EQ(vect->GetObjRect(box), (TRect{30, 30, 89, 59}));
  // With Alt the height follows the width in the drag-start proportion:
  // 30 + 79 x 29 / 59 = 68.8.
  pointer.Press(VK_MENU);
  Drag({{89, 59}, {109, 59}}, Qt::AltModifier);
  pointer.Release(VK_MENU);
  EXPECT_EQ(vect->GetObjRect(box), (TRect{30, 30, 109, 69}));
  // A handler that zeroes the step stops the move.
  vect->OnObjectMoveResize = [](TObject*, int, int, int& dx, int& dy) { dx = dy = 0; };
  const TRect before = vect->GetObjRect(box);
  Drag({{70, 50}, {90, 60}});
  EXPECT_EQ(vect->GetObjRect(box), before);
}

TEST_F(IEVectMouseTest, ATextBoxOpensTheEditorEnterKeepsEscapeUndoes) {
  Mode(miPutText);
  Drag({{10, 10}, {60, 30}, {90, 40}});
  ASSERT_EQ(made.size(), 1u);
  const int t = made[0];
  EXPECT_EQ(vect->GetObjKind(t), iekTEXT);
  EXPECT_EQ(vect->TextEditingObject(), t);
  TEdit* edit = vect->TextEditor();
  ASSERT_TRUE(edit->GetVisible());
  TPoint at{1, 1};
  QWidget* w = HostWidget(edit, at);
  QTest::keyClicks(w, "Card");
  QTest::keyClick(w, Qt::Key_Return);
  EXPECT_EQ(vect->GetObjText(t), "Card");
  EXPECT_EQ(vect->TextEditingObject(), -1);
  EXPECT_FALSE(edit->GetVisible());
  // F2 reopens it on the selected text; Escape undoes the last change.
  QTest::keyClick(HostWidget(vect, at), Qt::Key_F2);
  ASSERT_EQ(vect->TextEditingObject(), t);
  QTest::keyClicks(w, "s");
  QTest::keyClick(w, Qt::Key_Escape);
  EXPECT_EQ(vect->GetObjText(t), "Card");
  EXPECT_EQ(vect->TextEditingObject(), -1);
}

TEST_F(IEVectMouseTest, ADraggedLengthIsMeasuredAndMakesNoObject) {
  Mode(miDragLen);
  double length = -1;
  vect->OnDragLenEnd = [&](TObject*, double v) { length = v; };
  Drag({{10, 10}, {20, 20}, {40, 50}});
  EXPECT_NEAR(length, 50, 1e-9);
  EXPECT_TRUE(made.empty());
  EXPECT_EQ(vect->ObjectsCount(), 0);
}

TEST_F(IEVectMouseTest, TheMeasureHintFollowsTheSelectionInTheLayersUnit) {
  vect->Select(10, 10, 40, 30);
  const double len = vect->GetSelectionLen(), area = vect->GetSelectionArea();
  EXPECT_GT(len, 90);
  EXPECT_GT(area, 500);
  std::string text;
  double value = -1;
  vect->OnMeasureHint = [&](TObject*, std::string& t, double v) {
    text = t;
    value = v;
  };
  Mode(miLineLen);
  Move({60, 60});
  EXPECT_DOUBLE_EQ(value, len);
  EXPECT_EQ(text, vect->FormatMeasure(len) + " pixels");
  Mode(miArea);
  Move({61, 60});
  EXPECT_DOUBLE_EQ(value, area);
  EXPECT_EQ(text, vect->FormatMeasure(area) + " pixels\xC2\xB2");
  // Centimetres at 254 dots an inch: a tenth of the pixel values.
  vect->SetDPIX(254);
  vect->SetDPIY(254);
  vect->SetMUnit(ieuCENTIMETERS);
  Move({62, 60});
  EXPECT_NEAR(value, area / 10000, 1e-9);
  EXPECT_EQ(text.substr(text.size() - 5), " cm\xC2\xB2");
}

}  // namespace
