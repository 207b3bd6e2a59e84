#include "records/capitals.h"

#include <algorithm>
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

namespace {

// The capitals of a whole part written in decimal and its jiao and fen.
std::string Compose(const std::string& sign, const std::string& whole, bool wholeIsZero, int jiao, int fen) {
  std::string tail;
  if (jiao == 0 && fen == 0) {
    tail = "整";
  } else {
    tail = kDigits[jiao];
    if (jiao != 0) tail += "角";
    if (wholeIsZero && jiao == 0) tail.clear();
    if (fen != 0) {
      tail += kDigits[fen];
      tail += "分";
    }
  }
  return sign + IntegerToCapitals(whole) + "元" + tail;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A plain decimal: optional sign, digits, optional point and digits, at
// least one digit; `whole` gets the digits before the point without
// leading zeros, `fraction` those after it.
bool SplitDecimal(const std::string& text, bool& negative, std::string& whole, std::string& fraction) {
  size_t i = 0;
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t point = text.find('.', i);
  whole = text.substr(i, point == std::string::npos ? std::string::npos : point - i);
  fraction = point == std::string::npos ? "" : text.substr(point + 1);
  if (whole.empty() && fraction.empty()) return false;
  for (const std::string* part : {&whole, &fraction})
    for (char c : *part)
      if (!IsDigit(c)) return false;
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
  return true;
}

// Adds one to a string of decimal digits.
void Increment(std::string& digits) {
  for (size_t k = digits.size(); k-- > 0;) {
    if (digits[k] != '9') {
      ++digits[k];
      return;
    }
    digits[k] = '0';
  }
  digits.insert(digits.begin(), '1');
}

}  // namespace

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
  return Compose(sign, FloatToStr(whole), whole == 0, jiao, fen);
}

TAmountText AmountTextToCapitals(const std::string& text, std::string& capitals) {
  const std::string trimmed = Trim(text);
  bool negative = false;
  std::string whole, fraction;
  if (SplitDecimal(trimmed, negative, whole, fraction)) {
    const bool zero = whole.empty() && fraction.find_first_not_of('0') == std::string::npos;
    if (negative && !zero) return atNegative;
    // Round half a fen up, as the amounts of the table do.
    fraction.resize(std::max<size_t>(fraction.size(), 3), '0');
    int cents = (fraction[0] - '0') * 10 + (fraction[1] - '0');
    if (fraction[2] >= '5' && ++cents == 100) {
      cents = 0;
      Increment(whole);
    }
    if (whole.size() > 15) return atOutOfRange;
    capitals = Compose("", whole.empty() ? "0" : whole, whole.empty(), cents / 10, cents % 10);
    return atConverted;
  }
  double value = 0;
  if (!TryStrToFloat(trimmed, value)) return atNotANumber;
  if (value < 0) return atNegative;
  if (!(value < 1e15)) return atOutOfRange;
  capitals = MoneyToCapitals(value);
  return atConverted;
}
