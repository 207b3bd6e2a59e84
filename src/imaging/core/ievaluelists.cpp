#include "imaging/core/ievaluelists.h"

#include <cstring>
#include <new>
#include <string>
#include <utility>

namespace {

// The framework reports exhausted memory with its own exception.
template <typename F>
void WithFrameworkOutOfMemory(F&& change) {
  try {
    change();
  } catch (const std::bad_alloc&) {
    OutOfMemoryError();
  }
}

}  // namespace

TIEList::TIEList(int32_t itemSize) : itemSize_(itemSize) {}

void TIEList::CheckRoomForOneMore() const {
  if (count_ == INT32_MAX)
    throw EListError("List count out of bounds (" + std::to_string(count_) + ")");
}

void TIEList::SetCount(int32_t count) {
  if (count < 0)
    throw EListError("List count out of bounds (" + std::to_string(count) + ")");
  WithFrameworkOutOfMemory([&] { block_.resize(static_cast<size_t>(count) * static_cast<size_t>(itemSize_)); });
  count_ = count;
  Changes |= ielItems;
}

int32_t TIEList::AddItem(const void* item) {
  CheckRoomForOneMore();
  SetCount(count_ + 1);
  BaseSetItem(count_ - 1, item);
  return count_ - 1;
}

void TIEList::InsertItem(int32_t index, const void* item) {
  if (index < 0)
    return;
  if (index >= count_) {
    AddItem(item);
    return;
  }
  CheckRoomForOneMore();
  const auto* bytes = static_cast<const uint8_t*>(item);
  const size_t offset = static_cast<size_t>(index) * static_cast<size_t>(itemSize_);
  WithFrameworkOutOfMemory([&] { block_.insert(block_.begin() + offset, bytes, bytes + itemSize_); });
  ++count_;
  Changes |= ielItems;
}

void TIEList::Delete(int32_t index) {
  if (!IsIndex(index))
    return;
  const size_t offset = static_cast<size_t>(index) * static_cast<size_t>(itemSize_);
  block_.erase(block_.begin() + offset, block_.begin() + offset + itemSize_);
  --count_;
  Changes |= ielItems;
}

int32_t TIEList::IndexOfItem(const void* item) const {
  for (int32_t i = 0; i < count_; ++i)
    if (std::memcmp(BaseGetItem(i), item, itemSize_) == 0)
      return i;
  return -1;
}

void* TIEList::BaseGetItem(int32_t index) {
  return const_cast<void*>(std::as_const(*this).BaseGetItem(index));
}

const void* TIEList::BaseGetItem(int32_t index) const {
  if (!IsIndex(index))
    return nullptr;
  return block_.data() + static_cast<size_t>(index) * static_cast<size_t>(itemSize_);
}

void TIEList::BaseSetItem(int32_t index, const void* item) {
  if (!IsIndex(index))
    return;
  std::memcpy(BaseGetItem(index), item, itemSize_);
  Changes |= ielItems;
}

void TIEList::Clear() {
  block_.clear();
  block_.shrink_to_fit();
  count_ = 0;
  Changes = 0;
}

void TIEList::Assign(const TIEList* source) {
  if (!source || source == this)
    return;
  WithFrameworkOutOfMemory([&] { block_ = source->block_; });
  count_ = source->count_;
  itemSize_ = source->itemSize_;
  Changes = source->Changes;
}

template <typename T>
T TIEValueList<T>::GetItem(int32_t index) const {
  T value = 0;
  if (const void* item = BaseGetItem(index))
    std::memcpy(&value, item, sizeof(T));
  return value;
}

template <typename T>
void TIEValueList<T>::Clear() {
  TIEList::Clear();
  RangeMin = RangeMax = RangeStep = CurrentValue = 0;
}

template <typename T>
void TIEValueList<T>::Assign(const TIEList* source) {
  if (!source)
    return;
  // Checked before anything is copied, so a wrong source leaves this list
  // as it was.
  const auto* other = dynamic_cast<const TIEValueList<T>*>(source);
  if (!other)
    throw EInvalidCast("Invalid class typecast");
  TIEList::Assign(source);
  RangeMin = other->RangeMin;
  RangeMax = other->RangeMax;
  RangeStep = other->RangeStep;
  CurrentValue = other->CurrentValue;
}

template class TIEValueList<int32_t>;
template class TIEValueList<double>;

TIERecordList::TIERecordList(int32_t itemSize) : TIEList(itemSize) {
  if (itemSize < 0)
    throw EInvalidArgument("Record size out of bounds (" + std::to_string(itemSize) + ")");
}
