// The stock-table guard's side for commands that change the card-holder
// table: the stock database under the working folder's Mode folder is never
// changed in place; before a change the user is offered the collect-save,
// which binds the table to a copy elsewhere.
#pragma once

#include <string>

#include "platform/dbfio.h"

class TTable;

// Whether `table` is the stock database (Mode/ or Mode/DATA/ under the
// working folder `startDir`, letter case and separators ignored).
bool IsStockTable(const TTable* table, const std::string& startDir);

// Whether the card-holder table may be changed now. For the stock table
// the guard's message is shown and the collect-save offered; true only when
// the table was moved (it is then bound to the copy). The change asked
// about is not made by this call.
bool MayChangeCardTable();

// A batch of changes to the card-holder table (a walk that edits every
// record, an import, emptying the table). Made before the first change, it
// offers the collect-save once; the batch starts only when Ok(), and a walk
// asks Ok() before each record: it turns false when the table was opened
// again or bound elsewhere since the batch began, so a batch never goes on in a
// re-bound table. While a batch runs the guard asks no further question:
// a post to the stock table is cancelled and stops the batch. Its posts
// are synced to the disk once, when the batch ends (or its table closes).
class TTableBatch {
 public:
  TTableBatch();
  ~TTableBatch();
  TTableBatch(const TTableBatch&) = delete;
  TTableBatch& operator=(const TTableBatch&) = delete;
  bool Ok() const;
  // The guard stops the batch it runs in.
  void Stop() { stopped_ = true; }

 private:
  dbfio::DeferredSync sync_;
  TTableBatch* outer_;
  std::string binding_;
  unsigned opening_ = 0;
  bool stopped_ = false;
};

// The batch running now, nullptr when none.
TTableBatch* RunningTableBatch();
