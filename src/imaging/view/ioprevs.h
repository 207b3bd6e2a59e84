// The save-parameters dialog: the caller's picture on the left, the same
// picture as it would come back from the file on the right, and the raw
// and encoded sizes, for one of eight formats (JPEG, TIFF, GIF, BMP, PCX,
// PNG, TGA, JPEG 2000). It edits the caller's parameter record and writes
// the active page's format back on OK or Apply. Created for one run by
// TPixIO::DoIOPreviews.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "imaging/core/iedefs.h"
#include "imaging/core/iemsg.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/ioprevparams.h"
#include "platform/forms.h"

class TButton;
class TCheckBox;
class TColorDialog;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TPageControl;
class TPanel;
class TPixIO;
class TPixProc;
class TPixView;
class TProgressBar;
class TSpeedButton;
class TTabSheet;
class TTrackBar;

// The dialog's pages; the tag of each sheet.
enum TIOPreviewPage {
  iopJPEG1 = 1,
  iopJPEG2,
  iopTIFF1,
  iopTIFF2,
  iopGIF1,
  iopGIF2,
  iopBMP1,
  iopPCX1,
  iopPNG1,
  iopTGA1,
  iopJ20001
};
constexpr int kIOPreviewPageCount = iopJ20001;

class TfIOPreviews : public TForm {
 public:
  explicit TfIOPreviews(TComponent* owner);
  ~TfIOPreviews() override;

  // Set by the caller before the dialog is shown.
  TIOParamsVals* IOParams = nullptr;  // not owned
  bool SimplifiedParamsDialogs = false;
  bool DefaultLockPreview = false;
  // Keeps the pages to show (adding the page of IOParams's file type with
  // ppAUTO); false when no page is left to show.
  bool SetPreviewParams(TPreviewParams pages);
  TPreviewParams PreviewParams() const { return pages_; }
  void SetLanguage(TMsgLanguage language);

  // The dialog's own operations.
  void ResetParameters();
  void ApplyParameters();
  // Writes the parameters into a stream, shows the measured size and
  // what the file gives back in `view`. A failing encoder is caught: its
  // message takes the place of the size and the view keeps the source.
  void ApplyAct(TPixView* view);
  int ActivePageTag() const;
  bool Ready() const { return ready_; }
  // The last preview's failure, empty when it worked.
  const std::string& PreviewError() const { return previewError_; }

  // Controls --------------------------------------------------------------------------
  TPixView *Pix1, *Pix2;
  TProgressBar* ProgressBar1;
  TLabel *Label1, *Label2;
  TButton *Button1, *Button2, *Button3, *Button4;
  TSpeedButton* SpeedButton1;
  TColorDialog* ColorDialog1;
  TPageControl* PageControl1;
  std::array<TTabSheet*, kIOPreviewPageCount + 1> TabSheets{};  // [1..11]
  // JPEG (full).
  TLabel *Label23, *Label26, *Label27, *Label57, *Label3, *Label24, *Label4, *Label25;
  TEdit *Edit22, *Edit23;
  TTrackBar* TrackBar13;
  TComboBox *ComboBox1, *ComboBox13;
  TCheckBox *CheckBox2, *CheckBox3;
  // JPEG (short).
  TLabel *Label72, *Label73, *Label75, *Label74, *Label76;
  TEdit* Edit16;
  TTrackBar* TrackBar2;
  // TIFF (full).
  TLabel *Label5, *Label6, *Label7, *Label19, *Label12, *Label13, *Label14, *Label15, *Label16, *Label8, *Label10;
  TLabel *Label9, *Label17, *Label11, *Label18;
  TComboBox *ComboBox2, *ComboBox3, *ComboBox4;
  TEdit *Edit1, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit2, *Edit3;
  TGroupBox* GroupBox1;
  // TIFF (short).
  TLabel *Label81, *Label82, *Label77, *Label79, *Label78, *Label80;
  TComboBox *ComboBox16, *ComboBox17;
  // GIF (full).
  TLabel *Label21, *Label20, *Label34, *Label35, *Label31, *Label32, *Label33, *Label22, *Label29, *Label28, *Label30;
  TComboBox* ComboBox5;
  TEdit *Edit9, *Edit10, *Edit11, *Edit12;
  TCheckBox *CheckBox4, *CheckBox5;
  TPanel *Panel3, *Panel4;
  // GIF (short).
  TLabel *Label87, *Label83, *Label85, *Label84, *Label86;
  TComboBox* ComboBox18;
  // BMP.
  TLabel *Label37, *Label38, *Label39, *Label41, *Label40, *Label42;
  TComboBox *ComboBox6, *ComboBox7;
  // PCX.
  TLabel *Label43, *Label44, *Label45, *Label47, *Label46, *Label48;
  TComboBox *ComboBox8, *ComboBox9;
  // PNG.
  TLabel *Label49, *Label54, *Label55, *Label56, *Label50, *Label52, *Label51, *Label53;
  TComboBox *ComboBox10, *ComboBox11, *ComboBox12;
  TPanel* Panel1;
  TCheckBox* CheckBox6;
  TGroupBox* GroupBox5;
  // TGA.
  TLabel *Label62, *Label63, *Label64, *Label65, *Label58, *Label60, *Label59, *Label61;
  TComboBox* ComboBox14;
  TPanel* Panel5;
  TCheckBox* CheckBox1;
  TEdit *Edit13, *Edit14;
  // JPEG 2000.
  TLabel *Label66, *Label71, *Label67, *Label69, *Label68, *Label70;
  TEdit* Edit15;
  TTrackBar* TrackBar1;
  TComboBox* ComboBox15;

