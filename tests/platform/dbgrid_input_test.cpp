// The data grid driven as a person drives it: keys and clicks sent to the
// grid's own widget on a shown form, the table file read back with a plain
// reader of its own.
#include <QApplication>
#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QTest>
#include <functional>

#include "platform/dbgrids.h"
#include "dbcontrol_support.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/gbk.h"

namespace {

class GridInput : public dbtest::CardSource {
 public:
  using CardSource::table;

  void SetUp() override {
    CardSource::SetUp();
    form.SetBounds(0, 0, 420, 260);
    grid.SetParent(&form);
    grid.SetBounds(0, 0, 300, 4 * (grid.DefaultRowHeight + 1) + 4);  // three record rows
    grid.SetDataSource(&source);
    for (const char* name : {"AAAA", "BBBB"}) grid.Columns()->Add()->SetFieldName(name);
    other.SetParent(&form);
    other.SetBounds(310, 10, 100, 60);
  }

  void TearDown() override {
    other.SetParent(nullptr);
    grid.SetParent(nullptr);
  }

  // Fills the table, shows the form and gives the grid the focus by a click
  // on the first record's first cell.
  void Start(const std::vector<std::string>& names) {
    Fill(names);
    form.Show();
    Click(1, 1);
    ASSERT_TRUE(grid.Focused());
  }

  QWidget* W() { return grid.Widget(); }

  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(W(), key, mods); }

