#include "platform/dbgrids.h"

#include <gtest/gtest.h>

#include "control_log.h"
#include "dbcontrol_support.h"

namespace {

using dbtest::TypeChars;

// A grid on the card table with the columns AAAA and BBBB, room for
// `rows` record rows below the titles.
class DataGrid : public dbtest::CardSource {
 protected:
  void MakeGrid(int rows) {
    grid.SetBounds(0, 0, 300, (rows + 1) * (grid.DefaultRowHeight + 1) + 4);
    grid.SetDataSource(&source);
    for (const char* name : {"AAAA", "BBBB"}) grid.Columns()->Add()->SetFieldName(name);
  }

  // The record rows as "indicator|AAAA|BBBB" lines.
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int r = 1; r < grid.GetRowCount(); ++r)
      rows.push_back(grid.GetCell(0, r) + "|" + grid.GetCell(1, r) + "|" + grid.GetCell(2, r));
    return rows;
  }

  void ClickCell(int col, int row) {
    TRect cell = grid.CellRect(col, row);
    grid.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(cell.Left + 2, cell.Top + 2));
    grid.Perform(WM_LBUTTONUP, 0, XY(cell.Left + 2, cell.Top + 2));
  }

  TDBGrid grid{nullptr};
};

TEST_F(DataGrid, ShowsTitlesWidthsAndTheRecords) {
  MakeGrid(5);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"||"}));  // closed: one empty row
  Fill({"张三", "李四", "王小红"});
  grid.Columns()->Items(0)->Title()->SetCaption("姓名");
  grid.Columns()->Items(1)->SetWidth(68);
  EXPECT_EQ(grid.GetCell(1, 0), "姓名");
  EXPECT_EQ(grid.GetCell(2, 0), "BBBB");  // the field name until a title is set
  EXPECT_EQ(grid.GetColWidth(2), 68);
  EXPECT_EQ(grid.GetColCount(), 3);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"▶|张三|1", "|李四|2", "|王小红|3"}));
  table.Next();
  EXPECT_EQ(grid.GetRow(), 2);
  EXPECT_EQ(grid.SelectedField()->FieldName, "AAAA");
  grid.SetSelectedIndex(1);
  EXPECT_EQ(grid.SelectedField()->FieldName, "BBBB");
  EXPECT_THROW(grid.Columns()->Items(2), EListError);

  // Without columns of its own the grid shows every field.
  grid.Columns()->Clear();
  EXPECT_EQ(grid.GetColCount(), 17);
  EXPECT_EQ(grid.GetCell(14, 0), "PIC");
  EXPECT_EQ(grid.GetCell(14, 1), "(BLOB)");
  EXPECT_EQ(grid.GetCell(1, 2), "李四");
  table.Close();
  EXPECT_EQ(grid.GetColCount(), 2);
}

TEST_F(DataGrid, RowsFollowTheDataSetBeyondWhatFits) {
  MakeGrid(3);
  Fill({"a", "b", "c", "d", "e", "f"});
  struct Step {
    std::function<void()> move;
    std::vector<std::string> rows;
    int row;
  } steps[] = {
      {[&] { table.Last(); }, {"|d|4", "|e|5", "▶|f|6"}, 3},
      {[&] { table.MoveBy(-2); }, {"▶|d|4", "|e|5", "|f|6"}, 1},
      {[&] { table.Prior(); }, {"▶|c|3", "|d|4", "|e|5"}, 1},
      {[&] { table.Next(); }, {"|c|3", "▶|d|4", "|e|5"}, 2},
      {[&] { table.Insert(); }, {"|e|5", "|f|6", "*||"}, 3},
      {[&] { table.Cancel(); }, {"▶|d|4", "|e|5", "|f|6"}, 1},
      {[&] { table.First(); }, {"▶|a|1", "|b|2", "|c|3"}, 1},
      {[&] { table.Delete(); }, {"▶|b|2", "|c|3", "|d|4"}, 1},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    steps[i].move();
    EXPECT_EQ(Rows(), steps[i].rows) << "step " << i;
    EXPECT_EQ(grid.GetRow(), steps[i].row) << "step " << i;
  }
}

