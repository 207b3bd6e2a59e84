// A card program laid out for one test: a copy of the repository's data
// folder under a private program folder, the working folder inside it,
// fresh registry and desktop folders, printing into a file, and scripted
// dialogs. Forms made through it are freed at the end, main window first.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "designer/main.h"
#include "platform/desktop_home.h"
#include "platform/dialogs.h"
#include "platform/shellapi.h"
#include "platform/sysutils.h"
#include "support/testenv.h"

namespace cardtest {

namespace fs = std::filesystem;

inline fs::path RepositoryData() {
  // tests/data/x -> the repository's data folder
  return cwtest::DataPath("x").parent_path().parent_path().parent_path() / "data";
}

class CardProgram {
 public:
  // With `stock` false the data folder starts empty.
  explicit CardProgram(bool stock = true) {
    data_ = fs::path(home_.File("program")) / "data";
    fs::create_directories(data_);
    if (stock) fs::copy(RepositoryData(), data_, fs::copy_options::recursive);
    previousDir_ = GetCurrentDir();
    SetCurrentDir(data_.string());
    setenv("CW_PRINTER_PDF", home_.File("print.pdf").c_str(), 1);
    SetDesktopHandler([this](const TDesktopRequest& request) {
      desktopRequests.push_back(request);
      return true;
    });
  }
  ~CardProgram() {
    for (TComponent* form : forms_) form->Free();
    SetCurrentDir(previousDir_);
    unsetenv("CW_PRINTER_PDF");
    SetDesktopHandler({});
    ProgramArguments.clear();
  }

  // A main window made as the application makes it (OnCreate after the
  // constructor).
  TMainForm* MakeMainForm(const std::vector<std::string>& arguments = {}) {
    ProgramArguments = arguments;
    MainForm = MakeForm<TMainForm>(Application);
    forms_.insert(forms_.begin(), MainForm);
    return MainForm;
  }
  // Frees a form at the end of the test, in the order they were added.
  void Keep(TComponent* form) { forms_.push_back(form); }
  void Forget(TComponent* form) { std::erase(forms_, form); }

  std::string Data(const std::string& name) const { return (data_ / name).string(); }
  fs::path DataFolder() const { return data_; }
  std::string ProgramFolder() const { return data_.parent_path().string() + "/"; }
  const DesktopHome& Home() const { return home_; }

  // Texts of the messages shown so far.
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const TDialogRecord& record : dialogs.Records) texts.push_back(record.Text);
    return texts;
  }

  TScriptedDialogs dialogs;
  std::vector<TDesktopRequest> desktopRequests;

 private:
  DesktopHome home_;
  fs::path data_;
  std::string previousDir_;
  std::vector<TComponent*> forms_;
};

}  // namespace cardtest
