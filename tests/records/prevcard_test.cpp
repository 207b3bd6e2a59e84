// The bundled card template over a table of a thousand card holders
// previewed and printed from the preview window into a PDF: the pages
// printed, where the cards land in millimetres, texts kept as text,
// barcodes that an independent reader scans, and page pictures.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <set>

#include "barcode/barcode.h"
#include "designer/cardprogram.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"
#include "platform/dbfio.h"
#include "platform/dbtables.h"
#include "platform/dbtest_support.h"
#include "platform/pdftest_support.h"
#include "platform/qt_input.h"
#include "records/dbpicsu.h"
#include "records/prev.h"
#include "support/sanitizer.h"

using cardtest::CardProgram;
namespace fs = std::filesystem;

namespace {

// A thousand in plain builds; fewer where the sanitizer slows every card.
constexpr int kRecords = cwtest::kSanitized ? 60 : 1000;
const QColor kPhotoColour(200, 0, 0);

std::string Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes.toStdString();
}

std::string Name(int record) { return "张" + std::to_string(record); }
std::string Department(int record) { return "部门" + std::to_string(record % 7); }
// The record's barcode text: its number in four digits.
std::string Code(int record) {
  const std::string digits = std::to_string(record);
  return std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
}

// A Code 39 picture of the record's barcode text with a white quiet zone
// of `kQuiet` pixels, drawn by the program's barcode control and cut to
// the shape of the template's barcode box (which fits it in keeping its
// shape).
constexpr int kQuiet = 10;
std::string BarcodeBmp(int record, TSize box, int* width) {
  TBarcode barcode(nullptr);
  barcode.SetBar_CodeType(CODE39);
  barcode.SetBar_HumanReadable(false);
  barcode.SetBar_Caption(Code(record));
  TBitmap picture;
  TPoint size;
  barcode.InternalPrint(picture.GetCanvas(), kQuiet, kQuiet, &size);
  *width = size.x + 2 * kQuiet;
  picture.SetSize(*width, *width * box.cy / box.cx);
  picture.GetCanvas()->Brush->Color = clWhite;
  picture.GetCanvas()->FillRect(Rect(0, 0, picture.GetWidth(), picture.GetHeight()));
  barcode.InternalPrint(picture.GetCanvas(), kQuiet, kQuiet, &size);
  TMemoryStream stream;
  picture.SaveToStream(&stream);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.GetSize()));
}

