// The print preview of the card report, with page setup and page pictures.
// Created once at start-up, owned by the application, shown and hidden.
// The designer's preview command hands it the report (OpenReport); from
// then on the window pages and zooms through the prepared pages, sets up
// the paper, prints a page range and saves pages as pictures. Prepared
// pages live in memory and work files in the program's private temporary
// folder (removed at exit), so there is nothing to clear at start-up, and
// other programs' temporary files are never touched.
#pragma once

#include <string>

#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/forms.h"
#include "platform/qreport.h"
#include "platform/qrpreview.h"
#include "platform/toolbars.h"

class TPix;

class TPrevForm : public TForm {
 public:
  explicit TPrevForm(TComponent* owner);
  ~TPrevForm() override;

  // The page as the page setup exchanges it: paper code, orientation (1
  // portrait, 2 landscape) and margins in hundredths of a millimetre;
  // filled from the report by OpenReport, updated by the page setup. The
  // paper's own size (hundredths, upright) travels with a custom paper.
  int SetupPaperSize = 9;
  int SetupOrientation = 1;
  int SetupMarginTop = 1000;
  int SetupMarginBottom = 1000;
  int SetupMarginLeft = 1000;
  int SetupMarginRight = 1000;
  int SetupPaperWidth = 21000;
  int SetupPaperLength = 29700;

  TToolBar* ToolBar1;
  TToolButton* BSetPaper;    // "打印设置"
  TToolButton* BPrint;       // "打印"
  TToolButton* ToolButton3;  // "首页"
  TToolButton* ToolButton4;  // "前一页"
  TToolButton* ToolButton5;  // "后一页"
  TToolButton* ToolButton6;  // "尾页"
  TToolButton* ToolButton12;  // "扩大"
  TToolButton* ToolButton13;  // "缩小"
  TToolButton* ToolButton7;   // "真实大小"
  TToolButton* ToolButton8;   // "适合大小"
  TToolButton* ToolButton9;   // "等宽大小"
  TToolButton* BSaveAsPic;    // "保存为图"
  TToolButton* TBClose;       // "关闭"
  TQRPreview* QRPreview1;
  TProgressBar* ProgressBar1;
  TStatusBar* StatusBar1;
  // The save dialog of page pictures and the hidden converter that writes
  // them.
  TSaveDialog* SavePictureDialog1;
  TPix* Pix1;

  // The report shown; the designer's card report unless another was
  // opened.
  TQuickRep* Report() const;
  // What the designer's preview command does: shows the window on the
  // report's pages, hands over the report's page setup, prepares the
  // report and shows its first page.
  void OpenReport(TQuickRep* report);

  // Shows the report's pages and takes its page setup; the print twins of
  // the designer's pictures take their places.
  void FormShow(TObject* Sender);
  // "第<page>页共<count>页" in the status bar.
  void UpdatePageStatus();

  void ToolButton3Click(TObject* Sender);
  void ToolButton4Click(TObject* Sender);
  void ToolButton5Click(TObject* Sender);
  void ToolButton6Click(TObject* Sender);
  void ToolButton12Click(TObject* Sender);
  void ToolButton13Click(TObject* Sender);
  void ToolButton7Click(TObject* Sender);
  void ToolButton8Click(TObject* Sender);
  void ToolButton9Click(TObject* Sender);
  void TBCloseClick(TObject* Sender);
  void BSetPaperClick(TObject* Sender);
  void BPrintClick(TObject* Sender);
  void BSaveAsPicClick(TObject* Sender);

 private:
  // Pages prepared now.
  int PageCount() const;
  // The preview on the report's pages, the members from its page.
  void AttachReport();
  // The members from the report's page.
  void TakePageSetup(const TQRPage& page);
  // Enables the four page buttons for the page shown.
  void UpdatePageButtons();
  // Renders a page into Pix1, mirrored on request; false without the page.
  bool RenderPage(int page, bool mirror);
  TQuickRep* report_ = nullptr;
};

extern TPrevForm* PrevForm;

// Page picture formats in the order of the save dialog's filter (1-based
// filter index): the extension a saved page gets, with its dot.
std::string PagePictureExtension(int filterIndex);
// True when `name` already ends in an extension of that format (".jpg" or
// ".jpeg" for JPEG, ".tif" or ".tiff" for TIFF), in any case.
bool HasPagePictureExtension(const std::string& name, int filterIndex);
// Where page `page` goes when every page is saved under the chosen file
// name: a folder beside the chosen file, named as the file less its
// extension, holding "第<page>页" with the format's extension.
std::string PagePictureName(const std::string& chosen, int page, const std::string& extension);
