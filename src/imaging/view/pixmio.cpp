// TPixMIO: frames of GIF, TIFF and AVI files in and out of a thumbnail view.
#include "imaging/view/pixmio.h"

#include <algorithm>
#include <cctype>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ieview.h"
#include "imaging/io/avifile.h"
#include "imaging/io/giffilter.h"
#include "imaging/io/ieformats.h"
#include "imaging/io/tiffilt.h"
#include "imaging/io/pixio.h"
#include "imaging/view/mview.h"
#include "platform/graphics.h"

namespace {

// The view's list operations, as GetLastOp reports them.
constexpr int kOpInsert = 1, kOpDelete = 2;
// Thumbnail frame time of TIFF pages and scanned pages.
constexpr int kPageDelayMs = 100;

std::string LowerExtension(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  const size_t slash = name.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = name.substr(dot);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

TColor ColorOf(const TRGB& rgb) { return TColor(rgb.r | (rgb.g << 8) | (rgb.b << 16)); }

}  // namespace

TPixMIO::TPixMIO(TComponent* owner) : TComponent(owner) {}

TPixMIO::~TPixMIO() { StopListening(); }

// The parameter list ------------------------------------------------------------------------

void TPixMIO::StopListening() {
  if (!view_) return;
  view_->RemoveBitmapChangeEvent(listener_);
  view_->RemoveFreeNotification(this);
  listener_ = -1;
  view_ = nullptr;
}

void TPixMIO::SetAttachedMView(TPixMView* view) {
  StopListening();
  if (!view) return;
  view_ = view;
  view->FreeNotification(this);
  listener_ = view->RegisterBitmapChangeEvent(
      [this](TObject* sender, bool destroying) { OnBitmapChange(sender, destroying); });
  while (GetParamsCount() < view->GetImageCount()) InsertIOParam(GetParamsCount());
}

void TPixMIO::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && view_ && component == view_) {
    listener_ = -1;
    view_ = nullptr;
  }
}

void TPixMIO::OnBitmapChange(TObject*, bool Destroying) {
  if (!view_) return;
  if (Destroying) {
    StopListening();
    return;
  }
  const int index = view_->GetLastOpIdx();
  const int op = view_->GetLastOp();
  if (op == kOpInsert)
    InsertIOParam(index);
  else if (op == kOpDelete)
    RemoveIOParam(index);
}

void TPixMIO::InsertIOParam(int index) {
  auto record = std::make_unique<TIOParamsVals>(nullptr);
  if (!params_.empty()) {
    const int from = std::clamp(index, 0, GetParamsCount() - 1);
    record->Assign(params_[size_t(from)].get());
  }
  index = std::clamp(index, 0, GetParamsCount());
  params_.insert(params_.begin() + index, std::move(record));
  Renumber();
}

void TPixMIO::RemoveIOParam(int index) {
  if (index < 0 || index >= GetParamsCount()) return;
  params_.erase(params_.begin() + index);
  Renumber();
}

void TPixMIO::Renumber() {
  for (size_t i = 0; i < params_.size(); ++i) {
    params_[i]->TIFF_ImageIndex = int32_t(i);
    params_[i]->GIF_ImageIndex = int32_t(i);
  }
}

TIOParamsVals* TPixMIO::GetParams(int index) {
  return index >= 0 && index < GetParamsCount() ? params_[size_t(index)].get() : nullptr;
}

void TPixMIO::Update() {
  if (!view_) return;
  view_->Update();
  view_->ImageChange();
}

// Helpers -----------------------------------------------------------------------------------

TProgressRec TPixMIO::MakeProgress() {
  TProgressRec progress;
  progress.Aborting = &Aborting;
  return progress;
}

void TPixMIO::ReportProgress(int done, int total) {
  if (OnProgress && total > 0) OnProgress(this, int(int64_t{done} * 100 / total));
}

void TPixMIO::AdjustDPI(TIEBitmap& bitmap, TIOParamsVals& p) {
  if (!AutoAdjustDPI || p.DPIX == p.DPIY || p.DPIX <= 0 || p.DPIY <= 0) return;
  // The front end's square-pixel step, on this picture and record.
  TPixIO io(nullptr);
  io.SetAttachedIEBitmap(&bitmap);
  io.IOParams->Assign(&p);
  io.FilteredAdjustDPI = FilteredAdjustDPI;
  io.AdjustDPI();
  p.Assign(io.IOParams);
}

