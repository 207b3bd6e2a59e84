#include "platform/clipbrd.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cstring>
#include <vector>

#include "platform/graphics.h"

namespace {

using Bytes = std::vector<uint8_t>;

HGLOBAL Block(const Bytes& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

Bytes BlockBytes(HGLOBAL block) {
  const auto* data = static_cast<const uint8_t*>(GlobalLock(block));
  Bytes bytes(data, data + GlobalSize(block));
  GlobalUnlock(block);
  return bytes;
}

void Put32(Bytes& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }
void Put16(Bytes& b, size_t at, uint16_t v) { std::memcpy(&b[at], &v, 2); }

// A packed DIB as the imaging library writes one: 40-byte header, the
// two-entry table for 1 bit, rows bottom-up, 4 spare bytes at the end.
Bytes MakeDib(int width, int height, int bits) {
  const uint32_t rowLen = (width * bits + 31) / 32 * 4;
  const uint32_t table = bits == 1 ? 8 : 0;
  Bytes dib(40 + table + rowLen * height + 4, 0);
  Put32(dib, 0, 40);
  Put32(dib, 4, width);
  Put32(dib, 8, height);
  Put16(dib, 12, 1);
  Put16(dib, 14, bits);
  if (bits == 1) std::memset(&dib[44], 0xFF, 4);
  for (size_t i = 40 + table; i + 4 < dib.size(); ++i) dib[i] = uint8_t(i * 7);
  return dib;
}

// Puts a block on the clipboard inside its own open and close.
bool PutOnClipboard(unsigned format, HANDLE data) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  bool ok = SetClipboardData(format, data) == data;
  CloseClipboard();
  return ok;
}

TBitmap* ClipboardBitmap() {
  EXPECT_TRUE(OpenClipboard(nullptr));
  auto handle = reinterpret_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  CloseClipboard();
  return handle ? handle->bitmap : nullptr;
}

}  // namespace

// A DIB put on the clipboard comes back bit for bit, and serves as a
// bitmap and as the desktop's image too.
TEST(Clipboard, DibRoundTripsExactlyAndServesAsBitmap) {
  for (int bits : {24, 1}) {
    Bytes dib = MakeDib(5, 3, bits);
    HGLOBAL block = Block(dib);
    ASSERT_TRUE(PutOnClipboard(CF_DIB, block)) << bits;
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GetClipboardData(CF_DIB), block) << "the clipboard keeps the block it was given";
    EXPECT_EQ(BlockBytes(GetClipboardData(CF_DIB)), dib);
    CloseClipboard();

    TBitmap* bitmap = ClipboardBitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 5);
    EXPECT_EQ(bitmap->GetHeight(), 3);
    EXPECT_EQ(bitmap->GetPixelFormat(), bits == 1 ? pf1bit : pf24bit);
    // Row 0 of the bitmap is the DIB's last row.
    const uint32_t rowLen = (5 * bits + 31) / 32 * 4;
    const size_t lastRow = 40 + (bits == 1 ? 8 : 0) + 2 * rowLen;
    if (bits == 24) {
      EXPECT_EQ(std::memcmp(bitmap->ScanLine(0), &dib[lastRow], 15), 0);
    } else {
      EXPECT_EQ(bitmap->ScanLine(0)[0] & 0xF8, dib[lastRow] & 0xF8) << "five pixels, leftmost in the top bit";
      EXPECT_EQ(bitmap->Image().pixel(0, 0), qRgb(255, 255, 255)) << "bit 1 is entry 1 of the table, white";
    }

    QImage published = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(published.isNull());
    EXPECT_EQ(published.size(), QSize(5, 3));
    EXPECT_EQ(published.pixel(0, 0), bitmap->Image().pixel(0, 0));
  }
}

TEST(Clipboard, BitmapAssignedComesBackAsBitmapAndDib) {
  TBitmap source;
  source.SetSize(4, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) source.Image().setPixel(x, y, qRgb(x * 60, y * 100, 7));
  Clipboard()->Assign(&source);
  source.Image().fill(Qt::black);  // the clipboard holds its own copy

  ASSERT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  ASSERT_TRUE(Clipboard()->HasFormat(CF_DIB));
  TBitmap pasted;
  pasted.Assign(Clipboard());
  ASSERT_EQ(pasted.GetWidth(), 4);
  EXPECT_EQ(pasted.Image().pixel(3, 1), qRgb(180, 100, 7));

  HGLOBAL dib = Clipboard()->GetAsHandle(CF_DIB);
  ASSERT_NE(dib, 0u);
  Bytes bytes = BlockBytes(dib);
  ASSERT_GE(bytes.size(), 40u + 2 * 12);
  uint32_t header, width, height;
  std::memcpy(&header, &bytes[0], 4);
  std::memcpy(&width, &bytes[4], 4);
  std::memcpy(&height, &bytes[8], 4);
  EXPECT_EQ(header, 40u);
  EXPECT_EQ(width, 4u);
  EXPECT_EQ(height, 2u);
  // Bottom-up: the DIB's first row is the picture's row 1, blue first.
  EXPECT_EQ(bytes[40 + 3 * 3 + 0], 7);
  EXPECT_EQ(bytes[40 + 3 * 3 + 1], 100);
  EXPECT_EQ(bytes[40 + 3 * 3 + 2], 180);
}

