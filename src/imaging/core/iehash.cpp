#include "imaging/core/iehash.h"

THash1::THash1(int bits) {
  if (bits < 0 || bits > 31) throw EInvalidArgument("Hash bits out of range");
  Bits = bits;
  SlotCount = 1u << bits;
  slots_.assign(SlotCount, 0);
  states_.assign(SlotCount, kEmpty);
}

uint32_t THash1::AddNode(uint32_t key) {
  nodes_.push_back({key, kNoNode});
  return static_cast<uint32_t>(nodes_.size() - 1);
}

bool THash1::Insert(uint32_t key) {
  const uint32_t slot = HashFunc(key);
  switch (states_[slot]) {
    case kEmpty:
      slots_[slot] = key;
      states_[slot] = kOneKey;
      break;
    case kOneKey: {
      if (slots_[slot] == key) return false;
      const uint32_t first = AddNode(slots_[slot]);
      const uint32_t second = AddNode(key);
      nodes_[first].next = second;
      slots_[slot] = first;
      states_[slot] = kChain;
      break;
    }
    default: {
      uint32_t node = slots_[slot];
      while (true) {
        if (nodes_[node].key == key) return false;
        if (nodes_[node].next == kNoNode) break;
        node = nodes_[node].next;
      }
      const uint32_t added = AddNode(key);
      nodes_[node].next = added;
      break;
    }
  }
  ++KeyCount;
  return true;
}

bool THash1::KeyPresent(uint32_t key) const {
  const uint32_t slot = HashFunc(key);
  if (states_[slot] == kOneKey) return slots_[slot] == key;
  if (states_[slot] == kChain)
    for (uint32_t node = slots_[slot]; node != kNoNode; node = nodes_[node].next)
      if (nodes_[node].key == key) return true;
  return false;
}
