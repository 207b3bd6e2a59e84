// TPixVect: the image view that carries, above its picture, a layer of
// vector objects (lines with arrow heads, boxes, ellipses, arcs, bitmaps
// with alpha, rotated texts, measuring rulers, polylines, angle markers).
// Objects live in bitmap pixels, so they follow zoom and scrolling.
//
// The work is split by purpose:
//   ievect.cpp           construction, objects, accessors, selection
//   ievect_bitmaps.cpp   the shared bitmap table
//   ievect_units.cpp     units, scale, coefficients and the measures
//   ievect_draw.cpp      drawing of objects, rulers, angles, grips
//   ievect_mouse.cpp     mouse interaction, hit tests, text editor, hint
//   ievect_file.cpp      the IEV object stream and the object record
//   ievect_clipboard.cpp the object clipboard
//   ievect_dxf.cpp       import of lines, circles and arcs from DXF text
//   ievect_polygon.cpp   staircase smoothing, simplification, selection to bitmap
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imaging/view/ievect_types.h"
#include "imaging/view/pixview.h"

class TStream;
class TEdit;

using TIEVMeasureHintEvent = std::function<void(TObject* Sender, std::string& Text, double Value)>;
using TIEVDragLenEndEvent = std::function<void(TObject* Sender, double Value)>;
using TIEVNewObject = std::function<void(TObject* Sender, int hobj)>;
using TIEVObjectMoveResizeEvent =
    std::function<void(TObject* Sender, int hobj, int Grip, int& OffsetX, int& OffsetY)>;
using TIEVObjectClickEvent = std::function<void(TObject* Sender, int hobj)>;

// A damaged object stream or clipboard block.
CW_DECLARE_EXCEPTION(EIEVectorError, Exception)

class TPixVect : public TPixView {
 public:
  explicit TPixVect(TComponent* Owner);
  ~TPixVect() override;

  void Assign(TPersistent* Source) override;
  void Update() override;
  void SetDPIX(int dpi) override;
  void SetDPIY(int dpi) override;
  void SetMouseInteract(TIEMouseInteract items) override;
  void ViewChange(int Change) override;
  void SubMouseMoveScroll(int32_t dx, int32_t dy) override;
  void PaintTo(TCanvas* Canvas, TBitmap* Bitmap) override;
  void PaintToEx(TBitmap* Bitmap, uint8_t** RowPointers, const TRect* UpdateRect) override;
  virtual void DoVectorialChanged();
  virtual void UpdateTextEdit();

  // Objects ---------------------------------------------------------------------------
  int ObjectsCount() const { return int(list_.size()); }
  int AddNewObject();
  int AddVObject(const TIEVObject& r);
  void RemoveObject(int h);
  void RemoveAllObjects();
  TIEVObject* GetObj(int h);
  int GetObjFromName(const std::string& name) const;
  int GetObjFromID(int32_t id) const;
  int GetObjFromIndex(int i) const;
  int GetObjPos(int h) const;
  void SetObjFrontOf(int h, int other);
  void SetObjBackTo(int h, int other);
  bool GetAllObjectsHidden() const { return allHidden_; }
  void SetAllObjectsHidden(bool b);
  void CopyObjectTo(int h, TPixVect* target);
  void CopyAllObjectsTo(TPixVect* target);
  void CopySelectedObjectsTo(TPixVect* target);
  TRect GetObjectsExtents() const;

