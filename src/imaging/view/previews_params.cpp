// The processing preview dialog's parameter handlers. Every typed value is
// limited to the range its track bar or arrows offer, so no effect ever
// runs on a value the dialog could not have chosen itself.
#include <algorithm>
#include <cmath>
#include <exception>

#include "imaging/core/ievalues.h"
#include "imaging/proc/iecolormodels.h"
#include "imaging/proc/iefilterfile.h"
#include "imaging/view/histogrambox.h"
#include "imaging/view/hsvbox.h"
#include "imaging/view/pixview.h"
#include "imaging/view/previews.h"
#include "imaging/view/rulerbox.h"
#include "platform/buttons.h"
#include "platform/checklst.h"
#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/dialogs.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

namespace {

// The edit's integer (`none` when it holds none), limited to lo..hi.
int ReadInt(TEdit* edit, int none, int lo, int hi) {
  return std::clamp(StrToIntDef(Trim(edit->GetText()), none), lo, hi);
}

// Writes a number into an edit unless it shows it already (a rewrite
// would move the caret of someone typing).
void ShowInEdit(TEdit* edit, const std::string& text) {
  if (edit->GetText() != text) edit->SetText(text);
}

// Stores the values and tells whether any changed.
template <size_t N>
bool Store(const std::array<int*, N>& stored, const std::array<int, N>& values) {
  bool changed = false;
  for (size_t i = 0; i < N; ++i)
    if (*stored[i] != values[i]) {
      *stored[i] = values[i];
      changed = true;
    }
  return changed;
}

// Track bar pairs: positions into the stored values and the edits.
template <size_t N>
bool TrackPairs(const std::array<TTrackBar*, N>& bars, const std::array<TEdit*, N>& edits,
                const std::array<int*, N>& stored) {
  std::array<int, N> values{};
  for (size_t i = 0; i < N; ++i) values[i] = bars[i]->GetPosition();
  if (!Store(stored, values)) return false;
  for (size_t i = 0; i < N; ++i) ShowInEdit(edits[i], IntToStr(values[i]));
  return true;
}

// Edit pairs: typed integers move the track bars (which clamp them).
template <size_t N>
void EditPairs(const std::array<TEdit*, N>& edits, const std::array<TTrackBar*, N>& bars,
               const std::array<int*, N>& stored) {
  for (size_t i = 0; i < N; ++i) {
    const int v = std::clamp(StrToIntDef(Trim(edits[i]->GetText()), 0), bars[i]->GetMin(), bars[i]->GetMax());
    if (v != *stored[i]) bars[i]->SetPosition(v);
  }
}

}  // namespace

void TfPreviews::TrackBar1Change() {
  if (ready_ && TrackPairs<2>({TrackBar1, TrackBar12}, {Edit1, Edit21}, {&p_.Contrast, &p_.Brightness}))
    ReApplyWhenLocked();
}

void TfPreviews::TrackBar2Change() {
  if (ready_ && TrackPairs<3>({TrackBar2, TrackBar3, TrackBar5}, {Edit4, Edit2, Edit3},
                              {&p_.HslHue, &p_.HslSat, &p_.HslLum}))
    ReApplyWhenLocked();
}

void TfPreviews::TrackBar6Change() {
  if (ready_ &&
      TrackPairs<3>({TrackBar6, TrackBar7, TrackBar8}, {Edit7, Edit6, Edit5}, {&p_.Red, &p_.Green, &p_.Blue}))
    ReApplyWhenLocked();
}

void TfPreviews::TrackBar9Change() {
  if (ready_ && TrackPairs<3>({TrackBar9, TrackBar10, TrackBar11}, {Edit19, Edit18, Edit17},
                              {&p_.HsvHue, &p_.HsvSat, &p_.HsvVal}))
    ReApplyWhenLocked();
}

void TfPreviews::Edit1Change() {
  if (ready_) EditPairs<2>({Edit1, Edit21}, {TrackBar1, TrackBar12}, {&p_.Contrast, &p_.Brightness});
}

void TfPreviews::Edit4Change() {
  if (ready_)
    EditPairs<3>({Edit4, Edit2, Edit3}, {TrackBar2, TrackBar3, TrackBar5}, {&p_.HslHue, &p_.HslSat, &p_.HslLum});
}

void TfPreviews::Edit7Change() {
  if (ready_) EditPairs<3>({Edit7, Edit6, Edit5}, {TrackBar6, TrackBar7, TrackBar8}, {&p_.Red, &p_.Green, &p_.Blue});
}

