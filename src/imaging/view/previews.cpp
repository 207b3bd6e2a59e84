// The processing preview dialog: construction, captions and the wiring of
// its controls to their handlers.
#include "imaging/view/previews.h"

#include "imaging/proc/ieftimage.h"
#include "imaging/view/histogrambox.h"
#include "imaging/view/hsvbox.h"
#include "imaging/view/pixview.h"
#include "imaging/view/rulerbox.h"
#include "platform/buttons.h"
#include "platform/checklst.h"
#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/stdctrls.h"

TfPreviews::TfPreviews(TComponent* owner) : TForm(owner) {
  BuildForm();
  WireHandlers();
  // The result view keeps the snapshot every re-application restores in
  // memory, and the final application takes no snapshot of its own.
  TPixProc* result = Pix2->GetPixProc();
  result->AutoUndo = false;
  result->UndoLocation = ieMemory;
  Pix1->GetPixProc()->AutoUndo = false;
  SetLanguage(msSystem);
}

TfPreviews::~TfPreviews() = default;

int TfPreviews::ActivePageTag() const {
  TTabSheet* page = PageControl1->GetActivePage();
  return page ? page->Tag : 0;
}

void TfPreviews::SetLanguage(TMsgLanguage language) {
  auto word = [language](TMsgLanguageWords w) { return iemsg(w, language); };
  auto colon = [&](TMsgLanguageWords w) { return word(w) + ":"; };
  auto framed = [&](TMsgLanguageWords w) { return " " + word(w) + " "; };
  SetCaption(word(IEMSG_PREVIEW));
  Button3->SetCaption(word(IEMSG_PREVIEW));
  Label1->SetCaption(colon(IEMSG_SOURCE));
  Label2->SetCaption(colon(IEMSG_RESULT));
  Button1->SetCaption(word(IEMSG_OK));
  Button2->SetCaption(word(IEMSG_CANCEL));
  SpeedButton1->Hint = word(IEMSG_LOCKPREVIEW);
  SpeedButton1->SetCaption(word(IEMSG_LOCKPREVIEW));
  Button6->Hint = word(IEMSG_COPYRESULTTOSOURCE);
  TabSheets[ppgContrast]->SetCaption(word(IEMSG_CONTRAST));
  Label3->SetCaption(word(IEMSG_CONTRAST));
  Label22->SetCaption(colon(IEMSG_BRIGHTNESS));
  for (TLabel* l : {Label10, Label4}) l->SetCaption(word(IEMSG_HUE) + " (H):");
  for (TLabel* l : {Label11, Label5}) l->SetCaption(word(IEMSG_SATURATION) + " (S):");
  Label12->SetCaption(word(IEMSG_VALUE) + " (V):");
  Label6->SetCaption(word(IEMSG_LUMINOSITY) + " (L):");
  Label13->SetCaption(colon(IEMSG_BASECOLOR));
  Label14->SetCaption(colon(IEMSG_NEWCOLOR));
  Label7->SetCaption(word(IEMSG_RED) + " (R):");
  Label8->SetCaption(word(IEMSG_GREEN) + " (G):");
  Label9->SetCaption(word(IEMSG_BLUE) + " (B):");
  TabSheets[ppgUserFilter]->SetCaption(word(IEMSG_USERFILTER));
  GroupBox1->SetCaption(framed(IEMSG_FILTERVALUES));
  GroupBox3->SetCaption(framed(IEMSG_PRESETS));
  Label15->SetCaption(word(IEMSG_DIVISOR));
  Button4->SetCaption(word(IEMSG_LOAD));
  Button5->SetCaption(word(IEMSG_SAVE));
  SaveDialog1->Title = word(IEMSG_SAVEFILTER);
  OpenDialog1->Title = word(IEMSG_LOADFILTER);
  TabSheets[ppgEqualization]->SetCaption(word(IEMSG_EQUALIZATION));
  Label19->SetCaption(word(IEMSG_EQUALIZATION));
  Label18->SetCaption(word(IEMSG_THRESHOLD));
  SpeedButton3->SetCaption(word(IEMSG_EQUALIZE));
  GroupBox4->SetCaption(framed(IEMSG_HISTOGRAM));
  const TMsgLanguageWords channels[] = {IEMSG_RED, IEMSG_GREEN, IEMSG_BLUE, IEMSG_GRAY};
  for (int i = 0; i < 4; ++i) CheckListBox1->GetItems()->Put(i, word(channels[i]));
  TabSheets[ppgBumpMap]->SetCaption(word(IEMSG_BUMPMAP));
  GroupBox2->SetCaption(framed(IEMSG_LIGHT));
  for (TLabel* l : {Label27, Label32}) l->SetCaption(colon(IEMSG_LEFT));
  for (TLabel* l : {Label28, Label33}) l->SetCaption(colon(IEMSG_TOP));
  for (TLabel* l : {Label23, Label29}) l->SetCaption(colon(IEMSG_WIDTH));
  for (TLabel* l : {Label24, Label30}) l->SetCaption(colon(IEMSG_HEIGHT));
  Label26->SetCaption(colon(IEMSG_COLOR));
  Label25->SetCaption(word(IEMSG_SOURCEIMAGEQUANTITY) + " (%):");
  TabSheets[ppgLens]->SetCaption(word(IEMSG_LENS));
  GroupBox5->SetCaption(framed(IEMSG_LENS));
  Label31->SetCaption(colon(IEMSG_REFRACTION));
  TabSheets[ppgWave]->SetCaption(word(IEMSG_WAVE));
  GroupBox6->SetCaption(framed(IEMSG_WAVE));
  Label34->SetCaption(word(IEMSG_AMPLITUDE));
  Label35->SetCaption(word(IEMSG_WAVELENGTH));
  Label36->SetCaption(word(IEMSG_PHASE));
  CheckBox2->SetCaption(word(IEMSG_REFLECTIVE));
  TabSheets[ppgMorph]->SetCaption(word(IEMSG_MORPHFILTER));
  GroupBox7->SetCaption(framed(IEMSG_MORPHFILTER));
  Label37->SetCaption(colon(IEMSG_FILTER));
  Label38->SetCaption(colon(IEMSG_WINDOWSIZE));
  const TMsgLanguageWords filters[] = {IEMSG_MAXIMUM, IEMSG_MINIMUM, IEMSG_OPEN, IEMSG_CLOSE};
  for (int i = 0; i < 4; ++i) ListBox2->GetItems()->Put(i, word(filters[i]));
  TabSheets[ppgRotate]->SetCaption(word(IEMSG_ROTATE));
  LabelRotate->SetCaption(colon(IEMSG_ROTATE));
  LabelFlip->SetCaption(word(IEMSG_FLIP));
  SpeedButtonFlipHor->SetCaption(word(IEMSG_FLIPHOR));
  SpeedButtonFlipVer->SetCaption(word(IEMSG_FLIPVER));
  GroupBox8->SetCaption(framed(IEMSG_SELECTTHEREGIONTOCLEAR));
  Clear->SetCaption(word(IEMSG_CLEAR));
  Button7->SetCaption(word(IEMSG_RESET));
  CheckBox1->SetCaption(word(IEMSG_GRAYSCALE));
}

