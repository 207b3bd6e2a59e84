// The barcode batch window through real input on its widgets: every
// control drives the preview barcode, and a batch over the card-holder
// table stores one picture per record at the printer's module width, which
// zbarimg (another project's decoder) reads back to the record's text. The
// pictures are read from the table's files by the plain dBASE reader.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>

#include "designer/cardprogram.h"
#include "platform/dbfio.h"
#include "platform/qt_input.h"
#include "records/dbpicsu.h"
#include "records/ubarcode.h"
#include "support/sanitizer.h"
#include "tablecopy.h"

using cardtest::CardProgram;

namespace {

namespace fs = std::filesystem;

const char kDone[] = "成功生成条形码!";
// The file printer's resolution and the module width SC2 (0.33 mm) in its pixels.
constexpr int kPrintDpi = 300;
constexpr int kModulePixels = 4;

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

void ClickCenter(TControl* control) {
  WidgetClick(control, {control->GetWidth() / 2, control->GetHeight() / 2});
  Settle();
}

void ClickItem(TRadioGroup* group, int i) {
  const TRect r = group->ItemRect(i);
  WidgetClick(group, {r.Left + 6, (r.Top + r.Bottom) / 2});
  Settle();
}

// Replaces the text of an edit or combo box as the user does: a click into
// it, Ctrl+A, then the keys.
void TypeInto(TWinControl* control, const char* text) {
  WidgetClick(control, {4, control->GetHeight() / 2});
  QTest::keyClick(control->Widget(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(control->Widget(), QString::fromUtf8(text));
  Settle();
}

// The standard mod 10 check digit of UPC/EAN and interleaved 2 of 5: weight
// 3 on the last digit and every second one before it.
char Mod10(const std::string& digits) {
  int sum = 0, weight = 3;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it, weight = 4 - weight) sum += (*it - '0') * weight;
  return char('0' + (10 - sum % 10) % 10);
}

// The parcel-post check digit: weights 4 and 9 from the left.
char ParcelCheck(const std::string& digits) {
  int sum = 0;
  for (size_t i = 0; i < digits.size(); ++i) sum += (digits[i] - '0') * (i % 2 == 0 ? 4 : 9);
  return char('0' + (10 - sum % 10) % 10);
}

// The UPC-A number a UPC-E text (number system 0) stands for.
std::string UpcEToUpcA(const std::string& e) {
  const char last = e[5];
  if (last <= '2') return "0" + e.substr(0, 2) + last + "0000" + e.substr(2, 3);
  if (last == '3') return "0" + e.substr(0, 3) + "00000" + e.substr(3, 2);
  if (last == '4') return "0" + e.substr(0, 4) + "00000" + e.substr(4, 1);
  return "0" + e.substr(0, 5) + "0000" + last;
}

struct Symbology {
  const char* name;
  int item;  // entry of the window's symbology group
  // The record text of record i and what a scanner reads from its barcode.
  std::function<std::string(int)> text;
  std::function<std::string(const std::string&)> scanned;
};

std::string Digits(long long n, int width) {
  std::string s = std::to_string(n);
  return std::string(size_t(std::max(0, width - int(s.size()))), '0') + s;
}

const Symbology kSymbologies[] = {
    {"EAN8", 0, [](int i) { return Digits(6912340 + i * 17, 7); }, [](const std::string& t) { return t + Mod10(t); }},
    {"EAN13", 1,
     [](int i) {
       const std::string t = Digits(690123450000LL + i * 7919, 12);
       return i % 5 == 0 ? t + Mod10(t) : t;  // some with their check digit
     },
     [](const std::string& t) { return t.size() == 13 ? t : t + Mod10(t); }},
    // zbar reports UPC-A as the EAN-13 it is part of.
    {"UPCA", 2, [](int i) { return Digits(3600029145LL + i * 101, 11); },
     [](const std::string& t) { return "0" + t + Mod10(t); }},
    {"UPCE", 3, [](int i) { return Digits(123450 + i * 1013, 6); },
     [](const std::string& t) {  // zbar reports the UPC-A number, as EAN-13
       const std::string a = UpcEToUpcA(t);
       return "0" + a + Mod10(a);
     }},
    {"Code39", 4, [](int i) { return "CW-" + Digits(i, 4) + " $/+%."; }, [](const std::string& t) { return t; }},
    {"Interleaved25", 5,
     [](int i) { return i % 3 == 0 ? Digits(123456789 + i, 9) : Digits(9876543210LL - i, 10); },
     [](const std::string& t) { return t.size() % 2 ? t + Mod10(t) : t; }},
    {"ParcelPost", 6, [](int i) { return i % 2 ? Digits(10203040506LL + i, 11) : Digits(5632100004567LL + i, 13); },
     [](const std::string& t) { return t + ParcelCheck(t); }},
    {"Code128A", 7, [](int i) { return "NO. " + Digits(i, 3) + "-AB/" + std::to_string(i % 7); },
     [](const std::string& t) { return t; }},
    {"Code128B", 8, [](int i) { return "Card-" + Digits(i, 2) + " abc~{x}"; }, [](const std::string& t) { return t; }},
    {"Code128C", 9, [](int i) { return i % 2 ? Digits(20261211LL + i, 8) : Digits(7654321 + i, 7); },
     [](const std::string& t) { return t; }},
};

// One BMP file's header values and pixels (24-bit, the barcode field's kind).
struct Bmp {
  int width = 0, height = 0, bits = 0;
  uint32_t pixelsPerMetre = 0;
  std::string bytes;
  size_t offset = 0, stride = 0;
  bool Dark(int x, int y) const {
    const size_t at = offset + size_t(height - 1 - y) * stride + size_t(x) * 3;
    return uint8_t(bytes[at]) + uint8_t(bytes[at + 1]) + uint8_t(bytes[at + 2]) < 3 * 128;
  }
};

Bmp ReadBmp(const std::string& bytes) {
  Bmp b;
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) return b;
  b.bytes = bytes;
  b.offset = dbtest::Le32(bytes, 10);
  b.width = int(dbtest::Le32(bytes, 18));
  b.height = int(dbtest::Le32(bytes, 22));
  b.bits = dbtest::Le16(bytes, 28);
  b.pixelsPerMetre = dbtest::Le32(bytes, 38);
  b.stride = (size_t(b.width) * 3 + 3) / 4 * 4;
  if (b.bits != 24 || b.offset + b.stride * size_t(b.height) > bytes.size()) b.width = b.height = 0;
  return b;
}

// Widths of the dark runs along row y.
std::vector<int> DarkRuns(const Bmp& b, int y) {
  std::vector<int> runs;
  for (int x = 0, run = 0; x <= b.width; ++x) {
    if (x < b.width && b.Dark(x, y)) {
      ++run;
    } else if (run) {
      runs.push_back(run);
      run = 0;
    }
  }
  return runs;
}

struct Scan {
  std::string type, text;
};

// zbarimg over the files, one call; what it read, by file.
std::map<std::string, Scan> ScanFiles(const std::vector<std::string>& files, const std::string& dir) {
  std::string command = "zbarimg -q --xml";
  for (const std::string& f : files) command += " '" + f + "'";
  const std::string out = dir + "/zbar.xml";
  command += " > '" + out + "' 2>/dev/null";
  (void)std::system(command.c_str());
  const std::string xml = dbtest::ReadFile(out);
  std::map<std::string, Scan> found;
  const std::regex source("<source href='([^']*)'>([\\s\\S]*?)</source>");
  const std::regex symbol("<symbol type='([^']*)'[^>]*><data><!\\[CDATA\\[([\\s\\S]*?)\\]\\]></data>");
  for (std::sregex_iterator s(xml.begin(), xml.end(), source), end; s != end; ++s) {
    const std::string body = (*s)[2];
    std::smatch m;
    if (std::regex_search(body, m, symbol)) found[(*s)[1]] = {m[1], m[2]};
  }
  return found;
}

class BarcodeWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    dbfio::SetDiskSync(false);
    main_ = program_.MakeMainForm();
    FormPicEdit = MakeForm<TFormPicEdit>(Application);
    program_.Keep(FormPicEdit);
    FormBarcode = MakeForm<TFormBarcode>(Application);
    program_.Keep(FormBarcode);
    form_ = FormBarcode;
    program_.dialogs.Records.clear();
  }
  void TearDown() override { dbfio::SetDiskSync(true); }

  // A copy of the stock table with `count` records whose field `field`
  // holds text(i); every record's barcode picture is the bytes "old".
  void UseTable(int count, const std::string& field, const std::function<std::string(int)>& text) {
    folder_ = tablecopy::UseStockCopy(program_, "cards");
    TTable* table = FormPicEdit->Table1;
    table->First();
    for (int i = 0; i < count; ++i) {
      if (i < table->RecordCount()) {
        table->Edit();
      } else {
        table->Append();
      }
      table->FieldByName(field)->SetAsString(text(i));
      table->FieldByName("BARCODE")->SetAsString("old");
      table->Post();
      table->Next();
    }
    while (table->RecordCount() > count) {
      table->Last();
      table->Delete();
    }
    table->First();
  }
  // The BARCODE field of every record, read from the table's files.
  std::vector<std::string> StoredPictures() const {
    const dbtest::PlainTable plain = dbtest::ReadPlain(folder_ + "data.DBF");
    const size_t column = size_t(std::find(plain.names.begin(), plain.names.end(), "BARCODE") - plain.names.begin());
    const std::string memo = dbtest::ReadFile(folder_ + "data.DBT");
    std::vector<std::string> pictures;
    for (size_t r = 0; r < plain.records.size(); ++r)
      if (!plain.deleted[r]) pictures.push_back(dbtest::PlainBlobOf(memo, plain.records[r][column]));
    return pictures;
  }
  void RunBatch() {
    program_.dialogs.Records.clear();
    ClickCenter(form_->PrintBtn);
  }

  CardProgram program_;
  TMainForm* main_ = nullptr;
  TFormBarcode* form_ = nullptr;
  std::string folder_;
};

