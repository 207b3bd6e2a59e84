// Writes the template library the program's 模板库 menu and its new-template
// wizard open: one folder per category under Mode, each holding its
// numbered templates (<n>.pmt) and their layout pictures (<n>.JPG).
//
//   make_library <Mode folder>
//
// The templates start from the untitled template in that folder (its page
// values, pictures and table) and lay out their own texts; the layout
// pictures are drawn here from simple shapes, the words of the card are the
// template's texts, so every card reads in the font the program shows.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "designer/cardtemplate.h"
#include "platform/sysutils.h"
#include "stockimage.h"
#include "stockshapes.h"

namespace {

// Colours of the texts (0x00BBGGRR, as the template keeps them).
constexpr int kBlack = 0x000000, kWhite = 0xFFFFFF, kNavy = 0x6E3A1A, kGreen = 0x2E6A1E, kRed = 0x2020C8,
              kBrown = 0x1E4A7A, kGrey = 0x505050;

// The stock table's fields, as the grid titles them.
const char* const kFieldCaptions[13] = {"姓名", "性别", "部门", "职务", "身份证号", "地址", "编号",
                                        "电话", "备注9", "备注10", "备注11", "备注12", "备注13"};

struct Text {
  int slot;  // title or field number, 0..12
  const char* caption;  // titles only
  int left, top, width, height;
  int size;  // points
  int color = kBlack;
  const char* face = "宋体";
  bool bold = false;
};

struct Item {
  int left, top, width, height;
};

struct Card {
  const char* category;
  int number;
  int width, height;  // the layout picture
  std::vector<Text> titles, fields;
  const Item* photo = nullptr;
  const Item* logo = nullptr;
  const Item* barcode = nullptr;
  const Item* seal = nullptr;
  // Field captions that differ from the stock table's (slot, caption).
  std::vector<std::pair<int, const char*>> captions;
  void (*draw)(Pixels&, int, int) = nullptr;
};

Card NewCard(const char* category, int number, int width, int height) {
  Card card;
  card.category = category;
  card.number = number;
  card.width = width;
  card.height = height;
  return card;
}

// Painting helpers -------------------------------------------------------------------------

Pixels Blank(int w, int h, Rgb colour) {
  Pixels rgb(size_t(w * h * 3));
  for (size_t i = 0; i < rgb.size(); i += 3) {
    rgb[i] = uint8_t(colour.r), rgb[i + 1] = uint8_t(colour.g), rgb[i + 2] = uint8_t(colour.b);
  }
  return rgb;
}

// A band that shades from `top` to `bottom` colour down its height.
void Band(Pixels& rgb, int w, int h, int y0, int y1, Rgb top, Rgb bottom) {
  for (int y = std::max(0, y0); y < std::min(h, y1); ++y) {
    const double t = y1 > y0 + 1 ? double(y - y0) / (y1 - y0 - 1) : 0;
    const Rgb c{top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t, top.b + (bottom.b - top.b) * t};
    Paint(rgb, w, h, Box(0, y, w, y + 1), c);
  }
}

void Line(Pixels& rgb, int w, int h, double x0, double y0, double x1, double y1, Rgb colour) {
  Paint(rgb, w, h, Box(x0, y0, std::max(x1, x0 + 1), std::max(y1, y0 + 1)), colour);
}

// A frame one pixel wide inside the box.
void Frame(Pixels& rgb, int w, int h, double l, double t, double r, double b, Rgb colour) {
  Line(rgb, w, h, l, t, r, t + 1, colour);
  Line(rgb, w, h, l, b - 1, r, b, colour);
  Line(rgb, w, h, l, t, l + 1, b, colour);
  Line(rgb, w, h, r - 1, t, r, b, colour);
}

// The photo's place: a pale box with a thin frame, a little larger than
// the photo at `p` (picture coordinates).
void PhotoPlace(Pixels& rgb, int w, int h, const Item& p) {
  Paint(rgb, w, h, Box(p.left - 4, p.top - 4, p.left + p.width + 4, p.top + p.height + 4), {236, 240, 246});
  Frame(rgb, w, h, p.left - 5, p.top - 5, p.left + p.width + 5, p.top + p.height + 5, {150, 160, 180});
}

// Writing lines under the fields: from x0 to x1 at each y.
void Rules(Pixels& rgb, int w, int h, double x0, double x1, std::initializer_list<double> ys, Rgb colour) {
  for (double y : ys) Line(rgb, w, h, x0, y, x1, y + 1, colour);
}

const Rgb kPaper{250, 250, 246};

// The cards ---------------------------------------------------------------------------------

// Design coordinates are the card panel's: the layout picture starts at (5, 5).
constexpr int kEdge = 5;

const Item kPortraitPhoto{73, 80, 80, 100};
void WorkPortrait(Pixels& rgb, int w, int h) {
  Band(rgb, w, h, 0, 58, {24, 70, 150}, {52, 110, 196});
  Paint(rgb, w, h, Box(0, 58, w, 61), {214, 170, 60});
  Band(rgb, w, h, h - 22, h, {52, 110, 196}, {24, 70, 150});
  PhotoPlace(rgb, w, h, {kPortraitPhoto.left - kEdge, kPortraitPhoto.top - kEdge, 80, 100});
  Rules(rgb, w, h, 70, w - 16, {218, 244, 270, 296}, {170, 180, 200});
}

const Item kLandscapePhoto{238, 66, 80, 100};
const Item kLandscapeBarcode{20, 180, 150, 26};
void WorkLandscape(Pixels& rgb, int w, int h) {
  Band(rgb, w, h, 0, 50, {24, 70, 150}, {52, 110, 196});
  Paint(rgb, w, h, Box(0, 50, w, 53), {214, 170, 60});
  Band(rgb, w, h, h - 14, h, {52, 110, 196}, {24, 70, 150});
  PhotoPlace(rgb, w, h, {kLandscapePhoto.left - kEdge, kLandscapePhoto.top - kEdge, 80, 100});
  Rules(rgb, w, h, 78, 220, {86, 112, 138, 164}, {170, 180, 200});
}

void StudentPortrait(Pixels& rgb, int w, int h) {
  Band(rgb, w, h, 0, 64, {30, 120, 70}, {70, 160, 100});
  Paint(rgb, w, h, Ring(w / 2.0, -120, 190, 0), {255, 255, 255});
  Band(rgb, w, h, 0, 40, {30, 120, 70}, {60, 150, 90});
  Band(rgb, w, h, h - 20, h, {70, 160, 100}, {30, 120, 70});
  PhotoPlace(rgb, w, h, {kPortraitPhoto.left - kEdge, kPortraitPhoto.top - kEdge, 80, 100});
  Rules(rgb, w, h, 70, w - 16, {218, 244, 270, 296}, {160, 200, 170});
}

void StudentLandscape(Pixels& rgb, int w, int h) {
  Band(rgb, w, h, 0, 50, {30, 120, 70}, {70, 160, 100});
  Paint(rgb, w, h, Box(0, 50, w, 52), {255, 210, 80});
  Paint(rgb, w, h, Ring(w - 30, h + 30, 90, 70), {220, 238, 224});
  Band(rgb, w, h, h - 12, h, {70, 160, 100}, {30, 120, 70});
  PhotoPlace(rgb, w, h, {kLandscapePhoto.left - kEdge, kLandscapePhoto.top - kEdge, 80, 100});
  Rules(rgb, w, h, 78, 220, {86, 112, 138, 164}, {160, 200, 170});
}

void ExamPortrait(Pixels& rgb, int w, int h) {
  Frame(rgb, w, h, 4, 4, w - 4, h - 4, {120, 40, 40});
  Frame(rgb, w, h, 7, 7, w - 7, h - 7, {120, 40, 40});
  Line(rgb, w, h, 16, 58, w - 16, 60, {150, 40, 40});
  PhotoPlace(rgb, w, h, {kPortraitPhoto.left - kEdge, kPortraitPhoto.top - kEdge, 80, 100});
  Rules(rgb, w, h, 82, w - 16, {218, 244, 270, 296}, {190, 170, 170});
  Line(rgb, w, h, 16, 306, w - 16, 307, {150, 40, 40});
}

void ExamLandscape(Pixels& rgb, int w, int h) {
  Frame(rgb, w, h, 4, 4, w - 4, h - 4, {120, 40, 40});
  Frame(rgb, w, h, 7, 7, w - 7, h - 7, {120, 40, 40});
  Line(rgb, w, h, 16, 48, w - 16, 50, {150, 40, 40});
  PhotoPlace(rgb, w, h, {kLandscapePhoto.left - kEdge, kLandscapePhoto.top - kEdge, 80, 100});
  Rules(rgb, w, h, 92, 220, {86, 112, 138, 164}, {190, 170, 170});
}

// The time-clock cards: a head with the holder and a table of days with
// the in and out times of morning and afternoon.
constexpr int kClockHead = 70, kClockRow = 16;
void ClockTable(Pixels& rgb, int w, int h, int top, int rows) {
  const Rgb ink{90, 90, 90};
  const int bottom = top + kClockRow * (rows + 1);
  Paint(rgb, w, h, Box(10, top, w - 10, top + kClockRow), {222, 230, 240});
  for (int r = 0; r <= rows + 1; ++r) Line(rgb, w, h, 10, top + r * kClockRow, w - 10, top + r * kClockRow + 1, ink);
  const double step = (w - 20 - 40) / 4.0;
  Line(rgb, w, h, 10, top, 11, bottom + 1, ink);
  for (int c = 0; c <= 4; ++c) Line(rgb, w, h, 50 + c * step, top, 51 + c * step, bottom + 1, ink);
}

void ClockPortrait(Pixels& rgb, int w, int h) {
  Paint(rgb, w, h, Box(0, 0, w, 40), {60, 70, 90});
  ClockTable(rgb, w, h, kClockHead + 10, (h - kClockHead - 30) / kClockRow - 1);
}

void ClockLandscape(Pixels& rgb, int w, int h) {
  Paint(rgb, w, h, Box(0, 0, w, 34), {60, 70, 90});
  ClockTable(rgb, w, h, 62, (h - 62 - 12) / kClockRow - 1);
}

const Item kCardLogoPortrait{89, 26, 48, 48};
void BusinessPortrait(Pixels& rgb, int w, int h) {
  Paint(rgb, w, h, Box(0, 0, w, 6), {180, 30, 40});
  Paint(rgb, w, h, Box(0, h - 70, w, h), {40, 44, 52});
  Line(rgb, w, h, 40, 176, w - 40, 177, {180, 30, 40});
}

const Item kCardLogoLandscape{22, 24, 48, 48};
void BusinessLandscape(Pixels& rgb, int w, int h) {
  Paint(rgb, w, h, Box(0, 0, 8, h), {180, 30, 40});
  Paint(rgb, w, h, Ring(w + 40, -40, 150, 0), {236, 238, 242});
  Line(rgb, w, h, 22, 122, w - 22, 123, {180, 30, 40});
}

const Item kReceiptSeal{150, 142, 120, 120};
void Receipt(Pixels& rgb, int w, int h) {
  const Rgb ink{170, 60, 60};
  Frame(rgb, w, h, 10, 44, w - 10, h - 34, ink);
  for (int y : {76, 108, 140}) Line(rgb, w, h, 10, y, w - 10, y + 1, ink);
  Line(rgb, w, h, 110, 44, 111, 140, ink);
  Line(rgb, w, h, 150, 30, w - 150, 31, ink);
  Line(rgb, w, h, 150, 33, w - 150, 34, ink);
}

void Birthday(Pixels& rgb, int w, int h) {
  Band(rgb, w, h, 0, h, {255, 236, 214}, {255, 206, 196});
  const struct {
    double x, y, r;
    Rgb c;
  } balloons[] = {{44, 60, 22, {230, 70, 80}}, {82, 44, 18, {250, 180, 40}}, {w - 50.0, 56, 24, {80, 150, 230}},
                  {w - 88.0, 40, 16, {120, 200, 120}}};
  for (const auto& b : balloons) {
    Line(rgb, w, h, b.x, b.y + b.r, b.x + 1, b.y + b.r + 50, {150, 130, 120});
    Paint(rgb, w, h, Ring(b.x, b.y, b.r, 0), b.c);
    Paint(rgb, w, h, Ring(b.x - b.r / 3, b.y - b.r / 3, b.r / 4, 0), {255, 255, 255});
  }
  // Confetti along the sides and the foot, clear of the words.
  for (int i = 0; i < 24; ++i) {
    const double along = std::fmod(i * 97.0 + 13, 1.0 * w);
    const double x = i % 3 == 2 ? along : (i % 2 ? 9 + i % 5 * 2 : w - 10 - i % 5 * 2);
    const double y = i % 3 == 2 ? h - 24 + i % 4 * 3 : 100 + std::fmod(i * 37.0, h - 130.0);
    const Rgb c = i % 3 == 0 ? Rgb{230, 70, 80} : i % 3 == 1 ? Rgb{250, 180, 40} : Rgb{80, 150, 230};
    Paint(rgb, w, h, Star(x, y, 3 + i % 3), c);
  }
  Paint(rgb, w, h, Box(0, h - 10, w, h), {230, 70, 80});
}

// Each card's texts are titles (words printed on every card) and fields
// (the record's values); coordinates are the card panel's.
std::vector<Card> Cards() {
  std::vector<Card> cards;
  // Rows of a title beside its field, `gap` apart from `top`.
  auto rows = [](Card& c, int top, int gap, int titleLeft, int fieldLeft, int fieldWidth,
                 std::vector<std::pair<const char*, int>> entries, int size, int titleColor) {
    int slot = int(c.titles.size());
    for (auto [caption, field] : entries) {
      c.titles.push_back({slot++, caption, titleLeft, top, fieldLeft - titleLeft - 2, 20, size, titleColor});
      c.fields.push_back({field, nullptr, fieldLeft, top, fieldWidth, 20, size});
      top += gap;
    }
  };

  Card work1 = NewCard("工作证", 1, 216, 340);
  work1.titles = {{0, "工 作 证", 56, 12, 120, 32, 20, kWhite, "黑体", true},
                  {1, "汉堪科技有限公司", 58, 323, 120, 18, 10, kWhite}};
  rows(work1, 204, 26, 20, 72, 132, {{"姓  名", 0}, {"部  门", 2}, {"职  务", 3}, {"编  号", 6}}, 11, kNavy);
  work1.photo = &kPortraitPhoto;
  work1.draw = WorkPortrait;
  cards.push_back(work1);

  Card work2 = NewCard("工作证", 2, 340, 216);
  work2.titles = {{0, "工 作 证", 118, 10, 120, 32, 20, kWhite, "黑体", true},
                  {1, "汉堪科技有限公司", 108, 204, 150, 18, 9, kWhite}};
  rows(work2, 72, 26, 22, 80, 140, {{"姓  名", 0}, {"部  门", 2}, {"职  务", 3}, {"编  号", 6}}, 11, kNavy);
  work2.photo = &kLandscapePhoto;
  work2.barcode = &kLandscapeBarcode;
  work2.draw = WorkLandscape;
  cards.push_back(work2);

  Card student1 = NewCard("学生出入证", 1, 216, 340);
  student1.titles = {{0, "汉堪市第七中学", 36, 10, 160, 22, 13, kWhite, "楷体_GB2312", true},
                     {1, "学生出入证", 48, 188, 130, 26, 16, kGreen, "黑体", true},
                     {2, "凭证出入 遗失补办", 56, 325, 120, 18, 9, kWhite}};
  rows(student1, 220, 24, 20, 72, 132, {{"姓  名", 0}, {"班  级", 2}, {"学  号", 6}, {"性  别", 1}}, 11, kGreen);
  student1.photo = &kPortraitPhoto;
  student1.captions = {{2, "班级"}, {6, "学号"}};
  student1.draw = StudentPortrait;
  cards.push_back(student1);

  Card student2 = NewCard("学生出入证", 2, 340, 216);
  student2.titles = {{0, "汉堪市第七中学", 20, 10, 170, 22, 13, kWhite, "楷体_GB2312", true},
                     {1, "学生出入证", 210, 12, 120, 26, 15, kWhite, "黑体", true}};
  rows(student2, 72, 26, 22, 80, 140, {{"姓  名", 0}, {"班  级", 2}, {"学  号", 6}, {"性  别", 1}}, 11, kGreen);
  student2.photo = &kLandscapePhoto;
  student2.captions = {{2, "班级"}, {6, "学号"}};
  student2.draw = StudentLandscape;
  cards.push_back(student2);

  Card exam1 = NewCard("准考证", 1, 216, 340);
  exam1.titles = {{0, "二〇二六年秋季考试", 38, 14, 150, 18, 10, kBrown},
                  {1, "准 考 证", 62, 32, 110, 26, 17, kRed, "黑体", true},
                  {2, "请携带本证及身份证参加考试", 22, 314, 180, 16, 8, kGrey}};
  rows(exam1, 204, 26, 16, 84, 120, {{"考生姓名", 0}, {"准考证号", 6}, {"报考科目", 3}, {"考  场", 2}}, 10, kBrown);
  exam1.photo = &kPortraitPhoto;
  exam1.captions = {{6, "准考证号"}, {3, "报考科目"}, {2, "考场"}};
  exam1.draw = ExamPortrait;
  cards.push_back(exam1);

  Card exam2 = NewCard("准考证", 2, 340, 216);
  exam2.titles = {{0, "准 考 证", 120, 14, 110, 28, 17, kRed, "黑体", true},
                  {1, "请携带本证及身份证参加考试", 20, 194, 200, 16, 8, kGrey}};
  rows(exam2, 72, 26, 20, 94, 130, {{"考生姓名", 0}, {"准考证号", 6}, {"报考科目", 3}, {"考  场", 2}}, 10, kBrown);
  exam2.photo = &kLandscapePhoto;
  exam2.captions = {{6, "准考证号"}, {3, "报考科目"}, {2, "考场"}};
  exam2.draw = ExamLandscape;
  cards.push_back(exam2);

  // The clock cards' column heads are titles over the table's head row.
  auto clockHeads = [](Card& c, int top) {
    const double step = (c.width - 20 - 40) / 4.0;
    const char* heads[] = {"日期", "上班", "下班", "上班", "下班"};
    int slot = int(c.titles.size());
    c.titles.push_back({slot++, heads[0], kEdge + 14, top + 2, 34, 14, 8, kBlack});
    for (int i = 1; i < 5; ++i)
      c.titles.push_back(
          {slot++, heads[i], kEdge + 50 + int((i - 1) * step + step / 2) - 14, top + 2, 32, 14, 8, kBlack});
  };
  Card clock1 = NewCard("打卡机模板", 1, 230, 420);
  clock1.titles = {{0, "考  勤  卡", 66, 8, 110, 26, 16, kWhite, "黑体", true},
                   {1, "姓名", 14, 48, 34, 18, 10}, {2, "编号", 124, 48, 34, 18, 10}};
  clock1.fields = {{0, nullptr, 48, 48, 74, 18, 10}, {6, nullptr, 158, 48, 70, 18, 10}};
  clockHeads(clock1, kClockHead + 10 + kEdge);
  clock1.draw = ClockPortrait;
  cards.push_back(clock1);

  Card clock2 = NewCard("打卡机模板", 2, 420, 230);
  clock2.titles = {{0, "考  勤  卡", 160, 6, 110, 24, 15, kWhite, "黑体", true},
                   {1, "姓名", 16, 42, 34, 18, 10}, {2, "部门", 150, 42, 34, 18, 10}, {3, "编号", 290, 42, 34, 18, 10}};
  clock2.fields = {{0, nullptr, 50, 42, 90, 18, 10}, {2, nullptr, 184, 42, 96, 18, 10}, {6, nullptr, 324, 42, 90, 18, 10}};
  clockHeads(clock2, 62 + kEdge);
  clock2.draw = ClockLandscape;
  cards.push_back(clock2);

  Card name1 = NewCard("名片", 1, 204, 340);
  name1.titles = {{0, "汉堪科技有限公司", 36, 84, 140, 18, 10, kGrey},
                  {1, "电话：", 18, 290, 36, 16, 9, kWhite}, {2, "地址：", 18, 312, 36, 16, 9, kWhite}};
  name1.fields = {{0, nullptr, 42, 120, 130, 30, 18, kBlack, "黑体", true},
                  {3, nullptr, 52, 154, 110, 18, 10, kGrey},
                  {7, nullptr, 54, 290, 130, 16, 9, kWhite},
                  {5, nullptr, 54, 312, 152, 18, 7, kWhite}};
  name1.logo = &kCardLogoPortrait;
  name1.draw = BusinessPortrait;
  cards.push_back(name1);

  Card name2 = NewCard("名片", 2, 340, 204);
  name2.titles = {{0, "汉堪科技有限公司", 80, 40, 160, 20, 11, kGrey},
                  {1, "电话：", 24, 140, 44, 16, 9, kGrey}, {2, "地址：", 24, 162, 44, 16, 9, kGrey}};
  name2.fields = {{0, nullptr, 200, 76, 120, 30, 18, kBlack, "黑体", true},
                  {3, nullptr, 210, 106, 100, 18, 10, kGrey},
                  {7, nullptr, 68, 140, 150, 16, 9, kBlack},
                  {5, nullptr, 68, 162, 260, 16, 9, kBlack}};
  name2.logo = &kCardLogoLandscape;
  name2.draw = BusinessLandscape;
  cards.push_back(name2);

  Card receipt = NewCard("收据", 1, 420, 260);
  receipt.titles = {{0, "收    据", 170, 6, 90, 26, 16, kRed, "黑体", true},
                    {1, "今收到", 24, 58, 80, 20, 11, kRed},
                    {2, "交    来", 24, 90, 80, 20, 11, kRed},
                    {3, "人民币（大写）", 20, 122, 90, 20, 9, kRed},
                    {4, "收款单位（盖章）", 24, 236, 130, 18, 10, kRed},
                    {5, "收款人", 280, 236, 60, 18, 10, kRed},
                    {6, "No.", 330, 10, 30, 18, 10, kRed}};
  receipt.fields = {{0, nullptr, 124, 58, 200, 20, 11}, {3, nullptr, 124, 90, 200, 20, 11},
                    {8, nullptr, 124, 122, 280, 20, 11}, {6, nullptr, 356, 10, 64, 18, 10}};
  receipt.captions = {{3, "事由"}, {8, "金额"}};
  receipt.seal = &kReceiptSeal;
  receipt.draw = Receipt;
  cards.push_back(receipt);

  Card birthday = NewCard("贺卡", 1, 340, 230);
  birthday.titles = {{0, "生日快乐", 110, 20, 130, 40, 24, kRed, "楷体_GB2312", true},
                     {1, "亲爱的", 40, 100, 60, 22, 13, kBrown, "楷体_GB2312"},
                     {2, "愿你的每一天都充满阳光与欢笑！", 40, 134, 270, 22, 12, kBrown, "楷体_GB2312"},
                     {3, "祝你生日快乐，心想事成！", 60, 164, 240, 22, 12, kBrown, "楷体_GB2312"}};
  birthday.fields = {{0, nullptr, 100, 100, 110, 22, 13, kRed, "楷体_GB2312", true}};
  birthday.draw = Birthday;
  cards.push_back(birthday);
  return cards;
}

TemplateFont FontOf(const Text& t, bool shown) {
  TemplateFont f;
  f.color = t.color;
  f.size = t.size;
  f.height = -(t.size * 96 + 36) / 72;
  f.name = t.face;
  f.style = t.bold ? unsigned(tfsBold) : 0u;
  f.shown = shown;
  return f;
}

void Place(TemplateText& target, const Text& t) {
  target.left = t.left;
  target.top = t.top;
  target.width = t.width;
  target.height = t.height;
  target.font = FontOf(t, true);
}

CardTemplate Layout(const CardTemplate& base, const Card& c, const std::string& folder) {
  CardTemplate d = base;
  auto put = [&d](int index, int value) { d.pageData[size_t(index)] = value; };
  put(0, c.width);
  put(1, c.height);
  put(2, c.height + 10);
  put(9, c.width + 10);
  put(10, c.height + 10);
  put(27, kEdge);
  put(28, kEdge);
  for (int k = 0; k < CardTemplate::kTextCount; ++k) {
    const size_t i = size_t(k);
    d.titles[i] = TemplateText{};
    d.titles[i].caption = "标题" + std::to_string(k + 1);
    d.titles[i].left = 120, d.titles[i].top = 13 * k + 5, d.titles[i].width = 60, d.titles[i].height = 16;
    d.titles[i].font = FontOf({k, nullptr, 0, 0, 0, 0, 9}, false);
    d.dataTexts[i] = d.titles[i];
    d.dataTexts[i].caption = kFieldCaptions[k];
    d.dataTexts[i].left = 20;
  }
  for (const Text& t : c.titles) {
    Place(d.titles[size_t(t.slot)], t);
    d.titles[size_t(t.slot)].caption = t.caption;
  }
  for (const Text& t : c.fields) Place(d.dataTexts[size_t(t.slot)], t);
  for (auto [slot, caption] : c.captions) d.dataTexts[size_t(slot)].caption = caption;
  // The pictures: shown where the card has them (the logo, picture two
  // and the photo also on the report).
  auto show = [&](const Item* item, int w, int h, int top, int left, std::initializer_list<int> flags) {
    for (int flag : flags) put(flag, item != nullptr);
    if (!item) return;
    put(w, item->width), put(h, item->height), put(top, item->top), put(left, item->left);
  };
  show(c.logo, 7, 8, 21, 22, {41, 47});
  show(c.photo, 5, 6, 25, 26, {43, 49});
  put(42, 0), put(48, 0);
  show(c.barcode, 11, 12, 32, 31, {50});
  put(57, c.seal != nullptr);
  if (c.seal) put(33, c.seal->left), put(34, c.seal->top);
  d.layoutPath = "Mode\\" + folder + "\\" + std::to_string(c.number) + ".JPG";
  return d;
}

}  // namespace

static std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Exception("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_library <Mode folder>\n");
    return 2;
  }
  const std::string mode = std::string(argv[1]) + "/";
  try {
    // Stock templates stay plain text on the disk.
    const CardTemplate base = ParseCardTemplate(ReadWholeFile(mode + "未命名.pmt"));
    for (const Card& c : Cards()) {
      const std::string folder = mode + c.category + "/";
      ForceDirectories(folder);
      Pixels rgb = Blank(c.width, c.height, kPaper);
      c.draw(rgb, c.width, c.height);
      const std::string number = std::to_string(c.number);
      if (!WriteWholeFile(folder + number + ".JPG", EncodeJpeg(rgb, c.width, c.height)))
        throw Exception("cannot write " + folder + number + ".JPG");
      if (!WriteWholeFile(folder + number + ".pmt", FormatCardTemplate(Layout(base, c, c.category))))
        throw Exception("cannot write " + folder + number + ".pmt");
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_library: %s\n", e.what());
    return 1;
  }
  return 0;
}
