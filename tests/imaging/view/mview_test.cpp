// The thumbnail view's layout, image list, range checks, and selection by
// real mouse, wheel and key events.
#include <climits>

#include "mview_fixture.h"

namespace {

struct LayoutCase {
  const char* name;
  int gridWidth;
  TIEMDisplayMode mode;
  int idx, x, y, row, col;
  int contentW, contentH;
};

}  // namespace

TEST_F(MViewTest, LayoutPlacesCellsByGridWidthAndMode) {
  const LayoutCase cases[] = {
      {"one row", 0, mdGrid, 4, 420, 4, 0, 4, 524, 108},
      {"as many as fit", -1, mdGrid, 4, 108, 108, 1, 1, 212 + 104, 108 + 104},
      {"two columns", 2, mdGrid, 2, 4, 108, 1, 0, 108 + 104, 212 + 104},
      {"single", -1, mdSingle, 4, 0, 0, 0, 0, 104, 104},
  };
  AddImages(5);
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    view->SetGridWidth(c.gridWidth);
    view->SetDisplayMode(c.mode);
    EXPECT_EQ(view->GetImageX(c.idx), c.x);
    EXPECT_EQ(view->GetImageY(c.idx), c.y);
    EXPECT_EQ(view->GetImageRow(c.idx), c.row);
    EXPECT_EQ(view->GetImageCol(c.idx), c.col);
    EXPECT_EQ(view->ContentWidth(), c.contentW);
    EXPECT_EQ(view->ContentHeight(), c.contentH);
  }
  // A control narrower than one cell puts everything on one row.
  view->SetDisplayMode(mdGrid);
  view->SetBounds(0, 0, 60, 230);
  EXPECT_EQ(view->GetImageRow(4), 0);
  EXPECT_EQ(view->GetImageCol(4), 4);
}

TEST_F(MViewTest, HitTestingIncludesTheRowBelowButNotTheColumnRight) {
  AddImages(3);
  EXPECT_EQ(view->ImageAtPos(4, 4), 0);
  EXPECT_EQ(view->ImageAtPos(103, 104), 0);  // one below the last row
  EXPECT_EQ(view->ImageAtPos(104, 50), -1);  // one right of the last column
  EXPECT_EQ(view->ImageAtPos(2, 50), -1);    // the border
  EXPECT_EQ(view->ImageAtPos(330, 50), -1);  // past the last image
  EXPECT_EQ(view->InsertingPoint(330, 50), 3);
  EXPECT_EQ(view->InsertingPoint(110, 50), 1);
}

