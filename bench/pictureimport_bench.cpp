// Importing 1,000 photos from a folder by name into a 1,000-record
// card-holder table through the database editing window, beside the same
// decode and encode of every photo without the table (the floor the import
// stands on). The counter "photos/s" is the speed of each, in real time:
// the import's batch waits for the disk once, when it ends.
#include <QApplication>
#include <benchmark/benchmark.h>

#include <filesystem>

#include "imaging/view/pix.h"
#include "platform/classes.h"
#include "platform/dbf.h"
#include "platform/dbfio.h"
#include "platform/dialogs.h"
#include "records/dbpicsu.h"
#include "records/pictureimport.h"
#include "records/utextdata.h"

namespace {

constexpr int kPhotos = 1000;
constexpr int kPhotoWidth = 240, kPhotoHeight = 320;

std::string HolderName(int i) { return "张三" + std::to_string(i); }

struct PhotoFolder {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "cw_pictureimport_bench";
  std::filesystem::path photos = folder / "photos";

  PhotoFolder() {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(photos);
    // One passport-sized photo with some texture, written under every name.
    TPix pix(nullptr);
    TBitmap* bitmap = pix.GetFBitmap();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(kPhotoWidth, kPhotoHeight);
    for (int y = 0; y < kPhotoHeight; ++y) {
      uint8_t* row = bitmap->ScanLine(y);
      for (int x = 0; x < kPhotoWidth; ++x) {
        row[x * 3] = uint8_t(x + y);
        row[x * 3 + 1] = uint8_t((x * y) >> 4);
        row[x * 3 + 2] = uint8_t(200 - y / 2);
      }
    }
    pix.Update();
    const std::string first = (photos / "photo.jpg").string();
    pix.SaveToFile(first);
    for (int i = 0; i < kPhotos; ++i)
      std::filesystem::copy_file(first, photos / std::filesystem::u8path(HolderName(i) + ".jpg"));
    std::filesystem::remove(first);
  }
  ~PhotoFolder() { std::filesystem::remove_all(folder); }
};

struct PictureImport : PhotoFolder {
  TScriptedDialogs dialogs;

  PictureImport() {
    TDbfTable::Create((folder / "data.DBF").string(), dbfLevel4, Columns());
    FormPicEdit = new TFormPicEdit(nullptr);
    TTable* table = FormPicEdit->Table1;
    table->SetDatabaseName(folder.string() + "/");
    table->SetTableName("data.DBF");
    table->Open();
    for (int i = 0; i < kPhotos; ++i) {
      table->Append();
      table->FieldByName("AAAA")->SetAsString(HolderName(i));
      table->Post();
    }
    FormTextData = new TFormTextData(nullptr);
  }
  ~PictureImport() {
    delete FormTextData;
    delete FormPicEdit;
  }
  static std::vector<TDbfField> Columns() {
    std::vector<TDbfField> columns;
    for (char c = 'A'; c <= 'M'; ++c) columns.push_back({std::string(4, c), 'C', 60, 0, 0});
    for (const char* name : {"PIC", "BACKGROUND", "BARCODE"}) columns.push_back({name, 'B', 10, 0, 0});
    return columns;
  }
  void Import() {
    const std::string any = (photos / std::filesystem::u8path(HolderName(0) + ".jpg")).string();
    dialogs.Answer(IDYES);  // batch
    dialogs.Answer(IDYES);  // by name
    dialogs.AnswerDialog([any](TCommonDialog* d) { return static_cast<TOpenDialog*>(d)->ChooseFiles({any}); });
    dialogs.Answer(IDYES);  // picture one
    FormTextData->SpeedButton1Click(nullptr);
    dialogs.Records.clear();
  }
};

// state.range(0): 1 waits for the disk at the batch's end as the program
// does, 0 leaves the writing to the system (the import's own work).
void BM_ImportPhotosByNameIntoTable(benchmark::State& state) {
  dbfio::SetDiskSync(state.range(0) != 0);
  PictureImport import;
  for (auto _ : state) import.Import();
  TTable* table = FormPicEdit->Table1;
  table->Last();
  if (static_cast<TBlobField*>(table->FieldByName("PIC"))->BlobSize() == 0)
    state.SkipWithError("the last record holds no photo");
  state.counters["photos/s"] = benchmark::Counter(double(kPhotos) * state.iterations(), benchmark::Counter::kIsRate);
  dbfio::SetDiskSync(true);
}
BENCHMARK(BM_ImportPhotosByNameIntoTable)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same photos decoded and encoded again as JPEG, with no table.
void BM_DecodeAndEncodePhotosOnly(benchmark::State& state) {
  PhotoFolder folder;
  TPix pix(nullptr);
  TMemoryStream stream;
  for (auto _ : state) {
    for (const std::string& file : PictureFolderListing(folder.photos.string())) {
      if (!LoadPictureFile(&pix, file)) state.SkipWithError("a photo could not be read");
      stream.Clear();
      pix.SaveToStream(&stream, PictureTypeOfFile(file));
    }
  }
  state.counters["photos/s"] = benchmark::Counter(double(kPhotos) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeAndEncodePhotosOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
