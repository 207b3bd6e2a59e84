// The field chooser, the column staging dialog with its amount conversion,
// and the write of a staged worksheet column into the card-holder table,
// through real clicks; the table is read back from its .dbf bytes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

#include "designer/cardprogram.h"
#include "platform/qt_input.h"
#include "records/dbpicsu.h"
#include "records/memolines.h"
#include "records/uexcel.h"
#include "records/uinputcol.h"
#include "records/uselectfield.h"
#include "dbfreadcheck.h"
#include "support/xlsbytes.h"
#include "tablecopy.h"

using cardtest::CardProgram;

namespace {

using Lines = std::vector<std::string>;

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

void ClickCenter(TControl* control) {
  WindowClick(control, {control->GetWidth() / 2, control->GetHeight() / 2});
  Settle();
}

// A click on radio item i of the chooser, as the user makes it.
void ChooseItem(int i) {
  TRadioGroup* group = FormSelectField->RadioGroup1;
  const TRect r = group->ItemRect(i);
  WidgetClick(group, {r.Left + 6, (r.Top + r.Bottom) / 2});
}

// The texts of one field in the live records of a table file.
Lines StoredField(const std::string& folder, size_t column) {
  Lines texts;
  for (const auto& record : tablecopy::StoredTexts(folder)) texts.push_back(record[column]);
  return texts;
}

// Runs `act` once `form` shows, from inside the modal loop that shows it.
void WhenShown(TCustomForm* form, std::function<void()> act) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, form, act] {
    if (!form->GetVisible()) return;
    timer->stop();
    timer->deleteLater();
    act();
  });
  timer->start();
}

// Clicks the centre of grid cell (col, row) in its widget.
void ClickCell(TStringGrid* grid, int col, int row) {
  const TRect cell = grid->CellRect(col, row);
  QTest::mouseClick(grid->Widget(), Qt::LeftButton, {},
                    QPoint((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2));
  Settle();
}

class Staging : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = program_.MakeMainForm();
    FormPicEdit = MakeForm<TFormPicEdit>(Application);
    program_.Keep(FormPicEdit);
    FormInputCol = MakeForm<TFormInputCol>(Application);
    program_.Keep(FormInputCol);
    FormSelectField = MakeForm<TFormSelectField>(Application);
    program_.Keep(FormSelectField);
    FormExcel = MakeForm<TFormExcel>(Application);
    program_.Keep(FormExcel);
    program_.dialogs.Records.clear();
  }
  std::string CopyTable(const std::string& name) { return tablecopy::UseStockCopy(program_, name); }
  void SetStaged(const Lines& lines) { SetMemoLines(FormInputCol->Memo1, lines); }

  CardProgram program_;
  TMainForm* main_ = nullptr;
};

TEST_F(Staging, TheChooserAlwaysHasAFieldAndKeepsTheLastChoice) {
  main_->CheckListBox1->GetItems()->Put(3, "部门名称");
  int shown = 0;
  program_.dialogs.AnswerModal(mrOk, [&](TCustomForm*) {
    ++shown;
    // Shown for the first time: the first field is chosen already.
    EXPECT_EQ(FormSelectField->RadioGroup1->GetItemIndex(), 0);
    EXPECT_EQ(FormSelectField->RadioGroup1->GetItems()->Get(3), "部门名称");
    // Sky blue behind the items too, as around them.
    const QImage group = FormSelectField->RadioGroup1->Widget()->grab().toImage();
    EXPECT_EQ(group.pixelColor(group.width() - 8, group.height() / 2), QColor(0xA6, 0xCA, 0xF0));
    ChooseItem(3);
  });
  ASSERT_EQ(FormSelectField->ShowModal(), mrOk);
  EXPECT_EQ(FormSelectField->ChosenField(), "DDDD");
  program_.dialogs.AnswerModal(mrOk, [&](TCustomForm*) {
    ++shown;
    EXPECT_EQ(FormSelectField->RadioGroup1->GetItemIndex(), 3);
    ChooseItem(12);
  });
  FormSelectField->ShowModal();
  EXPECT_EQ(FormSelectField->ChosenField(), "MMMM");
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(FormSelectField->Button1->ModalResult, mrOk);
  EXPECT_EQ(FormSelectField->GetCaption(), "选字段");
}

