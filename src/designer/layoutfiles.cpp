// The layout picture's files and clipboard: a new blank picture of a size
// in millimetres, open, save and save as, print, copy, cut, paste and
// clear; the logo picture; the pictures saved by their extension.
#include <algorithm>

#include "designer/cardpanel.h"
#include "designer/designpicture.h"
#include "designer/main.h"
#include "designer/newimage.h"
#include "imaging/view/qrpix.h"
#include "platform/clipbrd.h"
#include "platform/dialogs.h"
#include "platform/gdi.h"
#include "platform/jpegimage.h"
#include "platform/printers.h"
#include "platform/sysutils.h"

namespace {

// The largest side of a new layout picture, in pixels: a card needs far
// less, and the size box must not ask for a picture memory cannot hold.
constexpr int kMaxLayoutSide = 8000;

// Whether the last save of the layout picture wrote its file.
bool LayoutSaved = false;

void PaintWhite(TBitmap* bitmap) {
  bitmap->GetCanvas()->Brush->Color = clWhite;
  bitmap->GetCanvas()->Brush->Style = bsSolid;
  bitmap->GetCanvas()->FillRect(Rect(0, 0, bitmap->GetWidth(), bitmap->GetHeight()));
}

void SetCaptionTo(TMainForm* f, const std::string& name) {
  f->SetCaption(f->ProductName + f->VersionText + "----" + name);
}

// Asks whether to save a drawn-on picture first; false when the user
// cancels the command.
bool SaveDrawingFirst(TMainForm* f) {
  if (!f->LayoutDrawnOn()) return true;
  const int answer = Application->MessageBox("保存" + ExtractFileName(f->BGFileName) + "吗？", "保存",
                                             MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL) return false;
  if (answer == IDYES) f->FileSaveClick(f);
  return true;
}

// Saves a picture as the upper-cased extension says: bitmaps and JPEG
// pictures only. Other types are refused rather than written wrong.
bool SaveByExtension(TGraphic* picture, const std::string& path) {
  const std::string ext = UpperCase(ExtractFileExt(path));
  const bool bitmap = ext == ".BMP", jpeg = ext == ".JPG" || ext == ".JPEG";
  if (!bitmap && !jpeg) {
    Application->MessageBox("无法保存该文件", "错误的文件类型", MB_OK | MB_ICONWARNING);
    return false;
  }
  try {
    TBitmap copy;
    copy.Assign(picture);
    copy.SetPixelFormat(pf24bit);
    if (bitmap) {
      copy.SaveToFile(path);
    } else {
      TJPEGImage out;
      out.Assign(&copy);
      out.SaveToFile(path);
    }
  } catch (const std::exception&) {
    Application->MessageBox("无法保存图像文件", "保存错误", MB_OK | MB_ICONWARNING);
    return false;
  }
  return true;
}

// A picture item's graphic as a bitmap (any kind the item holds).
bool ItemBitmap(TImage* item, TBitmap* out) {
  PictureToBitmap(item->GetPicture(), out);
  return !out->GetEmpty();
}

}  // namespace

// The picture that is saved: the unscaled source, with what the user drew
// on the shown copy carried over to the source's pixels.
static void LayoutToSave(TMainForm* f, TBitmap* out) {
  TBitmap shown;
  PictureToBitmap(f->Drawor->GetPicture(), &shown);
  if (!ItemBitmap(f->ImageTemp, out)) {
    out->Assign(&shown);
    return;
  }
  out->SetPixelFormat(pf24bit);
  if (!f->LayoutDrawnOn()) return;
  shown.SetPixelFormat(pf24bit);
  TBitmap fitted;
  fitted.Assign(&f->LayoutFitted);
  fitted.SetPixelFormat(pf24bit);
  const int sw = out->GetWidth(), sh = out->GetHeight();
  const TLayoutFit fit = FitLayoutPicture(shown.GetWidth(), shown.GetHeight(), sw, sh);
  if (fit.Width <= 0 || fit.Height <= 0 || fitted.GetWidth() != shown.GetWidth() ||
      fitted.GetHeight() != shown.GetHeight())
    return;
  for (int y = 0; y < sh; ++y) {
    const int dy = fit.Top + int(int64_t(y) * fit.Height / sh);
    const uint8_t* drawn = shown.ScanLine(dy);
    const uint8_t* before = fitted.ScanLine(dy);
    uint8_t* row = out->ScanLine(y);
    if (!drawn || !before) continue;
    for (int x = 0; x < sw; ++x) {
      const int dx = fit.Left + int(int64_t(x) * fit.Width / sw);
      if (dx < 0 || dx >= shown.GetWidth()) continue;
      if (!std::equal(drawn + 3 * dx, drawn + 3 * dx + 3, before + 3 * dx))
        std::copy(drawn + 3 * dx, drawn + 3 * dx + 3, row + 3 * x);
    }
  }
}

