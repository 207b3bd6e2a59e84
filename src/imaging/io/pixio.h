// TPixIO: the component through which every picture is loaded and saved.
//
// It works on one attached picture: its own TIEBitmap, a caller's
// TIEBitmap, a platform TBitmap, the picture of a TImage or the bitmap of an
// image view. It picks the codec from a file extension, a file type code or
// the stream's content, runs it with a progress record whose abort flag is
// Aborting, moves alpha channels between the codec and the attached
// picture, sets the resolution and tells the attached control that its
// picture changed.
//
// Failures are quiet: an unknown format, a format whose codec is not there,
// a bad stream header or bad data set Aborting, which callers test after
// the call. Exceptions from opening a file or from a codec pass through
// after OnFinishWork.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "imaging/core/iedefs.h"
#include "imaging/core/iemsg.h"
#include "imaging/io/ieiothread.h"
#include "imaging/io/ieformats.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/ioprevparams.h"
#include "platform/controls.h"
#include "platform/graphics.h"

class TIEBitmap;
class TIEMask;
struct TIEAviFile;
class TIETWainParams;
class TIETWModeless;
class TIEView;
class TImage;
class TForm;
class TPrinter;

// Units the dialogs measure in.
enum TIEDialogsMeasureUnit { ieduInches, ieduCm, ieduSelectableDefInches, ieduSelectableDefCm };
// Options of the save-parameters dialog (a set).
enum : unsigned { ioppDefaultLockPreview = 1u << 0, ioppApplyButton = 1u << 1 };
using TIOPreviewsParams = unsigned;
// What CaptureFromScreen reads: the screen, the active window with its
// frame, or its client area.
enum TIECSSource { iecsScreen, iecsForegroundWindow, iecsForegroundWindowClient };
// Offered each picture of a modeless acquisition first; setting Handled
// keeps it from the attached picture.
using TIEAcquireBitmapEvent = std::function<void(TObject* Sender, TIEBitmap* Bitmap, bool& Handled)>;
// Called with the dialog form about to be shown.
using TIEIOPreviewEvent = std::function<void(TObject* Sender, TForm* PreviewForm)>;
// May replace the save-parameters dialog by setting Handled.
using TIEDoPreviewsEvent = std::function<void(TObject* Sender, bool& Handled)>;

// Print layout of one picture (lengths in inches).
enum TIEVerticalPos { ievpTOP, ievpCENTER, ievpBOTTOM };
enum TIEHorizontalPos { iehpLEFT, iehpCENTER, iehpRIGHT };
// The picture's own size at its resolution, as large as fits keeping the
// aspect, the whole area between the margins, or a given size.
enum TIESize { iesNORMAL, iesFITTOPAGE, iesFITTOPAGESTRETCH, iesSPECIFIEDSIZE };
// The print dialog with a preview, or the maximised preview window.
enum TIEDialogType { iedtDialog, iedtMaxi };
// A page in device pixels with its resolution.
struct TIEPrintPage {
  int32_t Width = 0, Height = 0;
  int32_t DpiX = 0, DpiY = 0;
};
// The page to lay out on when no printer describes one: A4 at 300 dots
// per inch.
TIEPrintPage IEVirtualPrintPage();
// The printer's page; the virtual page for no printer or one that reports
// a size or resolution of 0.
TIEPrintPage IEPrinterPage(TPrinter* printer);

class TPixIO : public TComponent {
 public:
  explicit TPixIO(TComponent* owner);
  ~TPixIO() override;

  // Attachment. Each first removes the listener of a previously attached
  // view.
  // Uses the caller's bitmap (not owned); the own one is freed.
  void SetIEBitmap(TIEBitmap* bitmap);
  // Nil while a view or TImage is attached changes nothing more; a bitmap
  // detaches the view, the TImage and the alpha mask.
  void SetAttachedIEBitmap(TIEBitmap* bitmap);
  // Wraps the caller's platform bitmap (not owned).
  void SetBitmap(TBitmap* bitmap);
  // As SetAttachedIEBitmap, for a platform bitmap.
  void SetAttachedBitmap(TBitmap* bitmap);
  // Attaches an image view: its bitmap is wrapped, the component listens
  // for its bitmap changes and exchanges the alpha channel with it. Nil
  // detaches and unwraps.
  void SetAttachedPix(TIEView* view);
  TIEView* GetAttachedPix() const { return AttachedPix; }
  // Attaches a TImage: its picture's bitmap is wrapped. Nil detaches.
  void SetTImage(TImage* image);
  TImage* GetAttachedTImage() const { return AttachedTImage; }

