// The text of the EOverflow that a call raises, for comparing failures.
#pragma once

#include <functional>
#include <string>

#include "platform/sysutils.h"

inline std::string OverflowMessage(const std::function<void()>& call) {
  try {
    call();
  } catch (const EOverflow& e) {
    return e.Message;
  }
  return "(no EOverflow)";
}
