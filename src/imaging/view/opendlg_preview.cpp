// The open dialog's preview panel: its controls, where they go when the
// form shows, the preview of each selected file with its information,
// zoom, the full-size preview and the clearing at close.
#include <algorithm>
#include <exception>
#include <memory>

#include "imaging/core/iefiles.h"
#include "imaging/io/ieformats.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/pixio.h"
#include "imaging/io/tiffilt.h"
#include "imaging/view/opendlg.h"
#include "imaging/view/opendlg_form.h"
#include "imaging/view/pixview.h"
#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/messages.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

namespace {

template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name, int x, int y, int w, int h) {
  auto* c = new T(owner);
  c->Name = name;
  if (parent) c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

TLabel* MakeInfo(TComponent* owner, TWinControl* parent, const char* name, int x, int y) {
  auto* l = Make<TLabel>(owner, parent, name, x, y, 157, 18);
  l->SetAutoSize(true);
  l->SetCaption("");
  return l;
}

const int kZoomPercents[] = {0, 25, 50, 75, 100, 125, 150, 175, 200, 300, 400};

// The frames of a file that counts as several pictures: a GIF animation
// (while GIF can be read) or a ".tif" of two or more pages; 1 otherwise.
int32_t FrameCount(const std::string& path) {
  const std::string ext = LowerCase(ExtractFileExt(path));
  if (ext == ".gif") {
    PIEFileFormatInfo gif = IEFileFormatGetInfo(ieftGIF);
    if (!gif || !gif->ReadFunction) return 1;
    return std::max<int32_t>(EnumGifIm(path), 1);
  }
  if (ext == ".tif") {
    TFileStream stream(path, fmOpenRead);
    return std::max<int32_t>(EnumTIFFImStream(&stream), 1);
  }
  return 1;
}

}  // namespace

TOpenPixDialog::TOpenPixDialog(TComponent* owner) : TIECommonDialog(owner), files_(std::make_unique<TStringList>()) {
  IEUpdateGIFStatus();
  Filter = BuildStrFilter();

  InfoPanel = Make<TPanel>(this, nullptr, "InfoPanel", 204, 5, 169, 200);
  InfoPanel->SetCaption("");
  InfoPanel->BevelOuter = bvNone;
  InfoPanel->BorderWidth = 6;
  InfoLabel1 = MakeInfo(this, InfoPanel, "InfoLabel1", 6, 6);
  InfoLabel2 = MakeInfo(this, InfoPanel, "InfoLabel2", 6, 29);
  AdvancedButton = Make<TButton>(this, InfoPanel, "AdvancedButton", 520, 4, 100, 25);
  AdvancedButton->SetVisible(false);
  PreviewCheck = Make<TCheckBox>(this, InfoPanel, "PreviewCheck", 400, 6, 110, 22);
  PreviewCheck->SetChecked(true);
  PreviewCheck->SetVisible(false);
  PreviewCheck->OnClick = [this](TObject*) { DoCheckPreview(); };

  PicturePanel = Make<TPanel>(this, nullptr, "PicturePanel", 204, 5, 169, 200);
  PicturePanel->SetCaption("");
  PicturePanel->BevelOuter = bvNone;
  PicturePanel->BorderWidth = 6;
  PicLabel1 = MakeInfo(this, PicturePanel, "PicLabel1", 6, 226);
  PicLabel2 = MakeInfo(this, PicturePanel, "PicLabel2", 6, 248);
  PicLabel3 = MakeInfo(this, PicturePanel, "PicLabel3", 6, 270);
  ZoomCombo = Make<TComboBox>(this, PicturePanel, "ZoomCombo", 6, 5, 64, 22);
  ZoomCombo->SetStyle(csDropDownList);
  ZoomCombo->DropDownCount = 11;
  ZoomCombo->Hint = "Zoom";
  ZoomCombo->ShowHint = true;
  ZoomCombo->OnChange = [this](TObject*) { SetZoom(); };
  PreviewButton = Make<TSpeedButton>(this, PicturePanel, "PreviewButton", 74, 4, 24, 24);
  PreviewButton->Flat = true;
  PreviewButton->SetCaption("⛶");
  PreviewButton->SetEnabled(false);
  PreviewButton->ShowHint = true;
  PreviewButton->OnClick = [this](TObject*) { PreviewClick(); };
  PlayButton = Make<TSpeedButton>(this, PicturePanel, "PlayButton", 100, 4, 24, 24);
  PlayButton->Flat = true;
  PlayButton->SetCaption("▶");
  PlayButton->GroupIndex = 1;
  PlayButton->SetAllowAllUp(true);
  PlayButton->SetEnabled(false);
  PlayButton->ShowHint = true;
  PixView = Make<TPixView>(this, PicturePanel, "PixView", 6, 34, 228, 186);
  PixView->SetMouseInteract(miScroll);
  PixView->SetBackGround(clWhite);
  PixView->SetBackgroundStyle(iebsSolid);
  PixView->SetBorderStyle(bsSingle);
  PixView->SetCenter(true);
  PixView->SetZoomFilter(rfFastLinear);
  PixView->OnDblClick = [this](TObject*) { PreviewClick(); };
  ProgressBar = Make<TProgressBar>(this, PixView, "ProgressBar", 0, 80, 127, 19);
  ProgressBar->SetVisible(false);
  PreviewLoader = new TPixIO(this);
  PreviewLoader->Name = "PreviewLoader";
  PreviewLoader->SetAttachedPix(PixView);
  // Progress keeps the form answering while a large file loads; a new
  // selection meanwhile stops the load (DoSelectionChange).
  PreviewLoader->OnProgress = [this](TObject*, int percent) {
    ProgressBar->SetPosition(percent);
    if (Application) Application->ProcessMessages();
    if (reselect_) PreviewLoader->Aborting = true;
  };
}