  // The view's listener: a new bitmap or alpha channel, or the view going.
  void OnBitmapChange(TObject* Sender, bool Destroying);

  // Tells the attached view (Update, then ImageChange) or the wrapped
  // platform bitmap that the picture changed.
  void Update();

  // Background: with a view attached the view's, and the setter stores
  // nothing.
  TColor GetReBackground() const;
  void SetReBackground(TColor colour);

  // A TPixIO gives its parameters, a TIOParamsVals itself; others ignored.
  void AssignParams(TObject* source);

  // The alpha mask exchanged with the codecs: the view's alpha channel (or
  // nil) when a view is attached, else the mask the component holds.
  TIEMask* GetAlphaChannel();

  // Dispatchers.
  virtual void LoadFromFile(const std::string& name);
  virtual void SaveToFile(const std::string& name);
  virtual void LoadFromFileFormat(const std::string& name, TIEFileType code);
  virtual void ParamsFromFile(const std::string& name);
  virtual void ParamsFromFileFormat(const std::string& name, TIEFileType code);
  virtual void ParamsFromStream(TStream* stream);
  virtual void ParamsFromStreamFormat(TStream* stream, TIEFileType code);
  virtual void LoadFromStream(TStream* stream);
  virtual void LoadFromStreamFormat(TStream* stream, TIEFileType code);
  virtual void SaveToStream(TStream* stream, TIEFileType code);

  // Per-format operations of the formats whose codecs exist.
  void LoadFromFileBMP(const std::string& name);
  void LoadFromStreamBMP(TStream* stream);
  void SaveToFileBMP(const std::string& name);
  void SaveToStreamBMP(TStream* stream);
  void LoadFromFileJpeg(const std::string& name);
  // A "JFIF" stream header in front is skipped whatever StreamHeaders says,
  // and the stream is left after the picture it announces.
  void LoadFromStreamJpeg(TStream* stream);
  void SaveToFileJpeg(const std::string& name);
  // With StreamHeaders on, the 12-byte "JFIF" header goes first.
  void SaveToStreamJpeg(TStream* stream);
  void LoadFromFileICO(const std::string& name);
  void LoadFromStreamICO(TStream* stream);
  void LoadFromFileCUR(const std::string& name);
  void LoadFromStreamCUR(TStream* stream);
  // Read page TIFF_ImageIndex and return the number of pages. With
  // StreamHeaders on the stream form expects the 12-byte "TIFF" header and
  // leaves the stream after the picture it announces.
  int32_t LoadFromFileTIFF(const std::string& name);
  int32_t LoadFromStreamTIFF(TStream* stream);
  // A new one-page TIFF. With StreamHeaders on, the 12-byte "TIFF" header
  // goes first.
  void SaveToFileTIFF(const std::string& name);
  void SaveToStreamTIFF(TStream* stream);
  // Adds the picture as a page of an existing "II" TIFF file, linked in at
  // TIFF_ImageIndex (0 first, past the last page last). Returns the page
  // count, 0 when the file cannot take the page.
  int32_t InsertToFileTIFF(const std::string& name);
  void LoadFromFilePCX(const std::string& name);
  // With StreamHeaders on the data must start with a "PCX2" header (the
  // stream is left after the picture it announces) or the older "PCX".
  void LoadFromStreamPCX(TStream* stream);
  void SaveToFilePCX(const std::string& name);
  // With StreamHeaders on, the 12-byte "PCX2" header goes first.
  void SaveToStreamPCX(TStream* stream);
  void LoadFromFileTGA(const std::string& name);
  void LoadFromStreamTGA(TStream* stream);
  void SaveToFileTGA(const std::string& name);
  void SaveToStreamTGA(TStream* stream);
  void LoadFromFilePXM(const std::string& name);
  void LoadFromStreamPXM(TStream* stream);
  void SaveToFilePXM(const std::string& name);
  void SaveToStreamPXM(TStream* stream);
  // PNG with its alpha channel. Loads hand Background to the reader and
  // take it back from PNG_Background.
  void LoadFromFilePNG(const std::string& name);
  void LoadFromStreamPNG(TStream* stream);
  void SaveToFilePNG(const std::string& name);
  void SaveToStreamPNG(TStream* stream);
  void LoadFromFileJP2(const std::string& name);
  void LoadFromFileJ2K(const std::string& name);
  void LoadFromStreamJP2(TStream* stream);
  void LoadFromStreamJ2K(TStream* stream);
  void SaveToFileJP2(const std::string& name);
  void SaveToFileJ2K(const std::string& name);
  void SaveToStreamJP2(TStream* stream);
  void SaveToStreamJ2K(TStream* stream);
  // GIF: the frame read is GIF_ImageIndex; loads return the frame count
  // and take Background from the file. Saves write a one-frame GIF.
  int32_t LoadFromFileGif(const std::string& name);
  int32_t LoadFromStreamGif(TStream* stream);
  void SaveToFileGif(const std::string& name);
  void SaveToStreamGif(TStream* stream);
  // Adds the picture as a frame of an existing GIF, before frame
  // GIF_ImageIndex (last when there are fewer), widens the logical screen
  // to hold it and makes the file a looping animation. Returns the frame
  // count; a missing file raises.
  int32_t InsertToFileGif(const std::string& name);