  // Each character as a key press carrying it, Chinese ones too.
  void Type(const QString& text) {
    for (QChar ch : text) QTest::sendKeyEvent(QTest::Click, W(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }

  void Click(int col, int row) {
    const TRect cell = grid.CellRect(col, row);
    const TRect frame = grid.FrameInsets();
    QTest::mouseClick(W(), Qt::LeftButton, {}, QPoint(cell.Left + frame.Left + 3, cell.Top + frame.Top + 3));
  }

  // The bytes of a text column of record recNo in the file, blanks cut.
  std::string RawInFile(int recNo, int column) {
    std::string raw = dbtest::ReadPlain(table.FileName()).records.at(size_t(recNo - 1)).at(size_t(column));
    return raw.substr(0, raw.find_last_not_of(' ') + 1);
  }

  int RecordsInFile() { return int(dbtest::ReadPlain(table.FileName()).records.size()); }

  TForm form{nullptr};
  TDBGrid grid{nullptr};
  TEdit other{nullptr};
};

// Typed text reaches the file when the grid moves to another record or
// loses the focus, GBK-encoded; Return and Tab store it in the field only.
TEST_F(GridInput, TypedTextIsPostedWhenTheGridMovesOnOrIsLeft) {
  struct Case {
    const char* name;
    std::function<void(GridInput&)> moveOn;
  } cases[] = {
      {"Down", [](GridInput& t) { t.Key(Qt::Key_Down); }},
      {"click on another row", [](GridInput& t) { t.Click(2, 2); }},
      {"Return, then Up", [](GridInput& t) {
         t.Key(Qt::Key_Return);
         EXPECT_EQ(t.table.FieldByName("AAAA")->GetAsString(), "赵钱");
         EXPECT_EQ(t.table.State(), dsEdit);
         t.Key(Qt::Key_Down);
       }},
      {"Tab to the next column, Tab past the last", [](GridInput& t) {
         t.Key(Qt::Key_Tab);
         EXPECT_EQ(t.grid.GetCol(), 2);
         EXPECT_EQ(t.table.FieldByName("AAAA")->GetAsString(), "赵钱");
         t.Key(Qt::Key_Tab);
         EXPECT_EQ(t.grid.GetCol(), 1);
         EXPECT_EQ(t.table.GetRecNo(), 2);
         t.Key(Qt::Key_Tab, Qt::ShiftModifier);  // back to the last column of the record before
         EXPECT_EQ(t.grid.GetCol(), 2);
         EXPECT_EQ(t.table.GetRecNo(), 1);
       }},
      {"the focus going to another control", [](GridInput& t) {
         QWidget* w = t.other.Widget();
         QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
         EXPECT_TRUE(t.other.Focused());
       }},
      {"the form closing", [](GridInput& t) {
         QCloseEvent close;
         QApplication::sendEvent(t.form.Widget(), &close);
         EXPECT_FALSE(t.form.GetVisible());
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    table.Close();
    TDbfTable::Create(table.FileName(), dbfLevel4, dbtest::CardColumns(20));
    Start({"张三", "李四", "王五"});
    Type("赵钱");
    EXPECT_EQ(table.State(), dsEdit);
    EXPECT_EQ(grid.GetCell(1, 1), "赵钱");
    EXPECT_EQ(RawInFile(1, 0), Utf8ToGbk("张三"));  // nothing written yet
    c.moveOn(*this);
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(RawInFile(1, 0), Utf8ToGbk("赵钱"));
    EXPECT_EQ(RawInFile(2, 0), Utf8ToGbk("李四"));
    EXPECT_EQ(RecordsInFile(), 3);
  }
}

// Text committed by an input method lands in the cell after the keys typed
// before it, and in the file as GBK.
TEST_F(GridInput, InputMethodTextIsTypedIntoTheCell) {
  Start({"张三"});
  QTest::keyClicks(W(), "ID");
  QInputMethodEvent composing(QStringLiteral("wang"), {});
  QApplication::sendEvent(W(), &composing);  // still composing: nothing typed
  EXPECT_EQ(grid.GetCell(1, 1), "ID");
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("王小红"));
  QApplication::sendEvent(W(), &commit);
  EXPECT_EQ(grid.GetCell(1, 1), "ID王小红");
  Key(Qt::Key_Backspace);
  Key(Qt::Key_Down);
  EXPECT_EQ(RawInFile(1, 0), Utf8ToGbk("ID王小"));
}

// Insert and Down past the last record add one; a new record left without
// typing is dropped, one typed into is written.
TEST_F(GridInput, InsertAndDownAtTheEndAppendRecords) {
  Start({"a", "b"});
  Key(Qt::Key_Insert);
  EXPECT_EQ(table.State(), dsInsert);
  EXPECT_EQ(grid.GetCell(0, 3), "*");
  Key(Qt::Key_Up);  // left untouched: dropped
  EXPECT_EQ(table.State(), dsBrowse);
  EXPECT_EQ(table.RecordCount(), 2);
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);  // past the last record
  EXPECT_EQ(table.State(), dsInsert);
  Type("新");
  Key(Qt::Key_Tab);
  Type("7");
  Key(Qt::Key_Down);  // written, and the next new record begun
  EXPECT_EQ(RecordsInFile(), 3);
  EXPECT_EQ(RawInFile(3, 0), Utf8ToGbk("新"));
  EXPECT_EQ(RawInFile(3, 1), "7");
  EXPECT_EQ(table.State(), dsInsert);
  Click(1, 1);  // leaving the untouched one by the mouse drops it too
  EXPECT_EQ(table.State(), dsBrowse);
  EXPECT_EQ(table.GetRecNo(), 2);
  EXPECT_EQ(RecordsInFile(), 3);

  // On an empty table typing begins the first record.
  table.Close();
  TDbfTable::Create(table.FileName(), dbfLevel4, dbtest::CardColumns(20));
  table.Open();
  Click(1, 1);
  Type("首");
  Key(Qt::Key_Down);
  EXPECT_EQ(RecordsInFile(), 1);
  EXPECT_EQ(RawInFile(1, 0), Utf8ToGbk("首"));
}

// Ctrl+Delete asks first; OK deletes the current record, Cancel keeps it.
TEST_F(GridInput, CtrlDeleteDeletesAfterConfirmation) {
  TScriptedDialogs dialogs;
  Start({"a", "b", "c"});
  Click(1, 2);
  dialogs.Answer(IDCANCEL);
  Key(Qt::Key_Delete, Qt::ControlModifier);
  ASSERT_EQ(dialogs.Records.size(), 1u);
  EXPECT_EQ(dialogs.Records[0].Text, "删除该记录吗？");
  EXPECT_EQ(table.RecordCount(), 3);
  dialogs.Answer(IDOK);
  Key(Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(table.RecordCount(), 2);
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "c");
  const dbtest::PlainTable plain = dbtest::ReadPlain(table.FileName());
  EXPECT_EQ(plain.deleted, (std::vector<bool>{false, true, false}));
  Key(Qt::Key_Delete);  // without Ctrl nothing is asked, nor typed
  EXPECT_EQ(dialogs.Records.size(), 2u);
  EXPECT_EQ(table.RecordCount(), 2);
  EXPECT_EQ(table.State(), dsBrowse);
}

// Escape cancels the change: the cell shows the stored text again and the
// next key typed replaces it.
TEST_F(GridInput, EscapeCancelsTheChange) {
  Start({"张三", "李四"});
  Type("赵");
  Key(Qt::Key_Return);
  Key(Qt::Key_Escape);
  EXPECT_EQ(table.State(), dsBrowse);
  EXPECT_EQ(grid.GetCell(1, 1), "张三");
  Key(Qt::Key_Down);
  EXPECT_EQ(RawInFile(1, 0), Utf8ToGbk("张三"));
  Type("钱");
  EXPECT_EQ(grid.GetCell(1, 2), "钱");
}

// Closing the table, or the program by its main window, writes an edit
// still in the grid.
TEST_F(GridInput, ClosingPostsThePendingEdit) {
  Start({"张三"});
  Type("孙");
  table.Close();
  EXPECT_EQ(RawInFile(1, 0), Utf8ToGbk("孙"));

  TApplication app(nullptr);
  TApplication* saved = Application;
  Application = &app;
  app.MainForm = &form;
  table.Open();
  Click(1, 1);
  Type("李");
  QCloseEvent close;
  QApplication::sendEvent(form.Widget(), &close);
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(RawInFile(1, 0), Utf8ToGbk("李"));
  app.MainForm = nullptr;
  Application = saved;
}

}  // namespace