  // The preview components (owned by the form).
  TPixIO* PreviewIO;
  TPixProc* PreviewProc;

  // The working values, one set for all pages.
  struct TValues {
    int JpegQuality = 80;
    TIOJPEGColorspace JpegColorspace = ioJPEG_YCbCr;
    TIOJPEGDctMethod JpegDct = ioJPEG_ISLOW;
    bool JpegOptimal = false, JpegProgressive = false;
    int JpegSmoothing = 0;
    double J2kRate = 1.0;
    TIOJ2000ColorSpace J2kColorSpace = ioJ2000_RGB;
    TIOTIFFCompression TiffCompression = ioTIFF_UNCOMPRESSED;
    int TiffImageIndex = 0;
    TIOTIFFPhotometInterpret TiffPhotometric = ioTIFF_RGB;
    int TiffX = 0, TiffY = 0;
    std::string TiffDocument, TiffDescription, TiffPageName;
    int TiffPageNumber = 0, TiffPageCount = 0;
    TTIFFLZWDecompFunc TiffLzwDecompress = nullptr;
    TTIFFLZWCompFunc TiffLzwCompress = nullptr;
    int GifImageIndex = 0, GifLeft = 0, GifTop = 0, GifDelay = 0;
    bool GifTransparent = false, GifInterlaced = false;
    TRGB GifTransparentColor{}, GifBackground{};
    TGIFLZWDecompFunc GifLzwDecompress = nullptr;
    TGIFLZWCompFunc GifLzwCompress = nullptr;
    int Bits = 8, Samples = 3;
    TIOBMPCompression BmpCompression = ioBMP_UNCOMPRESSED;
    int BmpChoice = 4;
    TIOPCXCompression PcxCompression = ioPCX_RLE;
    int PcxChoice = 3;
    int PngChoice = 2;
    bool PngInterlaced = false;
    TRGB PngBackground{};
    TIOPNGFilter PngFilter = ioPNG_FILTER_NONE;
    int PngCompression = 5;
    int TgaChoice = 2;
    TRGB TgaBackground{};
    bool TgaCompressed = true;
    std::string TgaName, TgaDescription;
  };
  const TValues& Values() const { return v_; }

  // The legal ranges of typed values.
  static constexpr int kMaxImageIndex = 1000;
  static constexpr int kMaxTiffPage = 65535;

 private:
  // Building (ioprevs_form.cpp).
  void BuildForm();
  void BuildJpegPages();
  void BuildTiffPages();
  void BuildGifPages();
  void BuildSmallPages();
  void WireHandlers();
  // Languages (ioprevs_lang.cpp).
  void SetCaptions(TMsgLanguage language);

  // Pages and values (ioprevs.cpp).
  void FormActivate();
  void PageControl1Change();
  void ReApply();
  void Progress(int percent);
  void OkClick();
  void ApplyClick();
  void FillTiffColours();
  void ShowRawSize(TLabel* label);
  TLabel* CompressedLabel(int tag) const;
  TLabel* RawLabel(int tag) const;

  // Handlers (ioprevs_params.cpp).
  void TrackBar13Change();
  void Edit22Change();
  void TrackBar2Change();
  void Edit16Change();
  void TrackBar1Change();
  void Edit15Change();
  void ComboBox2Click(TObject* sender);
  void ComboBox16Change();
  void ComboBox5Click();
  void ComboBox18Change();
  void ComboBox6Change();
  void ComboBox8Change();
  void ComboBox10Change();
  void ComboBox14Click();
  void ColourPanelClick(TPanel* panel);

  TValues v_;
  TPreviewParams pages_ = 0;
  bool ready_ = false;
  // Set by OnShow: the next activation is the first of this run.
  bool firstActivation_ = false;
  int progressDivisor_ = 1, progressOffset_ = 0;
  int lastTiffPhotometric_ = 2, lastTiffColours_ = 4;
  std::string previewError_;
  std::string paletteCancel_ = "&Cancel";
};