  // Metafiles (only the import has an asynchronous form). ImportMetafile
  // renders a WMF or EMF file into the picture over the background: -1 for Width or Height
  // keeps the proportions from the other side, both -1 the metafile's own
  // size, 0 does nothing; the longer side is at most 2800 pixels and the
  // picture is one pixel narrower and lower than the drawing. A drawing
  // size of 0 sets Aborting; a file that is no metafile raises
  // EInvalidGraphic after OnFinishWork.
  void ImportMetafile(const std::string& name, int Width, int Height);
  // Draws the metafile, sized as ImportMetafile does, over the picture at
  // (X, Y), clipped to it; only what the metafile draws changes.
  void MergeMetafile(const std::string& name, int X, int Y, int Width, int Height);

  // Asynchronous mode: with AsyncMode on and a picture the component does
  // not own, loads and saves start a TIEIOThread that repeats the call and
  // return at once (-1 where they return a count). OnProgress and
  // OnFinishWork then run on the worker; the caller waits for OnFinishWork
  // or for GetAsyncRunning to reach 0 before it touches the picture.
  bool IsInsideAsyncThreads() { return AsyncThreads.ContainsCurrentThread(); }
  int GetAsyncRunning() { return AsyncThreads.Count(); }

  // Makes the pixels square: the shorter side is stretched so that DPIX
  // equals DPIY (resampled linearly into 24 bits with FilteredAdjustDPI).
  void AdjustDPI();

  // AVI video. OpenAVIFile opens a file (closing one that is open) and
  // gives its number of frames; 0, with Aborting set, when it is no AVI
  // video we can read. LoadFromAVI loads frame index into the picture and
  // sets AVI_FrameCount and AVI_FrameDelay; an index outside the frames
  // loads nothing and leaves Aborting clear, a frame that cannot be decoded
  // sets Aborting and leaves the picture as it was. The destructor closes
  // the file.
  int32_t OpenAVIFile(const std::string& name);
  void LoadFromAVI(int32_t index);
  void CloseAVIFile();
  // Why the last AVI open or frame failed ("" after a success).
  const std::string& GetAVIError() const { return aviError_; }

  // Scanning. Acquire takes one picture from the selected scanner into the
  // attached picture; true when one arrived. SelectAcquireSource shows the
  // choice of scanner; only a confirmed choice changes the selected source.
  bool Acquire();
  bool SelectAcquireSource();
  // A modeless acquisition: the pages arrive one by one, on the GUI thread,
  // while the program runs on. False when one is open already, no view is
  // attached or the scanner cannot start. AcquireClose ends it.
  bool AcquireOpen();
  void AcquireClose();
  // The scanner layer's calls during a modeless acquisition: a picture
  // arrived (offered to OnAcquireBitmap first, else copied into the
  // attached picture), and the acquisition ended.
  virtual void TWMultiCallBack(TIEBitmap* Bitmap, TIOParamsVals* Params);
  virtual void TWCloseCallBack();
  // Fires OnAcquireBitmap.
  virtual void DoAcquireBitmap(TIEBitmap* Bitmap, bool& Handled);
  // The open modeless acquisition; null when none is.
  TIETWModeless* ModelessAcquire = nullptr;
  TIEAcquireBitmapEvent OnAcquireBitmap;

  // Reads the screen into the picture (24 bits); unless MouseCursor is -1
  // the arrow pointer is drawn where the mouse is. Without an active
  // window for the window sources the picture stays as it was. It always
  // runs on the caller's thread: the screen is read on the GUI thread.
  void CaptureFromScreen(TIECSSource Source, TCursor MouseCursor);

