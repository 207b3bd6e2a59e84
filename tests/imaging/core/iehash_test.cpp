#include "imaging/core/iehash.h"

#include <gtest/gtest.h>

#include <set>

TEST(Hash1, CollidingKeysShareASlot) {
  THash1 hash(4);
  EXPECT_EQ(hash.HashFunc(5), 5u);
  EXPECT_EQ(hash.HashFunc(21), 5u);
  EXPECT_TRUE(hash.Insert(5));
  EXPECT_TRUE(hash.Insert(21));
  EXPECT_FALSE(hash.Insert(5));
  EXPECT_FALSE(hash.Insert(21));
  EXPECT_TRUE(hash.KeyPresent(5));
  EXPECT_TRUE(hash.KeyPresent(21));
  EXPECT_FALSE(hash.KeyPresent(37));  // same slot, never inserted
  EXPECT_FALSE(hash.KeyPresent(6));
  EXPECT_EQ(hash.KeyCount, 2);
}

TEST(Hash1, LongChainsCountEveryKeyOnce) {
  // 2^13 slots as the colour counters use; 47 slots take chains of 64 keys.
  THash1 hash(13);
  std::set<uint32_t> expected;
  for (uint32_t i = 0; i < 3000; ++i) {
    const uint32_t key = (i % 47) + (i / 47) * 8192;
    EXPECT_EQ(hash.Insert(key), expected.insert(key).second) << key;
    EXPECT_FALSE(hash.Insert(key));
  }
  EXPECT_EQ(hash.KeyCount, static_cast<int64_t>(expected.size()));
  for (uint32_t key : expected) EXPECT_TRUE(hash.KeyPresent(key));
  EXPECT_FALSE(hash.KeyPresent(47));
  EXPECT_FALSE(hash.KeyPresent(64 * 8192));
}

TEST(Hash1, BitsOutOfRangeAreRefused) {
  EXPECT_THROW(THash1(-1), EInvalidArgument);
  EXPECT_THROW(THash1(32), EInvalidArgument);
}
