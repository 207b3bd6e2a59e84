// The Excel import window through real clicks: reading a worksheet into the
// grid and staging a picked column or row.
#include "records/uexcel.h"

#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "platform/qt_input.h"
#include "records/uinputcol.h"
#include "records/uselectfield.h"
#include "support/testenv.h"
#include "support/xlsbytes.h"

using cwtest::XlsCell;
using cwtest::XlsSheet;

namespace {

const char* const kRead = "Excel数据导入成功！请点击表中您需要导入数据库某列或某行的数据！";
const char* const kFailed = "您的操作有误！或您的电脑没安装Excel！";
const char* const kNoData = "经检查，表前面6列6行都没有发现数据！请您先从Excel导入数据!";

// A sheet whose cell (r, c), zero-based, holds the text "r,c" (or, for
// large sheets, the number r * 100 + c).
XlsSheet Filled(const std::string& name, int rows, int cols, bool numbers = false) {
  XlsSheet sheet{name, {}};
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      if (numbers) sheet.Cells.push_back({r, c, double(r * 100 + c)});
      else sheet.Cells.push_back({r, c, std::to_string(r) + "," + std::to_string(c)});
  return sheet;
}

class FormExcelTest : public ::testing::Test {
 protected:
  FormExcelTest() {
    FormInputCol = MakeForm<TFormInputCol>(Application);
    FormSelectField = MakeForm<TFormSelectField>(Application);
    form = MakeForm<TFormExcel>(Application);
  }
  ~FormExcelTest() override {
    form->Hide();
    form->Free();
    FormSelectField->Free();
    FormInputCol->Free();
  }
  std::string Workbook(const std::vector<XlsSheet>& sheets, const std::string& name = "book.xls") {
    const std::string path = dir.file(name);
    cwtest::WriteBytesFile(path, cwtest::XlsBytes(sheets));
    return path;
  }
  // The user picks `path` in the open dialog and answers the sheet question.
  void Choose(const std::string& path, const std::string& sheet = "1", bool answered = true) {
    dialogs.AnswerDialog([path](TCommonDialog* d) { return static_cast<TOpenDialog*>(d)->ChooseFiles({path}); });
    dialogs.AnswerInput(sheet, answered);
  }
  // A mouse click on grid cell (col, row). The grid hears a click only
  // when the current cell moves, so it first moves elsewhere unheard.
  void Click(int col, int row) {
    Shown();
    TStringGrid* grid = form->StringGrid;
    if (grid->GetCol() == col && grid->GetRow() == row) {
      const bool ready = form->GridReady;
      form->GridReady = false;
      MouseOn(col == 1 ? 2 : 1, row);
      form->GridReady = ready;
    }
    MouseOn(col, row);
  }
  void MouseOn(int col, int row) {
    const TRect cell = form->StringGrid->CellRect(col, row);
    QTest::mouseClick(form->StringGrid->Widget(), Qt::LeftButton, {},
                      QPoint((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2));
  }
  // A click on a control of the window, as the user makes it.
  void Press(TControl* control) {
    Shown();
    WindowClick(control, {control->GetWidth() / 2, control->GetHeight() / 2});
  }
  void Shown() {
    if (form->GetVisible()) return;
    form->Show();
    QCoreApplication::processEvents();
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& r : dialogs.Records)
      if (r.Kind == TDialogRecord::Message) texts.push_back(r.Text);
    return texts;
  }
  std::vector<std::string> Staged() const {
    std::vector<std::string> lines;
    TStrings* memo = FormInputCol->Memo1->GetLines();
    for (int i = 0; i < memo->Count(); ++i) lines.push_back(memo->Get(i));
    return lines;
  }

