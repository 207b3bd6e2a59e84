// TPixProc: the component through which a picture is edited in place.
//
// It does not own the picture. It works on a working bitmap (a 24-bit or
// 1-bit platform bitmap) that belongs to an attached image view, an
// attached TImage, or a bitmap handed to it directly, and it supplies what
// every editing operation shares: the pixel-format check, the undo
// snapshot taken first, the region to work on (the view's selection
// rectangle and mask), the progress event and the refresh afterwards. The
// pixel work is done by free routines (the workers) that take the bitmap
// and a rectangle.
//
// Undo and redo (pixproc_undo.cpp) keep whole-picture snapshots with a
// caption each; indexes count from the newest snapshot.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iedefs.h"
#include "imaging/core/iemsg.h"
#include "imaging/proc/iefilter.h"
#include "imaging/proc/ieftimage.h"
#include "imaging/proc/iefill.h"
#include "imaging/proc/iehistogram.h"
#include "imaging/proc/ierotate.h"
#include "imaging/proc/pixproc_undo.h"
#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/sysutils.h"

class TForm;
class TIEMask;
class TIEView;
class TImage;

// Options of the processing-preview dialog (a set).
enum : unsigned { prppDefaultLockPreview = 1u << 0 };
using TPRPreviewsParams = unsigned;

// Pages of the processing-preview dialog (a set; bit n is element n).
enum : uint16_t {
  peAll = 1u << 0,
  peContrast = 1u << 1,
  peHSV = 1u << 2,
  peHSL = 1u << 3,
  peRGB = 1u << 4,
  peUserFilt = 1u << 5,
  peEqualize = 1u << 6,
  peBumpMap = 1u << 7,
  peLens = 1u << 8,
  peWave = 1u << 9,
  peMorph = 1u << 10,
  peRotate = 1u << 11,
  peFFT = 1u << 12,
};
using TPreviewEffects = uint16_t;

using TIEPreviewEvent = std::function<void(TObject* Sender, TForm* PreviewForm)>;

// Declared for the filter routines; nothing raises it.
CW_DECLARE_EXCEPTION(EFilterInvalid, Exception)

// A worker: processes the rectangle [x1, x2) x [y1, y2) of a bitmap.
using TPixProcWorker = std::function<void(TBitmap* bitmap, int x1, int y1, int x2, int y2)>;

// An undo caption: the operation's name, then one blank and its integer
// arguments in decimal separated by commas ("HSLvar 10,-5,0").
std::string PixProcCaption(const std::string& name, std::initializer_list<int64_t> arguments = {});

class TPixProc : public TComponent {
 public:
  explicit TPixProc(TComponent* owner);
  ~TPixProc() override;

  // Attachment ----------------------------------------------------------------------
  // A view: its bitmap becomes the working bitmap, its bitmap changes are
  // followed and its selection read; an attached TImage is dropped. Nil
  // only detaches (the working bitmap stays until its owner goes).
  void SetAttachedPix(TIEView* view);
  TIEView* GetAttachedPix() const { return attachedPix_; }
  // A TImage: its picture's bitmap becomes the working bitmap and a view
  // is dropped. Nil only forgets the TImage.
  void SetTImage(TImage* image);
  TImage* GetAttachedTImage() const { return attachedTImage_; }
  // A bitmap of the caller's (not owned) becomes the working bitmap and
  // view and TImage are dropped. Nil clears the working bitmap unless a
  // view or TImage is attached.
  void SetAttachedBitmap(TBitmap* bitmap);
  // The picture being edited, or nullptr.
  TBitmap* GetWorkingBitmap() const { return bitmap_; }

  // The view's listener: re-reads the view's bitmap, or forgets the view
  // when it is being destroyed.
  void OnBitmapChange(TObject* Sender, bool Destroying);

