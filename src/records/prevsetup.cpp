// The preview's page setup and page-range printing.
#include <algorithm>

#include "platform/dialogs.h"
#include "platform/kernel.h"
#include "platform/printers.h"
#include "platform/sysutils.h"
#include "records/prev.h"

namespace {

const char kRangeCaption[] = "打印范围设置    ";

// The system's page setup over the default printer's device mode, opened
// with the window's page; fills `result` and returns true on OK.
bool RunPageSetup(TPrevForm* form, TQRPageSetup& result) {
  PAGESETUPDLG request;
  request.hwndOwner = form->GetHandle();
  request.Flags = PSD_RETURNDEFAULT;
  if (!PageSetupDlg(&request) || request.hDevMode == 0) return false;
  auto* mode = static_cast<DEVMODEA*>(GlobalLock(request.hDevMode));
  const bool ownSize = form->SetupPaperSize == kPageSetupOwnSize;
  mode->dmPaperSize = int16_t(ownSize ? DMPAPER_USER : form->SetupPaperSize);
  mode->dmPaperWidth = int16_t(std::clamp(form->SetupPaperWidth / 10, 0, 32767));
  mode->dmPaperLength = int16_t(std::clamp(form->SetupPaperLength / 10, 0, 32767));
  mode->dmOrientation = int16_t(form->SetupOrientation);
  GlobalUnlock(request.hDevMode);
  request.rtMargin = {form->SetupMarginLeft, form->SetupMarginTop, form->SetupMarginRight, form->SetupMarginBottom};
  request.Flags = PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS;
  const bool confirmed = PageSetupDlg(&request);
  if (confirmed) {
    mode = static_cast<DEVMODEA*>(GlobalLock(request.hDevMode));
    result.PaperSize = mode->dmPaperSize;
    result.PaperWidth = mode->dmPaperWidth * 10;
    result.PaperLength = mode->dmPaperLength * 10;
    result.Orientation = mode->dmOrientation;
    GlobalUnlock(request.hDevMode);
    result.MarginLeft = request.rtMargin.Left;
    result.MarginTop = request.rtMargin.Top;
    result.MarginRight = request.rtMargin.Right;
    result.MarginBottom = request.rtMargin.Bottom;
  }
  GlobalFree(request.hDevMode);
  if (request.hDevNames) GlobalFree(request.hDevNames);
  return confirmed;
}

}  // namespace

void TPrevForm::BSetPaperClick(TObject*) {
  TQuickRep* report = Report();
  if (!report) return;
  TQRPageSetup result;
  if (RunPageSetup(this, result)) {
    ApplyPageSetup(report->Page, result);
    // The members follow the page as the report keeps it.
    TakePageSetup(report->Page);
  }
  report->Prepare();
  QRPreview1->SetPageNumber(1);
  UpdatePageStatus();
  UpdatePageButtons();
}

void TPrevForm::BPrintClick(TObject*) {
  TQuickRep* report = Report();
  if (!report) return;
  std::string first = "1", last = "2";
  if (!InputQuery(kRangeCaption, "请输入起始页码           ", first)) return;
  if (!InputQuery(kRangeCaption, "请输入结束页码           ", last)) return;
  const int firstPage = StrToInt(Trim(first)), lastPage = StrToInt(Trim(last));
  // The table may have changed since the pages were shown: the range is
  // checked against the pages as they are now.
  report->Prepare();
  const int count = PageCount();
  if (firstPage < 1 || firstPage > count || lastPage < 1 || lastPage > count || firstPage > lastPage) {
    ShowMessage("页码超出范围！");
    UpdatePageStatus();
    UpdatePageButtons();
    return;
  }
  report->PrinterSettings.FirstPage = firstPage;
  report->PrinterSettings.LastPage = lastPage;
  TPrinter* printer = Printer();
  printer->Title = report->ReportTitle;
  report->QRPrinter->Print(printer, firstPage, lastPage);
  UpdatePageStatus();
  UpdatePageButtons();
}
