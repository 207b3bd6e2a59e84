// The database editing window's picture commands: import into the picture
// fields, save one picture, export the pictures of every record.
#include "designer/dirunit.h"
#include "imaging/view/pix.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"
#include "records/cardpictures.h"
#include "records/dbpicsu.h"
#include "records/pictureimport.h"
#include "records/utextdata.h"

namespace {

// Picture one or two, as the user answers.
const char* AskPictureField(const char* question) {
  return Application->MessageBox(question, "选择", MB_YESNO | MB_ICONQUESTION) == IDYES ? "PIC" : "BACKGROUND";
}

// Writes the picture `pix` holds, by the name's extension; false when it
// could not be written.
bool SavePicture(TPix* pix, const std::string& file) {
  try {
    pix->SaveToFile(file);
  } catch (const std::exception&) {
    return false;
  }
  return !pix->GetAborting();
}

}  // namespace

void TFormTextData::SpeedButton1Click(TObject*) {
  TPictureImportPlace place;
  place.Loader = place.SingleLoader = Image1;
  place.Progress = ProgressBar1;
  place.ChooseFile = [this](std::string& file) {
    if (!OpenPictureDialog1->Execute()) return false;
    file = OpenPictureDialog1->GetFileName();
    return true;
  };
  // The user picks any file of the folder.
  place.ChooseFolder = [&place](std::string& folder) {
    std::string file;
    if (!place.ChooseFile(file)) return false;
    folder = ExtractFileDir(file);
    return true;
  };
  ImportPictures(place);
}

void TFormTextData::TBSavePicClick(TObject*) {
  const char* field = AskPictureField("点击[是]保存图片一？点击[否]保存图片二！ ");
  if (!SavePixDialog1->Execute()) return;
  TTable* table = FormPicEdit->Table1;
  if (!table->GetActive() || !LoadFieldPicture(Image1, table->FieldByName(field)) ||
      !SavePicture(Image1, SavePixDialog1->GetFileName()))
    Application->MessageBox("无法保存图像文件", "保存错误", MB_OK | MB_ICONERROR);
}

void TFormTextData::TBBOutPutPicClick(TObject*) {
  if (FormDir == nullptr || FormDir->ShowModal() != mrOk) return;
  const char* field = AskPictureField("点击[是]导出图片一？点击[否]导出图片二！ ");
  const std::string folder = FormDir->DirectoryListBox1->GetDirectory();
  const std::string extension = LowerCase(FormDir->FilterComboBox1->GetText());
  if (folder.empty() || extension.empty()) return;
  TTable* table = FormPicEdit->Table1;
  if (!table->GetActive()) table->Open();
  // The picture as the window's views show it; a record without one writes
  // no file. Names are made safe and never overwrite one another; the table
  // is not changed.
  TCardPictureNames names(folder, extension);
  const auto paused = PauseTableViews(table);
  TField* picture = table->FieldByName(field);
  TField* name = table->FieldByName("AAAA");
  for (table->First(); !table->Eof(); table->Next()) {
    if (!LoadFieldPicture(Image1, picture)) continue;
    const std::string file = names.Next(name->GetAsString());
    if (!SavePicture(Image1, file)) throw Exception("无法保存图像文件 " + file);
  }
}
