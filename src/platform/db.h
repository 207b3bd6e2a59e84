// Data sets of the component framework: a cursor over records with its
// states, fields, BLOB streams, and the data sources and data links through
// which data-aware controls follow the current record and write their edits
// back. TTable (dbtables.h) is the one data set over table files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes.h"
#include "dbf.h"  // EDatabaseError

class TDataSet;
class TDataSource;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

enum TFieldType { ftUnknown, ftString, ftInteger, ftFloat, ftBoolean, ftDate, ftMemo, ftBlob, ftGraphic };

enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

// What a data set tells its data links.
enum TDataEvent {
  deFieldChange,     // a field of the current record changed (info: the field)
  deRecordChange,    // the current record changed as a whole
  deDataSetChange,   // records may have changed anywhere
  deDataSetScroll,   // the cursor moved (info: the distance)
  deLayoutChange,    // the fields changed
  deUpdateRecord,    // the record is about to be written: controls store edits
  deUpdateState,     // the state changed
};

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;

// One column of the current record. Text is UTF-8; a blank value is null.
class TField : public TObject {
 public:
  TField(TDataSet* dataSet, std::string name, TFieldType type, int size, int index);

  const std::string FieldName;
  const TFieldType DataType;
  const int Size;   // width in bytes on disk (0 for BLOBs)
  const int Index;  // position in Fields
  TDataSet* DataSet() const { return dataSet_; }

  virtual std::string GetAsString() const;
  // Needs the data set in edit or insert state.
  virtual void SetAsString(const std::string& value);
  // Null gives 0; text that is no integer raises EConvertError.
  int GetAsInteger() const;
  void SetAsInteger(int value);
  double GetAsFloat() const;
  void SetAsFloat(double value);
  bool IsNull() const;
  void Clear();

 protected:
  TDataSet* dataSet_;
};

class TStringField : public TField {
 public:
  using TField::TField;
};

// A field held in the memo file: whole byte contents.
class TBlobField : public TField {
 public:
  using TField::TField;
  int64_t BlobSize() const;
  // The whole source stream, from its start, becomes the content.
  void LoadFromStream(TStream* stream);
  // Writes the content at the stream's position.
  void SaveToStream(TStream* stream) const;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;
  // The content's bytes as they are.
  std::string GetAsString() const override;
  void SetAsString(const std::string& value) override;
};

// Text kept in the memo file (GBK there, UTF-8 here).
class TMemoField : public TBlobField {
 public:
  using TBlobField::TBlobField;
  std::string GetAsString() const override;
  void SetAsString(const std::string& value) override;
};

class TGraphicField : public TBlobField {
 public:
  using TBlobField::TBlobField;
};

// A stream over a BLOB field's content (TDataSet::CreateBlobStream). Writing
// modes need the data set in edit or insert state; what was written becomes
// the field's content when the stream is freed. bmWrite starts empty and
// empties the field even when nothing is written.
class TBlobStream : public TMemoryStream {
 public:
  TBlobStream(TBlobField* field, TBlobStreamMode mode);
  ~TBlobStream() override;
  int64_t Write(const void* buffer, int64_t count) override;
  void SetSize(int64_t size) override;

 private:
  TBlobField* field_;
  bool written_ = false;
};

class TDataSet : public TObject {
 public:
  TDataSet() = default;
  ~TDataSet() override;
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;

  void Open();
  // A pending change is posted first, as a move would post it (BeforePost
  // may still refuse it); a post that fails leaves the data set open. A
  // BeforePost handler that closes the data set drops the change.
  void Close();
  bool GetActive() const { return state_ != dsInactive; }
  void SetActive(bool value);
  TDataSetState State() const { return state_; }

  // Moving posts a modified record first (through BeforePost) and cancels
  // an unmodified edit. When BeforePost raises EAbort the change is
  // cancelled and the move goes on.
  void First();
  void Last();
  void Next();
  void Prior();
  int MoveBy(int distance);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool IsEmpty() const { return RecordCount() == 0; }
  // The visible records (deleted ones are hidden).
  int RecordCount() const;
  // 1-based position of the current record; 0 on an empty data set; during
  // an insert the place the new record will take.
  int GetRecNo() const;
  void SetRecNo(int value);

  // New records always go after the last one.
  void Append();
  void Insert();
  // On an empty data set this begins an insert.
  void Edit();
  // Controls store their edits, BeforePost runs (it may cancel the change,
  // or raise EAbort, which cancels it too and leaves here), the record is
  // written, AfterPost runs.
  void Post();
  void Cancel();
  // Deletes the current record; during an insert it only cancels.
  void Delete();
  // Reads the records again from the file.
  void Refresh();
  // Runs `read` with record `recNo` (1-based, visible ones) loaded into the
  // fields, then loads the current record again; the cursor does not move
  // and nobody is told. Browse state only: a grid reads the rows around
  // the current record this way.
  void ReadRecordAt(int recNo, const std::function<void()>& read);
  // Posts a modified record, cancels an unmodified edit.
  void CheckBrowseMode();
  void UpdateRecord();
  bool Modified() const { return modified_; }

  // Data links hear nothing between these (nested), then one change; only
  // a close reaches them at once, so none keeps a field that is freed.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }

