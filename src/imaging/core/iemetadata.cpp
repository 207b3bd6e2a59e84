#include "imaging/core/iemetadata.h"

#include <cstring>

#include "imaging/core/iestreams.h"

namespace {

void CheckIndex(int i, int count) {
  if (i < 0 || i >= count) throw EListError("List index out of bounds (" + IntToStr(i) + ")");
}

void CheckMarkerLength(int64_t length) {
  if (length < 0 || length > IEMaxMarkerLength) throw ERangeError("Marker length out of range");
}

std::unique_ptr<TMemoryStream> MarkerStream(const void* data, int64_t length) {
  auto stream = std::make_unique<TMemoryStream>();
  if (length > 0) stream->WriteBuffer(data, length);
  stream->SetPosition(0);
  return stream;
}

std::vector<uint8_t> Bytes(const void* data, int64_t length) {
  const auto* p = static_cast<const uint8_t*>(data);
  return length > 0 ? std::vector<uint8_t>(p, p + length) : std::vector<uint8_t>();
}

void PutBigEndian(uint8_t* at, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i, value >>= 8) at[i] = static_cast<uint8_t>(value);
}

uint32_t GetBigEndian(const uint8_t* at, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | at[i];
  return value;
}

// Datasets of 32,768 bytes or more take the extended length: 0x80 0x04 and
// four length bytes.
constexpr int64_t ShortDatasetLimit = 32768;
constexpr uint8_t IPTCTagMarker = 0x1C;
constexpr char PhotoshopSignature[] = "Photoshop 3.0";  // 13 letters and the NUL
constexpr int StandardHeaderSize = 26;

}  // namespace

// TIEMarkerList -------------------------------------------------------------------

TIEMarkerList::~TIEMarkerList() { Clear(); }

uint8_t TIEMarkerList::GetMarkerType(int i) const {
  CheckIndex(i, GetCount());
  return Types[i];
}

int32_t TIEMarkerList::GetMarkerLength(int i) const {
  CheckIndex(i, GetCount());
  return static_cast<int32_t>(Data[i]->GetSize());
}

uint8_t* TIEMarkerList::GetMarkerData(int i) {
  CheckIndex(i, GetCount());
  return static_cast<uint8_t*>(Data[i]->Memory());
}

TMemoryStream* TIEMarkerList::GetMarkerStream(int i) {
  CheckIndex(i, GetCount());
  Data[i]->SetPosition(0);
  return Data[i].get();
}

int TIEMarkerList::IndexOf(uint8_t type) const {
  for (int i = 0; i < GetCount(); ++i)
    if (Types[i] == type) return i;
  return -1;
}

int TIEMarkerList::AddMarker(uint8_t type, const void* data, int32_t length) {
  CheckMarkerLength(length);
  Data.push_back(MarkerStream(data, length));
  Types.push_back(type);
  return GetCount() - 1;
}

void TIEMarkerList::SetMarker(int i, uint8_t type, const void* data, int32_t length) {
  CheckIndex(i, GetCount());
  CheckMarkerLength(length);
  Data[i] = MarkerStream(data, length);
  Types[i] = type;
}

void TIEMarkerList::InsertMarker(int i, const void* data, uint8_t type, int32_t length) {
  CheckIndex(i, GetCount() + 1);
  CheckMarkerLength(length);
  Data.insert(Data.begin() + i, MarkerStream(data, length));
  Types.insert(Types.begin() + i, type);
}

void TIEMarkerList::DeleteMarker(int i) {
  CheckIndex(i, GetCount());
  Data.erase(Data.begin() + i);
  Types.erase(Types.begin() + i);
}

void TIEMarkerList::Clear() {
  Data.clear();
  Types.clear();
}

void TIEMarkerList::Assign(TIEMarkerList* list) {
  if (!list || list == this) return;
  Clear();
  for (int i = 0; i < list->GetCount(); ++i)
    AddMarker(list->Types[i], list->GetMarkerData(i), list->GetMarkerLength(i));
}

void TIEMarkerList::SaveToStream(TStream* stream) {
  IEWriteValue<uint8_t>(stream, 0);
  IEWriteValue<int32_t>(stream, GetCount());
  for (int i = 0; i < GetCount(); ++i) {
    IEWriteValue<uint8_t>(stream, Types[i]);
    IEWriteValue<int32_t>(stream, GetMarkerLength(i));
    if (GetMarkerLength(i) > 0) stream->WriteBuffer(GetMarkerData(i), GetMarkerLength(i));
  }
}

