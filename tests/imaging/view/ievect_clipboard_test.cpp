// The object clipboard: copy, cut and paste of the selected objects, and
// damaged clipboard data that pastes nothing.
#include <cstring>

#include "ievect_fixture.h"
#include "imaging/core/iemask.h"
#include "platform/clipbrd.h"

namespace {

TEST_F(IEVectTest, CopyAndPasteMoveTheSelectionByTheOffset) {
  const int box = Add(iekBOX, {10, 10, 20, 20});
  const int bmp = Add(iekBITMAP, {30, 30, 33, 32});
  TBitmap pic;
  Solid(pic, 4, 3, {1, 2, 3});
  vect->SetObjBitmap(bmp, &pic);
  TIEMask alpha;
  alpha.AllocateBits(4, 3, 8);
  alpha.Fill(90);
  vect->SetObjBitmapAlpha(bmp, &alpha);
  Add(iekLINE, {0, 0, 5, 5});  // not selected: not copied
  vect->AddSelObject(bmp);
  vect->AddSelObject(box);
  ASSERT_TRUE(vect->ObjCopyToClipboard());

  TPixVect other(parent);
  ASSERT_TRUE(other.ObjPasteFromClipboard(5, -3));
  ASSERT_EQ(other.ObjectsCount(), 2);
  // Selection order, each moved, each selected.
  EXPECT_EQ(other.GetObjKind(0), iekBITMAP);
  EXPECT_EQ(other.GetObjRect(0), (TRect{35, 27, 38, 29}));
  EXPECT_EQ(other.GetObjRect(1), (TRect{15, 7, 25, 17}));
  EXPECT_EQ(other.SelectionCount(), 2);
  ASSERT_NE(other.GetObjBitmap(0), nullptr);
  EXPECT_EQ(reinterpret_cast<TRGB*>(other.GetObjBitmap(0)->ScanLine(2))[3].g, 2);
  EXPECT_EQ(other.GetObjBitmapAlpha(0)->GetPixel(1, 1), 90);

  // Pasting again replaces the selection by the new copies.
  ASSERT_TRUE(other.ObjPasteFromClipboard(0, 0));
  EXPECT_EQ(other.ObjectsCount(), 2);
  EXPECT_EQ(other.GetObjRect(other.GetObjFromIndex(1)), (TRect{10, 10, 20, 20}));

  // Cut removes what it copied.
  ASSERT_TRUE(vect->ObjCutToClipboard());
  EXPECT_EQ(vect->ObjectsCount(), 1);
  EXPECT_EQ(vect->GetObjKind(vect->GetObjFromIndex(0)), iekLINE);
}

TEST_F(IEVectTest, DamagedClipboardDataPastesNothing) {
  Add(iekBOX, {10, 10, 20, 20});
  vect->AddSelObject(0);
  Add(iekBITMAP, {0, 0, 3, 3});
  vect->AddSelObject(1);
  ASSERT_TRUE(vect->ObjCopyToClipboard());
  const unsigned format = RegisterClipboardFormat("PIX VECT");
  ASSERT_TRUE(OpenClipboard(vect));
  const HGLOBAL good = GetClipboardData(format);
  ASSERT_NE(good, 0u);
  const std::string block(static_cast<char*>(GlobalLock(good)), GlobalSize(good));
  GlobalUnlock(good);
  CloseClipboard();

  auto put = [&](const std::string& bytes) {
    ASSERT_TRUE(OpenClipboard(vect));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(mem), bytes.data(), bytes.size());
    GlobalUnlock(mem);
    SetClipboardData(format, mem);
    CloseClipboard();
  };
  std::string hugeCount = block;
  hugeCount[3] = 0x7F;
  // Cut inside the last picture (a block may be rounded up by a few bytes).
  std::string badAlpha = block.substr(0, block.size() - 20);
  const std::string cases[] = {block.substr(0, 2), block.substr(0, block.size() / 2), hugeCount, badAlpha};
  TPixVect other(parent);
  const int kept = other.AddNewObject();
  other.SetObjKind(kept, iekELLIPSE);
  other.AddSelObject(kept);
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(bytes.size());
    put(bytes);
    EXPECT_TRUE(other.ObjPasteFromClipboard(0, 0));
    EXPECT_EQ(other.ObjectsCount(), 1);
    EXPECT_TRUE(other.IsSelObject(kept));
    EXPECT_EQ(other.GetObjKind(kept), iekELLIPSE);
  }
  put(block);
  other.ObjPasteFromClipboard(0, 0);
  EXPECT_EQ(other.ObjectsCount(), 2);  // the selected ellipse replaced by the two
}

}  // namespace
