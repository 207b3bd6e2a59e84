// TPixMView: a scrolling grid of thumbnails, or one image at a time.
//
// Each image of the list carries its source (a file name or an ID the
// program turns into a bitmap), a background, a frame delay and three
// captions; its pixels, once fetched, live in a store kept in a
// memory-mapped temporary file. Images that painting meets without pixels
// are loaded in the background by a starter thread and up to
// ThreadPoolSize asynchronous TPixIO loaders (mview_load.cpp).
//
// Every image has a stable id besides its index. The request queue and the
// loaders name images by id, so a load that finishes after the list has
// changed lands in the right image, or nowhere when its image is gone.
// gThreadCS guards the image list, the stores, the queue, the loader list
// and the visible-id snapshot; the GUI thread alone touches the layout,
// the selection and the scroll state.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "imaging/core/iedefs.h"
#include "imaging/core/ieview.h"
#include "imaging/core/ieviewparams.h"
#include "imaging/core/ievirtual.h"
#include "platform/canvas.h"
#include "platform/gdi.h"
#include "platform/stdctrls.h"

class TIEBaseBitmap;
class TIEBitmap;
class TPixIO;
class TPixMView;
class TStream;

enum TIEStoreType { ietNormal, ietThumb };
enum TIEMDisplayMode { mdGrid, mdSingle };
enum TIEMStyle { iemsFlat, iemsACD };
enum TIESStyle { iessAround, iessACD };
enum TIEMTextPos { iemtpTop, iemtpBottom, iemtpInfo };
enum TIESeek { iskLeft, iskRight, iskUp, iskDown, iskFirst, iskLast, iskPagDown, iskPagUp };

enum : unsigned { mmiScroll = 1u << 0, mmiSelect = 1u << 1 };
using TIEMMouseInteract = unsigned;
enum : unsigned { mkiMoveSelected = 1u << 0 };
using TIEMKeyInteract = unsigned;
enum : unsigned { iemoRegion = 1u << 0 };
using TIEMultiSelectionOptions = unsigned;

using TIEImageIDRequestEvent = std::function<void(TObject* Sender, int ID, TBitmap*& Bitmap)>;
using TIEImageDrawEvent = std::function<void(TObject* Sender, int idx, int Left, int Top, TCanvas* Canvas)>;
using TIEImageSelectEvent = std::function<void(TObject* Sender, int idx)>;
using TIEMProgressEvent = std::function<void(TObject* Sender, int per, int idx)>;
using TMViewChangeEvent = std::function<void(TObject* Sender, int Change)>;

// One caption of an image.
class TIEMText : public TObject {
 public:
  TIEMText(TComponent* owner, TIEMTextPos position);
  ~TIEMText() override;
  TIEMText(const TIEMText&) = delete;
  TIEMText& operator=(const TIEMText&) = delete;

  const std::string& GetCaption() const { return caption_; }
  // Grows the owning view's gaps to make room for the text.
  void SetCaption(const std::string& text);
  TFont* Font;
  TColor Background = clBtnFace;

 private:
  TComponent* owner_;
  TIEMTextPos position_;
  std::string caption_;
};

struct TIEImageInfo {
  PIEVirtualImageInfo Image = nullptr;  // pixels in the image store
  PIEVirtualImageInfo Cache = nullptr;  // scaled copy in the cache store
  int32_t X = 0, Y = 0, Row = 0, Col = 0;
  TColor Background = clBtnFace;
  std::string FileName;
  int32_t ID = -1;
  int32_t DelayTime = 0;
  TIEMText* TopText = nullptr;
  TIEMText* BottomText = nullptr;
  TIEMText* InfoText = nullptr;
  uint64_t Uid = 0;      // stable id, never reused
  bool Corrupt = false;  // its load failed; the pixels are a placeholder
};

class TPixMView : public TIEView {
 public:
  explicit TPixMView(TComponent* Owner);
  ~TPixMView() override;

