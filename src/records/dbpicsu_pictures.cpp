// The card batch window's picture files: import into the picture fields
// (folder by name or in order through the folder chooser, one file through
// its own open dialog) and the export, which the database editing window
// carries out.
#include "designer/dirunit.h"
#include "platform/dialogs.h"
#include "records/dbpicsu.h"
#include "records/pictureimport.h"
#include "records/utextdata.h"

void TFormPicEdit::CreatePictureDialog() {
  OpenPixDialog1 = new TOpenPixDialog(this);
  OpenPixDialog1->Name = "OpenPixDialog1";
  OpenPixDialog1->SetFileName("未命名");
  OpenPixDialog1->AutoSetFilter = false;
  OpenPixDialog1->Filter = kPictureOpenFilter;
  OpenPixDialog1->Options |= ofFileMustExist;
}

void TFormPicEdit::TBSetPicClick(TObject*) {
  if (FormTextData == nullptr) return;
  TPictureImportPlace place;
  place.Loader = FormTextData->Image1;
  place.SingleLoader = Drawor;
  place.Progress = ProgressBar1;
  place.ChooseFolder = [](std::string& folder) {
    if (FormDir == nullptr || FormDir->ShowModal() != mrOk) return false;
    folder = FormDir->DirectoryListBox1->GetDirectory();
    return !folder.empty();
  };
  place.ChooseFile = [this](std::string& file) {
    if (!OpenPixDialog1->Execute()) return false;
    file = OpenPixDialog1->GetFileName();
    return true;
  };
  ImportPictures(place);
}

void TFormPicEdit::TBBatchClick(TObject*) {
  if (FormTextData == nullptr) return;
  if (Application->MessageBox("点击是批量导出图片？点击否单张导出图片！ ", "选择", MB_YESNO | MB_ICONQUESTION) == IDYES)
    FormTextData->TBBOutPutPic->Click();
  else
    FormTextData->TBSavePic->Click();
}
