// Card templates as the Windows program leaves them, written byte by byte:
// GBK text, CR LF line ends, blank lines between sections or none, fonts
// measured on screens of any DPI and absolute Windows paths. The values
// follow fixed formulas so that a test can state the whole design it
// expects (see ExpectedValue and the font helpers below).
#pragma once

#include <cstdint>
#include <string>

namespace templatebytes {

// GBK bytes of the texts the fixtures use.
inline const std::string kSongTi = "\xCB\xCE\xCC\xE5";   // 宋体
inline const std::string kHeiTi = "\xBA\xDA\xCC\xE5";    // 黑体
inline const std::string kXingMing = "\xD0\xD5\xC3\xFB"; // 姓名
inline const std::string kDanWei = "\xB5\xA5\xCE\xBB";   // 单位
inline const std::string kCheng = "\x81\x5C";            // 乗: its second byte is a backslash

struct WindowsTemplate {
  std::string lineEnd = "\r\n";
  std::string sectionGap = "\r\n";  // written before every section but the first
  int dpi = 96;                     // of the screen the fonts were measured on
  std::string logo = "C:\\Program Files\\Card Maker\\" + kCheng + "\\Logo.BMP";
  std::string seal = "D:\\" + kDanWei + " " + kCheng + "\\seal.bmp";
  std::string layout = "E:\\cards\\" + kXingMing + "\\back ground.jpg";
  std::string tableFolder = "Mode\\DATA\\";
  std::string tableFile = "data.DBF";
};

// PageData k of every fixture.
inline int PageValue(int k) {
  if (k <= 12) return 100 + 10 * k;
  if (k >= 21 && k <= 34) return k - 25;
  if (k >= 41 && k <= 60) return k % 2;
  if (k == 61) return 0x0000FF;
  if (k == 63) return 12;
  if (k >= 65 && k <= 69) return k - 60;
  if (k == 70) return 9;
  return 1;
}

// Font values j of text i: data texts in 宋体 9 pt, titles in 黑体 12 pt;
// data text 0 bold and underlined, title 1 italic; even texts shown.
inline int FontSize(bool title) { return title ? 12 : 9; }
inline int FontHeight(bool title, int dpi) { return -((FontSize(title) * dpi + 36) / 72); }
inline int FontStyleCodeOf(bool title, int i) { return !title && i == 0 ? 11 : title && i == 1 ? 13 : 16; }
inline std::string FontValue(bool title, int i, int j, int dpi) {
  switch (j) {
    case 0: return "1";
    case 1: return std::to_string(title ? 0x800000 + i : i);
    case 2: return std::to_string(FontHeight(title, dpi));
    case 3: return std::to_string(FontSize(title));
    case 4: return title ? kHeiTi : kSongTi;
    case 5: return "fpDefault";
    case 6: return std::to_string(FontStyleCodeOf(title, i));
    default: return i % 2 == 0 ? "1" : "0";
  }
}
inline std::string TitleText(int i) { return i == 0 ? kXingMing : "T" + std::to_string(i); }
inline std::string FieldCaption(int i) { return i == 1 ? kDanWei : "F" + std::to_string(i); }

inline std::string Bytes(const WindowsTemplate& w) {
  std::string out;
  auto line = [&out, &w](const std::string& text) { out += text + w.lineEnd; };
  auto key = [&line](const std::string& name, const std::string& value) { line(name + "=" + value); };
  line("[Section1]");
  for (int m = 0; m < 2; ++m)
    for (int n = 0; n < 13; ++n) {
      const std::string mn = std::to_string(m) + std::to_string(n);
      key("HeightWidth" + mn, std::to_string(m == 0 ? 20 + n : 100 + n));
      key("NDBHW" + mn, std::to_string(m == 0 ? 18 + n : 60 + n));
    }
  out += w.sectionGap;
  line("[Section2]");
  for (int k = 0; k < 80; ++k) key("PageData" + std::to_string(k), std::to_string(PageValue(k)));
  out += w.sectionGap;
  line("[Section3]");
  for (int i = 0; i < 13; ++i) {
    const std::string s = std::to_string(i);
    key("Edit1" + s, TitleText(i));
    key("Edit2" + s, FieldCaption(i));
    key("Left1" + s, std::to_string(10 * i));
    key("Top1" + s, std::to_string(5 * i));
    key("Left2" + s, std::to_string(10 * i + 3));
    key("Top2" + s, std::to_string(5 * i + 2));
    for (int j = 0; j < 8; ++j) {
      key("Font1" + s + std::to_string(j), FontValue(false, i, j, w.dpi));
      key("Font2" + s + std::to_string(j), FontValue(true, i, j, w.dpi));
    }
  }
  out += w.sectionGap;
  line("[Section10]");
  key("photoImage2", w.logo);
  key("photoZhang", w.seal);
  key("photo3", w.layout);
  key("baseN", w.tableFolder);
  key("TableN", w.tableFile);
  return out;
}

// The file's scrambling, written from its definition for the fixtures:
// blocks of 4096 bytes, a 16-bit state from 0 fed with the scrambled byte.
inline std::string Scramble(std::string bytes) {
  uint16_t k = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i % 4096 == 0) k = 0;
    const auto c = static_cast<uint8_t>(static_cast<uint8_t>(bytes[i]) ^ (k >> 8));
    bytes[i] = static_cast<char>(c);
    k = static_cast<uint16_t>((c + k) * 0xB500 + 0xC900);
  }
  return bytes;
}

}  // namespace templatebytes
