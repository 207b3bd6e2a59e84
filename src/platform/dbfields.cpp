// Fields of the current record and the BLOB stream.
#include <cstdio>
#include <cstring>

#include "db.h"
#include "platform/savestream.h"
#include "gbk.h"

// Field ------------------------------------------------------------------------

TField::TField(TDataSet* dataSet, std::string name, TFieldType type, int size, int index)
    : FieldName(std::move(name)), DataType(type), Size(size), Index(index), dataSet_(dataSet) {}

std::string TField::GetAsString() const {
  std::string value;
  if (!dataSet_->HasRecord() || !dataSet_->InternalGetText(*this, value)) return {};
  return value;
}

void TField::SetAsString(const std::string& value) {
  dataSet_->CheckEditing(*this);
  dataSet_->InternalSetText(*this, value);
  dataSet_->FieldChanged(*this);
}

int TField::GetAsInteger() const {
  std::string text = Trim(GetAsString());
  if (text.empty()) return 0;
  int value = 0;
  if (TryStrToInt(text, value)) return value;
  double number = 0;
  if (TryStrToFloat(text, number) && number == double(int64_t(number)) && number >= -2147483648.0 && number <= 2147483647.0)
    return int(number);
  throw EConvertError("'" + text + "' is not a valid integer value");
}

void TField::SetAsInteger(int value) { SetAsString(IntToStr(value)); }

double TField::GetAsFloat() const {
  std::string text = Trim(GetAsString());
  return text.empty() ? 0.0 : StrToFloat(text);
}

void TField::SetAsFloat(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  SetAsString(buffer);
}

bool TField::IsNull() const {
  if (auto* blob = dynamic_cast<const TBlobField*>(this)) return blob->BlobSize() == 0;
  std::string value;
  return !dataSet_->HasRecord() || !dataSet_->InternalGetText(*this, value);
}

void TField::Clear() {
  dataSet_->CheckEditing(*this);
  dataSet_->InternalClearField(*this);
  dataSet_->FieldChanged(*this);
}

// BLOB fields ------------------------------------------------------------------

int64_t TBlobField::BlobSize() const { return dataSet_->HasRecord() ? dataSet_->InternalBlobSize(*this) : 0; }

std::string TBlobField::GetAsString() const { return dataSet_->HasRecord() ? dataSet_->InternalGetBlob(*this) : std::string(); }

void TBlobField::SetAsString(const std::string& value) {
  dataSet_->CheckEditing(*this);
  dataSet_->InternalSetBlob(*this, value);
  dataSet_->FieldChanged(*this);
}

void TBlobField::LoadFromStream(TStream* stream) {
  std::string data(size_t(stream->GetSize()), '\0');
  stream->SetPosition(0);
  stream->ReadBuffer(data.data(), int64_t(data.size()));
  TBlobField::SetAsString(data);
}

void TBlobField::SaveToStream(TStream* stream) const {
  std::string data = TBlobField::GetAsString();
  stream->WriteBuffer(data.data(), int64_t(data.size()));
}

void TBlobField::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TBlobField::SaveToFile(const std::string& fileName) const {
  TSaveFileStream file(fileName);
  SaveToStream(&file);
  file.Commit();
}

std::string TMemoField::GetAsString() const { return GbkToUtf8(TBlobField::GetAsString()); }

void TMemoField::SetAsString(const std::string& value) { TBlobField::SetAsString(Utf8ToGbk(value)); }

// BLOB stream ------------------------------------------------------------------

TBlobStream::TBlobStream(TBlobField* field, TBlobStreamMode mode) : field_(field) {
  if (mode != bmRead) field->DataSet()->CheckEditing(*field);
  if (mode == bmWrite) {
    written_ = true;
    return;
  }
  std::string data = field->TBlobField::GetAsString();
  TMemoryStream::Write(data.data(), int64_t(data.size()));
  SetPosition(0);
}

TBlobStream::~TBlobStream() {
  if (!written_) return;
  try {
    const char* bytes = static_cast<const char*>(Memory());
    field_->TBlobField::SetAsString(bytes ? std::string(bytes, size_t(GetSize())) : std::string());
  } catch (...) {
    // The data set left edit state while the stream was open: nothing to store into.
  }
}

int64_t TBlobStream::Write(const void* buffer, int64_t count) {
  written_ = true;
  return TMemoryStream::Write(buffer, count);
}

void TBlobStream::SetSize(int64_t size) {
  written_ = true;
  TMemoryStream::SetSize(size);
}