void TOpenPixDialog::SetPreviewBorderStyle(TIEDBorderStyle style) {
  PreviewBorderStyle = style;
  switch (style) {
    case iepsCropped:
      PixView->SetBackgroundStyle(iebsCropped);
      PixView->SetBorderStyle(bsNone);
      break;
    case iepsCropShadow:
      PixView->SetBackgroundStyle(iebsCropShadow);
      PixView->SetBorderStyle(bsNone);
      break;
    default:
      PixView->SetBackgroundStyle(iebsSolid);
      PixView->SetBorderStyle(bsSingle);
      break;
  }
}

TResampleFilter TOpenPixDialog::GetZoomFilter() const { return PixView->GetZoomFilter(); }

void TOpenPixDialog::SetZoomFilter(TResampleFilter filter) { PixView->SetZoomFilter(filter); }

void TOpenPixDialog::PlacePanels() {
  TRect r{0, 0, form_->GetClientWidth(), form_->GetClientHeight()};
  const TRect s = form_->StaticRect();
  if (previewEnabled_) {
    PicturePanel->SetParent(form_);
    PicturePanel->SetBounds(s.Right, s.Top, r.Right - s.Right, s.Bottom - s.Top);
    PicturePanel->SetVisible(true);
    PixView->SetBounds(6, 34, std::max(r.Right - s.Right - 14, 1), 186);
    ZoomCombo->GetItems()->Clear();
    for (int percent : kZoomPercents) ZoomCombo->GetItems()->Add(percent ? IntToStr(percent) + "%" : "Fit");
    ZoomCombo->SetItemIndex(0);
    PixView->SetBackGround(clWhite);
    PixView->SetCenter(true);
    PlayButton->SetDown(false);
    PlayButton->SetEnabled(false);
    PreviewButton->Hint = iemsg(IEMSG_PREVIEW, MsgLanguage);
    PlayButton->Hint = iemsg(IEMSG_ANIMATE, MsgLanguage);
  } else {
    PicturePanel->SetVisible(false);
  }
  if (ExtendedDialog) {
    InfoPanel->SetParent(form_);
    InfoPanel->SetBounds(s.Left, s.Bottom, r.Right - s.Left, r.Bottom - s.Bottom);
    InfoPanel->SetVisible(true);
  } else {
    InfoPanel->SetVisible(false);
    for (TControl* c : std::initializer_list<TControl*>{PicLabel1, PicLabel2, PicLabel3, ZoomCombo}) c->SetVisible(false);
  }
}

