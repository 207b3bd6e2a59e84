// The kFill filter: salt-and-pepper noise removal on pf1bit pictures.
//
// Passes alternate between filling OFF (clearing) and filling ON (setting)
// the core of a k x k window whose ring of border pixels says the core is
// noise; the decisions are table lookups on the ring's bit pattern, built
// once per window size. Set bits are ON, or clear bits with Invert. The
// outermost rows and columns are never changed.
#pragma once

#include "platform/graphics.h"

// Windows from 3 x 3 to K x K (K from 3 to IEKFillMaxWindow; other values
// change nothing); passes until MaxIterations have run or two passes in a
// row changed nothing. Connected keeps cores whose ring holds more than one
// ON group; OffRuleStrict clears a core only when its ring is all OFF (or
// has 3k - 4 OFF pixels and two ON corners). Pictures that are not pf1bit
// are left alone.
void _kf_kfill(TBitmap* bitmap, bool Connected, bool OffRuleStrict, int MaxIterations, int K, bool Invert);

// The largest window: its two tables take 2 x 2^(4 (K - 1)) bytes.
constexpr int IEKFillMaxWindow = 6;