void TfPreviews::Edit19Change() {
  if (ready_)
    EditPairs<3>({Edit19, Edit18, Edit17}, {TrackBar9, TrackBar10, TrackBar11}, {&p_.HsvHue, &p_.HsvSat, &p_.HsvVal});
}

void TfPreviews::HSVBox3Change() {
  TrackBar9->SetPosition(HSVBox1->GetHue() - HSVBox3->GetHue());
  TrackBar10->SetPosition(HSVBox1->GetSat() - HSVBox3->GetSat());
  TrackBar11->SetPosition(HSVBox1->GetVal() - HSVBox3->GetVal());
}

void TfPreviews::Edit8Change(TObject* sender) {
  if (!filterEdits_) return;
  p_.Filter.Divisor = ReadInt(FilterEdits[9], 1, -100, 100);
  auto* edit = dynamic_cast<TEdit*>(sender);
  if (edit && edit->Tag >= 0 && edit->Tag < 9)
    p_.Filter.Values[edit->Tag / 3][edit->Tag % 3] = ReadInt(edit, 0, -100, 100);
  ReApplyWhenLocked();
}

void TfPreviews::ListBox1Click() {
  const int i = ListBox1->GetItemIndex();
  if (i < 0 || i >= int(std::size(IEFiltPres))) return;
  p_.Filter = IEFiltPres[i];
  LoadFilt();
  ReApplyWhenLocked();
}

void TfPreviews::Button4Click() {
  if (!OpenDialog1->Execute()) return;
  try {
    LoadFilterFromFile(OpenDialog1->FileName, p_.Filter);
  } catch (const std::exception& e) {
    ShowMessage(e.what());
  }
  LoadFilt();
  ReApplyWhenLocked();
}

void TfPreviews::Button5Click() {
  if (!SaveDialog1->Execute()) return;
  try {
    SaveFilterToFile(SaveDialog1->FileName, p_.Filter);
  } catch (const std::exception& e) {
    ShowMessage(e.what());
  }
}

void TfPreviews::CheckListBox1Click() {
  THistogramKind kind = 0;
  const THistogramKind kinds[] = {hkRed, hkGreen, hkBlue, hkGray};
  for (int i = 0; i < 4; ++i)
    if (CheckListBox1->GetChecked(i)) kind |= kinds[i];
  HistogramBox1->SetHistogramKind(kind);
  const int right = HistogramBox1->GetLeft() + HistogramBox1->GetWidth();
  RulerBox1->SetBounds(HistogramBox1->GraphLeft, RulerBox1->GetTop(), right - HistogramBox1->GraphLeft,
                       RulerBox1->GetHeight());
}

void TfPreviews::RulerPosChange(TRulerBox* ruler, int grip) {
  if (!ready_ || grip < 0 || grip > 1) return;
  // The grips never cross: the other one follows the dragged one.
  if (ruler->GetGripsPos(1) < ruler->GetGripsPos(0)) ruler->SetGripsPos(1 - grip, ruler->GetGripsPos(grip));
  const int low = int(std::trunc(ruler->GetGripsPos(0))), high = int(std::trunc(ruler->GetGripsPos(1)));
  const bool threshold = ruler == RulerBox1;
  TLabel* labels[2] = {threshold ? Label16 : Label20, threshold ? Label17 : Label21};
  labels[grip]->SetCaption(IntToStr(grip == 0 ? low : high));
  TRGB& lo = threshold ? p_.ThresholdLow : p_.EqualizeLow;
  TRGB& hi = threshold ? p_.ThresholdHigh : p_.EqualizeHigh;
  const bool gray = CheckListBox1->GetChecked(3);
  const uint8_t l = uint8_t(std::clamp(low, 0, 255)), h = uint8_t(std::clamp(high, 0, 255));
  uint8_t TRGB::*channels[] = {&TRGB::r, &TRGB::g, &TRGB::b};
  for (int i = 0; i < 3; ++i)
    if (gray || CheckListBox1->GetChecked(i)) {
      lo.*channels[i] = l;
      hi.*channels[i] = h;
    }
  ReApplyWhenLocked();
}

