// Picture metadata kept apart from the pixels: the JPEG markers of a file
// (application and comment segments) and IPTC-IIM news data, each with the
// stream form the parameter stream uses; the IPTC list also reads and
// writes the Photoshop image-resource block that carries it inside JPEG
// files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes.h"

// The largest marker a JPEG segment can carry: its length field is 16 bits.
constexpr int32_t IEMaxMarkerLength = 65535;

// Markers as two parallel lists: the data (one memory stream each) and the
// marker code. Index i of both describes marker i. Lengths are 0..65535;
// a larger length raises ERangeError, a bad index EListError.
class TIEMarkerList : public TObject {
 public:
  TIEMarkerList() = default;
  ~TIEMarkerList() override;
  TIEMarkerList(const TIEMarkerList&) = delete;
  TIEMarkerList& operator=(const TIEMarkerList&) = delete;

  int GetCount() const { return static_cast<int>(Types.size()); }
  uint8_t GetMarkerType(int i) const;
  int32_t GetMarkerLength(int i) const;
  // Address of the marker's bytes (valid until the marker changes).
  uint8_t* GetMarkerData(int i);
  // The marker's own stream, rewound to position 0.
  TMemoryStream* GetMarkerStream(int i);

  // First marker of that type, -1 when none.
  int IndexOf(uint8_t type) const;
  // Appends a copy of length bytes; returns the new index.
  int AddMarker(uint8_t type, const void* data, int32_t length);
  void SetMarker(int i, uint8_t type, const void* data, int32_t length);
  // Note the order: data before type.
  void InsertMarker(int i, const void* data, uint8_t type, int32_t length);
  void DeleteMarker(int i);
  void Clear();
  // Nil: nothing; otherwise a copy of every marker of the other list.
  void Assign(TIEMarkerList* list);

  // Version byte 0, int32 count, per marker its type byte, int32 length and
  // data. Loading clears first, ignores the version byte and raises
  // EReadError on a count or length the stream cannot hold; the list is
  // unchanged then.
  void SaveToStream(TStream* stream);
  void LoadFromStream(TStream* stream);

 private:
  std::vector<std::unique_ptr<TMemoryStream>> Data;
  std::vector<uint8_t> Types;
};

// One IPTC item: record number, dataset number, data length.
struct TIPTCInfo {
  int32_t RecordNumber = 0;
  int32_t DataSet = 0;
  int32_t DataLength = 0;
};
static_assert(sizeof(TIPTCInfo) == 12);

// IPTC-IIM datasets as parallel lists of item records and data blocks.
// Every change made through the list sets Modified; reading the standard
// buffer clears it, so the JPEG writer only rewrites data the user changed.
class TIEIPTCInfoList : public TObject {
 public:
  TIEIPTCInfoList() = default;
  ~TIEIPTCInfoList() override;
  TIEIPTCInfoList(const TIEIPTCInfoList&) = delete;
  TIEIPTCInfoList& operator=(const TIEIPTCInfoList&) = delete;

  int GetCount() const { return static_cast<int>(Items.size()); }
  int32_t GetRecordNumber(int i) const;
  int32_t GetDataSet(int i) const;
  void SetRecordNumber(int i, int32_t n);
  void SetDataSet(int i, int32_t n);
  // The item's bytes as a string; "" for an index outside the list.
  std::string GetStrings(int i) const;
  void SetStrings(int i, const std::string& text);
  // Address and length of item i's bytes.
  const uint8_t* GetBuffer(int i) const;
  int32_t GetDataLength(int i) const;

  int AddStringItem(int32_t record, int32_t dataset, const std::string& text);
  // Lengths above 2^31 - 1 raise ERangeError (the item length is 32-bit).
  int AddBufferItem(int32_t record, int32_t dataset, const void* buffer, int64_t length);
  void InsertStringItem(int i, int32_t record, int32_t dataset, const std::string& text);
  // First item with both numbers equal, -1 when none.
  int IndexOf(int32_t record, int32_t dataset) const;
  void DeleteItem(int i);
  void Clear();
  // Nil: nothing; otherwise a copy of every item.
  void Assign(TIEIPTCInfoList* list);

  // int32 0, int32 count, per item the three numbers (int32 each) and the
  // data. Loading clears first, ignores the reserved word, sets Modified,
  // and raises EReadError on a count or length the stream cannot hold; the
  // list is unchanged then.
  void SaveToStream(TStream* stream);
  void LoadFromStream(TStream* stream);

  // The Photoshop resource block "Photoshop 3.0", "8BIM", id 0x0404 with
  // every dataset but the record version (2:0), big-endian, padded to even.
  std::vector<uint8_t> SaveToStandardBuffer() const;
  // Reads a resource block or a bare run of datasets from the first 0x1C
  // byte on; stops quietly at the first malformed or truncated dataset and
  // keeps what it parsed. Clears Modified.
  void LoadFromStandardBuffer(const void* buffer, int64_t length);

  bool Modified = false;

 private:
  void Changed() { Modified = true; }
  std::vector<TIPTCInfo> Items;
  std::vector<std::vector<uint8_t>> Buffers;
};
