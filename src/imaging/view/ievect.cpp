// TPixVect: construction, the object list, property accessors, selection.
#include "imaging/view/ievect.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/core/iemask.h"
#include "platform/stdctrls.h"

int32_t IEVClampInt(double v) {
  if (std::isnan(v)) return 0;
  return int32_t(std::clamp(v, -2147483648.0, 2147483647.0));
}

const char* IEVUnitName(TIEUnits unit) {
  static const char* const names[] = {"pixels", "inches", "km", "mt", "cm", "mm", "microns", "nanometers"};
  return unsigned(unit) <= unsigned(kIEVLastUnit) ? names[unit] : "";
}

TPixVect::TPixVect(TComponent* Owner) : TPixView(Owner) {
  edit_ = new TEdit(this);
  edit_->SetVisible(false);
  hintFont_ = std::make_unique<TFont>();
  hintFont_->Color = clBlack;
  hintFont_->Style = fsBold;
  hintBrush_ = std::make_unique<TBrush>();
  hintBrush_->Style = bsSolid;
  hintBrush_->Color = 0x60FFFF;
  hintSave_ = std::make_unique<TBitmap>();
  MakeTemplate();
  RecalcCoef();
}

TPixVect::~TPixVect() { destroying_ = true; }

void TPixVect::MakeTemplate() {
  templ_ = TIEVObject{};
  templ_.x1 = templ_.y1 = 0;
  templ_.x2 = templ_.y2 = 63;
  templ_.ArcEnd = 2 * M_PI;
  templ_.RulerUnit = mUnit_;
  SetObjBitmapICO(kIEVTemplate, 64, 64);
  TFont font;
  font.Assign(GetCanvas()->Font);
  font.Name = "Arial";
  SetObjFont(kIEVTemplate, &font);
}

TIEVObject* TPixVect::GetObj(int h) {
  if (h == kIEVTemplate) return &templ_;
  if (h == kIEVLastMade) h = int(records_.size()) - 1;
  if (h < 0 || size_t(h) >= records_.size()) return nullptr;
  return &records_[size_t(h)];
}

void TPixVect::RepaintUnlessTemplate(int h) {
  if (h != kIEVTemplate) Update();
}

void TPixVect::Update() {
  TPixView::Update();
  UpdateTextEdit();
}

void TPixVect::DoVectorialChanged() {
  if (OnVectorialChanged) OnVectorialChanged(this);
}

// Objects --------------------------------------------------------------------------------

int TPixVect::AddNewObject() {
  const int h = AddVObject(templ_);
  Update();
  return h;
}

int TPixVect::AddVObject(const TIEVObject& r) {
  TIEVObject o = r;
  o.BitmapIdx = -1;
  o.Text.reset();
  o.Font.reset();
  records_.push_back(std::move(o));
  const int h = int(records_.size()) - 1;
  list_.push_back(h);
  TIEVObject& n = records_.back();
  if (r.Kind == iekBITMAP) SetObjBitmapIdxNU(h, r.BitmapIdx);
  if (r.Kind == iekTEXT) {
    n.Text = r.Text.value_or("");
    n.Font = r.Font;
  }
  if (r.Kind != iekLINE && r.Kind != iekRULER && r.Kind != iekPOLYLINE) {
    if (n.x1 > n.x2) std::swap(n.x1, n.x2);
    if (n.y1 > n.y2) std::swap(n.y1, n.y2);
  }
  if (r.Kind != iekPOLYLINE) n.PolylinePoints.clear();
  return h;
}

void TPixVect::FreeObjData(TIEVObject& o) {
  if (o.BitmapIdx >= 0) FreeBitmap(o.BitmapIdx);
  o.BitmapIdx = -1;
  o.Name.clear();
  o.Text.reset();
  o.Font.reset();
  o.PolylinePoints.clear();
}

