// TPix: an image view that owns its file and processing components from
// the start and offers their interface as its own, each operation a
// one-line forward. The card program keeps hidden ones as converters: a
// picture goes in, is drawn on, and comes out as a file or a memory stream
// in a chosen format.
#pragma once

#include <span>
#include <string>

#include "imaging/io/pixio.h"
#include "imaging/proc/pixproc.h"
#include "imaging/view/pixview.h"

class TPix : public TPixView {
 public:
  explicit TPix(TComponent* Owner);

  // The parameters of a TPix or a TPixIO source, then the view's Assign
  // (picture, alpha, background and DPI of a view; pixels of a TBitmap).
  void Assign(TPersistent* Source) override;
  void AssignIOParams(TPersistent* Source);

  // Own properties kept in the components ---------------------------------------------
  bool GetAutoUndo() { return GetPixProc()->AutoUndo; }
  void SetAutoUndo(bool v) { GetPixProc()->AutoUndo = v; }
  TMsgLanguage GetMsgLanguage() { return GetPixProc()->MsgLanguage; }
  void SetMsgLanguage(TMsgLanguage l);
  TPRPreviewsParams GetProcPreviewsParams() { return GetPixProc()->GetPRPreviewParams(); }
  void SetProcPreviewsParams(TPRPreviewsParams p) { GetPixProc()->SetPRPreviewParams(p); }
  TIOPreviewsParams GetIOPreviewsParams() { return GetPixIO()->GetIOPreviewParams(); }
  void SetIOPreviewsParams(TIOPreviewsParams p) { GetPixIO()->SetIOPreviewParams(p); }
  TFont* GetPreviewFont() { return GetPixIO()->GetPreviewFont(); }
  void SetPreviewFont(TFont* Font);
  bool GetStreamHeaders() { return GetPixIO()->StreamHeaders; }
  void SetStreamHeaders(bool v) { GetPixIO()->StreamHeaders = v; }
  void SetOnPreview(TIEPreviewEvent e) { GetPixProc()->OnPreview = std::move(e); }
  void SetOnIOPreview(TIEIOPreviewEvent e) { GetPixIO()->OnIOPreview = std::move(e); }
  TIEDialogsMeasureUnit GetDialogsMeasureUnit() { return GetPixIO()->DialogsMeasureUnit; }
  void SetDialogsMeasureUnit(TIEDialogsMeasureUnit u) { GetPixIO()->DialogsMeasureUnit = u; }
  TIOParamsVals* GetIOParams() { return GetPixIO()->IOParams; }
  bool GetAborting() { return GetPixIO()->Aborting; }
  void SetAborting(bool v) { GetPixIO()->Aborting = v; }

  // File and stream I/O -------------------------------------------------------------------
  virtual void LoadFromFile(const std::string& f) { GetPixIO()->LoadFromFile(f); }
  virtual void SaveToFile(const std::string& f) { GetPixIO()->SaveToFile(f); }
  virtual void ParamsFromFile(const std::string& f) { GetPixIO()->ParamsFromFile(f); }
  virtual void ParamsFromStream(TStream* s) { GetPixIO()->ParamsFromStream(s); }
  virtual void ParamsFromFileFormat(const std::string& f, TIEFileType t) { GetPixIO()->ParamsFromFileFormat(f, t); }
  virtual void ParamsFromStreamFormat(TStream* s, TIEFileType t) { GetPixIO()->ParamsFromStreamFormat(s, t); }
  void LoadFromFileFormat(const std::string& f, TIEFileType t) { GetPixIO()->LoadFromFileFormat(f, t); }
  void LoadFromStream(TStream* s) { GetPixIO()->LoadFromStream(s); }
  void LoadFromStreamFormat(TStream* s, TIEFileType t) { GetPixIO()->LoadFromStreamFormat(s, t); }
  void SaveToStream(TStream* s, TIEFileType t) { GetPixIO()->SaveToStream(s, t); }

