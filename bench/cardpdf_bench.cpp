// The bundled card printed from a table into a PDF through the card
// program's own report: the main window opens the stock template (layout
// picture, logo, seal, thirteen texts), the picture window's table holds the
// card holders (Chinese texts, a 300 x 400 JPEG photo and a Code 39 barcode
// picture each), and the report prepares every card and writes every page.
//
//   bench_cardpdf_bench --benchmark_filter=BM_CardsToPdf/1000
//   CW_CARDPDF_KEEP=/tmp/cards.pdf bench_cardpdf_bench --benchmark_filter=BM_CardsToPdf/20/
//
// Each case is meant to run alone in a fresh process (bench/cardpdf.sh
// does that and reads the peak memory), so that the set-up, which happens
// once, is not mixed with the cards: "setup_s" (program window, template,
// table) and "cards/s" (preparing and writing the PDF) are separate
// counters. The photos all differ in their bytes (each carries its own
// comment segment), so none is shared between cards.
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "barcode/barcode.h"
#include "designer/main.h"
#include "imaging/view/qrdbpix.h"
#include "platform/dbf.h"
#include "platform/dbtables.h"
#include "platform/forms.h"
#include "platform/qreport.h"
#include "platform/sysutils.h"
#include "records/dbpicsu.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// CPU seconds of the whole process (every thread) so far: on a shared
// machine the CPU time a card takes says more than the wall clock.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// A portrait-like 300 x 400 photo: shaded background, a face, a collar.
std::string PhotoJpeg() {
  QImage photo(300, 400, QImage::Format_RGB32);
  QPainter painter(&photo);
  QLinearGradient back(0, 0, 300, 400);
  back.setColorAt(0, QColor(120, 160, 210));
  back.setColorAt(1, QColor(40, 70, 120));
  painter.fillRect(photo.rect(), back);
  painter.setRenderHint(QPainter::Antialiasing);
  QRadialGradient face(150, 150, 90);
  face.setColorAt(0, QColor(240, 200, 170));
  face.setColorAt(1, QColor(190, 140, 110));
  painter.setBrush(face);
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPointF(150, 160), 75, 95);
  painter.setBrush(QColor(30, 30, 40));
  painter.drawRoundedRect(40, 300, 220, 140, 60, 60);
  painter.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  photo.save(&buffer, "JPG", 85);
  return bytes.toStdString();
}

// The photo with a comment segment naming the record after its start
// marker: the same picture in bytes of its own.
std::string PhotoOfRecord(const std::string& photo, int record) {
  const std::string text = "card " + std::to_string(record);
  const size_t length = text.size() + 2;
  std::string comment = {'\xFF', '\xFE', char(length >> 8), char(length & 0xFF)};
  return photo.substr(0, 2) + comment + text + photo.substr(2);
}

// A monochrome Code 39 barcode picture of `text`, as BMP bytes.
std::string BarcodeBmp(TBarcode& barcode, const std::string& text, const std::string& file) {
  barcode.SetBar_Caption(text);
  barcode.SaveToFileEx(4, file, true, 1);
  QFile bmp(QString::fromStdString(file));
  bmp.open(QIODevice::ReadOnly);
  return bmp.readAll().toStdString();
}

// A program folder with the stock data, a private desktop, the window and
// the bundled template opened, the table of `records` card holders bound.
struct CardProgram {
  fs::path base = fs::temp_directory_path() / ("cw_cardpdf_bench_" + std::to_string(getpid()));
  TMainForm* main = nullptr;

