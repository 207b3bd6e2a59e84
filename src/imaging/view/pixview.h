// The scrolling and zooming picture control. It holds one picture (a 24-bit
// or 1-bit platform bitmap, optionally with an 8-bit alpha channel) and
// shows it at any zoom, scrolled, centred or fitted, over a styled
// background, with one selection drawn as marching ants.
//
// Layout (pixview_geometry.cpp): Update computes the zoomed extent, the
// visible size, the centring offsets and the scroll bars; ViewX and ViewY
// are the scroll position in zoomed pixels. Painting (pixview_paint.cpp)
// always goes through a back buffer of the client's size. The selection
// (pixview_select.cpp) is a polygon of picture points plus a 1-bit mask of
// the picture's size; it is resized, moved and made by the magic wand in
// pixview_selectops.cpp, and its pixels are copied, coloured and given an
// alpha in pixview_pixels.cpp. The mouse modes are pixview_mouse.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imaging/core/iedefs.h"
#include "imaging/core/ieview.h"
#include "imaging/core/ieviewparams.h"
#include "imaging/view/transition.h"
#include "platform/canvas.h"
#include "platform/gdi.h"
#include "platform/stdctrls.h"  // TScrollStyle

class TIEMask;
class TPixIO;
class TPixProc;
class TTimer;

enum TIEBackgroundStyle {
  iebsSolid,
  iebsHorizontal,
  iebsVertical,
  iebsFDiagonal,
  iebsBDiagonal,
  iebsCross,
  iebsDiagCross,
  iebsChessboard,
  iebsDiagonals,
  iebsCropped,
  iebsCropShadow
};

enum TIESelectionBase { iesbClientArea, iesbBitmap };
enum TIESelOp { iespReplace, iespAdd };

// Selection options (a set).
enum : unsigned {
  iesoAnimated = 1u << 0,
  iesoSizeable = 1u << 1,
  iesoMoveable = 1u << 2,
  iesoFilled = 1u << 3,
  iesoCutBorders = 1u << 4,
};
using TIESelectionOptions = unsigned;

// Mouse interaction items (a set).
enum : unsigned {
  miZoom = 1u << 0,
  miScroll = 1u << 1,
  miSelect = 1u << 2,
  miSelectPolygon = 1u << 3,
  miSelectCircle = 1u << 4,
  miSelectZoom = 1u << 5,
  miSelectMagicWand = 1u << 6,
  miSelectLasso = 1u << 7,
};
using TIEMouseInteract = unsigned;

enum TIEMagicWandMode { iewInclusive, iewExclusive, iewGlobal };

using TViewChangeEvent = std::function<void(TObject* Sender, int Change)>;
// Before a click zoom; the handler may change the zoom about to be set.
using TIEZoomEvent = std::function<void(TObject* Sender, double& NewZoom)>;
// The grip under the mouse (-1 none) on every move without a button.
using TIEMouseInResizingGripEvent = std::function<void(TObject* Sender, int Grip)>;

// One animated polygon of picture points. A point whose x is
// TIEMask::PolygonSeparator separates sub-polygons. For rectangles the view
// makes, X2 and Y2 are one past the last selected column and row.
struct TIEAnimPoly {
  std::vector<TPoint> Points;
  TColor Color1 = clBlack;
  TColor Color2 = clWhite;
  bool Animated = true;
  int32_t Phase = 0;  // 0..5, the dash offset
  int32_t DashCounter = 0;
  TCanvas* Canvas = nullptr;
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  bool Visible = true;
  bool Sizeable = true;
  int32_t Count() const { return int32_t(Points.size()); }
};

// Whether four points make an axis-parallel rectangle (edges alternate
// between vertical and horizontal).
bool _IsRectangle(const TPoint* Points, int32_t Count);

// The view unit's start: reads the screen's logical pixels per inch into
// gSystemDPIX and gSystemDPIY (96 without a screen). The program calls it
// once, before it loads any picture.
void ReadSystemDPI();

// Cursor ids the view registers: 1777 + n for the n-th resource name.
constexpr TCursor kIEFirstViewCursor = 1778;
constexpr TCursor kIEDefaultViewCursor = 1785;
constexpr TCursor kIEShiftViewCursor = 1791;

class TPixView : public TIEView {
 public:
  explicit TPixView(TComponent* Owner);
  ~TPixView() override;