void TfPreviews::WireHandlers() {
  OnShow = [this](TObject*) { firstActivation_ = true; };
  OnActivate = [this](TObject*) { FormActivate(); };
  PageControl1->OnChange = [this](TObject*) { PageControl1Change(); };
  Pix1->OnViewChange = [this](TObject*, int) {
    if (ready_) CopyOrg();
  };
  Pix2->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState, int x, int y) { Pix2MouseUp(b, x, y); };
  Pix2->OnMouseUp = Pix2->OnMouseDown;
  Button1->OnClick = [this](TObject*) { OkClick(); };
  Button3->OnClick = [this](TObject*) { ReApply(); };
  Button6->OnClick = [this](TObject*) {
    CopyModToOrg();
    ResetParameters(true);
    CopyOrg();
  };
  SpeedButton1->OnClick = [this](TObject*) {
    if (SpeedButton1->GetDown()) ReApply();
    Button3->SetEnabled(!SpeedButton1->GetDown());
  };
  for (TTrackBar* t : {TrackBar1, TrackBar12}) t->OnChange = [this](TObject*) { TrackBar1Change(); };
  for (TTrackBar* t : {TrackBar2, TrackBar3, TrackBar5}) t->OnChange = [this](TObject*) { TrackBar2Change(); };
  for (TTrackBar* t : {TrackBar6, TrackBar7, TrackBar8}) t->OnChange = [this](TObject*) { TrackBar6Change(); };
  for (TTrackBar* t : {TrackBar9, TrackBar10, TrackBar11}) t->OnChange = [this](TObject*) { TrackBar9Change(); };
  for (TEdit* e : {Edit1, Edit21}) e->OnChange = [this](TObject*) { Edit1Change(); };
  for (TEdit* e : {Edit4, Edit2, Edit3}) e->OnChange = [this](TObject*) { Edit4Change(); };
  for (TEdit* e : {Edit7, Edit6, Edit5}) e->OnChange = [this](TObject*) { Edit7Change(); };
  for (TEdit* e : {Edit19, Edit18, Edit17}) e->OnChange = [this](TObject*) { Edit19Change(); };
  for (THSVBox* b : {HSVBox3, HSVBox1}) b->OnChange = [this](TObject*) { HSVBox3Change(); };
  for (TEdit* e : FilterEdits) e->OnChange = [this](TObject* s) { Edit8Change(s); };
  ListBox1->OnClick = [this](TObject*) { ListBox1Click(); };
  Button4->OnClick = [this](TObject*) { Button4Click(); };
  Button5->OnClick = [this](TObject*) { Button5Click(); };
  CheckListBox1->OnClick = [this](TObject*) { CheckListBox1Click(); };
  CheckListBox1->OnClickCheck = CheckListBox1->OnClick;
  RulerBox1->OnRulerPosChange = [this](TObject*, int grip) { RulerPosChange(RulerBox1, grip); };
  RulerBox2->OnRulerPosChange = [this](TObject*, int grip) { RulerPosChange(RulerBox2, grip); };
  SpeedButton3->OnClick = [this](TObject*) { ReApplyWhenLocked(); };
  for (TEdit* e : {Edit22, Edit23, Edit24, Edit25, Edit26}) e->OnChange = [this](TObject*) { Edit22Change(); };
  HSVBox2->OnChange = [this](TObject*) { HSVBox2Change(); };
  for (TEdit* e : {Edit27, Edit28, Edit29, Edit30, Edit31}) e->OnChange = [this](TObject*) { Edit27Change(); };
  for (TEdit* e : {Edit32, Edit33, Edit34}) e->OnChange = [this](TObject*) { Edit32Change(); };
  CheckBox2->OnClick = [this](TObject*) { Edit32Change(); };
  ListBox2->OnClick = [this](TObject*) { Edit35Change(); };
  Edit35->OnChange = ListBox2->OnClick;
  TrackBarRotate->OnChange = [this](TObject*) { TrackBarRotateChange(); };
  EditRotate->OnChange = [this](TObject*) { EditRotateChange(); };
  for (TSpeedButton* b : {SpeedButtonFlipHor, SpeedButtonFlipVer})
    b->OnClick = [this](TObject*) {
      if (ready_) ReApplyWhenLocked();
    };
  PixProc2->OnProgress = [this](TObject*, int percent) { ProgressBar1->SetPosition(percent); };
  Clear->OnClick = [this](TObject*) {
    if (ready_) ReApply();
  };
  Button7->OnClick = [this](TObject*) {
    PixView1->DeSelect();
    CopyOrg();
  };
  CheckBox1->OnClick = [this](TObject*) {
    if (ready_) CopyOrg();
  };
}
