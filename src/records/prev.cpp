// The preview window itself: its controls, opening a report, paging,
// zooming and closing. Page setup and printing live in prevsetup.cpp, page
// pictures in prevpages.cpp.
#include "records/prev.h"

#include "designer/main.h"
#include "imaging/view/pix.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"

TPrevForm* PrevForm = nullptr;

namespace {

constexpr TColor kSkyBlue = 0xF0CAA6;
constexpr int kZoomStep = 5, kZoomMost = 200, kZoomLeast = 5;

}  // namespace

TPrevForm::TPrevForm(TComponent* owner) : TForm(owner) {
  Name = "PrevForm";
  SetCaption("预览");
  Position = poMainFormCenter;
  SetBounds(0, 0, 800, 600);

  ToolBar1 = new TToolBar(this);
  ToolBar1->Name = "ToolBar1";
  ToolBar1->ShowCaptions = true;
  ToolBar1->SetAlign(alTop);
  ToolBar1->SetParent(this);
  auto button = [this](const char* name, const char* caption, void (TPrevForm::*handler)(TObject*)) {
    auto* b = new TToolButton(this);
    b->Name = name;
    b->SetCaption(caption);
    b->SetParent(ToolBar1);
    b->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
    return b;
  };
  BSetPaper = button("BSetPaper", "打印设置", &TPrevForm::BSetPaperClick);
  BPrint = button("BPrint", "打印", &TPrevForm::BPrintClick);
  ToolButton3 = button("ToolButton3", "首页", &TPrevForm::ToolButton3Click);
  ToolButton4 = button("ToolButton4", "前一页", &TPrevForm::ToolButton4Click);
  ToolButton5 = button("ToolButton5", "后一页", &TPrevForm::ToolButton5Click);
  ToolButton6 = button("ToolButton6", "尾页", &TPrevForm::ToolButton6Click);
  ToolButton12 = button("ToolButton12", "扩大", &TPrevForm::ToolButton12Click);
  ToolButton13 = button("ToolButton13", "缩小", &TPrevForm::ToolButton13Click);
  ToolButton7 = button("ToolButton7", "真实大小", &TPrevForm::ToolButton7Click);
  ToolButton8 = button("ToolButton8", "适合大小", &TPrevForm::ToolButton8Click);
  ToolButton9 = button("ToolButton9", "等宽大小", &TPrevForm::ToolButton9Click);
  BSaveAsPic = button("BSaveAsPic", "保存为图", &TPrevForm::BSaveAsPicClick);
  TBClose = button("TBClose", "关闭", &TPrevForm::TBCloseClick);
  ToolBar1->ArrangeButtons();

  StatusBar1 = new TStatusBar(this);
  StatusBar1->Name = "StatusBar1";
  StatusBar1->SetSimplePanel(true);
  StatusBar1->SetAlign(alBottom);
  StatusBar1->SetParent(this);
  ProgressBar1 = new TProgressBar(this);
  ProgressBar1->Name = "ProgressBar1";
  ProgressBar1->SetMin(0);
  ProgressBar1->SetMax(100);
  ProgressBar1->SetAlign(alBottom);
  ProgressBar1->SetParent(this);

  QRPreview1 = new TQRPreview(this);
  QRPreview1->Name = "QRPreview1";
  QRPreview1->SetColor(kSkyBlue);
  QRPreview1->SetAlign(alClient);
  QRPreview1->SetParent(this);
  QRPreview1->OnProgressUpdate = [this](TObject*, int progress) {
    ProgressBar1->SetPosition(progress);
    // However the report was prepared, the status follows its new pages.
    if (progress == 100) {
      UpdatePageStatus();
      UpdatePageButtons();
    }
  };
  QRPreview1->OnPageAvailable = [this](TObject*, int) { QRPreview1->SetZoom(100); };

  SavePictureDialog1 = new TSaveDialog(this);
  SavePictureDialog1->Name = "SavePictureDialog1";
  SavePictureDialog1->Filter =
      "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|PNG (*.PNG)|*.PNG|"
      "GIF (*.GIF)|*.GIF|TIFF (*.TIFF)|*.TIFF|PCX (*.PCX)|*.PCX|TGA (*.TGA)|*.TGA|PXM(*.PXM)|*.PXM";

  Pix1 = new TPix(this);
  Pix1->Name = "Pix1";
  Pix1->SetVisible(false);
  Pix1->SetParent(this);

  OnShow = [this](TObject* s) { FormShow(s); };
}

TPrevForm::~TPrevForm() {
  if (PrevForm == this) PrevForm = nullptr;
}

TQuickRep* TPrevForm::Report() const {
  if (report_) return report_;
  return MainForm ? MainForm->QuickRep1 : nullptr;
}