void TIEMarkerList::LoadFromStream(TStream* stream) {
  IEReadValue<uint8_t>(stream);  // version
  // Each marker takes at least its type and length.
  const int64_t count = IECheckedCount(stream, IEReadValue<int32_t>(stream), 5);
  TIEMarkerList loaded;
  for (int64_t i = 0; i < count; ++i) {
    const uint8_t type = IEReadValue<uint8_t>(stream);
    const int64_t length = IECheckedCount(stream, IEReadValue<int32_t>(stream), 1);
    if (length > IEMaxMarkerLength) throw EReadError("Stream read error");
    std::vector<uint8_t> data(static_cast<size_t>(length));
    stream->ReadBuffer(data.data(), length);
    loaded.AddMarker(type, data.data(), static_cast<int32_t>(length));
  }
  Data.swap(loaded.Data);
  Types.swap(loaded.Types);
}

// TIEIPTCInfoList ------------------------------------------------------------------

TIEIPTCInfoList::~TIEIPTCInfoList() { Clear(); }

int32_t TIEIPTCInfoList::GetRecordNumber(int i) const {
  CheckIndex(i, GetCount());
  return Items[i].RecordNumber;
}

int32_t TIEIPTCInfoList::GetDataSet(int i) const {
  CheckIndex(i, GetCount());
  return Items[i].DataSet;
}

void TIEIPTCInfoList::SetRecordNumber(int i, int32_t n) {
  CheckIndex(i, GetCount());
  Items[i].RecordNumber = n;
  Changed();
}

void TIEIPTCInfoList::SetDataSet(int i, int32_t n) {
  CheckIndex(i, GetCount());
  Items[i].DataSet = n;
  Changed();
}

std::string TIEIPTCInfoList::GetStrings(int i) const {
  if (i < 0 || i >= GetCount()) return "";
  return std::string(Buffers[i].begin(), Buffers[i].end());
}

void TIEIPTCInfoList::SetStrings(int i, const std::string& text) {
  CheckIndex(i, GetCount());
  Buffers[i] = Bytes(text.data(), static_cast<int64_t>(text.size()));
  Items[i].DataLength = static_cast<int32_t>(text.size());
  Changed();
}

const uint8_t* TIEIPTCInfoList::GetBuffer(int i) const {
  CheckIndex(i, GetCount());
  return Buffers[i].data();
}

int32_t TIEIPTCInfoList::GetDataLength(int i) const {
  CheckIndex(i, GetCount());
  return Items[i].DataLength;
}

int TIEIPTCInfoList::AddStringItem(int32_t record, int32_t dataset, const std::string& text) {
  return AddBufferItem(record, dataset, text.data(), static_cast<int64_t>(text.size()));
}

int TIEIPTCInfoList::AddBufferItem(int32_t record, int32_t dataset, const void* buffer,
                                   int64_t length) {
  if (length < 0 || length > INT32_MAX) throw ERangeError("IPTC data length out of range");
  Items.push_back(TIPTCInfo{record, dataset, static_cast<int32_t>(length)});
  Buffers.push_back(Bytes(buffer, length));
  Changed();
  return GetCount() - 1;
}

void TIEIPTCInfoList::InsertStringItem(int i, int32_t record, int32_t dataset,
                                       const std::string& text) {
  CheckIndex(i, GetCount() + 1);
  if (text.size() > INT32_MAX) throw ERangeError("IPTC data length out of range");
  Items.insert(Items.begin() + i, TIPTCInfo{record, dataset, static_cast<int32_t>(text.size())});
  Buffers.insert(Buffers.begin() + i, Bytes(text.data(), static_cast<int64_t>(text.size())));
  Changed();
}

int TIEIPTCInfoList::IndexOf(int32_t record, int32_t dataset) const {
  for (int i = 0; i < GetCount(); ++i)
    if (Items[i].RecordNumber == record && Items[i].DataSet == dataset) return i;
  return -1;
}

void TIEIPTCInfoList::DeleteItem(int i) {
  CheckIndex(i, GetCount());
  Items.erase(Items.begin() + i);
  Buffers.erase(Buffers.begin() + i);
  Changed();
}