  int FieldCount() const { return int(fields_.size()); }
  TField* Fields(int index) const;
  TField* FindField(const std::string& name) const;  // case-insensitive; nullptr when absent
  TField* FieldByName(const std::string& name) const;  // raises EDatabaseError when absent
  // A new stream the caller frees.
  TStream* CreateBlobStream(TField* field, TBlobStreamMode mode);

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;

 protected:
  // What a data set over some storage provides.
  virtual void InternalOpen() = 0;  // opens the storage and adds the fields
  virtual void InternalClose() = 0;
  virtual int InternalRecordCount() const = 0;
  virtual void InternalLoad(int index) = 0;  // makes record `index` current
  virtual void InternalInitRecord() = 0;     // a blank new record
  // Writes the current record (a new one after the last when inserting) and
  // returns its index; raises and changes nothing stored on failure.
  virtual int InternalPost(bool inserting) = 0;
  virtual void InternalDelete(int index) = 0;
  virtual void InternalRefresh() = 0;
  // Field values of the current record.
  virtual bool InternalGetText(const TField& field, std::string& value) const = 0;  // false: null
  virtual void InternalSetText(const TField& field, const std::string& value) = 0;
  virtual void InternalClearField(const TField& field) = 0;
  virtual std::string InternalGetBlob(const TField& field) const = 0;
  virtual int64_t InternalBlobSize(const TField& field) const = 0;
  virtual void InternalSetBlob(const TField& field, const std::string& data) = 0;

  void AddField(std::unique_ptr<TField> field) { fields_.push_back(std::move(field)); }
  void CheckActive() const;
  // Closes dropping a pending change: for a data set being destroyed, whose
  // handlers may belong to owners already gone.
  void CloseDiscarding();

 private:
  friend class TField;
  friend class TBlobField;
  friend class TMemoField;
  friend class TBlobStream;
  friend class TDataSource;

  void DataEvent(TDataEvent event, intptr_t info = 0);
  void SetState(TDataSetState state);
  void CheckEditing(const TField& field) const;
  void FieldChanged(const TField& field);
  bool HasRecord() const { return state_ == dsInsert || (state_ != dsInactive && RecordCount() > 0); }
  void PostRecord(bool moving);
  void LoadCurrent();
  void Fire(const TDataSetNotifyEvent& event) {
    if (event) event(this);
  }

  std::vector<std::unique_ptr<TField>> fields_;
  std::vector<TDataSource*> sources_;
  TDataSetState state_ = dsInactive;
  int current_ = 0;  // 0-based index of the current record
  bool eof_ = true, bof_ = true;
  bool modified_ = false;
  int disableCount_ = 0;
  bool inBeforePost_ = false;
  // Where the cursor was when an insert began (restored by Cancel).
  int savedCurrent_ = 0;
  bool savedEof_ = true, savedBof_ = true;
};

// Links data-aware controls to a data set.
class TDataLink;

class TDataSource : public TObject {
 public:
  TDataSource() = default;
  ~TDataSource() override;
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;
  TDataSet* GetDataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  TDataSetState State() const { return dataSet_ ? dataSet_->State() : dsInactive; }

 private:
  friend class TDataSet;
  friend class TDataLink;
  void Notify(TDataEvent event, intptr_t info);
  TDataSet* dataSet_ = nullptr;
  std::vector<TDataLink*> links_;
};

class TDataLink : public TObject {
 public:
  TDataLink() = default;
  ~TDataLink() override;
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* GetDataSource() const { return source_; }
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const { return source_ ? source_->GetDataSet() : nullptr; }
  bool Active() const { return active_; }
  bool Editing() const { return editing_; }
  bool ReadOnly = false;
  // Puts the data set in edit state unless read-only; true when editing.
  bool Edit();
  // Lets the control store its edit (UpdateData).
  void UpdateRecord();

 protected:
  virtual void ActiveChanged() {}
  virtual void RecordChanged(TField* field) {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int distance) { DataSetChanged(); }
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void EditingChanged() {}
  virtual void UpdateData() {}

 private:
  friend class TDataSource;
  void DataEvent(TDataEvent event, intptr_t info);
  void UpdateState();
  TDataSource* source_ = nullptr;
  bool active_ = false;
  bool editing_ = false;
  bool updating_ = false;
};

// The link of a control bound to one field.
class TFieldDataLink : public TDataLink {
 public:
  TObject* Control = nullptr;
  std::string GetFieldName() const { return fieldName_; }
  void SetFieldName(const std::string& name);
  TField* Field() const { return field_; }
  // The control changed its value; it is stored at the next post.
  void Modified() { modified_ = true; }
  bool IsModified() const { return modified_; }
  // Drops the control's change and shows the record's value again.
  void Reset() { RecordChanged(nullptr); }

  TNotifyEvent OnDataChange, OnEditingChange, OnUpdateData, OnActiveChange;

 protected:
  void ActiveChanged() override;
  void RecordChanged(TField* field) override;
  void LayoutChanged() override;
  void EditingChanged() override;
  void UpdateData() override;

 private:
  void UpdateField();
  std::string fieldName_;
  TField* field_ = nullptr;
  bool modified_ = false;
};
