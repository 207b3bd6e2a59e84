// The scanner library's test backend in a private configuration folder:
// dll.conf lists only `test`, test.conf holds the backend's settings (two
// devices, solid white pictures, 80 x 100 mm) plus the lines a test adds.
// The library reads them when it starts: making this object starts it
// anew, so every scanner holder of the previous test must be gone.
// The folder is one for the whole run: the library remembers the first
// configuration folder it was given.
#pragma once

#include <string>

namespace cwtest {

class TestScanners {
 public:
  explicit TestScanners(const std::string& extraSettings = "");
  // No backend at all: the library finds no scanner.
  static constexpr const char* kNone = "\n#no backend\n";
  ~TestScanners();
  TestScanners(const TestScanners&) = delete;
  TestScanners& operator=(const TestScanners&) = delete;
};

}  // namespace cwtest
