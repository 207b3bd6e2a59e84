#include "barcode/barhl.h"

#include <algorithm>

#include "platform/gbk.h"

namespace {

[[noreturn]] void Fail(const char* text) { throw EOverflow(text); }

}  // namespace

TCustomBarcode::TCustomBarcode(TComponent* owner) : TGraphicControl(owner), barcode_(new TLLBarcode) {
  SetBounds(0, 0, 69, 66);
}

TCustomBarcode::~TCustomBarcode() { delete barcode_; }

template <typename T>
void TCustomBarcode::Change(T& field, const T& value) {
  field = value;
  Repaint();
}

std::string TCustomBarcode::GetBar_Caption() const { return GbkToUtf8(barcode_->Params->InputCode); }

void TCustomBarcode::SetBar_Caption(const std::string& value) {
  std::string gbk = Utf8ToGbk(value);
  if (gbk.size() > size_t(BarMaxInput)) Fail("String exceeds maximum length");
  Change(barcode_->Params->InputCode, gbk);
}

std::string TCustomBarcode::GetBar_CodeAddon() const { return barcode_->Params->AddonCode; }

void TCustomBarcode::SetBar_CodeAddon(const std::string& value) {
  std::string digits;
  for (char c : value)
    if (c >= '0' && c <= '9') digits += c;
  if (digits.size() >= 5)
    digits.resize(5);
  else if (digits.size() >= 2)
    digits.resize(2);
  else
    digits.clear();
  Change(barcode_->Params->AddonCode, digits);
}

btCodeTypes TCustomBarcode::GetBar_CodeType() const { return barcode_->Params->CodeType; }
void TCustomBarcode::SetBar_CodeType(btCodeTypes value) { Change(barcode_->Params->CodeType, value); }

std::string TCustomBarcode::GetBar_Fontname() const { return barcode_->Params->Fontname; }
void TCustomBarcode::SetBar_Fontname(const std::string& value) { Change(barcode_->Params->Fontname, value); }

int TCustomBarcode::GetBar_Fontscaling() const { return barcode_->Params->Fontscaling; }

void TCustomBarcode::SetBar_Fontscaling(int value) {
  if (value < 20 || value > 200) Fail("Bar_Fontscaling must be in the range 20..200!");
  Change(barcode_->Params->Fontscaling, value);
}

int TCustomBarcode::GetBar_HeightPercent() const { return barcode_->Params->HeightPercent; }

void TCustomBarcode::SetBar_HeightPercent(int value) {
  if (value < 20 || value > 200) Fail("Bar_HeightPercent must be in the range 20..200!");
  Change(barcode_->Params->HeightPercent, value);
}

bool TCustomBarcode::GetBar_HighDensity() const { return barcode_->Params->HDCode; }
void TCustomBarcode::SetBar_HighDensity(bool value) { Change(barcode_->Params->HDCode, value); }

bool TCustomBarcode::GetBar_HumanReadable() const { return barcode_->Params->HReadable; }
void TCustomBarcode::SetBar_HumanReadable(bool value) { Change(barcode_->Params->HReadable, value); }

btCodeSizes TCustomBarcode::GetBar_ModuleWidth() const { return barcode_->Params->SCSize; }

void TCustomBarcode::SetBar_ModuleWidth(btCodeSizes value) {
  if (value > SC9) Fail("Bar_SC_Size must be in the range 0..9!");
  Change(barcode_->Params->SCSize, value);
}

btCodeRatio TCustomBarcode::GetBar_Ratio() const { return barcode_->Params->Ratio; }

void TCustomBarcode::SetBar_Ratio(btCodeRatio value) {
  if (value > Ratio_2) Fail("Bar_Ratio must be in the range 0..1 (Ratio_3 or Ratio_2)!");
  Change(barcode_->Params->Ratio, value);
}

btCodeRotate TCustomBarcode::GetBar_Rotation() const { return barcode_->Params->Rotate; }

void TCustomBarcode::SetBar_Rotation(btCodeRotate value) {
  if (value > rotate_270) Fail("Bar_Rotate must be in the range rotate_000..rotate_270!");
  Change(barcode_->Params->Rotate, value);
}

bool TCustomBarcode::GetBar_WidthReduce() const { return barcode_->Params->ReduceWidth; }
void TCustomBarcode::SetBar_WidthReduce(bool value) { Change(barcode_->Params->ReduceWidth, value); }

bool TCustomBarcode::GetBar_ZoomSize() const { return barcode_->Params->ZoomSize; }
void TCustomBarcode::SetBar_ZoomSize(bool value) { Change(barcode_->Params->ZoomSize, value); }

std::string TCustomBarcode::GetCode_Version() const { return "v3.22"; }

void TCustomBarcode::SetCode_Version(const std::string&) {
  if (!(ComponentState & csLoading)) Fail("Setting the BARVERSION property is not allowed.");
}

void TCustomBarcode::InternalPrint(TCanvas* Canvas, int X, int Y, TPoint* Size) {
  TPoint drawn;
  barcode_->ToCanvas(Canvas, X, Y, drawn);
  if (Size) *Size = drawn;
}

void TCustomBarcode::SetFrachtpostKundenNummerStellen(int n) {
  barcode_->Params->FrachtpostKundenNummerStellen = std::clamp(n, 4, 7);
}

TPoint TCustomBarcode::PaintBarcode() {
  TPoint size;
  InternalPrint(GetCanvas(), 0, 0, &size);
  return size;
}

void TCustomBarcode::Paint() {
  TPoint size = PaintBarcode();
  SetBounds(GetLeft(), GetTop(), size.x, size.y);
}