  // Picture --------------------------------------------------------------------------
  TBitmap* GetFBitmap() override { return bitmap_; }
  // Copies a TPixView's picture, alpha, background and DPI, or a TBitmap
  // (1-bit and 24-bit kept, other formats drawn into 24 bits); nullptr clears.
  void Assign(TPersistent* Source) override;
  void Clear();
  void Blank();
  bool GetIsEmpty() const;
  void SetBackGround(TColor Color) override;
  void ImageChange() override;
  void SetBounds(int Left, int Top, int Width, int Height) override;

  // Alpha channel -----------------------------------------------------------------------
  TIEMask* GetAlphaChannel() override;
  void SetAlphaChannel(TIEMask* Mask) override;
  bool GetHasAlphaChannel() override { return alpha_ != nullptr; }
  void RemoveAlphaChannel() override;
  bool GetEnableAlphaChannel() const { return enableAlpha_; }
  void SetEnableAlphaChannel(bool b);
  // Every picture pixel whose alpha lies in Min..Max becomes Color.
  void SetAlphaRangePixelsColor(int Min, int Max, TRGB Color);
  // Makes Bitmap 24-bit and, with an alpha channel, blends the picture at
  // 1:1 onto it at (x, y).
  void CopyToBitmapWithAlpha(TBitmap* Bitmap, int x, int y);

  // Layout and paint lock --------------------------------------------------------------
  void Update() override;
  void UpdateNoPaint();
  void LockPaint() override { ++paintLock_; }
  int UnLockPaint() override;
  int NPUnLockPaint() override;
  int PaintLockCount() const { return paintLock_; }
  int GetClientWidth() const override;
  int GetClientHeight() const override;
  bool HasParentWindow() const;

  // Zoom --------------------------------------------------------------------------------
  double GetZoom() const { return zoom_; }
  void SetZoom(double z);
  void ZoomAt(int x, int y, double z);
  void Fit();
  void FitToWidth();
  void FitToHeight();
  void ZoomSelection();
  double GetFitValue();
  double GetOptimalZoom(int ImageWidth, int ImageHeight, int AreaWidth, int AreaHeight, bool Enlarge, bool Reduce);
  int GetIdealComponentWidth();
  int GetIdealComponentHeight();
  TResampleFilter GetZoomFilter() const { return zoomFilter_; }
  void SetZoomFilter(TResampleFilter f);
  bool GetCenter() const { return center_; }
  void SetCenter(bool b);

  // Scrolling ----------------------------------------------------------------------------
  int32_t GetViewX() const { return viewX_; }
  int32_t GetViewY() const { return viewY_; }
  void SetViewXY(int32_t x, int32_t y);
  void SetViewX(int32_t x);
  void SetViewY(int32_t y);
  void GetMaxViewXY(int32_t& maxX, int32_t& maxY);
  TScrollStyle GetScrollBars() const { return scrollBars_; }
  virtual void SetScrollBars(TScrollStyle style);
  bool GetScrollBarsAlwaysVisible() const { return scrollBarsAlwaysVisible_; }
  void SetScrollBarsAlwaysVisible(bool b);

  // Coordinates (client <-> picture) -----------------------------------------------------
  int32_t XScr2Bmp(int32_t x) const;
  int32_t YScr2Bmp(int32_t y) const;
  int32_t XBmp2Scr(int32_t x) const;
  int32_t YBmp2Scr(int32_t y) const;

  // Painting --------------------------------------------------------------------------------
  virtual void PaintTo(TCanvas* Canvas, TBitmap* Bitmap);
  virtual void PaintToEx(TBitmap* Bitmap, uint8_t** RowPointers, const TRect* UpdateRect);
  void DrawTo(TCanvas* Canvas);
  void CalcPaintCoef();
  void UpdateRect(const TRect& Rect);
  TIEBackgroundStyle GetBackgroundStyle() const { return backgroundStyle_; }
  void SetBackgroundStyle(TIEBackgroundStyle style);
  void SetChessboardStyle(int Size, TBrushStyle BrushStyle);
  bool GetDisplayGrid() const { return displayGrid_; }
  void SetDisplayGrid(bool b);
  TBitmap* BackBuffer() const { return backBuffer_; }
  bool BackBufferDirty() const { return dirty_; }
  // Paints the area around the picture rectangle (x1, y1)-(x2, y2) of a
  // W x H area in one of the background styles.
  void PaintBackground(TCanvas* Canvas, TIEBackgroundStyle Style, int x1, int y1, int x2, int y2, int W, int H);

