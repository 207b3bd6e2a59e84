// The card panel: its resize refits the layout picture from the unscaled
// picture in ImageTemp and refreshes the print twin.
#include "designer/cardpanel.h"

#include <algorithm>

#include "designer/main.h"
#include "imaging/view/pix.h"
#include "imaging/view/qrpix.h"
#include "imaging/view/rulerbox.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/messages.h"
#include "platform/sysutils.h"

TLayoutFit FitLayoutPicture(int areaWidth, int areaHeight, int sourceWidth, int sourceHeight) {
  if (areaWidth <= 0 || areaHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return {};
  const double ratio = double(sourceWidth) / double(sourceHeight);
  if (areaWidth > areaHeight) {
    const int w = int(areaHeight * ratio);
    return {(areaWidth - w) / 2, 0, w, areaHeight};
  }
  const int h = int(areaWidth / ratio);
  return {0, (areaHeight - h) / 2, areaWidth, h};
}

TPanelCommand CardPanelCommand(int x, int y, int w, int h) {
  if (x < 10 && y < 10) return {crSizeNWSE, SC_SIZE + 4};
  if (x > w - 10 && y > h - 10) return {crSizeNWSE, SC_SIZE + 8};
  if (x > w - 10 && y < 10) return {crSizeNESW, SC_SIZE + 5};
  if (x < 10 && y > h - 10) return {crSizeNESW, SC_SIZE + 7};
  if (x > 5 && x < w - 5 && y > 5 && y < h - 5) return {crSizeAll, SC_MOVE + 1};
  const bool midX = x > w / 2 - 5 && x < w / 2 + 5, midY = y > h / 2 - 5 && y < h / 2 + 5;
  if (y < 5 && midX) return {crSizeNS, SC_SIZE + 3};
  if (y > h - 5 && midX) return {crSizeNS, SC_SIZE + 6};
  if (x < 5 && midY) return {crSizeWE, SC_SIZE + 1};
  if (x > w - 5 && midY) return {crSizeWE, SC_SIZE + 2};
  return {crSizeAll, SC_MOVE + 1};
}

namespace {

// The eight 6 x 6 handles at the corners and edge middles of a w x h panel.
void DrawPanelHandles(TCanvas* canvas, int w, int h) {
  canvas->Pen->Color = clRed;
  canvas->Pen->Width = 2;
  const int corners[8][4] = {{0, 0, 6, 6},
                             {0, h, 6, h - 6},
                             {w, 0, w - 6, 6},
                             {w, h, w - 6, h - 6},
                             {0, h / 2 - 3, 6, h / 2 + 3},
                             {w / 2 - 3, 0, w / 2 + 3, 6},
                             {w, h / 2 - 3, w - 6, h / 2 + 3},
                             {w / 2 - 3, h, w / 2 + 3, h - 6}};
  for (const auto& c : corners) canvas->Rectangle(c[0], c[1], c[2], c[3]);
}

const char* const kKeepDrawing =
    "版面图片上画的内容会因改变卡片大小而丢失。要把画好的版面图片作为新的原图保留吗？";

bool SamePixels(TBitmap* a, TBitmap* b) {
  if (a->GetWidth() != b->GetWidth() || a->GetHeight() != b->GetHeight()) return false;
  a->SetPixelFormat(pf24bit);
  b->SetPixelFormat(pf24bit);
  for (int y = 0; y < a->GetHeight(); ++y)
    if (!std::equal(a->ScanLine(y), a->ScanLine(y) + a->GetWidth() * 3, b->ScanLine(y))) return false;
  return true;
}

}  // namespace

bool TMainForm::LayoutDrawnOn() {
  TGraphic* shown = Drawor->GetPicture()->GetGraphic();
  if (!shown || shown->GetEmpty() || LayoutFitted.GetEmpty()) return false;
  TBitmap current;
  current.Assign(shown);
  return !SamePixels(&current, &LayoutFitted);
}

bool TMainForm::LoadLayoutPicture(const std::string& path) {
  TBitmap loaded;
  try {
    // Every kind of picture becomes a bitmap of its own size, which the
    // unscaled and the shown picture both take.
    TPicture file;
    file.LoadFromFile(path);
    loaded.Assign(file.GetGraphic());
    loaded.SetPixelFormat(pf24bit);
  } catch (const std::exception&) {
    Application->MessageBox("无法装入图像文件", "装入错误", MB_OK | MB_ICONWARNING);
    return false;
  }
  ImageTemp->GetPicture()->Assign(&loaded);
  Drawor->GetPicture()->Assign(&loaded);
  // What was loaded is nothing the user drew.
  LayoutFitted.Assign(&loaded);
  RefreshLayoutPrint();
  return true;
}

void TMainForm::DiscardLayoutDrawing() {
  TGraphic* shown = Drawor->GetPicture()->GetGraphic();
  if (shown && !shown->GetEmpty()) LayoutFitted.Assign(shown);
}

void TMainForm::Panel2Resize(TObject*) {
  if (InPanelResize) return;
  InPanelResize = true;
  // A panel below the smallest size grows to it, so the layout area is
  // never empty.
  if (Panel2->GetWidth() < kCardPanelMinWidth || Panel2->GetHeight() < kCardPanelMinHeight)
    Panel2->SetBounds(Panel2->GetLeft(), Panel2->GetTop(), std::max(Panel2->GetWidth(), kCardPanelMinWidth),
                      std::max(Panel2->GetHeight(), kCardPanelMinHeight));
  Drawor->SetBounds(5, 5, Panel2->GetWidth() - 10, Panel2->GetHeight() - 10);
  QRDrawor->SetBounds(Drawor->GetLeft(), Drawor->GetTop(), Drawor->GetWidth(), Drawor->GetHeight());

  // What the user drew on the shown picture would be lost by the refit:
  // asked first, it becomes the new unscaled picture.
  if (LayoutDrawnOn() && MessageDlg(kKeepDrawing, mtConfirmation, mbYes | mbNo) == mrYes)
    ImageTemp->GetPicture()->Assign(Drawor->GetPicture());

  TBitmap fitted;
  fitted.SetPixelFormat(pf24bit);
  fitted.SetSize(Drawor->GetWidth(), Drawor->GetHeight());
  fitted.GetCanvas()->Brush->Color = clWhite;
  fitted.GetCanvas()->FillRect(TRect{0, 0, fitted.GetWidth(), fitted.GetHeight()});
  TGraphic* source = ImageTemp->GetPicture()->GetGraphic();
  if (source && !source->GetEmpty()) {
    const TLayoutFit fit =
        FitLayoutPicture(fitted.GetWidth(), fitted.GetHeight(), source->GetWidth(), source->GetHeight());
    fitted.GetCanvas()->StretchDraw(TRect{fit.Left, fit.Top, fit.Left + fit.Width, fit.Top + fit.Height}, source);
  }
  Drawor->GetPicture()->Assign(&fitted);
  LayoutFitted.Assign(&fitted);
  // Drawing on the rebuilt picture starts with the default face.
  FontBox->SetText("宋体");
  RefreshLayoutPrint();
  InPanelResize = false;
  ClampDesignItems();
}

void TMainForm::Panel2MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  const int w = Panel2->GetWidth(), h = Panel2->GetHeight();
  DrawPanelHandles(PanelCanvas, w, h);
  const TPanelCommand command = CardPanelCommand(X, Y, w, h);
  // The window manager's loop runs on the panel with the zone's cursor.
  const TCursor saved = Screen->GetCursor();
  Screen->SetCursor(command.Cursor);
  ReleaseCapture();
  Panel2->Perform(WM_SYSCOMMAND, command.Command, 0);
  Screen->SetCursor(saved);
}

