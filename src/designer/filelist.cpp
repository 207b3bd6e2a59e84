#include "designer/filelist.h"

#include "designer/main.h"
#include "designer/mainlibrary.h"
#include "designer/templatepaths.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"

TFormFileList* FormFileList = nullptr;

TFormFileList::TFormFileList(TComponent* owner) : TForm(owner) {
  Name = "FormFileList";
  SetCaption("最近保存的模板");
  Position = poMainFormCenter;
  SetBorderStyle(bsDialog);  // only a close box
  SetClientWidth(560);
  SetClientHeight(230);
  RadioGroup1 = new TRadioGroup(this);
  RadioGroup1->Name = "RadioGroup1";
  RadioGroup1->SetParent(this);
  RadioGroup1->SetCaption("文件名");
  RadioGroup1->SetBounds(8, 8, 544, 172);
  Button1 = new TButton(this);
  Button1->Name = "Button1";
  Button1->SetParent(this);
  Button1->SetCaption("打开");
  Button1->SetBounds(472, 192, 80, 28);
  OnShow = [this](TObject* s) { FormShow(s); };
  Button1->OnClick = [this](TObject* s) { Button1Click(s); };
}

TFormFileList::~TFormFileList() {
  if (FormFileList == this) FormFileList = nullptr;
}

void TFormFileList::FormShow(TObject*) {
  TStrings* items = RadioGroup1->GetItems();
  items->Clear();
  if (MainForm == nullptr) return;
  for (const std::string& path : MainForm->RecentFiles) {
    const std::string folder = path.empty() ? "" : ExtractFilePath(path);
    items->Add("文件名:" + ExtractFileName(path) + "    目录:" + folder);
  }
}

void TFormFileList::Button1Click(TObject*) {
  Hide();
  const int index = RadioGroup1->GetItemIndex();
  if (MainForm == nullptr || index < 0 || index >= int(MainForm->RecentFiles.size())) return;
  const std::string path = MainForm->RecentFiles[size_t(index)];
  SetCurrentDir(DataDir);
  if (path.empty() || !FileExists(MapTemplatePath(path, DataDir))) {
    // The path stays the window's template path, but the next Open asks.
    MainForm->TemplatePath = path;
    MainForm->OpenNoDialog = false;
    ShowMessage("文件不存在!");
    return;
  }
  OpenTemplateWithoutDialog(MainForm, path);
}