void TIEIPTCInfoList::Clear() {
  Items.clear();
  Buffers.clear();
  Changed();
}

void TIEIPTCInfoList::Assign(TIEIPTCInfoList* list) {
  if (!list) return;
  if (list != this) {
    Items = list->Items;
    Buffers = list->Buffers;
  }
  Changed();
}

void TIEIPTCInfoList::SaveToStream(TStream* stream) {
  IEWriteValue<int32_t>(stream, 0);
  IEWriteValue<int32_t>(stream, GetCount());
  for (int i = 0; i < GetCount(); ++i) {
    IEWriteValue(stream, Items[i]);
    if (Items[i].DataLength > 0) stream->WriteBuffer(Buffers[i].data(), Items[i].DataLength);
  }
}

void TIEIPTCInfoList::LoadFromStream(TStream* stream) {
  IEReadValue<int32_t>(stream);  // reserved
  const int64_t count = IECheckedCount(stream, IEReadValue<int32_t>(stream), sizeof(TIPTCInfo));
  std::vector<TIPTCInfo> items;
  std::vector<std::vector<uint8_t>> buffers;
  for (int64_t i = 0; i < count; ++i) {
    const auto info = IEReadValue<TIPTCInfo>(stream);
    const int64_t length = IECheckedCount(stream, info.DataLength, 1);
    std::vector<uint8_t> data(static_cast<size_t>(length));
    stream->ReadBuffer(data.data(), length);
    items.push_back(info);
    buffers.push_back(std::move(data));
  }
  Items.swap(items);
  Buffers.swap(buffers);
  Changed();
}

std::vector<uint8_t> TIEIPTCInfoList::SaveToStandardBuffer() const {
  std::vector<uint8_t> block(StandardHeaderSize, 0);
  std::memcpy(block.data(), PhotoshopSignature, sizeof(PhotoshopSignature));
  std::memcpy(block.data() + 14, "8BIM", 4);
  block[18] = 0x04;
  block[19] = 0x04;
  uint64_t total = 0;
  for (int i = 0; i < GetCount(); ++i) {
    const TIPTCInfo& info = Items[i];
    // The record version is the writer's business, never the list's.
    if (info.RecordNumber == 2 && info.DataSet == 0) continue;
    const bool extended = info.DataLength >= ShortDatasetLimit;
    uint8_t header[9] = {IPTCTagMarker, static_cast<uint8_t>(info.RecordNumber),
                         static_cast<uint8_t>(info.DataSet)};
    int headerSize = 5;
    if (extended) {
      header[3] = 0x80;
      header[4] = 0x04;
      PutBigEndian(header + 5, static_cast<uint32_t>(info.DataLength), 4);
      headerSize = 9;
    } else {
      PutBigEndian(header + 3, static_cast<uint32_t>(info.DataLength), 2);
    }
    block.insert(block.end(), header, header + headerSize);
    block.insert(block.end(), Buffers[i].begin(), Buffers[i].end());
    total += static_cast<uint64_t>(headerSize) + static_cast<uint64_t>(info.DataLength);
  }
  if (total > UINT32_MAX) throw ERangeError("IPTC data too long");
  if (block.size() % 2 != 0) block.push_back(0);
  PutBigEndian(block.data() + 22, total, 4);
  return block;
}

void TIEIPTCInfoList::LoadFromStandardBuffer(const void* buffer, int64_t length) {
  Clear();
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  int64_t at = 0;
  while (bytes && at < length && bytes[at] != IPTCTagMarker) ++at;
  while (bytes && length - at >= 5 && bytes[at] == IPTCTagMarker) {
    const uint8_t* header = bytes + at;
    int64_t dataLength;
    int64_t headerSize;
    if (header[3] & 0x80) {
      if (length - at < 9) break;
      dataLength = static_cast<int32_t>(GetBigEndian(header + 5, 4));
      headerSize = 9;
    } else {
      dataLength = static_cast<int16_t>(GetBigEndian(header + 3, 2));
      headerSize = 5;
    }
    if (dataLength < 0) dataLength = -dataLength;
    if (dataLength > length - at - headerSize) break;
    AddBufferItem(header[1], header[2], header + headerSize, dataLength);
    at += headerSize + dataLength;
  }
  Modified = false;
}
