// The data set's cursor and states, and the data sources and links that
// carry its changes to controls.
#include "db.h"

#include <algorithm>

namespace {

bool IsEditing(TDataSetState state) { return state == dsEdit || state == dsInsert; }

template <class T>
void Forget(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

// Data set ---------------------------------------------------------------------

TDataSet::~TDataSet() {
  // Descendants close their storage in their own destructor.
  for (TDataSource* source : std::vector<TDataSource*>(sources_)) source->SetDataSet(nullptr);
}

void TDataSet::CheckActive() const {
  if (state_ == dsInactive) throw EDatabaseError("Cannot perform this operation on a closed dataset.");
}

void TDataSet::SetState(TDataSetState state) {
  if (state_ == state) return;
  state_ = state;
  DataEvent(deUpdateState);
}

void TDataSet::DataEvent(TDataEvent event, intptr_t info) {
  // Controls must still hand over their edits while they hear nothing else,
  // and must let go of the fields when the data set closes: its fields are
  // freed then, and a reopen makes new ones that EnableControls hands out.
  const bool closing = event == deUpdateState && state_ == dsInactive;
  if (disableCount_ > 0 && event != deUpdateRecord && !closing) return;
  for (TDataSource* source : std::vector<TDataSource*>(sources_)) source->Notify(event, info);
}

void TDataSet::DisableControls() { ++disableCount_; }

void TDataSet::EnableControls() {
  if (disableCount_ == 0 || --disableCount_ > 0) return;
  DataEvent(deUpdateState);
  DataEvent(deDataSetChange);
}

void TDataSet::LoadCurrent() {
  // Also while opening, before the state says browse.
  if (InternalRecordCount() > 0) InternalLoad(current_);
}

void TDataSet::SetActive(bool value) {
  if (value) Open();
  else Close();
}

void TDataSet::Open() {
  if (state_ != dsInactive) return;
  Fire(BeforeOpen);
  InternalOpen();
  current_ = 0;
  bof_ = true;
  eof_ = InternalRecordCount() == 0;
  modified_ = false;
  LoadCurrent();
  SetState(dsBrowse);
  Fire(AfterOpen);
}

void TDataSet::Close() {
  if (state_ == dsInactive) return;
  // A BeforePost handler closing the data set drops the change it was asked about.
  if (!inBeforePost_) CheckBrowseMode();
  if (state_ == dsInactive) return;  // BeforePost closed it
  CloseDiscarding();
}

void TDataSet::CloseDiscarding() {
  if (state_ == dsInactive) return;
  Fire(BeforeClose);
  modified_ = false;
  SetState(dsInactive);  // links let go of the fields first
  InternalClose();
  fields_.clear();
  current_ = 0;
  eof_ = bof_ = true;
  Fire(AfterClose);
}

int TDataSet::RecordCount() const { return state_ == dsInactive ? 0 : InternalRecordCount(); }

int TDataSet::GetRecNo() const {
  if (state_ == dsInsert) return RecordCount() + 1;
  return RecordCount() > 0 ? current_ + 1 : 0;
}

void TDataSet::SetRecNo(int value) {
  CheckActive();
  CheckBrowseMode();
  if (value < 1 || value > RecordCount()) return;
  MoveBy(value - 1 - current_);
}

void TDataSet::First() {
  CheckActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  current_ = 0;
  bof_ = true;
  eof_ = RecordCount() == 0;
  LoadCurrent();
  DataEvent(deDataSetChange);
  Fire(AfterScroll);
}

void TDataSet::Last() {
  CheckActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  current_ = std::max(0, RecordCount() - 1);
  eof_ = true;
  bof_ = RecordCount() == 0;
  LoadCurrent();
  DataEvent(deDataSetChange);
  Fire(AfterScroll);
}

void TDataSet::Next() { MoveBy(1); }
void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int distance) {
  CheckActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  const int count = RecordCount();
  const int from = current_;
  const bool wasEof = eof_, wasBof = bof_;
  if (count == 0) {
    eof_ = bof_ = true;
  } else if (distance > 0) {
    bof_ = false;
    current_ = int(std::min<int64_t>(int64_t(current_) + distance, count - 1));
    eof_ = current_ - from < distance;
  } else if (distance < 0) {
    eof_ = false;
    current_ = int(std::max<int64_t>(int64_t(current_) + distance, 0));
    bof_ = current_ - from > distance;
  }
  if (current_ != from) {
    LoadCurrent();
    DataEvent(deDataSetScroll, current_ - from);
  } else if (eof_ != wasEof || bof_ != wasBof) {
    // Running into an end moves nothing, but controls that follow Eof and
    // Bof (a navigator's buttons) must hear of it.
    DataEvent(deDataSetScroll, 0);
  }
  Fire(AfterScroll);
  return current_ - from;
}

void TDataSet::Append() { Insert(); }

void TDataSet::Insert() {
  CheckActive();
  CheckBrowseMode();
  Fire(BeforeInsert);
  savedCurrent_ = current_;
  savedEof_ = eof_;
  savedBof_ = bof_;
  InternalInitRecord();
  modified_ = false;
  eof_ = bof_ = false;
  SetState(dsInsert);
  DataEvent(deRecordChange);
  Fire(AfterInsert);
}

void TDataSet::Edit() {
  CheckActive();
  if (IsEditing(state_)) return;
  if (RecordCount() == 0) {
    Insert();
    return;
  }
  Fire(BeforeEdit);
  InternalLoad(current_);  // edit what is stored now
  modified_ = false;
  SetState(dsEdit);
  DataEvent(deRecordChange);
  Fire(AfterEdit);
}

void TDataSet::UpdateRecord() {
  if (!IsEditing(state_)) throw EDatabaseError("Dataset not in edit or insert mode.");
  DataEvent(deUpdateRecord);
}

void TDataSet::Post() {
  CheckActive();
  if (!IsEditing(state_)) throw EDatabaseError("Dataset not in edit or insert mode.");
  PostRecord(false);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  if (!IsEditing(state_)) return;
  UpdateRecord();
  if (modified_) PostRecord(true);
  else Cancel();
}

void TDataSet::PostRecord(bool moving) {
  UpdateRecord();
  try {
    inBeforePost_ = true;
    Fire(BeforePost);
    inBeforePost_ = false;
  } catch (const EAbort&) {
    inBeforePost_ = false;
    Cancel();
    if (moving) return;
    throw;
  } catch (...) {
    inBeforePost_ = false;
    throw;
  }
  if (!IsEditing(state_)) return;  // BeforePost cancelled the change itself
  current_ = InternalPost(state_ == dsInsert);
  modified_ = false;
  eof_ = bof_ = false;
  LoadCurrent();
  SetState(dsBrowse);
  DataEvent(deDataSetChange);
  Fire(AfterPost);
}

void TDataSet::Cancel() {
  CheckActive();
  if (!IsEditing(state_)) return;
  Fire(BeforeCancel);
  if (state_ == dsInsert) {
    current_ = std::min(savedCurrent_, std::max(0, RecordCount() - 1));
    eof_ = savedEof_;
    bof_ = savedBof_;
  }
  modified_ = false;
  LoadCurrent();
  SetState(dsBrowse);
  DataEvent(deDataSetChange);
  Fire(AfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert) {
    Cancel();
    return;
  }
  if (RecordCount() == 0) throw EDatabaseError("Cannot perform this operation on an empty dataset.");
  Fire(BeforeDelete);
  Fire(BeforeScroll);
  InternalDelete(current_);
  modified_ = false;
  current_ = std::max(0, std::min(current_, RecordCount() - 1));
  eof_ = bof_ = RecordCount() == 0;
  LoadCurrent();
  SetState(dsBrowse);
  DataEvent(deDataSetChange);
  Fire(AfterDelete);
  Fire(AfterScroll);
}

void TDataSet::Refresh() {
  CheckActive();
  CheckBrowseMode();
  InternalRefresh();
  current_ = std::max(0, std::min(current_, RecordCount() - 1));
  if (RecordCount() == 0) eof_ = bof_ = true;
  LoadCurrent();
  DataEvent(deDataSetChange);
}

void TDataSet::ReadRecordAt(int recNo, const std::function<void()>& read) {
  CheckActive();
  if (state_ != dsBrowse) throw EDatabaseError("Dataset not in browse mode.");
  if (recNo < 1 || recNo > RecordCount()) throw EDatabaseError("Record " + std::to_string(recNo) + " out of range.");
  InternalLoad(recNo - 1);
  try {
    read();
  } catch (...) {
    LoadCurrent();
    throw;
  }
  LoadCurrent();
}

TField* TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return fields_[size_t(index)].get();
}

