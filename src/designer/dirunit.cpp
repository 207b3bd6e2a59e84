#include "designer/dirunit.h"

#include "designer/main.h"
#include "platform/commdlg.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"

TFormDir* FormDir = nullptr;

const char* const kPictureFormatFilter =
    "JPG|*.jpg|TIF|*.tif|PCX|*.pcx|PNG|*.png|BMP|*.bmp|BMP|*.bmp|TGA|*.tga|PXM|*.pxm|PPM|*.ppm|PGM|*.pgm|"
    "PBM|*.pbm|JP2|*.jp2|J2K|*.j2k";

namespace {

template <class T>
T* Make(TFormDir* form, const char* name, int left, int top, int width, int height) {
  T* control = new T(form);
  control->Name = name;
  control->SetParent(form);
  control->SetBounds(left, top, width, height);
  return control;
}

// The folder list moves the process's current folder; the program works
// in its data folder.
void BackToDataFolder() {
  if (!DataDir.empty()) SetCurrentDir(DataDir);
}

}  // namespace

bool IsPlainFolderName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return false;
  return true;
}

TFormDir::TFormDir(TComponent* owner) : TForm(owner) {
  Name = "FormDir";
  SetCaption("选择要保存的目录");
  Position = poScreenCenter;
  SetClientWidth(420);
  SetClientHeight(330);
  SpeedButton2 = Make<TSpeedButton>(this, "SpeedButton2", 8, 8, 80, 24);
  SpeedButton2->SetCaption("选目录");
  DriveComboBox1 = Make<TDriveComboBox>(this, "DriveComboBox1", 96, 8, 60, 24);
  Edit2 = Make<TEdit>(this, "Edit2", 164, 8, 248, 24);
  Edit2->ReadOnly = true;
  DirectoryListBox1 = Make<TDirectoryListBox>(this, "DirectoryListBox1", 8, 40, 200, 200);
  FileListBox1 = Make<TFileListBox>(this, "FileListBox1", 212, 40, 200, 200);
  FileListBox1->SetEnabled(false);  // shows what the folder holds, nothing to choose
  DirectoryListBox1->FileList = FileListBox1;
  DriveComboBox1->DirList = DirectoryListBox1;
  SpeedButton1 = Make<TSpeedButton>(this, "SpeedButton1", 8, 248, 90, 24);
  SpeedButton1->SetCaption("新建文件夹");
  Edit1 = Make<TEdit>(this, "Edit1", 104, 248, 104, 24);
  Label1 = Make<TLabel>(this, "Label1", 212, 252, 96, 20);
  Label1->SetCaption("保存的文件类型");
  FilterComboBox1 = Make<TFilterComboBox>(this, "FilterComboBox1", 312, 248, 100, 24);
  Button1 = Make<TButton>(this, "Button1", 248, 296, 75, 25);
  Button1->SetCaption("确定");
  Button1->ModalResult = mrOk;
  Button2 = Make<TButton>(this, "Button2", 336, 296, 75, 25);
  Button2->SetCaption("取消");
  Button2->ModalResult = mrCancel;
  Edit2->SetText(DirectoryListBox1->GetDirectory());
  OnPaint = [this](TObject* s) { FormPaint(s); };
  DirectoryListBox1->OnChange = [this](TObject* s) { DirectoryListBox1Change(s); };
  SpeedButton1->OnClick = [this](TObject* s) { SpeedButton1Click(s); };
  SpeedButton2->OnClick = [this](TObject* s) { SpeedButton2Click(s); };
}

TFormDir::~TFormDir() {
  if (FormDir == this) FormDir = nullptr;
}

void TFormDir::FormPaint(TObject*) {
  // The combo keeps the user's choice while the filter stays the same.
  FilterComboBox1->SetFilter(kPictureFormatFilter);
}

void TFormDir::DirectoryListBox1Change(TObject*) {
  Edit2->SetText(DirectoryListBox1->GetDirectory());
  BackToDataFolder();
}

void TFormDir::SpeedButton2Click(TObject*) {
  std::string chosen;
  if (SelectDirectory("Select Directory", "", chosen)) {
    Edit2->SetText(chosen);
    DirectoryListBox1->SetDirectory(chosen);
  }
  BackToDataFolder();
}

void TFormDir::SpeedButton1Click(TObject*) {
  const std::string name = Edit1->GetText();
  if (!name.empty()) {
    if (!IsPlainFolderName(name)) {
      // A name that climbs out or reaches into other folders would create
      // the folder somewhere else than in the chosen one.
      ShowMessage("文件夹名“" + name + "”不能用：名字里不能有“/”、“\\”或控制字符，也不能是“.”或“..”。");
      return;
    }
    const std::string path = IncludeTrailingPathDelimiter(DirectoryListBox1->GetDirectory()) + name;
    if (!DirectoryExists(path)) {
      if (!CreateDir(path)) throw Exception("新建文件夹:" + path + ",失败！ ");
      DirectoryListBox1->ReadFolder();
    }
  }
  Edit1->SetText("");
  BackToDataFolder();
}