  void LoadFromFileJpeg(const std::string& f) { GetPixIO()->LoadFromFileJpeg(f); }
  void SaveToFileJpeg(const std::string& f) { GetPixIO()->SaveToFileJpeg(f); }
  void LoadFromStreamJpeg(TStream* s) { GetPixIO()->LoadFromStreamJpeg(s); }
  void SaveToStreamJpeg(TStream* s) { GetPixIO()->SaveToStreamJpeg(s); }
  int32_t LoadFromFileGif(const std::string& f) { return GetPixIO()->LoadFromFileGif(f); }
  void SaveToFileGif(const std::string& f) { GetPixIO()->SaveToFileGif(f); }
  int32_t InsertToFileGif(const std::string& f) { return GetPixIO()->InsertToFileGif(f); }
  int32_t LoadFromStreamGif(TStream* s) { return GetPixIO()->LoadFromStreamGif(s); }
  void SaveToStreamGif(TStream* s) { GetPixIO()->SaveToStreamGif(s); }
  void LoadFromFileBMP(const std::string& f) { GetPixIO()->LoadFromFileBMP(f); }
  void SaveToFileBMP(const std::string& f) { GetPixIO()->SaveToFileBMP(f); }
  void LoadFromStreamBMP(TStream* s) { GetPixIO()->LoadFromStreamBMP(s); }
  void SaveToStreamBMP(TStream* s) { GetPixIO()->SaveToStreamBMP(s); }
  void LoadFromFileICO(const std::string& f) { GetPixIO()->LoadFromFileICO(f); }
  void LoadFromStreamICO(TStream* s) { GetPixIO()->LoadFromStreamICO(s); }
  void LoadFromFileCUR(const std::string& f) { GetPixIO()->LoadFromFileCUR(f); }
  void LoadFromStreamCUR(TStream* s) { GetPixIO()->LoadFromStreamCUR(s); }
  void LoadFromFilePCX(const std::string& f) { GetPixIO()->LoadFromFilePCX(f); }
  void SaveToFilePCX(const std::string& f) { GetPixIO()->SaveToFilePCX(f); }
  void LoadFromStreamPCX(TStream* s) { GetPixIO()->LoadFromStreamPCX(s); }
  void SaveToStreamPCX(TStream* s) { GetPixIO()->SaveToStreamPCX(s); }
  int32_t LoadFromFileTIFF(const std::string& f) { return GetPixIO()->LoadFromFileTIFF(f); }
  int32_t LoadFromStreamTIFF(TStream* s) { return GetPixIO()->LoadFromStreamTIFF(s); }
  void SaveToFileTIFF(const std::string& f) { GetPixIO()->SaveToFileTIFF(f); }
  void SaveToStreamTIFF(TStream* s) { GetPixIO()->SaveToStreamTIFF(s); }
  int32_t InsertToFileTIFF(const std::string& f) { return GetPixIO()->InsertToFileTIFF(f); }
  void LoadFromFilePNG(const std::string& f) { GetPixIO()->LoadFromFilePNG(f); }
  void SaveToFilePNG(const std::string& f) { GetPixIO()->SaveToFilePNG(f); }
  void LoadFromStreamPNG(TStream* s) { GetPixIO()->LoadFromStreamPNG(s); }
  void SaveToStreamPNG(TStream* s) { GetPixIO()->SaveToStreamPNG(s); }
  void LoadFromFileTGA(const std::string& f) { GetPixIO()->LoadFromFileTGA(f); }
  void SaveToFileTGA(const std::string& f) { GetPixIO()->SaveToFileTGA(f); }
  void LoadFromStreamTGA(TStream* s) { GetPixIO()->LoadFromStreamTGA(s); }
  void SaveToStreamTGA(TStream* s) { GetPixIO()->SaveToStreamTGA(s); }
  void LoadFromFilePXM(const std::string& f) { GetPixIO()->LoadFromFilePXM(f); }
  void SaveToFilePXM(const std::string& f) { GetPixIO()->SaveToFilePXM(f); }
  void LoadFromStreamPXM(TStream* s) { GetPixIO()->LoadFromStreamPXM(s); }
  void SaveToStreamPXM(TStream* s) { GetPixIO()->SaveToStreamPXM(s); }
  void ImportMetafile(const std::string& f, int w, int h) { GetPixIO()->ImportMetafile(f, w, h); }
  bool InjectJpegIPTC(const std::string& f) { return GetPixIO()->InjectJpegIPTC(f); }
  bool InjectJpegIPTCStream(TStream* s, TStream* t) { return GetPixIO()->InjectJpegIPTCStream(s, t); }
  bool Acquire() { return GetPixIO()->Acquire(); }
  bool AcquireOpen() { return GetPixIO()->AcquireOpen(); }
  void AcquireClose() { GetPixIO()->AcquireClose(); }
  void CaptureFromScreen(TIECSSource s, TCursor c) { GetPixIO()->CaptureFromScreen(s, c); }
  bool DoIOPreviews(TPreviewParams pages) { return GetPixIO()->DoIOPreviews(pages); }
  bool PrintImagePos(TCanvas* c, double x, double y, double w, double h, double gamma) {
    return GetPixIO()->PrintImagePos(c, x, y, w, h, gamma);
  }
  bool PrintImage(TCanvas* c, double ml, double mt, double mr, double mb, TIEVerticalPos vp, TIEHorizontalPos hp,
                  TIESize size, double sw, double sh, double gamma) {
    return GetPixIO()->PrintImage(c, ml, mt, mr, mb, vp, hp, size, sw, sh, gamma);
  }
  bool PreviewPrintImage(TBitmap* b, int mw, int mh, TPrinter* p, double ml, double mt, double mr, double mb,
                         TIEVerticalPos vp, TIEHorizontalPos hp, TIESize size, double sw, double sh, double gamma) {
    return GetPixIO()->PreviewPrintImage(b, mw, mh, p, ml, mt, mr, mb, vp, hp, size, sw, sh, gamma);
  }
  bool DoPrintPreviewDialog(TIEDialogType t, const std::string& text = "") {
    return GetPixIO()->DoPrintPreviewDialog(t, text);
  }
  std::string ExecuteOpenDialog(const std::string& dir, const std::string& name, bool animate, int index,
                                const std::string& extra) {
    return GetPixIO()->ExecuteOpenDialog(dir, name, animate, index, extra);
  }
  std::string ExecuteSaveDialog(const std::string& dir, const std::string& name, bool animate, int index,
                                const std::string& extra) {
    return GetPixIO()->ExecuteSaveDialog(dir, name, animate, index, extra);
  }
  bool SelectAcquireSource() { return GetPixIO()->SelectAcquireSource(); }
  TIETWainParams* GetTWainParams() { return GetPixIO()->TWainParams; }

