// The inserted picture: a picture file shown in a box over the layout
// picture, which the user moves and sizes, and which the next release on
// the layout picture stamps into it.
#include "designer/designpicture.h"
#include "designer/main.h"
#include "platform/dialogs.h"

bool InsertArmed = false;

void TMainForm::NInsertPicClick(TObject*) {
  ImageIns->SetBounds(Drawor->GetLeft(), Drawor->GetTop(), ImageIns->GetWidth(), ImageIns->GetHeight());
  if (auto* old = dynamic_cast<TBitmap*>(ImageIns->GetPicture()->GetGraphic()); old && !old->GetEmpty()) {
    old->GetCanvas()->Brush->Color = clWhite;
    old->GetCanvas()->FillRect(Rect(0, 0, old->GetWidth(), old->GetHeight()));
  }
  // Nothing waits to be stamped unless a picture was loaded: a cancelled
  // or failed choice must not paint a blank box into the layout picture.
  if (!LoadInsertPicture()) return;
  ImageIns->Show();
  ImageIns->SetEnabled(true);
  ImageIns->BringToFront();
  InsertArmed = true;
}

void TMainForm::SBInsPicClick(TObject*) {
  if (SBInsPic->GetDown()) NInsertPic->Click();
}

// True when the chosen file was loaded into the box, which takes the
// picture's size.
bool TMainForm::LoadInsertPicture() {
  if (!OpenPictureDialog1->Execute()) return false;
  TPicture loaded;
  try {
    if (!LoadDesignPicture(&loaded, OpenPictureDialog1->FileName)) return false;
  } catch (const std::exception&) {
    Application->MessageBox("无法装入图像文件", "装入错误", MB_OK | MB_ICONWARNING);
    return false;
  }
  ImageIns->GetPicture()->Assign(&loaded);
  ImageIns->SetBounds(ImageIns->GetLeft(), ImageIns->GetTop(), loaded.GetWidth(), loaded.GetHeight());
  return true;
}

// The box's pixels, as many as it is wide and high and no more than the
// picture holds, go opaquely onto the layout picture exactly under the box.
void TMainForm::StampInsertedPicture() {
  TBitmap source;
  PictureToBitmap(ImageIns->GetPicture(), &source);
  TPicture* layout = Drawor->GetPicture();
  if (!dynamic_cast<TBitmap*>(layout->GetGraphic())) {
    TBitmap converted;
    PictureToBitmap(layout, &converted);
    layout->Assign(&converted);
  }
  const int width = std::min(ImageIns->GetWidth(), source.GetWidth());
  const int height = std::min(ImageIns->GetHeight(), source.GetHeight());
  const int x = ImageIns->GetLeft() - Drawor->GetLeft(), y = ImageIns->GetTop() - Drawor->GetTop();
  if (width > 0 && height > 0 && !layout->GetBitmap()->GetEmpty()) {
    TCanvas* canvas = layout->GetBitmap()->GetCanvas();
    canvas->CopyMode = cmSrcCopy;
    canvas->CopyRect(Bounds(x, y, width, height), source.GetCanvas(), Rect(0, 0, width, height));
    layout->GetBitmap()->Changed();
  }
  Drawor->Invalidate();
  ImageIns->Hide();
  RefreshLayoutPrint();
  InsertArmed = false;
}
