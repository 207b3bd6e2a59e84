// What both print forms share: the settings' controls, reading them in
// inches, the up-down steps, and the printing and preview they drive.
#include "imaging/view/printdlg.h"

#include <algorithm>
#include <cmath>

#include "imaging/view/pixview.h"
#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "platform/printers.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

double IEPrintEditValue(const std::string& text, double absent) {
  double v = 0;
  if (!TryStrToFloat(text, v) || !std::isfinite(v)) return absent;
  return v;
}

TIEPrintSettings IEClampToPage(TIEPrintSettings s, double pageW, double pageH) {
  auto side = [](double& first, double& second, double page) {
    first = std::clamp(first, 0.0, page);
    second = std::clamp(second, 0.0, page - first);
  };
  side(s.Left, s.Right, pageW);
  side(s.Top, s.Bottom, pageH);
  s.Width = std::clamp(s.Width, 0.0, pageW);
  s.Height = std::clamp(s.Height, 0.0, pageH);
  return s;
}

TIEPrintForm::TIEPrintForm(TComponent* owner) : TForm(owner) {}

TEdit* TIEPrintForm::MakeEdit(int n, TWinControl* parent, int x, int y, const std::string& text) {
  auto* e = new TEdit(this);
  e->Name = "Edit" + IntToStr(n);
  e->SetParent(parent);
  e->SetBounds(x, y, 48, 21);
  e->SetText(text);
  auto* u = new TUpDown(this);
  u->Name = "UpDown" + IntToStr(n);
  u->SetParent(parent);
  u->SetBounds(x + 48, y, 16, 21);
  // The arrows only step the edit's number; their own position is unused.
  u->SetMin(-30000);
  u->SetMax(30000);
  Edits[size_t(n)] = e;
  UpDowns[size_t(n)] = u;
  return e;
}

void TIEPrintForm::MakePositionButtons(TWinControl* parent, int x, int y, int size) {
  for (int i = 1; i <= 9; ++i) {
    auto* b = new TSpeedButton(this);
    b->Name = "SpeedButton" + IntToStr(i);
    b->SetParent(parent);
    b->SetBounds(x + (i - 1) % 3 * size, y + (i - 1) / 3 * size, size, size);
    b->GroupIndex = 1;
    // A small square where the button puts the picture.
    TBitmap glyph;
    glyph.SetSize(size - 8, size - 8);
    TCanvas* c = glyph.GetCanvas();
    c->Brush->Color = clWhite;
    c->FillRect(Rect(0, 0, size - 8, size - 8));
    c->Brush->Color = clNavy;
    const int cell = (size - 8) / 3;
    const int cx = (i - 1) % 3 * cell, cy = (i - 1) / 3 * cell;
    c->FillRect(Rect(cx + 1, cy + 1, cx + cell - 1, cy + cell - 1));
    b->SetGlyph(&glyph);
    Positions[size_t(i)] = b;
  }
  Positions[5]->SetDown(true);
}

void TIEPrintForm::MakeSizeCombo(TWinControl* parent, int x, int y, int w) {
  ComboBox1 = new TComboBox(this);
  ComboBox1->Name = "ComboBox1";
  ComboBox1->SetParent(parent);
  ComboBox1->SetBounds(x, y, w, 21);
  ComboBox1->SetStyle(csDropDownList);
  for (const char* mode : {"Normal", "Fit to page", "Stretch to page", "Specified size"})
    ComboBox1->GetItems()->Add(mode);
  ComboBox1->SetItemIndex(1);
}

void TIEPrintForm::MakePreviewView(TWinControl* parent) {
  PixView1 = new TPixView(this);
  PixView1->Name = "PixView1";
  PixView1->SetParent(parent);
  PixView1->SetBorderStyle(bsNone);
  PixView1->SetCenter(true);
  PixView1->SetBackgroundStyle(iebsCropShadow);
}

