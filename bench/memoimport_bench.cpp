// Importing 3,000 records of 13 text columns from a memo column file into
// the card-holder table through the text import window: the file opened
// into the columns, then the columns written into an emptied table. The
// counter "rows/s" is the speed.
#include <QApplication>
#include <benchmark/benchmark.h>

#include <filesystem>

#include "platform/dbf.h"
#include "platform/dialogs.h"
#include "records/dbpicsu.h"
#include "records/memocolumns.h"
#include "records/opendata.h"

namespace {

struct MemoImport {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "cw_memoimport_bench";
  std::string memo = (folder / "bulk.mem").string();
  TScriptedDialogs dialogs;

  MemoImport() {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::vector<TDbfField> columns;
    for (char c = 'A'; c <= 'M'; ++c) columns.push_back({std::string(4, c), 'C', 60, 0, 0});
    for (const char* name : {"PIC", "BACKGROUND", "BARCODE"}) columns.push_back({name, 'B', 10, 0, 0});
    TDbfTable::Create((folder / "data.DBF").string(), dbfLevel4, columns);
    TMemoColumns cells;
    for (int r = 0; r < kMemoRows; ++r)
      for (int c = 0; c < kMemoColumns; ++c)
        cells[size_t(c)].push_back(c == 0 ? "张三" + std::to_string(r) : "北京市海淀区" + std::to_string(r * c));
    WriteMemoColumnFile(memo, cells, kMemoRows);
    FormPicEdit = new TFormPicEdit(nullptr);
    FormPicEdit->Table1->SetDatabaseName(folder.string() + "/");
    FormPicEdit->Table1->SetTableName("data.DBF");
    OpenDataForm = new TOpenDataForm(nullptr);
  }
  ~MemoImport() {
    delete OpenDataForm;
    delete FormPicEdit;
    std::filesystem::remove_all(folder);
  }
  void Import() {
    const std::string path = memo;
    dialogs.AnswerDialog([path](TCommonDialog* d) { return static_cast<TOpenDialog*>(d)->ChooseFiles({path}); });
    OpenDataForm->bopenClick(nullptr);
    dialogs.Answer(IDOK);
    dialogs.Answer(IDYES);  // empty the table first
    OpenDataForm->ToolButton5Click(nullptr);
    dialogs.Records.clear();
  }
};

void BM_ImportMemoFileIntoTable(benchmark::State& state) {
  MemoImport import;
  for (auto _ : state) import.Import();
  if (FormPicEdit->Table1->RecordCount() != kMemoRows) state.SkipWithError("the table does not hold every row");
  state.counters["rows/s"] = benchmark::Counter(double(kMemoRows) * state.iterations(), benchmark::Counter::kIsRate);
}
// Real time: the import waits for the disk after every record.
BENCHMARK(BM_ImportMemoFileIntoTable)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