  // Selection ---------------------------------------------------------------------------------
  virtual void Select(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TIESelOp Op = iespReplace);
  void SelectEx(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TIESelOp Op, bool Square);
  virtual void AddSelPoint(int32_t x, int32_t y);
  void AddSelPointEx(int32_t x, int32_t y);
  void AddSelBreak();
  void AddSelBreakEx();
  // Resizes a rectangle selection by a grip to the client point (x, y);
  // returns the grip, mirrored when the edge passed the opposite one.
  int SelectResizeEx(int Grip, int32_t x, int32_t y, bool KeepAspect);
  // Moves mask and polygon by picture pixels; returns Grip.
  int SelectMoveEx(int Grip, int32_t dx, int32_t dy);
  void SelectMagicWand(int32_t x, int32_t y, TIESelOp Op);
  // Bitmap becomes the selection's box, holding the selected pixels.
  void CopySelectionToBitmap(TBitmap* Bitmap);
  // The selection (or the whole picture) into a TPixView, a TBitmap or a
  // TImage's bitmap.
  void AssignSelTo(TPersistent* Target);
  void SetSelectedPixelsColor(TRGB Color);
  void SetSelectedAreaAlpha(int Alpha);
  void CopyFromPolygon(TBitmap* Source, const TPoint* Polygon, int Count, TPoint DestPoint);
  void CopyToPolygon(TBitmap* Target, const TPoint* Polygon, int Count, TPoint SourcePoint);
  virtual void EndSelect();
  void DeSelect();
  void InvertSelection();
  void ShowSelectionEx(bool Repaint);
  void HideSelectionEx(bool Repaint);
  bool GetVisibleSelection() const;
  void SetVisibleSelection(bool b);
  TIESelectionOptions GetSelectionOptions() const { return selectionOptions_; }
  void SetSelectionOptions(TIESelectionOptions o);
  void SetSelColor1(TColor c);
  void SetSelColor2(TColor c);
  void SetSelectionGripStyle(TColor Color1, TColor Color2, TBrushStyle Style, int Size, bool Extended);
  int32_t GetSelX1();
  int32_t GetSelY1();
  int32_t GetSelX2();
  int32_t GetSelY2();
  const TPoint* GetPolySelArray() const;
  int32_t GetPolySelCount() const;
  TPoint GetPolySel(int32_t i) const;
  bool IsPointInsideSelection(int32_t x, int32_t y);
  TIEAnimPoly* SelectionPolygon() const { return polys_.empty() ? nullptr : polys_.front(); }
  TTimer* AnimationTimer() const { return timer_; }

  // Polygon store.
  TIEAnimPoly* AnimPolygonNew(TColor Color1, TColor Color2, bool Animated, bool Sizeable);
  void AnimPolygonDel(TIEAnimPoly* p);
  void AnimPolygonClear(TIEAnimPoly* p);
  void AnimPolygonAddPtEx(TIEAnimPoly* p, int32_t x, int32_t y);
  void AnimPolygonAddPt(TIEAnimPoly* p, int32_t x, int32_t y);
  void AnimPolygonAddBreak(TIEAnimPoly* p);
  void AnimPolygonRemoveLast(TIEAnimPoly* p);
  void AnimPolygonRemoveLastPoint(TIEAnimPoly* p);
  void AnimPolygonMove(TIEAnimPoly* p, int32_t dx, int32_t dy, int32_t MaxX, int32_t MaxY);
  // One outline pass: draws the visible polygons (or the mask outline) and
  // counts the delayed-filter and outline countdowns down.
  void AniPolyFunc(TObject* Sender, bool SkipLocked);
  void TimerEvent(TObject* Sender) { AniPolyFunc(Sender, true); }