  // Printing (pixioprint.cpp). Only 1-bit and 24-bit pictures print; other
  // formats leave the area empty. A gamma of 1, 0 or below changes nothing.
  // Each returns false, drawing nothing, when there is nothing to lay out:
  // no picture, a resolution of 0 or an empty page.
  // Into the rectangle (X, Y, Width, Height) of a canvas of that resolution.
  bool PrintImagePosEx(TCanvas* Canvas, int DpiX, int DpiY, double X, double Y, double Width, double Height,
                       double Gamma);
  // The same at the canvas device's resolution.
  bool PrintImagePos(TCanvas* Canvas, double X, double Y, double Width, double Height, double Gamma);
  // Lays the picture out on a page and prints it.
  bool PrintImageEx(TCanvas* Canvas, int DpiX, int DpiY, double PageWidth, double PageHeight, double MarginLeft,
                    double MarginTop, double MarginRight, double MarginBottom, TIEVerticalPos VerticalPos,
                    TIEHorizontalPos HorizontalPos, TIESize Size, double SpecWidth, double SpecHeight, double Gamma);
  // PrintImageEx on the canvas device's whole area at its resolution.
  bool PrintImage(TCanvas* Canvas, double MarginLeft, double MarginTop, double MarginRight, double MarginBottom,
                  TIEVerticalPos VerticalPos, TIEHorizontalPos HorizontalPos, TIESize Size, double SpecWidth,
                  double SpecHeight, double Gamma);
  // A reduced picture of the printer's page (nil: the virtual page) with
  // the laid-out picture and the margin frame, at most MaxBitmapWidth x
  // MaxBitmapHeight. False, leaving the bitmap alone, for a maximum of 5
  // pixels or less.
  bool PreviewPrintImage(TBitmap* Bitmap, int MaxBitmapWidth, int MaxBitmapHeight, TPrinter* Printer,
                         double MarginLeft, double MarginTop, double MarginRight, double MarginBottom,
                         TIEVerticalPos VerticalPos, TIEHorizontalPos HorizontalPos, TIESize Size, double SpecWidth,
                         double SpecHeight, double Gamma);
  // The same for a page given in device pixels (a size or resolution of 0
  // takes the virtual page).
  bool PreviewPrintImage(TBitmap* Bitmap, int MaxBitmapWidth, int MaxBitmapHeight, const TIEPrintPage& Page,
                         double MarginLeft, double MarginTop, double MarginRight, double MarginBottom,
                         TIEVerticalPos VerticalPos, TIEHorizontalPos HorizontalPos, TIESize Size, double SpecWidth,
                         double SpecHeight, double Gamma);
  // Shows a print form modally; true when it closed with OK. The text is
  // not used; a type outside TIEDialogType shows nothing.
  bool DoPrintPreviewDialog(TIEDialogType DialogType, const std::string& Text = "");
  // Filters 1-bit pictures while printing them smaller.
  bool FilterOnPrint = true;

  // JPEG files: the file, or the stream copied into the target, with
  // IOParams.IPTC_InfoList as its IPTC block. The file is replaced only when
  // the copy succeeded. OnFinishWork fires after the file operation.
  bool InjectJpegIPTC(const std::string& name);
  bool InjectJpegIPTCStream(TStream* source, TStream* target);

  // Fields.
  TIETWainParams* TWainParams = nullptr;  // owned
  TBitmap* Bitmap = nullptr;  // the wrapped platform bitmap, not owned
  TIEBitmap* IEBitmap = nullptr;
  bool OwnIEBitmap = true;
  TIEView* AttachedPix = nullptr;
  int32_t BitmapChangeHandle = -1;
  TImage* AttachedTImage = nullptr;
  bool StreamHeaders = false;
  bool AutoAdjustDPI = false;
  bool FilteredAdjustDPI = false;
  TIOParamsVals* IOParams = nullptr;  // owned
  TIEThreadList AsyncThreads;
  bool AsyncMode = false;
  // Cleared at the start of each operation; codecs set it on bad data and
  // callers may set it from OnProgress to stop.
  bool Aborting = false;
  TIEProgressEvent OnProgress;
  TNotifyEvent OnFinishWork;