TEST_F(DataGrid, ClicksAndKeysMoveTheRecord) {
  MakeGrid(3);
  Fill({"a", "b", "c", "d", "e"});
  std::vector<std::string> clicks;
  grid.OnCellClick = [&](TColumn* column) { clicks.push_back(column->GetFieldName() + "@" + std::to_string(table.GetRecNo())); };
  ClickCell(2, 3);
  EXPECT_EQ(table.GetRecNo(), 3);
  EXPECT_EQ(grid.GetCol(), 2);
  ClickCell(0, 0);  // the title and indicator cells are no record cells
  EXPECT_EQ(table.GetRecNo(), 3);
  for (int i = 0; i < 2; ++i) grid.Perform(WM_KEYDOWN, VK_DOWN);  // past the rows shown
  EXPECT_EQ(table.GetRecNo(), 5);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"|c|3", "|d|4", "▶|e|5"}));
  grid.Perform(WM_KEYDOWN, VK_DOWN);  // past the end a new record is appended
  EXPECT_EQ(table.State(), dsInsert);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"|d|4", "|e|5", "*||"}));
  grid.Perform(WM_KEYDOWN, VK_DOWN);  // and only one
  EXPECT_EQ(table.GetRecNo(), 6);
  grid.Perform(WM_KEYDOWN, VK_UP);  // left untouched, it is dropped
  EXPECT_EQ(table.State(), dsBrowse);
  EXPECT_EQ(table.RecordCount(), 5);
  EXPECT_EQ(table.GetRecNo(), 5);
  grid.Perform(WM_KEYDOWN, VK_UP);
  EXPECT_EQ(table.GetRecNo(), 4);
  ClickCell(1, 1);
  EXPECT_EQ(clicks, (std::vector<std::string>{"BBBB@3", "AAAA@3"}));
}

TEST_F(DataGrid, TypingEditsTheCellAndPostWritesIt) {
  MakeGrid(3);
  Fill({"张三", "李四"});
  TypeChars(grid, u"赵\b钱孙");  // the first key replaces the cell's text
  EXPECT_EQ(table.State(), dsEdit);
  EXPECT_EQ(grid.GetCell(0, 1), "I");
  EXPECT_EQ(grid.GetCell(1, 1), "钱孙");
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "张三");  // not before the post or leaving the cell
  grid.SetSelectedIndex(1);  // leaving the cell stores it in the field
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "钱孙");
  TypeChars(grid, u"9");
  grid.Perform(WM_KEYDOWN, VK_DOWN);  // moving posts
  EXPECT_EQ(Stored(1, "AAAA"), "钱孙");
  EXPECT_EQ(Stored(1, "BBBB"), "9");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"|钱孙|9", "▶|李四|2"}));

  // Escape cancels the change; picture columns take no typing.
  TypeChars(grid, u"7");
  grid.Perform(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_EQ(table.State(), dsBrowse);
  EXPECT_EQ(grid.GetCell(2, 2), "2");
  grid.Columns()->Items(1)->SetFieldName("PIC");
  TypeChars(grid, u"7");
  EXPECT_EQ(table.State(), dsBrowse);
  EXPECT_EQ(grid.GetCell(2, 2), "(BLOB)");

  // Without goEditing the grid only shows.
  grid.Options &= ~goEditing;
  grid.SetSelectedIndex(0);
  TypeChars(grid, u"x");
  EXPECT_EQ(table.State(), dsBrowse);
  EXPECT_EQ(grid.GetCell(1, 2), "李四");
}

TEST_F(DataGrid, TypingIntoAnEmptyTableAddsARecord) {
  MakeGrid(3);
  table.Open();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"||"}));
  TypeChars(grid, u"新");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"*|新|"}));
  table.Post();
  EXPECT_EQ(Stored(1, "AAAA"), "新");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"▶|新|"}));
}

}  // namespace
