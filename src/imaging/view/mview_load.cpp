// Fetching the thumbnail view's images: at once on the GUI thread, or in
// the background through a starter thread and asynchronous TPixIO loaders.
//
// Requests and loaders name their image by its stable id, never by its
// index, so inserting, deleting or moving images while loads run cannot
// make a load land in another image. The starter never looks at the
// layout: it works from the set of visible ids that the GUI thread
// publishes under gThreadCS. No lock is held while a picture is decoded,
// while a program's callback runs or while a thread is waited for.
#include <algorithm>

#include "imaging/core/iebitmap.h"
#include "imaging/io/pixio.h"
#include "imaging/view/mview.h"
#include "imaging/view/mview_fit.h"
#include "imaging/view/mview_lock.h"
#include "platform/kernel.h"
#include "platform/timers.h"

// One background load. State and Target are read and written under
// gThreadCS; Cancel is also read by the loader's own worker.
struct TPixMView::TLoader {
  TPixIO* IO = nullptr;
  TIEBitmap* Bitmap = nullptr;
  uint64_t Target = 0;  // the image's stable id
  int State = 0;        // 0 loading, -1 finished, -2 cancelled
  std::atomic<bool> Cancel{false};
  // What the GUI thread had set when the load started.
  TIEStoreType Store = ietNormal;
  int32_t ThumbW = 1, ThumbH = 1;
  TResampleFilter Filter = rfFastLinear;
  TColor Background = clBtnFace;
};

namespace {

// A failed load still gives its image pixels, so that it is not fetched
// again: a cell-sized picture in the image's background colour.
void FillPlaceholder(TIEBitmap* bitmap, int32_t w, int32_t h, TColor colour) {
  bitmap->Allocate(std::max(w, 1), std::max(h, 1), ie24RGB);
  const uint32_t rgb = ColorToRGB(colour);
  const TRGB px{uint8_t((rgb >> 16) & 0xFF), uint8_t((rgb >> 8) & 0xFF), uint8_t(rgb & 0xFF)};
  for (int y = 0; y < bitmap->GetHeight(); ++y) {
    auto* row = reinterpret_cast<TRGB*>(bitmap->GetScanLine(y));
    std::fill(row, row + bitmap->GetWidth(), px);
  }
}

}  // namespace

// The starter ------------------------------------------------------------------------------------------------

void TPixMView::StartStarter() {
  starter_ = std::thread([this] { StarterBody(); });
}

void TPixMView::WakeStarter() {
  {
    std::lock_guard<std::mutex> hold(wakeLock_);
    wakeFlag_ = true;
  }
  wake_.notify_one();
}

void TPixMView::StarterBody() {
  for (;;) {
    {
      // The flag is set under the same mutex before a notify, so a wake-up
      // that comes between a pass and the wait is kept.
      std::unique_lock<std::mutex> hold(wakeLock_);
      wake_.wait(hold, [this] { return wakeFlag_; });
      wakeFlag_ = false;
      if (starterQuit_) return;
    }
    std::vector<TLoader*> done;
    std::vector<std::pair<TLoader*, std::string>> start;
    {
      TIEMViewLock lock;
      SweepLoaders(done);
      SweepQueue();
      while (!queue_.empty() && int(loaders_.size()) < loadParams_.PoolSize) {
        const uint64_t uid = queue_.front();
        queue_.pop_front();
        const int idx = IndexOfUid(uid);
        TIEImageInfo* info = Info(idx);
        if (!info || info->Image || info->FileName.empty()) continue;
        auto* loader = new TLoader();
        loader->Target = uid;
        loader->Store = loadParams_.Store;
        loader->ThumbW = loadParams_.ThumbW;
        loader->ThumbH = loadParams_.ThumbH;
        loader->Filter = loadParams_.Filter;
        loader->Background = info->Background;
        loaders_.push_back(loader);
        start.emplace_back(loader, info->FileName);
      }
    }
    FreeLoaders(done);
    for (auto& [loader, name] : start) {
      // Made and started outside the lock: the worker's end takes it.
      loader->Bitmap = new TIEBitmap();
      loader->IO = new TPixIO(nullptr);
      TPixIO* io = loader->IO;
      io->SetAttachedIEBitmap(loader->Bitmap);
      io->SetReBackground(loader->Background);
      io->IOParams->JPEG_Scale = loader->Store == ietThumb ? ioJPEG_AUTOCALC : ioJPEG_FULLSIZE;
      io->IOParams->Width = loader->ThumbW;
      io->IOParams->Height = loader->ThumbH;
      // Both run on the loader's worker: a cancelled load stops at its
      // next progress step.
      io->OnProgress = [loader, io](TObject*, int) {
        if (loader->Cancel.load()) io->Aborting = true;
      };
      io->OnFinishWork = [this, loader](TObject*) { LoaderFinished(loader); };
      io->AsyncMode = true;
      try {
        io->LoadFromFile(name);
      } catch (...) {
        // Not started: the load is over and failed.
        LoaderFinished(loader);
      }
    }
  }
}