  // Mouse interaction (pixview_mouse.cpp).
  TIEMouseInteract GetMouseInteract() const { return mouseInteract_; }
  virtual void SetMouseInteract(TIEMouseInteract items);
  // The grip (0..7) at a client point, or -1.
  int GetResizingGrip(int32_t x, int32_t y);
  // 0 over a moveable selected pixel, else -1.
  int GetMovingGrip(int32_t x, int32_t y);
  // Scrolls while the pointer is held outside the picture; true when the
  // view moved.
  bool MouseMoveScroll();
  // Shifts the remembered mouse points with the content after an automatic
  // scroll; descendants shift their own points too.
  virtual void SubMouseMoveScroll(int32_t dx, int32_t dy);
  // Whether a polygon, rectangle, circle, resize or move drag runs.
  bool MouseDragRunning() const { return DragRunning(); }
  bool PolygonInProgress() const { return polyInProgress_; }
  void SetCursor(TCursor c);
  TCursor GetCursor() const { return cursor_; }
  // Takes the screen cursor for an interaction and gives it back.
  void SaveCursor(TCursor c);
  void RestoreCursor();
  // The palette of the application changed: realised again, repainted when
  // it changed. Always true.
  virtual bool PaletteChanged(bool Foreground);

  virtual void ViewChange(int Change);
  // The progress handler, shared with the I/O component when it exists.
  void SetOnProgress(TIEProgressEvent handler);
  const TIEProgressEvent& GetOnProgress() const { return onProgress_; }

  // Transitions (transition_view.cpp): PrepareTransition paints the
  // present display into the effect's source shot; after the picture
  // changed, RunTransition paints the new one into the target shot and
  // starts the effect. Both do nothing while the client area is empty.
  void PrepareTransition();
  void RunTransition(TIETransitionType Effect, int Duration);
  bool GetTransitionRunning() const;
  TIETransitionEffects* Transitions() const { return transition_; }

  // The view's own I/O component, attached to the view: made on the first
  // call, the same object afterwards, freed with the view.
  TPixIO* GetPixIO();
  // The view's own processing component, attached to the view, sharing its
  // progress handler: made on the first call, freed with the view.
  TPixProc* GetPixProc();

  // Public members -----------------------------------------------------------------------------
  bool DoubleBuffer = true;
  bool AutoFit = false;
  bool AutoStretch = false;
  bool AutoShrink = false;
  bool DelayZoomFilter = true;
  bool InvalidateOnUpdate = true;
  bool HasSelection = false;
  bool AltConstraint = false;
  TIEMask* SelectionMask = nullptr;
  TIESelectionBase SelectionBase = iesbClientArea;
  TColor SelColor1 = clBlack;
  TColor SelColor2 = clWhite;
  TIEMagicWandMode MagicWandMode = iewInclusive;
  int MagicWandTolerance = 15;
  bool MagicWandGrow = false;
  TIEScrollBarParams* HorzScrollBarParams;
  TIEScrollBarParams* VertScrollBarParams;
  TIEMouseWheelParams* WheelParams;

  // Layout read by painting and by descendants.
  int32_t OffsetX = 0, OffsetY = 0;
  int32_t ExtentX = 0, ExtentY = 0;
  int32_t VisibleW = 0, VisibleH = 0;
  // The paint rectangle of the last paint.
  int32_t SrcX = 0, SrcY = 0, SrcW = 0, SrcH = 0, DstW = 0, DstH = 0;
  // Countdowns of the delayed filter and of the mask outline.
  int32_t FilterCountdown = 0, OutlineCountdown = 0;
  bool HorzBarShown = false, VertBarShown = false;
  double HorzScrollScale = 1.0, VertScrollScale = 1.0;

  TViewChangeEvent OnViewChange;
  TNotifyEvent OnImageChange;
  TNotifyEvent OnPaint;
  TNotifyEvent OnSelectionChange;
  TNotifyEvent OnSelectionChanging;
  TNotifyEvent OnMouseInSel;
  TIEMouseInResizingGripEvent OnMouseInResizingGrip;
  TIEZoomEvent OnZoomIn;
  TIEZoomEvent OnZoomOut;

 protected:
  void Paint() override;
  void Dispatch(TMessage& message) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // The second press of a double click (after its MouseDown ran).
  void DoubleClickPress(TShiftState shift);
  // Forgets the I/O or processing component when somebody else frees it.
  void Notification(TComponent* component, TOperation operation) override;