void TIEPrintForm::WireSettings() {
  for (int i = 1; i <= 7; ++i) {
    TEdit* e = Edits[size_t(i)];
    e->OnChange = [this](TObject*) { DrawPreview(); };
    UpDowns[size_t(i)]->OnClick = [this, e](TObject*, TUDBtnType button) { incdecmargins(e, button == btNext); };
  }
  for (int i = 1; i <= 9; ++i) Positions[size_t(i)]->OnClick = [this](TObject*) { DrawPreview(); };
  ComboBox1->OnChange = [this](TObject*) { SizeModeChanged(); };
}

void TIEPrintForm::EnableSizeControls(bool enabled) {
  for (int i : {5, 6}) {
    Edits[size_t(i)]->SetEnabled(enabled);
    UpDowns[size_t(i)]->SetEnabled(enabled);
  }
}

void TIEPrintForm::SizeModeChanged() {
  EnableSizeControls(ComboBox1->GetItemIndex() == iesSPECIFIEDSIZE);
  DrawPreview();
}

TIEPrintSettings TIEPrintForm::Settings() {
  auto down = [this](std::initializer_list<int> buttons) {
    return std::any_of(buttons.begin(), buttons.end(), [this](int i) { return Positions[size_t(i)]->GetDown(); });
  };
  TIEPrintSettings s;
  s.VerticalPos = down({7, 8, 9}) ? ievpBOTTOM : down({1, 2, 3}) ? ievpTOP : ievpCENTER;
  s.HorizontalPos = down({1, 4, 7}) ? iehpLEFT : down({3, 6, 9}) ? iehpRIGHT : iehpCENTER;
  s.Size = TIESize(std::clamp(ComboBox1->GetItemIndex(), 0, 3));
  const double u = InCm() ? 2.54 : 1;
  s.Left = IEPrintEditValue(LeftEdit->GetText(), 0) / u;
  s.Top = IEPrintEditValue(TopEdit->GetText(), 0) / u;
  s.Right = IEPrintEditValue(RightEdit->GetText(), 0) / u;
  s.Bottom = IEPrintEditValue(BottomEdit->GetText(), 0) / u;
  s.Width = IEPrintEditValue(Edits[5]->GetText(), 1) / u;
  s.Height = IEPrintEditValue(Edits[6]->GetText(), 1) / u;
  s.Gamma = IEPrintEditValue(Edits[7]->GetText(), 1);
  const TIEPrintPage page = IEPrinterPage(Printer());
  return IEClampToPage(s, double(page.Width) / page.DpiX, double(page.Height) / page.DpiY);
}

void TIEPrintForm::incdecmargins(TEdit* edit, bool up) {
  const double step = edit == Edits[7] ? 0.1 : 0.01;
  const double v = IEPrintEditValue(edit->GetText(), 0) + (up ? step : -step);
  edit->SetText(FloatToStr(std::max(0.0, v)));
}

void TIEPrintForm::Print() {
  if (!PixIO) return;
  const TIEPrintSettings s = Settings();
  TPrinter* printer = Printer();
  printer->Title = PrintJobTitle;
  printer->BeginDoc();
  try {
    PixIO->PrintImage(printer->Canvas(), s.Left, s.Top, s.Right, s.Bottom, s.VerticalPos, s.HorizontalPos, s.Size,
                      s.Width, s.Height, s.Gamma);
  } catch (...) {
    printer->Abort();
    throw;
  }
  printer->EndDoc();
}

void TIEPrintForm::DrawPreview() {
  if (!PixIO || !PixView1 || !CanDrawPreview()) return;
  const TIEPrintSettings s = Settings();
  PixIO->PreviewPrintImage(PixView1->GetFBitmap(), PixView1->GetClientWidth(), PixView1->GetClientHeight(), Printer(),
                           s.Left, s.Top, s.Right, s.Bottom, s.VerticalPos, s.HorizontalPos, s.Size, s.Width,
                           s.Height, s.Gamma);
  PixView1->Update();
}
