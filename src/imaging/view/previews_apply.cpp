// The processing preview dialog's effects: page resets, the refresh of
// the result from the source, the preview and the final application.
#include <algorithm>
#include <cmath>
#include <exception>

#include "imaging/core/ievalues.h"
#include "imaging/proc/ieadjust.h"
#include "imaging/proc/ieeffects.h"
#include "imaging/proc/ieftimage.h"
#include "imaging/proc/iehistogram.h"
#include "imaging/proc/iemeasure.h"
#include "imaging/proc/iemorph.h"
#include "imaging/view/histogrambox.h"
#include "imaging/view/hsvbox.h"
#include "imaging/view/pixview.h"
#include "imaging/view/previews.h"
#include "imaging/view/rulerbox.h"
#include "platform/buttons.h"
#include "platform/checklst.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

namespace {

const TRGB kBlack{0, 0, 0};
const TRGB kWhite{255, 255, 255};

bool FitsSource(int tag) {
  return tag == ppgBumpMap || tag == ppgLens || tag == ppgWave || tag == ppgRotate || tag == ppgFFT;
}

}  // namespace

TPreviewEffects PreviewPageEffect(int tag) {
  static constexpr TPreviewEffects kEffects[] = {0,       peContrast, peHSL,  peRGB,    peUserFilt, peHSV, peEqualize,
                                                 peBumpMap, peLens,   peWave, peMorph, peRotate,   peFFT};
  return tag >= 1 && tag <= 12 ? kEffects[tag] : 0;
}

void TfPreviews::FormActivate() {
  // A dialog of its own (the filter files) reactivates this one: the
  // working values stay as the user left them.
  if (!firstActivation_) return;
  firstActivation_ = false;
  PageControl1->TabPosition = tpTop;
  final_ = false;
  ready_ = true;
  ResetParameters(true);
  SpeedButton1->SetDown(DefaultLockPreview);
  Button3->SetEnabled(!SpeedButton1->GetDown());
  HistogramBox1->SetAIEP(Pix2->GetPixProc());
  PageControl1->SetVisible(false);
  TTabSheet* first = nullptr;
  for (int i = 1; i <= 12; ++i) {
    const bool shown = (PreviewEffects & (peAll | PreviewPageEffect(i))) != 0;
    TabSheets[size_t(i)]->SetTabVisible(shown);
    TabSheets[size_t(i)]->Tag = i;
    if (shown && !first) first = TabSheets[size_t(i)];
  }
  PageControl1->SetActivePage(InitialPage ? InitialPage : first);
  PageControl1->SetVisible(true);
  busy_ = true;
  Pix1->Fit();
  busy_ = false;
  if (Application) Application->ProcessMessages();
  PageControl1Change();
}

void TfPreviews::ResetParameters(bool all) {
  if (all) pageReset_.fill(false);
  const bool wasReady = ready_;
  ready_ = false;
  const int tag = ActivePageTag();
  if (tag >= 1 && tag <= 12 && !pageReset_[size_t(tag)]) {
    ResetPage(tag);
    pageReset_[size_t(tag)] = true;
  }
  ready_ = wasReady;
}

