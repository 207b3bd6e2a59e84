#include "dbtables.h"

#include <algorithm>

namespace {

constexpr uint8_t kDeletedFlag = '*';

std::unique_ptr<TField> MakeField(TDataSet* dataSet, const TDbfField& column, int index) {
  switch (column.Type) {
    case 'C': return std::make_unique<TStringField>(dataSet, column.Name, ftString, column.Length, index);
    case 'M': return std::make_unique<TMemoField>(dataSet, column.Name, ftMemo, 0, index);
    case 'B': return std::make_unique<TBlobField>(dataSet, column.Name, ftBlob, 0, index);
    case 'G': return std::make_unique<TGraphicField>(dataSet, column.Name, ftGraphic, 0, index);
    case 'N': return std::make_unique<TField>(dataSet, column.Name, column.Decimals ? ftFloat : ftInteger, column.Length, index);
    case 'F': return std::make_unique<TField>(dataSet, column.Name, ftFloat, column.Length, index);
    case 'I':
    case '+': return std::make_unique<TField>(dataSet, column.Name, ftInteger, column.Length, index);
    case 'L': return std::make_unique<TField>(dataSet, column.Name, ftBoolean, column.Length, index);
    case 'D': return std::make_unique<TField>(dataSet, column.Name, ftDate, column.Length, index);
    default: return std::make_unique<TField>(dataSet, column.Name, ftUnknown, column.Length, index);
  }
}

}  // namespace

TTable::~TTable() {
  try {
    CloseDiscarding();
  } catch (...) {
  }
}

void TTable::CheckInactive() const {
  if (GetActive()) throw EDatabaseError("Cannot perform this operation on an open dataset.");
}

void TTable::SetDatabaseName(const std::string& value) {
  CheckInactive();
  databaseName_ = value;
}

void TTable::SetTableName(const std::string& value) {
  CheckInactive();
  tableName_ = value;
}

void TTable::SetExclusive(bool value) {
  CheckInactive();
  exclusive_ = value;
}

std::string TTable::FileName() const {
  std::string name = tableName_;
  if (ExtractFileExt(name).empty()) name += ".DBF";
  if (!databaseName_.empty()) name = IncludeTrailingPathDelimiter(databaseName_) + name;
  return NativePath(name);
}

TDbfLevel TTable::Level() const {
  CheckActive();
  return file_->Level();
}

void TTable::EmptyTable() {
  if (!GetActive()) {
    TDbfTable::Open(FileName(), true)->Zap();
    return;
  }
  if (!exclusive_) throw EDatabaseError("Table " + FileName() + " must be opened exclusively to be emptied.");
  Cancel();  // every record goes: a pending change too
  file_->Zap();
  Refresh();
}

void TTable::InternalOpen() {
  if (tableName_.empty()) throw EDatabaseError("Missing TableName property.");
  file_ = TDbfTable::Open(FileName(), exclusive_);
  FindLiveRecords();
  const auto& columns = file_->Fields();
  for (size_t i = 0; i < columns.size(); ++i) AddField(MakeField(this, columns[i], int(i)));
  InternalInitRecord();
}

void TTable::InternalClose() {
  file_.reset();
  live_.clear();
  record_.clear();
  newBlobs_.clear();
}

void TTable::FindLiveRecords() {
  live_.clear();
  for (int64_t i = 0; i < file_->PhysicalCount(); ++i)
    if (file_->ReadRecord(i)[0] != kDeletedFlag) live_.push_back(i);
}

void TTable::InternalRefresh() {
  file_->Reload();
  FindLiveRecords();
}

void TTable::InternalLoad(int index) {
  recordIndex_ = live_.at(size_t(index));
  record_ = file_->ReadRecord(recordIndex_);
  newBlobs_.clear();
}

void TTable::InternalInitRecord() {
  record_ = file_->BlankRecord();
  recordIndex_ = -1;
  newBlobs_.clear();
}

int TTable::InternalPost(bool inserting) {
  // BLOB contents go to the memo file before the record that points at them,
  // so a failure leaves the stored record as it was.
  std::vector<uint8_t> record = record_;
  record[0] = ' ';
  for (const auto& [index, data] : newBlobs_) {
    const TDbfField& column = file_->Fields()[size_t(index)];
    dbfvalue::SetBlock(column, record, file_->WriteBlob(column, data));
  }
  int position = 0;
  if (inserting) {
    live_.push_back(file_->AppendRecord(record));
    position = int(live_.size()) - 1;
  } else {
    file_->WriteRecord(recordIndex_, record);
    position = int(std::find(live_.begin(), live_.end(), recordIndex_) - live_.begin());
  }
  record_ = record;
  newBlobs_.clear();
  return position;
}

void TTable::InternalDelete(int index) {
  const int64_t physical = live_.at(size_t(index));
  std::vector<uint8_t> record = file_->ReadRecord(physical);
  record[0] = kDeletedFlag;
  file_->WriteRecord(physical, record);
  live_.erase(live_.begin() + index);
}

bool TTable::InternalGetText(const TField& field, std::string& value) const {
  if (dbfvalue::IsBlank(Column(field), record_)) return false;
  value = dbfvalue::Get(Column(field), record_);
  return true;
}

void TTable::InternalSetText(const TField& field, const std::string& value) {
  if (file_->ReadOnly()) throw EDatabaseError("Table " + file_->Path() + " is read-only.");
  dbfvalue::Set(Column(field), record_, value);
}

void TTable::InternalClearField(const TField& field) {
  if (Column(field).IsBlob()) newBlobs_[field.Index].clear();
  else dbfvalue::Clear(Column(field), record_);
}

std::string TTable::InternalGetBlob(const TField& field) const {
  auto it = newBlobs_.find(field.Index);
  if (it != newBlobs_.end()) return it->second;
  return file_->ReadBlob(Column(field), record_);
}

int64_t TTable::InternalBlobSize(const TField& field) const {
  auto it = newBlobs_.find(field.Index);
  if (it != newBlobs_.end()) return int64_t(it->second.size());
  return file_->BlobSize(Column(field), record_);
}

void TTable::InternalSetBlob(const TField& field, const std::string& data) {
  if (file_->ReadOnly()) throw EDatabaseError("Table " + file_->Path() + " is read-only.");
  newBlobs_[field.Index] = data;
}