  // Processing --------------------------------------------------------------------------
  void SaveUndo() { GetPixProc()->SaveUndo(); }
  void SaveUndoCaptioned(const std::string& c) { GetPixProc()->SaveUndoCaptioned(c); }
  void Undo() { GetPixProc()->Undo(); }
  void UndoAt(int i) { GetPixProc()->UndoAt(i); }
  void ClearUndo() { GetPixProc()->ClearUndo(); }
  bool GetCanUndo() { return GetPixProc()->GetCanUndo(); }
  int GetUndoCount() { return GetPixProc()->GetUndoCount(); }
  void SetUndoCaptions(int i, const std::string& c) { GetPixProc()->SetUndoCaptions(i, c); }
  std::string GetUndoCaptions(int i) { return GetPixProc()->GetUndoCaptions(i); }
  TIELocation GetUndoLocation() { return GetPixProc()->UndoLocation; }
  void SetUndoLocation(TIELocation l) { GetPixProc()->UndoLocation = l; }
  int32_t GetUndoLimit() { return GetPixProc()->UndoLimit; }
  void SetUndoLimit(int32_t n) { GetPixProc()->UndoLimit = n; }

  void ConvertTo(int n) { GetPixProc()->ConvertTo(n); }
  void ConvertToBWOrdered() { GetPixProc()->ConvertToBWOrdered(); }
  void ConvertToBWThreshold(int t) { GetPixProc()->ConvertToBWThreshold(t); }
  void ConvertTo24Bit() { GetPixProc()->ConvertTo24Bit(); }
  void CalcImagePalette(std::span<TRGB> palette, int n) { GetPixProc()->CalcImagePalette(palette, n); }
  void Resample(int w, int h, TResampleFilter f) { GetPixProc()->Resample(w, h, f); }