  // Common services ----------------------------------------------------------------
  // Tells the view (Update, then ImageChange) or the bitmap's owner that
  // the picture changed.
  void Update();
  // The fill colour of cleared and enlarged areas: the view's background
  // when a view is attached, else the component's own.
  TColor GetReBackground() const;
  void SetReBackground(TColor colour);
  // The attached view's alpha channel when it has one, else nullptr.
  TIEMask* GetAlphaChannel() const;
  // The region an operation works on: [x1, x2) x [y1, y2), the selection
  // polygon and the view's selection mask. False without a selection.
  virtual bool GetReSel(int& x1, int& y1, int& x2, int& y2, const TPoint*& PolySel, int& PolySelCount,
                        TIEMask*& Mask);

  TFont* GetPreviewFont() const { return previewFont_.get(); }
  // Copies the font.
  void SetPreviewFont(TFont* font);
  TPRPreviewsParams GetPRPreviewParams() const { return PreviewsParams; }
  void SetPRPreviewParams(TPRPreviewsParams params) { PreviewsParams = params; }

  // Undo and redo ------------------------------------------------------------------
  // A snapshot of the working bitmap (and its alpha channel); the oldest
  // are dropped first so that at most UndoLimit remain.
  virtual void SaveUndo();
  void SaveUndoCaptioned(const std::string& caption);
  // Copies snapshot i (0 = newest) back; the lists stay as they are.
  virtual void Undo();
  virtual void UndoAt(int i);
  virtual void ClearRedo();
  virtual void Redo();
  virtual void RedoAt(int i);
  virtual void SaveRedo();
  void SaveRedoCaptioned(const std::string& caption);
  void ClearUndo();
  void ClearUndoAt(int i);
  void ClearAllUndo();
  void ClearAllRedo();
  bool GetCanUndo() const { return undo_.Count() > 0; }
  int GetUndoCount() const { return undo_.Count(); }
  int GetRedoCount() const { return redo_.Count(); }
  std::string GetUndoCaptions(int i) const { return undo_.Caption(i); }
  void SetUndoCaptions(int i, const std::string& caption) { undo_.SetCaption(i, caption); }
  std::string GetRedoCaptions(int i) const { return redo_.Caption(i); }

  // Colour depth (whole picture, selection ignored) -------------------------------
  // n > 2: at most n colours through the quantiser, still 24-bit; n <= 2:
  // ordered dithering to 1 bit.
  void ConvertTo(int n);
  // As ConvertTo; the palette receives the colours used (the quantiser's,
  // or black then white for n <= 2), as many as it holds.
  void ConvertToPalette(int n, std::span<TRGB> palette);
  void ConvertToBWOrdered();
  // 1 bit, white where the gray level reaches t (-1: that of the mean colour).
  void ConvertToBWThreshold(int t);
  // A 1-bit picture to 24 bits.
  void ConvertTo24Bit();
  // The palette receives the colours the quantiser chooses for n colours
  // (no more than it holds); the picture is not changed.
  void CalcImagePalette(std::span<TRGB> palette, int n);

  // Colour and tone adjustments (the selection's region) ----------------------------
  // Contrast around the whole picture's mean colour; needs at least 2
  // pixels one way.
  void Contrast(int c);
  void HSLvar(int hue, int saturation, int lightness);
  void HSVvar(int hue, int saturation, int value);
  void IntensityRGBall(int r, int g, int b);
  void ConvertToGray();
  // Blends the other picture, stretched to the region, in at percent.
  void Merge(TBitmap* other, int percent);
  void CastColorRange(const TRGB& first, const TRGB& last, const TRGB& cast);
  void Threshold(const TRGB& downLimit, const TRGB& upLimit, const TRGB& downValue, const TRGB& upValue);
  void HistEqualize(const TRGB& low, const TRGB& high);
  void HistAutoEqualize();
  // Also inverts 1-bit pictures.
  void Negative();
  // Read only, over the selection's rectangle (the mask's shape ignored).
  void GetHistogram(THistogram& histogram);
  // 2 for a 1-bit picture, 0 without one or for other formats.
  int CalcImageNumColors();

