// A set of 32-bit keys in 2^bits slots; a slot holds one key directly and
// turns into a chain when a second key lands in it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sysutils.h"

class THash1 : public TObject {
 public:
  explicit THash1(int bits);

  uint32_t HashFunc(uint32_t key) const { return key & (SlotCount - 1); }
  // False when the key was already present.
  bool Insert(uint32_t key);
  bool KeyPresent(uint32_t key) const;

  int Bits = 0;
  uint32_t SlotCount = 0;
  int64_t KeyCount = 0;

 private:
  enum SlotState : uint8_t { kEmpty = 0, kOneKey = 1, kChain = 2 };
  static constexpr uint32_t kNoNode = UINT32_MAX;
  struct Node {
    uint32_t key;
    uint32_t next;
  };
  // A key (kOneKey) or the index of the chain's first node (kChain).
  std::vector<uint32_t> slots_;
  std::vector<uint8_t> states_;
  std::vector<Node> nodes_;

  uint32_t AddNode(uint32_t key);
};
