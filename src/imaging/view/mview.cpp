// The thumbnail view's life, its image list, the images' attributes and
// pixels, and the selection.
#include "imaging/view/mview.h"

#include <algorithm>
#include <cmath>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iedrawdib.h"
#include "imaging/io/pixio.h"
#include "imaging/proc/ieresample.h"
#include "imaging/view/mview_fit.h"
#include "imaging/view/mview_lock.h"
#include "platform/classes.h"
#include "platform/fonts.h"
#include "platform/graphics.h"
#include "platform/timers.h"

// Fitting --------------------------------------------------------------------------------------

bool IEMFitSize(int32_t w, int32_t h, int32_t boxW, int32_t boxH, int32_t& outW, int32_t& outH) {
  if (w <= 0 || h <= 0) {
    outW = boxW;
    outH = boxH;
    return false;
  }
  const double scale = std::min(double(boxH) / h, double(boxW) / w);
  outW = std::max<int32_t>(int32_t(std::trunc(w * scale)), 1);
  outH = std::max<int32_t>(int32_t(std::trunc(h * scale)), 1);
  return true;
}

TIEBitmap* IEMMakeThumbnail(TIEBaseBitmap* bitmap, int32_t boxW, int32_t boxH, TResampleFilter filter) {
  int32_t w = 0, h = 0;
  IEMFitSize(bitmap->GetWidth(), bitmap->GetHeight(), std::max(boxW, 1), std::max(boxH, 1), w, h);
  if (w == bitmap->GetWidth() && h == bitmap->GetHeight()) return nullptr;
  auto* thumb = new TIEBitmap();
  thumb->Allocate(w, h, ie24RGB);
  if (bitmap->GetPixelFormat() == ie1g)
    _SubResample1bitFilteredEx(bitmap, 0, 0, bitmap->GetWidth() - 1, bitmap->GetHeight() - 1, thumb);
  else if (filter == rfNone || bitmap->GetPixelFormat() != ie24RGB)
    _IEBmpStretchEx(bitmap, thumb);
  else
    _ResampleEx(bitmap, thumb, filter);
  return thumb;
}

// Life -----------------------------------------------------------------------------------------

TPixMView::TPixMView(TComponent* Owner) : TIEView(Owner) {
  HorzScrollBarParams = new TIEScrollBarParams();
  VertScrollBarParams = new TIEScrollBarParams();
  SetBounds(GetLeft(), GetTop(), 180, 90);
  TabStop = true;
  drawDib_ = IEDrawDibOpen();
  ownIO_ = std::make_unique<TPixIO>(nullptr);
  store_ = std::make_unique<TIEVirtualDIBList>();
  cache_ = std::make_unique<TIEVirtualDIBList>();
  StartStarter();
}

TPixMView::~TPixMView() {
  DeselectNU();
  ClearThreadsAndRequests();
  {
    std::lock_guard<std::mutex> hold(wakeLock_);
    starterQuit_ = true;
    wakeFlag_ = true;
  }
  wake_.notify_all();
  if (starter_.joinable()) starter_.join();
  // The starter has ended: the loaders left are ours alone to free.
  std::vector<TLoader*> rest;
  {
    TIEMViewLock lock;
    rest.swap(loaders_);
    queue_.clear();
  }
  FreeLoaders(rest);
  KillTimersOf(this);
  {
    TIEMViewLock lock;
    for (int i = GetImageCount() - 1; i >= 0; --i) FreeInfo(images_[size_t(i)]);
    images_.clear();
  }
  destroying_ = true;
  multiSel_.clear();
  store_.reset();
  cache_.reset();
  ownIO_.reset();
  IEDrawDibClose(drawDib_);
  delete HorzScrollBarParams;
  delete VertScrollBarParams;
}

TIEImageInfo* TPixMView::Info(int idx) const {
  return idx >= 0 && idx < int(images_.size()) ? images_[size_t(idx)] : nullptr;
}

int TPixMView::IndexOfUid(uint64_t uid) const {
  for (size_t i = 0; i < images_.size(); ++i)
    if (images_[i]->Uid == uid) return int(i);
  return -1;
}

