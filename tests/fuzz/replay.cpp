// Replays a fuzz target's corpus through its entry point, one file at a
// time, so that the sanitizers check every input that once failed and every
// seed on each test run, without a fuzz engine.
//
//   fuzz_replay TARGET CORPUS_FOLDER
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_entries.h"

namespace fs = std::filesystem;

// Leaks inside libraries that the targets name as no fault of ours.
extern "C" const char* __lsan_default_suppressions() {
  static const std::string all = [] {
    std::string joined;
    for (const TFuzzEntry& e : kFuzzEntries)
      if (e.leaks) joined += e.leaks();
    return joined;
  }();
  return all.c_str();
}

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s TARGET CORPUS_FOLDER\n", argv[0]);
    return 2;
  }
  const TFuzzEntry* entry = nullptr;
  for (const TFuzzEntry& e : kFuzzEntries)
    if (std::strcmp(e.name, argv[1]) == 0) entry = &e;
  if (!entry) {
    std::fprintf(stderr, "no fuzz target %s\n", argv[1]);
    return 2;
  }
  std::error_code error;
  std::vector<fs::path> files;
  for (const fs::directory_entry& f : fs::directory_iterator(argv[2], error))
    if (f.is_regular_file()) files.push_back(f.path());
  if (error || files.empty()) {
    std::fprintf(stderr, "target %s has no seed corpus in %s\n", argv[1], argv[2]);
    return 1;
  }
  std::sort(files.begin(), files.end());
  if (entry->initialize) entry->initialize(&argc, &argv);
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "%s\n", file.filename().c_str());
    // The engine never passes a null pointer, even for an empty input.
    static const uint8_t kNothing = 0;
    entry->run(bytes.empty() ? &kNothing : bytes.data(), bytes.size());
  }
  std::fprintf(stderr, "%zu inputs replayed through %s\n", files.size(), argv[1]);
  return 0;
}
