// The layout window's OK: every box is checked first, then the values go
// into the designer's items, their print twins and the card report.
#include <cmath>

#include "designer/main.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/gdi.h"
#include "platform/sysutils.h"
#include "records/dbpicsu.h"
#include "records/wh.h"

namespace {

// Sizes beyond this are typing mistakes (and would overflow pixels).
constexpr double kLargestMm = 10000;
constexpr double kMostColumns = 999;

int Whole(TEdit* edit) { return StrToInt(Trim(edit->GetText())); }

double Typed(TEdit* edit) { return StrToFloat(Trim(edit->GetText())); }

// Refuses with a message and puts the cursor into the box.
bool Refuse(TEdit* edit, const std::string& message) {
  ShowMessage(message);
  if (edit->CanFocus()) edit->SetFocus();
  return false;
}

}  // namespace

double PixelsPerMm(int pixels, int millimetres, int logicalDpi) {
  const int quotient = millimetres > 0 ? pixels / millimetres : 0;
  if (quotient > 0) return quotient;
  return (logicalDpi > 0 ? logicalDpi : 96) / 25.4;
}

double ScreenPixelsPerMm() {
  HDC screen = GetDC(nullptr);
  const double ppmm =
      PixelsPerMm(GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, HORZSIZE), GetDeviceCaps(screen, LOGPIXELSX));
  ReleaseDC(nullptr, screen);
  return ppmm;
}

std::string PixelsAsMm(int pixels, double ppmm) { return Format("%.2f", pixels / ppmm); }

int MmAsPixels(double mm, double ppmm) { return int(std::lround(mm * ppmm)); }

int TFormWH::SizePixels(TEdit* edit, double typed) const {
  for (const TSizeShown& size : shown_)
    if (size.Edit == edit && Trim(edit->GetText()) == size.Text) return size.Pixels;
  return MmAsPixels(typed, ppmm_);
}

bool TFormWH::CheckInput() {
  int whole = 0;
  for (TEdit* edit : {Edit1, Edit10, Edit11, Edit12, EditInsL, EditInsT, EditBarcodeL, EditBarcodeT, EditZhangL,
                      EditZhangT})
    if (!TryStrToInt(Trim(edit->GetText()), whole)) return Refuse(edit, "请输入数字！");
  double value = 0;
  for (const TSizeShown& size : shown_) {
    if (!TryStrToFloat(Trim(size.Edit->GetText()), value)) return Refuse(size.Edit, "请输入数字！");
    if (!(value >= 0 && value <= kLargestMm)) return Refuse(size.Edit, "尺寸应在0到10000毫米之间！");
  }
  if (!TryStrToFloat(Trim(Edit7->GetText()), value)) return Refuse(Edit7, "请输入数字！");
  if (!(value >= 1 && value <= kMostColumns)) return Refuse(Edit7, "列/页应在1到999之间！");
  return true;
}

