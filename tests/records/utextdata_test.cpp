// The database editing window and the card batch window's picture buttons,
// through real clicks, with the dialog service answering the questions,
// the field chooser, the folder chooser and the file dialogs. The tables
// are made in the test and read back from their .dbf and .dbt bytes; the
// stored pictures are decoded by Qt.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <filesystem>
#include <string>
#include <vector>

#include "batchwindow.h"
#include "designer/dirunit.h"
#include "imaging/view/dbpix.h"
#include "imaging/view/pix.h"
#include "picturefiles.h"
#include "platform/checklst.h"
#include "platform/dbfio.h"
#include "platform/filectrl.h"
#include "platform/menus.h"
#include "platform/qt_input.h"
#include "records/catchpic.h"
#include "records/memolines.h"
#include "records/opendata.h"
#include "records/uexcel.h"
#include "records/uinputcol.h"
#include "records/uscanner.h"
#include "records/uselectfield.h"
#include "records/utextdata.h"
#include "tablecopy.h"

namespace {

using namespace picturefiles;

const char kDone[] = "图片导入结束       ";

void ClickCenter(TControl* control) {
  WindowClick(control, {control->GetWidth() / 2, control->GetHeight() / 2});
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

class DatabaseWindow : public cardtest::BatchWindowTest {
 protected:
  void SetUp() override {
    BatchWindowTest::SetUp();
    FormTextData = Make<TFormTextData>();
    FormDir = Make<TFormDir>();
    FormSelectField = Make<TFormSelectField>();
    FormInputCol = Make<TFormInputCol>();
    window_ = FormTextData;
    window_->Show();
    pictures_ = program_.DataFolder() / "pictures";
  }

  template <class T>
  T* Make() {
    T* form = MakeForm<T>(Application);
    program_.Keep(form);
    return form;
  }

  // A table of its own with these names, bound to the card-holder table.
  std::string UseTable(const std::vector<std::string>& names, const std::string& photo = "") {
    const std::string folder = MakeTable(program_.DataFolder() / "cards", names, photo);
    UseFolder(folder);
    return folder;
  }

  // The next open dialog picks `file`.
  void PickFile(const fs::path& file) {
    program_.dialogs.AnswerDialog(
        [file](TCommonDialog* dialog) { return static_cast<TOpenPixDialog*>(dialog)->ChooseFiles({file.string()}); });
  }
  // The next field chooser: `item` clicked (-1: no item chosen), then OK.
  void ChooseField(int item) {
    program_.dialogs.AnswerModal(mrOk, [item](TCustomForm* shown) {
      ASSERT_EQ(shown, FormSelectField);
      if (item < 0) {
        FormSelectField->RadioGroup1->SetItemIndex(-1);
        return;
      }
      const TRect r = FormSelectField->RadioGroup1->ItemRect(item);
      WidgetClick(FormSelectField->RadioGroup1, {r.Left + 6, (r.Top + r.Bottom) / 2});
    });
  }
  // The next folder chooser confirms `folder` and `format`.
  void ChooseFolder(const fs::path& folder, const std::string& format = "JPG") {
    fs::create_directories(folder);
    program_.dialogs.AnswerModal(mrOk, [folder, format](TCustomForm* shown) {
      ASSERT_EQ(shown, FormDir);
      FormDir->DirectoryListBox1->SetDirectory(folder.string());
      FormDir->FilterComboBox1->SetFilter(format + "|*." + LowerCase(format));
      FormDir->FilterComboBox1->SetItemIndex(0);
    });
  }

  std::vector<std::string> Notes() const {
    std::vector<std::string> texts;
    for (const TDialogRecord& r : program_.dialogs.Records)
      if (r.Kind == TDialogRecord::Message) texts.push_back(r.Text);
    return texts;
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const TDialogRecord& r : program_.dialogs.Records) captions.push_back(r.Caption);
    return captions;
  }

  TFormTextData* window_ = nullptr;
  fs::path pictures_;
};

// By name: keys with blanks, Chinese and capitals, an empty key that becomes
// 无名, two files for one key (the later one stays), a file that cannot be
// read (the record keeps its photo) and files that are no pictures.
TEST_F(DatabaseWindow, ByNameMatchesFoldedKeysToFileNamesAndTheLastMatchStays) {
  const std::string blue = QtBytes(Qt::blue, "bmp");
  const std::string folder = UseTable({"张三", "李 四", "Li", "", "王五", "赵六"}, blue);
  WriteFile(pictures_, "张 三.JPG", PictureBytes("jpg", Qt::red), 1);
  WriteFile(pictures_, "张三.png", PictureBytes("png", Qt::green), 2);
  WriteFile(pictures_, "李四.bmp", PictureBytes("bmp", Qt::yellow), 0);
  WriteFile(pictures_, "li.jpg", PictureBytes("jpg", Qt::magenta), 0);
  WriteFile(pictures_, "无名.ICO", PictureBytes("ico", Qt::cyan), 0);
  WriteFile(pictures_, "王五.jpg", "this is no jpeg", 0);
  const fs::path note = WriteFile(pictures_, "赵六.txt", "not a picture", 0);
  fs::create_directories(pictures_ / "赵六.jpg");

  program_.dialogs.Answer(IDYES);  // batch
  program_.dialogs.Answer(IDYES);  // by name
  ChooseField(-1);                 // confirmed with nothing chosen: the first field
  PickFile(note);                  // any file of the folder
  program_.dialogs.Answer(IDYES);  // picture one
  const uint64_t syncs = dbfio::SyncCount();
  ClickCenter(window_->SpeedButton1);

  EXPECT_EQ(program_.dialogs.Pending(), 0u);
  EXPECT_EQ(Notes(), (std::vector<std::string>{"点击是批量导入图片？点击否逐个设置图片！ ",
                                                "是否按对应图片名读入？否则按时间顺序读入！ ",
                                                "是否当作图片一读入？否则当作图片二读入！ ", "无法装入图像文件：王五.jpg",
                                                kDone}));
  // Five records posted, yet the table and its memo file went to the disk
  // once each, at the batch's end.
  EXPECT_EQ(dbfio::SyncCount() - syncs, 2u);
  const std::vector<StoredRecord> stored = ReadStored(folder);
  ASSERT_EQ(stored.size(), 6u);
  const struct {
    const char* name;
    QColor colour;
  } expected[] = {{"张三", Qt::green}, {"李 四", Qt::yellow}, {"Li", Qt::magenta},
                  {"无名", Qt::cyan},  {"王五", Qt::blue},    {"赵六", Qt::blue}};
  for (size_t i = 0; i < stored.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(stored[i].name, expected[i].name);
    EXPECT_TRUE(Near(MiddleColour(stored[i].pic), expected[i].colour));
    EXPECT_TRUE(stored[i].background.empty());
  }
  EXPECT_EQ(stored[4].pic, blue);  // the unreadable file left the photo as it was
  EXPECT_EQ(window_->ProgressBar1->GetPosition(), 0);
  EXPECT_EQ(form_->Table1->State(), dsBrowse);
}

// In folder order through the card batch window and the folder chooser:
// oldest first, files it cannot use take no record, more files than
// records stop at the table's end; into picture two.
TEST_F(DatabaseWindow, InFolderOrderTheNthUsablePictureGoesIntoRecordN) {
  const std::string folder = UseTable({"甲", "乙", "丙"});
  WriteFile(pictures_, "z.jpg", PictureBytes("jpg", Qt::red), 1);
  WriteFile(pictures_, "b.txt", "notes", 2);
  fs::create_directories(pictures_ / "sub");
  WriteFile(pictures_, "broken.png", "no png", 3);
  WriteFile(pictures_, "a.png", PictureBytes("png", Qt::green), 4);
  WriteFile(pictures_, "c.wmf", PictureBytes("wmf", Qt::red), 5);
  WriteFile(pictures_, "d.bmp", PictureBytes("bmp", Qt::blue), 6);
  form_->Show();

  program_.dialogs.Answer(IDYES);  // batch
  program_.dialogs.Answer(IDNO);   // in folder order
  ChooseFolder(pictures_);
  program_.dialogs.Answer(IDNO);  // picture two
  ClickCenter(form_->TBSetPic);

  EXPECT_EQ(program_.dialogs.Pending(), 0u);
  const std::vector<std::string> notes = Notes();
  ASSERT_EQ(notes.size(), 6u);
  EXPECT_EQ(notes[3], "请清除不支持的文件：b.txt");
  EXPECT_EQ(notes[4], "无法装入图像文件：broken.png");
  EXPECT_EQ(notes[5], kDone);
  const std::vector<StoredRecord> stored = ReadStored(folder);
  ASSERT_EQ(stored.size(), 3u);
  const QColor colours[] = {Qt::red, Qt::green, Qt::red};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(stored[i].pic.empty());
    EXPECT_TRUE(Near(MiddleColour(stored[i].background), colours[i]));
  }
  EXPECT_EQ(form_->ProgressBar1->GetPosition(), 0);
}

