// The print forms of one picture: the dialog with margin, position, size,
// gamma and unit controls beside a live page preview (Tfieprnform2), and
// the maximised preview window with the same settings in a tool bar and a
// menu (tfieprnform1). Both lay the picture of their TPixIO out on the
// default printer's page: PreviewPrintImage for the preview, PrintImage
// for printing. Made by TPixIO::DoPrintPreviewDialog for one run.
#pragma once

#include <array>
#include <string>

#include "imaging/core/iemsg.h"
#include "imaging/io/pixio.h"
#include "platform/forms.h"

class TButton;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TMainMenu;
class TMenuItem;
class TPanel;
class TPixView;
class TPrinterSetupDialog;
class TSpeedButton;
class TToolBar;
class TToolButton;
class TUpDown;

// Every setting in inches, as the layout takes it.
struct TIEPrintSettings {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
  TIEVerticalPos VerticalPos = ievpCENTER;
  TIEHorizontalPos HorizontalPos = iehpCENTER;
  TIESize Size = iesFITTOPAGE;
  double Width = 0, Height = 0;
  double Gamma = 1;
};

// A number typed into an edit, or `absent` when the text is none.
double IEPrintEditValue(const std::string& text, double absent);
// Margins and the specified size limited to a page of pageW x pageH
// inches: nothing below 0, each margin inside the page, the two margins of
// a side together no wider than the page, the size no larger than it.
TIEPrintSettings IEClampToPage(TIEPrintSettings s, double pageW, double pageH);

// What both forms share: the settings' controls, reading them, and the
// printing and preview they drive.
class TIEPrintForm : public TForm {
 public:
  explicit TIEPrintForm(TComponent* owner);

  // Set by the caller before ShowModal.
  TPixIO* PixIO = nullptr;
  TIEDialogsMeasureUnit DialogsMeasureUnit = ieduInches;
  // The print job's title; empty.
  std::string PrintJobTitle;

  // The settings as the controls hold them, in inches, limited to the
  // printer's page.
  TIEPrintSettings Settings();
  // The edits measure centimetres.
  bool InCm() const { return DialogsMeasureUnit == ieduCm || DialogsMeasureUnit == ieduSelectableDefCm; }
  // The up-down step of an edit: 0.01 (0.1 for the gamma) up or down,
  // never below 0; the text written back redraws.
  void incdecmargins(TEdit* edit, bool up);
  // Prints the laid-out picture on the printer.
  void Print();
  // Redraws the page preview.
  void DrawPreview();

  // Margin edits by the side they set (which EditN that is differs).
  TEdit *LeftEdit = nullptr, *TopEdit = nullptr, *RightEdit = nullptr, *BottomEdit = nullptr;
  // Edit5 and Edit6 the specified width and height, Edit7 the gamma.
  std::array<TEdit*, 8> Edits{};          // [1..7]
  std::array<TUpDown*, 8> UpDowns{};      // [1..7]
  std::array<TSpeedButton*, 10> Positions{};  // [1..9], rows top, centre, bottom
  TComboBox* ComboBox1 = nullptr;
  TPixView* PixView1 = nullptr;
  TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;

 protected:
  // The edits with their up-downs at (x, y) of `parent`.
  TEdit* MakeEdit(int n, TWinControl* parent, int x, int y, const std::string& text);
  // The nine position buttons, 3 x 3 from (x, y), `size` apart.
  void MakePositionButtons(TWinControl* parent, int x, int y, int size);
  void MakeSizeCombo(TWinControl* parent, int x, int y, int w);
  void MakePreviewView(TWinControl* parent);
  // Every change of an edit or a position button redraws.
  void WireSettings();
  void SizeModeChanged();
  // The layout handler of every change, before it redraws.
  virtual bool CanDrawPreview() { return true; }
  virtual void EnableSizeControls(bool enabled);
};

class Tfieprnform2 : public TIEPrintForm {
 public:
  explicit Tfieprnform2(TComponent* owner);
  void SetLanguage(TMsgLanguage language);

  void FormActivate(TObject* Sender);
  void ComboBox2Change(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Button4Click(TObject* Sender);

  TGroupBox *GroupBox1, *GroupBox2, *GroupBox3, *GroupBox4, *GroupBox5, *GroupBox6;
  TLabel *Label1, *Label2, *Label3, *Label4;  // top, left, right, bottom
  TLabel *Label5, *Label6, *Label7, *Label8;  // width, height and their units
  TLabel *Label9, *Label10;                   // gamma value, units
  TComboBox* ComboBox2;
  TButton *Button1, *Button2, *Button4;

 protected:
  void EnableSizeControls(bool enabled) override;

 private:
  void SetUnitCaptions();
  TMsgLanguage language_ = msSystem;
  // The size mode is reset on the first activation of each showing only,
  // so a printer setup in between keeps what the user chose.
  bool activatedSinceShow_ = false;
};

class tfieprnform1 : public TIEPrintForm {
 public:
  explicit tfieprnform1(TComponent* owner);
  void SetLanguage(TMsgLanguage language);

  void FormActivate(TObject* Sender);
  void FormResize(TObject* Sender);
  void PrintSetupClick(TObject* Sender);
  void PrintClick(TObject* Sender);
  void CloseClick(TObject* Sender);

  TPanel* Panel1;  // the tool bar
  TSpeedButton *SpeedButton10, *SpeedButton11, *SpeedButton12;  // print setup, print, close
  TMainMenu* MainMenu1;
  TMenuItem *File1, *Print1, *PrintSetup1, *Close1;
  TToolBar* MenuBar1;
  TToolButton* TBFile;

 protected:
  bool CanDrawPreview() override;

 private:
  bool activatedSinceShow_ = false;
};
