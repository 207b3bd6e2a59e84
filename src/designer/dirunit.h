// The folder-and-format chooser of the collect-save and of the picture
// imports and exports. Created once at start-up, owned by the application,
// shown modally; callers read DirectoryListBox1's folder and
// FilterComboBox1's text after it closed with OK.
#pragma once

#include <string>

#include "platform/buttons.h"
#include "platform/filectrl.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

// The picture formats offered; callers take the entry's name as the file
// extension.
extern const char* const kPictureFormatFilter;

// Whether `name` may name a new folder inside the chosen one: not empty, no
// path separator, no control character, not "." or "..".
bool IsPlainFolderName(const std::string& name);

class TFormDir : public TForm {
 public:
  explicit TFormDir(TComponent* owner);
  ~TFormDir() override;

  TSpeedButton* SpeedButton2;  // "选目录": the desktop's folder browser
  TDriveComboBox* DriveComboBox1;
  TEdit* Edit2;  // the folder now chosen
  TDirectoryListBox* DirectoryListBox1;
  TFileListBox* FileListBox1;
  TSpeedButton* SpeedButton1;  // "新建文件夹" named by Edit1
  TEdit* Edit1;
  TLabel* Label1;  // "保存的文件类型"
  TFilterComboBox* FilterComboBox1;
  TButton* Button1;  // "确定"
  TButton* Button2;  // "取消"

  void FormPaint(TObject* Sender);
  void DirectoryListBox1Change(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void SpeedButton2Click(TObject* Sender);
};

extern TFormDir* FormDir;
