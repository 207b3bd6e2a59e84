#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "control_log.h"
#include "platform/dialogs.h"
#include "platform/grids.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/toolbars.h"

namespace {

TEST(StringGridTest, CellsAndTheCurrentCell) {
  TStringGrid grid(nullptr);
  grid.SetColCount(30);
  grid.SetRowCount(20);
  grid.SetCell(2, 15, "张三");
  EXPECT_EQ(grid.GetCell(2, 15), "张三");
  EXPECT_EQ(grid.GetCell(99, 0), "");
  EXPECT_THROW(grid.SetCell(30, 0, "x"), EListError);
  EXPECT_THROW(grid.SetFixedRows(20), EInvalidOperation);
  grid.SetRowCount(10);  // shrinking drops the rows below
  EXPECT_EQ(grid.GetCell(2, 15), "");

  std::vector<std::string> log;
  bool allow = true;
  grid.OnSelectCell = [&](TObject*, int c, int r, bool& can) {
    log.push_back("select " + std::to_string(c) + "," + std::to_string(r));
    can = allow;
  };
  grid.OnClick = [&](TObject*) { log.push_back("click " + std::to_string(grid.GetCol()) + "," + std::to_string(grid.GetRow())); };
  TRect cell = grid.CellRect(3, 2);
  grid.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(cell.Left + 1, cell.Top + 1));
  grid.Perform(WM_LBUTTONUP, 0, XY(cell.Left + 1, cell.Top + 1));
  grid.Perform(WM_KEYDOWN, VK_DOWN);
  allow = false;
  grid.Perform(WM_KEYDOWN, VK_RIGHT);
  TRect fixed = grid.CellRect(0, 0);
  grid.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(fixed.Left + 1, fixed.Top + 1));  // fixed cells are not chosen
  EXPECT_EQ(log, (std::vector<std::string>{"select 3,2", "click 3,2", "select 3,3", "click 3,3", "select 4,3"}));
  int c = -1, r = -1;
  EXPECT_TRUE(grid.MouseToCell({cell.Left + 1, cell.Top + 1}, c, r));
  EXPECT_EQ(c * 100 + r, 302);
}

TEST(StringGridTest, TypingEditsTheCurrentCellOnlyWithEditing) {
  TStringGrid grid(nullptr);
  grid.SetCell(1, 1, "old");
  grid.Perform(WM_CHAR, 'a');
  EXPECT_EQ(grid.GetCell(1, 1), "old");
  grid.Options |= goEditing;
  for (char ch : std::string("ab\bc")) grid.Perform(WM_CHAR, WPARAM(ch));
  EXPECT_EQ(grid.GetCell(1, 1), "ac");
}

// Keys on the grid's own widget: typing opens the cell as an edit box (the
// first key replaces the text), Return closes it, Tab and Shift+Tab move
// between cells and on to the next row.
TEST(StringGridTest, KeysOnTheWidgetEditAndMoveBetweenCells) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  TStringGrid grid(nullptr);
  grid.SetParent(&form);
  grid.SetBounds(0, 0, 280, 150);
  grid.SetColCount(3);
  grid.SetRowCount(3);
  grid.Options |= goEditing | goTabs;
  grid.SetCell(1, 1, "old");
  form.Show();
  grid.SetFocus();
  QWidget* w = grid.Widget();
  const TRect cell = grid.CellRect(1, 1);
  auto background = [&] {
    grid.Update();
    return PixelAt(grid.ClientImage(), cell.Right - 3, cell.Bottom - 3);
  };
  EXPECT_EQ(background(), ColorToRGB(clHighlight));
  QTest::keyClicks(w, "ab");
  EXPECT_EQ(grid.GetCell(1, 1), "ab");
  EXPECT_EQ(background(), ColorToRGB(clWindow));  // shown as an edit box
  QTest::keyClick(w, Qt::Key_Return);
  EXPECT_EQ(background(), ColorToRGB(clHighlight));
  QTest::keyClicks(w, "c");  // replaces again
  EXPECT_EQ(grid.GetCell(1, 1), "c");
  QTest::keyClick(w, Qt::Key_Tab);
  EXPECT_EQ(grid.GetCol() * 10 + grid.GetRow(), 21);
  QTest::keyClick(w, Qt::Key_Tab);  // past the last column: the next row
  EXPECT_EQ(grid.GetCol() * 10 + grid.GetRow(), 12);
  QTest::keyClick(w, Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(grid.GetCol() * 10 + grid.GetRow(), 21);
  QTest::keyClick(w, Qt::Key_Delete);  // no character to type
  EXPECT_EQ(grid.GetCell(2, 1), "");
  grid.SetParent(nullptr);
}

