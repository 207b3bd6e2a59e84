// The barcode batch window: the user sets up one barcode, previews it and
// writes a barcode picture for every record of the card-holder table into
// its BARCODE field. Created once at start-up, owned by the application,
// shown and hidden.
#pragma once

#include <string>

#include "barcode/barcode.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/spin.h"
#include "platform/stdctrls.h"

class TFormBarcode : public TForm {
 public:
  explicit TFormBarcode(TComponent* owner);
  ~TFormBarcode() override;

  TLabel *Label1, *Label2, *Label3, *Label4, *Label5;
  TEdit* Edit1;  // the barcode's text
  TSpinEdit* SE_HeightPerCent;
  TRadioGroup* RGRotation;
  TEdit* Edit2;  // the add-on digits
  TRadioGroup* RGCodetyp;
  TRadioGroup* RGModulewidth;
  TCheckBox *CB_HighDensity, *CB_WidthReduce, *CB_HumanReadable, *CB_ZoomSize;
  TScrollBox* ScrollBox1;
  TBarcode* Barcode1;  // the preview, the barcode the batch stores
  TComboBox* ComboBox1;
  TButton *PrintBtn, *ExitBtn;

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void ComboBox1Change(TObject* Sender);
  void PrintBtnClick(TObject* Sender);
  void ExitBtnClick(TObject* Sender);

  // The field of the caption the combo box shows; empty when its text is
  // none of the captions.
  std::string FieldShownInCombo() const;

 private:
  void WireControls();
};

extern TFormBarcode* FormBarcode;

// The field chosen in the combo box; kept while the program runs.
extern std::string BarcodeFieldName;

// Draws the barcode of `barcode` into `bitmap` at `dpi` dots per inch, so
// its modules are the module width in that device's whole pixels; the
// bitmap becomes the drawn size, black on white.
void RenderBarcodeAt(TBarcode* barcode, TBitmap& bitmap, int dpi);
