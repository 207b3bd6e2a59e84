// The seal commands: inserting a fresh seal from the seal designer and
// changing the seal's picture file, and the print copies of the seal and
// the logo that the card report prints.
#include "designer/designpicture.h"
#include "designer/main.h"
#include "imaging/view/qrpix.h"
#include "platform/dialogs.h"
#include "records/uprint.h"

namespace {

const char* const kCannotLoad = "无法装入图像文件";
const char* const kLoadError = "装入错误";

}  // namespace

// The seal designer draws the seal; the design item waits for it at the
// layout picture's top-left, white and of the designer's picture size.
void TMainForm::NInPrintClick(TObject*) {
  int width = ImageZhang->GetWidth(), height = ImageZhang->GetHeight();
  if (FormPrint) {
    FormPrint->Show();
    if (auto* picture = dynamic_cast<TImage*>(FormPrint->FindComponent("Image1"))) {
      width = picture->GetWidth();
      height = picture->GetHeight();
    }
  }
  TBitmap blank;
  blank.SetSize(width, height);
  TCanvas* canvas = blank.GetCanvas();
  canvas->CopyMode = cmWhiteness;
  canvas->CopyRect(Rect(0, 0, width, height), canvas, Rect(0, 0, width, height));
  canvas->CopyMode = cmSrcCopy;
  ImageZhang->GetPicture()->Assign(&blank);
  ImageZhang->SetBounds(Drawor->GetLeft(), Drawor->GetTop(), width, height);
  ImageZhang->Show();
  ImageZhang->SetEnabled(true);
}

void TMainForm::SBPrintPClick(TObject*) {
  if (SBPrintP->GetDown()) NInPrint->Click();
}

// The seal path changes only with a picture that loaded, so a template
// never names a seal file it could not show.
void TMainForm::NChangeZhangClick(TObject*) {
  if (!OpenPictureDialog1->Execute()) return;
  const std::string path = OpenPictureDialog1->FileName;
  TPicture loaded;
  try {
    if (LoadDesignPicture(&loaded, path)) {
      ImageZhang->GetPicture()->Assign(&loaded);
      SealPath = path;
    }
  } catch (const std::exception&) {
    Application->MessageBox(kCannotLoad, kLoadError, MB_OK | MB_ICONWARNING);
    return;
  }
  QRImageZhang->SetBoundsRect(ImageZhang->GetBoundsRect());
  ImageZhang->SetBounds(ImageZhang->GetLeft(), ImageZhang->GetTop(), ImageZhang->GetPicture()->GetWidth(),
                        ImageZhang->GetPicture()->GetHeight());
  SealToPrint();
  QRImageZhang->Show();
  QRImageZhang->SetEnabled(true);
}

void TMainForm::SpeedButton2Click(TObject*) { NChangeZhang->Click(); }

void TMainForm::SealToPrint() { PictureToBitmap(ImageZhang->GetPicture(), QRImageZhang->Picture); }

void TMainForm::LogoToPrint() {
  PictureToBitmap(SignPic->GetPicture(), LogoPrintBitmap);
  QRSignPic->SetAttachedBitmap(LogoPrintBitmap);
}

void TMainForm::WireSealAndInsert() {
  NInPrint->OnClick = [this](TObject* s) { NInPrintClick(s); };
  SBPrintP->OnClick = [this](TObject* s) { SBPrintPClick(s); };
  NChangeZhang->OnClick = [this](TObject* s) { NChangeZhangClick(s); };
  SpeedButton2->OnClick = [this](TObject* s) { SpeedButton2Click(s); };
  NInsertPic->OnClick = [this](TObject* s) { NInsertPicClick(s); };
  SBInsPic->OnClick = [this](TObject* s) { SBInsPicClick(s); };
}