// Columns wider than the grid scroll by whole columns: keys keep the
// current cell in view, and the horizontal scroll bar moves them.
TEST(StringGridTest, WideColumnsScrollToKeepTheCurrentCellInView) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  TStringGrid grid(nullptr);
  grid.SetParent(&form);
  grid.SetBounds(0, 0, 200, 120);  // the fixed column and two 64-pixel columns fit
  grid.SetColCount(7);
  grid.SetRowCount(3);  // rows that fit: no vertical bar takes room
  form.Show();
  grid.SetFocus();
  QWidget* w = grid.Widget();
  EXPECT_TRUE(grid.ScrollBar(SB_HORZ).Visible);
  struct Step {
    Qt::Key key;
    int col, leftCol;
  } steps[] = {{Qt::Key_Right, 2, 0}, {Qt::Key_Right, 3, 1}, {Qt::Key_End, 6, 4},
               {Qt::Key_Left, 5, 4}, {Qt::Key_Home, 1, 0}};
  for (const Step& step : steps) {
    QTest::keyClick(w, step.key);
    EXPECT_EQ(grid.GetCol(), step.col);
    EXPECT_EQ(grid.LeftCol, step.leftCol);
  }
  QScrollBar* bar = nullptr;
  for (QScrollBar* b : w->findChildren<QScrollBar*>())
    if (b->isVisible() && b->orientation() == Qt::Horizontal) bar = b;
  ASSERT_NE(bar, nullptr);
  const QPoint rightArrow(bar->width() - 4, bar->height() / 2);
  for (int i = 0; i < 9; ++i) QTest::mouseClick(bar, Qt::LeftButton, {}, rightArrow);
  EXPECT_EQ(grid.LeftCol, 4);  // no further than the last column at the edge
  EXPECT_EQ(grid.GetCol(), 1);  // scrolling leaves the current cell
  const TRect shown = grid.CellRect(5, 1);
  EXPECT_EQ(shown.Left, grid.GetColWidth(0) + 1);
  grid.SetParent(nullptr);
}