void TOpenPixDialog::ClearPreview() {
  PixView->Blank();
  ShowIOParams(nullptr);
  PreviewButton->SetEnabled(false);
  PlayButton->SetEnabled(false);
  for (TWinControl* panel : {static_cast<TWinControl*>(InfoPanel), static_cast<TWinControl*>(PicturePanel)}) {
    panel->SetVisible(false);
    panel->SetParent(nullptr);
  }
  for (TControl* c : std::initializer_list<TControl*>{PicLabel1, PicLabel2, PicLabel3, ZoomCombo}) c->SetVisible(true);
}

std::string TOpenPixDialog::SizeText(int64_t bytes) {
  return bytes > 1023 ? IntToStr(bytes / 1024) + " Kb" : IntToStr(bytes) + " bytes";
}

int64_t TOpenPixDialog::MemoryNeed(int64_t frames, int64_t width, int64_t height, int samples, int bits) {
  const int64_t pixelBits = samples == 1 && bits == 1 ? 1 : 24;
  const int64_t row = (width * pixelBits + 31) / 32 * 4;
  return frames * height * row;
}

void TOpenPixDialog::ShowIOParams(TIOParamsVals* p) {
  if (!p) {
    for (TLabel* l : {InfoLabel1, InfoLabel2, PicLabel1, PicLabel2, PicLabel3}) l->SetCaption("");
    return;
  }
  const bool jpeg = p->FileType == ieftJPEG;
  const int64_t w = jpeg ? p->JPEG_OriginalWidth : p->Width;
  const int64_t h = jpeg ? p->JPEG_OriginalHeight : p->Height;
  std::string size = IntToStr(w) + " x " + IntToStr(h) + " pixel";
  if (frameCount_ > 1) size += " , " + IntToStr(frameCount_) + " frames";
  PicLabel1->SetCaption(size);
  PicLabel3->SetCaption(IntToStr(p->DPIX) + " x " + IntToStr(p->DPIY) + " dpi");
  const int samples = p->SamplesPerPixel, bits = p->BitsPerSample;
  std::string colours;
  if (samples == 4 && bits == 8)
    colours = "16777216";
  else if (samples == 3 && bits == 16)
    colours = "2^48";
  else
    colours = IntToStr(int64_t(1) << ((samples * bits) % 32));
  PicLabel2->SetCaption(colours + " " + iemsg(IEMSG_COLORS, MsgLanguage) + " (" + IntToStr(samples * bits) + " bit)");
  InfoLabel2->SetCaption("File: " + SizeText(fileSize_) + "   Mem: " +
                         SizeText(MemoryNeed(std::max(frameCount_, 1), w, h, samples, bits)));
  InfoLabel1->SetCaption(p->GetFileTypeStr());
}

void TOpenPixDialog::SetZoom() {
  const int index = ZoomCombo->GetItemIndex();
  if (index < 0 || index >= int(std::size(kZoomPercents))) return;
  if (kZoomPercents[index] == 0)
    PixView->Fit();
  else
    PixView->SetZoom(kZoomPercents[index]);
}

void TOpenPixDialog::DoSelectionChange() {
  if (busy_) {
    // A newer choice while a preview loads: the load stops and this
    // selection is previewed next.
    reselect_ = true;
    return;
  }
  if (!previewEnabled_) {
    if (OnSelectionChange) OnSelectionChange(this);
    return;
  }
  busy_ = true;
  struct TBusy {
    bool& flag;
    ~TBusy() { flag = false; }
  } guard{busy_};
  do {
    reselect_ = false;
    PreviewFile(GetFileName());
  } while (reselect_);
  if (OnSelectionChange) OnSelectionChange(this);
}