// Under the lock.
void TPixMView::SweepLoaders(std::vector<TLoader*>& done) {
  for (auto it = loaders_.begin(); it != loaders_.end();) {
    TLoader* loader = *it;
    if (loader->State == -1) {
      done.push_back(loader);
      it = loaders_.erase(it);
      continue;
    }
    if (loader->State == 0 && !visibleSnapshot_.count(loader->Target)) {
      loader->State = -2;
      loader->Cancel = true;
    }
    ++it;
  }
}

// Under the lock.
void TPixMView::SweepQueue() {
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [this](uint64_t uid) { return !visibleSnapshot_.count(uid); }),
               queue_.end());
}

// Without the lock: freeing a TPixIO waits for its worker to end.
void TPixMView::FreeLoaders(std::vector<TLoader*>& done) {
  for (TLoader* loader : done) {
    delete loader->IO;
    delete loader->Bitmap;
    delete loader;
  }
  done.clear();
}

// The GUI thread's picture of what is on screen, for the starter.
void TPixMView::RefreshVisibleSnapshot() {
  std::set<uint64_t> visible;
  const int n = GetImageCount();
  for (int i = 0; i < n; ++i)
    if (IsVisible(i)) visible.insert(images_[size_t(i)]->Uid);
  TIEMViewLock lock;
  visibleSnapshot_.swap(visible);
  loadParams_ = {StoreType, thumbW_, thumbH_, ThumbnailResampleFilter, std::max(ThreadPoolSize, 0)};
}

// On the loader's worker, at the end of its load.
void TPixMView::LoaderFinished(TLoader* loader) {
  TIEBitmap* bitmap = loader->Bitmap;
  bool failed = false;
  std::unique_ptr<TIEBitmap> thumb;
  if (!loader->Cancel.load() && bitmap) {
    failed = !loader->IO || loader->IO->Aborting || bitmap->GetWidth() < 1 || bitmap->GetHeight() < 1;
    if (failed) {
      thumb = std::make_unique<TIEBitmap>();
      FillPlaceholder(thumb.get(), loader->ThumbW, loader->ThumbH, loader->Background);
    } else if (loader->Store == ietThumb) {
      // Shrunk before the lock is taken.
      thumb.reset(IEMMakeThumbnail(bitmap, loader->ThumbW, loader->ThumbH, loader->Filter));
    }
  }
  {
    TIEMViewLock lock;
    TIEImageInfo* info = Info(IndexOfUid(loader->Target));
    // A cancelled load, an image gone or one fetched meanwhile: dropped.
    if (loader->State == 0 && !destroying_ && bitmap && info && !info->Image) {
      TIEBaseBitmap* result = thumb ? thumb.get() : bitmap;
      StorePixels(info, result, failed ? 0 : bitmap->GetWidth(), failed ? 0 : bitmap->GetHeight(), false);
      info->Corrupt = failed;
      if (!failed && loader->IO) info->Background = loader->IO->GetReBackground();
    }
    loader->State = -1;
  }
  repaintDue_ = true;
  WakeStarter();
}

