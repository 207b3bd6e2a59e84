#include "imaging/core/ieplatform.h"

#include <gtest/gtest.h>

#include "platform/forms.h"

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

TEST(PlatformTests, FindHandleStopsAtTheFirstWindowedOwner) {
  TForm form(nullptr);
  auto* owned = new TComponent(&form);
  auto* deeper = new TComponent(owned);
  // A windowed control never placed on the form: it has no window.
  auto* loose = new TWinControl(&form);
  auto* underLoose = new TComponent(loose);

  EXPECT_EQ(IEFindHandle(nullptr), nullptr);
  EXPECT_EQ(IEFindHandle(deeper), nullptr);  // the form has no window yet
  form.HandleNeeded();
  EXPECT_EQ(IEFindHandle(deeper), &form);
  EXPECT_EQ(IEFindHandle(owned), &form);
  EXPECT_EQ(IEFindHandle(&form), &form);
  EXPECT_EQ(IEFindHandle(underLoose), nullptr);
  TComponent orphan(nullptr);
  EXPECT_EQ(IEFindHandle(&orphan), nullptr);
}
