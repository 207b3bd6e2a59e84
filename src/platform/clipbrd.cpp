// The clipboard: handles the program owns, published to QClipboard.
#include "platform/clipbrd.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "platform/graphics.h"
#include "platform/sysutils.h"

namespace {

// The packed DIB's own bytes, kept beside the image so that a picture put
// on the clipboard comes back bit for bit.
const char* const kDibMime = "application/x-cardwright-dib";
constexpr unsigned kFirstRegistered = 0xC000;

using Bytes = std::vector<uint8_t>;

// Packed DIBs ------------------------------------------------------------------------------

uint32_t ReadU32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
uint16_t ReadU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

// A packed DIB (header, colours, rows) as the bitmap's BMP form without its
// 14-byte file header.
Bytes PackedDibOf(TBitmap& bitmap) {
  TMemoryStream stream;
  bitmap.SaveToStream(&stream);
  const auto* data = static_cast<const uint8_t*>(stream.Memory());
  return Bytes(data + 14, data + stream.GetSize());
}

// Decodes a packed DIB of `size` bytes; false when the bytes do not hold one.
bool BitmapOfPackedDib(const uint8_t* dib, uint64_t size, TBitmap& bitmap) {
  if (size < 12 || size > UINT32_MAX - 14) return false;
  uint32_t headerSize = ReadU32(dib);
  if (headerSize != 12 && (headerSize < 40 || headerSize > size)) return false;
  uint64_t colours = 0, entrySize = headerSize == 12 ? 3 : 4, masks = 0;
  uint16_t bitCount = ReadU16(dib + (headerSize == 12 ? 10 : 14));
  if (headerSize >= 40) {
    uint32_t compression = ReadU32(dib + 16);
    uint32_t used = ReadU32(dib + 32);
    if (headerSize == 40 && compression == BI_BITFIELDS) masks = 12;
    if (bitCount <= 8) colours = used ? used : (1u << bitCount);
    else colours = used;
  } else if (bitCount <= 8) {
    colours = 1u << bitCount;
  }
  uint64_t offBits = 14 + uint64_t(headerSize) + masks + colours * entrySize;
  if (offBits > 14 + size) return false;
  Bytes file(14 + size);
  const uint32_t fileSize = uint32_t(file.size()), offset = uint32_t(offBits);
  file[0] = 'B';
  file[1] = 'M';
  std::memcpy(&file[2], &fileSize, 4);
  std::memcpy(&file[10], &offset, 4);
  std::memcpy(&file[14], dib, size);
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), int64_t(file.size()));
  stream.SetPosition(0);
  try {
    bitmap.LoadFromStream(&stream);
  } catch (const EInvalidGraphic&) {
    return false;
  }
  if (bitmap.GetEmpty()) return false;
  return true;
}

// Global blocks -----------------------------------------------------------------------------

HGLOBAL BlockOf(const void* data, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size ? size : 1);
  if (block == 0) return 0;
  if (size) {
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
  }
  return block;
}

Bytes BytesOf(HGLOBAL block) {
  size_t size = GlobalSize(block);
  const auto* data = static_cast<const uint8_t*>(GlobalLock(block));
  if (data == nullptr) return {};
  Bytes bytes(data, data + size);
  GlobalUnlock(block);
  return bytes;
}

// Text up to the first NUL, never past the block.
std::string TextOf(HGLOBAL block) {
  Bytes bytes = BytesOf(block);
  auto end = std::find(bytes.begin(), bytes.end(), uint8_t(0));
  return std::string(bytes.begin(), end);
}

