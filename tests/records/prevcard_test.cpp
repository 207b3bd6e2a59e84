// The bundled card template over a table of a thousand card holders
// previewed and printed from the preview window into a PDF: the pages
// printed, where the cards land in millimetres, and texts kept as text.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <cmath>

#include "designer/cardprogram.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"
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

  // A thousand card holders with Chinese names, a photo of the photo box's
  // size each and a barcode picture.
  void MakeTable() {
    const fs::path folder = program.DataFolder() / "cards";
    fs::create_directories(folder);
    TDbfTable::Create((folder / "data.DBF").string(), dbfLevel4, dbtest::CardColumns(60));
    QImage photo(f->QRDBPicOne->GetWidth(), f->QRDBPicOne->GetHeight(), QImage::Format_RGB32);
    photo.fill(kPhotoColour);
    const std::string jpeg = Encoded(photo, "JPG");
    QImage bars(120, 30, QImage::Format_RGB32);
    bars.fill(Qt::white);
    for (int x = 4; x < 116; x += 6)
      for (int y = 0; y < 30; ++y) bars.setPixel(x, y, 0);
    const std::string bmp = Encoded(bars, "BMP");
    TTable* table = FormPicEdit->Table1;
    table->Close();
    table->SetDatabaseName(folder.string() + "/");
    table->SetTableName("data.DBF");
    table->Open();
    for (int i = 1; i <= kRecords; ++i) {
      table->Append();
      table->FieldByName("AAAA")->SetAsString(Name(i));
      table->FieldByName("BBBB")->SetAsString("部门" + std::to_string(i % 7));
      table->FieldByName("PIC")->SetAsString(jpeg);
      table->FieldByName("BARCODE")->SetAsString(bmp);
      table->Post();
    }
    table->First();
  }

  static void Press(TToolButton* button) { WindowClick(button, {button->GetWidth() / 2, button->GetHeight() / 2}); }

  CardProgram program;
  TMainForm* f = nullptr;
};

TEST_F(CardPrint, PagesTwoToFiveOfAThousandCardsGoIntoThePdfAtTheirPlaces) {
  TQuickRep* report = f->QuickRep1;
  PrevForm->OpenReport(report);
  const int pages = report->PageCount();
  ASSERT_GT(pages, 5);
  EXPECT_EQ(PrevForm->StatusBar1->GetSimpleText(), "第1页共" + std::to_string(pages) + "页");
  PrevForm->ToolButton6->Click();
  EXPECT_EQ(PrevForm->StatusBar1->GetSimpleText(),
            "第" + std::to_string(pages) + "页共" + std::to_string(pages) + "页");

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

  // The first card of the page sits at the margins: its name where the
  // template puts the name, its photo in the photo box.
  const TQRPage& page = report->Page;
  const double pxToMm = 25.4 / 96;
  const Word first = *std::find_if(words.begin(), words.end(),
                                   [&](const Word& w) { return w.text == QString::fromStdString(Name(perPage + 1)); });
  TQRDBText* name = f->QRDBTexts[0];
  EXPECT_NEAR(PointsToMm(first.x), page.LeftMargin + name->GetLeft() * pxToMm, 1.0);
  EXPECT_NEAR(PointsToMm(first.y), page.TopMargin + name->GetTop() * pxToMm, 1.5);

  const QImage& sheet = printed[0];
  QRect photo;
  for (int y = 0; y < sheet.height() && photo.isNull(); ++y)
    for (int x = 0; x < sheet.width() / 2; ++x) {
      const QColor c = sheet.pixelColor(x, y);
      if (c.red() > 150 && c.green() < 60 && c.blue() < 60) {
        int right = x, bottom = y;
        while (right + 1 < sheet.width() && sheet.pixelColor(right + 1, y).red() > 150 &&
               sheet.pixelColor(right + 1, y).green() < 60)
          ++right;
        while (bottom + 1 < sheet.height() && sheet.pixelColor(x, bottom + 1).red() > 150 &&
               sheet.pixelColor(x, bottom + 1).green() < 60)
          ++bottom;
        photo = QRect(QPoint(x, y), QPoint(right, bottom));
        break;
      }
    }
  ASSERT_FALSE(photo.isNull());
  TQRDBPix* box = f->QRDBPicOne;
  EXPECT_NEAR(pdftest::PixelsToMm(photo.left(), dpi), page.LeftMargin + box->GetLeft() * pxToMm, 0.6);
  EXPECT_NEAR(pdftest::PixelsToMm(photo.top(), dpi), page.TopMargin + box->GetTop() * pxToMm, 0.6);
  EXPECT_NEAR(pdftest::PixelsToMm(photo.width(), dpi), box->GetWidth() * pxToMm, 0.6);
  EXPECT_NEAR(pdftest::PixelsToMm(photo.height(), dpi), box->GetHeight() * pxToMm, 0.6);
}

}  // namespace