  cwtest::TempDir dir;
  TScriptedDialogs dialogs;
  TFormExcel* form;
};

TEST_F(FormExcelTest, StartsEmptyAndIgnoresClicksBeforeARead) {
  EXPECT_EQ(form->GetCaption(), "Excel数据导入");
  EXPECT_EQ(form->CCEdit1->GetText(), "工作簿目录");
  EXPECT_EQ(form->StringGrid->GetColCount(), 30);
  EXPECT_EQ(form->StringGrid->GetRowCount(), 20);
  // Narrow columns, so that many worksheet columns show at once.
  for (int c : {0, 1, 29}) EXPECT_EQ(form->StringGrid->GetColWidth(c), 32) << c;
  EXPECT_EQ(form->StringGrid->CellRect(1, 1).Bottom - form->StringGrid->CellRect(1, 1).Top, 24);
  EXPECT_FALSE(form->GridReady);
  Click(2, 3);
  EXPECT_TRUE(dialogs.Records.empty());
  EXPECT_EQ(form->Label1->GetCaption(), "光标位置");
}

TEST_F(FormExcelTest, ReadsTheChosenSheetIntoTheGrid) {
  const std::string first = Workbook({Filled("one", 2, 2), Filled("二班", 5, 3)});
  Choose(first, " 2 ");
  Press(form->Button3);
  ASSERT_EQ(Messages(), std::vector<std::string>{kRead});
  EXPECT_EQ(dialogs.Records[1].Caption, "选择表单");
  EXPECT_EQ(form->od->Filter, "ExcelFile(*.xls)|*.xls");
  EXPECT_TRUE(form->GridReady);
  EXPECT_EQ(form->CCEdit1->GetText(), first);
  EXPECT_EQ(form->StringGrid->GetRowCount(), 20);  // 5 used rows, at least 20
  EXPECT_EQ(form->StringGrid->GetColCount(), 30);
  EXPECT_EQ(form->StringGrid->GetCell(1, 1), "0,0");
  EXPECT_EQ(form->StringGrid->GetCell(3, 5), "4,2");
  EXPECT_EQ(form->StringGrid->GetCell(0, 0), "");
  EXPECT_EQ(form->StringGrid->GetCell(4, 1), "");

  // A second, larger workbook: the grid grows past the minimum, the
  // caption names the second path only, and old cells are emptied.
  const std::string second = Workbook({Filled("big", 40, 35, true)}, "big.xls");
  Choose(second, "1");
  Press(form->Button3);
  EXPECT_EQ(form->GetCaption(), "Excel数据导入" + second);
  EXPECT_EQ(form->StringGrid->GetRowCount(), 41);
  EXPECT_EQ(form->StringGrid->GetColCount(), 36);
  EXPECT_EQ(form->StringGrid->GetCell(35, 40), "3934");
  // Every row and column of it can be scrolled to.
  EXPECT_TRUE(form->StringGrid->ScrollBar(SB_VERT).Visible);
  EXPECT_TRUE(form->StringGrid->ScrollBar(SB_HORZ).Visible);
}

TEST_F(FormExcelTest, ReportsEveryFailedReadAndStaysReady) {
  const std::string good = Workbook({Filled("one", 3, 3)});
  const std::string foreign = dir.file("notes.xls");
  cwtest::WriteBytesFile(foreign, std::vector<uint8_t>(2048, 'n'));
  struct Case {
    const char* what;
    std::string path, sheet;
  } cases[] = {
      {"a foreign file", foreign, "1"},
      {"letters for the sheet", good, "abc"},
      {"a sheet beyond the workbook", good, "2"},
      {"sheet zero", good, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs.Records.clear();
    form->StringGrid->SetCell(5, 5, "old");
    dialogs.AnswerDialog([&c](TCommonDialog* d) { return static_cast<TOpenDialog*>(d)->ChooseFiles({c.path}); });
    if (c.path != foreign) dialogs.AnswerInput(c.sheet);  // a foreign file fails before the question
    Press(form->Button3);
    EXPECT_EQ(Messages(), std::vector<std::string>{kFailed});
    EXPECT_EQ(form->StringGrid->GetCell(5, 5), "");  // emptied before the read
    EXPECT_TRUE(form->GridReady);
    EXPECT_EQ(form->CCEdit1->GetText(), "工作簿目录");
    EXPECT_EQ(dialogs.Pending(), 0u);
  }
}

TEST_F(FormExcelTest, ACancelledDialogKeepsTheGrid) {
  form->StringGrid->SetCell(2, 2, "kept");
  dialogs.AnswerDialog([](TCommonDialog*) { return false; });
  Press(form->Button3);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(form->StringGrid->GetCell(2, 2), "kept");
  EXPECT_EQ(form->GetCaption(), "Excel数据导入");
  EXPECT_TRUE(form->GridReady);
}

TEST_F(FormExcelTest, ACancelledSheetQuestionReadsTheFirstSheet) {
  Choose(Workbook({Filled("one", 1, 1), Filled("two", 2, 2)}), "", false);
  Press(form->Button3);
  EXPECT_EQ(Messages(), std::vector<std::string>{kRead});
  EXPECT_EQ(form->StringGrid->GetCell(1, 1), "0,0");
  EXPECT_EQ(form->StringGrid->GetCell(2, 2), "");
}

TEST_F(FormExcelTest, StagesThePickedColumnOrRow) {
  Choose(Workbook({Filled("one", 5, 3)}));
  Press(form->Button3);

  dialogs.Records.clear();
  dialogs.Answer(IDYES);                  // the column
  dialogs.AnswerModal(mrOk);              // staging dialog
  dialogs.AnswerModal(mrCancel);          // field chooser
  Click(2, 4);
  EXPECT_EQ(form->Label1->GetCaption(), "光标在列3, 行5");
  EXPECT_EQ(form->PickedCol, 2);
  EXPECT_EQ(form->PickedRow, 4);
  ASSERT_GE(dialogs.Records.size(), 3u);
  EXPECT_EQ(dialogs.Records[0].Caption, "选择");
  EXPECT_EQ(dialogs.Records[0].Flags & MB_TYPEMASK, MB_YESNOCANCEL);
  EXPECT_EQ(dialogs.Records[1].Form, FormInputCol);
  EXPECT_EQ(dialogs.Records[2].Form, FormSelectField);
  // Up to the column's last value: no empty lines that would become
  // empty records.
  EXPECT_EQ(Staged(), (std::vector<std::string>{"0,1", "1,1", "2,1", "3,1", "4,1"}));

  dialogs.Answer(IDNO);  // the row; the staging dialog is cancelled
  dialogs.AnswerModal(mrCancel);
  Click(1, 2);
  std::vector<std::string> row = Staged();
  EXPECT_EQ(row, (std::vector<std::string>{"1,0", "1,1", "1,2"}));
  EXPECT_EQ(dialogs.Pending(), 0u);

  // Empty cells before the last value stay as empty lines.
  form->StringGrid->SetCell(2, 3, "");
  dialogs.Answer(IDYES);
  dialogs.AnswerModal(mrCancel);
  Click(2, 1);
  const std::vector<std::string> gap{"0,1", "1,1", "", "3,1", "4,1"};
  EXPECT_EQ(Staged(), gap);

  dialogs.Records.clear();
  dialogs.Answer(IDCANCEL);  // nothing staged, nothing shown
  Click(3, 3);
  EXPECT_EQ(Staged(), gap);
  EXPECT_EQ(dialogs.Records.size(), 1u);
}

TEST_F(FormExcelTest, CellsKeepTheirPlaceInTheUsedRange) {
  // Values from C5 to D6 only: the used range runs from its origin, A1 here,
  // so every cell lands at its own row and column of the grid.
  XlsSheet offset{"offset", {XlsCell{4, 2, std::string("甲")}, XlsCell{5, 3, 7.0}}};
  Choose(Workbook({offset}));
  Press(form->Button3);
  EXPECT_EQ(form->StringGrid->GetCell(3, 5), "甲");
  EXPECT_EQ(form->StringGrid->GetCell(4, 6), "7");
  EXPECT_EQ(form->StringGrid->GetCell(1, 1), "");
  EXPECT_EQ(form->StringGrid->GetRowCount(), 20);
}

TEST_F(FormExcelTest, RefusesAPickWhenTheFirstCellsAreEmpty) {
  // A read that fails leaves the grid emptied and ready.
  const std::string foreign = dir.file("notes.xls");
  cwtest::WriteBytesFile(foreign, std::vector<uint8_t>(2048, 'n'));
  dialogs.AnswerDialog([&](TCommonDialog* d) { return static_cast<TOpenDialog*>(d)->ChooseFiles({foreign}); });
  Press(form->Button3);
  ASSERT_TRUE(form->GridReady);
  dialogs.Records.clear();
  Click(11, 11);
  EXPECT_EQ(Messages(), std::vector<std::string>{kNoData});
  EXPECT_EQ(form->Label1->GetCaption(), "光标在列12, 行12");
  EXPECT_EQ(dialogs.Records.size(), 1u);
}

TEST_F(FormExcelTest, PositionLabelShowsTheStagedLinesThenTheChooser) {
  dialogs.AnswerModal(mrCancel);
  Press(form->Label1);
  EXPECT_FALSE(FormSelectField->GetVisible());
  dialogs.AnswerModal(mrOk);
  Press(form->Label1);
  EXPECT_TRUE(FormSelectField->GetVisible());
  FormSelectField->Hide();
}

}  // namespace