  // Image list.
  int GetImageCount() const { return int(images_.size()); }
  void InsertImage(int idx);
  void InsertImageEx(int idx);
  int AppendImage();
  void DeleteImage(int idx);
  bool DeleteImageNU(int idx);
  void DeleteSelectedImages();
  void MoveImage(int idx, int newidx);
  void Clear();
  int GetLastOp();
  int GetLastOpIdx() const { return lastOpIdx_; }
  void PrepareSpaceFor(int width, int height, int bitcount, int count);

  // Per-image attributes; invalid indexes give 0 (-1 for the ID) and are
  // ignored by setters.
  int GetImageWidth(int idx);
  int GetImageHeight(int idx);
  int GetImageBitCount(int idx);
  int GetImageOriginalWidth(int idx);
  int GetImageOriginalHeight(int idx);
  void SetImageOriginalWidth(int idx, int v);
  void SetImageOriginalHeight(int idx, int v);
  int GetImageX(int idx) const;
  int GetImageY(int idx) const;
  int GetImageRow(int idx) const;
  int GetImageCol(int idx) const;
  void SetImageFileName(int idx, const std::string& name);
  std::string GetImageFileName(int idx);
  void SetImageID(int idx, int id);
  int GetImageID(int idx);
  void SetImageBackground(int idx, TColor c);
  TColor GetImageBackground(int idx);
  void SetImageDelayTime(int idx, int ms);
  int GetImageDelayTime(int idx);
  TIEMText* GetImageTopText(int idx);
  TIEMText* GetImageBottomText(int idx);
  TIEMText* GetImageInfoText(int idx);
  bool GetImageCorrupt(int idx);
  bool HasPixels(int idx);
  // The stable id of an image; 0 for an invalid index.
  uint64_t GetImageUid(int idx);

  // Pixels.
  void SetIEBitmapEx(int idx, TIEBaseBitmap* bitmap);
  void SetImageEx(int idx, TBitmap* bitmap);
  void SetImage(int idx, TBitmap* bitmap);
  void SetImageRect(int idx, TBitmap* bitmap, int x1, int y1, int x2, int y2);
  bool SetImageFromFile(int idx, const std::string& name);
  bool SetImageFromStream(int idx, TStream* stream);
  TBitmap* GetBitmap(int idx);
  void ReleaseBitmap(int idx);
  void CopyToIEBitmap(int idx, TIEBitmap* bitmap);
  TBitmap* GetFBitmap() override { return currentBitmap_; }

  // TIEView: the thumbnails have no alpha channel of their own.
  TIEMask* GetAlphaChannel() override { return nullptr; }
  void SetAlphaChannel(TIEMask*) override {}
  bool GetHasAlphaChannel() override { return false; }
  void RemoveAlphaChannel() override {}
  void LockPaint() override { ++paintLock_; }
  int UnLockPaint() override;
  int NPUnLockPaint() override;
  void SetBackGround(TColor colour) override;

  // Layout and scrolling.
  int32_t GetViewX() const { return viewX_; }
  int32_t GetViewY() const { return viewY_; }
  void SetViewX(int32_t x);
  void SetViewY(int32_t y);
  void SetViewXY(int32_t x, int32_t y);
  void GetMaxViewXY(int32_t& x, int32_t& y);
  int32_t GetMaximumViewX();
  int32_t GetMaximumViewY();
  int ImageAtPos(int x, int y);
  int ImageAtGridPos(int row, int col);
  int InsertingPoint(int x, int y);
  int GetImageVisibility(int idx);
  bool IsVisible(int idx);
  void UpdateCoords();
  void Update() override;
  void CenterSelected();
  void UpdateImage(int idx);
  int Columns();
  int32_t ContentWidth() const { return contentW_; }
  int32_t ContentHeight() const { return contentH_; }

  // Selection.
  int GetSelectedIndex() const { return selectedIndex_; }
  void SetSelectedItem(int idx);
  void SetSelectedItemNU(int idx);
  void Deselect();
  void DeselectNU();
  void UnSelectImage(int idx);
  bool IsSelected(int idx) const;
  void SelectAll();
  void BeginSelectImages();
  void EndSelectImages();
  int GetMultiSelectedImages(int i) const;
  int MultiSelectedImagesCount() const { return int(multiSel_.size()); }
  void SelectAtPos(int x, int y, TShiftState Shift);
  void SelectSeek(TIESeek s);

