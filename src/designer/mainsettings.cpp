// PMstart.ini: the custom-template count and the recent templates, read at
// start and written at close.
#include <memory>

#include "designer/main.h"
#include "platform/dialogs.h"
#include "platform/inifiles.h"

namespace {

const char* const kSection = "Section1";

}  // namespace

void TMainForm::ReadStartSettings() {
  try {
    auto ini = std::make_unique<TIniFile>(DataDir + "PMstart.ini");
    for (int k = 0; k < 2; ++k)
      PMstartValues[size_t(k)] = StrToInt(ini->ReadString(kSection, "PMstart" + IntToStr(k), ""));
    // A count outside what the library can hold would flood the menu; it
    // counts as a bad value.
    if (PMstartValues[0] < 0 || PMstartValues[0] > kMaxCustomTemplates)
      throw EConvertError("Custom template count out of range");
    for (int k = 0; k < 5; ++k) RecentFiles[size_t(k)] = ini->ReadString(kSection, "FileList" + IntToStr(k), "");
    CustomTemplateCount = PMstartValues[0];
  } catch (...) {
    CustomTemplateCount = 1;
    ShowMessage("初始化失败！");
  }
}

void TMainForm::WriteStartSettings() {
  // Before the start reached the working folder there is nothing to keep.
  if (DataDir.empty()) return;
  PMstartValues[0] = PMstartValues[1] = CustomTemplateCount;
  try {
    TIniFile ini(DataDir + "PMstart.ini");
    ini.WriteString(kSection, "PMstart0", IntToStr(PMstartValues[0]));
    ini.WriteString(kSection, "PMstart1", IntToStr(PMstartValues[1]));
    for (int k = 0; k < 5; ++k) ini.WriteString(kSection, "FileList" + IntToStr(k), RecentFiles[size_t(k)]);
  } catch (const Exception& e) {
    // The window still closes; the user learns that the settings were lost.
    Application->ShowException(e);
  }
}
