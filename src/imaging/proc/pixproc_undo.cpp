// Undo and redo of the processing component: whole-picture snapshots with
// their alpha channel, restored by index.
#include "imaging/proc/pixproc_undo.h"

#include "imaging/core/iemask.h"
#include "imaging/core/ieview.h"
#include "imaging/proc/pixproc.h"

// The snapshot list --------------------------------------------------------------------

void TIESnapshotList::MakeRoom(int limit) {
  while (Count() >= limit) {
    if (entries_.empty()) throw EListError("List index out of bounds (0)");
    entries_.erase(entries_.begin());
  }
}

void TIESnapshotList::Append(std::unique_ptr<TIEBitmap> snapshot) {
  entries_.push_back(TEntry{std::move(snapshot), std::string()});
}

int TIESnapshotList::Position(int i) const { return i >= 0 && i < Count() ? Count() - 1 - i : -1; }

TIEBitmap* TIESnapshotList::At(int i) const {
  const int p = Position(i);
  return p < 0 ? nullptr : entries_[size_t(p)].Snapshot.get();
}

std::string TIESnapshotList::Caption(int i) const {
  const int p = Position(i);
  return p < 0 ? std::string() : entries_[size_t(p)].Caption;
}

void TIESnapshotList::SetCaption(int i, const std::string& caption) {
  const int p = Position(i);
  if (p >= 0) entries_[size_t(p)].Caption = caption;
}

void TIESnapshotList::Remove(int i) {
  const int p = Position(i);
  if (p >= 0) entries_.erase(entries_.begin() + p);
}

void TIESnapshotList::Clear() {
  // Oldest first, as the entries were made.
  while (!entries_.empty()) entries_.erase(entries_.begin());
}

// The component's undo and redo ---------------------------------------------------------

std::unique_ptr<TIEBitmap> TPixProc::MakeSnapshot() {
  auto snapshot = std::make_unique<TIEBitmap>();
  snapshot->SetLocation(UndoLocation);
  snapshot->CopyFromTBitmap(bitmap_);
  if (TIEMask* alpha = GetAlphaChannel()) snapshot->GetAlphaChannel()->CopyFromTIEMask(alpha);
  return snapshot;
}

void TPixProc::SaveSnapshot(TIESnapshotList& list) {
  if (!bitmap_ || bitmap_->GetWidth() <= 0 || bitmap_->GetHeight() <= 0) return;
  // Room first, so that no more than UndoLimit copies are ever held.
  list.MakeRoom(UndoLimit);
  list.Append(MakeSnapshot());
}

void TPixProc::Restore(TIESnapshotList& list, int i) {
  TIEBitmap* snapshot = list.At(i);
  if (!bitmap_ || !snapshot) return;
  snapshot->CopyToTBitmap(bitmap_);
  if (snapshot->GetHasAlphaChannel() && attachedPix_)
    snapshot->GetAlphaChannel()->CopyToTIEMask(attachedPix_->GetAlphaChannel());
  Update();
}

void TPixProc::SaveUndo() { SaveSnapshot(undo_); }

void TPixProc::SaveUndoCaptioned(const std::string& caption) {
  if (!bitmap_ || bitmap_->GetWidth() <= 0 || bitmap_->GetHeight() <= 0) return;
  SaveUndo();
  undo_.SetCaption(0, caption);
}

void TPixProc::SaveRedo() { SaveSnapshot(redo_); }

void TPixProc::SaveRedoCaptioned(const std::string& caption) {
  if (!bitmap_ || bitmap_->GetWidth() <= 0 || bitmap_->GetHeight() <= 0) return;
  SaveRedo();
  redo_.SetCaption(0, caption);
}

void TPixProc::Undo() { UndoAt(0); }
void TPixProc::UndoAt(int i) { Restore(undo_, i); }
void TPixProc::Redo() { RedoAt(0); }
void TPixProc::RedoAt(int i) { Restore(redo_, i); }

void TPixProc::ClearUndo() { undo_.Remove(0); }
void TPixProc::ClearUndoAt(int i) { undo_.Remove(i); }
void TPixProc::ClearRedo() { redo_.Remove(0); }
void TPixProc::ClearAllUndo() { undo_.Clear(); }
void TPixProc::ClearAllRedo() { redo_.Clear(); }
