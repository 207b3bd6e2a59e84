// The card batch window's live card pictures and command buttons, and its
// show: the live card takes the design surface's layout.
#include "designer/main.h"
#include "imaging/view/dbpix.h"
#include "imaging/view/pix.h"
#include "records/catchpic.h"
#include "records/dbpicsu.h"
#include "records/uscanner.h"
#include "records/utextdata.h"

namespace {

TImage* PreviewImage(TFormPicEdit* form, TWinControl* parent, const char* name, bool transparent) {
  auto* image = new TImage(form);
  image->Name = name;
  image->SetStretch(true);
  image->SetTransparent(transparent);
  image->SetParent(parent);
  return image;
}

// Place, size and visibility of a design picture.
void CopyPlace(TControl* to, TControl* from) {
  to->SetBounds(from->GetLeft(), from->GetTop(), from->GetWidth(), from->GetHeight());
  to->SetVisible(from->GetVisible());
}

// The design picture's place and a bitmap copy of its picture.
void CopyPicture(TImage* to, TImage* from) {
  CopyPlace(to, from);
  TGraphic* graphic = from->GetPicture()->GetGraphic();
  if (graphic == nullptr || graphic->GetEmpty()) {
    to->GetPicture()->SetGraphic(nullptr);
    return;
  }
  TBitmap copy;
  copy.SetSize(graphic->GetWidth(), graphic->GetHeight());
  copy.GetCanvas()->Draw(0, 0, graphic);
  to->GetPicture()->SetBitmap(&copy);
}

}  // namespace

void TFormPicEdit::CreatePreviewPictures() {
  Image2 = PreviewImage(this, Panel4, "Image2", false);
  PixDBView1 = PreviewImage(this, Panel4, "PixDBView1", false);
  PixDBView2 = PreviewImage(this, Panel4, "PixDBView2", false);
  Image1 = PreviewImage(this, Panel4, "Image1", true);
  BarcodePrint = PreviewImage(this, Panel4, "BarcodePrint", true);
  PicZhang = PreviewImage(this, Panel4, "PicZhang", true);

  Drawor = new TPix(this);
  Drawor->Name = "Drawor";
  Drawor->SetVisible(false);
  Drawor->SetParent(this);
  PixProc1 = new TPixProc(this);
  PixProc1->Name = "PixProc1";
  PixIO1 = new TPixIO(this);
  PixIO1->Name = "PixIO1";
}

void TFormPicEdit::CreateCommandButtons() {
  Panel3 = new TPanel(this);
  Panel3->Name = "Panel3";
  Panel3->SetParent(this);
  Panel3->SetBounds(0, 0, 720, 60);
  Panel3->SetAlign(alBottom);
  auto button = [this](const char* name, const char* caption, int left, void (TFormPicEdit::*handler)(TObject*)) {
    auto* b = new TSpeedButton(this);
    b->Name = name;
    b->SetCaption(caption);
    b->SetBounds(left, 4, 96, 24);
    b->SetParent(Panel3);
    b->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
    return b;
  };
  BEditPic = button("BEditPic", "修改图二", 4, &TFormPicEdit::BEditPicClick);
  SpeedButton3 = button("SpeedButton3", "摄像头拍照...", 104, &TFormPicEdit::SpeedButton3Click);
  SpeedButton4 = button("SpeedButton4", "使用扫描仪...", 204, &TFormPicEdit::SpeedButton4Click);
  BBatchSave = button("BBatchSave", "批量生成卡图", 304, &TFormPicEdit::BBatchSaveClick);
  SBPrintPic = button("SBPrintPic", "单张打印卡图", 404, &TFormPicEdit::SBPrintPicClick);
  SBBatchPrint = button("SBBatchPrint", "批量打印", 504, &TFormPicEdit::SBBatchPrintClick);
  SBBactchIn = button("SBBactchIn", "批量入库", 604, &TFormPicEdit::SBBactchInClick);
  ProgressBar1 = new TProgressBar(this);
  ProgressBar1->Name = "ProgressBar1";
  ProgressBar1->SetParent(Panel3);
  ProgressBar1->SetBounds(4, 34, 300, 18);
  EditFind->SetParent(Panel3);
  EditFind->SetBounds(310, 32, 160, 22);
  ButtonOk->SetParent(Panel3);
  ButtonOk->SetBounds(474, 32, 96, 22);
  CreateEffectButtons();
  SavePictureDialog1 = new TSaveDialog(this);
  SavePictureDialog1->Name = "SavePictureDialog1";

  DBGrid1->OnCellClick = [this](TColumn* c) { DBGrid1CellClick(c); };
  OnShow = [this](TObject* s) { FormShow(s); };
}

