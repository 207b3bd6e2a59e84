#include "sanetestenv.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/sane.h"
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
                                           // The backend stays loaded and keeps
                                           // what an earlier test set.
                                           "hand-scanner false\n"
                                           "three-pass false\n"
                                           "read-status-code \"Default\"\n"
                                        << extra;
}

// The test backend reads in a thread of its own, which a cancel ends with
// its 64 KiB buffer still held. That buffer is the backend's, not ours: the
// backend is kept loaded so that the leak report can name it, and the
// report leaves it out.
void KeepBackendLoaded() {
  static void* backend = dlopen("libsane-test.so.1", RTLD_NOW | RTLD_NODELETE);
  if (!backend) backend = dlopen("/usr/lib/x86_64-linux-gnu/sane/libsane-test.so.1", RTLD_NOW | RTLD_NODELETE);
  (void)backend;
}

}  // namespace

TestScanners::TestScanners(const std::string& extraSettings) {
  KeepBackendLoaded();
  WriteSettings(extraSettings);
  setenv("SANE_CONFIG_DIR", Folder().c_str(), 1);
  SaneReload();
}

TestScanners::~TestScanners() { WriteSettings(""); }

}  // namespace cwtest

extern "C" const char* __lsan_default_suppressions() { return "leak:libsane-test.so\n"; }