  // Property accessors (h: handle, -1 the template, -2 the last made).
  TIEVObjectKind GetObjKind(int h) { return GetObj(h)->Kind; }
  void SetObjKind(int h, TIEVObjectKind k);
  TRect GetObjRect(int h);
  void SetObjRect(int h, const TRect& r);
  int32_t GetObjLeft(int h) { return GetObj(h)->x1; }
  void SetObjLeft(int h, int32_t v);
  int32_t GetObjTop(int h) { return GetObj(h)->y1; }
  void SetObjTop(int h, int32_t v);
  int32_t GetObjWidth(int h) { return GetObj(h)->x2 - GetObj(h)->x1 + 1; }
  void SetObjWidth(int h, int32_t v);
  int32_t GetObjHeight(int h) { return GetObj(h)->y2 - GetObj(h)->y1 + 1; }
  void SetObjHeight(int h, int32_t v);
  TColor GetObjPenColor(int h) { return GetObj(h)->PenColor; }
  void SetObjPenColor(int h, TColor c);
  TPenStyle GetObjPenStyle(int h) { return GetObj(h)->PenStyle; }
  void SetObjPenStyle(int h, TPenStyle s);
  int32_t GetObjPenWidth(int h) { return GetObj(h)->PenWidth; }
  void SetObjPenWidth(int h, int32_t w);
  TColor GetObjBrushColor(int h) { return GetObj(h)->BrushColor; }
  void SetObjBrushColor(int h, TColor c);
  TBrushStyle GetObjBrushStyle(int h) { return GetObj(h)->BrushStyle; }
  void SetObjBrushStyle(int h, TBrushStyle s);
  TIEVStyle GetObjStyle(int h) { return GetObj(h)->Style; }
  void SetObjStyle(int h, TIEVStyle s);
  TIEShape GetObjBeginShape(int h) { return GetObj(h)->BeginShape; }
  void SetObjBeginShape(int h, TIEShape s);
  TIEShape GetObjEndShape(int h) { return GetObj(h)->EndShape; }
  void SetObjEndShape(int h, TIEShape s);
  int32_t GetObjShapeWidth(int h) { return GetObj(h)->ShapeWidth; }
  void SetObjShapeWidth(int h, int32_t v);
  int32_t GetObjShapeHeight(int h) { return GetObj(h)->ShapeHeight; }
  void SetObjShapeHeight(int h, int32_t v);
  TIEUnits GetObjRulerUnit(int h) { return GetObj(h)->RulerUnit; }
  void SetObjRulerUnit(int h, TIEUnits u);
  TIEVRulerType GetObjRulerType(int h) { return GetObj(h)->RulerType; }
  void SetObjRulerType(int h, TIEVRulerType t);
  int32_t GetObjID(int h) { return GetObj(h)->ID; }
  void SetObjID(int h, int32_t id);
  std::string GetObjName(int h) { return GetObj(h)->Name; }
  void SetObjName(int h, const std::string& name);
  std::string GetObjText(int h) { return GetObj(h)->Text.value_or(""); }
  void SetObjText(int h, const std::string& text);
  TAlignment GetObjTextAlign(int h) { return GetObj(h)->TextAlign; }
  void SetObjTextAlign(int h, TAlignment a);
  bool GetObjTextAutoSize(int h) { return GetObj(h)->TextAutoSize; }
  void SetObjTextAutoSize(int h, bool b);
  void SetObjFont(int h, TFont* font);
  double GetObjFontAngle(int h);
  void SetObjFontAngle(int h, double degrees);
  int32_t GetObjFontHeight(int h);
  void SetObjFontHeight(int h, int32_t v);
  std::string GetObjFontName(int h);
  void SetObjFontName(int h, const std::string& name);
  TFontStyles GetObjFontStyles(int h);
  void SetObjFontStyles(int h, TFontStyles styles);
  int32_t GetObjPolylinePointsCount(int h) { return int32_t(GetObj(h)->PolylinePoints.size()); }
  TPoint GetObjPolylinePoints(int h, int i);
  void SetObjPolylinePoints(int h, const std::vector<TPoint>& points);
  void AddPolyLinePoint(int h, int32_t x, int32_t y);
  void CalcZxZyPolyline(const TIEVObject& o, double& zx, double& zy) const;

  // Selection.
  void AddSelObjectNS(int h);
  void AddSelObject(int h);
  bool IsSelObject(int h) const;
  void UnSelObject(int h);
  void UnSelAllObjects();
  void SelAllObjects();
  int GetSelObjects(int i) const { return sel_[size_t(i)]; }
  int SelectionCount() const { return int(sel_.size()); }

  // Bitmaps (ievect_bitmaps.cpp).
  TBitmap* GetObjBitmap(int h) { return GetBitmap(GetObj(h)->BitmapIdx); }
  void SetObjBitmap(int h, TBitmap* bitmap);
  void SetObjBitmapNU(int h, TBitmap* bitmap, TIEMask* alpha);
  void SetObjBitmapIdxNU(int h, int idx);
  void SetObjBitmapICO(int h, int width, int height);
  bool SetObjBitmapFromFile(int h, const std::string& name);
  TIEMask* GetObjBitmapAlpha(int h) { return GetBitmapAlpha(GetObj(h)->BitmapIdx); }
  void SetObjBitmapAlpha(int h, TIEMask* alpha);
  TBitmap* GetBitmap(int idx) const;
  TIEMask* GetBitmapAlpha(int idx) const;
  int FindBitmap(TBitmap* bitmap) const;
  int AllocBitmap();
  void FreeBitmap(int idx);
  void PackBMP();
  int BitmapTableCount() const { return int(bitmaps_.size()); }
  int32_t BitmapRefs(int idx) const { return bitmaps_[size_t(idx)].Refs; }

