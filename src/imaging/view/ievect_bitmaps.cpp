// TPixVect: the table of bitmaps shared by bitmap objects. Each entry holds
// a bitmap, its 8-bit alpha and a reference count; identical bitmaps share
// one entry while ShareBitmaps is on.
#include <algorithm>
#include <cstring>
#include <memory>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iemask.h"
#include "imaging/io/pixio.h"
#include "imaging/proc/iebitmaptransfer.h"
#include "imaging/view/ievect.h"

namespace {

// An opaque 8-bit mask of the bitmap's size.
std::unique_ptr<TIEMask> OpaqueMask(TBitmap* b) {
  auto m = std::make_unique<TIEMask>();
  m->AllocateBits(b->GetWidth(), b->GetHeight(), 8);
  m->Fill(255);
  m->Full = true;
  return m;
}

}  // namespace

TBitmap* TPixVect::GetBitmap(int idx) const {
  return idx >= 0 && size_t(idx) < bitmaps_.size() ? bitmaps_[size_t(idx)].Bitmap.get() : nullptr;
}

TIEMask* TPixVect::GetBitmapAlpha(int idx) const {
  return idx >= 0 && size_t(idx) < bitmaps_.size() ? bitmaps_[size_t(idx)].Alpha.get() : nullptr;
}

int TPixVect::FindBitmap(TBitmap* bitmap) const {
  for (int i = int(bitmaps_.size()) - 1; i >= 0; --i)
    if (bitmaps_[size_t(i)].Bitmap && _BitmapCompareX(bitmaps_[size_t(i)].Bitmap.get(), bitmap)) return i;
  return -1;
}

int TPixVect::AllocBitmap() {
  for (size_t i = 0; i < bitmaps_.size(); ++i)
    if (!bitmaps_[i].Bitmap) return int(i);
  bitmaps_.emplace_back();
  return int(bitmaps_.size()) - 1;
}

void TPixVect::FreeBitmap(int idx) {
  if (idx < 0 || size_t(idx) >= bitmaps_.size()) return;
  TIEVBitmapEntry& e = bitmaps_[size_t(idx)];
  if (e.Refs <= 1) {
    e.Bitmap.reset();
    e.Alpha.reset();
    e.Refs = 0;
  } else {
    --e.Refs;
  }
}

void TPixVect::SetObjBitmapNU(int h, TBitmap* bitmap, TIEMask* alpha) {
  TIEVObject* o = GetObj(h);
  if (!o) return;
  const int old = o->BitmapIdx;
  o->BitmapIdx = -1;
  if (bitmap) {
    int idx = ShareBitmaps ? FindBitmap(bitmap) : -1;
    if (idx >= 0) {
      ++bitmaps_[size_t(idx)].Refs;
    } else {
      idx = AllocBitmap();
      TIEVBitmapEntry& e = bitmaps_[size_t(idx)];
      e.Bitmap = std::make_unique<TBitmap>();
      IECopyBitmap(bitmap, e.Bitmap.get());
      if (alpha && !alpha->Full && alpha->BitCount == 8) {
        e.Alpha = std::make_unique<TIEMask>();
        e.Alpha->Assign(alpha);
      } else {
        e.Alpha = OpaqueMask(bitmap);
      }
      e.Refs = 1;
    }
    o = GetObj(h);
    o->BitmapIdx = idx;
  }
  // Released last: the old entry may be the one just shared.
  FreeBitmap(old);
}

void TPixVect::SetObjBitmap(int h, TBitmap* bitmap) {
  SetObjBitmapNU(h, bitmap, nullptr);
  RepaintUnlessTemplate(h);
}

void TPixVect::SetObjBitmapIdxNU(int h, int idx) {
  TIEVObject* o = GetObj(h);
  if (!o) return;
  const int old = o->BitmapIdx;
  int n = idx;
  if (idx >= 0 && (size_t(idx) >= bitmaps_.size() || !bitmaps_[size_t(idx)].Bitmap)) {
    n = -1;
  } else if (idx >= 0 && ShareBitmaps) {
    ++bitmaps_[size_t(idx)].Refs;
  } else if (idx >= 0) {
    n = AllocBitmap();
    TIEVBitmapEntry& e = bitmaps_[size_t(n)];
    const TIEVBitmapEntry& src = bitmaps_[size_t(idx)];
    e.Bitmap = std::make_unique<TBitmap>();
    IECopyBitmap(src.Bitmap.get(), e.Bitmap.get());
    e.Alpha = std::make_unique<TIEMask>();
    e.Alpha->Assign(src.Alpha.get());
    e.Refs = 1;
  }
  GetObj(h)->BitmapIdx = n;
  // Released last: the old entry may be the one just shared.
  FreeBitmap(old);
}

// The platform has no stock icons: the error icon is drawn as a red disc
// with a white cross.
void TPixVect::SetObjBitmapICO(int h, int width, int height) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(width, height);
  TCanvas* c = b.GetCanvas();
  c->Brush->Color = clWhite;
  c->Brush->Style = bsSolid;
  c->FillRect(Rect(0, 0, width, height));
  c->Brush->Color = 0x0000D0;
  c->Pen->Color = 0x000080;
  c->Ellipse(width / 8, height / 8, width - width / 8, height - height / 8);
  c->Pen->Color = clWhite;
  c->Pen->Width = std::max(1, width / 10);
  c->MoveTo(width * 3 / 8, height * 3 / 8);
  c->LineTo(width * 5 / 8, height * 5 / 8);
  c->MoveTo(width * 5 / 8, height * 3 / 8);
  c->LineTo(width * 3 / 8, height * 5 / 8);
  SetObjBitmapNU(h, &b, nullptr);
  RepaintUnlessTemplate(h);
}

bool TPixVect::SetObjBitmapFromFile(int h, const std::string& name) {
  TBitmap b;
  TPixIO io(nullptr);
  io.SetAttachedBitmap(&b);
  try {
    io.LoadFromFile(name);
  } catch (const Exception&) {
    return false;
  }
  if (io.Aborting || b.GetEmpty()) return false;
  TIEMask* alpha = io.GetAlphaChannel();
  if (alpha && (alpha->Width != b.GetWidth() || alpha->Height != b.GetHeight())) alpha = nullptr;
  SetObjBitmapNU(h, &b, alpha);
  RepaintUnlessTemplate(h);
  return true;
}

void TPixVect::SetObjBitmapAlpha(int h, TIEMask* alpha) {
  TIEMask* mine = GetObjBitmapAlpha(h);
  if (!mine || !alpha) return;
  mine->Assign(alpha);
  RepaintUnlessTemplate(h);
}

void TPixVect::PackBMP() {
  std::vector<int> renumber(bitmaps_.size(), -1);
  std::vector<TIEVBitmapEntry> packed;
  for (size_t i = 0; i < bitmaps_.size(); ++i) {
    if (!bitmaps_[i].Bitmap) continue;
    renumber[i] = int(packed.size());
    packed.push_back(std::move(bitmaps_[i]));
  }
  bitmaps_ = std::move(packed);
  auto fix = [&](TIEVObject& o) {
    if (o.BitmapIdx >= 0 && size_t(o.BitmapIdx) < renumber.size()) o.BitmapIdx = renumber[size_t(o.BitmapIdx)];
  };
  fix(templ_);
  for (int h : list_) fix(records_[size_t(h)]);
}