TEST_F(Staging, AmountsTurnIntoCapitalsAndTheRestIsMarked) {
  struct Case {
    const char* line;
    std::string after;
  } cases[] = {
      {"12345.67", "壹万贰仟叁佰肆拾伍元陆角柒分"},
      {"100000.01", "壹拾万元零壹分"},
      {"1234567.89", "壹佰贰拾叁万肆仟伍佰陆拾柒元捌角玖分"},  // every digit kept
      {"98765432109.99", "玖佰捌拾柒亿陆仟伍佰肆拾叁万贰仟壹佰零玖元玖角玖分"},
      {" 0.995 ", "壹元整"},
      {"0", "零元整"},
      {"1e3", "壹仟元整"},
      {"-3", "-3"},
      {"", std::string(kNotAnAmountMark)},
      {" ", std::string(kNotAnAmountMark) + " "},
      {"十二元", std::string(kNotAnAmountMark) + "十二元"},
      {"1000000000000000", std::string(kAmountTooLargeMark) + "1000000000000000"},
      {"999999999999999.996", std::string(kAmountTooLargeMark) + "999999999999999.996"},
  };
  Lines lines, expected;
  for (const Case& c : cases) {
    lines.push_back(c.line);
    expected.push_back(c.after);
  }
  SetStaged(lines);
  FormInputCol->Show();
  Settle();
  ClickCenter(FormInputCol->SpeedButton5);
  EXPECT_EQ(MemoLines(FormInputCol->Memo1), expected);
  ASSERT_EQ(program_.Messages().size(), 1u);
  EXPECT_EQ(program_.Messages()[0].rfind("有5行没有转换", 0), 0u);

  // Converting again leaves the converted and the marked lines alone and
  // counts the marked ones again.
  ClickCenter(FormInputCol->SpeedButton5);
  EXPECT_EQ(MemoLines(FormInputCol->Memo1)[2], expected[2]);
  EXPECT_EQ(MemoLines(FormInputCol->Memo1)[8], expected[8]);
  FormInputCol->Hide();
}