void TPixVect::RemoveObject(int h) {
  CancelInteracts();
  if (h == kIEVLastMade) h = int(records_.size()) - 1;
  TIEVObject* o = GetObj(h);
  if (!o) return;
  sel_.erase(std::remove(sel_.begin(), sel_.end(), h), sel_.end());
  FreeObjData(*o);
  list_.erase(std::remove(list_.begin(), list_.end(), h), list_.end());
  if (size_t(h) + 1 == records_.size()) records_.pop_back();
  DoVectorialChanged();
  Update();
}

void TPixVect::RemoveAllObjects() {
  CancelInteracts();
  for (int h : list_) FreeObjData(records_[size_t(h)]);
  list_.clear();
  sel_.clear();
  records_.clear();
  bitmaps_.clear();
  templ_.BitmapIdx = -1;
  DoVectorialChanged();
  Update();
}

int TPixVect::GetObjFromName(const std::string& name) const {
  for (auto it = list_.rbegin(); it != list_.rend(); ++it)
    if (records_[size_t(*it)].Name == name) return *it;
  return -1;
}

int TPixVect::GetObjFromID(int32_t id) const {
  for (auto it = list_.rbegin(); it != list_.rend(); ++it)
    if (records_[size_t(*it)].ID == id) return *it;
  return -1;
}

int TPixVect::GetObjFromIndex(int i) const { return i >= 0 && size_t(i) < list_.size() ? list_[size_t(i)] : -1; }

int TPixVect::GetObjPos(int h) const {
  auto it = std::find(list_.begin(), list_.end(), h);
  return it == list_.end() ? -1 : int(it - list_.begin());
}

void TPixVect::SetObjFrontOf(int h, int other) {
  if (GetObjPos(h) < 0) return;
  list_.erase(std::find(list_.begin(), list_.end(), h));
  const int pos = other < 0 ? -1 : GetObjPos(other);
  list_.insert(pos < 0 ? list_.end() : list_.begin() + pos + 1, h);
  Update();
}

void TPixVect::SetObjBackTo(int h, int other) {
  if (GetObjPos(h) < 0) return;
  list_.erase(std::find(list_.begin(), list_.end(), h));
  const int pos = other < 0 ? -1 : GetObjPos(other);
  list_.insert(pos < 0 ? list_.begin() : list_.begin() + pos, h);
  Update();
}

void TPixVect::SetAllObjectsHidden(bool b) {
  if (b == allHidden_) return;
  allHidden_ = b;
  Update();
}

void TPixVect::CopyObjectTo(int h, TPixVect* target) {
  const TIEVObject* o = GetObj(h);
  if (!o || !target) return;
  if (target == this || o->Kind != iekBITMAP) {
    const TIEVObject copy = *o;  // the record may move while it is added
    target->AddVObject(copy);
  } else {
    TIEVObject copy = *o;
    copy.BitmapIdx = -1;
    const int n = target->AddVObject(copy);
    target->SetObjBitmapNU(n, GetBitmap(o->BitmapIdx), GetBitmapAlpha(o->BitmapIdx));
  }
  target->Update();
}

void TPixVect::CopyAllObjectsTo(TPixVect* target) {
  const std::vector<int> list = list_;
  for (int h : list) CopyObjectTo(h, target);
}

void TPixVect::CopySelectedObjectsTo(TPixVect* target) {
  const std::vector<int> sel = sel_;
  for (int h : sel) CopyObjectTo(h, target);
}

void TPixVect::Assign(TPersistent* Source) {
  TPixView::Assign(Source);
  if (!Source) {
    RemoveAllObjects();
    return;
  }
  auto* src = dynamic_cast<TPixVect*>(Source);
  if (!src || src == this) return;
  RemoveAllObjects();
  src->CopyAllObjectsTo(this);
  SetScale(src->GetScale());
  DoVectorialChanged();
  Update();
}

TRect TPixVect::GetObjectsExtents() const {
  TRect r{0, 0, 0, 0};
  for (int h : list_) {
    const TIEVObject& o = records_[size_t(h)];
    r.Right = std::max({r.Right, IEVClampInt(o.x1 + 1.0), IEVClampInt(o.x2 + 1.0)});
    r.Bottom = std::max({r.Bottom, IEVClampInt(o.y1 + 1.0), IEVClampInt(o.y2 + 1.0)});
  }
  return r;
}

