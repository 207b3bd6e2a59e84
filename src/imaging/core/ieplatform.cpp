#include "imaging/core/ieplatform.h"

#include "platform/controls.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

bool IEIs_Win2000_ME_XP() { return false; }
bool IEIs_XP() { return false; }
bool IEIs_98() { return false; }

bool IEMMXSupported() {
#if defined(__i386__) || defined(__x86_64__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return false;
  return (edx & (1u << 23)) != 0;
#else
  return false;
#endif
}

HWND IEFindHandle(TComponent* component) {
  for (TComponent* c = component; c; c = c->GetOwner()) {
    if (auto* window = dynamic_cast<TWinControl*>(c)) return window->HandleAllocated() ? window->GetHandle() : nullptr;
  }
  return nullptr;
}
