// Preparing a card report over 1,000 records (13 text fields, three
// pictures a card drawn on the report printer's canvas) and writing it to
// PDF. The counter "cards/s" is the speed.
#include <QApplication>
#include <benchmark/benchmark.h>

#include <filesystem>

#include "platform/dbf.h"
#include "platform/dbtables.h"
#include "platform/gdi.h"
#include "platform/qreport.h"
#include "platform/qreportctrls.h"

namespace {

constexpr int kCards = 1000;

// Draws a 120 x 160 picture into its box through DrawDib, as the picture
// controls of the cards do.
class CardPicture : public TQRPrintable {
 public:
  TBitmap picture;
  void Print(double OfsX, double OfsY) override {
    TQRPrinter* p = ParentReport->QRPrinter;
    TQRPrintableSize s = Size();
    BITMAPINFOHEADER header{};
    header.biSize = 40, header.biWidth = picture.GetWidth(), header.biHeight = -picture.GetHeight();
    header.biPlanes = 1, header.biBitCount = 24;
    int x0 = p->XPos(OfsX + s.Left), y0 = p->YPos(OfsY + s.Top);
    DrawDibDraw(nullptr, p->Canvas->GetHandle(), x0, y0, p->XPos(OfsX + s.Left + s.Width) - x0,
                p->YPos(OfsY + s.Top + s.Height) - y0, &header, picture.ScanLine(0), 0, 0, picture.GetWidth(),
                picture.GetHeight(), 0);
  }
};

struct CardReport {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "cw_report_bench";
  TTable table;
  TQuickRep report;

  CardReport() {
    std::filesystem::create_directories(folder);
    std::vector<TDbfField> columns;
    for (char c = 'A'; c <= 'M'; ++c) columns.push_back({std::string(4, c), 'C', 40, 0, 0});
    TDbfTable::Create((folder / "data.DBF").string(), dbfLevel4, columns);
    table.SetDatabaseName(folder.string());
    table.SetTableName("data.DBF");
    table.Open();
    for (int i = 0; i < kCards; ++i) {
      table.Append();
      for (char c = 'A'; c <= 'M'; ++c)
        table.FieldByName(std::string(4, c))->SetAsString("张三 " + std::to_string(i) + " " + std::string(1, c));
      table.Post();
    }
    report.DataSet = &table;
    report.Page.Columns = 2;
    auto* band = new TQRBand;
    band->SetParent(&report);
    band->SetHeight(210);
    for (int i = 0; i < 13; ++i) {
      auto* text = new TQRDBText;
      text->SetParent(band);
      text->DataSet = &table;
      text->DataField = std::string(4, char('A' + i));
      text->SetBounds(20, 13 * i + 5, 120, 13);
      text->Transparent = true;
    }
    for (int i = 0; i < 3; ++i) {
      auto* picture = new CardPicture;
      picture->SetParent(band);
      picture->SetBounds(150 + i * 50, 10, 45, 60);
      picture->picture.SetSize(120, 160);
      picture->picture.GetCanvas()->Brush->Color = 0x306090 * (i + 1);
      picture->picture.GetCanvas()->FillRect({0, 0, 120, 160});
    }
    auto* footer = new TQRBand;
    footer->BandType = rbPageFooter;
    footer->SetParent(&report);
    footer->SetHeight(20);
    (new TQRSysData)->SetParent(footer);
  }
  ~CardReport() { std::filesystem::remove_all(folder); }
};

void BM_PrepareCards(benchmark::State& state) {
  CardReport cards;
  for (auto _ : state) cards.report.Prepare();
  state.counters["cards/s"] = benchmark::Counter(double(kCards) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrepareCards)->Unit(benchmark::kMillisecond);

void BM_PrepareCardsToPdf(benchmark::State& state) {
  CardReport cards;
  std::string pdf = (cards.folder / "cards.pdf").string();
  for (auto _ : state) {
    cards.report.Prepare();
    cards.report.QRPrinter->ExportToPdf(pdf, 1, cards.report.PageCount());
  }
  state.counters["cards/s"] = benchmark::Counter(double(kCards) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrepareCardsToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