void TFormWH::Button1Click(TObject*) {
  TMainForm* m = MainForm;
  if (!m || !CheckInput()) return;
  // Typed sizes at the screen's factor now; untouched ones keep the pixels
  // they showed.
  ppmm_ = ScreenPixelsPerMm();
  m->PicTwo->SetLeft(Whole(Edit1));
  m->PicTwo->SetTop(Whole(Edit10));
  m->PicOne->SetLeft(Whole(Edit11));
  m->PicOne->SetTop(Whole(Edit12));

  TQRFrame& frame = m->DetailBand1->Frame;
  frame.DrawBottom = frame.DrawTop = frame.DrawRight = frame.DrawLeft = CheckPageE->GetChecked();

  m->QRDBPicTwo->SetBounds(m->QRDBPicTwo->GetLeft(), m->QRDBPicTwo->GetTop(), SizePixels(Edit3, Typed(Edit3)),
                           SizePixels(Edit4, Typed(Edit4)));
  m->QRDBPicOne->SetBounds(m->QRDBPicOne->GetLeft(), m->QRDBPicOne->GetTop(), SizePixels(Edit5, Typed(Edit5)),
                           SizePixels(Edit6, Typed(Edit6)));
  m->QuickRep1->Page.Columns = int(std::trunc(Typed(Edit7)));

  // The base picture and its print twin; a card is the base picture and
  // the spacing below it.
  const int baseWidth = SizePixels(Edit8, Typed(Edit8)), baseHeight = SizePixels(Edit9, Typed(Edit9));
  m->Drawor->SetBounds(m->Drawor->GetLeft(), m->Drawor->GetTop(), baseWidth, baseHeight);
  m->QRDrawor->SetBounds(m->QRDrawor->GetLeft(), m->QRDrawor->GetTop(), baseWidth, baseHeight);
  m->DetailBand1->SetHeight(SizePixels(Edit2, Typed(Edit2)) + baseHeight);

  m->PicTwo->SetBounds(m->PicTwo->GetLeft(), m->PicTwo->GetTop(), m->QRDBPicTwo->GetWidth(),
                       m->QRDBPicTwo->GetHeight());
  m->PicOne->SetBounds(m->PicOne->GetLeft(), m->PicOne->GetTop(), m->QRDBPicOne->GetWidth(),
                       m->QRDBPicOne->GetHeight());
  const std::tuple<TImage*, TEdit*, TEdit*, TEdit*, TEdit*> placed[] = {
      {m->SignPic, EditInsL, EditInsT, EditInsW, EditInsH},
      {m->BarcodeSet, EditBarcodeL, EditBarcodeT, EditBarcodeW, EditBarcodeH},
      {m->ImageZhang, EditZhangL, EditZhangT, EditZhangW, EditZhangH}};
  for (const auto& [image, left, top, width, height] : placed)
    image->SetBounds(Whole(left), Whole(top), SizePixels(width, Typed(width)),
                     SizePixels(height, Typed(height)));

  // Natural sizes: the design picture unstretched; the logo's twin takes its
  // size, pictures one and two show their picture's own size and their
  // twins print unfitted at the typed size.
  m->SignPic->SetStretch(!CheckBox3->GetChecked());
  if (CheckBox3->GetChecked()) m->QRSignPic->SetBounds(m->QRSignPic->GetLeft(), m->QRSignPic->GetTop(),
                                                      m->SignPic->GetWidth(), m->SignPic->GetHeight());
  m->BarcodeSet->SetStretch(!CheckBarCode->GetChecked());
  const std::tuple<TCheckBox*, TImage*, TQRDBPix*> photos[] = {{CheckBox1, m->PicTwo, m->QRDBPicTwo},
                                                                {CheckBox2, m->PicOne, m->QRDBPicOne}};
  for (const auto& [natural, design, twin] : photos) {
    const bool own = natural->GetChecked();
    design->SetStretch(!own);
    twin->Fit = !own;
    TGraphic* shown = design->GetPicture()->GetGraphic();
    if (own && shown && !shown->GetEmpty())
      design->SetBounds(design->GetLeft(), design->GetTop(), shown->GetWidth(), shown->GetHeight());
  }
  m->ImageZhang->SetStretch(!CheckZhang->GetChecked());

  m->PicTwo->SetTransparent(Pic2Transparent->GetChecked());
  m->PicOne->SetTransparent(Pic1Transparent->GetChecked());
  m->SignPic->SetTransparent(Image2Transparent->GetChecked());
  TBitmap* logo = m->QRSignPic->GetAttachedBitmap();
  if (Image2Transparent->GetChecked() && logo && logo->GetWidth() > 2 && logo->GetHeight() > 2) {
    logo->Transparent = true;
    logo->TransparentColor = logo->GetCanvas()->GetPixel(2, 2);
  }
  m->BarcodeSet->SetTransparent(BarcodeTransparent->GetChecked());
  m->ImageZhang->SetTransparent(ZhangTransparent->GetChecked());

  if (m->Drawor->GetWidth() != BaseWidthShown || m->Drawor->GetHeight() != BaseHeightShown) {
    BaseWidthShown = m->Drawor->GetWidth();
    BaseHeightShown = m->Drawor->GetHeight();
    const int answer = Dialogs().MessageBox("保存" + ExtractFileName(NativePath(m->BGFileName)) + "吗？", "保存",
                                            MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES) m->Drawor->GetPicture()->SaveToFile(NativePath(m->BGFileName));
    if (answer == IDYES || answer == IDNO) NewBlankBasePicture();
  }
  // The card panel lays the layout picture out inside its 5-pixel band.
  m->Panel2->SetBounds(m->Panel2->GetLeft(), m->Panel2->GetTop(), m->Drawor->GetWidth() + 10,
                       m->Drawor->GetHeight() + 10);
  FollowInBatchWindow();
  Hide();
  m->Invalidate();
}

void TFormWH::FollowInBatchWindow() {
  if (!FormPicEdit) return;
  TMainForm* m = MainForm;
  const std::pair<const char*, TImage*> live[] = {{"Image1", m->SignPic},
                                                  {"BarcodePrint", m->BarcodeSet},
                                                  {"PixDBView1", m->PicOne},
                                                  {"PixDBView2", m->PicTwo},
                                                  {"PicZhang", m->ImageZhang}};
  for (const auto& [name, design] : live)
    if (auto* shown = dynamic_cast<TImage*>(FormPicEdit->FindComponent(name))) {
      shown->SetTransparent(design->GetTransparent());
      shown->SetStretch(design->GetStretch());
    }
}

void NewBlankBasePicture() {
  TMainForm* m = MainForm;
  TBitmap blank;
  blank.SetPixelFormat(pf24bit);
  blank.SetSize(m->QRDrawor->GetWidth(), m->QRDrawor->GetHeight());
  blank.GetCanvas()->Brush->Color = clWhite;
  blank.GetCanvas()->FillRect({0, 0, blank.GetWidth(), blank.GetHeight()});
  // The unscaled picture first: the panel's new size fits it into Drawor.
  if (m->ImageTemp) m->ImageTemp->GetPicture()->Assign(&blank);
  m->Drawor->GetPicture()->Assign(&blank);
  m->DiscardLayoutDrawing();
  m->Panel2->SetBounds(m->Panel2->GetLeft(), m->Panel2->GetTop(), blank.GetWidth() + 10, blank.GetHeight() + 10);
  m->DiscardLayoutDrawing();
  m->RefreshLayoutPrint();
  m->BGFileName = "Mode\\Untitle.JPG";
  m->SetCaption(m->ProductName + m->VersionText + "----" + m->BGFileName);
}