void TOpenPixDialog::PreviewFile(const std::string& path) {
  bool valid = !path.empty() && FileExists(path) && !DirectoryExists(path);
  if (valid) {
    TCursor kept = Screen ? Screen->GetCursor() : crDefault;
    try {
      fileSize_ = _getfilesize(path);
      if (!PreviewCheck->GetChecked()) {
        PreviewLoader->ParamsFromFile(path);
        frameCount_ = 1;
        ShowIOParams(PreviewLoader->IOParams->FileType != 0 ? PreviewLoader->IOParams : nullptr);
      } else {
        if (Screen) Screen->SetCursor(crHourGlass);
        PixView->SetBackGround(clWhite);
        PixView->Blank();
        PlayButton->SetDown(false);
        // A file of several frames shows its first; the others are not
        // decoded here, so a long animation does not hold the form.
        const int32_t frames = FrameCount(path);
        PlayButton->SetEnabled(false);
        ZoomCombo->SetEnabled(true);
        PixView->SetVisible(true);
        ProgressBar->SetPosition(0);
        ProgressBar->SetVisible(true);
        TIOParamsVals& params = *PreviewLoader->IOParams;
        params.Width = std::max(PixView->GetClientWidth(), 1);
        params.Height = std::max(PixView->GetClientHeight(), 1);
        params.JPEG_Scale = ioJPEG_AUTOCALC;
        params.GIF_ImageIndex = 0;
        params.TIFF_ImageIndex = 0;
        PreviewLoader->AutoAdjustDPI = AutoAdjustDPI;
        PreviewLoader->FilteredAdjustDPI = FilteredAdjustDPI;
        PreviewLoader->LoadFromFile(path);
        ProgressBar->SetVisible(false);
        if (PreviewLoader->Aborting) {
          valid = false;
        } else {
          frameCount_ = frames;
          ShowIOParams(PreviewLoader->IOParams);
          SetZoom();
        }
      }
    } catch (const std::exception&) {
      valid = false;
    }
    ProgressBar->SetVisible(false);
    if (Screen) Screen->SetCursor(kept);
    PreviewButton->SetEnabled(valid);
    ZoomCombo->SetEnabled(valid);
  }
  if (!valid) {
    fileSize_ = 0;
    frameCount_ = 0;
    ShowIOParams(nullptr);
    PreviewButton->SetEnabled(false);
    ZoomCombo->SetEnabled(false);
    PlayButton->SetEnabled(false);
    PixView->Blank();
  }
}

void TOpenPixDialog::DoCheckPreview() {
  if (PreviewCheck->GetChecked()) {
    if (form_) DoSelectionChange();
    return;
  }
  ShowIOParams(nullptr);
  PixView->SetBackGround(clWhite);
  PixView->Blank();
  PixView->SetZoom(100);
  PreviewButton->SetEnabled(false);
  ZoomCombo->SetEnabled(false);
}

void TOpenPixDialog::PreviewClick() {
  if (PixView->GetIsEmpty()) return;
  std::unique_ptr<TForm> preview(new TForm(this));
  preview->Name = "PreviewForm";
  preview->SetBorderStyle(bsSizeToolWin);
  preview->Position = poScreenCenter;
  preview->KeyPreview = true;
  preview->SetCaption(iemsg(IEMSG_PREVIEW, MsgLanguage) + ": " + GetFileName());
  auto* view = new TPixView(preview.get());
  view->Name = "PixView";
  view->SetParent(preview.get());
  view->SetAlign(alClient);
  view->SetMouseInteract(miZoom | miScroll);
  view->SetScrollBars(ssBoth);
  view->SetBackGround(clWhite);
  view->SetBackgroundStyle(iebsSolid);
  view->SetCenter(true);
  view->Assign(PixView);
  TBitmap* b = view->GetFBitmap();
  const int screenW = Screen ? Screen->GetWidth() : 1024, screenH = Screen ? Screen->GetHeight() : 768;
  auto side = [](int picture, int screen) { return picture <= 100 ? 100 : std::min(picture, screen); };
  preview->SetClientWidth(side(b->GetWidth(), screenW));
  preview->SetClientHeight(side(b->GetHeight(), screenH));
  preview->OnKeyDown = [&preview](TObject*, Word& key, TShiftState) {
    if (key == VK_ESCAPE) preview->ModalResult = mrCancel;
  };
  preview->ShowModal();
}
