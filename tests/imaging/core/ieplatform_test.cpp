#include "imaging/core/ieplatform.h"

#include <gtest/gtest.h>

TEST(PlatformTests, OldSystemVersionsAreNeverReported) {
  EXPECT_FALSE(IEIs_Win2000_ME_XP());
  EXPECT_FALSE(IEIs_XP());
  EXPECT_FALSE(IEIs_98());
}

TEST(PlatformTests, MmxOnEveryX86Processor) {
#if defined(__x86_64__)
  EXPECT_TRUE(IEMMXSupported());
#else
  GTEST_SKIP() << "MMX is an x86 feature";
#endif
}