  // Loading (mview_load.cpp).
  bool ObtainImageNow(int idx);
  bool ObtainImageThreaded(int idx);
  virtual void ClearThreadsAndRequests();
  int QueuedCount();
  int LoaderCount();
  // True while anything is queued or loading.
  bool LoadsPending();

  // Painting and playback (mview_paint.cpp).
  void Paint() override;
  virtual void PaintTo(TCanvas* Canvas);
  void DrawImage(TCanvas* Canvas, TIEImageInfo* info, int idx, bool selected);
  void ClearImageCache(int idx);
  void ClearCache();
  void SetEnableImageCaching(bool v);
  bool GetEnableImageCaching() const { return enableImageCaching_; }
  bool GetPlaying() const { return playing_; }
  void SetPlaying(bool v);
  void PlayFrame();
  void CenterFrame();
  int GetVisibleFrame() const { return visibleFrame_; }
  void SetVisibleFrame(int idx);

  // Properties with effects.
  TScrollStyle GetScrollBars() const { return scrollBars_; }
  virtual void SetScrollBars(TScrollStyle s);
  int GetThumbWidth() const { return thumbW_; }
  int GetThumbHeight() const { return thumbH_; }
  void SetThumbWidth(int v);
  void SetThumbHeight(int v);
  int GetHorizBorder() const { return horizBorder_; }
  int GetVertBorder() const { return vertBorder_; }
  void SetHorizBorder(int v);
  void SetVertBorder(int v);
  int GetBottomGap() const { return bottomGap_; }
  int GetUpperGap() const { return upperGap_; }
  void SetBottomGap(int v);
  void SetUpperGap(int v);
  TIEMDisplayMode GetDisplayMode() const { return displayMode_; }
  void SetDisplayMode(TIEMDisplayMode m);
  int GetGridWidth() const { return gridWidth_; }
  void SetGridWidth(int v);
  void SetVisibleSelection(bool v);
  void SetSelectionWidth(int v);
  void SetSelectionColor(TColor c);
  void SetEnableMultiSelect(bool v);
  bool GetEnableMultiSelect() const { return enableMultiSelect_; }
  void SetStyle(TIEMStyle s);
  void SetSelectionStyle(TIESStyle s);
  int GetImageCacheSize() const { return imageCacheSize_; }

  // Plain properties.
  TIEStoreType StoreType = ietNormal;
  TIEMMouseInteract MouseInteract = mmiSelect;
  TIEMKeyInteract KeyInteract = mkiMoveSelected;
  TIEMultiSelectionOptions MultiSelectionOptions = 0;
  bool VisibleSelection = true;
  int SelectionWidth = 3;
  TColor SelectionColor = TColor(0x0000FF);
  bool RemoveCorrupted = false;
  bool DrawImageBackground = false;
  TIEMStyle Style = iemsACD;
  TIESStyle SelectionStyle = iessAround;
  TColor ThumbnailsBackground = clBtnFace;
  int ThumbnailsBorderWidth = 0;
  TColor ThumbnailsBorderColor = clBtnFace;
  int ThreadPoolSize = 5;
  int TransitionDuration = 1000;
  TResampleFilter ThumbnailResampleFilter = rfFastLinear;
  bool EnableResamplingOnMinor = true;
  bool ScrollBarsAlwaysVisible = false;
  bool LoopPlayback = true;
  TIEScrollBarParams* HorzScrollBarParams;
  TIEScrollBarParams* VertScrollBarParams;

  TMViewChangeEvent OnViewChange;
  TIEImageIDRequestEvent OnImageIDRequest;
  TIEImageDrawEvent OnBeforeImageDraw;
  TIEImageDrawEvent OnImageDraw;
  TIEImageSelectEvent OnImageSelect;
  TIEProgressEvent OnIOProgress;
  TIEMProgressEvent OnDrawProgress;

  // The window timer of playback, and the one that repaints what the
  // background loads delivered.
  static constexpr uintptr_t kPlayTimer = 1;
  static constexpr uintptr_t kLoadTimer = 2;