TIEImageInfo* TPixMView::NewInfo() {
  auto* info = new TIEImageInfo();
  info->Background = GetBackground();
  info->Uid = nextUid_++;
  info->TopText = new TIEMText(this, iemtpTop);
  info->BottomText = new TIEMText(this, iemtpBottom);
  info->InfoText = new TIEMText(this, iemtpInfo);
  return info;
}

// Under the lock.
void TPixMView::FreeInfo(TIEImageInfo* info) {
  if (info->Image) store_->Delete(info->Image);
  if (info->Cache) cache_->Delete(info->Cache);
  delete info->TopText;
  delete info->BottomText;
  delete info->InfoText;
  delete info;
}

// Image list --------------------------------------------------------------------------------------

void TPixMView::InsertImageEx(int idx) {
  SetPlaying(false);
  {
    TIEMViewLock lock;
    TIEImageInfo* info = NewInfo();
    if (idx < 0) idx = 0;
    if (idx >= GetImageCount())
      images_.push_back(info);
    else
      images_.insert(images_.begin() + idx, info);
  }
  // Indexes at and after idx moved up by one.
  for (int& s : multiSel_)
    if (s >= idx) ++s;
  if (selectedIndex_ >= idx) ++selectedIndex_;
  lastOp_ = 1;
  lastOpIdx_ = idx;
  CallBitmapChangeEvents();
  Update();
}

void TPixMView::InsertImage(int idx) {
  SetPlaying(false);
  const int at = std::clamp(idx, 0, GetImageCount());
  InsertImageEx(at);
  SetSelectedItemNU(at);
  lastOpIdx_ = at;
  Update();
}

int TPixMView::AppendImage() {
  InsertImage(GetImageCount());
  return GetImageCount() - 1;
}

void TPixMView::DeleteImage(int idx) {
  if (DeleteImageNU(idx)) Update();
}

bool TPixMView::DeleteImageNU(int idx) {
  if (idx < 0 || idx >= GetImageCount()) return false;
  SetPlaying(false);
  const int old = selectedIndex_;
  DeselectNU();
  multiSel_.clear();
  {
    TIEMViewLock lock;
    TIEImageInfo* info = images_[size_t(idx)];
    // A load still running for it must not store anywhere.
    queue_.erase(std::remove(queue_.begin(), queue_.end(), info->Uid), queue_.end());
    visibleSnapshot_.erase(info->Uid);
    images_.erase(images_.begin() + idx);
    FreeInfo(info);
  }
  const int n = GetImageCount();
  if (old >= 0 && n > 0) {
    if (idx < old)
      SetSelectedItemNU(old - 1);
    else if (idx > old || old < n)
      SetSelectedItemNU(old);
    else
      SetSelectedItemNU(n - 1);
  }
  lastOp_ = 2;
  lastOpIdx_ = idx;
  CallBitmapChangeEvents();
  return true;
}

void TPixMView::DeleteSelectedImages() {
  std::vector<int> sel = multiSel_;
  std::sort(sel.begin(), sel.end());
  sel.erase(std::unique(sel.begin(), sel.end()), sel.end());
  for (auto it = sel.rbegin(); it != sel.rend(); ++it) DeleteImageNU(*it);
  Update();
}

void TPixMView::MoveImage(int idx, int newidx) {
  if (idx < 0 || idx >= GetImageCount() || newidx < 0 || idx == newidx) return;
  SetPlaying(false);
  const int old = selectedIndex_;
  DeselectNU();
  multiSel_.clear();
  {
    TIEMViewLock lock;
    TIEImageInfo* info = images_[size_t(idx)];
    images_.erase(images_.begin() + idx);
    if (newidx >= int(images_.size()))
      images_.push_back(info);
    else
      images_.insert(images_.begin() + newidx, info);
  }
  const int at = std::min(newidx, GetImageCount() - 1);
  SetSelectedItemNU(old == idx ? at : old);
  Update();
}

