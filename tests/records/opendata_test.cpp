// The text import window through real input: columns pasted and typed,
// memo column files saved and opened from its file menu, the columns
// written into a copy of the card-holder table (read back from the .dbf
// bytes), the columns filled from the table and from a worksheet.
#include "records/opendata.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

#include <filesystem>

#include "designer/cardprogram.h"
#include "designer/dirunit.h"
#include "platform/dbfio.h"
#include "platform/qt_input.h"
#include "records/dbpicsu.h"
#include "records/memolines.h"
#include "records/uinputcol.h"
#include "records/uselectfield.h"
#include "records/utextdata.h"
#include "dbfreadcheck.h"
#include "tablecopy.h"
#include "support/xlsbytes.h"

using cardtest::CardProgram;
namespace fs = std::filesystem;

namespace {

const char kFirstQuestion[] = "在批量数据入库前请检查各栏目的数据是否全部编辑完成！真的要批量数据入库吗？";
const char kNoData[] = "经检查，表前面6列6行都没有发现数据！请您先从Excel导入数据!";
const char kHint[] = "您要把这列或这行导入上面哪栏？请点击这栏的标题！";

using Lines = std::vector<std::string>;
using Record = std::vector<std::string>;  // AAAA .. MMMM

QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

std::string Join(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::vector<Record> StoredRecords(const std::string& folder) { return tablecopy::StoredTexts(folder); }

class TextImport : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = program_.MakeMainForm();
    FormPicEdit = MakeForm<TFormPicEdit>(Application);
    program_.Keep(FormPicEdit);
    FormTextData = MakeForm<TFormTextData>(Application);
    program_.Keep(FormTextData);
    FormInputCol = MakeForm<TFormInputCol>(Application);
    program_.Keep(FormInputCol);
    FormSelectField = MakeForm<TFormSelectField>(Application);
    program_.Keep(FormSelectField);
    OpenDataForm = MakeForm<TOpenDataForm>(Application);
    program_.Keep(OpenDataForm);
    form_ = OpenDataForm;
    folder_ = CopyTable("work");
    form_->Show();
    Settle();
    program_.dialogs.Records.clear();
  }

  std::string CopyTable(const std::string& name) { return tablecopy::UseStockCopy(program_, name); }

  // A click on a tool button as the user makes it.
  void Tool(TToolButton* button) {
    WindowClick(button, {button->GetWidth() / 2, button->GetHeight() / 2});
    Settle();
  }
  // Drops the file menu from its tool button and clicks the entry whose
  // caption starts with `caption`.
  void FileMenu(const QString& caption) {
    WindowClick(form_->TBFile, {5, 5});
    QMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions())
      if (action->text().startsWith(caption)) {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        Settle();
        return;
      }
    ADD_FAILURE() << "no entry " << caption.toStdString();
    CloseTrackedMenu();
  }
  // Pastes lines into column c with Ctrl+V, replacing what it held.
  void Paste(int c, const Lines& lines) {
    QWidget* memo = form_->Columns[size_t(c)]->Widget();
    ASSERT_NE(memo, nullptr);
    QApplication::clipboard()->setText(QString::fromStdString(Join(lines)));
    QTest::mouseClick(memo, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
  }
  Lines Column(int c) const { return MemoLines(form_->Columns[size_t(c)]); }
  // The next file dialog chooses `path` (false: the user cancels).
  void ChooseFile(const std::string& path, bool ok = true) {
    program_.dialogs.AnswerDialog([path, ok](TCommonDialog* d) {
      return ok && static_cast<TOpenDialog*>(d)->ChooseFiles({path});
    });
  }
  // 文本批量入库 with the two answers.
  void WriteColumns(int confirm, int emptyFirst) {
    program_.dialogs.Answer(confirm);
    if (confirm == IDOK) program_.dialogs.Answer(emptyFirst);
    Tool(form_->ToolButton5);
  }

  CardProgram program_;
  TMainForm* main_ = nullptr;
  TOpenDataForm* form_ = nullptr;
  std::string folder_;
};