  // Units, scale, measures (ievect_units.cpp).
  TIEUnits GetMUnit() const { return mUnit_; }
  void SetMUnit(TIEUnits u);
  int32_t GetFloatDigits() const { return floatDigits_; }
  void SetFloatDigits(int32_t v);
  int32_t GetFloatPrecision() const { return floatPrecision_; }
  void SetFloatPrecision(int32_t v);
  void CalcCoef(double& cx, double& cy, TIEUnits unit) const;
  double GetScale() const { return scale_; }
  void SetScale(double s);
  void SetScaleFromPixels(int32_t pixels, double value);
  void SetScaleFromSelectionLen(double value);
  double CoefX() const { return cx_; }
  double CoefY() const { return cy_; }
  // value, formatted with FloatPrecision and FloatDigits.
  std::string FormatMeasure(double value) const;
  double GetSelectionLen();
  double GetSelectionArea();
  TPoint GetSelectionCentroid();
  double GetPolylineLen(int h);
  double GetPolylineArea(int h);
  TPoint GetPolylineCentroid(int h);
  double GetAngleValue(int h);
  static int CountAnglePoints(const TPoint* points);
  // The angle at points[1] in degrees, 0 unless all three are placed.
  static double AngleOfPoints(const TPoint* points);
  int CreatePolygonFromEdge(int32_t x, int32_t y, int32_t maxfilter, int32_t tolerance);

  TResampleFilter GetBitmapResampleFilter() const { return resampleFilter_; }
  void SetBitmapResampleFilter(TResampleFilter f);
  bool GetZoomObjectsWidth() const { return zoomObjectsWidth_; }
  void SetZoomObjectsWidth(bool b);

  // Drawing (ievect_draw.cpp).
  void VPaintTo(TCanvas* Canvas, TBitmap* Bitmap);
  void DrawObjectAll(TCanvas* Canvas, bool tobitmap, TBitmap* Bitmap);
  void DrawObject(TCanvas* Canvas, int h, TBitmap* Bitmap, bool tobitmap);
  void CopyObjectsToBack();
  int DrawnObjectsCount() const { return drawnCount_; }
  static void DrawLineShape(TCanvas* Canvas, int ex, int ey, int ox, int oy, TIEShape shape, int w, int h);
  static void DrawBitmapAlpha(TBitmap* Dest, TBitmap* Src, TIEMask* Alpha, int x1, int y1, int x2, int y2);
  void DrawRuler(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, TIEUnits unit, TColor colour, int width,
                 TIEVRulerType type, double f);
  void DrawAngle(TCanvas* Canvas, const TPoint* points, double f, int width, TColor colour, bool tobitmap);

