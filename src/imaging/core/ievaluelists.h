// Value lists: the capabilities a scanner reports and accepts, as a list of
// allowed values or a range (minimum, maximum, step), plus the current
// value. Every change made through the operations below leaves a mark in
// `Changes`, so the scanner layer can tell what the application changed and
// send only that. Reading or writing the public fields directly leaves no
// mark.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sysutils.h"

// Change marks, combined in one byte.
enum TIEListChange : uint8_t { ielItems = 1, ielRange = 2, ielCurrentValue = 4 };
using TIEListChanges = uint8_t;

// A list of items of one fixed size, back to back in one block. Indices
// outside the list are ignored by the changing operations and give nothing
// (a null address, a zero value) when read.
class TIEList : public TObject {
 public:
  TIEList() = default;
  TIEList(const TIEList&) = delete;
  TIEList& operator=(const TIEList&) = delete;

  int32_t GetCount() const { return count_; }
  int32_t GetItemSize() const { return itemSize_; }

  // Resizes the list, keeping the first items; new items are zero. A
  // negative count raises EListError.
  virtual void SetCount(int32_t count);
  // Appends a copy of the ItemSize bytes at item; returns its index.
  int32_t AddItem(const void* item);
  // Inserts at index, moving the later items up; an index at or past the
  // end appends, a negative one is ignored.
  void InsertItem(int32_t index, const void* item);
  virtual void Delete(int32_t index);
  // The first item whose bytes equal those at item, else -1.
  int32_t IndexOfItem(const void* item) const;
  void* BaseGetItem(int32_t index);
  const void* BaseGetItem(int32_t index) const;
  void BaseSetItem(int32_t index, const void* item);
  // Empties the list and its change marks.
  virtual void Clear();
  // Takes the items, item size and change marks of another list; none does
  // nothing.
  virtual void Assign(const TIEList* source);

  TIEListChanges Changes = 0;

 protected:
  explicit TIEList(int32_t itemSize);
  bool IsIndex(int32_t index) const { return index >= 0 && index < count_; }

 private:
  // Raises EListError when the count cannot grow by one.
  void CheckRoomForOneMore() const;

  std::vector<uint8_t> block_;
  int32_t count_ = 0;
  int32_t itemSize_ = 0;
};

// A list of numbers with a range and a current value (TIEIntegerList,
// TIEDoubleList).
template <typename T>
class TIEValueList : public TIEList {
 public:
  TIEValueList() : TIEList(sizeof(T)) {}

  int32_t Add(T value) { return AddItem(&value); }
  // Item index; 0 outside the list.
  T GetItem(int32_t index) const;
  void SetItem(int32_t index, T value) { BaseSetItem(index, &value); }
  void Insert(int32_t index, T value) { InsertItem(index, &value); }
  // Compares bytes, so for doubles 0.0 and -0.0 differ.
  int32_t IndexOf(T value) const { return IndexOfItem(&value); }

  void SetRangeMin(T value) { Store(RangeMin, value, ielRange); }
  void SetRangeMax(T value) { Store(RangeMax, value, ielRange); }
  void SetRangeStep(T value) { Store(RangeStep, value, ielRange); }
  void SetCurrentValue(T value) { Store(CurrentValue, value, ielCurrentValue); }

  // Also resets the range and the current value to 0.
  void Clear() override;
  // Also takes the range and the current value. The source must be a list
  // of the same kind: anything else raises EInvalidCast and changes nothing.
  void Assign(const TIEList* source) override;

  T RangeMin = 0;
  T RangeMax = 0;
  T RangeStep = 0;
  T CurrentValue = 0;

 private:
  void Store(T& field, T value, TIEListChange mark) {
    field = value;
    Changes |= mark;
  }
};

class TIEIntegerList : public TIEValueList<int32_t> {};
class TIEDoubleList : public TIEValueList<double> {};

// A list of raw records of a size chosen at construction.
class TIERecordList : public TIEList {
 public:
  // A negative size raises EInvalidArgument.
  explicit TIERecordList(int32_t itemSize);

  void* GetItem(int32_t index) { return BaseGetItem(index); }
  void SetItem(int32_t index, const void* record) { BaseSetItem(index, record); }
  int32_t Add(const void* record) { return AddItem(record); }
  void Insert(int32_t index, const void* record) { InsertItem(index, record); }
  int32_t IndexOf(const void* record) const { return IndexOfItem(record); }
};