TField* TDataSet::FindField(const std::string& name) const {
  for (const auto& field : fields_)
    if (SameText(field->FieldName, name)) return field.get();
  return nullptr;
}

TField* TDataSet::FieldByName(const std::string& name) const {
  TField* field = FindField(name);
  if (!field) throw EDatabaseError("Field '" + name + "' not found");
  return field;
}

TStream* TDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode) {
  auto* blob = dynamic_cast<TBlobField*>(field);
  if (!blob) throw EDatabaseError("Field '" + (field ? field->FieldName : std::string()) + "' is not a BLOB field.");
  return new TBlobStream(blob, mode);
}

void TDataSet::CheckEditing(const TField& field) const {
  CheckActive();
  if (!IsEditing(state_)) throw EDatabaseError("Dataset not in edit or insert mode.");
}

void TDataSet::FieldChanged(const TField& field) {
  modified_ = true;
  DataEvent(deFieldChange, reinterpret_cast<intptr_t>(&field));
}

// Data source --------------------------------------------------------------------

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet_ == dataSet) return;
  if (dataSet_) Forget(dataSet_->sources_, this);
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->sources_.push_back(this);
  Notify(deUpdateState, 0);
}

void TDataSource::Notify(TDataEvent event, intptr_t info) {
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->DataEvent(event, info);
}