 private:
  // Geometry helpers.
  void ApplyZoom(double z);
  void ArmCountdowns();
  void UpdateScrollBar(int bar, int32_t maxV, int32_t view, int32_t clientSize, double& scale, bool& shown);
  void ScrollMessage(int bar, int code, int pos);
  void MouseWheel(const TMessage& message);
  void AutoZoomEdges(int& ex, int& ey) const;
  void ViewMoved(bool horizontal, bool vertical);
  // Painting helpers.
  void PaintRect(const TRect& rect);
  void PresentBackBuffer(const TRect& area);
  void BlitPicture(TBitmap* target, uint8_t** rows, const TRect* clip, bool blend);
  void DrawSelectionFillAndGrid(TCanvas* canvas);
  void DrawFiltered(TCanvas* canvas);
  void DrawPictureRect(TCanvas* canvas, TBitmap* picture, int xs, int ys, int ws, int hs, int xd, int yd, int wd,
                       int hd);
  // Selection helpers.
  bool DragRunning() const {
    return polyInProgress_ || rectDrag_ || circleDrag_ || resizingGrip_ >= 0 || movingGrip_ >= 0;
  }
  // The drags during which the polygon's box is the selection's box.
  bool ShapeDragRunning() const { return polyInProgress_ || rectDrag_ || circleDrag_ || resizingGrip_ >= 0; }
  void DrawPolygonEdges(TIEAnimPoly* p, double c, int32_t baseX, int32_t baseY);
  void DrawGrips(TIEAnimPoly* p, double c, int32_t baseX, int32_t baseY);
  // Mouse helpers.
  TPoint LimitToPicture(int x, int y) const;
  void DrawRubberBand();
  void SnapToLastPoint(int& x, int& y);
  void CircleDrag(TShiftState shift, int x, int y);
  void RectangleDrag(TShiftState shift, int x, int y);
  void ClickZoom(TMouseButton button, int x, int y);
  void SelectionDone(TShiftState shift, bool fill);
  void FireSelectionChanging();

  TBitmap* bitmap_;
  TIEMask* alpha_ = nullptr;
  bool enableAlpha_ = false;
  double zoom_ = 100, zoomFactor_ = 1, inverseFactor_ = 1;
  int32_t viewX_ = 0, viewY_ = 0;
  int32_t rememberedW_ = -1, rememberedH_ = -1;
  int paintLock_ = 0;
  int updateDepth_ = 0;
  bool updateNoPaint_ = false;
  bool center_ = false;
  TResampleFilter zoomFilter_ = rfNone;
  TScrollStyle scrollBars_ = ssNone;
  bool scrollBarsAlwaysVisible_ = false;
  TIEBackgroundStyle backgroundStyle_ = iebsSolid;
  int chessboardSize_ = 16;
  TBrushStyle chessboardBrush_ = bsSolid;
  bool displayGrid_ = false;
  TIEMouseInteract mouseInteract_ = 0;
  TCursor cursor_ = kIEDefaultViewCursor;
  TIEProgressEvent onProgress_;
  TPixIO* pixIO_ = nullptr;  // owned, made on demand
  TPixProc* pixProc_ = nullptr;  // owned, made on demand
  TIETransitionEffects* transition_ = nullptr;  // owned

  TBitmap* backBuffer_ = nullptr;
  std::vector<uint8_t*> backRows_;
  bool dirty_ = true;
  bool wholeClientPaint_ = true;

  std::vector<TIEAnimPoly*> polys_;
  TTimer* timer_ = nullptr;
  TIESelectionOptions selectionOptions_ = iesoAnimated | iesoSizeable | iesoMoveable;
  int32_t tickCounter_ = 0;
  TColor gripPen_ = clBlack, gripBrush_ = clWhite;
  TBrushStyle gripBrushStyle_ = bsSolid;
  int gripSize_ = 5;
  bool extendedGrips_ = true;

  // Mouse drag state.
  bool polyInProgress_ = false, lasso_ = false, rectDrag_ = false, circleDrag_ = false;
  int resizingGrip_ = -1, movingGrip_ = -1;
  bool moveRan_ = false, resizeRan_ = false;
  bool pressAddedPoint_ = false;  // the last left press added a polygon point
  bool pressActive_ = false;      // a press is held and its zoom filter saved
  TPoint downPoint_{0, 0}, prevPoint_{0, 0}, lastPoint_{0, 0};
  int32_t downViewX_ = 0, downViewY_ = 0, downPolyCount_ = 0;
  int32_t resizeX1_ = 0, resizeY1_ = 0, resizeX2_ = 0, resizeY2_ = 0;
  TResampleFilter savedZoomFilter_ = rfNone;
  TCursor savedCursor_ = crDefault;
  HDRAWDIB drawDib_ = nullptr;
};
