// The main window's commands that show the other windows, print the card
// report and write the hint line; the tool buttons run the menu entries.
#include "records/ubarcode.h"
#include "designer/main.h"
#include "platform/buttons.h"
#include "platform/commdlg.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"
#include "records/catchpic.h"
#include "records/dbpicsu.h"
#include "records/opendata.h"
#include "records/prev.h"
#include "records/uscanner.h"
#include "records/utextdata.h"
#include "records/wh.h"

bool CollectMode = false;
std::string CollectPicturePath, CollectTemplatePath;

namespace {

// Shows a window of the program without holding the main window.
void ShowModeless(TForm* form) {
  if (form) form->Show();
}

// Clicks the button `name` of `form`, when the form has one.
void ClickButton(TComponent* form, const char* name) {
  if (!form) return;
  TComponent* found = form->FindComponent(name);
  if (auto* button = dynamic_cast<TToolButton*>(found)) button->Click();
  if (auto* button = dynamic_cast<TButton*>(found)) button->Click();
  if (auto* button = dynamic_cast<TSpeedButton*>(found)) button->Click();
}

// A page number typed into the range question, or -1 when it is none.
int PageNumberOf(const std::string& text) {
  int page = -1;
  return TryStrToInt(Trim(text), page) ? page : -1;
}

}  // namespace

std::string RemoveBlanks(const std::string& text) {
  std::string kept;
  for (char c : text)
    if (c != ' ') kept += c;
  return kept;
}

void TMainForm::WireCommands() {
  DrawPanelHidden = false;  // the drawing panel starts shown
  auto run = [this](TMenuItem* item, void (TMainForm::*handler)(TObject*)) {
    item->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
  };
  run(NMoveDB, &TMainForm::NMoveDBClick);
  run(ExportPic, &TMainForm::ExportPicClick);
  run(SavePagePic, &TMainForm::SavePagePicClick);
  run(NSetPaper, &TMainForm::NSetPaperClick);
  run(NPrint, &TMainForm::NPrintClick);
  run(FilePrintSetup, &TMainForm::FilePrintSetupClick);
  run(NCreateDB, &TMainForm::NCreateDBClick);
  run(NModifyDB, &TMainForm::NModifyDBClick);
  run(NCBarCode, &TMainForm::NCBarCodeClick);
  run(NPreview, &TMainForm::NPreviewClick);
  run(NSetWH, &TMainForm::NSetWHClick);
  run(NShowBar1, &TMainForm::NShowBar1Click);
  run(NShowTools, &TMainForm::NShowToolsClick);
  run(NShowSelectT, &TMainForm::NShowSelectTClick);
  run(NShowData, &TMainForm::NShowDataClick);
  // The text box's own editing commands.
  NCancel->OnClick = [this](TObject*) { Edit->Undo(); };
  NRedo->OnClick = [this](TObject*) { Edit->Undo(); };
  NCopy1->OnClick = [this](TObject*) { Edit->CopyToClipboard(); };
  NCut1->OnClick = [this](TObject*) { Edit->CutToClipboard(); };
  NPaste1->OnClick = [this](TObject*) { Edit->PasteFromClipboard(); };
  NDelete1->OnClick = [this](TObject*) { Edit->ClearSelection(); };
  NSelectAll1->OnClick = [this](TObject*) { Edit->SelectAll(); };
  // The tool bars' pop-up entries run the options menu's toggles.
  NTool->OnClick = [this](TObject*) { NShowBar1->Click(); };
  NDataP->OnClick = [this](TObject*) { NShowTools->Click(); };
  NSelectP->OnClick = [this](TObject*) { NShowSelectT->Click(); };
  NDrawP->OnClick = [this](TObject*) { NShowData->Click(); };
  auto click = [](TControl* control, TMenuItem* item) { control->OnClick = [item](TObject*) { item->Click(); }; };
  click(BPrev, NPreview);
  click(BDataCreat, NCreateDB);
  click(BDataEdit, NModifyDB);
  click(BPicOut, NPicEdit);
  click(BSet, NSetWH);
  click(BFont, NFont1);
  click(TBShow, NShowBar1);
  click(Panel6, NShowTools);
  click(Panel7, NShowSelectT);
  click(Panel10, NShowData);
  TBCatchPic->OnClick = [this](TObject* s) { TBCatchPicClick(s); };
  TBScan->OnClick = [this](TObject* s) { TBScanClick(s); };
  DBGrid1->OnDblClick = [this](TObject* s) { DBGrid1DblClick(s); };
}

void TMainForm::ApplicationHint(TObject*) { StatusBar1->GetPanels()->Items(0)->SetText(Application->GetHint()); }

void TMainForm::NCreateDBClick(TObject*) { ShowModeless(OpenDataForm); }
void TMainForm::NModifyDBClick(TObject*) { ShowModeless(FormTextData); }
void TMainForm::DBGrid1DblClick(TObject*) { ShowModeless(FormTextData); }
void TMainForm::NSetWHClick(TObject*) { ShowModeless(FormWH); }
void TMainForm::TBCatchPicClick(TObject*) { ShowModeless(FormCatchPic); }
void TMainForm::TBScanClick(TObject*) { ShowModeless(FormScanner); }

void TMainForm::NCBarCodeClick(TObject*) {
  if (ShowHints) ShowMessage("如果您的系统安装了条形码字体也可通过字体来设置。");
  ShowModeless(FormBarcode);
}

void TMainForm::ExportPicClick(TObject*) { ClickButton(FormPicEdit, "BBatchSave"); }

void TMainForm::SavePagePicClick(TObject*) {
  NPreview->Click();
  ClickButton(PrevForm, "BSaveAsPic");
}

// The preview window takes the report's page setup, prepares it and shows
// its pages.
void TMainForm::NPreviewClick(TObject*) {
  if (PrevForm) PrevForm->OpenReport(QuickRep1);
}

void TMainForm::NPrintClick(TObject*) {
  // The pages of the table as it is now, not of the last preview.
  QuickRep1->Prepare();
  const int count = QuickRep1->PageCount();
  const int first = PageNumberOf(InputBox("打印范围设置    ", "请输入起始页码           ", "1"));
  const int last = PageNumberOf(InputBox("打印范围设置    ", "请输入结束页码           ", "2"));
  if (first < 1 || first > count || last < 1 || last > count || first > last) {
    ShowMessage("页码超出范围！");
    return;
  }
  QuickRep1->PrinterSettings.FirstPage = first;
  QuickRep1->PrinterSettings.LastPage = last;
  QuickRep1->Print();
}

void TMainForm::NSetPaperClick(TObject*) {
  // The report's printer settings exist once it was prepared.
  if (QuickRep1->PageCount() == 0) return;
  PrinterSetupDialog1->Execute();
}

void TMainForm::FilePrintSetupClick(TObject*) { PrinterSetupDialog1->Execute(); }