// Files by extension ------------------------------------------------------------------------

void TPixMIO::LoadFromFile(const std::string& name) {
  const std::string ext = LowerExtension(name);
  if (ext == ".gif")
    LoadFromFileGif(name);
  else if (ext == ".tif" || ext == ".tiff")
    LoadFromFileTIFF(name);
  else if (ext == ".avi")
    LoadFromFileAVI(name);
}

void TPixMIO::SaveToFile(const std::string& name) {
  const std::string ext = LowerExtension(name);
  if (ext == ".gif")
    SaveToFileGif(name);
  else if (ext == ".tif" || ext == ".tiff")
    SaveToFileTIFF(name);
  else if (ext == ".avi")
    SaveToFileAVI(name);
}

void TPixMIO::LoadFromFileGif(const std::string& name) {
  TFileStream file(name, fmOpenRead | fmShareDenyWrite);
  LoadFromStreamGif(&file);
}

void TPixMIO::LoadFromFileTIFF(const std::string& name) {
  TFileStream file(name, fmOpenRead | fmShareDenyWrite);
  LoadFromStreamTIFF(&file);
}

void TPixMIO::SaveToFileGif(const std::string& name) {
  {
    TFileStream file(name, fmCreate);
    SaveToStreamGif(&file);
  }
  if (!Aborting && view_ && view_->GetImageCount() > 0) _GifMakeAnimate(name, 0, 0, 0);
}

void TPixMIO::SaveToFileTIFF(const std::string& name) {
  TFileStream file(name, fmCreate);
  SaveToStreamTIFF(&file);
}

void TPixMIO::LoadFromStreamGif(TStream* stream) { LoadFrames(stream, TFrameFormat::Gif); }
void TPixMIO::LoadFromStreamTIFF(TStream* stream) { LoadFrames(stream, TFrameFormat::Tiff); }
void TPixMIO::SaveToStreamGif(TStream* stream) { SaveFrames(stream, TFrameFormat::Gif); }
void TPixMIO::SaveToStreamTIFF(TStream* stream) { SaveFrames(stream, TFrameFormat::Tiff); }

// GIF and TIFF frames -----------------------------------------------------------------------

void TPixMIO::LoadFrames(TStream* stream, TFrameFormat format) {
  Aborting = false;
  if (!view_) return;
  const bool gif = format == TFrameFormat::Gif;
  const int64_t start = stream->GetPosition();
  int position = std::max(view_->GetSelectedIndex(), 0);
  int previousDelay = 10;
  TProgressRec progress = MakeProgress();
  for (int32_t i = 0, count = 1; i < count; ++i, ++position) {
    view_->InsertImageEx(position);
    TIOParamsVals* p = GetParams(position);
    TIEBitmap bitmap;
    bitmap.Location = ieMemory;
    (gif ? p->GIF_ImageIndex : p->TIFF_ImageIndex) = i;
    stream->SetPosition(start);
    TIEMask* mask = nullptr;
    count = 0;
    if (gif)
      ReadGifStream(stream, &bitmap, count, *p, progress, false, mask, true);
    else
      TIFFReadStream(&bitmap, stream, count, p, progress, false, mask, true, true);
    delete mask;
    if (!Aborting && count > 0) AdjustDPI(bitmap, *p);
    p->GIF_ImageIndex = p->TIFF_ImageIndex = position;
    p->FileType = gif ? ieftGIF : ieftTIFF;
    p->FileName.clear();
    if (Aborting || count == 0 || bitmap.Width <= 0) {
      view_->DeleteImage(position);
      break;
    }
    view_->SetIEBitmapEx(position, &bitmap);
    if (gif) {
      view_->SetImageBackground(position, ColorOf(p->GIF_Background));
      const int delay = p->GIF_DelayTime > 0 ? p->GIF_DelayTime * 10 : previousDelay;
      view_->SetImageDelayTime(position, delay);
      previousDelay = delay;
    } else {
      view_->SetImageDelayTime(position, kPageDelayMs);
    }
    ReportProgress(i, count);
    if (Aborting) break;
  }
  Update();
}