TEST_F(TextImport, ColumnsGoThroughAMemoFileAndComeBackWhole) {
  Paste(0, {"张三", "李四", "", "王五"});
  Paste(1, {"0", "男", "女"});
  Paste(12, {"  空格在前后  "});
  // Typed keys reach a column too.
  QWidget* memo = form_->Columns[2]->Widget();
  QTest::mouseClick(memo, Qt::LeftButton, {}, QPoint(5, 5));
  for (QChar ch : QStringLiteral("市场部")) QTest::sendKeyEvent(QTest::Click, memo, Qt::Key_unknown, QString(ch), {});
  ASSERT_EQ(Column(2), Lines{"市场部"});

  const std::string base = program_.Data("cols");
  ChooseFile(base);
  FileMenu("另存为");
  EXPECT_EQ(form_->CurrentMemoFile, base + ".mem");
  ASSERT_TRUE(fs::exists(base + ".mem"));
  EXPECT_EQ(program_.dialogs.Records.back().Dialog, form_->savedialog);

  Tool(form_->ToolButton1);  // 清空各栏
  for (int c = 0; c < kMemoColumns; ++c) EXPECT_TRUE(Column(c).empty());
  Paste(5, {"stale"});  // opening replaces every column

  ChooseFile(base + ".mem");
  FileMenu("打开");
  EXPECT_EQ(form_->od->Filter, "CardwrightFile(*.mem)|*.mem");
  EXPECT_EQ(Column(0), (Lines{"张三", "李四", "", "王五"}));
  EXPECT_EQ(Column(1), (Lines{"0", "男", "女", ""}));  // "0" survives
  EXPECT_EQ(Column(2), (Lines{"市场部", "", "", ""}));
  EXPECT_EQ(Column(5), (Lines{"", "", "", ""}));
  EXPECT_EQ(Column(12), (Lines{"  空格在前后  ", "", "", ""}));

  // A shorter save through 保存 leaves no rows of the longer one behind.
  Paste(0, {"甲", "乙"});
  FileMenu("保存");
  Tool(form_->ToolButton1);
  ChooseFile(base + ".mem");
  FileMenu("打开");
  EXPECT_EQ(Column(0), (Lines{"甲", "乙"}));
  EXPECT_EQ(Column(1), (Lines{"0", "男"}));
  EXPECT_EQ(program_.dialogs.Pending(), 0u);
}

TEST_F(TextImport, SaveAsNamesTheFileAndCancelledDialogsChangeNothing) {
  Paste(0, {"张三"});
  struct Case {
    const char* chosen;
    const char* written;
  } cases[] = {{"abc", "abc.mem"}, {"Names.MEM", "Names.MEM.mem"}, {"d.mem", "d.mem"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    ChooseFile(program_.Data(c.chosen));
    FileMenu("另存为");
    EXPECT_EQ(form_->CurrentMemoFile, program_.Data(c.written));
    EXPECT_TRUE(fs::exists(program_.Data(c.written)));
  }
  // 保存 of an unnamed window asks a name; cancelled, nothing is written.
  form_->CurrentMemoFile = "未命名";
  ChooseFile("", false);
  FileMenu("保存");
  EXPECT_EQ(form_->CurrentMemoFile, "未命名");
  // A cancelled open keeps the columns.
  ChooseFile("", false);
  FileMenu("打开");
  EXPECT_EQ(Column(0), Lines{"张三"});
}

TEST_F(TextImport, LinesPastTheFileLimitAreNotSavedAndTheUserIsTold) {
  Lines many;
  for (int r = 0; r < kMemoRows + 5; ++r) many.push_back("第" + std::to_string(r) + "行");
  Paste(0, many);
  ChooseFile(program_.Data("many.mem"));
  FileMenu("另存为");
  ASSERT_FALSE(program_.Messages().empty());
  EXPECT_EQ(program_.Messages().back(), "文件每栏最多保存3000行，第3001行起的数据没有保存！");
  ChooseFile(program_.Data("many.mem"));
  FileMenu("打开");
  const Lines back = Column(0);
  ASSERT_EQ(back.size(), size_t(kMemoRows));
  EXPECT_EQ(back.back(), "第2999行");
}

// 3,000 records of 13 columns: pasted, saved, opened again unchanged, and
// written into an emptied table that then holds every text.
TEST_F(TextImport, BulkColumnsRoundTripThroughAFileIntoTheTable) {
  std::array<Lines, kMemoColumns> columns;
  const std::string names[] = {"张三", "欧阳修文", "Li Lei", "王小红"};
  for (int r = 0; r < kMemoRows; ++r)
    for (int c = 0; c < kMemoColumns; ++c) {
      std::string cell;
      switch ((r * 7 + c) % 5) {
        case 0: cell = names[r % 4] + std::to_string(r); break;
        case 1: cell = ""; break;
        case 2: cell = "0"; break;
        case 3: cell = "北京市海淀区中关村大街" + std::to_string(r) + "号院清华科技园创新大厦东座"; break;  // near the field's 60 bytes
        default: cell = std::to_string(r * 100 + c); break;
      }
      if (c == 0 && cell.empty()) cell = "空" + std::to_string(r);
      columns[size_t(c)].push_back(cell);
    }
  for (int c = 0; c < kMemoColumns; ++c) Paste(c, columns[size_t(c)]);
  ChooseFile(program_.Data("bulk.mem"));
  FileMenu("另存为");
  Tool(form_->ToolButton1);
  ChooseFile(program_.Data("bulk.mem"));
  FileMenu("打开");
  for (int c = 0; c < kMemoColumns; ++c) ASSERT_EQ(Column(c), columns[size_t(c)]) << "column " << c;

  // Waiting for the disk after each of 3,000 records is the disk's time,
  // not the import's.
  dbfio::SetDiskSync(false);
  WriteColumns(IDOK, IDYES);
  dbfio::SetDiskSync(true);
  const std::vector<Record> stored = StoredRecords(folder_);
  ASSERT_EQ(stored.size(), size_t(kMemoRows));
  for (int r = 0; r < kMemoRows; r += 1)
    for (int c = 0; c < kMemoColumns; ++c)
      ASSERT_EQ(stored[size_t(r)][size_t(c)], columns[size_t(c)][size_t(r)]) << "row " << r << " column " << c;
  EXPECT_EQ(form_->ProgressBar1->GetMax(), kMemoRows);

  // Another project's dBASE reader finds the same texts, in GBK.
  const dbfreadcheck::TTexts read = dbfreadcheck::ReadTexts(folder_ + "data.DBF", folder_);
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.records.size(), size_t(kMemoRows));
  for (int r = 0; r < kMemoRows; ++r)
    for (int c = 0; c < kMemoColumns; ++c)
      ASSERT_EQ(read.records[size_t(r)][size_t(c)], columns[size_t(c)][size_t(r)]) << "row " << r << " column " << c;
}

