// Entry point of Cardwright.
#include <cstdio>

int main(int argc, char** argv) {
  std::printf("Cardwright: the main window is not there yet; the imaging library is being built.\n");
  return 0;
}