bool TMainForm::SaveLayoutPicture(const std::string& path) {
  TBitmap picture;
  LayoutToSave(this, &picture);
  if (!SaveByExtension(&picture, path)) return false;
  // The source now holds the drawing: nothing is left unsaved.
  ImageTemp->GetPicture()->Assign(&picture);
  DiscardLayoutDrawing();
  return true;
}

bool TMainForm::SaveLogoPicture(const std::string& path) {
  TBitmap picture;
  ItemBitmap(SignPic, &picture);
  return SaveByExtension(&picture, path);
}

bool TMainForm::SaveSealPicture(const std::string& path) {
  TBitmap picture;
  ItemBitmap(ImageZhang, &picture);
  return SaveByExtension(&picture, path);
}

void TMainForm::FileNewClick(TObject*) {
  if (!SaveDrawingFirst(this)) return;
  // The old picture stays until the new one exists.
  NewLayoutPicture();
}

bool TMainForm::NewLayoutPicture() {
  HDC screen = GetDC(nullptr);
  const int sizeMm = GetDeviceCaps(screen, HORZSIZE);
  const int p = std::max(1, sizeMm > 0 ? GetDeviceCaps(screen, HORZRES) / sizeMm : 1);
  ReleaseDC(nullptr, screen);
  TBitmap* current = Drawor->GetPicture()->GetBitmap();
  Tnewimageform* dialog = newimageform;
  if (!dialog) return false;
  const int maxMm = kMaxLayoutSide / p;
  dialog->WidthJustfy->SetMax(maxMm);
  dialog->HeighJustfy->SetMax(maxMm);
  dialog->WidthJustfy->SetPosition(std::clamp(current->GetWidth() / p, 1, maxMm));
  dialog->HeighJustfy->SetPosition(std::clamp(current->GetHeight() / p, 1, maxMm));
  dialog->SetActiveControl(dialog->ImageWidth);
  if (dialog->ShowModal() != mrOk) return false;
  const int widthMm = std::clamp(dialog->WidthMm(), 1, maxMm);
  const int heightMm = std::clamp(dialog->HeightMm(), 1, maxMm);

  TBitmap blank;
  blank.SetPixelFormat(pf24bit);
  blank.SetSize(widthMm * p, heightMm * p);
  PaintWhite(&blank);
  EraseRangeMark();
  ImageTemp->GetPicture()->Assign(&blank);
  Drawor->GetPicture()->Assign(&blank);
  DiscardLayoutDrawing();
  // The panel's resize refits the new picture; at the same size it has
  // nothing to do, so the print copy is refreshed here too.
  Panel2->SetBounds(Panel2->GetLeft(), Panel2->GetTop(), blank.GetWidth() + 10, blank.GetHeight() + 10);
  RefreshLayoutPrint();
  BGFileName = "Mode\\Untitle.JPG";
  SetCaptionTo(this, BGFileName);
  return true;
}

void TMainForm::FileOpenClick(TObject*) {
  if (!SaveDrawingFirst(this)) return;
  if (!OpenPictureDialog1->Execute()) return;  // the picture stays
  const std::string path = OpenPictureDialog1->FileName;
  EraseRangeMark();
  if (!LoadLayoutPicture(path)) return;
  BGFileName = path;
  SetCaptionTo(this, ExtractFileName(BGFileName));
  // The panel's resize fits the new picture into it.
  Panel2->SetWidth(Panel2->GetWidth() + 1);
  Panel2->SetWidth(Panel2->GetWidth() - 1);
}

void TMainForm::FileSaveClick(TObject*) {
  EraseRangeMark();
  const std::string untitled = AppDir + "data\\mode\\untitle.jpg";
  const bool ownName = SameText(BGFileName, TemplateBGPath) && !SameText(ExtractFileName(BGFileName), "untitle.jpg") &&
                       !SameText(BGFileName, untitled);
  if (!ownName) {
    LayoutSaved = false;
    FileSaveAsClick(this);
    return;
  }
  LayoutSaved = SaveLayoutPicture(BGFileName);
  if (LayoutSaved)
    SetCaptionTo(this, ExtractFileName(BGFileName));
  else
    ShowMessage("保存底图出错！");
}