// One file into the current record, from either window: its kind decides
// the stored format (icons and metafiles as PNG); a file of no supported
// kind or one that cannot be read changes nothing.
TEST_F(DatabaseWindow, SingleFileGoesIntoTheCurrentRecordOrIsRefusedBeforeTheField) {
  const std::string photo = QtBytes(Qt::blue, "bmp");
  const std::string folder = UseTable({"张三", "李四"}, photo);
  form_->Show();
  const struct {
    const char* file;
    bool batchWindow;
    const char* refusal;  // nullptr: stored
    QColor colour;
  } cases[] = {
      {"photo.JPEG", false, nullptr, Qt::red},    {"icon.ico", true, nullptr, Qt::green},
      {"pointer.cur", false, nullptr, Qt::yellow}, {"art.wmf", true, nullptr, Qt::red},
      {"art.emf", false, nullptr, Qt::red},       {"photo.jpe", false, "是不支持的文件：.jpe", {}},
      {"clip.AVI", true, "是不支持的文件：.avi", {}}, {"broken.png", false, "无法装入图像文件", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string name = c.file;
    const std::string kind = LowerCase(name.substr(name.rfind('.') + 1));
    const fs::path file =
        WriteFile(pictures_, name, c.refusal ? "not a picture" : PictureBytes(kind, c.colour), 0);
    form_->Table1->Last();
    const std::string before = ReadStored(folder)[1].pic;
    program_.dialogs.Records.clear();
    program_.dialogs.Answer(IDNO);  // one file
    PickFile(file);
    program_.dialogs.Answer(IDYES);  // picture one
    ClickCenter(c.batchWindow ? static_cast<TControl*>(form_->TBSetPic) : window_->SpeedButton1);
    EXPECT_EQ(program_.dialogs.Pending(), 0u);
    if (c.refusal) {
      EXPECT_EQ(Notes().back(), c.refusal);
      EXPECT_NE(form_->Table1->State(), dsEdit);
    } else {
      EXPECT_EQ(form_->Table1->State(), dsEdit);  // stored when the record is posted
    }
    ClickCenter(form_->TBSave);
    const std::vector<StoredRecord> stored = ReadStored(folder);
    EXPECT_EQ(stored[0].pic, photo);
    if (c.refusal)
      EXPECT_EQ(stored[1].pic, before);
    else
      EXPECT_TRUE(Near(MiddleColour(stored[1].pic), c.colour));
  }
}

// Neither batch opens a dialog on an empty table, while one file begins a
// record there; on the stock table the
// guard's question comes before any change and, unanswered by a move,
// leaves the stock files as they were.
TEST_F(DatabaseWindow, BatchesStopOnAnEmptyTableAndOnTheStockTableUnlessItMoves) {
  const std::string folder = UseTable({});
  for (const bool byName : {true, false}) {
    program_.dialogs.Records.clear();
    program_.dialogs.Answer(IDYES);
    program_.dialogs.Answer(byName ? IDYES : IDNO);
    ClickCenter(window_->SpeedButton1);
    EXPECT_EQ(Notes().back(), byName ? "数据库的记录还是空的，未能读入图片，请先添加记录或做批量数据入库。"
                                     : "数据库姓名栏还没有记录，未能读入图片，请先添加记录并做批量数据入库。");
    EXPECT_EQ(program_.dialogs.Records.size(), 3u);
  }
  // One file into an empty table begins the record that holds it.
  const fs::path photo = WriteFile(pictures_, "one.png", PictureBytes("png", Qt::green), 0);
  program_.dialogs.Answer(IDNO);
  PickFile(photo);
  program_.dialogs.Answer(IDYES);
  ClickCenter(window_->SpeedButton1);
  form_->Show();
  ClickCenter(form_->TBSave);
  const std::vector<StoredRecord> one = ReadStored(folder);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_TRUE(Near(MiddleColour(one[0].pic), Qt::green));

  const std::string stock = program_.Data("Mode/DATA") + "/";
  const std::string dbf = dbtest::ReadFile(stock + "data.DBF"), dbt = dbtest::ReadFile(stock + "data.DBT");
  auto* move = dynamic_cast<TMenuItem*>(main_->FindComponent("NMoveDB"));
  ASSERT_NE(move, nullptr);
  int moves = 0;
  move->OnClick = [&moves](TObject*) { ++moves; };  // the user cancels the collect-save
  UseFolder(main_->AppDir + "data\\Mode\\data\\");
  const std::string firstName = form_->Table1->FieldByName("AAAA")->GetAsString();
  WriteFile(pictures_, firstName + ".png", PictureBytes("png", Qt::red), 0);
  WriteFile(pictures_, "a.png", PictureBytes("png", Qt::red), 1);
  for (const bool byName : {true, false}) {
    program_.dialogs.Records.clear();
    program_.dialogs.Answer(IDYES);
    program_.dialogs.Answer(byName ? IDYES : IDNO);
    if (byName) ChooseField(0);
    PickFile(pictures_ / "a.png");
    program_.dialogs.Answer(IDYES);
    ClickCenter(window_->SpeedButton1);
    EXPECT_EQ(Notes().back(), "修改数据库前要先把数据库保存到你容易找到的目录中！");
  }
  EXPECT_EQ(moves, 2);
  EXPECT_EQ(dbtest::ReadFile(stock + "data.DBF"), dbf);
  EXPECT_EQ(dbtest::ReadFile(stock + "data.DBT"), dbt);
}

// The export names each file after the record, made safe and never
// overwriting another; a record without the picture writes nothing, an
// empty name gives 无名 without changing the table, an empty table nothing.
// The card batch window's 导出图片 runs the same export or the save of one.
TEST_F(DatabaseWindow, ExportWritesOnePictureFilePerRecordThatHasOne) {
  const std::string folder = UseTable({"张三", "a/b", "", "张三", "..", "李四"});
  // Picture two of every record but 李四.
  {
    TTable& table = *form_->Table1;
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan};
    int i = 0;
    for (table.First(); !table.Eof() && i < 5; table.Next(), ++i) {
      table.Edit();
      table.FieldByName("BACKGROUND")->SetAsString(PictureBytes("png", colours[i]));
    }
    table.First();
  }
  const std::vector<StoredRecord> before = ReadStored(folder);
  const fs::path out = program_.DataFolder() / "out";
  form_->Show();
  program_.dialogs.Answer(IDYES);  // batch export
  ChooseFolder(out, "PNG");
  program_.dialogs.Answer(IDNO);  // picture two
  ClickCenter(form_->TBBatch);
  EXPECT_EQ(program_.dialogs.Pending(), 0u);
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(out)) files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"__.png", "a_b.png", "张三 (2).png", "张三.png", "无名.png"}));
  EXPECT_TRUE(Near(MiddleColour(dbtest::ReadFile((out / fs::u8path("张三 (2).png")).string())), Qt::yellow));
  EXPECT_TRUE(Near(MiddleColour(dbtest::ReadFile((out / fs::u8path("无名.png")).string())), Qt::blue));
  EXPECT_EQ(ReadStored(folder)[2].name, "");
  EXPECT_EQ(ReadStored(folder).size(), before.size());

  // The save of one: the current record's picture two under a chosen name.
  form_->Table1->First();
  program_.dialogs.Answer(IDNO);  // one picture
  program_.dialogs.Answer(IDNO);  // picture two
  const fs::path saved = out / "one.bmp";
  program_.dialogs.AnswerDialog(
      [saved](TCommonDialog* d) { return static_cast<TSavePixDialog*>(d)->ChooseFiles({saved.string()}); });
  ClickCenter(form_->TBBatch);
  EXPECT_TRUE(Near(MiddleColour(dbtest::ReadFile(saved.string())), Qt::red));

  // An empty table exports nothing and gains no record.
  const std::string empty = MakeTable(program_.DataFolder() / "empty", {});
  UseFolder(empty);
  const fs::path none = program_.DataFolder() / "none";
  ChooseFolder(none, "JPG");
  program_.dialogs.Answer(IDYES);
  ClickCenter(window_->TBBOutPutPic);
  EXPECT_TRUE(fs::is_empty(none));
  EXPECT_TRUE(ReadStored(empty).empty());
}

