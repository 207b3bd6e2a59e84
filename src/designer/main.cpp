// The main window's resource (its components, built in code), its
// destruction and its close sequence.
#include "designer/main.h"

#include "designer/mainresource.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"
#include "platform/dialogs.h"
#include "platform/inifiles.h"

TMainForm* MainForm = nullptr;

std::string DataDir;
const std::array<const char*, 16> FontSizeNames = {"初号", "小初", "一号", "小一", "二号", "小二", "三号", "小三",
                                                   "四号", "小四", "五号", "小五", "六号", "小六", "七号", "八号"};
TControlCanvas* TextBoxCanvas = new TControlCanvas();
TControlCanvas* PanelCanvas = new TControlCanvas();
TControlCanvas* PictureCanvas = new TControlCanvas();
TBitmap* LayoutPrintBitmap = nullptr;
TBitmap* LogoPrintBitmap = nullptr;
bool TextsShown = false, PhotoShown = false, PicTwoShown = false, LayoutShown = false;
bool LogoShown = true, BarcodeShown = true, SealShown = true;
bool PhotoHintDone = false, PicTwoHintDone = false, LayoutHintDone = false;
bool ToolBarShown = false, SelectPanelShown = false, DataGridHidden = false, DrawPanelHidden = false;
bool DrawingMode = false;
std::vector<std::string> ProgramArguments;

TMainForm::TMainForm(TComponent* owner) : TForm(owner) {
  BuildMainWindowResource(this);
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnCloseQuery = [this](TObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
  OnClose = [this](TObject* s, TCloseAction& action) { FormClose(s, action); };
  OnDestroy = [this](TObject* s) { FormDestroy(s); };
  KeyPreview = true;
  NExit->OnClick = [this](TObject* s) { NExitClick(s); };
  NPicEdit->OnClick = [this](TObject* s) { NPicEditClick(s); };
  NOpenDB->OnClick = [this](TObject* s) { NOpenDBClick(s); };
  NOpen->OnClick = [this](TObject* s) { NOpenClick(s); };
  NSave->OnClick = [this](TObject* s) { NSaveClick(s); };
  NSaveAs->OnClick = [this](TObject* s) { NSaveAsClick(s); };
  Nhelp1->OnClick = [this](TObject* s) { Nhelp1Click(s); };
  BHelp->OnClick = [this](TObject* s) { BHelpClick(s); };
  WireDesignSurface();
  WireTexts();
  WireCommands();
  WireSealAndInsert();
  WireLayoutTools();
  WireTemplateLibrary();
}

TMainForm::~TMainForm() {
  // A window closed without the close sequence (a test, a failed start)
  // still gives its run-time controls and pictures back.
  FreeTextControls();
  FreeLongLivedPictures();
  if (MainForm == this) MainForm = nullptr;
}

void TMainForm::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = Application->MessageBox("真的退出吗？", "退出", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void TMainForm::FormClose(TObject*, TCloseAction& Action) {
  if (RangeShown) {
    // Drawn in XOR, so drawing the focus frame again erases it.
    Drawor->GetCanvas()->DrawFocusRect(RangeRect);
    RangeShown = false;
  }
  Action = caFree;
  if (Application->MessageBox("要保存修改结果吗？", "保存结果", MB_YESNO | MB_ICONQUESTION) == IDYES) {
    if (NSave->GetEnabled())
      NSave->Click();
    else
      NSaveAs->Click();
  }
  FreeTextControls();
  FreeLongLivedPictures();
  WriteStartSettings();
}

void TMainForm::FormDestroy(TObject*) { RestoreFrameWindowProc(); }

void TMainForm::NExitClick(TObject*) { Close(); }

void TMainForm::FreeTextControls() {
  for (int i = 0; i < kTextSlots; ++i) {
    delete TitleLabels[size_t(i)];
    delete DBTexts[size_t(i)];
    delete QRDBTexts[size_t(i)];
    delete QRTitleLabels[size_t(i)];
    TitleLabels[size_t(i)] = nullptr;
    DBTexts[size_t(i)] = nullptr;
    QRDBTexts[size_t(i)] = nullptr;
    QRTitleLabels[size_t(i)] = nullptr;
  }
}

void TMainForm::FreeLongLivedPictures() {
  delete JpegLoader;
  JpegLoader = nullptr;
  delete RangeBitmap;
  RangeBitmap = nullptr;
  delete LayoutPrintBitmap;
  LayoutPrintBitmap = nullptr;
  delete LogoPrintBitmap;
  LogoPrintBitmap = nullptr;
  // The canvases are unbound rather than freed: they are the unit's, made
  // once by its static start, and a later window binds them again.
  TextBoxCanvas->SetControl(nullptr);
  PanelCanvas->SetControl(nullptr);
  PictureCanvas->SetControl(nullptr);
}