void TPixMView::Clear() {
  Deselect();
  ClearThreadsAndRequests();
  {
    TIEMViewLock lock;
    for (TIEImageInfo* info : images_) FreeInfo(info);
    images_.clear();
    visibleSnapshot_.clear();
    store_ = std::make_unique<TIEVirtualDIBList>();
    cache_ = std::make_unique<TIEVirtualDIBList>();
  }
  multiSel_.clear();
  Update();
}

int TPixMView::GetLastOp() {
  const int op = lastOp_;
  lastOp_ = 0;
  return op;
}

void TPixMView::PrepareSpaceFor(int width, int height, int bitcount, int count) {
  TIEMViewLock lock;
  store_->PrepareSpaceFor(width, height, bitcount, count);
}

// Attributes ------------------------------------------------------------------------------------

// A value the store keeps for a fetched image; 0 otherwise.
int TPixMView::StoreValue(int idx, int32_t (TIEVirtualDIBList::*get)(PIEVirtualImageInfo)) {
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  return info && info->Image ? (store_.get()->*get)(info->Image) : 0;
}

int TPixMView::GetImageWidth(int idx) { return StoreValue(idx, &TIEVirtualDIBList::GetImageWidth); }
int TPixMView::GetImageHeight(int idx) { return StoreValue(idx, &TIEVirtualDIBList::GetImageHeight); }
int TPixMView::GetImageBitCount(int idx) { return StoreValue(idx, &TIEVirtualDIBList::GetImageBitCount); }

int TPixMView::GetImageOriginalWidth(int idx) {
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  return info && info->Image ? info->Image->OriginalWidth : 0;
}

int TPixMView::GetImageOriginalHeight(int idx) {
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  return info && info->Image ? info->Image->OriginalHeight : 0;
}

void TPixMView::SetImageOriginalWidth(int idx, int v) {
  TIEMViewLock lock;
  if (TIEImageInfo* info = Info(idx); info && info->Image) store_->SetImageOriginalWidth(info->Image, v);
}

void TPixMView::SetImageOriginalHeight(int idx, int v) {
  TIEMViewLock lock;
  if (TIEImageInfo* info = Info(idx); info && info->Image) store_->SetImageOriginalHeight(info->Image, v);
}

int TPixMView::GetImageX(int idx) const { return Info(idx) ? Info(idx)->X : 0; }
int TPixMView::GetImageY(int idx) const { return Info(idx) ? Info(idx)->Y : 0; }
int TPixMView::GetImageRow(int idx) const { return Info(idx) ? Info(idx)->Row : 0; }
int TPixMView::GetImageCol(int idx) const { return Info(idx) ? Info(idx)->Col : 0; }

void TPixMView::SetImageFileName(int idx, const std::string& name) {
  TIEMViewLock lock;
  if (TIEImageInfo* info = Info(idx)) {
    info->FileName = name;
    info->ID = -1;
  }
}

std::string TPixMView::GetImageFileName(int idx) {
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  return info ? info->FileName : std::string();
}

void TPixMView::SetImageID(int idx, int id) {
  TIEMViewLock lock;
  if (TIEImageInfo* info = Info(idx)) {
    info->ID = id;
    info->FileName.clear();
  }
}

int TPixMView::GetImageID(int idx) {
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  return info ? info->ID : -1;
}

void TPixMView::SetImageBackground(int idx, TColor c) {
  {
    TIEMViewLock lock;
    TIEImageInfo* info = Info(idx);
    if (!info) return;
    info->Background = c;
  }
  Update();
}

TColor TPixMView::GetImageBackground(int idx) {
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  return info ? info->Background : TColor(0);
}

void TPixMView::SetImageDelayTime(int idx, int ms) {
  TIEMViewLock lock;
  if (TIEImageInfo* info = Info(idx)) info->DelayTime = ms;
}

int TPixMView::GetImageDelayTime(int idx) {
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  return info ? info->DelayTime : 0;
}

