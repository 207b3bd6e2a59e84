#include "sanetestenv.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "testenv.h"

namespace cwtest {

namespace {

std::filesystem::path Folder() { return RunRoot() / "sane-config"; }

void WriteSettings(const std::string& extra) {
  std::filesystem::create_directories(Folder());
  // The test backend itself fails with no devices: no backend is how a
  // machine without scanners looks.
  std::ofstream(Folder() / "dll.conf") << (extra == TestScanners::kNone ? "" : "test\n");
  std::ofstream(Folder() / "test.conf") << "number_of_devices 2\n"
                                           "mode Gray\n"
                                           "depth 8\n"
                                           "resolution 50.0\n"
                                           "test-picture \"Solid white\"\n"
                                           "br_x 80.0\n"
                                           "br_y 100.0\n"
                                        << extra;
}

}  // namespace

TestScanners::TestScanners(const std::string& extraSettings) {
  WriteSettings(extraSettings);
  setenv("SANE_CONFIG_DIR", Folder().c_str(), 1);
}

TestScanners::~TestScanners() { WriteSettings(""); }

}  // namespace cwtest
