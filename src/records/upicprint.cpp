// The single card picture window: a picture view filling the window, the
// menus that act on the view's I/O and processing components, and the
// load of the current card picture on every show.
#include "records/upicprint.h"

#include "imaging/io/pixio.h"
#include "imaging/proc/pixproc.h"
#include "imaging/view/opendlg.h"
#include "imaging/view/pixview.h"
#include "platform/commdlg.h"
#include "platform/menus.h"
#include "platform/toolbars.h"
#include "records/cardpictures.h"
#include "records/lzwcoders.h"
#include "records/menuitem.h"

TFormPrintPic* FormPrintPic = nullptr;

namespace {

const char* const kOpenFilter =
    "All graphics|*.jpg;*.jpeg;*.gif;*.tif;*.tiff;*.pcx;*.png;*.bmp;*.wmf;*.emf;*.ico;*.cur;*.avi|"
    "JPEG Bitmap (JPG;JPEG)|*.jpg;*.jpeg|CompuServe Bitmap (GIF)|*.gif|TIFF Bitmap (TIF;TIFF)|*.tif;*.tiff|"
    "PaintBrush (PCX)|*.pcx|Portable Network Graphics (PNG)|*.png|Windows Bitmap (BMP)|*.bmp|"
    "OS/2 Bitmap (BMP)|*.bmp|Enhanced Windows Metafile (EMF)|*.emf|Windows Metafile (WMF)|*.wmf|"
    "Icon resource (ICO)|*.ico|Cursor Resource (CUR)|*.cur|Video for Windows (AVI)|*.avi";
const char* const kSaveFilter =
    "JPEG Bitmap (JPG)|*.jpg|CompuServe Bitmap (GIF)|*.gif|TIFF Bitmap (TIF)|*.tif|PaintBrush (PCX)|*.pcx|"
    "Portable Network Graphics (PNG)|*.png|Windows Bitmap (BMP)|*.bmp|OS/2 Bitmap (BMP)|*.bmp";

constexpr TPreviewEffects kColourPages = peContrast | peHSV | peHSL | peRGB | peUserFilt | peEqualize | peFFT;
constexpr TPreviewEffects kEffectPages = peBumpMap | peLens | peWave | peMorph | peRotate;

}  // namespace

TFormPrintPic::TFormPrintPic(TComponent* owner) : TForm(owner) {
  Name = "FormPrintPic";
  SetCaption("打印");
  SetBounds(0, 0, 544, 375);
  Position = poScreenCenter;
  BuildMenu();
  BuildView();
  BuildDialogs();
  OnShow = [this](TObject* s) { FormShow(s); };
  // Enables GIF and LZW-TIFF for the whole program, even when the card
  // batch window is never opened.
  InstallLZWCoders();
}

TFormPrintPic::~TFormPrintPic() {
  if (FormPrintPic == this) FormPrintPic = nullptr;
}

void TFormPrintPic::BuildMenu() {
  MainMenu1 = new TMainMenu(this);
  MainMenu1->Name = "MainMenu1";
  auto item = [this](TMenuItem* parent, const char* name, const char* caption, void (TFormPrintPic::*handler)(TObject*)) {
    return AddMenuItem(this, parent, name, caption, handler);
  };
  File1 = item(MainMenu1->GetItems(), "File1", "文件&File", nullptr);
  Load1 = item(File1, "Load1", "打开&Open...", &TFormPrintPic::Load1Click);
  Save1 = item(File1, "Save1", "保存&Save...", &TFormPrintPic::Save1Click);
  PrintSetup1 = item(File1, "PrintSetup1", "打印机设置&Print Setup", &TFormPrintPic::PrintSetup1Click);
  Print1 = item(File1, "Print1", "打印P&rint", &TFormPrintPic::Print1Click);
  SelectTWainsource1 =
      item(File1, "SelectTWainsource1", "选择TWain源&Select TWain source...", &TFormPrintPic::SelectTWainsource1Click);
  Acquire1 = item(File1, "Acquire1", "捕获&Acquire...", &TFormPrintPic::Acquire1Click);
  Exit1 = item(File1, "Exit1", "退出&Exit", &TFormPrintPic::Exit1Click);
  Edit1 = item(MainMenu1->GetItems(), "Edit1", "编辑&Edit", nullptr);
  Undo1 = item(Edit1, "Undo1", "撤消&Undo", &TFormPrintPic::Undo1Click);
  Cut1 = item(Edit1, "Cut1", "剪切&Cut", &TFormPrintPic::Cut1Click);
  Copy1 = item(Edit1, "Copy1", "复制&Copy", &TFormPrintPic::Copy1Click);
  Paste1 = item(Edit1, "Paste1", "粘贴&Paste", &TFormPrintPic::Paste1Click);
  Dialogs1 = item(MainMenu1->GetItems(), "Dialogs1", "效果&Dialogs", nullptr);
  Coloradjust1 = item(Dialogs1, "Coloradjust1", "色彩调节&Color adjust...", &TFormPrintPic::Coloradjust1Click);
  Effects1 = item(Dialogs1, "Effects1", "特效&Effects...", &TFormPrintPic::Effects1Click);

  MenuBar1 = new TToolBar(this);
  MenuBar1->Name = "MenuBar1";
  MenuBar1->ShowCaptions = true;
  MenuBar1->SetAlign(alTop);
  MenuBar1->SetParent(this);
  auto drop = [this](const char* name, TMenuItem* menu) {
    auto* b = new TToolButton(this);
    b->Name = name;
    b->SetCaption(menu->GetCaption());
    b->SetParent(MenuBar1);
    b->SetMenuItem(menu);
    return b;
  };
  TBFile = drop("TBFile", File1);
  TBEdit = drop("TBEdit", Edit1);
  TBDialogs = drop("TBDialogs", Dialogs1);
  MenuBar1->ArrangeButtons();
}