void TPixMIO::SaveFrames(TStream* stream, TFrameFormat format) {
  Aborting = false;
  if (!view_ || view_->GetImageCount() == 0) return;
  const int64_t start = stream->GetPosition();
  const int count = view_->GetImageCount();
  while (GetParamsCount() < count) InsertIOParam(GetParamsCount());
  TProgressRec progress = MakeProgress();
  TIEBitmap work;
  work.Location = ieMemory;
  for (int i = 0; i < count; ++i) {
    TIOParamsVals* p = GetParams(i);
    stream->SetPosition(start);
    view_->CopyToIEBitmap(i, &work);
    if (format == TFrameFormat::Gif) {
      if (i == 0)
        WriteGifStream(stream, &work, *p, progress);
      else
        _InsertGifImStream(stream, &work, *p, progress);
    } else {
      // Records are numbered by position, so each page goes at the end.
      TIFFWriteStream(stream, i > 0, &work, *p, progress);
    }
    ReportProgress(i, count);
    if (Aborting) break;
  }
}

// AVI frames --------------------------------------------------------------------------------

void TPixMIO::LoadFromFileAVI(const std::string& name) {
  Aborting = false;
  if (!view_) return;
  std::unique_ptr<TFileStream> file;
  TIEAviReader reader;
  try {
    file = std::make_unique<TFileStream>(name, fmOpenRead | fmShareDenyWrite);
  } catch (const std::exception&) {
    Aborting = true;
    return;
  }
  if (!reader.Open(file.get())) {
    Aborting = true;
    return;
  }
  const int32_t delay = IEAviFrameDelay(reader.Info().Scale, reader.Info().Rate);
  int position = std::max(view_->GetSelectedIndex(), 0);
  const int32_t frames = reader.FrameCount();
  for (int32_t i = 0; i < frames; ++i, ++position) {
    TIEBitmap bitmap;
    bitmap.Location = ieMemory;
    const int bitCount = reader.ReadFrame(i, &bitmap);
    if (bitCount == 0) {
      Aborting = true;
      break;
    }
    view_->InsertImageEx(position);
    view_->SetIEBitmapEx(position, &bitmap);
    if (i == 0 && frames > 1)
      view_->PrepareSpaceFor(bitmap.Width, bitmap.Height, bitmap.PixelFormat == ie1g ? 1 : 24, frames - 1);
    view_->SetImageDelayTime(position, delay);
    TIOParamsVals* p = GetParams(position);
    p->GIF_DelayTime = delay;
    IEAviSampleLayout(bitCount, p->BitsPerSample, p->SamplesPerPixel);
    p->GIF_ImageIndex = p->TIFF_ImageIndex = position;
    p->DPIX = gSystemDPIX;
    p->DPIY = gSystemDPIY;
    p->Width = bitmap.Width;
    p->Height = bitmap.Height;
    p->FileName = name;
    p->FileType = 0;
    p->SetColorMap(nullptr, 0);
    ReportProgress(i, frames);
    if (Aborting) break;
  }
  Update();
}

void TPixMIO::SaveToFileAVI(const std::string& name) {
  Aborting = false;
  if (!view_ || view_->GetImageCount() == 0) return;
  std::unique_ptr<TFileStream> file;
  try {
    file = std::make_unique<TFileStream>(name, fmCreate);
  } catch (const std::exception&) {
    throw EInvalidGraphic("unable to create AVI file");
  }
  const int count = view_->GetImageCount();
  TIEBitmap first, work, lastFit;
  first.Location = work.Location = lastFit.Location = ieMemory;
  view_->CopyToIEBitmap(0, &first);
  TIEAviWriter writer(file.get(), first.Width, first.Height, first.PixelFormat == ie1g ? 1 : 24,
                      std::max(view_->GetImageDelayTime(0), 1));
  for (int i = 0; i < count; ++i) {
    view_->CopyToIEBitmap(i, &work);
    // A frame of another size repeats the last one of the right size.
    if (work.Width == first.Width && work.Height == first.Height) lastFit.Assign(&work);
    writer.AddFrame(lastFit.Width == first.Width ? &lastFit : &first);
    view_->ReleaseBitmap(i);
    ReportProgress(i, count);
    if (Aborting) break;
  }
  writer.Finish();
}
