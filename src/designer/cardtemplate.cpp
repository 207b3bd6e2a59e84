#include "designer/cardtemplate.h"

#include <cctype>
#include <map>

#include "platform/gbk.h"

namespace {

// Style code of the file for each of the 16 style sets, indexed by the set.
constexpr int kStyleCodes[16] = {
    16,  // none
    15,  // B
    13,  // I
    14,  // B I
    9,   // U
    11,  // B U
    10,  // I U
    12,  // B I U
    1,   // S
    5,   // B S
    3,   // I S
    4,   // B I S
    2,   // U S
    7,   // B U S
    6,   // I U S
    8,   // B I U S
};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The profile-file reading of a key line's value: surrounding blanks go,
// then one pair of surrounding double quotes.
std::string ProfileValue(const std::string& raw) {
  std::string value = Trim(raw);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return value;
}

// The value as written so that the profile reading gives it back whole.
std::string StoredValue(std::string value) {
  for (char& c : value)
    if (c == '\r' || c == '\n') c = ' ';
  const bool blankEdge = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  if (!blankEdge && !quoted) return value;
  std::string wrapped(1, '"');
  wrapped += value;
  wrapped += '"';
  return wrapped;
}

// Sections and keys by lower-cased name; the first of a repeated name counts,
// as with the platform's profile files.
class ProfileText {
 public:
  explicit ProfileText(std::string_view gbk) {
    const std::string text = GbkToUtf8(gbk);  // before splitting: 0x5C and ']' may be trail bytes
    std::map<std::string, std::string>* section = nullptr;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find_first_of("\r\n", start);  // a lone CR ends a line too
      if (end == std::string::npos) end = text.size();
      const std::string line = Trim(text.substr(start, end - start));
      start = end + 1;
      if (!line.empty() && line[0] == '[') {
        const std::string name = Lower(Trim(line.substr(1, line.find(']') - 1)));
        section = sections_.count(name) ? nullptr : &sections_[name];
      } else if (section && !line.empty() && line[0] != ';' && line.find('=') != std::string::npos) {
        const size_t eq = line.find('=');
        section->emplace(Lower(Trim(line.substr(0, eq))), ProfileValue(line.substr(eq + 1)));
      }
    }
  }

  std::optional<std::string> Find(const std::string& section, const std::string& key) const {
    auto s = sections_.find(Lower(section));
    if (s == sections_.end()) return std::nullopt;
    auto k = s->second.find(Lower(key));
    if (k == s->second.end()) return std::nullopt;
    return k->second;
  }
  std::string Text(const std::string& section, const std::string& key) const {
    return Find(section, key).value_or("");
  }
  int Integer(const std::string& section, const std::string& key, int low, int high) const {
    const std::string value = Text(section, key);
    int n = 0;
    if (!TryStrToInt(value, n))
      throw ECardTemplateError("Card template: " + key + " in [" + section + "]: '" + value +
                               "' is not a valid integer value");
    if (n < low || n > high)
      throw ECardTemplateError("Card template: " + key + " in [" + section + "]: " + value +
                               " is out of range (" + std::to_string(low) + " to " + std::to_string(high) + ")");
    return n;
  }

 private:
  std::map<std::string, std::map<std::string, std::string>> sections_;
};

constexpr int kAnyInt = 2147483647;
constexpr int kMaxExtent = 20000;   // pixels: sizes and positions of the design
constexpr int kMaxPageMm = 10000;   // millimetres of the report page
constexpr int kMaxRgb = 0xFFFFFF;
constexpr int kMaxFaceBytes = 31;   // a face name's bytes in the platform's font record

// The range each PageData index must lie in.
std::pair<int, int> PageDataRange(int k) {
  if (k == 0 || k == 1 || k == 9 || k == 10) return {1, kMaxExtent};  // layout picture and panel
  if (k <= 12) return {0, kMaxExtent};
  if (k >= 21 && k <= 34) return {-kMaxExtent, kMaxExtent};
  if (k == 61) return {0, kMaxRgb};
  if (k == 62 || k == 64) return {1, 100};  // page columns
  if (k == 63 || (k >= 65 && k <= 69)) return {0, kMaxPageMm};
  if (k == 70) return {-32768, 32767};
  return {-kAnyInt - 1, kAnyInt};
}

TemplateFont ReadFont(const ProfileText& ini, const std::string& prefix) {
  const std::string s = "Section3";
  TemplateFont f;
  f.charset = ini.Integer(s, prefix + "0", 0, 255);
  f.color = ini.Integer(s, prefix + "1", 0, kMaxRgb);
  f.height = ini.Integer(s, prefix + "2", -32768, 32767);
  f.size = ini.Integer(s, prefix + "3", 1, 1638);
  f.name = ini.Text(s, prefix + "4");
  const size_t faceBytes = Utf8ToGbk(f.name).size();
  if (faceBytes == 0 || faceBytes > kMaxFaceBytes)
    throw ECardTemplateError("Card template: " + prefix + "4 in [" + s + "]: '" + f.name +
                             "' is not a font name");
  int code = 0;
  f.style = TryStrToInt(ini.Text(s, prefix + "6"), code) ? FontStyleFromCode(code) : 0;
  const std::string shown = ini.Text(s, prefix + "7");
  if (shown == "1" || shown == "0") f.shown = shown == "1";
  return f;
}