// Pixels of the preview: the dark runs along row y of the barcode control.
std::vector<int> PreviewRuns(TBarcode* barcode, int y) {
  auto* box = static_cast<TWinControl*>(barcode->GetParent());
  box->Repaint();
  const QImage& image = box->ClientImage();
  std::vector<int> runs;
  int run = 0;
  for (int x = barcode->GetLeft(); x <= barcode->GetLeft() + barcode->GetWidth(); ++x) {
    const bool dark = x < barcode->GetLeft() + barcode->GetWidth() &&
                      qGray(image.pixel(x, barcode->GetTop() + y)) < 128;
    if (dark) {
      ++run;
    } else if (run) {
      runs.push_back(run);
      run = 0;
    }
  }
  return runs;
}

TEST_F(BarcodeWindow, ControlsStartFromTheComponentAndDriveItThroughRealInput) {
  EXPECT_EQ(form_->GetCaption(), "生成条形码");
  EXPECT_EQ(form_->GetWidth(), 578);
  EXPECT_EQ(form_->GetHeight(), 432);
  TBarcode* bar = form_->Barcode1;
  // The controls hold the component's values; the rotation starts at 0.
  EXPECT_EQ(form_->Edit1->GetText(), "Test");
  EXPECT_EQ(form_->Edit2->GetText(), "");
  EXPECT_EQ(form_->SE_HeightPerCent->GetValue(), 100);
  EXPECT_EQ(form_->RGCodetyp->GetItemIndex(), int(CODE128_C));
  EXPECT_EQ(form_->RGModulewidth->GetItemIndex(), int(SC2));
  EXPECT_EQ(form_->RGRotation->GetItemIndex(), 0);
  EXPECT_EQ(form_->RGCodetyp->GetItems()->Count(), 10);
  const std::vector<bool> checks = {form_->CB_HighDensity->GetChecked(), form_->CB_WidthReduce->GetChecked(),
                                    form_->CB_HumanReadable->GetChecked(), form_->CB_ZoomSize->GetChecked()};
  EXPECT_EQ(checks, (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(form_->ComboBox1->GetText(), "姓名");

  form_->Show();
  Settle();
  ClickItem(form_->RGCodetyp, 1);
  EXPECT_EQ(bar->GetBar_CodeType(), EAN_13);
  TypeInto(form_->Edit1, "690123456789");
  EXPECT_EQ(bar->GetBar_Caption(), "690123456789");
  // At the screen's 96 dots per inch SC2 is one pixel a module: 95 modules,
  // 10 on each side for the outer digits and one more; 30 bars.
  EXPECT_EQ(bar->GetWidth(), 116);
  const int barTop = 2;
  EXPECT_EQ(PreviewRuns(bar, barTop).size(), 30u);
  const int fullHeight = bar->GetHeight();

  // The spin edit: typed digit by digit, only complete numbers in range
  // reach the component (no message for the "1" and "15" on the way).
  TypeInto(form_->SE_HeightPerCent, "150");
  EXPECT_EQ(bar->GetBar_HeightPercent(), 150);
  EXPECT_GT(bar->GetHeight(), fullHeight);
  QTest::keyClick(form_->SE_HeightPerCent->Widget(), Qt::Key_Up);
  EXPECT_EQ(bar->GetBar_HeightPercent(), 160);
  TUpDown* arrows = form_->SE_HeightPerCent->Button();
  WidgetClick(arrows, {arrows->GetWidth() / 2, arrows->GetHeight() - 3});  // the lower arrow
  EXPECT_EQ(form_->SE_HeightPerCent->GetText(), "150");
  EXPECT_EQ(bar->GetBar_HeightPercent(), 150);
  TypeInto(form_->SE_HeightPerCent, "5");
  EXPECT_EQ(bar->GetBar_HeightPercent(), 150);
  ClickCenter(form_->Edit2);  // leaving the spin edit brings it into range
  EXPECT_EQ(form_->SE_HeightPerCent->GetText(), "20");
  EXPECT_EQ(bar->GetBar_HeightPercent(), 20);
  EXPECT_TRUE(program_.Messages().empty());
  TypeInto(form_->SE_HeightPerCent, "100");
  EXPECT_EQ(bar->GetHeight(), fullHeight);

  // The add-on: five digits after the EAN-13 (47 modules and the gap).
  TypeInto(form_->Edit2, "12345");
  EXPECT_EQ(bar->GetBar_CodeAddon(), "12345");
  EXPECT_GT(bar->GetWidth(), 116 + 47);
  TypeInto(form_->Edit2, "");
  QTest::keyClick(form_->Edit2->Widget(), Qt::Key_Backspace);
  EXPECT_EQ(bar->GetBar_CodeAddon(), "");

  // Module width, the check boxes and the rotation, each by a click.
  ClickItem(form_->RGModulewidth, 9);
  EXPECT_EQ(bar->GetBar_ModuleWidth(), SC9);
  const int wide = bar->GetWidth();
  EXPECT_EQ(wide, 95 * 2 + 2 * 20 + 1);  // 0.66 mm is two screen pixels
  ClickCenter(form_->CB_HighDensity);
  EXPECT_TRUE(bar->GetBar_HighDensity());
  EXPECT_EQ(bar->GetWidth(), 116);  // halved
  ClickCenter(form_->CB_HighDensity);
  ClickCenter(form_->CB_WidthReduce);
  EXPECT_TRUE(bar->GetBar_WidthReduce());
  for (int run : PreviewRuns(bar, barTop)) EXPECT_EQ(run % 2, 1) << "every bar one pixel narrower";
  ClickCenter(form_->CB_WidthReduce);
  ClickCenter(form_->CB_ZoomSize);
  EXPECT_TRUE(bar->GetBar_ZoomSize());
  ClickCenter(form_->CB_ZoomSize);
  const int height = bar->GetHeight();
  ClickCenter(form_->CB_HumanReadable);
  EXPECT_FALSE(bar->GetBar_HumanReadable());
  EXPECT_LT(bar->GetHeight(), height);
  ClickCenter(form_->CB_HumanReadable);
  ClickItem(form_->RGRotation, 1);
  EXPECT_EQ(bar->GetBar_Rotation(), rotate_090);
  EXPECT_EQ(bar->GetHeight(), wide);
  ClickItem(form_->RGRotation, 0);
  EXPECT_EQ(bar->GetWidth(), wide);

  // A text the component refuses: its message, and the old text stays.
  ClickItem(form_->RGCodetyp, 8);
  TypeInto(form_->Edit1, std::string(51, 'x').c_str());
  EXPECT_EQ(bar->GetBar_Caption(), std::string(50, 'x'));
  EXPECT_FALSE(program_.Messages().empty());

  ClickCenter(form_->ExitBtn);
  EXPECT_FALSE(form_->GetVisible());
}

// The batch takes the field whose caption the combo box shows: the
// caption shown from the start, one typed, one picked with the arrow keys;
// a text that is no caption asks for a field and writes nothing.
TEST_F(BarcodeWindow, TheBatchTakesTheFieldTheComboBoxShows) {
  UseTable(3, "AAAA", [](int i) { return "NAME" + std::to_string(i); });
  TTable* table = FormPicEdit->Table1;
  for (const char* field : {"BBBB", "CCCC"}) {
    table->First();
    for (int i = 0; i < 3; ++i, table->Next()) {
      table->Edit();
      table->FieldByName(field)->SetAsString(std::string(field) + std::to_string(i));
      table->Post();
    }
  }
  table->First();
  main_->CheckListBox1->GetItems()->Put(1, "Unit");  // renamed before the window shows
  form_->Show();
  Settle();
  ASSERT_EQ(form_->ComboBox1->GetItems()->Count(), 13);
  EXPECT_EQ(form_->ComboBox1->GetItems()->Get(1), "Unit");
  ClickItem(form_->RGCodetyp, 8);  // Code 128 B

  auto firstScan = [&]() {
    const std::string dir = program_.Home().File("field");
    fs::create_directories(dir);
    const std::string file = dir + "/first.bmp";
    dbtest::WriteFile(file, StoredPictures()[0]);
    const auto scans = ScanFiles({file}, dir);
    return scans.count(file) ? scans.at(file).text : std::string("(unread)");
  };
  RunBatch();  // nothing chosen yet: the shown "姓名" is the first field
  EXPECT_EQ(program_.Messages(), std::vector<std::string>{kDone});
  EXPECT_EQ(firstScan(), "NAME0");
  EXPECT_EQ(BarcodeFieldName, "AAAA");

  TypeInto(form_->ComboBox1, "Unit");
  EXPECT_EQ(BarcodeFieldName, "BBBB");
  RunBatch();
  EXPECT_EQ(firstScan(), "BBBB0");

  WidgetClick(form_->ComboBox1, {4, 10});  // the focus comes back from the button
  QTest::keyClick(form_->ComboBox1->Widget(), Qt::Key_Down);
  EXPECT_EQ(form_->ComboBox1->GetText(), main_->CheckListBox1->GetItems()->Get(2));
  RunBatch();
  EXPECT_EQ(firstScan(), "CCCC0");

  TypeInto(form_->ComboBox1, "nothing");
  const std::vector<std::string> before = StoredPictures();
  RunBatch();
  ASSERT_EQ(program_.Messages().size(), 1u);
  EXPECT_NE(program_.Messages()[0].find("选择生成条码的字段"), std::string::npos);
  EXPECT_EQ(StoredPictures(), before);

  // Hidden and shown again, the window keeps the choice; a renamed
  // caption shows at the chosen place.
  TypeInto(form_->ComboBox1, "Unit");
  ClickCenter(form_->ExitBtn);
  EXPECT_FALSE(form_->GetVisible());
  main_->CheckListBox1->GetItems()->Put(1, "Department");
  form_->Show();
  EXPECT_EQ(form_->ComboBox1->GetText(), "Department");
  EXPECT_EQ(form_->FieldShownInCombo(), "BBBB");
}

// Records whose text the chosen symbology cannot carry as it stands are
// named in the report and keep their picture; the others get theirs.
TEST_F(BarcodeWindow, RecordsThatCannotBeEncodedAreReportedAndKeepTheirPictures) {
  const std::vector<std::string> texts = {"690123456789", "12345", "6901234567892", "69012345678X",
                                          "",             "6901234567890", "4006381333931"};
  UseTable(int(texts.size()), "AAAA", [&](int i) { return texts[size_t(i)]; });
  form_->Show();
  ClickItem(form_->RGCodetyp, 1);  // EAN-13
  RunBatch();
  ASSERT_EQ(program_.Messages().size(), 1u);
  const std::string report = program_.Messages()[0];
  EXPECT_NE(report.find("成功生成条形码 3 个"), std::string::npos) << report;
  EXPECT_NE(report.find("4 条记录"), std::string::npos) << report;
  for (const char* line : {"第 2 条记录“12345”：位数不对", "第 4 条记录“69012345678X”：含有此条码不能表示的字符",
                           "第 5 条记录“”：内容为空", "第 6 条记录“6901234567890”：校验位不对"})
    EXPECT_NE(report.find(line), std::string::npos) << line << " in " << report;
  EXPECT_NE(report.find("EAN-13"), std::string::npos);
  const std::vector<std::string> pictures = StoredPictures();
  ASSERT_EQ(pictures.size(), texts.size());
  for (size_t i : {1u, 3u, 4u, 5u}) EXPECT_EQ(pictures[i], "old") << i;
  for (size_t i : {0u, 2u, 6u}) EXPECT_EQ(pictures[i].substr(0, 2), "BM") << i;
}

// A batch over the stock table first offers the collect-save; when the
// user does not collect, nothing is written and no success is reported.
TEST_F(BarcodeWindow, TheStockTableIsNotWrittenWithoutTheCollectSave) {
  folder_ = program_.Data("Mode/DATA") + "/";
  FormPicEdit->Table1->Close();
  FormPicEdit->Table1->SetDatabaseName(main_->AppDir + "data\\Mode\\DATA\\");
  FormPicEdit->Table1->Open();
  auto* collect = dynamic_cast<TMenuItem*>(main_->FindComponent("NMoveDB"));
  ASSERT_NE(collect, nullptr);
  int offered = 0;
  collect->OnClick = [&](TObject*) { ++offered; };
  const std::string dbt = dbtest::ReadFile(folder_ + "data.DBT"), dbf = dbtest::ReadFile(folder_ + "data.DBF");
  form_->Show();
  TypeInto(form_->Edit1, "1");
  RunBatch();
  EXPECT_EQ(offered, 1);
  EXPECT_EQ(program_.Messages(), std::vector<std::string>{"修改数据库前要先把数据库保存到你容易找到的目录中！"});
  EXPECT_EQ(dbtest::ReadFile(folder_ + "data.DBT"), dbt);
  EXPECT_EQ(dbtest::ReadFile(folder_ + "data.DBF"), dbf);
}

class BarcodeBatch : public BarcodeWindow, public ::testing::WithParamInterface<Symbology> {};

// Fifty records a symbology (a few in the slower sanitized build): each
// record gets its own picture, stored as a BMP at the printer's resolution
// with whole-pixel modules, and zbarimg reads every one back to the
// record's text.
TEST_P(BarcodeBatch, EveryRecordsPictureScansBackToItsText) {
  const Symbology& s = GetParam();
  constexpr int kRecords = cwtest::kSanitized ? 6 : 50;
  UseTable(kRecords, "AAAA", s.text);
  form_->Show();
  ClickItem(form_->RGCodetyp, s.item);
  RunBatch();
  ASSERT_EQ(program_.Messages(), std::vector<std::string>{kDone});
  EXPECT_EQ(form_->Barcode1->GetBar_Caption(), s.text(kRecords - 1));  // the preview shows the last record

  const std::vector<std::string> pictures = StoredPictures();
  ASSERT_EQ(pictures.size(), size_t(kRecords));
  const std::string dir = program_.Home().File(std::string("scan-") + s.name);
  fs::create_directories(dir);
  std::vector<std::string> files;
  for (int i = 0; i < kRecords; ++i) {
    SCOPED_TRACE(i);
    const Bmp bmp = ReadBmp(pictures[size_t(i)]);
    ASSERT_GT(bmp.width, 0) << "a 24-bit BMP";
    EXPECT_EQ(bmp.pixelsPerMetre, uint32_t(std::lround(kPrintDpi / 0.0254)));
    const std::vector<int> runs = DarkRuns(bmp, bmp.height / 4);
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(*std::min_element(runs.begin(), runs.end()), kModulePixels);
    for (int run : runs) EXPECT_EQ(run % kModulePixels, 0);
    files.push_back(dir + "/" + std::to_string(i) + ".bmp");
    dbtest::WriteFile(files.back(), pictures[size_t(i)]);
  }
  const std::map<std::string, Scan> scans = ScanFiles(files, dir);
  for (int i = 0; i < kRecords; ++i) {
    const auto found = scans.find(files[size_t(i)]);
    ASSERT_NE(found, scans.end()) << "record " << i << " (" << s.text(i) << ") was not read";
    EXPECT_EQ(found->second.text, s.scanned(s.text(i))) << "record " << i << " as " << found->second.type;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryOfferedSymbology, BarcodeBatch, ::testing::ValuesIn(kSymbologies),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