void TMainForm::Panel2MouseUp(TObject*, TMouseButton, TShiftState, int, int) { RefreshLayoutPrint(); }

void TMainForm::RefreshLayoutPrint() {
  QRDrawor->SetBounds(Drawor->GetLeft(), Drawor->GetTop(), Drawor->GetWidth(), Drawor->GetHeight());
  // The shown picture reaches the print copy through the converter.
  if (TGraphic* shown = Drawor->GetPicture()->GetGraphic()) {
    Pix1->Assign(shown);
    LayoutPrintBitmap->Assign(Pix1->GetFBitmap());
  }
  QRDrawor->SetAttachedBitmap(LayoutPrintBitmap);
}

namespace {

const char* const kRulerCaption = "标尺设置    ";
const char* const kRulerSpacing = "请输入间隔数           ";
const char* const kRulerUnits = "请输入单位数           ";

// Asks for the ruler's dots per unit, then for its label spacing; each
// answer applies as it comes. A cancelled box gives its default, an answer
// that is no number raises the conversion error.
void AskRulerScale(TRulerBox* ruler, const char* firstPrompt) {
  ruler->SetDPU(StrToInt(InputBox(kRulerCaption, firstPrompt, "3")));
  ruler->SetLabelFreq(StrToInt(InputBox(kRulerCaption, kRulerSpacing, "10")));
}

}  // namespace

void TMainForm::RulerBox1Click(TObject*) { AskRulerScale(RulerBox1, kRulerSpacing); }

void TMainForm::RulerBox2Click(TObject*) { AskRulerScale(RulerBox2, kRulerUnits); }
