// The common dialogs: open and save file, colour, font, printer setup,
// page setup and the folder browser. Each runs through the dialog service
// (dialogs.h): the program shows Qt's dialogs, tests answer them with
// TScriptedDialogs::AnswerDialog, acting as the user through the choice
// calls below (ChooseFiles, SetChoice ...). Whatever path the answer takes,
// the dialog completes a choice the same way (default extension, overwrite
// question, current folder).
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/kernel.h"

class TCommonDialog : public TComponent {
 public:
  explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}

  // Shows the dialog modally; true when the user confirmed.
  virtual bool Execute() = 0;

  int HelpContext = 0;
  bool Ctl3D = true;
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

  // The window title the dialog shows.
  virtual std::string DialogCaption() const = 0;
  // For the dialog service: shows the Qt dialog and applies the choice.
  virtual bool RunPlatformDialog() = 0;

 protected:
  // Raises OnShow, runs the dialog through the service, raises OnClose.
  bool RunThroughService();
};

// File dialogs ------------------------------------------------------------------------

enum : unsigned {
  ofReadOnly = 1u << 0,
  ofOverwritePrompt = 1u << 1,
  ofHideReadOnly = 1u << 2,
  ofNoChangeDir = 1u << 3,
  ofShowHelp = 1u << 4,
  ofNoValidate = 1u << 5,
  ofAllowMultiSelect = 1u << 6,
  ofExtensionDifferent = 1u << 7,
  ofPathMustExist = 1u << 8,
  ofFileMustExist = 1u << 9,
  ofCreatePrompt = 1u << 10,
  ofShareAware = 1u << 11,
  ofNoReadOnlyReturn = 1u << 12,
  ofNoTestFileCreate = 1u << 13,
  ofNoNetworkButton = 1u << 14,
  ofNoLongNames = 1u << 15,
  ofOldStyleDialog = 1u << 16,
  ofNoDereferenceLinks = 1u << 17,
  ofEnableIncludeNotify = 1u << 18,
  ofEnableSizing = 1u << 19,
  ofDontAddToRecent = 1u << 20,
  ofForceShowHidden = 1u << 21,
};
using TOpenOptions = unsigned;

// One entry of a "Description|*.a;*.b|..." filter.
struct TFileFilter {
  std::string Description;
  std::vector<std::string> Patterns;  // "*.a", "*.b"
};
// The entries of a filter text; a description without patterns is dropped.
std::vector<TFileFilter> ParseFileFilter(const std::string& filter);

class TOpenDialog : public TCommonDialog {
 public:
  explicit TOpenDialog(TComponent* owner);
  ~TOpenDialog() override;

  bool Execute() override;
  std::string DialogCaption() const override;
  bool RunPlatformDialog() override;

  std::string DefaultExt;  // without the dot
  std::string FileName;
  // The chosen files (several with ofAllowMultiSelect), full paths.
  TStrings* Files() { return files_; }
  std::string Filter;
  int FilterIndex = 1;  // one-based
  std::string InitialDir;
  TOpenOptions Options = ofHideReadOnly | ofEnableSizing;
  std::string Title;

  // The user's side. The folder the dialog opens in: InitialDir when it
  // exists, else the folder of FileName when it exists, else the current
  // folder.
  std::string StartFolder() const;
  // The user picks (or types) these names, relative to StartFolder unless
  // absolute, with the filter of that one-based index selected (0 keeps
  // the present one), and presses OK. False when the dialog would stay
  // open: a name that must exist does not, a folder is missing, or an
  // overwrite question was answered No.
  bool ChooseFiles(const std::vector<std::string>& names, int filterIndex = 0);

 protected:
  virtual bool IsSaveDialog() const { return false; }

 private:
  // The name completed as the platform completes it: made absolute and
  // given the default extension where the user typed none.
  std::string CompleteName(const std::string& typed) const;
  bool Acceptable(const std::string& path) const;
  TStrings* files_;
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;
  std::string DialogCaption() const override;

 protected:
  bool IsSaveDialog() const override { return true; }
};

// Colour and font -----------------------------------------------------------------------

class TColorDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  bool Execute() override { return RunThroughService(); }
  std::string DialogCaption() const override { return "颜色"; }
  bool RunPlatformDialog() override;

  TColor Color = clBlack;
};

class TFontDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  bool Execute() override { return RunThroughService(); }
  std::string DialogCaption() const override { return "字体"; }
  bool RunPlatformDialog() override;

  // Holds the font shown on entry and the font chosen on OK.
  TFont Font;
};

// Printer setup -------------------------------------------------------------------------

// Chooses the printer and the orientation of the program's printer object
// (printers.h). The choice fields are filled from that printer when the
// dialog runs and given back to it on OK.
class TPrinterSetupDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  bool Execute() override;
  std::string DialogCaption() const override { return "打印设置"; }
  bool RunPlatformDialog() override;

  // The user's side: index into Printer()->Printers() (-1 the default
  // printer) and portrait (false) or landscape (true).
  int PrinterIndex = -1;
  bool Landscape = false;
};

