// Points the user's configuration and data folders at a fresh temporary
// folder for one test, so that registry and desktop files start empty.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/testenv.h"

// The whole contents of a file ("" when it cannot be read).
inline std::string ReadFile(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class DesktopHome {
 public:
  DesktopHome() : config_(Get("XDG_CONFIG_HOME")), data_(Get("XDG_DATA_HOME")) {
    setenv("XDG_CONFIG_HOME", dir_.file("config").c_str(), 1);
    setenv("XDG_DATA_HOME", dir_.file("data").c_str(), 1);
  }
  ~DesktopHome() {
    setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    setenv("XDG_DATA_HOME", data_.c_str(), 1);
  }
  std::string Config(const std::string& name) const { return dir_.file("config/" + name); }
  std::string Data(const std::string& name) const { return dir_.file("data/" + name); }
  std::string File(const std::string& name) const { return dir_.file(name); }

 private:
  static std::string Get(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
  }
  cwtest::TempDir dir_;
  std::string config_, data_;
};