TIEMText* TPixMView::GetImageTopText(int idx) { return Info(idx) ? Info(idx)->TopText : nullptr; }
TIEMText* TPixMView::GetImageBottomText(int idx) { return Info(idx) ? Info(idx)->BottomText : nullptr; }
TIEMText* TPixMView::GetImageInfoText(int idx) { return Info(idx) ? Info(idx)->InfoText : nullptr; }

bool TPixMView::GetImageCorrupt(int idx) {
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  return info && info->Corrupt;
}

bool TPixMView::HasPixels(int idx) {
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  return info && info->Image;
}

uint64_t TPixMView::GetImageUid(int idx) {
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  return info ? info->Uid : 0;
}

// Pixels ---------------------------------------------------------------------------------------------

// Under the lock: replaces the image's pixels (shrunk first with ietThumb).
void TPixMView::StorePixels(TIEImageInfo* info, TIEBaseBitmap* bitmap, int32_t originalW, int32_t originalH,
                            bool shrink) {
  if (info->Image) {
    store_->ReleaseBitmapByImage(info->Image, false);
    store_->Delete(info->Image);
    info->Image = nullptr;
  }
  if (info->Cache) {
    cache_->Delete(info->Cache);
    info->Cache = nullptr;
  }
  std::unique_ptr<TIEBitmap> thumb;
  if (shrink && StoreType == ietThumb) thumb.reset(IEMMakeThumbnail(bitmap, thumbW_, thumbH_, ThumbnailResampleFilter));
  info->Image = store_->AddIEBitmap(thumb ? thumb.get() : bitmap);
  if (info->Image) {
    store_->SetImageOriginalWidth(info->Image, originalW);
    store_->SetImageOriginalHeight(info->Image, originalH);
  }
}

void TPixMView::SetIEBitmapEx(int idx, TIEBaseBitmap* bitmap) {
  {
    TIEMViewLock lock;
    TIEImageInfo* info = Info(idx);
    if (!info || !bitmap) return;
    if (idx == selectedIndex_) currentBitmap_ = nullptr;
    StorePixels(info, bitmap, bitmap->GetWidth(), bitmap->GetHeight(), true);
    info->Corrupt = false;
  }
  RefetchCurrent(idx);
}

void TPixMView::RefetchCurrent(int idx) {
  if (idx != selectedIndex_) return;
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  currentBitmap_ = info && info->Image ? store_->GetBitmap(info->Image) : nullptr;
}

void TPixMView::SetImageEx(int idx, TBitmap* bitmap) {
  if (!bitmap) return;
  TIEBitmap wrapper;
  wrapper.EncapsulateTBitmap(bitmap);
  SetIEBitmapEx(idx, &wrapper);
}

void TPixMView::SetImage(int idx, TBitmap* bitmap) {
  SetImageEx(idx, bitmap);
  Update();
}

void TPixMView::SetImageRect(int idx, TBitmap* bitmap, int x1, int y1, int x2, int y2) {
  if (!bitmap || bitmap->GetWidth() < 1 || bitmap->GetHeight() < 1) return;
  {
    TIEMViewLock lock;
    TIEImageInfo* info = Info(idx);
    if (!info) return;
    const int mx = bitmap->GetWidth() - 1, my = bitmap->GetHeight() - 1;
    x1 = std::clamp(x1, 0, mx);
    x2 = std::clamp(x2, 0, mx);
    y1 = std::clamp(y1, 0, my);
    y2 = std::clamp(y2, 0, my);
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    if (idx == selectedIndex_) currentBitmap_ = nullptr;
    if (info->Image) {
      store_->ReleaseBitmapByImage(info->Image, false);
      store_->Delete(info->Image);
    }
    if (info->Cache) cache_->Delete(info->Cache);
    info->Cache = nullptr;
    info->Image = store_->AddBitmapRect(bitmap, x1, y1, x2 - x1 + 1, y2 - y1 + 1);
    if (info->Image) {
      store_->SetImageOriginalWidth(info->Image, bitmap->GetWidth());
      store_->SetImageOriginalHeight(info->Image, bitmap->GetHeight());
    }
  }
  RefetchCurrent(idx);
  Update();
}

