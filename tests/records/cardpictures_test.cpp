// Card picture names and the horizontal mirror of a card.
#include "records/cardpictures.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/canvas.h"
#include "platform/graphics.h"

namespace {

TEST(CardPictureNames, RecordTextBecomesASafeFileName) {
  const std::pair<const char*, const char*> cases[] = {
      {"张三", "张三"},
      {"  李四 ", "李四"},
      {"", "无名"},
      {" \t ", "无名"},
      {"a/b\\c", "a_b_c"},
      {"../../etc/passwd", "____._etc_passwd"},
      {"..", "__"},
      {".hidden", "_hidden"},
      {"王...五", "王__.五"},
      {"行1\n行2\r", "行1_行2"},
      {"x\x01y\x7f", "x_y_"},
      {"A.B", "A.B"},
  };
  for (const auto& [text, name] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(CardPictureBaseName(text), name);
  }
  // A long text keeps whole characters and leaves room in a file name.
  std::string longText = "a";
  for (int i = 0; i < 100; ++i) longText += "张";
  const std::string cut = CardPictureBaseName(longText);
  EXPECT_EQ(cut, longText.substr(0, 199));  // "a" and 66 whole characters
  EXPECT_EQ(CardPictureBaseName(std::string(300, 'x')), std::string(200, 'x'));
}

TEST(CardPictureNames, RepeatsOfABatchGetASuffixInsteadOfOverwriting) {
  TCardPictureNames names("/cards/", "JPG");
  const std::pair<const char*, const char*> steps[] = {
      {"张三", "/cards/张三.JPG"},     {"张三", "/cards/张三 (2).JPG"},       {"", "/cards/无名.JPG"},
      {" ", "/cards/无名 (2).JPG"},    {"张三 (2)", "/cards/张三 (2) (2).JPG"}, {"张三", "/cards/张三 (3).JPG"},
      {"a/b", "/cards/a_b.JPG"},      {"a\\b", "/cards/a_b (2).JPG"},
  };
  for (const auto& [text, file] : steps) {
    SCOPED_TRACE(text);
    EXPECT_EQ(names.Next(text), file);
  }
  // Another batch starts afresh; a folder given without a separator gets one.
  EXPECT_EQ(TCardPictureNames("/cards", "PNG").Next("张三"), "/cards/张三.PNG");
}

void RandomPicture(TBitmap& picture, int w, int h, TPixelFormat format, std::mt19937& random) {
  picture.SetPixelFormat(format);
  picture.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) picture.GetCanvas()->SetPixel(x, y, TColor(random() & 0xFFFFFF));
}

TEST(CardMirror, EveryPixelComesFromTheOtherSideAtAnySize) {
  std::mt19937 random(7);
  struct Size {
    int w, h;
    TPixelFormat format;
  } sizes[] = {{1, 1, pf24bit}, {2, 1, pf24bit}, {3, 2, pf24bit}, {5, 4, pf32bit}, {2001, 3, pf24bit},
               {3, 2100, pf24bit}};
  for (const Size& size : sizes) {
    SCOPED_TRACE(::testing::Message() << size.w << "x" << size.h);
    TBitmap original;
    RandomPicture(original, size.w, size.h, size.format, random);
    TBitmap mirrored;
    mirrored.Assign(&original);
    MirrorHorizontally(&mirrored);
    ASSERT_EQ(mirrored.GetWidth(), size.w);
    ASSERT_EQ(mirrored.GetHeight(), size.h);
    EXPECT_EQ(mirrored.GetPixelFormat(), pf24bit);
    int wrong = 0;
    for (int y = 0; y < size.h; ++y)
      for (int x = 0; x < size.w; ++x)
        wrong += mirrored.GetCanvas()->GetPixel(x, y) != original.GetCanvas()->GetPixel(size.w - 1 - x, y);
    EXPECT_EQ(wrong, 0);
  }
}

TEST(CardMirror, ABlackLeftHalfBecomesABlackRightHalf) {
  TBitmap card;
  card.SetSize(10, 4);
  card.GetCanvas()->Brush->Color = clWhite;
  card.GetCanvas()->FillRect(Rect(0, 0, 10, 4));
  card.GetCanvas()->Brush->Color = clBlack;
  card.GetCanvas()->FillRect(Rect(0, 0, 5, 4));
  MirrorHorizontally(&card);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(card.GetCanvas()->GetPixel(x, y), x < 5 ? clWhite : clBlack) << x;
}

}  // namespace
