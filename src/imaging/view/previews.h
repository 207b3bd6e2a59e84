// The processing preview dialog: a source view and a result view over one
// page per effect (contrast, HSL, RGB, user filter, HSV, equalisation, bump
// map, lens, wave, morphological filters, rotation, Fourier filter). Each
// parameter change re-applies the page's effect to the visible part of the
// source at its zoom (a snapshot restored by one undo step), so previews
// stay cheap; OK applies the effect to the source view's whole picture,
// which the caller then takes back. Created by TPixProc::DoPreviews for
// one run.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "imaging/core/iedefs.h"
#include "imaging/core/iemsg.h"
#include "imaging/proc/iefilter.h"
#include "imaging/proc/pixproc.h"
#include "platform/forms.h"

class TButton;
class TCheckBox;
class TCheckListBox;
class TEdit;
class TGroupBox;
class TLabel;
class TListBox;
class TOpenDialog;
class TPageControl;
class TPixView;
class TProgressBar;
class TRulerBox;
class TSaveDialog;
class TSpeedButton;
class TTabSheet;
class TTrackBar;
class THistogramBox;
class THSVBox;
class TIEFtImage;

// Page tags (TabSheetN has tag N).
enum TPreviewPage {
  ppgContrast = 1,
  ppgHSL,
  ppgRGB,
  ppgUserFilter,
  ppgHSV,
  ppgEqualization,
  ppgBumpMap,
  ppgLens,
  ppgWave,
  ppgMorph,
  ppgRotate,
  ppgFFT
};

// The element of TPreviewEffects that shows the page of a tag.
TPreviewEffects PreviewPageEffect(int tag);

class TfPreviews : public TForm {
 public:
  explicit TfPreviews(TComponent* owner);
  ~TfPreviews() override;

  // Set by the caller before ShowModal.
  TPreviewEffects PreviewEffects = peAll;
  bool DefaultLockPreview = true;
  TProgressRec Progress;
  // The page to open on; nullptr opens the first visible page.
  TTabSheet* InitialPage = nullptr;
  void SetLanguage(TMsgLanguage language);

  // The dialog's own operations, public for the caller and for reading.
  void ResetParameters(bool all);
  void CopyOrg();
  void CopyModToOrg();
  void LoadFilt();
  int ActivePageTag() const;

  // Controls -------------------------------------------------------------------------
  TPixView* Pix1;
  TPixView* Pix2;
  TLabel *Label1, *Label2;
  TButton *Button1, *Button2, *Button3, *Button6;
  TSpeedButton* SpeedButton1;
  TPageControl* PageControl1;
  std::array<TTabSheet*, 13> TabSheets{};  // [1..12]
  TOpenDialog* OpenDialog1;
  TSaveDialog* SaveDialog1;
  // Contrast
  TLabel *Label3, *Label22;
  TEdit *Edit1, *Edit21;
  TTrackBar *TrackBar1, *TrackBar12;
  // HSL
  TLabel *Label4, *Label5, *Label6;
  TEdit *Edit4, *Edit2, *Edit3;
  TTrackBar *TrackBar2, *TrackBar3, *TrackBar5;
  // RGB
  TLabel *Label7, *Label8, *Label9;
  TEdit *Edit7, *Edit6, *Edit5;
  TTrackBar *TrackBar6, *TrackBar7, *TrackBar8;
  // User filter: kernel edits by index (row x 3 + column), [9] the divisor
  TGroupBox *GroupBox1, *GroupBox3;
  std::array<TEdit*, 10> FilterEdits{};
  TLabel* Label15;
  TListBox* ListBox1;
  TButton *Button4, *Button5;
  // HSV
  TLabel *Label10, *Label11, *Label12, *Label13, *Label14;
  TEdit *Edit19, *Edit18, *Edit17;
  TTrackBar *TrackBar9, *TrackBar10, *TrackBar11;
  THSVBox *HSVBox3, *HSVBox1;
  // Equalization
  TGroupBox* GroupBox4;
  THistogramBox* HistogramBox1;
  TRulerBox *RulerBox1, *RulerBox2;
  TLabel *Label16, *Label17, *Label18, *Label19, *Label20, *Label21;
  TCheckListBox* CheckListBox1;
  TSpeedButton* SpeedButton3;
  // Bump map
  TGroupBox* GroupBox2;
  TLabel *Label27, *Label28, *Label23, *Label24, *Label26, *Label25;
  TEdit *Edit22, *Edit23, *Edit24, *Edit25, *Edit26;
  THSVBox* HSVBox2;
  // Lens
  TGroupBox* GroupBox5;
  TLabel *Label32, *Label33, *Label29, *Label30, *Label31;
  TEdit *Edit27, *Edit28, *Edit29, *Edit30, *Edit31;
  // Wave
  TGroupBox* GroupBox6;
  TLabel *Label34, *Label35, *Label36;
  TEdit *Edit32, *Edit33, *Edit34;
  TCheckBox* CheckBox2;
  // Morph filters
  TGroupBox* GroupBox7;
  TLabel *Label37, *Label38;
  TListBox* ListBox2;
  TEdit* Edit35;
  // Rotate
  TLabel *LabelRotate, *LabelFlip;
  TTrackBar* TrackBarRotate;
  TEdit* EditRotate;
  TSpeedButton *SpeedButtonFlipHor, *SpeedButtonFlipVer;
  // FFT
  TGroupBox* GroupBox8;
  TPixView* PixView1;
  TProgressBar* ProgressBar1;
  TButton *Clear, *Button7;
  TCheckBox* CheckBox1;
  TPixProc* PixProc2;

