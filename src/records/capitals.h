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