TEST_F(TextImport, UpdatingWritesThePresentCellsAndEndsWithOneRecordPerLine) {
  const Record zhang = StoredRecords(folder_)[0];
  const Record wang = StoredRecords(folder_)[2];
  struct Case {
    const char* what;
    Lines names, second;  // columns 0 and 1
    int confirm, emptyFirst;
    std::vector<Lines> expected;  // AAAA and BBBB of every record; CCCC below
    const char* message;
  } cases[] = {
      {"more lines than records append", {"甲", "乙", "丙", "丁", "戊"}, {"男", "女"}, IDOK, IDNO,
       {{"甲", "男"}, {"乙", "女"}, {"丙", wang[1]}, {"丁", ""}, {"戊", ""}}, nullptr},
      {"fewer lines than records delete the rest", {"甲", "乙"}, {}, IDOK, IDNO,
       {{"甲", zhang[1]}, {"乙", StoredRecords(folder_)[1][1]}}, nullptr},
      {"an empty first column is refused", {}, {"男"}, IDOK, IDNO,
       {{zhang[0], zhang[1]}, {"李四", StoredRecords(folder_)[1][1]}, {wang[0], wang[1]}},
       "第一栏没有数据，数据库没有改动！请先在各栏填入数据再入库。"},
      {"emptying first with nothing to write", {}, {}, IDOK, IDYES, {}, nullptr},
      {"emptying first fills shorter columns with nothing", {"甲", "乙"}, {"男"}, IDOK, IDYES,
       {{"甲", "男"}, {"乙", ""}}, nullptr},
      {"cancelled at the first question", {"甲"}, {}, IDCANCEL, IDYES,
       {{zhang[0], zhang[1]}, {"李四", StoredRecords(folder_)[1][1]}, {wang[0], wang[1]}}, nullptr},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = CopyTable("case" + std::to_string(n++));
    Tool(form_->ToolButton1);
    Paste(0, c.names);
    Paste(1, c.second);
    program_.dialogs.Records.clear();
    WriteColumns(c.confirm, c.emptyFirst);
    const std::vector<Record> stored = StoredRecords(folder);
    ASSERT_EQ(stored.size(), c.expected.size());
    for (size_t r = 0; r < stored.size(); ++r) {
      EXPECT_EQ(stored[r][0], c.expected[r][0]) << r;
      EXPECT_EQ(stored[r][1], c.expected[r][1]) << r;
    }
    // Columns with no lines leave the kept records' fields alone.
    if (c.emptyFirst == IDNO && !stored.empty()) EXPECT_EQ(stored[0][2], zhang[2]);
    ASSERT_FALSE(program_.dialogs.Records.empty());
    EXPECT_EQ(program_.dialogs.Records[0].Text, kFirstQuestion);
    EXPECT_EQ(program_.dialogs.Records[0].Caption, "注意");
    if (c.message) EXPECT_EQ(program_.Messages().back(), c.message);
    if (c.confirm == IDOK && !c.message)
      EXPECT_EQ(program_.dialogs.Records[1].Caption, "决定前想清楚是否需要清空旧数据");
    EXPECT_EQ(program_.dialogs.Pending(), 0u);
    // Written: the table ends on its first record with nothing pending.
    if (c.confirm == IDOK && !c.message) {
      EXPECT_EQ(FormPicEdit->Table1->State(), dsBrowse);
      EXPECT_EQ(FormPicEdit->Table1->GetRecNo(), stored.empty() ? 0 : 1);
    }
  }
}

