// The component's entries to the open and save picture dialogs.
#include <memory>

#include "imaging/io/pixio.h"
#include "imaging/view/opendlg.h"

namespace {

std::string RunFileDialog(TPixIO* io, TOpenPixDialog* dialog, const std::string& initialDir,
                          const std::string& fileName, bool alwaysAnimate, int filterIndex,
                          const std::string& extraFilters) {
  dialog->SetInitialDir(initialDir);
  dialog->SetFileName(fileName);
  dialog->AlwaysAnimate = alwaysAnimate;
  dialog->SetFilterIndex(filterIndex);
  dialog->AutoAdjustDPI = io->AutoAdjustDPI;
  dialog->FilteredAdjustDPI = io->FilteredAdjustDPI;
  dialog->ExtraFilters = extraFilters;
  return dialog->Execute() ? dialog->GetFileName() : std::string();
}

}  // namespace

std::string TPixIO::ExecuteOpenDialog(const std::string& InitialDir, const std::string& InitialFileName,
                                      bool AlwaysAnimate, int FilterIndex, const std::string& ExtraFilters) {
  std::unique_ptr<TOpenPixDialog> dialog(new TOpenPixDialog(this));
  return RunFileDialog(this, dialog.get(), InitialDir, InitialFileName, AlwaysAnimate, FilterIndex, ExtraFilters);
}

std::string TPixIO::ExecuteSaveDialog(const std::string& InitialDir, const std::string& InitialFileName,
                                      bool AlwaysAnimate, int FilterIndex, const std::string& ExtraFilters) {
  std::unique_ptr<TSavePixDialog> dialog(new TSavePixDialog(this));
  dialog->SetAttachedPixIO(this);
  dialog->SetPreviewBorderStyle(iepsCropShadow);
  return RunFileDialog(this, dialog.get(), InitialDir, InitialFileName, AlwaysAnimate, FilterIndex, ExtraFilters);
}
