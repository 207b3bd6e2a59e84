// The help command: the help pages of the working folder, shown by the
// desktop's browser.
#include "designer/main.h"
#include "platform/dialogs.h"
#include "platform/shellapi.h"

void TMainForm::BHelpClick(TObject*) {
  ShowMessage("最新的帮助请到Cardwright的主页下载。");
  const std::string help = DataDir + kHelpFile;
  if (ShellExecute(GetHandle(), "", help, "", "", SW_SHOWNORMAL) <= 32)
    ShowMessage(std::string("无法打开帮助文件") + help + "！");
}

void TMainForm::Nhelp1Click(TObject*) { BHelp->Click(); }