  // What the component hands to its dialogs.
  TMsgLanguage MsgLanguage = msSystem;
  TIEDialogsMeasureUnit DialogsMeasureUnit = ieduInches;
  TIOPreviewsParams PreviewsParams = 0;
  bool SimplifiedParamsDialogs = true;
  TIEIOPreviewEvent OnIOPreview;
  TFont* GetPreviewFont() const { return previewFont_.get(); }
  // Copies the font.
  void SetPreviewFont(TFont* font) { previewFont_->Assign(font); }
  TIOPreviewsParams GetIOPreviewParams() const { return PreviewsParams; }
  void SetIOPreviewParams(TIOPreviewsParams params) { PreviewsParams = params; }
  TIEDoPreviewsEvent OnDoPreviews;
  // The save-parameters dialog over the picture, on the pages asked for;
  // true when it closed with OK (IOParams then holds the choice).
  bool DoIOPreviews(TPreviewParams pages);
  // The library's open and save picture dialogs, owned by the component
  // for one run: the chosen file, or "" when cancelled. The save dialog's
  // advanced options edit this component's parameters.
  std::string ExecuteOpenDialog(const std::string& InitialDir, const std::string& InitialFileName, bool AlwaysAnimate,
                                int FilterIndex, const std::string& ExtraFilters);
  std::string ExecuteSaveDialog(const std::string& InitialDir, const std::string& InitialFileName, bool AlwaysAnimate,
                                int FilterIndex, const std::string& ExtraFilters);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  // The asynchronous test: true when a worker was started to run again.
  bool StartAsync(TIEIOMethodTypes kind, TIEIOThread::TIEIOCall again);
  // Blocks until no worker of this component runs (not from a worker).
  void WaitForAsyncThreads();

  // What distinguishes one format's load from the template.
  struct TLoadKind {
    TIEFileType FileType;
    // The codec exchanges transparency through a mask.
    bool Alpha;
    // The stream form also hands the resolution to the view.
    bool StreamSetsViewDPI;
  };
  // The templates hand read and write to a worker in asynchronous mode:
  // they must capture nothing that dies with the wrapper's call. Wrappers
  // with locals of their own make the asynchronous test themselves.
  using TCodecRead = std::function<void(TStream* stream, TProgressRec& progress, TIEMask*& mask)>;
  using TCodecWrite = std::function<void(TStream* stream, TProgressRec& progress)>;

  void LoadFileWith(const std::string& name, const TLoadKind& kind, const TCodecRead& read);
  void LoadStreamWith(TStream* stream, const TLoadKind& kind, const TCodecRead& read);
  // The load template from the re-wrap to the resolution; the caller fires
  // OnFinishWork.
  void RunLoad(TStream* stream, const std::string& fileName, const TLoadKind& kind,
               const TCodecRead& read);
  void SaveFileWith(const std::string& name, const TCodecWrite& write);
  void SaveStreamWith(TStream* stream, const TCodecWrite& write);
  void PrepareSave();
  // A format no codec reads: the parameters forget the file and Aborting
  // is set.
  void RefuseLoad();
  // Loads through a format added to the registry at run time.
  void LoadThroughRegistry(const std::string& fileName, TStream* stream, PIEFileFormatInfo entry);
  void SaveThroughRegistry(const std::string& fileName, TStream* stream, PIEFileFormatInfo entry);
  // Reads only the parameters of a picture of that code; Aborting when
  // nothing here can read it.
  void ReadParamsOnly(TStream* stream, TIEFileType code, int64_t size);
  TProgressRec MakeProgress();
  void FinishWork();
  void Rewrap();
  void PrepareAlpha();
  void CompleteAlpha(TIEMask* mask, bool maskExisted);
  void SetViewDPI();
  void ReadJpegMetadata();
  void StoreJpegIPTC();
  void JpegStreamLoad(TStream* stream, bool fromFile);
  void WritePNGWithAlpha(TStream* stream, TProgressRec& progress);
  // Background from the GIF just read: its transparent colour, else its
  // background colour.
  void TakeGifBackground();
  void ForgetView();
  void ForgetTImage();
  // Drops the wrapped platform bitmap so that no later operation wraps a
  // bitmap whose control has gone.
  void Unwrap();

  TColor background_ = 0;
  std::unique_ptr<TIEAviFile> avi_;  // the open AVI file, none when closed
  std::string aviError_;
  std::unique_ptr<TFont> previewFont_ = std::make_unique<TFont>();
  TIEMask* alphaMask_ = nullptr;  // the view's when one is attached, else owned
};

// Multi-frame GIF files as a whole.
// Removes frame index and rewrites the file; the frames left.
int32_t DeleteGifIm(const std::string& name, int32_t index);
// The number of frames; 0 for anything that cannot be read.
int32_t EnumGifIm(const std::string& name);
// True when the GIF carries the animation loop block; false on any error.
bool CheckAniGif(const std::string& name);
