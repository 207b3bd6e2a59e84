// The maximised print preview window: the settings in a tool bar, the
// page preview filling the rest, printing from the tool bar or the menu
// without closing.
#include <string>

#include "imaging/view/pixview.h"
#include "imaging/view/printdlg.h"
#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/extctrls.h"
#include "platform/fonts.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/toolbars.h"

namespace {

// Below this width or height the window draws no preview.
constexpr int kMinPreviewWindow = 100;

TSpeedButton* ToolButton(TForm* form, TWinControl* parent, const char* name, int x, int w) {
  auto* b = new TSpeedButton(form);
  b->Name = name;
  b->SetParent(parent);
  b->SetBounds(x, 4, w, 28);
  b->ShowHint = true;
  return b;
}

}  // namespace

tfieprnform1::tfieprnform1(TComponent* owner) : TIEPrintForm(owner) {
  Name = "fieprnform1";
  Position = poDesigned;
  // Maximised: the whole screen.
  SetBounds(0, 0, ScreenWidth(), ScreenHeight());

  MainMenu1 = new TMainMenu(this);
  MainMenu1->Name = "MainMenu1";
  auto item = [this](TMenuItem* parent, const char* name, const char* caption, void (tfieprnform1::*handler)(TObject*)) {
    auto* m = new TMenuItem(this);
    m->Name = name;
    m->SetCaption(caption);
    parent->Add(m);
    if (handler) m->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
    return m;
  };
  File1 = item(MainMenu1->GetItems(), "File1", "文件&File", nullptr);
  Print1 = item(File1, "Print1", "打印&Print...", &tfieprnform1::PrintClick);
  PrintSetup1 = item(File1, "PrintSetup1", "打印机设置P&rint Setup...", &tfieprnform1::PrintSetupClick);
  Close1 = item(File1, "Close1", "&Close", &tfieprnform1::CloseClick);
  MenuBar1 = new TToolBar(this);
  MenuBar1->Name = "MenuBar1";
  MenuBar1->ShowCaptions = true;
  MenuBar1->SetAlign(alTop);
  MenuBar1->SetParent(this);
  TBFile = new TToolButton(this);
  TBFile->Name = "TBFile";
  TBFile->SetCaption(File1->GetCaption());
  TBFile->SetParent(MenuBar1);
  TBFile->SetMenuItem(File1);
  MenuBar1->ArrangeButtons();

  Panel1 = new TPanel(this);
  Panel1->Name = "Panel1";
  Panel1->SetParent(this);
  Panel1->SetBounds(0, MenuBar1->GetHeight(), GetClientWidth(), 36);
  Panel1->SetAlign(alTop);
  MakePositionButtons(Panel1, 4, 4, 28);
  for (int i = 1; i <= 9; ++i) {
    Positions[size_t(i)]->SetBounds(4 + (i - 1) * 28, 4, 28, 28);
    Positions[size_t(i)]->ShowHint = true;
  }
  SpeedButton10 = ToolButton(this, Panel1, "SpeedButton10", 264, 84);
  SpeedButton11 = ToolButton(this, Panel1, "SpeedButton11", 350, 56);
  SpeedButton12 = ToolButton(this, Panel1, "SpeedButton12", 408, 56);
  int x = 472;
  LeftEdit = MakeEdit(1, Panel1, x, 8, "1");
  TopEdit = MakeEdit(2, Panel1, x += 68, 8, "1");
  RightEdit = MakeEdit(3, Panel1, x += 68, 8, "1");
  BottomEdit = MakeEdit(4, Panel1, x += 68, 8, "1");
  MakeSizeCombo(Panel1, x += 72, 8, 120);
  MakeEdit(5, Panel1, x += 124, 8, "6");
  MakeEdit(6, Panel1, x += 68, 8, "4");
  MakeEdit(7, Panel1, x += 72, 8, "1");
  for (int i = 1; i <= 7; ++i) Edits[size_t(i)]->ShowHint = true;
  ComboBox1->ShowHint = true;
  PrinterSetupDialog1 = new TPrinterSetupDialog(this);
  PrinterSetupDialog1->Name = "PrinterSetupDialog1";

  MakePreviewView(this);
  PixView1->SetAlign(alClient);
  PixView1->SetMouseInteract(miZoom | miScroll);
  PixView1->SetScrollBars(ssBoth);

  WireSettings();
  SpeedButton10->OnClick = [this](TObject* s) { PrintSetupClick(s); };
  SpeedButton11->OnClick = [this](TObject* s) { PrintClick(s); };
  SpeedButton12->OnClick = [this](TObject* s) { CloseClick(s); };
  OnShow = [this](TObject*) { activatedSinceShow_ = false; };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnResize = [this](TObject* s) { FormResize(s); };
  EnableSizeControls(false);
  SetLanguage(msSystem);
}

