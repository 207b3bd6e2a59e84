#include "platform/metafile.h"

#include "platform/canvas.h"
#include "platform/fonts.h"
#include "platform/gdi.h"
#include "platform/metafileplay.h"
#include "platform/sysutils.h"

namespace {

// Metafiles above this size are refused rather than read into memory.
constexpr int64_t kMaxMetafileBytes = int64_t(1) << 28;
constexpr int kHundredthMMPerInch = 2540;

TMetaInfo ReadHeader(const TMetaBytes& bytes) {
  return IsEnhancedMetafile(bytes) ? ReadEmfHeader(bytes) : ReadWmfHeader(bytes);
}

void Play(const TMetaBytes& bytes, const TMetaInfo& info, TMetaPlayer& player, bool strict) {
  if (info.Enhanced)
    PlayEmfRecords(bytes, info, player, strict);
  else
    PlayWmfRecords(bytes, info, player, strict);
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, uint16_t(v));
  Put16(out, uint16_t(v >> 16));
}

// A metafile with nothing in it: the header and the end-of-file record.
std::vector<uint8_t> EmptyMetafile(bool enhanced) {
  std::vector<uint8_t> out;
  if (!enhanced) {
    for (uint16_t word : {1, 9, 0x0300}) Put16(out, word);
    Put32(out, 9 + 3);  // size in words
    Put16(out, 0);      // objects
    Put32(out, 3);      // largest record
    Put16(out, 0);
    Put32(out, 3);  // end of file
    Put16(out, 0);
    return out;
  }
  const int width = ScreenWidth(), height = ScreenHeight(), ppi = ScreenPixelsPerInch();
  Put32(out, 1);   // EMR_HEADER
  Put32(out, 88);  // its size
  for (int i = 0; i < 8; ++i) Put32(out, 0);  // bounds and frame
  Put32(out, 0x464D4520);
  Put32(out, 0x10000);  // version
  Put32(out, 88 + 20);  // bytes
  Put32(out, 2);        // records
  Put16(out, 1);        // handles
  Put16(out, 0);
  for (int i = 0; i < 3; ++i) Put32(out, 0);  // description and palette
  Put32(out, uint32_t(width));
  Put32(out, uint32_t(height));
  Put32(out, uint32_t(MulDiv(width, 254, ppi * 10)));
  Put32(out, uint32_t(MulDiv(height, 254, ppi * 10)));
  Put32(out, 14);  // EMR_EOF
  Put32(out, 20);
  Put32(out, 0);
  Put32(out, 16);
  Put32(out, 20);
  return out;
}

}  // namespace

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

int TMetafile::GetWidth() const { return MulDiv(MMWidth, ScreenPixelsPerInch(), kHundredthMMPerInch); }
int TMetafile::GetHeight() const { return MulDiv(MMHeight, ScreenPixelsPerInch(), kHundredthMMPerInch); }

void TMetafile::SetWidth(int w) {
  MMWidth = MulDiv(w, kHundredthMMPerInch, ScreenPixelsPerInch());
  Changed();
}

void TMetafile::SetHeight(int h) {
  MMHeight = MulDiv(h, kHundredthMMPerInch, ScreenPixelsPerInch());
  Changed();
}

void TMetafile::Changed() {
  if (OnChange) OnChange(this);
}

void TMetafile::LoadFromStream(TStream* stream) {
  const int64_t size = stream->GetSize() - stream->GetPosition();
  if (size <= 0) throw EInvalidGraphic("Metafile is empty");
  if (size > kMaxMetafileBytes) throw EInvalidGraphic("Metafile is too large");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  stream->ReadBuffer(bytes.data(), size);
  TMetaBytes view(bytes.data(), bytes.size());
  const TMetaInfo info = ReadHeader(view);
  // A playback without pixels checks the counts and offsets of every record.
  TMetaPlayer check(nullptr, info, QRectF(0, 0, 1, 1));
  Play(view, info, check, true);

  data_ = std::move(bytes);
  Enhanced = info.Enhanced;
  MMWidth = info.MMWidth;
  MMHeight = info.MMHeight;
  Changed();
}

void TMetafile::SaveToStream(TStream* stream) {
  const std::vector<uint8_t> empty = data_.empty() ? EmptyMetafile(Enhanced) : std::vector<uint8_t>();
  const std::vector<uint8_t>& bytes = data_.empty() ? empty : data_;
  stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

void TMetafile::SaveToFile(const std::string& name) {
  if (data_.empty()) Enhanced = LowerCase(ExtractFileExt(name)) != ".wmf";
  TGraphic::SaveToFile(name);
}

void TMetafile::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TMetafile*>(source)) {
    if (other == this) return;
    data_ = other->data_;
    Enhanced = other->Enhanced;
    MMWidth = other->MMWidth;
    MMHeight = other->MMHeight;
  } else if (source == nullptr || dynamic_cast<TGraphic*>(source) != nullptr) {
    data_.clear();
    MMWidth = MMHeight = 0;
  } else {
    return TGraphic::Assign(source);
  }
  Changed();
}

void TMetafile::Draw(TCanvas* canvas, const TRect& rect) {
  if (data_.empty()) return;
  TPixelSurface surface = canvas->Target()->Surface();
  if (!surface.Valid()) return;
  const TRect d = canvas->ToDevice(rect);
  QRect area = QRect(QPoint(d.Left, d.Top), QPoint(d.Right - 1, d.Bottom - 1)).normalized();
  area = area.intersected(QRect(0, 0, surface.width, surface.height));
  if (canvas->HasClipRegion()) area = area.intersected(canvas->ClipRegion().boundingRect());
  if (area.isEmpty()) return;

  // Play onto a copy of the pixels underneath, then put back only the
  // pixels that changed: what the records leave alone stays as it was.
  QImage layer(area.size(), QImage::Format_RGB32);
  for (int y = 0; y < layer.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
    for (int x = 0; x < layer.width(); ++x)
      row[x] = 0xFF000000u | surface.ToRgb(surface.Get(area.left() + x, area.top() + y));
  }
  const QImage before = layer.copy();
  TMetaBytes view(data_.data(), data_.size());
  const TMetaInfo info = ReadHeader(view);
  {
    QPainter painter(&layer);
    QRectF target(d.Left - area.left(), d.Top - area.top(), d.Right - d.Left, d.Bottom - d.Top);
    TMetaPlayer player(&painter, info, target);
    Play(view, info, player, false);
  }

  const QRegion clip = canvas->HasClipRegion() ? canvas->ClipRegion().intersected(area) : QRegion(area);
  canvas->Target()->Touched({area.left(), area.top(), area.right() + 1, area.bottom() + 1});
  TValueCache values(surface);
  for (const QRect& r : clip) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
      const auto* now = reinterpret_cast<const QRgb*>(layer.constScanLine(y - area.top()));
      const auto* was = reinterpret_cast<const QRgb*>(before.constScanLine(y - area.top()));
      for (int x = r.left(); x <= r.right(); ++x) {
        const int i = x - area.left();
        if (now[i] != was[i]) surface.Set(x, y, values.ToValue(now[i] & 0xFFFFFF));
      }
    }
  }
  canvas->Target()->Changed();
}