  // Colour channels as gray pictures (whole picture, no undo) -----------------------
  // New pictures the caller owns; nullptr unless the picture is 24-bit.
  TBitmap* GetRGBChannel(int channel);
  TBitmap* GetHSVChannel(int channel);
  // Into the caller's bitmaps, each made 24-bit at the picture's size.
  void GetRGBChannelAll(TBitmap* red, TBitmap* green, TBitmap* blue);
  void GetHSVChannelAll(TBitmap* hue, TBitmap* saturation, TBitmap* value);

  // Rotation, mirroring, canvas size (whole picture) --------------------------------
  // Degrees, counter-clockwise; uncovered areas take Background.
  void Rotate(double angle, bool antialias);
  void Flip(TFlipDir direction);
  // New areas take Background; the view's alpha channel is removed.
  void ImageResize(int width, int height);

  // Fills, gamma, measurements ------------------------------------------------------
  void Fill(const TRGB& color);
  // One mark in every spacing + 1 columns of every spacing + 1 rows.
  void PaintMark(int spacing, const TRGB& color);
  void GammaCorrect(double gamma, TIEChannels channels);
  // Density profiles of the selection's rectangle (the mask's box with a
  // mask, its shape ignored): one entry per row and per column.
  void CalcDensityHistogram(std::span<int> RowDensity, std::span<int> ColumnDensity, int RowScale,
                            int ColumnScale);
  // Compares the whole picture with another; false, with the statistics
  // untouched, unless both are 24-bit and of the same size.
  bool ComputeImageEquality(TBitmap* Other, double& PsnrMin, double& PsnrMax, double& MseMin, double& MseMax,
                            double& RmseMin, double& RmseMax, double& MaxDiffMin, double& MaxDiffMax,
                            double& MaeMin, double& MaeMax);

  // Size ------------------------------------------------------------------------------
  // Resamples the picture (and its alpha channel) to the new size; a size
  // below 0 follows the other one keeping the aspect ratio, both below 0
  // change nothing. 1-bit pictures become 24-bit grey shares.
  void Resample(int NewWidth, int NewHeight, TResampleFilter Filter);

  // Clipboard and selection editing ------------------------------------------------
  // The clipboard carries pictures as CF_DIB; a busy clipboard skips the
  // transfer, and a clipboard without a readable DIB pastes nothing.
  void CopyToClipboard();
  // The selection's rectangle, or with a mask its box holding the masked
  // pixels; the whole picture without a selection.
  void SelCopyToClip();
  // SelCopyToClip, then the selected area takes Background; nothing at all
  // without a selection.
  void SelCutToClip();
  // The picture becomes the clipboard's (its size and pixel format too).
  void PasteFromClipboard();
  // Draws the clipboard's picture at (x, y): client pixels when the view
  // selects in client pixels, else bitmap pixels.
  void PointPasteFromClip(int x, int y);
  // Stretches the clipboard's picture into the selection's rectangle;
  // PasteFromClipboard without a selection.
  void SelPasteFromClipStretch();
  // The whole picture takes Background.
  void Clear();
  // The pixels of the view's selection mask take Background.
  void ClearSel();
  // The picture becomes the mask's box holding the masked pixels; the
  // view's alpha channel goes.
  void CropSel();

  // Filters and effects (the selection, as the editing template runs it) ----------
  // The 3 x 3 convolution; undo caption "ApplyFilter" for presets too.
  void ApplyFilter(const TGraphFilter& filter);
  void ApplyFilterPreset(TIEFilterPresets preset);
  // A coloured spot light across the picture's relief; mix is the percent
  // of the picture kept.
  void BumpMapping(int lightX, int lightY, int lightWidth, int lightHeight, int mix, TRGB colour);
  void Lens(int x, int y, int width, int height, double refraction);
  void Wave(int amplitude, int waveLength, int phase, bool reflective);