  // Interaction (ievect_mouse.cpp).
  TIEMouseInteractVt GetMouseInteractVt() const { return miVt_; }
  void SetMouseInteractVt(TIEMouseInteractVt items);
  void CancelInteracts();
  int FindNearObj(int32_t x, int32_t y, bool selectableonly, double& d);
  int FindObjectAt(int32_t x, int32_t y, double& d);
  double CalcDistPtObj(const TIEVObject& o, int32_t x, int32_t y) const;
  int FindSelGrip(int32_t x, int32_t y, int& grip);
  bool InGrip(int gx, int gy, int x, int y) const;
  void SelInRect(int h, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void TraslateObject(int h, int32_t dx, int32_t dy);
  void ChangeObjectCoor(int h, int32_t dx1, int32_t dy1, int32_t dx2, int32_t dy2, bool keepaspect, int grip);
  void SetGripStyle(int size, int width, TPenStyle style);
  void DrawGrip(TCanvas* Canvas, int x, int y, int shape);
  void DrawObjectGrips(TCanvas* Canvas, int h);
  void DrawSelGrips(TCanvas* Canvas);
  void ActiveTextEdit();
  void RemoveTextEdit();
  int TextEditingObject() const { return textEditing_; }
  TEdit* TextEditor() const { return edit_; }
  void HintShow(int x, int y);
  void HintRestore();
  void UpdateHint(int x, int y);
  double LastMeasure() const { return lastMeasure_; }

  // The object stream (ievect_file.cpp).
  void SaveToStreamIEV(TStream* stream);
  bool LoadFromStreamIEV(TStream* stream);
  void SaveToFileIEV(const std::string& name);
  bool LoadFromFileIEV(const std::string& name);
  void SaveObj(TStream* stream, int h);
  int ReadObj(TStream* stream, char version, bool withbitmaps);

  // The object clipboard (ievect_clipboard.cpp).
  bool ObjCopyToClipboard();
  bool ObjCutToClipboard();
  bool ObjPasteFromClipboard(int32_t dx, int32_t dy);
  // The clipboard block of the selected objects, and its reading (what
  // paste does with the clipboard's data).
  void WriteClipboardBlock(TStream* stream);
  void ReadClipboardBlock(TStream* stream, int32_t dx, int32_t dy);

  // DXF import (ievect_dxf.cpp).
  bool ImportDXF(const std::string& name);
  bool ImportDXFStream(TStream* stream);

  // Polygon algorithms (ievect_polygon.cpp).
  bool RemovePolygonJaggedEdges(int h);
  void SimplifyPolygon(int h, int maximum);
  int CreateImageFromSelectedArea();

  // Published properties and events.
  bool ShareBitmaps = true;
  int32_t PickDistanceLimit = -1;
  TNotifyEvent OnSelectObject;
  TIEVMeasureHintEvent OnMeasureHint;
  TNotifyEvent OnVectorialChanged;
  TIEVDragLenEndEvent OnDragLenEnd;
  TIEVNewObject OnNewObject;
  TIEVObjectMoveResizeEvent OnObjectMoveResize;
  TIEVObjectClickEvent OnObjectClick;
  TIEVObjectClickEvent OnObjectDblClick;
  TIEVObjectClickEvent OnObjectOver;

 protected:
  void Paint() override;
  void Dispatch(TMessage& message) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  friend class TIEVLoadGuard;
  enum class TState { Idle, Line, Box, Ellipse, Bitmap, Text, Ruler, Polyline, Angle };

  // Everything a load or a paste may replace, so that a failure puts it back.
  struct TModel {
    std::vector<TIEVObject> records;
    std::vector<int> list;
    std::vector<int> sel;
    std::vector<TIEVBitmapEntry> bitmaps;
    int32_t templateBitmap = -1;
    double scale = 1.0;
  };
  TModel TakeModel();
  void PutModel(TModel&& m);

  void FreeObjData(TIEVObject& o);
  void RepaintUnlessTemplate(int h);
  void RecalcCoef();
  void MakeTemplate();
  TRect ObjClientRect(const TIEVObject& o) const;
  bool OverlapsPicture(const TRect& client) const;
  TPoint LimitToPictureV(int x, int y) const;
  // Drawing helpers.
  void DrawObjectText(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, const TIEVObject& o, double z, int h);
  void DrawBitmapObject(TCanvas* Canvas, TBitmap* Bitmap, const TIEVObject& o, int X1, int Y1, int X2, int Y2);
  void DrawArc(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, double a0, double a1);
  // Interaction helpers.
  void DrawRubber(TCanvas* Canvas);
  void FinishMouseObject();
  void GripDrag(TShiftState shift, int x, int y);
  void RubberSelect(TShiftState shift, int x, int y);
  void ClickSelect(TShiftState shift, int x, int y);
  void TextEditOnChange(TObject* Sender);
  void TextEditKeyDown(TObject* Sender, Word& key, TShiftState shift);
  // File helpers.
  int ReadObjNested(TStream* stream, char version, bool withbitmaps, int depth, int bitmapLimit);
  void ReadIEVBody(TStream* stream, char version);

  std::vector<TIEVObject> records_;
  std::vector<int> list_;
  std::vector<int> sel_;
  std::vector<TIEVBitmapEntry> bitmaps_;
  TIEVObject templ_;
  double scale_ = 1.0;
  double cx_ = 1.0, cy_ = 1.0;
  TIEUnits mUnit_ = ieuPIXELS;
  int32_t floatDigits_ = 2, floatPrecision_ = 15;
  bool zoomObjectsWidth_ = true;
  bool allHidden_ = false;
  TResampleFilter resampleFilter_ = rfNone;
  int drawnCount_ = 0;

  // Interaction state.
  TIEMouseInteractVt miVt_ = 0;
  TState state_ = TState::Idle;
  int grip_ = 0;
  TPoint cur_{0, 0}, down_{0, 0}, rawMouse_{0, 0};
  int32_t totX_ = 0, totY_ = 0;
  int polyH_ = -1, angleH_ = -1;
  int textEditing_ = -1;
  bool moving_ = false;
  bool buttonDown_ = false;
  bool hintOn_ = false;
  TPoint hintPos_{0, 0}, hintSaveAt_{0, 0};
  double lastMeasure_ = 0;
  int gripSize_ = 4, gripPenWidth_ = 1;
  TPenStyle gripPenStyle_ = psSolid;
  TEdit* edit_ = nullptr;
  std::unique_ptr<TBitmap> hintSave_;
  std::unique_ptr<TFont> hintFont_;
  std::unique_ptr<TBrush> hintBrush_;
  bool destroying_ = false;
};
