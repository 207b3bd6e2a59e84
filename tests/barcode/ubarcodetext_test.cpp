// Which record texts the barcode batch refuses, symbology by symbology:
// a text is taken only when the barcode carries it as it stands.
#include <gtest/gtest.h>

#include <string>

#include "barcode/ubarcodetext.h"

namespace {

TEST(BarcodeTextFault, EachSymbologyTakesOnlyTextsItCarriesUnchanged) {
  struct Case {
    lbtCodeTypes type;
    std::string text;
    TBarcodeTextFault fault;
  } cases[] = {
      {EAN_8, "1234567", btfNone},
      {EAN_8, "12345670", btfNone},  // with its own check digit
      {EAN_8, "12345671", btfCheckDigit},
      {EAN_8, "123456", btfLength},  // would be padded with a zero
      {EAN_8, "123456789", btfLength},
      {EAN_8, "12a4567", btfCharacters},
      {EAN_13, "690123456789", btfNone},
      {EAN_13, "6901234567892", btfNone},
      {EAN_13, "6901234567890", btfCheckDigit},
      {EAN_13, "12345", btfLength},
      {EAN_13, "张三", btfCharacters},
      {UPC_A, "03600029145", btfNone},
      {UPC_A, "036000291452", btfNone},
      {UPC_A, "036000291453", btfCheckDigit},
      {UPC_E, "425261", btfNone},
      {UPC_E, "4252614", btfNone},  // expands to 04210000526, check 4
      {UPC_E, "4252610", btfCheckDigit},
      {UPC_E, "04252614", btfLength},  // the number system is not part of the text
      {CODE39, "CARD-0042 $/+%.", btfNone},
      {CODE39, "Card", btfCharacters},  // lower case would become zeros
      {CODE39, "A*B", btfCharacters},
      {CODE25i, "1234567890", btfNone},
      {CODE25i, "123456789", btfNone},  // odd: the check digit makes it even
      {CODE25i, "12-34", btfCharacters},
      {CODE25iP, "12345678901", btfNone},
      {CODE25iP, "1234567890123", btfNone},
      {CODE25iP, "123456789012", btfLength},
      {CODE128_A, "NO. 12/AB", btfNone},
      {CODE128_A, "No. 12", btfCharacters},
      {CODE128_B, "Card-0042 ~{}", btfNone},
      {CODE128_B, "卡片", btfCharacters},
      {CODE128_B, "tab\there", btfCharacters},
      {CODE128_C, "12345", btfNone},  // an odd digit ends in code set A
      {CODE128_C, "12 34", btfCharacters},
      {CODE128_B, "", btfEmpty},
      {EAN_13, "", btfEmpty},
      {CODE128_B, std::string(50, 'x'), btfNone},
      {CODE128_B, std::string(51, 'x'), btfTooLong},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " as type " + std::to_string(int(c.type)));
    EXPECT_EQ(BarcodeTextFault(c.text, c.type), c.fault);
  }
  for (TBarcodeTextFault fault : {btfEmpty, btfTooLong, btfCharacters, btfLength, btfCheckDigit})
    EXPECT_FALSE(BarcodeTextFaultText(fault).empty());
}

}  // namespace