bool TPixMView::SetImageFromFile(int idx, const std::string& name) {
  if (!Info(idx)) return false;
  try {
    TFileStream stream(name, fmOpenRead | fmShareDenyWrite);
    return SetImageFromStream(idx, &stream);
  } catch (const Exception&) {
    return false;
  }
}

bool TPixMView::SetImageFromStream(int idx, TStream* stream) {
  if (!Info(idx) || !stream) return false;
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(1, 1);
  ownIO_->SetAttachedBitmap(&bitmap);
  PrepareOwnIO(GetImageBackground(idx));
  bool ok = false;
  try {
    ownIO_->LoadFromStream(stream);
    ok = !ownIO_->Aborting;
  } catch (const Exception&) {
    ok = false;
  }
  ownIO_->SetAttachedBitmap(nullptr);
  if (ok) {
    {
      TIEMViewLock lock;
      if (TIEImageInfo* info = Info(idx)) info->Background = ownIO_->GetReBackground();
    }
    SetImageEx(idx, &bitmap);
  }
  Update();
  return ok;
}

TBitmap* TPixMView::GetBitmap(int idx) {
  if (!Info(idx)) return nullptr;
  if (!HasPixels(idx)) ObtainImageNow(idx);
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  return info && info->Image ? store_->GetBitmap(info->Image) : nullptr;
}

void TPixMView::ReleaseBitmap(int idx) {
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  if (!info || !info->Image) return;
  store_->ReleaseBitmapByImage(info->Image, true);
  if (info->Cache) {
    cache_->Delete(info->Cache);
    info->Cache = nullptr;
  }
}

void TPixMView::CopyToIEBitmap(int idx, TIEBitmap* bitmap) {
  if (!Info(idx) || !bitmap) return;
  if (!HasPixels(idx)) ObtainImageNow(idx);
  TIEMViewLock lock;
  TIEImageInfo* info = Info(idx);
  if (info && info->Image) store_->CopyToIEBitmap(info->Image, bitmap);
}

void TPixMView::PrepareOwnIO(TColor background) {
  ownIO_->SetReBackground(background);
  ownIO_->OnProgress = OnIOProgress;
  ownIO_->IOParams->JPEG_Scale = StoreType == ietThumb ? ioJPEG_AUTOCALC : ioJPEG_FULLSIZE;
  ownIO_->IOParams->Width = thumbW_;
  ownIO_->IOParams->Height = thumbH_;
}

// Selection ---------------------------------------------------------------------------------------------

void TPixMView::ReleaseCurrent() {
  if (selectedIndex_ < 0) return;
  TIEMViewLock lock;
  if (TIEImageInfo* info = Info(selectedIndex_)) {
    if (info->Image && currentBitmap_) store_->ReleaseBitmapByImage(info->Image, true);
    if (info->Cache) {
      cache_->Delete(info->Cache);
      info->Cache = nullptr;
    }
  }
  currentBitmap_ = nullptr;
}

void TPixMView::SetSelectedItemNU(int idx) {
  if (playing_ || idx < 0 || idx >= GetImageCount()) return;
  ReleaseCurrent();
  if (enableMultiSelect_) {
    if (!multiSelectHeld_) {
      multiSel_.clear();
    } else if (!batchSelect_) {
      auto it = std::find(multiSel_.begin(), multiSel_.end(), idx);
      if (it != multiSel_.end()) {
        multiSel_.erase(it);
        if (!keepOnReselect_) {
          selectedIndex_ = -1;
          return;
        }
      }
    }
    multiSel_.push_back(idx);
  }
  if (batchSelect_) {
    selectedIndex_ = -1;
    return;
  }
  selectedIndex_ = idx;
  currentBitmap_ = GetBitmap(idx);
}

void TPixMView::SetSelectedItem(int idx) {
  if (playing_) return;
  SetSelectedItemNU(idx);
  if (batchSelect_) return;
  Update();
  if (OnImageSelect) OnImageSelect(this, selectedIndex_);
}