// Rows taller than the grid: the current row is kept in view, a vertical
// bar pages through them, and a click lands on the row shown there.
TEST(StringGridTest, TallGridsScrollRowsToKeepTheCurrentCellInView) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  TStringGrid grid(nullptr);
  grid.SetParent(&form);
  grid.SetBounds(0, 0, 200, 150);  // the fixed row and five rows of 25 pixels fit
  grid.SetColCount(2);
  grid.SetRowCount(41);
  for (int r = 1; r < 41; ++r) grid.SetCell(1, r, "第" + std::to_string(r) + "行");
  form.Show();
  grid.SetFocus();
  QWidget* w = grid.Widget();
  ASSERT_TRUE(grid.ScrollBar(SB_VERT).Visible);
  EXPECT_FALSE(grid.ScrollBar(SB_HORZ).Visible);
  struct Step {
    Qt::Key key;
    int row, topRow;
  } steps[] = {{Qt::Key_Down, 2, 0}, {Qt::Key_Down, 3, 0}, {Qt::Key_Down, 4, 0}, {Qt::Key_Down, 5, 0},
               {Qt::Key_Down, 6, 1}, {Qt::Key_Up, 5, 1}, {Qt::Key_Up, 4, 1}, {Qt::Key_Up, 3, 1},
               {Qt::Key_Up, 2, 1},   {Qt::Key_Up, 1, 0}};
  for (const Step& step : steps) {
    QTest::keyClick(w, step.key);
    EXPECT_EQ(grid.GetRow(), step.row);
    EXPECT_EQ(grid.TopRow, step.topRow) << step.row;
  }
  QScrollBar* bar = nullptr;
  for (QScrollBar* b : w->findChildren<QScrollBar*>())
    if (b->isVisible() && b->orientation() == Qt::Vertical) bar = b;
  ASSERT_NE(bar, nullptr);
  const QPoint downArrow(bar->width() / 2, bar->height() - 4);
  for (int i = 0; i < 50; ++i) QTest::mouseClick(bar, Qt::LeftButton, {}, downArrow);
  const int shown = grid.TopRow;
  EXPECT_EQ(shown, 40 - 5);  // no further than the last row at the bottom
  EXPECT_EQ(grid.GetRow(), 1);  // scrolling leaves the current cell
  // The first row below the fixed one now shows row 36; a click picks it.
  const TRect first = grid.CellRect(1, 1 + shown);
  EXPECT_EQ(first.Top, grid.DefaultRowHeight + 1);
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(first.Left + 5, first.Top + 5));
  EXPECT_EQ(grid.GetRow(), 36);
  EXPECT_EQ(grid.GetCell(1, grid.GetRow()), "第36行");
  grid.SetParent(nullptr);
}

// A form built in code: a menu, a tool bar whose button stands for a menu
// item, a grid, and a modal dialog that the responder answers.
TEST(FormBuildTest, MenuToolBarGridAndModalDialog) {
  TScriptedDialogs dialogs;
  TForm* form = MakeForm<TForm>(nullptr);
  form->SetBounds(0, 0, 400, 300);
  auto* menu = new TMainMenu(form);
  auto* fileMenu = new TMenuItem(form);
  fileMenu->SetCaption("文件(&F)");
  menu->GetItems()->Add(fileMenu);
  auto* ask = new TMenuItem(form);
  ask->SetCaption("设置(&O)");
  fileMenu->Add(ask);

  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  bar->SetAlign(alTop);
  auto* button = new TToolButton(form);
  button->SetParent(bar);
  button->SetMenuItem(ask);

  auto* grid = new TStringGrid(form);
  grid->SetParent(form);
  grid->SetAlign(alClient);
  grid->SetColCount(3);
  grid->SetRowCount(3);

  // The menu command shows a dialog with an edit; OK copies the edit into the grid.
  ask->OnClick = [&](TObject*) {
    TForm* dialog = MakeForm<TForm>(form);
    auto* edit = new TEdit(dialog);
    edit->SetParent(dialog);
    edit->Name = "Edit1";
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->ModalResult = mrOk;
    if (dialog->ShowModal() == mrOk) grid->SetCell(grid->GetCol(), grid->GetRow(), edit->GetText());
    dialog->Free();
  };
  dialogs.AnswerModal(mrOk, [](TCustomForm* f) { static_cast<TEdit*>(f->FindComponent("edit1"))->SetText("王五"); });
  button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(2, 2));
  button->Perform(WM_LBUTTONUP, 0, XY(2, 2));
  EXPECT_EQ(grid->GetCell(1, 1), "王五");
  ASSERT_EQ(dialogs.Records.size(), 1u);
  EXPECT_EQ(dialogs.Records[0].Kind, TDialogRecord::Modal);
  EXPECT_EQ(bar->GetBoundsRect().Top, 0);
  EXPECT_EQ(grid->GetTop(), bar->GetHeight());
  // A cancelled dialog leaves the cell alone; the shortcut runs the same command.
  ask->ShortCut = ShortCut('O', ssCtrl);
  dialogs.AnswerModal(mrCancel);
  EXPECT_TRUE(menu->IsShortCut('O', ssCtrl));
  EXPECT_EQ(grid->GetCell(1, 1), "王五");
  EXPECT_EQ(dialogs.Pending(), 0u);
  form->Free();
}

}  // namespace