// Accessors --------------------------------------------------------------------------------

#define IEV_SETTER(Name, Type, Field)        \
  void TPixVect::Name(int h, Type v) {       \
    if (TIEVObject* o = GetObj(h)) o->Field = v; \
    RepaintUnlessTemplate(h);                \
  }
IEV_SETTER(SetObjPenColor, TColor, PenColor)
IEV_SETTER(SetObjPenStyle, TPenStyle, PenStyle)
IEV_SETTER(SetObjPenWidth, int32_t, PenWidth)
IEV_SETTER(SetObjBrushColor, TColor, BrushColor)
IEV_SETTER(SetObjBrushStyle, TBrushStyle, BrushStyle)
IEV_SETTER(SetObjBeginShape, TIEShape, BeginShape)
IEV_SETTER(SetObjEndShape, TIEShape, EndShape)
IEV_SETTER(SetObjShapeWidth, int32_t, ShapeWidth)
IEV_SETTER(SetObjShapeHeight, int32_t, ShapeHeight)
IEV_SETTER(SetObjRulerUnit, TIEUnits, RulerUnit)
IEV_SETTER(SetObjRulerType, TIEVRulerType, RulerType)
IEV_SETTER(SetObjID, int32_t, ID)
IEV_SETTER(SetObjName, const std::string&, Name)
IEV_SETTER(SetObjText, const std::string&, Text)
IEV_SETTER(SetObjTextAlign, TAlignment, TextAlign)
IEV_SETTER(SetObjTextAutoSize, bool, TextAutoSize)
#undef IEV_SETTER

void TPixVect::SetObjKind(int h, TIEVObjectKind k) {
  if (TIEVObject* o = GetObj(h)) {
    o->Kind = k;
    if (k == iekTEXT && !o->Font) {
      o->Font = templ_.Font;
      o->Text = std::string();
    }
  }
  RepaintUnlessTemplate(h);
}

TRect TPixVect::GetObjRect(int h) {
  const TIEVObject* o = GetObj(h);
  return {o->x1, o->y1, o->x2, o->y2};
}

void TPixVect::SetObjRect(int h, const TRect& r) {
  if (TIEVObject* o = GetObj(h)) {
    o->x1 = r.Left;
    o->y1 = r.Top;
    o->x2 = r.Right;
    o->y2 = r.Bottom;
  }
  RepaintUnlessTemplate(h);
}

void TPixVect::SetObjLeft(int h, int32_t v) {
  if (TIEVObject* o = GetObj(h)) {
    o->x2 += v - o->x1;
    o->x1 = v;
  }
  RepaintUnlessTemplate(h);
}

void TPixVect::SetObjTop(int h, int32_t v) {
  if (TIEVObject* o = GetObj(h)) {
    o->y2 += v - o->y1;
    o->y1 = v;
  }
  RepaintUnlessTemplate(h);
}

void TPixVect::SetObjWidth(int h, int32_t v) {
  if (TIEVObject* o = GetObj(h)) o->x2 = o->x1 + v - 1;
  RepaintUnlessTemplate(h);
}

void TPixVect::SetObjHeight(int h, int32_t v) {
  if (TIEVObject* o = GetObj(h)) o->y2 = o->y1 + v - 1;
  RepaintUnlessTemplate(h);
}

void TPixVect::SetObjStyle(int h, TIEVStyle s) {
  if (!(s & ievsSelectable)) {
    const int real = h == kIEVLastMade ? int(records_.size()) - 1 : h;
    sel_.erase(std::remove(sel_.begin(), sel_.end(), real), sel_.end());
  }
  if (TIEVObject* o = GetObj(h)) o->Style = s;
  RepaintUnlessTemplate(h);
}