TEST_F(TextImport, TheTableFillsOneLinePerRecordInEveryColumn) {
  Paste(3, {"old"});
  Tool(form_->ToolButton2);  // 从库导出
  const std::vector<Record> stored = StoredRecords(folder_);
  ASSERT_EQ(Column(0), (Lines{"张三", "李四", "王小红"}));
  for (int c = 0; c < kMemoColumns; ++c) {
    SCOPED_TRACE(c);
    const Lines column = Column(c);
    ASSERT_EQ(column.size(), 3u);
    for (size_t r = 0; r < 3; ++r) EXPECT_EQ(column[r], stored[r][size_t(c)].empty() ? " " : stored[r][size_t(c)]);
  }
  // An empty table leaves every column empty.
  Tool(form_->ToolButton1);
  WriteColumns(IDOK, IDYES);
  Tool(form_->ToolButton1);
  Paste(0, {"x"});
  Tool(form_->ToolButton2);
  for (int c = 0; c < kMemoColumns; ++c) EXPECT_TRUE(Column(c).empty());
}

TEST_F(TextImport, AWorksheetFillsTheColumnsFromTheGrid) {
  // The first click on a title finds no data yet.
  WindowClick(form_->Titles[0], {5, 5});
  EXPECT_EQ(program_.Messages(), Lines{kNoData});

  // A column of names with a gap, a row with a number.
  cwtest::XlsSheet sheet{"一班", {}};
  const Lines names{"张三", "李四", "", "王五"};
  for (int r = 0; r < 4; ++r)
    if (!names[size_t(r)].empty()) sheet.Cells.push_back({r, 0, names[size_t(r)]});
  sheet.Cells.push_back({1, 1, 12.5});
  sheet.Cells.push_back({1, 2, std::string("男")});
  const std::string book = program_.Data("book.xls");
  cwtest::WriteBytesFile(book, cwtest::XlsBytes({sheet}));
  // Read twice: by the tool button, then by the file menu's entry.
  ChooseFile(book);
  program_.dialogs.AnswerInput("1");
  Tool(form_->TBExcel);
  ChooseFile(book);
  program_.dialogs.AnswerInput("1");
  FileMenu("Excel导入");
  EXPECT_EQ(program_.dialogs.Pending(), 0u);
  EXPECT_EQ(form_->GetCaption(), "批量导入文本" + book);  // set, not appended to
  EXPECT_TRUE(form_->StringGrid->GetVisible());
  EXPECT_TRUE(form_->GridReady);
  EXPECT_EQ(form_->StringGrid->GetCell(1, 1), "张三");
  EXPECT_EQ(form_->StringGrid->GetCell(2, 2), "12.5");

  // A click in the grid picks its cell.
  program_.dialogs.Records.clear();
  QWidget* grid = form_->StringGrid->Widget();
  const TRect cell = form_->StringGrid->CellRect(1, 2);
  QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2));
  Settle();
  EXPECT_EQ(form_->GetCaption(), "批量处理数据库    光标在列：2, 行3");
  EXPECT_EQ(form_->PickedCol, 1);
  EXPECT_EQ(form_->PickedRow, 2);
  EXPECT_EQ(program_.Messages(), Lines{kHint});

  // Yes takes the column up to its last value, after the lines there.
  Paste(0, {"原有"});
  program_.dialogs.Answer(IDYES);
  WindowClick(form_->Titles[0], {5, 5});
  EXPECT_EQ(program_.dialogs.Records.back().Caption, "选择");
  EXPECT_EQ(Column(0), (Lines{"原有", "张三", "李四", "", "王五"}));
  // No takes the row.
  program_.dialogs.Answer(IDNO);
  WindowClick(form_->Titles[4], {5, 5});
  EXPECT_EQ(Column(4), (Lines{"李四", "12.5", "男"}));
}

