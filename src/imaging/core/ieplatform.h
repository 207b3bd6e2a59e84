// Platform and processor tests. The version tests name old desktop systems
// and answer false here.
#pragma once

class TComponent;
class TWinControl;
using HWND = TWinControl*;

bool IEIs_Win2000_ME_XP();
bool IEIs_XP();
bool IEIs_98();
// Whether the processor has the MMX instructions.
bool IEMMXSupported();

// The window of the first windowed control met walking from the component
// through its owners, when that control has its window made; else none.
HWND IEFindHandle(TComponent* component);
