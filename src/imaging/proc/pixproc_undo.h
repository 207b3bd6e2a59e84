// A list of whole-picture snapshots, each with a caption, as the
// processing component keeps them for undo and for redo. Stored oldest
// first; the interface counts from the newest (0 = newest).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"

class TIESnapshotList {
 public:
  int Count() const { return int(entries_.size()); }
  // Frees the oldest snapshots while the list holds limit or more. A limit
  // below 1 asks an empty list for its oldest entry and raises EListError,
  // before anything is saved.
  void MakeRoom(int limit);
  // Appends a snapshot with an empty caption.
  void Append(std::unique_ptr<TIEBitmap> snapshot);
  // Snapshot i, or nullptr outside the list.
  TIEBitmap* At(int i) const;
  // An empty text outside the list; writing there is ignored.
  std::string Caption(int i) const;
  void SetCaption(int i, const std::string& caption);
  // Frees snapshot i and its caption; nothing outside the list.
  void Remove(int i);
  void Clear();

 private:
  struct TEntry {
    std::unique_ptr<TIEBitmap> Snapshot;
    std::string Caption;
  };
  // The position of entry i in the list, or -1 outside it.
  int Position(int i) const;

  std::vector<TEntry> entries_;
};