// The 13 columns are wider than the window: its scroll box's bar brings the
// last one into view, and the columns shrink to make room for the grid.
TEST_F(TextImport, EveryColumnIsReachableAndTheGridTakesTheLowerPart) {
  TScrollBox* box = form_->ScrollBox1;
  auto columnsFit = [&] {
    for (TMemo* memo : form_->Columns)
      if (memo->GetTop() + memo->GetHeight() > box->GetClientHeight()) return false;
    return true;
  };
  ASSERT_TRUE(box->ScrollBar(SB_HORZ).Visible);
  EXPECT_TRUE(columnsFit());
  EXPECT_GT(form_->Columns[0]->GetHeight(), 400);  // the window's height, less the bars

  // Paging right with the mouse on the bar's track.
  QScrollBar* bar = nullptr;
  for (QScrollBar* b : box->Widget()->findChildren<QScrollBar*>(Qt::FindDirectChildrenOnly))
    if (b->orientation() == Qt::Horizontal) bar = b;
  ASSERT_NE(bar, nullptr);
  for (int i = 0; i < 5; ++i) QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 24, bar->height() / 2));
  Settle();
  TMemo* last = form_->Columns[12];
  EXPECT_GE(last->GetLeft(), 0);
  EXPECT_LE(last->GetLeft() + last->GetWidth(), box->GetClientWidth());
  QTest::mouseClick(last->Widget(), Qt::LeftButton, {}, QPoint(5, 5));
  for (QChar ch : QStringLiteral("备注")) QTest::sendKeyEvent(QTest::Click, last->Widget(), Qt::Key_unknown, QString(ch), {});
  EXPECT_EQ(Column(12), Lines{"备注"});

  // A workbook read shows the grid below the columns, above the progress bar.
  cwtest::XlsSheet sheet{"一班", {{0, 0, std::string("张三")}}};
  const std::string book = program_.Data("one.xls");
  cwtest::WriteBytesFile(book, cwtest::XlsBytes({sheet}));
  ChooseFile(book);
  program_.dialogs.AnswerInput("1");
  Tool(form_->TBExcel);
  ASSERT_TRUE(form_->StringGrid->GetVisible());
  EXPECT_TRUE(columnsFit());
  EXPECT_LE(box->GetTop() + box->GetHeight(), form_->StringGrid->GetTop());
  EXPECT_LE(form_->StringGrid->GetTop() + form_->StringGrid->GetHeight(), form_->ProgressBar1->GetTop());
}

TEST_F(TextImport, HelpTitlesAndTheEditingWindow) {
  form_->Repaint();
  Settle();
  for (int c = 0; c < kMemoColumns; ++c)
    EXPECT_EQ(form_->Titles[size_t(c)]->GetCaption(), main_->CheckListBox1->GetItems()->Get(c)) << c;
  Tool(form_->TBHelp);
  ASSERT_EQ(program_.Messages().size(), 1u);
  EXPECT_EQ(program_.Messages()[0].rfind("你可复制Excel 的列", 0), 0u);
  // 选用数据库 is the designer's table choice: its dialog, cancelled here.
  program_.dialogs.AnswerDialog([](TCommonDialog*) { return false; });
  FileMenu("选用数据库");
  EXPECT_EQ(program_.dialogs.Records.back().Dialog, main_->OpenDialog1);
  EXPECT_EQ(main_->OpenDialog1->Filter, "(*.dbf)|*.dbf");
  // 保存数据库到... is the designer's collect-save: its folder chooser.
  FormDir = MakeForm<TFormDir>(Application);
  program_.Keep(FormDir);
  program_.dialogs.AnswerModal(mrCancel);
  FileMenu("保存数据库到");
  EXPECT_EQ(program_.dialogs.Records.back().Form, FormDir);
  EXPECT_EQ(program_.dialogs.Pending(), 0u);
  Tool(form_->ToolButton3);  // 维护数据库
  EXPECT_TRUE(FormTextData->GetVisible());
  EXPECT_FALSE(form_->GetVisible());
  FormTextData->Hide();
}

}  // namespace