  explicit CardProgram(int records) {
    fs::remove_all(base);
    fs::create_directories(base / "program");
    fs::copy(CW_DATA_DIR, base / "program" / "data", fs::copy_options::recursive);
    setenv("XDG_CONFIG_HOME", (base / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (base / "share").c_str(), 1);
    SetCurrentDir((base / "program" / "data").string());
    MainForm = main = MakeForm<TMainForm>(Application);
    FormPicEdit = MakeForm<TFormPicEdit>(Application);
    main->OnShow = nullptr;
    main->OnActivate = nullptr;
    main->Show();
    main->NOpen->Click();  // the bundled template, without a dialog
    // The photo, placed on the card right of the texts as a user places it.
    main->QRDBPicOne->SetBounds(245, 45, 75, 100);
    main->QRDBPicOne->SetEnabled(true);
    MakeTable(records);
  }
  ~CardProgram() {
    FormPicEdit->Free();
    main->Free();
    fs::remove_all(base);
  }

  void MakeTable(int records) {
    const fs::path folder = base / "cards";
    fs::create_directories(folder);
    std::vector<TDbfField> columns;
    for (char c = 'A'; c <= 'M'; ++c) columns.push_back({std::string(4, c), 'C', 60, 0, 0});
    for (const char* name : {"PIC", "BACKGROUND", "BARCODE"}) columns.push_back({name, 'B', 10, 0, 0});
    TDbfTable::Create((folder / "data.DBF").string(), dbfLevel4, columns);
    const std::string photo = PhotoJpeg();
    TBarcode barcode(nullptr);
    barcode.SetBar_CodeType(CODE39);
    const std::string barFile = (folder / "bar.bmp").string();
    const char* surnames[] = {"张", "王", "李", "赵", "陈", "刘", "杨", "黄"};
    TTable* table = FormPicEdit->Table1;
    table->Close();
    table->SetDatabaseName(folder.string() + "/");
    table->SetTableName("data.DBF");
    table->Open();
    table->DisableControls();
    for (int i = 1; i <= records; ++i) {
      table->Append();
      table->FieldByName("AAAA")->SetAsString(std::string(surnames[i % 8]) + "小明" + std::to_string(i));
      table->FieldByName("BBBB")->SetAsString("卡片设计有限公司");
      table->FieldByName("CCCC")->SetAsString("北京市海淀区中关村大街" + std::to_string(i) + "号");
      table->FieldByName("DDDD")->SetAsString("010-6275" + std::to_string(1000 + i % 9000));
      table->FieldByName("EEEE")->SetAsString("工程师");
      table->FieldByName("FFFF")->SetAsString("三楼" + std::to_string(300 + i % 40) + "室");
      table->FieldByName("GGGG")->SetAsString("NO." + std::to_string(100000 + i));
      table->FieldByName("HHHH")->SetAsString("研发部");
      table->FieldByName("IIII")->SetAsString(std::to_string(10000000 + i));
      table->FieldByName("JJJJ")->SetAsString(std::to_string(20000000 + i));
      table->FieldByName("KKKK")->SetAsString("138" + std::to_string(10000000 + i));
      table->FieldByName("LLLL")->SetAsString("user" + std::to_string(i) + "@example.com");
      table->FieldByName("MMMM")->SetAsString("备注：第" + std::to_string(i) + "张卡");
      table->FieldByName("PIC")->SetAsString(PhotoOfRecord(photo, i));
      table->FieldByName("BARCODE")->SetAsString(BarcodeBmp(barcode, std::to_string(100000 + i), barFile));
      table->Post();
    }
    table->EnableControls();
    table->First();
  }
};

void BM_CardsToPdf(benchmark::State& state) {
  const int records = int(state.range(0));
  const auto setupStart = Clock::now();
  CardProgram program(records);
  const double setup = Seconds(setupStart);
  TQuickRep* report = program.main->QuickRep1;
  const std::string pdf = (program.base / "cards.pdf").string();
  double prepareSeconds = 0, pdfSeconds = 0;
  const double cpuStart = CpuSeconds();
  for (auto _ : state) {
    const auto start = Clock::now();
    report->Prepare();
    prepareSeconds += Seconds(start);
    const auto written = Clock::now();
    report->QRPrinter->ExportToPdf(pdf, 1, report->PageCount());
    pdfSeconds += Seconds(written);
  }
  const double cpu = CpuSeconds() - cpuStart;
  state.counters["cards/s"] = double(records) * state.iterations() / (prepareSeconds + pdfSeconds);
  state.counters["cpu_ms/card"] = 1000 * cpu / (double(records) * state.iterations());
  state.counters["prepare_s"] = prepareSeconds / state.iterations();
  state.counters["pdf_s"] = pdfSeconds / state.iterations();
  state.counters["pictures_MB"] = double(report->QRPrinter->Pictures().Bytes()) / 1e6;
  state.counters["setup_s"] = setup;
  state.counters["pages"] = report->PageCount();
  state.counters["pdf_MB"] = double(fs::file_size(pdf)) / 1e6;
  // A copy of the file to look at (CW_CARDPDF_KEEP=path), e.g. to compare
  // its rendered pages with those of an earlier build; the first page as
  // the preview draws it goes beside it (path.png).
  if (const char* keep = std::getenv("CW_CARDPDF_KEEP")) {
    fs::copy_file(pdf, keep, fs::copy_options::overwrite_existing);
    report->QRPrinter->GetPage(1)->ToImage(TQRPrinter::RecordDpi).save(QString::fromStdString(std::string(keep) + ".png"));
  }
}
// One iteration: the first is the cold run the figures are about.
// The 20-card case is for looking at the file, not for timing.
BENCHMARK(BM_CardsToPdf)->Arg(20)->Arg(1000)->Arg(10000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