void TFormPicEdit::AttachFieldViews() {
  PixDBView11->GetPixIO()->SetTImage(PixDBView1);
  PixDBView22->GetPixIO()->SetTImage(PixDBView2);
  PixDBView3->GetPixIO()->SetTImage(BarcodePrint);
}

void TFormPicEdit::FormShow(TObject*) {
  AttachFieldViews();
  for (int c = 0; c < DBGrid1->Columns()->Count(); ++c) DBGrid1->Columns()->Items(c)->SetWidth(68);
  if (MainForm == nullptr) return;
  for (int i = 0; i < kTextSlots; ++i) {
    TLabel* text = PreviewTexts[size_t(i)];
    TLabel* title = PreviewTexts[size_t(kTextSlots + i)];
    if (TQRDBText* twin = MainForm->QRDBTexts[size_t(i)]; text && twin) {
      text->SetBounds(twin->GetLeft(), twin->GetTop(), twin->GetWidth(), twin->GetHeight());
      text->SetFont(twin->GetFont());
      text->SetVisible(twin->GetVisible());
      text->SetEnabled(twin->GetEnabled());
    }
    if (TQRLabel* twin = MainForm->QRTitleLabels[size_t(i)]; title && twin) {
      title->SetBounds(twin->GetLeft(), twin->GetTop(), twin->GetWidth(), twin->GetHeight());
      title->SetVisible(twin->GetVisible());
      title->SetEnabled(twin->GetEnabled());
      title->SetFont(twin->GetFont());
      title->SetCaption(twin->GetCaption());
      title->SetTransparent(true);
    }
  }
  CopyPlace(PixDBView1, MainForm->PicOne);
  CopyPlace(PixDBView2, MainForm->PicTwo);
  CopyPlace(BarcodePrint, MainForm->BarcodeSet);
  CopyPicture(PicZhang, MainForm->ImageZhang);
  CopyPicture(Image1, MainForm->SignPic);
  CopyPicture(Image2, MainForm->Drawor);
  Panel4->SetBounds(Panel4->GetLeft(), Panel4->GetTop(), MainForm->Drawor->GetWidth(), MainForm->Drawor->GetHeight());
  Drawor->SetBounds(Drawor->GetLeft(), Drawor->GetTop(), Panel4->GetWidth(), Panel4->GetHeight());
  Drawor->GetFBitmap()->SetSize(Panel4->GetWidth(), Panel4->GetHeight());
  Image2->SetBounds(0, 0, Image2->GetWidth(), Image2->GetHeight());
  // The design texts win over their report twins, as at the first paint.
  FollowDesign();
}

void TFormPicEdit::DBGrid1CellClick(TColumn*) {
  // The designer attaches the same I/O components to its own pictures.
  AttachFieldViews();
}

void TFormPicEdit::BEditPicClick(TObject*) {
  TPixDBView* view = PixDBView11;
  if (BEditPic->GetCaption() == "修改图一") {
    BEditPic->SetCaption("修改图二");
    view = PixDBView22;
  } else {
    BEditPic->SetCaption("修改图一");
  }
  PixIO1->SetAttachedPix(view);
  PixProc1->SetAttachedPix(view);
}

void TFormPicEdit::SpeedButton3Click(TObject*) {
  if (FormCatchPic) FormCatchPic->Show();
}

void TFormPicEdit::SpeedButton4Click(TObject*) {
  if (FormScanner) FormScanner->Show();
}

void TFormPicEdit::SBBactchInClick(TObject*) {
  Hide();
  if (FormTextData) FormTextData->Show();
}