// Fonts: the record keeps the platform font description.
void TPixVect::SetObjFont(int h, TFont* font) {
  TIEVObject* o = GetObj(h);
  if (!o || !font) return;
  LOGFONTA lf{};
  lf.lfHeight = font->Height;
  lf.lfEscapement = lf.lfOrientation = font->Orientation;
  lf.lfWeight = (font->Style & fsBold) ? 700 : 400;
  lf.lfItalic = (font->Style & fsItalic) ? 1 : 0;
  lf.lfUnderline = (font->Style & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (font->Style & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = font->Charset;
  lf.lfQuality = 4;  // antialiased
  std::strncpy(lf.lfFaceName, font->Name.c_str(), sizeof(lf.lfFaceName) - 1);
  o->Font = lf;
  o->PenColor = font->Color;
  RepaintUnlessTemplate(h);
}

double TPixVect::GetObjFontAngle(int h) {
  const TIEVObject* o = GetObj(h);
  return o && o->Font ? o->Font->lfEscapement / 10.0 : 0;
}

void TPixVect::SetObjFontAngle(int h, double degrees) {
  TIEVObject* o = GetObj(h);
  if (!o || !o->Font) return;
  o->Font->lfEscapement = o->Font->lfOrientation = int32_t(std::trunc(degrees * 10));
  RepaintUnlessTemplate(h);
}

int32_t TPixVect::GetObjFontHeight(int h) {
  const TIEVObject* o = GetObj(h);
  return o && o->Font ? o->Font->lfHeight : 0;
}

void TPixVect::SetObjFontHeight(int h, int32_t v) {
  TIEVObject* o = GetObj(h);
  if (!o || !o->Font) return;
  o->Font->lfHeight = v;
  RepaintUnlessTemplate(h);
}

std::string TPixVect::GetObjFontName(int h) {
  const TIEVObject* o = GetObj(h);
  if (!o || !o->Font) return "";
  return std::string(o->Font->lfFaceName, strnlen(o->Font->lfFaceName, sizeof(o->Font->lfFaceName)));
}

void TPixVect::SetObjFontName(int h, const std::string& name) {
  TIEVObject* o = GetObj(h);
  if (!o || !o->Font) return;
  std::memset(o->Font->lfFaceName, 0, sizeof(o->Font->lfFaceName));
  std::memcpy(o->Font->lfFaceName, name.data(), std::min<size_t>(name.size(), 31));
  RepaintUnlessTemplate(h);
}

TFontStyles TPixVect::GetObjFontStyles(int h) {
  const TIEVObject* o = GetObj(h);
  if (!o || !o->Font) return 0;
  TFontStyles s = 0;
  if (o->Font->lfWeight >= 700) s |= fsBold;
  if (o->Font->lfItalic) s |= fsItalic;
  if (o->Font->lfUnderline) s |= fsUnderline;
  if (o->Font->lfStrikeOut) s |= fsStrikeOut;
  return s;
}

void TPixVect::SetObjFontStyles(int h, TFontStyles s) {
  TIEVObject* o = GetObj(h);
  if (!o || !o->Font) return;
  o->Font->lfWeight = (s & fsBold) ? 700 : 400;
  o->Font->lfItalic = (s & fsItalic) ? 1 : 0;
  o->Font->lfUnderline = (s & fsUnderline) ? 1 : 0;
  o->Font->lfStrikeOut = (s & fsStrikeOut) ? 1 : 0;
  RepaintUnlessTemplate(h);
}

// Polyline points ----------------------------------------------------------------------------

void TPixVect::CalcZxZyPolyline(const TIEVObject& o, double& zx, double& zy) const {
  const TRect& b = o.PolylineBaseRect;
  zx = b.Right != b.Left ? (double(o.x2) - o.x1) / (double(b.Right) - b.Left) : 1.0;
  zy = b.Bottom != b.Top ? (double(o.y2) - o.y1) / (double(b.Bottom) - b.Top) : 1.0;
}

TPoint TPixVect::GetObjPolylinePoints(int h, int i) {
  const TIEVObject* o = GetObj(h);
  if (!o || i < 0 || size_t(i) >= o->PolylinePoints.size()) return {0, 0};
  double zx, zy;
  CalcZxZyPolyline(*o, zx, zy);
  const TPoint& p = o->PolylinePoints[size_t(i)];
  // In doubles: points and rectangles from a file may be far apart.
  return {IEVClampInt(o->x1 + std::nearbyint((double(p.x) - o->PolylineBaseRect.Left) * zx)),
          IEVClampInt(o->y1 + std::nearbyint((double(p.y) - o->PolylineBaseRect.Top) * zy))};
}

void TPixVect::AddPolyLinePoint(int h, int32_t x, int32_t y) {
  TIEVObject* o = GetObj(h);
  if (!o) return;
  if (!o->PolylinePoints.empty() && o->PolylinePoints.back().x == x && o->PolylinePoints.back().y == y) return;
  o->PolylinePoints.push_back({x, y});
  o->x1 = std::min(o->x1, x);
  o->y1 = std::min(o->y1, y);
  o->x2 = std::max(o->x2, x);
  o->y2 = std::max(o->y2, y);
  o->PolylineBaseRect = {o->x1, o->y1, o->x2, o->y2};
}

void TPixVect::SetObjPolylinePoints(int h, const std::vector<TPoint>& points) {
  TIEVObject* o = GetObj(h);
  if (!o) return;
  o->PolylinePoints.clear();
  o->x1 = o->y1 = 1000000;
  o->x2 = o->y2 = -1000000;
  for (const TPoint& p : points) AddPolyLinePoint(h, p.x, p.y);
  Update();
}

// Selection ---------------------------------------------------------------------------------

void TPixVect::AddSelObjectNS(int h) {
  if (h == kIEVLastMade) h = int(records_.size()) - 1;
  const TIEVObject* o = GetObj(h);
  if (o && (o->Style & ievsSelectable)) sel_.push_back(h);
}

void TPixVect::AddSelObject(int h) {
  AddSelObjectNS(h);
  if (OnSelectObject) OnSelectObject(this);
}

bool TPixVect::IsSelObject(int h) const { return std::find(sel_.begin(), sel_.end(), h) != sel_.end(); }

void TPixVect::UnSelObject(int h) {
  auto it = std::find(sel_.begin(), sel_.end(), h);
  if (it == sel_.end()) return;
  sel_.erase(it);
  if (OnSelectObject) OnSelectObject(this);
}

void TPixVect::UnSelAllObjects() {
  sel_.clear();
  if (OnSelectObject) OnSelectObject(this);
}

void TPixVect::SelAllObjects() {
  sel_.clear();
  SelInRect(kIEVAll, 0, 0, 1000000, 1000000);
  if (OnSelectObject) OnSelectObject(this);
  Update();
}

void TPixVect::SelInRect(int h, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (h == kIEVAll) {
    const std::vector<int> list = list_;
    for (int k : list) SelInRect(k, x1, y1, x2, y2);
    return;
  }
  const TIEVObject* o = GetObj(h);
  if (!o || IsSelObject(h)) return;
  const int32_t l = std::min(o->x1, o->x2), r = std::max(o->x1, o->x2);
  const int32_t t = std::min(o->y1, o->y2), b = std::max(o->y1, o->y2);
  if (l >= x1 && r <= x2 && t >= y1 && b <= y2) AddSelObjectNS(h);
}

// Loads and pastes replace the model whole or not at all.
TPixVect::TModel TPixVect::TakeModel() {
  TModel m;
  m.records = std::move(records_);
  m.list = std::move(list_);
  m.sel = std::move(sel_);
  m.bitmaps = std::move(bitmaps_);
  m.templateBitmap = templ_.BitmapIdx;
  m.scale = scale_;
  records_.clear();
  list_.clear();
  sel_.clear();
  bitmaps_.clear();
  return m;
}

void TPixVect::PutModel(TModel&& m) {
  records_ = std::move(m.records);
  list_ = std::move(m.list);
  sel_ = std::move(m.sel);
  bitmaps_ = std::move(m.bitmaps);
  templ_.BitmapIdx = m.templateBitmap;
  scale_ = m.scale;
  RecalcCoef();
}