void TfPreviews::ResetPage(int tag) {
  TBitmap* source = Pix1->GetFBitmap();
  const int W = source->GetWidth(), H = source->GetHeight();
  switch (tag) {
    case ppgContrast:
      _GetMediaContrastRGB(source, p_.MeanR, p_.MeanG, p_.MeanB);
      p_.Contrast = p_.Brightness = 0;
      TrackBar1->SetPosition(0);
      TrackBar12->SetPosition(0);
      Edit1->SetText("0");
      Edit21->SetText("0");
      break;
    case ppgHSL:
      p_.HslHue = p_.HslSat = p_.HslLum = 0;
      for (TTrackBar* t : {TrackBar2, TrackBar3, TrackBar5}) t->SetPosition(0);
      for (TEdit* e : {Edit4, Edit2, Edit3}) e->SetText("0");
      break;
    case ppgRGB:
      p_.Red = p_.Green = p_.Blue = 0;
      for (TTrackBar* t : {TrackBar6, TrackBar7, TrackBar8}) t->SetPosition(0);
      for (TEdit* e : {Edit7, Edit6, Edit5}) e->SetText("0");
      break;
    case ppgHSV:
      p_.HsvHue = p_.HsvSat = p_.HsvVal = 0;
      for (TTrackBar* t : {TrackBar9, TrackBar10, TrackBar11}) t->SetPosition(0);
      for (TEdit* e : {Edit19, Edit18, Edit17}) e->SetText("0");
      break;
    case ppgUserFilter:
      p_.Filter = IEFiltPres[fpNone];
      ListBox1->SetItemIndex(0);
      LoadFilt();
      break;
    case ppgEqualization:
      p_.ThresholdLow = p_.EqualizeLow = kBlack;
      p_.ThresholdHigh = p_.EqualizeHigh = kWhite;
      for (int i = 0; i < 4; ++i) CheckListBox1->SetChecked(i, i == 3);
      HistogramBox1->SetHistogramKind(hkGray);
      for (TRulerBox* r : {RulerBox1, RulerBox2}) {
        r->SetGripsPos(0, 0);
        r->SetGripsPos(1, 255);
        r->SetGripsCol(0, 8421504);
        r->SetGripsCol(1, 8421504);
      }
      RulerBox1->SetGripsKind(0, gkArrow2);
      RulerBox1->SetGripsKind(1, gkArrow2);
      Label16->SetCaption("0");
      Label17->SetCaption("255");
      Label20->SetCaption("0");
      Label21->SetCaption("255");
      SpeedButton3->SetDown(false);
      break;
    case ppgBumpMap:
      p_.BumpLeft = W / 2;
      p_.BumpTop = H / 2;
      p_.BumpWidth = p_.BumpHeight = std::max(W, H) / 2;
      p_.BumpColour = kWhite;
      p_.BumpQuantity = 0;
      HSVBox2->SetRGB(255, 255, 255);
      Edit22->SetText(IntToStr(p_.BumpLeft));
      Edit23->SetText(IntToStr(p_.BumpTop));
      Edit24->SetText(IntToStr(p_.BumpWidth));
      Edit25->SetText(IntToStr(p_.BumpHeight));
      Edit26->SetText("0");
      break;
    case ppgLens:
      p_.LensLeft = W / 2;
      p_.LensTop = H / 2;
      p_.LensWidth = p_.LensHeight = std::max(W, H) / 2;
      p_.Refraction = 1.7;
      Edit27->SetText(IntToStr(p_.LensLeft));
      Edit28->SetText(IntToStr(p_.LensTop));
      Edit29->SetText(IntToStr(p_.LensWidth));
      Edit30->SetText(IntToStr(p_.LensHeight));
      Edit31->SetText("7");
      break;
    case ppgWave:
      p_.Amplitude = p_.WaveLength = 10;
      p_.Phase = 0;
      p_.Reflective = false;
      Edit32->SetText("10");
      Edit33->SetText("10");
      Edit34->SetText("0");
      CheckBox2->SetChecked(false);
      break;
    case ppgMorph:
      p_.MorphFilter = 0;
      p_.MorphWindow = 1;
      ListBox2->SetItemIndex(0);
      Edit35->SetText("1");
      break;
    case ppgRotate:
      p_.Angle = 0;
      TrackBarRotate->SetPosition(0);
      EditRotate->SetText("0");
      SpeedButtonFlipHor->SetDown(false);
      SpeedButtonFlipVer->SetDown(false);
      break;
    case ppgFFT: CheckBox1->SetChecked(true); break;
    default: break;
  }
}

void TfPreviews::SetSourceMouseMode() {
  const int tag = ActivePageTag();
  busy_ = true;
  if (FitsSource(tag)) {
    Pix1->SetMouseInteract(Pix1->GetMouseInteract() & ~miZoom);
    Pix1->Fit();
  } else {
    Pix1->SetMouseInteract(Pix1->GetMouseInteract() | miZoom);
  }
  busy_ = false;
}

void TfPreviews::PageControl1Change() {
  ResetParameters(false);
  SetSourceMouseMode();
  CopyOrg();
}

void TfPreviews::CopyOrg() {
  if (busy_) return;
  busy_ = true;
  Pix2->LockPaint();
  try {
    TBitmap* result = Pix2->GetFBitmap();
    result->SetPixelFormat(pf24bit);
    const bool empty = Pix1->GetFBitmap()->GetWidth() == 0 || Pix1->GetFBitmap()->GetHeight() == 0;
    result->SetSize(empty ? 0 : Pix1->VisibleW, empty ? 0 : Pix1->VisibleH);
    if (result->GetWidth() > 0 && result->GetHeight() > 0) Pix1->DrawTo(result->GetCanvas());
    Pix2->GetPixProc()->SaveUndo();
    if (ActivePageTag() == ppgFFT) BuildFourierThumbnail();
    ApplyAct(Pix2);
  } catch (const std::exception& e) {
    ShowMessage(e.what());
  }
  Pix2->UnLockPaint();
  Pix2->Update();
  if (ActivePageTag() == ppgEqualization) HistogramBox1->Update();
  busy_ = false;
}