  // Morphology and noise removal -----------------------------------------------------
  // Every pixel takes the colour of the brightest (Maximum) or darkest
  // (Minimum) pixel of its (2 WindowSize + 1) square; Opening is Minimum
  // then Maximum, Closing the reverse. 24-bit pictures only.
  void Maximum(int WindowSize);
  void Minimum(int WindowSize);
  void Opening(int WindowSize);
  void Closing(int WindowSize);
  // 1-bit pictures: pixels of colour Color (set bits when not 0) with fewer
  // than Size neighbours of that colour take the other one. Size 0: nothing.
  void RemoveIsolatedPixels(int Color, int Size);
  // 1-bit pictures: the kFill noise filter (3 x 3 windows, connected, strict
  // OFF rule); Invert treats clear pixels as the picture. Iterations 0: nothing.
  void RemoveNoise(int Iterations, bool Invert);

  // The processing preview dialog on the selection's box (the whole
  // picture without one), showing the given pages. On OK the result goes
  // back: only the masked pixels when the size stayed, the whole picture
  // when the effect changed the size. False on Cancel, and without a
  // 24-bit picture of at least 2 pixels one way.
  bool DoPreviews(TPreviewEffects pages);

  // Fourier images ------------------------------------------------------------------
  // The transform of the picture (both sizes below 0) or of a stretched
  // copy (a size below 0 follows the other); nullptr without a pf24bit
  // picture or for an empty size. The image reports through OnProgress.
  std::unique_ptr<TIEFtImage> FTCreateImage(TIEFtImageType ImageType, int NewWidth, int NewHeight);
  // The inverse transform, or the spectrum, becomes the picture (no undo).
  void FTConvertFrom(const TIEFtImage& FtImage);
  void FTDisplayFrom(const TIEFtImage& FtImage);

  // Properties ----------------------------------------------------------------------
  bool AutoUndo = true;
  TMsgLanguage MsgLanguage = msSystem;
  TPRPreviewsParams PreviewsParams = 0;
  TIEPreviewEvent OnPreview;
  TIELocation UndoLocation = ieFile;
  // Most snapshots kept in each list; must be at least 1.
  int32_t UndoLimit = 1;
  TIEProgressEvent OnProgress;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

  // The operation template. True when there is a working 24-bit bitmap.
  bool Has24BitPicture() const;
  // Saves the undo snapshot (when AutoUndo), runs the worker on the
  // region and calls Update: on the selection rectangle, or, with a
  // non-empty mask, on a copy of the mask's box written back only where
  // the mask is set. The caller has checked the picture first.
  void ProcessSelection(const std::string& caption, const TPixProcWorker& worker);
  // A progress record for the workers: OnProgress, this component as Sender.
  TProgressRec MakeProgress();

 private:
  void RemoveListener();
  // The component whose bitmap is the working bitmap: kept with a free
  // notification so that the bitmap is never touched after its owner went,
  // even once the owner is no longer attached.
  void HoldBitmapOwner(TComponent* owner);
  void ReleaseBitmapOwner();
  // ConvertTo and ConvertToPalette under their captions.
  void ReduceColours(int n, std::span<TRGB> palette, const std::string& caption);
  std::unique_ptr<TIEBitmap> MakeSnapshot();
  void SaveSnapshot(TIESnapshotList& list);
  void Restore(TIESnapshotList& list, int i);

  TIEView* attachedPix_ = nullptr;
  int32_t bitmapChangeHandle_ = -1;
  TColor background_ = 0;
  std::unique_ptr<TFont> previewFont_;
  TImage* attachedTImage_ = nullptr;
  TIESnapshotList undo_;
  TIESnapshotList redo_;
  TBitmap* bitmap_ = nullptr;
  TComponent* bitmapOwner_ = nullptr;
};