// A worksheet column picked in the Excel window, staged, converted, and
// written into the chosen field of successive records.
TEST_F(Staging, APickedWorksheetColumnIsWrittenIntoTheChosenField) {
  cwtest::XlsSheet sheet{"金额", {}};
  const Lines amounts{"100", "20.07", "1234.56", "5", "6"};
  for (int r = 0; r < 5; ++r) sheet.Cells.push_back({r, 0, std::stod(amounts[size_t(r)])});
  sheet.Cells.push_back({0, 1, std::string("甲")});
  sheet.Cells.push_back({1, 1, std::string("乙")});
  const std::string book = program_.Data("amounts.xls");
  cwtest::WriteBytesFile(book, cwtest::XlsBytes({sheet}));

  struct Case {
    const char* what;
    int gridCol;    // grid column picked
    int confirm;    // answer to the write question
    bool convert;   // press 转大写金额 in the staging dialog
    Lines expected; // field IIII of the records afterwards
  } cases[] = {
      {"five lines into three records append two", 1, IDOK, true,
       {"壹佰元整", "贰拾元零柒分", "壹仟贰佰叁拾肆元伍角陆分", "伍元整", "陆元整"}},
      {"two lines into three records keep the third", 2, IDOK, false, {"甲", "乙", ""}},
      {"a cancelled write leaves the table", 1, IDCANCEL, false, {"", "", ""}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = CopyTable("case" + std::to_string(n++));
    // IIII is empty in the stock records, so untouched records show.
    FormExcel->Show();
    program_.dialogs.AnswerDialog([&](TCommonDialog* d) { return static_cast<TOpenDialog*>(d)->ChooseFiles({book}); });
    program_.dialogs.AnswerInput("1");
    ClickCenter(FormExcel->Button3);
    program_.dialogs.Records.clear();

    program_.dialogs.Answer(IDYES);  // the column
    program_.dialogs.AnswerModal(mrOk, [&](TCustomForm*) {
      if (c.convert) ClickCenter(FormInputCol->SpeedButton5);
      ClickCenter(FormInputCol->ButtonOK);
    });
    program_.dialogs.AnswerModal(mrOk, [](TCustomForm*) {
      ChooseItem(8);  // IIII
      ClickCenter(FormSelectField->Button1);
    });
    program_.dialogs.Answer(c.confirm);
    QWidget* grid = FormExcel->StringGrid->Widget();
    const TRect cell = FormExcel->StringGrid->CellRect(c.gridCol, n + 1);  // a new cell each time
    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2));
    Settle();
    EXPECT_EQ(program_.dialogs.Pending(), 0u);
    EXPECT_EQ(StoredField(folder, 8), c.expected);
    const Lines messages = program_.Messages();
    EXPECT_EQ(messages.back() == "成功入库", c.confirm == IDOK);
    EXPECT_EQ(FormExcel->ProgressBar1->GetPosition(), 0);
    // Names stay with their records.
    EXPECT_EQ(StoredField(folder, 0).at(0), "张三");
    FormExcel->Hide();
  }
}

