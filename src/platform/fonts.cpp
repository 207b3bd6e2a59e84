#include "platform/fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Song/Ming serif, plain sans (hei) and brush-written kai faces.
constexpr const char* kSongFamily = "Noto Serif CJK SC";
constexpr const char* kHeiFamily = "Noto Sans CJK SC";
constexpr const char* kKaiFamily = "AR PL UKai CN";
constexpr const char* kSansFamily = "DejaVu Sans";
constexpr const char* kSerifFamily = "DejaVu Serif";
constexpr const char* kMonoFamily = "DejaVu Sans Mono";

struct FaceMapping {
  const char* face;
  const char* family;
  uint8_t charset;
};

// The one table of stand-ins. The calligraphic faces without an installed
// match take the kai face, the rounded one the sans face.
const FaceMapping kFaceTable[] = {
    {"宋体", kSongFamily, GB2312_CHARSET},       {"新宋体", kSongFamily, GB2312_CHARSET},
    {"仿宋", kSongFamily, GB2312_CHARSET},       {"仿宋_GB2312", kSongFamily, GB2312_CHARSET},
    {"SimSun", kSongFamily, GB2312_CHARSET},     {"黑体", kHeiFamily, GB2312_CHARSET},
    {"微软雅黑", kHeiFamily, GB2312_CHARSET},    {"幼圆", kHeiFamily, GB2312_CHARSET},
    {"SimHei", kHeiFamily, GB2312_CHARSET},      {"楷体_GB2312", kKaiFamily, GB2312_CHARSET},
    {"楷体", kKaiFamily, GB2312_CHARSET},        {"隶书", kKaiFamily, GB2312_CHARSET},
    {"华文行楷", kKaiFamily, GB2312_CHARSET},    {"Arial", kSansFamily, ANSI_CHARSET},
    {"MS Sans Serif", kSansFamily, ANSI_CHARSET}, {"Tahoma", kSansFamily, ANSI_CHARSET},
    {"Verdana", kSansFamily, ANSI_CHARSET},      {"System", kSansFamily, ANSI_CHARSET},
    {"Times New Roman", kSerifFamily, ANSI_CHARSET}, {"MS Serif", kSerifFamily, ANSI_CHARSET},
    {"Courier New", kMonoFamily, ANSI_CHARSET},  {"Courier", kMonoFamily, ANSI_CHARSET},
};

const FaceMapping* FindFace(const std::string& face) {
  for (const FaceMapping& m : kFaceTable)
    if (QString::fromUtf8(m.face).compare(QString::fromStdString(face), Qt::CaseInsensitive) == 0) return &m;
  return nullptr;
}

bool Headless() { return QGuiApplication::platformName() == "offscreen" || QGuiApplication::primaryScreen() == nullptr; }

}  // namespace

std::string MapFontFace(const std::string& face) {
  const FaceMapping* m = FindFace(face);
  return m ? m->family : face;
}

QFont MakeQFont(const std::string& face, int height, TFontStyles style, int weight) {
  std::string family = MapFontFace(face);
  QFont font;
  // Chinese in a Latin face takes the matching CJK face, not whichever
  // face the system would fall back to.
  font.setFamilies({QString::fromStdString(family), family == kSerifFamily ? kSongFamily : kHeiFamily});
  font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::PreferMatch));
  if (weight > 0) {
    font.setWeight(QFont::Weight(std::clamp(weight, 1, 1000)));
  } else {
    font.setBold(style & fsBold);
  }
  font.setItalic(style & fsItalic);
  font.setUnderline(style & fsUnderline);
  font.setStrikeOut(style & fsStrikeOut);
  int cell = height == 0 ? 16 : height;
  if (cell < 0) {
    font.setPixelSize(std::max(1, -cell));
  } else {
    // A cell height: scale the character height by the family's cell ratio.
    font.setPixelSize(cell);
    int measured = int(std::lround(FontCell(font).Height));
    if (measured > 0) font.setPixelSize(std::max(1, int(std::lround(double(cell) * cell / measured))));
  }
  return font;
}

TFontCell FontCell(const QFont& font) {
  QString family = font.families().value(0, font.family());
  if (family == kSongFamily || family == kHeiFamily || family == kKaiFamily) {
    double em = font.pixelSize() > 0 ? font.pixelSize() : QFontMetricsF(font).height();
    return {std::round(em * 0.88), em};
  }
  QFontMetrics metrics(font);
  return {double(metrics.ascent()), double(metrics.height())};
}

std::vector<TFontFace> EnumFontFaces() {
  std::map<QString, uint8_t> faces;
  QStringList installed = QFontDatabase::families();
  for (const QString& family : installed) {
    bool chinese = QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese);
    faces[family] = chinese ? GB2312_CHARSET : ANSI_CHARSET;
  }
  for (const FaceMapping& m : kFaceTable)
    if (installed.contains(QString::fromUtf8(m.family))) faces[QString::fromUtf8(m.face)] = m.charset;
  std::vector<TFontFace> out;
  for (const auto& [name, charset] : faces) out.push_back({name.toStdString(), charset});
  return out;
}

std::vector<std::string> ScreenFonts() {
  std::vector<std::string> names;
  for (const TFontFace& f : EnumFontFaces()) names.push_back(f.Name);
  return names;
}

int ScreenPixelsPerInch() {
  if (Headless()) return 96;
  return int(std::lround(QGuiApplication::primaryScreen()->logicalDotsPerInchX()));
}

int ScreenWidth() { return Headless() ? 800 : QGuiApplication::primaryScreen()->geometry().width(); }

int ScreenHeight() { return Headless() ? 600 : QGuiApplication::primaryScreen()->geometry().height(); }
