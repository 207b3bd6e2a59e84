// Platform and processor tests. The version tests name old desktop systems
// and answer false here.
#pragma once

bool IEIs_Win2000_ME_XP();
bool IEIs_XP();
bool IEIs_98();
// Whether the processor has the MMX instructions.
bool IEMMXSupported();
