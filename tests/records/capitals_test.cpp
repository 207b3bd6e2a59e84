#include "records/capitals.h"

#include <gtest/gtest.h>

namespace {

struct MoneyCase {
  double amount;
  const char* text;
};

TEST(MoneyToCapitals, AmountsAsReceiptsPrintThem) {
  const MoneyCase cases[] = {
      {0, "零元整"},
      {0.5, "零元伍角"},
      {0.05, "零元伍分"},
      {0.55, "零元伍角伍分"},
      {0.996, "壹元整"},  // half a fen and more rounds up
      {1.05, "壹元零伍分"},
      {10, "壹拾元整"},
      {15, "壹拾伍元整"},
      {20.07, "贰拾元零柒分"},
      {100.5, "壹佰元伍角"},
      {1234.56, "壹仟贰佰叁拾肆元伍角陆分"},
      {10010, "壹万零壹拾元整"},
      {100100, "壹拾万零壹佰元整"},
      {1e8 + 1, "壹亿零壹元整"},
      {1e8 + 1e4, "壹亿零壹万元整"},
      {1e12, "壹万亿元整"},
      {1e15 - 1, "玖佰玖拾玖万玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元整"},
      // The whole part is written in exponent form from 10^15 on.
      {1e15, "输入含非数字字符!元整"},
      {-3, "负叁元整"},
      {12345.67, "壹万贰仟叁佰肆拾伍元陆角柒分"},
      {100000.01, "壹拾万元零壹分"},
  };
  for (const MoneyCase& c : cases) EXPECT_EQ(MoneyToCapitals(c.amount), c.text) << c.amount;
}

TEST(IntegerToCapitals, BlanksLimitsAndForeignCharacters) {
  EXPECT_EQ(IntegerToCapitals(std::string(25, '1')), "数值过大!");
  EXPECT_EQ(IntegerToCapitals("12a"), "输入含非数字字符!");
  EXPECT_EQ(IntegerToCapitals(""), "零");
  EXPECT_EQ(IntegerToCapitals("0000"), "零");
  // A blank keeps its place but writes nothing, not even the zero.
  EXPECT_EQ(IntegerToCapitals("1 5"), "壹佰伍");
  // Two 亿 in a row for 10^16.
  EXPECT_EQ(IntegerToCapitals("10000000000000000"), "壹亿亿");
}

}  // namespace