// A workbook written outside the program (BIFF8 bytes, its second sheet
// named as a class) goes into the table through the Excel window, every
// step a real click or key: the read, the picks in the grid, the staging
// dialog and the chooser in their own modal runs. Another project's dBASE
// reader then finds each cell in its record, in GBK.
TEST_F(Staging, AWorkbookFillsTheTableThroughTheExcelWindow) {
  const std::string folder = CopyTable("excel");
  cwtest::XlsSheet cover{"封面", {{0, 0, std::string("不是这一张")}}};
  cwtest::XlsSheet pupils{"初二6班", {}};
  const std::vector<Lines> rows{
      {"欧阳修文", "男", "12.5"},  {"李小龙", "", "100"}, {"王小红", "女", "0"},
      {"Li Lei", "0", ""},         {"赵钱孙李周吴郑王冯陈褚卫蒋沈韩杨朱秦尤许", "男", "99999"},
  };
  for (int r = 0; r < int(rows.size()); ++r)
    for (int c = 0; c < 3; ++c) {
      const std::string& text = rows[size_t(r)][size_t(c)];
      if (text.empty()) continue;
      if (c == 2) pupils.Cells.push_back({r, c, std::stod(text)});  // numbers, as a spreadsheet holds them
      else pupils.Cells.push_back({r, c, text});
    }
  const std::string book = program_.Data("初二.xls");
  cwtest::WriteBytesFile(book, cwtest::XlsBytes({cover, pupils}));

  FormExcel->Show();
  Settle();
  program_.dialogs.AnswerDialog([&](TCommonDialog* d) { return static_cast<TOpenDialog*>(d)->ChooseFiles({book}); });
  program_.dialogs.AnswerInput(" 2 ");
  ClickCenter(FormExcel->Button3);
  ASSERT_EQ(program_.Messages().back(), "Excel数据导入成功！请点击表中您需要导入数据库某列或某行的数据！");
  EXPECT_EQ(FormExcel->GetCaption(), "Excel数据导入" + book);
  EXPECT_EQ(FormExcel->CCEdit1->GetText(), book);

  // Each pick: the grid cell, column (Yes) or row (No), the staging
  // dialog's 入库, the chooser's field and 确 定, then the write's OK.
  // (A grid hears a click only when it moves to another cell.)
  struct Pick {
    int col, row;
    int columnOrRow;
    int field;
  } picks[] = {{1, 2, IDYES, 0}, {2, 3, IDYES, 1}, {3, 2, IDYES, 2}, {2, 4, IDNO, 12}};
  for (const Pick& pick : picks) {
    SCOPED_TRACE(pick.field);
    program_.dialogs.Records.clear();
    program_.dialogs.Answer(pick.columnOrRow);
    program_.dialogs.AnswerModalByLoop();
    program_.dialogs.AnswerModalByLoop();
    program_.dialogs.Answer(IDOK);
    WhenShown(FormInputCol, [] { ClickCenter(FormInputCol->ButtonOK); });
    WhenShown(FormSelectField, [&] {
      ChooseItem(pick.field);
      ClickCenter(FormSelectField->Button1);
    });
    ClickCell(FormExcel->StringGrid, pick.col, pick.row);
    ASSERT_EQ(program_.dialogs.Pending(), 0u);
    EXPECT_EQ(program_.Messages().back(), "成功入库");
    EXPECT_EQ(FormExcel->Label1->GetCaption(),
              "光标在列" + std::to_string(pick.col + 1) + ", 行" + std::to_string(pick.row + 1));
  }

  // The stock table held three records: the five rows overwrite them and
  // append two; the row pick (worksheet row 4) stages up to its last value
  // and fills MMMM of two records.
  const dbfreadcheck::TTexts read = dbfreadcheck::ReadTexts(folder + "data.DBF", folder);
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.records.size(), rows.size());
  const Lines stagedRow{"Li Lei", "0"};
  for (size_t r = 0; r < rows.size(); ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(read.records[r][0], rows[r][0]);
    EXPECT_EQ(read.records[r][1], rows[r][1]);
    EXPECT_EQ(read.records[r][2], rows[r][2]);
    EXPECT_EQ(read.records[r][12], r < stagedRow.size() ? stagedRow[r] : "");
  }
  // Fields no pick touched keep the stock values; the appended records
  // have none.
  EXPECT_EQ(read.records[0][3], "工程师");
  EXPECT_EQ(read.records[4][3], "");

  // The position label shows the staged lines again; closing the staging
  // dialog by its frame is a Cancel, so no chooser follows.
  program_.dialogs.Records.clear();
  program_.dialogs.AnswerModalByLoop();
  WhenShown(FormInputCol, [] {
    QCloseEvent close;
    QApplication::sendEvent(FormInputCol->Widget()->window(), &close);
  });
  WindowClick(FormExcel->Label1, {5, 5});
  Settle();
  EXPECT_EQ(FormInputCol->ModalResult, mrCancel);
  EXPECT_FALSE(FormSelectField->GetVisible());
  EXPECT_EQ(MemoLines(FormInputCol->Memo1), stagedRow);
  // Confirmed, it leaves the chooser open without waiting.
  program_.dialogs.AnswerModalByLoop();
  WhenShown(FormInputCol, [] { ClickCenter(FormInputCol->ButtonOK); });
  WindowClick(FormExcel->Label1, {5, 5});
  Settle();
  EXPECT_TRUE(FormSelectField->GetVisible());
  EXPECT_EQ(program_.dialogs.Pending(), 0u);
  FormSelectField->Hide();
  FormExcel->Hide();
}

TEST_F(Staging, AnEmptyStagedColumnStillAsksAndWritesNothing) {
  const std::string folder = CopyTable("empty");
  SetStaged({});
  TProgressBar bar(nullptr);
  program_.dialogs.Answer(IDOK);
  WriteStagedColumn("AAAA", &bar);
  EXPECT_EQ(program_.Messages(), (Lines{"在批量数据入库前请检查列出的数据是否全部编辑完成！真的要批量数据入库吗？", "成功入库"}));
  EXPECT_EQ(StoredField(folder, 0), (Lines{"张三", "李四", "王小红"}));
  EXPECT_EQ(FormPicEdit->Table1->State(), dsBrowse);
}

}  // namespace