TEST(Clipboard, ReadsWhatAnotherProgramPutThere) {
  QImage image(3, 2, QImage::Format_RGB32);
  image.fill(qRgb(10, 20, 30));
  QGuiApplication::clipboard()->setImage(image);
  ASSERT_TRUE(Clipboard()->HasFormat(CF_DIB));
  ASSERT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
  TBitmap pasted;
  pasted.Assign(Clipboard());
  EXPECT_EQ(pasted.GetWidth(), 3);
  EXPECT_EQ(pasted.Image().pixel(2, 1), qRgb(10, 20, 30));

  QGuiApplication::clipboard()->setText(QString::fromUtf8("姓名\tAAAA"));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_DIB));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
  EXPECT_EQ(Clipboard()->GetAsText(), "姓名\tAAAA");
  EXPECT_THROW(pasted.Assign(Clipboard()), EClipboardException);
}

TEST(Clipboard, RegisteredFormatsRoundTripUnderTheirOwnType) {
  const unsigned vect = RegisterClipboardFormat("PIX VECT");
  EXPECT_GE(vect, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("pix vect"), vect);
  EXPECT_NE(RegisterClipboardFormat("Other"), vect);
  EXPECT_EQ(RegisterClipboardFormat(""), 0u);
  EXPECT_EQ(GetClipboardFormatName(vect), "PIX VECT");

  const Bytes objects = {2, 0, 0, 0, 1, 2, 3, 0, 0xFF};
  Clipboard()->SetAsHandle(vect, Block(objects));
  EXPECT_TRUE(Clipboard()->HasFormat(vect));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_DIB));
  EXPECT_EQ(BlockBytes(Clipboard()->GetAsHandle(vect)), objects);
  const QMimeData* published = QGuiApplication::clipboard()->mimeData();
  QByteArray data = published->data(QString::fromStdString(ClipboardFormatMimeType(vect)));
  EXPECT_EQ(Bytes(data.begin(), data.end()), objects);

  // The same type set by someone else reads back the same.
  auto* mime = new QMimeData;
  mime->setData(QString::fromStdString(ClipboardFormatMimeType(vect)), QByteArray("\x01\x00\x00\x00", 4));
  QGuiApplication::clipboard()->setMimeData(mime);
  EXPECT_EQ(BlockBytes(Clipboard()->GetAsHandle(vect)), (Bytes{1, 0, 0, 0}));
}

TEST(Clipboard, OpenCloseRulesAndEmptyingOnceWithinOneOpen) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(OpenClipboard(nullptr)) << "already open";
  ASSERT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
  HGLOBAL block = Block({1, 2});
  EXPECT_EQ(SetClipboardData(CF_DIB, block), 0u) << "not open: the caller keeps the block";
  EXPECT_EQ(GetClipboardData(CF_TEXT), 0u);
  GlobalFree(block);

  TBitmap picture;
  picture.SetSize(2, 2);
  // Outside an Open each put replaces everything ...
  Clipboard()->SetAsText("text");
  Clipboard()->Assign(&picture);
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
  // ... inside one Open the formats go on together.
  Clipboard()->Open();
  Clipboard()->Open();
  Clipboard()->SetAsText("text");
  Clipboard()->Assign(&picture);
  Clipboard()->Close();
  EXPECT_FALSE(OpenClipboard(nullptr)) << "still open once";
  Clipboard()->Close();
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_EQ(Clipboard()->GetAsText(), "text");
  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
}

// DIBs whose header lies about their size are kept as given but never
// decoded past their end.
TEST(Clipboard, DamagedDibsAreKeptButNotDecoded) {
  Bytes tooShort = MakeDib(1000, 1000, 24);
  tooShort.resize(100);
  Bytes hugeHeader = MakeDib(2, 2, 24);
  Put32(hugeHeader, 0, 0xFFFFFFF0u);
  Bytes hugeTable = MakeDib(2, 2, 8);
  Put32(hugeTable, 32, 0x40000000u);  // colours used
  Bytes tiny = {40, 0, 0};
  for (const Bytes& dib : {tooShort, hugeHeader, hugeTable, tiny}) {
    ASSERT_TRUE(PutOnClipboard(CF_DIB, Block(dib)));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(BlockBytes(GetClipboardData(CF_DIB)), dib);
    EXPECT_EQ(GetClipboardData(CF_BITMAP), 0u);
    CloseClipboard();
  }
  TBitmap pasted;
  EXPECT_THROW(pasted.Assign(Clipboard()), EClipboardException);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();  // the last block goes with the clipboard's contents
  CloseClipboard();
}
