// Fonts of the card's texts: the font command, the installed-font box, the
// font size list's sizes and the one-line font strings.
#include <cstdio>
#include <cstring>

#include "designer/main.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/sysutils.h"

namespace {

// The Chinese size names of the font size list, in points (truncated).
const float kNamedSizes[16] = {42.5f, 40, 37.5f, 35, 32.5f, 30, 27.5f, 25, 22.5f, 20, 17.5f, 15, 12.5f, 10, 7.5f, 5};
// The largest size the font dialog offers.
constexpr int kLargestFontSize = 1638;

}  // namespace

bool FontSizeOfEntry(int index, const std::string& text, int& points) {
  if (index >= 0 && index < 16) {
    points = int(kNamedSizes[index]);
    return true;
  }
  // A typed size must be a plain decimal number the fonts can take.
  char* end = nullptr;
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return false;
  const double value = std::strtod(trimmed.c_str(), &end);
  if (*end != '\0' || !(value >= 1 && value <= kLargestFontSize)) return false;
  points = int(value);
  return true;
}

void TMainForm::FillFontBox() {
  FontBox->GetItems()->Clear();
  CharsetObjects.clear();
  for (const TFontFace& face : EnumFontFaces()) {
    CharsetObjects.push_back(std::make_unique<TCharsetObject>(face.Charset));
    FontBox->GetItems()->AddObject(face.Name, CharsetObjects.back().get());
  }
  FontBox->SetSorted(true);
}

void TMainForm::FontBoxChange(TObject*) {
  // Only a face of the list applies; a typed name no font has changes nothing.
  const std::string name = FontBox->GetText();
  int index = -1;
  for (int i = 0; i < FontBox->GetItems()->Count(); ++i)
    if (FontBox->GetItems()->Get(i) == name) index = i;
  if (index < 0) return;
  auto* charset = dynamic_cast<TCharsetObject*>(FontBox->GetItems()->GetObject(index));
  if (charset) Edit->GetSelAttributes()->SetCharset(charset->Charset);
  Edit->GetSelAttributes()->SetName(name);
}

void TMainForm::FontSizeChange(TObject*) {
  // A typed text that is no size leaves the selection as it is.
  int points = 0;
  if (FontSizeOfEntry(FontSize->GetItemIndex(), FontSize->GetText(), points))
    Edit->GetSelAttributes()->SetSize(points);
}

void TMainForm::NFont1Click(TObject*) {
  if (SelectedItem < 0 || SelectedItem > 14) {
    ShowMessage("你还没选择要修改的项目！");
    return;
  }
  if (SelectedItem >= kTextSlots) {
    ShowMessage("你选择的是图片！");
    return;
  }
  const size_t k = size_t(SelectedItem);
  TControl* twin = SelectedIsTitle ? static_cast<TControl*>(QRTitleLabels[k]) : static_cast<TControl*>(QRDBTexts[k]);
  TControl* text = SelectedIsTitle ? static_cast<TControl*>(TitleLabels[k]) : static_cast<TControl*>(DBTexts[k]);
  FontDialog1->Font.Assign(twin->GetFont());
  FontDialog1->Execute();  // a cancel leaves the twin's own font in the dialog
  // A font without a face cannot be drawn or stored; it keeps the old face.
  if (Trim(FontDialog1->Font.Name).empty()) FontDialog1->Font.Name = twin->GetFont()->Name;
  Drawor->GetCanvas()->Font->Assign(&FontDialog1->Font);
  twin->GetFont()->Assign(&FontDialog1->Font);
  text->GetFont()->Assign(twin->GetFont());
  twin->Invalidate();
  text->Invalidate();
  Refresh();
}

std::string TMainForm::FontToString(TFont* font) {
  return std::to_string(font->GetSize()) + "," + std::to_string(font->Style) + "," + std::to_string(font->Color) + "," +
         std::to_string(int(font->Charset)) + "," + font->Name;
}

bool TMainForm::StringToCtrlFont(const std::string& line, TFont* font) {
  int size = -1, style = -1, color = 0, charset = 0;
  char name[65];
  std::memset(name, 0, sizeof name);
  std::sscanf(line.c_str(), "%d,%d,%d,%d,%64c", &size, &style, &color, &charset, name);
  name[64] = 0;
  if (size < 0 || style < 0) return false;
  font->Charset = uint8_t(charset & 0xFF);
  font->Name = name;
  font->SetSize(size);
  font->Color = TColor(color);
  font->Style = TFontStyles(style) & (fsBold | fsItalic | fsUnderline | fsStrikeOut);
  return true;
}
