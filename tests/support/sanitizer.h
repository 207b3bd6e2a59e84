// What the build's sanitizers change about a test.
#pragma once

namespace cwtest {

// The address sanitizer aborts on impossible allocations instead of
// returning null, so tests of that failure only run in plain builds.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kHugeAllocationsFail = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kHugeAllocationsFail = false;
#else
constexpr bool kHugeAllocationsFail = true;
#endif
#else
constexpr bool kHugeAllocationsFail = true;
#endif

// Sanitized builds run several times slower: the biggest fixtures shrink
// there.
constexpr bool kSanitized = !kHugeAllocationsFail;

}  // namespace cwtest
