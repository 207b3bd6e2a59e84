// TPixMIO: all frames of a multi-image file into and out of a thumbnail
// view. Every TIFF page, GIF frame or AVI frame becomes one image of the
// view; the view's images are written back as one multi-page TIFF, an
// animated GIF or an AVI file.
//
// It keeps one parameter record per image of the attached view, index for
// index, following the view's inserts and deletes through its bitmap-change
// listener, so that each image keeps the parameters it was read with and is
// written with them. After every list change each record's TIFF_ImageIndex
// and GIF_ImageIndex equal its position.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/core/iedefs.h"
#include "imaging/io/ioparams.h"
#include "platform/classes.h"
#include "platform/controls.h"

class TPixMView;
class TIEBitmap;

class TPixMIO : public TComponent {
 public:
  explicit TPixMIO(TComponent* owner);
  ~TPixMIO() override;

  // Stops listening to the former view; a new view gets records appended
  // until there are as many as it has images (surplus records stay).
  void SetAttachedMView(TPixMView* view);
  TPixMView* GetAttachedMView() const { return view_; }
  // The view's listener: inserts and deletes of images move the records.
  void OnBitmapChange(TObject* Sender, bool Destroying);

  // A new record at index, a copy of the one there (or of the last one
  // when index is past the end); appended past the end.
  void InsertIOParam(int index);
  void RemoveIOParam(int index);
  // The record of image index; nil outside the list.
  TIOParamsVals* GetParams(int index);
  int GetParamsCount() const { return int(params_.size()); }

  // Tells the view that its images changed.
  void Update();

  // By the lower-cased extension: ".gif", ".tif"/".tiff" or ".avi"; other
  // extensions do nothing.
  void LoadFromFile(const std::string& name);
  void SaveToFile(const std::string& name);
  // The frames go in before the selected image (at the start when none).
  void LoadFromFileGif(const std::string& name);
  void LoadFromFileTIFF(const std::string& name);
  void LoadFromStreamGif(TStream* stream);
  void LoadFromStreamTIFF(TStream* stream);
  // Every image in view order; the GIF file then loops for ever.
  void SaveToFileGif(const std::string& name);
  void SaveToFileTIFF(const std::string& name);
  void SaveToStreamGif(TStream* stream);
  void SaveToStreamTIFF(TStream* stream);
  // AVI frames: a file we cannot read sets Aborting and adds nothing.
  void LoadFromFileAVI(const std::string& name);
  // Uncompressed frames of image 0's size and depth at image 0's delay;
  // images of another size repeat the last one of that size. A file that
  // cannot be created raises EInvalidGraphic "unable to create AVI file".
  void SaveToFileAVI(const std::string& name);

  TIEProgressEvent OnProgress;
  bool AutoAdjustDPI = false;
  bool FilteredAdjustDPI = false;
  // Cleared by every load and save; codecs set it on bad data, and a set
  // flag stops the frame loop.
  bool Aborting = false;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  enum class TFrameFormat { Gif, Tiff };
  void LoadFrames(TStream* stream, TFrameFormat format);
  void SaveFrames(TStream* stream, TFrameFormat format);
  void Renumber();
  void StopListening();
  void ReportProgress(int done, int total);
  // Square pixels when AutoAdjustDPI is on.
  void AdjustDPI(TIEBitmap& bitmap, TIOParamsVals& params);
  TProgressRec MakeProgress();

  TPixMView* view_ = nullptr;
  int listener_ = -1;
  std::vector<std::unique_ptr<TIOParamsVals>> params_;
};