void TPixMView::DeselectNU() {
  ReleaseCurrent();
  selectedIndex_ = -1;
  if (enableMultiSelect_) multiSel_.clear();
}

void TPixMView::Deselect() {
  DeselectNU();
  Update();
}

void TPixMView::UnSelectImage(int idx) {
  if (!Info(idx)) return;
  if (idx == selectedIndex_) {
    ReleaseCurrent();
    selectedIndex_ = -1;
  }
  multiSel_.erase(std::remove(multiSel_.begin(), multiSel_.end(), idx), multiSel_.end());
  Update();
}

bool TPixMView::IsSelected(int idx) const {
  return std::find(multiSel_.begin(), multiSel_.end(), idx) != multiSel_.end();
}

void TPixMView::SelectAll() {
  if (!enableMultiSelect_) return;
  DeselectNU();
  const int n = GetImageCount();
  for (int i = 0; i + 1 < n; ++i) multiSel_.push_back(i);
  const bool held = multiSelectHeld_;
  multiSelectHeld_ = true;
  if (n > 0) SetSelectedItemNU(n - 1);
  multiSelectHeld_ = held;
  Update();
}

void TPixMView::BeginSelectImages() {
  DeselectNU();
  batchSelect_ = true;
  multiSelectHeld_ = true;
}

void TPixMView::EndSelectImages() {
  batchSelect_ = false;
  multiSelectHeld_ = false;
  if (!multiSel_.empty()) {
    const int last = multiSel_.back();
    if (Info(last)) {
      selectedIndex_ = last;
      currentBitmap_ = GetBitmap(last);
    }
  }
  Update();
}

int TPixMView::GetMultiSelectedImages(int i) const {
  return i >= 0 && i < int(multiSel_.size()) ? multiSel_[size_t(i)] : -1;
}

// Properties -----------------------------------------------------------------------------------------

void TPixMView::SetBackGround(TColor colour) {
  TIEView::SetBackGround(colour);
  Update();
}

int TPixMView::UnLockPaint() {
  if (paintLock_ > 0) --paintLock_;
  if (paintLock_ == 0) Update();
  return paintLock_;
}

int TPixMView::NPUnLockPaint() {
  if (paintLock_ > 0) --paintLock_;
  return paintLock_;
}

void TPixMView::SetThumbWidth(int v) {
  thumbW_ = std::max(v, 1);
  ClearCache();
  Update();
}

void TPixMView::SetThumbHeight(int v) {
  thumbH_ = std::max(v, 1);
  ClearCache();
  Update();
}

void TPixMView::SetHorizBorder(int v) {
  horizBorder_ = std::max(v, 0);
  Update();
}

void TPixMView::SetVertBorder(int v) {
  vertBorder_ = std::max(v, 0);
  Update();
}

void TPixMView::SetBottomGap(int v) {
  bottomGap_ = std::max(v, 0);
  Update();
}

void TPixMView::SetUpperGap(int v) {
  upperGap_ = std::max(v, 0);
  Update();
}

void TPixMView::SetDisplayMode(TIEMDisplayMode m) {
  if (playing_) {
    savedMode_ = m;
    return;
  }
  displayMode_ = m;
  Update();
}

void TPixMView::SetGridWidth(int v) {
  gridWidth_ = std::max(v, -1);
  Update();
}

void TPixMView::SetVisibleSelection(bool v) {
  VisibleSelection = v;
  Update();
}

void TPixMView::SetSelectionWidth(int v) {
  SelectionWidth = v;
  Update();
}

void TPixMView::SetSelectionColor(TColor c) {
  SelectionColor = c;
  Update();
}

void TPixMView::SetEnableMultiSelect(bool v) {
  if (v == enableMultiSelect_) return;
  enableMultiSelect_ = v;
  Update();
}

void TPixMView::SetStyle(TIEMStyle s) {
  if (s == Style) return;
  Style = s;
  Update();
}

void TPixMView::SetSelectionStyle(TIESStyle s) {
  if (s == SelectionStyle) return;
  SelectionStyle = s;
  Update();
}
