// Opening and saving the stock card template with its pictures (layout
// picture, logo, seal), beside reading and writing the same bytes. The
// open reads the template (unscrambling it outside the stock folder),
// checks and parses it, finds each picture as the program does and decodes
// it into a picture; the reference reads the same four files, each in one
// read call. The save formats, scrambles and replaces the file through a
// temporary name with fsync; the reference writes the same bytes the same
// way in one write call.
//
//   bench_template_bench [--benchmark_filter=...]
// Arg 0: the template lies in the stock folder (plain text);
// arg 1: elsewhere (scrambled on disk).
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "designer/cardtemplate.h"
#include "designer/templatepaths.h"
#include "designer/templatescramble.h"
#include "platform/picture.h"

namespace {

namespace fs = std::filesystem;

// A program folder with the stock template, its pictures, and a scrambled
// copy of the template outside the stock folder.
struct TemplateFolder {
  fs::path base = fs::temp_directory_path() / "cw_template_bench";
  std::array<std::string, 2> templates;  // plain, scrambled
  CardTemplate design;
  std::string plainBytes;  // what the save writes before scrambling

  TemplateFolder() {
    fs::remove_all(base);
    fs::create_directories(base / "Mode");
    fs::create_directories(base / "卡片");
    const fs::path data = CW_DATA_DIR;
    for (const char* name : {"Untitle.JPG", "SignPic.bmp", "ZhangPic.bmp", "未命名.pmt"})
      fs::copy_file(data / "Mode" / name, base / "Mode" / name);
    templates[0] = (base / "Mode" / "未命名.pmt").string();
    templates[1] = (base / "卡片" / "员工卡.pmt").string();
    design = LoadCardTemplate(templates[0]);
    plainBytes = FormatCardTemplate(design);
    std::ofstream(templates[1], std::ios::binary) << ScrambleTemplateBytes(plainBytes);
  }
  ~TemplateFolder() { fs::remove_all(base); }

  std::string Base() const { return base.string() + "/"; }

  // The pictures the template names, found as the program finds them.
  std::array<std::string, 3> Pictures(const CardTemplate& t, const std::string& path) const {
    return {FindTemplateFile(t.layoutPath, path, Base()), FindTemplateFile(t.logoPath, path, Base()),
            FindTemplateFile(t.sealPath, path, Base())};
  }

  static std::string ReadWhole(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open " + path);
    struct stat st {};
    ::fstat(fd, &st);
    std::string bytes(size_t(st.st_size), '\0');
    const ssize_t n = ::read(fd, bytes.data(), bytes.size());
    ::close(fd);
    if (n != ssize_t(bytes.size())) throw std::runtime_error("short read of " + path);
    return bytes;
  }
};

TemplateFolder& Folder() {
  static TemplateFolder folder;
  return folder;
}

// The picture files load the way the template's open loads them: a JPEG
// through the JPEG loader, then copied into the item's picture.
void LoadPictures(const std::array<std::string, 3>& files, TPicture& loader, std::array<TPicture, 3>& items) {
  for (size_t i = 0; i < files.size(); ++i) {
    if (files[i].empty()) throw std::runtime_error("a picture of the template is missing");
    const std::string ext = LowerCase(ExtractFileExt(files[i]));
    if (ext == ".jpg" || ext == ".jpeg") {
      loader.LoadFromFile(files[i]);
      items[i].Assign(&loader);
    } else {
      items[i].LoadFromFile(files[i]);
    }
  }
}

void BM_OpenTemplateWithPictures(benchmark::State& state) {
  TemplateFolder& f = Folder();
  const std::string& path = f.templates[size_t(state.range(0))];
  TPicture loader;
  std::array<TPicture, 3> items;
  for (auto _ : state) {
    const CardTemplate design = LoadCardTemplate(path);
    LoadPictures(f.Pictures(design, path), loader, items);
    benchmark::DoNotOptimize(items[0].GetWidth());
  }
}
BENCHMARK(BM_OpenTemplateWithPictures)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ReadTemplateAndPictureBytes(benchmark::State& state) {
  TemplateFolder& f = Folder();
  const std::string& path = f.templates[size_t(state.range(0))];
  const std::array<std::string, 3> pictures = f.Pictures(f.design, path);
  for (auto _ : state) {
    std::string bytes = TemplateFolder::ReadWhole(path);
    for (const std::string& picture : pictures) bytes = TemplateFolder::ReadWhole(picture);
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(BM_ReadTemplateAndPictureBytes)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The template alone, without its pictures.
void BM_OpenTemplate(benchmark::State& state) {
  const std::string& path = Folder().templates[size_t(state.range(0))];
  for (auto _ : state) benchmark::DoNotOptimize(LoadCardTemplate(path).pageData[0]);
}
BENCHMARK(BM_OpenTemplate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ReadTemplateBytes(benchmark::State& state) {
  const std::string& path = Folder().templates[size_t(state.range(0))];
  for (auto _ : state) benchmark::DoNotOptimize(TemplateFolder::ReadWhole(path).data());
}
BENCHMARK(BM_ReadTemplateBytes)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_SaveTemplate(benchmark::State& state) {
  TemplateFolder& f = Folder();
  const std::string path = fs::path(f.templates[size_t(state.range(0))]).replace_filename("saved.pmt").string();
  for (auto _ : state) SaveCardTemplate(path, f.design);
}
BENCHMARK(BM_SaveTemplate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The bytes the save writes, written by one call into a temporary file,
// synced and renamed over the target.
void BM_WriteTemplateBytes(benchmark::State& state) {
  TemplateFolder& f = Folder();
  const std::string path = fs::path(f.templates[size_t(state.range(0))]).replace_filename("written.pmt").string();
  const std::string bytes = state.range(0) == 0 ? f.plainBytes : ScrambleTemplateBytes(f.plainBytes);
  for (auto _ : state) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    const bool ok = fd >= 0 && ::fchmod(fd, 0644) == 0 && ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size()) &&
                    ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) state.SkipWithError("write failed");
  }
}
BENCHMARK(BM_WriteTemplateBytes)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