void TfPreviews::Edit22Change() {
  if (!ready_) return;
  if (Store<5>({&p_.BumpLeft, &p_.BumpTop, &p_.BumpWidth, &p_.BumpHeight, &p_.BumpQuantity},
               {ReadInt(Edit22, 0, 0, 32767), ReadInt(Edit23, 0, 0, 32767), ReadInt(Edit24, 0, 0, 32767),
                ReadInt(Edit25, 0, 0, 32767), ReadInt(Edit26, 0, 0, 100)}))
    ReApplyWhenLocked();
}

void TfPreviews::HSVBox2Change() {
  if (!ready_) return;
  p_.BumpColour = CreateRGB(HSVBox2->Red, HSVBox2->Green, HSVBox2->Blue);
  ReApplyWhenLocked();
}

void TfPreviews::Edit27Change() {
  if (!ready_) return;
  const double refraction = ReadInt(Edit31, 0, 0, 32767) / 10.0 + 1;
  const bool moved = Store<4>({&p_.LensLeft, &p_.LensTop, &p_.LensWidth, &p_.LensHeight},
                              {ReadInt(Edit27, 0, 0, 32767), ReadInt(Edit28, 0, 0, 32767),
                               ReadInt(Edit29, 0, 0, 32767), ReadInt(Edit30, 0, 0, 32767)});
  if (!moved && refraction == p_.Refraction) return;
  p_.Refraction = refraction;
  ReApplyWhenLocked();
}

void TfPreviews::Edit32Change() {
  if (!ready_) return;
  const bool reflective = CheckBox2->GetChecked();
  const bool changed = Store<3>({&p_.Amplitude, &p_.WaveLength, &p_.Phase},
                                {ReadInt(Edit32, 0, 0, 32767), ReadInt(Edit33, 0, 0, 32767),
                                 ReadInt(Edit34, 0, 0, 359)});
  if (!changed && reflective == p_.Reflective) return;
  p_.Reflective = reflective;
  ReApplyWhenLocked();
}

void TfPreviews::Edit35Change() {
  if (!ready_) return;
  p_.MorphFilter = std::clamp(ListBox2->GetItemIndex(), 0, 3);
  p_.MorphWindow = ReadInt(Edit35, 1, 1, 64);
  ReApplyWhenLocked();
}

void TfPreviews::TrackBarRotateChange() {
  if (!ready_ || typingAngle_) return;
  const double angle = TrackBarRotate->GetPosition() / 100.0;
  if (angle == p_.Angle) return;
  p_.Angle = angle;
  ShowInEdit(EditRotate, FloatToStr(angle));
  ReApplyWhenLocked();
}

void TfPreviews::EditRotateChange() {
  if (!ready_) return;
  double angle = IEStrToFloatDef(Trim(EditRotate->GetText()), 0);
  if (!std::isfinite(angle)) angle = 0;
  angle = std::clamp(angle, -180.0, 180.0);
  if (angle == p_.Angle) return;
  p_.Angle = angle;
  typingAngle_ = true;
  TrackBarRotate->SetPosition(int(std::trunc(angle * 100)));
  typingAngle_ = false;
  ReApplyWhenLocked();
}

void TfPreviews::Pix2MouseUp(TMouseButton button, int x, int y) {
  const int tag = ActivePageTag();
  if (tag == ppgHSV && button == mbLeft) {
    TBitmap* result = Pix2->GetFBitmap();
    const int bx = Pix2->XScr2Bmp(x), by = Pix2->YScr2Bmp(y);
    if (bx < 0 || by < 0 || bx >= result->GetWidth() || by >= result->GetHeight()) return;
    const uint8_t* p = result->ScanLine(by) + size_t(bx) * 3;
    HSVBox3->SetRGB(p[2], p[1], p[0]);
    return;
  }
  if (tag != ppgBumpMap && tag != ppgLens) return;
  const double zoom = Pix1->GetZoom();
  if (!(zoom > 0)) return;
  const int left = int(std::trunc((x - Pix1->OffsetX) * 100 / zoom)) + Pix1->GetViewX();
  const int top = int(std::trunc((y - Pix1->OffsetY) * 100 / zoom)) + Pix1->GetViewY();
  const bool wasReady = ready_;
  ready_ = false;
  if (tag == ppgBumpMap) {
    p_.BumpLeft = left;
    p_.BumpTop = top;
    Edit22->SetText(IntToStr(left));
    Edit23->SetText(IntToStr(top));
  } else {
    p_.LensLeft = left;
    p_.LensTop = top;
    Edit27->SetText(IntToStr(left));
    Edit28->SetText(IntToStr(top));
  }
  ready_ = wasReady;
  ReApplyWhenLocked();
}