// Fetching ---------------------------------------------------------------------------------------------------

bool TPixMView::ObtainImageNow(int idx) {
  uint64_t uid = 0;
  int id = -1;
  std::string name;
  TColor background;
  {
    TIEMViewLock lock;
    TIEImageInfo* info = Info(idx);
    if (!info) return false;
    uid = info->Uid;
    id = info->ID;
    name = info->FileName;
    background = info->Background;
  }
  if (id >= 0 && OnImageIDRequest) {
    TBitmap* bitmap = nullptr;
    OnImageIDRequest(this, id, bitmap);
    const int at = IndexOfUid(uid);
    if (bitmap && at >= 0) SetImageEx(at, bitmap);
    return true;
  }
  if (name.empty()) return true;
  TIEBitmap bitmap;
  ownIO_->SetAttachedIEBitmap(&bitmap);
  PrepareOwnIO(background);
  bool ok = false;
  try {
    ownIO_->LoadFromFile(name);
    ok = !ownIO_->Aborting && bitmap.GetWidth() > 0 && bitmap.GetHeight() > 0;
  } catch (const Exception&) {
    ok = false;
  }
  ownIO_->SetAttachedIEBitmap(nullptr);
  if (!ok) return false;
  {
    TIEMViewLock lock;
    const int at = IndexOfUid(uid);
    TIEImageInfo* info = Info(at);
    if (!info) return false;
    info->Background = ownIO_->GetReBackground();
    if (at == selectedIndex_) currentBitmap_ = nullptr;
    StorePixels(info, &bitmap, bitmap.GetWidth(), bitmap.GetHeight(), true);
    info->Corrupt = false;
  }
  RefetchCurrent(IndexOfUid(uid));
  return true;
}

bool TPixMView::ObtainImageThreaded(int idx) {
  std::vector<TLoader*> done;
  bool result = false;
  {
    TIEMViewLock lock;
    TIEImageInfo* info = Info(idx);
    if (info) {
      if (info->Image) {
        result = true;
      } else {
        visibleSnapshot_.insert(info->Uid);  // it is being painted
        SweepQueue();
        const bool queued = std::find(queue_.begin(), queue_.end(), info->Uid) != queue_.end();
        const bool loading = std::any_of(loaders_.begin(), loaders_.end(), [info](TLoader* l) {
          return l->State == 0 && l->Target == info->Uid;
        });
        SweepLoaders(done);
        if (queued || loading) {
          result = true;
        } else if ((info->ID >= 0 && OnImageIDRequest) || info->FileName.empty()) {
          result = false;
        } else {
          queue_.push_back(info->Uid);
          result = true;
        }
      }
    }
  }
  FreeLoaders(done);
  WakeStarter();
  if (result) NoteLoadsPending();
  return result;
}

void TPixMView::NoteLoadsPending() {
  if (loadTimerOn_ || !HandleAllocated()) return;
  SetTimer(this, kLoadTimer, 30);
  loadTimerOn_ = true;
}

void TPixMView::ClearThreadsAndRequests() {
  {
    TIEMViewLock lock;
    queue_.clear();
    for (TLoader* loader : loaders_)
      if (loader->State == 0) {
        loader->State = -2;
        loader->Cancel = true;
      }
  }
  // At most a second for the cancelled loads to stop.
  for (int n = 0; n < 100; ++n) {
    std::vector<TLoader*> done;
    bool empty;
    {
      TIEMViewLock lock;
      SweepLoaders(done);
      empty = loaders_.empty();
    }
    FreeLoaders(done);
    if (empty) break;
    Sleep(10);
  }
}

int TPixMView::QueuedCount() {
  TIEMViewLock lock;
  return int(queue_.size());
}

int TPixMView::LoaderCount() {
  TIEMViewLock lock;
  return int(loaders_.size());
}

bool TPixMView::LoadsPending() {
  TIEMViewLock lock;
  return !queue_.empty() || !loaders_.empty();
}