// Amounts in capitals: a field's values staged, converted by the staging
// dialog's own button, and written into another field.
TEST_F(DatabaseWindow, CapitalAmountsGoFromOneFieldThroughTheStagingDialogIntoAnother) {
  const std::string folder = UseTable({"张三", "李四", "王五"});
  {
    TTable& table = *form_->Table1;
    const char* amounts[] = {"1234567.89", "12", nullptr};
    int i = 0;
    for (table.First(); !table.Eof(); table.Next(), ++i) {
      table.Edit();
      if (amounts[i]) table.FieldByName("CCCC")->SetAsString(amounts[i]);
    }
  }
  std::vector<std::string> staged;
  ChooseField(2);
  program_.dialogs.AnswerModal(mrOk, [&staged](TCustomForm* shown) {
    ASSERT_EQ(shown, FormInputCol);
    staged = MemoLines(FormInputCol->Memo1);
    ClickCenter(FormInputCol->SpeedButton5);
  });
  ChooseField(3);
  program_.dialogs.Answer(IDOK);  // write the column
  ClickCenter(window_->SpeedButton7);
  EXPECT_EQ(program_.dialogs.Pending(), 0u);
  EXPECT_EQ(staged, (std::vector<std::string>{"1234567.89", "12", " "}));
  const auto texts = tablecopy::StoredTexts(folder);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0][3], "壹佰贰拾叁万肆仟伍佰陆拾柒元捌角玖分");
  EXPECT_EQ(texts[1][3], "壹拾贰元整");
  EXPECT_EQ(texts[0][2], "1234567.89");
}