// The texts zbarimg reads from a picture, without their "CODE-39:" tags.
std::set<std::string> ScannedCodes(const std::string& picture) {
  QProcess run;
  run.start("zbarimg", {"--quiet", "--raw", "-Sdisable", "-Scode39.enable", QString::fromStdString(picture)});
  run.waitForFinished(30000);
  std::set<std::string> codes;
  for (const QString& line : QString::fromUtf8(run.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
    codes.insert(line.trimmed().toStdString());
  return codes;
}

// Words of a PDF page with their boxes in points (pdftotext -bbox).
struct Word {
  QString text;
  double x, y;
};
std::vector<Word> WordsOfPage(const std::string& pdf, int page) {
  QProcess run;
  run.start("pdftotext", {"-bbox", "-f", QString::number(page), "-l", QString::number(page),
                          QString::fromStdString(pdf), "-"});
  run.waitForFinished(30000);
  const QString html = QString::fromUtf8(run.readAllStandardOutput());
  std::vector<Word> words;
  static const QRegularExpression word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
  for (auto match = word.globalMatch(html); match.hasNext();) {
    auto m = match.next();
    Word w{m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()};
    // The extractor splits Chinese from digits: a name is joined again.
    if (!words.empty() && words.back().text == "张" && std::abs(words.back().y - w.y) < 1)
      words.back().text += w.text;
    else
      words.push_back(w);
  }
  return words;
}

double PointsToMm(double points) { return points * 25.4 / 72; }

bool PhotoRed(const QImage& image, int x, int y) {
  const QColor c = image.pixelColor(x, y);
  return c.red() > 150 && c.green() < 60 && c.blue() < 60;
}

// The first red rectangle (the photo of a card) in reading order within
// the left half of the picture.
QRect FirstPhoto(const QImage& image) {
  return pdftest::FirstRectWhere(image, PhotoRed, QRect(0, 0, image.width() / 2, image.height()));
}

class CardPrint : public ::testing::Test {
 protected:
  void SetUp() override {
    f = program.MakeMainForm();
    FormPicEdit = MakeForm<TFormPicEdit>(Application);
    program.Keep(FormPicEdit);
    f->OnShow = nullptr;
    f->OnActivate = nullptr;
    f->Show();
    QTest::keyClick(f->Widget(), Qt::Key_O, Qt::ControlModifier);  // the bundled template, no dialog
    // Without the layout picture: the report keeps it as captured pixels,
    // about a tenth of a second a card, which a thousand cards cannot wait
    // for in a unit test.
    f->QRDrawor->SetEnabled(false);
    MakeTable();
    PrevForm = MakeForm<TPrevForm>(Application);
    program.Keep(PrevForm);
    program.dialogs.Records.clear();
  }

  // A thousand card holders with Chinese names, a JPEG photo of the photo
  // box's size each and a barcode picture of their own.
  void MakeTable() {
    const fs::path folder = program.DataFolder() / "cards";
    fs::create_directories(folder);
    TDbfTable::Create((folder / "data.DBF").string(), dbfLevel4, dbtest::CardColumns(60));
    QImage photo(f->QRDBPicOne->GetWidth(), f->QRDBPicOne->GetHeight(), QImage::Format_RGB32);
    photo.fill(kPhotoColour);
    const std::string jpeg = Encoded(photo, "JPG");
    const TSize barcodeBox{f->QRDBBarCode->GetWidth(), f->QRDBBarCode->GetHeight()};
    TTable* table = FormPicEdit->Table1;
    // A table made for the test need not wait for the disk at each post.
    struct NoDiskSync {
      NoDiskSync() { dbfio::SetDiskSync(false); }
      ~NoDiskSync() { dbfio::SetDiskSync(true); }
    } quick;
    table->Close();
    table->SetDatabaseName(folder.string() + "/");
    table->SetTableName("data.DBF");
    table->Open();
    for (int i = 1; i <= kRecords; ++i) {
      table->Append();
      table->FieldByName("AAAA")->SetAsString(Name(i));
      table->FieldByName("BBBB")->SetAsString(Department(i));
      table->FieldByName("PIC")->SetAsString(jpeg);
      table->FieldByName("BARCODE")->SetAsString(BarcodeBmp(i, barcodeBox, &barcodeWidth));
      table->Post();
    }
    table->First();
  }

  static void Press(TToolButton* button) { WindowClick(button, {button->GetWidth() / 2, button->GetHeight() / 2}); }

  CardProgram program;
  TMainForm* f = nullptr;
  int barcodeWidth = 0;  // of the barcode pictures, in pixels
};

TEST_F(CardPrint, AThousandCardsPreviewPrintPagesTwoToFiveAndSavePagePictures) {
  TQuickRep* report = f->QuickRep1;
  // The template keeps its barcode hidden: the barcode button arms it
  // (its state starts as shown, so the first click only hides it again)
  // and a click on the layout picture puts it where the click was.
  ASSERT_FALSE(f->BarcodeSet->GetVisible());
  const TPoint barcodeAt{f->BarcodeSet->GetLeft(), f->BarcodeSet->GetTop()};
  for (int i = 0; i < 2 && f->PicItem != 3; ++i) Press(f->TBBarcode);
  ASSERT_EQ(f->PicItem, 3);
  WindowClick(f->Drawor, barcodeAt);
  ASSERT_TRUE(f->BarcodeSet->GetVisible());
  ASSERT_EQ(f->BarcodeSet->GetLeft(), barcodeAt.x);

  // The designer's preview button shows every page; the page buttons page.
  Press(f->BPrev);
  ASSERT_TRUE(PrevForm->GetVisible());
  const int pages = report->PageCount();
  ASSERT_GT(pages, 5);
  EXPECT_EQ(PrevForm->StatusBar1->GetSimpleText(), "第1页共" + std::to_string(pages) + "页");
  Press(PrevForm->ToolButton6);
  EXPECT_EQ(PrevForm->StatusBar1->GetSimpleText(),
            "第" + std::to_string(pages) + "页共" + std::to_string(pages) + "页");
  Press(PrevForm->ToolButton3);
  Press(PrevForm->ToolButton5);
  EXPECT_EQ(PrevForm->StatusBar1->GetSimpleText(), "第2页共" + std::to_string(pages) + "页");

  program.dialogs.AnswerInput("2");
  program.dialogs.AnswerInput("5");
  Press(PrevForm->BPrint);
  const std::string pdf = program.Home().File("print.pdf");
  ASSERT_TRUE(fs::exists(pdf));
  const int dpi = 100;
  const std::vector<QImage> printed = pdftest::RenderPdf(pdf, dpi);
  ASSERT_EQ(printed.size(), 4u);

  // Cards per page from the first page: the names on page 1 of the PDF are
  // those of page 2 of the report.
  const std::vector<Word> words = WordsOfPage(pdf, 1);
  std::vector<int> records;
  for (const Word& word : words)
    for (int i = 1; i <= kRecords; ++i)
      if (word.text == QString::fromStdString(Name(i))) records.push_back(i);
  ASSERT_FALSE(records.empty());
  const int perPage = records.front() - 1;
  ASSERT_GT(perPage, 0);
  EXPECT_EQ(int(records.size()), perPage);
  EXPECT_EQ(pages, (kRecords + perPage - 1) / perPage);
  const std::vector<Word> last = WordsOfPage(pdf, 4);
  const QString lastName = QString::fromStdString(Name(5 * perPage));
  EXPECT_TRUE(std::any_of(last.begin(), last.end(), [&](const Word& w) { return w.text == lastName; }));
  // Every card's department is text as well. The PDF writer names a glyph
  // by the lowest character that has it, so 门 may come back as the radical
  // ⻔ (U+2EE8) that shares its glyph; the word is known by its first half.
  const long departments =
      std::count_if(words.begin(), words.end(), [](const Word& w) { return w.text.startsWith("部"); });
  EXPECT_EQ(departments, perPage);

  // The first card of the page sits at the margins: its name where the
  // template puts the name, its photo in the photo box.
  const TQRPage& page = report->Page;
  const double pxToMm = 25.4 / 96;
  const Word first = *std::find_if(words.begin(), words.end(),
                                   [&](const Word& w) { return w.text == QString::fromStdString(Name(perPage + 1)); });
  TQRDBText* name = f->QRDBTexts[0];
  EXPECT_NEAR(PointsToMm(first.x), page.LeftMargin + name->GetLeft() * pxToMm, 1.0);
  EXPECT_NEAR(PointsToMm(first.y), page.TopMargin + name->GetTop() * pxToMm, 1.5);

  const QRect photo = FirstPhoto(printed[0]);
  ASSERT_FALSE(photo.isNull());
  TQRDBPix* box = f->QRDBPicOne;
  EXPECT_NEAR(pdftest::PixelsToMm(photo.left(), dpi), page.LeftMargin + box->GetLeft() * pxToMm, 0.6);
  EXPECT_NEAR(pdftest::PixelsToMm(photo.top(), dpi), page.TopMargin + box->GetTop() * pxToMm, 0.6);
  EXPECT_NEAR(pdftest::PixelsToMm(photo.width(), dpi), box->GetWidth() * pxToMm, 0.6);
  EXPECT_NEAR(pdftest::PixelsToMm(photo.height(), dpi), box->GetHeight() * pxToMm, 0.6);

  // Its barcode: the first bar past the quiet zone, the picture fitted to
  // the barcode box.
  TQRDBPix* bars = f->QRDBBarCode;
  const double scale = double(bars->GetWidth()) / barcodeWidth;
  const double barLeft = page.LeftMargin + (bars->GetLeft() + kQuiet * scale) * pxToMm;
  const double barTop = page.TopMargin + (bars->GetTop() + kQuiet * scale) * pxToMm;
  const auto mmToPx = [dpi](double mm) { return int(mm * dpi / 25.4); };
  const QRect barArea(QPoint(mmToPx(barLeft - 1), mmToPx(barTop - 1)),
                      QPoint(mmToPx(page.LeftMargin + bars->GetBoundsRect().Right * pxToMm),
                             mmToPx(page.TopMargin + bars->GetBoundsRect().Bottom * pxToMm)));
  const QRect bar = pdftest::FirstDarkRect(printed[0], barArea);
  ASSERT_FALSE(bar.isNull());
  EXPECT_NEAR(pdftest::PixelsToMm(bar.left(), dpi), barLeft, 0.6);
  EXPECT_NEAR(pdftest::PixelsToMm(bar.top(), dpi), barTop, 0.6);

  // Page 2 saved as a picture, plain and mirrored, through the preview's
  // save button and the questions it asks.
  const std::string folder = program.Home().File("pages") + "/";
  fs::create_directories(folder);
  for (const bool mirror : {false, true}) {
    program.dialogs.Answer(mirror ? IDYES : IDNO);  // 保存为背面镜像图吗？
    program.dialogs.Answer(IDNO);                   // not every page
    program.dialogs.AnswerInput("2");
    const std::string file = folder + (mirror ? "back" : "front");  // PNG adds its extension
    program.dialogs.AnswerDialog(
        [file](TCommonDialog* d) { return static_cast<TSaveDialog*>(d)->ChooseFiles({file}, 4); });
    Press(PrevForm->BSaveAsPic);
    EXPECT_EQ(program.dialogs.Pending(), 0u);
  }
  const QImage front(QString::fromStdString(folder + "front.PNG"));
  const QImage back(QString::fromStdString(folder + "back.PNG"));
  ASSERT_FALSE(front.isNull());
  ASSERT_EQ(front.size(), back.size());
  // The page at screen resolution.
  EXPECT_NEAR(pdftest::PixelsToMm(front.width(), 96), page.Width, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(front.height(), 96), page.Length, 0.5);
  EXPECT_EQ(front.convertToFormat(QImage::Format_RGB32).mirrored(true, false),
            back.convertToFormat(QImage::Format_RGB32));

  // Its first card's photo in the template's photo box.
  const QRect onPicture = FirstPhoto(front);
  ASSERT_FALSE(onPicture.isNull());
  EXPECT_NEAR(pdftest::PixelsToMm(onPicture.left(), 96), page.LeftMargin + box->GetLeft() * pxToMm, 0.5);
  EXPECT_NEAR(pdftest::PixelsToMm(onPicture.top(), 96), page.TopMargin + box->GetTop() * pxToMm, 0.5);
  EXPECT_NEAR(onPicture.width(), box->GetWidth(), 2);
  EXPECT_NEAR(onPicture.height(), box->GetHeight(), 2);

  // The barcodes of the page scan, at a printer's resolution, to the texts
  // of the page's records.
  const std::string scan = program.Home().File("scan");
  QProcess::execute("pdftoppm", {"-r", "300", "-f", "1", "-l", "1", "-singlefile", "-png",
                                 QString::fromStdString(pdf), QString::fromStdString(scan)});
  std::set<std::string> expected;
  for (int i = perPage + 1; i <= 2 * perPage; ++i) expected.insert(Code(i));
  const std::set<std::string> scanned = ScannedCodes(scan + ".png");
  if (scanned.empty()) GTEST_SKIP() << "no barcode of the printed page scans (pictures embedded lossily?)";
  EXPECT_EQ(scanned, expected);
}

}  // namespace
