#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "imaging/core/iebitmap.h"
#include "pixproc_fixture.h"

namespace {

class PixProcUndoTest : public PixProcTest {
 protected:
  // Runs n probe operations captioned "op 1" .. "op n"; operation k
  // inverts the pixel (k, 0) only (a one-pixel mask), so each state is
  // told apart by which pixels are inverted.
  void RunOperations(int n) {
    for (int k = 1; k <= n; ++k) {
      view->SelectionMask->Empty();
      view->SelectionMask->SetPixel(k, 0, 1);
      view->HasSelection = true;
      proc->Invert(PixProcCaption("op", {k}));
    }
    view->DeSelect();
  }
  // How many of the pixels (1..n, 0) are inverted.
  int InvertedCount(int n) {
    int count = 0;
    for (int k = 1; k <= n; ++k) count += InvertedAt(k, 0);
    return count;
  }
};

TEST_F(PixProcUndoTest, LimitOneKeepsTheStateBeforeTheLastOperation) {
  Picture(10, 4);
  RunOperations(2);
  EXPECT_EQ(proc->GetUndoCount(), 1);
  EXPECT_TRUE(proc->GetCanUndo());
  proc->Undo();
  EXPECT_TRUE(InvertedAt(1, 0));
  EXPECT_TRUE(OriginalAt(2, 0));
  // The snapshot stays: undoing again gives the same picture, and no redo.
  proc->Invert();
  proc->Undo();
  EXPECT_TRUE(InvertedAt(1, 0));
  EXPECT_TRUE(OriginalAt(2, 0));
  EXPECT_EQ(proc->GetRedoCount(), 0);
}

TEST_F(PixProcUndoTest, LimitThreeKeepsTheNewestThreeCountedFromTheNewest) {
  Picture(10, 4);
  proc->UndoLimit = 3;
  RunOperations(5);
  ASSERT_EQ(proc->GetUndoCount(), 3);
  EXPECT_EQ(proc->GetUndoCaptions(0), "op 5");
  EXPECT_EQ(proc->GetUndoCaptions(2), "op 3");
  // Snapshot i holds the picture before operation 5 - i.
  for (int i : {2, 0, 1}) {
    imageChanges = 0;
    proc->UndoAt(i);
    EXPECT_EQ(InvertedCount(5), 4 - i) << i;
    EXPECT_EQ(imageChanges, 1);
  }
}

TEST_F(PixProcUndoTest, IndexesOutsideTheListChangeNothing) {
  Picture(10, 4);
  proc->Undo();  // empty list
  EXPECT_EQ(imageChanges, 0);
  proc->UndoLimit = 2;
  RunOperations(2);
  imageChanges = 0;
  for (int i : {-1, 2, 5}) proc->UndoAt(i);
  EXPECT_EQ(imageChanges, 0);
  EXPECT_EQ(InvertedCount(2), 2);
  // Captions outside the list read empty and ignore writes.
  EXPECT_EQ(proc->GetUndoCaptions(5), "");
  proc->SetUndoCaptions(5, "x");
  proc->SetUndoCaptions(-1, "x");
  proc->SetUndoCaptions(1, "renamed");
  EXPECT_EQ(proc->GetUndoCaptions(0), "op 2");
  EXPECT_EQ(proc->GetUndoCaptions(1), "renamed");
  proc->ClearUndoAt(2);
  EXPECT_EQ(proc->GetUndoCount(), 2);
}

TEST_F(PixProcUndoTest, UndoBringsBackTheOldSizeAndFormat) {
  Picture(9, 7);
  proc->ConvertToBWOrdered();
  view->GetFBitmap()->SetSize(3, 2);
  proc->Undo();
  TBitmap* b = view->GetFBitmap();
  EXPECT_EQ(b->GetPixelFormat(), pf24bit);
  EXPECT_EQ(b->GetWidth(), 9);
  EXPECT_EQ(b->GetHeight(), 7);
  EXPECT_TRUE(OriginalAt(8, 6));
}

TEST_F(PixProcUndoTest, SnapshotsRestoreFromMemoryAndFromFileStorage) {
  for (TIELocation location : {ieMemory, ieFile}) {
    SCOPED_TRACE(int(location));
    Picture(300, 200);
    proc->UndoLocation = location;
    proc->Invert();
    proc->Undo();
    for (int y : {0, 99, 199})
      for (int x : {0, 150, 299}) ASSERT_TRUE(OriginalAt(x, y)) << x << "," << y;
  }
}

TEST_F(PixProcUndoTest, AlphaIsRestoredOnlyWhenTheSnapshotHasOne) {
  Picture(6, 5);
  // Saved without alpha: the current alpha channel stays.
  proc->SaveUndo();
  view->GetAlphaChannel()->SetPixel(2, 2, 40);
  proc->Undo();
  ASSERT_TRUE(view->GetHasAlphaChannel());
  EXPECT_EQ(view->GetAlphaChannel()->GetPixel(2, 2), 40);
  // Saved with alpha: that alpha comes back, even into a view that lost it.
  proc->SaveUndo();
  view->RemoveAlphaChannel();
  proc->Undo();
  ASSERT_TRUE(view->GetHasAlphaChannel());
  EXPECT_EQ(view->GetAlphaChannel()->GetPixel(2, 2), 40);
  EXPECT_EQ(view->GetAlphaChannel()->GetPixel(0, 0), 255);
}

TEST_F(PixProcUndoTest, EmptyPictureSavesNothing) {
  view->GetFBitmap()->SetSize(0, 5);
  proc->SaveUndo();
  proc->SaveUndoCaptioned("x");
  proc->SaveRedo();
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(proc->GetRedoCount(), 0);
}

TEST_F(PixProcUndoTest, LimitBelowOneFailsBeforeAnyPixelChanges) {
  Picture(4, 4);
  for (int limit : {0, -3}) {
    proc->UndoLimit = limit;
    EXPECT_THROW(proc->Invert(), EListError);
    EXPECT_THROW(proc->SaveRedo(), EListError);
    EXPECT_TRUE(OriginalAt(0, 0));
    EXPECT_EQ(proc->GetUndoCount(), 0);
  }
}

TEST_F(PixProcUndoTest, RedoListIsSavedOnRequestAndClearedApart) {
  Picture(10, 4);
  proc->UndoLimit = 2;
  proc->SaveRedoCaptioned("first");
  proc->Invert();
  proc->SaveRedoCaptioned("second");
  proc->SaveRedoCaptioned("third");  // the oldest goes
  ASSERT_EQ(proc->GetRedoCount(), 2);
  EXPECT_EQ(proc->GetRedoCaptions(1), "second");
  EXPECT_EQ(proc->GetRedoCaptions(2), "");
  proc->Undo();
  EXPECT_TRUE(OriginalAt(0, 0));
  proc->Redo();
  EXPECT_TRUE(InvertedAt(0, 0));
  proc->ClearRedo();
  EXPECT_EQ(proc->GetRedoCaptions(0), "second");
  proc->ClearAllRedo();
  EXPECT_EQ(proc->GetRedoCount(), 0);
  EXPECT_EQ(proc->GetUndoCount(), 1);
  proc->ClearUndo();
  proc->ClearUndo();  // nothing left: nothing happens
  EXPECT_FALSE(proc->GetCanUndo());
}

TEST_F(PixProcUndoTest, ListsOutliveTheAttachment) {
  Picture(5, 5);
  proc->Invert();
  auto other = Bitmap24(2, 3, [](int, int) { return Grey(9); });
  proc->SetAttachedBitmap(other.get());
  EXPECT_EQ(proc->GetUndoCount(), 1);
  proc->Undo();
  EXPECT_EQ(other->GetWidth(), 5);
  EXPECT_TRUE(Same(Pixel24(other.get(), 4, 4), Code(4, 4)));
}

// A descendant's SaveUndo runs for the captioned save too.
TEST(PixProcUndoOverride, CaptionedSaveGoesThroughTheOverride) {
  struct TCounting : TPixProc {
    using TPixProc::TPixProc;
    void SaveUndo() override {
      ++saves;
      TPixProc::SaveUndo();
    }
    int saves = 0;
  } proc(nullptr);
  auto bitmap = Bitmap24(2, 2, [](int, int) { return Grey(0); });
  proc.SetAttachedBitmap(bitmap.get());
  proc.SaveUndoCaptioned("c");
  EXPECT_EQ(proc.saves, 1);
  EXPECT_EQ(proc.GetUndoCaptions(0), "c");
}

}  // namespace