void TfPreviews::ApplyAct(TPixView* view) {
  TBitmap* bitmap = view->GetFBitmap();
  const int W = bitmap->GetWidth(), H = bitmap->GetHeight();
  if (W == 0 || H == 0) return;
  TProgressRec progress;
  if (final_) progress = Progress;
  const TIEProgressEvent& onProgress = progress.OnProgress;
  TObject* sender = progress.Sender;
  // The preview shows the source at its zoom and scroll position, so
  // positions and lengths in picture pixels are carried over.
  const bool preview = view == Pix2;
  const double z = Pix1->GetZoom() / 100;
  auto at = [&](int v, int scroll) { return preview ? int(std::trunc(v * z - scroll)) : v; };
  auto len = [&](int v) { return preview ? int(std::trunc(v * z)) : v; };
  switch (ActivePageTag()) {
    case ppgContrast:
      _ContrastRGB(bitmap, p_.Contrast, p_.MeanR, p_.MeanG, p_.MeanB, 0, 0, W, H, onProgress, sender);
      _IntensityRGBall(bitmap, p_.Brightness, p_.Brightness, p_.Brightness, 0, 0, W, H, onProgress, sender);
      break;
    // All-zero offsets are no change (the colour models would round).
    case ppgHSL:
      if (p_.HslHue == 0 && p_.HslSat == 0 && p_.HslLum == 0) break;
      _HSLvar(bitmap, p_.HslHue, p_.HslSat, p_.HslLum, 0, 0, W, H, onProgress, sender); break;
    case ppgRGB: _IntensityRGBall(bitmap, p_.Red, p_.Green, p_.Blue, 0, 0, W, H, onProgress, sender); break;
    case ppgUserFilter: _ApplyFilter(bitmap, p_.Filter, 0, 0, W, H, progress); break;
    case ppgHSV:
      if (p_.HsvHue == 0 && p_.HsvSat == 0 && p_.HsvVal == 0) break;
      _HSVvar(bitmap, p_.HsvHue, p_.HsvSat, p_.HsvVal, 0, 0, W, H, onProgress, sender); break;
    case ppgEqualization:
      _Threshold(bitmap, p_.ThresholdLow, p_.ThresholdHigh, kBlack, kWhite, 0, 0, W, H, onProgress, sender);
      _HistEqualize(bitmap, p_.EqualizeLow, p_.EqualizeHigh, 0, 0, W, H, onProgress, sender);
      if (SpeedButton3->GetDown()) _HistAutoEqualize(bitmap, 0, 0, W, H, onProgress, sender);
      break;
    case ppgBumpMap:
      _BumpMapping(bitmap, at(p_.BumpLeft, Pix1->GetViewX()), at(p_.BumpTop, Pix1->GetViewY()), len(p_.BumpWidth),
                   len(p_.BumpHeight), p_.BumpQuantity, p_.BumpColour, 0, 0, W, H, progress);
      break;
    case ppgLens:
      _lens(bitmap, at(p_.LensLeft, Pix1->GetViewX()), at(p_.LensTop, Pix1->GetViewY()), len(p_.LensWidth),
            len(p_.LensHeight), p_.Refraction, progress);
      break;
    case ppgWave: _wave(bitmap, len(p_.Amplitude), len(p_.WaveLength), p_.Phase, p_.Reflective, progress); break;
    case ppgMorph: _MorphFilter(bitmap, p_.MorphWindow, p_.MorphFilter, 0, 0, W, H, onProgress, sender); break;
    case ppgRotate: {
      TPixProc* proc = view->GetPixProc();
      if (SpeedButtonFlipHor->GetDown()) proc->Flip(fdHorizontal);
      if (SpeedButtonFlipVer->GetDown()) proc->Flip(fdVertical);
      if (p_.Angle != 0) proc->Rotate(p_.Angle, true);
      break;
    }
    case ppgFFT: ApplyFourier(view); break;
    default: break;
  }
  SetSourceMouseMode();
}

void TfPreviews::ReApply() {
  TPixProc* proc = Pix2->GetPixProc();
  const bool wasBusy = busy_;
  busy_ = true;
  try {
    proc->Undo();
    ApplyAct(Pix2);
  } catch (const std::exception& e) {
    // A failing effect leaves the untouched preview and says why.
    proc->Undo();
    ShowMessage(e.what());
  }
  busy_ = wasBusy;
  Pix2->Update();
}

void TfPreviews::ReApplyWhenLocked() {
  if (SpeedButton1->GetDown()) ReApply();
}

void TfPreviews::CopyModToOrg() {
  final_ = true;
  TBitmap before;
  before.Assign(Pix1->GetFBitmap());
  try {
    ApplyAct(Pix1);
  } catch (const std::exception& e) {
    Pix1->GetFBitmap()->Assign(&before);
    ShowMessage(e.what());
  }
  final_ = false;
  Pix1->Update();
  CopyOrg();
}

void TfPreviews::OkClick() {
  final_ = true;
  TBitmap before;
  before.Assign(Pix1->GetFBitmap());
  try {
    ApplyAct(Pix1);
    Pix1->Update();
  } catch (const std::exception& e) {
    // The picture goes back as it was and the dialog stays open.
    Pix1->GetFBitmap()->Assign(&before);
    Pix1->Update();
    final_ = false;
    ModalResult = mrNone;
    ShowMessage(e.what());
  }
}

void TfPreviews::LoadFilt() {
  filterEdits_ = false;
  for (int i = 0; i < 9; ++i) FilterEdits[size_t(i)]->SetText(IntToStr(p_.Filter.Values[i / 3][i % 3]));
  FilterEdits[9]->SetText(IntToStr(p_.Filter.Divisor));
  filterEdits_ = true;
}
