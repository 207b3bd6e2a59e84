// The vector layer's object model: kinds, styles, units, the object record
// and the shared bitmap entry. The layer itself is ievect.h.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "imaging/core/iemask.h"
#include "platform/canvas.h"
#include "platform/ctrlparts.h"
#include "platform/gdi.h"
#include "platform/graphics.h"
#include "platform/wintypes.h"

enum TIEVObjectKind : uint8_t {
  iekNONE,
  iekLINE,
  iekBOX,
  iekELLIPSE,
  iekARC,
  iekBITMAP,
  iekTEXT,
  iekRULER,
  iekPOLYLINE,
  iekANGLE
};
constexpr int kIEVLastKind = iekANGLE;

enum TIEShape : uint8_t { iesNONE, iesINARROW, iesOUTARROW };
enum TIEVRulerType : uint8_t { iertRULER, iertQUOTEBEGIN, iertQUOTECENTER, iertQUOTEEND };
enum TIEUnits : uint8_t {
  ieuPIXELS,
  ieuINCHES,
  ieuKM,
  ieuMETERS,
  ieuCENTIMETERS,
  ieuMILLIMETERS,
  ieuMICRONS,
  ieuNANOMETERS
};
constexpr int kIEVLastUnit = ieuNANOMETERS;

// Object style (a set).
enum : uint8_t { ievsSelectable = 1, ievsMoveable = 2, ievsSizeable = 4, ievsVisible = 8 };
using TIEVStyle = uint8_t;
constexpr TIEVStyle kIEVAllStyles = ievsSelectable | ievsMoveable | ievsSizeable | ievsVisible;

// Mouse interaction items of the layer (a set, 16 bits).
enum : uint16_t {
  miArea = 1u << 0,
  miLineLen = 1u << 1,
  miPutLine = 1u << 2,
  miPutBox = 1u << 3,
  miPutEllipse = 1u << 4,
  miPutBitmap = 1u << 5,
  miPutText = 1u << 6,
  miObjectSelect = 1u << 7,
  miDragLen = 1u << 8,
  miPutRuler = 1u << 9,
  miPutPolyLine = 1u << 10,
  miPutAngle = 1u << 11,
};
using TIEMouseInteractVt = uint16_t;

// An angle point whose x is this is not placed yet.
constexpr int32_t kIEVUnplaced = -1000000;

// Object handles besides record indexes.
constexpr int kIEVTemplate = -1;
constexpr int kIEVLastMade = -2;
constexpr int kIEVAll = -3;
constexpr int kIEVNone = -4;

struct TIEVObject {
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  TIEVObjectKind Kind = iekNONE;
  TIEShape BeginShape = iesNONE, EndShape = iesNONE;
  int32_t ShapeWidth = 10, ShapeHeight = 20;
  TColor PenColor = 0;
  TPenStyle PenStyle = psSolid;
  int32_t PenWidth = 1;
  TColor BrushColor = 0xFFFFFF;
  TBrushStyle BrushStyle = bsClear;
  double ArcStart = 0, ArcEnd = 0;
  int32_t BitmapIdx = -1;
  std::optional<std::string> Text;
  std::optional<LOGFONTA> Font;
  TAlignment TextAlign = taLeftJustify;
  bool TextAutoSize = false;
  std::string Name;
  int32_t ID = 0;
  TIEVStyle Style = kIEVAllStyles;
  TIEUnits RulerUnit = ieuPIXELS;
  TIEVRulerType RulerType = iertQUOTECENTER;
  std::vector<TPoint> PolylinePoints;
  TRect PolylineBaseRect{0, 0, 0, 0};  // min x, min y, max x, max y
  TPoint AnglePoints[3] = {{0, 0}, {50, 0}, {50, 50}};
  TRect DragStartRect{0, 0, 0, 0};
};

// One entry of the shared bitmap table; a free entry has no bitmap.
struct TIEVBitmapEntry {
  std::unique_ptr<TBitmap> Bitmap;
  std::unique_ptr<TIEMask> Alpha;
  int32_t Refs = 0;
};

// v as an int32, limited to its range (NaN gives 0).
int32_t IEVClampInt(double v);

// The measure unit names, by TIEUnits.
const char* IEVUnitName(TIEUnits unit);