void WriteFont(std::string& out, const std::string& prefix, int j, const TemplateFont& f) {
  std::string value;
  switch (j) {
    case 0: value = "1"; break;  // the default character set
    case 1: value = std::to_string(f.color); break;
    case 2: value = std::to_string(f.height); break;
    case 3: value = std::to_string(f.size); break;
    case 4: value = StoredValue(f.name); break;
    case 5: value = "fpDefault"; break;
    case 6: value = std::to_string(FontStyleCode(f.style)); break;
    default: value = f.shown.value_or(false) ? "1" : "0"; break;
  }
  out += prefix + std::to_string(j) + "=" + value + "\r\n";
}

}  // namespace

int FontStyleCode(unsigned style) { return kStyleCodes[style & 15u]; }

unsigned FontStyleFromCode(int code) {
  if (code < 1 || code > 15) return 0;
  for (unsigned set = 0; set < 16; ++set)
    if (kStyleCodes[set] == code) return set;
  return 0;
}

bool IsStockTemplatePath(std::string_view path) {
  const std::string lower = Lower(std::string(path));
  return lower.find("mode\\") != std::string::npos || lower.find("mode/") != std::string::npos;
}

CardTemplate ParseCardTemplate(std::string_view bytes) {
  const ProfileText ini(bytes);
  CardTemplate t;
  for (int n = 0; n < CardTemplate::kTextCount; ++n) {
    const std::string i = std::to_string(n);
    for (int m = 0; m < 2; ++m) {
      const std::string mi = std::to_string(m) + i;
      (m == 0 ? t.dataTexts[n].height : t.dataTexts[n].width) =
          ini.Integer("Section1", "HeightWidth" + mi, 0, kMaxExtent);
      (m == 0 ? t.titles[n].height : t.titles[n].width) = ini.Integer("Section1", "NDBHW" + mi, 0, kMaxExtent);
    }
  }
  for (int k = 0; k < CardTemplate::kPageDataCount; ++k) {
    const auto [low, high] = PageDataRange(k);
    t.pageData[k] = ini.Integer("Section2", "PageData" + std::to_string(k), low, high);
  }
  for (int n = 0; n < CardTemplate::kTextCount; ++n) {
    const std::string i = std::to_string(n);
    TemplateText& title = t.titles[n];
    TemplateText& data = t.dataTexts[n];
    title.caption = ini.Text("Section3", "Edit1" + i);
    data.caption = ini.Text("Section3", "Edit2" + i);
    data.left = ini.Integer("Section3", "Left1" + i, -kMaxExtent, kMaxExtent);
    data.top = ini.Integer("Section3", "Top1" + i, -kMaxExtent, kMaxExtent);
    title.left = ini.Integer("Section3", "Left2" + i, -kMaxExtent, kMaxExtent);
    title.top = ini.Integer("Section3", "Top2" + i, -kMaxExtent, kMaxExtent);
    data.font = ReadFont(ini, "Font1" + i);
    title.font = ReadFont(ini, "Font2" + i);
  }
  t.logoPath = ini.Text("Section10", "photoImage2");
  t.sealPath = ini.Text("Section10", "photoZhang");
  t.layoutPath = ini.Text("Section10", "photo3");
  t.tableFolder = ini.Text("Section10", "baseN");
  t.tableFile = ini.Text("Section10", "TableN");
  return t;
}

std::string FormatCardTemplate(const CardTemplate& t) {
  std::string out = "[Section1]\r\n";
  auto key = [&out](const std::string& name, const std::string& value) { out += name + "=" + value + "\r\n"; };
  for (int m = 0; m < 2; ++m)
    for (int n = 0; n < CardTemplate::kTextCount; ++n) {
      const std::string mi = std::to_string(m) + std::to_string(n);
      key("HeightWidth" + mi, std::to_string(m == 0 ? t.dataTexts[n].height : t.dataTexts[n].width));
      key("NDBHW" + mi, std::to_string(m == 0 ? t.titles[n].height : t.titles[n].width));
    }
  out += "[Section2]\r\n";
  for (int k = 0; k < CardTemplate::kPageDataCount; ++k)
    key("PageData" + std::to_string(k), std::to_string(t.pageData[k]));
  out += "[Section3]\r\n";
  for (int n = 0; n < CardTemplate::kTextCount; ++n) {
    const std::string i = std::to_string(n);
    const TemplateText& title = t.titles[n];
    const TemplateText& data = t.dataTexts[n];
    key("Edit1" + i, StoredValue(title.caption));
    key("Edit2" + i, StoredValue(data.caption));
    key("Left1" + i, std::to_string(data.left));
    key("Top1" + i, std::to_string(data.top));
    key("Left2" + i, std::to_string(title.left));
    key("Top2" + i, std::to_string(title.top));
    for (int j = 0; j < 8; ++j) {
      WriteFont(out, "Font1" + i, j, data.font);
      WriteFont(out, "Font2" + i, j, title.font);
    }
  }
  out += "[Section10]\r\n";
  key("photoImage2", StoredValue(t.logoPath));
  key("photoZhang", StoredValue(t.sealPath));
  key("photo3", StoredValue(t.layoutPath));
  key("baseN", StoredValue(t.tableFolder));
  key("TableN", StoredValue(t.tableFile));
  return Utf8ToGbk(out);
}