void TMainForm::FileSaveAsClick(TObject*) {
  EraseRangeMark();
  const std::string oldName = BGFileName, oldTemplateName = TemplateBGPath;
  if (CollectMode) {
    BGFileName = CollectPicturePath;
  } else {
    if (!SaveDialog1->Execute()) return;
    BGFileName = SaveDialog1->FileName;
  }
  TemplateBGPath = BGFileName;
  // The collect-save's file is written as it stands, whatever its name.
  bool saved = CollectMode && SaveLayoutPicture(BGFileName);
  if (!CollectMode) {
    FileSaveClick(this);
    saved = LayoutSaved;
  }
  // A picture that was not written is not named: the template goes on
  // naming the one it has.
  if (!saved) {
    BGFileName = oldName;
    TemplateBGPath = oldTemplateName;
  }
  SetCurrentDir(AppDir + "data/");
}

// The shown picture at its size on the screen: scaled by the printer's
// resolution over the screen's.
void TMainForm::FilePrintClick(TObject*) {
  EraseRangeMark();
  TBitmap picture;
  PictureToBitmap(Drawor->GetPicture(), &picture);
  if (picture.GetEmpty()) return;
  TPrinter* printer = Printer();
  printer->BeginDoc();
  const int screenDpi = std::max(1, ScreenPixelsPerInch());
  const int printerDpi = std::max(1, printer->Resolution());
  printer->Canvas()->StretchDraw(Rect(0, 0, int(int64_t(picture.GetWidth()) * printerDpi / screenDpi),
                                      int(int64_t(picture.GetHeight()) * printerDpi / screenDpi)),
                                 &picture);
  printer->EndDoc();
}

// Copy and Cut wait for a range: with none marked they do nothing.
void TMainForm::EditCopyClick(TObject*) {
  if (!RangeShown || RangeBitmap->GetEmpty()) return;
  Clipboard()->Assign(RangeBitmap);
}

void TMainForm::EditCutClick(TObject*) {
  if (!RangeShown || RangeBitmap->GetEmpty()) return;
  Clipboard()->Assign(RangeBitmap);
  EraseRangeMark();
  TCanvas* c = Drawor->GetCanvas();
  c->Brush->Color = clWhite;
  c->Brush->Style = bsSolid;
  c->FillRect(RangeRect);
  Drawor->GetPicture()->GetBitmap()->Changed();
  Drawor->Invalidate();
}

void TMainForm::EditPasteClick(TObject*) {
  if (!Clipboard()->HasFormat(CF_BITMAP)) return;
  TBitmap pasted;
  pasted.Assign(Clipboard());
  if (pasted.GetEmpty()) return;
  // The mark comes off first, so it never lands inside the pasted pixels.
  EraseRangeMark();
  TCanvas* c = Drawor->GetCanvas();
  c->CopyMode = cmSrcCopy;
  c->Draw(RangeRect.Left, RangeRect.Top, &pasted);
  Drawor->GetPicture()->GetBitmap()->Changed();
  Drawor->Invalidate();
}

void TMainForm::EditClearClick(TObject*) {
  TBitmap* picture = Drawor->GetPicture()->GetBitmap();
  PaintWhite(picture);
  picture->Changed();
  RangeShown = false;
  Drawor->Invalidate();
}

void TMainForm::NChangeABClick(TObject*) {
  if (!OpenPictureDialog1->Execute()) return;
  TPicture loaded;
  try {
    if (!LoadDesignPicture(&loaded, OpenPictureDialog1->FileName)) return;
  } catch (const std::exception&) {
    Application->MessageBox("无法装入图像文件", "装入错误", MB_OK | MB_ICONWARNING);
    return;
  }
  LogoPath = OpenPictureDialog1->FileName;
  SignPic->GetPicture()->Assign(&loaded);
  QRSignPic->SetBoundsRect(SignPic->GetBoundsRect());
  SignPic->SetBounds(SignPic->GetLeft(), SignPic->GetTop(), loaded.GetWidth(), loaded.GetHeight());
  LogoToPrint();
  QRSignPic->Show();
  QRSignPic->SetEnabled(true);
  LayoutHintDone = true;
}

void TMainForm::WireLayoutFiles() {
  auto run = [this](TMenuItem* item, void (TMainForm::*handler)(TObject*)) {
    item->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
  };
  run(FileNew, &TMainForm::FileNewClick);
  run(FileOpen, &TMainForm::FileOpenClick);
  run(FileSave, &TMainForm::FileSaveClick);
  run(FileSaveAs, &TMainForm::FileSaveAsClick);
  run(FilePrint, &TMainForm::FilePrintClick);
  run(EditCopy, &TMainForm::EditCopyClick);
  run(EditCut, &TMainForm::EditCutClick);
  run(EditPaste, &TMainForm::EditPasteClick);
  run(EditClear, &TMainForm::EditClearClick);
  run(NChangeAB, &TMainForm::NChangeABClick);
  BChangeBG->OnClick = [this](TObject*) { FileOpen->Click(); };
  BChangeAB->OnClick = [this](TObject*) { NChangeAB->Click(); };
}
