#include "platform/fonts.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>

#include "platform/gdi.h"

namespace {

TEST(Fonts, SystemFaceNamesMapToInstalledFamilies) {
  // The family Qt actually resolves, so a missing font fails here rather
  // than falling back silently.
  struct Case {
    const char* face;
    const char* family;
  } cases[] = {{"宋体", "Noto Serif CJK SC"},       {"新宋体", "Noto Serif CJK SC"},
               {"仿宋", "Noto Serif CJK SC"},       {"仿宋_GB2312", "Noto Serif CJK SC"},
               {"黑体", "Noto Sans CJK SC"},        {"微软雅黑", "Noto Sans CJK SC"},
               {"楷体_GB2312", "AR PL UKai CN"},    {"楷体", "AR PL UKai CN"},
               {"Arial", "DejaVu Sans"},            {"arial", "DejaVu Sans"},
               {"MS Sans Serif", "DejaVu Sans"},    {"Times New Roman", "DejaVu Serif"},
               {"Courier New", "DejaVu Sans Mono"}, {"DejaVu Serif", "DejaVu Serif"}};
  for (const Case& c : cases) {
    EXPECT_EQ(MapFontFace(c.face), c.family) << c.face;
    for (TFontStyles style : {TFontStyles(0), TFontStyles(fsBold)})
      EXPECT_EQ(QFontInfo(MakeQFont(c.face, -12, style)).family().toStdString(), c.family) << c.face << style;
  }
}

TEST(Fonts, HeightsAndStyles) {
  QFont em = MakeQFont("Arial", -20, fsBold | fsItalic | fsUnderline);
  EXPECT_EQ(em.pixelSize(), 20);
  EXPECT_TRUE(em.bold());
  EXPECT_TRUE(em.italic());
  EXPECT_TRUE(em.underline());
  EXPECT_FALSE(em.strikeOut());
  EXPECT_TRUE(em.styleStrategy() & QFont::PreferAntialias);
  EXPECT_FALSE(em.styleStrategy() & QFont::NoAntialias);
  // A positive height is the whole cell.
  QFont cell = MakeQFont("Arial", 20, 0);
  EXPECT_NEAR(QFontMetrics(cell).height(), 20, 1);
  EXPECT_LT(cell.pixelSize(), 20);
}

TEST(Fonts, EnumerationListsInstalledAndSystemFaces) {
  std::vector<TFontFace> faces = EnumFontFaces();
  auto find = [&](const std::string& name) {
    return std::find_if(faces.begin(), faces.end(), [&](const TFontFace& f) { return f.Name == name; });
  };
  ASSERT_NE(find("宋体"), faces.end());
  EXPECT_EQ(find("宋体")->Charset, GB2312_CHARSET);
  ASSERT_NE(find("Arial"), faces.end());
  EXPECT_EQ(find("Arial")->Charset, ANSI_CHARSET);
  ASSERT_NE(find("DejaVu Sans"), faces.end());
  std::vector<std::string> names = ScreenFonts();
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return QString::fromStdString(a) < QString::fromStdString(b);
  }));
  EXPECT_EQ(names.size(), faces.size());

  // The enumeration callback stops the walk by answering 0.
  int calls = 0;
  EXPECT_EQ(EnumFontsA(GetDC(nullptr), nullptr,
                       [](const LOGFONTA*, const void*, uint32_t, intptr_t data) {
                         return ++*reinterpret_cast<int*>(data) < 2 ? 1 : 0;
                       },
                       reinterpret_cast<intptr_t>(&calls)),
            0);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(ScreenPixelsPerInch(), 96);
}

}  // namespace
