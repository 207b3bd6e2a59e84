// TCustomBarcode: a graphic control that owns one barcode encoder and
// offers its parameters as checked properties. Every change repaints the
// control, and a paint sizes the control to the drawn barcode.
#pragma once

#include <string>

#include "barcode/barll.h"
#include "platform/controls.h"

// The component's names for the encoder's enumerations.
using btCodeTypes = lbtCodeTypes;
using btCodeSizes = lbtCodeSizes;
using btCodeRatio = lbtCodeRatio;
using btCodeRotate = lbtCodeRotate;

class TCustomBarcode : public TGraphicControl {
 public:
  explicit TCustomBarcode(TComponent* owner);
  ~TCustomBarcode() override;

  // Input text in UTF-8; it is kept in GBK, and more than 50 characters
  // (GBK bytes) are refused.
  std::string GetBar_Caption() const;
  void SetBar_Caption(const std::string& value);
  std::string GetBar_CodeAddon() const;
  // Keeps the digits: 5 or more give the first 5, 2 to 4 the first 2,
  // fewer none.
  void SetBar_CodeAddon(const std::string& value);
  btCodeTypes GetBar_CodeType() const;
  void SetBar_CodeType(btCodeTypes value);
  std::string GetBar_Fontname() const;
  void SetBar_Fontname(const std::string& value);
  int GetBar_Fontscaling() const;
  void SetBar_Fontscaling(int value);
  int GetBar_HeightPercent() const;
  void SetBar_HeightPercent(int value);
  bool GetBar_HighDensity() const;
  void SetBar_HighDensity(bool value);
  bool GetBar_HumanReadable() const;
  void SetBar_HumanReadable(bool value);
  btCodeSizes GetBar_ModuleWidth() const;
  void SetBar_ModuleWidth(btCodeSizes value);
  btCodeRatio GetBar_Ratio() const;
  void SetBar_Ratio(btCodeRatio value);
  btCodeRotate GetBar_Rotation() const;
  void SetBar_Rotation(btCodeRotate value);
  bool GetBar_WidthReduce() const;
  void SetBar_WidthReduce(bool value);
  bool GetBar_ZoomSize() const;
  void SetBar_ZoomSize(bool value);
  // Always "v3.22"; only a form resource being loaded may write it, and
  // what it writes is ignored.
  std::string GetCode_Version() const;
  void SetCode_Version(const std::string& value);

  // Draws at (X, Y) on any canvas; Size (when given) gets the drawn size.
  void InternalPrint(TCanvas* Canvas, int X, int Y, TPoint* Size);
  // Digits of the customer number in the parcel-post text, 4 to 7.
  void SetFrachtpostKundenNummerStellen(int n);

 protected:
  void Paint() override;
  // Draws on the control's own canvas; returns the drawn size.
  TPoint PaintBarcode();

 private:
  // Stores a value and repaints.
  template <typename T>
  void Change(T& field, const T& value);

  TLLBarcode* const barcode_;
};