// The window's show titles the grid with the designer's captions; the
// buttons that only open other windows show them without waiting.
TEST_F(DatabaseWindow, ShowTitlesTheGridAndButtonsOpenTheirWindows) {
  UseTable({"张三"});
  main_->CheckListBox1->GetItems()->Put(0, "姓名");
  window_->Hide();
  window_->Show();
  EXPECT_EQ(window_->DBGrid1->Columns()->Items(0)->Title()->GetCaption(), "姓名");
  for (int c = 0; c < 13; ++c) EXPECT_EQ(window_->DBGrid1->Columns()->Items(c)->GetWidth(), 68);
  EXPECT_EQ(window_->DBGrid1->Columns()->Items(0)->Field()->GetAsString(), "张三");

  OpenDataForm = Make<TOpenDataForm>();
  FormExcel = Make<TFormExcel>();
  FormCatchPic = Make<TFormCatchPic>();
  FormScanner = Make<TFormScanner>();
  const std::pair<TControl*, TForm*> opens[] = {{window_->SpeedButton2, OpenDataForm},
                                                {window_->SpeedButton6, FormExcel},
                                                {window_->SBCatchPic, FormCatchPic},
                                                {window_->SBScanner, FormScanner}};
  for (const auto& [button, form] : opens) {
    SCOPED_TRACE(form->Name);
    EXPECT_FALSE(form->GetVisible());
    ClickCenter(button);
    EXPECT_TRUE(form->GetVisible());
  }
  EXPECT_TRUE(program_.dialogs.Records.empty());
}

}  // namespace
