// Entry point of Cardwright: the splash window, the forms in their fixed
// order, then the application's message loop.
#include <QApplication>

#include "designer/cardforms.h"
#include "designer/main.h"
#include "designer/preface.h"
#include "imaging/view/pixview.h"
#include "platform/forms.h"

namespace {

int WinMain(const std::vector<std::string>& arguments) {
  try {
    StarForm = new TStarForm(Application);
    StarForm->Show();
    StarForm->Update();
    Application->Initialize();
    ProgramArguments = arguments;
    CreateCardForms(Application);
    StarForm->Close();
    Application->Run();
  } catch (...) {
    // Anything thrown, exception object or not, is shown by the application.
    Application->HandleException(Application);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  ReadSystemDPI();
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return WinMain(arguments);
}
