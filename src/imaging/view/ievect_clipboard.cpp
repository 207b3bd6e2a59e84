// TPixVect: the object clipboard. The layer's own registered format holds
// an int32 count and, for each selected object in selection order, its
// object record and, for a bitmap object, its picture (a PNG stream) and
// its alpha rows uncompressed. Pasting checks every count, length and size
// and changes nothing when the block is damaged.
#include <algorithm>
#include <cstring>

#include "imaging/core/iemask.h"
#include "imaging/view/ievect.h"
#include "imaging/view/ievect_stream.h"
#include "platform/clipbrd.h"

namespace {

// The clipboard format of the vector layer, registered once.
unsigned VectClipboardFormat() {
  static const unsigned format = RegisterClipboardFormat("PIX VECT");
  return format;
}

constexpr int32_t kMaxPastedObjects = 1000000;

}  // namespace

void TPixVect::WriteClipboardBlock(TStream* stream) {
  int32_t count = 0;
  for (int h : sel_)
    if (GetObj(h) && GetObj(h)->Kind != iekNONE) ++count;
  IEVWriteInt(stream, count);
  for (int h : sel_) {
    const TIEVObject* o = GetObj(h);
    if (!o || o->Kind == iekNONE) continue;
    SaveObj(stream, h);
    if (o->Kind != iekBITMAP) continue;
    TBitmap* b = GetBitmap(o->BitmapIdx);
    TIEMask* a = GetBitmapAlpha(o->BitmapIdx);
    if (!b || !a) {
      // No picture to carry: a 1 x 1 white one keeps the block readable.
      TBitmap empty;
      empty.SetPixelFormat(pf24bit);
      empty.SetSize(1, 1);
      std::memset(empty.ScanLine(0), 255, 3);
      IEVWritePicture(stream, &empty);
      IEVWriteByte(stream, 255);
      IEVWriteByte(stream, 0);
      IEVWriteByte(stream, 0);
      IEVWriteByte(stream, 0);
      continue;
    }
    IEVWritePicture(stream, b);
    stream->WriteBuffer(a->Bits, int64_t(a->RowLen) * a->Height);
  }
}

void TPixVect::ReadClipboardBlock(TStream* stream, int32_t dx, int32_t dy) {
  CancelInteracts();
  TModel saved = TakeModel();
  // The paste works on a copy of the layer; the selection it replaces goes
  // away only when the whole block reads.
  records_ = saved.records;
  list_ = saved.list;
  templ_.BitmapIdx = saved.templateBitmap;
  for (const TIEVBitmapEntry& e : saved.bitmaps) {
    TIEVBitmapEntry c;
    if (e.Bitmap) {
      c.Bitmap = std::make_unique<TBitmap>();
      c.Bitmap->Assign(e.Bitmap.get());
      c.Alpha = std::make_unique<TIEMask>();
      c.Alpha->Assign(e.Alpha.get());
    }
    c.Refs = e.Refs;
    bitmaps_.push_back(std::move(c));
  }
  scale_ = saved.scale;
  try {
    for (int h : saved.sel) {
      TIEVObject* o = GetObj(h);
      if (!o) continue;
      FreeObjData(*o);
      list_.erase(std::remove(list_.begin(), list_.end(), h), list_.end());
    }
    const int32_t n = IEVReadCount(stream, kMaxPastedObjects, "object count");
    for (int32_t i = 0; i < n; ++i) {
      const int h = ReadObj(stream, ':', false);
      if (h < 0) continue;  // a group: its members were added
      TIEVObject& o = *GetObj(h);
      o.x1 = IEVClampInt(double(o.x1) + dx);
      o.y1 = IEVClampInt(double(o.y1) + dy);
      o.x2 = IEVClampInt(double(o.x2) + dx);
      o.y2 = IEVClampInt(double(o.y2) + dy);
      if (o.Kind == iekBITMAP) {
        std::unique_ptr<TBitmap> b = IEVReadPicture(stream, true);
        SetObjBitmapNU(h, b.get(), nullptr);
        TIEMask* a = GetObjBitmapAlpha(h);
        if (!a || a->Width != b->GetWidth() || a->Height != b->GetHeight())
          throw EIEVectorError("object clipboard: alpha does not match its picture");
        IEVReadExact(stream, a->Bits, int64_t(a->RowLen) * a->Height);
        a->Full = false;
      }
      AddSelObjectNS(h);
    }
  } catch (...) {
    PutModel(std::move(saved));
    throw;
  }
  Update();
}

bool TPixVect::ObjCopyToClipboard() {
  if (!OpenClipboard(this)) return false;
  EmptyClipboard();
  TMemoryStream block;
  WriteClipboardBlock(&block);
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size_t(block.GetSize()));
  if (mem) {
    std::memcpy(GlobalLock(mem), block.Memory(), size_t(block.GetSize()));
    GlobalUnlock(mem);
    if (!SetClipboardData(VectClipboardFormat(), mem)) GlobalFree(mem);
  }
  return CloseClipboard();
}

bool TPixVect::ObjCutToClipboard() {
  const bool ok = ObjCopyToClipboard();
  const std::vector<int> sel = sel_;
  for (int h : sel) RemoveObject(h);
  return ok;
}

bool TPixVect::ObjPasteFromClipboard(int32_t dx, int32_t dy) {
  if (!OpenClipboard(this)) return false;
  if (HANDLE data = GetClipboardData(VectClipboardFormat())) {
    HGLOBAL mem = data;
    TMemoryStream block;
    const size_t size = GlobalSize(mem);
    block.SetSize(int64_t(size));
    std::memcpy(block.Memory(), GlobalLock(mem), size);
    GlobalUnlock(mem);
    block.SetPosition(0);
    try {
      ReadClipboardBlock(&block, dx, dy);
    } catch (const Exception&) {
      // A damaged block pastes nothing.
    } catch (const std::exception&) {
    }
  }
  return CloseClipboard();
}
