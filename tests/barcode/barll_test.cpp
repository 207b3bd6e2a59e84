// The encoder: code texts with their check characters, and module
// sequences read back by decoders written here from the symbologies' rules.
#include "barcode/barll.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "overflow_message.h"

namespace {

std::string Modules(const TLLBarcode& b) {
  std::string s;
  for (int i = 0; i < b.ModuleCount; ++i) s += b.Modules[i] ? '1' : '0';
  return s;
}

struct Encoded {
  std::string codeText;
  std::string modules;
};

Encoded Encode(lbtCodeTypes type, const std::string& input, const std::string& addon = "",
               lbtCodeRatio ratio = Ratio_3) {
  TLLBarcode b;
  b.Params->CodeType = type;
  b.Params->InputCode = input;
  b.Params->AddonCode = addon;
  b.Params->Ratio = ratio;
  b.AllRecalc();
  return {b.CodeText, Modules(b)};
}

// Runs of equal modules, bar first: their widths.
std::vector<int> Runs(const std::string& modules) {
  std::vector<int> runs;
  for (size_t i = 0; i < modules.size();) {
    size_t j = i;
    while (j < modules.size() && modules[j] == modules[i]) ++j;
    runs.push_back(int(j - i));
    i = j;
  }
  return runs;
}

// Element widths as "0" narrow and "1" wide.
std::string Elements(const std::string& modules, int wide) {
  std::string e;
  for (int w : Runs(modules)) {
    EXPECT_TRUE(w == 1 || w == wide) << "width " << w;
    e += w == wide ? '1' : '0';
  }
  return e;
}

// EAN/UPC digit sets derived from the odd set alone: the right-hand set is
// its complement, the even set the right-hand set reversed.
std::map<std::string, std::pair<char, int>> EanDecodeTable() {
  const char* odd[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                         "0110001", "0101111", "0111011", "0110111", "0001011"};
  std::map<std::string, std::pair<char, int>> table;
  for (int d = 0; d < 10; ++d) {
    std::string a = odd[d], c = a;
    for (char& m : c) m = m == '1' ? '0' : '1';
    std::string b(c.rbegin(), c.rend());
    table[a] = {'A', d};
    table[b] = {'B', d};
    table[c] = {'C', d};
  }
  return table;
}

// Reads the 7-module digits from `at`: digits and their set letters.
void ReadEanDigits(const std::string& m, size_t at, int count, std::string& digits, std::string& sets) {
  static const auto table = EanDecodeTable();
  for (int i = 0; i < count; ++i) {
    auto found = table.find(m.substr(at + 7 * i, 7));
    ASSERT_NE(found, table.end()) << "digit " << i << " at " << at;
    sets += found->second.first;
    digits += char('0' + found->second.second);
  }
}

TEST(BarcodeEncodingTest, CodeTextsWithCheckCharacters) {
  struct Case {
    lbtCodeTypes type;
    const char* input;
    const char* code;
  } cases[] = {
      {EAN_8, "4711", "47110007"},
      {EAN_8, "123456789", "12345670"},
      {EAN_13, "4711", "4711000000001"},
      {EAN_13, "590123412345", "5901234123457"},
      {EAN_13, "12a4", "1204000000001"},
      {UPC_A, "4711", "471100000007"},
      {UPC_A, "03600029145", "036000291452"},
      {UPC_E, "123456", "1234565"},
      {UPC_E, "4711", "4711001"},
      {UPC_E, "425261", "4252614"},
      {CODE25i, "123", "1236"},
      {CODE25i, "1234", "1234"},
      {CODE25i, "", ""},
      {CODE25iP, "12345678901", "123456789016"},
      {CODE25iP, "1234567890123", "12345678901236"},
      {Postnet, "12345", "123455"},
      {Postnet, "1234567", "123455"},
      {Postnet, "1234567890", "1234567895"},
      {Postnet, "1234567890123", "123456789014"},
      {Codabar, "123", "A123A"},
      {Codabar, "B12C", "B12C"},
      {Codabar, "b1x2c", "B12C"},
      {Codabar, "1A2", "A102A"},
      {Codabar, "", "AA"},
      {CODE39, "ab-1", "*00-1*"},
      {CODE39, "", "**"},
      {MSI_Plessey, "1234", "12344"},
      {MSI_Plessey, "80523", "805234"},
      {Postnet_FIM, "b", "FIM-B"},
      {Postnet_FIM, "A", "FIM-A"},
      {Postnet_FIM, "x", "FIM-C"},
      {Postnet_FIM, "", "FIM-C"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Encode(c.type, c.input).codeText, c.code) << "type " << int(c.type) << " input " << c.input;
}

TEST(BarcodeEncodingTest, InitialParametersGiveTheEan8Of4711) {
  TLLBarcode b;
  EXPECT_EQ(b.Params->InputCode, "4711");
  EXPECT_EQ(b.Params->CodeType, EAN_8);
  EXPECT_EQ(b.Params->SCSize, SC2);
  EXPECT_EQ(b.Params->HeightPercent, 100);
  EXPECT_EQ(b.Params->Fontname, "Arial");
  EXPECT_TRUE(b.Params->HReadable);
  EXPECT_EQ(b.Params->FrachtpostKundenNummerStellen, 7);
  b.AllRecalc();
  EXPECT_EQ(b.CodeText, "47110007");
  EXPECT_EQ(b.ModuleCount, 67);
}

TEST(BarcodeEncodingTest, CodabarUpperCasesTheCallersText) {
  TLLBarcode b;
  b.Params->CodeType = Codabar;
  b.Params->InputCode = "a1b";
  b.AllRecalc();
  EXPECT_EQ(b.Params->InputCode, "A1B");
  EXPECT_EQ(b.CodeText, "A1B");
  // A GBK character keeps both bytes (its second byte may look like 'a').
  b.Params->InputCode = "\xB0\x61z";
  b.AllRecalc();
  EXPECT_EQ(b.Params->InputCode, "\xB0\x61Z");
}

TEST(BarcodeEncodingTest, EanAndUpcModulesDecodeToTheirDigits) {
  struct Case {
    lbtCodeTypes type;
    const char* input;
    int modules;
  } cases[] = {{EAN_13, "590123412345", 95}, {EAN_13, "000000000000", 95}, {EAN_8, "4711", 67},
               {UPC_A, "03600029145", 95}, {UPC_E, "123456", 51}, {UPC_E, "425261", 51}};
  const char* ean13First[10] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    Encoded e = Encode(c.type, c.input);
    const std::string& m = e.modules;
    ASSERT_EQ(int(m.size()), c.modules);
    EXPECT_EQ(m.substr(0, 3), "101");
    std::string digits, sets;
    if (c.type == UPC_E) {
      ReadEanDigits(m, 3, 6, digits, sets);
      EXPECT_EQ(m.substr(45), "010101");
      EXPECT_EQ(digits, e.codeText.substr(0, 6));
      // Number system 0: the check digit picks the parity, B for even.
      const char* parity[10] = {"BBBAAA", "BBABAA", "BBAABA", "BBAAAB", "BABBAA",
                                "BAABBA", "BAAABB", "BABABA", "BABAAB", "BAABAB"};
      EXPECT_EQ(sets, parity[e.codeText[6] - '0']);
      continue;
    }
    const int half = c.type == EAN_8 ? 4 : 6;
    ReadEanDigits(m, 3, half, digits, sets);
    EXPECT_EQ(m.substr(3 + 7 * half, 5), "01010");
    ReadEanDigits(m, 8 + 7 * half, half, digits, sets);
    EXPECT_EQ(m.substr(m.size() - 3), "101");
    EXPECT_EQ(sets.substr(half), std::string(size_t(half), 'C'));
    if (c.type == EAN_13) {
      // The first digit is carried by the parity of the left half.
      EXPECT_EQ(sets.substr(0, 6), ean13First[e.codeText[0] - '0']);
      EXPECT_EQ(e.codeText.substr(1), digits);
    } else {
      EXPECT_EQ(sets.substr(0, half), std::string(size_t(half), 'A'));
      EXPECT_EQ(e.codeText, digits);
    }
  }
}

TEST(BarcodeEncodingTest, AddOnsFollowEan13AndUpcAOnly) {
  std::string digits, sets;
  Encoded two = Encode(EAN_13, "590123412345", "12");
  ASSERT_EQ(two.modules.size(), 125u);
  EXPECT_EQ(two.modules.substr(95, 13), "0000000001011");
  ReadEanDigits(two.modules, 108, 1, digits, sets);
  EXPECT_EQ(two.modules.substr(115, 2), "01");
  ReadEanDigits(two.modules, 117, 1, digits, sets);
  EXPECT_EQ(two.modules.back(), '0');
  EXPECT_EQ(digits, "12");
  EXPECT_EQ(sets, "AA");  // 12 mod 4 = 0

  digits.clear();
  sets.clear();
  Encoded five = Encode(UPC_A, "03600029145", "12345");
  ASSERT_EQ(five.modules.size(), 152u);
  for (int k = 0; k < 5; ++k) {
    ReadEanDigits(five.modules, 108 + 9 * k, 1, digits, sets);
    if (k < 4) {
      EXPECT_EQ(five.modules.substr(115 + 9 * k, 2), "01");
    }
  }
  EXPECT_EQ(digits, "12345");
  EXPECT_EQ(sets, "BABAA");  // 3 x (1 + 3 + 5) + 9 x (2 + 4) = 81: parity 1

  EXPECT_EQ(Encode(EAN_8, "4711", "12").modules.size(), 67u);
  EXPECT_EQ(OverflowMessage([] { Encode(EAN_13, "1", "123"); }), "BarLL: Wrong Addoncode");
  EXPECT_EQ(Encode(CODE39, "1", "123").codeText, "*1*");
  // Non-digits put on the parameters directly are read as 0.
  EXPECT_EQ(Encode(EAN_13, "1", "x9").modules.size(), 125u);
}

TEST(BarcodeEncodingTest, Code39CharactersAreNineElementsAndAGap) {
  const std::map<char, std::string> patterns = {
      {'*', "010010100"}, {'0', "000110100"}, {'1', "100100001"}, {'-', "010000101"}};
  for (lbtCodeRatio ratio : {Ratio_3, Ratio_2}) {
    Encoded e = Encode(CODE39, "ab-1", "", ratio);
    std::string expected;
    for (char c : e.codeText) expected += patterns.at(c) + "0";  // the gap is one narrow space
    EXPECT_EQ(Elements(e.modules, ratio == Ratio_3 ? 3 : 2), expected);
    EXPECT_EQ(e.modules.size(), 6u * (ratio == Ratio_3 ? 16 : 13));
  }
}

TEST(BarcodeEncodingTest, Interleaved2of5PairsBarsWithSpaces) {
  Encoded e = Encode(CODE25i, "1234");
  // Start nnnn; 1 as bars 10001 with 2 as spaces 01001; 3 (11000) with
  // 4 (00101); stop wide bar, narrow space, narrow bar.
  EXPECT_EQ(Elements(e.modules, 3), "0000" "1001000011" "1010010001" "100");
  EXPECT_EQ(e.modules.substr(0, 4), "1010");
  EXPECT_EQ(Elements(Encode(CODE25iP, "12345678901", "", Ratio_2).modules, 2).size(), 4u + 60 + 3);
}

TEST(BarcodeEncodingTest, Code128SymbolsCheckAndStop) {
  TLLBarcode b;
  b.Params->CodeType = CODE128_C;
  b.Params->InputCode = "12345";
  b.AllRecalc();
  // Start C, 12, 34, CODE A, "5" in set A (21), check, stop.
  // Check: 105 + 12 x 1 + 34 x 2 + 101 x 3 + 21 x 4 = 572; 572 mod 103 = 57.
  const std::string expected = {char(137), char(32 + 12), char(32 + 34), char(133), '5', char(32 + 57), char(138)};
  EXPECT_EQ(b.CodeText, expected);
  const std::string m = Modules(b);
  ASSERT_EQ(m.size(), 7u * 11 + 2);
  const char* widths[] = {"211232", "112232", "131123", "311141", "213212", "312113", "2331112"};
  std::vector<int> runs = Runs(m);
  std::string read;
  for (int w : runs) read += char('0' + w);
  std::string want;
  for (const char* w : widths) want += w;
  EXPECT_EQ(read, want);

  b.Params->InputCode = "Test";  // set C reads letters as 0
  b.AllRecalc();
  EXPECT_EQ(b.CodeText, std::string({char(137), char(32), char(32), char(32 + 2), char(138)}));

  b.Params->CodeType = CODE128_B;
  b.Params->InputCode = "AB";  // 104 + 33 + 34 x 2 = 205; mod 103 = 102
  b.AllRecalc();
  EXPECT_EQ(b.CodeText, std::string({char(136), 'A', 'B', char(32 + 102), char(138)}));
}

TEST(BarcodeEncodingTest, Code128RefusesCharactersOutsideItsSetExceptInSetC) {
  for (lbtCodeTypes type : {CODE128_A, CODE128_B}) {
    EXPECT_EQ(OverflowMessage([&] { Encode(type, "a\nb"); }), "BarcoLL: Code128 error");
    EXPECT_EQ(OverflowMessage([&] { Encode(type, "\xC8"); }), "BarcoLL: Code128 error");
  }
  EXPECT_EQ(Encode(CODE128_C, "1\n").codeText.substr(0, 2), std::string({char(137), char(32 + 10)}));
}

TEST(BarcodeEncodingTest, Code128ReadableText) {
  struct Case {
    std::string text;
    const char* shown;
  } cases[] = {
      {"\x88Hi", "Hi"},
      {"\x87Hi", "H "},  // set A has no lower case
      {"\x89" "123", "123"},
      {"\x88\x83" "1234", "1234"},  // CODE C switches, shows nothing
      {"\x89\x83", " "},             // CODE C inside set C does not switch
      {"\x89\x84" "12", "12"},       // CODE B from set C
      {"\x89\x86" "12", " 12"},      // FNC1 between pairs
  };
  for (const Case& c : cases) {
    std::string shown;
    TranslateCode128(c.text, true, shown);
    EXPECT_EQ(shown, c.shown);
  }
}

TEST(BarcodeEncodingTest, MsiBitsAndExactCheckDigit) {
  Encoded e = Encode(MSI_Plessey, "1234");
  // Start 1, the digits 1 2 3 4 and check 4 as 4 bits, stop 00; bit 1 is a
  // wide bar and narrow space, bit 0 the other way round.
  std::string bits = "1" "0001" "0010" "0011" "0100" "0100" "00", elements;
  for (char bit : bits) elements += bit == '1' ? "10" : "01";
  EXPECT_EQ(Elements(e.modules, 3), elements);

  // 50 digits: the doubled odd-place number has 26 digits.
  std::string digits;
  for (int i = 0; i < 50; ++i) digits += char('0' + (i * 7 + 3) % 10);
  std::string odd, rest;
  for (int i = 49; i >= 0; i -= 2) odd.insert(odd.begin(), digits[size_t(i)]);
  for (int i = 48; i >= 0; i -= 2) rest += digits[size_t(i)];
  std::string doubled;
  int carry = 0;
  for (int i = int(odd.size()) - 1; i >= 0; --i) {
    int v = (odd[size_t(i)] - '0') * 2 + carry;
    doubled.insert(doubled.begin(), char('0' + v % 10));
    carry = v / 10;
  }
  if (carry) doubled.insert(doubled.begin(), '1');
  int sum = 0;
  for (char c : doubled + rest) sum += c - '0';
  Encoded big = Encode(MSI_Plessey, digits);
  EXPECT_EQ(big.codeText, digits + char('0' + (10 - sum % 10) % 10));
}

TEST(BarcodeEncodingTest, CodabarPostnetAndFimModules) {
  // Codabar A1A: A 0011010, 1 0000110, A, each followed by a narrow space.
  EXPECT_EQ(Elements(Encode(Codabar, "1").modules, 3), "00110100" "00001100" "00110100");
  Encoded post = Encode(Postnet, "12345");
  EXPECT_EQ(post.modules, "1" "00011" "00101" "00110" "01001" "01010" "01010" "1");
  EXPECT_EQ(Encode(Postnet_FIM, "b").modules, "101101101");
  EXPECT_EQ(Encode(Postnet_FIM, "a").modules, "110010011");
  EXPECT_EQ(Encode(Postnet_FIM, "c").modules, "110101011");
}

TEST(BarcodeEncodingTest, LongestInputsFitAndLongerOnesAreRefused) {
  struct Case {
    lbtCodeTypes type;
    char fill;
    int modules;
  } cases[] = {
      {CODE39, 'W', 52 * 16}, {MSI_Plessey, '9', (1 + 51 * 4 + 2) * 4}, {CODE128_B, 'x', 53 * 11 + 2},
      {Codabar, '1', 2 * 14 + 50 * 12}, {CODE25i, '8', 4 + 25 * 18 + 5},
  };
  for (const Case& c : cases) {
    TLLBarcode b;
    b.Params->CodeType = c.type;
    b.Params->InputCode = std::string(50, c.fill);
    b.AllRecalc();
    EXPECT_EQ(b.ModuleCount, c.modules) << int(c.type);
    EXPECT_LE(b.ModuleCount, BarMaxModules);
    b.Params->InputCode += c.fill;
    EXPECT_EQ(OverflowMessage([&] { b.AllRecalc(); }), "String exceeds maximum length");
  }
}

TEST(BarcodeEncodingTest, FailuresRaiseTheirTexts) {
  EXPECT_EQ(OverflowMessage([] { Encode(lbtCodeTypes(14), "1"); }), "Barcode: Unknown Type of Barcode");
  std::string text = "12";
  EXPECT_EQ(OverflowMessage([&] { AddProofchar(text, CODE39); }), "BarcoLL: No check char with this barcode type");
  EXPECT_EQ(OverflowMessage([&] { AddMSIProofchar(text, EAN_8); }), "Wrong barcode type in procedure AddMSIProofchar");
  EXPECT_EQ(UPCEProofSum("123456"), 45);
}

}  // namespace