TEST_F(MViewTest, EveryIndexIsRangeChecked) {
  AddImages(3);
  for (int bad : {-1, 3, INT_MAX, INT_MIN}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(view->GetImageWidth(bad), 0);
    EXPECT_EQ(view->GetImageOriginalHeight(bad), 0);
    EXPECT_EQ(view->GetImageX(bad), 0);
    EXPECT_EQ(view->GetImageID(bad), -1);
    EXPECT_EQ(view->GetImageFileName(bad), "");
    EXPECT_EQ(view->GetImageTopText(bad), nullptr);
    EXPECT_EQ(view->GetBitmap(bad), nullptr);
    EXPECT_EQ(view->GetImageVisibility(bad), 0);
    EXPECT_FALSE(view->DeleteImageNU(bad));
    view->SetImageFileName(bad, "x.bmp");
    view->SetImageID(bad, 7);
    view->SetImageDelayTime(bad, 5);
    view->SetImageOriginalWidth(bad, 5);
    view->SetIEBitmapEx(bad, nullptr);
    view->ReleaseBitmap(bad);
    view->UnSelectImage(bad);
    view->MoveImage(bad, 0);
    view->MoveImage(0, bad < 0 ? bad : 0);
    view->SetSelectedItem(bad);
    EXPECT_EQ(view->GetSelectedIndex(), -1);
    EXPECT_FALSE(view->SetImageFromFile(bad, File("none.bmp")));
  }
  EXPECT_EQ(view->GetImageCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(StoredColour(i), uint32_t(i << 16 | (2 * i) << 8 | 3 * i));
}

TEST_F(MViewTest, DeletingKeepsTheSameImageCurrent) {
  struct Case {
    const char* name;
    int current, deleted;
    int expectedIndex;
    uint32_t expectedColourOf;  // which original image is then current
  } cases[] = {
      {"before the current", 2, 1, 1, 2},
      {"after the current", 2, 3, 2, 2},
      {"the current, images follow", 2, 2, 2, 3},
      {"the current and last", 4, 4, 3, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view->Clear();
    AddImages(5);
    view->SetSelectedItem(c.current);
    view->DeleteImage(c.deleted);
    EXPECT_EQ(view->GetImageCount(), 4);
    EXPECT_EQ(view->GetSelectedIndex(), c.expectedIndex);
    EXPECT_EQ(StoredColour(view->GetSelectedIndex()), c.expectedColourOf << 16 | (2 * c.expectedColourOf) << 8 |
                                                          3 * c.expectedColourOf);
    EXPECT_EQ(view->GetLastOp(), 2);
    EXPECT_EQ(view->GetLastOp(), 0);
  }
}

TEST_F(MViewTest, MovingAndDeletingSelectedImages) {
  AddImages(5);
  view->SetSelectedItem(0);
  view->MoveImage(0, 3);
  EXPECT_EQ(view->GetSelectedIndex(), 3);
  EXPECT_EQ(StoredColour(3), 0u);
  EXPECT_EQ(StoredColour(0), 0x010203u);
  view->MoveImage(1, 99);  // to the end
  EXPECT_EQ(StoredColour(4), 0x020406u);

  view->Clear();
  AddImages(5);
  view->SetEnableMultiSelect(true);
  Click({54, 54});
  Click({262, 54}, Qt::ControlModifier);
  ASSERT_EQ(view->MultiSelectedImagesCount(), 2);
  view->DeleteSelectedImages();
  ASSERT_EQ(view->GetImageCount(), 3);
  EXPECT_EQ(StoredColour(0), 0x010203u);
  EXPECT_EQ(StoredColour(1), 0x030609u);
  EXPECT_EQ(StoredColour(2), 0x04080Cu);
}

TEST_F(MViewTest, ClicksSelectAndTellOnlyOfChanges) {
  AddImages(4);
  std::vector<int> told;
  view->OnImageSelect = [&](TObject*, int idx) { told.push_back(idx); };
  Click({158, 54});
  EXPECT_EQ(view->GetSelectedIndex(), 1);
  Click({158, 54});  // the current image again
  Click({2, 54});    // a border
  EXPECT_EQ(told, std::vector<int>({1}));
  ASSERT_NE(view->GetFBitmap(), nullptr);
  EXPECT_EQ(view->GetFBitmap()->GetWidth(), 40);
}

TEST_F(MViewTest, ControlAndShiftClicksBuildTheMultipleSelection) {
  AddImages(6);
  view->SetGridWidth(-1);  // three columns, two rows
  view->SetEnableMultiSelect(true);
  const TPoint cell[6] = {{54, 54}, {158, 54}, {262, 54}, {54, 158}, {158, 158}, {262, 158}};
  auto selected = [&] {
    std::set<int> s;
    for (int i = 0; i < view->MultiSelectedImagesCount(); ++i) s.insert(view->GetMultiSelectedImages(i));
    return s;
  };
  Click(cell[0]);
  Click(cell[4], Qt::ShiftModifier);
  EXPECT_EQ(selected(), std::set<int>({0, 1, 2, 3, 4}));
  view->MultiSelectionOptions = iemoRegion;
  Click(cell[0]);
  Click(cell[4], Qt::ShiftModifier);
  EXPECT_EQ(selected(), std::set<int>({0, 1, 3, 4}));
  // Control-click on a selected image takes it out and leaves none current.
  Click(cell[4], Qt::ControlModifier);
  EXPECT_EQ(selected(), std::set<int>({0, 1, 3}));
  EXPECT_EQ(view->GetSelectedIndex(), -1);
}

TEST_F(MViewTest, WheelScrollsOneCellPitch) {
  AddImages(12);
  view->SetGridWidth(-1);  // four rows of three
  ASSERT_EQ(view->GetMaximumViewY(), 420 - 230);
  Wheel({50, 50}, -120);
  EXPECT_EQ(view->GetViewY(), 104);
  Wheel({50, 50}, 120);
  EXPECT_EQ(view->GetViewY(), 0);
  Wheel({50, 50}, -120);
  Wheel({50, 50}, -120);
  EXPECT_EQ(view->GetViewY(), 190);  // held at the maximum
  EXPECT_EQ(view->ImageAtPos(54, 30), 6);
}

TEST_F(MViewTest, KeysMoveTheSelection) {
  AddImages(12);
  view->SetGridWidth(-1);
  view->SetSelectedItem(0);
  struct Step {
    Qt::Key key;
    int expected;
  } steps[] = {{Qt::Key_Right, 1}, {Qt::Key_Down, 4},     {Qt::Key_End, 11},  {Qt::Key_PageDown, 11},
               {Qt::Key_Up, 8},    {Qt::Key_PageUp, 2},   {Qt::Key_Left, 1},  {Qt::Key_Home, 0}};
  for (const Step& s : steps) {
    Key(s.key);
    EXPECT_EQ(view->GetSelectedIndex(), s.expected) << "key " << s.key;
    EXPECT_EQ(view->GetImageVisibility(s.expected), 2) << "key " << s.key;
  }
}