void tfieprnform1::SetLanguage(TMsgLanguage language) {
  auto word = [language](TMsgLanguageWords w) { return iemsg(w, language); };
  SetCaption(word(IEMSG_PRINT));
  Print1->SetCaption(word(IEMSG_PRINT) + "...");
  SpeedButton11->Hint = word(IEMSG_PRINT);
  SpeedButton11->SetCaption(word(IEMSG_PRINT));
  PrintSetup1->SetCaption(word(IEMSG_PRINTSETUP) + "...");
  SpeedButton10->Hint = word(IEMSG_PRINTSETUP);
  SpeedButton10->SetCaption(word(IEMSG_PRINTSETUP));
  Close1->SetCaption(word(IEMSG_CLOSE2));
  SpeedButton12->SetCaption(word(IEMSG_CLOSE2));
  LeftEdit->Hint = word(IEMSG_LEFTMARGIN);
  TopEdit->Hint = word(IEMSG_TOPMARGIN);
  RightEdit->Hint = word(IEMSG_RIGHTMARGIN);
  BottomEdit->Hint = word(IEMSG_BOTTOMMARGIN);
  Edits[5]->Hint = word(IEMSG_WIDTH);
  Edits[6]->Hint = word(IEMSG_HEIGHT);
  Edits[7]->Hint = word(IEMSG_GAMMACORRECTION);
  ComboBox1->Hint = word(IEMSG_LOCATIONSIZE);
  const int mode = ComboBox1->GetItemIndex();
  const TMsgLanguageWords modes[] = {IEMSG_NORMAL, IEMSG_FITTOPAGE, IEMSG_STRETCHTOPAGE, IEMSG_SPECIFIEDSIZE};
  for (int i = 0; i < 4; ++i) ComboBox1->GetItems()->Put(i, word(modes[i]));
  ComboBox1->SetItemIndex(mode);
  for (int i = 1; i <= 9; ++i) Positions[size_t(i)]->Hint = word(TMsgLanguageWords(IEMSG_TOPLEFT + i - 1));
}

bool tfieprnform1::CanDrawPreview() { return GetWidth() >= kMinPreviewWindow && GetHeight() >= kMinPreviewWindow; }

void tfieprnform1::FormActivate(TObject*) {
  if (!activatedSinceShow_) ComboBox1->SetItemIndex(iesFITTOPAGE);
  activatedSinceShow_ = true;
  EnableSizeControls(ComboBox1->GetItemIndex() == iesSPECIFIEDSIZE);
  DrawPreview();
}

void tfieprnform1::FormResize(TObject*) { DrawPreview(); }

void tfieprnform1::PrintSetupClick(TObject*) {
  PrinterSetupDialog1->Execute();
  DrawPreview();
}

void tfieprnform1::PrintClick(TObject*) { Print(); }

// The modal run ends once its result is set.
void tfieprnform1::CloseClick(TObject*) { ModalResult = mrOk; }
