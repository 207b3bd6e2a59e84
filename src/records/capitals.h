// Money amounts in Chinese capital numerals (大写金额), as receipts print
// them: free routines of the text import window, keeping no state.
#pragma once

#include <string>

// A whole number written in decimal (blanks allowed anywhere and passed
// over) in capital numerals with the units 拾, 佰, 仟, 万 and 亿. Returns
// "数值过大!" for more than 24 characters and "输入含非数字字符!" for any
// character other than a digit or a blank; 零 for nothing.
std::string IntegerToCapitals(const std::string& digits);

// An amount as yuan, jiao and fen: "负" for a negative amount, the whole
// part, "元", then the jiao and fen or "整"; rounded to the nearest fen.
std::string MoneyToCapitals(double amount);

// How a line of text converts as an amount.
enum TAmountText {
  atConverted,   // a non-negative amount below 10^15: `capitals` holds it
  atNegative,    // a negative amount: left as it is
  atNotANumber,  // empty, blanks or not a number
  atOutOfRange,  // 10^15 or more: its whole part has no capitals
};

// A line holding an amount in decimal (blanks around it, a sign, digits with
// an optional fraction, or the exponent form) in capitals. Plain decimals are
// rounded to the fen from their digits, so no digit is lost to binary
// floating point (1234567.89 keeps its 玖分).
TAmountText AmountTextToCapitals(const std::string& text, std::string& capitals);
