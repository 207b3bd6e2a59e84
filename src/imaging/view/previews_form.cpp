// The processing preview dialog's controls: where they sit and what their
// ranges are. Captions come from SetLanguage.
#include <string>

#include "imaging/view/histogrambox.h"
#include "imaging/view/hsvbox.h"
#include "imaging/view/pixview.h"
#include "imaging/view/previews.h"
#include "imaging/view/rulerbox.h"
#include "platform/buttons.h"
#include "platform/checklst.h"
#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/stdctrls.h"

namespace {

template <class T>
T* Make(TfPreviews* form, TWinControl* parent, const char* name, int x, int y, int w, int h) {
  auto* c = new T(form);
  c->Name = name;
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

TLabel* MakeLabel(TfPreviews* form, TWinControl* parent, const char* name, int x, int y) {
  auto* l = Make<TLabel>(form, parent, name, x, y, 80, 15);
  l->SetAutoSize(true);
  return l;
}

TTrackBar* MakeTrack(TfPreviews* form, TWinControl* parent, const char* name, int x, int y, int w, int lo, int hi) {
  auto* t = Make<TTrackBar>(form, parent, name, x, y, w, 28);
  t->SetMax(hi);
  t->SetMin(lo);
  t->ThumbLength = 10;
  t->TickStyle = tsNone;
  return t;
}

// An edit with up-down arrows over lo..hi (the arrows' range; what is
// typed is limited where it is read).
TEdit* MakeNumber(TfPreviews* form, TWinControl* parent, const char* name, int x, int y, int w, int lo, int hi,
                  int step = 1) {
  auto* e = Make<TEdit>(form, parent, name, x, y, w, 21);
  auto* u = Make<TUpDown>(form, parent, (std::string("UpDown_") + name).c_str(), x + w, y, 16, 21);
  u->SetMin(lo);
  u->SetMax(hi);
  u->Increment = step;
  u->Thousands = false;
  u->SetAssociate(e);
  return e;
}

TGroupBox* MakeGroup(TfPreviews* form, TWinControl* parent, const char* name, int x, int y, int w, int h) {
  return Make<TGroupBox>(form, parent, name, x, y, w, h);
}

}  // namespace

void TfPreviews::BuildForm() {
  Name = "fPreviews";
  SetBorderStyle(bsDialog);
  Position = poScreenCenter;
  SetClientWidth(648);
  SetClientHeight(508);
  Label1 = MakeLabel(this, this, "Label1", 8, 6);
  Label2 = MakeLabel(this, this, "Label2", 336, 6);
  Pix1 = Make<TPixView>(this, this, "Pix1", 8, 24, 304, 224);
  Pix2 = Make<TPixView>(this, this, "Pix2", 336, 24, 304, 224);
  for (TPixView* v : {Pix1, Pix2}) v->SetCenter(true);
  Pix1->SetMouseInteract(miZoom | miScroll);
  Button6 = Make<TButton>(this, this, "Button6", 314, 124, 20, 24);
  Button6->SetCaption("<<");
  Button6->ShowHint = true;

  PageControl1 = Make<TPageControl>(this, this, "PageControl1", 8, 258, 524, 242);
  const char* names[] = {"", "TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4", "TabSheet5", "TabSheet6",
                         "TabSheet7", "TabSheet8", "TabSheet9", "TabSheet10", "TabSheet11", "TabSheet12"};
  for (int i = 1; i <= 12; ++i) {
    auto* sheet = new TTabSheet(this);
    sheet->Name = names[i];
    sheet->SetPageControl(PageControl1);
    sheet->Tag = i;
    TabSheets[size_t(i)] = sheet;
  }
  TabSheets[ppgHSL]->SetCaption("HSL");
  TabSheets[ppgRGB]->SetCaption("RGB");
  TabSheets[ppgHSV]->SetCaption("HSV");
  TabSheets[ppgFFT]->SetCaption("FFT");

  Button1 = Make<TButton>(this, this, "Button1", 544, 282, 96, 26);
  Button1->ModalResult = mrOk;
  Button1->Default = true;
  Button2 = Make<TButton>(this, this, "Button2", 544, 314, 96, 26);
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  Button3 = Make<TButton>(this, this, "Button3", 544, 366, 96, 26);
  SpeedButton1 = Make<TSpeedButton>(this, this, "SpeedButton1", 544, 398, 96, 26);
  SpeedButton1->GroupIndex = 2;
  SpeedButton1->SetAllowAllUp(true);
  SpeedButton1->ShowHint = true;

  OpenDialog1 = new TOpenDialog(this);
  SaveDialog1 = new TSaveDialog(this);
  for (TOpenDialog* d : {OpenDialog1, static_cast<TOpenDialog*>(SaveDialog1)}) {
    d->DefaultExt = "flt";
    d->Filter = "Filter (*.flt)|*.flt";
  }
  OpenDialog1->Options |= ofFileMustExist;

  BuildContrastPages();
  BuildFilterPage();
  BuildEqualizationPage();
  BuildGeometryPages();
  BuildFourierPage();
  PageControl1->SetActivePage(TabSheets[ppgContrast]);
}

void TfPreviews::BuildContrastPages() {
  // One row per parameter: caption, track bar, edit.
  auto row = [this](TTabSheet* page, int r, const char* label, const char* track, const char* edit, int lo, int hi,
                    TLabel*& l, TTrackBar*& t, TEdit*& e, int width = 330) {
    const int y = 14 + r * 44;
    l = MakeLabel(this, page, label, 8, y + 6);
    t = MakeTrack(this, page, track, 96, y, width, lo, hi);
    e = Make<TEdit>(this, page, edit, 100 + width, y + 2, 56, 21);
  };
  TTabSheet* c = TabSheets[ppgContrast];
  row(c, 0, "Label3", "TrackBar1", "Edit1", -100, 100, Label3, TrackBar1, Edit1);
  row(c, 1, "Label22", "TrackBar12", "Edit21", -100, 100, Label22, TrackBar12, Edit21);
  TTabSheet* hsl = TabSheets[ppgHSL];
  row(hsl, 0, "Label4", "TrackBar2", "Edit4", -180, 180, Label4, TrackBar2, Edit4);
  row(hsl, 1, "Label5", "TrackBar3", "Edit2", -100, 100, Label5, TrackBar3, Edit2);
  row(hsl, 2, "Label6", "TrackBar5", "Edit3", -100, 100, Label6, TrackBar5, Edit3);
  TTabSheet* rgb = TabSheets[ppgRGB];
  row(rgb, 0, "Label7", "TrackBar6", "Edit7", -255, 255, Label7, TrackBar6, Edit7);
  row(rgb, 1, "Label8", "TrackBar7", "Edit6", -255, 255, Label8, TrackBar7, Edit6);
  row(rgb, 2, "Label9", "TrackBar8", "Edit5", -255, 255, Label9, TrackBar8, Edit5);
  TTabSheet* hsv = TabSheets[ppgHSV];
  row(hsv, 0, "Label10", "TrackBar9", "Edit19", -180, 180, Label10, TrackBar9, Edit19, 190);
  row(hsv, 1, "Label11", "TrackBar10", "Edit18", -100, 100, Label11, TrackBar10, Edit18, 190);
  row(hsv, 2, "Label12", "TrackBar11", "Edit17", -100, 100, Label12, TrackBar11, Edit17, 190);
  Label13 = MakeLabel(this, hsv, "Label13", 358, 8);
  HSVBox3 = Make<THSVBox>(this, hsv, "HSVBox3", 358, 26, 74, 74);
  Label14 = MakeLabel(this, hsv, "Label14", 438, 8);
  HSVBox1 = Make<THSVBox>(this, hsv, "HSVBox1", 438, 26, 74, 74);
}

void TfPreviews::BuildFilterPage() {
  TTabSheet* page = TabSheets[ppgUserFilter];
  GroupBox1 = MakeGroup(this, page, "GroupBox1", 8, 6, 232, 196);
  // Tags are the kernel index; the edits are named as the form has them.
  const char* names[] = {"Edit8", "Edit11", "Edit14", "Edit9", "Edit12", "Edit15", "Edit10", "Edit13", "Edit16"};
  for (int i = 0; i < 9; ++i) {
    TEdit* e = MakeNumber(this, GroupBox1, names[i], 14 + (i % 3) * 70, 24 + (i / 3) * 34, 46, -100, 100);
    e->Tag = i;
    FilterEdits[size_t(i)] = e;
  }
  Label15 = MakeLabel(this, GroupBox1, "Label15", 14, 134);
  FilterEdits[9] = MakeNumber(this, GroupBox1, "Edit20", 84, 130, 46, -100, 100);
  FilterEdits[9]->Tag = 9;
  GroupBox3 = MakeGroup(this, page, "GroupBox3", 248, 6, 150, 196);
  ListBox1 = Make<TListBox>(this, GroupBox3, "ListBox1", 10, 22, 130, 164);
  for (const char* preset : {"None", "Blur", "Edges", "Emboss", "High Pass 1", "High Pass 2", "High Pass 3",
                             "Low Pass 1", "Low Pass 2"})
    ListBox1->GetItems()->Add(preset);
  Button4 = Make<TButton>(this, page, "Button4", 408, 20, 96, 26);
  Button5 = Make<TButton>(this, page, "Button5", 408, 54, 96, 26);
}

void TfPreviews::BuildEqualizationPage() {
  TTabSheet* page = TabSheets[ppgEqualization];
  GroupBox4 = MakeGroup(this, page, "GroupBox4", 8, 2, 330, 204);
  Label19 = MakeLabel(this, GroupBox4, "Label19", 10, 18);
  Label20 = MakeLabel(this, GroupBox4, "Label20", 120, 18);
  Label21 = MakeLabel(this, GroupBox4, "Label21", 260, 18);
  RulerBox2 = Make<TRulerBox>(this, GroupBox4, "RulerBox2", 10, 34, 310, 22);
  HistogramBox1 = Make<THistogramBox>(this, GroupBox4, "HistogramBox1", 10, 56, 310, 100);
  HistogramBox1->SetLabels(0);
  RulerBox1 = Make<TRulerBox>(this, GroupBox4, "RulerBox1", 10, 156, 310, 22);
  Label18 = MakeLabel(this, GroupBox4, "Label18", 10, 182);
  Label16 = MakeLabel(this, GroupBox4, "Label16", 120, 182);
  Label17 = MakeLabel(this, GroupBox4, "Label17", 260, 182);
  for (TRulerBox* r : {RulerBox1, RulerBox2}) {
    r->SetRuler(false);
    r->SetGripsCount(2);
    r->SetViewMin(0);
    r->SetViewMax(255);
    r->SetFitInView(true);
  }
  RulerBox2->SetGripsDir(gdDown);
  CheckListBox1 = Make<TCheckListBox>(this, page, "CheckListBox1", 350, 10, 140, 84);
  for (int i = 0; i < 4; ++i) CheckListBox1->GetItems()->Add("");
  SpeedButton3 = Make<TSpeedButton>(this, page, "SpeedButton3", 350, 104, 140, 26);
  SpeedButton3->GroupIndex = 1;
  SpeedButton3->SetAllowAllUp(true);
}

void TfPreviews::BuildGeometryPages() {
  // Bump map.
  TTabSheet* bump = TabSheets[ppgBumpMap];
  GroupBox2 = MakeGroup(this, bump, "GroupBox2", 8, 6, 320, 150);
  Label27 = MakeLabel(this, GroupBox2, "Label27", 12, 28);
  Edit22 = MakeNumber(this, GroupBox2, "Edit22", 80, 24, 60, 0, 32767, 10);
  Label28 = MakeLabel(this, GroupBox2, "Label28", 12, 62);
  Edit23 = MakeNumber(this, GroupBox2, "Edit23", 80, 58, 60, 0, 32767, 10);
  Label23 = MakeLabel(this, GroupBox2, "Label23", 12, 96);
  Edit24 = MakeNumber(this, GroupBox2, "Edit24", 80, 92, 60, 0, 32767, 10);
  Label24 = MakeLabel(this, GroupBox2, "Label24", 12, 130 - 8);
  Edit25 = MakeNumber(this, GroupBox2, "Edit25", 80, 118, 60, 0, 32767, 10);
  Label26 = MakeLabel(this, GroupBox2, "Label26", 170, 20);
  HSVBox2 = Make<THSVBox>(this, GroupBox2, "HSVBox2", 170, 40, 100, 100);
  Label25 = MakeLabel(this, bump, "Label25", 16, 172);
  Edit26 = MakeNumber(this, bump, "Edit26", 200, 168, 60, 0, 100, 10);

  // Lens.
  TTabSheet* lens = TabSheets[ppgLens];
  GroupBox5 = MakeGroup(this, lens, "GroupBox5", 8, 6, 320, 196);
  Label32 = MakeLabel(this, GroupBox5, "Label32", 12, 28);
  Edit27 = MakeNumber(this, GroupBox5, "Edit27", 100, 24, 60, 0, 32767, 10);
  Label33 = MakeLabel(this, GroupBox5, "Label33", 12, 62);
  Edit28 = MakeNumber(this, GroupBox5, "Edit28", 100, 58, 60, 0, 32767, 10);
  Label29 = MakeLabel(this, GroupBox5, "Label29", 12, 96);
  Edit29 = MakeNumber(this, GroupBox5, "Edit29", 100, 92, 60, 0, 32767, 10);
  Label30 = MakeLabel(this, GroupBox5, "Label30", 12, 130);
  Edit30 = MakeNumber(this, GroupBox5, "Edit30", 100, 126, 60, 0, 32767, 10);
  Label31 = MakeLabel(this, GroupBox5, "Label31", 12, 164);
  Edit31 = MakeNumber(this, GroupBox5, "Edit31", 100, 160, 60, 0, 32767, 1);

  // Wave.
  TTabSheet* wave = TabSheets[ppgWave];
  GroupBox6 = MakeGroup(this, wave, "GroupBox6", 8, 6, 320, 160);
  Label34 = MakeLabel(this, GroupBox6, "Label34", 12, 28);
  Edit32 = MakeNumber(this, GroupBox6, "Edit32", 110, 24, 60, 0, 32767);
  Label35 = MakeLabel(this, GroupBox6, "Label35", 12, 62);
  Edit33 = MakeNumber(this, GroupBox6, "Edit33", 110, 58, 60, 0, 32767);
  Label36 = MakeLabel(this, GroupBox6, "Label36", 12, 96);
  Edit34 = MakeNumber(this, GroupBox6, "Edit34", 110, 92, 60, 0, 359);
  CheckBox2 = Make<TCheckBox>(this, GroupBox6, "CheckBox2", 12, 126, 200, 20);

  // Morph filters.
  TTabSheet* morph = TabSheets[ppgMorph];
  GroupBox7 = MakeGroup(this, morph, "GroupBox7", 8, 6, 320, 196);
  Label37 = MakeLabel(this, GroupBox7, "Label37", 12, 24);
  ListBox2 = Make<TListBox>(this, GroupBox7, "ListBox2", 12, 42, 150, 80);
  for (int i = 0; i < 4; ++i) ListBox2->GetItems()->Add("");
  Label38 = MakeLabel(this, GroupBox7, "Label38", 12, 136);
  Edit35 = MakeNumber(this, GroupBox7, "Edit35", 12, 154, 60, 1, 64);

  // Rotate.
  TTabSheet* rotate = TabSheets[ppgRotate];
  LabelRotate = MakeLabel(this, rotate, "LabelRotate", 8, 20);
  TrackBarRotate = MakeTrack(this, rotate, "TrackBarRotate", 80, 14, 340, -18000, 18000);
  TrackBarRotate->Frequency = 500;
  TrackBarRotate->TickStyle = tsAuto;
  EditRotate = Make<TEdit>(this, rotate, "EditRotate", 428, 18, 70, 21);
  LabelFlip = MakeLabel(this, rotate, "LabelFlip", 8, 80);
  SpeedButtonFlipHor = Make<TSpeedButton>(this, rotate, "SpeedButtonFlipHor", 80, 74, 120, 26);
  SpeedButtonFlipVer = Make<TSpeedButton>(this, rotate, "SpeedButtonFlipVer", 208, 74, 120, 26);
  SpeedButtonFlipHor->GroupIndex = 5;
  SpeedButtonFlipVer->GroupIndex = 6;
  for (TSpeedButton* b : {SpeedButtonFlipHor, SpeedButtonFlipVer}) b->SetAllowAllUp(true);
}

void TfPreviews::BuildFourierPage() {
  TTabSheet* page = TabSheets[ppgFFT];
  GroupBox8 = MakeGroup(this, page, "GroupBox8", 8, 2, 300, 204);
  PixView1 = Make<TPixView>(this, GroupBox8, "PixView1", 10, 20, 200, 160);
  PixView1->SetMouseInteract(miZoom | miSelect);
  PixView1->SelectionBase = iesbBitmap;
  PixView1->SetScrollBars(ssBoth);
  PixView1->SetCenter(true);
  ProgressBar1 = Make<TProgressBar>(this, GroupBox8, "ProgressBar1", 10, 184, 200, 12);
  Clear = Make<TButton>(this, GroupBox8, "Clear", 218, 20, 74, 26);
  Button7 = Make<TButton>(this, GroupBox8, "Button7", 218, 52, 74, 26);
  CheckBox1 = Make<TCheckBox>(this, page, "CheckBox1", 320, 16, 180, 20);
  PixProc2 = new TPixProc(this);
  PixProc2->Name = "PixProc2";
  PixProc2->SetAttachedPix(PixView1);
  PixProc2->AutoUndo = false;
}