int TPrevForm::PageCount() const {
  TQuickRep* report = Report();
  return report ? report->QRPrinter->PageCount() : 0;
}

void TPrevForm::AttachReport() {
  TQuickRep* report = Report();
  if (!report) return;
  QRPreview1->SetQRPrinter(report->QRPrinter);
  TakePageSetup(report->Page);
}

void TPrevForm::FormShow(TObject*) {
  AttachReport();
  // The designer's pictures may have moved since the last preview: their
  // print twins follow them, and print exactly when they are shown.
  if (!MainForm || Report() != MainForm->QuickRep1) return;
  TMainForm* m = MainForm;
  const std::pair<TControl*, TQRPrintable*> twins[] = {
      {m->PicOne, m->QRDBPicOne}, {m->PicTwo, m->QRDBPicTwo}, {m->ImageZhang, m->QRImageZhang},
      {m->BarcodeSet, m->QRDBBarCode}};
  for (const auto& [design, twin] : twins) {
    if (!design || !twin) continue;
    twin->SetBoundsRect(design->GetBoundsRect());
    twin->SetEnabled(design->GetVisible());
  }
  if (m->SignPic && m->QRSignPic) {
    m->QRSignPic->SetBoundsRect(m->SignPic->GetBoundsRect());
    m->QRSignPic->SetEnabled(m->QRSignPic->GetVisible());
  }
}

void TPrevForm::OpenReport(TQuickRep* report) {
  report_ = report;
  if (GetVisible()) AttachReport();
  Show();
  report->Prepare();
  QRPreview1->SetPageNumber(1);
  UpdatePageStatus();
  UpdatePageButtons();
}

void TPrevForm::TakePageSetup(const TQRPage& page) {
  const TQRPageSetup setup = PageSetupOfPage(page);
  SetupPaperSize = setup.PaperSize;
  SetupOrientation = setup.Orientation;
  SetupMarginLeft = setup.MarginLeft;
  SetupMarginRight = setup.MarginRight;
  SetupMarginTop = setup.MarginTop;
  SetupMarginBottom = setup.MarginBottom;
  SetupPaperWidth = setup.PaperWidth;
  SetupPaperLength = setup.PaperLength;
}

void TPrevForm::UpdatePageStatus() {
  TQuickRep* report = Report();
  const int count = PageCount();
  StatusBar1->SetSimpleText("第" + std::to_string(QRPreview1->GetPageNumber()) + "页" + "共" +
                            std::to_string(count) + "页");
}

void TPrevForm::UpdatePageButtons() {
  const int page = QRPreview1->GetPageNumber();
  const bool last = page >= PageCount();
  ToolButton5->SetEnabled(!last);
  ToolButton6->SetEnabled(!last);
  ToolButton3->SetEnabled(page > 1);
  ToolButton4->SetEnabled(page > 1);
}

void TPrevForm::ToolButton3Click(TObject*) {
  if (QRPreview1->GetPageNumber() != 1) QRPreview1->SetPageNumber(1);
  UpdatePageStatus();
  UpdatePageButtons();
}

void TPrevForm::ToolButton4Click(TObject*) {
  if (QRPreview1->GetPageNumber() > 1) QRPreview1->SetPageNumber(QRPreview1->GetPageNumber() - 1);
  UpdatePageStatus();
  UpdatePageButtons();
}

void TPrevForm::ToolButton5Click(TObject*) {
  if (QRPreview1->GetPageNumber() < PageCount())
    QRPreview1->SetPageNumber(QRPreview1->GetPageNumber() + 1);
  UpdatePageStatus();
  UpdatePageButtons();
}

void TPrevForm::ToolButton6Click(TObject*) {
  QRPreview1->SetPageNumber(PageCount());
  UpdatePageStatus();
  UpdatePageButtons();
}

void TPrevForm::ToolButton12Click(TObject*) {
  if (QRPreview1->GetZoom() < kZoomMost) QRPreview1->SetZoom(QRPreview1->GetZoom() + kZoomStep);
}

void TPrevForm::ToolButton13Click(TObject*) {
  if (QRPreview1->GetZoom() > kZoomLeast) QRPreview1->SetZoom(QRPreview1->GetZoom() - kZoomStep);
}

void TPrevForm::ToolButton7Click(TObject*) { QRPreview1->SetZoom(100); }

void TPrevForm::ToolButton8Click(TObject*) { QRPreview1->ZoomToFit(); }

void TPrevForm::ToolButton9Click(TObject*) { QRPreview1->ZoomToWidth(); }

void TPrevForm::TBCloseClick(TObject*) {
  if (TQuickRep* report = Report()) report->QRPrinter->Cleanup();
  Close();
}