void TFormPrintPic::BuildView() {
  PixView1 = new TPixView(this);
  PixView1->Name = "PixView1";
  PixView1->SetParent(this);
  PixView1->SetAlign(alClient);
  PixView1->SetCenter(true);
  PixView1->SetScrollBars(ssBoth);
  PixView1->SetMouseInteract(miZoom | miSelect);
}

void TFormPrintPic::BuildDialogs() {
  // The picture dialogs with preview keep the window's own filters; the
  // save dialog's "Advanced..." edits what the view's I/O will write.
  OpenPixDialog1 = new TOpenPixDialog(this);
  OpenPixDialog1->Name = "OpenPixDialog1";
  OpenPixDialog1->AutoSetFilter = false;
  OpenPixDialog1->Filter = kOpenFilter;
  SavePixDialog1 = new TSavePixDialog(this);
  SavePixDialog1->Name = "SavePixDialog1";
  SavePixDialog1->AutoSetFilter = false;
  SavePixDialog1->Filter = kSaveFilter;
  SavePixDialog1->SetAttachedPixIO(PixView1->GetPixIO());
  PrinterSetupDialog1 = new TPrinterSetupDialog(this);
  PrinterSetupDialog1->Name = "PrinterSetupDialog1";
}

// Every show starts again from the card picture, dropping earlier edits.
void TFormPrintPic::FormShow(TObject*) { PixView1->GetPixIO()->LoadFromFile(SingleCardPicturePath()); }

void TFormPrintPic::Load1Click(TObject*) {
  if (OpenPixDialog1->Execute()) PixView1->GetPixIO()->LoadFromFile(OpenPixDialog1->GetFileName());
}

void TFormPrintPic::Save1Click(TObject*) {
  if (SavePixDialog1->Execute()) PixView1->GetPixIO()->SaveToFile(SavePixDialog1->GetFileName());
}

void TFormPrintPic::PrintSetup1Click(TObject*) { PrinterSetupDialog1->Execute(); }
void TFormPrintPic::Print1Click(TObject*) { PixView1->GetPixIO()->DoPrintPreviewDialog(iedtDialog); }
void TFormPrintPic::SelectTWainsource1Click(TObject*) { PixView1->GetPixIO()->SelectAcquireSource(); }
void TFormPrintPic::Acquire1Click(TObject*) { PixView1->GetPixIO()->Acquire(); }
void TFormPrintPic::Exit1Click(TObject*) { Close(); }
void TFormPrintPic::Undo1Click(TObject*) { PixView1->GetPixProc()->Undo(); }
void TFormPrintPic::Cut1Click(TObject*) { PixView1->GetPixProc()->SelCutToClip(); }
void TFormPrintPic::Copy1Click(TObject*) { PixView1->GetPixProc()->SelCopyToClip(); }
void TFormPrintPic::Paste1Click(TObject*) { PixView1->GetPixProc()->PasteFromClipboard(); }
void TFormPrintPic::Coloradjust1Click(TObject*) { PixView1->GetPixProc()->DoPreviews(kColourPages); }
void TFormPrintPic::Effects1Click(TObject*) { PixView1->GetPixProc()->DoPreviews(kEffectPages); }
