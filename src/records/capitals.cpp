#include "records/capitals.h"

#include <cmath>

#include "platform/sysutils.h"

namespace {

const char* const kDigits[10] = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};

// The unit of a digit at position p from the right: the pattern of
// 拾 佰 仟 万 ... 亿 repeats every eight positions.
std::string UnitOf(size_t p) {
  if (p == 0) return "";
  if (p % 8 == 0) return "亿";
  if (p % 8 == 4) return "万";
  static const char* const kSmall[4] = {"", "拾", "佰", "仟"};
  return kSmall[p % 4];
}

}  // namespace

std::string IntegerToCapitals(const std::string& digits) {
  const size_t n = digits.size();
  if (n > 24) return "数值过大!";
  std::string out;
  bool pendingZero = false;
  bool groupHasDigit = false;
  for (size_t i = 0; i < n; ++i) {
    const char c = digits[i];
    const size_t p = n - 1 - i;
    if (c == ' ') continue;  // keeps its position, writes nothing
    if (c < '0' || c > '9') return "输入含非数字字符!";
    const int d = c - '0';
    if (d != 0) {
      if (pendingZero) out += kDigits[0];
      out += kDigits[d];
      out += UnitOf(p);
      groupHasDigit = true;
    } else if (p % 8 == 0) {
      out += UnitOf(p);
    } else if (p % 8 == 4 && groupHasDigit) {
      out += UnitOf(p);
    }
    if (p % 8 == 0) groupHasDigit = false;
    pendingZero = d == 0 && p % 4 != 0;
  }
  return out.empty() ? kDigits[0] : out;
}

std::string MoneyToCapitals(double amount) {
  std::string sign;
  if (!(amount >= 0)) {
    sign = "负";
    amount = -amount;
  }
  const double sum = amount + 0.005;
  const double whole = std::trunc(sum);
  const double fraction = sum - whole;
  const int jiao = int(std::trunc(fraction * 10));
  const int fen = int(std::trunc(fraction * 100)) - 10 * jiao;
  std::string tail;
  if (jiao == 0 && fen == 0) {
    tail = "整";
  } else {
    tail = kDigits[jiao];
    if (jiao != 0) tail += "角";
    if (whole == 0 && jiao == 0) tail.clear();
    if (fen != 0) {
      tail += kDigits[fen];
      tail += "分";
    }
  }
  return sign + IntegerToCapitals(FloatToStr(whole)) + "元" + tail;
}
