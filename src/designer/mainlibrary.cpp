// The template library: a blank template, a library template by category
// and number, the custom templates the user saved under a number, and the
// new-template question. Every way ends in the template Open command with
// the path set and the dialog skipped; an opened library or custom
// template is untitled afterwards, so a save never writes into the library.
#include "designer/mainlibrary.h"

#include "designer/cardtemplate.h"
#include "designer/main.h"
#include "designer/templatepaths.h"
#include "designer/unew.h"
#include "designer/filelist.h"
#include "platform/dialogs.h"
#include "platform/jpegimage.h"
#include "platform/sysutils.h"

namespace {

const char* const kUntitledTemplate = "Mode\\未命名.pmt";
const char* const kUntitledPicture = "Mode\\Untitle.JPG";
const char* const kLibraryFailure = "打开模板失败，可能是找不到指定的模板";

// The layout picture as a JPEG file; nothing for an empty picture.
void SaveLayoutJpeg(TPicture* picture, const std::string& path) {
  TGraphic* graphic = picture->GetGraphic();
  if (graphic == nullptr || graphic->GetEmpty()) return;
  TBitmap bitmap;
  bitmap.Assign(graphic);
  TJPEGImage jpeg;
  jpeg.Assign(&bitmap);
  jpeg.SaveToFile(path);
}

// Deletes what the path names; true when nothing is left there.
bool RemoveFile(const std::string& path) {
  if (!FileExists(path) && !DirectoryExists(path)) return true;
  return DeleteFile(path);
}

}  // namespace

// Opens `path` through the Open command without its dialog. An open that
// fails leaves no armed flag behind for the next Open.
void OpenTemplateWithoutDialog(TMainForm* f, const std::string& path) {
  f->OpenNoDialog = true;
  f->TemplatePath = path;
  try {
    f->NOpen->Click();
  } catch (...) {
    f->OpenNoDialog = false;
    throw;
  }
}

void TMainForm::NewBlankTemplate() {
  SetCurrentDir(DataDir);
  OpenTemplateWithoutDialog(this, kUntitledTemplate);
  FileNew->Click();
}

void TMainForm::OpenLibraryTemplate(const std::string& category, int number) {
  try {
    EditClear->Click();
    SetCurrentDir(DataDir);
    OpenTemplateWithoutDialog(this, DataDir + "Mode/" + category + "/" + IntToStr(number) + ".pmt");
    TemplatePath = kUntitledTemplate;
    BGFileName = kUntitledPicture;
    // The next 显示文字 shows the texts.
    TextsShown = false;
  } catch (const std::exception&) {
    ShowMessage(kLibraryFailure);
  }
}

void TMainForm::NGongZHUO1Click(TObject* Sender) {
  if (auto* entry = dynamic_cast<TLibraryEntry*>(Sender)) OpenLibraryTemplate(entry->Category, int(entry->Tag));
}

// A failure here reaches the application's handler.
void TMainForm::CustomTemplateClick(TObject* Sender) {
  auto* entry = dynamic_cast<TMenuItem*>(Sender);
  if (entry == nullptr) return;
  EditClear->Click();
  SetCurrentDir(DataDir);
  OpenTemplateWithoutDialog(this, DataDir + kCustomTemplateFolder + IntToStr(entry->Tag) + ".pmt");
  TemplatePath = kUntitledTemplate;
  BGFileName = kUntitledPicture;
}

void TMainForm::NnewClick(TObject*) {
  if (Application->MessageBox("要保存修改结果吗？", "保存结果", MB_YESNO | MB_ICONQUESTION) == IDYES) {
    (NSave->GetEnabled() ? NSave : NSaveAs)->Click();
    return;
  }
  if (FormNew) FormNew->Show();
}

void TMainForm::NFileListClick(TObject*) {
  if (FormFileList) FormFileList->Show();
}

// The template and its layout picture are written straight into the
// custom folder (a save through the template Save command would hand a
// path under Mode to the collect-save); the menu entry follows only a
// template that reached the disk.
void TMainForm::NAddMenuClick(TObject*) {
  if (CustomTemplateCount <= 0) {
    CustomTemplateCount = 0;
    const int after = MenuFunction->IndexOf(Exitcmd) + 1;
    if (after < MenuFunction->Count() && MenuFunction->Items(after)->IsLine()) {
      MenuFunction->Items(after)->SetVisible(true);
    } else {
      auto* line = new TMenuItem(this);
      line->SetCaption(cLineCaption);
      MenuFunction->Insert(after, line);
    }
  }
  if (CustomTemplateCount >= kMaxCustomTemplates) {
    ShowMessage("你已经创建了" + IntToStr(kMaxCustomTemplates) + "项菜单!");
    return;
  }
  SetCurrentDir(DataDir);
  const std::string name = IntToStr(CustomTemplateCount + 1);
  TemplatePath = "Mode\\自定义模板\\" + name + ".pmt";
  BGFileName = TemplateBGPath = "Mode\\自定义模板\\" + name + ".JPG";
  ForceDirectories(DataDir + kCustomTemplateFolder);
  SaveLayoutJpeg(Drawor->GetPicture(), DataDir + kCustomTemplateFolder + name + ".JPG");
  SaveCardTemplate(DataDir + kCustomTemplateFolder + name + ".pmt", GatherTemplate());

  auto* entry = new TMenuItem(this);
  entry->SetCaption(name);
  entry->Tag = CustomTemplateCount + 1;
  entry->OnClick = [this](TObject* s) { CustomTemplateClick(s); };
  MenuFunction->Add(entry);
  ++CustomTemplateCount;
}

// Only the last custom template goes, its files first: a file that stays
// on the disk keeps its entry, so the numbers on the disk and in the menu
// never part.
void TMainForm::ExitcmdClick(TObject*) {
  if (MenuFunction->Count() < 4 || CustomTemplateCount <= 0) {
    ShowMessage("你已经删除了全部自定义模板!");
    CustomTemplateCount = 0;
    return;
  }
  SetCurrentDir(DataDir);
  const int n = CustomTemplateCount;
  const std::string base = DataDir + kCustomTemplateFolder + IntToStr(n);
  if (!RemoveFile(base + ".pmt") || !RemoveFile(base + ".JPG")) return;
  const int at = n + 2;
  if (at < MenuFunction->Count()) {
    TMenuItem* entry = MenuFunction->Items(at);
    MenuFunction->Delete(at);
    entry->Free();
  }
  --CustomTemplateCount;
  ShowMessage("你已经删除了模板!");
}

void TMainForm::WireTemplateLibrary() {
  Nnew->OnClick = [this](TObject* s) { NnewClick(s); };
  Bnew->OnClick = [this](TObject*) { Nnew->Click(); };
  NFileList->OnClick = [this](TObject* s) { NFileListClick(s); };
  NAddMenu->OnClick = [this](TObject* s) { NAddMenuClick(s); };
  Exitcmd->OnClick = [this](TObject* s) { ExitcmdClick(s); };
}