  void Negative() { GetPixProc()->Negative(); }
  void HSLvar(int h, int s, int l) { GetPixProc()->HSLvar(h, s, l); }
  void HSVvar(int h, int s, int v) { GetPixProc()->HSVvar(h, s, v); }
  void IntensityRGBall(int r, int g, int b) { GetPixProc()->IntensityRGBall(r, g, b); }
  void Contrast(int c) { GetPixProc()->Contrast(c); }
  void ConvertToGray() { GetPixProc()->ConvertToGray(); }
  void CastColorRange(const TRGB& a, const TRGB& b, const TRGB& c) { GetPixProc()->CastColorRange(a, b, c); }
  void Threshold(const TRGB& a, const TRGB& b, const TRGB& c, const TRGB& d) { GetPixProc()->Threshold(a, b, c, d); }
  void HistEqualize(const TRGB& low, const TRGB& high) { GetPixProc()->HistEqualize(low, high); }
  void HistAutoEqualize() { GetPixProc()->HistAutoEqualize(); }
  void ApplyFilter(TGraphFilter filter) { GetPixProc()->ApplyFilter(filter); }
  void ApplyFilterPreset(TIEFilterPresets preset) { GetPixProc()->ApplyFilterPreset(preset); }
  void BumpMapping(int x, int y, int w, int h, int mix, TRGB c) { GetPixProc()->BumpMapping(x, y, w, h, mix, c); }
  void Lens(int x, int y, int w, int h, double r) { GetPixProc()->Lens(x, y, w, h, r); }
  void Wave(int a, int l, int p, bool r) { GetPixProc()->Wave(a, l, p, r); }
  void Maximum(int n) { GetPixProc()->Maximum(n); }
  void Minimum(int n) { GetPixProc()->Minimum(n); }
  void Opening(int n) { GetPixProc()->Opening(n); }
  void Closing(int n) { GetPixProc()->Closing(n); }
  void Rotate(double angle, bool antialias) { GetPixProc()->Rotate(angle, antialias); }
  void Flip(TFlipDir d) { GetPixProc()->Flip(d); }
  void ImageResize(int w, int h) { GetPixProc()->ImageResize(w, h); }
  void Merge(TBitmap* other, int percent) { GetPixProc()->Merge(other, percent); }
  void CropSel() { GetPixProc()->CropSel(); }
  void ClearSel() { GetPixProc()->ClearSel(); }
  void Clear() { GetPixProc()->Clear(); }
  void CopyToClipboard() { GetPixProc()->CopyToClipboard(); }
  void PasteFromClipboard() { GetPixProc()->PasteFromClipboard(); }
  void SelCopyToClip() { GetPixProc()->SelCopyToClip(); }
  void SelCutToClip() { GetPixProc()->SelCutToClip(); }
  void SelPasteFromClipStretch() { GetPixProc()->SelPasteFromClipStretch(); }
  // A client point: pasted at the picture position under it.
  void PointPasteFromClip(int x, int y);
  void GetHistogram(THistogram& histogram) { GetPixProc()->GetHistogram(histogram); }
  int CalcImageNumColors() { return GetPixProc()->CalcImageNumColors(); }
  TBitmap* GetHSVChannel(int c) { return GetPixProc()->GetHSVChannel(c); }
  void GetHSVChannelAll(TBitmap* h, TBitmap* s, TBitmap* v) { GetPixProc()->GetHSVChannelAll(h, s, v); }
  TBitmap* GetRGBChannel(int c) { return GetPixProc()->GetRGBChannel(c); }
  void GetRGBChannelAll(TBitmap* r, TBitmap* g, TBitmap* b) { GetPixProc()->GetRGBChannelAll(r, g, b); }
  std::unique_ptr<TIEFtImage> FTCreateImage(TIEFtImageType t, int w, int h) {
    return GetPixProc()->FTCreateImage(t, w, h);
  }
  void FTConvertFrom(const TIEFtImage& ft) { GetPixProc()->FTConvertFrom(ft); }
  void FTDisplayFrom(const TIEFtImage& ft) { GetPixProc()->FTDisplayFrom(ft); }
  bool DoPreviews(TPreviewEffects pages) { return GetPixProc()->DoPreviews(pages); }
  int WriteHiddenData(const void* b, int n) { return GetPixProc()->WriteHiddenData(b, n); }
  int WriteHiddenText(const std::string& t) { return GetPixProc()->WriteHiddenText(t); }
  int ReadHiddenData(void* b, int n) { return GetPixProc()->ReadHiddenData(b, n); }
  std::string ReadHiddenText() { return GetPixProc()->ReadHiddenText(); }
  int GetHiddenDataSpace() { return GetPixProc()->GetHiddenDataSpace(); }
  void EdgeDetect_ShenCastan(double ratio, double smoothing, int window, int thin, bool hysteresis) {
    GetPixProc()->EdgeDetect_ShenCastan(ratio, smoothing, window, thin, hysteresis);
  }
};