 protected:
  void Dispatch(TMessage& message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  virtual void ViewChange(int Change);

 private:
  struct TLoader;

  TIEImageInfo* Info(int idx) const;
  int IndexOfUid(uint64_t uid) const;
  TIEImageInfo* NewInfo();
  void FreeInfo(TIEImageInfo* info);
  void RefetchCurrent(int idx);
  void ReleaseCurrent();
  void SetupScrollBar(int bar, int32_t maxV, int32_t view, int32_t clientSize, double& factor);
  void ScrollMessage(int bar, int code, int pos);
  // Under the lock; `shrink` applies StoreType (loaders have shrunk already).
  int StoreValue(int idx, int32_t (TIEVirtualDIBList::*get)(PIEVirtualImageInfo));
  // The own TPixIO's background, progress and JPEG scale for a load at once.
  void PrepareOwnIO(TColor background);
  void StorePixels(TIEImageInfo* info, TIEBaseBitmap* bitmap, int32_t originalW, int32_t originalH, bool shrink);
  void PaintCells(TCanvas* Canvas);

  // Loading.
  void StartStarter();
  void StarterBody();
  void WakeStarter();
  // Under gThreadCS: loaders that finished leave the list into `done`;
  // loads and requests for images out of sight are dropped.
  void SweepLoaders(std::vector<TLoader*>& done);
  void SweepQueue();
  void FreeLoaders(std::vector<TLoader*>& done);
  void RefreshVisibleSnapshot();
  void LoaderFinished(TLoader* loader);
  void NoteLoadsPending();

  std::vector<TIEImageInfo*> images_;
  std::unique_ptr<TIEVirtualDIBList> store_;
  std::unique_ptr<TIEVirtualDIBList> cache_;
  std::vector<int> multiSel_;
  std::unique_ptr<TPixIO> ownIO_;
  HDRAWDIB drawDib_ = 0;
  uint64_t nextUid_ = 1;

  int32_t viewX_ = 0, viewY_ = 0;
  int32_t contentW_ = 0, contentH_ = 0;
  double hFactor_ = 1.0, vFactor_ = 1.0;
  int selectedIndex_ = -1;
  TBitmap* currentBitmap_ = nullptr;
  int paintLock_ = 0;
  bool updating_ = false;
  bool destroying_ = false;
  bool doubleClick_ = false;
  TPoint downPoint_{0, 0};
  int32_t downViewX_ = 0, downViewY_ = 0;
  int downImage_ = -1, lastMoveImage_ = -1;
  bool multiSelectHeld_ = false;
  bool keepOnReselect_ = false;
  bool batchSelect_ = false;
  bool playing_ = false;
  bool frameStepping_ = false;
  int visibleFrame_ = 0;
  TIEMDisplayMode savedMode_ = mdGrid;
  int savedSelection_ = -1;
  int lastOp_ = 0, lastOpIdx_ = 0;
  bool enableImageCaching_ = true;

  TScrollStyle scrollBars_ = ssNone;
  int thumbW_ = 100, thumbH_ = 100;
  int horizBorder_ = 4, vertBorder_ = 4;
  int bottomGap_ = 0, upperGap_ = 0;
  TIEMDisplayMode displayMode_ = mdGrid;
  int gridWidth_ = 0;
  bool enableMultiSelect_ = false;
  int imageCacheSize_ = 10;

  // Background loading; all under gThreadCS but the wake flag and the
  // repaint flag, which are atomics the other threads set.
  std::deque<uint64_t> queue_;
  std::vector<TLoader*> loaders_;
  std::set<uint64_t> visibleSnapshot_;
  struct TLoadParams {
    TIEStoreType Store = ietNormal;
    int32_t ThumbW = 100, ThumbH = 100;
    TResampleFilter Filter = rfFastLinear;
    int PoolSize = 5;
  } loadParams_;
  std::thread starter_;
  std::mutex wakeLock_;
  std::condition_variable wake_;
  bool wakeFlag_ = false;        // under wakeLock_
  bool starterQuit_ = false;     // under wakeLock_
  std::atomic<bool> repaintDue_{false};
  bool loadTimerOn_ = false;
};
