// TPixIO: frames of AVI video files.
#include "imaging/core/iebitmap.h"
#include "imaging/core/ieview.h"
#include "imaging/io/avifile.h"
#include "imaging/io/pixio.h"

int32_t TPixIO::OpenAVIFile(const std::string& name) {
  CloseAVIFile();
  IOParams->AVI_FrameCount = 0;
  IOParams->FileName = name;
  IOParams->FileType = 0;
  auto avi = std::make_unique<TIEAviFile>();
  try {
    avi->File = std::make_unique<TFileStream>(name, fmOpenRead | fmShareDenyWrite);
  } catch (const std::exception& e) {
    aviError_ = e.what();
    Aborting = true;
    return 0;
  }
  if (!avi->Reader.Open(avi->File.get())) {
    aviError_ = avi->Reader.Error;
    Aborting = true;
    return 0;
  }
  aviError_.clear();
  avi_ = std::move(avi);
  IOParams->AVI_FrameCount = avi_->Reader.FrameCount();
  IOParams->AVI_FrameDelay = 0;
  return IOParams->AVI_FrameCount;
}

void TPixIO::LoadFromAVI(int32_t index) {
  if (StartAsync(ieLoadSaveIndex, [this, index] { LoadFromAVI(index); })) return;
  Aborting = false;
  if (!IEBitmap) return FinishWork();
  try {
    Rewrap();
    if (avi_ && index >= 0 && index < avi_->Reader.FrameCount()) {
      TIEAviReader& reader = avi_->Reader;
      const TIEAviStreamInfo& info = reader.Info();
      IOParams->AVI_FrameCount = reader.FrameCount();
      IOParams->AVI_FrameDelay = IEAviFrameDelay(info.Scale, info.Rate);
      const int bitCount = reader.ReadFrame(index, IEBitmap);
      aviError_ = reader.Error;
      if (bitCount == 0) {
        Aborting = true;
      } else {
        IEAviSampleLayout(bitCount, IOParams->BitsPerSample, IOParams->SamplesPerPixel);
        IOParams->DPIX = gSystemDPIX;
        IOParams->DPIY = gSystemDPIY;
        IOParams->Width = IEBitmap->Width;
        IOParams->Height = IEBitmap->Height;
        IOParams->SetColorMap(nullptr, 0);
        PrepareAlpha();
        Update();
      }
    }
  } catch (...) {
    FinishWork();
    throw;
  }
  FinishWork();
}

void TPixIO::CloseAVIFile() { avi_.reset(); }