// Page setup ----------------------------------------------------------------------------

// Paper codes of the device mode.
constexpr int16_t DMPAPER_LETTER = 1;
constexpr int16_t DMPAPER_LEGAL = 5;
constexpr int16_t DMPAPER_A3 = 8;
constexpr int16_t DMPAPER_A4 = 9;
constexpr int16_t DMPAPER_A5 = 11;
constexpr int16_t DMPAPER_B5 = 13;
constexpr int16_t DMPAPER_USER = 256;
constexpr int16_t DMORIENT_PORTRAIT = 1;
constexpr int16_t DMORIENT_LANDSCAPE = 2;
constexpr uint32_t DM_ORIENTATION = 0x1, DM_PAPERSIZE = 0x2, DM_PAPERLENGTH = 0x4, DM_PAPERWIDTH = 0x8;

// Paper of a code in hundredths of a millimetre, short side first; false
// for codes outside the table (0, DMPAPER_USER and unknown ones).
bool PaperSizeOfCode(int code, int& width, int& length);
// The code of a paper within a millimetre of the given size (either way
// round), else DMPAPER_USER.
int PaperCodeOfSize(int width, int length);

// The printer settings that travel in a global memory block.
struct DEVMODEA {
  char dmDeviceName[32];
  uint16_t dmSpecVersion;
  uint16_t dmDriverVersion;
  uint16_t dmSize;
  uint16_t dmDriverExtra;
  uint32_t dmFields;
  int16_t dmOrientation;
  int16_t dmPaperSize;
  int16_t dmPaperLength;  // tenths of a millimetre
  int16_t dmPaperWidth;
  int16_t dmScale;
  int16_t dmCopies;
  int16_t dmDefaultSource;
  int16_t dmPrintQuality;
  int16_t dmColor;
  int16_t dmDuplex;
  int16_t dmYResolution;
  int16_t dmTTOption;
  int16_t dmCollate;
  char dmFormName[32];
};

constexpr uint32_t PSD_DEFAULTMINMARGINS = 0x0, PSD_MINMARGINS = 0x1, PSD_MARGINS = 0x2,
                   PSD_INTHOUSANDTHSOFINCHES = 0x4, PSD_INHUNDREDTHSOFMILLIMETERS = 0x8,
                   PSD_DISABLEMARGINS = 0x10, PSD_DISABLEPRINTER = 0x20, PSD_DISABLEORIENTATION = 0x100,
                   PSD_RETURNDEFAULT = 0x400, PSD_DISABLEPAPER = 0x200;

struct PAGESETUPDLG {
  uint32_t lStructSize = sizeof(PAGESETUPDLG);
  HWND hwndOwner = nullptr;
  HGLOBAL hDevMode = 0;   // DEVMODEA, made by the dialog when 0
  HGLOBAL hDevNames = 0;  // the printer's name as text
  uint32_t Flags = 0;
  TPoint ptPaperSize;  // as the paper lies (landscape swaps)
  TRect rtMinMargin;
  TRect rtMargin;  // Left, Top, Right, Bottom
};

// The page setup dialog over the default printer (or the PDF output when
// no printer is installed). With PSD_RETURNDEFAULT nothing is shown: a new
// device mode and device names of the default printer are returned (both
// handles must be 0 on entry). Lengths are in hundredths of a millimetre
// unless PSD_INTHOUSANDTHSOFINCHES is set. False when cancelled or when the
// request is malformed.
bool PageSetupDlg(PAGESETUPDLG* request);

class TPageSetupDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  bool Execute() override { return RunThroughService(); }
  std::string DialogCaption() const override { return "页面设置"; }
  bool RunPlatformDialog() override;

  // The user's side; lengths in hundredths of a millimetre.
  int PaperSize = DMPAPER_A4;  // a paper code; DMPAPER_USER uses the two sizes
  int PaperWidth = 21000;      // short side
  int PaperLength = 29700;
  int Orientation = DMORIENT_PORTRAIT;
  int MarginLeft = 2500, MarginTop = 2500, MarginRight = 2500, MarginBottom = 2500;
  // The printer the page is set up for (its name).
  std::string PrinterName;
  // Picks a paper by code, filling PaperWidth and PaperLength.
  void SetPaper(int code);
};

// Folder browser ------------------------------------------------------------------------

class TFolderDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  bool Execute() override { return RunThroughService(); }
  std::string DialogCaption() const override { return Caption; }
  bool RunPlatformDialog() override;

  std::string Caption = "Select Directory";
  std::string Root;       // the browser does not go above it; empty: anywhere
  std::string Directory;  // shown first, then the chosen folder
  // The user's side: picks a folder (relative to Root or the current
  // folder unless absolute). False when it does not exist or lies outside
  // Root.
  bool ChooseFolder(const std::string& folder);
};

// Asks for a folder; on OK `directory` is the chosen one.
bool SelectDirectory(const std::string& caption, const std::string& root, std::string& directory);