  // The working values ------------------------------------------------------------------
  struct TParams {
    int Contrast = 0, Brightness = 0, MeanR = 128, MeanG = 128, MeanB = 128;
    int HslHue = 0, HslSat = 0, HslLum = 0;
    int Red = 0, Green = 0, Blue = 0;
    TGraphFilter Filter{};
    int HsvHue = 0, HsvSat = 0, HsvVal = 0;
    TRGB ThresholdLow{}, ThresholdHigh{}, EqualizeLow{}, EqualizeHigh{};
    int BumpLeft = 0, BumpTop = 0, BumpWidth = 0, BumpHeight = 0, BumpQuantity = 0;
    TRGB BumpColour{};
    int LensLeft = 0, LensTop = 0, LensWidth = 0, LensHeight = 0;
    double Refraction = 1.7;
    int Amplitude = 10, WaveLength = 10, Phase = 0;
    bool Reflective = false;
    int MorphFilter = 0, MorphWindow = 1;
    double Angle = 0;
  };
  const TParams& Params() const { return p_; }
  bool Ready() const { return ready_; }
  // The side of the largest square the Fourier page transforms.
  static constexpr int kMaxFourierSide = 2048;

 private:
  // Building (previews_form.cpp).
  void BuildForm();
  void BuildContrastPages();
  void BuildFilterPage();
  void BuildEqualizationPage();
  void BuildGeometryPages();
  void BuildFourierPage();
  void WireHandlers();

  // Effects (previews_apply.cpp).
  void FormActivate();
  void PageControl1Change();
  void ApplyAct(TPixView* view);
  void ApplyFourier(TPixView* view);
  // The Fourier image of a thumbnail of the source (at most 128 pixels).
  void BuildFourierThumbnail();
  void ReApply();
  // A re-application when Lock preview is down.
  void ReApplyWhenLocked();
  void SetSourceMouseMode();
  void ResetPage(int tag);
  void OkClick();

  // Parameter handlers (previews_params.cpp).
  void TrackBar1Change();
  void TrackBar2Change();
  void TrackBar6Change();
  void TrackBar9Change();
  void Edit1Change();
  void Edit4Change();
  void Edit7Change();
  void Edit19Change();
  void HSVBox3Change();
  void Edit8Change(TObject* sender);
  void ListBox1Click();
  void Button4Click();
  void Button5Click();
  void CheckListBox1Click();
  void RulerPosChange(TRulerBox* ruler, int grip);
  void Edit22Change();
  void HSVBox2Change();
  void Edit27Change();
  void Edit32Change();
  void Edit35Change();
  void TrackBarRotateChange();
  void EditRotateChange();
  void Pix2MouseUp(TMouseButton button, int x, int y);

  TParams p_;
  bool ready_ = false;
  bool final_ = false;
  bool filterEdits_ = false;
  // On while the dialog itself refreshes the result, so that the source
  // view's changes meanwhile do not start another refresh.
  bool busy_ = false;
  // On while a typed angle moves the rotation track bar.
  bool typingAngle_ = false;
  // Set by OnShow: the next activation is the first of this run.
  bool firstActivation_ = false;
  std::array<bool, 13> pageReset_{};
  std::unique_ptr<TIEFtImage> ftImage_;
};
