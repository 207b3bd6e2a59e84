// The card batch window's card output: one card picture per record, the
// picture of the current card for the single card picture window, and the
// batch print through the designer's print preview.
#include "designer/dirunit.h"
#include "designer/main.h"
#include "imaging/view/pix.h"
#include "platform/dialogs.h"
#include "platform/filectrl.h"
#include "platform/menus.h"
#include "platform/sysutils.h"
#include "records/cardpictures.h"
#include "records/dbpicsu.h"
#include "records/upicprint.h"

namespace {

// The folder and the picture format chosen in the folder-and-format
// chooser; false when it was cancelled.
bool ChooseFolderAndFormat(std::string& folder, std::string& format) {
  if (FormDir == nullptr || FormDir->ShowModal() != mrOk) return false;
  auto* list = dynamic_cast<TDirectoryListBox*>(FormDir->FindComponent("DirectoryListBox1"));
  auto* box = dynamic_cast<TFilterComboBox*>(FormDir->FindComponent("FilterComboBox1"));
  if (list == nullptr || box == nullptr) return false;
  folder = list->GetDirectory();
  format = box->GetText();
  return !folder.empty() && !format.empty();
}

bool AskMirror(const char* question) {
  return Application->MessageBox(question, "任君选择", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace

void TFormPicEdit::RenderCard(TBitmap* bitmap) {
  bitmap->SetSize(Panel4->GetWidth(), Panel4->GetHeight());
  Panel4->PaintTo(bitmap->GetCanvas(), 0, 0);
}

void TFormPicEdit::BBatchSaveClick(TObject*) {
  std::string folder, format;
  if (!ChooseFolderAndFormat(folder, format)) return;
  if (!Table1->GetActive()) Table1->Open();
  const bool mirror = AskMirror("要生成背面镜像图吗？");
  // The cards show this window's pictures, whatever the designer took,
  // where the design has them now; going to the first record loads its
  // pictures into them.
  AttachFieldViews();
  LayOutLiveCard();
  Table1->First();
  TCardPictureNames names(folder, format);
  TBitmap* card = Drawor->GetFBitmap();
  for (; !Table1->Eof(); Table1->Next()) {
    RenderCard(card);
    if (mirror) MirrorHorizontally(card);
    // An empty AAAA names the picture "无名"; the record stays as it is.
    const std::string file = names.Next(Table1->FieldByName("AAAA")->GetAsString());
    Drawor->SaveToFile(file);
    if (Drawor->GetAborting()) throw Exception("无法保存图像文件 " + file);
  }
  Drawor->Update();
}

void TFormPicEdit::SBPrintPicClick(TObject*) {
  TBitmap card;
  AttachFieldViews();
  LayOutLiveCard();
  RenderCard(&card);
  if (AskMirror("是打印背面镜像图吗？")) MirrorHorizontally(&card);
  card.SaveToFile(SingleCardPicturePath());
  if (FormPrintPic) FormPrintPic->Show();
}

void TFormPicEdit::SBBatchPrintClick(TObject*) {
  if (MainForm == nullptr) return;
  if (auto* preview = dynamic_cast<TMenuItem*>(MainForm->FindComponent("NPreview"))) preview->Click();
}
