// Shared main of every test program: private folders, a headless Qt
// application (offscreen platform), then GoogleTest.
#include <QApplication>
#include <gtest/gtest.h>

#include "testenv.h"

int main(int argc, char** argv) {
  cwtest::SetUpRunEnvironment();
  int result;
  {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  cwtest::TearDownRunEnvironment();
  return result;
}