// Data links ------------------------------------------------------------------------

TDataLink::~TDataLink() {
  if (source_) Forget(source_->links_, this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source_ == source) return;
  if (source_) Forget(source_->links_, this);
  source_ = source;
  if (source_) source_->links_.push_back(this);
  UpdateState();
}

void TDataLink::UpdateState() {
  TDataSet* dataSet = DataSet();
  const bool active = dataSet && dataSet->GetActive();
  const bool editing = active && IsEditing(dataSet->State());
  if (active != active_) {
    active_ = active;
    ActiveChanged();
  }
  if (editing != editing_) {
    editing_ = editing;
    EditingChanged();
  }
}

void TDataLink::DataEvent(TDataEvent event, intptr_t info) {
  switch (event) {
    case deUpdateState:
      UpdateState();
      break;
    case deFieldChange:
    case deRecordChange:
      // A control storing its own edit does not hear it back.
      if (!updating_ && active_) RecordChanged(reinterpret_cast<TField*>(info));
      break;
    case deDataSetChange:
      if (active_) DataSetChanged();
      break;
    case deDataSetScroll:
      if (active_) DataSetScrolled(int(info));
      break;
    case deLayoutChange:
      if (active_) LayoutChanged();
      break;
    case deUpdateRecord:
      UpdateRecord();
      break;
  }
}

bool TDataLink::Edit() {
  if (!ReadOnly && active_ && !editing_) DataSet()->Edit();
  return editing_;
}

void TDataLink::UpdateRecord() {
  if (!active_ || updating_) return;
  updating_ = true;
  try {
    UpdateData();
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
}

void TFieldDataLink::SetFieldName(const std::string& name) {
  if (fieldName_ == name) return;
  fieldName_ = name;
  UpdateField();
}

void TFieldDataLink::UpdateField() {
  TField* field = Active() && !fieldName_.empty() ? DataSet()->FindField(fieldName_) : nullptr;
  if (field == field_) return;
  field_ = field;
  EditingChanged();
  RecordChanged(nullptr);
}

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::RecordChanged(TField* field) {
  if (field && field != field_) return;
  modified_ = false;
  if (OnDataChange) OnDataChange(this);
}

void TFieldDataLink::EditingChanged() {
  if (OnEditingChange) OnEditingChange(this);
}

void TFieldDataLink::UpdateData() {
  if (!modified_) return;
  if (field_ && OnUpdateData) OnUpdateData(this);
  modified_ = false;
}
