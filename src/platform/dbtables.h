// The table component: a data set over one dBASE table file.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db.h"
#include "dbf.h"

class TTable : public TDataSet {
 public:
  TTable() = default;
  ~TTable() override;

  // The folder of the table (any separators and letter case, as the system
  // writes paths) and its file name; ".DBF" is added to a name without an
  // extension. Neither may change while the table is open.
  std::string GetDatabaseName() const { return databaseName_; }
  void SetDatabaseName(const std::string& value);
  std::string GetTableName() const { return tableName_; }
  void SetTableName(const std::string& value);
  // Opening for the sole use of this program.
  bool GetExclusive() const { return exclusive_; }
  void SetExclusive(bool value);
  // The table file's path on disk.
  std::string FileName() const;
  // Removes every record. A closed table is opened exclusively for it; an
  // open one must be exclusive.
  void EmptyTable();
  // The file's dBASE level (while open).
  TDbfLevel Level() const;

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  int InternalRecordCount() const override { return int(live_.size()); }
  void InternalLoad(int index) override;
  void InternalInitRecord() override;
  int InternalPost(bool inserting) override;
  void InternalDelete(int index) override;
  void InternalRefresh() override;
  bool InternalGetText(const TField& field, std::string& value) const override;
  void InternalSetText(const TField& field, const std::string& value) override;
  void InternalClearField(const TField& field) override;
  std::string InternalGetBlob(const TField& field) const override;
  int64_t InternalBlobSize(const TField& field) const override;
  void InternalSetBlob(const TField& field, const std::string& data) override;

 private:
  void CheckInactive() const;
  void FindLiveRecords();
  const TDbfField& Column(const TField& field) const { return file_->Fields()[size_t(field.Index)]; }

  std::string databaseName_, tableName_;
  bool exclusive_ = false;
  std::unique_ptr<TDbfTable> file_;
  std::vector<int64_t> live_;  // physical index of each record not deleted
  std::vector<uint8_t> record_;  // the current record's bytes
  int64_t recordIndex_ = -1;      // its physical index, -1 for a new one
  std::map<int, std::string> newBlobs_;  // BLOB contents set since the record was loaded
};