std::u16string WideTextOf(HGLOBAL block) {
  Bytes bytes = BytesOf(block);
  std::u16string text(bytes.size() / 2, u'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * 2);
  return text.substr(0, text.find(u'\0'));
}

// Bitmap objects ----------------------------------------------------------------------------

HBITMAP BitmapHandleOf(const QImage& image) {
  auto* handle = new TGdiBitmap;
  handle->bitmap = new TBitmap;
  handle->ownsBitmap = true;
  handle->bitmap->SetImage(image);
  return handle;
}

// The picture of a bitmap object: a TBitmap's, or a DIB section's pixels.
QImage ImageOfBitmapHandle(HBITMAP handle) {
  if (handle->bitmap) return handle->bitmap->Image();
  const BITMAPINFOHEADER& header = handle->header;
  uint64_t rowLen = (uint64_t(std::max(header.biWidth, 0)) * header.biBitCount + 31) / 32 * 4;
  uint64_t rows = header.biHeight < 0 ? -int64_t(header.biHeight) : header.biHeight;
  Bytes dib(sizeof header);
  std::memcpy(dib.data(), &header, sizeof header);
  if (header.biCompression == BI_BITFIELDS)
    dib.insert(dib.end(), reinterpret_cast<const uint8_t*>(handle->masks), reinterpret_cast<const uint8_t*>(handle->masks) + 12);
  for (const RGBQUAD& colour : handle->colors) dib.insert(dib.end(), {colour.rgbBlue, colour.rgbGreen, colour.rgbRed, 0});
  if (handle->bits) dib.insert(dib.end(), handle->bits.get(), handle->bits.get() + rowLen * rows);
  TBitmap bitmap;
  return BitmapOfPackedDib(dib.data(), dib.size(), bitmap) ? bitmap.Image() : QImage();
}

// The clipboard's state ----------------------------------------------------------------------

void FreeHandle(unsigned format, HANDLE handle) {
  if (format == CF_BITMAP)
    DeleteObject(reinterpret_cast<HBITMAP>(handle));
  else
    GlobalFree(handle);
}

struct TClipState {
  // What the clipboard still holds when the program ends is freed with it.
  ~TClipState() {
    for (const auto& [format, handle] : items) FreeHandle(format, handle);
  }
  bool open = false;
  // Handles the clipboard owns, by format; they belong to `source`.
  std::map<unsigned, HANDLE> items;
  // Formats made from another format's data on request, not published.
  std::set<unsigned> derived;
  const QMimeData* source = nullptr;
  std::vector<std::string> registered;
};

TClipState& State() {
  static TClipState state;
  return state;
}

QClipboard* SystemClipboard() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

void FreeItems() {
  TClipState& state = State();
  for (const auto& [format, handle] : state.items) FreeHandle(format, handle);
  state.items.clear();
  state.derived.clear();
}

// Forgets the handles when someone else has changed the clipboard since.
void Sync() {
  TClipState& state = State();
  QClipboard* clipboard = SystemClipboard();
  const QMimeData* now = clipboard ? clipboard->mimeData() : nullptr;
  if (now != state.source) {
    FreeItems();
    state.source = now;
  }
}

bool IsRegistered(unsigned format) { return format >= kFirstRegistered && format - kFirstRegistered < State().registered.size(); }

// Puts what the program holds on the system clipboard.
void Publish() {
  TClipState& state = State();
  QClipboard* clipboard = SystemClipboard();
  if (!clipboard) return;
  auto* mime = new QMimeData;
  for (const auto& [format, handle] : state.items) {
    if (state.derived.count(format)) continue;
    if (format == CF_DIB) {
      Bytes dib = BytesOf(handle);
      mime->setData(kDibMime, QByteArray(reinterpret_cast<const char*>(dib.data()), qsizetype(dib.size())));
      TBitmap bitmap;
      if (!state.items.count(CF_BITMAP) && BitmapOfPackedDib(dib.data(), dib.size(), bitmap))
        mime->setImageData(bitmap.Image());
    } else if (format == CF_BITMAP) {
      mime->setImageData(ImageOfBitmapHandle(reinterpret_cast<HBITMAP>(handle)));
    } else if (format == CF_TEXT) {
      mime->setText(QString::fromStdString(TextOf(handle)));
    } else if (format == CF_UNICODETEXT) {
      mime->setText(QString::fromStdU16String(WideTextOf(handle)));
    } else if (IsRegistered(format)) {
      Bytes bytes = BytesOf(handle);
      mime->setData(QString::fromStdString(ClipboardFormatMimeType(format)),
                    QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    }
  }
  clipboard->setMimeData(mime);
  state.source = clipboard->mimeData();
}

// Makes the handle of a format from what the system clipboard holds; 0
// when it holds nothing that serves.
HANDLE Derive(unsigned format, const QMimeData* mime) {
  if (mime == nullptr) return 0;
  if (format == CF_DIB || format == CF_BITMAP) {
    QByteArray dib = mime->data(kDibMime);
    TBitmap bitmap;
    bool decoded = !dib.isEmpty() && BitmapOfPackedDib(reinterpret_cast<const uint8_t*>(dib.constData()), uint64_t(dib.size()), bitmap);
    if (!decoded && mime->hasImage()) {
      QImage image = qvariant_cast<QImage>(mime->imageData());
      if (image.isNull()) return 0;
      bitmap.SetImage(image);
      decoded = true;
    }
    if (format == CF_BITMAP) return decoded ? reinterpret_cast<HANDLE>(BitmapHandleOf(bitmap.Image())) : 0;
    if (!dib.isEmpty()) return BlockOf(dib.constData(), size_t(dib.size()));
    if (!decoded) return 0;
    Bytes packed = PackedDibOf(bitmap);
    return BlockOf(packed.data(), packed.size());
  }
  if (format == CF_TEXT || format == CF_UNICODETEXT) {
    if (!mime->hasText()) return 0;
    if (format == CF_TEXT) {
      std::string text = mime->text().toStdString();
      return BlockOf(text.c_str(), text.size() + 1);
    }
    std::u16string text = mime->text().toStdU16String();
    return BlockOf(text.c_str(), (text.size() + 1) * 2);
  }
  if (IsRegistered(format)) {
    QString type = QString::fromStdString(ClipboardFormatMimeType(format));
    if (!mime->hasFormat(type)) return 0;
    QByteArray bytes = mime->data(type);
    return BlockOf(bytes.constData(), size_t(bytes.size()));
  }
  return 0;
}

bool Offers(unsigned format, const QMimeData* mime) {
  if (mime == nullptr) return false;
  switch (format) {
    case CF_DIB:
    case CF_BITMAP: return mime->hasFormat(kDibMime) || mime->hasImage();
    case CF_TEXT:
    case CF_UNICODETEXT: return mime->hasText();
    default: return IsRegistered(format) && mime->hasFormat(QString::fromStdString(ClipboardFormatMimeType(format)));
  }
}

}  // namespace

// Platform calls ------------------------------------------------------------------------------

bool OpenClipboard(HWND owner) {
  TClipState& state = State();
  if (state.open || !SystemClipboard()) return false;
  state.open = true;
  return true;
}

bool CloseClipboard() {
  TClipState& state = State();
  if (!state.open) return false;
  state.open = false;
  return true;
}

bool EmptyClipboard() {
  if (!State().open) return false;
  FreeItems();
  Publish();
  return true;
}

HANDLE SetClipboardData(unsigned format, HANDLE data) {
  TClipState& state = State();
  if (!state.open || data == 0) return 0;
  if (format != CF_DIB && format != CF_BITMAP && format != CF_TEXT && format != CF_UNICODETEXT && !IsRegistered(format))
    return 0;
  Sync();
  auto found = state.items.find(format);
  if (found != state.items.end() && found->second != data) FreeHandle(format, found->second);
  state.items[format] = data;
  state.derived.erase(format);
  Publish();
  return data;
}

HANDLE GetClipboardData(unsigned format) {
  TClipState& state = State();
  if (!state.open) return 0;
  Sync();
  auto found = state.items.find(format);
  if (found != state.items.end()) return found->second;
  HANDLE handle = Derive(format, state.source);
  if (handle) {
    state.items[format] = handle;
    state.derived.insert(format);
  }
  return handle;
}

bool IsClipboardFormatAvailable(unsigned format) {
  if (!SystemClipboard()) return false;
  Sync();
  return State().items.count(format) || Offers(format, State().source);
}

unsigned RegisterClipboardFormat(const std::string& name) {
  if (name.empty()) return 0;
  std::vector<std::string>& names = State().registered;
  for (size_t i = 0; i < names.size(); ++i)
    if (SameText(names[i], name)) return kFirstRegistered + unsigned(i);
  names.push_back(name);
  return kFirstRegistered + unsigned(names.size() - 1);
}

std::string GetClipboardFormatName(unsigned format) {
  return IsRegistered(format) ? State().registered[format - kFirstRegistered] : std::string();
}

std::string ClipboardFormatMimeType(unsigned format) {
  std::string name = GetClipboardFormatName(format);
  if (name.empty()) return "";
  return "application/x-cardwright-format." + QUrl::toPercentEncoding(QString::fromStdString(name)).toStdString();
}

// TClipboard ----------------------------------------------------------------------------------

void TClipboard::Open() {
  if (openCount_ == 0) {
    if (!OpenClipboard(nullptr)) throw EClipboardException("Cannot open clipboard");
    emptied_ = false;
  }
  ++openCount_;
}

void TClipboard::Close() {
  if (openCount_ == 0) return;
  if (--openCount_ == 0) CloseClipboard();
}

void TClipboard::Clear() {
  Open();
  EmptyClipboard();
  Close();
}

void TClipboard::Adding() {
  if (!emptied_) {
    EmptyClipboard();
    emptied_ = true;
  }
}

bool TClipboard::HasFormat(unsigned format) { return IsClipboardFormatAvailable(format); }

HANDLE TClipboard::GetAsHandle(unsigned format) {
  Open();
  HANDLE handle = GetClipboardData(format);
  Close();
  return handle;
}

void TClipboard::SetAsHandle(unsigned format, HANDLE value) {
  Open();
  try {
    Adding();
    if (SetClipboardData(format, value) == 0) throw EClipboardException("Cannot put the data on the clipboard");
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

std::string TClipboard::GetAsText() {
  Open();
  HANDLE handle = GetClipboardData(CF_TEXT);
  std::string text = handle ? TextOf(handle) : std::string();
  Close();
  return text;
}

void TClipboard::SetAsText(const std::string& text) {
  HGLOBAL block = BlockOf(text.c_str(), text.size() + 1);
  if (block == 0) OutOfMemoryError();
  SetAsHandle(CF_TEXT, block);
}

void TClipboard::Assign(TPersistent* source) {
  auto* bitmap = dynamic_cast<TBitmap*>(source);
  if (bitmap == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  HBITMAP handle = BitmapHandleOf(bitmap->Image());
  handle->bitmap->Assign(bitmap);
  try {
    SetAsHandle(CF_BITMAP, reinterpret_cast<HANDLE>(handle));
  } catch (...) {
    DeleteObject(handle);
    throw;
  }
}

void TClipboard::AssignTo(TPersistent* dest) {
  auto* bitmap = dynamic_cast<TBitmap*>(dest);
  if (bitmap == nullptr) {
    TPersistent::AssignTo(dest);
    return;
  }
  Open();
  auto handle = reinterpret_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  if (handle == nullptr) {
    Close();
    throw EClipboardException("The clipboard holds no picture");
  }
  if (handle->bitmap)
    bitmap->Assign(handle->bitmap);
  else
    bitmap->SetImage(ImageOfBitmapHandle(handle));
  Close();
}

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}
